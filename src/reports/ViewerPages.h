// The pages of the report viewer for the files it has open: a page per .tsv
// file, and a page per pulse counter for .tsd files (its channels side by side,
// in channel order), each filled with the same view model as the report tabs.
#pragma once

#include <string>
#include <vector>

#include "reports/ReportReader.h"
#include "reports/ReportViews.h"

namespace velk {

struct ViewerPage {
  ReportKind Kind = ReportKind::Tsv;
  std::string Caption;
  std::vector<OpenedReport> Files;  // one .tsv file, or the channels of one counter
  TsvReportView Tsv;                // when Kind is Tsv
  TsdReportView Tsd;                // when Kind is Tsd
  bool ViewsBuilt = false;
};

// .tsd files share a page when their serial numbers match and their channel numbers differ.
// The pages' view models are built later, page by page (a two-year hour grid takes a while).
std::vector<ViewerPage> BuildViewerPages(std::vector<OpenedReport> reports);
void BuildPageViews(ViewerPage& page);

}  // namespace velk
