// Older heat meters (codes 1..49): images written field by field, values
// worked out by hand from the meter's memory layout.
#include <gtest/gtest.h>

#include <cmath>

#include "common/Clock.h"
#include "common/DeviceFamilies.h"
#include "common/Mathem.h"
#include "decode/DecodeMeterFamily1.h"
#include "decode/DecodeTexts.h"
#include "decode/FamilyTexts.h"
#include "imagebuilder/Family1Image.h"

namespace velk {
namespace {

TDateTime At(int y, int mo, int d, int h, int mi, int s = 0) {
  return *EncodeDateTime({y, mo, d, h, mi, s, 0});
}

const TDateTime ReadAt = At(2026, 3, 10, 12, 34, 0);

struct Decoded {
  TDumpImage Image;
  TDecodedValues Values;
};

// Runs the decoder as the dispatcher does: a fresh value set carrying the type byte's code.
void Decode(Decoded& d, int readMode = 0) {
  ManualClock clock(ReadAt + 1);
  d.Values = TDecodedValues{};
  d.Values.DeviceCode = d.Image.DumpImage[128];
  DecodeMeterFamily1(TDecodeInput{d.Image, clock, readMode}, d.Values);
}

Decoded DecodeFull(const Family1ImageBuilder& b) {
  Decoded d;
  b.BuildFullDump(ReadAt, d.Image);
  Decode(d);
  return d;
}

Family1ImageBuilder WithColdWater(int code, double degrees) {
  Family1ImageBuilder b(code);
  b.SetField(731, static_cast<std::uint32_t>(std::lround(degrees * 256)), 2);
  return b;
}

TEST(Family1Test, SchemeByMajorVersionAndColdWaterParity) {
  // Code 33: major 3 and minor 3 below 7, so the parity of Tx decides.
  auto odd = DecodeFull(WithColdWater(33, 5.0)).Values;
  EXPECT_EQ(odd.SchemeName1, texts::SchemeA3p);
  EXPECT_EQ(odd.SchemeCode1, 0);
  EXPECT_DOUBLE_EQ(odd.ColdWaterTemp, 5.0);
  EXPECT_EQ(odd.TypeTS, std::string(DeviceTypeName(33)) + texts::SchemeA3p + "  (3.3)");
  auto even = DecodeFull(WithColdWater(33, 6.0)).Values;
  EXPECT_EQ(even.SchemeName1, texts::SchemeA3o);
  EXPECT_EQ(even.SchemeCode1, 1);

  EXPECT_EQ(DecodeFull(Family1ImageBuilder(12)).Values.SchemeName1, familytext::SchemeBLatin);
  EXPECT_EQ(DecodeFull(Family1ImageBuilder(12)).Values.SchemeCode1, 9);
  EXPECT_EQ(DecodeFull(Family1ImageBuilder(21)).Values.SchemeName1, texts::SchemeA2);
  EXPECT_EQ(DecodeFull(Family1ImageBuilder(46)).Values.SchemeName1, texts::SchemeA2b);
  EXPECT_EQ(DecodeFull(Family1ImageBuilder(46)).Values.SchemeCode1, 4);
  EXPECT_EQ(DecodeFull(Family1ImageBuilder(5)).Values.SchemeName1, "");  // major 0: no scheme
}

TEST(Family1Test, SchemeByteFromMinorVersionSeven) {
  const struct {
    std::uint8_t Byte;
    const char* Name;
    int Code;
  } cases[] = {{0, texts::SchemeA2, 2},
               {1, texts::SchemeA3o, 1},
               {2, familytext::SchemeVCyrillic, 9},
               {3, texts::SchemeA2b, 4},
               {5, texts::SchemeA3p, 0},
               {4, "", -1},
               {6, "", -1}};
  for (const auto& c : cases) {
    Family1ImageBuilder b(27);
    b.SetField(736, c.Byte, 1);
    const auto v = DecodeFull(b).Values;
    EXPECT_EQ(v.SchemeName1, c.Name) << int(c.Byte);
    EXPECT_EQ(v.SchemeCode1, c.Code) << int(c.Byte);
    EXPECT_DOUBLE_EQ(v.FirmwareVersion, 7);
  }
}

TEST(Family1Test, DumpLengthCappedAt16896) {
  Family1ImageBuilder b(23);
  b.SetSerial(42);
  Decoded d;
  b.BuildFullDump(ReadAt, d.Image);
  // A changes reading claiming far more appended records than the cap leaves room for.
  d.Image.DumpLength = 20000;
  for (int i = 16896; i < 20000; ++i) d.Image.DumpImage[i] = 0x11;
  PutLe(d.Image.DumpImage, 152, 13 * 1500, 4);
  Decode(d);
  const auto& v = d.Values;
  // Records start at image 1060; the 1219th starts at 16894, still below the cap.
  EXPECT_EQ(v.HourCount, 1219);
  const std::string suffix = "  (2.3)";
  ASSERT_GE(v.TypeTS.size(), suffix.size());
  EXPECT_EQ(v.TypeTS.substr(v.TypeTS.size() - suffix.size()), suffix);
  EXPECT_DOUBLE_EQ(v.FirmwareVersion, 3);
  EXPECT_EQ(v.SerialNumber, 42);
  EXPECT_EQ(v.ZavNumber, "23-00042");
  // The last record starts at 16894: its bytes from 16896 on read as 0, not as the file's 0x11.
  EXPECT_EQ(v.HourRecords.back().T1, 0);
}

TEST(Family1Test, CurrentValuesTotalsAndHeatPower) {
  Family1ImageBuilder b(21);    // "А2"
  b.SetField(731, 5 * 256, 2);  // Tx 5.0
  b.SetField(720, 0x12, 1);     // V1, V2: divider 100, price 500 / 100 = 5 l
  b.SetField(721, 0x01, 1);     // V3, V4: divider 10, price 25 l
  b.SetField(302, 20608, 2);    // T1 80.5
  b.SetField(316, 15424, 2);    // T2 60.25
  b.SetField(330, 0xFFFF, 2);   // T3 missing
  b.SetFieldBytes(474, {10, 4, 0, 0, 8, 4, 0, 0, 2, 10, 0, 0, 7, 0});  // pulses, period per channel
  b.SetField(447, 3 * 8192 + 4096, 2);                                 // 3.5 V
  b.SetField(438, 4096 * 6, 2);                                        // P1 6.0
  b.SetField(442, 4096 * 3 + 2048, 2);                                 // P2 3.5
  b.SetField(814, 0x21, 1);
  b.SetField(815, 0x02, 1);
  b.SetField(298, 4 * 12345, 4);                         // V1: 12345 after / 4, then / divider 100
  b.SetField(326, 0xFFFFFFFF - 400, 4);                  // V3-V4: -400 quarters, / 10
  b.SetFieldBytes(794, {0xFF, 0xFE, 0xFF, 0xFF});        // TotVolume3: -(0x100) / 4 / 10 = -6.4
  b.SetField(824, 4 * 90, 4);                            // TotMass3: 90 / 10
  b.SetField(422, 4096 * 70, 5);                         // Q2 70 / 10
  b.SetField(417, 4096 * 1000, 5);                       // Q1 1000 / 100
  b.SetField(503, 1024 * 300, 5);                        // G2 300 / 100
  b.SetFieldBytes(493, {0xFF, 0xE3, 0xFF, 0xFF, 0xFF});  // G3-G4: ones' complement -7168, so -7 after / 1024
  b.SetField(798, 4096 * 500, 5);                        // TotQ1 500 / 100
  b.SetFieldBytes(803, {0xFF, 0xEF, 0xFF, 0xFF, 0xFF});  // TotQ2: -(0x1000) / 4096 = -1
  b.SetField(784, 1234, 2);                              // 1234 hours
  b.SetField(292, 77, 2);
  b.SetField(341, 41, 1);
  const auto v = DecodeFull(b).Values;

  EXPECT_DOUBLE_EQ(v.CurTemp1, 80.5);
  EXPECT_DOUBLE_EQ(v.CurTemp2, 60.25);
  EXPECT_DOUBLE_EQ(v.CurTemp3, 256.0);
  EXPECT_DOUBLE_EQ(v.PulsePrice1, 5.0);
  EXPECT_DOUBLE_EQ(v.PulsePrice3, 25.0);
  EXPECT_DOUBLE_EQ(v.CurVolumeFlow1, 10.0 / 4 * 5 * 3.6);
  EXPECT_DOUBLE_EQ(v.CurVolumeFlow2, 8.0 / 4 * 5 * 3.6);
  EXPECT_DOUBLE_EQ(v.CurVolumeFlow3, 2.0 / 10 * 25 * 3.6);
  EXPECT_DOUBLE_EQ(v.CurVolumeFlow4, 0);  // period 0
  EXPECT_DOUBLE_EQ(v.SupplyVoltage, 3.5);
  EXPECT_DOUBLE_EQ(v.CurPressure1, 6.0);
  EXPECT_DOUBLE_EQ(v.CurPressure2, 3.5);
  EXPECT_EQ(v.ErrorCode1, 0x21);
  EXPECT_EQ(v.ErrorCode2, 0x02);
  EXPECT_DOUBLE_EQ(v.CurVolume1, 12345.0 / 100);
  EXPECT_DOUBLE_EQ(v.CurVolume3, -10.0);
  EXPECT_DOUBLE_EQ(v.CurQ1, 10.0);
  EXPECT_DOUBLE_EQ(v.CurMass2, 3.0);
  EXPECT_DOUBLE_EQ(v.CurMass3, -0.7);
  EXPECT_DOUBLE_EQ(v.CurQ2, 7.0);
  EXPECT_DOUBLE_EQ(v.TotQ1, 5.0);
  EXPECT_DOUBLE_EQ(v.TotQ2, -0.1);
  EXPECT_DOUBLE_EQ(v.TotMass3, 9.0);
  EXPECT_DOUBLE_EQ(v.TotVolume3, -6.4);
  EXPECT_EQ(v.TotWorkMinutes1, 1234 * 60);
  EXPECT_EQ(v.TotWorkMinutes2, 1234 * 60);
  EXPECT_EQ(v.OperatingHours, 77);
  EXPECT_EQ(v.OperatingMinutes, 41);

  // "А2": ((h(T1) - h(Tx)) G1 - (h(T2) - h(Tx)) G2) / 3.6 with Gi = density(Ti) wi.
  const double hx = WaterEnthalpy(5.0);
  const double g1 = WaterDensityRatio(80.5) * 45.0, g2 = WaterDensityRatio(60.25) * 36.0;
  EXPECT_NEAR(v.CurHeatRate1, ((WaterEnthalpy(80.5) - hx) * g1 - (WaterEnthalpy(60.25) - hx) * g2) / 3.6,
              1e-9);
  // System 2: (h(T3) - h(Tx)) density(T3) (w3 - w4) / 3.6.
  EXPECT_NEAR(v.CurHeatRate2, (WaterEnthalpy(256.0) - hx) * WaterDensityRatio(256.0) * 18.0 / 3.6, 1e-9);
}

TEST(Family1Test, HeatPowerOfEachScheme) {
  const double t[3] = {70, 50, 10}, w[3] = {2, 1.5, 0.5};
  const double h1 = WaterEnthalpy(70), h2 = WaterEnthalpy(50), h3 = WaterEnthalpy(10), hx = WaterEnthalpy(6);
  const double g1 = WaterDensityRatio(70) * 2, g2 = WaterDensityRatio(50) * 1.5,
               g3 = WaterDensityRatio(10) * 0.5;
  const double a2 = ((h1 - hx) * g1 - (h2 - hx) * g2) / 3.6;
  EXPECT_NEAR(OlderMeterHeatRate1(texts::SchemeA2, t, w, 6), a2, 1e-12);
  EXPECT_NEAR(OlderMeterHeatRate1(texts::SchemeA2b, t, w, 6), a2, 1e-12);
  EXPECT_NEAR(OlderMeterHeatRate1(familytext::SchemeBLatin, t, w, 6), (h1 * g1 - h2 * g2 - h3 * g3) / 3.6,
              1e-12);
  EXPECT_NEAR(OlderMeterHeatRate1(familytext::SchemeVCyrillic, t, w, 6), (h1 * g1 - h2 * g2 - h3 * g3) / 3.6,
              1e-12);
  EXPECT_NEAR(OlderMeterHeatRate1(texts::SchemeA3p, t, w, 6), (h1 - h2) * g1 / 3.6, 1e-12);
  EXPECT_NEAR(OlderMeterHeatRate1(texts::SchemeA3o, t, w, 6), (h1 - h2) * g2 / 3.6, 1e-12);
  EXPECT_EQ(OlderMeterHeatRate1("", t, w, 6), 0);
}

Family1Record Record(std::uint16_t q, std::uint8_t t1, std::uint8_t t2, std::uint8_t t3) {
  Family1Record r;
  r.Q1 = q;
  r.T1 = t1;
  r.T2 = t2;
  r.T3 = t3;
  return r;
}

TEST(Family1Test, HourRingOfAFullDump) {
  Family1ImageBuilder b(23);
  b.SetField(720, 0x01, 1);  // V1, V2 divider 10
  Family1Record first = Record(0x0040, 70, 50, 10);
  first.V1 = 400;
  first.V2 = 200;
  first.V3 = 0xFFFB;  // ones' complement -4 quarters
  first.P1 = 32;
  first.P2 = 8;
  Family1Record second = Record(0xFFBF, 255, 40, 255);  // -64 / 16: negative heat; T1 and T3 missing
  Family1Record third = Record(0x0010, 60, 65, 12);     // T2 above T1
  b.AddHourRecords({first, second, third}).SetNewestSlot(5);
  const auto v = DecodeFull(b).Values;

  ASSERT_EQ(v.HourCount, 1218);
  // Slots 6..1217 come first, then 0..5: slots 3, 4, 5 hold the three records, newest last.
  const auto& r1 = v.HourRecords[1215];
  const auto& r2 = v.HourRecords[1216];
  const auto& r3 = v.HourRecords[1217];
  EXPECT_EQ(r1.EeAddress, 0x0224 + 13 * 3);
  EXPECT_EQ(r3.EeAddress, 0x0224 + 13 * 5);
  EXPECT_EQ(v.HourRecords[0].EeAddress, 0x0224 + 13 * 6);
  EXPECT_DOUBLE_EQ(r1.Q1, 4.0 / 10);
  EXPECT_DOUBLE_EQ(r1.V1, 100.0 / 10);
  EXPECT_DOUBLE_EQ(r1.V2, 50.0 / 10);
  EXPECT_DOUBLE_EQ(r1.V3, -1.0);  // divider 1 of V3
  EXPECT_DOUBLE_EQ(r1.P1, 2.0);
  EXPECT_DOUBLE_EQ(r1.P2, 0.5);
  EXPECT_EQ(r1.WorkMin1, 60);
  EXPECT_EQ(r1.K1, 0);
  EXPECT_DOUBLE_EQ(r2.Q1, -4.0 / 10);
  EXPECT_DOUBLE_EQ(r2.T1, 256.0);
  EXPECT_EQ(r2.K1, 1);
  EXPECT_EQ(r2.K2, 1);
  EXPECT_EQ(r3.K1, 8);
  // Meter clock = read time; the newest record covers the hour before the reading's hour.
  EXPECT_NEAR(v.MeterClock, ReadAt, OneSecond / 2);
  EXPECT_EQ(r3.DateText, "10.03.2026");
  EXPECT_EQ(r3.TimeText, "11:00:00");
  EXPECT_EQ(r1.TimeText, "09:00:00");
  EXPECT_DOUBLE_EQ(v.TotTime, At(2026, 3, 10, 12, 0));
}

TEST(Family1Test, PartialDumpKeepsStoredOrderAndCurrentValuesMode) {
  Family1ImageBuilder b(23);
  std::vector<Family1Record> records;
  for (int i = 0; i < 10; ++i)
    records.push_back(Record(static_cast<std::uint16_t>(16 * (i + 1)), 70, 50, 10));
  b.AddHourRecords(records).SetNewestSlot(3);  // wraps round the ring end
  Decoded d;
  b.BuildAppendedDump(ReadAt, d.Image);
  Decode(d);
  ASSERT_EQ(d.Values.HourCount, 10);
  for (int i = 0; i < 10; ++i) EXPECT_DOUBLE_EQ(d.Values.HourRecords[i].Q1, i + 1.0) << i;
  EXPECT_EQ(d.Values.HourRecords[9].TimeText, "11:00:00");
  EXPECT_EQ(d.Values.HourRecords[0].TimeText, "02:00:00");

  Decode(d, ReadModeCurrentValuesOnly);
  EXPECT_EQ(d.Values.HourCount, 0);
  EXPECT_TRUE(d.Values.HourRecords.empty());
  EXPECT_DOUBLE_EQ(d.Values.TotTime, At(2026, 3, 10, 12, 0));
}

}  // namespace
}  // namespace velk
