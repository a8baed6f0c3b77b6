// The report viewer on a joined report of 17 520 hours: reading and checking
// the file, building the hour chart's series, the report pages' view models
// (built when a page is first shown), and in the viewer window: opening the
// file and drawing its hour chart, then panning, which moves the chart's axis
// only (the file is deleted before the panning starts).
//
//   bench_viewer [runs]      (default: 10)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "common/FileReplace.h"
#include "gui/ViewerTiming.h"
#include "reports/ReportChart.h"
#include "reports/ReportReader.h"
#include "reports/ViewerPages.h"
#include "reportsample/TwoYearReport.h"

namespace fs = std::filesystem;
using namespace velk;

namespace {

void Print(const char* what, std::vector<double> t) {
  if (t.empty()) return;
  std::sort(t.begin(), t.end());
  std::printf("  %-46s median %8.2f ms   min %8.2f   max %8.2f\n", what, t[t.size() / 2], t.front(),
              t.back());
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  const fs::path file = fs::temp_directory_path() / "bench-viewer-17520.tsv";
  const auto bytes = SerializeTsvReport(sample::TwoYearReport(17520));
  if (!ReplaceFileContents(file, bytes)) return 1;
  std::printf("joined report of 17 520 hours, %zu bytes, %d runs\n", bytes.size(), runs);

  Print("read and check the file", gui::TimeRuns(runs, [&] { ReadReportFile(file); }));
  const OpenedReport report = *ReadReportFile(file).Report;
  std::size_t points = 0;
  Print("hour chart series (core)", gui::TimeRuns(runs, [&] {
          const ReportChart chart = BuildReportChart({report}, RecordTable::Hours);
          points = 0;
          for (const auto& s : chart.Series)
            for (const auto& segment : s.Segments) points += segment.size();
        }));
  std::printf("  (%zu points in all series of the hour chart)\n", points);
  Print("report pages' view models (built when shown)", gui::TimeRuns(runs, [&] {
          std::vector<ViewerPage> pages = BuildViewerPages({report});
          BuildPageViews(pages.front());
        }));

  const gui::ViewerTimings viewer = gui::TimeViewer(argc, argv, file, runs, [&] { fs::remove(file); });
  Print("open in the viewer and draw the hour chart", viewer.OpenAndDraw);
  if (!viewer.HasChart) {
    std::printf("  no chart page in this build\n");
    return 0;
  }
  Print("  of which the series into Qt Charts", viewer.SeriesIntoChart);
  Print("  of which painting the window", viewer.Paint);
  Print("pan one day and repaint (file deleted)", viewer.Pan);
  std::printf("  panned over %d of %d hours shown at a time\n", viewer.ShownHours, viewer.WholeHours);
  fs::remove(file);
  return 0;
}
