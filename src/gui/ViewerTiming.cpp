#include "gui/ViewerTiming.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QWheelEvent>
#include <algorithm>

#include "gui/GuiApplication.h"
#include "gui/QtUserInterface.h"
#include "gui/ReportChartPanel.h"
#include "gui/ReportViewer.h"

namespace velk::gui {

ViewerTimings TimeViewer(int argc, char** argv, const std::filesystem::path& file, int runs,
                         const std::function<void()>& beforePanning) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  const auto application = MakeGuiApplication(argc, argv);
  QtUserInterface ui;
  TfmReportViewer viewer(ui);
  viewer.resize(1280, 800);
  viewer.show();
  const QString path = QString::fromStdU16String(file.u16string());
  ViewerTimings t;
  t.OpenAndDraw = TimeRuns(runs, [&] {
    viewer.OpenFiles({path});
    viewer.grab();
  });
  t.HasChart = viewer.Chart().HasSeries();
  if (!t.HasChart) return t;
  const std::vector<OpenedReport> reports{*ReadReportFile(file).Report};
  t.SeriesIntoChart = TimeRuns(runs, [&] { viewer.Chart().SetReports(reports); });
  t.Paint = TimeRuns(runs, [&] { viewer.grab(); });
  beforePanning();

  // About four weeks shown (the wheel zooms in), then panned a day at a time.
  auto* canvas = viewer.findChild<QAbstractScrollArea*>("ReportChart");
  auto* scroll = viewer.findChild<QScrollBar*>("ChartScroll");
  viewer.findChild<QPushButton*>("ChartWhole")->click();
  for (int i = 0; i < 15; ++i) {
    QWheelEvent wheel(QPointF(600, 300), QPointF(600, 300), {}, {0, 120}, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(canvas->viewport(), &wheel);
  }
  int value = 0;
  t.Pan = TimeRuns(std::max(runs, 50), [&] {
    value = (value + 24) % std::max(1, scroll->maximum());
    scroll->setValue(value);
    viewer.grab();
  });
  t.ShownHours = scroll->pageStep();
  t.WholeHours = scroll->maximum() + scroll->pageStep();
  return t;
}

}  // namespace velk::gui
