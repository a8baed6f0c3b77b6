// The few operating-system services the common helpers need; each OS
// implements them in its own folder (src/common/posix/, src/common/win/).
#pragma once

#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "common/DateTime.h"

namespace velk::platform {

// Path of the running executable, symbolic links resolved; empty when unknown.
std::filesystem::path ExecutablePath();
// The serial device of a port "COM<n>" (n >= 1) that the port map does not name.
std::string DefaultSerialDevice(int portNumber);
// Calendar fields of a moment in the computer's local time zone.
DateTimeParts LocalTimeParts(std::time_t seconds, int milliseconds);
// The folder a path "X:\rest" names: on Windows that drive; elsewhere the folder
// "drive_x" inside the program folder, so that the default data folder works.
std::filesystem::path DrivePath(char driveLetter, const std::filesystem::path& rest,
                                const std::filesystem::path& programFolder);
// Puts `from` in the place of `to` (same folder) in one step that a crash does not
// leave half done; false with `error` set.
bool MoveFileOver(const std::filesystem::path& from, const std::filesystem::path& to, std::string& error);
// The program's arguments after its name, as UTF-8 texts.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

}  // namespace velk::platform
