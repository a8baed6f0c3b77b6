#include "reports/ReportViews.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <span>

#include "common/Mathem.h"
#include "common/NumberFormat.h"
#include "common/Text1251.h"
#include "reports/ReportTexts.h"
#include "reports/ReportViewTexts.h"

namespace velk {
namespace {

namespace vt = report_view_texts;

constexpr const char* ValueFormat = "####0.###";
constexpr const char* RecordFormat = "###0.000";
constexpr int RecordRowPixels = 17;

// The text of a fixed field up to its first zero byte.
template <std::size_t N>
std::string FieldText(const std::array<std::uint8_t, N>& field) {
  return ReadZeroPaddedText(field);
}

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string DateAndTime(double dateTime) { return DateText(dateTime) + " " + TimeText(dateTime); }

void AddEdit(TEditBox& box, std::string name, std::string label, std::string text) {
  box.Edits.push_back({std::move(name), std::move(label), std::move(text), true});
}

TEditBox HeaderBox(const TTsvReportImage& image, const std::string& initText, double coldWater) {
  const TsvHeader& h = image.Header;
  const TsvRecordCounts counts = image.Counts();
  TEditBox box{"Header", "Header", true, {}};
  const std::string texts[] = {std::to_string(h.FileVersion),
                               std::to_string(h.HeaderSize),
                               Trim(FieldText(h.SerualNumber)),
                               Trim(FieldText(h.DeviceType)),
                               initText,
                               std::to_string(counts.Hours),
                               std::to_string(counts.Days),
                               std::to_string(counts.Months),
                               FormatFloat("#0.##", coldWater)};
  const char* names[] = {"FileVersion",    "HeaderSize",       "SerualNumber",
                         "DeviceType",     "InitDateTime",     "HourRecordCount",
                         "DayRecordCount", "MonthRecordCount", "Txw"};
  for (int i = 0; i < 9; ++i) AddEdit(box, names[i], vt::HeaderLabels[i], texts[i]);
  AddEdit(box, "Rezerv1", "Rezerv1", FieldText(h.Rezerv1));
  AddEdit(box, "Rezerv2", "Rezerv2", FieldText(h.Rezerv2));
  AddEdit(box, "Rezerv3", "Rezerv3", FieldText(h.Rezerv3));
  AddEdit(box, "Rezerv4", "Rezerv4", FieldText(h.Rezerv4));
  AddEdit(box, "Rezerv5", "Rezerv5", FieldText(h.Rezerv5));
  return box;
}

TEditBox NotationsBox(const TsvNotations& notations) {
  static const char* const names[] = {"NotQ",   "NotQr",  "NotG1", "NotG2", "NotG3",       "NotGr1",
                                      "NotGr2", "NotGr3", "NotV1", "NotV2", "NotV3",       "NotVr1",
                                      "NotVr2", "NotVr3", "NotT1", "NotT2", "NotT3",       "NotT1T2",
                                      "Tcw",    "NotP1",  "NotP2", "NotP3", "NotWorkTime", "NotErrorCode"};
  static const char* const meanings[] = {nullptr,
                                         "тепловой мощности",
                                         "массы 1",
                                         "массы 2",
                                         "массы 3",
                                         "массового расхода 1",
                                         "массового расхода 2",
                                         "массового расхода 3",
                                         "объема 1",
                                         "объема 2",
                                         "объема 3",
                                         "объемного расхода 1",
                                         "объемного расхода 2",
                                         "объемного расхода 3",
                                         "температуры 1",
                                         "температуры 2",
                                         "температуры 3",
                                         "разности температур",
                                         "температуры холодной воды",
                                         "давления 1",
                                         "давления 2",
                                         "давления 3",
                                         "времени штатной работы",
                                         "кода НС"};
  TEditBox box{"Notations", "Notations", true, {}};
  for (std::size_t i = 0; i < tsv_layout::NotationCount; ++i) {
    const std::string label = i == 0 ? std::string(vt::NotQCaption)
                                     : std::string("Обозначение ") + meanings[i] + " (" + names[i] + ")";
    AddEdit(box, names[i], label, notations.Get(static_cast<Notation>(i)));
  }
  return box;
}

TEditBox RealDataBox(const TsvRealData& d) {
  TEditBox box{"RealData", "RealData", true, {}};
  const std::pair<const char*, float> values[] = {
      {"Qr", d.Qr},       {"Gr1", d.Gr1}, {"Gr2", d.Gr2}, {"Gr3", d.Gr3}, {"Vr1", d.Vr1},
      {"Vr2", d.Vr2},     {"Vr3", d.Vr3}, {"Tr1", d.Tr1}, {"Tr2", d.Tr2}, {"Tr3", d.Tr3},
      {"T1T2r", d.T1T2r}, {"Pr1", d.Pr1}, {"Pr2", d.Pr2}, {"Pr3", d.Pr3}};
  for (const auto& [name, value] : values) AddEdit(box, name, name, FormatFloat(ValueFormat, value));
  AddEdit(box, "K", "K", std::to_string(d.K));
  return box;
}

TEditBox TotalsBox(const char* caption, const TsvTotals& t) {
  TEditBox box{caption, caption, true, {}};
  AddEdit(box, "RealTime", "RealTime", DateAndTime(t.RealTime));
  const std::pair<const char*, double> values[] = {{"Q", t.Q},   {"G1", t.G1}, {"G2", t.G2}, {"G3", t.G3},
                                                   {"V1", t.V1}, {"V2", t.V2}, {"V3", t.V3}};
  for (const auto& [name, value] : values) AddEdit(box, name, name, FormatFloat(ValueFormat, value));
  AddEdit(box, "WorkTime", "WorkTime", WorkTimeText(t.WorkTime));
  return box;
}

// Widens a column to its widest text, keeping it at least `minimumPixels` wide.
void FitColumn(TGrid& grid, int column, int minimumPixels) {
  if (column < static_cast<int>(grid.ColumnWidths.size()))
    grid.ColumnWidths[static_cast<std::size_t>(column)] = TColumnWidth::Fixed(minimumPixels);
  grid.FitColumnToTexts(column);
}

// The numbers of a record as its grid row shows them, column 1 on.
std::array<double, 15> RecordNumbers(const TsvRecord& r) {
  return {r.Q,  r.G1, r.G2, r.G3, r.V1, r.V2, r.V3, r.T1, r.T2, r.T3, r.P1, r.P2, r.P3,
          static_cast<double>(nint(r.WorkTime * 24 * 60)), static_cast<double>(r.ErrorCode)};
}

// A record's grid row: the date and time, the values, "Тшр" in minutes and the code.
void RecordCells(const TsvRecord& r, std::span<TGridCell> cells) {
  const std::array<double, 15> numbers = RecordNumbers(r);
  cells[0].Text = DateAndTime(r.DateTime);
  for (int c = 0; c < 13; ++c) cells[c + 1].Text = FormatFloat(RecordFormat, numbers[c]);
  cells[14].Text = std::to_string(static_cast<long long>(numbers[13]));
  cells[15].Text = std::to_string(r.ErrorCode);
}

// Keeps each value column as wide as its widest text, so no number is cut,
// without formatting every record: a number with fixed decimals is never
// longer than the texts of its column's smallest and largest values.
void FitRecordColumns(TGrid& grid, const std::vector<TsvRecord>& records) {
  std::array<std::size_t, 15> low{}, high{};  // per column, the records with its smallest and largest value
  if (!records.empty()) {
    std::array<double, 15> lowest = RecordNumbers(records[0]), highest = lowest;
    for (std::size_t i = 1; i < records.size(); ++i) {
      const std::array<double, 15> numbers = RecordNumbers(records[i]);
      for (std::size_t c = 0; c < numbers.size(); ++c) {
        if (numbers[c] < lowest[c]) lowest[c] = numbers[c], low[c] = i;
        if (numbers[c] > highest[c]) highest[c] = numbers[c], high[c] = i;
      }
    }
  }
  std::array<TGridCell, 16> cells;
  for (std::size_t c = 0; c < low.size(); ++c) {
    std::string widest = vt::RecordHeadings[c + 1];
    for (const std::size_t record : {low[c], high[c]}) {
      if (record >= records.size()) continue;
      RecordCells(records[record], cells);
      if (Utf8Length(cells[c + 1].Text) > Utf8Length(widest)) widest = cells[c + 1].Text;
    }
    grid.ColumnWidths[c + 1].Widest = widest;
  }
}

// The records' rows are made as they are shown: a report's grids hold
// thousands of records, of which a window shows a screenful.
TGrid RecordGrid(const std::string& name, const std::vector<TsvRecord>& records) {
  TGrid grid(name, std::max<int>(static_cast<int>(records.size()) + 1, 2), 16);
  grid.RowHeightPixels = RecordRowPixels;
  grid.ColumnWidths.assign(16, {});
  grid.ColumnWidths[0] = TColumnWidth::Text(vt::DateTimeSample, 6);
  for (int c = 0; c < 16; ++c) grid.SetText(0, c, vt::RecordHeadings[c]);
  grid.SetRowBackground(0, GridLightYellow);
  FitRecordColumns(grid, records);
  auto shared = std::make_shared<const std::vector<TsvRecord>>(records);
  grid.SetRowFill(1, [shared](int row, std::span<TGridCell> cells) {
    cells[0].Background = GridLightYellow;
    const auto index = static_cast<std::size_t>(row - 1);
    if (index < shared->size()) RecordCells((*shared)[index], cells);  // else the blank row of an empty table
  });
  return grid;
}

TGrid ChannelGrid(const std::string& name, int rows, int channelCount,
                  std::initializer_list<const char*> titles) {
  TGrid grid(name, rows, 1 + std::max(channelCount, 1));
  grid.ColumnWidths.assign(static_cast<std::size_t>(grid.ColumnCount()), TColumnWidth::Fixed(40));
  grid.ColumnWidths[0] = TColumnWidth::Text(vt::DateTimeSample, 8);
  int row = 0;
  for (const char* title : titles) grid.SetText(row++, 0, title);
  return grid;
}

void StartTsdView(TsdReportView& view, const TTsdReportImage& image, int channelCount) {
  const TsdHeader& h = image.Header;
  const TsdRecordCounts counts = image.Counts();
  view.Pages = {"Header", "Notations", vt::TotalsPage, "HourData", "DayData", "MontData"};
  view.Header = {"Header", "Header", true, {}};
  const std::pair<const char*, std::string> edits[] = {{"LEdFileVersion", std::to_string(h.FileVersion)},
                                                       {"LEdHeaderSize", std::to_string(h.HeaderSize)},
                                                       {"LEdSerialNumber", FieldText(h.SerialNumber)},
                                                       {"LEdDeviceType", FieldText(h.DeviceType)},
                                                       {"LEdRepDate", std::to_string(h.RepDate)},
                                                       {"LEdDateTimeIni", DateAndTime(h.DateTimeIni)},
                                                       {"LEdHourRecCountr", std::to_string(counts.Hours)},
                                                       {"LEdDayRecCount", std::to_string(counts.Days)},
                                                       {"LEdMonthRecCount", std::to_string(counts.Months)},
                                                       {"LEdRezerv1", FieldText(h.Rezerv1)},
                                                       {"LEdRezerv2", FieldText(h.Rezerv2)},
                                                       {"LEdRezerv3", FieldText(h.Rezerv3)},
                                                       {"LEdRezerv4", FieldText(h.Rezerv4)},
                                                       {"LEdRezerv5", FieldText(h.Rezerv5)}};
  for (const auto& [name, text] : edits) AddEdit(view.Header, name, std::string(name).substr(3), text);

  view.SGCImp = ChannelGrid("SGCImp", 2, channelCount, {vt::ChannelNumber, vt::PulsePrice});
  view.SGNotations =
      ChannelGrid("SGNotations", 3, channelCount, {vt::ChannelNumber, vt::NotationN, vt::NotationV});
  view.SGDataDom = ChannelGrid(
      "SGDataDom", 13, channelCount,
      {vt::ChannelNumber, "LastReadData", "N", vt::VolumeM3, vt::ReportVolumeM3, "PrevReadData", "N",
       vt::VolumeM3, vt::ReportVolumeM3, "LastHourData", "N", vt::VolumeM3, vt::ReportVolumeM3});
  const TsdTotals* blocks[] = {&image.LastReadData, &image.PrevReadData, &image.LastHourData};
  for (int b = 0; b < 3; ++b) {
    view.SGDataDom.SetText(1 + 4 * b, 1, DateText(blocks[b]->DateTime));
    view.SGDataDom.SetText(1 + 4 * b, 2, TimeText(blocks[b]->DateTime));
  }
  view.SGDataDom.SetRowBackground(0, GridWhite);
  for (int r = 1; r < 13; ++r) {
    view.SGDataDom.SetRowBackground(r, r % 4 == 1 ? ReportButtonFace : GridWhite);
    if (r % 4 != 1) view.SGDataDom.SetBackground(r, 0, ReportCream);
  }

  const std::pair<TGrid*, const std::vector<TsdRecord>*> records[] = {{&view.SGHourDataDom, &image.HourData},
                                                                      {&view.SGDayDataDom, &image.DayData},
                                                                      {&view.SGMontDataDom, &image.MontData}};
  const char* names[] = {"SGHourDataDom", "SGDayDataDom", "SGMontDataDom"};
  for (int g = 0; g < 3; ++g) {
    const auto& table = *records[g].second;
    TGrid& grid = *records[g].first;
    grid = ChannelGrid(names[g], std::max<int>(static_cast<int>(table.size()) + 2, 2), channelCount,
                       {vt::ChannelNumber, vt::DateTimeTitle});
    for (std::size_t i = 0; i < table.size(); ++i)
      grid.SetText(static_cast<int>(i) + 2, 0, DateAndTime(table[i].DateTime));
  }
  view.ChannelsShown = 0;
}

std::string PulsesAndVolume(const TsdRecord& r) {
  return std::to_string(r.N) + vt::Slash + FormatFloat(RecordFormat, r.V);
}

}  // namespace

std::string WorkTimeText(double days) {
  const double hoursValue = days * 24;
  const long long hours = static_cast<long long>(std::trunc(hoursValue));
  const long long minutes =
      static_cast<long long>(std::trunc((hoursValue - static_cast<double>(hours)) * 60));
  return std::to_string(hours) + ":" + std::to_string(minutes);
}

static TsvReportView BuildTsvView(const TTsvReportImage& image, const std::string& initText, double coldWater,
                                  int system) {
  TsvReportView view;
  const std::string prefix = system == 1 ? "TSV1" : "TSV2";
  view.TabName = system == 1 ? "TabSheet1tsv" : "TabSheet2tsv";
  view.PageControlName = system == 1 ? "PageControl2" : "PageControl4";
  view.Pages = {"Header", "Notations", "RealData", vt::TotalsPage, "HourData", "DayData", "MontData"};
  view.Header = HeaderBox(image, initText, coldWater);
  view.Notations = NotationsBox(image.Notations);
  view.RealData = RealDataBox(image.RealData);
  view.Totals = {TotalsBox("LastReadData", image.LastReadData), TotalsBox("PrevReadData", image.PrevReadData),
                 TotalsBox("LastHourData", image.LastHourData)};
  view.HourGrid = RecordGrid(prefix + "HrGrid", image.HourData);
  view.DayGrid = RecordGrid(prefix + "DayGrid", image.DayData);
  view.MonthGrid = RecordGrid(prefix + "MonthGrid", image.MontData);
  view.Filled = true;
  return view;
}

TsvReportView BuildTsvReportView(const TTsvReportImage& image, const TDecodedValues& values, int system) {
  return BuildTsvView(image, values.InitDateText + "  " + values.InitTimeText, values.ColdWaterTemp, system);
}

TsvReportView BuildTsvReportView(const TTsvReportImage& image, int system) {
  const double init = image.Header.InitDateTime;
  return BuildTsvView(image, DateText(init) + "  " + TimeText(init), image.Header.Txw, system);
}

int TsvSystemOf(const TTsvReportImage& image) {
  const std::string type = Trim(FieldText(image.Header.DeviceType));
  const std::string suffix = report_texts::TypeSystem2Suffix;
  return type.size() >= suffix.size() && type.compare(type.size() - suffix.size(), suffix.size(), suffix) == 0
             ? 2
             : 1;
}

void AddTsdChannelToView(TsdReportView& view, const TTsdReportImage& image, int channelNumber,
                         int channelCount) {
  if (channelNumber <= 1 || view.ChannelsShown == 0) StartTsdView(view, image, channelCount);
  const int column = view.ChannelsShown + 1;
  if (column >= view.SGCImp.ColumnCount()) return;  // more channels than the view was laid out for
  const std::string number = ZeroPad(channelNumber, 2);
  for (TGrid* grid : {&view.SGCImp, &view.SGNotations, &view.SGDataDom, &view.SGHourDataDom,
                      &view.SGDayDataDom, &view.SGMontDataDom})
    grid->SetText(0, column, number);

  view.SGCImp.SetText(1, column, FormatFloat("#####0.###", image.Header.PulsePrice));
  view.SGNotations.SetText(1, column, FieldText(image.Notations.N));
  view.SGNotations.SetText(2, column, FieldText(image.Notations.V));
  const TsdTotals* blocks[] = {&image.LastReadData, &image.PrevReadData, &image.LastHourData};
  for (int b = 0; b < 3; ++b) {
    view.SGDataDom.SetText(2 + 4 * b, column, std::to_string(blocks[b]->N));
    view.SGDataDom.SetText(3 + 4 * b, column, FormatFloat(RecordFormat, blocks[b]->V));
    view.SGDataDom.SetText(4 + 4 * b, column, FormatFloat(RecordFormat, blocks[b]->Vreport));
  }
  const std::pair<TGrid*, const std::vector<TsdRecord>*> records[] = {{&view.SGHourDataDom, &image.HourData},
                                                                      {&view.SGDayDataDom, &image.DayData},
                                                                      {&view.SGMontDataDom, &image.MontData}};
  for (const auto& [grid, table] : records) {
    grid->SetText(1, column, vt::NSlashV);
    for (std::size_t i = 0; i < table->size(); ++i)
      grid->SetText(static_cast<int>(i) + 2, column, PulsesAndVolume((*table)[i]));
    FitColumn(*grid, column, 0);
  }
  FitColumn(view.SGCImp, column, 40);
  FitColumn(view.SGNotations, column, 40);
  FitColumn(view.SGDataDom, column, 0);
  ++view.ChannelsShown;
}

}  // namespace velk
