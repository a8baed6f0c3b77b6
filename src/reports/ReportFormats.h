// What the writer and the join need to know of each report format: block
// offsets, record size, how fillers are stamped and how the previous file's
// blocks read back.
#pragma once

#include <cmath>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/DateTime.h"
#include "reports/ReportBytes.h"
#include "reports/ReportPeriods.h"
#include "reports/TsdImage.h"
#include "reports/TsvImage.h"

namespace velk {

struct TsvFormat {
  using Image = TTsvReportImage;
  using Record = TsvRecord;
  static constexpr const char* Extension = ".tsv";
  static constexpr std::uint16_t FileVersion = 2;
  static constexpr std::uint16_t HeaderSize = 1025;
  static constexpr std::size_t HeaderSizeAt = 2;
  static constexpr std::size_t RecordsAt = tsv_layout::RecordsAt;
  static constexpr std::size_t RecordBytes = tsv_layout::RecordBytes;
  static constexpr std::size_t LastReadAt = tsv_layout::LastReadAt;
  static constexpr std::size_t LastHourAt = tsv_layout::LastHourAt;
  static constexpr std::size_t HourCountAt = tsv_layout::HourRecordCountAt;
  static constexpr std::size_t DayCountAt = tsv_layout::DayRecordCountAt;
  static constexpr std::size_t MonthCountAt = tsv_layout::MonthRecordCountAt;

  static std::vector<std::uint8_t> Serialize(const Image& image) { return SerializeTsvReport(image); }
  static Record DecodeRecord(std::span<const std::uint8_t> bytes, std::size_t at) {
    return DecodeTsvRecord(report_bytes::Slice<RecordBytes>(bytes, at));
  }
  static void TakePreviousReading(Image& image, std::span<const std::uint8_t> bytes) {
    image.PrevReadData = DecodeTsvTotals(report_bytes::Slice<tsv_layout::TotalsBytes>(bytes, LastReadAt));
  }
  static double LastHourTime(std::span<const std::uint8_t> bytes) {
    return DecodeTsvTotals(report_bytes::Slice<tsv_layout::TotalsBytes>(bytes, LastHourAt)).RealTime;
  }
  static double LastHourTime(const Image& image) { return image.LastHourData.RealTime; }
  // Seam fillers of .tsv files are brought to a whole second.
  static double FillerAfter(double dateTime, double hours) {
    return std::nearbyint((dateTime + hours * OneHour) * SecondsPerDay) / SecondsPerDay;
  }
  static void RebuildPeriods(Image& image) { RebuildTsvPeriods(image); }
  static std::optional<std::string> HeaderProblem(std::span<const std::uint8_t>) { return std::nullopt; }
};

struct TsdFormat {
  using Image = TTsdReportImage;
  using Record = TsdRecord;
  static constexpr const char* Extension = ".tsd";
  static constexpr std::uint16_t FileVersion = 1;
  static constexpr std::uint16_t HeaderSize = 617;  // as written, although the records start at 485
  static constexpr std::size_t HeaderSizeAt = 2;
  static constexpr std::size_t ChannelNumberAt = 24;
  static constexpr std::size_t RecordsAt = tsd_layout::RecordsAt;
  static constexpr std::size_t RecordBytes = tsd_layout::RecordBytes;
  static constexpr std::size_t LastReadAt = tsd_layout::LastReadAt;
  static constexpr std::size_t LastHourAt = tsd_layout::LastHourAt;
  static constexpr std::size_t HourCountAt = tsd_layout::HourRecordCountAt;
  static constexpr std::size_t DayCountAt = tsd_layout::DayRecordCountAt;
  static constexpr std::size_t MonthCountAt = tsd_layout::MonthRecordCountAt;

  static std::vector<std::uint8_t> Serialize(const Image& image) { return SerializeTsdReport(image); }
  static Record DecodeRecord(std::span<const std::uint8_t> bytes, std::size_t at) {
    return DecodeTsdRecord(report_bytes::Slice<RecordBytes>(bytes, at));
  }
  static void TakePreviousReading(Image& image, std::span<const std::uint8_t> bytes) {
    image.PrevReadData = DecodeTsdTotals(report_bytes::Slice<tsd_layout::TotalsBytes>(bytes, LastReadAt));
  }
  static double LastHourTime(std::span<const std::uint8_t> bytes) {
    return DecodeTsdTotals(report_bytes::Slice<tsd_layout::TotalsBytes>(bytes, LastHourAt)).DateTime;
  }
  static double LastHourTime(const Image& image) { return image.LastHourData.DateTime; }
  // Seam fillers of .tsd files are the previous time plus whole hours, not rounded.
  static double FillerAfter(double dateTime, double hours) { return dateTime + hours * OneHour; }
  static void RebuildPeriods(Image& image) { RebuildTsdPeriods(image); }
  // A pulse counter has at most 16 channels, numbered from 1.
  static std::optional<std::string> HeaderProblem(std::span<const std::uint8_t> bytes) {
    const auto channel = report_bytes::LoadLe<std::uint16_t>(bytes.data() + ChannelNumberAt);
    if (channel >= 1 && channel <= MaxChannelNumber) return std::nullopt;
    return "недопустимый номер канала " + std::to_string(channel) + " (каналов не больше " +
           std::to_string(MaxChannelNumber) + ")";
  }
  static constexpr int MaxChannelNumber = 16;
};

}  // namespace velk
