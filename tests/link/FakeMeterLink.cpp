#include "FakeMeterLink.h"

#include <algorithm>

#include "link/MeterFrame.h"

namespace velk::testing {

Bytes AnswerFrame(std::uint8_t first, std::uint8_t code, std::uint8_t p4, std::uint8_t p5, std::uint8_t p6,
                  const Bytes& data) {
  Bytes a{first, 0x00, 0xA5, code, p4, p5, p6};
  a.insert(a.end(), data.begin(), data.end());
  const std::uint16_t crc = MeterFrameCrc(std::span<const std::uint8_t>(a).subspan(3));
  a.push_back(static_cast<std::uint8_t>(crc));
  a.push_back(static_cast<std::uint8_t>(crc >> 8));
  return a;
}

FakeMeter::FakeMeter() : Memory(65536) {
  for (std::size_t i = 0; i < Memory.size(); ++i) Memory[i] = static_cast<std::uint8_t>(i * 7 + (i >> 8));
  for (std::size_t i = 0; i < Identity.size(); ++i) Identity[i] = static_cast<std::uint8_t>(0xD0 + i);
}

Bytes FakeMeter::Answer(const SeenRequest& r) const {
  const auto lo = static_cast<std::uint8_t>(r.Address), hi = static_cast<std::uint8_t>(r.Address >> 8);
  const int length = r.Count == 0 ? 256 : r.Count;
  switch (r.Code) {
    case 0xF2:
      return AnswerFrame(FirstByte, 0xF2, static_cast<std::uint8_t>(Serial),
                         static_cast<std::uint8_t>(Serial >> 8), RawCode);
    case 0xF1:
      if (r.Address == 0xC000)
        return AnswerFrame(FirstByte, 0xF1, lo, hi, r.Count, Bytes(Identity.begin(), Identity.end()));
      return AnswerFrame(FirstByte, RawCode < 50 ? 0xF0 : 0xF1, lo, hi, r.Count,
                         Bytes(Working.begin(), Working.end()));
    case 0xF0: {
      Bytes data;
      for (int i = 0; i < length; ++i) data.push_back(Memory[(r.Address + i) & 0xFFFF]);
      return AnswerFrame(FirstByte, 0xF0, lo, hi, r.Count, data);
    }
    case 0xE8:
    case 0xE9:
      return AnswerFrame(FirstByte, r.Code, lo, hi, r.Count);
    default:
      return {};
  }
}

void FakeMeter::SetRing(std::uint16_t start, std::uint16_t end, std::uint16_t pointer) {
  auto put = [&](int at, std::uint16_t v) {
    Memory[at] = static_cast<std::uint8_t>(v);
    Memory[at + 1] = static_cast<std::uint8_t>(v >> 8);
    Memory[at + 2] = 0;
  };
  put(640 - 512, start);
  put(643 - 512, end);
  put(649 - 512, pointer);
}

void FakeMeter::SetClock(int p, int year, int month, int day, int hour, int minute, int second) {
  auto bcd = [](int v) { return static_cast<std::uint8_t>((v / 10) * 16 + v % 10); };
  const int c = 16 + p;
  Working[c] = bcd(second);
  Working[c + 1] = bcd(minute);
  Working[c + 2] = bcd(hour);
  Working[c + 3] = bcd(day);
  Working[c + 4] = bcd(month);
  Working[c + 5] = bcd(year % 100);
}

bool FakePort::Write(std::span<const std::uint8_t> bytes) {
  if (state_.failed) return false;
  state_.written.insert(state_.written.end(), bytes.begin(), bytes.end());
  auto& buf = state_.unparsed;
  buf.insert(buf.end(), bytes.begin(), bytes.end());
  if (state_.modemReply) {
    const std::string text(buf.begin(), buf.end());
    if (text.find('\r') != std::string::npos && text.rfind("atd", 0) == 0) {
      buf.clear();
      state_.pending.insert(state_.pending.end(), state_.modemReply->begin(), state_.modemReply->end());
      state_.modemReply.reset();  // connected (or not): from now on the meter listens
    }
    return true;
  }
  const std::size_t front = state_.addressByteInFront ? 1 : 0;
  for (;;) {
    std::size_t i = front;
    while (i + 3 <= buf.size() && !(buf[i] == 0 && buf[i + 1] == 0 && buf[i + 2] == 0xA5)) ++i;
    if (i + 9 > buf.size()) break;  // no complete frame yet
    SeenRequest r;
    if (front) r.AddressByte = buf[i - 1];
    r.Code = buf[i + 3];
    r.Address = static_cast<std::uint16_t>(buf[i + 4] | (buf[i + 5] << 8));
    r.Count = buf[i + 6];
    r.WakeUpZeros = static_cast<int>(i - front);
    buf.erase(buf.begin(), buf.begin() + static_cast<std::ptrdiff_t>(i + 9));
    state_.meter.Requests.push_back(r);
    const Bytes answer = state_.respond ? state_.respond(r) : state_.meter.Answer(r);
    state_.pending.insert(state_.pending.end(), answer.begin(), answer.end());
    if (state_.onEveryRequest) state_.onEveryRequest();
  }
  return true;
}

std::optional<std::uint8_t> FakePort::ReadByte(int timeoutMs) {
  if (state_.failed) return std::nullopt;
  if (state_.pending.empty()) {
    state_.clock.AdvanceSeconds(timeoutMs / 1000.0);
    if (state_.onIdleRead) state_.onIdleRead();
    return std::nullopt;
  }
  const std::uint8_t b = state_.pending.front();
  state_.pending.pop_front();
  return b;
}

std::unique_ptr<SerialPort> FakeLinks::OpenSerial(const std::string& portName, int baudRate,
                                                  std::string& error) {
  LastPort = portName;
  LastBaud = baudRate;
  if (RefuseOpen) {
    error = portName + ": cannot open";
    return nullptr;
  }
  ++state_.opens;
  return std::make_unique<FakePort>(state_);
}

std::unique_ptr<ByteStream> FakeLinks::OpenTcp(const std::string& host, int port, int, std::string& error) {
  LastHost = host;
  LastTcpPort = port;
  if (RefuseOpen) {
    error = host + ":" + std::to_string(port) + ": cannot connect: Connection refused";
    return nullptr;
  }
  ++state_.opens;
  return std::make_unique<FakePort>(state_);
}

}  // namespace velk::testing
