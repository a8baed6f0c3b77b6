// The hour grid (HrDataGrid) and the day grid (DayDataGrid) of the archive tab:
// one row per shown record in decoded order under column headings chosen by
// device family.
#pragma once

#include "decode/DecodedValues.h"
#include "decode/views/Grid.h"

namespace velk {

struct TArchiveViewOptions {
  bool ShowRtcRecords = false;    // "Показывать записи RTC"
  bool ShowEmptyRecords = false;  // "Показывать пустые записи"
};

// Row 0 holds the headings; a clock record shows only with ShowRtcRecords, an
// empty record only with ShowEmptyRecords. The grid has at least 2 rows.
// Row 0 and columns 0 and 1 are light yellow.
TGrid BuildHourGrid(const TDecodedValues& values, const TArchiveViewOptions& options);

// Codes 53..56 only; any other code gives a grid without columns.
TGrid BuildDayGrid(const TDecodedValues& values, const TArchiveViewOptions& options);

}  // namespace velk
