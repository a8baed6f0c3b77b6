// A joined two-year .tsv report of a two-system heat meter (family 53,
// system 1) built through the report builder from a synthetic hourly archive:
// a heating season curve, a daily rhythm, and a day without readings that the
// builder fills with fillers. For the viewer's benchmark and screenshots.
#pragma once

#include "reports/TsvImage.h"

namespace velk::sample {

// `hours` hourly records ending at 01.10.2026 00:00; the day `gapDay` (counted
// from the first record) is missing; none when negative.
TTsvReportImage TwoYearReport(int hours = 17520, int gapDay = 400);

}  // namespace velk::sample
