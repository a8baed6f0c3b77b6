#include "reports/ReportChart.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/DateTime.h"
#include "common/NumberFormat.h"
#include "common/Text1251.h"

namespace velk {
namespace {

constexpr double MinimumWidth = OneHour;

const std::vector<TsvRecord>& TableOf(const TTsvReportImage& image, RecordTable table) {
  return table == RecordTable::Hours  ? image.HourData
         : table == RecordTable::Days ? image.DayData
                                      : image.MontData;
}
const std::vector<TsdRecord>& TableOf(const TTsdReportImage& image, RecordTable table) {
  return table == RecordTable::Hours  ? image.HourData
         : table == RecordTable::Days ? image.DayData
                                      : image.MontData;
}

// The nominal length of a record's interval, ending at `end`.
double PeriodBefore(double end, RecordTable table) {
  if (table == RecordTable::Hours) return OneHour;
  if (table == RecordTable::Days) return 1;
  const DateTimeParts month = DecodeDateTime(end - OneSecond * 60);
  return DaysInMonth(month.Year, month.Month);
}

// Heat, masses and volumes are amounts per period; temperatures and pressures are states.
bool IsAmount(ChartQuantity quantity) {
  return quantity != ChartQuantity::Temperature && quantity != ChartQuantity::Pressure;
}

// Hours are too many for bars over a season: amounts per hour are drawn as lines as well.
ChartStyle StyleOf(ChartQuantity quantity, RecordTable table) {
  return IsAmount(quantity) && table != RecordTable::Hours ? ChartStyle::Bars : ChartStyle::Line;
}

// One series from a table: `value(record)` for every record that is not empty.
template <class Record, class Value>
ChartSeries SeriesOf(std::string label, ChartQuantity quantity, const std::vector<Record>& records,
                     RecordTable table, Value value) {
  ChartSeries series{std::move(label), quantity, StyleOf(quantity, table), {}};
  bool open = false;
  double lastEnd = 0;
  for (const Record& r : records) {
    if (IsEmptyRecord(r)) {
      open = false;
      continue;
    }
    const double period = PeriodBefore(r.DateTime, table);
    const ChartPoint point{r.DateTime - period, r.DateTime, value(r)};
    // Records further apart than their period leave a gap as well.
    if (!open || point.Begin > lastEnd + period / 2) series.Segments.emplace_back();
    series.Segments.back().push_back(point);
    lastEnd = point.End;
    open = true;
  }
  return series;
}

struct TsvField {
  Notation Which;
  ChartQuantity Quantity;
  double (*Value)(const TsvRecord&);
};

const TsvField TsvFields[] = {
    {Notation::NotQ, ChartQuantity::Heat, [](const TsvRecord& r) { return r.Q; }},
    {Notation::NotG1, ChartQuantity::Mass, [](const TsvRecord& r) { return r.G1; }},
    {Notation::NotG2, ChartQuantity::Mass, [](const TsvRecord& r) { return r.G2; }},
    {Notation::NotG3, ChartQuantity::Mass, [](const TsvRecord& r) { return r.G3; }},
    {Notation::NotV1, ChartQuantity::Volume, [](const TsvRecord& r) { return r.V1; }},
    {Notation::NotV2, ChartQuantity::Volume, [](const TsvRecord& r) { return r.V2; }},
    {Notation::NotV3, ChartQuantity::Volume, [](const TsvRecord& r) { return r.V3; }},
    {Notation::NotT1, ChartQuantity::Temperature, [](const TsvRecord& r) { return double(r.T1); }},
    {Notation::NotT2, ChartQuantity::Temperature, [](const TsvRecord& r) { return double(r.T2); }},
    {Notation::NotT3, ChartQuantity::Temperature, [](const TsvRecord& r) { return double(r.T3); }},
    {Notation::NotP1, ChartQuantity::Pressure, [](const TsvRecord& r) { return double(r.P1); }},
    {Notation::NotP2, ChartQuantity::Pressure, [](const TsvRecord& r) { return double(r.P2); }},
    {Notation::NotP3, ChartQuantity::Pressure, [](const TsvRecord& r) { return double(r.P3); }},
};

}  // namespace

bool IsEmptyRecord(const TsvRecord& r) {
  if ((r.ErrorCode & TsvRecord::FillerCode) == 0) return false;
  TsvRecord bare = TsvRecord::Filler(r.DateTime);
  bare.ErrorCode = r.ErrorCode;
  return r == bare;
}

bool IsEmptyRecord(const TsdRecord& r) {
  return (r.Code & TsdRecord::FillerCode) != 0 && r.N == 0 && r.V == 0;
}

ReportChart BuildReportChart(const std::vector<OpenedReport>& reports, RecordTable table) {
  ReportChart chart;
  chart.Table = table;
  for (const OpenedReport& report : reports) {
    const std::size_t firstOfFile = chart.Series.size();
    if (report.Kind == ReportKind::Tsv) {
      for (const TsvField& field : TsvFields) {
        const std::string notation = report.Tsv.Notations.Get(field.Which);
        if (notation.empty()) continue;
        chart.Series.push_back(
            SeriesOf(notation, field.Quantity, TableOf(report.Tsv, table), table, field.Value));
      }
    } else {
      // N is the same volume counted in pulses; the chart shows the volume.
      const std::string notation = ReadZeroPaddedText(report.Tsd.Notations.V);
      if (notation.empty()) continue;
      chart.Series.push_back(SeriesOf(notation + " " + ZeroPad(report.Tsd.Header.ChannelNumber, 2),
                                      ChartQuantity::Volume, TableOf(report.Tsd, table), table,
                                      [](const TsdRecord& r) { return r.V; }));
    }
    // Two files with the same notations (systems of one meter kind, two readings): the file tells them apart.
    for (std::size_t i = firstOfFile; i < chart.Series.size(); ++i) {
      for (std::size_t j = 0; j < firstOfFile; ++j) {
        if (chart.Series[j].Label != chart.Series[i].Label) continue;
        chart.Series[i].Label += " (" + report.Path.filename().string() + ")";
        break;
      }
    }
  }
  double from = std::numeric_limits<double>::max(), to = std::numeric_limits<double>::lowest();
  for (const ChartSeries& s : chart.Series)
    for (const auto& segment : s.Segments) {
      from = std::min(from, segment.front().Begin);
      to = std::max(to, segment.back().End);
    }
  if (from <= to) chart.Whole = {from, to};
  return chart;
}

std::vector<ChartQuantity> ChartQuantities(const ReportChart& chart) {
  std::vector<ChartQuantity> quantities;
  for (ChartQuantity q : {ChartQuantity::Heat, ChartQuantity::Mass, ChartQuantity::Volume,
                          ChartQuantity::Temperature, ChartQuantity::Pressure})
    if (std::any_of(chart.Series.begin(), chart.Series.end(),
                    [q](const ChartSeries& s) { return s.Quantity == q; }))
      quantities.push_back(q);
  return quantities;
}

ChartValueRange ValueRangeOf(const ReportChart& chart, ChartQuantity quantity) {
  double low = std::numeric_limits<double>::max(), high = std::numeric_limits<double>::lowest();
  for (const ChartSeries& s : chart.Series) {
    if (s.Quantity != quantity) continue;
    for (const auto& segment : s.Segments)
      for (const ChartPoint& p : segment) {
        low = std::min(low, p.Value);
        high = std::max(high, p.Value);
      }
  }
  if (low > high) low = high = 0;
  if (IsAmount(quantity)) low = std::min(low, 0.0);
  if (high - low < 1e-9) high = low + 1;
  return {low, high + (high - low) / 20};
}

std::string QuantityTitle(ChartQuantity quantity) {
  switch (quantity) {
    case ChartQuantity::Heat:
      return "Тепловая энергия, ГДж";
    case ChartQuantity::Mass:
      return "Масса, т";
    case ChartQuantity::Volume:
      return "Объем, м³";
    case ChartQuantity::Temperature:
      return "Температура, °C";
    case ChartQuantity::Pressure:
      return "Давление, МПа";
  }
  return {};
}

std::string RecordTableTitle(RecordTable table) {
  return table == RecordTable::Hours ? "Часовой" : table == RecordTable::Days ? "Суточный" : "Месячный";
}

ChartRange ClampChartRange(ChartRange wanted, ChartRange whole) {
  if (wanted.From > wanted.To) std::swap(wanted.From, wanted.To);
  const double width = std::clamp(wanted.Width(), std::min(MinimumWidth, whole.Width()), whole.Width());
  const double from = std::clamp(wanted.From, whole.From, whole.To - width);
  return {from, from + width};
}

ChartRange ZoomChartRange(ChartRange shown, ChartRange whole, double centre, double factor) {
  const double from = centre - (centre - shown.From) * factor;
  const double width = std::max(shown.Width() * factor, MinimumWidth);
  return ClampChartRange({from, from + width}, whole);
}

ChartRange PanChartRange(ChartRange shown, ChartRange whole, double days) {
  return ClampChartRange({shown.From + days, shown.To + days}, whole);
}

}  // namespace velk
