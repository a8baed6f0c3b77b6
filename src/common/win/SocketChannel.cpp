#include "common/win/SocketChannel.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <mutex>

namespace velk::win {

namespace {
using SteadyClock = std::chrono::steady_clock;

int RemainingMs(SteadyClock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now()).count();
  return static_cast<int>(std::max<long long>(left, 0));
}
}  // namespace

bool StartWinsock() {
  static std::once_flag once;
  static bool started = false;
  std::call_once(once, [] {
    WSADATA data{};
    started = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
  });
  return started;
}

bool PrepareSocket(SOCKET socket) {
  u_long nonBlocking = 1;
  const BOOL one = TRUE;
  ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one), sizeof one);
  return ::ioctlsocket(socket, FIONBIO, &nonBlocking) == 0;
}

int WaitSocket(SOCKET socket, bool forWrite, int timeoutMs) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(socket, &set);
  fd_set failures;
  FD_ZERO(&failures);
  FD_SET(socket, &failures);
  timeval limit{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
  const int n = ::select(0, forWrite ? nullptr : &set, forWrite ? &set : nullptr, &failures, &limit);
  if (n < 0 || FD_ISSET(socket, &failures)) return -1;
  return n > 0 ? 1 : 0;
}

bool SocketChannel::WriteAll(std::span<const std::uint8_t> bytes, int timeoutMs) {
  if (socket_ == INVALID_SOCKET) return false;
  const auto deadline = SteadyClock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const int count = static_cast<int>(std::min<std::size_t>(bytes.size() - done, 65536));
    const int n = ::send(socket_, reinterpret_cast<const char*>(bytes.data() + done), count, 0);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
      continue;
    }
    if (::WSAGetLastError() != WSAEWOULDBLOCK) {
      failed_ = true;
      return false;
    }
    const int ready = WaitSocket(socket_, true, RemainingMs(deadline));
    if (ready < 0) {
      failed_ = true;
      return false;
    }
    if (ready == 0) return false;  // timed out
  }
  return true;
}

bool SocketChannel::Fill(int timeoutMs) {
  if (pos_ < len_) return true;
  if (socket_ == INVALID_SOCKET) return false;
  pos_ = len_ = 0;
  const auto deadline = SteadyClock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
  for (;;) {
    const int n = ::recv(socket_, reinterpret_cast<char*>(buffer_.data()), static_cast<int>(buffer_.size()), 0);
    if (n > 0) {
      len_ = static_cast<std::size_t>(n);
      return true;
    }
    if (n == 0 || ::WSAGetLastError() != WSAEWOULDBLOCK) {  // end of stream or a broken connection
      failed_ = true;
      return false;
    }
    const int ready = WaitSocket(socket_, false, RemainingMs(deadline));
    if (ready == 0) return false;  // timed out
    if (ready < 0) {
      failed_ = true;
      return false;
    }
  }
}

std::optional<std::uint8_t> SocketChannel::ReadByte(int timeoutMs) {
  if (!Fill(timeoutMs)) return std::nullopt;
  return buffer_[pos_++];
}

std::size_t SocketChannel::ReadSome(std::span<std::uint8_t> into, int timeoutMs) {
  if (into.empty() || !Fill(timeoutMs)) return 0;
  const std::size_t n = std::min(into.size(), len_ - pos_);
  std::memcpy(into.data(), buffer_.data() + pos_, n);
  pos_ += n;
  return n;
}

void SocketChannel::Close() {
  if (socket_ != INVALID_SOCKET) {
    ::shutdown(socket_, SD_BOTH);
    ::closesocket(socket_);
  }
  socket_ = INVALID_SOCKET;
  pos_ = len_ = 0;
}

}  // namespace velk::win
