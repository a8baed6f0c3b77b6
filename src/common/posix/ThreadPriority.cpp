#include "common/ThreadPriority.h"

#include <pthread.h>
#include <sched.h>

namespace velk {

bool RaiseCurrentThreadPriority() {
  sched_param param{};
  param.sched_priority = sched_get_priority_max(SCHED_FIFO);
  return param.sched_priority >= 0 && pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0;
}

}  // namespace velk
