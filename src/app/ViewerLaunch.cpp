#include "app/ViewerLaunch.h"

#include "app/AppTexts.h"
#include "common/NativePath.h"
#include "common/ProcessLaunch.h"

namespace velk {

std::string SiblingViewerPath(const std::filesystem::path& programFolder) {
  std::filesystem::path folder = programFolder;
  if (!folder.has_filename()) folder = folder.parent_path();  // "a/b/" names "a/b"
  return Utf8FromPath(folder.parent_path()) + std::string(texts::ViewerRelativePath);
}

std::string ViewerPathOrDefault(const std::string& viewerPath, const std::filesystem::path& programFolder) {
  if (viewerPath.empty()) return DefaultViewerPath(programFolder);
  std::error_code ec;
  const bool staleSibling = viewerPath == SiblingViewerPath(programFolder) &&
                            viewerPath != DefaultViewerPath(programFolder) &&
                            !std::filesystem::exists(ToNativePath(viewerPath), ec);
  return staleSibling ? DefaultViewerPath(programFolder) : viewerPath;
}

int AcView(const std::string& viewerPath, const std::string& reportName1, const std::string& reportName2,
           bool busy, const ProcessStarter& start) {
  if (busy) return 0;
  int started = 0;
  for (const std::string* report : {&reportName1, &reportName2}) {
    if (report->empty()) continue;
    if (start(ToNativePath(viewerPath), {Utf8FromPath(ToNativePath(*report))})) ++started;
  }
  return started;
}

int AcView(const std::string& viewerPath, const std::string& reportName1, const std::string& reportName2,
           bool busy) {
  return AcView(viewerPath, reportName1, reportName2, busy, LaunchDetached);
}

}  // namespace velk
