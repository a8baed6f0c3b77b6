// TComPortQuery: the serial port of the carrier link with one blocking
// exchange, Query, that sends a request frame, finds and checks the answer and
// copies its payload into the answer buffer, repeating on failure. It runs on
// the carrier worker thread; the main thread only clears the busy flag and
// reads the progress counters.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "carrier/CarrierFrame.h"
#include "common/ByteStream.h"
#include "common/Clock.h"
#include "common/ExchangeMonitor.h"

namespace velk {

// Opens a port by name ("COM<n>") at a baud rate; nullptr with `error` set on failure.
using SerialPortFactory =
    std::function<std::unique_ptr<SerialPort>(const std::string& portName, int baudRate, std::string& error)>;
// The system's ports through the port map of the program folder.
SerialPortFactory SystemSerialPortFactory(const std::filesystem::path& programFolder);

// Thrown when the port fails under a query (write on a closed or lost port).
struct CarrierPortError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class TComPortQuery {
 public:
  static constexpr std::size_t AnswerCapacity = 32784;
  static constexpr int WaitingCount = 0xFFFF;  // expected count before the request is built

  // Without a factory: the system's ports of the running program's folder.
  TComPortQuery();
  explicit TComPortQuery(SerialPortFactory factory);
  ~TComPortQuery();

  int Query_Povtorov() const { return povtorov_; }
  void SetQuery_Povtorov(int value) { povtorov_ = value < 0 ? 1 : value; }
  int Query_WaitFirstByte = 10;  // ms
  int Query_WaitLastByte = 0;    // ms
  int Query_ChisloNuley = 2;
  int Query_AdrPribora = -1;
  bool Query_NKP = false;
  bool Query_LTR = false;
  bool Query_LTR2 = false;
  // Extra request bytes for ЛТР codes 0xF1..0xF5 (the worker copies them from CarrierLinkState).
  std::array<std::uint8_t, 4> ExtraBytes{};

  using Notification = std::function<void(TComPortQuery&)>;
  Notification OnQuery_Monitor, OnQuery_SaprosOnn, OnQuery_SaprosOff, OnQuery_OtwetOnn, OnQuery_OtwetOff,
      OnQuery_EndCikl;

  // Port operations.
  void SetPortName(const std::string& name) { portName_ = name; }
  const std::string& PortName() const { return portName_; }
  void SetBaudRate(int baud);
  // false with `error` set when the port cannot be opened.
  bool Open(std::string& error);
  void Close();
  bool IsOpen() const { return port_ != nullptr; }
  void ClearBuffers();
  void SetRts(bool on);
  void SetDtr(bool on);

  // One exchange with repeats; 0 = the payload is in Answer(). See ResultText().
  int Query(std::uint8_t code, std::uint16_t param, std::uint8_t count);

  const std::array<std::uint8_t, AnswerCapacity>& Answer() const { return answer_; }
  const std::string& ResultText() const { return resultText_; }
  // Lines of the current attempt; emptied at every OnQuery_Monitor.
  const std::vector<std::string>& MonitorList() const { return monitorList_; }
  // Every monitor line also goes here when set.
  ExchangeMonitor* Monitor = nullptr;
  // How the engine sleeps (tests replace it to skip the line-reset pauses).
  std::function<void(int ms)> SleepMs;
  // The answer waits run on this clock's monotonic reading.
  const Clock* WaitClock = &SystemClock::Instance();

  // Shared with the main thread.
  std::atomic<std::uint8_t> Busy{0};
  std::atomic<int> ReceivedCount{0};
  std::atomic<int> ExpectedCount{WaitingCount};

 private:
  int Attempt(int k, std::uint8_t code, std::uint16_t param, std::uint8_t count, CarrierFamily family,
              const std::vector<std::uint8_t>& frame);
  // nullopt on time-out; `aborted_` is set when the busy flag was cleared.
  std::optional<std::uint8_t> ReadWithin(int ms);
  double SecondsSince(double monotonicMs) const { return (WaitClock->MonotonicMs() - monotonicMs) / 1000.0; }
  // false when the busy flag was cleared during the pause.
  bool Pause(int ms);
  void AddLine(const std::string& line);
  void Fire(const Notification& n);
  SerialPort& Port();

  SerialPortFactory factory_;
  std::unique_ptr<SerialPort> port_;
  std::string portName_ = "COM1";
  int baud_ = 19200;
  int povtorov_ = 0;
  bool aborted_ = false;
  std::array<std::uint8_t, AnswerCapacity> answer_{};
  std::vector<std::uint8_t> received_;
  std::vector<std::string> monitorList_;
  std::string resultText_;
};

// Wording of a query result (0..9); empty for other codes.
std::string CarrierQueryResultText(int result);

}  // namespace velk
