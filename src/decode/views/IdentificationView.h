// The identification box ("Тип", "Заводской №", the two times) and the box of
// accumulated data (totals as of the last archive record) of the operational tab.
#pragma once

#include "decode/DecodedValues.h"
#include "decode/views/Grid.h"

namespace velk {

// GroupBox4: TypeTS, ZavNumber, DateTimeIni, DateTimeCH.
TEditBox BuildIdentificationBox(const TDecodedValues& values);

// GroupBox27: LEdQ1, LEdQ2, LEdTsr1, LEdTsr2, LEdG1..LEdG4, LEdV1..LEdV5 in this
// order, each with the label, text and visibility the device family gives it.
TEditBox BuildAccumulatedBox(const TDecodedValues& values);

}  // namespace velk
