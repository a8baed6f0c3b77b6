// A user interface with a real main thread: calls synchronised from other
// threads wait in a queue until the main thread pumps messages, as in the GUI.
// The constructing thread is the main thread.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "common/UserInterface.h"

namespace velk::test {

class QueuedUserInterface final : public DirectUserInterface {
 public:
  void Synchronize(const std::function<void()>& fn) override;
  // Runs the queued calls, then OnPump (main thread only).
  void ProcessMessages() override;
  // Blocks until a worker waits in Synchronize (main thread only).
  void WaitForQueuedCall();

  std::function<void()> OnPump;

 private:
  struct Call {
    const std::function<void()>* Fn;
    bool Done = false;
  };
  const std::thread::id mainThread_ = std::this_thread::get_id();
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Call*> calls_;
};

}  // namespace velk::test
