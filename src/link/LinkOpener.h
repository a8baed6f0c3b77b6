// How the reader gets its links: serial ports, TCP connections and the
// forwarding library of the forwarded link. The real ones open devices and
// sockets; tests hand in scripted streams instead.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "common/ByteStream.h"

namespace velk {

class LinkOpener {
 public:
  virtual ~LinkOpener() = default;
  virtual std::unique_ptr<SerialPort> OpenSerial(const std::string& portName, int baudRate,
                                                 std::string& error) = 0;
  virtual std::unique_ptr<ByteStream> OpenTcp(const std::string& host, int port, int streamTimeoutMs,
                                              std::string& error) = 0;
};

// Serial ports through the port map of the program folder, TCP with a bounded connect.
class SystemLinkOpener final : public LinkOpener {
 public:
  static constexpr int ConnectTimeoutMs = 5000;
  explicit SystemLinkOpener(std::filesystem::path programFolder) : programFolder_(std::move(programFolder)) {}
  std::unique_ptr<SerialPort> OpenSerial(const std::string& portName, int baudRate,
                                         std::string& error) override;
  std::unique_ptr<ByteStream> OpenTcp(const std::string& host, int port, int streamTimeoutMs,
                                      std::string& error) override;

 private:
  std::filesystem::path programFolder_;
};

// The forwarded request: hands a request frame to an outside transport, which
// may deliver the answer later through the sink.
class RequestForwarder {
 public:
  using AnswerSink = std::function<void(std::span<const std::uint8_t>)>;
  virtual ~RequestForwarder() = default;
  // false when there is nothing to forward through (the request is then dropped).
  virtual bool SendRequest(const std::string& host, std::span<const std::uint8_t> request,
                           const AnswerSink& sink, std::string& error) = 0;
};

// The forwarding library in the program folder, loaded on first use. It exports
//   void SendRequest(const char* host, int port, int a, int b, const char* request, int length)
// called with port 28011, a = 1, b = 11 and the nine request bytes (zero-terminated), and
// optionally
//   void SetAnswerReceiver(void (*receiver)(void* context, const unsigned char* bytes, int length),
//                          void* context)
// through which it hands back answers.
class LibraryRequestForwarder final : public RequestForwarder {
 public:
  static constexpr char LibraryName[] = "PtUskVC";
  explicit LibraryRequestForwarder(std::filesystem::path programFolder);
  ~LibraryRequestForwarder() override;
  bool SendRequest(const std::string& host, std::span<const std::uint8_t> request, const AnswerSink& sink,
                   std::string& error) override;

 private:
  struct Loaded;
  std::filesystem::path programFolder_;
  std::unique_ptr<Loaded> loaded_;
  std::string loadError_;
  bool tried_ = false;
};

}  // namespace velk
