// File replacement on Windows: the move replaces the target and returns only once
// it is on the disk, so a crash leaves either the old file or the new one.
#include <windows.h>

#include "common/Platform.h"
#include "common/win/WideText.h"

namespace velk::platform {

bool MoveFileOver(const std::filesystem::path& from, const std::filesystem::path& to, std::string& error) {
  if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
  error = win::ErrorText(::GetLastError());
  return false;
}

}  // namespace velk::platform
