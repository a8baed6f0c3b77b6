// The hour and day grids: column sets, clock and empty records, value texts.
#include <gtest/gtest.h>

#include "common/Text1251.h"
#include "decode/views/ArchiveViews.h"
#include "decode/views/ViewTexts.h"

namespace velk {
namespace {

namespace vt = viewtext;

HourRecord Normal(int n) {
  HourRecord r;
  r.DateText = "01.02.2026";
  r.TimeText = (n < 10 ? "0" : "") + std::to_string(n) + ":00:00";
  r.Q1 = 1.25;
  r.T1 = 70;
  r.T2 = 50;
  r.T3 = 10;
  r.T4 = 5;
  r.G1 = 12.5;
  r.V5 = 1;
  r.P1 = 6;
  r.K1 = 4;
  r.WorkMin1 = 60;
  r.Ubat = 3.5;
  r.EeAddress = 0x0100 + 32 * n;
  return r;
}

HourRecord Clock(bool reset) {
  HourRecord r;
  r.IsRtc = 1;
  r.IsReset = reset ? 1 : 0;
  r.DateText = "01.02.2026";
  r.TimeText = "06:30:05";
  r.Ubat = 3.25;
  r.EeAddress = 0x0A20;
  return r;
}

TDecodedValues WithHours(std::uint32_t code, std::vector<HourRecord> records) {
  TDecodedValues v;
  v.DeviceCode = code;
  v.HourRecords = std::move(records);
  v.HourCount = static_cast<std::int32_t>(v.HourRecords.size());
  return v;
}

int Column(const TGrid& g, const std::string& heading) {
  for (int c = 0; c < g.ColumnCount(); ++c)
    if (g.Text(0, c) == heading) return c;
  return -1;
}

TEST(ViewArchive, HeadingsAndWidthsPerCode) {
  const auto headings = [](std::uint32_t code) {
    TDecodedValues v = WithHours(code, {});
    v.ChannelCount = 2;
    const TGrid g = BuildHourGrid(v, {});
    std::vector<std::string> out;
    for (int c = 0; c < g.ColumnCount(); ++c) out.push_back(g.Text(0, c));
    return out;
  };
  const auto list = [](auto& array) { return std::vector<std::string>(std::begin(array), std::end(array)); };
  EXPECT_EQ(headings(53), list(vt::HourColumns53));
  EXPECT_EQ(headings(54), list(vt::HourColumns54));
  EXPECT_EQ(headings(55), list(vt::HourColumns54));
  EXPECT_EQ(headings(23), list(vt::HourColumnsOld));
  EXPECT_EQ(headings(50), list(vt::HourColumnsCompact));
  EXPECT_EQ(headings(60), list(vt::HourColumnsFlow));
  auto without = list(vt::HourColumns53);
  without.erase(without.begin() + 13, without.begin() + 17);  // the four pressures
  EXPECT_EQ(headings(56), without);
  EXPECT_EQ(headings(56).size(), 19u);
  const auto pulse = headings(70);
  ASSERT_EQ(pulse.size(), 6u);
  EXPECT_EQ(pulse[2], std::string(vt::PulseColumnPrefix) + "1" + vt::PulseColumnSuffix);
  EXPECT_EQ(pulse[3], std::string(vt::PulseColumnPrefix) + "2" + vt::PulseColumnSuffix);
  EXPECT_EQ(pulse[4], vt::HourColumnsPulseTail[0]);

  const TGrid g = BuildHourGrid(WithHours(50, {}), {});
  EXPECT_EQ(g.ColumnWidths[0].Sample, vt::DateWidthSample);
  EXPECT_EQ(g.ColumnWidths[0].ExtraPixels, 10);
  EXPECT_EQ(g.ColumnWidths[1].Sample, vt::TimeWidthSample);
  EXPECT_EQ(g.ColumnWidths[9].Sample, vt::WorkWidthSample);
  EXPECT_EQ(g.ColumnWidths[2].Sample, vt::HourColumnsCompact[2]);
  EXPECT_EQ(g.ColumnWidths[2].ExtraPixels, 20);
  EXPECT_EQ(g.RowCount(), 2);  // at least 2 rows
  EXPECT_EQ(g.At(0, 5).Background, GridLightYellow);
  EXPECT_EQ(g.At(1, 1).Background, GridLightYellow);
  EXPECT_EQ(g.At(1, 2).Background, GridWhite);
}

TEST(ViewArchive, ClockRecordsShownOnlyWhenAsked) {
  std::vector<HourRecord> records;
  for (int i = 0; i < 10; ++i) records.push_back(i == 3 || i == 7 ? Clock(i == 7) : Normal(i));
  const TDecodedValues v = WithHours(53, records);
  EXPECT_EQ(BuildHourGrid(v, {false, false}).RowCount(), 9);  // 8 records and the headings
  const TGrid g = BuildHourGrid(v, {true, false});
  ASSERT_EQ(g.RowCount(), 11);
  EXPECT_EQ(g.Text(4, 2), vt::RtcMark);
  EXPECT_EQ(g.Text(4, 3), "");
  EXPECT_EQ(g.Text(8, 3), vt::ResetMark);
  EXPECT_EQ(g.Text(8, 1), "06:30:05");
  for (int c = 4; c <= 20; ++c) EXPECT_EQ(g.Text(8, c), "") << c;
  EXPECT_EQ(g.Text(8, Column(g, vt::HourColumns53[21])), "3.25");
  EXPECT_EQ(g.Text(8, Column(g, vt::HourColumns53[22])), "0A20");
  EXPECT_EQ(g.Text(5, 1), "04:00:00");  // rows close up behind the clock record
}

TEST(ViewArchive, EmptyRecordsShownOnlyWhenAsked) {
  HourRecord empty = Normal(2);
  empty.IsEmpty = 1;
  empty.DateText = "x";
  const TDecodedValues v = WithHours(53, {Normal(1), empty, Normal(3)});
  const TGrid hidden = BuildHourGrid(v, {false, false});
  ASSERT_EQ(hidden.RowCount(), 3);
  EXPECT_EQ(hidden.Text(2, 1), "03:00:00");
  const TGrid shown = BuildHourGrid(v, {false, true});
  ASSERT_EQ(shown.RowCount(), 4);
  EXPECT_EQ(shown.Text(2, 0), "x");
  // With nothing to show the grid keeps one empty row under the headings.
  const TGrid none = BuildHourGrid(WithHours(53, {empty}), {false, false});
  EXPECT_EQ(none.RowCount(), 2);
  EXPECT_EQ(none.Text(1, 0), "");
}

TEST(ViewArchive, ValueTextsOfTheTwoSystemMeter) {
  HourRecord r = Normal(1);
  r.T1 = 160.0;
  r.T2 = 159.99;
  r.T3 = 0;
  r.P1 = 25.4;
  r.P2 = 25.5;
  r.P3 = 16.5;
  r.P4 = 25.45;
  HourRecord s = Normal(2);
  s.P1 = 25.5;
  s.P2 = 25.34;
  s.P3 = 16.4;
  const TGrid g = BuildHourGrid(WithHours(53, {r, s}), {});
  const auto at = [&](int row, int heading) { return g.Text(row, Column(g, vt::HourColumns53[heading])); };
  EXPECT_EQ(at(1, 2), " 1.250");
  EXPECT_EQ(at(1, 4), vt::BadTemperature);
  EXPECT_EQ(at(1, 5), "159.99");
  EXPECT_EQ(at(1, 6), vt::BadTemperature);
  EXPECT_EQ(at(1, 8), "12.500");
  EXPECT_EQ(at(1, 12), "1.000");
  EXPECT_EQ(at(1, 13), vt::Broken);
  EXPECT_EQ(at(1, 14), vt::Overload);
  EXPECT_EQ(at(1, 15), vt::Broken);
  EXPECT_EQ(at(1, 16), vt::Overload);
  EXPECT_EQ(at(2, 13), vt::OverloadLong);
  EXPECT_EQ(at(2, 14), "25.3");
  EXPECT_EQ(at(2, 15), "16.4");
  EXPECT_EQ(at(1, 17), "  4");
  EXPECT_EQ(at(1, 19), " 60");
  EXPECT_EQ(at(1, 21), "3.50");
  EXPECT_EQ(at(1, 22), "0120");
}

// Each value column keeps its longest text in sight, found without formatting
// every row: signs, negative zero, rounding up to another digit, texts in
// place of values, clock records.
TEST(ViewArchive, ValueColumnsAreAsWideAsTheirLongestText) {
  std::vector<HourRecord> records;
  for (int n = 0; n < 6; ++n) records.push_back(Normal(n));
  records[4].P3 = -0.0;        // "-0.0" beside "0.0"
  records[1].Q2 = -0.0004;
  records[2].G1 = 99999.9996;  // "100000.000"
  records[3].G2 = -12345.5;
  records[4].T1 = 200;         // "???"
  records[1].P1 = 25.5;        // "перегруз"
  records[2].P2 = 25.4;        // "обрыв"
  records[5].V5 = 1e7;
  records[5].WorkMin2 = -1234;
  records[3].EeAddress = -1;
  records.push_back(Clock(true));
  for (const std::uint32_t code : {53u, 23u, 50u}) {
    const TGrid g = BuildHourGrid(WithHours(code, records), {true, true});
    for (int c = 2; c < g.ColumnCount(); ++c) {
      std::size_t longest = 0;
      for (int r = 1; r < g.RowCount(); ++r) longest = std::max(longest, Utf8Length(g.Text(r, c)));
      EXPECT_EQ(Utf8Length(g.ColumnWidths[static_cast<std::size_t>(c)].Widest), longest)
          << "code " << code << ", " << g.Text(0, c);
    }
  }
}

TEST(ViewArchive, OtherFamiliesColumns) {
  HourRecord r = Normal(1);
  r.V1 = 2.5;
  r.V3 = -1.25;
  r.P1 = 16.5;
  r.P2 = 3;
  const TGrid older = BuildHourGrid(WithHours(23, {r}), {});
  EXPECT_EQ(older.Text(1, 6), " 2.500");
  EXPECT_EQ(older.Text(1, 8), "-1.250");
  EXPECT_EQ(older.Text(1, 9), vt::BadTemperature);  // pressures from 16.5 on
  EXPECT_EQ(older.Text(1, 10), "3.0");

  r.WorkMin2 = 123456;
  const TGrid compact = BuildHourGrid(WithHours(50, {r}), {});
  EXPECT_EQ(compact.Text(1, 8), "  4");
  EXPECT_EQ(compact.Text(1, 9), "123456");
  EXPECT_EQ(compact.Text(1, 10), " 60");

  r.EeAddress = 0x21;
  EXPECT_EQ(BuildHourGrid(WithHours(54, {r}), {}).Text(1, 12), "21");  // two digits for 54, 55

  HourRecord p = Normal(1);
  p.ChannelVolumes[0] = 0.5;
  p.ChannelVolumes[1] = 1.75;
  TDecodedValues pulse = WithHours(70, {p});
  pulse.ChannelCount = 2;
  const TGrid pg = BuildHourGrid(pulse, {});
  EXPECT_EQ(pg.Text(1, 2), " 0.500");
  EXPECT_EQ(pg.Text(1, 3), " 1.750");
  EXPECT_EQ(pg.Text(1, 4), "  4");
}

TEST(ViewArchive, DayGridOfTheTwoSystemMeters) {
  DayRecord r = Normal(0);
  r.P1 = 16.5;
  r.P3 = 16.4;
  TDecodedValues v;
  v.DeviceCode = 53;
  v.DayRecords = {r, Clock(true)};
  v.DayCount = 2;
  const TGrid g = BuildDayGrid(v, {true, false});
  ASSERT_EQ(g.ColumnCount(), 22);
  ASSERT_EQ(g.RowCount(), 3);
  EXPECT_EQ(g.Text(0, 12), vt::DayColumns53[12]);
  EXPECT_EQ(g.Text(1, 13), vt::BadTemperature);
  EXPECT_EQ(g.Text(1, 15), "16.4");
  EXPECT_EQ(g.Text(2, 2), vt::RtcMark);
  EXPECT_EQ(g.Text(2, 3), vt::ResetMark);
  EXPECT_EQ(g.Text(2, 21), "0A20");
  v.DeviceCode = 56;
  EXPECT_EQ(BuildDayGrid(v, {}).ColumnCount(), 18);
  v.DeviceCode = 55;
  EXPECT_EQ(BuildDayGrid(v, {}).ColumnCount(), 12);
  v.DeviceCode = 50;
  EXPECT_EQ(BuildDayGrid(v, {}).ColumnCount(), 0);
}

}  // namespace
}  // namespace velk
