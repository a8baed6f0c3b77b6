#include <gtest/gtest.h>

#include <vector>

#include "common/Text1251.h"

namespace velk {
namespace {

TEST(Text1251, CyrillicBothWays) {
  const std::string utf8 = "Ошибка Файла Ёё №";
  const std::string cp = Utf8ToCp1251(utf8);
  ASSERT_EQ(cp.size(), Utf8Length(utf8));
  EXPECT_EQ(static_cast<unsigned char>(cp[0]), 0xCE);   // О
  EXPECT_EQ(static_cast<unsigned char>(cp[13]), 0xA8);  // Ё
  EXPECT_EQ(static_cast<unsigned char>(cp[14]), 0xB8);  // ё
  EXPECT_EQ(static_cast<unsigned char>(cp[16]), 0xB9);  // №
  EXPECT_EQ(Cp1251ToUtf8(cp), utf8);
}

TEST(Text1251, EveryByteRoundTrips) {
  std::vector<std::uint8_t> all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<std::uint8_t>(b));
  const std::string back = Utf8ToCp1251(Cp1251ToUtf8(all));
  EXPECT_EQ(std::vector<std::uint8_t>(back.begin(), back.end()), all);
}

TEST(Text1251, UnmappableAndBrokenInputBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToCp1251("a\xE2\x82\xAC"
                         "b"),
            "a\x88"
            "b");                                // euro sign exists
  EXPECT_EQ(Utf8ToCp1251("\xE4\xB8\xAD"), "?");  // a CJK character does not
  EXPECT_EQ(Utf8ToCp1251("x\xC3"), "x?");        // truncated sequence
  EXPECT_EQ(Utf8ToCp1251("\xFF"
                         "A"),
            "?A");
}

TEST(ShortString, LengthByteIsClampedToTheField) {
  const std::vector<std::uint8_t> field = {3, 'C', 'O', 'M', '7', '9'};
  EXPECT_EQ(ReadShortString(field), "COM");
  const std::vector<std::uint8_t> overlong = {200, 'C', 'O', 'M', '1'};
  EXPECT_EQ(ReadShortString(overlong), "COM1");
  EXPECT_EQ(ReadShortString(std::vector<std::uint8_t>{}), "");
  const std::vector<std::uint8_t> cyrillic = {2, 0xC4, 0xE0};
  EXPECT_EQ(ReadShortString(cyrillic), "Да");
}

TEST(ShortString, WriteCutsToCapacityAndZeroFills) {
  std::vector<std::uint8_t> field(7, 0xEE);
  WriteShortString(field, "COM12345");
  EXPECT_EQ(field, (std::vector<std::uint8_t>{6, 'C', 'O', 'M', '1', '2', '3'}));
  WriteShortString(field, "Да");
  EXPECT_EQ(field, (std::vector<std::uint8_t>{2, 0xC4, 0xE0, 0, 0, 0, 0}));
  std::vector<std::uint8_t> wide(300, 0xEE);
  WriteShortString(wide, std::string(400, 'x'));
  EXPECT_EQ(wide[0], 255);
  EXPECT_EQ(wide[255], 'x');
  EXPECT_EQ(wide[256], 0);
}

TEST(PaddedText, PadsAndCuts) {
  std::vector<std::uint8_t> field(4);
  WritePaddedText(field, "Т1", ' ');
  EXPECT_EQ(field, (std::vector<std::uint8_t>{0xD2, '1', ' ', ' '}));
  WritePaddedText(field, "abcdef", 0);
  EXPECT_EQ(field, (std::vector<std::uint8_t>{'a', 'b', 'c', 'd'}));
}

TEST(Utf8, LengthAndLeftCountCharacters) {
  EXPECT_EQ(Utf8Length("Тшр1"), 4u);
  EXPECT_EQ(Utf8Left("Тшр1", 2), "Тш");
  EXPECT_EQ(Utf8Left("ab", 5), "ab");
  EXPECT_EQ(Utf8Left("ab", 0), "");
}

}  // namespace
}  // namespace velk
