// Builds the memory of a two-system heat meter (family codes 53..56, raw device
// codes 83..86) field by field, and the dump a reading of it leaves behind.
//
//   Family5ImageBuilder b(53);
//   b.SetSerial(12345).SetClock(clock).SetInitTime(init).AddHourRecords(records);
//   MeterMemory memory = b.BuildMemory();        // what the meter holds (serve it with meter-sim)
//   b.BuildFullDump(readTime, image);            // what a full reading stores
//
// Meter memory of the family (addresses as the meter has them):
//   RAM 0x0212..0x0217   clock, BCD second, minute, hour, day, month, year (two digits)
//   RAM 0x023F           supply voltage, (U - 2) x 64
//   RAM 0x0240, 0x0241   error codes of systems 1 and 2
//   RAM 0x0296, 0x0297   minutes of normal operation in the current hour
//   0xC000 + 6, + 7      firmware version, BCD major and minor
//   EEPROM 0             type byte (raw device code)
//   EEPROM 1             measuring schemes: low nibble system 1, high nibble system 2
//   EEPROM 2..3          serial number
//   EEPROM 4..5          start address of RAM (0x0200)
//   EEPROM 6..8          EEPROM size (65536)
//   EEPROM 10..15        initialisation time, BCD year, month, day, hour, minute, second
//   EEPROM 16..20        configuration bytes of flow channels V1..V5
//   EEPROM 21            cold-water temperature, whole degrees
//   EEPROM 22            display time, minutes
//   EEPROM 128/131/134/137  hour ring: first record, last byte, newest record at the previous
//                        reading, newest record (3 bytes each)
//   EEPROM 140, 144      total minutes of normal operation, systems 1 and 2 (3 bytes)
//   EEPROM 143           record length (32)
//   EEPROM 148, 152      heat totals of systems 1 and 2 (4 bytes)
//   EEPROM 156..168      mass totals of channels 1..4; 172..188 volume totals of channels 1..5
//   EEPROM 192/195/198/201  day ring descriptor, like the hour ring's
//   EEPROM 207           day record length (32)
// The hour ring lies at 0x0100..0xBFFF (1528 records), the day ring at 0xC000..0xFFFF (512
// records) unless set otherwise; unwritten slots hold 0xFF (blank records).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "imagebuilder/MeterMemory.h"

namespace velk {

// One 32-byte archive record of the family, in meter terms.
struct Family5Record {
  enum class Kind { Normal, Clock, Blank };
  Kind Type = Kind::Normal;

  // Normal record.
  std::uint16_t Heat1 = 0, Heat2 = 0;      // bytes 0..1, 2..3: heat of systems 1 and 2, raw counts
  std::array<std::uint16_t, 4> Temp{};     // bytes 4..11: T1..T4 as (degrees + 1) x 256; 0xFFFF: no sensor
  std::array<std::uint16_t, 4> Mass{};     // bytes 12..19: masses of channels 1..4, raw counts
  std::uint16_t Volume5 = 0;               // bytes 20..21: volume of channel 5, raw counts
  std::array<std::uint8_t, 4> Pressure{};  // bytes 22..25: P1..P4 in tenths of kgf/cm2
  std::uint8_t K1 = 0, K2 = 0;             // bytes 26, 27: error-situation codes
  std::uint16_t WorkMin1 = 60, WorkMin2 = 60;  // hour record: bytes 28 and 30; day record: 16 bits at 28, 30
  std::uint8_t SupplyVoltage = 0x60;           // hour record byte 29: (U - 2) x 64

  // Clock record: bytes 0..5 BCD second (bit 7 = reset mark), minute, hour, day, month,
  // year - 2000; bytes 6..25 0x5A, 26..27 0xFF, 29 the supply voltage.
  TDateTime Stamp = 0;
  bool ResetMark = false;

  static std::uint16_t Temperature(double degrees);  // (degrees + 1) x 256
  static std::uint8_t Voltage(double volts);         // (volts - 2) x 64
  static Family5Record Clock(TDateTime stamp, bool resetMark = false);
  static Family5Record Blank();
  // A plausible hour of operation whose values vary with n (no clock or blank pattern).
  static Family5Record Sample(int n);

  std::array<std::uint8_t, 32> EncodeHour() const;
  std::array<std::uint8_t, 32> EncodeDay() const;
};

class Family5ImageBuilder {
 public:
  static constexpr std::uint32_t DefaultHourFirst = 0x0100;
  static constexpr int DefaultHourSlots = 1528;
  static constexpr std::uint32_t DefaultDayFirst = 0xC000;
  static constexpr int DefaultDaySlots = 512;
  static constexpr std::uint32_t EepromSize = 0x10000;

  // familyCode 53..56; the raw device code is familyCode + 30.
  explicit Family5ImageBuilder(int familyCode = 53);

  Family5ImageBuilder& SetSerial(std::uint16_t serial);    // EEPROM 2..3 and the identification answer
  Family5ImageBuilder& SetClock(TDateTime meterClock);     // RAM clock
  Family5ImageBuilder& SetInitTime(TDateTime initTime);    // EEPROM 10..15
  Family5ImageBuilder& SetFirmware(int major, int minor);  // 0xC000 bytes 6, 7
  Family5ImageBuilder& SetSchemes(std::uint8_t system1, std::uint8_t system2);  // EEPROM 1 nibbles
  Family5ImageBuilder& SetChannelConfig(int channel, std::uint8_t config);      // channel 1..5
  Family5ImageBuilder& SetColdWaterTemp(std::uint8_t degrees);
  Family5ImageBuilder& SetWorkMinuteTotals(std::uint32_t system1, std::uint32_t system2);
  Family5ImageBuilder& SetHeatTotals(std::uint32_t system1, std::uint32_t system2);
  Family5ImageBuilder& SetMassTotal(int channel, std::uint32_t raw);    // channel 1..4
  Family5ImageBuilder& SetVolumeTotal(int channel, std::uint32_t raw);  // channel 1..5

  // Ring geometry: first record address and number of 32-byte slots.
  Family5ImageBuilder& SetHourRing(std::uint32_t first, int slots);
  Family5ImageBuilder& SetDayRing(std::uint32_t first, int slots);
  // Records in order, oldest first. They are laid out so that the newest lies in the slot given
  // by SetHour/DayNewestSlot (default: the slot after the oldest ones, i.e. count - 1), older ones
  // before it, wrapping round the ring end.
  Family5ImageBuilder& AddHourRecord(const Family5Record& record);
  Family5ImageBuilder& AddHourRecords(const std::vector<Family5Record>& records);
  Family5ImageBuilder& AddDayRecord(const Family5Record& record);
  Family5ImageBuilder& AddDayRecords(const std::vector<Family5Record>& records);
  // `count` sample hour records.
  Family5ImageBuilder& FillHourRecords(int count);
  Family5ImageBuilder& SetHourNewestSlot(int slot);
  Family5ImageBuilder& SetDayNewestSlot(int slot);
  // EEPROM 134 and 198: the newest-record addresses the meter noted at the previous reading.
  Family5ImageBuilder& SetPreviousPointers(std::uint32_t hour, std::uint32_t day);

  // Raw access for fields not named above.
  Family5ImageBuilder& SetRamByte(std::uint16_t ramAddress, std::uint8_t value);  // 0x0200..0x02FF
  Family5ImageBuilder& SetEepromBytes(std::uint32_t address, const std::vector<std::uint8_t>& bytes);

  // Address of the newest hour record (the pointer at EEPROM 137) once built.
  std::uint32_t HourPointer() const;
  std::uint32_t DayPointer() const;
  std::uint32_t HourSlotAddress(int slot) const { return hourFirst_ + 32u * slot; }

  MeterMemory BuildMemory() const;
  // What a full reading started at readTime stores (DumpLength 66048).
  void BuildFullDump(TDateTime readTime, TDumpImage& into) const;

 private:
  int NewestSlot(const std::optional<int>& chosen, std::size_t count, int slots) const;

  int familyCode_;
  std::uint16_t serial_ = 1;
  TDateTime clock_ = 0;
  MeterMemory base_;
  std::uint32_t hourFirst_ = DefaultHourFirst;
  int hourSlots_ = DefaultHourSlots;
  std::uint32_t dayFirst_ = DefaultDayFirst;
  int daySlots_ = DefaultDaySlots;
  std::vector<Family5Record> hours_, days_;
  std::optional<int> hourNewest_, dayNewest_;
  std::optional<std::uint32_t> previousHour_, previousDay_;
};

}  // namespace velk
