// The report viewer on a joined report of 17 520 hours: reading the file,
// building the hour chart's series, and the whole open-and-draw (series put
// into the chart and the window painted once); then panning, which moves the
// axis only. Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.
//
//   bench_viewer [runs]      (default: 10)
#include <QAbstractScrollArea>
#include <QApplication>
#include <QScrollBar>
#include <QTabWidget>
#include <QWheelEvent>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "common/FileReplace.h"
#include "gui/QtUserInterface.h"
#include "gui/ReportChartPanel.h"
#include "gui/ReportViewer.h"
#include "reports/ReportChart.h"
#include "reports/ReportReader.h"
#include "reports/ViewerPages.h"
#include "reportsample/TwoYearReport.h"

namespace fs = std::filesystem;
using Stopwatch = std::chrono::steady_clock;
using namespace velk;

namespace {

double Ms(Stopwatch::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

template <class F>
std::vector<double> Times(int runs, F step) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const auto start = Stopwatch::now();
    step();
    times.push_back(Ms(Stopwatch::now() - start));
  }
  std::sort(times.begin(), times.end());
  return times;
}

void Print(const char* what, const std::vector<double>& t) {
  std::printf("  %-44s median %8.2f ms   min %8.2f   max %8.2f\n", what, t[t.size() / 2], t.front(),
              t.back());
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  const fs::path file = fs::temp_directory_path() / "bench-viewer-17520.tsv";
  const auto bytes = SerializeTsvReport(sample::TwoYearReport(17520));
  if (!ReplaceFileContents(file, bytes)) return 1;
  std::printf("joined report of 17 520 hours, %zu bytes, %d runs\n", bytes.size(), runs);

  Print("read and check the file", Times(runs, [&] { ReadReportFile(file); }));
  const OpenedReport report = *ReadReportFile(file).Report;
  std::size_t points = 0;
  Print("hour chart series (core)", Times(runs, [&] {
          const ReportChart chart = BuildReportChart({report}, RecordTable::Hours);
          points = 0;
          for (const auto& s : chart.Series)
            for (const auto& segment : s.Segments) points += segment.size();
        }));
  std::printf("  (%zu points in all series of the hour chart)\n", points);

  Print("report pages' view models (built when shown)", Times(runs, [&] {
          std::vector<ViewerPage> pages = BuildViewerPages({report});
          BuildPageViews(pages.front());
        }));

  gui::QtUserInterface ui;
  gui::TfmReportViewer viewer(ui);
  viewer.resize(1280, 800);
  viewer.show();
  Print("open in the viewer and draw the hour chart", Times(runs, [&] {
          viewer.OpenFiles({QString::fromStdString(file.string())});
          viewer.Tabs().setCurrentIndex(viewer.Tabs().count() - 1);
          viewer.grab();
        }));

  Print("  of which the series into Qt Charts", Times(runs, [&] { viewer.Chart().SetReports({report}); }));
  Print("  of which painting the window", Times(runs, [&] { viewer.grab(); }));
  // Panning: the file is gone, so any re-read would fail; the chart moves its axis only.
  fs::remove(file);
  auto* scroll = viewer.findChild<QScrollBar*>("ChartScroll");
  auto* zoomIn = viewer.findChild<QAbstractScrollArea*>("ReportChart");
  if (!scroll || !zoomIn) {
    std::printf("  no chart page in this build\n");
    return 0;
  }
  // Two weeks shown, then panned a day at a time.
  QMetaObject::invokeMethod(viewer.findChild<QWidget*>("ChartWhole"), "click");
  for (int i = 0; i < 15; ++i) {
    QWheelEvent wheel(QPointF(600, 300), QPointF(600, 300), {}, {0, 120}, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(zoomIn->viewport(), &wheel);
  }
  int value = 0;
  Print("pan one day and repaint", Times(std::max(runs, 50), [&] {
          value = (value + 24) % std::max(1, scroll->maximum());
          scroll->setValue(value);
          viewer.grab();
        }));
  std::printf("  shown after zooming: %d of %d hours\n", scroll->pageStep(),
              scroll->maximum() + scroll->pageStep());
  return 0;
}
