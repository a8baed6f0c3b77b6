// The exchange monitor: the log of a link's requests, answers and events,
// holding at most 1000 lines (the oldest go first). Written by worker threads,
// read by the main thread.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace velk {

class ExchangeMonitor {
 public:
  static constexpr std::size_t MaxLines = 1000;

  // Text may hold several lines ("\n", "\r", "\r\n" or "\n\r" separated); a text that
  // ends in a line break closes its line, otherwise the next Append continues it.
  void Append(const std::string& text);
  void Clear();
  std::vector<std::string> Lines() const;
  std::size_t LineCount() const;
  // Called with each completed line (for a live log); set before a worker starts.
  void SetLineListener(std::function<void(const std::string&)> listener);
  // Called after each Clear() (a live log empties itself); set before a worker starts.
  void SetClearListener(std::function<void()> listener);

 private:
  mutable std::mutex mutex_;
  std::deque<std::string> lines_;
  bool lastLineOpen_ = false;
  std::function<void(const std::string&)> listener_;
  std::function<void()> clearListener_;
};

}  // namespace velk
