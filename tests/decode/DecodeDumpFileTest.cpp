// The dispatcher over real files: naming, record numbers, the type-byte
// table, the text header, failures, and the order of the report files.
#include "decode/DecodeDumpFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "common/Clock.h"
#include "imagebuilder/Family5ImageBuilder.h"
#include "imagebuilder/PulseCounterImage.h"
#include "support/TempDir.h"

namespace velk {
namespace {

TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) { return *EncodeDateTime({y, mo, d, h, mi, s, 0}); }

// Logs the report-file calls in order.
class RecordingDerivedFiles : public DerivedFiles {
 public:
  void BuildFirstTsvData(int n) override { Calls.push_back("build-01 " + std::to_string(n)); }
  void WriteTsvFile(int kind, const std::string& folder, int n) override {
    Calls.push_back("write-0" + std::to_string(kind) + " " + std::to_string(n));
    Folder = folder;
  }
  void BuildSecondTsvData(int n) override { Calls.push_back("build-02 " + std::to_string(n)); }
  void BuildChannelData(int index, int n) override {
    Calls.push_back("build-ch" + std::to_string(index) + " " + std::to_string(n));
  }
  void WriteChannelFile(const std::string&, int n) override { Calls.push_back("write-ch " + std::to_string(n)); }
  void EnableViewAction() override { Calls.push_back("view"); }
  void ShowInTab(DerivedFileKind kind, int index) override {
    Calls.push_back("show " + std::to_string(static_cast<int>(kind)) + "/" + std::to_string(index));
  }
  std::vector<std::string> Calls;
  std::string Folder;
};

std::vector<std::uint8_t> BytesOf(const TDumpImage& image) {
  return {image.DumpImage.begin(), image.DumpImage.begin() + image.DumpLength};
}

class DecodeDumpFileTest : public ::testing::Test {
 protected:
  DecodeDumpFileTest() {
    options.EdDataDir = "C:\\DATA";
    family5.SetSerial(1234).SetClock(At(2026, 3, 10, 14, 25, 30)).SetInitTime(At(2025, 1, 1)).FillHourRecords(5);
  }

  TDecodeContext Context() {
    return TDecodeContext{image, values, options, ui, &files, commandLine, now, 0};
  }
  std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    test::WriteBytes(dir / name, bytes);
    return (dir / name).string();
  }
  std::vector<std::uint8_t> Family5Dump() {
    TDumpImage built;
    family5.BuildFullDump(At(2026, 3, 10, 14, 25), built);
    return BytesOf(built);
  }
  bool Decode(const std::string& path) {
    TDecodeContext ctx = Context();
    return DecodeDumpFile(ctx, path, folder);
  }

  test::TempDir dir;
  TDumpImage image;
  TDecodedValues values;
  StorageOptions options;
  DirectUserInterface ui;
  RecordingDerivedFiles files;
  bool commandLine = false;
  ManualClock now{At(2026, 3, 10, 15)};
  Family5ImageBuilder family5{53};
  std::string folder;
};

TEST(DeriveNamesTest, NumberInsertionFolderAndRecordNumber) {
  StorageOptions options;
  options.EdDataDir = "C:\\DATA";
  TDerivedNames n = DeriveNames("/d/meter.dat", options);
  EXPECT_EQ(n.BaseName, "/d/meter-000.dat");
  EXPECT_EQ(n.RecordNumber, 0);
  EXPECT_EQ(n.Folder, "C:\\DATA\\meter");

  n = DeriveNames("/d/5-1234-017.dat", options);
  EXPECT_EQ(n.BaseName, "/d/5-1234-017.dat");
  EXPECT_EQ(n.RecordNumber, 17);
  EXPECT_EQ(n.Folder, "C:\\DATA\\5-1234");

  n = DeriveNames("C:\\DATA\\53-01234\\DAT\\53-01234.dtm", options);
  EXPECT_EQ(n.RecordNumber, -1);
  EXPECT_EQ(n.Folder, "C:\\DATA\\53-01234");
  EXPECT_EQ(DeriveNames("/d/53-01234-005.dtm", options).RecordNumber, -1);
  EXPECT_EQ(DeriveNames("/d/1234.dat", options).BaseName, "/d/1234-000.dat");

  // Ten characters or fewer always get the insertion, even with a dash in place.
  EXPECT_EQ(DeriveNames("/d/a-001.dat", options).BaseName, "/d/a-001-000.dat");
  // Characters, not bytes, count from the end.
  n = DeriveNames("/d/Счетчик.dat", options);
  EXPECT_EQ(n.BaseName, "/d/Счетчик-000.dat");
  EXPECT_EQ(n.Folder, "C:\\DATA\\Счетчик");
  // A dash with no number after it is no record number.
  n = DeriveNames("/d/meter-abc.dat", options);
  EXPECT_EQ(n.BaseName, "/d/meter-abc-000.dat");
  EXPECT_EQ(n.RecordNumber, 0);

  options.DATDirCreate = false;
  EXPECT_EQ(DeriveNames("/d/5-1234-017.dat", options).Folder, "C:\\DATA");
}

TEST_F(DecodeDumpFileTest, TwoSystemMeterWritesBothReports) {
  const std::string path = Write("53-01234-017.dat", Family5Dump());
  ASSERT_TRUE(Decode(path));
  EXPECT_TRUE(ui.Messages.empty());
  EXPECT_EQ(ui.Caption, "VelkReader 1.2.0  Файл:  53-01234-017.dat");
  EXPECT_EQ(folder, "C:\\DATA\\53-01234");
  EXPECT_EQ(files.Folder, folder);
  EXPECT_EQ(values.DeviceCode, 53u);
  EXPECT_EQ(values.ZavNumber, "53-01234");
  EXPECT_FALSE(values.DisplaySuppressed);
  const std::vector<std::string> expected = {"build-01 17", "write-01 17", "view",   "show 1/0",
                                             "build-02 17", "write-02 17", "show 2/0"};
  EXPECT_EQ(files.Calls, expected);
  EXPECT_TRUE(std::filesystem::exists(path));  // SaveDAT on
}

TEST_F(DecodeDumpFileTest, CommandLineShowsNoTabsAndDeletesWithoutSaveDat) {
  commandLine = true;
  options.SaveDAT = false;
  family5 = Family5ImageBuilder(54);
  const std::string path = Write("54-00001.dtm", Family5Dump());
  ASSERT_TRUE(Decode(path));
  const std::vector<std::string> expected = {"build-01 -1", "write-01 -1", "view"};
  EXPECT_EQ(files.Calls, expected);  // code 54 has one system
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(DecodeDumpFileTest, PulseCounterWritesOneFilePerChannel) {
  PulseCounterImageBuilder counter(70);
  counter.SetChannelCountByte(0x22);
  TDumpImage built;
  counter.BuildFullDump(At(2026, 3, 10, 14), built);
  ASSERT_TRUE(Decode(Write("70-00001-003.dat", BytesOf(built))));
  const std::vector<std::string> expected = {"build-ch0 3", "write-ch 3", "view", "show 3/0",
                                             "build-ch1 3", "write-ch 3", "view", "show 3/1"};
  EXPECT_EQ(files.Calls, expected);
}

TEST_F(DecodeDumpFileTest, CompactMeterWritesBothSystemFiles) {
  std::vector<std::uint8_t> bytes(1024, 0);
  bytes[128] = 72;        // code 50
  bytes[512 + 143] = 16;  // hour record length
  ASSERT_TRUE(Decode(Write("50-01000123-004.dat", bytes)));
  const std::vector<std::string> expected = {"build-01 4",  "write-01 4", "build-ch0 4", "write-ch 4",
                                             "build-ch1 4", "write-ch 4", "view",        "show 1/0"};
  EXPECT_EQ(files.Calls, expected);
}

TEST_F(DecodeDumpFileTest, DecoderFailureKeepsTheDump) {
  options.SaveDAT = false;
  std::vector<std::uint8_t> bytes = Family5Dump();
  bytes[512 + 143] = 0;  // archive record length 0
  const std::string path = Write("53-01234-002.dat", bytes);
  EXPECT_FALSE(Decode(path));
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0], "Ошибка преобразования данных");
  EXPECT_TRUE(files.Calls.empty());
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_TRUE(values.DisplaySuppressed);  // the display is not rebuilt
}

TEST_F(DecodeDumpFileTest, UnlistedTypeByteIsReportedAndRunsNoDecoder) {
  options.SaveDAT = false;
  ASSERT_TRUE(Decode(Write("53-01234-001.dat", Family5Dump())));
  files.Calls.clear();
  std::vector<std::uint8_t> bytes = Family5Dump();
  bytes[128] = 57;
  const std::string path = Write("53-01234-002.dat", bytes);
  EXPECT_FALSE(Decode(path));
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_NE(ui.Messages[0].find("57"), std::string::npos);
  EXPECT_TRUE(files.Calls.empty());
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_EQ(values.DeviceCode, 53u);  // the values of the previous dump stay as they were

  // A header naming a code without a decoder is refused the same way.
  std::fill(bytes.begin(), bytes.begin() + 129, 0);
  const std::string header = "Vers 52\r\nSN 1\r\nReadTime 0";
  std::copy(header.begin(), header.end(), bytes.begin());
  EXPECT_FALSE(Decode(Write("52-00001-001.dat", bytes)));
  EXPECT_NE(ui.Messages.back().find("52"), std::string::npos);
  EXPECT_TRUE(files.Calls.empty());
}

TEST_F(DecodeDumpFileTest, TypeByteZeroWithVers53DecodesLikeType83) {
  const std::vector<std::uint8_t> typed = Family5Dump();
  ASSERT_TRUE(Decode(Write("53-01234-001.dat", typed)));
  const TDecodedValues byType = values;

  TDumpImage headed;
  family5.BuildFullDump(At(2026, 3, 10, 14, 25), headed);
  WriteDumpTextHeader(headed, 53, 1234, At(2026, 3, 10, 14, 25));
  headed.DumpImage[128] = 0;
  values = TDecodedValues{};
  files.Calls.clear();
  ASSERT_TRUE(Decode(Write("53-01234-002.dat", BytesOf(headed))));
  EXPECT_EQ(values.DeviceCode, 53u);
  EXPECT_EQ(values.TypeTS, byType.TypeTS);
  EXPECT_EQ(values.ZavNumber, byType.ZavNumber);
  EXPECT_EQ(values.TotQ1, byType.TotQ1);
  EXPECT_EQ(values.ReadTime, byType.ReadTime);
  ASSERT_EQ(values.HourCount, byType.HourCount);
  for (int i = 0; i < values.HourCount; ++i) {
    EXPECT_EQ(values.HourRecords[i].Stamp, byType.HourRecords[i].Stamp);
    EXPECT_EQ(values.HourRecords[i].Q1, byType.HourRecords[i].Q1);
  }
  EXPECT_EQ(files.Calls.size(), 7u);  // -01 and -02 as for type byte 83
}

TEST_F(DecodeDumpFileTest, ShortDumpDoesNotSeeThePreviousOne) {
  ASSERT_TRUE(Decode(Write("53-01234-001.dat", Family5Dump())));
  // The head of the same meter alone: no EEPROM behind the constants.
  std::vector<std::uint8_t> head = Family5Dump();
  head.resize(700);
  ASSERT_TRUE(Decode(Write("53-01234-002.dat", head)));
  const TDecodedValues afterFull = values;
  image.Clear();
  ASSERT_TRUE(Decode(Write("53-01234-003.dat", head)));
  EXPECT_EQ(values.TotQ1, afterFull.TotQ1);
  EXPECT_EQ(values.HourCount, afterFull.HourCount);
  EXPECT_EQ(image.DumpLength, 700);
  EXPECT_EQ(image.DumpImage[800], 0);
}

TEST_F(DecodeDumpFileTest, UnreadableFiles) {
  const std::string missing = (dir / "none-001.dat").string();
  EXPECT_FALSE(Decode(missing));
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0], "Ошибка открытия Файла " + missing);

  const std::string big = Write("53-01234-004.dat", std::vector<std::uint8_t>(DumpCapacity + 1, 0));
  EXPECT_FALSE(Decode(big));
  EXPECT_EQ(ui.Messages.back().rfind("Ошибка чтения из Файла " + big, 0), 0u);
  EXPECT_TRUE(files.Calls.empty());

  // Exactly the capacity is still a dump.
  std::vector<std::uint8_t> full = Family5Dump();
  full.resize(DumpCapacity, 0);
  EXPECT_TRUE(Decode(Write("53-01234-005.dat", full)));
}

}  // namespace
}  // namespace velk
