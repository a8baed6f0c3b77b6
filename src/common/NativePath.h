// Paths in settings and task files are text: backslashes become the native
// separator, a drive prefix "C:\..." maps to the folder "drive_c" inside the
// program folder, an absolute native path is used as it is, and a relative
// one is taken from the program folder.
#pragma once

#include <filesystem>
#include <string>

namespace velk {

std::filesystem::path ToNativePath(const std::string& pathText, const std::filesystem::path& programFolder);
// The same with the folder of the running program.
std::filesystem::path ToNativePath(const std::string& pathText);
// Creates the folder with all missing parents; false on failure.
bool CreateFolderChain(const std::filesystem::path& folder);

}  // namespace velk
