// A scripted meter behind a fake serial port or socket for the reader tests:
// it parses the request frames written to it and queues answers built from its
// memory; a read with nothing queued lets the manual clock run on by the read
// time, so timeouts pass without sleeping.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/ByteStream.h"
#include "common/Clock.h"
#include "link/LinkOpener.h"

namespace velk::testing {

using Bytes = std::vector<std::uint8_t>;

struct SeenRequest {
  std::optional<std::uint8_t> AddressByte;
  std::uint8_t Code = 0;
  std::uint16_t Address = 0;
  std::uint8_t Count = 0;
  int WakeUpZeros = 0;  // zero bytes in front of the frame beyond its own sync zeros
};

// Answer frame: first byte, 00 A5, code, three parameter bytes, data, CRC low and high.
Bytes AnswerFrame(std::uint8_t first, std::uint8_t code, std::uint8_t p4, std::uint8_t p5, std::uint8_t p6,
                  const Bytes& data = {});

struct FakeMeter {
  FakeMeter();
  std::vector<std::uint8_t> Memory;         // non-volatile memory, 64 KiB
  std::array<std::uint8_t, 256> Working{};  // the working-memory block with the clock
  std::array<std::uint8_t, 8> Identity{};   // memory at 0xC000
  std::uint8_t RawCode = 83;
  std::uint16_t Serial = 12345;
  std::uint8_t FirstByte = 0x00;  // 0x00, or the network address behind an RS485 adapter
  std::vector<SeenRequest> Requests;

  // The answer to a request; an empty vector for no answer.
  Bytes Answer(const SeenRequest& request) const;
  // Sets the ring description and the pointer of a family >= 50 in the constants.
  void SetRing(std::uint16_t start, std::uint16_t end, std::uint16_t pointer);
  // Meter clock as BCD at block offset 16 + p.
  void SetClock(int p, int year, int month, int day, int hour, int minute, int second);
};

struct FakeLineState {
  explicit FakeLineState(ManualClock& c) : clock(c) {}
  ManualClock& clock;
  FakeMeter meter;
  bool addressByteInFront = false;
  // Turns a request into the bytes the line carries back; defaults to the meter's answer.
  std::function<Bytes(const SeenRequest&)> respond;
  // Bytes the modem sends after the dial command (empty: no modem on the line).
  std::optional<std::string> modemReply;
  std::deque<std::uint8_t> pending;
  Bytes written;
  Bytes unparsed;
  bool failed = false;  // the socket breaks on the next read or write
  int opens = 0;
  std::function<void()> onEveryRequest;  // after a request was parsed
  std::function<void()> onIdleRead;      // a read found nothing queued
  bool dtr = false, rts = false;
};

class FakePort final : public SerialPort {
 public:
  explicit FakePort(FakeLineState& state) : state_(state) {}
  bool Write(std::span<const std::uint8_t> bytes) override;
  std::optional<std::uint8_t> ReadByte(int timeoutMs) override;
  bool Failed() const override { return state_.failed; }
  void Close() override {}
  void SetDtr(bool on) override { state_.dtr = on; }
  void SetRts(bool on) override { state_.rts = on; }
  void PurgeQueues() override { state_.pending.clear(); }
  bool SetBaudRate(int) override { return true; }

 private:
  FakeLineState& state_;
};

class FakeLinks final : public LinkOpener {
 public:
  explicit FakeLinks(FakeLineState& state) : state_(state) {}
  std::unique_ptr<SerialPort> OpenSerial(const std::string& portName, int baudRate,
                                         std::string& error) override;
  std::unique_ptr<ByteStream> OpenTcp(const std::string& host, int port, int streamTimeoutMs,
                                      std::string& error) override;
  bool RefuseOpen = false;
  std::string LastPort;
  int LastBaud = 0;
  std::string LastHost;
  int LastTcpPort = 0;

 private:
  FakeLineState& state_;
};

}  // namespace velk::testing
