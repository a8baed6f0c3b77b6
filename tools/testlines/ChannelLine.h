// A line end over a buffered channel of the platform (a descriptor on POSIX, a
// socket on Windows): both offer WriteAll, ReadSome and Failed.
#pragma once

#include <utility>

#include "testlines/TestLine.h"

namespace velk::testlines {

template <class Channel>
class ChannelLine final : public LineEnd {
 public:
  template <class Handle>
  explicit ChannelLine(Handle handle) : channel_(std::move(handle)) {}
  bool Write(std::span<const std::uint8_t> bytes, int timeoutMs) override {
    return channel_.WriteAll(bytes, timeoutMs);
  }
  std::size_t Read(std::span<std::uint8_t> into, int timeoutMs) override {
    return channel_.ReadSome(into, timeoutMs);
  }
  bool Failed() const override { return channel_.Failed(); }

 private:
  Channel channel_;
};

}  // namespace velk::testlines
