// Arbitrary bytes as what a reader received from a meter: the answer header
// search, the answer length, the CRC check and the address and payload cuts.
// The first bytes choose the request (code, count) and the RS485 address byte;
// the rest is the line. Every header found is checked, and the search goes on
// at the byte after its start, as a reader that resynchronises after a bad
// answer does. A frame built from the input must pass its own check.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "link/MeterFrame.h"

namespace {

constexpr std::uint8_t Codes[] = {velk::MeterCode::Identify, velk::MeterCode::WorkingMemory,
                                  velk::MeterCode::NonVolatileMemory, velk::MeterCode::SetTime,
                                  velk::MeterCode::SetDate};
constexpr std::size_t ControlBytes = 4;
constexpr std::size_t MaxLine = 8192;

void Require(bool condition) {
  if (!condition) __builtin_trap();
}

void CheckAnswer(std::span<const std::uint8_t> answer, bool crcOk) {
  const auto payload = velk::AnswerPayload(answer);
  if (answer.size() < velk::AnswerOverhead) {
    Require(!crcOk && payload.empty());
    return;
  }
  Require(payload.size() == answer.size() - velk::AnswerOverhead);
  Require(payload.data() == answer.data() + velk::AnswerDataStart);
  Require(velk::AnswerAddress(answer) == (answer[4] | answer[5] << 8));
}

// An answer with the line's first bytes as its data: it must pass the check and give them back.
void RoundTrip(std::uint8_t code, std::uint16_t address, std::span<const std::uint8_t> data) {
  std::vector<std::uint8_t> answer{0x00,
                                   0x00,
                                   velk::MeterSyncByte,
                                   code,
                                   static_cast<std::uint8_t>(address),
                                   static_cast<std::uint8_t>(address >> 8),
                                   static_cast<std::uint8_t>(data.size())};
  answer.insert(answer.end(), data.begin(), data.end());
  const std::uint16_t crc = velk::MeterFrameCrc(std::span(answer).subspan(3));
  answer.push_back(static_cast<std::uint8_t>(crc));
  answer.push_back(static_cast<std::uint8_t>(crc >> 8));
  Require(answer.size() == velk::AnswerLength(code, data.size()));
  Require(velk::AnswerCrcOk(answer));
  Require(velk::FindAnswerHeader(answer, code, -1) == std::size_t{0});
  const auto payload = velk::AnswerPayload(answer);
  Require(std::equal(payload.begin(), payload.end(), data.begin(), data.end()));
  answer[answer.size() - 1 - data.size() % 2] ^= 0x01;  // one flipped checksum bit
  Require(!velk::AnswerCrcOk(answer));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < ControlBytes || size > ControlBytes + MaxLine) return 0;
  const std::uint8_t code = Codes[data[0] % std::size(Codes)];
  const std::size_t dataLength = data[1] == 0 ? 256 : data[1];
  const int netAddress = data[2] == 0xFF ? -1 : data[2];
  const auto address = static_cast<std::uint16_t>(data[3] << 4);
  const std::span<const std::uint8_t> line(data + ControlBytes, size - ControlBytes);

  // The request: with or without the address byte, the part after it is a frame with a valid CRC.
  const velk::MeterRequest request = velk::BuildMeterRequest(
      code, address, data[1], netAddress < 0 ? std::nullopt : std::optional<std::uint8_t>(netAddress));
  const auto frame = request.View().subspan(netAddress < 0 ? 0 : 1);
  Require(frame.size() == velk::AnswerOverhead && velk::AnswerCrcOk(frame));

  std::size_t from = 0;
  while (from < line.size()) {
    const auto found = velk::FindAnswerHeader(line.subspan(from), code, netAddress);
    if (!found) break;
    const std::size_t start = from + *found;
    Require(velk::IsAnswerHeader(line.subspan(start, 4), code, netAddress));
    const std::size_t length = velk::AnswerLength(line[start + 3], dataLength);
    const auto answer = line.subspan(start, std::min(length, line.size() - start));
    CheckAnswer(answer, velk::AnswerCrcOk(answer));
    from = start + 1;
  }
  RoundTrip(code, address, line.first(std::min<std::size_t>(line.size(), 256)));
  return 0;
}
