// An independent reader of the report file layouts for the tests: every field
// is read at the offset the layout tables give, not through the writer's code.
#pragma once

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "common/Text1251.h"

namespace velk::test {

class LayoutReader {
 public:
  explicit LayoutReader(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

  std::size_t Size() const { return bytes_.size(); }
  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

  std::uint8_t U8(std::size_t at) const { return bytes_.at(at); }
  std::uint16_t U16(std::size_t at) const { return static_cast<std::uint16_t>(Le(at, 2)); }
  std::int32_t I32(std::size_t at) const {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(Le(at, 4)));
  }
  float F32(std::size_t at) const {
    const auto raw = static_cast<std::uint32_t>(Le(at, 4));
    float value;
    std::memcpy(&value, &raw, 4);
    return value;
  }
  double F64(std::size_t at) const {
    const std::uint64_t raw = Le(at, 8);
    double value;
    std::memcpy(&value, &raw, 8);
    return value;
  }
  // The raw bytes of a text field.
  std::vector<std::uint8_t> Raw(std::size_t at, std::size_t width) const {
    CheckRange(at, width);
    return {bytes_.begin() + static_cast<std::ptrdiff_t>(at),
            bytes_.begin() + static_cast<std::ptrdiff_t>(at + width)};
  }
  // A text field as UTF-8 with its padding (`pad`) removed from the end.
  std::string Text(std::size_t at, std::size_t width, std::uint8_t pad) const {
    auto raw = Raw(at, width);
    while (!raw.empty() && raw.back() == pad) raw.pop_back();
    return Cp1251ToUtf8(raw);
  }
  bool AllBytes(std::size_t at, std::size_t width, std::uint8_t value) const {
    for (auto b : Raw(at, width))
      if (b != value) return false;
    return true;
  }

 private:
  void CheckRange(std::size_t at, std::size_t width) const {
    if (at + width > bytes_.size()) throw std::out_of_range("field beyond the end of the file");
  }
  std::uint64_t Le(std::size_t at, int count) const {
    CheckRange(at, static_cast<std::size_t>(count));
    std::uint64_t value = 0;
    for (int i = 0; i < count; ++i)
      value |= static_cast<std::uint64_t>(bytes_[at + static_cast<std::size_t>(i)]) << (8 * i);
    return value;
  }

  std::vector<std::uint8_t> bytes_;
};

// Field offsets from the layout tables.
namespace tsv {
constexpr std::size_t FileBytes = 1025, RecordBytes = 98;
constexpr std::size_t HourCount = 132, DayCount = 134, MonthCount = 136;
constexpr std::size_t Notations = 367, RealData = 751, LastRead = 809, PrevRead = 881, LastHour = 953;
}  // namespace tsv
namespace tsd {
constexpr std::size_t FileBytes = 485, RecordBytes = 22;
constexpr std::size_t HourCount = 139, DayCount = 141, MonthCount = 143;
constexpr std::size_t Notations = 369, LastRead = 401, PrevRead = 429, LastHour = 457;
}  // namespace tsd

struct TsvFileRecord {
  double DateTime, Q, G1, G2, G3, V1, V2, V3;
  float T1, T2, T3, P1, P2, P3;
  double WorkTime;
  std::uint16_t ErrorCode;
};

inline TsvFileRecord ReadTsvRecord(const LayoutReader& r, std::size_t at) {
  return {r.F64(at),      r.F64(at + 8),  r.F64(at + 16), r.F64(at + 24), r.F64(at + 32), r.F64(at + 40),
          r.F64(at + 48), r.F64(at + 56), r.F32(at + 64), r.F32(at + 68), r.F32(at + 72), r.F32(at + 76),
          r.F32(at + 80), r.F32(at + 84), r.F64(at + 88), r.U16(at + 96)};
}

// Record i of the hourly (table 0), daily (1) or monthly (2) records of a .tsv file.
inline TsvFileRecord TsvRecordAt(const LayoutReader& r, int table, std::size_t i) {
  std::size_t at = tsv::FileBytes;
  if (table > 0) at += tsv::RecordBytes * r.U16(tsv::HourCount);
  if (table > 1) at += tsv::RecordBytes * r.U16(tsv::DayCount);
  return ReadTsvRecord(r, at + tsv::RecordBytes * i);
}

struct TsdFileRecord {
  double DateTime;
  std::int32_t N;
  double V;
  std::uint16_t Code;
};

inline TsdFileRecord TsdRecordAt(const LayoutReader& r, int table, std::size_t i) {
  std::size_t at = tsd::FileBytes;
  if (table > 0) at += tsd::RecordBytes * r.U16(tsd::HourCount);
  if (table > 1) at += tsd::RecordBytes * r.U16(tsd::DayCount);
  at += tsd::RecordBytes * i;
  return {r.F64(at), r.I32(at + 8), r.F64(at + 12), r.U16(at + 20)};
}

}  // namespace velk::test
