// What a chart of report files shows: one series per quantity that a file's
// notations name, its records as points over time, split where a filler or an
// empty record stands (a gap, never a zero). The chart window only draws it.
#pragma once

#include <string>
#include <vector>

#include "reports/ReportReader.h"

namespace velk {

enum class RecordTable { Hours, Days, Months };

enum class ChartQuantity { Heat, Mass, Volume, Temperature, Pressure };
// Amounts per period are drawn as bars over their interval, states as lines.
enum class ChartStyle { Bars, Line };

// A record's interval (date-times) and its value.
struct ChartPoint {
  double Begin = 0, End = 0, Value = 0;
};

struct ChartSeries {
  std::string Label;  // the notation, with the channel number or the file name where needed
  ChartQuantity Quantity = ChartQuantity::Heat;
  ChartStyle Style = ChartStyle::Bars;
  std::vector<std::vector<ChartPoint>> Segments;  // runs of records without a gap between them
};

// The span from the earliest Begin to the latest End of a chart, date-times.
struct ChartRange {
  double From = 0, To = 0;
  double Width() const { return To - From; }
};

struct ReportChart {
  RecordTable Table = RecordTable::Hours;
  std::vector<ChartSeries> Series;
  ChartRange Whole;
};

// A filler (no data for the hour) or a period made only of fillers.
bool IsEmptyRecord(const TsvRecord& record);
bool IsEmptyRecord(const TsdRecord& record);

ReportChart BuildReportChart(const std::vector<OpenedReport>& reports, RecordTable table);

// The quantities that have series, in the order of ChartQuantity.
std::vector<ChartQuantity> ChartQuantities(const ReportChart& chart);
// The value axis of a quantity: its values with a twentieth above them; amounts
// start at zero. Low < High also when all values are equal.
struct ChartValueRange {
  double Low = 0, High = 1;
};
ChartValueRange ValueRangeOf(const ReportChart& chart, ChartQuantity quantity);
// Axis title of a quantity: name and unit.
std::string QuantityTitle(ChartQuantity quantity);
std::string RecordTableTitle(RecordTable table);

// The range shown after zooming by `factor` (< 1 zooms in) around `centre`,
// or after panning by `days`; both stay inside the whole range and at least an hour wide.
ChartRange ZoomChartRange(ChartRange shown, ChartRange whole, double centre, double factor);
ChartRange PanChartRange(ChartRange shown, ChartRange whole, double days);
// A range chosen by the user, brought inside the whole range.
ChartRange ClampChartRange(ChartRange wanted, ChartRange whole);

}  // namespace velk
