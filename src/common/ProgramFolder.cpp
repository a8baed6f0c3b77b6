#include "common/ProgramFolder.h"

#include <mutex>

#include "common/Platform.h"

namespace velk {

namespace {

// The override is process-wide configuration set once by tests and tools before use.
struct FolderOverride {
  std::mutex Mutex;
  std::filesystem::path Folder;
};

FolderOverride& Override() {
  static FolderOverride instance;
  return instance;
}

}  // namespace

std::filesystem::path ProgramFolder() {
  {
    std::lock_guard lock(Override().Mutex);
    if (!Override().Folder.empty()) return Override().Folder;
  }
  const auto executable = platform::ExecutablePath();
  if (executable.empty()) return std::filesystem::current_path();
  return executable.parent_path();
}

void SetProgramFolderOverride(const std::filesystem::path& folder) {
  std::lock_guard lock(Override().Mutex);
  Override().Folder = folder;
}

}  // namespace velk
