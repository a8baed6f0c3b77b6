// One exchange with the meter: the optional wake-up burst, the request frame,
// and the byte-by-byte reception of the answer with its verdict and monitor text.
#include <algorithm>
#include <cstring>
#include <vector>

#include "common/NumberFormat.h"
#include "link/LinkTexts.h"
#include "link/MeterFrame.h"
#include "link/UnConnectTread.h"

namespace velk {

namespace {
constexpr int WakeUpBytes = 300;
constexpr double TransientAfterMs = 100.0;
// Answers with a wrong checksum after which one exchange still looks for a further answer:
// as many as requests can be outstanding.
constexpr int MaxHeaderResumes = 16;

constexpr char HexDigits[] = "0123456789ABCDEF";

// Two or more upper-case hexadecimal digits.
std::string Hex2(unsigned value) {
  std::string text;
  do {
    text.insert(text.begin(), HexDigits[value & 0x0F]);
    value >>= 4;
  } while (value != 0);
  if (text.size() < 2) text.insert(text.begin(), '0');
  return text;
}

// Each byte as two upper-case hexadecimal digits followed by a blank.
std::string HexBytes(std::span<const std::uint8_t> bytes) {
  std::string text(bytes.size() * 3, ' ');
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    text[3 * i] = HexDigits[bytes[i] >> 4];
    text[3 * i + 1] = HexDigits[bytes[i] & 0x0F];
  }
  return text;
}

const char* StatusText(int code) {
  for (const auto& entry : LinkText::StatusTexts) {
    if (entry.Code == code) return entry.Text;
  }
  return "";
}

// The exchange monitor's text of a received answer: broken off, correct or with a wrong checksum.
std::string AnswerMonitorText(std::uint8_t verdict, std::span<const std::uint8_t> answer, int dataLength) {
  const std::size_t r = answer.size();
  if (verdict == LinkStatus::Interrupted)
    return LinkText::Answer + HexBytes(answer) + "\r\n" + LinkText::ReceptionBroken;
  const std::string crc = HexBytes(answer.subspan(r - 2));
  if (verdict == LinkStatus::BadChecksum) {
    return LinkText::ZeroAnswer + std::string("\r\n") + HexBytes(answer.first(r - 2)) + "\r\n" +
           LinkText::BareCrc + crc + "\r\n" + StatusText(LinkStatus::BadChecksum);
  }
  std::string text = LinkText::AnswerOk;
  if (dataLength > 0) {
    text += HexBytes(answer.first(AnswerDataStart));
    const auto data = AnswerPayload(answer);
    for (std::size_t row = 0; row < 16 && row * 16 < data.size(); ++row) {
      text += "\r\n " + Hex2(static_cast<unsigned>(row * 16)) + LinkText::RowSeparator +
              HexBytes(data.subspan(row * 16, std::min<std::size_t>(16, data.size() - row * 16)));
    }
    text += "\r\n" + std::string(LinkText::DataCrc) + crc;
  } else {
    text += HexBytes(answer.first(r - 2)) + "\r\n" + LinkText::BareCrc + crc;
  }
  return text + "\r\n" + std::string(LinkText::ChecksumOk);
}
}  // namespace

void TConnectTread::MonitorAppend(const std::string& text) {
  // Each call is one entry of the monitor; embedded line breaks split it into lines.
  ui_.Synchronize([&] { monitor_.Append(text + "\r\n"); });
}

void TConnectTread::WakeUpInterface() {
  if (!LinkOpen) {
    StopRequested = 1;
    return;
  }
  MonitorAppend(LinkText::WakeUp);
  RequestLamp = 1;
  const std::vector<std::uint8_t> zeros(WakeUpBytes, 0x00);
  if (LinkKind == LinkKinds::Rs232) {
    Pause(200);
    WriteLinkBytes(zeros);
  } else if (IsSocketKind()) {
    if (!WriteLinkBytes(zeros)) SocketBroken();
  }
  Pause(100);
  RequestLamp = 0;
}

void TConnectTread::SendMeterRequest(std::uint8_t code, std::uint16_t address, bool wake,
                                     std::uint8_t count) {
  if (Stopping()) return;
  if (wake) WakeUpInterface();
  if (Stopping()) return;
  const bool addressed = LinkKind == LinkKinds::Rs485 || LinkKind == LinkKinds::ModemRs485;
  const MeterRequest request = BuildMeterRequest(
      code, address, count,
      addressed ? std::optional<std::uint8_t>(static_cast<std::uint8_t>(NetAddress & 0xFF)) : std::nullopt);
  RequestLamp = 1;
  if (!WriteLinkBytes(request.View()) && IsSocketKind()) SocketBroken();
  const std::string text = LinkText::Request + HexBytes(request.View());
  Pause(50);
  RequestLamp = 0;
  MonitorAppend(text);
}

int TConnectTread::ReadSliceMs(double sinceMs, int limitMs) const {
  const double left = limitMs - MsSince(sinceMs);
  return static_cast<int>(std::clamp(left, 1.0, 100.0));
}

// The next answer byte within NextByteTimeoutMs; Status 14 while it keeps the line waiting.
std::optional<std::uint8_t> TConnectTread::ReadNextByte() {
  const double start = MonotonicMs();
  for (;;) {
    const auto b = ReadLinkByte(ReadSliceMs(start, NextByteTimeoutMs));
    if (b || Stopping()) return b;
    const double waited = MsSince(start);
    if (waited >= TransientAfterMs) Status = LinkStatus::WaitingNextByte;
    if (waited >= NextByteTimeoutMs) return std::nullopt;
  }
}

std::uint8_t TConnectTread::ReceiveMeterAnswer(std::uint8_t expectedCode, int dataLength) {
  const auto finish = [this](std::uint8_t status) {
    Status = status;
    {
      // The forwarded answer this exchange has read from is used up.
      std::lock_guard lock(forwardedMutex_);
      if (forwardedPos_ > 0 && !forwardedAnswers_.empty()) forwardedAnswers_.pop_front();
      forwardedPos_ = 0;
    }
    AnswerLamp = 0;
    return status;
  };
  RxLength = 0;
  if (Stopping()) return finish(StopStatus());
  if (expectedCode == MeterCode::WorkingMemory && FamilyCode <= 49)
    expectedCode = MeterCode::NonVolatileMemory;
  dataLength = std::clamp(dataLength, 0, 256);

  WaitStart = MonotonicMs();
  std::optional<std::uint8_t> b;
  for (;;) {
    b = ReadLinkByte(ReadSliceMs(WaitStart, FirstByteTimeoutMs));
    if (Stopping()) return finish(StopStatus());
    if (b) break;
    const double waited = MsSince(WaitStart);
    if (waited >= TransientAfterMs) Status = LinkStatus::WaitingFirstByte;
    if (waited >= FirstByteTimeoutMs) break;
  }
  AnswerLamp = b.has_value();
  if (!b) {
    MonitorAppend(LinkText::NoAnswer);
    return finish(LinkStatus::NoAnswer);
  }

  FirstByteTime = MonotonicMs();
  auto& rx = RxBuffer;
  rx[0] = *b;
  std::size_t r = 1;
  const int netAddress = NetAddress == 0xFFFF ? -1 : NetAddress;
  // Moves the bytes from `from` on to the front of the buffer.
  const auto dropFront = [&](std::size_t from) {
    std::memmove(rx.data(), rx.data() + from, r - from);
    r -= from;
  };
  // Set once an answer with a wrong checksum has been reported: the search then goes on over
  // the bytes behind its header, and ends with that verdict when it finds no further answer.
  bool damagedAnswer = false;
  for (int resumes = 0;; ++resumes) {
    bool came = true;
    // Header search: at most 60 bytes of line noise before 00 00 A5 <code>.
    std::optional<std::size_t> header;
    while (!(header = FindAnswerHeader(std::span(rx).first(r), expectedCode, netAddress))) {
      if (r > 64) return finish(damagedAnswer ? LinkStatus::BadChecksum : LinkStatus::NoSync);
      const auto next = ReadNextByte();
      if (Stopping()) return finish(StopStatus());
      if (!next) {
        came = false;
        break;
      }
      rx[r++] = *next;
    }
    if (!header && damagedAnswer) return finish(LinkStatus::BadChecksum);
    dropFront(header ? *header : (r > 4 ? r - 4 : 0));
    const int frameData = rx[3] == MeterCode::ErrorAnswer ? 0 : dataLength;
    r = std::min(r, static_cast<std::size_t>(frameData) + AnswerOverhead);  // a resumed answer may be shorter
    while (came && r <= static_cast<std::size_t>(frameData) + 8) {
      const auto next = ReadNextByte();
      if (Stopping()) return finish(StopStatus());
      if (!next) {
        came = false;
        break;
      }
      rx[r++] = *next;
    }
    AnswerEnd = MonotonicMs();
    RxLength = static_cast<std::int32_t>(r);

    const std::span<const std::uint8_t> answer(rx.data(), r);
    if (came && AnswerCrcOk(answer) && rx[3] == MeterCode::ErrorAnswer) {
      MonitorAppend(LinkText::ZeroAnswer + std::string("\r\n") + HexBytes(answer) + "\r\n" +
                    LinkText::AdapterNoLink);
      return finish(rx[0] != 0 ? LinkStatus::AdapterNoMeter : LinkStatus::NoAnswer);
    }
    const std::uint8_t verdict = !came                 ? LinkStatus::Interrupted
                                 : AnswerCrcOk(answer) ? LinkStatus::Ok
                                                       : LinkStatus::BadChecksum;
    if (verdict == LinkStatus::Ok) {
      BytesReceived += static_cast<std::int32_t>(r - AnswerOverhead);
      UpdateProgress();
    }
    Status = verdict;
    MonitorAppend(AnswerMonitorText(verdict, answer, frameData));
    const double waitSeconds = (FirstByteTime - WaitStart) / 1000.0;
    const double receiveSeconds = (AnswerEnd - FirstByteTime) / 1000.0;
    MonitorAppend(LinkText::Received + std::to_string(r) + LinkText::Bytes + "\r\n" +
                  LinkText::FirstByteWait + FormatFloat("#0.000", waitSeconds) + LinkText::Seconds + "\r\n" +
                  LinkText::AnswerTime + FormatFloat("#0.000", receiveSeconds) + LinkText::Seconds + "\r\n" +
                  "\r\n");
    if (verdict != LinkStatus::BadChecksum || resumes == MaxHeaderResumes) return finish(verdict);
    const std::size_t resume = ResumeHeaderSearch(answer, expectedCode, netAddress);
    if (resume == r) return finish(verdict);
    dropFront(resume);
    damagedAnswer = true;
  }
}

std::span<const std::uint8_t> TConnectTread::AnswerData() const {
  return AnswerPayload(std::span<const std::uint8_t>(RxBuffer.data(), static_cast<std::size_t>(RxLength)));
}

}  // namespace velk
