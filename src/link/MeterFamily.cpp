#include "link/MeterFamily.h"

#include <cmath>

#include "common/Mathem.h"

namespace velk {

int FamilyCodeFromRaw(std::uint8_t rawCode) {
  switch (rawCode) {
    case 72:
    case 80:
    case 107:
    case 132:
    case 142:
    case 165:
    case 199:
    case 210:
      return 50;
    case 81:
      return 51;
    case 83:
      return 53;
    case 84:
      return 54;
    case 85:
      return 55;
    case 86:
      return 56;
    case 96:
      return 60;
    case 112:
      return 70;
    case 113:
      return 71;
    default:
      return rawCode;  // below 50, and unknown codes from 50 on, stay as they are
  }
}

int ClockOffset(int familyCode) { return familyCode >= 53 && familyCode <= 56 ? 2 : 0; }

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
