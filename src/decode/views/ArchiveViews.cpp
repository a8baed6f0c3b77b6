#include "decode/views/ArchiveViews.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/Text1251.h"

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

// A cell before it is formatted: a text as it stands, or a number and its format.
struct CellValue {
  enum Kind { Text, Real, Whole, Hex } What = Text;
  std::string_view Words;  // Text: a text of the record or a fixed one
  double Number = 0;       // Real: FixedWidth(Number, Width, Decimals)
  long long Integer = 0;   // Whole: FixedWidth(Integer, Width); Hex: HexText(Integer, Width)
  int Width = 0;
  int Decimals = 0;
};

CellValue Words(std::string_view text) { return {CellValue::Text, text}; }
CellValue Real(double value, int width, int decimals) { return {CellValue::Real, {}, value, 0, width, decimals}; }
CellValue Whole(long long value, int width) { return {CellValue::Whole, {}, 0, value, width}; }

std::string Format(const CellValue& cell) {
  switch (cell.What) {
    case CellValue::Text:
      return std::string(cell.Words);
    case CellValue::Real:
      return FixedWidth(cell.Number, cell.Width, cell.Decimals);
    case CellValue::Whole:
      return FixedWidth(cell.Integer, cell.Width);
    case CellValue::Hex:
      return HexText(static_cast<std::uint64_t>(cell.Integer), cell.Width);
  }
  return {};
}

CellValue Amount(double value) { return Real(value, 6, 3); }

// Temperatures at or below 0 and from 160 on are not plausible.
CellValue Temperature(double t) { return t <= 0 || t >= 160 ? Words(vt::BadTemperature) : Real(t, 5, 2); }

CellValue PressureValue(double p, Field which, PressureRule rule) {
  if (rule == PressureRule::QuestionMark) return p >= 16.5 ? Words(vt::BadTemperature) : Real(p, 3, 1);
  if (which == P1 || which == P2) {
    if (p < 25.35) return Real(p, 3, 1);
    if (p < 25.45) return Words(vt::Broken);
    return Words(which == P1 ? vt::OverloadLong : vt::Overload);
  }
  if (p < 16.5) return Real(p, 3, 1);
  return Words(p < 25.45 ? vt::Broken : vt::Overload);
}

CellValue Describe(const TArchiveRecord& r, const Column& column, const Layout& layout) {
  switch (column.What) {
    case Date:
      return Words(r.DateText);
    case Time:
      return Words(r.TimeText);
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
      return Real(r.V5, 5, 3);
    case P1:
      return PressureValue(r.P1, P1, layout.Pressures);
    case P2:
      return PressureValue(r.P2, P2, layout.Pressures);
    case P3:
      return PressureValue(r.P3, P3, layout.Pressures);
    case P4:
      return PressureValue(r.P4, P4, layout.Pressures);
    case K1:
      return Whole(r.K1, 3);
    case K2:
      return Whole(r.K2, 3);
    case WorkMin1:
      return Whole(r.WorkMin1, 3);
    case WorkMin2:
      return Whole(r.WorkMin2, 3);
    case WorkTotal:
      return Whole(r.WorkMin2, 0);
    case Ubat:
      return Real(r.Ubat, 3, 2);
    case EeAddress:
      return {CellValue::Hex, {}, 0, static_cast<std::uint32_t>(r.EeAddress), layout.AddressDigits};
    case ChannelVolume:
      return Amount(r.ChannelVolumes[static_cast<std::size_t>(column.Channel)]);
  }
  return {};
}

// The cells of a record's row; a clock record shows its date and time, "RTC"
// and "Reset", the battery voltage and the address. `cell(c, value)` takes each.
template <typename TakeCell>
void RowValues(const TArchiveRecord& r, const Layout& layout, TakeCell&& cell) {
  for (std::size_t c = 0; c < layout.Columns.size(); ++c) {
    const Field what = layout.Columns[c].What;
    if (!r.IsRtc || what == Date || what == Time || what == Ubat || what == EeAddress)
      cell(c, Describe(r, layout.Columns[c], layout));
  }
  if (!r.IsRtc) return;
  if (layout.Columns.size() > 2) cell(2, Words(vt::RtcMark));
  if (r.IsReset && layout.Columns.size() > 3) cell(3, Words(vt::ResetMark));
}

// The longest text a column shows, found without formatting every cell: a
// number in a fixed format is never longer than the column's smallest or
// largest number in that format (negative zero sorting below zero, as it
// shows its sign).
class WidestCell {
 public:
  void Take(const CellValue& cell) {
    if (cell.What == CellValue::Text || (cell.What == CellValue::Real && !std::isfinite(cell.Number))) {
      Consider(Format(cell));
      return;
    }
    Extremes& e = cell.What == CellValue::Real ? real_ : cell.What == CellValue::Whole ? whole_ : hex_;
    if (!e.Seen || Below(cell, e.Low)) e.Low = cell;
    if (!e.Seen || Below(e.High, cell)) e.High = cell;
    e.Seen = true;
  }
  std::string Widest() {
    for (const Extremes* e : {&real_, &whole_, &hex_}) {
      if (!e->Seen) continue;
      Consider(Format(e->Low));
      Consider(Format(e->High));
    }
    return widest_;
  }

 private:
  struct Extremes {
    bool Seen = false;
    CellValue Low, High;
  };
  static bool Below(const CellValue& a, const CellValue& b) {
    if (a.What != CellValue::Real) return a.Integer < b.Integer;
    return a.Number < b.Number || (a.Number == b.Number && std::signbit(a.Number) && !std::signbit(b.Number));
  }
  void Consider(std::string text) {
    if (Utf8Length(text) > Utf8Length(widest_)) widest_ = std::move(text);
  }

  Extremes real_, whole_, hex_;
  std::string widest_;
};

bool Shown(const TArchiveRecord& r, const TArchiveViewOptions& options) {
  if (r.IsRtc) return options.ShowRtcRecords;
  return !r.IsEmpty || options.ShowEmptyRecords;
}

// The records' rows are made as they are shown: a full hour archive is
// thousands of rows of twenty numbers.
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
  grid.SetRowBackground(0, GridLightYellow);
  if (columns == 0) return grid;

  struct Source {
    std::vector<TArchiveRecord> Records;  // the shown ones, a row each
    Layout Columns;
  };
  auto source = std::make_shared<Source>();
  source->Columns = layout;
  const std::size_t count = std::min(recordCount, records.size());
  for (std::size_t i = 0; i < count; ++i)
    if (Shown(records[i], options)) source->Records.push_back(records[i]);
  grid.SetRowCount(std::max<int>(2, static_cast<int>(source->Records.size()) + 1));

  std::vector<WidestCell> widest(layout.Columns.size());
  for (const TArchiveRecord& r : source->Records)
    RowValues(r, layout, [&](std::size_t c, const CellValue& cell) { widest[c].Take(cell); });
  for (int c = 2; c < columns; ++c) grid.ColumnWidths[static_cast<std::size_t>(c)].Widest = widest[c].Widest();

  grid.SetRowFill(1, [source = std::shared_ptr<const Source>(source)](int row, std::span<TGridCell> cells) {
    cells[0].Background = GridLightYellow;
    if (cells.size() > 1) cells[1].Background = GridLightYellow;
    const auto index = static_cast<std::size_t>(row - 1);
    if (index >= source->Records.size()) return;  // the blank row of an empty archive
    RowValues(source->Records[index], source->Columns,
              [&](std::size_t c, const CellValue& cell) { cells[c].Text = Format(cell); });
  });
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
