// Bounded reads from a meter image by image offset, RAM address or EEPROM
// address. A byte outside the dump (past DumpLength) reads as 0, so a decoder
// never reads past the buffer whatever the descriptors in the image claim, and
// never sees what an earlier dump left behind.
#pragma once

#include <cstdint>

#include "common/DumpImage.h"
#include "common/Mathem.h"

namespace velk {

// RAM 0x0200 lies at image offset 256, EEPROM address 0 at image offset 512.
constexpr std::int64_t RamToImage(std::int64_t ramAddress) { return ramAddress - 256; }
constexpr std::int64_t EeToImage(std::int64_t eeAddress) { return eeAddress + 512; }

class ImageReader {
 public:
  explicit ImageReader(const TDumpImage& image) : ImageReader(image.Whole().first(ClampLength(image.DumpLength))) {}
  explicit ImageReader(ImageView bytes) : image_(bytes), length_(static_cast<std::int32_t>(bytes.size())) {}

  std::uint8_t Byte(std::int64_t offset) const {
    return offset >= 0 && offset < static_cast<std::int64_t>(image_.size()) ? image_[static_cast<std::size_t>(offset)]
                                                                            : 0;
  }
  // Little-endian unsigned value of `count` bytes (up to 4).
  std::uint32_t UInt(std::int64_t offset, int count) const {
    std::uint32_t value = 0;
    for (int i = 0; i < count && i < 4; ++i) value |= static_cast<std::uint32_t>(Byte(offset + i)) << (8 * i);
    return value;
  }
  // Unsigned value of `count` bytes divided by 2^k.
  double Scaled(std::int64_t offset, int count, int k) const {
    if (offset < INT32_MIN || offset > INT32_MAX) return 0;
    return ReadLeScaled(image_, static_cast<std::int32_t>(offset), static_cast<std::uint16_t>(count), k);
  }
  std::uint8_t Ram(std::int64_t address) const { return Byte(RamToImage(address)); }
  std::uint32_t RamUInt(std::int64_t address, int count) const { return UInt(RamToImage(address), count); }
  std::uint8_t Ee(std::int64_t address) const { return Byte(EeToImage(address)); }
  std::uint32_t EeUInt(std::int64_t address, int count) const { return UInt(EeToImage(address), count); }

  std::int32_t DumpLength() const { return length_; }
  static std::size_t ClampLength(std::int32_t length) {
    return length <= 0 ? 0 : static_cast<std::size_t>(length < DumpCapacity ? length : DumpCapacity);
  }
  ImageView Bytes() const { return image_; }

 private:
  ImageView image_;
  std::int32_t length_;
};

// Two packed-BCD digits read as a decimal number (each nibble taken as a digit).
constexpr int BcdDigits(std::uint8_t byte) { return (byte >> 4) * 10 + (byte & 0x0F); }

// Six BCD bytes stored as seconds, minutes, hours, day, month, year (the meter clock layout).
inline TDateTime ClockBytesToDateTime(const ImageReader& image, std::int64_t offset) {
  return BcdToDateTime(image.Byte(offset + 5), image.Byte(offset + 4), image.Byte(offset + 3), image.Byte(offset + 2),
                       image.Byte(offset + 1), image.Byte(offset));
}

// The firmware version of image bytes 166 and 167: major + minor / 10.
inline double FirmwareVersionOf(const ImageReader& image) {
  return BcdDigits(image.Byte(166)) + BcdDigits(image.Byte(167)) / 10.0;
}

}  // namespace velk
