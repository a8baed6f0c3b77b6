#include "common/Terminal.h"

#include <unistd.h>

namespace velk {

bool StandardOutputIsTerminal() { return isatty(STDOUT_FILENO) == 1; }

// Terminals here take UTF-8 as it is.
void UseUtf8ConsoleOutput() {}

}  // namespace velk
