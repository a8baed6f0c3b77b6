#include "common/ProgramFolder.h"

#include "common/Platform.h"

namespace velk {

std::filesystem::path ProgramFolder() {
  const auto executable = platform::ExecutablePath();
  if (executable.empty()) return std::filesystem::current_path();
  return executable.parent_path();
}

}  // namespace velk
