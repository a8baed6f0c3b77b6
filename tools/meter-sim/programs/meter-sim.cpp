// meter-sim: a simulated meter on a pseudo-terminal or a loopback TCP port.
//
//   meter-sim [--dump FILE | --family CODE [--serial N] [--hours N]]
//             [--tcp PORT] [--baud N] [--latency MS] [--clock-offset SECONDS]
//             [--modem connect|busy|no-carrier|no-dialtone|silence] [--no-echo]
//             [--rs485 ADDRESS] [--rs485-zero-first-byte] [--rs485-silent-meter address|zero]
//             [--fault KIND[:CODE[:ADDRESS[:TIMES[:PARAM[:PARAM2]]]]]]...
//
// It prints "pty <slave path>" or "tcp 127.0.0.1 <port>" on the first line and serves until it
// is asked to stop (SIGINT or SIGTERM; Ctrl+C on Windows); then it prints what it has seen.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "common/Clock.h"
#include "common/FileReplace.h"
#include "imagebuilder/Family5ImageBuilder.h"
#include "imagebuilder/OtherFamilyImageBuilder.h"
#include "meter-sim/DumpMeter.h"
#include "meter-sim/MeterSimulator.h"
#include "testlines/StopSignal.h"

namespace {

using namespace velk;

constexpr char Usage[] =
    "usage: meter-sim [--dump FILE | --family CODE [--serial N] [--hours N]]\n"
    "                 [--tcp PORT] [--baud N] [--latency MS] [--clock-offset SECONDS]\n"
    "                 [--modem connect|busy|no-carrier|no-dialtone|silence] [--no-echo]\n"
    "                 [--rs485 ADDRESS] [--rs485-zero-first-byte] [--rs485-silent-meter address|zero]\n"
    "                 [--fault KIND[:CODE[:ADDRESS[:TIMES[:PARAM[:PARAM2]]]]]]...\n"
    "  KIND: noise, crc, drop, stall, none, reorder, break; '*' matches any code or address\n";

struct Arguments {
  std::string DumpPath;
  int Family = 53;
  int Serial = 12345;
  int Hours = 240;
  double ClockOffset = 0;
  MeterSimOptions Options;
};

int Fail(const std::string& text) {
  std::cerr << "meter-sim: " << text << "\n" << Usage;
  return 2;
}

bool ToInt(const std::string& text, int& value) {
  try {
    std::size_t used = 0;
    value = std::stoi(text, &used, 0);
    return used == text.size();
  } catch (...) {
    return false;
  }
}

// An empty string when the arguments are sound, else what is wrong.
std::string Parse(int argc, char** argv, Arguments& a) {
  static const std::map<std::string, ModemOutcome> outcomes = {{"connect", ModemOutcome::Connect},
                                                               {"busy", ModemOutcome::Busy},
                                                               {"no-carrier", ModemOutcome::NoCarrier},
                                                               {"no-dialtone", ModemOutcome::NoDialtone},
                                                               {"silence", ModemOutcome::Silence}};
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    const auto value = [&](std::string& into) {
      if (i + 1 >= argc) return false;
      into = argv[++i];
      return true;
    };
    const auto number = [&](int& into) {
      std::string text;
      return value(text) && ToInt(text, into);
    };
    std::string text;
    int n = 0;
    if (option == "--dump") {
      if (!value(a.DumpPath)) return "--dump needs a file";
    } else if (option == "--family") {
      if (!number(a.Family)) return "--family needs a family code";
    } else if (option == "--serial") {
      if (!number(a.Serial) || a.Serial < 0 || a.Serial > 65535) return "--serial needs a number 0..65535";
    } else if (option == "--hours") {
      if (!number(a.Hours) || a.Hours < 0) return "--hours needs a count";
    } else if (option == "--tcp") {
      if (!number(a.Options.TcpPort) || a.Options.TcpPort < 0 || a.Options.TcpPort > 65535) {
        return "--tcp needs a port (0: any free one)";
      }
      a.Options.Link = MeterSimOptions::Transport::Tcp;
    } else if (option == "--baud") {
      if (!number(a.Options.BaudRate) || a.Options.BaudRate < 0) return "--baud needs a line speed";
    } else if (option == "--latency") {
      if (!number(a.Options.LatencyMs) || a.Options.LatencyMs < 0) return "--latency needs milliseconds";
    } else if (option == "--clock-offset") {
      if (!number(n)) return "--clock-offset needs seconds";
      a.ClockOffset = n;
    } else if (option == "--modem") {
      if (!value(text) || !outcomes.count(text))
        return "--modem needs connect, busy, no-carrier, no-dialtone or silence";
      if (!a.Options.Modem) a.Options.Modem = ModemOptions{};
      a.Options.Modem->Outcome = outcomes.at(text);
    } else if (option == "--no-echo") {
      if (!a.Options.Modem) a.Options.Modem = ModemOptions{};
      a.Options.Modem->Echo = false;
    } else if (option == "--rs485") {
      if (!number(n) || n < 0 || n > 255) return "--rs485 needs a network address 0..255";
      if (!a.Options.Rs485) a.Options.Rs485 = Rs485Options{};
      a.Options.Rs485->Address = static_cast<std::uint8_t>(n);
    } else if (option == "--rs485-zero-first-byte") {
      if (!a.Options.Rs485) return "--rs485-zero-first-byte needs --rs485 first";
      a.Options.Rs485->AddressInAnswer = false;
    } else if (option == "--rs485-silent-meter") {
      if (!a.Options.Rs485) return "--rs485-silent-meter needs --rs485 first";
      if (!value(text) || (text != "address" && text != "zero"))
        return "--rs485-silent-meter needs address or zero";
      a.Options.Rs485->MeterSilent = true;
      a.Options.Rs485->ErrorAnswerWithAddress = text == "address";
    } else if (option == "--fault") {
      std::string error;
      if (!value(text)) return "--fault needs a fault";
      const auto rule = ParseFaultRule(text, error);
      if (!rule) return error;
      a.Options.Faults.push_back(*rule);
    } else {
      return "unknown option '" + option + "'";
    }
  }
  return {};
}

std::optional<MeterMemory> LoadMeter(const Arguments& a, const Clock& clock, std::string& error) {
  if (!a.DumpPath.empty()) {
    std::string bytes;
    if (!ReadWholeFile(a.DumpPath, bytes, DumpCapacity)) {
      error = "cannot read the dump file '" + a.DumpPath + "' (missing, unreadable or over 100001 bytes)";
      return std::nullopt;
    }
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    return MeterMemoryFromDump({data, bytes.size()}, error);
  }
  const TDateTime now = clock.Now() + a.ClockOffset / SecondsPerDay;
  if (a.Family >= 53 && a.Family <= 56) {
    Family5ImageBuilder b(a.Family);
    b.SetSerial(static_cast<std::uint16_t>(a.Serial))
        .SetClock(now)
        .SetInitTime(now - 60)
        .FillHourRecords(a.Hours);
    return b.BuildMemory();
  }
  const bool known = (a.Family >= 1 && a.Family <= 49) || a.Family == 50 || a.Family == 51 ||
                     a.Family == 60 || a.Family == 70 || a.Family == 71;
  if (!known) {
    error = "no simulated meter for family code " + std::to_string(a.Family);
    return std::nullopt;
  }
  OtherFamilyImageBuilder b(a.Family);
  b.SetSerial(static_cast<std::uint16_t>(a.Serial)).SetClock(now).FillHourRecords(a.Hours);
  return b.BuildMemory();
}

}  // namespace

int main(int argc, char** argv) {
  Arguments arguments;
  if (const std::string problem = Parse(argc, argv, arguments); !problem.empty()) return Fail(problem);
  const Clock& clock = SystemClock::Instance();
  std::string error;
  auto memory = LoadMeter(arguments, clock, error);
  if (!memory) return Fail(error);

  testlines::PrepareStopRequest();

  MeterSimulator sim(std::move(*memory), clock, arguments.Options, arguments.ClockOffset);
  if (!sim.Start(error)) {
    std::cerr << "meter-sim: " << error << "\n";
    return 1;
  }
  if (sim.Port() > 0)
    std::cout << "tcp 127.0.0.1 " << sim.Port() << std::endl;
  else
    std::cout << "pty " << sim.SlavePath() << std::endl;

  testlines::WaitForStopRequest();
  sim.Stop();
  std::cout << "requests " << sim.Meter().Requests().size() << ", bytes received " << sim.BytesReceived()
            << ", bytes sent " << sim.BytesSent() << ", faults " << sim.Faults().Hits() << std::endl;
  return 0;
}
