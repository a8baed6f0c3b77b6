// The memory image of the current meter, byte for byte the raw dump file:
// 0..127 text header, 128..255 reading block (128 = type byte), 256..511 meter
// RAM 0x0200..0x02FF, 512.. non-volatile memory from address 0.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace velk {

constexpr std::int32_t DumpCapacity = 100001;

struct TDumpImage {
  std::array<std::uint8_t, DumpCapacity> DumpImage{};
  std::int32_t DumpLength = 0;

  void Clear() {
    DumpImage.fill(0);
    DumpLength = 0;
  }
  // The valid bytes; a length outside 0..DumpCapacity is taken as clamped to it.
  std::span<const std::uint8_t> Bytes() const {
    const std::int32_t length = DumpLength < 0 ? 0 : DumpLength > DumpCapacity ? DumpCapacity : DumpLength;
    return {DumpImage.data(), static_cast<std::size_t>(length)};
  }
  std::span<const std::uint8_t> Whole() const { return {DumpImage.data(), DumpImage.size()}; }
};

}  // namespace velk
