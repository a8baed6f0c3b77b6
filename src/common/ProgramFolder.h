// The folder of the running executable (symbolic links resolved), where
// VelkReader.cfg, VelkReader.ini and VelkReader.ports live.
#pragma once

#include <filesystem>

namespace velk {

std::filesystem::path ProgramFolder();
// Tests and tools may point the program folder elsewhere.
void SetProgramFolderOverride(const std::filesystem::path& folder);

}  // namespace velk
