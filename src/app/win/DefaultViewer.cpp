#include "app/ViewerLaunch.h"

namespace velk {

std::string DefaultViewerPath(const std::filesystem::path& programFolder) {
  return SiblingViewerPath(programFolder);
}

}  // namespace velk
