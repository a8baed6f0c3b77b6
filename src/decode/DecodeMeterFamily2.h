// Decoder of the compact heat meters, device codes 50 (МИНИ) and 51 (СПАРКА):
// nominal size, scheme, channel constants, current values with the cooling
// heat, totals and the ring of 16-byte hour records.
#pragma once

#include <optional>
#include <string>

#include "decode/ArchiveWalk.h"
#include "decode/DecoderTable.h"
#include "decode/ImageReader.h"

namespace velk {

void DecodeMeterFamily2(const TDecodeInput& input, TDecodedValues& values);

// The size index: firmware 1.15 and below keep it in the 16-bit word at EEPROM 0
// (modulo 100), later firmware in EEPROM 1 as BCD.
int CompactSizeIndex(double firmwareVersion, std::uint16_t word0, std::uint8_t byte1);
// "15" .. "100" for the indexes 1..9; nullopt for any other index.
std::optional<std::string> CompactNominalSize(int sizeIndex);

// The hour ring of the compact meters and the flow meter (EEPROM 128, 131, 137,
// record length 143): a dump shorter than the whole memory that appends fewer
// than 0x7E00 archive bytes is partial. Records are `stride` bytes apart.
ArchiveRing CompactHourRing(const ImageReader& image, int stride);
// Initialisation time, meter clock (RAM 0x0210) and read time of the compact
// meters and the flow meter; the read time is the meter clock when the
// reading block holds none.
void ReadCompactClocks(const ImageReader& image, TDecodedValues& v);

}  // namespace velk
