#include "common/NativePath.h"

#include <cctype>
#include <system_error>

#include "common/Platform.h"
#include "common/ProgramFolder.h"

namespace velk {

namespace {

// The rest of the text after a drive prefix "X:" or "X:\"; empty when there is no drive.
bool SplitDrive(const std::string& text, char& drive, std::string& rest) {
  if (text.size() < 2 || text[1] != ':' || !std::isalpha(static_cast<unsigned char>(text[0]))) return false;
  drive = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
  rest = text.substr(2);
  return true;
}

std::filesystem::path FromBackslashed(const std::string& text) {
  std::string generic = text;
  for (char& c : generic) {
    if (c == '\\') c = '/';
  }
  while (!generic.empty() && generic.front() == '/') generic.erase(generic.begin());
  return PathFromUtf8(generic).make_preferred();
}

}  // namespace

std::filesystem::path ToNativePath(const std::string& pathText, const std::filesystem::path& programFolder) {
  char drive = 'c';
  std::string rest;
  if (SplitDrive(pathText, drive, rest)) {
    return platform::DrivePath(drive, FromBackslashed(rest), programFolder);
  }
  // "\folder\file": the root of the current drive, taken as drive C.
  if (!pathText.empty() && pathText[0] == '\\' && pathText.rfind("\\\\", 0) != 0) {
    return platform::DrivePath('c', FromBackslashed(pathText), programFolder);
  }
  std::string generic = pathText;
  for (char& c : generic) {
    if (c == '\\') c = '/';
  }
  const std::filesystem::path path = PathFromUtf8(generic).make_preferred();
  // A UNC name "\\\\server\\share" has no drive but is complete as it is.
  if (path.is_absolute() || path.has_root_directory()) return path;
  return programFolder / path;
}

std::filesystem::path PathFromUtf8(const std::string& text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::string Utf8FromPath(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::filesystem::path ToNativePath(const std::string& pathText) { return ToNativePath(pathText, ProgramFolder()); }

bool CreateFolderChain(const std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  return std::filesystem::is_directory(folder, error);
}

}  // namespace velk
