// velkreader: the command-line program (no Qt).
#include "app/ConsoleProgram.h"

int main(int argc, char** argv) { return velk::RunConsoleProgram(argc, argv); }
