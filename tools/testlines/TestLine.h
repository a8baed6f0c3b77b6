// The simulated device's end of a line, whatever carries it: a pseudo-terminal
// (the program under test opens the other side as its serial port) or a TCP
// connection accepted on the loopback interface (a serial device server).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace velk::testlines {

class LineEnd {
 public:
  virtual ~LineEnd() = default;
  // Writes everything within timeoutMs; false on failure or timeout.
  virtual bool Write(std::span<const std::uint8_t> bytes, int timeoutMs) = 0;
  // Waits at most timeoutMs for the first byte, then takes what is there.
  virtual std::size_t Read(std::span<std::uint8_t> into, int timeoutMs) = 0;
  // A connection whose peer has gone; a pseudo-terminal line stays up between clients.
  virtual bool Failed() const = 0;
};

// A pseudo-terminal line; `devicePath` is what the program under test opens.
// nullptr with `error` set where there is none (Windows has no pseudo-terminals).
std::unique_ptr<LineEnd> OpenPseudoTerminalLine(std::string& devicePath, std::string& error);

class TcpLineListener {
 public:
  virtual ~TcpLineListener() = default;
  virtual int Port() const = 0;
  // A connection within timeoutMs, or nullptr.
  virtual std::unique_ptr<LineEnd> Accept(int timeoutMs) = 0;
};

// Listens on 127.0.0.1:port (0: a free port); nullptr with `error` set on failure.
std::unique_ptr<TcpLineListener> OpenTcpLineListener(int port, std::string& error);

}  // namespace velk::testlines
