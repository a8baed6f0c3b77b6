#include "carrier/CarrierFileList.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "carrier/CarrierImage.h"
#include "carrier/CarrierTexts.h"
#include "common/DeviceFamilies.h"
#include "common/Mathem.h"
#include "common/NumberFormat.h"

namespace velk {

namespace txt = carrier_text;

namespace {

std::string Hex2(std::uint8_t value) {
  char text[3];
  std::snprintf(text, sizeof text, "%02X", value);
  return text;
}

std::uint16_t Word(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

CarrierRowCells CommonCells(const TCarrierFileEntry& entry, int number) {
  CarrierRowCells cells;
  cells[ColNumber] = std::to_string(number);
  cells[ColReadTime] = DateTimeText(entry.ReadTime);
  cells[ColSize] = FormatFloat("######0", entry.Size);
  cells[ColStartBlock] = std::to_string(entry.StartBlock);
  cells[ColBlocks] = std::to_string(entry.BlockCount);
  return cells;
}

std::string VoltageText(double volts) { return FormatFloat("0.00", volts); }

}  // namespace

Colour RgbColour(int red, int green, int blue) {
  return static_cast<Colour>(red) | (static_cast<Colour>(green) << 8) | (static_cast<Colour>(blue) << 16);
}

std::optional<NkpIdentification> ParseNkpIdentification(std::span<const std::uint8_t> area) {
  NkpIdentification id;
  const std::size_t words = std::min<std::size_t>(area.size(), NkpIdentificationSize) / 2;
  for (std::size_t i = 0; i < words; ++i) {
    const std::uint16_t w = Word(area, 2 * i);
    if (w >= 0x8000) {
      id.FirstFreeBlock = w & 0x7FFF;
      if (id.FirstFreeBlock > NkpBlockCount) return std::nullopt;
      if (!id.StartBlocks.empty() && id.FirstFreeBlock < id.StartBlocks.back()) return std::nullopt;
      return id;
    }
    if (w >= NkpBlockCount || (!id.StartBlocks.empty() && w <= id.StartBlocks.back())) return std::nullopt;
    id.StartBlocks.push_back(w);
  }
  return std::nullopt;  // no end word
}

std::uint32_t NkpImageLength(std::span<const std::uint8_t> header) {
  return 256 + ReadLeUInt(header, 145, 3) + ReadLeUInt(header, 148, 3) + ReadLeUInt(header, 152, 3) +
         ReadLeUInt(header, 156, 3);
}

void ParseNkpFileHeader(std::span<const std::uint8_t> block, TCarrierFileEntry& entry) {
  auto b = [&](std::size_t i) { return i < block.size() ? block[i] : std::uint8_t{0}; };
  entry.DeviceType = b(128);
  entry.DnCode = b(129);
  entry.Dn = NkpDnOfCode(entry.DnCode);
  entry.SerialNumber = static_cast<std::uint16_t>(b(130) | (b(131) << 8));
  entry.SecondDate = BcdToDateTime(b(137), b(136), b(135), b(134), b(133), b(132));
  entry.ReadTime = BcdToDateTime(b(143), b(142), b(141), b(140), b(139), b(138));
  entry.SupplyVoltage = b(144) / 64.0 + 2.0;
  entry.Size = NkpImageLength(block);
}

std::uint16_t NkpDnOfCode(std::uint8_t code) {
  static const std::uint16_t dn[] = {15, 20, 25, 32, 40, 50, 65, 80, 100, 150, 200, 9999};
  return code >= 1 && code <= 12 ? dn[code - 1] : 9999;
}

std::optional<std::uint16_t> Ltr2DnOfCode(std::uint8_t code) {
  static const std::uint16_t dn[] = {15, 20, 25, 32, 40, 50, 65, 80, 100, 125, 150, 200};
  if (code >= 1 && code <= 12) return dn[code - 1];
  return std::nullopt;
}

std::optional<LtrDirectory> ParseLtrDirectory(std::span<const std::uint8_t> answer, std::string& error) {
  if (answer.size() < 16) {
    error = "the directory answer is too short (" + std::to_string(answer.size()) + " bytes)";
    return std::nullopt;
  }
  LtrDirectory dir;
  const std::uint8_t family = answer[2];
  if (family != 1 && family != 2) {
    error = "unknown carrier family " + std::to_string(family) + " in the directory answer";
    return std::nullopt;
  }
  dir.Ltr2 = family == 2;
  auto a = [&](std::size_t i) { return answer[i]; };
  std::size_t first, recordSize;
  int count;
  if (!dir.Ltr2) {
    dir.SerialNumber = Word(answer, 3);
    dir.Clock = BcdToDateTime(a(13), a(12), a(11), a(9), a(8), a(7));
    dir.MemorySize = a(14);
    count = a(15);
    first = 16;
    recordSize = 14;
  } else {
    dir.SerialNumber = Word(answer, 4);
    dir.Clock = BcdToDateTime(a(11), a(10), a(9), a(8), a(7), a(6));
    dir.MemorySize = Ltr2MemorySize;
    count = a(12);
    first = 13;
    recordSize = 11;
  }
  if (first + recordSize * static_cast<std::size_t>(count) > answer.size()) {
    error = "the directory answer claims " + std::to_string(count) + " files but holds " +
            std::to_string((answer.size() - first) / recordSize);
    return std::nullopt;
  }
  for (int i = 0; i < count; ++i) {
    const auto r = answer.subspan(first + recordSize * static_cast<std::size_t>(i), recordSize);
    TCarrierFileEntry e;
    e.BlockCount = 1;
    e.DeviceType = r[0];
    if (!dir.Ltr2) {
      e.SerialNumber = Word(r, 1);
      e.SupplyVoltage = Word(r, 3) / 8192.0;
      e.ReadTime = BcdToDateTime(r[11], r[10], r[9], r[7], r[6], 0);
      e.StartBlock = r[12];
      e.Size = LtrFileSize;
    } else {
      e.DnCode = r[1];
      if (auto dn = Ltr2DnOfCode(e.DnCode)) e.Dn = *dn;
      e.SerialNumber = Word(r, 2);
      e.SupplyVoltage = r[4] / 64.0 + 2.0;
      e.ReadTime = BcdToDateTime(r[9], r[8], r[7], r[6], r[5], 0);
      e.StartBlock = r[10];
      e.Size = Ltr2FileSize;
    }
    if (e.StartBlock >= dir.MemorySize) {
      error = "file " + std::to_string(i + 1) + " starts at block " + std::to_string(e.StartBlock) +
              " past the memory of " + std::to_string(dir.MemorySize) + " blocks";
      return std::nullopt;
    }
    dir.Files.push_back(e);
  }
  return dir;
}

CarrierRowCells CarrierGridHeader() {
  return {txt::ColNumber, txt::ColType,    txt::ColSerial,     txt::ColReadTime,
          txt::ColVoltage, txt::ColSize, txt::ColStartBlock, txt::ColBlocks};
}

CarrierRowCells NkpFileRow(TCarrierFileEntry& entry, int number) {
  CarrierRowCells cells = CommonCells(entry, number);
  const std::uint8_t type = entry.DeviceType;
  const char* name = CarrierListName(type);
  const DeviceFamily* family = FindDeviceFamily(NkpDeviceCode(type));
  const bool compact = family && family->Kind == DeviceKind::CompactHeatMeter;
  const bool withDn = compact || (family && family->Kind == DeviceKind::FlowMeter);
  if (name) cells[ColType] = withDn ? name + ZeroPad(entry.Dn, 2) : std::string(name);
  // A compact meter's file is known only with its pipe size.
  const bool recognised = name && !(compact && entry.Dn == 9999);
  if (recognised) {
    cells[ColSerial] = Hex2(type) + "-" +
                       (withDn ? ZeroPad(entry.DnCode, 2) + ZeroPad(entry.SerialNumber, 6) : ZeroPad(entry.SerialNumber, 5));
    // A battery reading below 3 V is an artefact of the carrier's measurement.
    cells[ColVoltage] = VoltageText(entry.SupplyVoltage < 3.0 ? 3.58 : entry.SupplyVoltage);
    entry.UnrecognisedType = 0;
  } else {
    cells[ColType] = txt::TypeUndefined;
    cells[ColVoltage] = txt::NoVoltage;
    cells[ColSerial] = Hex2(type) + "-" + ZeroPad(entry.SerialNumber, 5);
    entry.UnrecognisedType = UnrecognisedTypeFlag;
  }
  return cells;
}

CarrierRowCells LtrFileRow(TCarrierFileEntry& entry, int number) {
  CarrierRowCells cells = CommonCells(entry, number);
  const int type = entry.DeviceType;
  const int tens = type / 10, units = type % 10;
  static const char* const versions[] = {"", txt::VersionB, txt::VersionA2, txt::VersionA3, txt::VersionA2b};
  const std::string version = tens >= 1 && tens <= 4 ? versions[tens] : "";
  if (type >= 50) {
    cells[ColType] = txt::TypeUnknown;
    cells[ColVoltage] = txt::NoVoltage;
    entry.UnrecognisedType = UnrecognisedTypeFlag;
  } else {
    cells[ColType] = txt::TypeVtmE + version + txt::VersionOpen + std::to_string(tens) + "." +
                     std::to_string(units) + txt::VersionClose;
    cells[ColVoltage] = VoltageText(entry.SupplyVoltage);
    entry.UnrecognisedType = 0;
  }
  cells[ColSerial] = std::to_string(type) + "-" + ZeroPad(entry.SerialNumber, 5);
  return cells;
}

CarrierRowCells Ltr2FileRow(TCarrierFileEntry& entry, int number) {
  CarrierRowCells cells = CommonCells(entry, number);
  const std::uint8_t type = entry.DeviceType;
  if (type == 0x50 || type == 0x51) {
    cells[ColType] = CarrierListName(type) + ZeroPad(entry.Dn, 2);
    cells[ColSerial] = Hex2(type) + "-" + ZeroPad(entry.DnCode, 2) + ZeroPad(entry.SerialNumber, 5);
    cells[ColVoltage] = VoltageText(entry.SupplyVoltage);
    entry.UnrecognisedType = 0;
  } else {
    cells[ColType] = txt::TypeUndefined;
    cells[ColVoltage] = txt::NoVoltage;
    cells[ColSerial] = Hex2(type) + "-" + ZeroPad(entry.SerialNumber, 5);
    entry.UnrecognisedType = UnrecognisedTypeFlag;
  }
  return cells;
}

bool LtrFileCopyable(const TCarrierFileEntry& entry, bool ltr2) {
  return ltr2 ? (entry.DeviceType == 0x50 || entry.DeviceType == 0x51) : entry.DeviceType < 50;
}

int PercentOf(double part, double whole) {
  if (whole <= 0) return 0;
  return static_cast<int>(std::lround(part / whole * 100.0));
}

Colour OccupancyGaugeColour(int percent) {
  const double p = percent;
  if (p < 50) return RgbColour(static_cast<int>(std::lround(p * 5.1)), 255, 0);
  const int green = static_cast<int>(std::lround(255 - (p - 50) * 5.1));
  return RgbColour(255, std::max(0, green), 0);
}

}  // namespace velk
