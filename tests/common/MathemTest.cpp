#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "common/Mathem.h"

namespace velk {
namespace {

std::uint16_t CrcOf(const std::vector<std::uint8_t>& bytes) {
  std::uint16_t crc = 0;
  for (auto b : bytes) Crc16Step(b, crc);
  Crc16Step(0, crc);
  Crc16Step(0, crc);
  return crc;
}

TEST(Crc16Step, XmodemCheckValueWithTwoZeroBytesAfterTheMessage) {
  const std::string text = "123456789";
  EXPECT_EQ(CrcOf({text.begin(), text.end()}), 0x31C3);
}

TEST(Crc16Step, SingleSteps) {
  std::uint16_t crc = 0;
  Crc16Step(0x00, crc);
  EXPECT_EQ(crc, 0);
  // Eight bit steps from 0x8000: the polynomial is applied at the first shift and shifted on seven times.
  crc = 0x8000;
  Crc16Step(0x00, crc);
  EXPECT_EQ(crc, 0x9188);
}

// Request frames: the CRC covers code, address and count, stored low byte first.
TEST(Crc16Step, MeterRequestFrames) {
  EXPECT_EQ(CrcOf({0xF2, 0x00, 0x00, 0x00}), 0x7225);  // 00 00 A5 F2 00 00 00 25 72
  EXPECT_EQ(CrcOf({0xF1, 0x00, 0xC0, 0x08}), 0x7EA5);  // 00 00 A5 F1 00 C0 08 A5 7E
}

TEST(ByteAccumulators, XorAndAddWrap) {
  std::uint8_t x = 0x0F;
  XorInto(0xFF, x);
  EXPECT_EQ(x, 0xF0);
  std::uint8_t s = 0xFE;
  AddInto(0x03, s);
  EXPECT_EQ(s, 0x01);
}

TEST(ReadLeUInt, LittleEndianAndBounds) {
  const std::vector<std::uint8_t> image = {0x01, 0x02, 0x03, 0x04, 0x05};
  EXPECT_EQ(ReadLeUInt(image, 0, 4), 0x04030201u);
  EXPECT_EQ(ReadLeUInt(image, 1, 2), 0x0302u);
  EXPECT_EQ(ReadLeUInt(image, 0, 0), 0u);
  EXPECT_EQ(ReadLeUInt(image, 0, 5), 0x04030201u);  // the fifth byte wraps away
  EXPECT_EQ(ReadLeUInt(image, 4, 3), 0x05u);        // past the end reads as 0
  EXPECT_EQ(ReadLeUInt(image, 65535, 2), 0u);
}

TEST(ReadLeScaled, PowersOfTwo) {
  const std::vector<std::uint8_t> image = {0x00, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80};
  EXPECT_DOUBLE_EQ(ReadLeScaled(image, 0, 2, 8), 1.0);
  EXPECT_DOUBLE_EQ(ReadLeScaled(image, 2, 2, 6), 0.015625);
  EXPECT_DOUBLE_EQ(ReadLeScaled(image, 2, 8, 0),
                   std::ldexp(1.0, 63));                 // all eight bytes count, no 32-bit wrap
  EXPECT_DOUBLE_EQ(ReadLeScaled(image, -1, 2, 0), 0.0);  // byte -1 reads as 0, byte 0 is 0
}

TEST(ReadLeScaledSigned, OnesComplement) {
  const std::vector<std::uint8_t> ffff = {0xFF, 0xFF}, neg = {0x00, 0x80}, small = {0x01, 0x00};
  EXPECT_DOUBLE_EQ(ReadLeScaledSigned(ffff, 0, 2, 0), 0.0);
  EXPECT_DOUBLE_EQ(ReadLeScaledSigned(neg, 0, 2, 0), -32767.0);
  EXPECT_DOUBLE_EQ(ReadLeScaledSigned(small, 0, 2, 6), 0.015625);
  const std::vector<std::uint8_t> minusOne = {0xFE, 0xFF, 0xFF};
  EXPECT_DOUBLE_EQ(ReadLeScaledSigned(minusOne, 0, 3, 0), -1.0);
  EXPECT_DOUBLE_EQ(ReadLeScaledSigned(ffff, 0, 0, 0), 0.0);
}

TEST(BcdToDateTime, ValidAndInvalidDates) {
  EXPECT_EQ(BcdToDateTime(0x07, 0x02, 0x30, 0x00, 0x00, 0x00), 0.0);  // 30 February
  EXPECT_EQ(BcdToDateTime(0x07, 0x00, 0x01, 0x12, 0x00, 0x00), *EncodeDate(1900, 1, 1));
  EXPECT_EQ(BcdToDateTime(0x07, 0x05, 0xFF, 0x12, 0x00, 0x00), *EncodeDate(1900, 1, 1));
  EXPECT_EQ(BcdToDateTime(0x1A, 0x03, 0x04, 0x00, 0x00, 0x00), *EncodeDate(1900, 3, 4));
  EXPECT_EQ(BcdToDateTime(0x24, 0x12, 0x31, 0x23, 0x59, 0x58), *EncodeDateTime({2024, 12, 31, 23, 59, 58}));
  EXPECT_EQ(BcdToDateTime(0x95, 0x01, 0x02, 0x00, 0x00, 0x00), *EncodeDate(1995, 1, 2));
  EXPECT_EQ(BcdToDateTime(0x07, 0x13, 0x01, 0x00, 0x00, 0x00), 0.0);  // month 13
  EXPECT_EQ(BcdToDateTime(0x07, 0x01, 0x01, 0x24, 0x00, 0x00), 0.0);  // hour 24
}

TEST(BcdToDateTime, SecondSixtyCarriesIntoMinuteAndHour) {
  EXPECT_EQ(BcdToDateTime(0x07, 0x02, 0x28, 0x10, 0x59, 0x60), *EncodeDateTime({2007, 2, 28, 11, 0, 0}));
  EXPECT_EQ(BcdToDateTime(0x07, 0x02, 0x28, 0x23, 0x59, 0x60), 0.0);  // reaches hour 24
}

TEST(DateTimeToBcd, TwoDigitYearAndRoundTrip) {
  const TDateTime t = *EncodeDateTime({2013, 7, 9, 8, 5, 59});
  const BcdDateTime b = DateTimeToBcd(t);
  EXPECT_EQ(b.Year, 0x13);
  EXPECT_EQ(b.Month, 0x07);
  EXPECT_EQ(b.Day, 0x09);
  EXPECT_EQ(b.Hour, 0x08);
  EXPECT_EQ(b.Minute, 0x05);
  EXPECT_EQ(b.Second, 0x59);
  EXPECT_EQ(BcdToDateTime(b.Year, b.Month, b.Day, b.Hour, b.Minute, b.Second), t);
  EXPECT_EQ(DateTimeToBcd(*EncodeDate(1998, 1, 1)).Year, 0x98);
}

TEST(ToBcd, DropsHundreds) {
  EXPECT_EQ(ToBcd(7), 0x07);
  EXPECT_EQ(ToBcd(59), 0x59);
  EXPECT_EQ(ToBcd(123), 0x23);
}

TEST(SplitU32, LeastSignificantFirst) {
  const auto bytes = SplitU32(0x12345678);
  EXPECT_EQ(bytes, (std::array<std::uint8_t, 4>{0x78, 0x56, 0x34, 0x12}));
}

TEST(WaterPolynomials, ValuesAtZeroAndAtSeventy) {
  EXPECT_DOUBLE_EQ(WaterEnthalpy(0), 0.736605);
  EXPECT_DOUBLE_EQ(WaterDensityRatio(0), 1.00406371);
  EXPECT_NEAR(WaterEnthalpy(70), 293.7028, 1e-4);  // kJ/kg
  EXPECT_NEAR(WaterDensityRatio(70), 0.97809, 1e-5);
}

TEST(Nint, HalvesGoToEven) {
  EXPECT_EQ(nint(0.5), 0);
  EXPECT_EQ(nint(1.5), 2);
  EXPECT_EQ(nint(2.5), 2);
  EXPECT_EQ(nint(-2.5), -2);
  EXPECT_EQ(nint(-3.5), -4);
  EXPECT_EQ(nint(2.4999), 2);
  EXPECT_EQ(nint(-0.6), -1);
  EXPECT_EQ(nint(17520.0), 17520);
}

}  // namespace
}  // namespace velk
