// The shared record of the carrier link: the command a worker runs, its request
// fields and result, the progress and stop flags and the table of files on the
// connected carrier. One instance for the whole run, owned by the application.
// Fields the main thread polls or sets while a worker runs are atomics.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

#include "common/DateTime.h"

namespace velk {

// One file on a carrier (plus, for an НКП-3М, the end entry with the first free block).
struct TCarrierFileEntry {
  std::uint16_t StartBlock = 0;
  std::uint16_t BlockCount = 0;
  std::uint8_t DeviceType = 0;
  std::uint16_t SerialNumber = 0;
  std::uint32_t Size = 0;
  std::uint8_t DnCode = 0;
  std::uint16_t Dn = 9999;
  TDateTime ReadTime = 0;
  TDateTime SecondDate = 0;
  double SupplyVoltage = 0;
  std::uint32_t UnrecognisedType = 0;  // 255 when the device type is not recognised
};

constexpr int CarrierMaxRows = 4097;
constexpr std::uint32_t UnrecognisedTypeFlag = 255;

// Result codes beyond those of a query.
constexpr int CarrierResultPending = 100;
constexpr int CarrierResultClockStopped = 10;  // also: block unreadable
constexpr int CarrierResultPortFailed = 11;
constexpr int CarrierResultStopped = 20;
constexpr int CarrierResultUserAbort = 8;

struct CarrierLinkState {
  std::atomic<int> CarrierCommand{0};
  std::uint8_t Code = 0;
  std::uint16_t Param = 0;
  std::uint8_t Count = 0;
  std::array<std::uint8_t, 4> Extra{};
  std::atomic<int> Result{CarrierResultPending};
  std::atomic<std::uint8_t> PortFailed{0};
  std::atomic<std::uint8_t> PortClosed{1};
  std::atomic<std::uint8_t> ThreadDone{1};
  std::atomic<std::uint8_t> GoOn{0};
  std::atomic<int> BlockCounter{0};
  int RestoreParameter = 0;
  int FileNumber = 0;
  TDateTime CarrierClock = 0;
  std::atomic<std::uint8_t> LtrPortOpen{0};
  std::atomic<std::uint8_t> Ltr2{0};
  int FileCount = 0;
  std::vector<TCarrierFileEntry> CarrierFileTable = std::vector<TCarrierFileEntry>(CarrierMaxRows);
};

}  // namespace velk
