#include "reports/TsvBuilder.h"

#include <initializer_list>
#include <string>

#include "common/Mathem.h"
#include "common/Text1251.h"
#include "reports/HourWalk.h"
#include "reports/ReportPeriods.h"
#include "reports/ReportTexts.h"

namespace velk {
namespace {

namespace t = report_texts;

constexpr double PressureDivisor = 9.8692327;  // kgf/cm2 per MPa, as the viewer expects

enum class Group { Older, Compact, Tandem, Kvarta, Flow, Other };

Group GroupOf(std::uint32_t code) {
  if (code >= 1 && code <= 49) return Group::Older;
  if (code == 50 || code == 51) return Group::Compact;
  if (code == 53 || code == 56) return Group::Tandem;
  if (code == 54 || code == 55) return Group::Kvarta;
  if (code == 60) return Group::Flow;
  return Group::Other;
}

bool IsOneOf(const std::string& text, std::initializer_list<const char*> list) {
  for (const char* item : list)
    if (text == item) return true;
  return false;
}

bool InListA(const std::string& scheme) {
  return IsOneOf(scheme, {t::SchemeA1p, t::SchemeA1o, t::SchemeA2b, t::SchemeA4p, t::SchemeA4o});
}

double Rho(double temperature) { return WaterDensityRatio(temperature); }
double Days(double minutes) { return minutes / 60 / 24; }
float Pressure(double kgf) { return static_cast<float>(kgf / PressureDivisor); }

std::string TypeTextSystem1(const TDecodedValues& v) {
  const std::string size = Utf8Left(v.NominalSize, 3);
  const std::string& scheme = v.SchemeName1;
  switch (v.DeviceCode) {
    case 50:
      return t::TypeMini + size + t::TypeDash + scheme;
    case 51:
      return t::TypeSparka + size + t::TypeDash + scheme;
    case 53:
      return t::TypeTandem + scheme + t::TypeSystem1Suffix;
    case 54:
      return t::TypeKvarta + scheme;
    case 55:
      return t::TypeKvartaS + scheme;
    case 56:
      return t::TypeTandemS + scheme + t::TypeSystem1Suffix;
    case 60:
      return t::TypeZent + size + t::TypeDash + scheme;
    default:
      break;
  }
  if (GroupOf(v.DeviceCode) == Group::Older) return t::TypeVtmE + scheme + t::TypeSystem1Suffix;
  return t::TypeUnknown;
}

std::string TypeTextSystem2(const TDecodedValues& v) {
  if (GroupOf(v.DeviceCode) == Group::Older) return t::TypeVtmE + v.SchemeName1 + t::TypeSystem2Suffix;
  if (v.DeviceCode == 53) return t::TypeTandem2 + v.SchemeName2 + t::TypeSystem2Suffix;
  if (v.DeviceCode == 56) return t::TypeTandemS2 + v.SchemeName2 + t::TypeSystem2Suffix;
  return t::TypeUnknown;
}

std::string MeterKindText(std::uint32_t code) {
  if (code < 52 || (code >= 53 && code <= 56)) return t::KindHeatMeter;
  if (code == 60) return t::KindFlowMeter;
  if (code == 61) return t::KindFlowConverter;
  return "";
}

void FillHeader(TsvHeader& h, const TDecodedValues& v, const std::string& typeText, std::int32_t schemeCode) {
  const auto serial = h.SerualNumber;
  h = TsvHeader{};
  h.SerualNumber = serial;
  WritePaddedText(h.DeviceType, Utf8Left(typeText, 100), ' ');
  h.InitDateTime = v.InitTime;
  h.Txw = static_cast<float>(v.ColdWaterTemp);
  h.SchemeCode = static_cast<std::uint8_t>(schemeCode);
  WritePaddedText(h.Rezerv1, MeterKindText(v.DeviceCode), ' ');
}

void FillNotationsSystem1(TsvNotations& n, const TDecodedValues& v) {
  using N = Notation;
  n.ClearAll();
  const Group group = GroupOf(v.DeviceCode);
  if (group == Group::Other) return;
  n.Set(N::NotErrorCode, t::NotErrorCode);
  if (group == Group::Flow) {
    n.Set(N::NotV1, t::NotV);
    n.Set(N::NotVr1, t::Notv);
    n.Set(N::NotT1, t::NotT);
    return;
  }
  // Quantities every heat meter has.
  n.Set(N::NotQ, t::NotQ1);
  n.Set(N::NotQr, t::Notq1);
  n.Set(N::NotG1, t::NotG1);
  n.Set(N::NotG2, t::NotG2);
  n.Set(N::NotGr1, t::Notg1);
  n.Set(N::NotGr2, t::Notg2);
  n.Set(N::NotV1, t::NotV1);
  n.Set(N::NotV2, t::NotV2);
  n.Set(N::NotVr1, t::Notv1);
  n.Set(N::NotVr2, t::Notv2);
  n.Set(N::NotT1, t::NotT1);
  n.Set(N::NotT2, t::NotT2);
  n.Set(N::NotT1T2, t::NotT1T2);
  n.Set(N::Tcw, t::NotTk);
  n.Set(N::NotWorkTime, t::NotWork);
  if (group != Group::Compact) {
    n.Set(N::NotP1, t::NotP1);
    n.Set(N::NotP2, t::NotP2);
  }
  const bool third = group == Group::Kvarta || (group == Group::Tandem && InListA(v.SchemeName1));
  switch (group) {
    case Group::Older:
      n.Set(N::NotG3, t::NotG3G4);
      n.Set(N::NotV3, t::NotV3V4);
      n.Set(N::NotVr3, t::Notv3v4);
      n.Set(N::NotT3, t::NotT3);
      break;
    case Group::Compact:
      n.Set(N::NotV3, t::NotV3);
      if (v.SchemeName1 == t::SchemeA3cLatin) {
        n.Clear(N::NotT2);
        n.Clear(N::NotT1T2);
      }
      break;
    default:
      if (third) {
        n.Set(N::NotG3, t::NotG3);
        n.Set(N::NotGr3, t::Notg3);
        n.Set(N::NotV3, t::NotV3);
        n.Set(N::NotVr3, t::Notv3);
        n.Set(N::NotT3, t::NotT3);
        n.Set(N::NotP3, t::NotP3);
      }
      break;
  }
}

void FillNotationsSystem2(TsvNotations& n, const TDecodedValues& v) {
  using N = Notation;
  n.ClearAll();
  const Group group = GroupOf(v.DeviceCode);
  if (group == Group::Tandem) {
    n.Set(N::NotQ, t::NotQ2);
    n.Set(N::NotQr, t::Notq2);
    n.Set(N::NotG1, t::NotG3);
    n.Set(N::NotG2, t::NotG4);
    n.Set(N::NotGr1, t::Notg3);
    n.Set(N::NotGr2, t::Notg4);
    n.Set(N::NotV1, t::NotV3);
    n.Set(N::NotV2, t::NotV4);
    n.Set(N::NotV3, t::NotV5);
    n.Set(N::NotVr1, t::Notv3);
    n.Set(N::NotVr2, t::Notv4);
    n.Set(N::NotT1, t::NotT3);
    n.Set(N::NotT2, t::NotT4);
    n.Set(N::NotT1T2, t::NotT3T4);
    n.Set(N::Tcw, t::NotTk);
    n.Set(N::NotP1, t::NotP3);
    n.Set(N::NotP2, t::NotP4);
    n.Set(N::NotWorkTime, t::NotWork);
    n.Set(N::NotErrorCode, t::NotErrorCode);
    if (IsOneOf(v.SchemeName2, {t::SchemeA3sCyr, t::SchemeP3sCyr})) {
      for (N cleared : {N::NotG1, N::NotGr1, N::NotVr3, N::NotT3, N::NotP3, N::NotT1T2}) n.Clear(cleared);
    }
  } else if (group == Group::Older) {
    n.Set(N::NotQ, t::NotQ2);
    n.Set(N::NotQr, t::Notq2);
    n.Set(N::NotG1, t::NotG3G4);
    n.Set(N::NotGr1, t::Notg3);
    n.Set(N::NotGr2, t::Notg4);
    n.Set(N::NotV1, t::NotV3V4);
    n.Set(N::NotVr1, t::Notv3);
    n.Set(N::NotVr2, t::Notv4);
    n.Set(N::NotT1, t::NotT3);
    n.Set(N::Tcw, t::NotTk);
    n.Set(N::NotP1, t::NotP3);
    n.Set(N::NotWorkTime, t::NotWork);
    n.Set(N::NotErrorCode, t::NotErrorCode);
  }
}

void FillRealDataSystem1(TsvRealData& r, const TDecodedValues& v) {
  r = TsvRealData{};
  const Group group = GroupOf(v.DeviceCode);
  r.Qr = static_cast<float>(v.CurHeatRate1);
  r.Tr1 = static_cast<float>(v.CurTemp1);
  r.Tr2 = static_cast<float>(v.CurTemp2);
  r.Tr3 = static_cast<float>(v.CurTemp3);
  r.T1T2r = static_cast<float>(v.CurTemp1 - v.CurTemp2);
  r.Pr1 = Pressure(v.CurPressure1);
  r.Pr2 = Pressure(v.CurPressure2);
  r.Pr3 = Pressure(v.CurPressure3);
  r.K = v.ErrorCode1;
  const double temps[3] = {v.CurTemp1, v.CurTemp2, v.CurTemp3};
  float* g[3] = {&r.Gr1, &r.Gr2, &r.Gr3};
  float* vol[3] = {&r.Vr1, &r.Vr2, &r.Vr3};
  if (group == Group::Older) {
    const double flows[3] = {v.CurVolumeFlow1, v.CurVolumeFlow2, v.CurVolumeFlow3};
    for (int i = 0; i < 3; ++i) {
      *vol[i] = static_cast<float>(flows[i]);
      *g[i] = static_cast<float>(Rho(temps[i]) * flows[i]);
    }
  } else if (group == Group::Compact || group == Group::Tandem || group == Group::Kvarta) {
    const double flows[3] = {v.CurMassFlow1, v.CurMassFlow2, v.CurMassFlow3};
    for (int i = 0; i < 3; ++i) {
      *g[i] = static_cast<float>(flows[i]);
      *vol[i] = static_cast<float>(flows[i] / Rho(temps[i]));
    }
  } else if (group == Group::Flow) {
    r.Vr1 = static_cast<float>(v.CurVolumeFlow1);
    r.Gr1 = static_cast<float>(Rho(v.CurTemp1) * v.CurVolumeFlow1);
  }
  const bool noThird = group == Group::Compact || (group == Group::Tandem && !InListA(v.SchemeName1));
  if (noThird) r.Tr3 = r.Gr3 = r.Vr3 = r.Pr3 = 0;
  if (group == Group::Compact) r.Pr1 = r.Pr2 = 0;
}

void FillTotalsSystem1(TsvTotals& totals, const TDecodedValues& v, bool atReading) {
  if (atReading)
    totals = {v.MeterClock, v.CurQ1,      v.CurMass1,   v.CurMass2,          v.CurMass3,
              v.CurVolume1, v.CurVolume2, v.CurVolume3, Days(v.WorkMinutes1)};
  else
    totals = {v.TotTime,    v.TotQ1,      v.TotMass1,
              v.TotMass2,   v.TotMass3,   v.TotVolume1,
              v.TotVolume2, v.TotVolume3, Days(v.TotWorkMinutes1)};
  const Group group = GroupOf(v.DeviceCode);
  if (group == Group::Compact) totals.G3 = 0;
  if (group == Group::Tandem && !InListA(v.SchemeName1)) totals.G3 = totals.V3 = 0;
}

TsvRecord HourSystem1(const TDecodedValues& v, const HourRecord& h, bool reset) {
  const Group group = GroupOf(v.DeviceCode);
  TsvRecord r;
  r.DateTime = h.Stamp;
  r.Q = h.Q1;
  r.T1 = static_cast<float>(h.T1);
  r.T2 = static_cast<float>(h.T2);
  r.T3 = static_cast<float>(h.T3);
  r.P1 = Pressure(h.P1);
  r.P2 = Pressure(h.P2);
  r.P3 = Pressure(h.P3);
  r.WorkTime = Days(h.WorkMin1);
  const double temps[3] = {h.T1, h.T2, h.T3};
  double* g[3] = {&r.G1, &r.G2, &r.G3};
  double* vol[3] = {&r.V1, &r.V2, &r.V3};
  if (group == Group::Older) {
    const double volumes[3] = {h.V1, h.V2, h.V3};
    for (int i = 0; i < 3; ++i) {
      *vol[i] = volumes[i];
      *g[i] = Rho(temps[i]) * volumes[i];
    }
  } else if (group == Group::Compact || group == Group::Tandem || group == Group::Kvarta) {
    const double masses[3] = {h.G1, h.G2, h.G3};
    for (int i = 0; i < 3; ++i) {
      *g[i] = masses[i];
      *vol[i] = temps[i] > 0 && temps[i] < 255 ? masses[i] / Rho(temps[i]) : masses[i];
    }
  } else if (group == Group::Flow) {
    r.V1 = h.V1;
    r.G1 = Rho(h.T1) * h.V1;
  }
  if (group == Group::Compact) {
    r.G3 = 0;
    r.V3 = h.V3;
    r.T3 = r.P3 = 0;
  } else if (group == Group::Tandem && !InListA(v.SchemeName1)) {
    r.G3 = r.V3 = 0;
  }
  r.ErrorCode = static_cast<std::uint16_t>(h.K1 + (reset ? 256 : 0));
  return r;
}

bool System2Off(const std::string& scheme) {
  return IsOneOf(scheme, {t::SchemeA3sCyr, t::SchemeOff, t::SchemeP3sCyr});
}

void FillRealDataSystem2(TsvRealData& r, const TDecodedValues& v) {
  r = TsvRealData{};
  r.Qr = static_cast<float>(v.CurHeatRate2);
  if (v.DeviceCode >= 50) {
    r.Gr1 = static_cast<float>(v.CurMassFlow3);
    r.Gr2 = static_cast<float>(v.CurMassFlow4);
    r.Vr1 = static_cast<float>(r.Gr1 / Rho(v.CurTemp3));
    r.Vr2 = static_cast<float>(r.Gr2 / Rho(v.CurTemp4));
  } else {
    r.Vr1 = static_cast<float>(v.CurVolumeFlow3);
    r.Vr2 = static_cast<float>(v.CurVolumeFlow4);
    r.Gr1 = static_cast<float>(Rho(v.CurTemp3) * r.Vr1);
    r.Gr2 = static_cast<float>(Rho(v.CurTemp4) * r.Vr2);
  }
  r.Tr1 = static_cast<float>(v.CurTemp3);
  r.Tr2 = static_cast<float>(v.CurTemp4);
  r.T1T2r = static_cast<float>(v.CurTemp3 - v.CurTemp4);
  r.Pr1 = Pressure(v.CurPressure3);
  r.Pr2 = Pressure(v.CurPressure4);
  r.K = v.ErrorCode2;
  if (System2Off(v.SchemeName2)) r.Gr1 = r.T1T2r = 0;
}

void FillTotalsSystem2(TsvTotals& totals, const TDecodedValues& v, bool atReading) {
  if (atReading)
    totals = {v.MeterClock, v.CurQ2,      v.CurMass3,   v.CurMass4,          v.CurVolume5,
              v.CurVolume3, v.CurVolume4, v.CurVolume5, Days(v.WorkMinutes2)};
  else
    totals = {v.TotTime,    v.TotQ2,      v.TotMass3,
              v.TotMass4,   v.CurVolume5, v.TotVolume3,
              v.TotVolume4, v.CurVolume5, Days(v.TotWorkMinutes2)};
  if (GroupOf(v.DeviceCode) == Group::Older) totals.G2 = totals.G3 = totals.V2 = totals.V3 = 0;
  // The last-hour totals keep system 2's first channel for "P3с".
  const bool off =
      atReading ? System2Off(v.SchemeName2) : IsOneOf(v.SchemeName2, {t::SchemeA3sCyr, t::SchemeOff});
  if (off) totals.G1 = totals.V1 = 0;
}

TsvRecord HourSystem2(const TDecodedValues& v, const HourRecord& h, bool reset) {
  TsvRecord r;
  r.DateTime = h.Stamp;
  r.Q = h.Q2;
  if (GroupOf(v.DeviceCode) == Group::Older) {
    r.G1 = Rho(h.T3) * h.V3;
    r.V1 = h.V3;
    r.T1 = static_cast<float>(h.T3);
    r.WorkTime = Days(h.WorkMin1);
  } else {
    r.G1 = h.G3;
    r.G2 = h.G4;
    r.G3 = h.V5;
    r.V1 = h.G3 / Rho(h.T3);
    r.V2 = h.G4 / Rho(h.T4);
    r.V3 = h.V5;
    r.T1 = static_cast<float>(h.T3);
    r.T2 = static_cast<float>(h.T4);
    r.WorkTime = Days(h.WorkMin2);
  }
  r.P1 = Pressure(h.P3);
  r.P2 = Pressure(h.P4);
  if (System2Off(v.SchemeName2)) {
    r.G1 = r.V1 = 0;
    r.T1 = r.P1 = 0;
  }
  const int k2 = h.K2 >= 128 ? h.K2 - 128 : h.K2;
  r.ErrorCode = static_cast<std::uint16_t>(k2 + (reset ? 256 : 0));
  return r;
}

}  // namespace

bool HasSecondTsvSystem(const TDecodedValues& v) {
  if (v.DeviceCode == 53 || v.DeviceCode == 56) return true;
  return v.DeviceCode < 50 && IsOneOf(v.SchemeName1, {t::SchemeA2, t::SchemeA3p, t::SchemeA3o});
}

void BuildTsvSystem1(TTsvReportImage& image, const TDecodedValues& v) {
  WritePaddedText(image.Header.SerualNumber, Utf8Left(v.ZavNumber, 20), ' ');
  FillHeader(image.Header, v, TypeTextSystem1(v), v.SchemeCode1);
  FillNotationsSystem1(image.Notations, v);
  FillRealDataSystem1(image.RealData, v);
  FillTotalsSystem1(image.LastReadData, v, true);
  FillTotalsSystem1(image.LastHourData, v, false);
  image.PrevReadData = TsvTotals{};
  WalkHourArchive(v.HourRecords, image.HourData,
                  [&v](const HourRecord& h, bool reset) { return HourSystem1(v, h, reset); });
  RebuildTsvPeriods(image);
}

void BuildTsvSystem2(TTsvReportImage& image, const TDecodedValues& v) {
  FillHeader(image.Header, v, TypeTextSystem2(v), v.SchemeCode2);
  FillNotationsSystem2(image.Notations, v);
  FillRealDataSystem2(image.RealData, v);
  FillTotalsSystem2(image.LastReadData, v, true);
  FillTotalsSystem2(image.LastHourData, v, false);
  image.PrevReadData = TsvTotals{};
  WalkHourArchive(v.HourRecords, image.HourData,
                  [&v](const HourRecord& h, bool reset) { return HourSystem2(v, h, reset); });
  RebuildTsvPeriods(image);
}

}  // namespace velk
