#include "link/MeterFrame.h"

#include <algorithm>

#include "common/Mathem.h"

namespace velk {

std::uint16_t MeterFrameCrc(std::span<const std::uint8_t> body) {
  std::uint16_t crc = 0;
  for (std::uint8_t b : body) Crc16Step(b, crc);
  Crc16Step(0, crc);
  Crc16Step(0, crc);
  return crc;
}

MeterRequest BuildMeterRequest(std::uint8_t code, std::uint16_t address, std::uint8_t count,
                               std::optional<std::uint8_t> addressByte) {
  MeterRequest request;
  std::size_t i = 0;
  if (addressByte) request.Bytes[i++] = *addressByte;
  const std::size_t start = i;
  request.Bytes[i++] = 0x00;
  request.Bytes[i++] = 0x00;
  request.Bytes[i++] = MeterSyncByte;
  request.Bytes[i++] = code;
  request.Bytes[i++] = static_cast<std::uint8_t>(address & 0xFF);
  request.Bytes[i++] = static_cast<std::uint8_t>(address >> 8);
  request.Bytes[i++] = count;
  const std::uint16_t crc = MeterFrameCrc(std::span<const std::uint8_t>(request.Bytes).subspan(start + 3, 4));
  request.Bytes[i++] = static_cast<std::uint8_t>(crc & 0xFF);
  request.Bytes[i++] = static_cast<std::uint8_t>(crc >> 8);
  request.Length = i;
  return request;
}

bool IsAnswerHeaderStart(std::span<const std::uint8_t> bytes, std::uint8_t expectedCode, int netAddress) {
  const std::size_t n = std::min<std::size_t>(bytes.size(), 4);
  const bool firstOk =
      n < 1 || bytes[0] == 0x00 || (netAddress >= 0 && netAddress <= 255 && bytes[0] == netAddress);
  return firstOk && (n < 2 || bytes[1] == 0x00) && (n < 3 || bytes[2] == MeterSyncByte) &&
         (n < 4 || bytes[3] == expectedCode || bytes[3] == MeterCode::ErrorAnswer);
}

bool IsAnswerHeader(std::span<const std::uint8_t> four, std::uint8_t expectedCode, int netAddress) {
  return four.size() >= 4 && IsAnswerHeaderStart(four, expectedCode, netAddress);
}

std::optional<std::size_t> FindAnswerHeader(std::span<const std::uint8_t> received, std::uint8_t expectedCode,
                                            int netAddress) {
  for (std::size_t i = 0; i + 4 <= received.size(); ++i) {
    if (IsAnswerHeader(received.subspan(i, 4), expectedCode, netAddress)) return i;
  }
  return std::nullopt;
}

std::size_t ResumeHeaderSearch(std::span<const std::uint8_t> received, std::uint8_t expectedCode,
                               int netAddress) {
  for (std::size_t i = 1; i < received.size(); ++i) {
    if (IsAnswerHeaderStart(received.subspan(i), expectedCode, netAddress)) return i;
  }
  return received.size();
}

std::size_t AnswerLength(std::uint8_t answerCode, std::size_t dataLength) {
  return AnswerOverhead + (answerCode == MeterCode::ErrorAnswer ? 0 : dataLength);
}

bool AnswerCrcOk(std::span<const std::uint8_t> answer) {
  const std::size_t n = answer.size();
  if (n < AnswerOverhead) return false;
  const std::uint16_t crc = MeterFrameCrc(answer.subspan(3, n - 5));
  return answer[n - 2] == (crc & 0xFF) && answer[n - 1] == (crc >> 8);
}

std::uint16_t AnswerAddress(std::span<const std::uint8_t> answer) {
  if (answer.size() < 6) return 0;
  return static_cast<std::uint16_t>(answer[4] | (answer[5] << 8));
}

std::span<const std::uint8_t> AnswerPayload(std::span<const std::uint8_t> answer) {
  if (answer.size() < AnswerOverhead) return {};
  return answer.subspan(AnswerDataStart, answer.size() - AnswerOverhead);
}

}  // namespace velk
