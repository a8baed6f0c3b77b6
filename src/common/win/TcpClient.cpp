// TCP client on Winsock: name resolution, a connect bounded by select(), and
// reads and writes that give up after the stream timeout.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <chrono>

#include "common/ByteStream.h"
#include "common/win/SocketChannel.h"
#include "common/win/WideText.h"

namespace velk {

namespace {

using SteadyClock = std::chrono::steady_clock;

class WinTcpStream final : public ByteStream {
 public:
  WinTcpStream(SOCKET socket, int streamTimeoutMs) : channel_(socket), streamTimeoutMs_(streamTimeoutMs) {}

  bool Write(std::span<const std::uint8_t> bytes) override { return channel_.WriteAll(bytes, streamTimeoutMs_); }
  // Waits at most the shorter of timeoutMs and the stream timeout.
  std::optional<std::uint8_t> ReadByte(int timeoutMs) override {
    return channel_.ReadByte(std::min(timeoutMs, streamTimeoutMs_));
  }
  bool Failed() const override { return channel_.Failed(); }
  void Close() override { channel_.Close(); }

 private:
  win::SocketChannel channel_;
  int streamTimeoutMs_;
};

// Connects one resolved address within timeoutMs; the socket, or INVALID_SOCKET with lastError set.
SOCKET ConnectOne(const addrinfo& ai, int timeoutMs, int& lastError) {
  SOCKET s = ::socket(ai.ai_family, ai.ai_socktype, ai.ai_protocol);
  if (s == INVALID_SOCKET) {
    lastError = ::WSAGetLastError();
    return INVALID_SOCKET;
  }
  if (!win::PrepareSocket(s)) {
    lastError = ::WSAGetLastError();
    ::closesocket(s);
    return INVALID_SOCKET;
  }
  if (::connect(s, ai.ai_addr, static_cast<int>(ai.ai_addrlen)) != 0) {
    if (::WSAGetLastError() != WSAEWOULDBLOCK) {
      lastError = ::WSAGetLastError();
      ::closesocket(s);
      return INVALID_SOCKET;
    }
    // A refused connection shows in the failure set; a silent host runs into the limit.
    const int ready = win::WaitSocket(s, true, timeoutMs);
    int soError = 0;
    int length = sizeof soError;
    if (ready == 0) soError = WSAETIMEDOUT;
    else if (::getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&soError), &length) != 0 || ready < 0)
      soError = soError != 0 ? soError : WSAECONNREFUSED;
    if (soError != 0) {
      lastError = soError;
      ::closesocket(s);
      return INVALID_SOCKET;
    }
  }
  return s;
}

int RemainingMs(SteadyClock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now()).count();
  return static_cast<int>(std::max<long long>(left, 0));
}

}  // namespace

std::unique_ptr<ByteStream> ConnectTcp(const std::string& host, int port, int connectTimeoutMs,
                                       int streamTimeoutMs, std::string& error) {
  std::string label;
  if (!CheckTcpTarget(host, port, label, error)) return nullptr;
  if (!win::StartWinsock()) {
    error = label + ": the network library cannot be started";
    return nullptr;
  }
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  addrinfo* list = nullptr;
  if (const int rc = ::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &list); rc != 0) {
    error = label + ": cannot resolve the host name: " + win::ErrorText(static_cast<DWORD>(rc));
    return nullptr;
  }
  const auto deadline = SteadyClock::now() + std::chrono::milliseconds(std::max(connectTimeoutMs, 0));
  int lastError = WSAETIMEDOUT;
  SOCKET s = INVALID_SOCKET;
  for (addrinfo* ai = list; ai && s == INVALID_SOCKET && RemainingMs(deadline) > 0; ai = ai->ai_next) {
    s = ConnectOne(*ai, RemainingMs(deadline), lastError);
  }
  ::freeaddrinfo(list);
  if (s == INVALID_SOCKET) {
    error = label + ": cannot connect: " + win::ErrorText(static_cast<DWORD>(lastError));
    return nullptr;
  }
  return std::make_unique<WinTcpStream>(s, streamTimeoutMs);
}

}  // namespace velk
