// Carriers end to end: a simulated carrier on a pseudo-terminal, the real
// serial port, the dump file writer, the decode dispatcher and the report
// writers, against the same images stored and decoded directly.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "support/TempDir.h"
#include "carrier-sim/CarrierFileImages.h"
#include "carrier-sim/CarrierSimLine.h"
#include "carrier/CarrierCommandLine.h"
#include "carrier/CarrierDumpStore.h"
#include "carrier/CarrierOperations.h"
#include "decode/DecodedValues.h"
#include "link/DumpFile.h"
#include "reports/ReportWriter.h"

namespace velk::e2e {

// 1 January 2026 12:00:00.
inline constexpr TDateTime Now = 46023.5;

// Where dumps and reports go, and the dispatcher that writes them.
struct Storage {
  Storage(const std::filesystem::path& folder, const Clock& clock, UserInterface& ui)
      : writer(image, values, options, monitor, ui),
        decode{image, values, options, ui, &writer, true, clock, 0},
        store(decode, monitor) {
    options.EdDataDir = folder.string();
  }
  // Stores and decodes an image as the "open" command would after a direct reading.
  void StoreDirectly(std::span<const std::uint8_t> bytes, std::uint32_t code, std::uint16_t serial, TDateTime readTime) {
    image.Clear();
    std::copy(bytes.begin(), bytes.end(), image.DumpImage.begin());
    image.DumpLength = static_cast<std::int32_t>(bytes.size());
    store.SaveDump(image, CarrierDumpIdentity{code, serial, 0, readTime});
    ASSERT_EQ(store.SavedPaths.size(), 1u);
    store.Decode(store.SavedPaths.back());
  }

  StorageOptions options;
  ExchangeMonitor monitor;
  TDumpImage image;
  TDecodedValues values;
  ReportWriter writer;
  TDecodeContext decode;
  DumpFileCarrierStore store;
};

// Every file below `root` by its relative path.
inline std::map<std::string, std::vector<std::uint8_t>> FilesBelow(const std::filesystem::path& root) {
  std::map<std::string, std::vector<std::uint8_t>> files;
  if (!std::filesystem::exists(root)) return files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
    if (entry.is_regular_file())
      files[std::filesystem::relative(entry.path(), root).string()] = test::ReadBytes(entry.path());
  return files;
}

class PumpingUi final : public DirectUserInterface {
 public:
  void ProcessMessages() override {
    if (OnPump) OnPump();
  }
  std::function<void()> OnPump;
};

struct CarrierLine {
  CarrierLine(CarrierKind kind, const Clock& clock) : carrier(kind, clock), line(carrier, faults) {
    std::string error;
    started = line.Start(error);
    EXPECT_TRUE(started) << error;
  }
  SerialPortFactory Ports() const {
    const std::string path = line.DevicePath();
    return [path](const std::string&, int baud, std::string& error) {
      SerialSettings settings;
      settings.BaudRate = baud;
      return OpenSerialPort(path, settings, error);
    };
  }

  SimulatedCarrier carrier;
  FaultPlan faults;
  CarrierSimLine line;
  bool started = false;
};

inline CarrierSettings FastSettings() {
  CarrierSettings s;
  s.Nkp = {13, 200, 100, 2};
  s.Ltr = {9, 300, 100, 2};
  return s;
}

}  // namespace velk::e2e
