// The few operating-system services the common helpers need; each OS
// implements them in its own folder (src/common/posix/ here).
#pragma once

#include <ctime>
#include <filesystem>
#include <string>

#include "common/DateTime.h"

namespace velk::platform {

// Path of the running executable, symbolic links resolved; empty when unknown.
std::filesystem::path ExecutablePath();
// The serial device of a port "COM<n>" (n >= 1) that the port map does not name.
std::string DefaultSerialDevice(int portNumber);
// Calendar fields of a moment in the computer's local time zone.
DateTimeParts LocalTimeParts(std::time_t seconds, int milliseconds);

}  // namespace velk::platform
