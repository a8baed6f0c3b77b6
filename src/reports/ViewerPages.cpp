#include "reports/ViewerPages.h"

#include <algorithm>

namespace velk {
namespace {

bool FitsPage(const ViewerPage& page, const OpenedReport& report) {
  if (page.Kind != ReportKind::Tsd) return false;
  const TsdHeader& h = report.Tsd.Header;
  return std::all_of(page.Files.begin(), page.Files.end(), [&](const OpenedReport& other) {
    return other.Tsd.Header.SerialNumber == h.SerialNumber &&
           other.Tsd.Header.ChannelNumber != h.ChannelNumber;
  });
}

std::string FileName(const OpenedReport& report) { return report.Path.filename().string(); }

}  // namespace

std::vector<ViewerPage> BuildViewerPages(std::vector<OpenedReport> reports) {
  std::vector<ViewerPage> pages;
  for (OpenedReport& report : reports) {
    if (report.Kind == ReportKind::Tsd) {
      auto page =
          std::find_if(pages.begin(), pages.end(), [&](const ViewerPage& p) { return FitsPage(p, report); });
      if (page != pages.end()) {
        page->Files.push_back(std::move(report));
        continue;
      }
    }
    ViewerPage page;
    page.Kind = report.Kind;
    page.Files.push_back(std::move(report));
    pages.push_back(std::move(page));
  }
  for (ViewerPage& page : pages) {
    std::stable_sort(page.Files.begin(), page.Files.end(), [](const OpenedReport& a, const OpenedReport& b) {
      return a.Tsd.Header.ChannelNumber < b.Tsd.Header.ChannelNumber;
    });
    page.Caption = FileName(page.Files.front());
    if (page.Files.size() > 1) page.Caption += " … " + FileName(page.Files.back());
  }
  return pages;
}

void BuildPageViews(ViewerPage& page) {
  if (page.ViewsBuilt) return;
  page.ViewsBuilt = true;
  if (page.Kind == ReportKind::Tsv) {
    page.Tsv = BuildTsvReportView(page.Files.front().Tsv, TsvSystemOf(page.Files.front().Tsv));
    return;
  }
  const int count = static_cast<int>(page.Files.size());
  for (const OpenedReport& channel : page.Files)
    AddTsdChannelToView(page.Tsd, channel.Tsd, channel.Tsd.Header.ChannelNumber, count);
}

}  // namespace velk
