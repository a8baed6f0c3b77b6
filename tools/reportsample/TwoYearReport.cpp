#include "reportsample/TwoYearReport.h"

#include <cmath>

#include "common/DateTime.h"
#include "decode/DecodedValues.h"
#include "reports/TsvBuilder.h"

namespace velk::sample {

TTsvReportImage TwoYearReport(int hours, int gapDay) {
  constexpr double Pi = 3.14159265358979;
  const TDateTime last = *EncodeDate(2026, 10, 1);
  const TDateTime first = last - (hours - 1) * OneHour;
  TDecodedValues v;
  v.DeviceCode = 53;
  v.SerialNumber = 12345;
  v.ZavNumber = "53-12345";
  v.SchemeName1 = v.SchemeName2 = "А2";
  v.SchemeCode1 = v.SchemeCode2 = 2;
  v.InitTime = first - 30;
  v.ColdWaterTemp = 5;
  v.TotTime = last;
  v.MeterClock = v.ReadTime = last + 0.01;
  for (int h = 0; h < hours; ++h) {
    const TDateTime t = first + h * OneHour;
    if (gapDay >= 0 && static_cast<int>((t - first)) == gapDay) continue;
    const DateTimeParts parts = DecodeDateTime(t);
    // 1 in mid-January, 0 in mid-July; no heating between May and September.
    const double winter = 0.5 + 0.5 * std::cos(2 * Pi * (t - *EncodeDate(parts.Year, 1, 15)) / 365.25);
    const bool heating = winter > 0.35;
    const double daily = std::sin(2 * Pi * (parts.Hour - 8) / 24);
    HourRecord r;
    r.Stamp = t;
    r.T1 = heating ? 62 + 30 * winter + 2 * daily : 58 + daily;
    r.T2 = heating ? 42 + 12 * winter + daily : 50 + 0.5 * daily;
    r.G1 = heating ? 3.2 + 1.5 * winter + 0.3 * daily : 0.6 + 0.2 * daily;
    r.G2 = r.G1 * 0.985;
    r.Q1 = r.G1 * (r.T1 - r.T2) * 4.19e-3;
    r.P1 = 6.2 + 0.2 * daily;  // kgf/cm2
    r.P2 = 4.1 + 0.1 * daily;
    r.WorkMin1 = 60;
    v.HourRecords.push_back(r);
  }
  v.HourCount = static_cast<int>(v.HourRecords.size());
  TTsvReportImage image;
  BuildTsvSystem1(image, v);
  return image;
}

}  // namespace velk::sample
