// The program's command line: "?" for the usage box, a single dump to open,
// or the switches "-P", "-B", "-A", "-M", "-S" and "-F" of the command-line
// mode. Parsing is pure; Application carries the request out.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace velk {

// Any argument that is exactly "?".
bool UsageRequested(const std::vector<std::string>& args);
std::string UsageCaption();
// The usage box's lines; the box joins them with LF CR.
std::vector<std::string> UsageLines();
std::string UsageMessage();

// Ends in ".dat", ".DAT", ".dtm", ".VTB" or ".vtb" and does not start with "-".
bool IsDumpName(const std::string& arg);

enum class StartMode { Interactive, OpenDump, CommandLine };
StartMode ChooseStartMode(const std::vector<std::string>& args);

enum class CommandAction { None, DecodeDump, ReadRs232, ReadRs485, ReadModem, ReadModemRs485, TaskFile };

struct CommandLineRequest {
  // Set by the first pass: the last "-P<n>" names the RS232 port COMn.
  std::optional<int> Rs232PortNumber;
  // The first argument of the second pass that acts.
  CommandAction Action = CommandAction::None;
  std::string Value;    // dump path, phone number or task file path
  std::string Address;  // network address text of "-A" and "-S"
  // Non-empty when a switch cannot be carried out (it names the argument).
  std::string Error;
};

// A path given on the command line: a relative one is taken from the current
// folder (settings paths are taken from the program folder instead).
std::string CommandLinePath(const std::string& text);

// The two passes over the arguments of the command-line mode.
CommandLineRequest ParseCommandLine(const std::vector<std::string>& args);

}  // namespace velk
