// Decoder of the older heat meters, device codes 1..49 (the code is the
// firmware version times ten): the text header, the scheme, two channel
// configuration bytes, the current values with the heat power, the totals and
// the fixed ring of 13-byte hour records. Offsets are image offsets.
#pragma once

#include <string>

#include "decode/DecoderTable.h"

namespace velk {

// The dump never holds more than the 16 KiB EEPROM behind the 512-byte head.
constexpr std::int32_t OlderMeterDumpCap = 16896;

void DecodeMeterFamily1(const TDecodeInput& input, TDecodedValues& values);

// Heat power in kW of system 1 for the scheme `scheme` from the temperatures
// T1..T3, the volume flows w1..w3 (m3/h) and the cold-water temperature:
//   "А2", "А2b": ((h(T1) - h(Tx)) G1 - (h(T2) - h(Tx)) G2) / 3.6
//   "B", "В":    (h(T1) G1 - h(T2) G2 - h(T3) G3) / 3.6
//   "А3п":       (h(T1) - h(T2)) G1 / 3.6
//   "А3о":       (h(T1) - h(T2)) G2 / 3.6
// with h the water enthalpy and Gi = density(Ti) wi; 0 for any other scheme.
double OlderMeterHeatRate1(const std::string& scheme, const double (&temps)[3], const double (&flows)[3],
                           double coldWater);
// System 2: (h(T3) - h(Tx)) density(T3) (w3 - w4) / 3.6.
double OlderMeterHeatRate2(double t3, double w3, double w4, double coldWater);

}  // namespace velk
