// Pulse counter images written field by field; expected values by hand.
#include "decode/DecodePulseCounter.h"

#include <gtest/gtest.h>

#include "common/Clock.h"
#include "imagebuilder/PulseCounterImage.h"

namespace velk {
namespace {

TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) { return *EncodeDateTime({y, mo, d, h, mi, s, 0}); }

class PulseCounterTest : public ::testing::Test {
 protected:
  PulseCounterTest() { builder.SetSerial(42).SetClock(At(2026, 3, 10, 14, 25, 30)).SetInitTime(At(2025, 1, 1)); }

  TDecodedValues Decode(PulseCounterImageBuilder& b, int code = 70, int readMode = 0) {
    b.BuildFullDump(readTime, image);
    TDecodedValues v;
    v.DeviceCode = code;
    DecodePulseCounter(TDecodeInput{image, now, readMode}, v);
    return v;
  }

  TDateTime readTime = At(2026, 3, 10, 14, 25, 0);
  ManualClock now{At(2026, 3, 10, 15, 0, 0)};
  PulseCounterImageBuilder builder{70};
  TDumpImage image;
};

TEST_F(PulseCounterTest, IdentificationAndChannelCount) {
  builder.SetChannelCountByte(0x24).SetRamByte(0x025A, 0x60).SetRamByte(0x025B, 5).SetFirmware(1, 2);
  const TDecodedValues v = Decode(builder);
  EXPECT_EQ(v.ChannelCount, 4);
  EXPECT_EQ(v.TypeTS, "Стриж-4");
  EXPECT_EQ(v.ZavNumber, "70-00042");
  EXPECT_DOUBLE_EQ(v.SupplyVoltage, 3.5);
  EXPECT_EQ(v.ErrorCode1, 5);
  EXPECT_DOUBLE_EQ(v.FirmwareVersion, 1.2);
  EXPECT_EQ(v.MeterDateText, "10.03.2026");
  EXPECT_EQ(v.MeterTimeText, "14:25:30");
  EXPECT_EQ(v.InitDateText, "01.01.2025");

  builder.SetChannelCountByte(0x3F);  // 31 named, at most 16 exist
  EXPECT_EQ(Decode(builder).ChannelCount, 16);

  PulseCounterImageBuilder sixteen(71);
  EXPECT_EQ(Decode(sixteen, 71).TypeTS, "Стриж-16");
}

TEST_F(PulseCounterTest, ReportDay) {
  builder.SetReportDayByte(0x15);
  EXPECT_EQ(Decode(builder).ReportDay, 15);
  builder.SetReportDayByte(0x19);
  EXPECT_EQ(Decode(builder).ReportDay, 19);
  builder.SetReportDayByte(0x1A);
  EXPECT_EQ(Decode(builder).ReportDay, 1);
}

TEST_F(PulseCounterTest, ChannelPricesIdentifiersAndTotals) {
  builder.SetChannelBlock(0, {0x0F, 0x12, 0x3A, 0xE4});  // no price bits: 250 / 1000
  builder.SetChannelBlock(1, {0xD5, 0x00, 0x00, 0x00});  // 1000 / 100
  builder.SetChannelBlock(2, {0x30, 0xFF, 0xFF, 0xFF});  // 250 / 1
  builder.SetChannelBlock(13, {0x10, 0x00, 0x00, 0x00});  // 250 / 100
  builder.SetChannelPulses(2, 123456).SetChannelTotal(2, 400).SetChannelIncrement(2, 8);
  builder.SetChannelPulses(13, 5000).SetChannelTotal(13, 4000).SetChannelIncrement(13, 40);
  // Totals of channels 0..11 and 12..15 lie in two banks: the last of one and the first of the other.
  builder.SetChannelTotal(11, 800).SetChannelTotal(12, 1200);
  const TDecodedValues v = Decode(builder);
  EXPECT_DOUBLE_EQ(v.ChannelTotal[11], 0.2);  // 800 / 4 / 1000
  EXPECT_DOUBLE_EQ(v.ChannelTotal[12], 0.3);  // 1200 / 4 / 1000

  EXPECT_EQ(v.ChannelId[0], " 123A-4");
  EXPECT_DOUBLE_EQ(v.ChannelDivider[0], 1000);
  EXPECT_DOUBLE_EQ(v.ChannelPulsePrice[0], 0.25);
  EXPECT_EQ(v.ChannelId[1], "5000000");
  EXPECT_DOUBLE_EQ(v.ChannelPulsePrice[1], 10.0);
  EXPECT_EQ(v.ChannelId[2], "0      ");
  EXPECT_DOUBLE_EQ(v.ChannelPulsePrice[2], 250.0);

  EXPECT_EQ(v.ChannelPulses[2], 123456);
  EXPECT_DOUBLE_EQ(v.ChannelReportVolume[2], 123456.0);
  EXPECT_DOUBLE_EQ(v.ChannelTotal[2], 100.0);   // 400 / 4
  EXPECT_DOUBLE_EQ(v.ChannelVolume[2], 102.0);  // plus 8 / 4
  EXPECT_DOUBLE_EQ(v.ChannelReportVolume[13], 50.0);
  EXPECT_DOUBLE_EQ(v.ChannelTotal[13], 10.0);   // 4000 / 4 / 100
  EXPECT_DOUBLE_EQ(v.ChannelVolume[13], 10.1);
}

TEST_F(PulseCounterTest, HourRecords) {
  builder.SetChannelBlock(0, {0x30, 0, 0, 0}).SetChannelBlock(1, {0x10, 0, 0, 0}).SetChannelBlock(2, {0x20, 0, 0, 0});
  builder.SetHourSlots(6);
  builder.AddHourRecord(PulseCounterRecord::Hour({1, 2, 3, 4}))
      .AddHourRecord(PulseCounterRecord::Clock(At(2026, 3, 10, 11, 0, 5), true))
      .AddHourRecord(PulseCounterRecord::Hour({0x8000 | 100, 0x8000 | 40, 12, 8, 77}));
  const TDecodedValues v = Decode(builder);
  ASSERT_EQ(v.HourCount, 6);
  EXPECT_EQ(v.DayCount, 0);
  // Slots 3..5 were never written, then the three records in slots 0..2.
  EXPECT_EQ(v.HourRecords[0].DateText, "Нет");
  EXPECT_EQ(v.HourRecords[0].IsEmpty, 1);

  const HourRecord& newest = v.HourRecords[5];
  EXPECT_EQ(newest.EeAddress, 0x100 + 2 * 16);
  EXPECT_EQ(newest.K1, 192);
  EXPECT_DOUBLE_EQ(newest.ChannelVolumes[0], 25.0);   // 100 / 4 / 1
  EXPECT_DOUBLE_EQ(newest.ChannelVolumes[1], 0.1);    // 40 / 4 / 100
  EXPECT_DOUBLE_EQ(newest.ChannelVolumes[2], 0.3);    // 12 / 4 / 10
  EXPECT_DOUBLE_EQ(newest.ChannelVolumes[3], 0.002);  // 8 / 4 / 1000
  EXPECT_DOUBLE_EQ(newest.ChannelVolumes[4], 0.0);    // beyond the channel count
  EXPECT_EQ(newest.TimeText, "13:00:00");

  const HourRecord& clock = v.HourRecords[4];
  EXPECT_EQ(clock.IsRtc, 1);
  EXPECT_EQ(clock.IsReset, 1);
  EXPECT_EQ(clock.TimeText, "11:00:05");

  EXPECT_EQ(v.HourRecords[3].K1, 0);
  EXPECT_EQ(v.HourRecords[3].TimeText, "11:00:00");  // the count restarts from the reset
  EXPECT_NEAR(v.TotTime, At(2026, 3, 10, 14), 1e-9);
}

TEST_F(PulseCounterTest, ReadTimeWinsWhenPlausible) {
  builder.SetClock(At(2026, 3, 10, 9, 10)).SetHourSlots(2);
  builder.AddHourRecord(PulseCounterRecord::Hour({1})).AddHourRecord(PulseCounterRecord::Hour({2}));
  TDecodedValues v = Decode(builder);
  EXPECT_EQ(v.HourRecords[1].TimeText, "13:00:00");  // from the reading time 14:25

  now.Set(At(2026, 3, 10, 14));  // reading time still ahead: the meter clock holds
  v = Decode(builder);
  EXPECT_EQ(v.HourRecords[1].TimeText, "08:00:00");
}

TEST_F(PulseCounterTest, PartialDumpAndReadMode) {
  builder.SetHourSlots(20);
  for (int i = 0; i < 5; ++i) builder.AddHourRecord(PulseCounterRecord::Hour({static_cast<std::uint16_t>(4 * i)}));
  builder.SetChannelBlock(0, {0x30, 0, 0, 0});
  const MeterMemory memory = builder.BuildMemory();
  const std::vector<EepromRange> ranges = {{0x100, 0x100 + 5 * 16}};
  WriteAppendedReadingDump(memory, readTime, ranges, image);
  TDecodedValues v;
  v.DeviceCode = 70;
  DecodePulseCounter(TDecodeInput{image, now, 0}, v);
  ASSERT_EQ(v.HourCount, 5);
  for (int i = 0; i < 5; ++i) EXPECT_DOUBLE_EQ(v.HourRecords[i].ChannelVolumes[0], i) << i;
  EXPECT_EQ(v.HourRecords[4].TimeText, "13:00:00");

  DecodePulseCounter(TDecodeInput{image, now, 2}, v);
  EXPECT_EQ(v.HourCount, 0);
  EXPECT_TRUE(v.HourRecords.empty());
}

TEST_F(PulseCounterTest, RecordLengthZeroIsAConversionError) {
  builder.SetRecordLength(0);
  EXPECT_THROW(Decode(builder), std::exception);
}

}  // namespace
}  // namespace velk
