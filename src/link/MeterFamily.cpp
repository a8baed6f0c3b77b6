#include "link/MeterFamily.h"

#include <cmath>

#include "common/DeviceFamilies.h"
#include "common/Mathem.h"

namespace velk {

int FamilyCodeFromRaw(std::uint8_t rawCode) {
  // Below 50, and any unlisted code from 50 on, the raw code is the family code.
  return static_cast<int>(DeviceCodeOfTypeByte(rawCode).value_or(rawCode));
}

int ClockOffset(int familyCode) {
  const DeviceFamily* family =
      familyCode > 0 ? FindDeviceFamily(static_cast<std::uint32_t>(familyCode)) : nullptr;
  return family ? family->ClockOffset : 0;
}

std::uint16_t ClockBlockAddress(int familyCode) { return familyCode >= 50 ? 512 : 0; }

std::int32_t BytesExpectedAfterConstants(int familyCode, TDateTime now, TDateTime savedReadTime,
                                         std::int32_t currentExpected) {
  const bool small = familyCode < 50;
  const bool sixteen = familyCode == 50 || familyCode == 51 || familyCode == 70 || familyCode == 71;
  const bool twoSystem = familyCode >= 53 && familyCode <= 56;
  if (savedReadTime == 0) {
    if (small) return 16640;
    if (sixteen) return 33024;
    if (twoSystem) return 65792;
    return currentExpected;
  }
  const auto hours = static_cast<std::int32_t>(nint((now - savedReadTime) * 24.0));
  const auto days = static_cast<std::int32_t>(nint(now - savedReadTime));
  if (small) return 13 * hours + 804;
  if (sixteen) return 16 * hours + 512;
  if (twoSystem) return 32 * hours + 32 * days + 512;
  return currentExpected;
}

}  // namespace velk
