// The reader thread of a direct meter reading: it opens the link (serial port,
// modem dialling, TCP or the forwarded request), identifies the meter, reads
// its constants and clock, corrects the clock, reads the archive into the
// dump image and closes the link.
//
// Use: construct it, fill the link configuration, set OnTerminate, Start().
// While it runs the main thread polls the atomic fields (Status, the lamps,
// ProgressPercent, ReadStart, ReadingStarted, Dialling) and may set
// StopRequested (and Status 8). The end handler runs through the user
// interface's Synchronize once the reading is over; only then are the results
// (FamilyCode, ShortSerial, the dump image) to be read. Destroy or reuse it
// on the main thread once Finished() holds; destroyed earlier, it stops the
// reading and waits for it while pumping messages. An end handler that runs on
// the reader's own thread (a user interface without a main loop) may destroy it.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "common/ByteStream.h"
#include "common/Clock.h"
#include "common/DumpImage.h"
#include "common/ExchangeMonitor.h"
#include "common/StorageOptions.h"
#include "common/UserInterface.h"
#include "link/ArchiveAreas.h"
#include "link/LinkOpener.h"

namespace velk {

// Link kinds (the item index of the link selector).
namespace LinkKinds {
constexpr int Rs232 = 0, Rs485 = 1, Modem = 2, ModemRs485 = 3, Tcp = 4, TcpRlz = 5, Forwarded = 6;
}

// Verdicts and progress indications kept in Status.
namespace LinkStatus {
constexpr std::uint8_t Ok = 0, Interrupted = 1, NoSync = 2, BadChecksum = 3, AddressMismatch = 4,
                       NoAnswer = 5, SocketFailed = 6, CannotPlan = 7, Stopped = 8, NotConnected = 9,
                       OpenFailed = 11, WaitingFirstByte = 12, WaitingNextByte = 14, AdapterNoMeter = 15,
                       Idle = 100;
}

// Monitor text of this reader for a failure the meter link's own texts do not cover.
inline constexpr char AreaTableFullText[] =
    "ТАБЛИЦА ОБЛАСТЕЙ АРХИВА ПЕРЕПОЛНЕНА: ЧТЕНИЕ АРХИВА ПРЕКРАЩЕНО\r\n";

// Dialling outcomes kept in DialResult.
namespace DialResults {
constexpr std::uint8_t None = 0, Connected = 1, Busy = 2, NoCarrier = 3, NoDialTone = 4, InProgress = 5;
}

class TConnectTread {
 public:
  static constexpr std::size_t RxBufferSize = 266;
  static constexpr int SocketStreamTimeoutMs = 5000;

  TConnectTread(TDumpImage& image, ExchangeMonitor& monitor, UserInterface& ui, const Clock& clock);
  ~TConnectTread();  // stops a running reading and waits for it, pumping messages
  TConnectTread(const TConnectTread&) = delete;
  TConnectTread& operator=(const TConnectTread&) = delete;

  // --- Link configuration (set before Start) ---
  std::int32_t LinkKind = 0;
  std::string PortName;               // "COM<n>", at most 6 characters
  std::int32_t PortNumber = 0;        // the number in PortName, set by OpenLink
  std::uint8_t BaudCode = 7;          // RS485: 6 = 4800, 7 = 9600, 9 = 19200 baud
  std::uint16_t NetAddress = 0xFFFF;  // RS485 network address; 0xFFFF when the link has none
  std::string PhoneNumber;            // at most 20 characters
  std::uint8_t DialNeeded = 0;
  std::int32_t MaxDialSeconds = 60;
  std::string HostName;  // at most 20 characters
  std::int32_t TcpPort = 0;
  std::int32_t FirstByteTimeoutMs = 1000;
  std::int32_t NextByteTimeoutMs = 100;
  std::uint8_t RetryCount = 3;
  std::int32_t AreaWindow = 1;
  std::int32_t ReadMode = 1;  // 0 full archive, 1 latest changes, 2 current data; rewritten by ReadArchive
  bool TimeCorrect = true;    // correct the meter clock when it is wrong
  StorageOptions Storage;     // where the meter's .cfg record lies
  TDateTime ClickTime = 0;    // when the user asked for the reading (the dialling view counts from it)

  // --- Polled by the main thread while the reading runs ---
  std::atomic<std::uint8_t> Status{LinkStatus::Idle};
  std::atomic<std::uint8_t> StopRequested{0};
  std::atomic<std::uint8_t> RequestLamp{0};
  std::atomic<std::uint8_t> AnswerLamp{0};
  std::atomic<std::uint8_t> Dialling{0};
  std::atomic<std::uint8_t> DialResult{DialResults::None};
  std::atomic<std::uint8_t> LinkOpen{0};
  std::atomic<std::uint8_t> ReadingStarted{0};
  std::atomic<TDateTime> ReadStart{0};
  std::atomic<double> ProgressPercent{0};
  std::atomic<std::int32_t> BytesReceived{0};
  std::atomic<std::int32_t> BytesExpected{0};

  // --- Results and exchange state (read after the end) ---
  std::int32_t FamilyCode = 0;
  std::uint16_t ShortSerial = 0;
  TDateTime MeterClockAtStart = 0;
  std::uint8_t TimeWrong = 0;
  std::uint8_t DateWrong = 0;
  std::int32_t SavedPointer = 0;
  std::int32_t SavedPointer2 = 0;
  TDateTime SavedReadTime = 0;
  // Moments of the last exchange on the clock's monotonic reading (ms): start of waiting for
  // the answer, arrival of its first byte, end of reception.
  double WaitStart = 0, FirstByteTime = 0, AnswerEnd = 0;
  std::array<std::uint8_t, RxBufferSize> RxBuffer{};
  std::int32_t RxLength = 0;  // bytes of the last answer in RxBuffer
  // Why the reading could not be made (an open or connect failure); empty otherwise.
  std::string FatalError;

  // --- Wiring (defaults are the real ones) ---
  // Runs in the main thread when the reading has ended.
  std::function<void(TConnectTread&)> OnTerminate;
  LinkOpener* Links = nullptr;            // nullptr: serial ports and sockets of the system
  RequestForwarder* Forwarder = nullptr;  // nullptr: the forwarding library of the program folder
  // Program folder of the system's links (port map, forwarding library); empty: the running program's.
  std::filesystem::path ProgramDir;
  // Pauses of the line discipline; tests advance a manual clock instead of sleeping.
  std::function<void(int milliseconds)> Sleep;
  bool RaisePriority = true;

  // --- Thread control ---
  void Start();
  // The thread is told to terminate (as on shutdown); the reading stops at its next poll.
  void Terminate();
  bool TerminateRequested() const { return terminateRequested_.load(); }
  // Whether the thread has finished (the end handler has run).
  bool Finished() const { return finished_.load(); }
  // Waits for the thread; the main thread must keep serving Synchronize meanwhile
  // (call it only when Finished() or from a thread other than the main one).
  void Join();

  // --- Kind 6: an outside transport delivers each answer here (any thread); at most
  // RxBufferSize bytes of it are kept. Each exchange takes the oldest answer.
  void DeliverForwardedAnswer(std::span<const std::uint8_t> bytes);

  // --- Steps (each a no-op once StopRequested is set) ---
  void Execute();
  void OpenLink();
  void DialModem();
  bool WriteLinkBytes(std::span<const std::uint8_t> bytes);
  // One byte within the link's read time (at most 100 ms on serial links).
  std::optional<std::uint8_t> ReadLinkByte(int timeoutMs = 100);
  void ForwardRequest(std::span<const std::uint8_t> request);
  void CloseLink();
  void WakeUpInterface();
  void SendMeterRequest(std::uint8_t code, std::uint16_t address, bool wake, std::uint8_t count);
  std::uint8_t ReceiveMeterAnswer(std::uint8_t expectedCode, int dataLength);
  void MonitorAppend(const std::string& text);
  void Identify();
  void ReadConstants();
  void ReadClock();
  void CorrectClock();
  void ReadArchive();

  // Answer data of the last exchange (positions 7 .. r-3 of RxBuffer).
  std::span<const std::uint8_t> AnswerData() const;

 private:
  // One request with the retry rule; true when the last verdict was 0.
  bool Exchange(std::uint8_t code, std::uint16_t address, std::uint8_t count, int dataLength,
                bool firstRequest = false);
  bool WakeRule() const;
  // A stop by the user or the link, or the thread told to terminate (shutdown).
  bool Stopping() const { return StopRequested.load() != 0 || terminateRequested_.load(); }
  bool IsSerialKind() const { return LinkKind >= 0 && LinkKind <= 3; }
  bool IsSocketKind() const { return LinkKind == 4 || LinkKind == 5; }
  TDateTime Now() const { return clock_.Now(); }
  // Waits and timeouts run on the monotonic reading, so that a clock step cannot stretch them.
  double MonotonicMs() const { return clock_.MonotonicMs(); }
  double MsSince(double monotonicMs) const { return MonotonicMs() - monotonicMs; }
  void Pause(int milliseconds);
  void ReleaseSocket();
  void SocketBroken();
  // Tells the user why the link could not be opened (the status alone does not say).
  void ShowOpenFailure(const std::string& why);
  void UpdateProgress();
  std::uint8_t StopStatus() const;
  int ReadSliceMs(double sinceMs, int limitMs) const;
  std::optional<std::uint8_t> ReadNextByte();
  void ReadArchiveAreas(const ArchivePlan& plan);
  void ReadNewHour(const ArchivePlan& plan);
  bool ReReadRange(ArchiveLayout& layout, const MemoryRange& range);
  void StoreAnswer(std::int32_t destination, std::span<const std::uint8_t> data);
  std::string MeterCfgPath() const;
  void Run(std::shared_ptr<std::atomic<bool>> destroyed);

  TDumpImage& image_;
  ExchangeMonitor& monitor_;
  UserInterface& ui_;
  const Clock& clock_;
  std::unique_ptr<SerialPort> port_;
  std::unique_ptr<ByteStream> socket_;
  std::unique_ptr<LinkOpener> ownLinks_;
  std::unique_ptr<RequestForwarder> ownForwarder_;

  // Answers of the forwarded link, oldest first (several requests may be outstanding).
  std::mutex forwardedMutex_;
  std::deque<std::vector<std::uint8_t>> forwardedAnswers_;

  std::thread thread_;
  // Held by Start while it assigns thread_: the new thread passes it before it
  // touches the object, which its end handler may destroy.
  std::mutex startMutex_;
  std::atomic<bool> terminateRequested_{false};
  bool linkBroken_ = false;       // the socket failed: the stop is not the user's
  double readStartMs_ = 0;        // ReadStart on the monotonic reading
  std::size_t forwardedPos_ = 0;  // next byte of the forwarded answer
  std::atomic<bool> finished_{false};
  // Set when the object is destroyed on its own thread (by the end handler): the
  // thread then touches none of its members any more. Shared with the thread.
  std::shared_ptr<std::atomic<bool>> destroyed_ = std::make_shared<std::atomic<bool>>(false);
};

}  // namespace velk
