// Exit status of the command-line program. A failed direct reading exits with
// its reader Status (1..15, or 100 when no exchange took place); the other
// failures have codes of their own above that range's common values.
#pragma once

namespace velk::exitcode {

constexpr int Success = 0;
constexpr int CommandLineError = 20;    // unusable switch or option, or nothing to do
constexpr int DecodeFailed = 21;        // the dump could not be read or decoded
constexpr int TaskFileMissing = 22;     // the task file cannot be opened
constexpr int DumpWriteFailed = 23;     // the dump file could not be written
constexpr int TaskReadingFailed = 24;   // at least one meter of the task file was not read
constexpr int CarrierFailed = 25;       // a carrier operation failed
constexpr int ReportExportFailed = 26;  // --csv: the report was refused or the CSV not written

}  // namespace velk::exitcode
