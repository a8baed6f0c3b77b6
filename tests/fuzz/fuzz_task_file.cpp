// Arbitrary bytes as one record of a task file (.tsm): the fields read at
// their offsets, put into the settings and the read panel as the task
// processing does, and the reader thread configured from them. Whatever the
// record holds, the thread gets a link it can use or the record is refused
// with a message; texts stay within their capacities.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "app/ConnectTreadAdjustment.h"
#include "app/TaskFile.h"
#include "common/Clock.h"
#include "common/DumpImage.h"
#include "common/ExchangeMonitor.h"
#include "common/Text1251.h"
#include "common/UserInterface.h"
#include "link/UnConnectTread.h"

namespace {

void Require(bool condition) {
  if (!condition) __builtin_trap();
}

struct Reader {
  velk::TDumpImage Image;
  velk::ExchangeMonitor Monitor;
  velk::DirectUserInterface Ui;
  velk::ManualClock Clock{46091.5};
  velk::TConnectTread Thread{Image, Monitor, Ui, Clock};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > velk::TaskRecordSize + 8) return 0;
  static const auto reader = std::make_unique<Reader>();
  std::array<std::uint8_t, velk::TaskRecordSize> bytes{};
  std::copy_n(data, std::min(size, bytes.size()), bytes.begin());
  const velk::TTaskRecord task = velk::DecodeTaskRecord(bytes);
  Require(velk::Utf8ToCp1251(task.PorTelEdit).size() <= 29);
  Require(velk::Utf8ToCp1251(task.EdDataDir).size() <= 255);

  velk::TSettingsRecord settings;
  velk::ApplyTaskRecord(task, settings);
  velk::ReadPanel panel;
  // The "Порт" entry of the command line, when the input is longer than a record.
  const std::string entry(reinterpret_cast<const char*>(data) + std::min(size, bytes.size()),
                          size - std::min(size, bytes.size()));
  velk::ApplyTaskRecord(task, entry, panel);

  velk::TConnectTread& thread = reader->Thread;
  const velk::AdjustmentResult adjustment = velk::ConnectTreadAdjustment(thread, settings, panel);
  const bool directLink = task.MODBox >= velk::ItemRs232 && task.MODBox <= velk::ItemLinkora;
  if (!directLink) Require(!adjustment.Error.empty());
  if (!adjustment.Error.empty()) return 0;
  Require(thread.LinkKind == task.MODBox);
  Require(velk::Utf8ToCp1251(thread.PhoneNumber).size() <= 20);
  Require(velk::Utf8ToCp1251(thread.HostName).size() <= 20);
  if (task.MODBox == velk::ItemMoxa || task.MODBox == velk::ItemMoxaRlz)
    Require(thread.TcpPort >= 1 && thread.TcpPort <= 65535);
  if (task.MODBox == velk::ItemRs485 || task.MODBox == velk::ItemModemRs485)
    Require(thread.NetAddress <= 255);
  return 0;
}
