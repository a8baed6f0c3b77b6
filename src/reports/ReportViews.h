// What the report tabs show: the blocks of the report image that has just been written.
#pragma once

namespace velk {

struct ReportViews {};

}  // namespace velk
