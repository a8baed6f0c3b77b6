// A carrier engine wired to a simulated carrier in the same process.
#pragma once

#include <memory>

#include "carrier-sim/CarrierSimPort.h"
#include "carrier/ComPortQuery.h"
#include "common/Clock.h"

namespace velk::test {

// Lets the engine own a port while the test keeps looking at it.
class ForwardingPort final : public SerialPort {
 public:
  explicit ForwardingPort(std::shared_ptr<CarrierSimPort> port) : port_(std::move(port)) {}
  bool Write(std::span<const std::uint8_t> bytes) override { return port_->Write(bytes); }
  std::optional<std::uint8_t> ReadByte(int timeoutMs) override { return port_->ReadByte(timeoutMs); }
  bool Failed() const override { return port_->Failed(); }
  void Close() override {}
  void SetDtr(bool on) override { port_->SetDtr(on); }
  void SetRts(bool on) override { port_->SetRts(on); }
  void PurgeQueues() override { port_->PurgeQueues(); }
  bool SetBaudRate(int baud) override { return port_->SetBaudRate(baud); }

 private:
  std::shared_ptr<CarrierSimPort> port_;
};

inline SerialPortFactory FactoryFor(std::shared_ptr<CarrierSimPort> port, bool* portMissing = nullptr) {
  return [port, portMissing](const std::string& name, int, std::string& error) -> std::unique_ptr<SerialPort> {
    if (portMissing && *portMissing) {
      error = name + " missing";
      return nullptr;
    }
    return std::make_unique<ForwardingPort>(port);
  };
}

// 1 January 2026 12:00:00.
inline constexpr TDateTime TestNow = 46023.5;

struct SimLink {
  explicit SimLink(CarrierKind kind)
      : clock(TestNow), carrier(kind, clock), port(std::make_shared<CarrierSimPort>(carrier, faults)),
        query(FactoryFor(port, &portMissing)) {
    query.SleepMs = [](int) {};
    query.Query_NKP = kind == CarrierKind::Nkp;
    query.Query_LTR = kind != CarrierKind::Nkp;
    query.Query_LTR2 = kind == CarrierKind::Ltr2;
    query.Query_WaitFirstByte = 30;
    query.Query_WaitLastByte = 30;
  }
  void Open() {
    std::string error;
    query.Open(error);
  }

  ManualClock clock;
  SimulatedCarrier carrier;
  FaultPlan faults;
  bool portMissing = false;
  std::shared_ptr<CarrierSimPort> port;
  TComPortQuery query;
};

inline FaultRule Fault(FaultKind kind, int times = 1, int param = -1, int param2 = 200) {
  FaultRule rule;
  rule.Kind = kind;
  rule.Times = times;
  rule.Param = param;
  rule.Param2 = param2;
  return rule;
}

}  // namespace velk::test
