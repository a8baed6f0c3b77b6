#include "app/ReadProgressModel.h"

#include <algorithm>

#include "app/AppTexts.h"
#include "common/Mathem.h"
#include "common/NumberFormat.h"
#include "link/LinkTexts.h"

namespace velk {

std::string StatusCodeText(int status) {
  for (const auto& entry : LinkText::StatusTexts) {
    if (entry.Code == status) return entry.Text;
  }
  return {};
}

StatusLine StatusLineFor(int status) {
  const auto coded = [status](Colour colour) {
    return StatusLine{"(" + std::to_string(status) + ")" + StatusCodeText(status), colour};
  };
  switch (status) {
    case 0:
    case 8:
      return coded(ColourStatusGood);
    case 12:
    case 14:
      return coded(ColourStatusWaiting);
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
    case 7:
    case 9:
    case 11:
    case 15:
      return coded(ColourStatusBad);
    case 100:
      return StatusLine{"", ColourButtonFace};
    default:
      return StatusLine{
          std::string(LinkText::UnknownCodePrefix) + std::to_string(status) + LinkText::UnknownCodeSuffix,
          ColourStatusBad};
  }
}

ProgressTimes ComputeProgressTimes(double progressPercent, double elapsedSeconds) {
  ProgressTimes times;
  times.Elapsed = elapsedSeconds;
  times.Estimated = progressPercent > 0 ? elapsedSeconds / progressPercent * 100 : 100;
  times.Remaining = times.Estimated - elapsedSeconds;
  return times;
}

std::string SecondsText(double seconds) {
  return FormatFloat("#0.0", seconds) + std::string(texts::SecondsSuffix);
}

std::string DiallingLine(int maxDialSeconds, double secondsSinceClick) {
  return std::string(texts::DiallingLinePrefix) + FormatFloat("0.0", maxDialSeconds) +
         std::string(texts::DiallingLineMiddle) + FormatFloat("#0.0", secondsSinceClick) +
         std::string(texts::SecondsSuffix);
}

void ReadProgressModel::Show() {
  ButtonCaption = std::string(texts::StopCaption);
  ElapsedText.clear();
  RemainingText.clear();
  EstimateText.clear();
  Status = StatusLine{};
  Caption = std::string(texts::ProgressCaption);
  RequestLit = false;
  AnswerLit = false;
  Visible = true;
  ++ShowCount;
}

void ReadProgressModel::StartReadingView() {
  View = ProgressView::Reading;
  DiallingLineVisible = false;
  TimesVisible = true;
}

void ReadProgressModel::StartDiallingView(int maxDialSeconds, TDateTime clickTime) {
  View = ProgressView::Dialling;
  maxDialSeconds_ = maxDialSeconds;
  clickTime_ = clickTime;
  DiallingLineVisible = true;
  TimesVisible = false;
}

void ReadProgressModel::Tick(const ReaderProgress& reader, TDateTime now) {
  if (View == ProgressView::Dialling) DiallingTick(reader, now);
  if (View == ProgressView::Reading) ReadingTick(reader, now);
}

void ReadProgressModel::DiallingTick(const ReaderProgress& reader, TDateTime now) {
  DiallingText = DiallingLine(maxDialSeconds_, (now - clickTime_) * SecondsPerDay);
  if (!reader.Dialling) StartReadingView();
}

void ReadProgressModel::ReadingTick(const ReaderProgress& reader, TDateTime now) {
  RequestLit = reader.RequestLamp;
  AnswerLit = reader.AnswerLamp;
  Bar = static_cast<int>(std::clamp<std::int64_t>(nint(reader.ProgressPercent), 0, 100));
  const double elapsed = reader.ReadingStarted ? (now - reader.ReadStart) * SecondsPerDay : 0;
  const ProgressTimes times = ComputeProgressTimes(reader.ProgressPercent, elapsed);
  ElapsedText = SecondsText(times.Elapsed);
  if (reader.ProgressPercent >= 100 || reader.StopRequested) {
    RemainingVisible = false;
    EstimateText = ElapsedText;
  } else {
    RemainingVisible = true;
    RemainingText = SecondsText(times.Remaining);
    EstimateText = SecondsText(times.Estimated);
  }
  Status = StatusLineFor(reader.Status);
}

void ReadProgressModel::SetStatus(const std::string& text, Colour colour) {
  Status = StatusLine{text, colour};
}

void ReadProgressModel::OfferClose() { ButtonCaption = std::string(texts::OkCaption); }

}  // namespace velk
