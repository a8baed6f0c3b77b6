// Record capacities shared by the .tsv and .tsd report images.
#pragma once

#include <cstddef>

namespace velk {

// Two years of hours plus one: the hourly table of a report never holds more.
constexpr std::size_t HourReportCapacity = 17521;
constexpr std::size_t DayReportCapacity = 731;
constexpr std::size_t MonthReportCapacity = 25;
// A joined archive keeps at most this many hours between its first record and
// the newest last-hour totals.
constexpr double JoinedHoursLimit = 17520;

}  // namespace velk
