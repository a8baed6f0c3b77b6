// The report files of one decoded dump as the dispatcher asks for them: names,
// folders, the viewer's file names and the per-channel .tsd files.
#include <gtest/gtest.h>

#include <filesystem>

#include "LayoutReader.h"
#include "ReportFixtures.h"
#include "common/DumpImage.h"
#include "common/ExchangeMonitor.h"
#include "common/Mathem.h"
#include "common/UserInterface.h"
#include "reports/ReportWriter.h"
#include "reports/TsdBuilder.h"
#include "support/TempDir.h"

namespace velk {
namespace {

namespace fs = std::filesystem;
using test::HourOf;
using test::LayoutReader;

class ReportWriterTest : public ::testing::Test {
 protected:
  ReportWriterTest() : writer(image, values, options, monitor, ui) {
    options.EdDataDir = dir.Text();
    meterFolder = dir.Text() + "\\meter";
  }

  fs::path Native(const std::string& relative) const {
    std::string path = relative;
    for (char& c : path)
      if (c == '\\') c = '/';
    return dir / "meter" / path;
  }

  test::TempDir dir;
  TDumpImage image;
  TDecodedValues values;
  StorageOptions options;
  ExchangeMonitor monitor;
  DirectUserInterface ui;
  ReportWriter writer;
  std::string meterFolder;
};

TEST_F(ReportWriterTest, TwoSystemFilesGoToTheirSubfoldersAndNames) {
  values = test::Meter(53);
  image.DumpImage[514] = 0xD2;  // serial 1234 at [514] names the .cfg record
  image.DumpImage[515] = 0x04;
  writer.BuildFirstTsvData(7);
  writer.WriteTsvFile(1, meterFolder, 7);
  writer.BuildSecondTsvData(7);
  writer.WriteTsvFile(2, meterFolder, 7);
  EXPECT_TRUE(fs::exists(Native("TSV1\\53-01234-1-007.tsv")));
  EXPECT_TRUE(fs::exists(Native("TSV2\\53-01234-2-007.tsv")));
  EXPECT_EQ(writer.ReportFileName1(), meterFolder + "\\TSV1\\53-01234-1-007.tsv");
  EXPECT_EQ(writer.ReportFileName2(), meterFolder + "\\TSV2\\53-01234-2-007.tsv");
  const LayoutReader cfg(test::ReadBytes(Native("53-01234.cfg")));
  ASSERT_EQ(cfg.Size(), 20u);
  EXPECT_EQ(cfg.I32(0), 7);
  EXPECT_EQ(cfg.F64(12), values.ReadTime);

  // A new system 1 file clears the second name.
  writer.BuildFirstTsvData(8);
  writer.WriteTsvFile(1, meterFolder, 8);
  EXPECT_TRUE(writer.ReportFileName2().empty());
}

TEST_F(ReportWriterTest, OlderTwoSystemMeterKeepsBothFilesWithoutSubfolders) {
  options.TSVDirCreate = false;
  values = test::Meter(12, "А2");
  writer.BuildFirstTsvData(1);
  writer.WriteTsvFile(1, meterFolder, 1);
  writer.BuildSecondTsvData(1);
  writer.WriteTsvFile(2, meterFolder, 1);
  const LayoutReader first(test::ReadBytes(Native("TSV1\\12-01234-001.tsv")));
  const LayoutReader second(test::ReadBytes(Native("TSV2\\12-01234-001.tsv")));
  EXPECT_EQ(first.Text(24, 100, ' '), "ВТМ-Е-А2 / 1");
  EXPECT_EQ(second.Text(24, 100, ' '), "ВТМ-Е-А2 / 2");

  // A one-system meter writes into the meter folder itself.
  values = test::Meter(54, "");
  writer.BuildFirstTsvData(1);
  writer.WriteTsvFile(1, meterFolder, 1);
  EXPECT_TRUE(fs::exists(Native("54-01234-1-001.tsv")));
}

TEST_F(ReportWriterTest, CompactMeterNamesCarryTheSizeIndex) {
  values = test::Meter(50, "А2");
  values.SizeIndex = 4;
  values.NominalSize = "32";
  writer.BuildFirstTsvData(3);
  writer.WriteTsvFile(1, meterFolder, 3);
  EXPECT_TRUE(fs::exists(Native("TSV1\\50-04001234-003.tsv")));
  // The dispatcher's heat systems 0 and 1 are channels 1 and 2: files of channel numbers 2 and 3.
  for (int system = 0; system < 2; ++system) {
    writer.BuildChannelData(system, 3);
    writer.WriteChannelFile(meterFolder, 3);
  }
  EXPECT_TRUE(fs::exists(Native("TSD2\\50-01234-02-003.tsd")));
  EXPECT_TRUE(fs::exists(Native("TSD3\\50-01234-03-003.tsd")));
  EXPECT_EQ(writer.ReportFileName1(), meterFolder + "\\TSV1\\50-04001234-003.tsv");

  // A flow meter whose size index names no nominal size: the name follows its "Заводской №" 60-12001234.
  values = test::Meter(60, "");
  values.SizeIndex = 12;
  values.NominalSize = "";
  writer.BuildFirstTsvData(3);
  writer.WriteTsvFile(1, meterFolder, 3);
  EXPECT_EQ(writer.ReportFileName1(), meterFolder + "\\TSV1\\60-12001234-003.tsv");
  EXPECT_TRUE(fs::exists(Native("TSV1\\60-12001234-003.tsv")));
}

TEST_F(ReportWriterTest, SixteenChannelCounterWritesSixteenFolders) {
  values = test::Meter(71);
  values.ChannelCount = 16;
  for (int k = 0; k < 16; ++k) {
    values.ChannelPulsePrice[k] = 10;
    values.ChannelVolume[k] = k + 0.5;
    values.ChannelTotal[k] = k;
    values.ChannelPulses[k] = 1000 + k;
    values.ChannelId[k] = "12345-" + std::to_string(k % 10);
    for (auto& h : values.HourRecords) h.ChannelVolumes[k] = 0.01 * (k + 1);
  }
  for (int k = 0; k < 16; ++k) {
    writer.BuildChannelData(k, 4);
    writer.WriteChannelFile(meterFolder, 4);
  }
  for (int n = 1; n <= 16; ++n) {
    const std::string name =
        "TSD" + std::to_string(n) + "\\71-01234-" + (n < 10 ? "0" : "") + std::to_string(n) + "-004.tsd";
    ASSERT_TRUE(fs::exists(Native(name))) << name;
    const LayoutReader r(test::ReadBytes(Native(name)));
    EXPECT_EQ(r.U16(24), n);
    EXPECT_EQ(r.Text(31, 100, 0), "СТРИЖ-16  (0" + std::string(n < 10 ? "0" : "") + std::to_string(n) + ") ");
    EXPECT_EQ(r.Text(152, 64, 0), "счетчик импульсов");
    EXPECT_EQ(r.U16(139), 24);
    EXPECT_EQ(test::TsdRecordAt(r, 0, 0).N, nint(0.01 * n / 10 * 1000));
    EXPECT_EQ(r.F64(421), 1000 + n - 1);  // the raw pulse counter, as a double
    EXPECT_EQ(r.I32(409), nint((n - 0.5) / 10 * 1000));
  }
  EXPECT_EQ(writer.ReportFileName1(), meterFolder + "\\TSD1\\71-01234-01-004.tsd");
}

TEST(TsdBuilder, FourChannelTypeTextPriceZeroAndFillers) {
  auto v = test::Meter(70);
  v.ChannelPulsePrice[0] = 0;
  v.ChannelVolume[0] = 5;
  v.ReportDay = 15;
  v.HourRecords = {test::Hour(HourOf(1)), test::Hour(HourOf(3))};  // 02:00 is missing
  v.HourRecords[0].ChannelVolumes[0] = 1;
  v.HourRecords[1].ChannelVolumes[0] = 2;
  TTsdReportImage image;
  BuildTsdChannel(image, v, 0);
  const LayoutReader r(SerializeTsdReport(image));
  EXPECT_EQ(r.Raw(31, 16), (std::vector<std::uint8_t>{0xD1, 0xD2, 0xD0, 0xC8, 0xC6, '-', '4', ' ', ' ', '(',
                                                      '0', '0', '1', ')', ' ', 0}));
  EXPECT_EQ(r.U8(30), 15);
  EXPECT_EQ(r.I32(409), 0);  // price 0: no pulses instead of a division by zero
  ASSERT_EQ(r.U16(139), 3);
  const auto filler = test::TsdRecordAt(r, 0, 1);
  EXPECT_EQ(filler.Code, 512);
  EXPECT_EQ(filler.N, 0);
  EXPECT_EQ(filler.V, 0);
  EXPECT_EQ(filler.DateTime, HourOf(1) + 1.0 / 24);
  EXPECT_EQ(test::TsdRecordAt(r, 0, 2).V, 2);

  v.HourRecords.clear();
  BuildTsdChannel(image, v, 0);
  EXPECT_EQ(image.Counts().Hours, 0);
  EXPECT_EQ(image.Counts().Days, 0);
  EXPECT_EQ(image.Counts().Months, 0);
  EXPECT_THROW(BuildTsdChannel(image, v, 16), std::out_of_range);
  EXPECT_EQ(VolumeToPulses(1e300, 1e-300), 0);
  EXPECT_EQ(VolumeToPulses(2.5, 10), 250);
}

TEST_F(ReportWriterTest, ChannelFilesJoinLikeReportFiles) {
  values = test::Meter(70);
  values.ChannelCount = 1;
  values.ChannelPulsePrice[0] = 1;
  values.HourRecords = test::Hours(HourOf(1), 10);
  values.ReadTime = HourOf(11);
  writer.BuildChannelData(0, 1);
  writer.WriteChannelFile(meterFolder, 1);
  values.HourRecords = test::Hours(HourOf(14), 5);  // hours 11, 12 and 13 missing
  values.ReadTime = HourOf(19);
  writer.BuildChannelData(0, 2);
  writer.WriteChannelFile(meterFolder, 2);
  EXPECT_EQ(writer.LastOutcome(), ReportWriteOutcome::Joined);
  const LayoutReader r(test::ReadBytes(Native("TSD1\\70-01234-01-002.tsd")));
  ASSERT_EQ(r.U16(139), 18);
  EXPECT_EQ(test::TsdRecordAt(r, 0, 10).Code, 512);
  EXPECT_EQ(test::TsdRecordAt(r, 0, 10).DateTime, HourOf(10) + 1.0 / 24);  // exactly one hour on
  EXPECT_EQ(test::TsdRecordAt(r, 0, 12).Code, 512);
  EXPECT_EQ(test::TsdRecordAt(r, 0, 13).DateTime, HourOf(14));
  EXPECT_EQ(r.F64(429), values.MeterClock);  // the previous reading's totals
}

}  // namespace
}  // namespace velk
