// Names and folders of the report files. Paths are path text as the settings
// hold them ("C:\KORVAN\Данные\53-01234\TSV1\53-01234-1-007.tsv"); they are
// mapped to native paths only at the file system.
#pragma once

#include <string>

#include "decode/DecodedValues.h"

namespace velk {

// The five names a report writer works with. With a negative sequence number
// only NewFile is set (base + extension) and the other four are empty.
struct ReportFileSet {
  std::string NewFile;
  std::string PreviousFile;
  std::string TemporaryFile;
  std::string PreviousTemporaryFile;
  std::string TwoBackFile;
};

// At least three digits, a negative number with a leading "-" (-1 gives "-001").
std::string SequenceText(int number);

// Base name of a .tsv file of heating system `system` (1 or 2).
std::string TsvBaseName(const TDecodedValues& values, int system);
// Base name of a .tsd file of channel number `channelNumber` (index + 1).
std::string TsdBaseName(const TDecodedValues& values, int channelNumber);

ReportFileSet ReportFileNames(const std::string& folder, const std::string& baseName, int sequenceNumber,
                              const std::string& extension);

// The .tsv folder: the meter folder, with "\TSV1" or "\TSV2" when `subfolders`.
std::string TsvReportFolder(const std::string& meterFolder, int system, bool subfolders);
// The .tsd folder: always the meter folder + "\TSD" + channel number.
std::string TsdReportFolder(const std::string& meterFolder, int channelNumber);
// folder + "\" + name, a trailing "\" of the folder not doubled.
std::string JoinPathText(const std::string& folder, const std::string& name);

}  // namespace velk
