// The .tsv report image of one heating system and its byte layout: six fixed
// blocks (1025 bytes) followed by 98-byte hourly, daily and monthly records,
// little-endian and packed.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "reports/ReportCapacity.h"

namespace velk {

namespace tsv_layout {
constexpr std::size_t HeaderBytes = 367;
constexpr std::size_t NotationsBytes = 384;
constexpr std::size_t RealDataBytes = 58;
constexpr std::size_t TotalsBytes = 72;
constexpr std::size_t RecordBytes = 98;
constexpr std::size_t NotationBytes = 16;
constexpr std::size_t NotationCount = 24;

constexpr std::size_t HeaderAt = 0;
constexpr std::size_t NotationsAt = HeaderAt + HeaderBytes;
constexpr std::size_t RealDataAt = NotationsAt + NotationsBytes;
constexpr std::size_t LastReadAt = RealDataAt + RealDataBytes;
constexpr std::size_t PrevReadAt = LastReadAt + TotalsBytes;
constexpr std::size_t LastHourAt = PrevReadAt + TotalsBytes;
constexpr std::size_t RecordsAt = LastHourAt + TotalsBytes;
static_assert(NotationsAt == 367 && RealDataAt == 751 && LastReadAt == 809 && PrevReadAt == 881 &&
              LastHourAt == 953 && RecordsAt == 1025);
static_assert(NotationBytes * NotationCount == NotationsBytes);

// Header fields used when a previous file is read back.
constexpr std::size_t HourRecordCountAt = 132;
constexpr std::size_t DayRecordCountAt = 134;
constexpr std::size_t MonthRecordCountAt = 136;
}  // namespace tsv_layout

using TsvHeaderBlock = std::array<std::uint8_t, tsv_layout::HeaderBytes>;
using TsvNotationsBlock = std::array<std::uint8_t, tsv_layout::NotationsBytes>;
using TsvRealDataBlock = std::array<std::uint8_t, tsv_layout::RealDataBytes>;
using TsvTotalsBlock = std::array<std::uint8_t, tsv_layout::TotalsBytes>;
using TsvRecordBlock = std::array<std::uint8_t, tsv_layout::RecordBytes>;

// Text fields hold Windows-1251 bytes, already padded as each field wants.
struct TsvHeader {
  std::uint16_t FileVersion = 2;
  std::uint16_t HeaderSize = 1025;
  std::array<std::uint8_t, 20> SerualNumber{};  // padded with spaces
  std::array<std::uint8_t, 100> DeviceType{};   // padded with spaces
  double InitDateTime = 0;
  // HourRecordCount, DayRecordCount and MonthRecordCount are the sizes of the record tables.
  float Txw = 0;
  std::uint8_t SchemeCode = 0;
  std::array<std::uint8_t, 64> Rezerv1{};  // meter kind, padded with spaces
  std::array<std::uint8_t, 64> Rezerv2{};
  std::array<std::uint8_t, 32> Rezerv3{}, Rezerv4{}, Rezerv5{};
};

enum class Notation : std::size_t {
  NotQ,
  NotQr,
  NotG1,
  NotG2,
  NotG3,
  NotGr1,
  NotGr2,
  NotGr3,
  NotV1,
  NotV2,
  NotV3,
  NotVr1,
  NotVr2,
  NotVr3,
  NotT1,
  NotT2,
  NotT3,
  NotT1T2,
  Tcw,
  NotP1,
  NotP2,
  NotP3,
  NotWorkTime,
  NotErrorCode
};

// 24 labels of 16 bytes, padded with zeros; all zeros = not measured.
struct TsvNotations {
  std::array<std::array<std::uint8_t, tsv_layout::NotationBytes>, tsv_layout::NotationCount> Text{};
  void Set(Notation which, const std::string& utf8);
  void Clear(Notation which) { Text[static_cast<std::size_t>(which)].fill(0); }
  void ClearAll();
  std::string Get(Notation which) const;  // UTF-8, up to the first zero byte
};

struct TsvRealData {
  float Qr = 0, Gr1 = 0, Gr2 = 0, Gr3 = 0, Vr1 = 0, Vr2 = 0, Vr3 = 0;
  float Tr1 = 0, Tr2 = 0, Tr3 = 0, T1T2r = 0, Pr1 = 0, Pr2 = 0, Pr3 = 0;
  std::uint16_t K = 0;
};

struct TsvTotals {
  double RealTime = 0, Q = 0, G1 = 0, G2 = 0, G3 = 0, V1 = 0, V2 = 0, V3 = 0, WorkTime = 0;
};

struct TsvRecord {
  double DateTime = 0, Q = 0, G1 = 0, G2 = 0, G3 = 0, V1 = 0, V2 = 0, V3 = 0;
  float T1 = 0, T2 = 0, T3 = 0, P1 = 0, P2 = 0, P3 = 0;
  double WorkTime = 0;
  std::uint16_t ErrorCode = 0;

  static constexpr std::uint16_t FillerCode = 512;
  // A filler for an hour without data: everything zero but its time and code 512.
  static TsvRecord Filler(double dateTime) {
    TsvRecord r;
    r.DateTime = dateTime;
    r.ErrorCode = FillerCode;
    return r;
  }
  bool operator==(const TsvRecord&) const = default;
};

struct TsvRecordCounts {
  std::uint16_t Hours = 0, Days = 0, Months = 0;
};

// One report file in memory. The owner keeps one per decode and refills it for each system.
struct TTsvReportImage {
  TsvHeader Header;
  TsvNotations Notations;
  TsvRealData RealData;
  TsvTotals LastReadData, PrevReadData, LastHourData;
  std::vector<TsvRecord> HourData, DayData, MontData;

  TsvRecordCounts Counts() const;
};

TsvHeaderBlock EncodeTsvHeader(const TsvHeader& header, TsvRecordCounts counts);
TsvHeader DecodeTsvHeader(const TsvHeaderBlock& block, TsvRecordCounts* counts = nullptr);
TsvNotationsBlock EncodeTsvNotations(const TsvNotations& notations);
TsvNotations DecodeTsvNotations(const TsvNotationsBlock& block);
TsvRealDataBlock EncodeTsvRealData(const TsvRealData& data);
TsvRealData DecodeTsvRealData(const TsvRealDataBlock& block);
TsvTotalsBlock EncodeTsvTotals(const TsvTotals& totals);
TsvTotals DecodeTsvTotals(const TsvTotalsBlock& block);
TsvRecordBlock EncodeTsvRecord(const TsvRecord& record);
TsvRecord DecodeTsvRecord(const TsvRecordBlock& block);

// The whole file: 1025 + 98 x (hours + days + months) bytes.
std::vector<std::uint8_t> SerializeTsvReport(const TTsvReportImage& image);
// The image of a whole file whose length matches its record counts (checked by the caller).
TTsvReportImage DeserializeTsvReport(std::span<const std::uint8_t> bytes);

}  // namespace velk
