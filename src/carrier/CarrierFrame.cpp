#include "carrier/CarrierFrame.h"

#include <algorithm>

#include "common/Mathem.h"

namespace velk {

namespace {

bool IsOneOf(std::uint8_t code, std::initializer_list<std::uint8_t> codes) {
  for (auto c : codes)
    if (c == code) return true;
  return false;
}

ReplyShape Data(int u, int h, int expected) { return {ReplyKind::Data, u, h, expected}; }
ReplyShape Short(int u, int h, int expected) { return {ReplyKind::Short, u, h, expected}; }

}  // namespace

ReplyShape CarrierReplyShape(std::uint8_t code, std::uint8_t count, CarrierFamily family) {
  // Any other code: the data reply of `count` bytes after the echo.
  ReplyShape shape = Data(count, 4, count + 9);
  // Later rules win over earlier ones.
  if (family.Nkp && IsOneOf(code, {0xE8, 0xE9, 0xF2, 0xF4, 0xF6, 0xF8})) shape = Short(0, 4, 9);
  if (code == 0xF0 && count == 0) shape = Data(256, 4, 265);
  if (family.Nkp && code == 0xF1) shape = Data(count * 512, 4, count * 512 + 4);
  if (family.Nkp && (code == 0xE2 || (code == 0xF0 && count != 0))) shape = Data(count, 4, count + 9);
  if (family.AnyLtr() && code == 0xF2) shape = Data(35, 1, 938);
  if (family.Ltr && !family.Ltr2 && code == 0xF1) shape = Data(16193, 1, 16198);
  if (family.Ltr && family.Ltr2 && code == 0xF1) shape = Data(32771, 1, 32782);
  if (family.AnyLtr() && (code == 0xF3 || code == 0xF5)) shape = Short(3, 1, 9);
  if (family.AnyLtr() && code == 0xF4) shape = Short(0, 4, 9);
  return shape;
}

bool CarrierRequestHasExtra(std::uint8_t code, CarrierFamily family) {
  return family.AnyLtr() && code >= 0xF1 && code <= 0xF5;
}

std::uint16_t CarrierChecksum(std::span<const std::uint8_t> bytes) {
  std::uint16_t reg = 0;
  for (auto b : bytes) Crc16Step(b, reg);
  Crc16Step(0, reg);
  Crc16Step(0, reg);
  return reg;
}

std::vector<std::uint8_t> BuildCarrierRequest(int address, int zeroCount, std::uint8_t code, std::uint16_t param,
                                              std::uint8_t count, CarrierFamily family,
                                              const std::array<std::uint8_t, 4>& extra) {
  std::vector<std::uint8_t> frame;
  if (address >= 0) frame.push_back(static_cast<std::uint8_t>(address & 0xFF));
  for (int i = 0; i < zeroCount; ++i) frame.push_back(0x00);
  frame.push_back(0xA5);
  const std::size_t covered = frame.size();
  frame.push_back(code);
  frame.push_back(static_cast<std::uint8_t>(param & 0xFF));
  frame.push_back(static_cast<std::uint8_t>(param >> 8));
  frame.push_back(count);
  if (CarrierRequestHasExtra(code, family)) frame.insert(frame.end(), extra.begin(), extra.end());
  const std::uint16_t crc = CarrierChecksum(std::span(frame).subspan(covered));
  frame.push_back(static_cast<std::uint8_t>(crc & 0xFF));
  frame.push_back(static_cast<std::uint8_t>(crc >> 8));
  return frame;
}

bool IsCarrierSyncAt(std::span<const std::uint8_t> received, std::size_t p, std::uint8_t code) {
  if (p < 2 || p >= received.size()) return false;
  return received[p - 2] == 0x00 && received[p - 1] == 0xA5 && (received[p] == code || received[p] == 0xF3);
}

ChecksumVerdict CheckCarrierChecksum(std::span<const std::uint8_t> covered, std::uint8_t low, std::uint8_t high,
                                     bool nkp) {
  std::uint16_t reg = CarrierChecksum(covered);
  auto matches = [&] { return (reg & 0xFF) == low && (reg >> 8) == high; };
  if (matches()) return ChecksumVerdict::Ok;
  if (nkp) {
    Crc16Step(0xFF, reg);
    if (matches()) return ChecksumVerdict::DamagedData;
  }
  return ChecksumVerdict::Mismatch;
}

int LtrDirectoryDataLength(std::uint8_t lengthLow, std::uint8_t lengthHigh) {
  const int l = lengthLow + 256 * lengthHigh;
  return l > 3 ? l - 3 : 0;
}

CarrierAnswerVerdict CheckCarrierAnswer(std::span<const std::uint8_t> received, std::size_t sync,
                                        const ReplyShape& shape, const CarrierAnswerRequest& request) {
  CarrierAnswerVerdict verdict;
  const std::size_t e = sync;
  const std::size_t u = static_cast<std::size_t>(std::max(shape.DataLength, 0));
  const std::size_t h = static_cast<std::size_t>(std::max(shape.HeaderLength, 1));
  if (e + u + h + 2 > received.size() || e + h < 3) return verdict;  // result 1: cut short
  if (request.Address >= 0) {
    const auto address = static_cast<std::uint8_t>(request.Address & 0xFF);
    const bool threeBefore = e >= 3 && received[e - 3] == address;
    const bool fourBefore = e >= 4 && received[e - 4] == address;
    if (!threeBefore && !fourBefore) {
      verdict.Result = 4;
      return verdict;
    }
  }
  const bool noFamily = !request.Family.Nkp && !request.Family.Ltr && !request.Family.Ltr2;
  if (noFamily && shape.Kind == ReplyKind::Data) {
    if (received[e] == 0xF3) {
      verdict.Result = 7;
      return verdict;
    }
    if (e + 3 >= received.size() || received[e + 1] != (request.Param & 0xFF) ||
        received[e + 2] != (request.Param >> 8) || received[e + 3] != request.Count) {
      verdict.Result = 6;
      return verdict;
    }
  }
  switch (CheckCarrierChecksum(received.subspan(e, u + h), received[e + u + h], received[e + u + h + 1],
                               request.Family.Nkp)) {
    case ChecksumVerdict::Ok:
      verdict.Result = 0;
      verdict.Payload =
          shape.Kind == ReplyKind::Short ? received.subspan(e + h - 3, 3) : received.subspan(e + h, u);
      break;
    case ChecksumVerdict::DamagedData:
      verdict.Result = 9;
      break;
    case ChecksumVerdict::Mismatch:
      verdict.Result = 3;
      break;
  }
  return verdict;
}

}  // namespace velk
