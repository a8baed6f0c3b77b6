// Flow meter (code 60): images written field by field, values worked out by hand.
#include <gtest/gtest.h>

#include "common/Clock.h"
#include "common/DeviceFamilies.h"
#include "decode/DecodeFlowMeter.h"
#include "decode/FamilyTexts.h"
#include "imagebuilder/CompactMeterImage.h"

namespace velk {
namespace {

TDateTime At(int y, int mo, int d, int h, int mi, int s = 0) {
  return *EncodeDateTime({y, mo, d, h, mi, s, 0});
}

const TDateTime ReadAt = At(2026, 5, 4, 16, 45, 0);

CompactMeterImageBuilder Meter() {
  CompactMeterImageBuilder b(60);
  b.SetSerial(1234).SetFirmware(0x01, 0x02).SetClock(ReadAt).SetInitTime(At(2024, 6, 1, 0, 0));
  b.SetEeprom(1, 3, 1);  // size index 3
  return b;
}

TDecodedValues Decode(const TDumpImage& image, int readMode = 0) {
  ManualClock clock(ReadAt + 1);
  TDecodedValues v;
  v.DeviceCode = 60;
  DecodeFlowMeter(TDecodeInput{image, clock, readMode}, v);
  return v;
}

TDecodedValues DecodeFull(const CompactMeterImageBuilder& b) {
  TDumpImage image;
  b.BuildFullDump(ReadAt, image);
  return Decode(image);
}

TEST(FlowMeterTest, SizeIndexSerialTextAndCaption) {
  const auto v = DecodeFull(Meter());
  EXPECT_EQ(v.SizeIndex, 3);
  EXPECT_EQ(v.NominalSize, "25");
  EXPECT_EQ(v.ZavNumber, "60-03001234");
  EXPECT_EQ(v.TypeTS, std::string(DeviceTypeName(60)) + "25");
  EXPECT_EQ(v.SchemeName1, "");
  EXPECT_DOUBLE_EQ(v.FirmwareVersion, 1.2);

  auto big = Meter();
  big.SetEeprom(1, 11, 1);
  EXPECT_EQ(DecodeFull(big).NominalSize, "200");
  big.SetEeprom(1, 12, 1);
  EXPECT_EQ(DecodeFull(big).NominalSize, "");
  EXPECT_EQ(DecodeFull(big).ZavNumber, "60-12001234");
}

TEST(FlowMeterTest, ChannelConfigurationAndCurrentValues) {
  const struct {
    std::uint8_t Config;
    int Divider, Multiplier;
  } cases[] = {{0x00, 1, 1}, {0x09, 10, 2}, {0x12, 100, 2}, {0x1C, 1000, 4}};
  for (const auto& c : cases) {
    auto b = Meter();
    b.SetEeprom(16, c.Config, 1);
    const auto v = DecodeFull(b);
    EXPECT_EQ(v.PulseDivider1, c.Divider) << int(c.Config);
    EXPECT_EQ(v.VolumeMultiplier1, c.Multiplier) << int(c.Config);
  }

  auto b = Meter();
  b.SetEeprom(16, 0x01, 1);  // divider 10
  b.SetRam(0x0276, 96, 1);   // 96 / 64 + 2 = 3.5 V
  b.SetRam(0x0275, 9, 1);
  b.SetRam(0x0264, 21 * 256 + 128, 2);  // 20.5 degC
  b.SetRam(0x0270, 150, 2);             // 150 / 5 / 10 = 3 m3/h
  b.SetRam(0x0294, 4 * 5000, 4);        // 5000 / 10
  b.SetRam(0x026A + 2, 1, 4);           // bytes 2..5 of the 6-byte value: 2^16 / 2^15 = 2, / 10 / 100
  b.SetRam(0x0258, 25, 2);              // 25 x 10 / 10 = 25 l
  b.SetEeprom(144, 4 * 700, 4);         // 700 / 10
  const auto v = DecodeFull(b);
  EXPECT_DOUBLE_EQ(v.SupplyVoltage, 3.5);
  EXPECT_EQ(v.ErrorCode1, 9);
  EXPECT_DOUBLE_EQ(v.CurTemp1, 20.5);
  EXPECT_DOUBLE_EQ(v.CurVolumeFlow1, 3);
  EXPECT_DOUBLE_EQ(v.CurVolume1, 500);
  EXPECT_DOUBLE_EQ(v.CurVolumeSecond, 0.002);
  EXPECT_DOUBLE_EQ(v.CurVolume2, 0.002);
  EXPECT_DOUBLE_EQ(v.PulsePrice1, 25);
  EXPECT_DOUBLE_EQ(v.TotVolume1, 70);
}

TEST(FlowMeterTest, HourRecordsWithClockRecordsAndBlanks) {
  auto b = Meter();
  b.SetEeprom(16, 0x02, 1);  // divider 100
  FlowMeterRecord hour;
  hour.V1 = 40;
  hour.T1 = 11 * 256;  // 10 degC
  FlowMeterRecord missing;
  missing.T1 = 0xFFFF;
  FlowMeterRecord lowBattery = FlowMeterRecord::Clock(At(2026, 5, 4, 13, 0, 0), true);
  lowBattery.Voltage = 32;  // 2.5 V
  FlowMeterRecord clock = FlowMeterRecord::Clock(At(2026, 5, 4, 14, 0, 0));
  clock.Voltage = 64;  // 3.0 V exactly is shown as it is
  for (const auto& r : {hour, lowBattery, missing, clock, FlowMeterRecord::Blank(), hour})
    b.AddHourRecord(r.Encode());
  b.SetNewestSlot(7);
  TDumpImage image;
  b.BuildFullDump(ReadAt, image);
  const auto v = Decode(image);

  ASSERT_EQ(v.HourCount, b.RingSlots());
  const auto* r = &v.HourRecords[v.HourCount - 6];
  EXPECT_DOUBLE_EQ(r[0].V1, 0.1);  // 40 x 0.25 / 100
  EXPECT_DOUBLE_EQ(r[0].T1, 10);
  EXPECT_EQ(r[0].EeAddress, 0x0100 + 8 * 2);
  EXPECT_EQ(r[1].IsRtc, 1);
  EXPECT_EQ(r[1].IsReset, 1);
  EXPECT_DOUBLE_EQ(r[1].Ubat, 3.58);  // below 3.0 V
  EXPECT_DOUBLE_EQ(r[2].T1, 256);
  EXPECT_EQ(r[3].IsRtc, 1);
  EXPECT_EQ(r[3].IsReset, 0);
  EXPECT_DOUBLE_EQ(r[3].Ubat, 3.0);
  EXPECT_EQ(r[3].TimeText, "14:00:00");
  EXPECT_EQ(r[4].IsBlank, 1);
  EXPECT_EQ(r[4].IsEmpty, 1);
  EXPECT_EQ(r[5].TimeText, "15:00:00");
  EXPECT_EQ(r[2].TimeText, "13:00:00");  // the blank one took 14:00
}

}  // namespace
}  // namespace velk
