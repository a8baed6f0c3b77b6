// The serial port over a pseudo-terminal, the TCP client over loopback.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>
#include <vector>

#include "common/ByteStream.h"
#include "testlines/posix/PseudoTerminal.h"
#include "link/LinkOpener.h"
#include "support/TempDir.h"

namespace velk {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::unique_ptr<posix::PseudoTerminal> OpenPty() {
  std::string error;
  auto pty = posix::PseudoTerminal::Open(error);
  EXPECT_TRUE(pty) << error;
  return pty;
}

TEST(SerialPort, BytesBothWaysAndBoundedReads) {
  auto pty = OpenPty();
  ASSERT_TRUE(pty);
  std::string error;
  auto port = OpenSerialPort(pty->SlavePath(), SerialSettings{19200}, error);
  ASSERT_TRUE(port) << error;

  // Modem lines of a pseudo-terminal cannot change; that is no failure.
  port->SetDtr(true);
  port->SetRts(true);

  const Bytes request{0x00, 0x00, 0xA5, 0xF2, 0x00, 0x00, 0x00, 0x25, 0x72};
  ASSERT_TRUE(port->Write(request));
  Bytes got(request.size());
  std::size_t n = 0;
  while (n < got.size()) {
    const std::size_t k = pty->Read(std::span(got).subspan(n), 1000);
    ASSERT_GT(k, 0u);
    n += k;
  }
  EXPECT_EQ(got, request);

  // Raw mode: CR, LF, 0x03 and 0x11 pass unchanged.
  const Bytes answer{0x0D, 0x0A, 0x03, 0x11, 0xFF};
  ASSERT_TRUE(pty->Write(answer));
  for (std::uint8_t b : answer) EXPECT_EQ(port->ReadByte(1000), b);
  EXPECT_EQ(port->ReadByte(10), std::nullopt);
  EXPECT_FALSE(port->Failed());

  ASSERT_TRUE(pty->Write(Bytes{1, 2, 3}));
  // Wait until the bytes are in, then purge them.
  ASSERT_EQ(port->ReadByte(1000), 1);
  port->PurgeQueues();
  EXPECT_EQ(port->ReadByte(10), std::nullopt);
  EXPECT_TRUE(port->SetBaudRate(4800));
  EXPECT_FALSE(port->SetBaudRate(1200));
}

TEST(SerialPort, HeldExclusivelyWhileOpen) {
  auto pty = OpenPty();
  ASSERT_TRUE(pty);
  std::string error;
  auto first = OpenSerialPort(pty->SlavePath(), SerialSettings{9600}, error);
  ASSERT_TRUE(first) << error;
  EXPECT_FALSE(OpenSerialPort(pty->SlavePath(), SerialSettings{9600}, error));
  EXPECT_NE(error.find("in use"), std::string::npos) << error;
  first->Close();
  auto again = OpenSerialPort(pty->SlavePath(), SerialSettings{9600}, error);
  EXPECT_TRUE(again) << error;
}

TEST(SerialPort, OpenFailuresNameThePort) {
  std::string error;
  EXPECT_FALSE(OpenSerialPort("/dev/velk-no-such-port", SerialSettings{9600}, error));
  EXPECT_NE(error.find("/dev/velk-no-such-port"), std::string::npos);
  EXPECT_FALSE(OpenSerialPort("COM0", SerialSettings{9600}, error));
  EXPECT_NE(error.find("COM0"), std::string::npos);
  EXPECT_FALSE(OpenSerialPort("/dev/null", SerialSettings{9600}, error));  // not a serial line
  auto pty = OpenPty();
  ASSERT_TRUE(pty);
  EXPECT_FALSE(OpenSerialPort(pty->SlavePath(), SerialSettings{1234}, error));
  EXPECT_NE(error.find("1234"), std::string::npos);
}

TEST(SerialPort, SpeedCodes) {
  EXPECT_EQ(BaudRateFromCode(6), 4800);
  EXPECT_EQ(BaudRateFromCode(7), 9600);
  EXPECT_EQ(BaudRateFromCode(9), 19200);
  EXPECT_EQ(BaudRateFromCode(13), 115200);
  EXPECT_EQ(BaudRateFromCode(8), 0);
}

// A loopback listener on a free port.
struct Listener {
  int fd = -1;
  int port = 0;
  Listener() {
    fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::listen(fd, 1);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    port = ntohs(a.sin_port);
  }
  ~Listener() { Close(); }
  void Close() {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
};

TEST(TcpClient, EchoAndPeerClose) {
  Listener listener;
  std::thread peer([&] {
    const int c = ::accept(listener.fd, nullptr, nullptr);
    std::uint8_t buf[3];
    std::size_t n = 0;
    while (n < 3) {
      const ssize_t k = ::read(c, buf + n, 3 - n);
      if (k <= 0) break;
      n += static_cast<std::size_t>(k);
    }
    ::write(c, buf, n);
    ::close(c);
  });
  std::string error;
  auto stream = ConnectTcp("localhost", listener.port, 2000, 5000, error);
  ASSERT_TRUE(stream) << error;
  ASSERT_TRUE(stream->Write(Bytes{7, 8, 9}));
  EXPECT_EQ(stream->ReadByte(2000), 7);
  EXPECT_EQ(stream->ReadByte(2000), 8);
  EXPECT_EQ(stream->ReadByte(2000), 9);
  peer.join();
  EXPECT_EQ(stream->ReadByte(2000), std::nullopt);
  EXPECT_TRUE(stream->Failed());
}

TEST(TcpClient, RefusedAndUnresolvable) {
  Listener listener;
  const int port = listener.port;
  listener.Close();  // nobody listens there any more
  std::string error;
  EXPECT_FALSE(ConnectTcp("127.0.0.1", port, 2000, 5000, error));
  EXPECT_NE(error.find("127.0.0.1:" + std::to_string(port)), std::string::npos) << error;
  EXPECT_FALSE(ConnectTcp("no-such-host.invalid", 4001, 2000, 5000, error));
  EXPECT_NE(error.find("resolve"), std::string::npos) << error;
  EXPECT_FALSE(ConnectTcp("127.0.0.1", 0, 2000, 5000, error));
}

TEST(ForwardingLibrary, AbsentLibraryIsReportedNotCalled) {
  test::TempDir dir;
  LibraryRequestForwarder forwarder(dir.Path());
  std::string error;
  const Bytes request{0x00, 0x00, 0xA5, 0xF2, 0x00, 0x00, 0x00, 0x25, 0x72};
  bool answered = false;
  EXPECT_FALSE(forwarder.SendRequest(
      "10.0.0.1", request, [&](std::span<const std::uint8_t>) { answered = true; }, error));
  EXPECT_NE(error.find("libPtUskVC.so"), std::string::npos) << error;
  EXPECT_FALSE(answered);
  // A file that is no library is refused the same way.
  test::WriteBytes(dir / "libPtUskVC.so", {'n', 'o'});
  LibraryRequestForwarder second(dir.Path());
  EXPECT_FALSE(second.SendRequest("10.0.0.1", request, {}, error));
}

}  // namespace
}  // namespace velk
