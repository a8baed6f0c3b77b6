// The hexadecimal dump view ("Дамп (Hex)"): the whole image in rows of 16 or 32
// bytes with the image offset and the meter address of each row.
#pragma once

#include <cstdint>

#include "common/DumpImage.h"
#include "decode/views/Grid.h"

namespace velk {

// Bytes per row: 32 for device codes 0, 53..56, 70 and 71, else 16.
int HexRowWidth(std::uint32_t deviceCode);

// Row 0: "File", "RAM & EEP", the byte positions 0..w-1 and an empty heading over
// the row numbers. Each further row: the image offset (4 hexadecimal digits), the
// meter address ("(RAM)  0200", "(EE)  0000", empty below offset 256), the bytes
// and the grid row number. The grid has DumpLength div w + 2 rows; every row that
// holds a byte of the dump is filled, the cells past DumpLength stay empty.
TGrid BuildHexGrid(const TDumpImage& image, std::uint32_t deviceCode);

}  // namespace velk
