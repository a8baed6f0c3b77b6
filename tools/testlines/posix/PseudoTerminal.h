// A pseudo-terminal that stands in for a serial line: the program under test
// opens the slave path as its serial port, the simulated device talks through
// the master. The slave is kept open here as well, so the line stays up
// between clients; it is in raw mode.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "common/posix/FdChannel.h"

namespace velk::posix {

class PseudoTerminal {
 public:
  // nullptr with `error` set when no pseudo-terminal can be had.
  static std::unique_ptr<PseudoTerminal> Open(std::string& error);
  ~PseudoTerminal();

  const std::string& SlavePath() const { return slavePath_; }
  int MasterFd() const { return master_.Fd(); }

  // Master side: what the simulated device sends and receives.
  bool Write(std::span<const std::uint8_t> bytes, int timeoutMs = 5000);
  std::optional<std::uint8_t> ReadByte(int timeoutMs);
  // Waits at most timeoutMs for the first byte, then takes what is there.
  std::size_t Read(std::span<std::uint8_t> into, int timeoutMs);
  // Discards everything the slave side has written so far.
  void DrainInput();
  void Close();

 private:
  PseudoTerminal(int master, int slave, std::string slavePath);

  FdChannel master_;
  int slave_ = -1;
  std::string slavePath_;
};

}  // namespace velk::posix
