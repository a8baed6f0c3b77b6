#include "common/NativePath.h"

#include <cctype>
#include <system_error>

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
  return std::filesystem::path(generic).make_preferred();
}

}  // namespace

std::filesystem::path ToNativePath(const std::string& pathText, const std::filesystem::path& programFolder) {
  char drive = 'c';
  std::string rest;
  if (SplitDrive(pathText, drive, rest)) {
    return programFolder / (std::string("drive_") + drive) / FromBackslashed(rest);
  }
  // "\folder\file": the root of the current drive, taken as drive C.
  if (!pathText.empty() && pathText[0] == '\\' && pathText.rfind("\\\\", 0) != 0) {
    return programFolder / "drive_c" / FromBackslashed(pathText);
  }
  std::string generic = pathText;
  for (char& c : generic) {
    if (c == '\\') c = '/';
  }
  const std::filesystem::path path = std::filesystem::path(generic).make_preferred();
  if (path.is_absolute()) return path;
  return programFolder / path;
}

std::filesystem::path ToNativePath(const std::string& pathText) { return ToNativePath(pathText, ProgramFolder()); }

bool CreateFolderChain(const std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  return std::filesystem::is_directory(folder, error);
}

}  // namespace velk
