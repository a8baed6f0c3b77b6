// TCP client on POSIX sockets: name resolution, a connect bounded by poll(),
// and reads and writes that give up after the stream timeout.
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "common/ByteStream.h"
#include "common/posix/FdChannel.h"

namespace velk {

namespace {

class PosixTcpStream final : public ByteStream {
 public:
  PosixTcpStream(int fd, int streamTimeoutMs) : channel_(fd), streamTimeoutMs_(streamTimeoutMs) {}

  bool Write(std::span<const std::uint8_t> bytes) override {
    return channel_.WriteAll(bytes, streamTimeoutMs_);
  }
  // Waits at most the shorter of timeoutMs and the stream timeout.
  std::optional<std::uint8_t> ReadByte(int timeoutMs) override {
    return channel_.ReadByte(std::min(timeoutMs, streamTimeoutMs_));
  }
  bool Failed() const override { return channel_.Failed(); }
  void Close() override {
    if (channel_.Fd() >= 0) ::shutdown(channel_.Fd(), SHUT_RDWR);
    channel_.Close();
  }

 private:
  posix::FdChannel channel_;
  int streamTimeoutMs_;
};

// Connects one resolved address within the time left; the socket on success, -1 otherwise.
int ConnectOne(const addrinfo& ai, const posix::Deadline& deadline, int& lastError) {
  const int fd = ::socket(ai.ai_family, ai.ai_socktype | SOCK_CLOEXEC, ai.ai_protocol);
  if (fd < 0) {
    lastError = errno;
    return -1;
  }
  if (!posix::MakeNonBlocking(fd)) {
    lastError = errno;
    ::close(fd);
    return -1;
  }
  if (::connect(fd, ai.ai_addr, ai.ai_addrlen) != 0) {
    if (errno != EINPROGRESS) {
      lastError = errno;
      ::close(fd);
      return -1;
    }
    pollfd p{fd, POLLOUT, 0};
    int n;
    do n = ::poll(&p, 1, deadline.RemainingMs());
    while (n < 0 && errno == EINTR);
    int soError = 0;
    socklen_t len = sizeof soError;
    if (n <= 0)
      soError = n == 0 ? ETIMEDOUT : errno;
    else if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &soError, &len) != 0)
      soError = errno;
    if (soError != 0) {
      lastError = soError;
      ::close(fd);
      return -1;
    }
  }
  const int one = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  return fd;
}

}  // namespace

std::unique_ptr<ByteStream> ConnectTcp(const std::string& host, int port, int connectTimeoutMs,
                                       int streamTimeoutMs, std::string& error) {
  std::string label;
  if (!CheckTcpTarget(host, port, label, error)) return nullptr;
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* list = nullptr;
  const int rc = ::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &list);
  if (rc != 0) {
    error = label + ": cannot resolve the host name: " + ::gai_strerror(rc);
    return nullptr;
  }
  posix::Deadline deadline(connectTimeoutMs);
  int lastError = ETIMEDOUT;
  int fd = -1;
  for (addrinfo* ai = list; ai && fd < 0 && deadline.RemainingMs() > 0; ai = ai->ai_next) {
    fd = ConnectOne(*ai, deadline, lastError);
  }
  ::freeaddrinfo(list);
  if (fd < 0) {
    error = label + ": cannot connect: " + std::strerror(lastError);
    return nullptr;
  }
  return std::make_unique<PosixTcpStream>(fd, streamTimeoutMs);
}

}  // namespace velk
