#include <gtest/gtest.h>

#include "app/SettingsRecord.h"
#include "common/Text1251.h"
#include "support/TempDir.h"

namespace velk {
namespace {

using test::TempDir;

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

// The layout as the file defines it, written out here independently of the code's table.
using R = TSettingsRecord;
struct NumberField {
  std::size_t Offset;
  std::size_t Size;
  std::int64_t (*Get)(const R&);
};
struct FlagField {
  std::size_t Offset;
  bool (*Get)(const R&);
};
struct TextField {
  std::size_t Offset;
  std::string Value;  // UTF-8
  const std::string& (*Get)(const R&);
};
#define NUMBER(offset, size, name) NumberField{offset, size, [](const R& r) -> std::int64_t { return r.name; }}
#define FLAG(offset, name) FlagField{offset, [](const R& r) { return r.name; }}
#define TEXT(offset, value, name) TextField{offset, value, [](const R& r) -> const std::string& { return r.name; }}
const NumberField Numbers[] = {
    NUMBER(0, 4, MainWidth),           NUMBER(4, 4, MainHeight),         NUMBER(12, 4, MODBox),
    NUMBER(25, 2, LabeledEdit1),       NUMBER(34, 1, ComboBox4),         NUMBER(35, 4, LaRS232Feier),
    NUMBER(39, 4, LaRS232TimeOut),     NUMBER(43, 4, LaRS232Multiplier), NUMBER(47, 4, LaRS232Povtor),
    NUMBER(51, 4, LaRS232TimeActivityInterfaceDevice),                   NUMBER(55, 1, CBRS232QualityEx),
    NUMBER(63, 1, ComboBox5),          NUMBER(64, 4, LaRS485Feier),      NUMBER(68, 4, LaRS485TimeOut),
    NUMBER(72, 4, LaRS485Multiplier),  NUMBER(76, 4, LaRS485Povtor),     NUMBER(80, 1, CBRS485QualityEx),
    NUMBER(88, 1, ComboBox6),          NUMBER(89, 4, LaRSModFeier),      NUMBER(93, 4, LaRSModTimeOut),
    NUMBER(97, 4, LaRSModMultiplier),  NUMBER(101, 4, LaRSModPovtor),    NUMBER(105, 4, LaRSModConnectTime),
    NUMBER(109, 1, CBRSModQualityEx),  NUMBER(118, 1, NKPBaudCode),      NUMBER(119, 4, NKPReserved),
    NUMBER(123, 4, NKPTimeOutEdit),    NUMBER(127, 4, NKPMultiplierEdit), NUMBER(131, 4, NKPPovtor),
    NUMBER(143, 1, LTRBaudCode),       NUMBER(144, 4, LTRReserved),      NUMBER(148, 4, LTRTimeOutEdit),
    NUMBER(152, 4, LTRMultiplierEdit), NUMBER(156, 4, LTRPovtor),
};
const FlagField Flags[] = {
    FLAG(8, ShowRtcRecords),    FLAG(9, PFRec),           FLAG(10, TSVCnc),          FLAG(11, SaveDAT),
    FLAG(16, DATAPanelVisible), FLAG(17, OPVDataVisible), FLAG(18, ARCHDataVisible), FLAG(19, DUMPDataVisible),
    FLAG(20, CONSTDataVisible), FLAG(21, TSVDataVisible), FLAG(22, MonitorChBox),    FLAG(23, DATDirCreate),
    FLAG(24, TSVDirCreate),     FLAG(110, TimeCorrect),   FLAG(135, NKPAutoTimeCorrectCB),
};
const TextField Texts[] = {
    TEXT(27, "COM27", ComboBox1),   TEXT(56, "COM56", ComboBox2),    TEXT(81, "COM81", ComboBox3),
    TEXT(111, "COM111", NKPPortBox), TEXT(136, "COM136", LTRPortBox), TEXT(160, "D:\\Данные", EdDataDir),
    TEXT(416, "C:\\V\\V.exe", EdDirTSView), TEXT(672, "192.168.0.5", PorTelEdit),
};
#undef NUMBER
#undef FLAG
#undef TEXT

// A value of its own for every number field, with every byte of it non-zero and
// different, so that a swapped, shifted or narrowed field shows.
std::int64_t NumberValue(const NumberField& f) {
  switch (f.Size) {
    case 1: return static_cast<std::int64_t>(f.Offset + 1);
    case 2: return 0x2200 + static_cast<std::int64_t>(f.Offset);
    default: return 0x11223300 + static_cast<std::int64_t>(f.Offset);
  }
}
// Flag i in pattern k is bit k of i + 1: over five patterns any two flags differ somewhere.
bool FlagValue(std::size_t index, int pattern) { return (((index + 1) >> pattern) & 1) != 0; }

TEST(SettingsRecord, EveryFieldAtItsOffsetBothWays) {
  for (int pattern = 0; pattern < 5; ++pattern) {
    SettingsBytes bytes{};
    for (const auto& f : Numbers)
      for (std::size_t i = 0; i < f.Size; ++i)
        bytes[f.Offset + i] = static_cast<std::uint8_t>(NumberValue(f) >> (8 * i));
    for (std::size_t i = 0; i < std::size(Flags); ++i) bytes[Flags[i].Offset] = FlagValue(i, pattern) ? 1 : 0;
    for (const auto& f : Texts) PutShort(bytes, f.Offset, Utf8ToCp1251(f.Value));

    const TSettingsRecord r = DecodeSettings(bytes);
    for (const auto& f : Numbers) EXPECT_EQ(f.Get(r), NumberValue(f)) << "offset " << f.Offset;
    for (std::size_t i = 0; i < std::size(Flags); ++i)
      EXPECT_EQ(Flags[i].Get(r), FlagValue(i, pattern)) << "offset " << Flags[i].Offset << " pattern " << pattern;
    for (const auto& f : Texts) EXPECT_EQ(f.Get(r), f.Value) << "offset " << f.Offset;
    EXPECT_EQ(EncodeSettings(r), bytes) << "pattern " << pattern;
    EXPECT_EQ(DecodeSettings(EncodeSettings(r)), r);
  }
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
  // Over the patterns any two flags differ somewhere, so a crossed wire shows.
  for (int pattern = 0; pattern < 3; ++pattern) {
    auto bit = [&](int i) { return (((i + 1) >> pattern) & 1) != 0; };
    record.DATDirCreate = bit(0);
    record.TSVDirCreate = bit(1);
    record.SaveDAT = bit(2);
    record.TSVCnc = bit(3);
    record.ShowRtcRecords = bit(4);
    record.PFRec = bit(5);
    const StorageOptions options = StorageOptionsFrom(record);
    EXPECT_EQ(options.EdDataDir, "/d");
    EXPECT_EQ(options.DATDirCreate, bit(0)) << pattern;
    EXPECT_EQ(options.TSVDirCreate, bit(1)) << pattern;
    EXPECT_EQ(options.SaveDAT, bit(2)) << pattern;
    EXPECT_EQ(options.TSVCnc, bit(3)) << pattern;
    EXPECT_EQ(options.ShowRtcRecords, bit(4)) << pattern;
    EXPECT_EQ(options.ShowEmptyRecords, bit(5)) << pattern;
  }
  EXPECT_EQ(MaxPacketBytes(1), 256);
  EXPECT_EQ(MaxPacketBytes(16), 16);
  EXPECT_EQ(MaxPacketBytes(0), 256);
  EXPECT_EQ(MaxPacketBytes(3), 256);
}

}  // namespace
}  // namespace velk
