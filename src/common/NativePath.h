// Paths in settings and task files are text: backslashes become the native
// separator, a drive prefix "C:\..." names that drive on Windows and the folder
// "drive_c" inside the program folder elsewhere, an absolute native path is used
// as it is, and a relative one is taken from the program folder.
// Path texts are UTF-8; they become paths only through PathFromUtf8, so that on
// Windows Cyrillic names reach the wide-character file API unchanged.
#pragma once

#include <filesystem>
#include <string>

namespace velk {

std::filesystem::path ToNativePath(const std::string& pathText, const std::filesystem::path& programFolder);
// A UTF-8 text as a path, and a path as UTF-8 text (never the Windows ANSI code page).
std::filesystem::path PathFromUtf8(const std::string& text);
std::string Utf8FromPath(const std::filesystem::path& path);
// The same with the folder of the running program.
std::filesystem::path ToNativePath(const std::string& pathText);
// Creates the folder with all missing parents; false on failure.
bool CreateFolderChain(const std::filesystem::path& folder);

}  // namespace velk
