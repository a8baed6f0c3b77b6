// Arbitrary bytes as the previous reading's report file of a join: the first
// byte chooses .tsv (even) or .tsd (odd) and how many hours after the file's
// last hour the new reading of three hours ends (-8..119, so that overlaps,
// seams and a newer previous file all come up); the rest is the file. The
// check refuses what is no whole report; what it accepts is joined. A joined
// image stays within the report capacities and, written out, is again a file
// the next join accepts.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "reports/ReportCapacity.h"
#include "reports/ReportFile.h"

namespace {

constexpr velk::TDateTime DefaultLastHour = 46091.5;  // 10.03.2026 12:00, when the file holds no usable time
constexpr std::size_t MaxFile = 1 << 20;

void Require(bool condition) {
  if (!condition) __builtin_trap();
}

template <class Image, class Record>
Image NewReading(velk::TDateTime lastHour) {
  Image image;
  for (int h = 2; h >= 0; --h) {
    Record record;
    record.DateTime = lastHour - h * velk::OneHour;
    image.HourData.push_back(record);
  }
  return image;
}

velk::TTsvReportImage NewTsv(velk::TDateTime lastHour) {
  auto image = NewReading<velk::TTsvReportImage, velk::TsvRecord>(lastHour);
  image.LastHourData.RealTime = lastHour;
  return image;
}

velk::TTsdReportImage NewTsd(velk::TDateTime lastHour) {
  auto image = NewReading<velk::TTsdReportImage, velk::TsdRecord>(lastHour);
  image.Header.ChannelNumber = 1;  // a reading's channel file is numbered 1..16
  image.LastHourData.DateTime = lastHour;
  return image;
}

template <class Image>
void JoinOnce(Image image, Image next, std::span<const std::uint8_t> previous,
              std::vector<std::uint8_t> (*serialize)(const Image&)) {
  const Image before = image;
  const velk::PreviousJoinResult join = velk::JoinPreviousReport(image, previous);
  if (join.Outcome != velk::PreviousJoin::Joined) {
    Require(image.HourData == before.HourData);
    Require(join.Outcome == velk::PreviousJoin::PreviousNewer || !join.Problem.empty());
    return;
  }
  Require(image.HourData.size() <= velk::HourReportCapacity);
  Require(image.DayData.size() <= velk::DayReportCapacity);
  Require(image.MontData.size() <= velk::MonthReportCapacity);
  const std::vector<std::uint8_t> written = serialize(image);
  Require(velk::JoinPreviousReport(next, written).Outcome == velk::PreviousJoin::Joined);
}

// The last hour of the previous file as the join reads it, or the default.
velk::TDateTime PreviousLastHour(std::span<const std::uint8_t> file, std::size_t at) {
  double time = DefaultLastHour;
  if (file.size() >= at + sizeof time) std::memcpy(&time, file.data() + at, sizeof time);
  return std::isfinite(time) && std::fabs(time) < 3e6 ? time : DefaultLastHour;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 || size > MaxFile) return 0;
  const std::span<const std::uint8_t> previous(data + 1, size - 1);
  const bool tsv = data[0] % 2 == 0;
  const double hoursAfter = static_cast<double>(data[0] / 2) - 8;
  const velk::TDateTime lastHour =
      PreviousLastHour(previous, tsv ? velk::tsv_layout::LastHourAt : velk::tsd_layout::LastHourAt) +
      hoursAfter * velk::OneHour;
  const velk::TDateTime nextHour = lastHour + 3 * velk::OneHour;
  if (tsv)
    JoinOnce(NewTsv(lastHour), NewTsv(nextHour), previous, &velk::SerializeTsvReport);
  else
    JoinOnce(NewTsd(lastHour), NewTsd(nextHour), previous, &velk::SerializeTsdReport);
  return 0;
}
