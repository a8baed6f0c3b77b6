// The records of a report as CSV for a spreadsheet: one row per record, the
// columns headed as the report's record grids, "." as the decimal separator,
// UTF-8 with a byte-order mark, fields separated by "," and quoted where needed.
// A filler's values are left empty (its date and code stay), so that sums and
// averages of a column are not pulled down by hours without data.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "reports/ReportChart.h"

namespace velk {

// A .tsv file gives its 16 grid columns; the channels of .tsd files give the
// date of the first channel and "N" and "V,м3" of each channel (its number added).
std::string ReportCsv(const std::vector<OpenedReport>& reports, RecordTable table);

// Writes the CSV text to `target`; the message of a failure, empty on success.
// A target that is one of the reports is refused: a report is never overwritten.
std::string WriteCsvFile(const std::filesystem::path& target, const std::string& csv,
                         const std::vector<OpenedReport>& sources);

}  // namespace velk
