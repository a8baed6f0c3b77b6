#include <gtest/gtest.h>

#include <vector>

#include "link/MeterFrame.h"

namespace velk {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ToVector(std::span<const std::uint8_t> s) { return {s.begin(), s.end()}; }

// An answer built field by field: header, three parameter bytes, data, CRC.
Bytes MakeAnswer(std::uint8_t first, std::uint8_t code, std::uint16_t address, std::uint8_t p6,
                 const Bytes& data) {
  Bytes a{
      first, 0x00, 0xA5, code, static_cast<std::uint8_t>(address), static_cast<std::uint8_t>(address >> 8),
      p6};
  a.insert(a.end(), data.begin(), data.end());
  const std::uint16_t crc = MeterFrameCrc(std::span<const std::uint8_t>(a).subspan(3));
  a.push_back(static_cast<std::uint8_t>(crc));
  a.push_back(static_cast<std::uint8_t>(crc >> 8));
  return a;
}

TEST(MeterFrame, RequestsByteForByte) {
  EXPECT_EQ(ToVector(BuildMeterRequest(0xF2, 0, 0).View()),
            (Bytes{0x00, 0x00, 0xA5, 0xF2, 0x00, 0x00, 0x00, 0x25, 0x72}));
  EXPECT_EQ(ToVector(BuildMeterRequest(0xF1, 0xC000, 8).View()),
            (Bytes{0x00, 0x00, 0xA5, 0xF1, 0x00, 0xC0, 0x08, 0xA5, 0x7E}));
  // RS485: the network address byte goes in front, the CRC stays that of the frame.
  EXPECT_EQ(ToVector(BuildMeterRequest(0xF1, 0xC000, 8, 0x05).View()),
            (Bytes{0x05, 0x00, 0x00, 0xA5, 0xF1, 0x00, 0xC0, 0x08, 0xA5, 0x7E}));
}

TEST(MeterFrame, CrcIsXmodemOfTheBody) {
  // The published check value of CRC-16/XMODEM over "123456789".
  const Bytes digits{'1', '2', '3', '4', '5', '6', '7', '8', '9'};
  EXPECT_EQ(MeterFrameCrc(digits), 0x31C3);
  EXPECT_EQ(MeterFrameCrc({}), 0x0000);
}

TEST(MeterFrame, HeaderAcceptsZeroOrTheNetworkAddress) {
  const Bytes plain{0x00, 0x00, 0xA5, 0xF1};
  const Bytes addressed{0x05, 0x00, 0xA5, 0xF1};
  const Bytes error{0x05, 0x00, 0xA5, 0xC3};
  EXPECT_TRUE(IsAnswerHeader(plain, 0xF1, 5));
  EXPECT_TRUE(IsAnswerHeader(addressed, 0xF1, 5));
  EXPECT_TRUE(IsAnswerHeader(error, 0xF1, 5));
  EXPECT_FALSE(IsAnswerHeader(addressed, 0xF1, 6));
  EXPECT_FALSE(IsAnswerHeader(addressed, 0xF1, 0xFFFF));  // no network address on this link
  EXPECT_FALSE(IsAnswerHeader(addressed, 0xF1, -1));
  EXPECT_FALSE(IsAnswerHeader(plain, 0xF0, 5));  // another code
  EXPECT_FALSE(IsAnswerHeader(Bytes{0x00, 0x00, 0xA5}, 0xF1, 0));
}

TEST(MeterFrame, HeaderFoundBehindNoise) {
  Bytes received{0x13, 0xA5, 0x00};
  const Bytes answer = MakeAnswer(0x00, 0xF2, 0x1234, 83, {});
  received.insert(received.end(), answer.begin(), answer.end());
  EXPECT_EQ(FindAnswerHeader(received, 0xF2, 0xFFFF), 3u);
  EXPECT_EQ(FindAnswerHeader(Bytes(64, 0x00), 0xF2, 0xFFFF), std::nullopt);
  // A code of a family below 50 answering the working-memory request with 0xF0.
  EXPECT_EQ(FindAnswerHeader(MakeAnswer(0, 0xF0, 0, 0, {}), 0xF1, 0xFFFF), std::nullopt);
}

TEST(MeterFrame, SearchResumesBehindADamagedAnswer) {
  const Bytes data{1, 2, 3, 4, 5, 6, 7, 8};
  const Bytes next = MakeAnswer(0x05, 0xF0, 0x0201, 8, data);
  // One byte lost: the damaged answer ends with the first byte of the next one.
  Bytes damaged = MakeAnswer(0x05, 0xF0, 0x0100, 8, data);
  damaged.erase(damaged.begin() + 10);
  damaged.push_back(next[0]);
  EXPECT_EQ(ResumeHeaderSearch(damaged, 0xF0, 5), damaged.size() - 1);
  EXPECT_EQ(ResumeHeaderSearch(damaged, 0xF0, 0xFFFF), damaged.size());  // 0x05 begins no answer here
  // Five bytes lost: the whole header of the next answer is inside.
  damaged.erase(damaged.begin() + 10, damaged.begin() + 14);
  damaged.insert(damaged.end(), next.begin() + 1, next.begin() + 5);
  EXPECT_EQ(ResumeHeaderSearch(damaged, 0xF0, 5), damaged.size() - 5);
  EXPECT_EQ(ResumeHeaderSearch(damaged, 0xF1, 5), damaged.size());  // another code
  // The header of the damaged answer itself is passed over.
  EXPECT_EQ(ResumeHeaderSearch(Bytes{0x00, 0x00, 0xA5, 0xF0}, 0xF0, 0xFFFF), 4u);
  EXPECT_EQ(ResumeHeaderSearch(Bytes{0x00, 0x00, 0xA5, 0xF0, 0x00, 0x00, 0xA5}, 0xF0, 0xFFFF), 4u);
}

TEST(MeterFrame, AnswerChecksAndParts) {
  const Bytes data{1, 2, 3, 4, 5, 6, 7, 8};
  Bytes answer = MakeAnswer(0x00, 0xF1, 0xC000, 8, data);
  ASSERT_EQ(answer.size(), AnswerLength(0xF1, 8));
  EXPECT_TRUE(AnswerCrcOk(answer));
  EXPECT_EQ(AnswerAddress(answer), 0xC000);
  EXPECT_EQ(ToVector(AnswerPayload(answer)), data);

  answer[9] ^= 0x40;  // one data bit flipped
  EXPECT_FALSE(AnswerCrcOk(answer));
  answer[9] ^= 0x40;
  answer.back() ^= 0x01;  // CRC high byte
  EXPECT_FALSE(AnswerCrcOk(answer));

  const Bytes error = MakeAnswer(0x05, 0xC3, 0, 0, {});
  EXPECT_EQ(AnswerLength(0xC3, 256), 9u);
  EXPECT_TRUE(AnswerCrcOk(error));
  EXPECT_TRUE(AnswerPayload(error).empty());
}

TEST(MeterFrame, ShortInputIsNeverReadPastItsEnd) {
  const Bytes shortAnswer{0x00, 0x00, 0xA5, 0xF0, 0x00};
  EXPECT_FALSE(AnswerCrcOk(shortAnswer));
  EXPECT_TRUE(AnswerPayload(shortAnswer).empty());
  EXPECT_EQ(AnswerAddress(Bytes{0x00, 0x00}), 0);
}

}  // namespace
}  // namespace velk
