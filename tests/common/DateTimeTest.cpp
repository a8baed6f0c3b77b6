#include <gtest/gtest.h>

#include "common/DateTime.h"

namespace velk {
namespace {

TEST(DateTime, DayCountFromThirtiethDecember1899) {
  EXPECT_EQ(*EncodeDate(1899, 12, 30), 0.0);
  EXPECT_EQ(*EncodeDate(1900, 1, 1), 2.0);
  EXPECT_EQ(*EncodeDate(2002, 1, 1), 37257.0);
  EXPECT_EQ(*EncodeDate(1970, 1, 1), 25569.0);
  EXPECT_DOUBLE_EQ(*EncodeTime(12, 0, 0), 0.5);
}

TEST(DateTime, RejectsFieldsOutOfRange) {
  EXPECT_FALSE(EncodeDate(2023, 2, 29));
  EXPECT_TRUE(EncodeDate(2024, 2, 29));
  EXPECT_FALSE(EncodeDate(1900, 2, 29));
  EXPECT_TRUE(EncodeDate(2000, 2, 29));
  EXPECT_FALSE(EncodeDate(2024, 4, 31));
  EXPECT_FALSE(EncodeDate(2024, 0, 1));
  EXPECT_FALSE(EncodeTime(24, 0, 0));
  EXPECT_FALSE(EncodeTime(0, 60, 0));
  EXPECT_FALSE(EncodeTime(0, 0, 60));
  EXPECT_FALSE(EncodeDateTime({2024, 1, 1, 0, 0, 0, 1000}));
}

TEST(DateTime, DecodeRoundsToMillisecondsFirst) {
  const TDateTime t = *EncodeDateTime({2024, 3, 15, 23, 59, 59, 999});
  const DateTimeParts p = DecodeDateTime(t);
  EXPECT_EQ(p.Year, 2024);
  EXPECT_EQ(p.Month, 3);
  EXPECT_EQ(p.Day, 15);
  EXPECT_EQ(p.Hour, 23);
  EXPECT_EQ(p.Minute, 59);
  EXPECT_EQ(p.Second, 59);
  EXPECT_EQ(p.Millisecond, 999);
  // A hair below midnight is midnight of the next day, not 23:59:59.999999.
  const DateTimeParts next = DecodeDateTime(*EncodeDate(2024, 3, 16) - 1e-10);
  EXPECT_EQ(next.Day, 16);
  EXPECT_EQ(next.Hour, 0);
}

TEST(DateTime, RoundToSecond) {
  const TDateTime t = *EncodeDateTime({2024, 1, 1, 10, 0, 0});
  EXPECT_DOUBLE_EQ(RoundToSecond(t + 0.4 * OneSecond), t);
  EXPECT_DOUBLE_EQ(RoundToSecond(t + 0.6 * OneSecond), t + OneSecond);
}

TEST(DateTime, DisplayTexts) {
  const TDateTime t = *EncodeDateTime({2007, 2, 8, 9, 5, 3});
  EXPECT_EQ(DateText(t), "08.02.2007");
  EXPECT_EQ(TimeText(t), "09:05:03");
  EXPECT_EQ(DateTimeText(t), "08.02.2007 09:05:03");
  EXPECT_EQ(DateTimeText(0), "30.12.1899 00:00:00");
}

}  // namespace
}  // namespace velk
