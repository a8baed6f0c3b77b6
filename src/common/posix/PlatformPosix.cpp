// POSIX side of common/Platform.h.
#include <time.h>

#include <system_error>

#include "common/Platform.h"

namespace velk::platform {

std::filesystem::path ExecutablePath() {
  std::error_code error;
  auto path = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return {};
  return std::filesystem::weakly_canonical(path, error);
}

std::filesystem::path DrivePath(char driveLetter, const std::filesystem::path& rest,
                                const std::filesystem::path& programFolder) {
  return programFolder / (std::string("drive_") + driveLetter) / rest;
}

bool MoveFileOver(const std::filesystem::path& from, const std::filesystem::path& to, std::string& error) {
  std::error_code renameError;
  std::filesystem::rename(from, to, renameError);
  if (renameError) error = renameError.message();
  return !renameError;
}

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

std::string DefaultSerialDevice(int portNumber) { return "/dev/ttyS" + std::to_string(portNumber - 1); }

DateTimeParts LocalTimeParts(std::time_t seconds, int milliseconds) {
  struct tm local {};
  localtime_r(&seconds, &local);
  return PartsOfTm(local, milliseconds);
}

}  // namespace velk::platform
