#include <gtest/gtest.h>

#include "link/MeterFamily.h"

namespace velk {
namespace {

TEST(MeterFamily, RawCodesToFamilies) {
  for (int raw : {72, 80, 107, 132, 142, 165, 199, 210}) EXPECT_EQ(FamilyCodeFromRaw(raw), 50) << raw;
  EXPECT_EQ(FamilyCodeFromRaw(81), 51);
  EXPECT_EQ(FamilyCodeFromRaw(83), 53);
  EXPECT_EQ(FamilyCodeFromRaw(86), 56);
  EXPECT_EQ(FamilyCodeFromRaw(96), 60);
  EXPECT_EQ(FamilyCodeFromRaw(112), 70);
  EXPECT_EQ(FamilyCodeFromRaw(113), 71);
  EXPECT_EQ(FamilyCodeFromRaw(87), 87);  // unknown codes stay as they are
  EXPECT_EQ(FamilyCodeFromRaw(30), 30);
  EXPECT_EQ(FamilyCodeFromRaw(53), 53);
}

TEST(MeterFamily, ClockPlace) {
  EXPECT_EQ(ClockOffset(53), 2);
  EXPECT_EQ(ClockOffset(56), 2);
  EXPECT_EQ(ClockOffset(50), 0);
  EXPECT_EQ(ClockOffset(60), 0);
  EXPECT_EQ(ClockOffset(70), 0);  // families without a defined offset use 0
  EXPECT_EQ(ClockBlockAddress(53), 512);
  EXPECT_EQ(ClockBlockAddress(30), 0);
}

TEST(MeterFamily, BytesExpectedForTheProgressBar) {
  const TDateTime now = 46364.5;
  // No previous reading: the whole memory.
  EXPECT_EQ(BytesExpectedAfterConstants(30, now, 0, 7), 16640);
  EXPECT_EQ(BytesExpectedAfterConstants(50, now, 0, 7), 33024);
  EXPECT_EQ(BytesExpectedAfterConstants(71, now, 0, 7), 33024);
  EXPECT_EQ(BytesExpectedAfterConstants(55, now, 0, 7), 65792);
  EXPECT_EQ(BytesExpectedAfterConstants(60, now, 0, 7), 7);
  // Two days and three hours ago: H = 51, D = 2.
  const TDateTime saved = now - 2.0 - 3.0 / 24;
  EXPECT_EQ(BytesExpectedAfterConstants(30, now, saved, 7), 13 * 51 + 804);
  EXPECT_EQ(BytesExpectedAfterConstants(51, now, saved, 7), 16 * 51 + 512);
  EXPECT_EQ(BytesExpectedAfterConstants(53, now, saved, 7), 32 * 51 + 32 * 2 + 512);
  EXPECT_EQ(BytesExpectedAfterConstants(87, now, saved, 7), 7);
  // Halves round to even: 1.5 days is 2 days, 2.5 days is 2 days.
  EXPECT_EQ(BytesExpectedAfterConstants(53, now, now - 1.5, 0), 32 * 36 + 32 * 2 + 512);
  EXPECT_EQ(BytesExpectedAfterConstants(53, now, now - 2.5, 0), 32 * 60 + 32 * 2 + 512);
}

}  // namespace
}  // namespace velk
