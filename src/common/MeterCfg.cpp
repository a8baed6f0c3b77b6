#include "common/MeterCfg.h"

#include <array>
#include <cstring>
#include <filesystem>

#include "common/FileReplace.h"
#include "common/Mathem.h"
#include "common/NativePath.h"
#include "common/NumberFormat.h"

namespace velk {
namespace {

template <class T>
void Store(std::array<std::uint8_t, MeterCfgSize>& bytes, std::size_t at, T value) {
  for (std::size_t i = 0; i < sizeof(T); ++i) {
    std::uint64_t raw = 0;
    std::memcpy(&raw, &value, sizeof(T));
    bytes[at + i] = static_cast<std::uint8_t>(raw >> (8 * i));
  }
}

template <class T>
T Load(const std::string& bytes, std::size_t at) {
  std::uint64_t raw = 0;
  for (std::size_t i = 0; i < sizeof(T); ++i)
    raw |= static_cast<std::uint64_t>(static_cast<std::uint8_t>(bytes[at + i])) << (8 * i);
  T value;
  std::memcpy(&value, &raw, sizeof(T));
  return value;
}

}  // namespace

TMeterCfg ReadMeterCfg(const std::string& path) {
  std::string bytes;
  if (!ReadWholeFile(ToNativePath(path), bytes, MeterCfgSize) || bytes.size() != MeterCfgSize) return {};
  return {Load<std::int32_t>(bytes, 0), Load<std::uint32_t>(bytes, 4), Load<std::uint32_t>(bytes, 8),
          Load<double>(bytes, 12)};
}

bool WriteMeterCfg(const std::string& path, const TMeterCfg& record) {
  std::array<std::uint8_t, MeterCfgSize> bytes{};
  Store(bytes, 0, record.Counter);
  Store(bytes, 4, record.Pointer);
  Store(bytes, 8, record.SecondPointer);
  Store(bytes, 12, record.ReadTime);
  const std::filesystem::path file = ToNativePath(path);
  if (file.has_parent_path() && !CreateFolderChain(file.parent_path())) return false;
  return ReplaceFileContents(file, bytes);
}

std::string MeterName(std::uint32_t code, std::uint32_t serialNumber, ImageView image) {
  const std::string prefix = std::to_string(code) + "-";
  if (code <= 49) return prefix + ZeroPad(serialNumber, 5);
  if (code == 50 || code == 51 || code == 60)
    return prefix + ZeroPad(ReadLeUInt(image, 513, 1), 2) + ZeroPad(ReadLeUInt(image, 514, 2), 6);
  if ((code >= 53 && code <= 56) || code == 70 || code == 71)
    return prefix + ZeroPad(ReadLeUInt(image, 514, 2), 5);
  return prefix + "TypeError";
}

std::string MeterName(std::uint32_t code, std::uint32_t serialNumber, const TDumpImage& image) {
  return MeterName(code, serialNumber, image.Whole());
}

std::uint32_t SavedPointerOfImage(std::uint32_t code, ImageView image) {
  return code >= 50 ? ReadLeUInt(image, 649, 3) : ReadLeUInt(image, 768, 2);
}

std::uint32_t SavedPointerOfImage(std::uint32_t code, const TDumpImage& image) {
  return SavedPointerOfImage(code, image.Whole());
}

std::uint32_t SavedPointer2OfImage(ImageView image) { return ReadLeUInt(image, 713, 3); }

std::uint32_t SavedPointer2OfImage(const TDumpImage& image) { return SavedPointer2OfImage(image.Whole()); }

std::int32_t StoredDumpNumber(std::int32_t number) { return number > 998 ? 0 : number; }

}  // namespace velk
