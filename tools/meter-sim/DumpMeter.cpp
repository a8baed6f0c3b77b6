#include "meter-sim/DumpMeter.h"

#include <algorithm>

#include "imagebuilder/FamilyLayout.h"
#include "link/MeterFamily.h"

namespace velk {

std::optional<MeterMemory> MeterMemoryFromDump(std::span<const std::uint8_t> dump, std::string& error) {
  if (dump.size() < 768) {
    error = "the dump has " + std::to_string(dump.size()) +
            " bytes, fewer than the 768 of its head and constants";
    return std::nullopt;
  }
  if (dump[128] == 0) {
    error = "the dump has no type byte at offset 128";
    return std::nullopt;
  }
  if (GetLe(dump, 152, 4) != 0) {
    error = "the dump holds a changes reading (appended archive areas), not the whole memory";
    return std::nullopt;
  }
  MeterMemory m;
  m.RawDeviceCode = dump[128];
  m.FamilyCode = FamilyCodeFromRaw(m.RawDeviceCode);
  std::copy_n(dump.begin() + 160, m.IdentMemory.size(), m.IdentMemory.begin());
  std::copy_n(dump.begin() + 256, m.Ram.size(), m.Ram.begin());
  const std::size_t size = std::max<std::size_t>(EepromSizeOfFamily(m.FamilyCode), dump.size() - 512);
  m.Eeprom.assign(size, 0xFF);
  std::copy(dump.begin() + 512, dump.end(), m.Eeprom.begin());
  m.ShortSerial = static_cast<std::uint16_t>(m.FamilyCode < 50 ? GetLe(dump, 130, 2) : m.ReadEeprom(2, 2));
  ApplyFamilyLayout(m);
  return m;
}

}  // namespace velk
