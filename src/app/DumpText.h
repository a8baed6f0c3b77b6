// The data views of a decoded image as plain text, the way the command-line
// program prints a dump: the operational data (identification, accumulated
// data, current values), the hour and day archives, the constants and, on
// request, the hexadecimal dump.
#pragma once

#include <string>

#include "common/DumpImage.h"
#include "decode/DecodedValues.h"

namespace velk {

struct DumpTextOptions {
  bool ShowRtcRecords = false;
  bool ShowEmptyRecords = false;
  bool WithHex = false;
};

std::string RenderDecodedViews(const TDumpImage& image, const TDecodedValues& values,
                               const DumpTextOptions& options);

}  // namespace velk
