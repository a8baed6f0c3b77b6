#include "imagebuilder/FamilyLayout.h"

#include <cmath>

#include "imagebuilder/Family5ImageBuilder.h"

namespace velk {

namespace {

bool IsFamily5(int f) { return f >= 53 && f <= 56; }

// A plausible hour of the family's meter; its values vary with the hour number n.
std::vector<std::uint8_t> SampleHour(int familyCode, int length, long long n) {
  const int k = static_cast<int>(((n % 1000) + 1000) % 1000);
  std::vector<std::uint8_t> r(length, 0);
  const auto put = [&r](int at, int value, int width) {
    PutLe(r, at, static_cast<std::uint32_t>(value), width);
  };
  if (familyCode < 50) {
    put(0, 300 + k, 2);  // heat
    r[2] = 70;           // T1
    put(3, 900 + k, 2);  // V1
    r[5] = 50;           // T2
    put(6, 880 + k, 2);  // V2
    r[8] = 10;           // T3
    put(9, 20, 2);       // V3 - V4
    r[11] = 96;          // P1 x 16
    r[12] = 64;          // P2 x 16
  } else if (familyCode == 50 || familyCode == 51) {
    put(0, 400 + k, 2);                  // heat
    put(2, std::lround(71.0 * 256), 2);  // T1
    put(4, std::lround(51.0 * 256), 2);  // T2
    put(6, 1000 + k, 2);                 // V1..V3
    put(8, 990 + k, 2);
    put(10, 10, 2);
    put(12, static_cast<int>(n % 100000), 3);  // work time
    r[15] = 0;                                 // K1: no error (0xFF would mark a clock record)
  } else if (familyCode == 60) {
    put(0, 500 + k, 2);                  // volume
    put(2, std::lround(16.0 * 256), 2);  // temperature
    r[7] = 0;                            // 0x8F would mark a clock record
  } else {
    for (int c = 0; c + 1 < length - 2; c += 2) put(c, 10 + k + c, 2);  // channel volumes
    r[length - 1] = 0;                                                  // 0x8F would mark a clock record
  }
  return r;
}

RecordMaker HourMaker(int familyCode, int length) {
  if (IsFamily5(familyCode)) {
    return [](TDateTime end) {
      const auto b = Family5Record::Sample(static_cast<int>(std::llround(end * 24.0))).EncodeHour();
      return std::vector<std::uint8_t>(b.begin(), b.end());
    };
  }
  return [familyCode, length](TDateTime end) {
    return SampleHour(familyCode, length, std::llround(end * 24.0));
  };
}

}  // namespace

std::uint8_t RawCodeOfFamily(int familyCode) {
  switch (familyCode) {
    case 50:
      return 72;
    case 51:
      return 81;
    case 60:
      return 96;
    case 70:
      return 112;
    case 71:
      return 113;
    default:
      return static_cast<std::uint8_t>(IsFamily5(familyCode) ? familyCode + 30 : familyCode);
  }
}

std::uint32_t EepromSizeOfFamily(int familyCode) {
  if (familyCode < 50) return 16384;
  return IsFamily5(familyCode) ? 0x10000 : 0x8000;
}

int HourRecordLength(int familyCode) {
  if (familyCode < 50) return 13;
  if (familyCode == 50 || familyCode == 51) return 16;
  if (familyCode == 60) return 8;
  if (familyCode == 70) return 10;
  if (familyCode == 71) return 34;
  return 32;
}

void ApplyFamilyLayout(MeterMemory& memory) {
  const int f = memory.FamilyCode;
  RingLayout hour;
  if (f < 50) {
    memory.RamBlockAddress = 0;
    memory.ClockOffset = 84;
    memory.BinaryTimeOnly = true;
    hour.FixedFirst = 548;
    hour.FixedLast = 16381;
    hour.PointerField = 256;
    hour.PointerWidth = 2;
    hour.PointerIsNext = true;
  } else {
    memory.RamBlockAddress = 0x0200;
    memory.ClockOffset = IsFamily5(f) ? 0x12 : 0x10;
    memory.BinaryTimeOnly = false;
    hour.FirstField = 128;
    hour.LastField = 131;
    hour.PointerField = 137;
  }
  hour.RecordLength = f == 70 || f == 71 ? memory.ReadEeprom(143, 1) : HourRecordLength(f);
  if (hour.RecordLength <= 0) hour.RecordLength = HourRecordLength(f);
  memory.HourRing = hour;
  memory.NewHourRecord = HourMaker(f, hour.RecordLength);
  memory.DayRing.reset();
  memory.NewDayRecord = nullptr;
  if (IsFamily5(f)) {
    RingLayout day = hour;
    day.FirstField = 192;
    day.LastField = 195;
    day.PointerField = 201;
    memory.DayRing = day;
    memory.NewDayRecord = [](TDateTime end) {
      const auto b = Family5Record::Sample(static_cast<int>(std::llround(end))).EncodeDay();
      return std::vector<std::uint8_t>(b.begin(), b.end());
    };
  }
}

}  // namespace velk
