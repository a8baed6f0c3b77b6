#include "common/posix/FdChannel.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

namespace velk::posix {

namespace {
long long MonotonicMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// poll() for one event, restarted after signals; returns the revents or -1.
int PollFor(int fd, short events, int timeoutMs) {
  Deadline deadline(timeoutMs);
  for (;;) {
    pollfd p{fd, events, 0};
    const int n = ::poll(&p, 1, deadline.RemainingMs());
    if (n > 0) return p.revents;
    if (n == 0) return 0;
    if (errno != EINTR) return -1;
  }
}

bool IsSocket(int fd) {
  struct stat st {};
  return fd >= 0 && ::fstat(fd, &st) == 0 && S_ISSOCK(st.st_mode);
}
}  // namespace

FdChannel::FdChannel(int fd) : fd_(fd), socket_(IsSocket(fd)) {}

Deadline::Deadline(int timeoutMs) : endMs_(MonotonicMs() + std::max(timeoutMs, 0)) {}

int Deadline::RemainingMs() const { return static_cast<int>(std::max(0LL, endMs_ - MonotonicMs())); }

bool MakeNonBlocking(int fd) {
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) < 0) return false;
  const int fdFlags = ::fcntl(fd, F_GETFD);
  return fdFlags >= 0 && ::fcntl(fd, F_SETFD, fdFlags | FD_CLOEXEC) >= 0;
}

bool FdChannel::WriteAll(std::span<const std::uint8_t> bytes, int timeoutMs) {
  if (fd_ < 0) return false;
  Deadline deadline(timeoutMs);
  std::size_t done = 0;
  while (done < bytes.size()) {
    const std::uint8_t* from = bytes.data() + done;
    const std::size_t count = bytes.size() - done;
    const ssize_t n = socket_ ? ::send(fd_, from, count, MSG_NOSIGNAL) : ::write(fd_, from, count);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
      failed_ = true;
      return false;
    }
    const int revents = PollFor(fd_, POLLOUT, deadline.RemainingMs());
    if (revents < 0 || (revents & (POLLERR | POLLHUP | POLLNVAL))) {
      failed_ = true;
      return false;
    }
    if (revents == 0) return false;  // timed out
  }
  return true;
}

bool FdChannel::Fill(int timeoutMs) {
  if (pos_ < len_) return true;
  if (fd_ < 0) return false;
  pos_ = len_ = 0;
  Deadline deadline(timeoutMs);
  for (;;) {
    const ssize_t n = ::read(fd_, buffer_.data(), buffer_.size());
    if (n > 0) {
      len_ = static_cast<std::size_t>(n);
      return true;
    }
    if (n == 0) {  // end of stream
      failed_ = true;
      return false;
    }
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) {
      failed_ = true;
      return false;
    }
    const int revents = PollFor(fd_, POLLIN, deadline.RemainingMs());
    if (revents == 0) return false;  // timed out
    if (revents < 0 || (!(revents & POLLIN) && (revents & (POLLERR | POLLHUP | POLLNVAL)))) {
      failed_ = true;
      return false;
    }
  }
}

std::optional<std::uint8_t> FdChannel::ReadByte(int timeoutMs) {
  if (!Fill(timeoutMs)) return std::nullopt;
  return buffer_[pos_++];
}

std::size_t FdChannel::ReadSome(std::span<std::uint8_t> into, int timeoutMs) {
  if (into.empty() || !Fill(timeoutMs)) return 0;
  const std::size_t n = std::min(into.size(), len_ - pos_);
  std::memcpy(into.data(), buffer_.data() + pos_, n);
  pos_ += n;
  return n;
}

void FdChannel::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  pos_ = len_ = 0;
}

}  // namespace velk::posix
