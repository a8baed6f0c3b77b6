// The text header in the first 128 bytes of a dump file: "Vers <code>",
// "SN <serial>", "ReadTime <seconds>". Dumps whose type byte is 0 (and the
// older heat meters) name their device this way.
#pragma once

#include <cstdint>
#include <optional>

#include "common/DateTime.h"
#include "common/Mathem.h"

namespace velk {

struct TextHeader {
  std::optional<std::uint32_t> Version;  // the device code
  std::optional<std::uint16_t> Serial;
  std::optional<TDateTime> ReadTime;
};

// Each field is present only when found and numeric; a field running up to
// byte 127 ends the parse.
TextHeader ParseDumpTextHeader(ImageView image);

// The moment the header's read-time seconds count from: 1969-12-31 19:00:00.
constexpr TDateTime HeaderTimeOrigin = 25568.0 + 19.0 / 24.0;

}  // namespace velk
