// Program folder, path text and file replacement (what is the same on every system;
// the system's own mapping is tested in posix/ and win/).
#include <gtest/gtest.h>

#include "common/Clock.h"
#include "common/FileReplace.h"
#include "common/NativePath.h"
#include "common/PortMap.h"
#include "common/ProgramFolder.h"
#include "support/TempDir.h"

namespace velk {
namespace {

using test::TempDir;

class ProgramFolderTest : public ::testing::Test {
 protected:
  TempDir dir;
};

TEST_F(ProgramFolderTest, RelativePathTextIsTakenFromTheProgramFolder) {
  const auto folder = dir.Path();
  EXPECT_EQ(ToNativePath("data\\53-12345", folder), folder / "data" / "53-12345");
  // Without a folder: the running program's.
  EXPECT_EQ(ToNativePath("data\\53-12345"), ProgramFolder() / "data" / "53-12345");
}

TEST_F(ProgramFolderTest, CreateFolderChain) {
  EXPECT_TRUE(CreateFolderChain(dir / "a" / "b" / "c"));
  EXPECT_TRUE(CreateFolderChain(dir / "a" / "b" / "c"));  // already there
  test::WriteBytes(dir / "file", {1});
  EXPECT_FALSE(CreateFolderChain(dir / "file" / "sub"));
}

TEST(FileReplace, ReplacesWholeFileAndLeavesNoTemporary) {
  TempDir dir;
  const auto target = dir / "x.dat";
  test::WriteBytes(target, std::vector<std::uint8_t>(100, 7));
  const std::vector<std::uint8_t> bytes = {1, 2, 3};
  ASSERT_TRUE(ReplaceFileContents(target, bytes));
  EXPECT_EQ(test::ReadBytes(target), bytes);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(FileReplace, FailureLeavesTargetUntouched) {
  TempDir dir;
  std::string error;
  EXPECT_EQ(ReplaceFileContentsStep(dir / "missing" / "x.dat", {}, &error), ReplaceStep::Create);
  EXPECT_FALSE(error.empty());
  std::filesystem::create_directory(dir / "folder");
  test::WriteBytes(dir / "folder" / "keep", {9});
  EXPECT_EQ(ReplaceFileContentsStep(dir / "folder", std::vector<std::uint8_t>{1}), ReplaceStep::Rename);
  EXPECT_TRUE(std::filesystem::is_directory(dir / "folder"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(ReadWholeFile, RefusesFilesAboveTheLimit) {
  TempDir dir;
  test::WriteBytes(dir / "f", {1, 2, 3});
  std::string bytes;
  EXPECT_TRUE(ReadWholeFile(dir / "f", bytes, 3));
  EXPECT_EQ(bytes, "\x01\x02\x03");
  EXPECT_FALSE(ReadWholeFile(dir / "f", bytes, 2));
  EXPECT_FALSE(ReadWholeFile(dir / "none", bytes, 2));
}

TEST(Clocks, ManualAndOffsetClocks) {
  ManualClock clock(*EncodeDate(2024, 1, 1));
  clock.AdvanceSeconds(90);
  EXPECT_EQ(TimeText(clock.Now()), "00:01:30");
  OffsetClock meter(clock, -30);
  EXPECT_EQ(TimeText(meter.Now()), "00:01:00");
  meter.SetOffsetSeconds(3600);
  EXPECT_EQ(TimeText(meter.Now()), "01:01:30");
  const TDateTime now = SystemClock::Instance().Now();
  EXPECT_GT(now, *EncodeDate(2020, 1, 1));
}

}  // namespace
}  // namespace velk
