#include "app/RememberedDump.h"

#include "common/FileReplace.h"
#include "common/Text1251.h"

namespace velk {
namespace {
constexpr std::size_t MaxIniBytes = 64 * 1024;
}

std::filesystem::path IniFilePath(const std::filesystem::path& programFolder) {
  return programFolder / "VelkReader.ini";
}

std::string ReadRememberedDump(const std::filesystem::path& iniFile) {
  std::string bytes;
  if (!ReadWholeFile(iniFile, bytes, MaxIniBytes)) return {};
  const std::size_t end = bytes.find_first_of("\r\n");
  return Cp1251ToUtf8(bytes.substr(0, end));
}

bool RememberDump(const std::filesystem::path& iniFile, const std::string& dumpPath) {
  const std::string line = Utf8ToCp1251(dumpPath) + "\r\n";
  return ReplaceFileContents(iniFile, {reinterpret_cast<const std::uint8_t*>(line.data()), line.size()});
}

}  // namespace velk
