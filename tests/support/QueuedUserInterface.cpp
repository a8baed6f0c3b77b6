#include "support/QueuedUserInterface.h"

namespace velk::test {

void QueuedUserInterface::Synchronize(const std::function<void()>& fn) {
  if (std::this_thread::get_id() == mainThread_) {
    fn();
    return;
  }
  Call call{&fn};
  std::unique_lock lock(mutex_);
  calls_.push_back(&call);
  changed_.notify_all();
  changed_.wait(lock, [&] { return call.Done; });
}

void QueuedUserInterface::ProcessMessages() {
  std::unique_lock lock(mutex_);
  while (!calls_.empty()) {
    Call* call = calls_.front();
    calls_.pop_front();
    lock.unlock();
    (*call->Fn)();
    lock.lock();
    call->Done = true;
    changed_.notify_all();
  }
  lock.unlock();
  if (OnPump) OnPump();
}

void QueuedUserInterface::WaitForQueuedCall() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return !calls_.empty(); });
}

}  // namespace velk::test
