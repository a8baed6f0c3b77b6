// Fills the .tsv report image of heating system 1 or 2 from the decoded meter
// values: header texts, notations, current values, totals and the hourly
// records, then the daily and monthly records derived from them.
#pragma once

#include "decode/DecodedValues.h"
#include "reports/TsvImage.h"

namespace velk {

void BuildTsvSystem1(TTsvReportImage& image, const TDecodedValues& values);
// Refills the image for system 2; only the serial number text stays as system 1 left it.
void BuildTsvSystem2(TTsvReportImage& image, const TDecodedValues& values);

// Meters whose second heating system gets its own report file.
bool HasSecondTsvSystem(const TDecodedValues& values);

}  // namespace velk
