#include "imagebuilder/Family1Image.h"

#include <algorithm>

namespace velk {

namespace {

RingLayout OlderRing() {
  RingLayout ring;
  ring.FixedFirst = Family1ImageBuilder::RingFirst;
  ring.FixedLast = Family1ImageBuilder::RingLast;
  ring.PointerField = 256;
  ring.PointerWidth = 2;
  ring.RecordLength = Family1ImageBuilder::RecordLength;
  ring.PointerIsNext = true;
  return ring;
}

}  // namespace

std::vector<std::uint8_t> Family1Record::Encode() const {
  std::vector<std::uint8_t> bytes(13, 0);
  PutLe(bytes, 0, Q1, 2);
  bytes[2] = T1;
  PutLe(bytes, 3, V1, 2);
  bytes[5] = T2;
  PutLe(bytes, 6, V2, 2);
  bytes[8] = T3;
  PutLe(bytes, 9, V3, 2);
  bytes[11] = P1;
  bytes[12] = P2;
  return bytes;
}

Family1ImageBuilder::Family1ImageBuilder(int deviceCode) : code_(deviceCode) {
  base_.FamilyCode = deviceCode;
  base_.RawDeviceCode = static_cast<std::uint8_t>(deviceCode);
  base_.RamBlockAddress = 0;
  base_.ClockOffset = -1;
  base_.Eeprom.assign(EepromSize, 0);
  base_.HourRing = OlderRing();
  base_.WriteEeprom(256, RingFirst, 2);
}

Family1ImageBuilder& Family1ImageBuilder::SetSerial(std::uint16_t serial) {
  serial_ = serial;
  base_.ShortSerial = serial;
  return *this;
}

Family1ImageBuilder& Family1ImageBuilder::SetField(std::uint32_t imageOffset, std::uint64_t value,
                                                   int width) {
  for (int i = 0; i < width && i < 8; ++i)
    SetFieldBytes(imageOffset + i, {static_cast<std::uint8_t>(value >> (8 * i))});
  return *this;
}

Family1ImageBuilder& Family1ImageBuilder::SetFieldBytes(std::uint32_t imageOffset,
                                                        const std::vector<std::uint8_t>& bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const std::uint32_t at = imageOffset + static_cast<std::uint32_t>(i);
    if (at >= 256 && at < 512) base_.Ram[at - 256] = bytes[i];
    if (at >= 512 && at - 512 < base_.Eeprom.size()) base_.Eeprom[at - 512] = bytes[i];
  }
  return *this;
}

Family1ImageBuilder& Family1ImageBuilder::AddHourRecords(const std::vector<Family1Record>& records) {
  records_.insert(records_.end(), records.begin(), records.end());
  return *this;
}

Family1ImageBuilder& Family1ImageBuilder::SetNewestSlot(int slot) {
  newestSlot_ = slot;
  return *this;
}

MeterMemory Family1ImageBuilder::BuildMemory() const {
  MeterMemory memory = base_;
  const RingLayout ring = *memory.HourRing;
  if (records_.empty()) return memory;
  // The pointer names the slot the next record goes to: start at the oldest record's slot so
  // that the newest lands in the chosen one.
  const int count = static_cast<int>(std::min<std::size_t>(records_.size(), RingSlots));
  const int newest = std::clamp(newestSlot_.value_or(count - 1), 0, RingSlots - 1);
  const int oldest = ((newest - count + 1) % RingSlots + RingSlots) % RingSlots;
  memory.SetRingPointer(ring, RingFirst + RecordLength * oldest);
  for (std::size_t i = records_.size() - count; i < records_.size(); ++i)
    memory.AdvanceRing(ring, records_[i].Encode());
  return memory;
}

void Family1ImageBuilder::BuildFullDump(TDateTime readTime, TDumpImage& into) const {
  WriteFullReadingDump(BuildMemory(), readTime, into);
  WriteDumpTextHeader(into, code_, serial_, readTime);
}

void Family1ImageBuilder::BuildAppendedDump(TDateTime readTime, TDumpImage& into) const {
  const MeterMemory memory = BuildMemory();
  const std::uint32_t end = memory.RingPointer(*memory.HourRing);
  const std::uint32_t count = static_cast<std::uint32_t>(std::min<std::size_t>(records_.size(), RingSlots));
  const std::uint32_t start = end - RecordLength * count;
  std::vector<EepromRange> ranges;
  if (start >= RingFirst) {
    ranges.push_back({start, end});
  } else {  // the records wrap round the ring end
    const std::uint32_t ringEnd = RingFirst + RecordLength * RingSlots;
    ranges.push_back({ringEnd - (RingFirst - start), ringEnd});
    ranges.push_back({RingFirst, end});
  }
  WriteAppendedReadingDump(memory, readTime, ranges, into);
  WriteDumpTextHeader(into, code_, serial_, readTime);
}

}  // namespace velk
