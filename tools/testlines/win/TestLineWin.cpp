// Windows side of testlines/TestLine.h: loopback TCP through Winsock. Windows has
// no pseudo-terminals; a simulated device there serves a TCP port.
#include <winsock2.h>
#include <ws2tcpip.h>

#include "common/win/SocketChannel.h"
#include "common/win/WideText.h"
#include "testlines/ChannelLine.h"

namespace velk::testlines {

namespace {

using Connection = ChannelLine<win::SocketChannel>;

class Listener final : public TcpLineListener {
 public:
  Listener(SOCKET socket, int port) : socket_(socket), port_(port) {}
  ~Listener() override { ::closesocket(socket_); }
  int Port() const override { return port_; }
  std::unique_ptr<LineEnd> Accept(int timeoutMs) override {
    if (win::WaitSocket(socket_, false, timeoutMs) <= 0) return nullptr;
    SOCKET connection = ::accept(socket_, nullptr, nullptr);
    if (connection == INVALID_SOCKET) return nullptr;
    if (!win::PrepareSocket(connection)) {
      ::closesocket(connection);
      return nullptr;
    }
    return std::make_unique<Connection>(connection);
  }

 private:
  SOCKET socket_;
  int port_;
};

}  // namespace

std::unique_ptr<LineEnd> OpenPseudoTerminalLine(std::string&, std::string& error) {
  error = "Windows has no pseudo-terminals: serve a TCP port instead (--tcp PORT)";
  return nullptr;
}

std::unique_ptr<TcpLineListener> OpenTcpLineListener(int port, std::string& error) {
  const std::string label = "listening on 127.0.0.1:" + std::to_string(port) + ": ";
  if (!win::StartWinsock()) {
    error = label + "the network library cannot be started";
    return nullptr;
  }
  SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) {
    error = label + win::ErrorText(static_cast<DWORD>(::WSAGetLastError()));
    return nullptr;
  }
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<u_short>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int length = sizeof address;
  u_long nonBlocking = 1;
  if (::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(s, 4) != 0 ||
      ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
      ::ioctlsocket(s, FIONBIO, &nonBlocking) != 0) {
    error = label + win::ErrorText(static_cast<DWORD>(::WSAGetLastError()));
    ::closesocket(s);
    return nullptr;
  }
  return std::make_unique<Listener>(s, ntohs(address.sin_port));
}

}  // namespace velk::testlines
