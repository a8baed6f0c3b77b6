#include "decode/views/ArchiveViews.h"

#include <algorithm>
#include <string>
#include <vector>

#include "decode/views/CellFormat.h"
#include "decode/views/DeviceGroup.h"
#include "decode/views/ViewTexts.h"

namespace velk {

namespace {

namespace vt = viewtext;

// clang-format off
enum class Field {
  Date, Time, Q1, Q2, T1, T2, T3, T4, G1, G2, G3, G4, V1, V2, V3, V5,
  P1, P2, P3, P4, K1, K2, WorkMin1, WorkMin2, WorkTotal, Ubat, EeAddress, ChannelVolume,
};
// clang-format on

struct Column {
  std::string Heading;
  Field What;
  int Channel = 0;  // ChannelVolume only
};

// How the pressure columns read their values.
enum class PressureRule {
  Hour,         // P1, P2 "обрыв" / "перегруз", "перегр"; P3, P4 from 16.5
  QuestionMark  // "???" from 16.5 on
};

struct Layout {
  std::vector<Column> Columns;
  PressureRule Pressures = PressureRule::Hour;
  int AddressDigits = 4;
};

template <std::size_t N>
std::vector<Column> Columns(const char* const (&headings)[N], std::initializer_list<Field> fields) {
  std::vector<Column> columns;
  auto field = fields.begin();
  for (std::size_t i = 0; i < N && field != fields.end(); ++i, ++field)
    columns.push_back({headings[i], *field});
  return columns;
}

void DropPressures(std::vector<Column>& columns) {
  std::erase_if(columns, [](const Column& c) {
    return c.What == Field::P1 || c.What == Field::P2 || c.What == Field::P3 || c.What == Field::P4;
  });
}

using enum Field;

Layout HourLayout(const TDecodedValues& v) {
  Layout layout;
  switch (GroupOf(v.DeviceCode)) {
    case DeviceGroup::Older:
      layout.Columns =
          Columns(vt::HourColumnsOld, {Date, Time, Q1, T1, T2, T3, V1, V2, V3, P1, P2, EeAddress});
      layout.Pressures = PressureRule::QuestionMark;
      break;
    case DeviceGroup::Compact:
      layout.Columns = Columns(vt::HourColumnsCompact,
                               {Date, Time, Q1, T1, T2, V1, V2, V3, K1, WorkTotal, WorkMin1, EeAddress});
      break;
    case DeviceGroup::Tandem:
    case DeviceGroup::TandemC:
      layout.Columns =
          Columns(vt::HourColumns53, {Date, Time, Q1, Q2, T1, T2, T3, T4,       G1,       G2,   G3,       G4,
                                      V5,   P1,   P2, P3, P4, K1, K2, WorkMin1, WorkMin2, Ubat, EeAddress});
      if (v.DeviceCode == 56) DropPressures(layout.Columns);
      break;
    case DeviceGroup::Kvarta:
    case DeviceGroup::KvartaS:
      layout.Columns =
          Columns(vt::HourColumns54, {Date, Time, Q1, T1, T2, T3, G1, G2, G3, K1, WorkMin1, Ubat, EeAddress});
      layout.AddressDigits = 2;
      break;
    case DeviceGroup::FlowMeter:
      layout.Columns = Columns(vt::HourColumnsFlow, {Date, Time, V1, T1, K1, EeAddress});
      break;
    case DeviceGroup::PulseCounter: {
      layout.Columns = Columns(vt::HourColumnsPulseHead, {Date, Time});
      const int channels = std::clamp(v.ChannelCount, 0, PulseChannelCapacity);
      for (int k = 0; k < channels; ++k)
        layout.Columns.push_back(
            {vt::PulseColumnPrefix + std::to_string(k + 1) + vt::PulseColumnSuffix, ChannelVolume, k});
      for (auto& c : Columns(vt::HourColumnsPulseTail, {K1, EeAddress})) layout.Columns.push_back(c);
      break;
    }
    case DeviceGroup::Unknown:
      break;
  }
  return layout;
}

Layout DayLayout(const TDecodedValues& v) {
  Layout layout;
  layout.Pressures = PressureRule::QuestionMark;
  switch (GroupOf(v.DeviceCode)) {
    case DeviceGroup::Tandem:
    case DeviceGroup::TandemC:
      layout.Columns =
          Columns(vt::DayColumns53, {Date, Time, Q1, Q2, T1, T2, T3, T4, G1,       G2,       G3,
                                     G4,   V5,   P1, P2, P3, P4, K1, K2, WorkMin1, WorkMin2, EeAddress});
      if (v.DeviceCode == 56) DropPressures(layout.Columns);
      break;
    case DeviceGroup::Kvarta:
    case DeviceGroup::KvartaS:
      layout.Columns =
          Columns(vt::DayColumns54, {Date, Time, Q1, T1, T2, T3, G1, G2, G3, K1, WorkMin1, EeAddress});
      layout.AddressDigits = 2;
      break;
    default:
      break;
  }
  return layout;
}

std::string Amount(double value) { return FixedWidth(value, 6, 3); }

// Temperatures at or below 0 and from 160 on are not plausible.
std::string Temperature(double t) {
  return t <= 0 || t >= 160 ? std::string(vt::BadTemperature) : FixedWidth(t, 5, 2);
}

std::string PressureText(double p, Field which, PressureRule rule) {
  if (rule == PressureRule::QuestionMark)
    return p >= 16.5 ? std::string(vt::BadTemperature) : FixedWidth(p, 3, 1);
  if (which == P1 || which == P2) {
    if (p < 25.35) return FixedWidth(p, 3, 1);
    if (p < 25.45) return vt::Broken;
    return which == P1 ? vt::OverloadLong : vt::Overload;
  }
  if (p < 16.5) return FixedWidth(p, 3, 1);
  return p < 25.45 ? vt::Broken : vt::Overload;
}

std::string Cell(const TArchiveRecord& r, const Column& column, const Layout& layout) {
  switch (column.What) {
    case Date:
      return r.DateText;
    case Time:
      return r.TimeText;
    case Q1:
      return Amount(r.Q1);
    case Q2:
      return Amount(r.Q2);
    case T1:
      return Temperature(r.T1);
    case T2:
      return Temperature(r.T2);
    case T3:
      return Temperature(r.T3);
    case T4:
      return Temperature(r.T4);
    case G1:
      return Amount(r.G1);
    case G2:
      return Amount(r.G2);
    case G3:
      return Amount(r.G3);
    case G4:
      return Amount(r.G4);
    case V1:
      return Amount(r.V1);
    case V2:
      return Amount(r.V2);
    case V3:
      return Amount(r.V3);
    case V5:
      return FixedWidth(r.V5, 5, 3);
    case P1:
      return PressureText(r.P1, P1, layout.Pressures);
    case P2:
      return PressureText(r.P2, P2, layout.Pressures);
    case P3:
      return PressureText(r.P3, P3, layout.Pressures);
    case P4:
      return PressureText(r.P4, P4, layout.Pressures);
    case K1:
      return FixedWidth(r.K1, 3);
    case K2:
      return FixedWidth(r.K2, 3);
    case WorkMin1:
      return FixedWidth(r.WorkMin1, 3);
    case WorkMin2:
      return FixedWidth(r.WorkMin2, 3);
    case WorkTotal:
      return std::to_string(r.WorkMin2);
    case Ubat:
      return FixedWidth(r.Ubat, 3, 2);
    case EeAddress:
      return HexText(static_cast<std::uint32_t>(r.EeAddress), layout.AddressDigits);
    case ChannelVolume:
      return Amount(r.ChannelVolumes[static_cast<std::size_t>(column.Channel)]);
  }
  return {};
}

// A clock record: its date and time, "RTC" and "Reset", the battery voltage and the address.
void FillClockRow(TGrid& grid, int row, const TArchiveRecord& r, const Layout& layout) {
  for (std::size_t c = 0; c < layout.Columns.size(); ++c) {
    const Field what = layout.Columns[c].What;
    if (what == Date || what == Time || what == Ubat || what == EeAddress)
      grid.SetText(row, static_cast<int>(c), Cell(r, layout.Columns[c], layout));
  }
  grid.SetText(row, 2, vt::RtcMark);
  if (r.IsReset) grid.SetText(row, 3, vt::ResetMark);
}

bool Shown(const TArchiveRecord& r, const TArchiveViewOptions& options) {
  if (r.IsRtc) return options.ShowRtcRecords;
  return !r.IsEmpty || options.ShowEmptyRecords;
}

TGrid ArchiveGrid(const char* name, const Layout& layout, const std::vector<TArchiveRecord>& records,
                  std::size_t recordCount, bool compactWidths, const TArchiveViewOptions& options) {
  const int columns = static_cast<int>(layout.Columns.size());
  TGrid grid(name, 2, columns);
  for (int c = 0; c < columns; ++c) {
    grid.SetText(0, c, layout.Columns[c].Heading);
    grid.ColumnWidths[c] = TColumnWidth::Text(layout.Columns[c].Heading, 20);
  }
  if (columns > 0) grid.ColumnWidths[0] = TColumnWidth::Text(vt::DateWidthSample, 10);
  if (columns > 1) grid.ColumnWidths[1] = TColumnWidth::Text(vt::TimeWidthSample, 10);
  if (compactWidths && columns > 9) grid.ColumnWidths[9] = TColumnWidth::Text(vt::WorkWidthSample, 10);
  if (columns == 0) return grid;

  const std::size_t count = std::min(recordCount, records.size());
  std::size_t shown = 0;
  for (std::size_t i = 0; i < count; ++i) shown += Shown(records[i], options) ? 1 : 0;
  grid.SetRowCount(std::max<int>(2, static_cast<int>(shown) + 1));
  int row = 1;
  for (std::size_t i = 0; i < count; ++i) {
    const TArchiveRecord& r = records[i];
    if (!Shown(r, options)) continue;
    if (r.IsRtc) {
      FillClockRow(grid, row, r, layout);
    } else {
      for (int c = 0; c < columns; ++c) grid.SetText(row, c, Cell(r, layout.Columns[c], layout));
    }
    ++row;
  }
  for (int c = 2; c < columns; ++c) grid.FitColumnToTexts(c);
  grid.SetRowBackground(0, GridLightYellow);
  grid.SetColumnBackground(0, GridLightYellow);
  if (columns > 1) grid.SetColumnBackground(1, GridLightYellow);
  return grid;
}

std::size_t CountOf(std::int32_t count) { return count > 0 ? static_cast<std::size_t>(count) : 0; }

}  // namespace

TGrid BuildHourGrid(const TDecodedValues& v, const TArchiveViewOptions& options) {
  return ArchiveGrid("HrDataGrid", HourLayout(v), v.HourRecords, CountOf(v.HourCount),
                     GroupOf(v.DeviceCode) == DeviceGroup::Compact, options);
}

TGrid BuildDayGrid(const TDecodedValues& v, const TArchiveViewOptions& options) {
  return ArchiveGrid("DayDataGrid", DayLayout(v), v.DayRecords, CountOf(v.DayCount), false, options);
}

}  // namespace velk
