#include "common/ExchangeMonitor.h"

namespace velk {

void ExchangeMonitor::Append(const std::string& text) {
  if (text.empty()) return;
  std::vector<std::string> completed;
  std::function<void(const std::string&)> listener;
  {
    std::lock_guard lock(mutex_);
    std::string line;
    if (lastLineOpen_) {
      line = std::move(lines_.back());
      lines_.pop_back();
    }
    bool endsWithBreak = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
      const char c = text[i];
      endsWithBreak = c == '\r' || c == '\n';
      if (!endsWithBreak) {
        line += c;
        continue;
      }
      // "\r\n" and "\n\r" are one break; a lone "\r" or "\n" is one too.
      if (i + 1 < text.size() && (text[i + 1] == '\r' || text[i + 1] == '\n') && text[i + 1] != c) ++i;
      completed.push_back(line);
      lines_.push_back(std::move(line));
      line.clear();
    }
    lastLineOpen_ = !endsWithBreak;
    if (lastLineOpen_) lines_.push_back(std::move(line));
    while (lines_.size() > MaxLines) lines_.pop_front();
    listener = listener_;
  }
  if (listener) {
    for (const auto& done : completed) listener(done);
  }
}

void ExchangeMonitor::Clear() {
  std::function<void()> listener;
  {
    std::lock_guard lock(mutex_);
    lines_.clear();
    lastLineOpen_ = false;
    listener = clearListener_;
  }
  if (listener) listener();
}

std::vector<std::string> ExchangeMonitor::Lines() const {
  std::lock_guard lock(mutex_);
  return {lines_.begin(), lines_.end()};
}

std::size_t ExchangeMonitor::LineCount() const {
  std::lock_guard lock(mutex_);
  return lines_.size();
}

void ExchangeMonitor::SetLineListener(std::function<void(const std::string&)> listener) {
  std::lock_guard lock(mutex_);
  listener_ = std::move(listener);
}

void ExchangeMonitor::SetClearListener(std::function<void()> listener) {
  std::lock_guard lock(mutex_);
  clearListener_ = std::move(listener);
}

}  // namespace velk
