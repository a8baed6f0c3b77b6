#include "app/ConsoleProgress.h"

#include <algorithm>

#include "app/AppTexts.h"

namespace velk {
namespace {

constexpr int BarWidth = 30;

// The status text on its colour as the window paints it (24-bit ANSI colours).
std::string Coloured(const StatusLine& status) {
  const int red = status.Colour & 0xFF, green = (status.Colour >> 8) & 0xFF,
            blue = (status.Colour >> 16) & 0xFF;
  return "\033[30;48;2;" + std::to_string(red) + ";" + std::to_string(green) + ";" + std::to_string(blue) +
         "m" + status.Text + "\033[0m";
}

}  // namespace

std::string ProgressBar(int percent, int width) {
  const int filled = std::clamp(percent, 0, 100) * width / 100;
  return "[" + std::string(filled, '#') + std::string(width - filled, '-') + "] " + std::to_string(percent) +
         " %";
}

std::string TimesLine(const ReadProgressModel& model) {
  std::string line = std::string(texts::ElapsedLabel) + " " + model.ElapsedText;
  if (model.RemainingVisible) line += "  " + std::string(texts::RemainingLabel) + " " + model.RemainingText;
  return line + "  " + std::string(texts::EstimateLabel) + " " + model.EstimateText;
}

std::vector<std::string> ProgressLines(const ReadProgressModel& model) {
  std::vector<std::string> lines;
  if (model.DiallingLineVisible) lines.push_back(model.DiallingText);
  if (model.TimesVisible) {
    lines.push_back(ProgressBar(model.Bar, BarWidth));
    lines.push_back(TimesLine(model));
  }
  if (!model.Status.Text.empty()) lines.push_back(model.Status.Text);
  return lines;
}

void ConsoleProgress::Update(const ReadProgressModel& model) {
  if (terminal_) {
    Redraw(model);
  } else {
    PrintChanges(model);
  }
}

void ConsoleProgress::Finish(const ReadProgressModel& model) {
  if (terminal_) {
    Redraw(model);
    drawnLines_ = 0;
    return;
  }
  PrintChanges(model);
  const std::string last = ProgressBar(model.Bar, BarWidth) + "  " + TimesLine(model);
  if (model.TimesVisible && last != lastPrinted_) out_ << last << "\n";
  if (!model.Status.Text.empty()) out_ << model.Status.Text << "\n";
  out_.flush();
}

void ConsoleProgress::Redraw(const ReadProgressModel& model) {
  if (drawnLines_ > 0) out_ << "\033[" << drawnLines_ << "F\033[J";
  const std::vector<std::string> lines = ProgressLines(model);
  for (const std::string& line : lines) {
    const bool status = !model.Status.Text.empty() && &line == &lines.back();
    const std::string lamps =
        std::string(model.RequestLit ? "\033[7m" : "") + std::string(texts::RequestLampLabel) + "\033[0m " +
        (model.AnswerLit ? "\033[7m" : "") + std::string(texts::AnswerLampLabel) + "\033[0m";
    if (status) {
      out_ << Coloured(model.Status) << "\n";
    } else if (model.TimesVisible && line.front() == '[') {
      out_ << line << "  " << lamps << "\n";
    } else {
      out_ << line << "\n";
    }
  }
  drawnLines_ = static_cast<int>(lines.size());
  out_.flush();
}

void ConsoleProgress::PrintChanges(const ReadProgressModel& model) {
  if (model.DiallingLineVisible && model.DiallingText != lastDialling_ && lastDialling_.empty()) {
    out_ << model.DiallingText << "\n";
  }
  lastDialling_ = model.DiallingLineVisible ? model.DiallingText : std::string();
  if (model.TimesVisible && model.Bar / 10 != lastTenth_ && !model.ElapsedText.empty()) {
    lastTenth_ = model.Bar / 10;
    lastPrinted_ = ProgressBar(model.Bar, BarWidth) + "  " + TimesLine(model);
    out_ << lastPrinted_ << "\n";
  }
  out_.flush();
}

}  // namespace velk
