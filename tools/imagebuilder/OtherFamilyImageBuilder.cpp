#include "imagebuilder/OtherFamilyImageBuilder.h"

#include <algorithm>

namespace velk {

OtherFamilyImageBuilder::OtherFamilyImageBuilder(int familyCode)
    : familyCode_(familyCode), recordLength_(HourRecordLength(familyCode)) {
  base_.FamilyCode = familyCode;
  base_.RawDeviceCode = RawCodeOfFamily(familyCode);
  const std::uint32_t size = EepromSizeOfFamily(familyCode);
  base_.Eeprom.assign(size, 0xFF);
  std::fill(base_.Eeprom.begin(), base_.Eeprom.begin() + (familyCode < 50 ? 548 : 256), 0);
  if (familyCode < 50) {
    ringFirst_ = 548;
    ringLast_ = 16381;
  } else {
    ringFirst_ = 0x0100;
    const std::uint32_t slots = (size - ringFirst_) / recordLength_;
    ringLast_ = ringFirst_ + slots * recordLength_ - 1;
    base_.WriteEeprom(0, base_.RawDeviceCode, 1);
    base_.WriteEeprom(143, recordLength_, 1);
    if (familyCode == 70 || familyCode == 71) {
      base_.WriteEeprom(1, familyCode == 70 ? 4 : 16, 1);
      base_.WriteEeprom(6, size, 3);
    }
    SetFirmware(1, 2);
  }
}

OtherFamilyImageBuilder& OtherFamilyImageBuilder::SetSerial(std::uint16_t serial) {
  serial_ = serial;
  return *this;
}

OtherFamilyImageBuilder& OtherFamilyImageBuilder::SetClock(TDateTime meterClock) {
  clock_ = meterClock;
  return *this;
}

OtherFamilyImageBuilder& OtherFamilyImageBuilder::SetFirmware(int major, int minor) {
  base_.IdentMemory[6] = Bcd(major);
  base_.IdentMemory[7] = Bcd(minor);
  return *this;
}

OtherFamilyImageBuilder& OtherFamilyImageBuilder::SetSizeIndex(std::uint8_t index) {
  base_.WriteEeprom(1, index, 1);
  return *this;
}

OtherFamilyImageBuilder& OtherFamilyImageBuilder::FillHourRecords(int count) {
  records_ += count;
  return *this;
}

OtherFamilyImageBuilder& OtherFamilyImageBuilder::SetHourNewestSlot(int slot) {
  newestSlot_ = slot;
  return *this;
}

OtherFamilyImageBuilder& OtherFamilyImageBuilder::SetEepromBytes(std::uint32_t address,
                                                                 const std::vector<std::uint8_t>& bytes) {
  base_.WriteEepromBytes(address, bytes);
  return *this;
}

int OtherFamilyImageBuilder::NewestSlot() const {
  const int slots = RingSlots();
  const int slot = newestSlot_ ? *newestSlot_ : std::max(0, std::min(records_, slots) - 1);
  return ((slot % slots) + slots) % slots;
}

std::uint32_t OtherFamilyImageBuilder::HourPointer() const {
  const int slots = RingSlots();
  const int slot = familyCode_ < 50 ? (NewestSlot() + 1) % slots : NewestSlot();
  return ringFirst_ + static_cast<std::uint32_t>(slot) * recordLength_;
}

MeterMemory OtherFamilyImageBuilder::BuildMemory() const {
  MeterMemory m = base_;
  m.ShortSerial = serial_;
  if (familyCode_ >= 50) {
    m.WriteEeprom(2, serial_, 2);
    m.WriteEeprom(128, ringFirst_, 3);
    m.WriteEeprom(131, ringLast_, 3);
  }
  ApplyFamilyLayout(m);
  // Records oldest first, ending in the newest slot; the pointer then names that slot (or the next).
  const int slots = RingSlots();
  const int count = std::min(records_, slots);
  const int newest = NewestSlot();
  for (int i = 0; i < count; ++i) {
    const int slot = ((newest - (count - 1 - i)) % slots + slots) % slots;
    const TDateTime hourEnd = clock_ - (count - 1 - i) / 24.0;
    m.WriteEepromBytes(ringFirst_ + static_cast<std::uint32_t>(slot) * recordLength_,
                       m.NewHourRecord(hourEnd));
  }
  m.SetRingPointer(*m.HourRing, HourPointer());
  m.WriteClock(clock_);
  return m;
}

void OtherFamilyImageBuilder::BuildFullDump(TDateTime readTime, TDumpImage& into) const {
  WriteFullReadingDump(BuildMemory(), readTime, into);
}

}  // namespace velk
