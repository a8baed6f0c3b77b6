// Windows side of common/Platform.h.
#include <windows.h>
#include <shellapi.h>

#include <cctype>
#include <ctime>

#include "common/Platform.h"
#include "common/win/WideText.h"

namespace velk::platform {

std::filesystem::path ExecutablePath() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) {
      buffer.resize(length);
      return std::filesystem::path(buffer);
    }
    buffer.resize(buffer.size() * 2);  // the name was cut at the buffer's end
  }
}

std::string DefaultSerialDevice(int portNumber) { return "\\\\.\\COM" + std::to_string(portNumber); }

DateTimeParts LocalTimeParts(std::time_t seconds, int milliseconds) {
  struct tm local {};
  localtime_s(&local, &seconds);
  return PartsOfTm(local, milliseconds);
}

// "C:\KORVAN\Данные" is that folder on that drive.
std::filesystem::path DrivePath(char driveLetter, const std::filesystem::path& rest, const std::filesystem::path&) {
  const wchar_t root[] = {static_cast<wchar_t>(std::toupper(static_cast<unsigned char>(driveLetter))), L':', L'\\',
                          L'\0'};
  return std::filesystem::path(root) / rest;
}

// The arguments as the system holds them (wide characters), not as the ANSI code page renders them.
std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (!wide) return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
  std::vector<std::string> arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(win::Utf8FromWide(wide[i]));
  ::LocalFree(wide);
  return arguments;
}

}  // namespace velk::platform
