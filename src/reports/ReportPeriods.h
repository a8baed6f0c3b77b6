// Daily and monthly records derived from the hourly table of a report image;
// run after the builders and again after every join.
#pragma once

#include "reports/TsdImage.h"
#include "reports/TsvImage.h"

namespace velk {

void RebuildTsvDays(TTsvReportImage& image);
void RebuildTsvMonths(TTsvReportImage& image);
inline void RebuildTsvPeriods(TTsvReportImage& image) {
  RebuildTsvDays(image);
  RebuildTsvMonths(image);
}

void RebuildTsdPeriods(TTsdReportImage& image);

}  // namespace velk
