// The command-line program: the system's command-line mode ("?", "-P", "-B",
// "-A", "-M", "-S", "-F"), a single dump's data views printed, a reading's
// progress on the terminal, and the carrier operations ("--carrier=...").
// Options of its own start with "--" and never reach the command-line mode.
// velkreader is this alone; VelkReader runs it when given switches.
#pragma once

namespace velk {

// The whole program on argc/argv; returns the exit status (ExitCodes.h).
int RunConsoleProgram(int argc, char** argv);

}  // namespace velk
