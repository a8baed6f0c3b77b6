// The report files a decoded dump leaves, through the decode dispatcher.
#include <gtest/gtest.h>

#include <filesystem>

#include "LayoutReader.h"
#include "common/Clock.h"
#include "common/ExchangeMonitor.h"
#include "decode/DecodeDumpFile.h"
#include "imagebuilder/CompactMeterImage.h"
#include "imagebuilder/PulseCounterImage.h"
#include "reports/ReportWriter.h"
#include "support/TempDir.h"

namespace velk {
namespace {

namespace fs = std::filesystem;

class DispatcherReports : public ::testing::Test {
 protected:
  DispatcherReports() : writer(image, values, options, monitor, ui) {
    options.EdDataDir = (dir / "data").string();
  }

  bool Decode(const TDumpImage& dump, const std::string& name, bool commandLine) {
    test::WriteBytes(dir / name, std::vector<std::uint8_t>(dump.DumpImage.begin(),
                                                           dump.DumpImage.begin() + dump.DumpLength));
    writer.CommandLine = commandLine;
    TDecodeContext ctx{image, values, options, ui, &writer, commandLine, present, 0};
    std::string folder;
    return DecodeDumpFile(ctx, (dir / name).string(), folder);
  }

  test::TempDir dir;
  StorageOptions options;
  TDumpImage image;
  TDecodedValues values;
  ExchangeMonitor monitor;
  DirectUserInterface ui;
  ManualClock present{*EncodeDate(2025, 1, 1)};
  ReportWriter writer;
  const TDateTime clock = *EncodeDateTime({2024, 5, 6, 7, 8, 0, 0});
};

TEST_F(DispatcherReports, CompactMeterWritesItsReportAndTwoChannelFiles) {
  CompactMeterImageBuilder builder(50);
  builder.SetSerial(321).SetClock(clock).SetInitTime(clock - 300);
  TDumpImage dump;
  builder.BuildFullDump(clock, dump);
  ASSERT_TRUE(Decode(dump, "m50-004.dat", true));
  const fs::path meter = dir / "data" / "m50";
  EXPECT_TRUE(fs::exists(meter / "TSD2" / "50-00321-02-004.tsd"));
  EXPECT_TRUE(fs::exists(meter / "TSD3" / "50-00321-03-004.tsd"));
  EXPECT_FALSE(fs::exists(meter / "TSD1"));
  ASSERT_EQ(fs::path(writer.ReportFileName1()).extension(), ".tsv");
  EXPECT_NE(writer.ReportFileName1().find("\\TSV1\\50-"), std::string::npos);
  EXPECT_TRUE(writer.ReportFileName2().empty());
  EXPECT_TRUE(writer.ViewEnabled());
  EXPECT_FALSE(writer.Views().FirstTsv.Filled);  // command-line use fills no tabs
}

TEST_F(DispatcherReports, PulseCounterWritesOneFilePerChannelAndShowsThem) {
  PulseCounterImageBuilder builder(70);
  builder.SetSerial(77).SetChannelCountByte(0x24).SetClock(clock).SetInitTime(clock - 300);
  TDumpImage dump;
  builder.BuildFullDump(clock, dump);
  ASSERT_TRUE(Decode(dump, "p70-002.dat", false));
  const fs::path meter = dir / "data" / "p70";
  for (int n = 1; n <= 4; ++n) {
    const fs::path file =
        meter / ("TSD" + std::to_string(n)) / ("70-00077-0" + std::to_string(n) + "-002.tsd");
    ASSERT_TRUE(fs::exists(file)) << file;
    EXPECT_EQ(test::LayoutReader(test::ReadBytes(file)).U16(24), n);
  }
  EXPECT_FALSE(fs::exists(meter / "TSV1"));
  EXPECT_EQ(writer.Views().Channels.ChannelsShown, 4);
  EXPECT_EQ(writer.Views().Channels.SGCImp.ColumnCount(), 5);
  EXPECT_NE(writer.ReportFileName1().find("\\TSD1\\70-00077-01-002.tsd"), std::string::npos);
}

}  // namespace
}  // namespace velk
