// Decoder of the flow meter, device code 60: nominal size, channel constants,
// volumes, volume flow, temperature and the ring of 8-byte hour records.
#pragma once

#include <optional>
#include <string>

#include "decode/DecoderTable.h"

namespace velk {

void DecodeFlowMeter(const TDecodeInput& input, TDecodedValues& values);

// "15" .. "200" for the size indexes 1..11; nullopt for any other index.
std::optional<std::string> FlowMeterNominalSize(int sizeIndex);

}  // namespace velk
