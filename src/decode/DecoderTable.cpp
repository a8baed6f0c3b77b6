#include "decode/DecoderTable.h"

#include "common/DeviceFamilies.h"
#include "decode/DecodeFlowMeter.h"
#include "decode/DecodeMeterFamily1.h"
#include "decode/DecodeMeterFamily2.h"
#include "decode/DecodeMeterFamily5.h"
#include "decode/DecodePulseCounter.h"

namespace velk {

DecoderFunction FindDecoder(std::uint32_t deviceCode) {
  const DeviceFamily* family = FindDeviceFamily(deviceCode);
  if (!family) return nullptr;
  switch (family->Kind) {
    case DeviceKind::OlderHeatMeter:
      return DecodeMeterFamily1;
    case DeviceKind::CompactHeatMeter:
      return DecodeMeterFamily2;
    case DeviceKind::TwoSystemHeatMeter:
      return DecodeMeterFamily5;
    case DeviceKind::FlowMeter:
      return DecodeFlowMeter;
    case DeviceKind::PulseCounter:
      return DecodePulseCounter;
  }
  return nullptr;
}

}  // namespace velk
