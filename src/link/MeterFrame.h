// The meter frame: a nine-byte request (ten with the RS485 address byte in
// front) and an answer of nine bytes plus its data. Both carry the sync bytes
// 00 00 A5, a code, a 16-bit little-endian address or parameter, a count byte
// and a CRC-16/XMODEM stored low byte first. Pure functions over byte spans;
// nothing here touches a link.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace velk {

namespace MeterCode {
constexpr std::uint8_t Identify = 0xF2;
constexpr std::uint8_t WorkingMemory = 0xF1;
constexpr std::uint8_t NonVolatileMemory = 0xF0;
constexpr std::uint8_t SetTime = 0xE8;
constexpr std::uint8_t SetDate = 0xE9;
constexpr std::uint8_t ErrorAnswer = 0xC3;
}  // namespace MeterCode

constexpr std::uint8_t MeterSyncByte = 0xA5;
// An answer is 9 bytes around its data; the data starts at position 7.
constexpr std::size_t AnswerOverhead = 9;
constexpr std::size_t AnswerDataStart = 7;
// Longest answer: 256 data bytes, rounded up to the receive buffer the reader keeps.
constexpr std::size_t MaxAnswerLength = 266;

// CRC of a frame body: the bytes fed with Crc16Step, then two zero bytes.
std::uint16_t MeterFrameCrc(std::span<const std::uint8_t> body);

struct MeterRequest {
  std::array<std::uint8_t, 10> Bytes{};
  std::size_t Length = 0;
  std::span<const std::uint8_t> View() const { return {Bytes.data(), Length}; }
};

// `addressByte` is the RS485 network address byte sent in front of the frame (link kinds 1 and 3).
MeterRequest BuildMeterRequest(std::uint8_t code, std::uint16_t address, std::uint8_t count,
                               std::optional<std::uint8_t> addressByte = std::nullopt);

// Whether the four bytes are an answer header: [0x00 or the network address byte],
// 0x00, 0xA5, [expected code or 0xC3]. `netAddress` takes part only when it is 0..255.
bool IsAnswerHeader(std::span<const std::uint8_t> four, std::uint8_t expectedCode, int netAddress);

// Whether the bytes (at most four are looked at) are the start of an answer header.
bool IsAnswerHeaderStart(std::span<const std::uint8_t> bytes, std::uint8_t expectedCode, int netAddress);

// Position of the first answer header in the bytes received so far.
std::optional<std::size_t> FindAnswerHeader(std::span<const std::uint8_t> received, std::uint8_t expectedCode,
                                            int netAddress);

// Where the header search goes on when the answer at the start of `received` has failed its
// checksum (a lost byte lets it run into the next answer): the first position from 1 on that
// holds an answer header, or from which the bytes left can still begin one; received.size()
// when there is none.
std::size_t ResumeHeaderSearch(std::span<const std::uint8_t> received, std::uint8_t expectedCode,
                               int netAddress);

// Total answer length for `dataLength` data bytes; an error answer (0xC3) has no data.
std::size_t AnswerLength(std::uint8_t answerCode, std::size_t dataLength);

// The CRC over positions 3 .. n-3 against positions n-2 (low) and n-1 (high).
// false for anything shorter than a bare answer.
bool AnswerCrcOk(std::span<const std::uint8_t> answer);

// The address (or parameter) in positions 4 and 5, little-endian.
std::uint16_t AnswerAddress(std::span<const std::uint8_t> answer);

// The data bytes, positions 7 .. n-3; empty for anything shorter than a bare answer.
std::span<const std::uint8_t> AnswerPayload(std::span<const std::uint8_t> answer);

}  // namespace velk
