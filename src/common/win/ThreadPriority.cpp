#include "common/ThreadPriority.h"

#include <windows.h>

namespace velk {

bool RaiseCurrentThreadPriority() {
  return ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL) != 0;
}

}  // namespace velk
