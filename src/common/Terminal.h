// Whether the program's standard output is a terminal (progress is then
// redrawn in place) or a file or pipe (plain lines).
#pragma once

namespace velk {

bool StandardOutputIsTerminal();
// Makes the console show the program's UTF-8 output as it is (the programs call it first).
void UseUtf8ConsoleOutput();

}  // namespace velk
