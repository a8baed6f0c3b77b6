#include "carrier/ComPortQuery.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "carrier/CarrierTexts.h"
#include "common/NumberFormat.h"
#include "common/PortMap.h"
#include "common/ProgramFolder.h"

namespace velk {

namespace txt = carrier_text;

namespace {

// The port's own read time-out: one single-byte read returns after at most this.
constexpr int ByteReadTimeoutMs = 20;
// Longest answer in the receive buffer: 64 bytes before the sync, the code,
// the largest payload and its header and checksum, with room to spare.
constexpr std::size_t ReceiveCapacity = 65 + TComPortQuery::AnswerCapacity + 16;

std::string HexBytes(std::span<const std::uint8_t> bytes) {
  std::string text;
  char cell[4];
  for (auto b : bytes) {
    std::snprintf(cell, sizeof cell, "%02X ", b);
    text += cell;
  }
  return text;
}

}  // namespace

SerialPortFactory SystemSerialPortFactory(const std::filesystem::path& programFolder) {
  return [programFolder](const std::string& portName, int baudRate, std::string& error) {
    SerialSettings settings;
    settings.BaudRate = baudRate;
    return OpenSerialPort(portName, settings, PortMap::LoadFromProgramFolder(programFolder), error);
  };
}

std::string CarrierQueryResultText(int result) {
  static const char* const texts[] = {txt::Result0, txt::Result1, txt::Result2, txt::Result3, txt::Result4,
                                      txt::Result5, txt::Result6, txt::Result7, txt::Result8, txt::Result9};
  return result >= 0 && result <= 9 ? texts[result] : "";
}

TComPortQuery::TComPortQuery() : TComPortQuery(SystemSerialPortFactory(ProgramFolder())) {}

TComPortQuery::TComPortQuery(SerialPortFactory factory)
    : SleepMs([](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }),
      factory_(std::move(factory)),
      received_(ReceiveCapacity) {}

TComPortQuery::~TComPortQuery() { Close(); }

void TComPortQuery::SetBaudRate(int baud) {
  baud_ = baud;
  if (port_) port_->SetBaudRate(baud);
}

bool TComPortQuery::Open(std::string& error) {
  Close();
  port_ = factory_(portName_, baud_, error);
  if (!port_) return false;
  // The carrier's interface is powered from the modem lines.
  port_->SetDtr(true);
  port_->SetRts(true);
  return true;
}

void TComPortQuery::Close() {
  if (!port_) return;
  port_->Close();
  port_.reset();
}

void TComPortQuery::ClearBuffers() {
  if (port_) port_->PurgeQueues();
}

void TComPortQuery::SetRts(bool on) {
  if (port_) port_->SetRts(on);
}

void TComPortQuery::SetDtr(bool on) {
  if (port_) port_->SetDtr(on);
}

SerialPort& TComPortQuery::Port() {
  if (!port_) throw CarrierPortError("port " + portName_ + " is not open");
  return *port_;
}

void TComPortQuery::AddLine(const std::string& line) {
  monitorList_.push_back(line);
  if (Monitor) {
    std::string text = line;
    while (!text.empty() && text.back() == '\r') text.pop_back();
    Monitor->Append(text + "\n");
  }
}

void TComPortQuery::Fire(const Notification& n) {
  if (n) n(*this);
}

bool TComPortQuery::Pause(int ms) {
  while (ms > 0) {
    if (!Busy.load()) return false;
    const int step = std::min(ms, 10);
    SleepMs(step);
    ms -= step;
  }
  return Busy.load() != 0;
}

std::optional<std::uint8_t> TComPortQuery::ReadWithin(int ms) {
  const double start = WaitClock->MonotonicMs();
  SerialPort& port = Port();
  do {
    if (!Busy.load()) {
      aborted_ = true;
      return std::nullopt;
    }
    if (auto b = port.ReadByte(ByteReadTimeoutMs)) return b;
    if (port.Failed()) return std::nullopt;
  } while (WaitClock->MonotonicMs() - start < std::max(ms, 0));
  return std::nullopt;
}

int TComPortQuery::Query(std::uint8_t code, std::uint16_t param, std::uint8_t count) {
  const CarrierFamily family{Query_NKP, Query_LTR, Query_LTR2};
  ReceivedCount = 0;
  ExpectedCount = WaitingCount;
  const auto frame = BuildCarrierRequest(Query_AdrPribora, Query_ChisloNuley, code, param, count, family, ExtraBytes);
  const ReplyShape shape = CarrierReplyShape(code, count, family);
  ExpectedCount = shape.ExpectedCount;
  int result = 100;
  if (static_cast<std::size_t>(shape.DataLength) > AnswerCapacity) {
    // A request whose answer cannot fit the answer buffer is never sent.
    resultText_ = CarrierQueryResultText(2);
    return 2;
  }

  Busy = 1;
  for (int k = -1; k < povtorov_ && Busy.load() && result != 0; ++k) result = Attempt(k, code, param, count, family, frame);
  if (result != 0 && !Busy.load()) result = 8;
  resultText_ = CarrierQueryResultText(result);
  return result;
}

int TComPortQuery::Attempt(int k, std::uint8_t code, std::uint16_t param, std::uint8_t count, CarrierFamily family,
                           const std::vector<std::uint8_t>& frame) {
  SerialPort& port = Port();
  aborted_ = false;
  ReceivedCount = 0;

  // Drain what is still pending from an earlier answer.
  while (Busy.load() && port.ReadByte(0)) {
  }
  if (!Busy.load()) return 8;
  // An НКП-3М that does not answer twice gets its interface reset by the RTS line.
  if (family.Nkp && k > 0) {
    port.SetRts(false);
    if (!Pause(1500)) return 8;
    port.SetRts(true);
    if (!Pause(60)) return 8;
  }
  port.PurgeQueues();

  if (k > 0) AddLine(txt::MonAttempt + std::to_string(k + 1));
  AddLine(txt::MonRequest + HexBytes(frame));
  Fire(OnQuery_SaprosOnn);
  if (!port.Write(frame)) throw CarrierPortError("cannot write to port " + portName_);
  AddLine(txt::MonBytesSent + std::to_string(frame.size()));
  if (!Pause(20)) return 8;
  Fire(OnQuery_Monitor);
  monitorList_.clear();
  Fire(OnQuery_SaprosOff);

  int result = 100;
  ReplyShape shape = CarrierReplyShape(code, count, family);
  auto& rx = received_;
  std::fill(rx.begin(), rx.end(), 0);
  std::size_t received = 0, highest = 0, sync = 0;
  bool found = false, delivered = false;
  auto store = [&](std::size_t pos, std::uint8_t b) {
    rx[pos] = b;
    highest = std::max(highest, pos + 1);
  };

  // First bytes.
  const double waitStart = WaitClock->MonotonicMs();
  auto first = ReadWithin(Query_WaitFirstByte);
  if (aborted_) return 8;
  const double firstByteSeconds = SecondsSince(waitStart);
  const double packetStart = WaitClock->MonotonicMs();
  if (first) {
    store(0, *first);
    Fire(OnQuery_OtwetOnn);
    auto second = ReadWithin(Query_WaitLastByte);
    if (aborted_) return 8;
    if (second) store(1, *second);
    delivered = second.has_value();
    received = 2;
    ReceivedCount = 2;

    // Sync search: 0x00 0xA5 and the code (or 0xF3) within the first 65 bytes.
    while (delivered && received <= 64 && !found) {
      const std::size_t p = received;
      auto b = ReadWithin(Query_WaitLastByte);
      if (aborted_) return 8;
      delivered = b.has_value();
      if (!b) break;
      store(p, *b);
      if (IsCarrierSyncAt(rx, p, code)) {
        found = true;
        sync = p;
      }
      ReceivedCount = static_cast<int>(++received);
    }
    if (!found && received > 64) {
      result = 2;
      AddLine(txt::MonError2);
    }
  }

  if (received == 0) {
    result = 5;
    AddLine(txt::MonError5);
    AddLine(txt::MonAnswerWait + FormatFloat("0.000", firstByteSeconds) + txt::SecondsSuffix);
  } else {
    // Data phase: the echo, the payload and the checksum after the code byte.
    const bool directory = found && family.AnyLtr() && code == 0xF2;
    std::size_t need = static_cast<std::size_t>(shape.DataLength + shape.HeaderLength + 1);
    const double phaseStart = WaitClock->MonotonicMs();
    for (std::size_t i = 0; delivered && i < need; ++i) {
      const std::size_t pos = sync + 1 + i;
      if (pos >= rx.size()) break;
      auto b = ReadWithin(Query_WaitLastByte);
      if (aborted_) return 8;
      delivered = b.has_value();
      if (!b) break;
      store(pos, *b);
      ReceivedCount = static_cast<int>(++received);
      if (directory && i == 1) {
        shape.DataLength = LtrDirectoryDataLength(rx[sync + 1], rx[sync + 2]);
        if (static_cast<std::size_t>(shape.DataLength) > AnswerCapacity) {
          // A length the answer buffer cannot hold: not an answer of this carrier.
          result = 2;
          break;
        }
        need = static_cast<std::size_t>(shape.DataLength + 2);
        ExpectedCount = shape.DataLength + static_cast<int>(received) + 2;
      }
    }
    if (!delivered) {
      result = 1;
      AddLine(txt::MonError1);
      AddLine(txt::MonByteWait + FormatFloat("0.000", SecondsSince(phaseStart)) + txt::SecondsSuffix);
    }
  }

  if (received > 0) {
    AddLine(txt::MonAnswer + HexBytes(std::span(rx).first(highest)));
    AddLine(txt::MonBytesReceived + std::to_string(received) + "\r");
    AddLine(txt::MonFirstByteTime + FormatFloat("#0.000", firstByteSeconds) + txt::SecondsSuffix);
    AddLine(txt::MonPacketTime + FormatFloat("#0.000", SecondsSince(packetStart)) + txt::SecondsSuffix);
  }
  Fire(OnQuery_OtwetOff);

  if (result == 100) {
    const CarrierAnswerVerdict verdict = CheckCarrierAnswer(std::span(rx).first(highest), sync, shape,
                                                            {code, param, count, family, Query_AdrPribora});
    result = verdict.Result;
    switch (result) {
      case 0:
        AddLine(txt::MonChecksumOk);
        std::copy(verdict.Payload.begin(), verdict.Payload.end(), answer_.begin());
        break;
      case 4:
        AddLine(txt::MonError4);
        break;
      case 6:
        AddLine(txt::MonError6);
        break;
      case 7:
        AddLine(txt::MonError7);
        break;
      case 3:
      case 9:
        AddLine(txt::MonError3);
        break;
      default:
        break;
    }
  }

  port.PurgeQueues();
  resultText_ = CarrierQueryResultText(result);
  Fire(OnQuery_Monitor);
  monitorList_.clear();
  Fire(OnQuery_EndCikl);
  return result;
}

}  // namespace velk
