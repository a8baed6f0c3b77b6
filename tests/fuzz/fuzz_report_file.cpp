// Arbitrary bytes as a report file opened for viewing: the first byte chooses
// .tsv (even) or .tsd (odd), the rest is the file. What the checks accept is a
// whole report: its image, written out again, gives the same bytes; what they
// refuse comes with a reason.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "reports/ReportReader.h"

namespace {

void Require(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 || size > (1 << 21)) return 0;
  const std::span<const std::uint8_t> file(data + 1, size - 1);
  const velk::ReportKind kind = data[0] % 2 == 0 ? velk::ReportKind::Tsv : velk::ReportKind::Tsd;
  velk::OpenedReport report;
  if (const auto problem = velk::ParseReport(kind, file, report)) {
    Require(!problem->empty());
    return 0;
  }
  const std::vector<std::uint8_t> again = kind == velk::ReportKind::Tsv ? velk::SerializeTsvReport(report.Tsv)
                                                                       : velk::SerializeTsdReport(report.Tsd);
  Require(std::vector<std::uint8_t>(file.begin(), file.end()) == again);
  return 0;
}
