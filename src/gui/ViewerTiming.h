// The report viewer timed on one report file, for bench/bench_viewer (which
// stays free of Qt): opening the file and drawing its hour chart, putting the
// series into the chart, painting the window, and panning a day at a time.
// Runs its own QApplication, on the offscreen platform unless QT_QPA_PLATFORM says otherwise.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <vector>

namespace velk::gui {

// Milliseconds of each of `runs` calls of `step`.
template <class F>
std::vector<double> TimeRuns(int runs, F step) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    step();
    times.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  return times;
}

struct ViewerTimings {
  std::vector<double> OpenAndDraw, SeriesIntoChart, Paint, Pan;  // milliseconds, one per run
  bool HasChart = false;
  int ShownHours = 0, WholeHours = 0;  // the range panned over
};

// `beforePanning` runs once the file has been opened for the last time.
ViewerTimings TimeViewer(int argc, char** argv, const std::filesystem::path& file, int runs,
                         const std::function<void()>& beforePanning);

}  // namespace velk::gui
