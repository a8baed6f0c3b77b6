#include "meter-sim/MeterSimulator.h"

#include <algorithm>
#include <cctype>

#include "testlines/TestLine.h"
#include "link/MeterFrame.h"
#include "meter-sim/ModemTexts.h"

namespace velk {

namespace {

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

// How long a held-back answer waits for a later one before it goes out anyway.
constexpr auto HoldLimit = 300ms;
constexpr int IdlePollMs = 10;
constexpr int WriteTimeoutMs = 500;

// Line noise that never contains a frame header byte.
constexpr std::uint8_t NoisePattern[] = {0x37, 0x5C, 0xE1, 0x12, 0x7F, 0x3B, 0xC8, 0x91};

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string ModemResult(ModemOutcome outcome) {
  switch (outcome) {
    case ModemOutcome::Connect:
      return ModemText::Connect;
    case ModemOutcome::Busy:
      return ModemText::Busy;
    case ModemOutcome::NoCarrier:
      return ModemText::NoCarrier;
    case ModemOutcome::NoDialtone:
      return ModemText::NoDialtone;
    case ModemOutcome::Silence:
      break;
  }
  return {};
}

}  // namespace

MeterSimulator::OutItem MeterSimulator::MakeItem(std::vector<std::uint8_t> bytes, SteadyTime notBefore,
                                                 std::chrono::milliseconds gapBefore) {
  OutItem item;
  item.Bytes = std::move(bytes);
  item.NotBefore = notBefore;
  item.GapBefore = gapBefore;
  return item;
}

MeterSimulator::MeterSimulator(MeterMemory memory, const Clock& clock, MeterSimOptions options,
                               double clockOffsetSeconds)
    : meter_(std::move(memory), clock, clockOffsetSeconds),
      options_(std::move(options)),
      faults_(options_.Faults),
      scanner_(options_.Rs485.has_value()) {}

MeterSimulator::~MeterSimulator() { Stop(); }

bool MeterSimulator::Start(std::string& error) {
  if (options_.Link == MeterSimOptions::Transport::PseudoTerminal) {
    line_ = testlines::OpenPseudoTerminalLine(slavePath_, error);
    if (!line_) return false;
  } else {
    listener_ = testlines::OpenTcpLineListener(options_.TcpPort, error);
    if (!listener_) return false;
    port_ = listener_->Port();
  }
  stop_ = false;
  thread_ = std::thread([this] { Run(); });
  return true;
}

void MeterSimulator::Stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  line_.reset();
  listener_.reset();
}

std::vector<std::string> MeterSimulator::DialCommands() const {
  std::lock_guard lock(dialMutex_);
  return dialCommands_;
}

std::chrono::nanoseconds MeterSimulator::ByteTime() const {
  if (options_.BaudRate <= 0) return 0ns;
  return std::chrono::nanoseconds(10'000'000'000LL / options_.BaudRate);
}

void MeterSimulator::Run() {
  while (!stop_) {
    if (listener_ && !line_) {
      line_ = listener_->Accept(IdlePollMs);
      if (line_) ++connections_;
      continue;
    }
    if (!ServeConnection()) DropConnection();
  }
}

// One round of the serving loop: wait for input or the next output event, take the input, send
// what is due. false when the TCP connection has gone.
bool MeterSimulator::ServeConnection() {
  const auto next = Pump();
  if (!line_) return true;  // an answer ended with a broken connection
  int timeoutMs = IdlePollMs;
  if (next) {
    // Rounded up: a paced line sends what has become due in batches instead of spinning.
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*next - SteadyClock::now());
    timeoutMs = static_cast<int>(std::clamp<long long>(wait.count(), 1, IdlePollMs));
  }
  if (held_ && SteadyClock::now() - heldSince_ > HoldLimit) {
    output_.push_back(std::move(*held_));
    held_.reset();
  }
  std::uint8_t buffer[4096];
  std::size_t n = 0;
  n = line_->Read(buffer, timeoutMs);
  if (n == 0 && line_->Failed()) return false;
  if (n > 0) {
    bytesIn_ += static_cast<long long>(n);
    OnBytes(std::span<const std::uint8_t>(buffer, n));
  }
  Pump();
  return !(line_ && line_->Failed());
}

void MeterSimulator::DropConnection() {
  if (listener_) line_.reset();  // a pseudo-terminal line stays up
  output_.clear();
  held_.reset();
  scanner_ = RequestScanner(options_.Rs485.has_value());
  modemConnected_ = false;
  modemLine_.clear();
}

void MeterSimulator::OnBytes(std::span<const std::uint8_t> bytes) {
  if (options_.Modem && !modemConnected_) {
    OnModemBytes(bytes);
    return;
  }
  for (const ReceivedRequest& request : scanner_.Feed(bytes)) OnRequest(request);
}

void MeterSimulator::OnModemBytes(std::span<const std::uint8_t> bytes) {
  for (std::uint8_t b : bytes) {
    if (b != '\r') {
      if (b >= 0x20 && b < 0x7F && modemLine_.size() < 80) modemLine_.push_back(static_cast<char>(b));
      continue;
    }
    const std::string line = modemLine_;
    modemLine_.clear();
    if (Upper(line).rfind("AT", 0) != 0) continue;
    const ModemOptions& modem = *options_.Modem;
    const bool dial = Upper(line).rfind("ATD", 0) == 0;
    if (dial) {
      std::lock_guard lock(dialMutex_);
      dialCommands_.push_back(line);
    }
    if (dial && modem.Outcome == ModemOutcome::Silence) continue;
    const auto now = SteadyClock::now();
    if (modem.Echo) {
      const std::string echo = line + "\r";
      Queue(std::vector<std::uint8_t>(echo.begin(), echo.end()), now);
    }
    const std::string result = "\r\n" + (dial ? ModemResult(modem.Outcome) : std::string("OK")) + "\r\n";
    Queue(std::vector<std::uint8_t>(result.begin(), result.end()),
          now + std::chrono::milliseconds(modem.ResultDelayMs));
    if (dial && modem.Outcome == ModemOutcome::Connect) {
      modemConnected_ = true;
      return;  // what follows the dial command in the same read is line data, which a modem drops
    }
  }
}

void MeterSimulator::OnRequest(const ReceivedRequest& request) {
  auto ready = SteadyClock::now() + std::chrono::milliseconds(options_.LatencyMs);
  if (options_.BaudRate > 0) ready += ByteTime() * (request.AddressByte ? 10 : 9);
  std::optional<std::vector<std::uint8_t>> answer;
  if (options_.Rs485) {
    const Rs485Options& rs485 = *options_.Rs485;
    if (request.AddressByte != rs485.Address) return;  // a request for another meter on the bus
    if (rs485.MeterSilent) {
      const std::uint8_t echo[3] = {static_cast<std::uint8_t>(request.Address & 0xFF),
                                    static_cast<std::uint8_t>(request.Address >> 8), request.Count};
      Queue(BuildAnswerFrame(rs485.ErrorAnswerWithAddress ? rs485.Address : 0x00, MeterCode::ErrorAnswer,
                             echo, {}),
            ready);
      return;
    }
    answer = meter_.Answer(request);
    if (answer && rs485.AddressInAnswer) (*answer)[0] = rs485.Address;
  } else {
    answer = meter_.Answer(request);
  }
  if (!answer) return;
  QueueAnswer(std::move(*answer), faults_.Strike(request), ready);
}

void MeterSimulator::QueueAnswer(std::vector<std::uint8_t> answer, const std::vector<FaultRule>& faults,
                                 SteadyTime ready) {
  std::optional<std::size_t> stallAt, breakAt;
  std::chrono::milliseconds stallFor{0};
  bool reorder = false;
  for (const FaultRule& f : faults) {
    const std::size_t middle = answer.size() / 2;
    const std::size_t at = f.Param >= 0 ? std::min<std::size_t>(f.Param, answer.size()) : middle;
    switch (f.Kind) {
      case FaultKind::NoAnswer:
        return;
      case FaultKind::CorruptChecksum:
        answer.back() ^= 0xFF;
        break;
      case FaultKind::DropByte:
        if (!answer.empty()) answer.erase(answer.begin() + std::min(at, answer.size() - 1));
        break;
      case FaultKind::Noise: {
        const std::size_t count = f.Param >= 0 ? f.Param : 3;
        std::vector<std::uint8_t> noise;
        for (std::size_t i = 0; i < count; ++i) noise.push_back(NoisePattern[i % std::size(NoisePattern)]);
        answer.insert(answer.begin(), noise.begin(), noise.end());
        break;
      }
      case FaultKind::Stall:
        stallAt = at;
        stallFor = std::chrono::milliseconds(f.Param2);
        break;
      case FaultKind::Reorder:
        reorder = true;
        break;
      case FaultKind::BreakConnection:
        if (listener_) breakAt = at;
        break;
    }
  }
  if (breakAt) answer.resize(*breakAt);
  std::vector<OutItem> items;
  if (stallAt && *stallAt < answer.size()) {
    items.push_back(MakeItem(std::vector<std::uint8_t>(answer.begin(), answer.begin() + *stallAt), ready));
    items.push_back(
        MakeItem(std::vector<std::uint8_t>(answer.begin() + *stallAt, answer.end()), ready, stallFor));
  } else {
    items.push_back(MakeItem(std::move(answer), ready));
  }
  items.back().CloseAfter = breakAt.has_value();

  std::optional<OutItem> release;
  if (held_) {
    release = std::move(held_);
    held_.reset();
  }
  if (reorder && items.size() == 1 && !release) {
    held_ = std::move(items.front());
    heldSince_ = SteadyClock::now();
    return;
  }
  for (auto& item : items) output_.push_back(std::move(item));
  if (release) output_.push_back(std::move(*release));
}

void MeterSimulator::Queue(std::vector<std::uint8_t> bytes, SteadyTime notBefore) {
  output_.push_back(MakeItem(std::move(bytes), notBefore));
}

bool MeterSimulator::WriteLine(std::span<const std::uint8_t> bytes) {
  const bool ok = line_ && line_->Write(bytes, WriteTimeoutMs);
  if (ok) bytesOut_ += static_cast<long long>(bytes.size());
  return ok;
}

std::optional<MeterSimulator::SteadyTime> MeterSimulator::Pump() {
  const auto byteTime = ByteTime();
  while (!output_.empty()) {
    OutItem& item = output_.front();
    const auto now = SteadyClock::now();
    if (!item.Start) {
      const auto start = std::max(item.NotBefore, lineFree_ + item.GapBefore);
      if (now < start) return start;
      item.Start = start;
    }
    std::size_t due = item.Bytes.size();
    if (byteTime > 0ns) due = std::min<std::size_t>(due, (now - *item.Start) / byteTime);
    if (due > item.Written) {
      const std::span<const std::uint8_t> part(item.Bytes.data() + item.Written, due - item.Written);
      if (!WriteLine(part) && listener_) return std::nullopt;  // the peer has gone
      item.Written = due;
    }
    if (item.Written < item.Bytes.size())
      return *item.Start + byteTime * static_cast<std::int64_t>(item.Written + 1);
    lineFree_ = byteTime > 0ns ? *item.Start + byteTime * static_cast<std::int64_t>(item.Bytes.size()) : now;
    const bool close = item.CloseAfter;
    output_.pop_front();
    if (close) {
      DropConnection();
      return std::nullopt;
    }
  }
  return std::nullopt;
}

}  // namespace velk
