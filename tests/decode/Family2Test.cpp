// Compact heat meters (codes 50, 51): images written field by field, values
// worked out by hand from the meter's memory layout.
#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "common/Clock.h"
#include "common/DeviceFamilies.h"
#include "common/Mathem.h"
#include "decode/DecodeFlowMeter.h"
#include "decode/DecodeMeterFamily1.h"
#include "decode/DecodeMeterFamily2.h"
#include "decode/DecodeTexts.h"
#include "decode/FamilyTexts.h"
#include "imagebuilder/CompactMeterImage.h"
#include "imagebuilder/OtherFamilyImageBuilder.h"

namespace velk {
namespace {

TDateTime At(int y, int mo, int d, int h, int mi, int s = 0) {
  return *EncodeDateTime({y, mo, d, h, mi, s, 0});
}

const TDateTime ReadAt = At(2026, 2, 1, 8, 20, 0);

TDecodedValues Decode(const TDumpImage& image, std::uint32_t code, int readMode = 0) {
  ManualClock clock(ReadAt + 1);
  TDecodedValues v;
  v.DeviceCode = code;
  DecodeMeterFamily2(TDecodeInput{image, clock, readMode}, v);
  return v;
}

TDecodedValues DecodeFull(const CompactMeterImageBuilder& b, std::uint32_t code = 50) {
  TDumpImage image;
  b.BuildFullDump(ReadAt, image);
  return Decode(image, code);
}

CompactMeterImageBuilder Meter(int code = 50) {
  CompactMeterImageBuilder b(code);
  b.SetSerial(123).SetFirmware(0x02, 0x05).SetClock(ReadAt).SetInitTime(At(2025, 1, 1, 0, 0));
  return b;
}

TEST(Family2Test, SizeIndexByFirmware) {
  // Firmware 1.1: the word at EEPROM 0 modulo 100.
  auto old = Meter();
  old.SetFirmware(0x01, 0x01).SetEeprom(0, 1203, 2);
  const auto v = DecodeFull(old);
  EXPECT_DOUBLE_EQ(v.FirmwareVersion, 1.1);
  EXPECT_EQ(v.SizeIndex, 3);
  EXPECT_EQ(v.NominalSize, "25");
  EXPECT_EQ(v.TypeTS, std::string(DeviceTypeName(50)) + "25-" + texts::SchemeA3p);
  EXPECT_EQ(v.ZavNumber, "50-00123");

  // Later firmware: EEPROM 1 as BCD.
  auto later = Meter(51);
  later.SetEeprom(0, 0x0900 + 72, 2);  // byte 1 = 0x09
  const auto w = DecodeFull(later, 51);
  EXPECT_EQ(w.SizeIndex, 9);
  EXPECT_EQ(w.NominalSize, "100");
  EXPECT_EQ(w.TypeTS, std::string(DeviceTypeName(51)) + "100-" + texts::SchemeA3p);

  EXPECT_EQ(CompactSizeIndex(1.1, 1299, 0), 99);
  EXPECT_EQ(CompactSizeIndex(2.0, 0, 0x12), 12);
  EXPECT_FALSE(CompactNominalSize(0));
  EXPECT_FALSE(CompactNominalSize(12));
  EXPECT_EQ(*CompactNominalSize(1), "15");
}

TEST(Family2Test, SchemeFromTheFirstConfigurationByte) {
  const struct {
    std::uint8_t Config;
    const char* Name;
    int Code;
  } cases[] = {{0x3F, texts::SchemeA3p, 0},
               {0x40, texts::SchemeA3o, 1},
               {0x80, texts::SchemeA2, 2},
               {0xC0, familytext::SchemeA3cLatin, 3}};
  for (const auto& c : cases) {
    auto b = Meter();
    b.SetEeprom(16, c.Config, 1);
    const auto v = DecodeFull(b);
    EXPECT_EQ(v.SchemeName1, c.Name);
    EXPECT_EQ(v.SchemeCode1, c.Code);
    EXPECT_EQ(v.SchemeName2, "");
  }
}

TEST(Family2Test, CurrentValuesTotalsAndCoolingHeat) {
  auto b = Meter();
  b.SetEeprom(16, 0x01, 1);  // V1: divider 10, price 25 l, scheme "А3п"
  b.SetEeprom(17, 0x82, 1);  // V2: divider 100, multiplier 10
  b.SetEeprom(18, 0x18, 1);  // V3: divider 1, price 1000 l
  b.SetEeprom(19, 7, 1);     // Tx
  b.SetRam(0x0253, 0x44, 1);
  b.SetRam(0x0246, 71 * 256, 2);  // T1 70
  b.SetRam(0x0248, 0xFFFF, 2);    // T2 missing
  b.SetRam(0x0250, 50, 2);        // flow pulses of V1
  b.SetRam(0x0298, 300, 2);       // flow pulses of V2
  b.SetRam(0x024E, 0x8000, 2);    // heat-rate word 0.5
  b.SetRam(0x0264, 70125, 3);     // three bytes of minutes
  b.SetEeprom(140, 70061, 3);
  b.SetRam(0x0268 + 2, 5 << 2, 4);  // CurQ1: 5 x 2^18 / 2^18 / 10 (bytes from 0x0268, 6 wide)
  b.SetRam(0x026E + 2, 7 << 2, 4);  // CurMass1: 7 / 10
  b.SetRam(0x0274 + 2, 9 << 2, 4);  // CurMass2: 9 / 100 x 10
  b.SetRam(0x027A, 4 * 30, 4);      // V1: 30 / 10
  b.SetRam(0x027E, 4 * 1000, 4);    // V2: 1000 / 100 x 10
  b.SetRam(0x0282, 4 * 11, 4);      // V3: 11 / 1
  b.SetEeprom(150 + 2, 13 << 2, 4);  // TotMass1: 13 / 10
  b.SetEeprom(156 + 2, 17 << 2, 4);  // TotMass2: 17 / 100 x 10
  b.SetEeprom(162, 4 * 20, 4);       // TotVolume1: 20 / 10
  b.SetEeprom(166, 4 * 500, 4);     // TotVolume2: 500 / 100 x 10
  b.SetEeprom(170, 4 * 12, 4);      // TotVolume3: 12 / 1
  b.SetEeprom(144 + 2, 3 << 2, 4);  // TotQ1: 3 x 2^18 / 2^18 / 10 (bytes from 144, 6 wide)
  b.SetEeprom(174 + 2, 3 << 2, 4);  // cooling total: (3 + 2^22) / 10, its sixth byte counting
  b.SetEeprom(174 + 5, 1, 1);
  b.SetRam(0x02A6, 1 << 17, 4);     // cooling increment: 0.5 / 10
  const auto v = DecodeFull(b);

  EXPECT_EQ(v.ErrorCode1, 0x44);
  EXPECT_EQ(v.PulseDivider1, 10);
  EXPECT_EQ(v.PulseDivider2, 100);
  EXPECT_EQ(v.VolumeMultiplier2, 10);
  EXPECT_DOUBLE_EQ(v.PulsePrice1, 25);
  EXPECT_DOUBLE_EQ(v.PulsePrice3, 1000);
  EXPECT_DOUBLE_EQ(v.ColdWaterTemp, 7);
  EXPECT_DOUBLE_EQ(v.CurTemp1, 70);
  EXPECT_DOUBLE_EQ(v.CurTemp2, 256);
  const double g1 = 50 / 5.0 / 10 * WaterDensityRatio(70);
  EXPECT_DOUBLE_EQ(v.CurMassFlow1, g1);
  EXPECT_DOUBLE_EQ(v.CurHeatRate1, 0.5 * g1 / WaterDensityRatio(70));  // not "А2": the word times the flow
  EXPECT_DOUBLE_EQ(v.CurMassFlow2, 300 / 5.0 / 100 * WaterDensityRatio(256));
  EXPECT_EQ(v.WorkMinutes1, 70125);
  EXPECT_EQ(v.TotWorkMinutes1, 70061);
  EXPECT_DOUBLE_EQ(v.CurQ1, 0.5);
  EXPECT_DOUBLE_EQ(v.CurMass1, 0.7);
  EXPECT_DOUBLE_EQ(v.CurMass2, 0.9);
  EXPECT_DOUBLE_EQ(v.CurVolume1, 3);
  EXPECT_DOUBLE_EQ(v.CurVolume2, 100);
  EXPECT_DOUBLE_EQ(v.CurVolume3, 11);
  EXPECT_DOUBLE_EQ(v.TotMass1, 1.3);
  EXPECT_DOUBLE_EQ(v.TotMass2, 1.7);
  EXPECT_DOUBLE_EQ(v.TotVolume1, 2);
  EXPECT_DOUBLE_EQ(v.TotVolume2, 50);
  EXPECT_DOUBLE_EQ(v.TotVolume3, 12);
  EXPECT_DOUBLE_EQ(v.TotQ1, 0.3);
  EXPECT_DOUBLE_EQ(v.TotCoolingQ, (3 + 4194304.0) / 10);
  EXPECT_DOUBLE_EQ(v.CurCoolingQ, (3 + 4194304.0) / 10 + 0.05);
  EXPECT_DOUBLE_EQ(v.MeterClock, ReadAt);
  EXPECT_DOUBLE_EQ(v.ReadTime, ReadAt);

  // "А2" takes the heat-rate word as pulses; 0xFFFF is no value.
  b.SetEeprom(16, 0x81, 1).SetRam(0x024E, 40, 2);
  EXPECT_DOUBLE_EQ(DecodeFull(b).CurHeatRate1, 40 / 5.0 / 10);
  b.SetRam(0x024E, 0xFFFF, 2);
  EXPECT_DOUBLE_EQ(DecodeFull(b).CurHeatRate1, 999999.0);
}

TEST(Family2Test, ReadTimeFallsBackToTheMeterClock) {
  auto b = Meter();
  b.SetClock(At(2026, 2, 1, 7, 0));
  TDumpImage image;
  b.BuildFullDump(ReadAt, image);
  for (int i = 138; i < 144; ++i) image.DumpImage[i] = 0;
  EXPECT_DOUBLE_EQ(Decode(image, 50).ReadTime, At(2026, 2, 1, 7, 0));
}

Family2Record Hour(std::uint16_t q, double t1, double t2, std::uint16_t v1, std::uint16_t v2,
                   std::uint32_t work) {
  Family2Record r;
  r.Q1 = q;
  r.T1 = Family2Record::Temperature(t1);
  r.T2 = Family2Record::Temperature(t2);
  r.V1 = v1;
  r.V2 = v2;
  r.V3 = 8;
  r.WorkTotal = work;
  r.K1 = 3;
  return r;
}

TEST(Family2Test, HourRecordsClockRecordsAndWorkMinutes) {
  auto b = Meter();
  b.SetEeprom(16, 0x01, 1);  // V1 divider 10
  b.SetEeprom(17, 0x82, 1);  // V2 divider 100, multiplier 10
  b.SetEeprom(18, 0x04, 1);  // V3 divider 1000
  b.AddHourRecord(Hour(40, 70, 50, 400, 100, 1000).Encode());
  b.AddHourRecord(Family2Record::Clock(At(2026, 2, 1, 6, 30, 5), false).Encode());
  b.AddHourRecord(Hour(44, 71, 51, 404, 104, 1060).Encode());
  b.AddHourRecord(Hour(48, 200, 159.5, 404, 104, 1090).Encode());
  b.AddHourRecord(Family2Record::Blank().Encode());
  b.SetNewestSlot(1);  // the five records wrap round the ring end
  TDumpImage image;
  b.BuildAppendedDump(ReadAt, image);
  const auto v = Decode(image, 50);

  ASSERT_EQ(v.HourCount, 5);
  const auto& first = v.HourRecords[0];
  EXPECT_DOUBLE_EQ(first.Q1, 1);  // 40 x 0.25 / 10
  EXPECT_DOUBLE_EQ(first.T1, 70);
  EXPECT_DOUBLE_EQ(first.T2, 50);
  EXPECT_DOUBLE_EQ(first.V1, 10);     // 400 x 0.25 / 10
  EXPECT_DOUBLE_EQ(first.V2, 2.5);    // 100 x 0.25 / 100 x 10
  EXPECT_DOUBLE_EQ(first.V3, 0.002);  // 8 x 0.25 / 1000
  EXPECT_DOUBLE_EQ(first.G1, WaterDensityRatio(70) * 10);
  EXPECT_DOUBLE_EQ(first.G2, WaterDensityRatio(50) * 2.5);
  EXPECT_EQ(first.K1, 3);
  EXPECT_EQ(first.WorkMin2, 1000);
  EXPECT_EQ(first.WorkMin1, 0);  // no record before it

  const auto& clock = v.HourRecords[1];
  EXPECT_EQ(clock.IsRtc, 1);
  EXPECT_EQ(clock.IsReset, 1);  // minutes and seconds not zero
  EXPECT_EQ(clock.TimeText, "06:30:05");

  EXPECT_EQ(v.HourRecords[2].WorkMin1, 60);
  EXPECT_EQ(v.HourRecords[3].WorkMin1, 30);
  EXPECT_DOUBLE_EQ(v.HourRecords[3].T1, 200);
  EXPECT_DOUBLE_EQ(v.HourRecords[3].G1, 0);  // T1 of 200 is out of 0..160
  EXPECT_DOUBLE_EQ(v.HourRecords[3].G2, WaterDensityRatio(159.5) * 2.6);  // T2 of 159.5 is inside
  EXPECT_EQ(v.HourRecords[4].IsBlank, 1);
  EXPECT_EQ(v.HourRecords[4].IsEmpty, 1);
  // The time pass skips the clock record: newest 07:00, then 06:00, 05:00, 04:00.
  EXPECT_EQ(v.HourRecords[3].TimeText, "06:00:00");
  EXPECT_EQ(v.HourRecords[0].TimeText, "04:00:00");
  // A partial dump's records are numbered in stored order from the ring's first address.
  EXPECT_EQ(v.HourRecords[0].EeAddress, 0x0100);
  EXPECT_EQ(v.HourRecords[4].EeAddress, 0x0100 + 16 * 4);
}

TEST(Family2Test, SchemeA3cCorrections) {
  const auto decodeRecord = [](std::uint8_t eeprom20, std::uint8_t config, double t1 = 30) {
    auto b = Meter();
    b.SetEeprom(16, config, 1).SetEeprom(19, 5, 1).SetEeprom(20, eeprom20, 1);
    b.AddHourRecord(Hour(400, t1, 20, 8000, 40, 0).Encode());
    TDumpImage image;
    b.BuildAppendedDump(ReadAt, image);
    return Decode(image, 50).HourRecords.at(0);
  };
  // "А3c" with EEPROM 20 = 0xFF: T1 = Q1 / 4.1868 / V1 x 1000 + Tx, and both masses by density(T1).
  const auto corrected = decodeRecord(0xFF, 0xC0);
  const double t1 = 100 / 4.1868 / 2000 * 1000 + 5;
  EXPECT_NEAR(corrected.T1, t1, 1e-12);
  EXPECT_NEAR(corrected.G1, WaterDensityRatio(t1) * 2000, 1e-9);
  EXPECT_NEAR(corrected.G2, WaterDensityRatio(t1) * 10, 1e-12);
  // Without the 0xFF mark T1 stays as stored; G2 still follows T1.
  const auto stored = decodeRecord(0x00, 0xC0);
  EXPECT_DOUBLE_EQ(stored.T1, 30);
  EXPECT_DOUBLE_EQ(stored.G2, WaterDensityRatio(30) * 10);
  // T1 out of range: G2 by T2 as in any scheme.
  EXPECT_DOUBLE_EQ(decodeRecord(0x00, 0xC0, 200).G2, WaterDensityRatio(20) * 10);
  // Another scheme: G2 by T2.
  const auto plain = decodeRecord(0xFF, 0x00);
  EXPECT_DOUBLE_EQ(plain.T1, 30);
  EXPECT_DOUBLE_EQ(plain.G2, WaterDensityRatio(20) * 10);
}

TEST(Family2Test, FullDumpRingAndCurrentValuesMode) {
  auto b = Meter();
  for (int i = 0; i < 3; ++i)
    b.AddHourRecord(Hour(static_cast<std::uint16_t>(4 * (i + 1)), 70, 50, 4, 4, 60 * i).Encode());
  b.SetNewestSlot(10);
  TDumpImage image;
  b.BuildFullDump(ReadAt, image);
  ASSERT_EQ(image.DumpLength, 33280);
  const auto v = Decode(image, 50);
  ASSERT_EQ(v.HourCount, b.RingSlots());
  // Slot 10 (the pointer's) comes last, slots 8 and 9 before it.
  EXPECT_EQ(v.HourRecords.back().EeAddress, 0x0100 + 16 * 10);
  EXPECT_DOUBLE_EQ(v.HourRecords.back().Q1, 3);
  EXPECT_DOUBLE_EQ(v.HourRecords[v.HourCount - 3].Q1, 1);
  EXPECT_EQ(v.HourRecords.back().TimeText, "07:00:00");

  const auto current = Decode(image, 50, ReadModeCurrentValuesOnly);
  EXPECT_EQ(current.HourCount, 0);
  EXPECT_DOUBLE_EQ(current.TotTime, At(2026, 2, 1, 8, 0));
}

// The meter simulator's memory of these families reads back with the newest record last.
TEST(OtherFamilyDecoders, SimulatedMeterReadings) {
  for (const std::uint32_t code : {23u, 50u, 60u}) {
    OtherFamilyImageBuilder b(static_cast<int>(code));
    b.SetClock(ReadAt).SetSerial(77).FillHourRecords(5).SetHourNewestSlot(2);
    TDumpImage image;
    b.BuildFullDump(ReadAt, image);
    ManualClock clock(ReadAt + 1);
    TDecodedValues v;
    v.DeviceCode = code;
    const TDecodeInput input{image, clock, 0};
    if (code == 23) DecodeMeterFamily1(input, v);
    if (code == 50) DecodeMeterFamily2(input, v);
    if (code == 60) DecodeFlowMeter(input, v);
    ASSERT_EQ(v.HourCount, b.RingSlots()) << code;
    EXPECT_EQ(v.HourRecords.back().EeAddress, static_cast<std::int32_t>(b.RingFirst() + 2 * b.RecordLength()))
        << code;
    EXPECT_EQ(v.HourRecords.back().TimeText, "07:00:00") << code;
    EXPECT_EQ(v.SerialNumber, 77) << code;
  }
}

// Whatever the bytes, the three decoders stay inside the image and do not crash.
TEST(OtherFamilyDecoders, ArbitraryBytes) {
  std::mt19937 random(20261208);
  ManualClock clock(ReadAt);
  const std::int32_t lengths[] = {0, 1, 300, 768, 1100, 16896, 20000, 33280, 40000, DumpCapacity};
  for (const std::int32_t length : lengths) {
    for (int round = 0; round < 3; ++round) {
      auto image = std::make_unique<TDumpImage>();
      for (std::int32_t i = 0; i < length; ++i) image->DumpImage[i] = static_cast<std::uint8_t>(random());
      if (round == 1) std::fill_n(image->DumpImage.begin() + 640, std::min(length, 300), 0xFF);
      image->DumpLength = length;
      for (std::uint32_t code : {23u, 50u, 60u}) {
        TDecodedValues v;
        v.DeviceCode = code;
        const TDecodeInput input{*image, clock, 0};
        try {
          if (code == 23) DecodeMeterFamily1(input, v);
          if (code == 50) DecodeMeterFamily2(input, v);
          if (code == 60) DecodeFlowMeter(input, v);
        } catch (const std::exception&) {
          // A record length of 0 is refused with an exception: the dispatcher reports it.
        }
        EXPECT_LE(v.HourRecords.size(), static_cast<std::size_t>(std::max(length, 0)));
      }
    }
  }
}

}  // namespace
}  // namespace velk
