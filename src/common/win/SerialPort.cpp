// The serial port on Windows: "\\.\COM<n>" opened for this program alone, speed
// and 8N1 through the port's control block, every read bounded through the
// port's timeouts, modem lines through EscapeCommFunction. VelkReader.ports is
// not used here: the system names its ports itself.
#include <windows.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <thread>

#include "common/ByteStream.h"
#include "common/PortMap.h"
#include "common/win/WideText.h"

namespace velk {

namespace {

using SteadyClock = std::chrono::steady_clock;

bool SupportedSpeed(int baudRate) {
  return baudRate == 4800 || baudRate == 9600 || baudRate == 19200 || baudRate == 115200;
}

class WinSerialPort final : public SerialPort {
 public:
  explicit WinSerialPort(HANDLE handle) : handle_(handle) {}
  ~WinSerialPort() override { Close(); }

  // Write time allowed for a block: 100 ms plus 100 ms per byte (set in Configure).
  bool Write(std::span<const std::uint8_t> bytes) override {
    std::size_t done = 0;
    while (handle_ != INVALID_HANDLE_VALUE && done < bytes.size()) {
      DWORD written = 0;
      const DWORD count = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 65536));
      if (!::WriteFile(handle_, bytes.data() + done, count, &written, nullptr)) {
        failed_ = true;
        return false;
      }
      if (written == 0) return false;  // timed out
      done += written;
    }
    return done == bytes.size();
  }

  std::optional<std::uint8_t> ReadByte(int timeoutMs) override {
    if (pos_ < len_) return buffer_[pos_++];
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    if (handle_ == INVALID_HANDLE_VALUE) return std::nullopt;
    pos_ = len_ = 0;
    DWORD got = 0;
    if (!SetReadTimeout(timeoutMs) || !::ReadFile(handle_, buffer_.data(), buffer_.size(), &got, nullptr)) {
      // A port that has gone (a USB adapter pulled out) still takes the whole
      // read time, as a silent line would.
      failed_ = true;
      std::this_thread::sleep_until(deadline);
      return std::nullopt;
    }
    if (got == 0) return std::nullopt;  // timed out
    len_ = got;
    return buffer_[pos_++];
  }

  bool Failed() const override { return failed_; }

  void Close() override {
    if (handle_ == INVALID_HANDLE_VALUE) return;
    ::CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    pos_ = len_ = 0;
  }

  // A port without modem lines refuses the change; that is not a failure.
  void SetDtr(bool on) override { Escape(on ? SETDTR : CLRDTR); }
  void SetRts(bool on) override { Escape(on ? SETRTS : CLRRTS); }

  void PurgeQueues() override {
    if (handle_ != INVALID_HANDLE_VALUE)
      ::PurgeComm(handle_, PURGE_RXCLEAR | PURGE_TXCLEAR | PURGE_RXABORT | PURGE_TXABORT);
    pos_ = len_ = 0;
  }

  bool SetBaudRate(int baudRate) override {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!SupportedSpeed(baudRate) || !::GetCommState(handle_, &dcb)) return false;
    dcb.BaudRate = static_cast<DWORD>(baudRate);
    return ::SetCommState(handle_, &dcb) != 0;
  }

  // 8 data bits, no parity, 1 stop bit, no flow control, raw bytes; DTR and RTS raised.
  bool Configure(int baudRate) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!::GetCommState(handle_, &dcb)) return false;
    dcb.BaudRate = static_cast<DWORD>(baudRate);
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fNull = FALSE;
    dcb.fAbortOnError = FALSE;
    if (!::SetCommState(handle_, &dcb)) return false;
    ::SetupComm(handle_, 4096, 4096);
    if (!SetReadTimeout(0)) return false;
    PurgeQueues();
    return true;
  }

 private:
  // A read returns at once with what has arrived, else with the first byte that
  // arrives within timeoutMs, else empty when the time is up.
  bool SetReadTimeout(int timeoutMs) {
    const DWORD constant = static_cast<DWORD>(std::clamp(timeoutMs, 0, 24 * 3600 * 1000));
    if (constant == readTimeoutMs_) return true;
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = constant > 0 ? MAXDWORD : 0;
    timeouts.ReadTotalTimeoutConstant = constant;
    timeouts.WriteTotalTimeoutMultiplier = 100;
    timeouts.WriteTotalTimeoutConstant = 100;
    if (!::SetCommTimeouts(handle_, &timeouts)) return false;
    readTimeoutMs_ = constant;
    return true;
  }

  void Escape(DWORD function) {
    if (handle_ != INVALID_HANDLE_VALUE) ::EscapeCommFunction(handle_, function);
  }

  HANDLE handle_;
  bool failed_ = false;
  DWORD readTimeoutMs_ = MAXDWORD;
  std::array<std::uint8_t, 4096> buffer_{};
  std::size_t pos_ = 0, len_ = 0;
};

// Why the port could not be opened, in the words a user can act on.
std::string OpenFailureReason(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_UNIT:
    case ERROR_DEV_NOT_EXIST:
      return "no such port";
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_BUSY:
      return "the port is in use by another program";
    default:
      return win::ErrorText(code);
  }
}

}  // namespace

std::unique_ptr<SerialPort> OpenSerialPort(const std::string& portNameOrDevice, const SerialSettings& settings,
                                           std::string& error) {
  const bool named = portNameOrDevice.size() > 3 && (portNameOrDevice.rfind("COM", 0) == 0);
  const std::string device = named ? PortMap{}.DevicePath(portNameOrDevice) : portNameOrDevice;
  if (device.empty()) {
    error = "Serial port name '" + portNameOrDevice + "' is not COM<n> with n >= 1";
    return nullptr;
  }
  const std::string& label = portNameOrDevice;
  if (!SupportedSpeed(settings.BaudRate)) {
    error = label + ": unsupported speed " + std::to_string(settings.BaudRate) + " baud";
    return nullptr;
  }
  // No sharing: a second program that opens the port is refused.
  HANDLE handle = ::CreateFileW(win::WideFromUtf8(device).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    error = label + ": cannot open: " + OpenFailureReason(::GetLastError());
    return nullptr;
  }
  auto port = std::make_unique<WinSerialPort>(handle);
  if (!port->Configure(settings.BaudRate)) {
    error = label + ": not a serial port or cannot be configured: " + win::ErrorText(::GetLastError());
    return nullptr;
  }
  return port;
}

// The port map is a POSIX matter; Windows ports are the system's own.
std::unique_ptr<SerialPort> OpenSerialPort(const std::string& portNameOrDevice, const SerialSettings& settings,
                                           const PortMap&, std::string& error) {
  return OpenSerialPort(portNameOrDevice, settings, error);
}

}  // namespace velk
