// A reader thread against a simulated meter over a real pseudo-terminal or
// loopback TCP. The computer clock of the test starts at a chosen moment and
// runs with real time; the fixed pauses of the line discipline are skipped by
// moving that clock on instead of sleeping, so readings are fast and their
// clock arithmetic is the same as with real pauses.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "common/ByteStream.h"
#include "common/Clock.h"
#include "common/ExchangeMonitor.h"
#include "common/MeterCfg.h"
#include "common/UserInterface.h"
#include "imagebuilder/Family5ImageBuilder.h"
#include "link/LinkOpener.h"
#include "link/UnConnectTread.h"
#include "meter-sim/MeterSimulator.h"
#include "support/TempDir.h"

namespace velk::test {

// Starts at `start`, runs with the steady clock, and jumps by the pauses skipped.
class SkippingClock final : public Clock {
 public:
  explicit SkippingClock(TDateTime start) : start_(start), origin_(std::chrono::steady_clock::now()) {}
  TDateTime Now() const override { return start_ + MonotonicMs() / 1000.0 / SecondsPerDay; }
  double MonotonicMs() const override {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - origin_).count() +
           static_cast<double>(skippedMs_.load());
  }
  void Skip(int milliseconds) { skippedMs_ += milliseconds; }

 private:
  TDateTime start_;
  std::chrono::steady_clock::time_point origin_;
  std::atomic<long long> skippedMs_{0};
};

// Serial ports of the reader are the simulator's pseudo-terminal, whatever their name.
class SimulatorLinks final : public LinkOpener {
 public:
  std::string SlavePath;
  std::unique_ptr<SerialPort> OpenSerial(const std::string&, int baudRate, std::string& error) override {
    return OpenSerialPort(SlavePath, SerialSettings{baudRate}, error);
  }
  std::unique_ptr<ByteStream> OpenTcp(const std::string& host, int port, int streamTimeoutMs,
                                      std::string& error) override {
    return ConnectTcp(host, port, 2000, streamTimeoutMs, error);
  }
};

inline TDateTime At(int year, int month, int day, int hour, int minute, int second) {
  return *EncodeDateTime({year, month, day, hour, minute, second, 0});
}

class LinkReadingTest : public ::testing::Test {
 protected:
  static constexpr std::uint16_t Serial = 12345;

  // The computer's clock at the start of the test.
  void SetComputerTime(TDateTime start) { clock = std::make_unique<SkippingClock>(start); }

  static Family5ImageBuilder Meter53(TDateTime meterClock, int hourRecords = 200) {
    Family5ImageBuilder b(53);
    b.SetSerial(Serial).SetClock(meterClock).SetInitTime(meterClock - 30).FillHourRecords(hourRecords);
    return b;
  }

  void StartMeter(MeterMemory memory, MeterSimOptions options = {}, double clockOffsetSeconds = 0) {
    sim = std::make_unique<MeterSimulator>(std::move(memory), *clock, std::move(options), clockOffsetSeconds);
    std::string error;
    ASSERT_TRUE(sim->Start(error)) << error;
    links.SlavePath = sim->SlavePath();
  }

  TConnectTread& MakeReader(int linkKind) {
    reader = std::make_unique<TConnectTread>(*image, monitor, ui, *clock);
    TConnectTread& r = *reader;
    r.LinkKind = linkKind;
    r.PortName = "COM3";
    r.BaudCode = 7;
    r.NetAddress = 0xFFFF;
    r.HostName = "127.0.0.1";
    r.TcpPort = sim ? sim->Port() : 0;
    r.FirstByteTimeoutMs = 400;
    r.NextByteTimeoutMs = 100;
    r.RetryCount = 3;
    r.AreaWindow = 1;
    r.ReadMode = 0;
    r.Storage.EdDataDir = data.Text();
    r.Links = &links;
    r.Sleep = [this](int ms) { clock->Skip(ms); };
    r.RaisePriority = false;
    return r;
  }

  // Runs the reading to its end (bounded, so that a hang fails instead of blocking the suite).
  void RunReading() {
    reader->Start();
    for (int i = 0; i < 6000 && !reader->Finished(); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(reader->Finished()) << "the reading did not end";
    reader->Join();
  }

  std::string MonitorText() const {
    std::string text;
    for (const std::string& line : monitor.Lines()) text += line + "\n";
    return text;
  }

  std::string CfgPath() const {
    const std::string name = "53-" + std::to_string(Serial);
    return data.Text() + "\\" + name + "\\" + name + ".cfg";
  }
  void WriteCfg(std::uint32_t pointer, TDateTime readTime) {
    TMeterCfg record;
    record.Counter = 1;
    record.Pointer = pointer;
    record.ReadTime = readTime;
    ASSERT_TRUE(WriteMeterCfg(CfgPath(), record));
  }

  int ArchiveRequests() const {
    int n = 0;
    for (const ReceivedRequest& r : sim->Meter().Requests()) n += r.Code == 0xF0 && r.Address >= 0x0100;
    return n;
  }

  // The image holds EEPROM [from, to) of the meter from image offset `at`.
  ::testing::AssertionResult ImageHolds(const MeterMemory& m, std::int32_t at, std::uint32_t from,
                                        std::uint32_t to) {
    for (std::uint32_t a = from; a < to; ++a) {
      const std::int32_t offset = at + static_cast<std::int32_t>(a - from);
      if (image->DumpImage[offset] != m.Eeprom[a]) {
        return ::testing::AssertionFailure()
               << "image[" << offset << "] differs from memory byte 0x" << std::hex << a;
      }
    }
    return ::testing::AssertionSuccess();
  }

  TempDir data;
  std::unique_ptr<SkippingClock> clock = std::make_unique<SkippingClock>(At(2026, 3, 14, 10, 20, 0));
  std::unique_ptr<TDumpImage> image = std::make_unique<TDumpImage>();
  ExchangeMonitor monitor;
  DirectUserInterface ui;
  SimulatorLinks links;
  std::unique_ptr<MeterSimulator> sim;
  std::unique_ptr<TConnectTread> reader;
};

}  // namespace velk::test
