#include "app/ViewerLaunch.h"

namespace velk {

// Our own report viewer, built beside the program.
std::string DefaultViewerPath(const std::filesystem::path& programFolder) {
  std::filesystem::path folder = programFolder;
  if (!folder.has_filename()) folder = folder.parent_path();
  return (folder / "VelkView").string();
}

}  // namespace velk
