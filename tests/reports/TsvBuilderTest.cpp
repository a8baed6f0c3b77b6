// The contents of the .tsv report images of both heating systems.
#include <gtest/gtest.h>

#include "LayoutReader.h"
#include "ReportFixtures.h"
#include "common/Mathem.h"
#include "common/Text1251.h"
#include "reports/TsvBuilder.h"

namespace velk {
namespace {

using test::HourOf;
using test::Meter;

// Scheme names spelled by code point, so that look-alike letters cannot slip in.
const std::string A3cLatin =
    "\u0410"
    "3c";  // Cyrillic A, 3, Latin c
const std::string A3sCyrillic =
    "\u0410"
    "3\u0441";                               // Cyrillic A, 3, Cyrillic es
const std::string P3sCyrillic = "P3\u0441";  // Latin P, 3, Cyrillic es
const std::string A1p =
    "\u0410"
    "1\u043f";

std::string Not(const TTsvReportImage& image, Notation n) { return image.Notations.Get(n); }

std::string Field(const std::array<std::uint8_t, 100>& field) {
  std::string bytes(field.begin(), field.end());
  while (!bytes.empty() && bytes.back() == ' ') bytes.pop_back();
  return Cp1251ToUtf8(bytes);
}

TEST(TsvSystem1, HeaderTextsArePaddedWithSpaces) {
  TTsvReportImage image;
  auto v = Meter(53, A1p);
  BuildTsvSystem1(image, v);
  const test::LayoutReader r(SerializeTsvReport(image));
  EXPECT_EQ(r.Text(4, 20, ' '), "53-01234");
  EXPECT_EQ(r.U8(4 + 19), ' ');
  // "ВТМ-64-ТАНДЕМ -" + scheme + " / 1", in Windows-1251.
  EXPECT_EQ(r.Raw(24, 6), (std::vector<std::uint8_t>{0xC2, 0xD2, 0xCC, '-', '6', '4'}));
  EXPECT_EQ(r.Text(24, 100, ' '), "ВТМ-64-ТАНДЕМ -" + A1p + " / 1");
  EXPECT_EQ(r.Text(143, 64, ' '), "Теплосчетчик");
  EXPECT_EQ(r.F64(124), v.InitTime);
  EXPECT_EQ(r.F32(138), 5.0f);
  EXPECT_EQ(r.U8(142), 2);

  v.ZavNumber = "123456789012345678901234";
  BuildTsvSystem1(image, v);
  EXPECT_EQ(Cp1251ToUtf8(std::string(image.Header.SerualNumber.begin(), image.Header.SerualNumber.end())),
            "12345678901234567890");
}

TEST(TsvSystem1, TypeTextsByCode) {
  TTsvReportImage image;
  auto v = Meter(50, A3cLatin);
  v.NominalSize = "1500";
  BuildTsvSystem1(image, v);
  EXPECT_EQ(Field(image.Header.DeviceType), "P-37 МИНИ - 150 - " + A3cLatin);
  v = Meter(12, "А2");
  BuildTsvSystem1(image, v);
  EXPECT_EQ(Field(image.Header.DeviceType), "ВТМ-Е-А2 / 1");
  v = Meter(60, "");
  BuildTsvSystem1(image, v);
  EXPECT_EQ(Field(image.Header.DeviceType), "ЗЕНТ-3000-И - 25 -");  // the trailing blank is padding
  EXPECT_EQ(Cp1251ToUtf8(std::string(image.Header.Rezerv1.begin(), image.Header.Rezerv1.begin() + 18)),
            "Счетчик-расходомер");
  v = Meter(57);
  BuildTsvSystem1(image, v);
  EXPECT_EQ(Field(image.Header.DeviceType), "Тип не определен");
}

TEST(TsvSystem1, ThirdChannelOnlyForListASchemes) {
  TTsvReportImage image;
  BuildTsvSystem1(image, Meter(53, A1p));
  EXPECT_EQ(Not(image, Notation::NotG3), "G3");
  EXPECT_EQ(Not(image, Notation::NotP3), "P3");
  EXPECT_EQ(Not(image, Notation::NotWorkTime), "Tшр");
  EXPECT_NE(image.RealData.Gr3, 0);
  EXPECT_EQ(image.LastReadData.G3, 13);
  BuildTsvSystem1(image, Meter(53, "А2"));
  EXPECT_EQ(Not(image, Notation::NotG3), "");
  EXPECT_EQ(Not(image, Notation::NotT3), "");
  EXPECT_EQ(image.RealData.Gr3, 0);
  EXPECT_EQ(image.RealData.Tr3, 0);
  EXPECT_EQ(image.LastReadData.G3, 0);
  EXPECT_EQ(image.LastReadData.V3, 0);
  EXPECT_EQ(image.HourData[0].G3, 0);
  EXPECT_EQ(image.HourData[0].T3, 10.0f);  // kept: only G3 and V3 are cleared in the records
}

TEST(TsvSystem1, CompactMeterWithLatinA3cHasNoSecondTemperature) {
  TTsvReportImage image;
  BuildTsvSystem1(image, Meter(51, A3cLatin));
  EXPECT_EQ(Not(image, Notation::NotT2), "");
  EXPECT_EQ(Not(image, Notation::NotT1T2), "");
  EXPECT_EQ(Not(image, Notation::NotV3), "V3");
  EXPECT_EQ(Not(image, Notation::NotP1), "");
  BuildTsvSystem1(image, Meter(51, A3sCyrillic));
  EXPECT_EQ(Not(image, Notation::NotT2), "T2");
  EXPECT_EQ(Not(image, Notation::NotT1T2), "T1-T2");
  EXPECT_EQ(image.RealData.Pr1, 0);
  EXPECT_EQ(image.RealData.Tr3, 0);
  EXPECT_EQ(image.LastHourData.G3, 0);
  EXPECT_EQ(image.HourData[0].V3, 2.5);  // the archive's own V3
  EXPECT_EQ(image.HourData[0].P3, 0);
}

TEST(TsvSystem1, FlowMeterNotationsAndValues) {
  TTsvReportImage image;
  const auto v = Meter(60, "");
  BuildTsvSystem1(image, v);
  for (int i = 0; i < 24; ++i) {
    const auto n = static_cast<Notation>(i);
    const std::string text = Not(image, n);
    if (n == Notation::NotV1)
      EXPECT_EQ(text, "V");
    else if (n == Notation::NotVr1)
      EXPECT_EQ(text, "v");
    else if (n == Notation::NotT1)
      EXPECT_EQ(text, "T");
    else if (n == Notation::NotErrorCode)
      EXPECT_EQ(text, "Код НС");
    else
      EXPECT_EQ(text, "") << "notation " << i;
  }
  EXPECT_FLOAT_EQ(image.RealData.Gr1, static_cast<float>(WaterDensityRatio(70) * 1.5));
  EXPECT_EQ(image.RealData.Gr2, 0);
  EXPECT_DOUBLE_EQ(image.HourData[0].G1, WaterDensityRatio(70) * 3);
  EXPECT_EQ(image.HourData[0].V2, 0);
}

TEST(TsvSystem1, OlderMeterVolumesAndPressures) {
  TTsvReportImage image;
  const auto v = Meter(12, "А2");
  BuildTsvSystem1(image, v);
  EXPECT_EQ(Not(image, Notation::NotG3), "G3-G4");
  EXPECT_EQ(Not(image, Notation::NotVr3), "v3-v4");
  EXPECT_FLOAT_EQ(image.RealData.Gr1, static_cast<float>(WaterDensityRatio(70) * 1.5));
  EXPECT_FLOAT_EQ(image.RealData.Pr2, 2.0f);
  EXPECT_EQ(image.RealData.K, 4);
  EXPECT_DOUBLE_EQ(image.HourData[0].G2, WaterDensityRatio(40) * 2.9);
  EXPECT_FLOAT_EQ(image.HourData[0].P1, static_cast<float>(6 / 9.8692327));
  EXPECT_DOUBLE_EQ(image.LastReadData.WorkTime, 90.0 / 1440);
  EXPECT_EQ(image.LastHourData.RealTime, v.TotTime);
  EXPECT_EQ(image.LastReadData.RealTime, v.MeterClock);
}

TEST(TsvSystem1, MassMetersDeriveVolumesOnlyFromValidTemperatures) {
  TTsvReportImage image;
  auto v = Meter(54, "");
  v.HourRecords[0].T1 = 256;  // no sensor
  BuildTsvSystem1(image, v);
  EXPECT_EQ(image.HourData[0].V1, image.HourData[0].G1);
  EXPECT_DOUBLE_EQ(image.HourData[0].V2, 1.9 / WaterDensityRatio(40));
  EXPECT_EQ(Not(image, Notation::NotGr3), "g3");
}

TEST(TsvHourWalk, ClockRecordsFillersAndResets) {
  TTsvReportImage image;
  auto v = Meter(54);
  std::vector<HourRecord> hours = {test::Hour(HourOf(1)), test::Hour(HourOf(2))};
  HourRecord rtc = test::Hour(HourOf(2));
  rtc.IsRtc = 1;
  rtc.IsReset = 1;
  hours.push_back(rtc);
  HourRecord gap = test::Hour(HourOf(5));  // 3 hours after the last written one
  gap.K1 = 4;
  hours.push_back(gap);
  HourRecord empty = test::Hour(HourOf(6));
  empty.IsEmpty = 1;
  hours.push_back(empty);
  hours.push_back(test::Hour(HourOf(7)));
  v.HourRecords = hours;
  BuildTsvSystem1(image, v);
  ASSERT_EQ(image.HourData.size(), 7u);
  EXPECT_EQ(image.HourData[2], TsvRecord::Filler(HourOf(2) + 1.0 / 24));
  EXPECT_EQ(image.HourData[3].ErrorCode, 512);
  EXPECT_EQ(image.HourData[4].ErrorCode, 260);  // K1 = 4 plus the reset
  EXPECT_EQ(image.HourData[5].ErrorCode, 512);  // the empty record's hour
  EXPECT_EQ(image.HourData[6].ErrorCode, 0);    // the reset counted once
}

TEST(TsvSystem2, TandemNotationsAndCyrillicA3s) {
  TTsvReportImage image;
  auto v = Meter(53, "А2", "А2");
  BuildTsvSystem1(image, v);
  BuildTsvSystem2(image, v);
  EXPECT_EQ(Not(image, Notation::NotQ), "Q2");
  EXPECT_EQ(Not(image, Notation::NotG1), "G3");
  EXPECT_EQ(Not(image, Notation::NotV3), "V5");
  EXPECT_EQ(Not(image, Notation::NotT1T2), "T3-T4");
  EXPECT_EQ(Not(image, Notation::NotGr3), "");
  EXPECT_EQ(Field(image.Header.DeviceType), "ВТМ-64-ТАНДЕМ - А2 / 2");
  EXPECT_EQ(image.Header.SchemeCode, 3);
  EXPECT_EQ(
      Cp1251ToUtf8(std::string(image.Header.SerualNumber.begin(), image.Header.SerualNumber.begin() + 8)),
      "53-01234");
  EXPECT_FLOAT_EQ(image.RealData.Gr1, 3);
  EXPECT_FLOAT_EQ(image.RealData.T1T2r, 30);
  EXPECT_EQ(image.RealData.K, 8);
  EXPECT_EQ(image.LastReadData.G3, 25);  // the fifth volume
  EXPECT_EQ(image.LastHourData.G1, 33);
  EXPECT_DOUBLE_EQ(image.HourData[0].V1, 1.5 / WaterDensityRatio(10));
  EXPECT_DOUBLE_EQ(image.HourData[0].WorkTime, 30.0 / 1440);

  v.SchemeName2 = A3sCyrillic;
  BuildTsvSystem2(image, v);
  EXPECT_EQ(Not(image, Notation::NotG1), "");
  EXPECT_EQ(Not(image, Notation::NotT1T2), "");
  EXPECT_EQ(Not(image, Notation::NotG2), "G4");
  EXPECT_EQ(image.RealData.Gr1, 0);
  EXPECT_EQ(image.LastReadData.G1, 0);
  EXPECT_EQ(image.LastHourData.V1, 0);
  EXPECT_EQ(image.HourData[0].T1, 0);

  // The latin-P "P3с" clears the reading totals but keeps the last-hour ones.
  v.SchemeName2 = P3sCyrillic;
  BuildTsvSystem2(image, v);
  EXPECT_EQ(Not(image, Notation::NotG1), "");
  EXPECT_EQ(image.LastReadData.G1, 0);
  EXPECT_EQ(image.LastHourData.G1, 33);

  // A Latin "A3c" is not one of system 2's off schemes.
  v.SchemeName2 = A3cLatin;
  BuildTsvSystem2(image, v);
  EXPECT_EQ(Not(image, Notation::NotG1), "G3");
}

TEST(TsvSystem2, OlderMeterAndSituationCodeTopBit) {
  TTsvReportImage image;
  auto v = Meter(12, "А3п");
  v.HourRecords[0].K2 = 0x85;
  EXPECT_TRUE(HasSecondTsvSystem(v));
  BuildTsvSystem2(image, v);
  EXPECT_EQ(Field(image.Header.DeviceType), "ВТМ-Е-А3п / 2");
  EXPECT_EQ(Not(image, Notation::NotG1), "G3-G4");
  EXPECT_EQ(Not(image, Notation::NotT2), "");
  EXPECT_EQ(image.HourData[0].ErrorCode, 5);
  EXPECT_DOUBLE_EQ(image.HourData[0].G1, WaterDensityRatio(10) * 2.5);
  EXPECT_EQ(image.HourData[0].V2, 0);
  EXPECT_DOUBLE_EQ(image.HourData[0].WorkTime, 60.0 / 1440);
  EXPECT_EQ(image.LastReadData.V2, 0);
  EXPECT_FALSE(HasSecondTsvSystem(Meter(12, A3sCyrillic)));
  EXPECT_FALSE(HasSecondTsvSystem(Meter(54)));
}

}  // namespace
}  // namespace velk
