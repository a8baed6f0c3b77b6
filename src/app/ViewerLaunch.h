// The "ПРОСМОТР" action: the separate report viewer is started once per
// report file of the current image, each as a detached process.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace velk {

// The viewer's folder beside the program's folder: parent folder + "\VelkView120\VelkView120.exe".
std::string SiblingViewerPath(const std::filesystem::path& programFolder);
// The viewer a fresh installation has: on Windows the sibling folder one, elsewhere
// our own `VelkView` in the program folder (one file per system in app/posix, app/win).
std::string DefaultViewerPath(const std::filesystem::path& programFolder);
// An empty viewer path of the settings becomes the default one. So does the
// sibling folder path where it is not the default and no such file exists: an
// earlier start put it there, not the user.
std::string ViewerPathOrDefault(const std::string& viewerPath, const std::filesystem::path& programFolder);

using ProcessStarter = std::function<bool(const std::filesystem::path&, const std::vector<std::string>&)>;

// AcView: starts the viewer with report file name 1 and, when set, name 2 as
// its only argument (path texts as the settings hold them). Nothing happens
// while the busy flag is set; failures are silent. Returns the processes started.
int AcView(const std::string& viewerPath, const std::string& reportName1, const std::string& reportName2,
           bool busy, const ProcessStarter& start);
int AcView(const std::string& viewerPath, const std::string& reportName1, const std::string& reportName2,
           bool busy);

}  // namespace velk
