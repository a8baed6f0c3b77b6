// The carrier's file list: the НКП-3М identification area and file headers,
// the ЛТР/ЛТР-2 directory answer, the pipe-size tables, the recognised device
// types, the file grid row texts and the occupancy gauge colour.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "carrier/CarrierLinkState.h"
#include "common/UserInterface.h"

namespace velk {

constexpr int NkpBlockCount = 4096;
constexpr int NkpBlockSize = 512;
constexpr int NkpIdentificationSize = 256;
constexpr std::uint32_t LtrFileSize = 16196;
constexpr std::uint32_t Ltr2FileSize = 32768;
constexpr int Ltr2MemorySize = 32;

// НКП-3М identification area: start blocks in order, ended by a word >= 0x8000
// whose low 15 bits are the first free block.
struct NkpIdentification {
  std::vector<std::uint16_t> StartBlocks;
  std::uint16_t FirstFreeBlock = 0;
};
// nullopt when the area has no end word or its blocks are out of order or past the memory.
std::optional<NkpIdentification> ParseNkpIdentification(std::span<const std::uint8_t> area);

// Fills the header fields of `entry` from the first 512-byte block of a file.
void ParseNkpFileHeader(std::span<const std::uint8_t> block, TCarrierFileEntry& entry);
// 256 + the four 24-bit section lengths at 145, 148, 152 and 156 of a file's first block.
std::uint32_t NkpImageLength(std::span<const std::uint8_t> header);

std::uint16_t NkpDnOfCode(std::uint8_t code);
// nullopt: the code leaves the DN unchanged.
std::optional<std::uint16_t> Ltr2DnOfCode(std::uint8_t code);

struct LtrDirectory {
  bool Ltr2 = false;
  std::uint16_t SerialNumber = 0;
  TDateTime Clock = 0;
  int MemorySize = 0;
  std::vector<TCarrierFileEntry> Files;
};
// `answer` is the directory payload as the query copied it (its first two
// bytes are the answer length). nullopt with `error` set for a malformed answer.
std::optional<LtrDirectory> ParseLtrDirectory(std::span<const std::uint8_t> answer, std::string& error);

// The grid columns "№", "Тип", "Зав. №", "Дата, время чтения", "Uпит", "Размер", "Нач. блок", "Блоков".
using CarrierRowCells = std::array<std::string, 8>;
CarrierRowCells CarrierGridHeader();
enum CarrierColumn { ColNumber, ColType, ColSerial, ColReadTime, ColVoltage, ColSize, ColStartBlock, ColBlocks };

// Row texts of a file (number = the 1-based row); each sets the entry's unrecognised-type flag.
CarrierRowCells NkpFileRow(TCarrierFileEntry& entry, int number);
CarrierRowCells LtrFileRow(TCarrierFileEntry& entry, int number);
CarrierRowCells Ltr2FileRow(TCarrierFileEntry& entry, int number);

// True when a file of this carrier can be copied.
bool LtrFileCopyable(const TCarrierFileEntry& entry, bool ltr2);

// Colour of the occupancy gauge at `percent`: green through yellow to red.
Colour OccupancyGaugeColour(int percent);
int PercentOf(double part, double whole);

Colour RgbColour(int red, int green, int blue);

}  // namespace velk
