#include "testlines/StopSignal.h"

#include <windows.h>

namespace velk::testlines {

namespace {
HANDLE StopEvent() {
  static const HANDLE event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  return event;
}

BOOL WINAPI OnConsoleEvent(DWORD) {
  ::SetEvent(StopEvent());
  return TRUE;
}
}  // namespace

void PrepareStopRequest() { ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE); }

void WaitForStopRequest() { ::WaitForSingleObject(StopEvent(), INFINITE); }

}  // namespace velk::testlines
