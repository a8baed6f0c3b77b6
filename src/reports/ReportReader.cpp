#include "reports/ReportReader.h"

#include <algorithm>

#include "common/FileReplace.h"
#include "reports/ReportChecks.h"

namespace velk {
namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

template <class F>
std::size_t LargestFile() {
  return F::RecordsAt + F::RecordBytes * (HourReportCapacity + DayReportCapacity + MonthReportCapacity);
}

}  // namespace

std::optional<ReportKind> ReportKindOf(const std::filesystem::path& file) {
  const std::string extension = Lower(file.extension().string());
  if (extension == ".tsv") return ReportKind::Tsv;
  if (extension == ".tsd") return ReportKind::Tsd;
  return std::nullopt;
}

std::optional<std::string> ParseReport(ReportKind kind, std::span<const std::uint8_t> bytes,
                                       OpenedReport& out) {
  out.Kind = kind;
  if (kind == ReportKind::Tsv) {
    if (auto problem = ReportFileProblem<TsvFormat>(bytes)) return problem;
    out.Tsv = DeserializeTsvReport(bytes);
  } else {
    if (auto problem = ReportFileProblem<TsdFormat>(bytes)) return problem;
    out.Tsd = DeserializeTsdReport(bytes);
  }
  return std::nullopt;
}

ReportOpenResult ReadReportFile(const std::filesystem::path& file) {
  const auto refuse = [&](const std::string& why) {
    return ReportOpenResult{std::nullopt, "Файл '" + file.string() + "' не открыт: " + why};
  };
  const std::optional<ReportKind> kind = ReportKindOf(file);
  if (!kind) return refuse("это не отчет .tsv или .tsd");
  const std::size_t largest = *kind == ReportKind::Tsv ? LargestFile<TsvFormat>() : LargestFile<TsdFormat>();
  std::error_code ec;
  const auto size = std::filesystem::file_size(file, ec);
  if (ec) return refuse(ec.message());
  if (size > largest) return refuse("файл длиннее любого отчета");
  std::string bytes;
  if (!ReadWholeFile(file, bytes, largest)) return refuse("файл не читается");
  OpenedReport report;
  report.Path = file;
  const std::span<const std::uint8_t> view(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  if (auto problem = ParseReport(*kind, view, report)) return refuse(*problem);
  return {std::move(report), {}};
}

}  // namespace velk
