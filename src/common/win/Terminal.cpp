#include "common/Terminal.h"

#include <windows.h>

namespace velk {

bool StandardOutputIsTerminal() {
  DWORD mode = 0;
  return ::GetConsoleMode(::GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

// The console's own code page (866 or 1251 on Russian systems) would show the
// program's UTF-8 texts as other letters.
void UseUtf8ConsoleOutput() {
  ::SetConsoleOutputCP(CP_UTF8);
  ::SetConsoleCP(CP_UTF8);
}

}  // namespace velk
