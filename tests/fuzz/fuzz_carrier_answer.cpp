// Arbitrary bytes as a carrier's answer: the sync search over the first 65
// bytes, the reply shape of the request (with the length an ЛТР directory
// answer gives itself) and the answer check of the query engine. The first
// five bytes choose the request: code, count, family and address, parameter.
// An answer built from the input for the same request must pass the check and
// give its payload back.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "carrier/CarrierFrame.h"

namespace {

constexpr std::uint8_t Codes[] = {0xE2, 0xE8, 0xE9, 0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF8, 0x30};
constexpr std::size_t ControlBytes = 5;
constexpr std::size_t SyncSearchEnd = 64;
// The largest answer the engine reads: an ЛТР-2 block after up to 64 bytes of noise.
constexpr std::size_t MaxAnswer = 65 + 32784 + 16;

void Require(bool condition) {
  if (!condition) __builtin_trap();
}

velk::CarrierFamily FamilyOf(std::uint8_t bits) {
  switch (bits % 4) {
    case 1:
      return {true, false, false};
    case 2:
      return {false, true, false};
    case 3:
      return {false, true, true};
    default:
      return {};
  }
}

void RoundTrip(const velk::CarrierAnswerRequest& request, const velk::ReplyShape& shape,
               std::span<const std::uint8_t> line) {
  if (shape.DataLength < 0 || static_cast<std::size_t>(shape.DataLength) > line.size()) return;
  const bool noFamily = !request.Family.Nkp && !request.Family.AnyLtr();
  if (noFamily && request.Code == 0xF3) return;  // that code says the peer did not know the request
  std::vector<std::uint8_t> answer{0x00, 0x00, 0xA5, request.Code};
  if (shape.HeaderLength == 4) {
    answer.push_back(static_cast<std::uint8_t>(request.Param));
    answer.push_back(static_cast<std::uint8_t>(request.Param >> 8));
    answer.push_back(request.Count);
  }
  answer.insert(answer.end(), line.begin(), line.begin() + shape.DataLength);
  const std::uint16_t crc = velk::CarrierChecksum(std::span(answer).subspan(3));
  answer.push_back(static_cast<std::uint8_t>(crc));
  answer.push_back(static_cast<std::uint8_t>(crc >> 8));
  velk::CarrierAnswerRequest unaddressed = request;
  unaddressed.Address = -1;
  const velk::CarrierAnswerVerdict verdict = velk::CheckCarrierAnswer(answer, 3, shape, unaddressed);
  Require(verdict.Result == 0);
  if (shape.Kind == velk::ReplyKind::Data)
    Require(std::equal(verdict.Payload.begin(), verdict.Payload.end(), line.begin(),
                       line.begin() + shape.DataLength));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < ControlBytes || size > ControlBytes + MaxAnswer) return 0;
  velk::CarrierAnswerRequest request;
  request.Code = Codes[data[0] % std::size(Codes)];
  request.Count = data[1];
  request.Family = FamilyOf(data[2]);
  request.Address = data[2] & 0x80 ? data[2] & 0x3F : -1;
  request.Param = static_cast<std::uint16_t>(data[3] | data[4] << 8);
  const std::span<const std::uint8_t> line(data + ControlBytes, size - ControlBytes);

  velk::ReplyShape shape = velk::CarrierReplyShape(request.Code, request.Count, request.Family);
  RoundTrip(request, shape, line);
  for (std::size_t sync = 2; sync <= SyncSearchEnd && sync < line.size(); ++sync) {
    if (!velk::IsCarrierSyncAt(line, sync, request.Code)) continue;
    if (request.Family.AnyLtr() && request.Code == 0xF2 && sync + 2 < line.size())
      shape.DataLength = velk::LtrDirectoryDataLength(line[sync + 1], line[sync + 2]);
    const velk::CarrierAnswerVerdict verdict = velk::CheckCarrierAnswer(line, sync, shape, request);
    Require(verdict.Result == 0 || verdict.Result == 1 || verdict.Result == 3 || verdict.Result == 4 ||
            verdict.Result == 6 || verdict.Result == 7 || verdict.Result == 9);
    if (verdict.Result == 0) {
      const std::size_t expected = shape.Kind == velk::ReplyKind::Short ? 3 : shape.DataLength;
      Require(verdict.Payload.size() == expected);
      Require(verdict.Payload.data() >= line.data() &&
              verdict.Payload.data() + verdict.Payload.size() <= line.data() + line.size());
    } else {
      Require(verdict.Payload.empty());
    }
    break;
  }
  return 0;
}
