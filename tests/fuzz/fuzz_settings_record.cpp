// Arbitrary bytes as VelkReader.cfg: the 928-byte record read field by field
// (short strings in Windows-1251, flags, little-endian integers). What was read
// must store and read back unchanged, so that a setting does not drift each
// time the program closes; the storage part and the packet sizes are taken
// as the readers take them.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "app/SettingsRecord.h"

namespace {

void Require(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > velk::SettingsRecordSize) return 0;
  velk::SettingsBytes bytes{};
  std::copy_n(data, size, bytes.begin());
  const velk::TSettingsRecord record = velk::DecodeSettings(bytes);
  const velk::SettingsBytes stored = velk::EncodeSettings(record);
  Require(velk::DecodeSettings(stored) == record);
  const velk::StorageOptions storage = velk::StorageOptionsFrom(record);
  Require(storage.EdDataDir == record.EdDataDir);
  for (std::uint8_t divisor : {record.CBRS232QualityEx, record.CBRS485QualityEx, record.CBRSModQualityEx}) {
    const int packet = velk::MaxPacketBytes(divisor);
    Require(packet >= 16 && packet <= 256);
  }
  return 0;
}
