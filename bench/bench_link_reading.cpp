// A full reading of a family-53 meter from the simulated meter, paced at the
// line speed: on RS485 with one request at a time, and through a modem with
// 0.5 s added latency per exchange and 16 requests outstanding. Prints the
// elapsed time next to the line-time limit (bytes on the wire x 10 bits / baud
// plus the fixed pauses of the line discipline), their ratio, and the CPU time
// the reader thread used.
//
//   bench_link_reading [BAUD]     (default 9600)
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "common/Clock.h"
#include "common/ExchangeMonitor.h"
#include "common/UserInterface.h"
#include "imagebuilder/Family5ImageBuilder.h"
#include "link/LinkOpener.h"
#include "link/UnConnectTread.h"
#include "meter-sim/MeterSimulator.h"

namespace {

using namespace velk;

// The reader's serial port is the simulator's pseudo-terminal.
class PtyLinks final : public LinkOpener {
 public:
  explicit PtyLinks(std::string path) : path_(std::move(path)) {}
  std::unique_ptr<SerialPort> OpenSerial(const std::string&, int baudRate, std::string& error) override {
    return OpenSerialPort(path_, SerialSettings{baudRate}, error);
  }
  std::unique_ptr<ByteStream> OpenTcp(const std::string& host, int port, int timeoutMs,
                                      std::string& error) override {
    return ConnectTcp(host, port, 5000, timeoutMs, error);
  }

 private:
  std::string path_;
};

double ThreadCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + t.tv_nsec / 1e9;
}

double ProcessCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + t.tv_nsec / 1e9;
}

struct Scenario {
  const char* Name;
  int LinkKind;
  int Window;
  int LatencyMs;
};

int Run(const Scenario& s, int baud) {
  const Clock& clock = SystemClock::Instance();
  Family5ImageBuilder builder(53);
  builder.SetSerial(12345).SetClock(clock.Now()).SetInitTime(clock.Now() - 60).FillHourRecords(1000);

  MeterSimOptions options;
  options.BaudRate = baud;
  options.LatencyMs = s.LatencyMs;
  const bool modem = s.LinkKind == LinkKinds::Modem || s.LinkKind == LinkKinds::ModemRs485;
  const bool rs485 = s.LinkKind == LinkKinds::Rs485 || s.LinkKind == LinkKinds::ModemRs485;
  if (modem) options.Modem = ModemOptions{ModemOutcome::Connect};
  if (rs485) options.Rs485 = Rs485Options{1};
  MeterSimulator sim(builder.BuildMemory(), clock, options);
  std::string error;
  if (!sim.Start(error)) {
    std::fprintf(stderr, "bench_link_reading: %s\n", error.c_str());
    return 1;
  }

  auto image = std::make_unique<TDumpImage>();
  ExchangeMonitor monitor;
  DirectUserInterface ui;
  PtyLinks links(sim.SlavePath());
  const std::string dataFolder = "/tmp/velk-bench-link-" + std::to_string(::getpid());
  TConnectTread reader(*image, monitor, ui, clock);
  reader.LinkKind = s.LinkKind;
  reader.PortName = "COM1";
  reader.BaudCode = baud == 4800 ? 6 : baud == 19200 ? 9 : 7;
  reader.NetAddress = rs485 ? 1 : 0xFFFF;
  reader.PhoneNumber = "5551234";
  reader.DialNeeded = modem ? 1 : 0;
  reader.MaxDialSeconds = 30;
  reader.FirstByteTimeoutMs = 2000 + s.LatencyMs;
  reader.NextByteTimeoutMs = 200;
  reader.RetryCount = 3;
  reader.AreaWindow = s.Window;
  reader.ReadMode = 0;
  reader.Storage.EdDataDir = dataFolder;
  reader.Links = &links;
  double readerCpu = 0;
  reader.OnTerminate = [&readerCpu](TConnectTread&) { readerCpu = ThreadCpuSeconds(); };

  const double cpuBefore = ProcessCpuSeconds();
  const auto start = std::chrono::steady_clock::now();
  reader.Start();
  while (!reader.Finished()) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  reader.Join();
  const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double processCpu = ProcessCpuSeconds() - cpuBefore;
  sim.Stop();

  // Line time of every byte both ways, and the fixed pauses: 50 ms after each request, and on
  // the woken links 200 ms before and 100 ms after each wake-up burst.
  const long long wire = sim.BytesReceived() + sim.BytesSent();
  const int requests = static_cast<int>(sim.Meter().Requests().size());
  const double lineSeconds = wire * 10.0 / baud;
  const double pauseSeconds = requests * 0.050;
  const double limit = lineSeconds + pauseSeconds;
  std::printf("%s: status %d, %d requests, DumpLength %d\n", s.Name, static_cast<int>(reader.Status),
              requests, image->DumpLength);
  std::printf("  bytes on the wire %lld (%.1f s at %d baud) + pauses %.1f s = line-time limit %.1f s\n", wire,
              lineSeconds, baud, pauseSeconds, limit);
  std::printf("  elapsed %.1f s, ratio elapsed / limit %.2f", elapsed, elapsed / limit);
  if (s.LatencyMs > 0) std::printf(" (latency %d ms per exchange not in the limit)", s.LatencyMs);
  std::printf("\n  reader CPU %.3f s (%.2f %% of elapsed), whole process CPU %.3f s\n", readerCpu,
              100.0 * readerCpu / elapsed, processCpu);
  std::error_code ignored;
  std::filesystem::remove_all(dataFolder, ignored);
  return reader.Status == LinkStatus::Ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const int baud = argc > 1 ? std::atoi(argv[1]) : 9600;
  if (baud <= 0) {
    std::fprintf(stderr, "usage: bench_link_reading [BAUD]\n");
    return 2;
  }
  int failures = 0;
  failures += Run({"RS485, one request at a time", LinkKinds::Rs485, 1, 0}, baud);
  failures += Run({"GSM modem, 16 outstanding, 0.5 s latency", LinkKinds::Modem, 16, 500}, baud);
  return failures == 0 ? 0 : 1;
}
