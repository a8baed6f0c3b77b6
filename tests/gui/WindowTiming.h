// The main window timed on the GUI tests' harness, for bench/gui/bench_window
// (which stays free of Qt): start-up to the shown and painted window, opening a
// full two-system heat-meter dump until every tab page has been painted, and
// the GUI thread's CPU while a reading from a simulated meter runs.
#pragma once

#include <functional>
#include <vector>

namespace velk::gui::test {

struct OpenTimes {
  std::vector<double> WallMs, CpuMs;  // one per opening
  int HourRecords = 0, DayRecords = 0, PagesPainted = 0;
  bool Refused = false;
};

struct ReadingLoad {
  double GuiCpuSeconds = 0, ElapsedSeconds = 0;
};

// Runs `body` inside a QApplication on the offscreen platform; `body` is given
// the milliseconds the application's creation took. The timings run inside it.
void RunWithApplication(int argc, char** argv, const std::function<void(double)>& body);
// Milliseconds of each start, the first one included.
std::vector<double> TimeStartUps(int starts);
OpenTimes TimeOpenFullDump(int openings);
// A family-53 meter with `hours` records, paced at `baudRate` (0: unpaced).
ReadingLoad TimeReading(int hours, int baudRate);

}  // namespace velk::gui::test
