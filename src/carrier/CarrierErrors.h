// The carrier link's message boxes by result code.
#pragma once

#include <string>

namespace velk {

// The message for a result code, port name and carrier name ("НКП-3М",
// "ЛТР", "ЛТР-2"); empty for codes that show no message (4, 6, 8, 20, ...).
// Result 11 (the port could not be opened) shows the port message of code 7.
std::string CarrierErrorText(int code, const std::string& port, const std::string& dev);

}  // namespace velk
