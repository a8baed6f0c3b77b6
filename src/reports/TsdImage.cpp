#include "reports/TsdImage.h"

#include "reports/ReportBytes.h"

namespace velk {

using namespace report_bytes;

TsdRecordCounts TTsdReportImage::Counts() const {
  return {static_cast<std::uint16_t>(HourData.size()), static_cast<std::uint16_t>(DayData.size()),
          static_cast<std::uint16_t>(MontData.size())};
}

TsdHeaderBlock EncodeTsdHeader(const TsdHeader& h, TsdRecordCounts counts) {
  TsdHeaderBlock b{};
  Put<0>(b, h.FileVersion);
  Put<2>(b, h.HeaderSize);
  PutBytes<4, 20>(b, h.SerialNumber);
  Put<24>(b, h.ChannelNumber);
  Put<26>(b, h.PulsePrice);
  Put<30>(b, h.RepDate);
  PutBytes<31, 100>(b, h.DeviceType);
  Put<131>(b, h.DateTimeIni);
  Put<tsd_layout::HourRecordCountAt>(b, counts.Hours);
  Put<tsd_layout::DayRecordCountAt>(b, counts.Days);
  Put<tsd_layout::MonthRecordCountAt>(b, counts.Months);
  PutBytes<145, 7>(b, h.Rezerv1);
  PutBytes<152, 64>(b, h.Rezerv2);
  PutBytes<216, 64>(b, h.Rezerv3);
  PutBytes<280, 57>(b, h.Rezerv4);
  PutBytes<337, 32>(b, h.Rezerv5);
  static_assert(337 + 32 == tsd_layout::HeaderBytes);
  return b;
}

TsdHeader DecodeTsdHeader(const TsdHeaderBlock& b, TsdRecordCounts* counts) {
  TsdHeader h;
  h.FileVersion = Get<0, std::uint16_t>(b);
  h.HeaderSize = Get<2, std::uint16_t>(b);
  h.SerialNumber = GetBytes<4, 20>(b);
  h.ChannelNumber = Get<24, std::uint16_t>(b);
  h.PulsePrice = Get<26, float>(b);
  h.RepDate = Get<30, std::uint8_t>(b);
  h.DeviceType = GetBytes<31, 100>(b);
  h.DateTimeIni = Get<131, double>(b);
  h.Rezerv1 = GetBytes<145, 7>(b);
  h.Rezerv2 = GetBytes<152, 64>(b);
  h.Rezerv3 = GetBytes<216, 64>(b);
  h.Rezerv4 = GetBytes<280, 57>(b);
  h.Rezerv5 = GetBytes<337, 32>(b);
  if (counts) {
    counts->Hours = Get<tsd_layout::HourRecordCountAt, std::uint16_t>(b);
    counts->Days = Get<tsd_layout::DayRecordCountAt, std::uint16_t>(b);
    counts->Months = Get<tsd_layout::MonthRecordCountAt, std::uint16_t>(b);
  }
  return h;
}

TsdNotationsBlock EncodeTsdNotations(const TsdNotations& n) {
  TsdNotationsBlock b{};
  PutBytes<0, 16>(b, n.N);
  PutBytes<16, 16>(b, n.V);
  return b;
}

TsdNotations DecodeTsdNotations(const TsdNotationsBlock& b) {
  return {GetBytes<0, 16>(b), GetBytes<16, 16>(b)};
}

TsdTotalsBlock EncodeTsdTotals(const TsdTotals& t) {
  TsdTotalsBlock b{};
  Put<0>(b, t.DateTime);
  Put<8>(b, t.N);
  Put<12>(b, t.V);
  Put<20>(b, t.Vreport);
  static_assert(20 + 8 == tsd_layout::TotalsBytes);
  return b;
}

TsdTotals DecodeTsdTotals(const TsdTotalsBlock& b) {
  return {Get<0, double>(b), Get<8, std::int32_t>(b), Get<12, double>(b), Get<20, double>(b)};
}

TsdRecordBlock EncodeTsdRecord(const TsdRecord& r) {
  TsdRecordBlock b{};
  Put<0>(b, r.DateTime);
  Put<8>(b, r.N);
  Put<12>(b, r.V);
  Put<20>(b, r.Code);
  static_assert(20 + 2 == tsd_layout::RecordBytes);
  return b;
}

TsdRecord DecodeTsdRecord(const TsdRecordBlock& b) {
  return {Get<0, double>(b), Get<8, std::int32_t>(b), Get<12, double>(b), Get<20, std::uint16_t>(b)};
}

std::vector<std::uint8_t> SerializeTsdReport(const TTsdReportImage& image) {
  std::vector<std::uint8_t> out;
  out.reserve(tsd_layout::RecordsAt +
              tsd_layout::RecordBytes *
                  (image.HourData.size() + image.DayData.size() + image.MontData.size()));
  Append(out, EncodeTsdHeader(image.Header, image.Counts()));
  Append(out, EncodeTsdNotations(image.Notations));
  Append(out, EncodeTsdTotals(image.LastReadData));
  Append(out, EncodeTsdTotals(image.PrevReadData));
  Append(out, EncodeTsdTotals(image.LastHourData));
  for (const auto* table : {&image.HourData, &image.DayData, &image.MontData})
    for (const auto& record : *table) Append(out, EncodeTsdRecord(record));
  return out;
}

TTsdReportImage DeserializeTsdReport(std::span<const std::uint8_t> bytes) {
  using namespace tsd_layout;
  TTsdReportImage image;
  TsdRecordCounts counts;
  image.Header = DecodeTsdHeader(Slice<HeaderBytes>(bytes, HeaderAt), &counts);
  image.Notations = DecodeTsdNotations(Slice<NotationsBytes>(bytes, NotationsAt));
  image.LastReadData = DecodeTsdTotals(Slice<TotalsBytes>(bytes, LastReadAt));
  image.PrevReadData = DecodeTsdTotals(Slice<TotalsBytes>(bytes, PrevReadAt));
  image.LastHourData = DecodeTsdTotals(Slice<TotalsBytes>(bytes, LastHourAt));
  ReadRecords<RecordBytes, TsdRecord>(
      bytes, RecordsAt,
      {{&image.HourData, counts.Hours}, {&image.DayData, counts.Days}, {&image.MontData, counts.Months}},
      DecodeTsdRecord);
  return image;
}

}  // namespace velk
