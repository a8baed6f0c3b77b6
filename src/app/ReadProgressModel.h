// The read progress window without its widgets: what each of its controls
// shows while the reader thread works. The GUI paints it; the command-line
// program prints it. All of it runs on the main thread.
#pragma once

#include <string>

#include "common/DateTime.h"
#include "common/UserInterface.h"

namespace velk {

// The system's button-face grey (240, 240, 240), the status line's idle colour.
constexpr Colour ColourButtonFace = 0xF0F0F0;
constexpr Colour ColourStatusGood = 0x80FF80;     // 128, 255, 128
constexpr Colour ColourStatusWaiting = 0x00FFD0;  // 208, 255, 0
constexpr Colour ColourStatusBad = 0x8080FF;      // 255, 128, 128
constexpr Colour ColourProcessing = 0x00FF00;     // 0, 255, 0

struct StatusLine {
  std::string Text;
  velk::Colour Colour = ColourButtonFace;
};

// The status line for a reader Status code: "(" code ")" + its text, the
// empty line for 100, the unknown-code line for anything unlisted.
StatusLine StatusLineFor(int status);
// The text of a Status code as the exchange names it (empty when unlisted).
std::string StatusCodeText(int status);

struct ProgressTimes {
  double Elapsed = 0;
  double Remaining = 0;
  double Estimated = 0;
};
// Estimated total = elapsed / percent × 100, or 100 s before any progress.
ProgressTimes ComputeProgressTimes(double progressPercent, double elapsedSeconds);
// "#0.0" followed by " c".
std::string SecondsText(double seconds);
// "Лимит времени ожидания: 30.0 c  прошло:  4.5 c".
std::string DiallingLine(int maxDialSeconds, double secondsSinceClick);

// What the window reads from the reader thread at each tick.
struct ReaderProgress {
  int Status = 100;
  bool RequestLamp = false;
  bool AnswerLamp = false;
  double ProgressPercent = 0;
  TDateTime ReadStart = 0;
  bool ReadingStarted = false;
  bool StopRequested = false;
  bool Dialling = false;
};

enum class ProgressView { Dialling, Reading, Stopped };

class ReadProgressModel {
 public:
  // ShowReadProgress: button "Стоп", empty times and status, caption "Чтение данных".
  void Show();
  void Hide() { Visible = false; }
  // The view chosen when the thread was configured; the dialling view needs
  // the modem's longest dialling time and the moment the reading was asked for.
  void StartReadingView();
  void StartDiallingView(int maxDialSeconds, TDateTime clickTime);
  // One timer tick of whichever view runs (nothing when both timers stopped).
  void Tick(const ReaderProgress& reader, TDateTime now);
  // End of a reading: both timers stop.
  void StopTimers() { View = ProgressView::Stopped; }
  void SetStatus(const std::string& text, Colour colour);
  // A failed reading keeps the window open; its button closes it.
  void OfferClose();

  // What the controls show.
  bool Visible = false;
  // Showings so far: a front end that sees the count change shows the window
  // anew (the readings of a task file follow each other between two of its ticks).
  int ShowCount = 0;
  ProgressView View = ProgressView::Stopped;
  std::string Caption;
  std::string ButtonCaption;
  StatusLine Status;
  bool DiallingLineVisible = false;
  std::string DiallingText;
  bool TimesVisible = true;  // the bar and the six time labels
  int Bar = 0;
  std::string ElapsedText;
  std::string RemainingText;
  bool RemainingVisible = true;
  std::string EstimateText;
  bool RequestLit = false;
  bool AnswerLit = false;

 private:
  void DiallingTick(const ReaderProgress& reader, TDateTime now);
  void ReadingTick(const ReaderProgress& reader, TDateTime now);

  int maxDialSeconds_ = 0;
  TDateTime clickTime_ = 0;
};

}  // namespace velk
