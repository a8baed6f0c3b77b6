#include "decode/DecoderTable.h"

#include "decode/DecodeFlowMeter.h"
#include "decode/DecodeMeterFamily1.h"
#include "decode/DecodeMeterFamily2.h"
#include "decode/DecodeMeterFamily5.h"
#include "decode/DecodePulseCounter.h"

namespace velk {

namespace {

struct DecoderRow {
  std::uint32_t FirstCode, LastCode;
  DecoderFunction Decoder;
};

constexpr DecoderRow DecoderRows[] = {
    {1, 49, DecodeMeterFamily1},
    {50, 51, DecodeMeterFamily2},
    {53, 56, DecodeMeterFamily5},
    {60, 60, DecodeFlowMeter},
    {70, 71, DecodePulseCounter},
};

}  // namespace

DecoderFunction FindDecoder(std::uint32_t deviceCode) {
  for (const DecoderRow& row : DecoderRows) {
    if (deviceCode >= row.FirstCode && deviceCode <= row.LastCode) return row.Decoder;
  }
  return nullptr;
}

}  // namespace velk
