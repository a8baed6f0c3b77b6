// Test helpers shared by every test folder.
//
// TempDir: a fresh, empty folder under the system's temporary folder, removed
// with everything in it when the object goes out of scope.
//
//   velk::test::TempDir dir;
//   velk::test::WriteBytes(dir / "a.dat", {0x01, 0x02});
//   EXPECT_EQ(velk::test::ReadBytes(dir / "a.dat").size(), 2u);
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace velk::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(const std::filesystem::path& relative) const { return path_ / relative; }
  // Path as a UTF-8 string, the way settings and task files give paths.
  std::string Text() const;

 private:
  std::filesystem::path path_;
};

// Creates (replaces) `file` with the bytes, creating missing parent folders.
void WriteBytes(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes);
// The whole file; empty when it cannot be read.
std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& file);
// Bytes of a string literal, e.g. BytesOf("Vers 53").
std::vector<std::uint8_t> BytesOf(const std::string& text);

}  // namespace velk::test
