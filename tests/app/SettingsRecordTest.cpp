#include <gtest/gtest.h>

#include "app/SettingsRecord.h"
#include "common/Text1251.h"
#include "support/TempDir.h"

namespace velk {
namespace {

using test::TempDir;

void PutI32(SettingsBytes& bytes, std::size_t offset, std::int32_t value) {
  for (int i = 0; i < 4; ++i)
    bytes[offset + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> (8 * i));
}

void PutShort(SettingsBytes& bytes, std::size_t offset, const std::string& cp1251) {
  bytes[offset] = static_cast<std::uint8_t>(cp1251.size());
  std::copy(cp1251.begin(), cp1251.end(), bytes.begin() + offset + 1);
}

TEST(SettingsRecord, DefaultsAfterReset) {
  TSettingsRecord record;
  record.MODBox = 1;
  record.EdDataDir = "x";
  record.PorTelEdit = "123";
  ResetSettings(record);
  EXPECT_EQ(record.EdDataDir, "C:\\KORVAN\\Данные");
  EXPECT_EQ(record.MODBox, 4);
  EXPECT_EQ(record.PorTelEdit, "");
  EXPECT_EQ(record.MainWidth, 0);
  EXPECT_FALSE(record.MonitorChBox);
  EXPECT_EQ(record.ComboBox1, "COM1");
  EXPECT_EQ(record.LaRSModTimeOut, 10000);
  EXPECT_EQ(record.NKPBaudCode, 13);
}

// Every field at its offset: a record written byte by byte from the layout table.
TEST(SettingsRecord, DecodesFieldsAtTheirOffsets) {
  SettingsBytes bytes{};
  PutI32(bytes, 0, 1024);
  PutI32(bytes, 4, 768);
  bytes[8] = 1;
  bytes[11] = 1;
  PutI32(bytes, 12, 7);
  bytes[22] = 1;
  bytes[24] = 1;
  bytes[25] = 120;
  PutShort(bytes, 27, "COM3");
  bytes[34] = 7;
  PutI32(bytes, 39, 250);
  PutI32(bytes, 51, 1500);
  bytes[55] = 2;
  PutShort(bytes, 56, "COM4");
  PutI32(bytes, 76, 9);
  bytes[80] = 4;
  PutShort(bytes, 81, "COM5");
  PutI32(bytes, 105, 45);
  bytes[110] = 1;
  PutShort(bytes, 111, "COM6");
  bytes[118] = 13;
  PutI32(bytes, 131, 2);
  bytes[135] = 1;
  PutShort(bytes, 136, "COM7");
  PutI32(bytes, 156, 8);
  PutShort(bytes, 160, Utf8ToCp1251("D:\\Данные"));
  PutShort(bytes, 416, "C:\\V\\V.exe");
  PutShort(bytes, 672, "192.168.0.5");

  const TSettingsRecord r = DecodeSettings(bytes);
  EXPECT_EQ(r.MainWidth, 1024);
  EXPECT_EQ(r.MainHeight, 768);
  EXPECT_TRUE(r.ShowRtcRecords);
  EXPECT_FALSE(r.PFRec);
  EXPECT_FALSE(r.TSVCnc);
  EXPECT_TRUE(r.SaveDAT);
  EXPECT_EQ(r.MODBox, 7);
  EXPECT_TRUE(r.MonitorChBox);
  EXPECT_FALSE(r.DATDirCreate);
  EXPECT_TRUE(r.TSVDirCreate);
  EXPECT_EQ(r.LabeledEdit1, 120);
  EXPECT_EQ(r.ComboBox1, "COM3");
  EXPECT_EQ(r.ComboBox4, 7);
  EXPECT_EQ(r.LaRS232TimeOut, 250);
  EXPECT_EQ(r.CBRS232QualityEx, 2);
  EXPECT_EQ(r.ComboBox2, "COM4");
  EXPECT_EQ(r.LaRS485Povtor, 9);
  EXPECT_EQ(MaxPacketBytes(r.CBRS485QualityEx), 64);
  EXPECT_EQ(r.ComboBox3, "COM5");
  EXPECT_EQ(r.LaRSModConnectTime, 45);
  EXPECT_TRUE(r.TimeCorrect);
  EXPECT_EQ(r.NKPPortBox, "COM6");
  EXPECT_EQ(r.NKPPovtor, 2);
  EXPECT_TRUE(r.NKPAutoTimeCorrectCB);
  EXPECT_EQ(r.LTRPortBox, "COM7");
  EXPECT_EQ(r.LTRPovtor, 8);
  EXPECT_EQ(r.EdDataDir, "D:\\Данные");
  EXPECT_EQ(r.EdDirTSView, "C:\\V\\V.exe");
  EXPECT_EQ(r.PorTelEdit, "192.168.0.5");
  EXPECT_EQ(EncodeSettings(r), bytes);
}

TEST(SettingsRecord, OverlongStringsAreClampedToTheirFields) {
  SettingsBytes bytes = EncodeSettings(TSettingsRecord{});
  bytes[27] = 200;  // port name field holds at most 6 characters
  std::copy_n("COM123456", 9, bytes.begin() + 28);
  EXPECT_EQ(DecodeSettings(bytes).ComboBox1, "COM123");

  TSettingsRecord record;
  record.ComboBox2 = "COM1234567";
  record.PorTelEdit = std::string(300, '7');
  const SettingsBytes stored = EncodeSettings(record);
  EXPECT_EQ(stored[56], 6);
  EXPECT_EQ(stored[63], 7);  // the next field is untouched
  EXPECT_EQ(stored[672], 255);
  EXPECT_EQ(DecodeSettings(stored).PorTelEdit, std::string(255, '7'));
}

TEST(SettingsFile, StoreThenLoad) {
  TempDir dir;
  TSettingsRecord record;
  record.MainWidth = 800;
  record.EdDataDir = "/data/meters";
  record.PorTelEdit = "89001234567";
  ASSERT_TRUE(StoreSettings(record, dir / "VelkReader.cfg"));
  EXPECT_EQ(std::filesystem::file_size(dir / "VelkReader.cfg"), SettingsRecordSize);
  DirectUserInterface ui;
  TSettingsRecord loaded;
  loaded.MODBox = 0;
  EXPECT_TRUE(LoadSettings(loaded, dir / "VelkReader.cfg", ui));
  EXPECT_EQ(loaded, record);
  EXPECT_TRUE(ui.Messages.empty());
}

TEST(SettingsFile, WrongSizeOrMissingGivesMessageAndDefaults) {
  for (std::size_t size : {std::size_t{0}, std::size_t{927}, std::size_t{929}}) {
    TempDir dir;
    test::WriteBytes(dir / "VelkReader.cfg", std::vector<std::uint8_t>(size, 0x01));
    DirectUserInterface ui;
    TSettingsRecord record;
    record.MODBox = 0;
    EXPECT_FALSE(LoadSettings(record, dir / "VelkReader.cfg", ui)) << size;
    EXPECT_EQ(record, TSettingsRecord{}) << size;
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0], SettingsMissingMessage);
    EXPECT_EQ(std::filesystem::file_size(dir / "VelkReader.cfg"), size);  // nothing written yet
  }
  TempDir dir;
  DirectUserInterface ui;
  TSettingsRecord record;
  EXPECT_FALSE(LoadSettings(record, dir / "none.cfg", ui));
  EXPECT_EQ(ui.Messages.size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(dir / "none.cfg"));
}

TEST(SettingsFile, MessageText) {
  EXPECT_EQ(
      std::string(SettingsMissingMessage),
      "Файл конфигурации не найден или не соответствует\r\r Будет установлена конфигурация по умолчанию");
}

TEST(SettingsFile, FailedStoreLeavesTheOldFile) {
  TempDir dir;
  EXPECT_FALSE(StoreSettings(TSettingsRecord{}, dir / "missing" / "VelkReader.cfg"));
}

TEST(SettingsRecord, StorageOptionsAndPacketLimits) {
  TSettingsRecord record;
  record.EdDataDir = "/d";
  record.DATDirCreate = false;
  record.SaveDAT = false;
  record.PFRec = true;
  const StorageOptions options = StorageOptionsFrom(record);
  EXPECT_EQ(options.EdDataDir, "/d");
  EXPECT_FALSE(options.DATDirCreate);
  EXPECT_TRUE(options.TSVDirCreate);
  EXPECT_FALSE(options.SaveDAT);
  EXPECT_TRUE(options.TSVCnc);
  EXPECT_TRUE(options.ShowEmptyRecords);
  EXPECT_FALSE(options.ShowRtcRecords);
  EXPECT_EQ(MaxPacketBytes(1), 256);
  EXPECT_EQ(MaxPacketBytes(16), 16);
  EXPECT_EQ(MaxPacketBytes(0), 256);
  EXPECT_EQ(MaxPacketBytes(3), 256);
}

}  // namespace
}  // namespace velk
