#include <gtest/gtest.h>

#include <cstring>

#include "common/NativePath.h"
#include "common/ProgramFolder.h"
#include "link/DumpFile.h"
#include "support/TempDir.h"

namespace velk {
namespace {

using test::TempDir;

class DumpFileTest : public ::testing::Test {
 protected:
  DumpFileTest() {
    options.EdDataDir = dir.Text();
    image.DumpLength = 1024;
  }

  // A code 53..56 image with its serial at [514..515].
  void SetSerialAt514(std::uint16_t serial) {
    image.DumpImage[514] = serial & 0xFF;
    image.DumpImage[515] = serial >> 8;
  }

  std::string Write(std::uint32_t code, std::uint32_t serial = 0, int readMode = 0) {
    TDumpWriteArgs args;
    args.DeviceCode = code;
    args.SerialNumber = serial;
    args.ReadMode = readMode;
    args.ReadTime = readTime;
    args.Now = readTime;
    return WriteDumpFile(image, args, options, monitor, ui);
  }

  std::string CfgPath(const std::string& name) const {
    return dir.Text() + "\\" + name + "\\" + name + ".cfg";
  }

  TempDir dir;
  StorageOptions options;
  TDumpImage image;
  ExchangeMonitor monitor;
  DirectUserInterface ui;
  TDateTime readTime = *EncodeDateTime({2024, 5, 6, 7, 8, 9});
};

TEST_F(DumpFileTest, MeterNamesForEveryCodeRange) {
  SetSerialAt514(12345);
  image.DumpImage[513] = 7;
  EXPECT_EQ(DumpFolderAndName(53, 0, image.Whole(), options).Name, "53-12345");
  EXPECT_EQ(DumpFolderAndName(71, 0, image.Whole(), options).Name, "71-12345");
  EXPECT_EQ(DumpFolderAndName(12, 42, image.Whole(), options).Name, "12-00042");
  EXPECT_EQ(DumpFolderAndName(0, 7, image.Whole(), options).Name, "0-00007");
  EXPECT_EQ(DumpFolderAndName(52, 0, image.Whole(), options).Name, "52-TypeError");
  EXPECT_EQ(DumpFolderAndName(57, 0, image.Whole(), options).Name, "57-TypeError");
  SetSerialAt514(123);
  EXPECT_EQ(DumpFolderAndName(50, 0, image.Whole(), options).Name, "50-07000123");
  EXPECT_EQ(DumpFolderAndName(60, 0, image.Whole(), options).Name, "60-07000123");
}

TEST_F(DumpFileTest, MeterFolderFollowsTheSubfolderFlag) {
  EXPECT_EQ(DumpFolderAndName(12, 42, image.Whole(), options).Folder, dir.Text() + "\\12-00042");
  options.DATDirCreate = false;
  EXPECT_EQ(DumpFolderAndName(12, 42, image.Whole(), options).Folder, dir.Text());
}

TEST_F(DumpFileTest, FirstDumpOfAMeter) {
  SetSerialAt514(12345);
  image.DumpImage[649] = 0x01, image.DumpImage[650] = 0x02, image.DumpImage[651] = 0x03;
  image.DumpImage[713] = 0x04, image.DumpImage[714] = 0x05, image.DumpImage[715] = 0x06;
  image.DumpImage[1023] = 0x5A;
  const std::string path = Write(53);
  EXPECT_EQ(path, dir.Text() + "\\53-12345\\DAT\\53-12345-001.dat");
  EXPECT_EQ(ui.Caption, path);
  const auto file = dir / "53-12345" / "DAT" / "53-12345-001.dat";
  const auto bytes = test::ReadBytes(file);
  ASSERT_EQ(bytes.size(), 1024u);
  EXPECT_EQ(bytes[1023], 0x5A);
  EXPECT_EQ(std::memcmp(bytes.data(), "Vers 53\r\nSN 0\r\nReadTime ", 24), 0);

  const TMeterCfg cfg = ReadMeterCfg(CfgPath("53-12345"));
  EXPECT_EQ(cfg.Counter, 1);
  EXPECT_EQ(cfg.Pointer, 0x030201u);
  EXPECT_EQ(cfg.SecondPointer, 0x060504u);
  EXPECT_EQ(cfg.ReadTime, readTime);
  EXPECT_EQ(test::ReadBytes(dir / "53-12345" / "53-12345.cfg").size(), MeterCfgSize);
}

TEST_F(DumpFileTest, OlderFamiliesTakeTheSixteenBitPointerAt768) {
  image.DumpImage[768] = 0x34, image.DumpImage[769] = 0x12, image.DumpImage[770] = 0xFF;
  Write(12, 42);
  EXPECT_EQ(ReadMeterCfg(CfgPath("12-00042")).Pointer, 0x1234u);
}

TEST_F(DumpFileTest, CounterWrapsAfter999AndContinuesAfterMinusOne) {
  SetSerialAt514(12345);
  WriteMeterCfg(CfgPath("53-12345"), {998, 0, 0, 0});
  EXPECT_TRUE(Write(53).ends_with("-999.dat"));
  EXPECT_EQ(ReadMeterCfg(CfgPath("53-12345")).Counter, 0);
  EXPECT_TRUE(Write(53).ends_with("-001.dat"));
  WriteMeterCfg(CfgPath("53-12345"), {-1, 0, 0, 0});
  EXPECT_TRUE(Write(53).ends_with("53-12345-000.dat"));
  EXPECT_EQ(ReadMeterCfg(CfgPath("53-12345")).Counter, 0);
  WriteMeterCfg(CfgPath("53-12345"), {5000, 0, 0, 0});  // not a number the writers store
  EXPECT_TRUE(Write(53).ends_with("-001.dat"));
}

TEST_F(DumpFileTest, OperationalDataGoesToDtmWithoutTouchingTheCfg) {
  SetSerialAt514(12345);
  options.TSVDirCreate = false;
  test::WriteBytes(dir / "53-12345" / "53-12345.dtm", std::vector<std::uint8_t>(5000, 1));
  const std::string path = Write(53, 0, ReadModeOperational);
  EXPECT_EQ(path, dir.Text() + "\\53-12345\\53-12345.dtm");
  EXPECT_EQ(test::ReadBytes(dir / "53-12345" / "53-12345.dtm").size(), 1024u);
  EXPECT_FALSE(std::filesystem::exists(dir / "53-12345" / "53-12345.cfg"));
}

TEST_F(DumpFileTest, DriveLetterDataFolderLandsInTheProgramFolder) {
  // A drive of its own and a folder named after the temporary one, so that nothing else in the
  // program folder is touched; removed afterwards.
  const std::string unique = dir.Path().filename().string();
  const auto landing = ProgramFolder() / "drive_q" / unique;
  options.EdDataDir = "Q:\\" + unique + "\\Данные";
  options.DATDirCreate = false;
  const std::string path = Write(12, 42);
  const bool dumpThere = std::filesystem::exists(landing / "Данные" / "DAT" / "12-00042-001.dat");
  const bool cfgThere = std::filesystem::exists(landing / "Данные" / "12-00042.cfg");
  std::filesystem::remove_all(landing);
  std::error_code notEmpty;
  std::filesystem::remove(landing.parent_path(), notEmpty);
  EXPECT_EQ(path, options.EdDataDir + "\\DAT\\12-00042-001.dat");
  EXPECT_TRUE(dumpThere);
  EXPECT_TRUE(cfgThere);
}

TEST_F(DumpFileTest, CreationFailureIsReportedToMonitorAndStatusLine) {
  test::WriteBytes(dir / "blocker", {1});
  options.EdDataDir = dir.Text() + "\\blocker";
  EXPECT_EQ(Write(12, 42), "");
  const std::string path = options.EdDataDir + "\\12-00042\\DAT\\12-00042-001.dat";
  ASSERT_EQ(monitor.Lines().size(), 1u);
  EXPECT_EQ(monitor.Lines()[0], "Ошибка создания Файла " + path);
  EXPECT_EQ(ui.StatusText, "Ошибка создания Файла");
  EXPECT_EQ(ui.StatusColour, ColourRed);
  EXPECT_EQ(ui.Caption, "");
}

TEST(MeterCfg, AnySizeButTwentyCountsAsAbsent) {
  TempDir dir;
  const TMeterCfg record{12, 0x123456, 0x654321, 45000.25};
  ASSERT_TRUE(WriteMeterCfg(dir.Text() + "\\m\\x.cfg", record));
  EXPECT_EQ(ReadMeterCfg(dir.Text() + "\\m\\x.cfg"), record);
  for (std::size_t size : {19u, 21u, 0u}) {
    test::WriteBytes(dir / "bad.cfg", std::vector<std::uint8_t>(size, 0x11));
    EXPECT_EQ(ReadMeterCfg((dir / "bad.cfg").string()), TMeterCfg{}) << size;
  }
  EXPECT_EQ(ReadMeterCfg((dir / "none.cfg").string()), TMeterCfg{});
}

TEST(MeterCfg, ByteLayout) {
  TempDir dir;
  WriteMeterCfg((dir / "x.cfg").string(), {-1, 0x01020304, 0x0A0B0C0D, 1.0});
  const auto bytes = test::ReadBytes(dir / "x.cfg");
  const std::vector<std::uint8_t> expected = {0xFF, 0xFF, 0xFF, 0xFF, 0x04, 0x03, 0x02, 0x01, 0x0D, 0x0C,
                                              0x0B, 0x0A, 0,    0,    0,    0,    0,    0,    0xF0, 0x3F};
  EXPECT_EQ(bytes, expected);
}

TEST_F(DumpFileTest, WrittenDumpReadsBackByteForByte) {
  SetSerialAt514(321);
  for (int i = 256; i < 1024; ++i) image.DumpImage[i] = static_cast<std::uint8_t>(i * 7);
  const std::string path = Write(54);
  TDumpImage back;
  ASSERT_TRUE(ReadDumpFile(back, path, ui));
  EXPECT_EQ(back.DumpLength, image.DumpLength);
  EXPECT_TRUE(std::equal(back.Bytes().begin(), back.Bytes().end(), image.Bytes().begin()));
  const TTextHeader header = ParseTextHeader(back.Whole());
  EXPECT_EQ(header.Version, 54);
}

}  // namespace
}  // namespace velk
