// Writing one report file (.tsv or .tsd) from its image: the target file, the
// meter's .cfg record, the join with the previous reading's file and the
// file time.
#pragma once

#include <functional>
#include <span>
#include <stdexcept>
#include <string>

#include "common/DateTime.h"
#include "common/ExchangeMonitor.h"
#include "common/MeterCfg.h"
#include "common/UserInterface.h"
#include "reports/ReportNames.h"
#include "reports/TsdImage.h"
#include "reports/TsvImage.h"

namespace velk {

// A report file that could not be written or read back; ends the operation.
class ReportFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct ReportWriteRequest {
  std::string Folder;  // report folder, path text; created with its parents
  ReportFileSet Names;
  bool JoinFiles = true;  // "Соединять файлы *.tsv"
  int ReadMode = 0;       // read-mode item: 0 full archive, 1 changes, 2 current values only
  bool CommandLine = false;
  TDateTime ReadTime = 0;  // becomes the new file's time
  std::string CfgPath;     // the meter's .cfg record; empty: left alone
  TMeterCfg Cfg;
};

struct ReportWriteSinks {
  ExchangeMonitor& Monitor;
  UserInterface& Ui;
  // Command-line use ends the program when a report file cannot be created.
  std::function<void()> CloseProgram;
};

enum class ReportWriteOutcome {
  Written,           // the new file, not joined
  Joined,            // the new file holds the previous file's archive and the new one
  LeftInTemporary,   // current-values reading: the data stays in the ".old" file
  PreviousNewer,     // the previous file is newer: the data stays in the ".old" file
  PreviousUnusable,  // the previous file is damaged: reported, the new file is written unjoined
  CreateFailed,      // reported; nothing else was done
};

enum class PreviousJoin {
  Joined,         // the image now holds the previous file's archive and its own
  PreviousNewer,  // the previous file is newer: the image is left as it was
  Unusable,       // the previous file is damaged (Problem says how): the image is left as it was
};

struct PreviousJoinResult {
  PreviousJoin Outcome = PreviousJoin::Unusable;
  std::string Problem;
};

// The join in memory: checks that `previous` (the previous reading's file) is
// a whole report of the image's format, then puts the hourly archives
// together and rebuilds the days and months.
PreviousJoinResult JoinPreviousReport(TTsvReportImage& image, std::span<const std::uint8_t> previous);
PreviousJoinResult JoinPreviousReport(TTsdReportImage& image, std::span<const std::uint8_t> previous);

// The join may grow the image's hourly table (and rebuilds its days and
// months) so that the image shows what the new file holds.
ReportWriteOutcome WriteReportFile(TTsvReportImage& image, const ReportWriteRequest& request,
                                   ReportWriteSinks& sinks);
ReportWriteOutcome WriteReportFile(TTsdReportImage& image, const ReportWriteRequest& request,
                                   ReportWriteSinks& sinks);

// The last-modified time of a file set to `dateTime` in the two-second steps
// of a FAT time stamp; nothing happens for a year outside 1980..2107 or a
// file that cannot be changed.
void SetReportFileTime(const std::string& pathText, TDateTime dateTime);

}  // namespace velk
