// The walk over the decoded hourly archive shared by the .tsv and .tsd
// builders: clock-setting and empty records are left out (the last of them
// before a written record passes on its reset mark), and hours missing
// between two written records get fillers stamped one hour apart.
#pragma once

#include <cstdint>
#include <vector>

#include "common/DateTime.h"
#include "common/Mathem.h"
#include "decode/DecodedValues.h"
#include "reports/ReportCapacity.h"

namespace velk {

// make(record, resetPending) gives the report record of a written archive record.
template <class Record, class Make>
void WalkHourArchive(const std::vector<HourRecord>& archive, std::vector<Record>& out, Make make) {
  out.clear();
  bool written = false;
  bool resetPending = false;
  double last = 0;
  for (const HourRecord& record : archive) {
    if (record.IsRtc || record.IsEmpty) {
      resetPending = record.IsReset != 0;
      continue;
    }
    const double t = record.Stamp;
    if (written) {
      // Fillers older than the table can hold would be dropped anyway.
      const std::int64_t missing = nint((t - last) * 24) - 1;
      if (missing > static_cast<std::int64_t>(HourReportCapacity)) {
        out.clear();
        last += static_cast<double>(missing - static_cast<std::int64_t>(HourReportCapacity)) * OneHour;
      }
      while (nint((t - last) * 24) >= 2) {
        last += OneHour;
        out.push_back(Record::Filler(last));
      }
    }
    out.push_back(make(record, resetPending));
    resetPending = false;
    last = t;
    written = true;
  }
  if (out.size() > HourReportCapacity)
    out.erase(out.begin(), out.end() - static_cast<std::ptrdiff_t>(HourReportCapacity));
}

}  // namespace velk
