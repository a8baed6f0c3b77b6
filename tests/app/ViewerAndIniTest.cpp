#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "app/RememberedDump.h"
#include "app/ViewerLaunch.h"

namespace velk {
namespace {

namespace fs = std::filesystem;

struct Started {
  fs::path Program;
  std::vector<std::string> Arguments;
};

TEST(Viewer, OneProcessPerReportNameNoneWhileBusy) {
  std::vector<Started> started;
  const ProcessStarter record = [&](const fs::path& program, const std::vector<std::string>& arguments) {
    started.push_back({program, arguments});
    return true;
  };
  EXPECT_EQ(AcView("/v/view", "/d/53-1-001-01.tsv", "/d/53-1-001-02.tsv", false, record), 2);
  ASSERT_EQ(started.size(), 2u);
  EXPECT_EQ(started[0].Program, "/v/view");
  EXPECT_EQ(started[0].Arguments, std::vector<std::string>{"/d/53-1-001-01.tsv"});
  EXPECT_EQ(started[1].Arguments, std::vector<std::string>{"/d/53-1-001-02.tsv"});

  started.clear();
  EXPECT_EQ(AcView("/v/view", "/d/a-01.tsv", "", false, record), 1);
  EXPECT_EQ(AcView("/v/view", "/d/a-01.tsv", "", true, record), 0);
  EXPECT_EQ(started.size(), 1u);
}

TEST(Viewer, RealLaunchStartsADetachedProcessAndReportsAMissingProgram) {
  const fs::path folder = fs::temp_directory_path() / ("velk-viewer-" + std::to_string(getpid()));
  fs::create_directories(folder);
  const fs::path marker = folder / "seen";
  EXPECT_EQ(AcView("/bin/touch", marker.string(), "", false), 1);
  for (int i = 0; i < 500 && !fs::exists(marker); ++i) usleep(10000);
  EXPECT_TRUE(fs::exists(marker));
  EXPECT_EQ(AcView((folder / "no-such-viewer").string(), marker.string(), "", false), 0);
  fs::remove_all(folder);
}

TEST(RememberedDump, MissingFileGivesAnEmptyPathRewriteKeepsOneLine) {
  const fs::path folder = fs::temp_directory_path() / ("velk-ini-" + std::to_string(getpid()));
  fs::create_directories(folder);
  const fs::path ini = IniFilePath(folder);
  EXPECT_EQ(ReadRememberedDump(ini), "");
  ASSERT_TRUE(RememberDump(ini, "C:\\KORVAN\\Данные\\53-12345\\DAT\\53-12345-001.dat"));
  ASSERT_TRUE(RememberDump(ini, "C:\\KORVAN\\Данные\\53-12345\\DAT\\53-12345-002.dat"));
  EXPECT_EQ(ReadRememberedDump(ini), "C:\\KORVAN\\Данные\\53-12345\\DAT\\53-12345-002.dat");
  std::string bytes;
  {  // closed before the folder goes: Windows keeps an open file from being removed
    std::ifstream in(ini, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  EXPECT_EQ(bytes,
            "C:\\KORVAN\\\xC4\xE0\xED\xED\xFB\xE5\\53-12345\\DAT\\53-12345-002.dat\r\n");  // Windows-1251
  fs::remove_all(folder);
}

}  // namespace
}  // namespace velk
