// The report tabs "-01.tsv", "-02.tsv" and "*.tsd": the report image that has
// just been written, block by block, as labelled edits and grids of cell texts.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "decode/DecodedValues.h"
#include "decode/views/Grid.h"
#include "reports/TsdImage.h"
#include "reports/TsvImage.h"

namespace velk {

inline constexpr TColour ReportCurrentRowBlue{187, 187, 255};  // the current row of a whole-row grid
inline constexpr TColour ReportCream{255, 251, 240};
inline constexpr TColour ReportButtonFace{240, 240, 240};

// One .tsv tab: TabSheet1tsv with PageControl2, or TabSheet2tsv with PageControl4.
struct TsvReportView {
  std::string TabName;
  std::string PageControlName;
  std::vector<std::string> Pages;
  TEditBox Header;
  TEditBox Notations;
  TEditBox RealData;
  std::array<TEditBox, 3> Totals;  // "LastReadData", "PrevReadData", "LastHourData"
  TGrid HourGrid, DayGrid, MonthGrid;
  bool Filled = false;
};

// The "*.tsd" tab: the header of channel 1 and one grid column per channel.
struct TsdReportView {
  std::string TabName = "TabSheetTsd";
  std::vector<std::string> Pages;
  TEditBox Header;
  TGrid SGCImp, SGNotations, SGDataDom, SGHourDataDom, SGDayDataDom, SGMontDataDom;
  int ChannelsShown = 0;
};

struct ReportViews {
  TsvReportView FirstTsv, SecondTsv;
  TsdReportView Channels;
};

// system 1 fills the "-01.tsv" tab, system 2 the "-02.tsv" one.
TsvReportView BuildTsvReportView(const TTsvReportImage& image, const TDecodedValues& values, int system);
// The same view of a report file read back: the initialisation moment and the
// cold-water temperature come from the file's header.
TsvReportView BuildTsvReportView(const TTsvReportImage& image, int system);
// The heating system a .tsv file describes: 2 when its type text ends in " / 2".
int TsvSystemOf(const TTsvReportImage& image);

// Adds the channel the image holds (number 1, 2, ...) to the .tsd view;
// channel 1 starts the view afresh with a column for each of `channelCount` channels.
void AddTsdChannelToView(TsdReportView& view, const TTsdReportImage& image, int channelNumber,
                         int channelCount);

// Work time in days as hours ":" minutes, neither padded (1.5 hours: "1:30").
std::string WorkTimeText(double days);

}  // namespace velk
