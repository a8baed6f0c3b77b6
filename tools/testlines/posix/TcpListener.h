// A listening TCP socket on the loopback interface, for simulated devices that
// stand in for a serial device server. Accepted connections are non-blocking
// descriptors for FdChannel.
#pragma once

#include <memory>
#include <string>

namespace velk::posix {

class TcpListener {
 public:
  // Port 0 picks a free port. nullptr with `error` set on failure.
  static std::unique_ptr<TcpListener> Open(int port, std::string& error);
  ~TcpListener();
  TcpListener(const TcpListener&) = delete;
  TcpListener& operator=(const TcpListener&) = delete;

  int Port() const { return port_; }
  int Fd() const { return fd_; }
  // A connected, non-blocking descriptor within timeoutMs, or -1.
  int Accept(int timeoutMs);

 private:
  TcpListener(int fd, int port) : fd_(fd), port_(port) {}
  int fd_;
  int port_;
};

// A free loopback TCP port at the time of asking (for programs that must be told a port).
int FreeLoopbackPort();

}  // namespace velk::posix
