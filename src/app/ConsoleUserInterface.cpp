#include "app/ConsoleUserInterface.h"

namespace velk {
namespace {

// Message boxes break lines with CR, CR LF or LF CR; the console with LF.
std::string ConsoleLines(const std::string& text) {
  std::string lines;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '\r' && c != '\n') {
      lines += c;
      continue;
    }
    lines += '\n';
    if (i + 1 < text.size() && (text[i + 1] == '\r' || text[i + 1] == '\n') && text[i + 1] != c) ++i;
  }
  return lines;
}

}  // namespace

ConsoleUserInterface::ConsoleUserInterface(std::ostream& messages)
    : messages_(messages), mainThread_(std::this_thread::get_id()) {}

void ConsoleUserInterface::ShowMessage(const std::string& text) {
  Synchronize([&] { messages_ << ConsoleLines(text) << std::endl; });
}

bool ConsoleUserInterface::Confirm(const std::string& text) {
  Synchronize(
      [&] { messages_ << ConsoleLines(text) << (ConfirmAnswer ? " -> yes" : " -> no") << std::endl; });
  return ConfirmAnswer;
}

void ConsoleUserInterface::SetStatusText(const std::string& text, Colour colour) {
  Synchronize([&] {
    if (StatusListener) StatusListener(text, colour);
  });
}

void ConsoleUserInterface::SetCaption(const std::string& text) {
  Synchronize([&] { Caption = text; });
}

void ConsoleUserInterface::Synchronize(const std::function<void()>& fn) {
  if (OnMainThread()) {
    fn();
    return;
  }
  Call call{fn, nullptr, false};
  std::unique_lock lock(mutex_);
  calls_.push_back(&call);
  queued_.notify_all();
  finished_.wait(lock, [&] { return call.Done; });
  if (call.Error) std::rethrow_exception(call.Error);
}

void ConsoleUserInterface::ProcessMessages() {
  std::unique_lock lock(mutex_);
  while (!calls_.empty()) {
    Call* call = calls_.front();
    calls_.pop_front();
    lock.unlock();
    try {
      call->Fn();
    } catch (...) {
      call->Error = std::current_exception();
    }
    lock.lock();
    call->Done = true;
    finished_.notify_all();
  }
}

void ConsoleUserInterface::RunUntil(const std::function<bool()>& done, std::chrono::milliseconds tickInterval,
                                    const std::function<void()>& tick) {
  auto nextTick = std::chrono::steady_clock::now();
  while (true) {
    ProcessMessages();
    if (done()) return;
    if (std::chrono::steady_clock::now() >= nextTick) {
      if (tick) tick();
      nextTick = std::chrono::steady_clock::now() + tickInterval;
      if (done()) return;
    }
    std::unique_lock lock(mutex_);
    queued_.wait_until(lock, nextTick, [&] { return !calls_.empty(); });
  }
}

}  // namespace velk
