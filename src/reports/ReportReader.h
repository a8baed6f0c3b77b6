// Reading a .tsv or .tsd report file back for viewing: the file is checked to
// be a whole report of its format before its image is taken; it is only read.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

#include "reports/TsdImage.h"
#include "reports/TsvImage.h"

namespace velk {

enum class ReportKind { Tsv, Tsd };

struct OpenedReport {
  std::filesystem::path Path;
  ReportKind Kind = ReportKind::Tsv;
  TTsvReportImage Tsv;  // when Kind is Tsv
  TTsdReportImage Tsd;  // when Kind is Tsd
};

// Either the report or the message naming the file and what is wrong with it.
struct ReportOpenResult {
  std::optional<OpenedReport> Report;
  std::string Error;
};

// ".tsv" or ".tsd" in any case; nothing for other names.
std::optional<ReportKind> ReportKindOf(const std::filesystem::path& file);

// The image of report bytes of that kind, or why they are not a report.
std::optional<std::string> ParseReport(ReportKind kind, std::span<const std::uint8_t> bytes,
                                       OpenedReport& out);

ReportOpenResult ReadReportFile(const std::filesystem::path& file);

}  // namespace velk
