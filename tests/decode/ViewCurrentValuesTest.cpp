// The current-values grid (LSDGrid): layouts and value rules per device family.
#include <gtest/gtest.h>

#include "decode/views/CurrentValuesView.h"
#include "decode/views/ViewTexts.h"

namespace velk {
namespace {

namespace vt = viewtext;

TDecodedValues TwoSystemValues(std::uint32_t code) {
  TDecodedValues v;
  v.DeviceCode = code;
  v.CurQ1 = 12.3456;
  v.CurHeatRate1 = 999999.0;
  v.CurHeatRate2 = 0.25;
  v.CurTemp1 = 70.5;
  v.CurTemp2 = 50.25;
  v.CurTemp3 = 256.0;
  v.CurTemp4 = -0.5;
  v.CurPressure1 = 6.25;
  v.CurPressure2 = 16.0;
  v.ColdWaterTemp = 5;
  v.SupplyVoltage = 3.578;
  v.WorkMinutes1 = 125;
  v.WorkMinutes2 = 59;
  v.SerialNumber = 1234;
  v.FirmwareVersion = 2.3;
  v.SchemeName1 = "X";
  v.SchemeName2 = "Y";
  v.ErrorCode1 = 4;
  v.ErrorCode2 = 16;
  v.MeterDateText = "01.02.2026";
  v.MeterTimeText = "08:20:00";
  v.PulsePrice1 = 2.5;
  return v;
}

TEST(ViewCurrentValues, TwoSystemLayoutAndValueRules) {
  const TGrid g = BuildCurrentValuesGrid(TwoSystemValues(53));
  ASSERT_EQ(g.RowCount(), 16);
  ASSERT_EQ(g.ColumnCount(), 6);
  EXPECT_EQ(g.ColumnWidths[0].FixedPixels, 40);
  EXPECT_TRUE(g.ColumnWidths[1].ShareRest);
  EXPECT_EQ(g.ColumnWidths[1].Sample, vt::LsdWidthSample);
  EXPECT_EQ(g.ColumnWidths[1].ExtraPixels, 5);
  for (int r = 0; r < 8; ++r) {
    EXPECT_EQ(g.Text(2 * r + 1, 0), std::to_string(r + 1));
    EXPECT_EQ(g.At(2 * r, 3).Background, GridLightYellow);
    EXPECT_EQ(g.At(2 * r + 1, 3).Background, GridWhite);
    for (int c = 0; c < 5; ++c) EXPECT_EQ(g.Text(2 * r, c + 1), vt::Lsd53Captions[r][c]);
  }
  EXPECT_EQ(g.Text(1, 1), "12.346");
  EXPECT_EQ(g.Text(1, 2), vt::PlainError);  // heat rate stored as 999999
  EXPECT_EQ(g.Text(1, 4), "0.25");
  EXPECT_EQ(g.Text(1, 5), "X-Y");
  EXPECT_EQ(g.Text(3, 5), "01.02.2026  08:20:00");
  EXPECT_EQ(g.Text(5, 5), "4  16");
  EXPECT_EQ(g.Text(7, 1), "70.5");
  EXPECT_EQ(g.Text(7, 3), vt::HighError);  // above 255
  EXPECT_EQ(g.Text(7, 4), vt::LowError);   // below 0
  EXPECT_EQ(g.Text(7, 5), "5");
  EXPECT_EQ(g.Text(9, 1), "2:05");
  EXPECT_EQ(g.Text(9, 2), "20.25");
  EXPECT_EQ(g.Text(9, 3), "0:59");
  EXPECT_EQ(g.Text(9, 4), vt::HighError);  // T3 - T4 with T3 out of 0..160
  EXPECT_EQ(g.Text(9, 5), "1234  2.3");
  EXPECT_EQ(g.Text(11, 1), "6.3");
  EXPECT_EQ(g.Text(11, 2), vt::LowError);  // 16 and above
  EXPECT_EQ(g.Text(11, 5), "3.58");
  EXPECT_EQ(g.Text(15, 1), "2.5");

  // Code 56 shows no pressures.
  const TGrid c = BuildCurrentValuesGrid(TwoSystemValues(56));
  for (int col = 1; col <= 4; ++col) EXPECT_EQ(c.Text(11, col), vt::NoValue4);
}

TEST(ViewCurrentValues, DifferenceNeedsBothTemperaturesAndTheDifferenceInRange) {
  TDecodedValues v = TwoSystemValues(53);
  v.CurTemp1 = 40;
  v.CurTemp2 = 50;  // negative difference
  EXPECT_EQ(BuildCurrentValuesGrid(v).Text(9, 2), vt::HighError);
  v.CurTemp1 = 160;
  v.CurTemp2 = 0;
  EXPECT_EQ(BuildCurrentValuesGrid(v).Text(9, 2), "160");
  v.CurTemp1 = 160.5;
  EXPECT_EQ(BuildCurrentValuesGrid(v).Text(9, 2), vt::HighError);
}

TEST(ViewCurrentValues, SingleSystemLayouts) {
  TDecodedValues v = TwoSystemValues(54);
  const TGrid g = BuildCurrentValuesGrid(v);
  ASSERT_EQ(g.ColumnCount(), 5);
  ASSERT_EQ(g.RowCount(), 16);
  EXPECT_EQ(g.Text(0, 3), vt::NoValue6);
  EXPECT_EQ(g.Text(1, 3), vt::NoValue6);
  EXPECT_EQ(g.Text(0, 4), vt::Lsd53Captions[0][4]);
  EXPECT_EQ(g.Text(1, 4), "X");  // system 1 only
  EXPECT_EQ(g.Text(5, 4), "4");
  EXPECT_EQ(g.Text(7, 3), vt::PlainError);  // above 255
  EXPECT_EQ(g.Text(7, 4), "5");             // Tk
  EXPECT_EQ(g.Text(8, 3), vt::NoValue6);
  EXPECT_EQ(g.Text(11, 2), "16");  // plain pressure for code 54
  EXPECT_EQ(g.Text(12, 4), vt::NoValue6);
  EXPECT_EQ(g.Text(14, 3), vt::Lsd53Captions[7][2]);
  v.CurTemp4 = -3;
  v.DeviceCode = 55;
  const TGrid s = BuildCurrentValuesGrid(v);
  for (int col = 1; col <= 3; ++col) EXPECT_EQ(s.Text(11, col), vt::NoValue4);
}

TEST(ViewCurrentValues, OlderMeterLayout) {
  TDecodedValues v;
  v.DeviceCode = 23;
  v.CurVolume3 = -1.5;
  v.OperatingHours = 77;
  v.OperatingMinutes = 41;
  v.CurVolumeFlow4 = 0.125;
  v.CurTemp1 = 300;
  v.CurPressure1 = 6;
  v.CurPressure2 = 4.5;
  v.CurHeatRate1 = 12.5;
  v.PulsePrice1 = 2.506;
  v.PulsePrice3 = 10;
  v.SchemeName1 = "S";
  v.SerialNumber = 42;
  const TGrid g = BuildCurrentValuesGrid(v);
  ASSERT_EQ(g.ColumnCount(), 5);
  ASSERT_EQ(g.RowCount(), 16);
  for (int r = 0; r < 8; ++r)
    for (int c = 0; c < 4; ++c) EXPECT_EQ(g.Text(2 * r, c + 1), vt::LsdOldCaptions[r][c]);
  EXPECT_EQ(g.Text(1, 3), "-1.5");
  EXPECT_EQ(g.Text(1, 4), "77");
  EXPECT_EQ(g.Text(3, 4), "0.125");
  EXPECT_EQ(g.Text(5, 1), vt::HighError);
  EXPECT_EQ(g.Text(7, 3), "1.5");  // P1 - P2
  EXPECT_EQ(g.Text(11, 1), "12.5");
  EXPECT_EQ(g.Text(13, 1), "2.51");
  EXPECT_EQ(g.Text(13, 3), "S");
  EXPECT_EQ(g.Text(13, 4), "42");
  EXPECT_EQ(g.Text(15, 4), "41");
}

TEST(ViewCurrentValues, CompactMeterDependsOnFirmware) {
  TDecodedValues v;
  v.DeviceCode = 51;
  v.FirmwareVersion = 2.6;
  v.CurTemp1 = 70;
  v.CurTemp2 = 300;
  v.CurCoolingQ = 1.5;
  v.MeterDateText = "01.02.2026";
  v.MeterTimeText = "08:20:00";
  v.WorkMinutes1 = 61;
  v.SizeIndex = 4;
  v.PulsePrice2 = 2.5;
  TGrid g = BuildCurrentValuesGrid(v);
  ASSERT_EQ(g.ColumnCount(), 7);
  ASSERT_EQ(g.RowCount(), 8);
  EXPECT_EQ(g.Text(0, 6), vt::LsdCompactRow0[5]);
  EXPECT_EQ(g.Text(1, 5), vt::PlainError);
  EXPECT_EQ(g.Text(1, 6), vt::HighError);  // T1 - T2 with T2 missing
  EXPECT_EQ(g.Text(2, 4), vt::LsdCompactRow2[3]);
  EXPECT_EQ(g.Text(3, 4), "01.02.2026");
  EXPECT_EQ(g.Text(3, 5), "08:20:00");
  EXPECT_EQ(g.Text(3, 6), "1:01");
  EXPECT_EQ(g.Text(5, 0), "3");
  EXPECT_EQ(g.Text(7, 3), "2.5");
  EXPECT_EQ(g.Text(7, 6), "51   04");

  v.FirmwareVersion = 2.7;
  g = BuildCurrentValuesGrid(v);
  EXPECT_EQ(g.Text(0, 6), vt::LsdCompactCooling);
  EXPECT_EQ(g.Text(1, 6), "1.5");
  EXPECT_EQ(g.Text(2, 4), vt::LsdCompactNewDate);
  EXPECT_EQ(g.Text(2, 5), vt::LsdCompactNewTime);
  EXPECT_EQ(g.Text(3, 5), "01.02.2026  08:20:00");
}

TEST(ViewCurrentValues, FlowMeterAndPulseCounter) {
  TDecodedValues v;
  v.DeviceCode = 60;
  v.SizeIndex = 3;
  v.SerialNumber = 1234;
  v.CurVolume2 = 0.002;
  v.PulsePrice1 = 25;
  TGrid g = BuildCurrentValuesGrid(v);
  ASSERT_EQ(g.ColumnCount(), 4);
  ASSERT_EQ(g.RowCount(), 6);
  EXPECT_EQ(g.Text(2, 1), vt::LsdFlowRow2[0]);
  EXPECT_EQ(g.Text(3, 1), "0.002");
  EXPECT_EQ(g.Text(5, 2), "60-0301234");
  EXPECT_EQ(g.Text(5, 3), "25");

  TDecodedValues p;
  p.DeviceCode = 71;
  p.ChannelCount = 3;
  p.SerialNumber = 77;
  p.FirmwareVersion = 1;
  p.ChannelId[1] = " 123A-4";
  p.ChannelVolume[1] = 1.5;
  p.ChannelPulsePrice[1] = 10;
  p.ChannelPulses[1] = 900;
  g = BuildCurrentValuesGrid(p);
  ASSERT_EQ(g.ColumnCount(), 5);
  ASSERT_EQ(g.RowCount(), 8);
  EXPECT_EQ(g.Text(0, 0), vt::LsdPulseRow0[0]);
  EXPECT_EQ(g.Text(1, 1), std::string("77") + vt::PulseJoin + "1.0");
  EXPECT_EQ(g.Text(2, 4), vt::LsdPulseRow2[4]);
  EXPECT_EQ(g.Text(5, 0), " 123A-4");
  EXPECT_EQ(g.Text(5, 1), "1.5");
  EXPECT_EQ(g.Text(5, 3), std::string("10") + vt::PulseJoin + "2");
  EXPECT_EQ(g.Text(5, 4), "900");
  EXPECT_EQ(g.Text(6, 0), "");  // separator row
  EXPECT_EQ(g.At(2, 0).Background, GridLightYellow);
  EXPECT_EQ(g.At(3, 0).Background, GridWhite);

  TDecodedValues unknown;
  unknown.DeviceCode = 57;
  EXPECT_EQ(BuildCurrentValuesGrid(unknown).RowCount(), 0);
}

}  // namespace
}  // namespace velk
