// The folder of the running executable (symbolic links resolved), where
// VelkReader.cfg, VelkReader.ini and VelkReader.ports live. A program asks for
// it once at start and passes it on; tests pass their own folders instead.
#pragma once

#include <filesystem>

namespace velk {

std::filesystem::path ProgramFolder();

}  // namespace velk
