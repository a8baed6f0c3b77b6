// The main window on the offscreen platform: start-up to the shown window,
// opening a full two-system heat-meter dump until every tab page has been
// painted, and the GUI thread's share of a core while a reading runs.
//
//   bench_window [start-up] [open] [reading]      (default: all three)
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "WindowTiming.h"

using namespace velk::gui::test;

namespace {

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void PrintReading(const char* what, const ReadingLoad& load) {
  std::printf("GUI thread during a reading of %s: %.3f s CPU in %.2f s, %.1f %% of a core\n", what,
              load.GuiCpuSeconds, load.ElapsedSeconds, 100.0 * load.GuiCpuSeconds / load.ElapsedSeconds);
}

}  // namespace

int main(int argc, char** argv) {
  const auto wanted = [argc, argv](const char* part) {
    if (argc < 2) return true;
    for (int i = 1; i < argc; ++i) {
      if (std::string(argv[i]) == part) return true;
    }
    return false;
  };
  RunWithApplication(argc, argv, [&](double applicationMs) {
    std::printf("QApplication created in %.1f ms\n", applicationMs);
    if (wanted("start-up")) {
      const std::vector<double> starts = TimeStartUps(11);
      std::printf(
          "start-up to the shown and painted main window: first %.1f ms, median of the next %zu %.1f ms\n",
          starts.front(), starts.size() - 1, Median({starts.begin() + 1, starts.end()}));
    }
    if (wanted("open")) {
      const OpenTimes open = TimeOpenFullDump(15);
      if (open.Refused) std::printf("  the dump was refused\n");
      std::printf(
          "open a full family-53 dump (%d hour, %d day records) and paint its %d tab pages: median %.1f ms "
          "(min %.1f, max %.1f, %zu runs), GUI thread CPU median %.1f ms\n",
          open.HourRecords, open.DayRecords, open.PagesPainted, Median(open.WallMs),
          *std::min_element(open.WallMs.begin(), open.WallMs.end()),
          *std::max_element(open.WallMs.begin(), open.WallMs.end()), open.WallMs.size(), Median(open.CpuMs));
    }
    if (wanted("reading")) {
      PrintReading("200 hour records at 115200 baud", TimeReading(200, 115200));
      PrintReading("a full memory, unpaced", TimeReading(1528, 0));
    }
  });
  return 0;
}
