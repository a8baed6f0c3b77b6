#include <gtest/gtest.h>

#include "app/InputRules.h"

namespace velk {
namespace {

TEST(PorTelEdit, OneDiallingLetterOnlyAtTheVeryBeginning) {
  EXPECT_TRUE(PorTelEditKeyPress("123", 0, U'T'));
  EXPECT_FALSE(PorTelEditKeyPress("T123", 0, U'T'));
  EXPECT_FALSE(PorTelEditKeyPress("123", 2, U'P'));
  EXPECT_FALSE(PorTelEditKeyPress("T123", 1, U'p'));
  EXPECT_FALSE(PorTelEditKeyPress("T123", 0, U'5'));
  EXPECT_TRUE(PorTelEditKeyPress("T123", 4, U'5'));
  EXPECT_TRUE(PorTelEditKeyPress("", 0, U'+'));
  EXPECT_TRUE(PorTelEditKeyPress("", 0, U't'));
}

TEST(PorTelEdit, AcceptsOnlyDialCharactersAndEditingKeys) {
  for (char32_t key : {U'0', U'9', U'+', U'.', KeyBackspace, KeyTab})
    EXPECT_TRUE(PorTelEditKeyPress("12", 2, key));
  for (char32_t key : {U'a', U'X', U'-', U' ', U'#', U'Т'}) EXPECT_FALSE(PorTelEditKeyPress("12", 2, key));
}

TEST(LEdSetevoyAdr, DigitsPointAndEditingKeysOnly) {
  for (char32_t key : {U'0', U'7', U'.', KeyBackspace, KeyTab}) EXPECT_TRUE(LEdSetevoyAdrKeyPress(key));
  for (char32_t key : {U'a', U'-', U'+', U' '}) EXPECT_FALSE(LEdSetevoyAdrKeyPress(key));
}

TEST(LEdSetevoyAdr, LoneZeroClearedOnEnterEmptyBecomesZeroOnExit) {
  EXPECT_EQ(LEdSetevoyAdrEnter("0"), "");
  EXPECT_EQ(LEdSetevoyAdrEnter("05"), "05");
  EXPECT_EQ(LEdSetevoyAdrExit(""), "0");
  EXPECT_EQ(LEdSetevoyAdrExit("12"), "12");
}

EditKey Typed(std::string text, char32_t key, std::size_t selStart, std::size_t selLength = 0) {
  return {std::move(text), selStart, selLength, key};
}

TEST(SettingsEdits, TimeEditsStopAtThreeMillionSixHundredThousand) {
  EXPECT_TRUE(TimeEditKeyPress(Typed("360000", U'0', 6)).Accepted);
  EXPECT_TRUE(TimeEditKeyPress(Typed("360000", U'1', 0)).Accepted);  // 1360000
  const EditKeyResult over = TimeEditKeyPress(Typed("3600000", U'1', 7));
  EXPECT_FALSE(over.Accepted);
  EXPECT_EQ(over.NewText, "3600000");
  EXPECT_EQ(over.Caret, 7u);
  EXPECT_EQ(TimeEditKeyPress(Typed("500000", U'9', 1)).NewText, "3600000");  // 5900000
  // A digit replacing a selection is judged on the text it leaves.
  EXPECT_TRUE(TimeEditKeyPress(Typed("3600000", U'1', 0, 1)).Accepted);
  for (char32_t key : {U'.', KeyBackspace, KeyTab})
    EXPECT_TRUE(TimeEditKeyPress(Typed("12", key, 2)).Accepted);
  for (char32_t key : {U'-', U'a', U' '}) {
    const EditKeyResult refused = TimeEditKeyPress(Typed("12", key, 2));
    EXPECT_FALSE(refused.Accepted);
    EXPECT_FALSE(refused.NewText);
  }
}

TEST(SettingsEdits, RetryEditsKnowOnlyMinusOneAndUpTo1024) {
  EXPECT_EQ(RetryEditKeyPress(Typed("5", U'-', 0)).NewText, "-1");
  EXPECT_EQ(RetryEditKeyPress(Typed("-1", U'3', 2)).NewText, "-1");
  EXPECT_FALSE(RetryEditKeyPress(Typed("-1", U'3', 2)).Accepted);
  // The selection goes first: typing over a selected "-1" starts afresh.
  EXPECT_TRUE(RetryEditKeyPress(Typed("-1", U'3', 0, 2)).Accepted);
  EXPECT_TRUE(RetryEditKeyPress(Typed("102", U'4', 3)).Accepted);
  const EditKeyResult over = RetryEditKeyPress(Typed("102", U'5', 3));
  EXPECT_FALSE(over.Accepted);
  EXPECT_EQ(over.NewText, "1024");
  EXPECT_EQ(over.Caret, 4u);
  EXPECT_FALSE(RetryEditKeyPress(Typed("1", U'.', 1)).Accepted);
  EXPECT_TRUE(RetryEditKeyPress(Typed("-", KeyBackspace, 1)).Accepted);
  EXPECT_EQ(RetryEditExit("-"), "-1");
  EXPECT_EQ(RetryEditExit("7"), "7");
}

TEST(SettingsEdits, ArchiveMonthsStayWithinTheUpDown) {
  EXPECT_FALSE(MonthsEditKeyPress(Typed("", U'0', 0)).Accepted);
  EXPECT_TRUE(MonthsEditKeyPress(Typed("1", U'0', 1)).Accepted);
  EXPECT_FALSE(MonthsEditKeyPress(Typed("1", U'x', 1)).Accepted);
  const EditKeyResult over = MonthsEditKeyPress(Typed("12", U'1', 2));
  EXPECT_FALSE(over.Accepted);
  EXPECT_EQ(over.NewText, "120");
  EXPECT_EQ(MonthsEditExit("", 24), "24");
  EXPECT_EQ(MonthsEditExit("6", 24), "6");
  EXPECT_EQ(UpDown1Click(120, true), 1);
  EXPECT_EQ(UpDown1Click(1, false), 120);
  EXPECT_EQ(UpDown1Click(12, true), 13);
}

}  // namespace
}  // namespace velk
