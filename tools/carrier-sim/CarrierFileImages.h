// Carrier files made from meter images, as the carriers store them after
// collecting a meter in the field.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "carrier-sim/SimulatedCarrier.h"
#include "common/DateTime.h"

namespace velk {

// The header an НКП-3М writes into the reading block (bytes 128..158) of a file.
struct NkpFileHeader {
  std::uint8_t DnCode = 0;
  std::uint16_t SerialNumber = 0;
  TDateTime SecondDate = 0;
  TDateTime ReadTime = 0;
  std::uint8_t VoltageByte = 0x60;  // volts = value / 64 + 2
};
// The image's first `image.size()` bytes with the header written in; the
// first section length is the image length − 256, the other three 0.
std::vector<std::uint8_t> MakeNkpFile(std::span<const std::uint8_t> image, const NkpFileHeader& header);

// An ЛТР file from a meter image: type byte [128], serial, byte [341], memory from [720].
LtrCarrierFile MakeLtrFile(std::span<const std::uint8_t> image, std::uint16_t serial, TDateTime readTime,
                           double volts);
// An ЛТР-2 file from a meter image: memory from [512] (type [512], DN code [513], serial [514..515]).
LtrCarrierFile MakeLtr2File(std::span<const std::uint8_t> image, TDateTime readTime, double volts);

}  // namespace velk
