// A link to a meter or carrier, as the readers see it: block writes, bounded
// single-byte reads, and for serial ports the modem lines and queue purge.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "common/PortMap.h"

namespace velk {

class ByteStream {
 public:
  virtual ~ByteStream() = default;
  // Writes all bytes; false on failure.
  virtual bool Write(std::span<const std::uint8_t> bytes) = 0;
  // One byte, waiting at most timeoutMs; nullopt on timeout or failure
  // (Failed() tells the two apart).
  virtual std::optional<std::uint8_t> ReadByte(int timeoutMs) = 0;
  virtual bool Failed() const = 0;
  virtual void Close() = 0;
};

struct SerialSettings {
  int BaudRate = 9600;  // 4800, 9600, 19200 or 115200
};

class SerialPort : public ByteStream {
 public:
  // Raising or dropping a line a device lacks (a pseudo-terminal) is not a failure.
  virtual void SetDtr(bool on) = 0;
  virtual void SetRts(bool on) = 0;
  virtual void PurgeQueues() = 0;
  virtual bool SetBaudRate(int baudRate) = 0;
};

// Opens "COM<n>" through the port map (or a device path); nullptr on failure with
// `error` set to a text that names the port and, for a permission failure, the
// usual remedy. The port is held exclusively while open.
std::unique_ptr<SerialPort> OpenSerialPort(const std::string& portNameOrDevice, const SerialSettings& settings,
                                           const PortMap& ports, std::string& error);
// A device path, or "COM<n>" as the platform names it without a map.
std::unique_ptr<SerialPort> OpenSerialPort(const std::string& portNameOrDevice, const SerialSettings& settings,
                                           std::string& error);

// TCP client: resolves `host`, connects within connectTimeoutMs; reads and
// writes use the stream timeout.
std::unique_ptr<ByteStream> ConnectTcp(const std::string& host, int port, int connectTimeoutMs,
                                       int streamTimeoutMs, std::string& error);
// "host:port" as the TCP client's messages name it; false with `error` set when
// there is no host name or the port is outside 1..65535.
bool CheckTcpTarget(const std::string& host, int port, std::string& label, std::string& error);

// Speed code of the settings record (6, 7, 9, 13) to baud; 0 for an unknown code.
int BaudRateFromCode(int code);

}  // namespace velk
