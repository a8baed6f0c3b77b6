// POSIX side of testlines/TestLine.h over PseudoTerminal and TcpListener.
#include "common/posix/FdChannel.h"
#include "testlines/ChannelLine.h"
#include "testlines/posix/PseudoTerminal.h"
#include "testlines/posix/TcpListener.h"

namespace velk::testlines {

namespace {

class PseudoTerminalLine final : public LineEnd {
 public:
  explicit PseudoTerminalLine(std::unique_ptr<posix::PseudoTerminal> pty) : pty_(std::move(pty)) {}
  bool Write(std::span<const std::uint8_t> bytes, int timeoutMs) override { return pty_->Write(bytes, timeoutMs); }
  std::size_t Read(std::span<std::uint8_t> into, int timeoutMs) override { return pty_->Read(into, timeoutMs); }
  bool Failed() const override { return false; }

 private:
  std::unique_ptr<posix::PseudoTerminal> pty_;
};

using Connection = ChannelLine<posix::FdChannel>;

class Listener final : public TcpLineListener {
 public:
  explicit Listener(std::unique_ptr<posix::TcpListener> listener) : listener_(std::move(listener)) {}
  int Port() const override { return listener_->Port(); }
  std::unique_ptr<LineEnd> Accept(int timeoutMs) override {
    const int fd = listener_->Accept(timeoutMs);
    return fd >= 0 ? std::make_unique<Connection>(fd) : nullptr;
  }

 private:
  std::unique_ptr<posix::TcpListener> listener_;
};

}  // namespace

std::unique_ptr<LineEnd> OpenPseudoTerminalLine(std::string& devicePath, std::string& error) {
  auto pty = posix::PseudoTerminal::Open(error);
  if (!pty) return nullptr;
  devicePath = pty->SlavePath();
  return std::make_unique<PseudoTerminalLine>(std::move(pty));
}

std::unique_ptr<TcpLineListener> OpenTcpLineListener(int port, std::string& error) {
  auto listener = posix::TcpListener::Open(port, error);
  if (!listener) return nullptr;
  return std::make_unique<Listener>(std::move(listener));
}

}  // namespace velk::testlines
