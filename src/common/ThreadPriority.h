// Worker threads that talk to a line ask for the highest scheduling priority;
// without the privilege for it they keep the one they have.
#pragma once

namespace velk {

// Raises the calling thread's priority as far as allowed; false when it stayed as it was.
bool RaiseCurrentThreadPriority();

}  // namespace velk
