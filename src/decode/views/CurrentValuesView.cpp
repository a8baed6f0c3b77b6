#include "decode/views/CurrentValuesView.h"

#include <algorithm>
#include <array>
#include <string>

#include "common/NumberFormat.h"
#include "decode/views/CellFormat.h"
#include "decode/views/DeviceGroup.h"
#include "decode/views/ViewTexts.h"

namespace velk {

namespace {

namespace vt = viewtext;

std::string Num(double value) { return FormatFloat("#####0.###", value); }
std::string OneDecimal(double value) { return FormatFloat("#####0.#", value); }
std::string Voltage(double value) { return FormatFloat("#####0.##", value); }
std::string Price(double value) { return FormatFloat("###0.##", value); }
std::string Version(double value) { return FormatFloat("#.#", value); }
std::string Decimal(long long value) { return std::to_string(value); }
std::string DateAndTime(const TDecodedValues& v) { return v.MeterDateText + "  " + v.MeterTimeText; }

// A heat rate the meter could not compute is stored as 999999.
std::string HeatRate(double value) { return value > 999998 ? vt::PlainError : Num(value); }
// Temperatures of the two-system meters: above 255 no sensor, below 0 a short circuit.
std::string SignedTemperature(double t) { return t > 255 ? vt::HighError : t < 0 ? vt::LowError : Num(t); }
std::string PlainTemperature(double t) { return t > 255 ? vt::PlainError : Num(t); }
// A difference is meaningful only when both temperatures and the difference lie in 0..160.
std::string Difference(double a, double b) {
  const auto inRange = [](double t) { return t >= 0 && t <= 160; };
  return inRange(a) && inRange(b) && inRange(a - b) ? Num(a - b) : vt::HighError;
}
std::string Pressure(double p) { return p >= 16 ? vt::LowError : OneDecimal(p); }

// Caption rows even and light yellow, value rows odd and white; column 0 is
// narrow and numbers the value rows when `numbered`.
TGrid LsdGrid(int rows, int columns, bool numbered) {
  TGrid grid("LSDGrid", rows, columns);
  for (int c = 0; c < columns; ++c) grid.ColumnWidths[c] = TColumnWidth::Share(vt::LsdWidthSample, 5);
  if (numbered) {
    grid.ColumnWidths[0] = TColumnWidth::Fixed(40);
    for (int r = 1; r < rows; r += 2) grid.SetText(r, 0, std::to_string(r / 2 + 1));
  }
  for (int r = 0; r < rows; r += 2) grid.SetRowBackground(r, GridLightYellow);
  return grid;
}

// Captions and values of the five data columns of codes 53 and 56; the
// single-system meters 54 and 55 pick from them.
using Rows5 = std::array<std::array<std::string, 5>, 8>;

Rows5 Family5Values(const TDecodedValues& v, DeviceGroup group) {
  const bool singleSystem = group == DeviceGroup::Kvarta || group == DeviceGroup::KvartaS;
  const auto temperature = [&](double t) {
    return singleSystem ? PlainTemperature(t) : SignedTemperature(t);
  };
  const auto pressure = [&](double p) {
    switch (group) {
      case DeviceGroup::Tandem:
        return Pressure(p);
      case DeviceGroup::Kvarta:
        return OneDecimal(p);
      default:
        return std::string(vt::NoValue4);
    }
  };
  const std::string version = singleSystem ? v.SchemeName1 : v.SchemeName1 + vt::SchemeJoin + v.SchemeName2;
  const std::string errors =
      singleSystem ? Decimal(v.ErrorCode1) : Decimal(v.ErrorCode1) + "  " + Decimal(v.ErrorCode2);
  return {{
      {Num(v.CurQ1), HeatRate(v.CurHeatRate1), Num(v.CurQ2), HeatRate(v.CurHeatRate2), version},
      {Num(v.CurMass1), Num(v.CurMass2), Num(v.CurMass3), Num(v.CurMass4), DateAndTime(v)},
      {Num(v.CurMassFlow1), Num(v.CurMassFlow2), Num(v.CurMassFlow3), Num(v.CurMassFlow4), errors},
      {temperature(v.CurTemp1), temperature(v.CurTemp2), temperature(v.CurTemp3), temperature(v.CurTemp4),
       OneDecimal(v.ColdWaterTemp)},
      {HoursMinutesText(v.WorkMinutes1), Difference(v.CurTemp1, v.CurTemp2), HoursMinutesText(v.WorkMinutes2),
       Difference(v.CurTemp3, v.CurTemp4), Decimal(v.SerialNumber) + "  " + Version(v.FirmwareVersion)},
      {pressure(v.CurPressure1), pressure(v.CurPressure2), pressure(v.CurPressure3), pressure(v.CurPressure4),
       Voltage(v.SupplyVoltage)},
      {Num(v.CurVolume1), Num(v.CurVolume2), Num(v.CurVolume3), Num(v.CurVolume4), Num(v.CurVolume5)},
      {Num(v.PulsePrice1), Num(v.PulsePrice2), Num(v.PulsePrice3), Num(v.PulsePrice4), Num(v.PulsePrice5)},
  }};
}

TGrid TwoSystemGrid(const TDecodedValues& v, DeviceGroup group) {
  TGrid grid = LsdGrid(16, 6, true);
  const Rows5 values = Family5Values(v, group);
  for (int r = 0; r < 8; ++r) {
    for (int c = 0; c < 5; ++c) {
      grid.SetText(2 * r, c + 1, vt::Lsd53Captions[r][c]);
      grid.SetText(2 * r + 1, c + 1, values[r][c]);
    }
  }
  return grid;
}

// Codes 54 and 55: the second system left out. Each row names the columns of
// the two-system layout it shows (1-based); 0 is a "------" place holder.
TGrid SingleSystemGrid(const TDecodedValues& v, DeviceGroup group) {
  static constexpr int pick[8][4] = {{1, 2, 0, 5}, {1, 2, 3, 5}, {1, 2, 3, 5}, {1, 2, 3, 5},
                                     {1, 2, 0, 5}, {1, 2, 3, 5}, {1, 2, 3, 0}, {1, 2, 3, 0}};
  TGrid grid = LsdGrid(16, 5, true);
  const Rows5 values = Family5Values(v, group);
  for (int r = 0; r < 8; ++r) {
    for (int c = 0; c < 4; ++c) {
      const int from = pick[r][c];
      grid.SetText(2 * r, c + 1, from ? vt::Lsd53Captions[r][from - 1] : vt::NoValue6);
      grid.SetText(2 * r + 1, c + 1, from ? values[r][from - 1] : vt::NoValue6);
    }
  }
  return grid;
}

// Codes 1..49: volumes W, volume flows w, heat rates in kW.
TGrid OlderMeterGrid(const TDecodedValues& v) {
  const std::array<std::array<std::string, 4>, 8> values = {{
      {Num(v.CurVolume1), Num(v.CurVolume2), Num(v.CurVolume3), Decimal(v.OperatingHours)},
      {Num(v.CurVolumeFlow1), Num(v.CurVolumeFlow2), Num(v.CurVolumeFlow3), Num(v.CurVolumeFlow4)},
      {SignedTemperature(v.CurTemp1), SignedTemperature(v.CurTemp2), SignedTemperature(v.CurTemp3),
       Difference(v.CurTemp1, v.CurTemp2)},
      {OneDecimal(v.CurPressure1), OneDecimal(v.CurPressure2), OneDecimal(v.CurPressure1 - v.CurPressure2),
       OneDecimal(v.ColdWaterTemp)},
      {Num(v.CurQ1), vt::LsdOldCaptions[4][1], Num(v.CurQ2), ""},
      {HeatRate(v.CurHeatRate1), Voltage(v.SupplyVoltage), HeatRate(v.CurHeatRate2),
       Decimal(v.ErrorCode1) + "  " + Decimal(v.ErrorCode2)},
      {Price(v.PulsePrice1), Price(v.PulsePrice3), v.SchemeName1, Decimal(v.SerialNumber)},
      {Num(v.CurMass1), Num(v.CurMass2), Num(v.CurMass3), Decimal(v.OperatingMinutes)},
  }};
  TGrid grid = LsdGrid(16, 5, true);
  for (int r = 0; r < 8; ++r) {
    for (int c = 0; c < 4; ++c) {
      grid.SetText(2 * r, c + 1, vt::LsdOldCaptions[r][c]);
      grid.SetText(2 * r + 1, c + 1, values[r][c]);
    }
  }
  return grid;
}

// Codes 50 and 51; firmware above 2.65 shows the cooling heat and a joined date and time.
TGrid CompactMeterGrid(const TDecodedValues& v) {
  const bool newer = v.FirmwareVersion > 2.65;
  TGrid grid = LsdGrid(8, 7, true);
  const auto put = [&grid](int row, const std::array<std::string, 6>& cells) {
    for (int c = 0; c < 6; ++c) grid.SetText(row, c + 1, cells[c]);
  };
  const auto captions = [](const char* const(&row)[6]) {
    return std::array<std::string, 6>{row[0], row[1], row[2], row[3], row[4], row[5]};
  };
  std::array<std::string, 6> row0 = captions(vt::LsdCompactRow0);
  std::array<std::string, 6> row2 = captions(vt::LsdCompactRow2);
  if (newer) {
    row0[5] = vt::LsdCompactCooling;
    row2[3] = vt::LsdCompactNewDate;
    row2[4] = vt::LsdCompactNewTime;
  }
  const std::string difference = Difference(v.CurTemp1, v.CurTemp2);
  put(0, row0);
  put(1, {Num(v.CurQ1), Num(v.CurMass1), Num(v.CurMass2), PlainTemperature(v.CurTemp1),
          PlainTemperature(v.CurTemp2), newer ? Num(v.CurCoolingQ) : difference});
  put(2, row2);
  put(3, {HeatRate(v.CurHeatRate1), Num(v.CurMassFlow1), Num(v.CurMassFlow2),
          newer ? difference : v.MeterDateText, newer ? DateAndTime(v) : v.MeterTimeText,
          HoursMinutesText(v.WorkMinutes1)});
  put(4, captions(vt::LsdCompactRow4));
  put(5, {Decimal(v.ErrorCode1), Num(v.CurVolume1), Num(v.CurVolume2), Num(v.CurVolume3),
          Voltage(v.SupplyVoltage), Version(v.FirmwareVersion)});
  put(6, captions(vt::LsdCompactRow6));
  put(7, {v.SchemeName1, OneDecimal(v.ColdWaterTemp), Price(v.PulsePrice2), Price(v.PulsePrice3),
          Decimal(v.SerialNumber), Decimal(v.DeviceCode) + "   " + ZeroPad(v.SizeIndex, 2)});
  return grid;
}

TGrid FlowMeterGrid(const TDecodedValues& v) {
  TGrid grid = LsdGrid(6, 4, true);
  const std::array<std::array<std::string, 3>, 6> cells = {{
      {vt::LsdFlowRow0[0], vt::LsdFlowRow0[1], vt::LsdFlowRow0[2]},
      {Num(v.CurVolume1), Num(v.CurVolumeFlow1), PlainTemperature(v.CurTemp1)},
      {vt::LsdFlowRow2[0], vt::LsdFlowRow2[1], vt::LsdFlowRow2[2]},
      {Num(v.CurVolume2), DateAndTime(v), Voltage(v.SupplyVoltage)},
      {vt::LsdFlowRow4[0], vt::LsdFlowRow4[1], vt::LsdFlowRow4[2]},
      {Decimal(v.ErrorCode1),
       Decimal(v.DeviceCode) + "-" + ZeroPad(v.SizeIndex, 2) + ZeroPad(v.SerialNumber, 5),
       Price(v.PulsePrice1)},
  }};
  for (int r = 0; r < 6; ++r)
    for (int c = 0; c < 3; ++c) grid.SetText(r, c + 1, cells[r][c]);
  return grid;
}

// Pulse counters: a head row pair, then a caption row and one value row per
// channel, the value rows separated by empty rows.
TGrid PulseCounterGrid(const TDecodedValues& v) {
  const int channels = std::clamp(v.ChannelCount, 0, PulseChannelCapacity);
  TGrid grid("LSDGrid", 2 * channels + 2, 5);
  for (int c = 1; c < 5; ++c) grid.ColumnWidths[c] = TColumnWidth::Share(vt::LsdPulseRow2[2], 5);
  grid.ColumnWidths[0] = TColumnWidth::Fixed(130);  // date and time, channel identifiers
  grid.SetRowBackground(0, GridLightYellow);
  grid.SetRowBackground(2, GridLightYellow);
  const std::array<std::string, 5> head = {
      v.MeterDateText + vt::PulseJoin + v.MeterTimeText,
      Decimal(v.SerialNumber) + vt::PulseJoin + FormatFloat("0.0", v.FirmwareVersion),
      Voltage(v.SupplyVoltage), Decimal(v.ErrorCode1), Decimal(v.ReportDay)};
  for (int c = 0; c < 5; ++c) {
    grid.SetText(0, c, vt::LsdPulseRow0[c]);
    grid.SetText(1, c, head[c]);
    if (channels > 0) grid.SetText(2, c, vt::LsdPulseRow2[c]);
  }
  for (int k = 0; k < channels; ++k) {
    const int row = 3 + 2 * k;
    grid.SetText(row, 0, v.ChannelId[k]);
    grid.SetText(row, 1, Num(v.ChannelVolume[k]));
    grid.SetText(row, 2, Num(v.ChannelReportVolume[k]));
    grid.SetText(row, 3, Num(v.ChannelPulsePrice[k]) + vt::PulseJoin + Decimal(k + 1));
    grid.SetText(row, 4, Decimal(v.ChannelPulses[k]));
  }
  grid.FitColumnToTexts(0);  // the meter's date and time may draw wider than 130 pixels
  return grid;
}

}  // namespace

TGrid BuildCurrentValuesGrid(const TDecodedValues& v) {
  const DeviceGroup group = GroupOf(v.DeviceCode);
  switch (group) {
    case DeviceGroup::Older:
      return OlderMeterGrid(v);
    case DeviceGroup::Compact:
      return CompactMeterGrid(v);
    case DeviceGroup::Tandem:
    case DeviceGroup::TandemC:
      return TwoSystemGrid(v, group);
    case DeviceGroup::Kvarta:
    case DeviceGroup::KvartaS:
      return SingleSystemGrid(v, group);
    case DeviceGroup::FlowMeter:
      return FlowMeterGrid(v);
    case DeviceGroup::PulseCounter:
      return PulseCounterGrid(v);
    case DeviceGroup::Unknown:
      break;
  }
  return TGrid("LSDGrid", 0, 0);
}

}  // namespace velk
