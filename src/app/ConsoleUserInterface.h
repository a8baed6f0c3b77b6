// The command-line program's user interface: messages go to standard error,
// the status line to a listener (the terminal progress display), and calls
// synchronised from worker threads queue up for the main thread's own loop.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <ostream>
#include <thread>

#include "common/UserInterface.h"

namespace velk {

class ConsoleUserInterface : public UserInterface {
 public:
  // The constructing thread is the main thread.
  explicit ConsoleUserInterface(std::ostream& messages);

  void ShowMessage(const std::string& text) override;
  // Answers every question with ConfirmAnswer (printed with the question).
  bool Confirm(const std::string& text) override;
  void SetStatusText(const std::string& text, Colour colour) override;
  void SetCaption(const std::string& text) override;
  // From a worker: queued, and the worker waits until the main loop has run
  // it (an exception thrown by fn is rethrown in the worker). On the main
  // thread: runs at once.
  void Synchronize(const std::function<void()>& fn) override;
  // Runs the queued calls (main thread only).
  void ProcessMessages() override;

  // The main loop: runs queued calls as they come and `tick` every tickInterval,
  // until `done` holds after a call or a tick.
  void RunUntil(const std::function<bool()>& done, std::chrono::milliseconds tickInterval,
                const std::function<void()>& tick);

  bool ConfirmAnswer = false;
  std::function<void(const std::string&, Colour)> StatusListener;
  std::string Caption;

 private:
  struct Call {
    std::function<void()> Fn;
    std::exception_ptr Error;
    bool Done = false;
  };
  bool OnMainThread() const { return std::this_thread::get_id() == mainThread_; }

  std::ostream& messages_;
  const std::thread::id mainThread_;
  std::mutex mutex_;
  std::condition_variable queued_;
  std::condition_variable finished_;
  std::deque<Call*> calls_;
};

}  // namespace velk
