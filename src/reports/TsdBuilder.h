// Fills the .tsd report image of one pulse channel from the decoded values.
#pragma once

#include <cstdint>

#include "decode/DecodedValues.h"
#include "reports/TsdImage.h"

namespace velk {

// Channel index k from 0 (the file carries channel number k + 1).
void BuildTsdChannel(TTsdReportImage& image, const TDecodedValues& values, int channel);

// A volume in pulses: nint(V / price x 1000). A price of 0 (or a result that
// is no number or does not fit) gives 0 instead of a division by zero.
std::int32_t VolumeToPulses(double volume, double pricePerPulse);

}  // namespace velk
