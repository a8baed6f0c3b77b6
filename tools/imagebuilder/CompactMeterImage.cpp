#include "imagebuilder/CompactMeterImage.h"

#include <algorithm>
#include <cmath>

namespace velk {

namespace {

void PutClockRecordDate(std::vector<std::uint8_t>& bytes, TDateTime stamp, bool resetMark) {
  const DateTimeParts p = DecodeDateTime(stamp);
  const int fields[6] = {p.Second, p.Minute, p.Hour, p.Day, p.Month, p.Year - 2000};
  for (int i = 0; i < 6; ++i) bytes[i] = Bcd(fields[i]);
  if (resetMark) bytes[0] |= 0x80;
}

std::uint8_t RawCodeOf(int familyCode) {
  switch (familyCode) {
    case 51:
      return 81;
    case 60:
      return 96;
    default:
      return 72;
  }
}

}  // namespace

std::uint16_t Family2Record::Temperature(double degrees) {
  return static_cast<std::uint16_t>(std::lround((degrees + 1) * 256));
}

Family2Record Family2Record::Clock(TDateTime stamp, bool resetMark) {
  Family2Record r;
  r.Type = Kind::Clock;
  r.Stamp = stamp;
  r.ResetMark = resetMark;
  return r;
}

Family2Record Family2Record::Blank() {
  Family2Record r;
  r.Type = Kind::Blank;
  return r;
}

std::vector<std::uint8_t> Family2Record::Encode() const {
  std::vector<std::uint8_t> bytes(16, 0);
  switch (Type) {
    case Kind::Blank:
      std::fill(bytes.begin(), bytes.end(), 0xFF);
      break;
    case Kind::Clock:
      PutClockRecordDate(bytes, Stamp, ResetMark);
      bytes[15] = 0xFF;
      break;
    case Kind::Normal:
      PutLe(bytes, 0, Q1, 2);
      PutLe(bytes, 2, T1, 2);
      PutLe(bytes, 4, T2, 2);
      PutLe(bytes, 6, V1, 2);
      PutLe(bytes, 8, V2, 2);
      PutLe(bytes, 10, V3, 2);
      PutLe(bytes, 12, WorkTotal, 3);
      bytes[15] = K1;
      break;
  }
  return bytes;
}

FlowMeterRecord FlowMeterRecord::Clock(TDateTime stamp, bool resetMark) {
  FlowMeterRecord r;
  r.Type = Kind::Clock;
  r.Stamp = stamp;
  r.ResetMark = resetMark;
  return r;
}

FlowMeterRecord FlowMeterRecord::Blank() {
  FlowMeterRecord r;
  r.Type = Kind::Blank;
  return r;
}

std::vector<std::uint8_t> FlowMeterRecord::Encode() const {
  std::vector<std::uint8_t> bytes(8, 0);
  switch (Type) {
    case Kind::Blank:
      std::fill(bytes.begin(), bytes.end(), 0xFF);
      break;
    case Kind::Clock:
      PutClockRecordDate(bytes, Stamp, ResetMark);
      bytes[6] = Voltage;
      bytes[7] = 0x8F;
      break;
    case Kind::Normal:
      PutLe(bytes, 0, V1, 2);
      PutLe(bytes, 2, T1, 2);
      break;
  }
  return bytes;
}

CompactMeterImageBuilder::CompactMeterImageBuilder(int familyCode)
    : recordLength_(familyCode == 60 ? 8 : 16) {
  base_.FamilyCode = familyCode;
  base_.RawDeviceCode = RawCodeOf(familyCode);
  base_.ClockOffset = 16;  // RAM 0x0210
  base_.Eeprom.assign(EepromSize, 0xFF);
  std::fill_n(base_.Eeprom.begin(), 256, 0);
  base_.Eeprom[0] = base_.RawDeviceCode;
  RingLayout ring;
  ring.FirstField = 128;
  ring.LastField = 131;
  ring.PointerField = 137;
  ring.RecordLength = recordLength_;
  base_.HourRing = ring;
  base_.WriteEeprom(128, HourFirst, 3);
  base_.WriteEeprom(131, HourFirst + recordLength_ * RingSlots() - 1, 3);
  base_.WriteEeprom(137, HourFirst, 3);
  base_.WriteEeprom(143, static_cast<std::uint32_t>(recordLength_), 1);
  base_.WriteEeprom(4, 0x0200, 2);
  base_.WriteEeprom(6, EepromSize, 3);
}

CompactMeterImageBuilder& CompactMeterImageBuilder::SetSerial(std::uint16_t serial) {
  base_.ShortSerial = serial;
  base_.WriteEeprom(2, serial, 2);
  return *this;
}

CompactMeterImageBuilder& CompactMeterImageBuilder::SetFirmware(std::uint8_t majorBcd,
                                                                std::uint8_t minorBcd) {
  base_.IdentMemory[6] = majorBcd;
  base_.IdentMemory[7] = minorBcd;
  return *this;
}

CompactMeterImageBuilder& CompactMeterImageBuilder::SetClock(TDateTime meterClock) {
  base_.WriteClock(meterClock);
  return *this;
}

CompactMeterImageBuilder& CompactMeterImageBuilder::SetInitTime(TDateTime initTime) {
  const DateTimeParts p = DecodeDateTime(initTime);
  const int fields[6] = {p.Year % 100, p.Month, p.Day, p.Hour, p.Minute, p.Second};
  for (int i = 0; i < 6; ++i) base_.Eeprom[10 + i] = Bcd(fields[i]);
  return *this;
}

CompactMeterImageBuilder& CompactMeterImageBuilder::SetRam(std::uint16_t ramAddress, std::uint32_t value,
                                                           int width) {
  PutLe(base_.Ram, static_cast<std::size_t>(ramAddress) - 0x0200, value, width);
  return *this;
}

CompactMeterImageBuilder& CompactMeterImageBuilder::SetEeprom(std::uint32_t address, std::uint32_t value,
                                                              int width) {
  base_.WriteEeprom(address, value, width);
  return *this;
}

CompactMeterImageBuilder& CompactMeterImageBuilder::AddHourRecord(const std::vector<std::uint8_t>& record) {
  records_.push_back(record);
  return *this;
}

CompactMeterImageBuilder& CompactMeterImageBuilder::SetNewestSlot(int slot) {
  newestSlot_ = slot;
  return *this;
}

MeterMemory CompactMeterImageBuilder::BuildMemory() const {
  MeterMemory memory = base_;
  if (records_.empty()) return memory;
  const RingLayout ring = *memory.HourRing;
  const int slots = RingSlots();
  const int count = static_cast<int>(std::min<std::size_t>(records_.size(), slots));
  const int newest = std::clamp(newestSlot_.value_or(count - 1), 0, slots - 1);
  const int oldest = ((newest - count + 1) % slots + slots) % slots;
  // AdvanceRing moves one record on before writing: start one record in front of the oldest slot.
  memory.SetRingPointer(ring, oldest == 0 ? 0 : HourFirst + recordLength_ * (oldest - 1));
  for (std::size_t i = records_.size() - count; i < records_.size(); ++i)
    memory.AdvanceRing(ring, records_[i]);
  return memory;
}

void CompactMeterImageBuilder::BuildFullDump(TDateTime readTime, TDumpImage& into) const {
  WriteFullReadingDump(BuildMemory(), readTime, into);
}

void CompactMeterImageBuilder::BuildAppendedDump(TDateTime readTime, TDumpImage& into) const {
  const MeterMemory memory = BuildMemory();
  const std::uint32_t newest = memory.RingPointer(*memory.HourRing);
  const std::uint32_t count = static_cast<std::uint32_t>(std::min<std::size_t>(records_.size(), RingSlots()));
  const std::uint32_t end = newest + recordLength_;
  const std::uint32_t start = end - recordLength_ * count;
  std::vector<EepromRange> ranges;
  if (count == 0) {
  } else if (start >= HourFirst) {
    ranges.push_back({start, end});
  } else {
    const std::uint32_t ringEnd = HourFirst + recordLength_ * RingSlots();
    ranges.push_back({ringEnd - (HourFirst - start), ringEnd});
    ranges.push_back({HourFirst, end});
  }
  WriteAppendedReadingDump(memory, readTime, ranges, into);
}

}  // namespace velk
