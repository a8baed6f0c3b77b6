#include "WindowTiming.h"

#include <time.h>

#include <QApplication>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <chrono>

#include "GuiHarness.h"
#include "gui/GuiApplication.h"
#include "imagebuilder/Family5ImageBuilder.h"

namespace velk::gui::test {

namespace {

using Ms = std::chrono::duration<double, std::milli>;

double ThreadCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// Whether the tab bars above `widget` show the pages that hold it.
bool OnShownPages(const QWidget* widget) {
  for (; widget; widget = widget->parentWidget()) {
    const QWidget* stack = widget->parentWidget();
    const auto* tabs = stack ? qobject_cast<const QTabWidget*>(stack->parentWidget()) : nullptr;
    if (tabs && tabs->indexOf(widget) >= 0 && !tabs->isTabVisible(tabs->indexOf(widget))) return false;
  }
  return true;
}

// Shows every page of every tab bar in turn and paints it, as a user clicking
// through the tabs would see them; a page holding tabs of its own is painted
// through its sub-pages.
int PaintEveryTab(QWidget& window) {
  int painted = 0;
  for (QTabWidget* tabs : window.findChildren<QTabWidget*>()) {
    if (!OnShownPages(tabs)) continue;
    for (int i = 0; i < tabs->count(); ++i) {
      if (!tabs->isTabVisible(i)) continue;
      tabs->setCurrentIndex(i);
      QWidget* page = tabs->currentWidget();
      if (page->findChild<QTabWidget*>()) continue;
      page->grab();
      ++painted;
    }
  }
  return painted;
}

}  // namespace

void RunWithApplication(int argc, char** argv, const std::function<void(double)>& body) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  const auto start = std::chrono::steady_clock::now();
  const auto application = MakeGuiApplication(argc, argv);
  body(Ms(std::chrono::steady_clock::now() - start).count());
}

std::vector<double> TimeStartUps(int starts) {
  std::vector<double> times;
  for (int i = 0; i < starts; ++i) {
    const auto start = std::chrono::steady_clock::now();
    Harness h;
    h.window->grab();
    times.push_back(Ms(std::chrono::steady_clock::now() - start).count());
  }
  return times;
}

OpenTimes TimeOpenFullDump(int openings) {
  OpenTimes times;
  times.HourRecords = Family5ImageBuilder::DefaultHourSlots;
  times.DayRecords = Family5ImageBuilder::DefaultDaySlots;
  Harness h;
  Family5ImageBuilder builder(53);
  builder.SetSerial(12345).SetSchemes(2, 2).FillHourRecords(times.HourRecords);
  for (int i = 0; i < times.DayRecords; ++i) builder.AddDayRecord(Family5Record::Sample(i));
  TDumpImage image;
  builder.BuildFullDump(SystemClock::Instance().Now(), image);
  const auto dump = h.dir / "store" / "53-12345-001.dat";
  velk::test::WriteBytes(dump, {image.DumpImage.begin(), image.DumpImage.begin() + image.DumpLength});
  for (int i = 0; i < openings; ++i) {
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = ThreadCpuSeconds();
    h.window->OpenDumpFile(QString::fromStdString(dump.string()));
    times.PagesPainted = PaintEveryTab(*h.window);
    times.WallMs.push_back(Ms(std::chrono::steady_clock::now() - start).count());
    times.CpuMs.push_back((ThreadCpuSeconds() - cpuStart) * 1000);
  }
  times.Refused = !h.messages.empty();
  return times;
}

ReadingLoad TimeReading(int hours, int baudRate) {
  Harness h;
  h.StartMeter(hours, 0, baudRate);
  const double cpuBefore = ThreadCpuSeconds();
  const auto start = std::chrono::steady_clock::now();
  QTest::mouseClick(h.Find<QPushButton>("BuTest"), Qt::LeftButton);
  while (h.app->ReadingRunning() || h.window->Progress().isVisible()) QTest::qWait(20);
  ReadingLoad load;
  load.ElapsedSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  load.GuiCpuSeconds = ThreadCpuSeconds() - cpuBefore;
  return load;
}

}  // namespace velk::gui::test
