// Carriers from the command line, without the window:
//
//   --carrier=nkp|ltr --port=COM<n> ACTION
//
// ACTION: list | copy ROWS | copy-delete ROWS | delete ROWS | undelete BLOCK |
// clear | check | clock, with ROWS "all" or 1-based row numbers separated by
// commas. Each copied file is stored and decoded as the copy operation does.
// Messages go to the error stream; the list goes to the output stream.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "carrier/CarrierPage.h"
#include "carrier/UnNitka2.h"

namespace velk {

// Exit codes of a carrier run.
constexpr int CarrierExitOk = 0;
constexpr int CarrierExitFailed = 1;  // the carrier operation failed (its message was printed)
constexpr int CarrierExitUsage = 2;   // wrong options

struct CarrierCommandLineContext {
  CarrierSettings Settings;  // port speed, waits, retries and the correction flag of the settings record
  TDumpImage& Image;
  CarrierFileStore& Store;
  UserInterface& Ui;  // synchronised calls of the worker; ProcessMessages is the wait loop's pump
  const Clock& PresentClock;
  std::ostream& Out;
  std::ostream& Err;
  SerialPortFactory Ports;
};

// True when the arguments ask for a carrier run (an argument starting with "--carrier=").
bool IsCarrierCommandLine(const std::vector<std::string>& args);

// Runs one carrier action; `args` are the program's arguments without the program name.
int RunCarrierCommandLine(const std::vector<std::string>& args, CarrierCommandLineContext& ctx);

}  // namespace velk
