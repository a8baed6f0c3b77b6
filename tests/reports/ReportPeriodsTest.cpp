// Daily and monthly records derived from the hourly tables.
#include <gtest/gtest.h>

#include "ReportFixtures.h"
#include "reports/ReportPeriods.h"

namespace velk {
namespace {

using test::Day0;
using test::HourOf;

TsvRecord HourAt(double t, double q = 1, float t1 = 70) {
  TsvRecord r;
  r.DateTime = t;
  r.Q = q;
  r.T1 = t1;
  r.P1 = 0.5f;
  r.WorkTime = 1.0 / 24;
  return r;
}

TTsvReportImage WithHours(std::vector<TsvRecord> hours) {
  TTsvReportImage image;
  image.HourData = std::move(hours);
  RebuildTsvPeriods(image);
  return image;
}

TEST(TsvDays, OneToTwentyFourOClockMakeOneDay) {
  std::vector<TsvRecord> hours;
  for (int h = 1; h <= 24; ++h) hours.push_back(HourAt(HourOf(h), h));
  hours[5].ErrorCode = 2;
  hours[7].ErrorCode = 4;
  const auto image = WithHours(hours);
  ASSERT_EQ(image.DayData.size(), 1u);
  EXPECT_EQ(image.DayData[0].DateTime, HourOf(24));
  EXPECT_DOUBLE_EQ(image.DayData[0].Q, 300);
  EXPECT_DOUBLE_EQ(image.DayData[0].WorkTime, 1);
  EXPECT_EQ(image.DayData[0].ErrorCode, 6);
  EXPECT_FLOAT_EQ(image.DayData[0].T1, 70);
}

TEST(TsvDays, SingleHourDayIsStampedAtItsMidnight) {
  const auto image = WithHours({HourAt(HourOf(5)), HourAt(HourOf(30))});
  ASSERT_EQ(image.DayData.size(), 2u);
  EXPECT_EQ(image.DayData[0].DateTime, Day0());
  EXPECT_EQ(image.DayData[1].DateTime, Day0() + 1);
}

TEST(TsvDays, ArchiveStartingAtMidnightKeepsThatHourInItsOwnDate) {
  // 00:00 of day 0 starts day 0; 01:00 .. 24:00 join it.
  std::vector<TsvRecord> hours;
  for (int h = 0; h <= 24; ++h) hours.push_back(HourAt(HourOf(h)));
  hours.push_back(HourAt(HourOf(25)));
  const auto image = WithHours(hours);
  ASSERT_EQ(image.DayData.size(), 2u);
  EXPECT_DOUBLE_EQ(image.DayData[0].Q, 25);
  EXPECT_EQ(image.DayData[0].DateTime, HourOf(24));
  EXPECT_EQ(image.DayData[1].DateTime, Day0() + 1);
}

TEST(TsvDays, InvalidTemperaturesAndPressuresStayOutOfTheAverages) {
  std::vector<TsvRecord> hours = {HourAt(HourOf(1), 1, 0), HourAt(HourOf(2), 1, 60),
                                  HourAt(HourOf(3), 1, 255), HourAt(HourOf(4), 1, 80)};
  hours[3].P1 = 3.0f;   // above the daily pressure limit
  hours[2].P1 = -1.0f;  // no lower bound
  const auto image = WithHours(hours);
  ASSERT_EQ(image.DayData.size(), 1u);
  EXPECT_FLOAT_EQ(image.DayData[0].T1, 70);
  EXPECT_FLOAT_EQ(image.DayData[0].P1, (0.5f + 0.5f - 1.0f) / 3);

  const auto cold = WithHours({HourAt(HourOf(1), 1, 0), HourAt(HourOf(2), 1, 300)});
  EXPECT_EQ(cold.DayData[0].T1, 0);
}

TEST(TsvDays, HoursGoingBackInTimeAreLeftOut) {
  // Day 2, then day 0 again: not later than the day before the current one.
  const auto image = WithHours({HourAt(HourOf(5)), HourAt(HourOf(53)), HourAt(HourOf(4))});
  EXPECT_EQ(image.DayData.size(), 3u);  // index 1 is compared with day 0 only
  const auto later =
      WithHours({HourAt(HourOf(5)), HourAt(HourOf(29)), HourAt(HourOf(53)), HourAt(HourOf(6))});
  ASSERT_EQ(later.DayData.size(), 3u);
  EXPECT_DOUBLE_EQ(later.DayData[2].Q, 1);
}

TEST(TsvMonths, DaysSumIntoTheirMonths) {
  std::vector<TsvRecord> hours;
  const double march30 = *EncodeDate(2024, 3, 30);
  for (int h = 1; h <= 72; ++h) hours.push_back(HourAt(march30 + h / 24.0, 1));
  const auto image = WithHours(hours);
  ASSERT_EQ(image.DayData.size(), 3u);  // 30 and 31 March, 1 April
  ASSERT_EQ(image.MontData.size(), 2u);
  EXPECT_DOUBLE_EQ(image.MontData[0].Q, 48);
  EXPECT_EQ(image.MontData[0].DateTime, *EncodeDate(2024, 4, 1));  // the day ending at April's first midnight
  EXPECT_DOUBLE_EQ(image.MontData[1].Q, 24);
  EXPECT_EQ(image.MontData[1].DateTime, *EncodeDate(2024, 4, 2));
}

TEST(TsvPeriods, EmptyHourTableGivesNoDaysOrMonths) {
  const auto image = WithHours({});
  EXPECT_TRUE(image.DayData.empty());
  EXPECT_TRUE(image.MontData.empty());
}

TEST(TsdPeriods, DaysByDayOfMonthOneMinuteBack) {
  TTsdReportImage image;
  for (int h = 1; h <= 26; ++h) image.HourData.push_back({HourOf(h), 10, 0.5, 0});
  RebuildTsdPeriods(image);
  ASSERT_EQ(image.DayData.size(), 2u);
  EXPECT_EQ(image.DayData[0].DateTime, HourOf(24));
  EXPECT_EQ(image.DayData[0].N, 240);
  EXPECT_DOUBLE_EQ(image.DayData[0].V, 12);
  EXPECT_EQ(image.DayData[1].N, 20);
  ASSERT_EQ(image.MontData.size(), 1u);
  EXPECT_EQ(image.MontData[0].N, 260);
  EXPECT_EQ(image.MontData[0].Code, 0);
}

}  // namespace
}  // namespace velk
