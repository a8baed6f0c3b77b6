// The viewer "ПРОСМОТР" starts when no viewer is set: on POSIX systems our own
// VelkView beside the program.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/ViewerLaunch.h"

namespace velk {
namespace {

namespace fs = std::filesystem;

TEST(Viewer, EmptyPathBecomesVelkViewBesideTheProgramTheUsersPathWins) {
  EXPECT_EQ(SiblingViewerPath("/opt/velk/bin/"), "/opt/velk\\VelkView120\\VelkView120.exe");
  EXPECT_EQ(ViewerPathOrDefault("", "/opt/velk/bin"), "/opt/velk/bin/VelkView");
  EXPECT_EQ(ViewerPathOrDefault("", "/opt/velk/bin/"), "/opt/velk/bin/VelkView");
  EXPECT_EQ(ViewerPathOrDefault("/usr/bin/view", "/opt/velk/bin"), "/usr/bin/view");
  // The sibling path an earlier start stored gives way, unless such a viewer is really there.
  EXPECT_EQ(ViewerPathOrDefault("/opt/velk\\VelkView120\\VelkView120.exe", "/opt/velk/bin"),
            "/opt/velk/bin/VelkView");
  const fs::path folder = fs::temp_directory_path() / ("velk-sibling-" + std::to_string(getpid()));
  fs::create_directories(folder / "VelkView120");
  std::ofstream(folder / "VelkView120" / "VelkView120.exe") << "x";
  const std::string sibling = SiblingViewerPath(folder / "bin");
  EXPECT_EQ(ViewerPathOrDefault(sibling, folder / "bin"), sibling);
  fs::remove_all(folder);
}

}  // namespace
}  // namespace velk
