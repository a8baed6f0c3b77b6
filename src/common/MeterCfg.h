// The per-meter record "<meter name>.cfg" kept in the meter folder: the number
// of the meter's last dump, the two archive pointers at that reading and the
// reading's date-time (20 bytes, little-endian). The dump writer and the
// report writer both rewrite it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/DateTime.h"
#include "common/DumpImage.h"
#include "common/Mathem.h"

namespace velk {

constexpr std::size_t MeterCfgSize = 20;

struct TMeterCfg {
  std::int32_t Counter = 0;         // number of the last dump (1..998, 0; the report writer also -1)
  std::uint32_t Pointer = 0;        // archive pointer when written
  std::uint32_t SecondPointer = 0;  // second archive pointer
  TDateTime ReadTime = 0;           // date-time of the reading

  bool operator==(const TMeterCfg&) const = default;
};

// `path` is path text as the settings hold it. All zero when the file is
// missing, unreadable or not exactly 20 bytes.
TMeterCfg ReadMeterCfg(const std::string& path);
// Replaces the file, creating its folder chain first; false on failure.
bool WriteMeterCfg(const std::string& path, const TMeterCfg& record);

// The meter's name as its files use it: code "-" then, by code, the serial
// number (5 digits), the size byte [513] (2 digits) and the 16-bit value at
// [514] (6 digits), the value at [514] (5 digits), or "TypeError".
std::string MeterName(std::uint32_t deviceCode, std::uint32_t serialNumber, const TDumpImage& image);
std::string MeterName(std::uint32_t deviceCode, std::uint32_t serialNumber, ImageView image);

// The two archive pointers of a reading as the image holds them: the 24-bit
// value at [649] (16-bit at [768] below code 50) and the 24-bit value at [713].
std::uint32_t SavedPointerOfImage(std::uint32_t deviceCode, const TDumpImage& image);
std::uint32_t SavedPointer2OfImage(const TDumpImage& image);
std::uint32_t SavedPointerOfImage(std::uint32_t deviceCode, ImageView image);
std::uint32_t SavedPointer2OfImage(ImageView image);

// The dump counter as stored: numbers above 998 become 0.
std::int32_t StoredDumpNumber(std::int32_t number);

}  // namespace velk
