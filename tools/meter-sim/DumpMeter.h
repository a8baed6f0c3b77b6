// A meter memory taken from the dump file of a full reading: [128] type byte,
// [130..131] short serial (below family 50), [160..167] identification memory,
// [256..511] working-memory block, [512 + a] non-volatile memory byte a.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "imagebuilder/MeterMemory.h"

namespace velk {

// nullopt with `error` naming what is wrong when the bytes are not a full reading.
std::optional<MeterMemory> MeterMemoryFromDump(std::span<const std::uint8_t> dump, std::string& error);

}  // namespace velk
