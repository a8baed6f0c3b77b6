// The report images laid down byte for byte: every block is read back at the
// offsets of the layout tables.
#include <gtest/gtest.h>

#include "LayoutReader.h"
#include "reports/TsdImage.h"
#include "reports/TsvImage.h"

namespace velk {
namespace {

using test::LayoutReader;

TTsvReportImage SampleTsvImage() {
  TTsvReportImage image;
  image.Header.SerualNumber.fill(' ');
  image.Header.SerualNumber[0] = '5';
  image.Header.DeviceType.fill(' ');
  image.Header.DeviceType[0] = 0xC2;  // Cyrillic В in Windows-1251
  image.Header.InitDateTime = 40000.5;
  image.Header.Txw = 5.5f;
  image.Header.SchemeCode = 3;
  image.Header.Rezerv1.fill(' ');
  image.Notations.Set(Notation::NotQ, "Q1");
  image.Notations.Set(Notation::NotErrorCode, "Код НС");
  image.RealData = {1.5f, 2, 3, 4, 5, 6, 7, 70, 40, 10, 30, 0.5f, 0.25f, 0.125f, 33};
  image.LastReadData = {44000.25, 1, 2, 3, 4, 5, 6, 7, 0.5};
  image.PrevReadData = {43000.25, 11, 12, 13, 14, 15, 16, 17, 1.5};
  image.LastHourData = {44000.0, 21, 22, 23, 24, 25, 26, 27, 2.5};
  TsvRecord hour{44000.0, 1.25, 2, 3, 4, 5, 6, 7, 70.5f, 40.25f, 5, 0.5f, 0.4f, 0.3f, 1.0 / 24, 260};
  image.HourData = {hour, TsvRecord::Filler(44000.0 + 1.0 / 24)};
  image.DayData = {hour};
  image.MontData = {hour, hour, hour};
  return image;
}

TEST(TsvImage, EveryBlockLiesAtItsOffset) {
  const TTsvReportImage image = SampleTsvImage();
  const LayoutReader r(SerializeTsvReport(image));
  ASSERT_EQ(r.Size(), 1025u + 98u * 6);

  EXPECT_EQ(r.U16(0), 2);
  EXPECT_EQ(r.U16(2), 1025);
  EXPECT_EQ(r.U8(4), '5');
  EXPECT_TRUE(r.AllBytes(5, 19, ' '));
  EXPECT_EQ(r.U8(24), 0xC2);
  EXPECT_TRUE(r.AllBytes(25, 99, ' '));
  EXPECT_EQ(r.F64(124), 40000.5);
  EXPECT_EQ(r.U16(132), 2);
  EXPECT_EQ(r.U16(134), 1);
  EXPECT_EQ(r.U16(136), 3);
  EXPECT_EQ(r.F32(138), 5.5f);
  EXPECT_EQ(r.U8(142), 3);
  EXPECT_TRUE(r.AllBytes(143, 64, ' '));
  EXPECT_TRUE(r.AllBytes(207, 64 + 32 * 3, 0));

  EXPECT_EQ(r.Raw(367, 16), (std::vector<std::uint8_t>{'Q', '1', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(r.Text(367 + 368, 16, 0), "Код НС");
  EXPECT_TRUE(r.AllBytes(367 + 16, 368 - 16, 0));

  const float realData[14] = {1.5f, 2, 3, 4, 5, 6, 7, 70, 40, 10, 30, 0.5f, 0.25f, 0.125f};
  for (int i = 0; i < 14; ++i) EXPECT_EQ(r.F32(751 + 4 * i), realData[i]) << "RealData field " << i;
  EXPECT_EQ(r.U16(751 + 56), 33);

  const std::size_t totals[3] = {809, 881, 953};
  const double firstValue[3] = {44000.25, 43000.25, 44000.0};
  for (int b = 0; b < 3; ++b) {
    EXPECT_EQ(r.F64(totals[b]), firstValue[b]);
    for (int i = 1; i < 8; ++i)
      EXPECT_EQ(r.F64(totals[b] + 8 * i), 10 * b + i) << "block " << b << " field " << i;
    EXPECT_EQ(r.F64(totals[b] + 64), 0.5 + b);
  }

  const auto h = test::TsvRecordAt(r, 0, 0);
  EXPECT_EQ(h.DateTime, 44000.0);
  EXPECT_EQ(h.Q, 1.25);
  EXPECT_EQ(h.V3, 7);
  EXPECT_EQ(h.T1, 70.5f);
  EXPECT_EQ(h.T2, 40.25f);
  EXPECT_EQ(h.P3, 0.3f);
  EXPECT_EQ(h.WorkTime, 1.0 / 24);
  EXPECT_EQ(h.ErrorCode, 260);

  // A filler: bytes 0..95 zero but the time, code 512.
  const std::size_t filler = 1025 + 98;
  EXPECT_EQ(r.F64(filler), 44000.0 + 1.0 / 24);
  EXPECT_TRUE(r.AllBytes(filler + 8, 88, 0));
  EXPECT_EQ(r.U16(filler + 96), 512);

  EXPECT_EQ(test::TsvRecordAt(r, 1, 0).ErrorCode, 260);
  EXPECT_EQ(test::TsvRecordAt(r, 2, 2).T1, 70.5f);
}

TEST(TsvImage, BlocksReadBackAsWritten) {
  const TTsvReportImage image = SampleTsvImage();
  TsvRecordCounts counts;
  const TsvHeader header = DecodeTsvHeader(EncodeTsvHeader(image.Header, {7, 8, 9}), &counts);
  EXPECT_EQ(counts.Hours, 7);
  EXPECT_EQ(counts.Days, 8);
  EXPECT_EQ(counts.Months, 9);
  EXPECT_EQ(header.DeviceType, image.Header.DeviceType);
  EXPECT_EQ(header.Txw, image.Header.Txw);
  EXPECT_EQ(DecodeTsvRecord(EncodeTsvRecord(image.HourData[0])), image.HourData[0]);
  EXPECT_EQ(DecodeTsvTotals(EncodeTsvTotals(image.PrevReadData)).WorkTime, 1.5);
}

TEST(TsvNotations, LongTextIsCutToSixteenBytes) {
  TsvNotations n;
  n.Set(Notation::NotWorkTime, "Tшр");
  EXPECT_EQ(n.Get(Notation::NotWorkTime), "Tшр");
  n.Set(Notation::NotQ, "01234567890123456789");
  EXPECT_EQ(n.Get(Notation::NotQ), "0123456789012345");
  n.Clear(Notation::NotQ);
  EXPECT_EQ(n.Get(Notation::NotQ), "");
}

TEST(TsdImage, EveryBlockLiesAtItsOffset) {
  TTsdReportImage image;
  image.Header.SerialNumber[0] = '7';
  image.Header.ChannelNumber = 16;
  image.Header.PulsePrice = 2.5f;
  image.Header.RepDate = 15;
  image.Header.DeviceType[0] = 'X';
  image.Header.DateTimeIni = 39000.75;
  image.Header.Rezerv1 = {'1', '2', '3', 'A', '-', '4', ' '};
  image.Header.Rezerv2[0] = 0xF1;
  image.Notations.N[0] = 'N';
  image.Notations.V[0] = 'V';
  image.LastReadData = {44000.5, -3, 1.5, 77};
  image.PrevReadData = {43000.5, 4, 2.5, 88};
  image.LastHourData = {44000.0, 5, 3.5, 99};
  image.HourData = {{44000.0, 1000, 2.5, 0}, TsdRecord::Filler(44000.0 + 1.0 / 24)};
  image.DayData = {{44000.0, 1000, 2.5, 0}};

  const LayoutReader r(SerializeTsdReport(image));
  ASSERT_EQ(r.Size(), 485u + 22u * 3);
  EXPECT_EQ(r.U16(0), 1);
  EXPECT_EQ(r.U16(2), 617);
  EXPECT_EQ(r.U8(4), '7');
  EXPECT_TRUE(r.AllBytes(5, 19, 0));
  EXPECT_EQ(r.U16(24), 16);
  EXPECT_EQ(r.F32(26), 2.5f);
  EXPECT_EQ(r.U8(30), 15);
  EXPECT_EQ(r.U8(31), 'X');
  EXPECT_EQ(r.F64(131), 39000.75);
  EXPECT_EQ(r.U16(139), 2);
  EXPECT_EQ(r.U16(141), 1);
  EXPECT_EQ(r.U16(143), 0);
  EXPECT_EQ(r.Text(145, 7, 0), "123A-4 ");
  EXPECT_EQ(r.U8(152), 0xF1);
  EXPECT_TRUE(r.AllBytes(216, 64 + 57 + 32, 0));
  EXPECT_EQ(r.Text(369, 16, 0), "N");
  EXPECT_EQ(r.Text(385, 16, 0), "V");
  EXPECT_EQ(r.F64(401), 44000.5);
  EXPECT_EQ(r.I32(409), -3);
  EXPECT_EQ(r.F64(413), 1.5);
  EXPECT_EQ(r.F64(421), 77);
  EXPECT_EQ(r.I32(437), 4);
  EXPECT_EQ(r.F64(477), 99);
  const auto hour = test::TsdRecordAt(r, 0, 0);
  EXPECT_EQ(hour.DateTime, 44000.0);
  EXPECT_EQ(hour.N, 1000);
  EXPECT_EQ(hour.V, 2.5);
  EXPECT_EQ(hour.Code, 0);
  EXPECT_TRUE(r.AllBytes(485 + 22 + 8, 12, 0));
  EXPECT_EQ(test::TsdRecordAt(r, 0, 1).Code, 512);
  EXPECT_EQ(DecodeTsdRecord(EncodeTsdRecord(image.HourData[0])), image.HourData[0]);
}

}  // namespace
}  // namespace velk
