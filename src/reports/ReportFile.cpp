#include "reports/ReportFile.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <optional>
#include <system_error>

#include "common/FileReplace.h"
#include "common/Mathem.h"
#include "common/NativePath.h"
#include "reports/ReportChecks.h"
#include "reports/ReportFormats.h"
#include "reports/ReportTexts.h"

namespace velk {
namespace {

namespace fs = std::filesystem;

// Line ends of the monitor lines of the report writer: LF, then CR.
constexpr const char* LineEnd = "\n\r";

std::string ReadFileErrorText() {
  std::string text = report_texts::ReadFileError;
  return text.substr(0, text.find_last_not_of(' ') + 1);
}

bool FileExists(const std::string& pathText) {
  std::error_code ec;
  return !pathText.empty() && fs::is_regular_file(ToNativePath(pathText), ec);
}

void RemoveIfExists(const std::string& pathText) {
  std::error_code ec;
  if (!pathText.empty()) fs::remove(ToNativePath(pathText), ec);
}

void ReportCreateFailure(const std::string& newFile, const ReportWriteRequest& request,
                         ReportWriteSinks& sinks) {
  sinks.Monitor.Append(report_texts::CreateFileError + newFile + "'" + LineEnd);
  sinks.Ui.SetStatusText(report_texts::WriteFileError, ColourRed);
  if (request.CommandLine && sinks.CloseProgram) sinks.CloseProgram();
}

// `what` is a message text without its trailing blank.
[[noreturn]] void RaiseIoError(const std::string& what, const std::string& pathText,
                               const std::string& detail, ReportWriteSinks& sinks) {
  const std::string line = what + " '" + pathText + "'";
  sinks.Monitor.Append(line + (detail.empty() ? "" : ": " + detail) + LineEnd);
  sinks.Ui.SetStatusText(what, ColourRed);
  throw ReportFileError(line + (detail.empty() ? "" : ": " + detail));
}

// false when the file cannot be created (reported); a failed write raises.
bool WriteWholeFile(const std::string& target, const std::string& newFile,
                    const std::vector<std::uint8_t>& bytes, const ReportWriteRequest& request,
                    ReportWriteSinks& sinks) {
  std::string error;
  switch (ReplaceFileContentsStep(ToNativePath(target), bytes, &error)) {
    case ReplaceStep::None:
      return true;
    case ReplaceStep::Create:
      ReportCreateFailure(newFile, request, sinks);
      return false;
    default:
      RaiseIoError(report_texts::WriteFileError, target, error, sinks);
  }
}

template <class F>
std::uint16_t CountAt(std::span<const std::uint8_t> bytes, std::size_t at) {
  return report_bytes::LoadLe<std::uint16_t>(bytes.data() + at);
}

// The previous file's hourly records, then fillers for the hours between the
// two archives, then the new records that the previous file does not hold yet.
template <class F>
PreviousJoin JoinHours(typename F::Image& image, std::span<const std::uint8_t> previous) {
  using Record = typename F::Record;
  const double newLastHour = F::LastHourTime(image);
  if (F::LastHourTime(previous) > newLastHour) return PreviousJoin::PreviousNewer;
  F::TakePreviousReading(image, previous);

  const std::int64_t oldCount = CountAt<F>(previous, F::HourCountAt);
  std::vector<Record>& fresh = image.HourData;
  if (oldCount == 0) return PreviousJoin::Joined;  // nothing to carry over but the previous reading's totals
  const auto oldRecord = [&](std::int64_t i) {
    return F::DecodeRecord(previous, F::RecordsAt + static_cast<std::size_t>(i) * F::RecordBytes);
  };
  const double oldFirst = oldRecord(0).DateTime;
  const double oldLast = oldFirst + static_cast<double>(oldCount - 1) / 24;

  // Hour slots to drop from the front so that at most 17 520 hours lie before the newest last hour.
  const double spanHours = (newLastHour - oldFirst) * 24;
  const std::int64_t slotsToSkip = spanHours >= JoinedHoursLimit ? nint(spanHours - JoinedHoursLimit) : 0;
  const std::int64_t skip = std::min(slotsToSkip, oldCount);

  std::int64_t drop = 0, fillers = 0;
  if (!fresh.empty()) {
    const std::int64_t overlap = nint((oldLast - fresh.front().DateTime) * 24);
    if (overlap >= 0)
      drop = std::min<std::int64_t>(overlap + 1, static_cast<std::int64_t>(fresh.size()));
    else
      fillers = -overlap - 1;  // only the hours that neither archive holds
  }
  std::int64_t fillerSkip = std::clamp<std::int64_t>(slotsToSkip - oldCount, 0, fillers);
  fillerSkip = std::max(fillerSkip, fillers - static_cast<std::int64_t>(HourReportCapacity));

  std::vector<Record> joined;
  joined.reserve(static_cast<std::size_t>(oldCount - skip + fillers - fillerSkip) + fresh.size());
  for (std::int64_t i = skip; i < oldCount; ++i) joined.push_back(oldRecord(i));
  double t = oldRecord(oldCount - 1).DateTime;
  if (fillerSkip > 0) t = F::FillerAfter(t, static_cast<double>(fillerSkip));
  for (std::int64_t i = fillerSkip; i < fillers; ++i) {
    t = F::FillerAfter(t, 1);
    joined.push_back(Record::Filler(t));
  }
  joined.insert(joined.end(), fresh.begin() + drop, fresh.end());
  if (joined.size() > HourReportCapacity)
    joined.erase(joined.begin(), joined.end() - static_cast<std::ptrdiff_t>(HourReportCapacity));
  fresh = std::move(joined);
  F::RebuildPeriods(image);
  return PreviousJoin::Joined;
}

template <class F>
PreviousJoinResult JoinPrevious(typename F::Image& image, std::span<const std::uint8_t> previous) {
  if (auto problem = ReportFileProblem<F>(previous)) return {PreviousJoin::Unusable, *problem};
  return {JoinHours<F>(image, previous), {}};
}

template <class F>
ReportWriteOutcome WriteReport(typename F::Image& image, const ReportWriteRequest& request,
                               ReportWriteSinks& sinks) {
  const ReportFileSet& names = request.Names;
  if (!CreateFolderChain(ToNativePath(request.Folder))) {
    ReportCreateFailure(names.NewFile, request, sinks);
    return ReportWriteOutcome::CreateFailed;
  }
  const bool viaTemporary = request.JoinFiles && FileExists(names.PreviousFile);
  const std::string& target = viaTemporary ? names.TemporaryFile : names.NewFile;
  if (!WriteWholeFile(target, names.NewFile, F::Serialize(image), request, sinks))
    return ReportWriteOutcome::CreateFailed;
  if (!request.CfgPath.empty()) WriteMeterCfg(request.CfgPath, request.Cfg);

  ReportWriteOutcome outcome = ReportWriteOutcome::Written;
  if (viaTemporary) {
    if (request.ReadMode == 2) return ReportWriteOutcome::LeftInTemporary;
    // A file longer than the largest report is read only that far: it is damaged anyway.
    std::string previous;
    const std::size_t largest =
        F::RecordsAt + F::RecordBytes * (HourReportCapacity + DayReportCapacity + MonthReportCapacity);
    std::error_code ec;
    const auto size = fs::file_size(ToNativePath(names.PreviousFile), ec);
    if (ec || (size <= largest && !ReadWholeFile(ToNativePath(names.PreviousFile), previous, largest)))
      RaiseIoError(ReadFileErrorText(), names.PreviousFile, ec ? ec.message() : "", sinks);
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(previous.data()),
                                              previous.size());
    const PreviousJoinResult join =
        size > largest ? PreviousJoinResult{PreviousJoin::Unusable, "файл длиннее любого отчета"}
                       : JoinPrevious<F>(image, bytes);
    if (join.Outcome == PreviousJoin::Unusable) {
      // Not joined onto: the new reading is kept on its own, the damaged file stays as it is.
      sinks.Monitor.Append(ReadFileErrorText() + " '" + names.PreviousFile + "': " + join.Problem + LineEnd);
      sinks.Ui.SetStatusText(ReadFileErrorText(), ColourRed);
      if (!WriteWholeFile(names.NewFile, names.NewFile, F::Serialize(image), request, sinks))
        return ReportWriteOutcome::CreateFailed;
      outcome = ReportWriteOutcome::PreviousUnusable;
    } else {
      if (join.Outcome == PreviousJoin::PreviousNewer) return ReportWriteOutcome::PreviousNewer;
      if (!WriteWholeFile(names.NewFile, names.NewFile, F::Serialize(image), request, sinks))
        return ReportWriteOutcome::CreateFailed;
      RemoveIfExists(names.TwoBackFile);
      RemoveIfExists(names.PreviousTemporaryFile);
      outcome = ReportWriteOutcome::Joined;
    }
  }
  SetReportFileTime(names.NewFile, request.ReadTime);
  return outcome;
}

}  // namespace

PreviousJoinResult JoinPreviousReport(TTsvReportImage& image, std::span<const std::uint8_t> previous) {
  return JoinPrevious<TsvFormat>(image, previous);
}

PreviousJoinResult JoinPreviousReport(TTsdReportImage& image, std::span<const std::uint8_t> previous) {
  return JoinPrevious<TsdFormat>(image, previous);
}

ReportWriteOutcome WriteReportFile(TTsvReportImage& image, const ReportWriteRequest& request,
                                   ReportWriteSinks& sinks) {
  return WriteReport<TsvFormat>(image, request, sinks);
}

ReportWriteOutcome WriteReportFile(TTsdReportImage& image, const ReportWriteRequest& request,
                                   ReportWriteSinks& sinks) {
  return WriteReport<TsdFormat>(image, request, sinks);
}

void SetReportFileTime(const std::string& pathText, TDateTime dateTime) {
  const DateTimeParts parts = DecodeDateTime(dateTime);
  if (parts.Year < 1980 || parts.Year > 2107) return;
  std::tm local{};
  local.tm_year = parts.Year - 1900;
  local.tm_mon = parts.Month - 1;
  local.tm_mday = parts.Day;
  local.tm_hour = parts.Hour;
  local.tm_min = parts.Minute;
  local.tm_sec = parts.Second & ~1;  // FAT stamps count seconds in pairs
  local.tm_isdst = -1;
  const std::time_t seconds = std::mktime(&local);
  if (seconds == static_cast<std::time_t>(-1)) return;
  const auto sysTime = std::chrono::system_clock::from_time_t(seconds);
  std::error_code ec;
  fs::last_write_time(ToNativePath(pathText), std::chrono::file_clock::from_sys(sysTime), ec);
}

}  // namespace velk
