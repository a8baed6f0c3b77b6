// A simulated meter on a line: it serves a SimulatedMeter over a pseudo-terminal
// (the reader opens SlavePath() as its serial port) or a loopback TCP port,
// optionally behind a simulated GSM modem and an RS485 adapter, paces its output
// at a line speed, adds a latency per answer and puts faults on the answers.
//
//   ManualClock clock(start);
//   MeterSimOptions options;                    // pseudo-terminal, no pacing
//   MeterSimulator sim(builder.BuildMemory(), clock, options);
//   std::string error;
//   if (!sim.Start(error)) ...;
//   ... read sim.SlavePath() ...; sim.Meter().Requests(); sim.Stop();
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "common/Clock.h"
#include "meter-sim/LineFaults.h"
#include "meter-sim/SimulatedMeter.h"

namespace velk {

namespace testlines {
class LineEnd;
class TcpLineListener;
}  // namespace testlines

enum class ModemOutcome { Connect, Busy, NoCarrier, NoDialtone, Silence };

struct ModemOptions {
  ModemOutcome Outcome = ModemOutcome::Connect;
  bool Echo = true;        // the modem echoes the command line it was given
  int ResultDelayMs = 50;  // from the end of the dial command to the result text
};

struct Rs485Options {
  std::uint8_t Address = 1;     // the meter's network address; requests for others are ignored
  bool AddressInAnswer = true;  // answers start with the address byte instead of 0x00
  // The meter behind the adapter does not answer: the adapter sends error answers (0xC3)
  // whose first byte is the network address (ErrorAnswerWithAddress) or 0x00.
  bool MeterSilent = false;
  bool ErrorAnswerWithAddress = true;
};

struct MeterSimOptions {
  enum class Transport { PseudoTerminal, Tcp };
  Transport Link = Transport::PseudoTerminal;
  int TcpPort = 0;    // 0: a free loopback port (see Port())
  int BaudRate = 0;   // 0: no pacing; otherwise 10 bits per byte, requests take their line time too
  int LatencyMs = 0;  // added before every answer
  std::optional<ModemOptions> Modem;
  std::optional<Rs485Options> Rs485;
  std::vector<FaultRule> Faults;
};

class MeterSimulator {
 public:
  MeterSimulator(MeterMemory memory, const Clock& clock, MeterSimOptions options,
                 double clockOffsetSeconds = 0);
  ~MeterSimulator();
  MeterSimulator(const MeterSimulator&) = delete;
  MeterSimulator& operator=(const MeterSimulator&) = delete;

  // Opens the pseudo-terminal or the listening port and starts serving.
  bool Start(std::string& error);
  void Stop();

  const std::string& SlavePath() const { return slavePath_; }
  int Port() const { return port_; }
  SimulatedMeter& Meter() { return meter_; }
  FaultPlan& Faults() { return faults_; }

  long long BytesReceived() const { return bytesIn_.load(); }
  long long BytesSent() const { return bytesOut_.load(); }
  int Connections() const { return connections_.load(); }
  // Dial commands the modem has seen ("atd..." as received).
  std::vector<std::string> DialCommands() const;

 private:
  using SteadyTime = std::chrono::steady_clock::time_point;
  struct OutItem {
    std::vector<std::uint8_t> Bytes;
    SteadyTime NotBefore;
    std::chrono::milliseconds GapBefore{0};  // silence after the previous item
    bool CloseAfter = false;
    std::optional<SteadyTime> Start;
    std::size_t Written = 0;
  };

  static OutItem MakeItem(std::vector<std::uint8_t> bytes, SteadyTime notBefore,
                          std::chrono::milliseconds gapBefore = std::chrono::milliseconds(0));
  void Run();
  bool ServeConnection();
  void OnBytes(std::span<const std::uint8_t> bytes);
  void OnModemBytes(std::span<const std::uint8_t> bytes);
  void OnRequest(const ReceivedRequest& request);
  void Queue(std::vector<std::uint8_t> bytes, SteadyTime notBefore);
  void QueueAnswer(std::vector<std::uint8_t> answer, const std::vector<FaultRule>& faults, SteadyTime ready);
  // Sends what is due; the time of the next output event.
  std::optional<SteadyTime> Pump();
  bool WriteLine(std::span<const std::uint8_t> bytes);
  void DropConnection();
  std::chrono::nanoseconds ByteTime() const;

  SimulatedMeter meter_;
  MeterSimOptions options_;
  FaultPlan faults_;

  std::unique_ptr<testlines::TcpLineListener> listener_;  // set for a TCP line
  std::unique_ptr<testlines::LineEnd> line_;  // the pseudo-terminal, or the TCP connection being served
  std::string slavePath_;
  int port_ = 0;

  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<long long> bytesIn_{0}, bytesOut_{0};
  std::atomic<int> connections_{0};

  // Line state, touched by the serving thread only.
  RequestScanner scanner_;
  bool modemConnected_ = false;
  std::string modemLine_;
  std::deque<OutItem> output_;
  std::optional<OutItem> held_;  // an answer held back to be sent after the next one
  SteadyTime heldSince_{};
  SteadyTime lineFree_{};

  mutable std::mutex dialMutex_;
  std::vector<std::string> dialCommands_;
};

}  // namespace velk
