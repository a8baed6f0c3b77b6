#include "imagebuilder/MeterMemory.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace velk {

void PutLe(std::span<std::uint8_t> bytes, std::size_t offset, std::uint32_t value, int width) {
  for (int i = 0; i < width; ++i) {
    if (offset + i < bytes.size()) bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
  }
}

std::uint32_t GetLe(std::span<const std::uint8_t> bytes, std::size_t offset, int width) {
  std::uint32_t value = 0;
  for (int i = width - 1; i >= 0; --i) {
    value = (value << 8) | (offset + i < bytes.size() ? bytes[offset + i] : 0);
  }
  return value;
}

std::uint8_t Bcd(int value) { return static_cast<std::uint8_t>(((value / 10) % 10) * 16 + value % 10); }

void PutBcdClock(std::span<std::uint8_t> bytes, std::size_t offset, TDateTime clock) {
  const DateTimeParts p = DecodeDateTime(clock);
  const int fields[6] = {p.Second, p.Minute, p.Hour, p.Day, p.Month, p.Year % 100};
  for (int i = 0; i < 6; ++i) {
    if (offset + i < bytes.size()) bytes[offset + i] = Bcd(fields[i]);
  }
}

std::uint32_t MeterMemory::ReadEeprom(std::uint32_t address, int width) const {
  return GetLe(Eeprom, address, width);
}

void MeterMemory::WriteEeprom(std::uint32_t address, std::uint32_t value, int width) {
  PutLe(Eeprom, address, value, width);
}

void MeterMemory::WriteEepromBytes(std::uint32_t address, std::span<const std::uint8_t> bytes) {
  for (std::size_t i = 0; i < bytes.size() && address + i < Eeprom.size(); ++i)
    Eeprom[address + i] = bytes[i];
}

std::uint32_t MeterMemory::RingFirst(const RingLayout& ring) const {
  return ring.FirstField ? ReadEeprom(*ring.FirstField, 3) : ring.FixedFirst;
}

std::uint32_t MeterMemory::RingLast(const RingLayout& ring) const {
  return ring.LastField ? ReadEeprom(*ring.LastField, 3) : ring.FixedLast;
}

std::uint32_t MeterMemory::RingPointer(const RingLayout& ring) const {
  return ReadEeprom(ring.PointerField, ring.PointerWidth);
}

void MeterMemory::SetRingPointer(const RingLayout& ring, std::uint32_t pointer) {
  WriteEeprom(ring.PointerField, pointer, ring.PointerWidth);
}

void MeterMemory::AdvanceRing(const RingLayout& ring, std::span<const std::uint8_t> record) {
  const std::uint32_t first = RingFirst(ring);
  const std::uint32_t last = RingLast(ring);
  const auto wrap = [&](std::uint32_t slot) {
    return slot < first || slot + ring.RecordLength - 1 > last ? first : slot;
  };
  const std::uint32_t pointer = RingPointer(ring);
  const std::uint32_t slot = wrap(ring.PointerIsNext ? pointer : pointer + ring.RecordLength);
  std::vector<std::uint8_t> bytes(ring.RecordLength, 0xFF);
  std::copy_n(record.begin(), std::min(record.size(), bytes.size()), bytes.begin());
  WriteEepromBytes(slot, bytes);
  SetRingPointer(ring, ring.PointerIsNext ? wrap(slot + ring.RecordLength) : slot);
}

void MeterMemory::WriteClock(TDateTime clock) {
  if (ClockOffset < 0) return;
  if (BinaryTimeOnly) {
    const DateTimeParts p = DecodeDateTime(clock);
    PutLe(Ram, ClockOffset, p.Second, 1);
    PutLe(Ram, ClockOffset + 1, p.Minute, 1);
    PutLe(Ram, ClockOffset + 2, p.Hour, 1);
  } else {
    PutBcdClock(Ram, ClockOffset, clock);
  }
}

namespace {

void WriteReadingHead(const MeterMemory& memory, TDateTime readTime, TDumpImage& into) {
  into.Clear();
  auto& image = into.DumpImage;
  image[128] = memory.RawDeviceCode;
  PutBcdClock(image, 138, readTime);
  if (memory.FamilyCode >= 50) {
    std::copy(memory.IdentMemory.begin(), memory.IdentMemory.end(), image.begin() + 160);
  } else {
    PutLe(image, 130, memory.ShortSerial, 2);
    image[166] = static_cast<std::uint8_t>(memory.RawDeviceCode / 10);
    image[167] = static_cast<std::uint8_t>(memory.RawDeviceCode % 10);
  }
  std::copy(memory.Ram.begin(), memory.Ram.end(), image.begin() + 256);
}

std::int32_t CopyEeprom(const MeterMemory& memory, std::uint32_t from, std::uint32_t to, std::int32_t offset,
                        TDumpImage& into) {
  for (std::uint32_t a = from; a < to && offset < DumpCapacity; ++a, ++offset) {
    into.DumpImage[offset] = a < memory.Eeprom.size() ? memory.Eeprom[a] : 0;
  }
  return offset;
}

}  // namespace

void WriteFullReadingDump(const MeterMemory& memory, TDateTime readTime, TDumpImage& into) {
  WriteReadingHead(memory, readTime, into);
  into.DumpLength = CopyEeprom(memory, 0, static_cast<std::uint32_t>(memory.Eeprom.size()), 512, into);
}

void WriteAppendedReadingDump(const MeterMemory& memory, TDateTime readTime,
                              std::span<const EepromRange> ranges, TDumpImage& into) {
  WriteReadingHead(memory, readTime, into);
  const bool olderFamily = memory.FamilyCode < 50;
  std::int32_t offset = CopyEeprom(memory, 0, olderFamily ? 548 : 256, 512, into);
  const std::int32_t appendStart = offset;
  for (const EepromRange& range : ranges) offset = CopyEeprom(memory, range.From, range.To, offset, into);
  PutLe(into.DumpImage, 152, static_cast<std::uint32_t>(offset - appendStart), 4);
  into.DumpLength = offset;
}

void WriteDumpTextHeader(TDumpImage& image, int deviceCode, int serial, TDateTime readTime) {
  const TDateTime epoch = *EncodeDateTime({1969, 12, 31, 19, 0, 0, 0});
  const long long seconds = std::llround((readTime - epoch) * SecondsPerDay);
  const std::string text = "Vers " + std::to_string(deviceCode) + "\r\nSN " + std::to_string(serial) +
                           "\r\nReadTime " + std::to_string(seconds);
  std::copy_n(text.begin(), std::min<std::size_t>(text.size(), 128), image.DumpImage.begin());
}

}  // namespace velk
