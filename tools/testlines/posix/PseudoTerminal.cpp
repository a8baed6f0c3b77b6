#include "testlines/posix/PseudoTerminal.h"

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace velk::posix {

namespace {
bool MakeRaw(int fd) {
  termios tio{};
  if (::tcgetattr(fd, &tio) != 0) return false;
  ::cfmakeraw(&tio);
  tio.c_cc[VMIN] = 1;  // with O_NONBLOCK: EAGAIN when empty, so 0 means end of line
  tio.c_cc[VTIME] = 0;
  return ::tcsetattr(fd, TCSANOW, &tio) == 0;
}
}  // namespace

std::unique_ptr<PseudoTerminal> PseudoTerminal::Open(std::string& error) {
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0) {
    error = std::string("posix_openpt: ") + std::strerror(errno);
    return nullptr;
  }
  char name[128] = {};
  if (::grantpt(master) != 0 || ::unlockpt(master) != 0 || ::ptsname_r(master, name, sizeof name) != 0) {
    error = std::string("pseudo-terminal set-up: ") + std::strerror(errno);
    ::close(master);
    return nullptr;
  }
  const int slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (slave < 0 || !MakeRaw(slave) || !MakeNonBlocking(master)) {
    error = std::string("pseudo-terminal ") + name + ": " + std::strerror(errno);
    if (slave >= 0) ::close(slave);
    ::close(master);
    return nullptr;
  }
  return std::unique_ptr<PseudoTerminal>(new PseudoTerminal(master, slave, name));
}

PseudoTerminal::PseudoTerminal(int master, int slave, std::string slavePath)
    : master_(master), slave_(slave), slavePath_(std::move(slavePath)) {}

PseudoTerminal::~PseudoTerminal() { Close(); }

bool PseudoTerminal::Write(std::span<const std::uint8_t> bytes, int timeoutMs) {
  return master_.WriteAll(bytes, timeoutMs);
}

std::optional<std::uint8_t> PseudoTerminal::ReadByte(int timeoutMs) { return master_.ReadByte(timeoutMs); }

std::size_t PseudoTerminal::Read(std::span<std::uint8_t> into, int timeoutMs) {
  return master_.ReadSome(into, timeoutMs);
}

void PseudoTerminal::DrainInput() {
  std::uint8_t scratch[256];
  while (master_.ReadSome(scratch, 0) > 0) {
  }
}

void PseudoTerminal::Close() {
  master_.Close();
  if (slave_ >= 0) ::close(slave_);
  slave_ = -1;
}

}  // namespace velk::posix
