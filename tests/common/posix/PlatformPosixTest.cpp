// The POSIX side of ports and paths: VelkReader.ports, /dev/ttyS<n-1>, and
// drive letters mapped to folders inside the program folder.
#include <gtest/gtest.h>

#include "common/NativePath.h"
#include "common/PortMap.h"
#include "common/ProgramFolder.h"
#include "support/TempDir.h"

namespace velk {
namespace {

TEST(ProgramFolder, IsTheFolderOfTheTestExecutable) {
  const auto folder = ProgramFolder();
  EXPECT_TRUE(std::filesystem::is_directory(folder));
  EXPECT_TRUE(std::filesystem::exists(folder / "test_common"));
}

TEST(PosixPorts, PortMapFileAndDefaults) {
  test::TempDir dir;
  test::WriteBytes(
      dir / "VelkReader.ports",
      test::BytesOf("# test ports\r\n\r\nCOM3 = /dev/pts/7\ncom4=/dev/serial/by-id/usb-1\nbroken line\n"));
  const PortMap map = PortMap::LoadFromProgramFolder(dir.Path());
  EXPECT_EQ(map.DevicePath("COM3"), "/dev/pts/7");
  EXPECT_EQ(map.DevicePath("COM4"), "/dev/serial/by-id/usb-1");
  EXPECT_EQ(map.DevicePath("COM1"), "/dev/ttyS0");
  EXPECT_EQ(map.DevicePath("COM12"), "/dev/ttyS11");
  EXPECT_EQ(map.DevicePath("COM0"), "");
  EXPECT_EQ(map.DevicePath("COMX"), "");
  EXPECT_EQ(map.DevicePath("LPT1"), "");
  EXPECT_EQ(PortMap::Load(dir / "missing").DevicePath("COM2"), "/dev/ttyS1");
}

TEST(PosixPaths, DriveLettersLandInTheProgramFolder) {
  test::TempDir dir;
  const auto folder = dir.Path();
  EXPECT_EQ(ToNativePath("C:\\KORVAN\\Данные", folder), folder / "drive_c" / "KORVAN" / "Данные");
  EXPECT_EQ(ToNativePath("d:\\x\\y.dat", folder), folder / "drive_d" / "x" / "y.dat");
  EXPECT_EQ(ToNativePath("\\VelkView120\\VelkView120.exe", folder),
            folder / "drive_c" / "VelkView120" / "VelkView120.exe");
  EXPECT_EQ(ToNativePath("/tmp/a\\b.dat", folder), std::filesystem::path("/tmp/a/b.dat"));
}

}  // namespace
}  // namespace velk
