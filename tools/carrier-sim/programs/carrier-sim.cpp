// carrier-sim: a simulated НКП-3М, ЛТР or ЛТР-2 carrier on a pseudo-terminal.
//
//   carrier-sim --carrier=nkp|ltr|ltr2 [--dump=FILE]... [--demo=N] [--serial=N]
//               [--memory=BLOCKS] [--faulty-block=N]... [--unreadable-block=N]...
//               [--stopped-clock] [--clock-offset=SECONDS] [--fault=RULE]... [--link=PATH]
//
// --dump loads a raw dump file as a carrier file; --demo adds N heat meter
// images of the two-system family (НКП-3М only). The program prints the
// device path to open and serves until its standard input closes.
#include <filesystem>
#include <iostream>
#include <string>

#include "carrier-sim/CarrierFileImages.h"
#include "carrier-sim/CarrierSimLine.h"
#include "common/Clock.h"
#include "common/FileReplace.h"
#include "imagebuilder/Family5ImageBuilder.h"

using namespace velk;

namespace {

bool Option(const std::string& arg, const std::string& name, std::string& value) {
  const std::string prefix = "--" + name + "=";
  if (arg.rfind(prefix, 0) != 0) return false;
  value = arg.substr(prefix.size());
  return true;
}

int Fail(const std::string& text) {
  std::cerr << "carrier-sim: " << text << "\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string value, kindText = "nkp", link;
  std::vector<std::string> dumps;
  std::vector<FaultRule> rules;
  std::vector<int> faulty, unreadable;
  int demo = 0, serial = 1, memory = 64;
  double offset = 0;
  bool stopped = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (Option(arg, "carrier", value)) kindText = value;
    else if (Option(arg, "dump", value)) dumps.push_back(value);
    else if (Option(arg, "demo", value)) demo = std::stoi(value);
    else if (Option(arg, "serial", value)) serial = std::stoi(value);
    else if (Option(arg, "memory", value)) memory = std::stoi(value);
    else if (Option(arg, "faulty-block", value)) faulty.push_back(std::stoi(value));
    else if (Option(arg, "unreadable-block", value)) unreadable.push_back(std::stoi(value));
    else if (Option(arg, "clock-offset", value)) offset = std::stod(value);
    else if (Option(arg, "link", value)) link = value;
    else if (arg == "--stopped-clock") stopped = true;
    else if (Option(arg, "fault", value)) {
      std::string error;
      auto rule = ParseFaultRule(value, error);
      if (!rule) return Fail(error);
      rules.push_back(*rule);
    } else return Fail("unknown option " + arg);
  }
  CarrierKind kind;
  if (kindText == "nkp") kind = CarrierKind::Nkp;
  else if (kindText == "ltr") kind = CarrierKind::Ltr;
  else if (kindText == "ltr2") kind = CarrierKind::Ltr2;
  else return Fail("--carrier must be nkp, ltr or ltr2");

  const Clock& clock = SystemClock::Instance();
  SimulatedCarrier carrier(kind, clock);
  carrier.SetSerial(static_cast<std::uint16_t>(serial));
  carrier.SetMemorySize(memory);
  carrier.SetClockOffsetSeconds(offset);
  carrier.StopClock(stopped);
  for (int b : faulty) carrier.MarkFaultyBlock(static_cast<std::uint16_t>(b));
  for (int b : unreadable) carrier.SetUnreadableBlock(static_cast<std::uint16_t>(b));

  int block = 0;
  const TDateTime readTime = RoundToSecond(clock.Now());
  auto add = [&](std::span<const std::uint8_t> image) {
    bool ok = false;
    if (kind == CarrierKind::Nkp) {
      NkpFileHeader header;
      header.SerialNumber = static_cast<std::uint16_t>(image.size() > 515 ? image[514] | (image[515] << 8) : 0);
      header.ReadTime = readTime;
      header.SecondDate = readTime;
      ok = carrier.AddNkpFile(MakeNkpFile(image, header));
    } else if (kind == CarrierKind::Ltr) {
      ok = carrier.AddLtrFile(block++, MakeLtrFile(image, image.size() > 131 ? image[130] | (image[131] << 8) : 0,
                                                   readTime - DecodeDateTime(readTime).Second * OneSecond, 3.6));
    } else {
      ok = carrier.AddLtrFile(block++, MakeLtr2File(image, readTime - DecodeDateTime(readTime).Second * OneSecond, 3.6));
    }
    return ok;
  };
  for (const auto& path : dumps) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes, DumpCapacity)) return Fail("cannot read " + path);
    if (!add(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size())))
      return Fail("no room on the carrier for " + path);
  }
  for (int i = 0; i < demo; ++i) {
    TDumpImage image;
    Family5ImageBuilder(53).SetSerial(static_cast<std::uint16_t>(1000 + i)).FillHourRecords(48).BuildFullDump(readTime, image);
    if (!add(image.Bytes())) return Fail("no room on the carrier for demo image " + std::to_string(i + 1));
  }

  FaultPlan plan(rules);
  CarrierSimLine line(carrier, plan);
  std::string error;
  if (!line.Start(error)) return Fail(error);
  if (!link.empty()) {
    std::error_code ec;
    std::filesystem::remove(link, ec);
    std::filesystem::create_symlink(line.DevicePath(), link, ec);
    if (ec) return Fail("cannot link " + link + ": " + ec.message());
  }
  std::cout << line.DevicePath() << std::endl;
  std::string ignored;
  while (std::getline(std::cin, ignored)) {
  }
  line.Stop();
  return 0;
}
