// Two-system heat meter images written field by field; expected values worked
// out by hand from the memory layout.
#include "decode/DecodeMeterFamily5.h"

#include <gtest/gtest.h>

#include <vector>

#include "common/Clock.h"
#include "imagebuilder/Family5ImageBuilder.h"

namespace velk {
namespace {

TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) { return *EncodeDateTime({y, mo, d, h, mi, s, 0}); }

// Density of water by temperature, written out here to stay independent of the helpers.
double Density(double t) { return 1.00406371 - 0.0001894151 * t - 0.0000025948424 * t * t; }

class Family5Test : public ::testing::Test {
 protected:
  Family5Test() : builder(53) {
    builder.SetSerial(1234).SetClock(meterClock).SetInitTime(At(2024, 11, 23, 17, 48, 39));
    // The pointers of the previous reading lie elsewhere than the newest records.
    builder.SetPreviousPointers(Family5ImageBuilder::DefaultHourFirst + 32 * 7,
                                Family5ImageBuilder::DefaultDayFirst + 32 * 3);
  }

  // Every channel scales differently: divider / multiplier 1/100, 1/1000, 10/10, 10/1, 1/10, so a
  // value scaled by the wrong channel shows.
  void DistinctChannels() {
    builder.SetChannelConfig(1, 0x12).SetChannelConfig(2, 0x1C).SetChannelConfig(3, 0x81);
    builder.SetChannelConfig(4, 0x88).SetChannelConfig(5, 0x11);
  }

  // Little-endian bytes into the RAM block.
  void PutRam(std::uint16_t address, std::uint32_t value, int width) {
    for (int i = 0; i < width; ++i) builder.SetRamByte(address + i, static_cast<std::uint8_t>(value >> (8 * i)));
  }

  TDecodedValues Decode(int readMode = 0) {
    TDecodedValues v;
    v.DeviceCode = builder.BuildMemory().FamilyCode;
    DecodeMeterFamily5(TDecodeInput{image, now, readMode}, v);
    return v;
  }
  TDecodedValues DecodeFull(int readMode = 0) {
    builder.BuildFullDump(readTime, image);
    return Decode(readMode);
  }

  TDateTime meterClock = At(2026, 3, 10, 14, 25, 30);
  TDateTime readTime = At(2026, 3, 10, 14, 25, 0);
  ManualClock now{At(2026, 3, 10, 15, 0, 0)};
  Family5ImageBuilder builder;
  TDumpImage image;
};

TEST_F(Family5Test, SchemesCaptionAndFlags) {
  builder.SetSchemes(2, 13).SetRamByte(0x029C, 0x48);  // EEPROM 1 = 0xD2
  const TDecodedValues v = DecodeFull();
  EXPECT_EQ(v.SchemeName1, "А2");
  EXPECT_EQ(v.SchemeCode1, 2);
  EXPECT_EQ(v.SchemeName2, "Кварта");
  EXPECT_EQ(v.SchemeCode2, -1);  // the quarter schemes carry no code
  EXPECT_EQ(v.TypeTS, "ВТ-505 ТАНДЕМ  А2-Кварта");
  EXPECT_TRUE(v.TestMode);
  EXPECT_TRUE(v.WriteEnable);

  builder.SetSchemes(12, 12).SetRamByte(0x029C, 0x00);
  const TDecodedValues off = DecodeFull();
  EXPECT_EQ(off.SchemeName1, "выкл");
  EXPECT_EQ(off.SchemeName2, "Кварта-С");
  EXPECT_FALSE(off.TestMode);

  builder.SetSchemes(15, 9);
  const TDecodedValues last = DecodeFull();
  EXPECT_EQ(last.SchemeName1, "А1о");
  EXPECT_EQ(last.SchemeCode1, 8);
  EXPECT_EQ(last.SchemeName2, "А3о");
  EXPECT_EQ(last.SchemeCode2, 1);
}

TEST_F(Family5Test, EverySchemeNibble) {
  const char* names[] = {"А3п", "А3о", "А2",  "А2",  "А3с",  "А3с",  "А2b", "А2b",
                         "А3п", "А3о", "А4п", "А4о", "выкл", "выкл", "А1п", "А1о"};
  const std::int32_t codes[] = {0, 1, 2, 2, 3, 3, 4, 4, 0, 1, 5, 6, -1, -1, 7, 8};
  for (int nibble = 0; nibble < 16; ++nibble) {
    builder.SetSchemes(static_cast<std::uint8_t>(nibble), static_cast<std::uint8_t>(nibble));
    const TDecodedValues v = DecodeFull(ReadModeCurrentValuesOnly);
    EXPECT_EQ(v.SchemeName1, names[nibble]) << nibble;
    EXPECT_EQ(v.SchemeCode1, codes[nibble]) << nibble;
    EXPECT_EQ(v.SchemeCode2, codes[nibble]) << nibble;
    if (nibble < 12 || nibble > 13) EXPECT_EQ(v.SchemeName2, names[nibble]) << nibble;
  }
}

TEST_F(Family5Test, PressureMarksRenameSystemTwo) {
  builder.SetSchemes(0, 4);
  const std::pair<int, std::uint8_t> marks[] = {{3, 0x20}, {3, 0x40}, {4, 0x20}, {4, 0x40}};
  for (const auto& [channel, mark] : marks) {
    builder.SetChannelConfig(3, 0x00).SetChannelConfig(4, 0x00).SetChannelConfig(channel, mark);
    EXPECT_EQ(DecodeFull().SchemeName2, "P3с") << channel << " " << int{mark};
  }
  builder.SetChannelConfig(3, 0x9F).SetChannelConfig(4, 0x9F);  // every bit but the marks
  EXPECT_EQ(DecodeFull().SchemeName2, "А3с");
  builder.SetSchemes(0, 2).SetChannelConfig(3, 0x00).SetChannelConfig(4, 0x40);
  EXPECT_EQ(DecodeFull().SchemeName2, "P2");
  builder.SetSchemes(0, 0);
  const TDecodedValues v = DecodeFull();
  EXPECT_EQ(v.SchemeName2, "");
  EXPECT_EQ(v.SchemeName1, "А3п");
}

TEST_F(Family5Test, OtherCodesCaption) {
  Family5ImageBuilder tandemC(56);
  tandemC.SetSchemes(4, 2).BuildFullDump(readTime, image);
  TDecodedValues v;
  v.DeviceCode = 56;
  DecodeMeterFamily5(TDecodeInput{image, now, 0}, v);
  EXPECT_EQ(v.TypeTS, "ВТ-505 ТАНДЕМ-C  А3с-А2");
  EXPECT_EQ(v.ZavNumber, "56-00001");
}

TEST_F(Family5Test, ChannelConfiguration) {
  builder.SetChannelConfig(1, 0x92)   // bit 7 has no effect on V1; divider 100, base 500
      .SetChannelConfig(2, 0x1A)      // divider 100, base 1000
      .SetChannelConfig(3, 0x81)      // multiplier 10, divider 10, base 250
      .SetChannelConfig(4, 0x00)
      .SetChannelConfig(5, 0x04);     // divider 1000
  const TDecodedValues v = DecodeFull();
  EXPECT_EQ(v.PulseDivider1, 100);
  EXPECT_EQ(v.VolumeMultiplier1, 1);
  EXPECT_DOUBLE_EQ(v.PulsePrice1, 5.0);
  EXPECT_EQ(v.PulseDivider2, 100);
  EXPECT_DOUBLE_EQ(v.PulsePrice2, 10.0);
  EXPECT_EQ(v.PulseDivider3, 10);
  EXPECT_EQ(v.VolumeMultiplier3, 10);
  EXPECT_DOUBLE_EQ(v.PulsePrice3, 25.0);
  EXPECT_EQ(v.PulseDivider4, 1);
  EXPECT_DOUBLE_EQ(v.PulsePrice4, 250.0);
  EXPECT_EQ(v.PulseDivider5, 1000);
  EXPECT_DOUBLE_EQ(v.PulsePrice5, 0.25);

  builder.SetChannelConfig(1, 0x12);
  const TDecodedValues plain = DecodeFull();
  EXPECT_EQ(plain.PulseDivider1, 100);
  EXPECT_DOUBLE_EQ(plain.PulsePrice1, 5.0);
}

TEST_F(Family5Test, IdentificationCurrentValuesAndTotals) {
  // Every field holds its own value, so a field read from the wrong place shows.
  DistinctChannels();
  builder.SetFirmware(2, 3).SetColdWaterTemp(11).SetWorkMinuteTotals(123456, 654321);
  builder.SetEepromBytes(147, {0xFF});  // the byte after the second work-minute total is not part of it
  builder.SetHeatTotals(0x01234567, 0x00FEDCBA);
  builder.SetMassTotal(1, 4000).SetMassTotal(2, 1000).SetMassTotal(3, 800).SetMassTotal(4, 0x01000020);
  builder.SetVolumeTotal(1, 1200).SetVolumeTotal(2, 2400).SetVolumeTotal(3, 360).SetVolumeTotal(4, 44);
  builder.SetVolumeTotal(5, 0x03000400);
  builder.SetRamByte(0x023F, 0x60).SetRamByte(0x0240, 7).SetRamByte(0x0241, 9);
  builder.SetRamByte(0x0244, 63).SetRamByte(0x0248, 41).SetRamByte(0x024C, 22).SetRamByte(0x0250, 8);
  builder.SetRamByte(0x0296, 30).SetRamByte(0x0297, 45);
  PutRam(0x0254, 18304, 2);       // (70.5 + 1) x 256
  PutRam(0x025A, 0xFFFF, 2);      // no sensor
  PutRam(0x0260, 10560, 2);       // 40.25
  PutRam(0x0266, 1728, 2);        // 5.75
  PutRam(0x026C, 500, 2);         // flow pulses of channels 1..4
  PutRam(0x026E, 300, 2);
  PutRam(0x0270, 1000, 2);
  PutRam(0x0272, 7, 2);
  PutRam(0x0274, 4, 2);           // volume increments of channels 1..5: 1, 3, 5, 7, 2
  PutRam(0x0276, 12, 2);
  PutRam(0x0278, 20, 2);
  PutRam(0x027A, 28, 2);
  PutRam(0x027C, 8, 2);
  PutRam(0x027E, 2u << 18, 4);    // mass increments of channels 1..4: 2, 3, 5, 11
  PutRam(0x0282, 3u << 18, 4);
  PutRam(0x0286, 5u << 18, 4);
  PutRam(0x028A, 11u << 18, 4);
  PutRam(0x028E, 50u << 18, 4);   // heat increments of systems 1 and 2: 50, 70
  PutRam(0x0292, 70u << 18, 4);
  PutRam(0x0298, 600, 2);         // heat-rate pulses of systems 1 and 2
  PutRam(0x029A, 250, 2);
  const TDecodedValues v = DecodeFull();

  EXPECT_EQ(v.SerialNumber, 1234);
  EXPECT_EQ(v.ZavNumber, "53-01234");
  EXPECT_DOUBLE_EQ(v.FirmwareVersion, 2.3);
  EXPECT_DOUBLE_EQ(v.SupplyVoltage, 3.5);
  EXPECT_DOUBLE_EQ(v.ColdWaterTemp, 11.0);
  EXPECT_EQ(v.InitDateText, "23.11.2024");
  EXPECT_EQ(v.InitTimeText, "17:48:39");
  EXPECT_EQ(v.MeterDateText, "10.03.2026");
  EXPECT_EQ(v.MeterTimeText, "14:25:30");
  EXPECT_NEAR(v.ReadTime, readTime, 1e-9);
  EXPECT_EQ(v.ErrorCode1, 7);
  EXPECT_EQ(v.ErrorCode2, 9);
  EXPECT_DOUBLE_EQ(v.CurPressure1, 6.3);
  EXPECT_DOUBLE_EQ(v.CurPressure2, 4.1);
  EXPECT_DOUBLE_EQ(v.CurPressure3, 2.2);
  EXPECT_DOUBLE_EQ(v.CurPressure4, 0.8);

  const std::int32_t dividers[] = {v.PulseDivider1, v.PulseDivider2, v.PulseDivider3, v.PulseDivider4,
                                   v.PulseDivider5};
  const std::int32_t multipliers[] = {v.VolumeMultiplier1, v.VolumeMultiplier2, v.VolumeMultiplier3,
                                      v.VolumeMultiplier4, v.VolumeMultiplier5};
  const double prices[] = {v.PulsePrice1, v.PulsePrice2, v.PulsePrice3, v.PulsePrice4, v.PulsePrice5};
  EXPECT_EQ(std::vector<std::int32_t>(std::begin(dividers), std::end(dividers)),
            (std::vector<std::int32_t>{100, 1000, 10, 1, 10}));
  EXPECT_EQ(std::vector<std::int32_t>(std::begin(multipliers), std::end(multipliers)),
            (std::vector<std::int32_t>{1, 1, 10, 10, 1}));
  EXPECT_EQ(std::vector<double>(std::begin(prices), std::end(prices)), (std::vector<double>{5, 1, 25, 500, 50}));

  EXPECT_DOUBLE_EQ(v.CurTemp1, 70.5);
  EXPECT_DOUBLE_EQ(v.CurTemp2, 256.0);
  EXPECT_DOUBLE_EQ(v.CurTemp3, 40.25);
  EXPECT_DOUBLE_EQ(v.CurTemp4, 5.75);
  EXPECT_NEAR(v.CurMassFlow1, 500.0 / 5 / 100 * Density(70.5), 1e-12);
  EXPECT_NEAR(v.CurMassFlow2, 300.0 / 5 / 1000 * Density(256.0), 1e-12);
  EXPECT_NEAR(v.CurMassFlow3, 1000.0 / 5 / 10 * Density(40.25), 1e-12);
  EXPECT_NEAR(v.CurMassFlow4, 7.0 / 5 / 1 * Density(5.75), 1e-12);
  EXPECT_DOUBLE_EQ(v.CurHeatRate1, 600.0 / 5 / 100);
  EXPECT_DOUBLE_EQ(v.CurHeatRate2, 250.0 / 5 / 10);

  EXPECT_EQ(v.TotWorkMinutes1, 123456);
  EXPECT_EQ(v.TotWorkMinutes2, 654321);
  EXPECT_EQ(v.WorkMinutes1, 123456 + 30);
  EXPECT_EQ(v.WorkMinutes2, 654321 + 45);
  EXPECT_DOUBLE_EQ(v.TotQ1, 0x01234567 / 4.0 / 100);
  EXPECT_DOUBLE_EQ(v.TotQ2, 0x00FEDCBA / 4.0 / 10 * 10);
  EXPECT_DOUBLE_EQ(v.CurQ1, 50.0 / 100 + 0x01234567 / 4.0 / 100);
  EXPECT_DOUBLE_EQ(v.CurQ2, 70.0 / 10 * 10 + 0x00FEDCBA / 4.0 / 10 * 10);
  EXPECT_DOUBLE_EQ(v.TotMass1, 10.0);  // 4000 / 4 / 100
  EXPECT_DOUBLE_EQ(v.TotMass2, 0.25);  // 1000 / 4 / 1000
  EXPECT_DOUBLE_EQ(v.TotMass3, 200.0);  // 800 / 4 / 10 x 10
  EXPECT_DOUBLE_EQ(v.TotMass4, 0x01000020 / 4.0 * 10);
  EXPECT_DOUBLE_EQ(v.CurMass1, 10.02);
  EXPECT_DOUBLE_EQ(v.CurMass2, 0.253);
  EXPECT_DOUBLE_EQ(v.CurMass3, 205.0);
  EXPECT_DOUBLE_EQ(v.CurMass4, 11 * 10 + 0x01000020 / 4.0 * 10);
  EXPECT_DOUBLE_EQ(v.TotVolume1, 3.0);
  EXPECT_DOUBLE_EQ(v.TotVolume2, 0.6);
  EXPECT_DOUBLE_EQ(v.TotVolume3, 90.0);
  EXPECT_DOUBLE_EQ(v.TotVolume4, 110.0);
  EXPECT_DOUBLE_EQ(v.TotVolume5, 0x03000400 / 4.0 / 10);
  EXPECT_DOUBLE_EQ(v.CurVolume1, 3.01);
  EXPECT_DOUBLE_EQ(v.CurVolume2, 0.603);
  EXPECT_DOUBLE_EQ(v.CurVolume3, 95.0);
  EXPECT_DOUBLE_EQ(v.CurVolume4, 180.0);
  EXPECT_DOUBLE_EQ(v.CurVolume5, 2.0 / 10 + 0x03000400 / 4.0 / 10);

  // All ones in the heat-rate pulses: no value.
  PutRam(0x0298, 0xFFFF, 2);
  const TDecodedValues noRate = DecodeFull();
  EXPECT_DOUBLE_EQ(noRate.CurHeatRate1, 999999.0);
  EXPECT_DOUBLE_EQ(noRate.CurHeatRate2, 250.0 / 5 / 10);
}

TEST_F(Family5Test, HourRecordFields) {
  DistinctChannels();
  builder.SetHourRing(0x100, 8);
  Family5Record r;
  r.Heat1 = 1000;
  r.Heat2 = 300;
  r.Temp = {18304, 0, 0xFFFF, 11840};  // 70.5, -1, no sensor, 45.25
  r.Mass = {400, 100, 40, 8};
  r.Volume5 = 44;
  r.Pressure = {63, 17, 254, 10};
  r.K1 = 0xC0;
  r.K2 = 0x01;
  r.WorkMin1 = 55;
  r.WorkMin2 = 60;
  r.SupplyVoltage = 0x60;
  Family5Record noHeat = r;
  noHeat.Heat1 = 0xFFFF;
  noHeat.K1 = 0x10;
  noHeat.Heat2 = 0xFFFF;
  noHeat.K2 = 0x00;
  builder.AddHourRecord(r).AddHourRecord(noHeat);
  // Erased memory but for byte 30 (the second work-minute count): a record; but for byte 31 (unused): blank.
  std::vector<std::uint8_t> erased(32, 0xFF);
  erased[30] = 60;
  builder.SetEepromBytes(0x140, erased);
  erased[30] = 0xFF;
  erased[31] = 0x00;
  builder.SetEepromBytes(0x160, erased);
  const TDecodedValues v = DecodeFull();
  EXPECT_EQ(v.HourRecords[0].IsBlank, 0);
  EXPECT_EQ(v.HourRecords[0].WorkMin2, 60);
  EXPECT_EQ(v.HourRecords[1].IsBlank, 1);

  ASSERT_EQ(v.HourCount, 8);
  ASSERT_EQ(v.HourRecords.size(), 8u);
  const HourRecord& h = v.HourRecords[6];
  EXPECT_EQ(h.EeAddress, 0x100);
  EXPECT_DOUBLE_EQ(h.Q1, 2.5);
  EXPECT_DOUBLE_EQ(h.Q2, 7.5);
  EXPECT_DOUBLE_EQ(h.T1, 70.5);
  EXPECT_DOUBLE_EQ(h.T2, -1.0);
  EXPECT_DOUBLE_EQ(h.T3, 256.0);
  EXPECT_DOUBLE_EQ(h.T4, 45.25);
  EXPECT_DOUBLE_EQ(h.G1, 1.0);    // 400 x 0.25 / 100
  EXPECT_DOUBLE_EQ(h.G2, 0.025);  // 100 x 0.25 / 1000
  EXPECT_DOUBLE_EQ(h.G3, 10.0);   // 40 x 0.25 / 10 x 10
  EXPECT_DOUBLE_EQ(h.G4, 20.0);   // 8 x 0.25 / 1 x 10
  EXPECT_DOUBLE_EQ(h.V5, 1.1);    // 44 x 0.25 / 10
  EXPECT_DOUBLE_EQ(h.P1, 6.3);
  EXPECT_DOUBLE_EQ(h.P2, 1.7);
  EXPECT_DOUBLE_EQ(h.P3, 25.4);
  EXPECT_DOUBLE_EQ(h.P4, 1.0);
  EXPECT_EQ(h.K1, 0xC0);
  EXPECT_EQ(h.K2, 0xC1);  // bits 6 and 7 of K1 carried over
  EXPECT_EQ(h.WorkMin1, 55);
  EXPECT_EQ(h.WorkMin2, 60);
  EXPECT_DOUBLE_EQ(h.Ubat, 3.5);
  EXPECT_EQ(h.IsRtc, 0);
  EXPECT_EQ(h.IsBlank, 0);

  const HourRecord& n = v.HourRecords[7];
  EXPECT_EQ(n.EeAddress, 0x120);
  EXPECT_DOUBLE_EQ(n.Q1, 0.0);                   // bit 4 of K1 with an all-ones field
  EXPECT_DOUBLE_EQ(n.Q2, 65535 * 0.25 / 10);     // no bit 4 in K2: the raw value counts
}

TEST_F(Family5Test, ClockRecordsAreMended) {
  builder.SetHourRing(0x100, 8);  // no records: the pointer stays on slot 0, slot 1 decodes first
  const auto clockRecord = [](std::vector<std::uint8_t> date) {
    std::vector<std::uint8_t> bytes = date;
    bytes.resize(32, 0x5A);
    bytes[26] = bytes[27] = 0xFF;
    bytes[28] = 0;
    bytes[29] = 0x60;
    return bytes;
  };
  builder.SetEepromBytes(0x120, clockRecord({0x85, 0x00, 0x10, 0x15, 0x03, 0x26}));
  builder.SetEepromBytes(0x140, clockRecord({0x00, 0x30, 0x25, 0x32, 0x13, 0x26}));
  builder.SetEepromBytes(0x160, clockRecord({0x00, 0x00, 0x12, 0x31, 0x04, 0x26}));  // 31 April
  builder.SetEepromBytes(0x180, clockRecord({0x00, 0x00, 0x12, 0x09, 0x03, 0x26}));
  // One spoilt byte of the mark (first and last of the 0x5A run, the second 0xFF): no clock record.
  const int spoilt[] = {6, 25, 27};
  for (int i = 0; i < 3; ++i) {
    auto bytes = clockRecord({0x00, 0x00, 0x12, 0x09, 0x03, 0x26});
    bytes[spoilt[i]] = 0x00;
    builder.SetEepromBytes(0x1A0 + 32 * i, bytes);
  }
  const TDecodedValues v = DecodeFull();
  ASSERT_EQ(v.HourCount, 8);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(v.HourRecords[4 + i].IsRtc, 0) << spoilt[i];

  const HourRecord& reset = v.HourRecords[0];
  EXPECT_EQ(reset.IsRtc, 1);
  EXPECT_EQ(reset.IsReset, 1);
  EXPECT_EQ(reset.DateText, "15.03.2026");
  EXPECT_EQ(reset.TimeText, "10:00:05");
  EXPECT_DOUBLE_EQ(reset.Ubat, 3.5);
  EXPECT_EQ(reset.EeAddress, 0x120);

  const HourRecord& mended = v.HourRecords[1];  // hour 25, day 32, month 13 mended; minutes set
  EXPECT_EQ(mended.IsRtc, 1);
  EXPECT_EQ(mended.IsReset, 1);
  EXPECT_EQ(mended.DateText, "01.01.2026");
  EXPECT_EQ(mended.TimeText, "00:30:00");

  EXPECT_EQ(v.HourRecords[2].IsRtc, 0);  // no such date: not a clock record
  EXPECT_EQ(v.HourRecords[2].IsEmpty, 1);

  const HourRecord& clean = v.HourRecords[3];
  EXPECT_EQ(clean.IsRtc, 1);
  EXPECT_EQ(clean.IsReset, 0);
  EXPECT_EQ(clean.DateText, "09.03.2026");
  EXPECT_EQ(clean.TimeText, "12:00:00");
}

TEST_F(Family5Test, HourTimePassOverFullRing) {
  // Five records, the newest in slot 1: they wrap round the ring end.
  builder.AddHourRecords({Family5Record::Sample(0), Family5Record::Sample(1), Family5Record::Blank(),
                          Family5Record::Sample(3), Family5Record::Sample(4)});
  builder.SetHourNewestSlot(1);
  const TDecodedValues v = DecodeFull();
  const int count = Family5ImageBuilder::DefaultHourSlots;
  ASSERT_EQ(v.HourCount, count);
  EXPECT_NEAR(v.TotTime, At(2026, 3, 10, 14), 1e-9);

  const HourRecord& newest = v.HourRecords[count - 1];
  EXPECT_EQ(newest.EeAddress, 0x100 + 32);
  EXPECT_EQ(newest.DateText, "10.03.2026");
  EXPECT_EQ(newest.TimeText, "13:00:00");
  EXPECT_EQ(newest.IsEmpty, 0);
  EXPECT_DOUBLE_EQ(newest.Q1, Family5Record::Sample(4).Heat1 * 0.25);
  EXPECT_EQ(v.HourRecords[count - 2].EeAddress, 0x100);
  EXPECT_EQ(v.HourRecords[count - 2].TimeText, "12:00:00");
  const HourRecord& blank = v.HourRecords[count - 3];
  EXPECT_EQ(blank.EeAddress, 0x100 + 32 * (count - 1));
  EXPECT_EQ(blank.IsBlank, 1);
  EXPECT_EQ(blank.IsEmpty, 1);
  EXPECT_EQ(blank.DateText, "Нет");
  EXPECT_EQ(blank.TimeText, "данных");
  EXPECT_EQ(v.HourRecords[count - 5].TimeText, "09:00:00");
  EXPECT_EQ(v.HourRecords[0].DateText, "Нет");  // never written
}

TEST_F(Family5Test, ResetClockRecordRestartsTheHourCount) {
  builder.SetHourRing(0x100, 5);
  builder.AddHourRecords({Family5Record::Sample(0), Family5Record::Sample(1),
                          Family5Record::Clock(At(2026, 3, 1, 5, 0, 0), true), Family5Record::Sample(3),
                          Family5Record::Sample(4)});
  const TDecodedValues v = DecodeFull();
  ASSERT_EQ(v.HourCount, 5);
  EXPECT_EQ(v.HourRecords[4].TimeText, "13:00:00");
  EXPECT_EQ(v.HourRecords[3].TimeText, "12:00:00");
  EXPECT_EQ(v.HourRecords[2].IsReset, 1);
  EXPECT_EQ(v.HourRecords[1].DateText, "01.03.2026");
  EXPECT_EQ(v.HourRecords[1].TimeText, "05:00:00");
  EXPECT_EQ(v.HourRecords[0].DateText, "01.03.2026");
  EXPECT_EQ(v.HourRecords[0].TimeText, "04:00:00");
}

TEST_F(Family5Test, RecordsBeforeInitialisationHaveNoDate) {
  builder.SetInitTime(At(2026, 3, 10, 10, 30)).SetHourRing(0x100, 4);
  builder.FillHourRecords(4);
  const TDecodedValues v = DecodeFull();
  ASSERT_EQ(v.HourCount, 4);
  EXPECT_EQ(v.HourRecords[0].TimeText, "данных");  // 10:00 is not after 10:30
  EXPECT_EQ(v.HourRecords[1].TimeText, "11:00:00");
}

TEST_F(Family5Test, PartialDumpKeepsTheStoredOrder) {
  // The meter's newest hour lies in slot 3; the reader appended the ten hours
  // oldest first and the three days after them.
  builder.SetHourRing(0x100, 10).SetHourNewestSlot(3).SetDayRing(0x240, 3);
  for (int i = 0; i < 10; ++i) {
    Family5Record r = Family5Record::Sample(i);
    r.Heat1 = static_cast<std::uint16_t>(100 + i);
    builder.AddHourRecord(r);
  }
  for (int i = 0; i < 3; ++i) {
    Family5Record r = Family5Record::Sample(i);
    r.Heat1 = static_cast<std::uint16_t>(200 + i);
    builder.AddDayRecord(r);
  }
  const MeterMemory memory = builder.BuildMemory();
  // Bytes after the day records (here erased memory) are not taken for records.
  const std::vector<EepromRange> ranges = {{0x180, 0x240}, {0x100, 0x180}, {0x240, 0x2A0}, {0x2A0, 0x400}};
  WriteAppendedReadingDump(memory, readTime, ranges, image);
  PutLe(image.DumpImage, 152, 320, 4);
  PutLe(image.DumpImage, 156, 96, 4);
  const TDecodedValues v = Decode();

  ASSERT_EQ(v.HourCount, 10);
  for (int i = 0; i < 10; ++i) EXPECT_DOUBLE_EQ(v.HourRecords[i].Q1, (100 + i) * 0.25) << i;
  EXPECT_EQ(v.HourRecords[9].TimeText, "13:00:00");  // reference hour minus one hour
  EXPECT_EQ(v.HourRecords[0].TimeText, "04:00:00");
  EXPECT_EQ(v.HourRecords[0].EeAddress, 0x100);

  ASSERT_EQ(v.DayCount, 3);
  EXPECT_DOUBLE_EQ(v.DayRecords[2].Q1, 202 * 4.0);  // firmware 2.4: four times the raw sum
  EXPECT_EQ(v.DayRecords[2].DateText, "");          // the current day gets no stamp
  EXPECT_EQ(v.DayRecords[1].DateText, "10.03.2026");
  EXPECT_EQ(v.DayRecords[1].TimeText, "00:00:00");
  EXPECT_EQ(v.DayRecords[0].DateText, "09.03.2026");
}

TEST_F(Family5Test, DayArchiveStampsAndFirmwareSums) {
  DistinctChannels();
  Family5Record d;
  d.Heat1 = 100;
  d.Heat2 = 60;
  d.Temp = {18304, 10560, 1728, 11840};  // 70.5, 40.25, 5.75, 45.25
  d.Mass = {10, 50, 30, 7};
  d.Volume5 = 20;
  d.Pressure = {254, 253, 12, 34};
  d.K1 = 0x40;
  d.K2 = 0x02;
  d.WorkMin1 = 1440;
  d.WorkMin2 = 1380;
  builder.AddDayRecords({d, Family5Record::Sample(1), Family5Record::Clock(At(2026, 3, 9, 8), false), d, d});
  const TDecodedValues v = DecodeFull();
  const int count = Family5ImageBuilder::DefaultDaySlots;
  ASSERT_EQ(v.DayCount, count);

  const DayRecord& day = v.DayRecords[count - 2];
  EXPECT_DOUBLE_EQ(day.Q1, 4.0);    // 100 x 4 / 100
  EXPECT_DOUBLE_EQ(day.Q2, 24.0);   // 60 x 4 / 10
  EXPECT_DOUBLE_EQ(day.T1, 70.5);
  EXPECT_DOUBLE_EQ(day.T2, 40.25);
  EXPECT_DOUBLE_EQ(day.T3, 5.75);
  EXPECT_DOUBLE_EQ(day.T4, 45.25);
  EXPECT_DOUBLE_EQ(day.G1, 0.4);    // 10 x 4 / 100
  EXPECT_DOUBLE_EQ(day.G2, 0.2);    // 50 x 4 / 1000
  EXPECT_DOUBLE_EQ(day.G3, 120.0);  // 30 x 4 / 10 x 10
  EXPECT_DOUBLE_EQ(day.G4, 280.0);  // 7 x 4 / 1 x 10
  EXPECT_DOUBLE_EQ(day.V5, 8.0);    // 20 x 4 / 10
  EXPECT_DOUBLE_EQ(day.P1, 25.6);   // above 25.3
  EXPECT_DOUBLE_EQ(day.P2, 25.3);
  EXPECT_DOUBLE_EQ(day.P3, 1.2);
  EXPECT_DOUBLE_EQ(day.P4, 3.4);
  EXPECT_EQ(day.K1, 0x40);
  EXPECT_EQ(day.K2, 0x42);
  EXPECT_DOUBLE_EQ(day.Ubat, 0.0);  // a day record carries no supply voltage
  EXPECT_EQ(day.WorkMin1, 1440);
  EXPECT_EQ(day.WorkMin2, 1380);
  EXPECT_EQ(day.DateText, "10.03.2026");
  EXPECT_EQ(day.TimeText, "00:00:00");
  EXPECT_EQ(v.DayRecords[count - 3].IsRtc, 1);
  EXPECT_DOUBLE_EQ(v.DayRecords[count - 3].Ubat, 0.0);
  EXPECT_EQ(v.DayRecords[count - 3].DateText, "09.03.2026");
  EXPECT_EQ(v.DayRecords[count - 4].DateText, "09.03.2026");  // a clock record takes no day
  EXPECT_EQ(v.DayRecords[count - 5].DateText, "08.03.2026");
  EXPECT_EQ(v.DayRecords[count - 6].DateText, "Нет");       // erased slot

  builder.SetFirmware(2, 3);
  const TDecodedValues old = DecodeFull();
  EXPECT_DOUBLE_EQ(old.DayRecords[count - 2].Q1, 1.0);
  EXPECT_DOUBLE_EQ(old.DayRecords[count - 2].G2, 0.05);
}

TEST_F(Family5Test, ReferenceClock) {
  const TDateTime meter = At(2026, 3, 10, 14), read = At(2026, 3, 10, 16), init = At(2025, 1, 1);
  const TDateTime later = At(2026, 3, 11);
  EXPECT_EQ(ChooseReferenceClock(meter, read, init, later), read);
  EXPECT_EQ(ChooseReferenceClock(meter, read, init, At(2026, 3, 10, 15)), meter);       // read time in the future
  EXPECT_EQ(ChooseReferenceClock(meter, read, At(2026, 3, 10, 17), later), meter);     // before initialisation
  EXPECT_EQ(ChooseReferenceClock(At(2001, 1, 1), At(2001, 6, 1), 0, later), At(2001, 1, 1));  // before 2002
  EXPECT_EQ(ChooseReferenceClock(meter, At(2026, 3, 10, 14, 29), init, later), meter);  // within half an hour
  EXPECT_EQ(ChooseReferenceClock(meter, At(2026, 3, 10, 14, 31), init, later), At(2026, 3, 10, 14, 31));

  // The meter clock two hours slow: the archive is dated from the reading time.
  builder.SetClock(At(2026, 3, 10, 12, 25, 30)).SetHourRing(0x100, 2).FillHourRecords(2);
  const TDecodedValues v = DecodeFull();
  EXPECT_NEAR(v.TotTime, At(2026, 3, 10, 14), 1e-9);
  EXPECT_EQ(v.HourRecords[1].TimeText, "13:00:00");
}

TEST_F(Family5Test, CurrentValuesOnlyReadMode) {
  builder.FillHourRecords(3).AddDayRecord(Family5Record::Sample(0));
  const TDecodedValues v = DecodeFull(2);
  EXPECT_EQ(v.HourCount, 0);
  EXPECT_EQ(v.DayCount, 0);
  EXPECT_TRUE(v.HourRecords.empty());
  EXPECT_NEAR(v.TotTime, At(2026, 3, 10, 14), 1e-9);
}

TEST_F(Family5Test, BadDescriptorsStayInsideTheImage) {
  builder.FillHourRecords(2);
  builder.BuildFullDump(readTime, image);
  PutLe(image.DumpImage, 512 + 143, 0, 1);  // record length 0
  EXPECT_THROW(Decode(), std::exception);

  builder.BuildFullDump(readTime, image);
  PutLe(image.DumpImage, 512 + 128, 0xFFFF00, 3);  // hour ring far outside the memory
  PutLe(image.DumpImage, 512 + 131, 0xFFFFFF, 3);
  PutLe(image.DumpImage, 512 + 137, 0x000000, 3);
  const TDecodedValues v = Decode();
  EXPECT_EQ(v.HourCount, 0);

  // A partial dump claiming more bytes than it holds decodes what is there.
  builder.BuildFullDump(readTime, image);
  image.DumpLength = 768 + 64;
  PutLe(image.DumpImage, 152, 0x7FFFFFFF, 4);
  PutLe(image.DumpImage, 156, 0xFFFFFFFF, 4);
  const TDecodedValues partial = Decode();
  EXPECT_EQ(partial.HourCount, 2);
  EXPECT_EQ(partial.DayCount, 0);
}

TEST_F(Family5Test, DayArchiveKeepsTheNewestThousand) {
  builder.SetDayRing(0x4000, 1500);
  for (int i = 0; i < 1500; ++i) {
    Family5Record r = Family5Record::Sample(i);
    r.Heat1 = static_cast<std::uint16_t>(i);
    builder.AddDayRecord(r);
  }
  const TDecodedValues v = DecodeFull();
  ASSERT_EQ(v.DayCount, DayRecordCapacity);
  EXPECT_DOUBLE_EQ(v.DayRecords.back().Q1, 1499 * 4.0);
  EXPECT_DOUBLE_EQ(v.DayRecords.front().Q1, 500 * 4.0);
}

}  // namespace
}  // namespace velk
