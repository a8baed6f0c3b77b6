// Bounded reads and writes on a non-blocking Winsock socket: every wait is a
// select() with a limit; reads are buffered so that single-byte reads cost no
// system call per byte.
#pragma once

#include <winsock2.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace velk::win {

// Starts Winsock once for the process; false when it cannot be started.
bool StartWinsock();
// Makes a socket non-blocking and switches off send coalescing; false on failure.
bool PrepareSocket(SOCKET socket);

class SocketChannel {
 public:
  explicit SocketChannel(SOCKET socket) : socket_(socket) {}
  SocketChannel(const SocketChannel&) = delete;
  SocketChannel& operator=(const SocketChannel&) = delete;
  ~SocketChannel() { Close(); }

  bool IsOpen() const { return socket_ != INVALID_SOCKET; }
  // Set once the peer has gone or a call failed.
  bool Failed() const { return failed_; }
  bool WriteAll(std::span<const std::uint8_t> bytes, int timeoutMs);
  std::optional<std::uint8_t> ReadByte(int timeoutMs);
  // Waits at most timeoutMs for data, then copies what is there.
  std::size_t ReadSome(std::span<std::uint8_t> into, int timeoutMs);
  void Close();

 private:
  bool Fill(int timeoutMs);

  SOCKET socket_;
  bool failed_ = false;
  std::array<std::uint8_t, 4096> buffer_{};
  std::size_t pos_ = 0, len_ = 0;
};

// Waits at most timeoutMs until the socket can be read (or written); 1 ready, 0 timed out, -1 failed.
int WaitSocket(SOCKET socket, bool forWrite, int timeoutMs);

}  // namespace velk::win
