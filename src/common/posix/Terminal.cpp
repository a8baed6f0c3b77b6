#include "common/Terminal.h"

#include <unistd.h>

namespace velk {

bool StandardOutputIsTerminal() { return isatty(STDOUT_FILENO) == 1; }

}  // namespace velk
