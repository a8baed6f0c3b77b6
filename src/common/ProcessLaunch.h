// Starting another program (the report viewer) as a detached process in its
// own session; it is never waited on and outlives this program.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace velk {

// false when the program cannot be started (missing, not executable).
bool LaunchDetached(const std::filesystem::path& program, const std::vector<std::string>& arguments);

}  // namespace velk
