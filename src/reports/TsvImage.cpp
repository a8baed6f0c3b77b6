#include "reports/TsvImage.h"

#include <algorithm>

#include "common/Text1251.h"
#include "reports/ReportBytes.h"

namespace velk {

using namespace report_bytes;

void TsvNotations::Set(Notation which, const std::string& utf8) {
  WritePaddedText(Text[static_cast<std::size_t>(which)], utf8, 0);
}

void TsvNotations::ClearAll() {
  for (auto& text : Text) text.fill(0);
}

std::string TsvNotations::Get(Notation which) const {
  return ReadZeroPaddedText(Text[static_cast<std::size_t>(which)]);
}

TsvRecordCounts TTsvReportImage::Counts() const {
  return {static_cast<std::uint16_t>(HourData.size()), static_cast<std::uint16_t>(DayData.size()),
          static_cast<std::uint16_t>(MontData.size())};
}

TsvHeaderBlock EncodeTsvHeader(const TsvHeader& h, TsvRecordCounts counts) {
  TsvHeaderBlock b{};
  Put<0>(b, h.FileVersion);
  Put<2>(b, h.HeaderSize);
  PutBytes<4, 20>(b, h.SerualNumber);
  PutBytes<24, 100>(b, h.DeviceType);
  Put<124>(b, h.InitDateTime);
  Put<tsv_layout::HourRecordCountAt>(b, counts.Hours);
  Put<tsv_layout::DayRecordCountAt>(b, counts.Days);
  Put<tsv_layout::MonthRecordCountAt>(b, counts.Months);
  Put<138>(b, h.Txw);
  Put<142>(b, h.SchemeCode);
  PutBytes<143, 64>(b, h.Rezerv1);
  PutBytes<207, 64>(b, h.Rezerv2);
  PutBytes<271, 32>(b, h.Rezerv3);
  PutBytes<303, 32>(b, h.Rezerv4);
  PutBytes<335, 32>(b, h.Rezerv5);
  static_assert(335 + 32 == tsv_layout::HeaderBytes);
  return b;
}

TsvHeader DecodeTsvHeader(const TsvHeaderBlock& b, TsvRecordCounts* counts) {
  TsvHeader h;
  h.FileVersion = Get<0, std::uint16_t>(b);
  h.HeaderSize = Get<2, std::uint16_t>(b);
  h.SerualNumber = GetBytes<4, 20>(b);
  h.DeviceType = GetBytes<24, 100>(b);
  h.InitDateTime = Get<124, double>(b);
  h.Txw = Get<138, float>(b);
  h.SchemeCode = Get<142, std::uint8_t>(b);
  h.Rezerv1 = GetBytes<143, 64>(b);
  h.Rezerv2 = GetBytes<207, 64>(b);
  h.Rezerv3 = GetBytes<271, 32>(b);
  h.Rezerv4 = GetBytes<303, 32>(b);
  h.Rezerv5 = GetBytes<335, 32>(b);
  if (counts) {
    counts->Hours = Get<tsv_layout::HourRecordCountAt, std::uint16_t>(b);
    counts->Days = Get<tsv_layout::DayRecordCountAt, std::uint16_t>(b);
    counts->Months = Get<tsv_layout::MonthRecordCountAt, std::uint16_t>(b);
  }
  return h;
}

TsvNotationsBlock EncodeTsvNotations(const TsvNotations& n) {
  TsvNotationsBlock b{};
  for (std::size_t i = 0; i < tsv_layout::NotationCount; ++i)
    std::copy(n.Text[i].begin(), n.Text[i].end(), b.begin() + i * tsv_layout::NotationBytes);
  return b;
}

TsvNotations DecodeTsvNotations(const TsvNotationsBlock& b) {
  TsvNotations n;
  for (std::size_t i = 0; i < tsv_layout::NotationCount; ++i)
    std::copy_n(b.begin() + i * tsv_layout::NotationBytes, tsv_layout::NotationBytes, n.Text[i].begin());
  return n;
}

TsvRealDataBlock EncodeTsvRealData(const TsvRealData& d) {
  TsvRealDataBlock b{};
  Put<0>(b, d.Qr);
  Put<4>(b, d.Gr1);
  Put<8>(b, d.Gr2);
  Put<12>(b, d.Gr3);
  Put<16>(b, d.Vr1);
  Put<20>(b, d.Vr2);
  Put<24>(b, d.Vr3);
  Put<28>(b, d.Tr1);
  Put<32>(b, d.Tr2);
  Put<36>(b, d.Tr3);
  Put<40>(b, d.T1T2r);
  Put<44>(b, d.Pr1);
  Put<48>(b, d.Pr2);
  Put<52>(b, d.Pr3);
  Put<56>(b, d.K);
  static_assert(56 + 2 == tsv_layout::RealDataBytes);
  return b;
}

TsvRealData DecodeTsvRealData(const TsvRealDataBlock& b) {
  TsvRealData d;
  float* fields[] = {&d.Qr,  &d.Gr1, &d.Gr2, &d.Gr3,   &d.Vr1, &d.Vr2, &d.Vr3,
                     &d.Tr1, &d.Tr2, &d.Tr3, &d.T1T2r, &d.Pr1, &d.Pr2, &d.Pr3};
  for (std::size_t i = 0; i < 14; ++i) *fields[i] = LoadLe<float>(b.data() + 4 * i);
  d.K = Get<56, std::uint16_t>(b);
  return d;
}

TsvTotalsBlock EncodeTsvTotals(const TsvTotals& t) {
  TsvTotalsBlock b{};
  Put<0>(b, t.RealTime);
  Put<8>(b, t.Q);
  Put<16>(b, t.G1);
  Put<24>(b, t.G2);
  Put<32>(b, t.G3);
  Put<40>(b, t.V1);
  Put<48>(b, t.V2);
  Put<56>(b, t.V3);
  Put<64>(b, t.WorkTime);
  static_assert(64 + 8 == tsv_layout::TotalsBytes);
  return b;
}

TsvTotals DecodeTsvTotals(const TsvTotalsBlock& b) {
  TsvTotals t;
  t.RealTime = Get<0, double>(b);
  t.Q = Get<8, double>(b);
  t.G1 = Get<16, double>(b);
  t.G2 = Get<24, double>(b);
  t.G3 = Get<32, double>(b);
  t.V1 = Get<40, double>(b);
  t.V2 = Get<48, double>(b);
  t.V3 = Get<56, double>(b);
  t.WorkTime = Get<64, double>(b);
  return t;
}

TsvRecordBlock EncodeTsvRecord(const TsvRecord& r) {
  TsvRecordBlock b{};
  Put<0>(b, r.DateTime);
  Put<8>(b, r.Q);
  Put<16>(b, r.G1);
  Put<24>(b, r.G2);
  Put<32>(b, r.G3);
  Put<40>(b, r.V1);
  Put<48>(b, r.V2);
  Put<56>(b, r.V3);
  Put<64>(b, r.T1);
  Put<68>(b, r.T2);
  Put<72>(b, r.T3);
  Put<76>(b, r.P1);
  Put<80>(b, r.P2);
  Put<84>(b, r.P3);
  Put<88>(b, r.WorkTime);
  Put<96>(b, r.ErrorCode);
  static_assert(96 + 2 == tsv_layout::RecordBytes);
  return b;
}

TsvRecord DecodeTsvRecord(const TsvRecordBlock& b) {
  TsvRecord r;
  r.DateTime = Get<0, double>(b);
  r.Q = Get<8, double>(b);
  r.G1 = Get<16, double>(b);
  r.G2 = Get<24, double>(b);
  r.G3 = Get<32, double>(b);
  r.V1 = Get<40, double>(b);
  r.V2 = Get<48, double>(b);
  r.V3 = Get<56, double>(b);
  r.T1 = Get<64, float>(b);
  r.T2 = Get<68, float>(b);
  r.T3 = Get<72, float>(b);
  r.P1 = Get<76, float>(b);
  r.P2 = Get<80, float>(b);
  r.P3 = Get<84, float>(b);
  r.WorkTime = Get<88, double>(b);
  r.ErrorCode = Get<96, std::uint16_t>(b);
  return r;
}

std::vector<std::uint8_t> SerializeTsvReport(const TTsvReportImage& image) {
  std::vector<std::uint8_t> out;
  out.reserve(tsv_layout::RecordsAt +
              tsv_layout::RecordBytes *
                  (image.HourData.size() + image.DayData.size() + image.MontData.size()));
  Append(out, EncodeTsvHeader(image.Header, image.Counts()));
  Append(out, EncodeTsvNotations(image.Notations));
  Append(out, EncodeTsvRealData(image.RealData));
  Append(out, EncodeTsvTotals(image.LastReadData));
  Append(out, EncodeTsvTotals(image.PrevReadData));
  Append(out, EncodeTsvTotals(image.LastHourData));
  for (const auto* table : {&image.HourData, &image.DayData, &image.MontData})
    for (const auto& record : *table) Append(out, EncodeTsvRecord(record));
  return out;
}

TTsvReportImage DeserializeTsvReport(std::span<const std::uint8_t> bytes) {
  using namespace tsv_layout;
  TTsvReportImage image;
  TsvRecordCounts counts;
  image.Header = DecodeTsvHeader(Slice<HeaderBytes>(bytes, HeaderAt), &counts);
  image.Notations = DecodeTsvNotations(Slice<NotationsBytes>(bytes, NotationsAt));
  image.RealData = DecodeTsvRealData(Slice<RealDataBytes>(bytes, RealDataAt));
  image.LastReadData = DecodeTsvTotals(Slice<TotalsBytes>(bytes, LastReadAt));
  image.PrevReadData = DecodeTsvTotals(Slice<TotalsBytes>(bytes, PrevReadAt));
  image.LastHourData = DecodeTsvTotals(Slice<TotalsBytes>(bytes, LastHourAt));
  ReadRecords<RecordBytes, TsvRecord>(
      bytes, RecordsAt,
      {{&image.HourData, counts.Hours}, {&image.DayData, counts.Days}, {&image.MontData, counts.Months}},
      DecodeTsvRecord);
  return image;
}

}  // namespace velk
