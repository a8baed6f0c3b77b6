#include "imagebuilder/Family5ImageBuilder.h"

#include <algorithm>
#include <cmath>

#include "imagebuilder/FamilyLayout.h"

namespace velk {

namespace {

constexpr std::uint32_t HourFirstField = 128, HourLastField = 131, HourPreviousField = 134,
                        HourPointerField = 137;
constexpr std::uint32_t DayFirstField = 192, DayLastField = 195, DayPreviousField = 198,
                        DayPointerField = 201;

void PutCommon(std::array<std::uint8_t, 32>& b, const Family5Record& r) {
  PutLe(b, 0, r.Heat1, 2);
  PutLe(b, 2, r.Heat2, 2);
  for (int i = 0; i < 4; ++i) PutLe(b, 4 + 2 * i, r.Temp[i], 2);
  for (int i = 0; i < 4; ++i) PutLe(b, 12 + 2 * i, r.Mass[i], 2);
  PutLe(b, 20, r.Volume5, 2);
  for (int i = 0; i < 4; ++i) b[22 + i] = r.Pressure[i];
  b[26] = r.K1;
  b[27] = r.K2;
}

std::array<std::uint8_t, 32> EncodeSpecial(const Family5Record& r) {
  std::array<std::uint8_t, 32> b;
  b.fill(0xFF);
  if (r.Type == Family5Record::Kind::Clock) {
    PutBcdClock(b, 0, r.Stamp);
    if (r.ResetMark) b[0] |= 0x80;
    std::fill(b.begin() + 6, b.begin() + 26, 0x5A);
    b[29] = r.SupplyVoltage;
  }
  return b;
}

}  // namespace

std::uint16_t Family5Record::Temperature(double degrees) {
  return static_cast<std::uint16_t>(std::lround((degrees + 1.0) * 256.0));
}

std::uint8_t Family5Record::Voltage(double volts) {
  return static_cast<std::uint8_t>(std::lround((volts - 2.0) * 64.0));
}

Family5Record Family5Record::Clock(TDateTime stamp, bool resetMark) {
  Family5Record r;
  r.Type = Kind::Clock;
  r.Stamp = stamp;
  r.ResetMark = resetMark;
  return r;
}

Family5Record Family5Record::Blank() {
  Family5Record r;
  r.Type = Kind::Blank;
  return r;
}

Family5Record Family5Record::Sample(int n) {
  const int k = ((n % 1000) + 1000) % 1000;
  Family5Record r;
  r.Heat1 = static_cast<std::uint16_t>(400 + k % 97);
  r.Heat2 = static_cast<std::uint16_t>(200 + k % 53);
  r.Temp = {Temperature(70.0 + k % 10), Temperature(50.0 + k % 7), Temperature(65.0),
            Temperature(45.0 + k % 5)};
  r.Mass = {static_cast<std::uint16_t>(3000 + k), static_cast<std::uint16_t>(2900 + k), 1500, 1400};
  r.Volume5 = static_cast<std::uint16_t>(100 + k % 11);
  r.Pressure = {60, 40, 55, 35};
  r.SupplyVoltage = Voltage(3.5);
  return r;
}

std::array<std::uint8_t, 32> Family5Record::EncodeHour() const {
  if (Type != Kind::Normal) return EncodeSpecial(*this);
  std::array<std::uint8_t, 32> b{};
  PutCommon(b, *this);
  b[28] = static_cast<std::uint8_t>(WorkMin1);
  b[29] = SupplyVoltage;
  b[30] = static_cast<std::uint8_t>(WorkMin2);
  b[31] = 0xFF;
  return b;
}

std::array<std::uint8_t, 32> Family5Record::EncodeDay() const {
  if (Type != Kind::Normal) return EncodeSpecial(*this);
  std::array<std::uint8_t, 32> b{};
  PutCommon(b, *this);
  PutLe(b, 28, WorkMin1, 2);
  PutLe(b, 30, WorkMin2, 2);
  return b;
}

Family5ImageBuilder::Family5ImageBuilder(int familyCode) : familyCode_(familyCode) {
  base_.FamilyCode = familyCode;
  base_.RawDeviceCode = static_cast<std::uint8_t>(familyCode + 30);
  base_.RamBlockAddress = 0x0200;
  base_.ClockOffset = 0x12;
  base_.Eeprom.assign(EepromSize, 0xFF);
  // Constants area: zero except what the meter fills.
  std::fill(base_.Eeprom.begin(), base_.Eeprom.begin() + 256, 0);
  base_.WriteEeprom(0, base_.RawDeviceCode, 1);
  base_.WriteEeprom(4, 0x0200, 2);
  base_.WriteEeprom(6, EepromSize, 3);
  base_.WriteEeprom(22, 5, 1);
  base_.WriteEeprom(143, 32, 1);
  base_.WriteEeprom(207, 32, 1);
  base_.Ram[0x3F] = Family5Record::Voltage(3.6);
  SetFirmware(2, 4);
}

Family5ImageBuilder& Family5ImageBuilder::SetSerial(std::uint16_t serial) {
  serial_ = serial;
  return *this;
}

Family5ImageBuilder& Family5ImageBuilder::SetClock(TDateTime meterClock) {
  clock_ = meterClock;
  return *this;
}

Family5ImageBuilder& Family5ImageBuilder::SetInitTime(TDateTime initTime) {
  const DateTimeParts p = DecodeDateTime(initTime);
  const int fields[6] = {p.Year % 100, p.Month, p.Day, p.Hour, p.Minute, p.Second};
  for (int i = 0; i < 6; ++i) base_.WriteEeprom(10 + i, Bcd(fields[i]), 1);
  return *this;
}

Family5ImageBuilder& Family5ImageBuilder::SetFirmware(int major, int minor) {
  base_.IdentMemory[6] = Bcd(major);
  base_.IdentMemory[7] = Bcd(minor);
  return *this;
}

Family5ImageBuilder& Family5ImageBuilder::SetSchemes(std::uint8_t system1, std::uint8_t system2) {
  base_.WriteEeprom(1, (system1 & 0x0F) | ((system2 & 0x0F) << 4), 1);
  return *this;
}

Family5ImageBuilder& Family5ImageBuilder::SetChannelConfig(int channel, std::uint8_t config) {
  if (channel >= 1 && channel <= 5) base_.WriteEeprom(15 + channel, config, 1);
  return *this;
}

Family5ImageBuilder& Family5ImageBuilder::SetColdWaterTemp(std::uint8_t degrees) {
  base_.WriteEeprom(21, degrees, 1);
  return *this;
}

Family5ImageBuilder& Family5ImageBuilder::SetWorkMinuteTotals(std::uint32_t system1, std::uint32_t system2) {
  base_.WriteEeprom(140, system1, 3);
  base_.WriteEeprom(144, system2, 3);
  return *this;
}

Family5ImageBuilder& Family5ImageBuilder::SetHeatTotals(std::uint32_t system1, std::uint32_t system2) {
  base_.WriteEeprom(148, system1, 4);
  base_.WriteEeprom(152, system2, 4);
  return *this;
}

Family5ImageBuilder& Family5ImageBuilder::SetMassTotal(int channel, std::uint32_t raw) {
  if (channel >= 1 && channel <= 4) base_.WriteEeprom(156 + 4 * (channel - 1), raw, 4);
  return *this;
}

Family5ImageBuilder& Family5ImageBuilder::SetVolumeTotal(int channel, std::uint32_t raw) {
  if (channel >= 1 && channel <= 5) base_.WriteEeprom(172 + 4 * (channel - 1), raw, 4);
  return *this;
}

Family5ImageBuilder& Family5ImageBuilder::SetHourRing(std::uint32_t first, int slots) {
  hourFirst_ = first;
  hourSlots_ = slots;
  return *this;
}

Family5ImageBuilder& Family5ImageBuilder::SetDayRing(std::uint32_t first, int slots) {
  dayFirst_ = first;
  daySlots_ = slots;
  return *this;
}

Family5ImageBuilder& Family5ImageBuilder::AddHourRecord(const Family5Record& record) {
  hours_.push_back(record);
  return *this;
}

Family5ImageBuilder& Family5ImageBuilder::AddHourRecords(const std::vector<Family5Record>& records) {
  hours_.insert(hours_.end(), records.begin(), records.end());
  return *this;
}

Family5ImageBuilder& Family5ImageBuilder::AddDayRecord(const Family5Record& record) {
  days_.push_back(record);
  return *this;
}

Family5ImageBuilder& Family5ImageBuilder::AddDayRecords(const std::vector<Family5Record>& records) {
  days_.insert(days_.end(), records.begin(), records.end());
  return *this;
}

Family5ImageBuilder& Family5ImageBuilder::FillHourRecords(int count) {
  for (int i = 0; i < count; ++i) hours_.push_back(Family5Record::Sample(static_cast<int>(hours_.size())));
  return *this;
}

Family5ImageBuilder& Family5ImageBuilder::SetHourNewestSlot(int slot) {
  hourNewest_ = slot;
  return *this;
}

Family5ImageBuilder& Family5ImageBuilder::SetDayNewestSlot(int slot) {
  dayNewest_ = slot;
  return *this;
}

Family5ImageBuilder& Family5ImageBuilder::SetPreviousPointers(std::uint32_t hour, std::uint32_t day) {
  previousHour_ = hour;
  previousDay_ = day;
  return *this;
}

Family5ImageBuilder& Family5ImageBuilder::SetRamByte(std::uint16_t ramAddress, std::uint8_t value) {
  if (ramAddress >= 0x0200 && ramAddress <= 0x02FF) base_.Ram[ramAddress - 0x0200] = value;
  return *this;
}

Family5ImageBuilder& Family5ImageBuilder::SetEepromBytes(std::uint32_t address,
                                                         const std::vector<std::uint8_t>& bytes) {
  base_.WriteEepromBytes(address, bytes);
  return *this;
}

int Family5ImageBuilder::NewestSlot(const std::optional<int>& chosen, std::size_t count, int slots) const {
  const int slot = chosen ? *chosen : std::max(0, static_cast<int>(count) - 1);
  return slots > 0 ? ((slot % slots) + slots) % slots : 0;
}

std::uint32_t Family5ImageBuilder::HourPointer() const {
  return hourFirst_ + 32u * NewestSlot(hourNewest_, hours_.size(), hourSlots_);
}

std::uint32_t Family5ImageBuilder::DayPointer() const {
  return dayFirst_ + 32u * NewestSlot(dayNewest_, days_.size(), daySlots_);
}

MeterMemory Family5ImageBuilder::BuildMemory() const {
  MeterMemory m = base_;
  m.ShortSerial = serial_;
  m.WriteEeprom(2, serial_, 2);
  m.WriteClock(clock_);

  const auto layRing = [&m](std::uint32_t first, int slots, int newest,
                            const std::vector<Family5Record>& records, bool day) {
    const int count = static_cast<int>(std::min<std::size_t>(records.size(), slots));
    for (int i = 0; i < count; ++i) {
      const int slot = ((newest - (count - 1 - i)) % slots + slots) % slots;
      const Family5Record& r = records[records.size() - count + i];
      const auto bytes = day ? r.EncodeDay() : r.EncodeHour();
      m.WriteEepromBytes(first + 32u * slot, bytes);
    }
  };
  layRing(hourFirst_, hourSlots_, NewestSlot(hourNewest_, hours_.size(), hourSlots_), hours_, false);
  layRing(dayFirst_, daySlots_, NewestSlot(dayNewest_, days_.size(), daySlots_), days_, true);

  m.WriteEeprom(HourFirstField, hourFirst_, 3);
  m.WriteEeprom(HourLastField, hourFirst_ + 32u * hourSlots_ - 1, 3);
  m.WriteEeprom(HourPointerField, HourPointer(), 3);
  m.WriteEeprom(HourPreviousField, previousHour_.value_or(HourPointer()), 3);
  m.WriteEeprom(DayFirstField, dayFirst_, 3);
  m.WriteEeprom(DayLastField, dayFirst_ + 32u * daySlots_ - 1, 3);
  m.WriteEeprom(DayPointerField, DayPointer(), 3);
  m.WriteEeprom(DayPreviousField, previousDay_.value_or(DayPointer()), 3);

  ApplyFamilyLayout(m);
  return m;
}

void Family5ImageBuilder::BuildFullDump(TDateTime readTime, TDumpImage& into) const {
  WriteFullReadingDump(BuildMemory(), readTime, into);
}

}  // namespace velk
