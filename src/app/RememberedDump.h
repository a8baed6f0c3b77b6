// VelkReader.ini in the program folder: its first line is the path of the
// dump opened last, which presets the open dialog.
#pragma once

#include <filesystem>
#include <string>

namespace velk {

std::filesystem::path IniFilePath(const std::filesystem::path& programFolder);
// The remembered path; empty when the file is missing or unreadable.
std::string ReadRememberedDump(const std::filesystem::path& iniFile);
// Rewrites the file with the path as its only line; false when that fails.
bool RememberDump(const std::filesystem::path& iniFile, const std::string& dumpPath);

}  // namespace velk
