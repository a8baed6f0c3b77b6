// The read progress window on a terminal: the dialling line or a progress
// bar with elapsed, remaining and estimated time, and the status line in its
// colour, redrawn in place. When the output is no terminal, plain lines are
// printed instead: one whenever the bar passes a tenth, and the final state.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "app/ReadProgressModel.h"

namespace velk {

// "[#####-----] 50 %".
std::string ProgressBar(int percent, int width);
// The bar and time line as the window shows them: "Прошло: 30.0 c  Осталось: 90.0 c  Расчетное время: 120.0
// c".
std::string TimesLine(const ReadProgressModel& model);
// Everything the window shows, one entry per line (empty status omitted).
std::vector<std::string> ProgressLines(const ReadProgressModel& model);

class ConsoleProgress {
 public:
  ConsoleProgress(std::ostream& out, bool terminal) : out_(out), terminal_(terminal) {}
  void Update(const ReadProgressModel& model);
  // The final state, left on screen.
  void Finish(const ReadProgressModel& model);

 private:
  void Redraw(const ReadProgressModel& model);
  void PrintChanges(const ReadProgressModel& model);

  std::ostream& out_;
  bool terminal_;
  int drawnLines_ = 0;
  std::string lastDialling_;
  int lastTenth_ = -1;
  std::string lastPrinted_;
};

}  // namespace velk
