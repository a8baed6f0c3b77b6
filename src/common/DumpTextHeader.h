// The text header in the first 128 bytes of a raw dump file:
// "Vers <device code>\r\nSN <serial>\r\nReadTime <seconds>". Images whose type
// byte is 0 name their device this way.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "common/DateTime.h"
#include "common/Mathem.h"

namespace velk {

constexpr std::size_t TextHeaderSize = 128;
// 1969-12-31 19:00:00, the zero of the header's read time.
constexpr TDateTime ReadTimeEpoch = 25568.0 + 19.0 / 24.0;

// Seconds of the text header's read time, counted from ReadTimeEpoch, to the nearest second.
std::int64_t ReadTimeSeconds(TDateTime readTime);
// "Vers <code>\r\nSN <serial>\r\nReadTime <seconds>" (no terminator).
std::string BuildTextHeader(std::uint32_t deviceCode, std::uint32_t serialNumber, TDateTime readTime);

struct TTextHeader {
  std::optional<std::int32_t> Version;  // the device code
  std::optional<std::uint16_t> Serial;
  std::optional<TDateTime> ReadTime;
};
// Parses the first 128 bytes (bytes beyond the view read as 0). A value whose
// text is not a number, or runs up to position 127, stays empty; a version
// that runs up to 127 ends the parse.
TTextHeader ParseTextHeader(ImageView image);

}  // namespace velk
