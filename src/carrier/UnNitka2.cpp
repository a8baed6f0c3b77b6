#include "carrier/UnNitka2.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "carrier/CarrierFileList.h"
#include "common/Mathem.h"

namespace velk {

int DayOfWeekSundayFirst(TDateTime value) {
  // Day 0 (30 December 1899) was a Saturday.
  const long long day = static_cast<long long>(std::floor(value));
  return static_cast<int>(((day % 7) + 7 + 6) % 7) + 1;
}

void PrepareCommand(CarrierLinkState& s, TComPortQuery& query, const Clock& clock) {
  const DateTimeParts now = DecodeDateTime(clock.Now());
  auto bcd = [](int n) { return ToBcd(n); };
  s.Extra = {0, 0, 0, 0};
  s.Param = 0;
  s.Count = 0;
  switch (s.CarrierCommand.load()) {
    case 1: s.Code = 0xF0; s.Param = 0x0100; break;
    case 2: s.Code = 0xF0; s.Param = 0x0040; s.Count = 0x80; break;
    case 3: s.Code = 0xF1; s.Count = 1; break;
    case 4:
      s.Code = 0xF5;
      query.Query_WaitFirstByte = 4000;  // the carrier erases before it answers
      break;
    case 5: s.Code = 0xF1; s.Count = 1; break;
    case 6: s.Code = 0xE2; s.Count = 6; break;
    case 7:
      s.Code = 0xE9;
      s.Param = static_cast<std::uint16_t>(bcd(now.Day) + 256 * bcd(now.Month));
      s.Count = bcd(now.Year % 100);
      break;
    case 8:
      s.Code = 0xE8;
      s.Param = static_cast<std::uint16_t>(bcd(now.Minute) + 256 * bcd(now.Hour));
      s.Count = bcd(now.Second);
      break;
    case 9: s.Code = 0xF8; s.Param = static_cast<std::uint16_t>(s.BlockCounter.load()); break;
    case 10: s.Code = 0xF6; s.Param = static_cast<std::uint16_t>(s.RestoreParameter); break;
    case 11: s.Code = 0xF2; break;
    case 12: s.Code = 0xF2; break;
    case 13: s.Code = 0xF4; s.Param = static_cast<std::uint16_t>(s.BlockCounter.load()); break;
    case 14: s.Code = 0xF1; s.Param = static_cast<std::uint16_t>(s.BlockCounter.load()); break;
    case 15:
      s.Code = 0xF3;
      s.Param = static_cast<std::uint16_t>(bcd(now.Second) + 256 * bcd(now.Minute));
      s.Count = bcd(now.Hour);
      s.Extra = {bcd(DayOfWeekSundayFirst(clock.Now())), bcd(now.Day), bcd(now.Month), bcd(now.Year - 2000)};
      break;
    case 16: s.Code = 0xF5; break;
    case 17: s.Code = 0xF4; s.Param = static_cast<std::uint16_t>(s.BlockCounter.load() + 0xFF00); break;
    default: s.Code = 0; break;
  }
}

bool TNitka2::OpenNkpPort() {
  bool opened = false;
  ctx_.Ui.Synchronize([&] {
    std::string error;
    opened = ctx_.Query.Open(error);
  });
  auto& s = ctx_.State;
  if (opened) {
    s.PortFailed = 0;
    s.PortClosed = 0;
  } else {
    s.PortFailed = 1;
    s.Result = CarrierResultPortFailed;
    ctx_.Query.Busy = 0;
  }
  return opened;
}

void TNitka2::CloseNkpPort() {
  ctx_.Ui.Synchronize([&] { ctx_.Query.Close(); });
  ctx_.State.PortClosed = 1;
}

void TNitka2::Execute() {
  auto& s = ctx_.State;
  auto& q = ctx_.Query;
  ctx_.Ui.Synchronize([&] { PrepareCommand(s, q, ctx_.PresentClock); });
  q.ExtraBytes = s.Extra;
  const bool nkp = !q.Query_LTR && !q.Query_LTR2;
  if (!nkp || OpenNkpPort()) {
    try {
      s.Result = RunCommand();
    } catch (const std::exception&) {
      // The port went away under the exchange.
      s.Result = CarrierResultPortFailed;
    }
    if (nkp) CloseNkpPort();
  }
  q.Busy = 0;
}

int TNitka2::RunCommand() {
  auto& s = ctx_.State;
  auto& q = ctx_.Query;
  switch (s.CarrierCommand.load()) {
    case 3: return ReadFileHeaders();
    case 5: return CopyFileBlocks();
    case 6: {
      int result = q.Query(0xE2, 0, 6);
      if (result != 0) return result;
      std::array<std::uint8_t, 6> a;
      std::copy_n(q.Answer().begin(), 6, a.begin());
      // Bit 7 of the seconds byte: the carrier's clock has stopped.
      if (a[0] >= 0x80) {
        result = CarrierResultClockStopped;
        a[0] -= 0x80;
      }
      s.CarrierClock = BcdToDateTime(a[5], a[4], a[3], a[2], a[1], a[0]);
      return result;
    }
    case 9: {
      const int result = q.Query(s.Code, s.Param, s.Count);
      return result == 0 && q.Answer()[0] == 0xFF ? CarrierResultClockStopped : result;
    }
    case 10: {
      const int p = s.RestoreParameter;
      int result = q.Query(0xF6, static_cast<std::uint16_t>(p), 0);
      if (result == 0 && q.Answer()[0] == 0x77) result = q.Query(0xF6, static_cast<std::uint16_t>(p + 1), 0x80);
      return result;
    }
    default: return q.Query(s.Code, s.Param, s.Count);
  }
}

int TNitka2::ReadFileHeaders() {
  auto& s = ctx_.State;
  auto& q = ctx_.Query;
  s.BlockCounter = 0;
  for (int i = 0; i + 1 < s.FileCount; ++i) {
    if (!s.GoOn.load()) return CarrierResultStopped;
    auto& entry = s.CarrierFileTable[static_cast<std::size_t>(i)];
    const int result = q.Query(0xF1, entry.StartBlock, 1);
    if (result != 0) return result;
    entry.BlockCount =
        static_cast<std::uint16_t>(s.CarrierFileTable[static_cast<std::size_t>(i) + 1].StartBlock - entry.StartBlock);
    ParseNkpFileHeader(std::span(q.Answer()).first(NkpBlockSize), entry);
    ++s.BlockCounter;
  }
  return 0;
}

int TNitka2::CopyFileBlocks() {
  auto& s = ctx_.State;
  auto& q = ctx_.Query;
  s.BlockCounter = 0;
  if (s.FileNumber < 1 || s.FileNumber >= s.FileCount) return 2;
  const auto& entry = s.CarrierFileTable[static_cast<std::size_t>(s.FileNumber - 1)];
  for (int k = 0; k < entry.BlockCount; ++k) {
    if (!s.GoOn.load()) return CarrierResultStopped;
    const std::size_t offset = static_cast<std::size_t>(k) * NkpBlockSize;
    if (offset + NkpBlockSize > ctx_.Image.DumpImage.size()) return 2;  // larger than any meter image
    const int result = q.Query(0xF1, static_cast<std::uint16_t>(entry.StartBlock + k), 1);
    if (result != 0) return result;
    std::copy_n(q.Answer().begin(), NkpBlockSize, ctx_.Image.DumpImage.begin() + static_cast<std::ptrdiff_t>(offset));
    s.BlockCounter = k + 1;
  }
  return 0;
}

CarrierWorker::~CarrierWorker() {
  ctx_.Query.Busy = 0;
  ctx_.State.GoOn = 0;
  JoinPumping();
}

void CarrierWorker::JoinPumping() {
  // The worker may be waiting in a synchronised call: serve it until thread done.
  while (!ctx_.State.ThreadDone.load()) {
    ctx_.Ui.ProcessMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  if (thread_.joinable()) thread_.join();
}

void CarrierWorker::StartCarrierCommand(int command, bool ltr, bool ltr2, bool nkp) {
  auto& q = ctx_.Query;
  auto& s = ctx_.State;
  JoinPumping();  // one worker at a time
  q.SetPortName(PortName());
  q.Query_ChisloNuley = 2;
  q.Query_NKP = nkp;
  q.Query_LTR = ltr;
  q.Query_LTR2 = ltr2;
  const CarrierLinkSettings& link = nkp ? Settings.Nkp : Settings.Ltr;
  q.SetBaudRate(BaudRateFromCode(link.BaudCode));
  q.Query_WaitFirstByte = link.AnswerWaitMs;
  q.Query_WaitLastByte = link.ByteWaitMs;
  q.SetQuery_Povtorov(link.Retries);
  q.Busy = 1;
  s.Result = CarrierResultPending;
  s.CarrierCommand = command;
  s.ThreadDone = 0;
  thread_ = std::thread([this] {
    TNitka2 worker(ctx_);
    worker.Execute();
    ctx_.Ui.Synchronize([this] { Nitka2Term(); });
  });
}

void CarrierWorker::Nitka2Term() { ctx_.State.ThreadDone = 1; }

void CarrierWorker::WaitForThread(const std::function<void()>& pump, const std::function<void()>& tick) {
  while (!ctx_.State.ThreadDone.load()) {
    if (pump) pump();
    if (tick) tick();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (tick) tick();
  if (thread_.joinable()) thread_.join();
}

void CarrierWorker::WaitWithMessages(int ms, const std::function<void()>& pump) {
  for (int left = ms; left > 0; left -= 10) {
    if (pump) pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(std::min(left, 10)));
  }
}

}  // namespace velk
