#include "imagebuilder/PulseCounterImage.h"

#include <algorithm>

namespace velk {

namespace {

constexpr std::uint8_t ClockRecordMark = 0x8F;

}  // namespace

PulseCounterRecord PulseCounterRecord::Hour(std::vector<std::uint16_t> volumes) {
  PulseCounterRecord r;
  r.Volumes = std::move(volumes);
  return r;
}

PulseCounterRecord PulseCounterRecord::Clock(TDateTime stamp, bool resetMark) {
  PulseCounterRecord r;
  r.IsClock = true;
  r.Stamp = stamp;
  r.ResetMark = resetMark;
  return r;
}

std::vector<std::uint8_t> PulseCounterRecord::Encode(int recordLength) const {
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(recordLength), 0);
  if (IsClock) {
    PutBcdClock(bytes, 0, Stamp);
    if (ResetMark) bytes[0] |= 0x80;
    bytes.back() = ClockRecordMark;
    return bytes;
  }
  for (std::size_t k = 0; k < Volumes.size(); ++k) PutLe(bytes, 2 * k, Volumes[k], 2);
  return bytes;
}

PulseCounterImageBuilder::PulseCounterImageBuilder(int familyCode) {
  base_.FamilyCode = familyCode;
  base_.RawDeviceCode = static_cast<std::uint8_t>(familyCode + 42);
  base_.RamBlockAddress = 0x0200;
  base_.ClockOffset = 0x10;
  base_.Eeprom.assign(EepromSize, 0xFF);
  std::fill(base_.Eeprom.begin(), base_.Eeprom.begin() + 256, 0);
  base_.WriteEeprom(1, familyCode == 70 ? 4 : 16, 1);
  base_.WriteEeprom(6, EepromSize, 3);
  base_.WriteEeprom(9, 0x01, 1);
  recordLength_ = familyCode == 70 ? 16 : 40;
  base_.Ram[0x5A] = static_cast<std::uint8_t>((3.6 - 2) * 64);
  SetFirmware(1, 0);
}

PulseCounterImageBuilder& PulseCounterImageBuilder::SetSerial(std::uint16_t serial) {
  serial_ = serial;
  return *this;
}
PulseCounterImageBuilder& PulseCounterImageBuilder::SetChannelCountByte(std::uint8_t value) {
  base_.WriteEeprom(1, value, 1);
  return *this;
}
PulseCounterImageBuilder& PulseCounterImageBuilder::SetClock(TDateTime meterClock) {
  clock_ = meterClock;
  return *this;
}
PulseCounterImageBuilder& PulseCounterImageBuilder::SetInitTime(TDateTime initTime) {
  const DateTimeParts p = DecodeDateTime(initTime);
  const int fields[6] = {p.Year % 100, p.Month, p.Day, p.Hour, p.Minute, p.Second};
  for (int i = 0; i < 6; ++i) base_.WriteEeprom(10 + i, Bcd(fields[i]), 1);
  return *this;
}
PulseCounterImageBuilder& PulseCounterImageBuilder::SetFirmware(int major, int minor) {
  base_.IdentMemory[6] = Bcd(major);
  base_.IdentMemory[7] = Bcd(minor);
  return *this;
}
PulseCounterImageBuilder& PulseCounterImageBuilder::SetReportDayByte(std::uint8_t value) {
  base_.WriteEeprom(9, value, 1);
  return *this;
}
PulseCounterImageBuilder& PulseCounterImageBuilder::SetChannelBlock(int channel, std::array<std::uint8_t, 4> block) {
  base_.WriteEepromBytes(64 + 4 * channel, block);
  return *this;
}
PulseCounterImageBuilder& PulseCounterImageBuilder::SetChannelPulses(int channel, std::uint32_t pulses) {
  base_.WriteEeprom(16 + 3 * channel, pulses, 3);
  return *this;
}
PulseCounterImageBuilder& PulseCounterImageBuilder::SetChannelTotal(int channel, std::uint32_t raw) {
  base_.WriteEeprom(channel < 12 ? 144 + 4 * channel : 208 + 4 * (channel - 12), raw, 4);
  return *this;
}
PulseCounterImageBuilder& PulseCounterImageBuilder::SetChannelIncrement(int channel, std::uint16_t raw) {
  PutLe(base_.Ram, 0x5C + 2 * channel, raw, 2);
  return *this;
}
PulseCounterImageBuilder& PulseCounterImageBuilder::SetRamByte(std::uint16_t ramAddress, std::uint8_t value) {
  if (ramAddress >= 0x0200 && ramAddress <= 0x02FF) base_.Ram[ramAddress - 0x0200] = value;
  return *this;
}
PulseCounterImageBuilder& PulseCounterImageBuilder::SetRecordLength(int length) {
  recordLength_ = length;
  return *this;
}
PulseCounterImageBuilder& PulseCounterImageBuilder::SetHourSlots(int slots) {
  hourSlots_ = slots;
  return *this;
}
PulseCounterImageBuilder& PulseCounterImageBuilder::AddHourRecord(const PulseCounterRecord& record) {
  hours_.push_back(record);
  return *this;
}
PulseCounterImageBuilder& PulseCounterImageBuilder::SetHourNewestSlot(int slot) {
  newestSlot_ = slot;
  return *this;
}

MeterMemory PulseCounterImageBuilder::BuildMemory() const {
  MeterMemory m = base_;
  m.ShortSerial = serial_;
  m.WriteEeprom(2, serial_, 2);
  m.WriteClock(clock_);
  m.WriteEeprom(143, static_cast<std::uint32_t>(recordLength_), 1);
  const int count = static_cast<int>(std::min<std::size_t>(hours_.size(), static_cast<std::size_t>(hourSlots_)));
  const int newest = newestSlot_ >= 0 ? newestSlot_ : std::max(0, count - 1);
  for (int i = 0; i < count; ++i) {
    const int slot = ((newest - (count - 1 - i)) % hourSlots_ + hourSlots_) % hourSlots_;
    m.WriteEepromBytes(SlotAddress(slot), hours_[hours_.size() - count + i].Encode(recordLength_));
  }
  m.WriteEeprom(128, HourFirst, 3);
  m.WriteEeprom(131, SlotAddress(hourSlots_) - 1, 3);
  m.WriteEeprom(134, SlotAddress(newest), 3);
  m.WriteEeprom(137, SlotAddress(newest), 3);
  RingLayout ring;
  ring.FirstField = 128;
  ring.LastField = 131;
  ring.PointerField = 137;
  ring.RecordLength = recordLength_;
  m.HourRing = ring;
  return m;
}

void PulseCounterImageBuilder::BuildFullDump(TDateTime readTime, TDumpImage& into) const {
  WriteFullReadingDump(BuildMemory(), readTime, into);
}

}  // namespace velk
