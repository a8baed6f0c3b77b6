// The carrier request and answer frame as pure functions over bytes: the
// answer shape a command expects, the request bytes, the sync search and the
// answer checksum. The query engine (ComPortQuery) runs the reception loop.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace velk {

// Which carrier the engine talks to. An ЛТР-2 sets both Ltr and Ltr2.
struct CarrierFamily {
  bool Nkp = false;
  bool Ltr = false;
  bool Ltr2 = false;
  bool AnyLtr() const { return Ltr || Ltr2; }
};

enum class ReplyKind { Short, Data };

struct ReplyShape {
  ReplyKind Kind = ReplyKind::Data;
  int DataLength = 0;     // u: payload bytes after the echo
  int HeaderLength = 4;   // h: the code byte and the echoed parameter bytes
  int ExpectedCount = 0;  // bytes shown as the progress total
};

ReplyShape CarrierReplyShape(std::uint8_t code, std::uint8_t count, CarrierFamily family);

// ЛТР carriers take four extra bytes with codes 0xF1..0xF5.
bool CarrierRequestHasExtra(std::uint8_t code, CarrierFamily family);

// Bytes of one request: [address], zeros, 0xA5, code, param low, param high,
// count, [extra], checksum low, checksum high.
std::vector<std::uint8_t> BuildCarrierRequest(int address, int zeroCount, std::uint8_t code, std::uint16_t param,
                                              std::uint8_t count, CarrierFamily family,
                                              const std::array<std::uint8_t, 4>& extra);

// CRC-16/XMODEM of the bytes, computed with the augmented register of
// Crc16Step (the bytes, then two zero bytes).
std::uint16_t CarrierChecksum(std::span<const std::uint8_t> bytes);

// True when bytes p-2, p-1, p are 0x00, 0xA5 and the request code or 0xF3.
bool IsCarrierSyncAt(std::span<const std::uint8_t> received, std::size_t p, std::uint8_t code);

enum class ChecksumVerdict { Ok, DamagedData, Mismatch };

// `covered` are the code byte and the bytes the checksum covers; `low`/`high`
// the checksum received. An НКП-3М marks data it read damaged from its own
// memory by a checksum advanced once more over 0xFF.
ChecksumVerdict CheckCarrierChecksum(std::span<const std::uint8_t> covered, std::uint8_t low, std::uint8_t high,
                                     bool nkp);

// Length of an ЛТР directory answer's payload from its first two bytes (the
// whole answer after the sync bytes is L bytes: code, payload, checksum).
int LtrDirectoryDataLength(std::uint8_t lengthLow, std::uint8_t lengthHigh);

// The request an answer is checked against.
struct CarrierAnswerRequest {
  std::uint8_t Code = 0;
  std::uint16_t Param = 0;
  std::uint8_t Count = 0;
  CarrierFamily Family;
  int Address = -1;  // Query_AdrPribora: compared when >= 0
};

struct CarrierAnswerVerdict {
  // 0 valid, 1 the bytes end before the checksum, 3 checksum mismatch, 4 address
  // mismatch, 6 echo differs, 7 the peer did not know the request, 9 damaged
  // memory data (НКП-3М): the query result codes.
  int Result = 1;
  std::span<const std::uint8_t> Payload;  // what goes into the answer buffer when Result is 0
};

// The checks of a received answer whose code byte stands at `sync`, for a
// reply of `shape` (its data length as the answer itself gave it): the
// address, the code and echo of a peer without a family flag, the checksum;
// then the payload: three bytes of a short reply, u bytes of a data reply.
CarrierAnswerVerdict CheckCarrierAnswer(std::span<const std::uint8_t> received, std::size_t sync,
                                        const ReplyShape& shape, const CarrierAnswerRequest& request);

}  // namespace velk
