// The Windows side of ports and paths: "\\.\COM<n>", drive letters that name
// drives, and Cyrillic names that reach the disk through the wide-character API.
#include <windows.h>

#include <gtest/gtest.h>

#include "common/FileReplace.h"
#include "common/NativePath.h"
#include "common/PortMap.h"
#include "common/ProgramFolder.h"
#include "support/TempDir.h"

namespace velk {
namespace {

TEST(ProgramFolder, IsTheFolderOfTheTestExecutable) {
  EXPECT_TRUE(std::filesystem::exists(ProgramFolder() / L"test_common.exe"));
}

TEST(WindowsPaths, DriveLettersNameDrivesAndPortsAreTheSystems) {
  const std::filesystem::path folder = L"C:\\velk";
  EXPECT_EQ(ToNativePath("C:\\KORVAN\\Данные", folder), std::filesystem::path(L"C:\\KORVAN\\Данные"));
  EXPECT_EQ(ToNativePath("d:\\x\\y.dat", folder), std::filesystem::path(L"D:\\x\\y.dat"));
  EXPECT_EQ(ToNativePath("\\VelkView120\\VelkView120.exe", folder),
            std::filesystem::path(L"C:\\VelkView120\\VelkView120.exe"));
  EXPECT_EQ(ToNativePath("\\\\server\\share\\a.tsv", folder), std::filesystem::path(L"\\\\server\\share\\a.tsv"));
  EXPECT_EQ(Utf8FromPath(ToNativePath("C:\\KORVAN\\Данные", folder)), "C:\\KORVAN\\Данные");
  EXPECT_EQ(PortMap{}.DevicePath("COM7"), "\\\\.\\COM7");
  EXPECT_EQ(PortMap{}.DevicePath("COM12"), "\\\\.\\COM12");
}

// Every name in a folder, as the system lists it.
std::vector<std::wstring> NamesIn(const std::filesystem::path& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found{};
  HANDLE search = ::FindFirstFileW((folder / L"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
  return names;
}

TEST(WindowsPaths, CyrillicFolderAndFileNamesReachTheDiskAsSuch) {
  test::TempDir dir;
  const std::string folderText = dir.Text() + "\\Данные\\53-12345";
  ASSERT_TRUE(CreateFolderChain(ToNativePath(folderText)));
  const std::vector<std::uint8_t> bytes = {1, 2, 3};
  std::string error;
  ASSERT_TRUE(ReplaceFileContents(ToNativePath(folderText + "\\Отчёт-001.tsv"), bytes, &error)) << error;
  ASSERT_TRUE(ReplaceFileContents(ToNativePath(folderText + "\\Отчёт-001.tsv"), {bytes.data(), 2}, &error))
      << error;

  EXPECT_EQ(NamesIn(dir.Path()), std::vector<std::wstring>{L"Данные"});
  EXPECT_EQ(NamesIn(dir.Path() / L"Данные" / L"53-12345"), std::vector<std::wstring>{L"Отчёт-001.tsv"});
  std::string read;
  ASSERT_TRUE(ReadWholeFile(dir.Path() / L"Данные" / L"53-12345" / L"Отчёт-001.tsv", read, 10));
  EXPECT_EQ(read, "\x01\x02");
}

}  // namespace
}  // namespace velk
