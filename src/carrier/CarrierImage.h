// Rebuilding a copied carrier file into the meter memory image exactly as a
// direct reading would have left it, and the identification values the dump
// file writer names it by.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "carrier/CarrierLinkState.h"
#include "common/DumpImage.h"

namespace velk {

struct CarrierDumpIdentity {
  std::uint32_t DeviceCode = 0;
  std::uint16_t SerialNumber = 0;
  std::uint8_t DnCode = 0;
  TDateTime ReadTime = 0;
};

// Device code of a Р-37 type byte (a compact heat meter's); nullopt for any other byte.
std::optional<std::uint32_t> CompactMeterCode(std::uint8_t type);
// Device code of an НКП-3М file's type byte; an unlisted byte is used as it is.
std::uint32_t NkpDeviceCode(std::uint8_t type);

// After the blocks of an НКП-3М file have been copied to the image from 0:
// sets DumpLength from the header's section lengths. nullopt with `error`
// when the lengths claim more than the copied blocks or the image can hold.
std::optional<CarrierDumpIdentity> FinishNkpImage(TDumpImage& image, int blockCount, std::string& error);

// An ЛТР file (the 16 193-byte read answer) and an ЛТР-2 file (32 771 bytes,
// with the read time from the file list). `previousCode` is kept where the
// type byte names no family.
CarrierDumpIdentity RebuildLtrImage(TDumpImage& image, std::span<const std::uint8_t> answer);
CarrierDumpIdentity RebuildLtr2Image(TDumpImage& image, std::span<const std::uint8_t> answer, TDateTime readTime,
                                     std::uint32_t previousCode);

}  // namespace velk
