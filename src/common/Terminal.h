// Whether the program's standard output is a terminal (progress is then
// redrawn in place) or a file or pipe (plain lines).
#pragma once

namespace velk {

bool StandardOutputIsTerminal();

}  // namespace velk
