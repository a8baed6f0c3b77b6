// The .tsd report image of one pulse channel and its byte layout: five fixed
// blocks (485 bytes) followed by 22-byte hourly, daily and monthly records,
// little-endian and packed.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "reports/ReportCapacity.h"

namespace velk {

namespace tsd_layout {
constexpr std::size_t HeaderBytes = 369;
constexpr std::size_t NotationsBytes = 32;
constexpr std::size_t TotalsBytes = 28;
constexpr std::size_t RecordBytes = 22;

constexpr std::size_t HeaderAt = 0;
constexpr std::size_t NotationsAt = HeaderAt + HeaderBytes;
constexpr std::size_t LastReadAt = NotationsAt + NotationsBytes;
constexpr std::size_t PrevReadAt = LastReadAt + TotalsBytes;
constexpr std::size_t LastHourAt = PrevReadAt + TotalsBytes;
constexpr std::size_t RecordsAt = LastHourAt + TotalsBytes;
static_assert(NotationsAt == 369 && LastReadAt == 401 && PrevReadAt == 429 && LastHourAt == 457 &&
              RecordsAt == 485);

constexpr std::size_t HourRecordCountAt = 139;
constexpr std::size_t DayRecordCountAt = 141;
constexpr std::size_t MonthRecordCountAt = 143;
}  // namespace tsd_layout

using TsdHeaderBlock = std::array<std::uint8_t, tsd_layout::HeaderBytes>;
using TsdNotationsBlock = std::array<std::uint8_t, tsd_layout::NotationsBytes>;
using TsdTotalsBlock = std::array<std::uint8_t, tsd_layout::TotalsBytes>;
using TsdRecordBlock = std::array<std::uint8_t, tsd_layout::RecordBytes>;

// Text fields hold Windows-1251 bytes padded with zeros.
struct TsdHeader {
  std::uint16_t FileVersion = 1;
  std::uint16_t HeaderSize = 617;  // as the viewer expects, although the records start at 485
  std::array<std::uint8_t, 20> SerialNumber{};
  std::uint16_t ChannelNumber = 0;  // channel index + 1
  float PulsePrice = 0;             // litres per pulse
  std::uint8_t RepDate = 0;         // first day of the reporting period
  std::array<std::uint8_t, 100> DeviceType{};
  double DateTimeIni = 0;
  // HourRecordCount, DayRecordCount and MonthRecordCount are the sizes of the record tables.
  std::array<std::uint8_t, 7> Rezerv1{};   // the channel's counter identifier
  std::array<std::uint8_t, 64> Rezerv2{};  // device kind text
  std::array<std::uint8_t, 64> Rezerv3{};
  std::array<std::uint8_t, 57> Rezerv4{};
  std::array<std::uint8_t, 32> Rezerv5{};
};

struct TsdNotations {
  std::array<std::uint8_t, 16> N{};
  std::array<std::uint8_t, 16> V{};
};

struct TsdTotals {
  double DateTime = 0;
  std::int32_t N = 0;  // volume in pulses
  double V = 0;        // m3
  double Vreport = 0;  // the channel's raw pulse counter ("Vотч")
};

struct TsdRecord {
  double DateTime = 0;
  std::int32_t N = 0;
  double V = 0;
  std::uint16_t Code = 0;

  static constexpr std::uint16_t FillerCode = 512;
  static TsdRecord Filler(double dateTime) { return {dateTime, 0, 0, FillerCode}; }
  bool operator==(const TsdRecord&) const = default;
};

struct TsdRecordCounts {
  std::uint16_t Hours = 0, Days = 0, Months = 0;
};

// One channel file in memory; rebuilt for every channel before it is written.
struct TTsdReportImage {
  TsdHeader Header;
  TsdNotations Notations;
  TsdTotals LastReadData, PrevReadData, LastHourData;
  std::vector<TsdRecord> HourData, DayData, MontData;

  TsdRecordCounts Counts() const;
};

TsdHeaderBlock EncodeTsdHeader(const TsdHeader& header, TsdRecordCounts counts);
TsdHeader DecodeTsdHeader(const TsdHeaderBlock& block, TsdRecordCounts* counts = nullptr);
TsdNotationsBlock EncodeTsdNotations(const TsdNotations& notations);
TsdNotations DecodeTsdNotations(const TsdNotationsBlock& block);
TsdTotalsBlock EncodeTsdTotals(const TsdTotals& totals);
TsdTotals DecodeTsdTotals(const TsdTotalsBlock& block);
TsdRecordBlock EncodeTsdRecord(const TsdRecord& record);
TsdRecord DecodeTsdRecord(const TsdRecordBlock& block);

// The whole file: 485 + 22 x (hours + days + months) bytes.
std::vector<std::uint8_t> SerializeTsdReport(const TTsdReportImage& image);
// The image of a whole file whose length matches its record counts (checked by the caller).
TTsdReportImage DeserializeTsdReport(std::span<const std::uint8_t> bytes);

}  // namespace velk
