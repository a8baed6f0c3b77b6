// Decoded values for the report tests, filled directly.
#pragma once

#include <string>
#include <vector>

#include "common/DateTime.h"
#include "decode/DecodedValues.h"

namespace velk::test {

// 2024-03-01 00:00 and its hours.
inline TDateTime Day0() { return *EncodeDate(2024, 3, 1); }
inline TDateTime HourOf(int hour) { return Day0() + hour / 24.0; }

inline HourRecord Hour(TDateTime stamp, double q1 = 1) {
  HourRecord h;
  h.Stamp = stamp;
  h.Q1 = q1;
  h.Q2 = 2 * q1;
  h.T1 = 70;
  h.T2 = 40;
  h.T3 = 10;
  h.T4 = 5;
  h.G1 = 2;
  h.G2 = 1.9;
  h.G3 = 1.5;
  h.G4 = 1.4;
  h.V1 = 3;
  h.V2 = 2.9;
  h.V3 = 2.5;
  h.V5 = 0.7;
  h.P1 = 6;
  h.P2 = 5;
  h.P3 = 4;
  h.P4 = 3;
  h.WorkMin1 = 60;
  h.WorkMin2 = 30;
  return h;
}

// `count` records an hour apart, the first stamped `first`.
inline std::vector<HourRecord> Hours(TDateTime first, int count) {
  std::vector<HourRecord> hours;
  for (int i = 0; i < count; ++i) hours.push_back(Hour(first + i / 24.0, 1 + i));
  return hours;
}

inline TDecodedValues Meter(std::uint32_t code, const std::string& scheme1 = "А2",
                            const std::string& scheme2 = "А2") {
  TDecodedValues v;
  v.DeviceCode = code;
  v.SerialNumber = 1234;
  v.SchemeName1 = scheme1;
  v.SchemeName2 = scheme2;
  v.SchemeCode1 = 2;
  v.SchemeCode2 = 3;
  v.SizeIndex = 3;
  v.NominalSize = "25";
  v.ZavNumber = std::to_string(code) + "-01234";
  v.InitTime = *EncodeDate(2020, 1, 1);
  v.ColdWaterTemp = 5;
  v.CurTemp1 = 70;
  v.CurTemp2 = 40;
  v.CurTemp3 = 60;
  v.CurTemp4 = 30;
  v.CurPressure1 = 9.8692327;
  v.CurPressure2 = 2 * 9.8692327;
  v.CurPressure3 = 3 * 9.8692327;
  v.CurPressure4 = 4 * 9.8692327;
  v.CurMassFlow1 = 1;
  v.CurMassFlow2 = 2;
  v.CurMassFlow3 = 3;
  v.CurMassFlow4 = 4;
  v.CurVolumeFlow1 = 1.5;
  v.CurVolumeFlow3 = 3.5;
  v.CurVolumeFlow4 = 4.5;
  v.CurQ1 = 100;
  v.CurQ2 = 200;
  v.CurMass1 = 11;
  v.CurMass2 = 12;
  v.CurMass3 = 13;
  v.CurMass4 = 14;
  v.CurVolume1 = 21;
  v.CurVolume2 = 22;
  v.CurVolume3 = 23;
  v.CurVolume4 = 24;
  v.CurVolume5 = 25;
  v.TotQ1 = 99;
  v.TotQ2 = 199;
  v.TotMass3 = 33;
  v.TotVolume3 = 43;
  v.WorkMinutes1 = 90;
  v.WorkMinutes2 = 120;
  v.TotWorkMinutes1 = 60;
  v.TotWorkMinutes2 = 30;
  v.ErrorCode1 = 4;
  v.ErrorCode2 = 8;
  v.HourRecords = Hours(HourOf(1), 24);
  v.HourCount = static_cast<int>(v.HourRecords.size());
  v.TotTime = HourOf(25);
  v.MeterClock = HourOf(25) + 0.01;
  v.ReadTime = HourOf(25) + 0.01;
  return v;
}

}  // namespace velk::test
