// The serial port on POSIX: termios 8N1 without flow control, poll()-bounded
// reads, modem lines through ioctl, and an exclusive open (flock, then TIOCEXCL).
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/ByteStream.h"
#include "common/PortMap.h"
#include "common/posix/FdChannel.h"

namespace velk {

namespace {

// Write time allowed for a block: 100 ms plus 100 ms per byte.
int WriteTimeoutMs(std::size_t bytes) {
  return 100 + 100 * static_cast<int>(std::min<std::size_t>(bytes, 1000000));
}

std::optional<speed_t> SpeedConstant(int baudRate) {
  switch (baudRate) {
    case 4800:
      return B4800;
    case 9600:
      return B9600;
    case 19200:
      return B19200;
    case 115200:
      return B115200;
    default:
      return std::nullopt;
  }
}

class PosixSerialPort final : public SerialPort {
 public:
  explicit PosixSerialPort(int fd) : channel_(fd) {}
  ~PosixSerialPort() override { Close(); }

  bool Write(std::span<const std::uint8_t> bytes) override {
    return channel_.WriteAll(bytes, WriteTimeoutMs(bytes.size()));
  }

  std::optional<std::uint8_t> ReadByte(int timeoutMs) override {
    posix::Deadline deadline(timeoutMs);
    auto byte = channel_.ReadByte(timeoutMs);
    // A line that has hung up (the far end of a pseudo-terminal went away) still
    // takes the whole read time, as a silent line would.
    if (!byte && channel_.Failed()) ::poll(nullptr, 0, deadline.RemainingMs());
    return byte;
  }

  bool Failed() const override { return channel_.Failed(); }

  void Close() override {
    const int fd = channel_.Fd();
    if (fd < 0) return;
    ::ioctl(fd, TIOCNXCL);
    ::flock(fd, LOCK_UN);
    channel_.Close();
  }

  void SetDtr(bool on) override { SetLine(TIOCM_DTR, on); }
  void SetRts(bool on) override { SetLine(TIOCM_RTS, on); }

  void PurgeQueues() override {
    if (channel_.Fd() >= 0) ::tcflush(channel_.Fd(), TCIOFLUSH);
    channel_.DropBuffered();
  }

  bool SetBaudRate(int baudRate) override {
    const auto speed = SpeedConstant(baudRate);
    termios tio{};
    if (!speed || ::tcgetattr(channel_.Fd(), &tio) != 0) return false;
    return ::cfsetispeed(&tio, *speed) == 0 && ::cfsetospeed(&tio, *speed) == 0 &&
           ::tcsetattr(channel_.Fd(), TCSANOW, &tio) == 0;
  }

  // 8 data bits, no parity, 1 stop bit, no flow control, raw bytes.
  bool Configure(int baudRate) {
    termios tio{};
    if (::tcgetattr(channel_.Fd(), &tio) != 0) return false;
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 1;  // with O_NONBLOCK: EAGAIN when empty, so 0 means end of line
    tio.c_cc[VTIME] = 0;
    if (::tcsetattr(channel_.Fd(), TCSANOW, &tio) != 0) return false;
    if (!SetBaudRate(baudRate)) return false;
    ::tcflush(channel_.Fd(), TCIOFLUSH);
    return true;
  }

 private:
  // A device without modem lines refuses the change; that is not a failure.
  void SetLine(int line, bool on) {
    if (channel_.Fd() >= 0) ::ioctl(channel_.Fd(), on ? TIOCMBIS : TIOCMBIC, &line);
  }

  posix::FdChannel channel_;
};

std::string ResolveDevice(const std::string& portNameOrDevice, const PortMap& ports) {
  if (portNameOrDevice.rfind("COM", 0) == 0) return ports.DevicePath(portNameOrDevice);
  return portNameOrDevice;
}

// Why open() failed, in the words a user can act on.
std::string OpenFailureReason(int e) {
  switch (e) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return "no such device";
    case EACCES:
    case EPERM:
      return "no permission (add the user to the 'dialout' group and log in again)";
    case EBUSY:
      return "the port is in use by another program";
    default:
      return std::strerror(e);
  }
}

std::string PortLabel(const std::string& name, const std::string& device) {
  return name == device ? name : name + " (" + device + ")";
}

}  // namespace

std::unique_ptr<SerialPort> OpenSerialPort(const std::string& portNameOrDevice, const SerialSettings& settings,
                                           std::string& error) {
  return OpenSerialPort(portNameOrDevice, settings, PortMap{}, error);
}

std::unique_ptr<SerialPort> OpenSerialPort(const std::string& portNameOrDevice, const SerialSettings& settings,
                                           const PortMap& ports, std::string& error) {
  const std::string device = ResolveDevice(portNameOrDevice, ports);
  if (device.empty()) {
    error = "Serial port name '" + portNameOrDevice + "' is not COM<n> with n >= 1";
    return nullptr;
  }
  const std::string label = PortLabel(portNameOrDevice, device);
  if (!SpeedConstant(settings.BaudRate)) {
    error = label + ": unsupported speed " + std::to_string(settings.BaudRate) + " baud";
    return nullptr;
  }
  const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    error = label + ": cannot open: " + OpenFailureReason(errno);
    return nullptr;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    error = label + ": the port is in use by another program";
    return nullptr;
  }
  ::ioctl(fd, TIOCEXCL);
  auto port = std::make_unique<PosixSerialPort>(fd);
  if (!port->Configure(settings.BaudRate)) {
    error = label + ": not a serial port or cannot be configured: " + std::strerror(errno);
    return nullptr;
  }
  return port;
}

}  // namespace velk
