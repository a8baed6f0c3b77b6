// Arbitrary bytes as the first 128 bytes of a dump: the text header scan
// ("Vers", "SN", "ReadTime" and their numbers). A header built from values
// taken from the input must read back as those values.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "common/DumpTextHeader.h"

namespace {

void Require(bool condition) {
  if (!condition) __builtin_trap();
}

template <typename T>
T Take(const std::uint8_t* data, std::size_t size, std::size_t at) {
  T value{};
  if (at + sizeof(T) <= size) std::memcpy(&value, data + at, sizeof(T));
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 4 * velk::TextHeaderSize) return 0;
  const velk::TTextHeader parsed = velk::ParseTextHeader(velk::ImageView(data, size));
  if (parsed.ReadTime) Require(std::isfinite(*parsed.ReadTime));

  // Device code, serial number and read time (whole seconds within a few centuries of the epoch).
  const auto code = Take<std::uint16_t>(data, size, 0);
  const auto serial = Take<std::uint16_t>(data, size, 2);
  const auto seconds = static_cast<std::int64_t>(Take<std::uint32_t>(data, size, 4)) - 0x7FFFFFFF;
  const velk::TDateTime readTime = velk::ReadTimeEpoch + static_cast<double>(seconds) / velk::SecondsPerDay;
  const std::string text = velk::BuildTextHeader(code, serial, readTime);
  std::vector<std::uint8_t> image(velk::TextHeaderSize, 0);
  std::copy_n(text.begin(), std::min(text.size(), image.size()), image.begin());
  const velk::TTextHeader header = velk::ParseTextHeader(image);
  Require(header.Version == static_cast<std::int32_t>(code));
  Require(header.Serial == serial);
  Require(header.ReadTime && velk::ReadTimeSeconds(*header.ReadTime) == seconds);
  return 0;
}
