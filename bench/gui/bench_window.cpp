// Main-window speed on the offscreen platform: start-up to the shown window,
// opening a full two-system heat-meter dump until every data tab has been
// painted, and the GUI thread's share of a core while a reading runs.
// Prints its figures.
#include <time.h>

#include <QApplication>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "GuiHarness.h"
#include "imagebuilder/Family5ImageBuilder.h"

namespace {

using namespace velk;
using namespace velk::gui::test;
using Ms = std::chrono::duration<double, std::milli>;

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double ThreadCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec + t.tv_nsec / 1e9;
}

// Shows every page of every tab bar in turn and paints it, as a user clicking
// through the tabs would see them; a page holding tabs of its own is painted
// through its sub-pages.
int PaintEveryTab(QWidget& window) {
  int painted = 0;
  for (QTabWidget* tabs : window.findChildren<QTabWidget*>()) {
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

void StartUp() {
  std::vector<double> runs;
  for (int i = 0; i < 11; ++i) {
    const auto start = std::chrono::steady_clock::now();
    Harness h;
    h.window->grab();
    runs.push_back(Ms(std::chrono::steady_clock::now() - start).count());
  }
  std::printf("start-up to the shown and painted main window: first %.1f ms, median of the next %zu %.1f ms\n",
              runs.front(), runs.size() - 1, Median({runs.begin() + 1, runs.end()}));
}

void OpenFullDump() {
  Harness h;
  Family5ImageBuilder builder(53);
  builder.SetSerial(12345).SetSchemes(2, 2).FillHourRecords(Family5ImageBuilder::DefaultHourSlots);
  for (int i = 0; i < Family5ImageBuilder::DefaultDaySlots; ++i) builder.AddDayRecord(Family5Record::Sample(i));
  TDumpImage image;
  builder.BuildFullDump(SystemClock::Instance().Now(), image);
  const auto dump = h.dir / "store" / "53-12345-001.dat";
  velk::test::WriteBytes(dump, {image.DumpImage.begin(), image.DumpImage.begin() + image.DumpLength});

  std::vector<double> runs, cpuRuns;
  int painted = 0;
  for (int i = 0; i < 15; ++i) {
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = ThreadCpuSeconds();
    h.window->OpenDumpFile(QString::fromStdString(dump.string()));
    painted = PaintEveryTab(*h.window);
    runs.push_back(Ms(std::chrono::steady_clock::now() - start).count());
    cpuRuns.push_back((ThreadCpuSeconds() - cpuStart) * 1000);
  }
  if (!h.messages.empty()) std::printf("  the dump was refused: %s\n", h.messages.front().c_str());
  std::printf("open a full family-53 dump (%d hour, %d day records) and paint its %d tabs: median %.1f ms "
              "(min %.1f, max %.1f, %zu runs), GUI thread CPU median %.1f ms\n",
              Family5ImageBuilder::DefaultHourSlots, Family5ImageBuilder::DefaultDaySlots, painted, Median(runs),
              *std::min_element(runs.begin(), runs.end()), *std::max_element(runs.begin(), runs.end()),
              runs.size(), Median(cpuRuns));
}

void GuiThreadDuringAReading(int hours, int baudRate) {
  Harness h;
  h.StartMeter(hours, 0, baudRate);
  const double cpuBefore = ThreadCpuSeconds();
  const auto start = std::chrono::steady_clock::now();
  QTest::mouseClick(h.Find<QPushButton>("BuTest"), Qt::LeftButton);
  while (h.app->ReadingRunning() || h.window->Progress().isVisible()) QTest::qWait(20);
  const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double cpu = ThreadCpuSeconds() - cpuBefore;
  std::printf("GUI thread during a reading of %d hour records (%s): %.3f s CPU in %.2f s, %.1f %% of a core\n",
              hours, baudRate ? (std::to_string(baudRate) + " baud").c_str() : "unpaced", cpu, elapsed,
              100.0 * cpu / elapsed);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  const auto start = std::chrono::steady_clock::now();
  QApplication application(argc, argv);
  std::printf("QApplication created in %.1f ms\n", Ms(std::chrono::steady_clock::now() - start).count());
  // Arguments pick parts by name (for a profiler): start-up, open, reading.
  const auto wanted = [argc, argv](const char* part) {
    if (argc < 2) return true;
    for (int i = 1; i < argc; ++i) {
      if (std::string(argv[i]) == part) return true;
    }
    return false;
  };
  if (wanted("start-up")) StartUp();
  if (wanted("open")) OpenFullDump();
  if (wanted("reading")) {
    GuiThreadDuringAReading(200, 115200);
    GuiThreadDuringAReading(Family5ImageBuilder::DefaultHourSlots, 0);
  }
  return 0;
}
