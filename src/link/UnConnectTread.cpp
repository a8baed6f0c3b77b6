// The reader thread's main procedure and the reading steps before the archive.
#include "link/UnConnectTread.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <exception>

#include "common/Mathem.h"
#include "common/MeterCfg.h"
#include "common/ProgramFolder.h"
#include "common/ThreadPriority.h"
#include "link/DumpFile.h"
#include "link/LinkTexts.h"
#include "link/MeterFamily.h"
#include "link/MeterFrame.h"

namespace velk {

namespace {
constexpr std::int32_t ClearedImageBytes = 67001;
int BcdValue(std::uint8_t b) { return (b >> 4) * 10 + (b & 0x0F); }
}  // namespace

TConnectTread::TConnectTread(TDumpImage& image, ExchangeMonitor& monitor, UserInterface& ui,
                             const Clock& clock)
    : image_(image), monitor_(monitor), ui_(ui), clock_(clock) {
  Sleep = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
}

TConnectTread::~TConnectTread() {
  StopRequested = 1;
  Terminate();
  if (!thread_.joinable()) return;
  if (thread_.get_id() == std::this_thread::get_id()) {
    *destroyed_ = true;
    thread_.detach();
    return;
  }
  // The thread may be waiting in a synchronised call: serve it until the thread is done.
  while (!finished_.load()) {
    ui_.ProcessMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  thread_.join();
}

void TConnectTread::Start() {
  Join();  // a thread object runs one reading at a time
  const std::filesystem::path programFolder = ProgramDir.empty() ? ProgramFolder() : ProgramDir;
  if (!Links) {
    ownLinks_ = std::make_unique<SystemLinkOpener>(programFolder);
    Links = ownLinks_.get();
  }
  if (!Forwarder) {
    ownForwarder_ = std::make_unique<LibraryRequestForwarder>(programFolder);
    Forwarder = ownForwarder_.get();
  }
  finished_ = false;
  terminateRequested_ = false;
  // Cleared here rather than in the thread, so that a stop pressed right after the
  // start is not lost.
  StopRequested = 0;
  const std::lock_guard<std::mutex> starting(startMutex_);
  thread_ = std::thread([this, destroyed = destroyed_] { Run(destroyed); });
}

void TConnectTread::Terminate() { terminateRequested_ = true; }

void TConnectTread::Join() {
  if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

void TConnectTread::Run(std::shared_ptr<std::atomic<bool>> destroyed) {
  { const std::lock_guard<std::mutex> started(startMutex_); }
  if (RaisePriority) RaiseCurrentThreadPriority();  // without the privilege the reading runs as it is
  try {
    Execute();
  } catch (const std::exception& e) {
    FatalError = e.what();
    if (Status == LinkStatus::Ok || Status == LinkStatus::Idle) Status = LinkStatus::CannotPlan;
  }
  // The handler may destroy this object when it runs on this thread: it is
  // called through copies, and nothing of the object is touched once it has.
  const std::function<void(TConnectTread&)> onTerminate = OnTerminate;
  std::string handlerError;
  try {
    if (onTerminate) ui_.Synchronize([this, &onTerminate] { onTerminate(*this); });
  } catch (const std::exception& e) {
    handlerError = e.what();
  }
  if (*destroyed) return;
  if (!handlerError.empty()) FatalError = handlerError;
  finished_ = true;
}

void TConnectTread::Execute() {
  ui_.Synchronize([this] { monitor_.Clear(); });
  BytesReceived = 0;
  ProgressPercent = 0;
  Status = LinkStatus::Idle;
  linkBroken_ = false;
  FatalError.clear();

  OpenLink();
  if (!LinkOpen) return;
  if (LinkKind == LinkKinds::Modem || LinkKind == LinkKinds::ModemRs485) DialModem();

  const bool modem = LinkKind == LinkKinds::Modem || LinkKind == LinkKinds::ModemRs485;
  if (!modem || DialResult == DialResults::Connected) {
    ReadStart = Now();
    readStartMs_ = MonotonicMs();
    ReadingStarted = 1;
    Identify();
    const auto goOn = [this] { return Status == LinkStatus::Ok && !Stopping(); };
    if (goOn()) ReadConstants();
    if (goOn()) ReadClock();
    if (goOn()) CorrectClock();
    if (goOn()) ReadArchive();
    if (Status == LinkStatus::Ok && !Stopping()) ProgressPercent = 100.0;
    if (Stopping()) {
      Status = StopStatus();
      if (!linkBroken_) MonitorAppend(LinkText::StoppedByUser);
    }
  } else if (Stopping() && !linkBroken_) {
    Status = LinkStatus::Stopped;  // stopped while dialling
  }
  CloseLink();
}

std::uint8_t TConnectTread::StopStatus() const {
  return linkBroken_ ? LinkStatus::SocketFailed : LinkStatus::Stopped;
}

void TConnectTread::Pause(int milliseconds) {
  if (milliseconds > 0 && Sleep) Sleep(milliseconds);
}

void TConnectTread::UpdateProgress() {
  const std::int32_t expected = BytesExpected;
  ProgressPercent = expected < 1 ? 0.0 : static_cast<double>(BytesReceived) / expected * 100.0;
}

bool TConnectTread::WakeRule() const {
  if (LinkKind != LinkKinds::Rs232 && LinkKind != LinkKinds::Tcp) return false;
  const double limitSeconds = FamilyCode >= 50 ? 2.0 : 15.0;
  return Status != LinkStatus::Ok || (AnswerEnd - WaitStart) / 1000.0 > limitSeconds;
}

bool TConnectTread::Exchange(std::uint8_t code, std::uint16_t address, std::uint8_t count, int dataLength,
                             bool firstRequest) {
  const int attempts = RetryCount + 1;
  int made = 0;
  do {
    const bool wake =
        firstRequest ? (LinkKind == LinkKinds::Rs232 || LinkKind == LinkKinds::Tcp) : WakeRule();
    SendMeterRequest(code, address, wake, count);
    ReceiveMeterAnswer(code, dataLength);
    ++made;
  } while (Status != LinkStatus::Ok && made < attempts && !Stopping());
  return Status == LinkStatus::Ok;
}

void TConnectTread::StoreAnswer(std::int32_t destination, std::span<const std::uint8_t> data) {
  if (destination < 0 || destination >= DumpCapacity) return;
  const std::size_t room = static_cast<std::size_t>(DumpCapacity - destination);
  std::memcpy(image_.DumpImage.data() + destination, data.data(), std::min(room, data.size()));
}

void TConnectTread::Identify() {
  if (Stopping()) return;
  std::fill_n(image_.DumpImage.begin(), ClearedImageBytes, 0);
  if (Exchange(MeterCode::Identify, 0, 0, 0, true)) {
    const std::uint8_t raw = RxBuffer[6];
    image_.DumpImage[128] = raw;
    FamilyCode = FamilyCodeFromRaw(raw);
    if (raw < 50) {
      image_.DumpImage[130] = RxBuffer[4];
      image_.DumpImage[131] = RxBuffer[5];
      std::fill_n(image_.DumpImage.begin() + 160, 6, 0);
      image_.DumpImage[166] = raw / 10;
      image_.DumpImage[167] = raw % 10;
    }
    ShortSerial = static_cast<std::uint16_t>(RxBuffer[4] + 256 * RxBuffer[5]);
  }
  if (Status == LinkStatus::Ok && FamilyCode >= 50 && Exchange(MeterCode::WorkingMemory, 0xC000, 8, 8)) {
    StoreAnswer(160, AnswerData());
  }
}

std::string TConnectTread::MeterCfgPath() const {
  const auto where =
      DumpFolderAndName(static_cast<std::uint32_t>(FamilyCode), ShortSerial, image_.Whole(), Storage);
  return where.Folder + "\\" + where.Name + ".cfg";
}

void TConnectTread::ReadConstants() {
  if (Stopping()) return;
  if (Exchange(MeterCode::NonVolatileMemory, 0, 0, 256)) StoreAnswer(512, AnswerData());
  image_.DumpLength = 768;
  // Below family 50 the archive pointer lies in memory 256..511: a failed part ends the step.
  if (FamilyCode < 50 && Status == LinkStatus::Ok) {
    if (Exchange(MeterCode::NonVolatileMemory, 256, 0, 256)) StoreAnswer(768, AnswerData());
    if (Status == LinkStatus::Ok && Exchange(MeterCode::NonVolatileMemory, 512, 36, 36)) {
      StoreAnswer(1024, AnswerData());
    }
    image_.DumpLength = 1060;
  }
  const TMeterCfg record = ReadMeterCfg(MeterCfgPath());
  SavedPointer = static_cast<std::int32_t>(record.Pointer);
  SavedPointer2 = static_cast<std::int32_t>(record.SecondPointer);
  SavedReadTime = record.ReadTime;
  BytesExpected = BytesExpectedAfterConstants(FamilyCode, Now(), SavedReadTime, BytesExpected);
  UpdateProgress();
}

void TConnectTread::ReadClock() {
  if (Stopping()) return;
  const std::uint16_t block = ClockBlockAddress(FamilyCode);
  // A meter clock just before the full hour is read once more after the hour has turned.
  for (int pass = 0; pass < 2; ++pass) {
    if (Exchange(MeterCode::WorkingMemory, block, 0, 256)) StoreAnswer(256, AnswerData());
    const BcdDateTime start = DateTimeToBcd(ReadStart);
    auto& img = image_.DumpImage;
    img[138] = start.Second;
    img[139] = start.Minute;
    img[140] = start.Hour;
    img[141] = start.Day;
    img[142] = start.Month;
    img[143] = start.Year;
    if (FamilyCode < 50) {
      const int base = 256 + ClockOffset(FamilyCode);
      MeterClockAtStart = BcdToDateTime(start.Year, start.Month, start.Day, start.Hour, ToBcd(img[base + 85]),
                                        ToBcd(img[base + 84]));
      return;
    }
    const int c = 272 + ClockOffset(FamilyCode);
    const std::uint8_t second = img[c], minute = img[c + 1], hour = img[c + 2];
    const std::uint8_t day = img[c + 3], month = img[c + 4], year = img[c + 5];
    if (pass == 0 && Status == LinkStatus::Ok && BcdValue(minute) == 59 && BcdValue(second) >= 55) {
      while (!Stopping() && MsSince(readStartMs_) <= 6000.0) Pause(100);
      if (Stopping()) return;
      continue;
    }
    DateWrong = day != start.Day || month != start.Month || year != start.Year;
    TimeWrong =
        !(std::abs(static_cast<int>(minute) - static_cast<int>(start.Minute)) < 3 && hour == start.Hour);
    MeterClockAtStart =
        TimeWrong ? BcdToDateTime(start.Year, start.Month, start.Day, start.Hour, start.Minute, second)
                  : BcdToDateTime(year, month, day, hour, minute, second);
    return;
  }
}

void TConnectTread::CorrectClock() {
  if (Stopping()) return;
  if (FamilyCode < 50) {
    Status = LinkStatus::Ok;
    return;
  }
  if (!TimeCorrect) return;
  const BcdDateTime now = DateTimeToBcd(Now());
  if (TimeWrong &&
      Exchange(MeterCode::SetTime, static_cast<std::uint16_t>(now.Minute + 256 * now.Hour), 0, 0)) {
    MonitorAppend(LinkText::TimeCorrected);
  }
  if (DateWrong && !Stopping() && Status == LinkStatus::Ok &&
      Exchange(MeterCode::SetDate, static_cast<std::uint16_t>(now.Day + 256 * now.Month), now.Year, 0)) {
    MonitorAppend(LinkText::DateCorrected);
  }
}

}  // namespace velk
