// Bounded reads and writes on a non-blocking file descriptor (serial device,
// pseudo-terminal master, socket): every wait is a poll() with a limit, reads
// are buffered so that single-byte reads cost no system call per byte. Writes
// to a socket whose peer has gone fail instead of raising SIGPIPE.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace velk::posix {

class FdChannel {
 public:
  FdChannel() = default;
  explicit FdChannel(int fd);
  FdChannel(const FdChannel&) = delete;
  FdChannel& operator=(const FdChannel&) = delete;
  ~FdChannel() { Close(); }

  int Fd() const { return fd_; }
  bool IsOpen() const { return fd_ >= 0; }
  // Set once the peer has gone (end of stream, hang-up) or a call failed.
  bool Failed() const { return failed_; }

  // Writes everything within timeoutMs; false on failure or timeout.
  bool WriteAll(std::span<const std::uint8_t> bytes, int timeoutMs);
  // One byte within timeoutMs; nullopt on timeout or failure.
  std::optional<std::uint8_t> ReadByte(int timeoutMs);
  // Waits at most timeoutMs for data, then copies what is there (up to the span's size).
  std::size_t ReadSome(std::span<std::uint8_t> into, int timeoutMs);
  // Forgets bytes read from the descriptor but not yet handed out.
  void DropBuffered() { pos_ = len_ = 0; }
  void Close();

 private:
  bool Fill(int timeoutMs);

  int fd_ = -1;
  bool socket_ = false;  // written with send(), so that a closed peer gives EPIPE and no signal
  bool failed_ = false;
  std::array<std::uint8_t, 4096> buffer_{};
  std::size_t pos_ = 0, len_ = 0;
};

// Sets O_NONBLOCK and FD_CLOEXEC; false on failure.
bool MakeNonBlocking(int fd);

// Milliseconds left until a deadline taken from the monotonic clock.
class Deadline {
 public:
  explicit Deadline(int timeoutMs);
  int RemainingMs() const;

 private:
  long long endMs_;
};

}  // namespace velk::posix
