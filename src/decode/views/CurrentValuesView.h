// The grid of current values (LSDGrid, "Данные на ЖКИ в момент чтения"): what the
// meter displayed at the moment of reading, in caption rows and value rows laid
// out per device family.
#pragma once

#include "decode/DecodedValues.h"
#include "decode/views/Grid.h"

namespace velk {

// Caption rows are light yellow, value rows white. A device code without a
// layout gives an empty grid.
TGrid BuildCurrentValuesGrid(const TDecodedValues& values);

}  // namespace velk
