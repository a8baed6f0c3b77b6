// "Соединить файлы" over a folder of dumps.
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

#include "LayoutReader.h"
#include "common/Clock.h"
#include "common/ExchangeMonitor.h"
#include "imagebuilder/Family5ImageBuilder.h"
#include "reports/BatchJoin.h"
#include "reports/ReportWriter.h"
#include "support/TempDir.h"

namespace velk {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Names(const std::vector<NumberedDump>& dumps) {
  std::vector<std::string> names;
  for (const auto& d : dumps) names.push_back(d.Name);
  return names;
}

TEST(BatchJoinNames, QualifyingNamesSortedByNumber) {
  std::string bad;
  const auto dumps =
      QualifyingDumps({"m-010.dat", "m-002.dat", "x-002.dat", "m-001.dat", "m-001.DAT", "m-001.dtm",
                       "m.001.dat", "m001.dat", "-001.dat", "m-001.dat.bak", "notes.txt", "ab"},
                      &bad);
  ASSERT_TRUE(dumps.has_value());
  EXPECT_EQ(Names(*dumps), (std::vector<std::string>{"m-001.dat", "-001.dat", "m-001.dat.bak", "m-002.dat",
                                                     "x-002.dat", "m-010.dat"}));
  EXPECT_EQ(dumps->back().Number, 10);
  EXPECT_FALSE(QualifyingDumps({"m-0x1.dat", "m-001.dat"}, &bad).has_value());
  EXPECT_EQ(bad, "m-0x1.dat");
  // Characters, not bytes: a Cyrillic letter counts as one.
  EXPECT_FALSE(QualifyingDumps({"-0я1.dat"}, &bad).has_value());
  EXPECT_EQ(Names(*QualifyingDumps({"счетчик-005.dat"}, &bad)),
            (std::vector<std::string>{"счетчик-005.dat"}));
}

class BatchJoinFolder : public ::testing::Test {
 protected:
  void Touch(const std::string& name) { test::WriteBytes(dir / name, {0}); }

  test::TempDir dir;
  StorageOptions options;
  DirectUserInterface ui;
  std::vector<std::string> converted;
  std::vector<bool> joiningDuring;
};

TEST_F(BatchJoinFolder, ConvertsInNumberOrderWithJoiningForcedOn) {
  for (const char* name : {"a-010.dat", "a-002.dat", "a-001.dat", "a-003.DAT", "a.004.dat"}) Touch(name);
  fs::create_directory(dir / "b-005.dat");
  options.TSVCnc = false;
  int stops = 0, restarts = 0;
  const auto result = JoinFilesInFolder(dir.Text(), options,
                                        [&](const std::string& path) {
                                          converted.push_back(path);
                                          joiningDuring.push_back(options.TSVCnc);
                                          // The temporary folder's random name may hold "002" too.
                                          return path.find("a-002.dat") == std::string::npos;
                                        },
                                        ui, {[&] { ++stops; }, [&] { ++restarts; }});
  ASSERT_EQ(converted.size(), 3u);
  EXPECT_EQ(converted[0], dir.Text() + "\\a-001.dat");
  EXPECT_EQ(converted[1], dir.Text() + "\\a-002.dat");
  EXPECT_EQ(converted[2], dir.Text() + "\\a-010.dat");
  EXPECT_EQ(joiningDuring, (std::vector<bool>{true, true, true}));
  EXPECT_FALSE(options.TSVCnc);
  EXPECT_EQ(result.Converted, 2);
  EXPECT_EQ(result.Failed, (std::vector<std::string>{"a-002.dat"}));
  EXPECT_TRUE(result.Error.empty());
  EXPECT_EQ(stops, 1);
  EXPECT_EQ(restarts, 1);

  // A stop between two dumps: the rest is left, the setting restored.
  converted.clear();
  BatchJoinHooks stopAtTheSecond;
  stopAtTheSecond.BeforeDump = [](const std::string& path) { return path.find("002") == std::string::npos; };
  const auto stopped = JoinFilesInFolder(dir.Text(), options,
                                         [&](const std::string& path) {
                                           converted.push_back(path);
                                           return true;
                                         },
                                         ui, stopAtTheSecond);
  EXPECT_TRUE(stopped.Stopped);
  EXPECT_EQ(stopped.Converted, 1);
  EXPECT_EQ(converted.size(), 1u);
  EXPECT_FALSE(options.TSVCnc);
}

TEST_F(BatchJoinFolder, ReportFileErrorEndsTheBatchAndRestoresTheSetting) {
  for (const char* name : {"a-001.dat", "a-002.dat", "a-003.dat"}) Touch(name);
  options.TSVCnc = false;
  int restarts = 0;
  const auto result = JoinFilesInFolder(dir.Text(), options,
                                        [&](const std::string& path) {
                                          converted.push_back(path);
                                          if (converted.size() == 2)
                                            throw ReportFileError("Ошибка записи в Файл 'x'");
                                          return true;
                                        },
                                        ui, {nullptr, [&] { ++restarts; }});
  EXPECT_EQ(converted.size(), 2u);
  EXPECT_EQ(result.StoppedAt, "a-002.dat");
  EXPECT_NE(result.Error.find("Ошибка записи в Файл"), std::string::npos);
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_NE(ui.Messages[0].find("a-002.dat"), std::string::npos);
  EXPECT_FALSE(options.TSVCnc);
  EXPECT_EQ(restarts, 0);
}

TEST_F(BatchJoinFolder, NameWithoutDigitsStopsBeforeAnythingIsConverted) {
  for (const char* name : {"a-001.dat", "a-0b2.dat"}) Touch(name);
  const auto result = JoinFilesInFolder(
      dir.Text(), options,
      [&](const std::string& path) {
        converted.push_back(path);
        return true;
      },
      ui);
  EXPECT_TRUE(converted.empty());
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0], "Ошибка преобразования данных: 'a-0b2.dat'");
  EXPECT_EQ(result.StoppedAt, "a-0b2.dat");
}

TEST_F(BatchJoinFolder, FolderWithoutDumpsDoesNothing) {
  Touch("readme.txt");
  const auto result = JoinFilesInFolder(
      dir.Text(), options,
      [&](const std::string& path) {
        converted.push_back(path);
        return true;
      },
      ui);
  EXPECT_TRUE(converted.empty());
  EXPECT_EQ(result.Converted, 0);
  EXPECT_TRUE(ui.Messages.empty());
}

// Three daily dumps of one two-system meter, converted by the real dispatcher.
TEST_F(BatchJoinFolder, SuccessiveDumpsJoinIntoOneArchive) {
  const TDateTime start = *EncodeDateTime({2024, 3, 1, 12, 0, 30, 0});
  fs::create_directories(dir / "dumps");
  for (int d = 1; d <= 3; ++d) {
    const TDateTime clock = start + d - 1;
    Family5ImageBuilder builder(53);
    builder.SetSerial(12345).SetClock(clock).SetInitTime(start - 100).SetSchemes(2, 2);
    std::vector<Family5Record> records;
    for (int h = 0; h < 48; ++h) records.push_back(Family5Record::Sample(24 * (d - 1) + h));
    builder.AddHourRecords(records);
    TDumpImage dump;
    builder.BuildFullDump(clock, dump);
    test::WriteBytes(
        dir / "dumps" / ("53-12345-00" + std::to_string(d) + ".dat"),
        std::vector<std::uint8_t>(dump.DumpImage.begin(), dump.DumpImage.begin() + dump.DumpLength));
  }
  options.EdDataDir = (dir / "data").string();
  options.TSVCnc = false;
  TDumpImage image;
  TDecodedValues values;
  ExchangeMonitor monitor;
  ReportWriter writer(image, values, options, monitor, ui);
  writer.CommandLine = true;
  ManualClock present(start + 10);
  TDecodeContext ctx{image, values, options, ui, &writer, true, present, 0};

  const auto result = JoinFilesInFolder((dir / "dumps").string(), options, ctx);
  EXPECT_EQ(result.Converted, 3) << result.Error;
  EXPECT_FALSE(options.TSVCnc);
  const fs::path tsv1 = dir / "data" / "53-12345" / "TSV1";
  ASSERT_TRUE(fs::exists(tsv1 / "53-12345-1-003.tsv"));
  const test::LayoutReader r(test::ReadBytes(tsv1 / "53-12345-1-003.tsv"));
  EXPECT_EQ(r.U16(test::tsv::HourCount), 96);  // 48 hours, then 24 new ones twice
  for (std::size_t i = 1; i < 96; ++i)
    EXPECT_NEAR(test::TsvRecordAt(r, 0, i).DateTime - test::TsvRecordAt(r, 0, i - 1).DateTime, 1.0 / 24, 1e-6)
        << i;
  EXPECT_NE(r.F64(test::tsv::PrevRead), 0);
  EXPECT_FALSE(fs::exists(tsv1 / "53-12345-1-001.tsv"));  // two back of 003
  EXPECT_TRUE(fs::exists(tsv1 / "53-12345-1-002.tsv"));
  EXPECT_TRUE(fs::exists(dir / "data" / "53-12345" / "TSV2" / "53-12345-2-003.tsv"));
}

}  // namespace
}  // namespace velk
