// Result texts of the simulated GSM modem, as the modem sends them between CR LF.
#pragma once

namespace velk::ModemText {
inline constexpr const char* Connect = "CONNECT 9600";
inline constexpr const char* Busy = "BUSY";
inline constexpr const char* NoCarrier = "NO CARRIER";
inline constexpr const char* NoDialtone = "NO DIALTONE";
}  // namespace velk::ModemText
