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

}  // namespace
}  // namespace velk
