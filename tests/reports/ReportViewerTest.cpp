// The report viewer's core: files read back and refused, the CSV export, the
// chart series and the chart's range.
#include <gtest/gtest.h>

#include "common/DateTime.h"
#include "reports/ReportChart.h"
#include "reports/ReportCsv.h"
#include "reports/ReportReader.h"
#include "support/TempDir.h"

namespace velk {
namespace {

const double T0 = *EncodeDate(2024, 3, 1);  // 01.03.2024 00:00

TsvRecord Hour(int hour, double q, float t1) {
  TsvRecord r;
  r.DateTime = T0 + hour * OneHour;
  r.Q = q;
  r.G1 = 2.5;
  r.T1 = t1;
  r.P1 = 0.5f;
  r.WorkTime = OneHour;
  return r;
}

// Three hours of a heat meter, the middle one a filler; notations Q1, G1, T1, P1.
TTsvReportImage ThreeHours() {
  TTsvReportImage image;
  image.Notations.Set(Notation::NotQ, "Q1");
  image.Notations.Set(Notation::NotG1, "G1");
  image.Notations.Set(Notation::NotT1, "T1");
  image.Notations.Set(Notation::NotP1, "P1");
  image.Notations.Set(Notation::NotErrorCode, "Код НС");
  image.LastHourData.RealTime = T0 + 3 * OneHour;
  image.HourData = {Hour(1, 0.125, 70.5f), TsvRecord::Filler(T0 + 2 * OneHour), Hour(3, 1.1, 65.25f)};
  image.HourData[2].ErrorCode = 4;
  return image;
}

TTsdReportImage Channel(int number, int hours) {
  TTsdReportImage image;
  image.Header.ChannelNumber = static_cast<std::uint16_t>(number);
  image.Notations.N[0] = 'N';
  image.Notations.V[0] = 'V';
  for (int h = 1; h <= hours; ++h) image.HourData.push_back({T0 + h * OneHour, 10 * h, 0.01 * h, 0});
  return image;
}

OpenedReport Opened(const test::TempDir& dir, const std::string& name,
                    const std::vector<std::uint8_t>& bytes) {
  test::WriteBytes(dir / name, bytes);
  ReportOpenResult result = ReadReportFile(dir / name);
  EXPECT_TRUE(result.Report) << result.Error;
  return result.Report ? std::move(*result.Report) : OpenedReport{};
}

TEST(ReportReader, WholeFilesReadBackDamagedOnesAreRefusedNamingFileAndFault) {
  test::TempDir dir;
  const TTsvReportImage image = ThreeHours();
  const OpenedReport tsv = Opened(dir, "53-01234-1-001.tsv", SerializeTsvReport(image));
  EXPECT_EQ(tsv.Kind, ReportKind::Tsv);
  EXPECT_EQ(tsv.Tsv.HourData, image.HourData);
  EXPECT_EQ(tsv.Tsv.Notations.Get(Notation::NotT1), "T1");
  EXPECT_EQ(tsv.Tsv.LastHourData.RealTime, image.LastHourData.RealTime);

  const auto refused = [&](const std::string& name, const std::vector<std::uint8_t>& bytes) {
    test::WriteBytes(dir / name, bytes);
    const ReportOpenResult result = ReadReportFile(dir / name);
    EXPECT_FALSE(result.Report);
    EXPECT_NE(result.Error.find((dir / name).string()), std::string::npos) << result.Error;
    EXPECT_EQ(test::ReadBytes(dir / name), bytes);  // only read
    return result.Error.substr(result.Error.find(": ") + 2);
  };
  auto bytes = SerializeTsvReport(image);
  bytes.resize(bytes.size() - 40);
  EXPECT_EQ(refused("cut.tsv", bytes), "файл обрезан: 1279 байт, по заголовку 1319");
  bytes = SerializeTsvReport(image);
  bytes[2] = 0x00;  // HeaderSize 1024
  EXPECT_EQ(refused("size.tsv", bytes), "неверный размер заголовка HeaderSize 1024 (должен быть 1025)");
  EXPECT_EQ(refused("short.tsd", {1, 0, 0x69, 0x02}), "файл короче заголовка: 4 байт из 485");
  for (int channel : {0, 17}) {
    EXPECT_EQ(refused("ch.tsd", SerializeTsdReport(Channel(channel, 2))),
              "недопустимый номер канала " + std::to_string(channel) + " (каналов не больше 16)");
  }
  EXPECT_EQ(refused("report.txt", {1}), "это не отчет .tsv или .tsd");
  EXPECT_TRUE(Opened(dir, "70-00001-16.TSD", SerializeTsdReport(Channel(16, 2))).Tsd.HourData.size() == 2);
}

TEST(ReportCsv, OneRowPerRecordHeadedAsTheGridFillersLeftEmpty) {
  test::TempDir dir;
  const std::vector<OpenedReport> tsv{Opened(dir, "a.tsv", SerializeTsvReport(ThreeHours()))};
  EXPECT_EQ(ReportCsv(tsv, RecordTable::Hours),
            "\xEF\xBB\xBF"
            "\"Дата, время\",\"Q, Гдж\",\"G1, т\",\"G2, т\",\"G3, т\",\"V1, т\",\"V2, т\",\"V3, т\","
            "\"T1, oC\",\"T2, oC\",\"T3, oC\",\"P1, МПа\",\"P2, МПа\",\"P3, МПа\",Тшр,Код НС\r\n"
            "01.03.2024 01:00:00,0.125,2.5,0,0,0,0,0,70.5,0,0,0.5,0,0,60,0\r\n"
            "01.03.2024 02:00:00,,,,,,,,,,,,,,,512\r\n"
            "01.03.2024 03:00:00,1.1,2.5,0,0,0,0,0,65.25,0,0,0.5,0,0,60,4\r\n");

  // Two channels side by side; the second has one record fewer.
  std::vector<OpenedReport> tsd{Opened(dir, "c2.tsd", SerializeTsdReport(Channel(2, 2))),
                                Opened(dir, "c3.tsd", SerializeTsdReport(Channel(3, 1)))};
  tsd[0].Tsd.HourData[0] = TsdRecord::Filler(T0 + OneHour);
  EXPECT_EQ(ReportCsv(tsd, RecordTable::Hours),
            "\xEF\xBB\xBF\"Дата, Время\",N 02,\"V,м3 02\",N 03,\"V,м3 03\"\r\n"
            "01.03.2024 01:00:00,,,10,0.01\r\n"
            "01.03.2024 02:00:00,20,0.02,,\r\n");

  EXPECT_NE(WriteCsvFile(dir / "a.tsv", "x", tsv), "");  // never over an open report
  EXPECT_EQ(WriteCsvFile(dir / "a.csv", ReportCsv(tsv, RecordTable::Hours), tsv), "");
  EXPECT_EQ(test::ReadBytes(dir / "a.csv").size(), ReportCsv(tsv, RecordTable::Hours).size());
}

TEST(ReportChart, SeriesFromTheFilesOwnNotationsFillersAreGaps) {
  test::TempDir dir;
  TTsvReportImage second = ThreeHours();
  second.Notations.ClearAll();
  second.Notations.Set(Notation::NotQ, "Q2");
  second.Notations.Set(Notation::NotT1, "T1");  // the same notation as the first file
  const std::vector<OpenedReport> files{Opened(dir, "s1.tsv", SerializeTsvReport(ThreeHours())),
                                        Opened(dir, "s2.tsv", SerializeTsvReport(second)),
                                        Opened(dir, "c1.tsd", SerializeTsdReport(Channel(1, 3)))};
  const ReportChart chart = BuildReportChart(files, RecordTable::Hours);
  std::vector<std::string> labels;
  for (const ChartSeries& s : chart.Series) labels.push_back(s.Label);
  EXPECT_EQ(labels, (std::vector<std::string>{"Q1", "G1", "T1", "P1", "Q2", "T1 (s2.tsv)", "V 01"}));
  EXPECT_EQ(ChartQuantities(chart),
            (std::vector<ChartQuantity>{ChartQuantity::Heat, ChartQuantity::Mass, ChartQuantity::Volume,
                                        ChartQuantity::Temperature, ChartQuantity::Pressure}));
  const ChartSeries& q1 = chart.Series[0];
  EXPECT_EQ(q1.Style, ChartStyle::Line);  // hours are too many for bars; days and months get them
  EXPECT_EQ(BuildReportChart(files, RecordTable::Days).Series[0].Style, ChartStyle::Bars);
  ASSERT_EQ(q1.Segments.size(), 2u);  // the filler hour splits the series
  ASSERT_EQ(q1.Segments[0].size(), 1u);
  EXPECT_DOUBLE_EQ(q1.Segments[0][0].Begin, T0);
  EXPECT_DOUBLE_EQ(q1.Segments[0][0].End, T0 + OneHour);
  EXPECT_EQ(q1.Segments[0][0].Value, 0.125);
  EXPECT_EQ(q1.Segments[1][0].Value, 1.1);
  EXPECT_EQ(chart.Series[2].Style, ChartStyle::Line);
  EXPECT_EQ(chart.Series[2].Segments[1][0].Value, 65.25);
  ASSERT_EQ(chart.Series[6].Segments.size(), 1u);
  EXPECT_EQ(chart.Series[6].Segments[0].size(), 3u);
  EXPECT_DOUBLE_EQ(ValueRangeOf(chart, ChartQuantity::Heat).Low, 0);  // amounts start at zero
  EXPECT_DOUBLE_EQ(ValueRangeOf(chart, ChartQuantity::Heat).High, 1.1 * 1.05);
  EXPECT_DOUBLE_EQ(ValueRangeOf(chart, ChartQuantity::Temperature).Low, 65.25);
  EXPECT_DOUBLE_EQ(chart.Whole.From, T0);
  EXPECT_DOUBLE_EQ(chart.Whole.To, T0 + 3 * OneHour);

  // A day made only of fillers is a gap as well; one with data is not.
  TsvRecord day = TsvRecord::Filler(T0 + 1);
  day.ErrorCode |= 4;
  EXPECT_TRUE(IsEmptyRecord(day));
  day.Q = 0.5;
  EXPECT_FALSE(IsEmptyRecord(day));
}

TEST(ReportChart, ZoomAndPanStayInsideTheArchiveAndAtLeastAnHourWide) {
  const ChartRange whole{0, 730};
  const ChartRange zoomed = ZoomChartRange(whole, whole, 100, 0.5);
  EXPECT_DOUBLE_EQ(zoomed.From, 50);
  EXPECT_DOUBLE_EQ(zoomed.To, 415);
  EXPECT_NEAR(ZoomChartRange({10, 10.05}, whole, 10, 0.1).Width(), OneHour, 1e-9);
  EXPECT_DOUBLE_EQ(ZoomChartRange(zoomed, whole, 100, 4).Width(), 730);
  const ChartRange panned = PanChartRange(zoomed, whole, 1000);
  EXPECT_DOUBLE_EQ(panned.To, 730);
  EXPECT_DOUBLE_EQ(panned.Width(), zoomed.Width());
  EXPECT_DOUBLE_EQ(ClampChartRange({-5, 20}, whole).From, 0);
}

}  // namespace
}  // namespace velk
