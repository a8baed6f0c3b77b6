#include "app/SettingsRecord.h"

#include <algorithm>
#include <system_error>
#include <type_traits>

#include "common/FileReplace.h"
#include "common/Text1251.h"

namespace velk {

const char* const SettingsMissingMessage =
    "Файл конфигурации не найден или не соответствует\r\r Будет установлена конфигурация по умолчанию";

namespace {

// A short string field: its offset and its whole size (length byte included).
struct ShortString {
  std::string& Text;
  std::size_t Size;
};
struct ConstShortString {
  const std::string& Text;
  std::size_t Size;
};

// The one table of the layout: calls visit(offset, field) for every field in
// offset order. Used for both directions, so reading and writing cannot drift apart.
template <typename Record, typename Visit>
void VisitFields(Record& r, Visit&& visit) {
  using Str = std::conditional_t<std::is_const_v<Record>, ConstShortString, ShortString>;
  visit(0, r.MainWidth);
  visit(4, r.MainHeight);
  visit(8, r.ShowRtcRecords);
  visit(9, r.PFRec);
  visit(10, r.TSVCnc);
  visit(11, r.SaveDAT);
  visit(12, r.MODBox);
  visit(16, r.DATAPanelVisible);
  visit(17, r.OPVDataVisible);
  visit(18, r.ARCHDataVisible);
  visit(19, r.DUMPDataVisible);
  visit(20, r.CONSTDataVisible);
  visit(21, r.TSVDataVisible);
  visit(22, r.MonitorChBox);
  visit(23, r.DATDirCreate);
  visit(24, r.TSVDirCreate);
  visit(25, r.LabeledEdit1);
  visit(27, Str{r.ComboBox1, 7});
  visit(34, r.ComboBox4);
  visit(35, r.LaRS232Feier);
  visit(39, r.LaRS232TimeOut);
  visit(43, r.LaRS232Multiplier);
  visit(47, r.LaRS232Povtor);
  visit(51, r.LaRS232TimeActivityInterfaceDevice);
  visit(55, r.CBRS232QualityEx);
  visit(56, Str{r.ComboBox2, 7});
  visit(63, r.ComboBox5);
  visit(64, r.LaRS485Feier);
  visit(68, r.LaRS485TimeOut);
  visit(72, r.LaRS485Multiplier);
  visit(76, r.LaRS485Povtor);
  visit(80, r.CBRS485QualityEx);
  visit(81, Str{r.ComboBox3, 7});
  visit(88, r.ComboBox6);
  visit(89, r.LaRSModFeier);
  visit(93, r.LaRSModTimeOut);
  visit(97, r.LaRSModMultiplier);
  visit(101, r.LaRSModPovtor);
  visit(105, r.LaRSModConnectTime);
  visit(109, r.CBRSModQualityEx);
  visit(110, r.TimeCorrect);
  visit(111, Str{r.NKPPortBox, 7});
  visit(118, r.NKPBaudCode);
  visit(119, r.NKPReserved);
  visit(123, r.NKPTimeOutEdit);
  visit(127, r.NKPMultiplierEdit);
  visit(131, r.NKPPovtor);
  visit(135, r.NKPAutoTimeCorrectCB);
  visit(136, Str{r.LTRPortBox, 7});
  visit(143, r.LTRBaudCode);
  visit(144, r.LTRReserved);
  visit(148, r.LTRTimeOutEdit);
  visit(152, r.LTRMultiplierEdit);
  visit(156, r.LTRPovtor);
  visit(160, Str{r.EdDataDir, 256});
  visit(416, Str{r.EdDirTSView, 256});
  visit(672, Str{r.PorTelEdit, 256});
}

struct Writer {
  SettingsBytes& Bytes;
  template <typename Int>
  void operator()(std::size_t offset, Int value) const {
    using Unsigned = std::make_unsigned_t<Int>;
    for (std::size_t i = 0; i < sizeof(Int); ++i) {
      Bytes[offset + i] = static_cast<std::uint8_t>(static_cast<Unsigned>(value) >> (8 * i));
    }
  }
  void operator()(std::size_t offset, bool flag) const { Bytes[offset] = flag ? 1 : 0; }
  void operator()(std::size_t offset, ConstShortString field) const {
    WriteShortString(std::span(Bytes).subspan(offset, field.Size), field.Text);
  }
};

struct Reader {
  std::span<const std::uint8_t, SettingsRecordSize> Bytes;
  template <typename Int>
  void operator()(std::size_t offset, Int& value) const {
    std::make_unsigned_t<Int> raw = 0;
    for (std::size_t i = 0; i < sizeof(Int); ++i)
      raw |= static_cast<decltype(raw)>(Bytes[offset + i]) << (8 * i);
    value = static_cast<Int>(raw);
  }
  void operator()(std::size_t offset, bool& flag) const { flag = Bytes[offset] != 0; }
  void operator()(std::size_t offset, ShortString field) const {
    field.Text = ReadShortString(Bytes.subspan(offset, field.Size));
  }
};

}  // namespace

SettingsBytes EncodeSettings(const TSettingsRecord& record) {
  SettingsBytes bytes{};
  VisitFields(record, Writer{bytes});
  return bytes;
}

TSettingsRecord DecodeSettings(std::span<const std::uint8_t, SettingsRecordSize> bytes) {
  TSettingsRecord record;
  VisitFields(record, Reader{bytes});
  return record;
}

std::filesystem::path SettingsFilePath(const std::filesystem::path& programFolder) {
  return programFolder / "VelkReader.cfg";
}

bool LoadSettings(TSettingsRecord& record, const std::filesystem::path& file, UserInterface& ui) {
  std::string bytes;
  if (!ReadWholeFile(file, bytes, SettingsRecordSize) || bytes.size() != SettingsRecordSize) {
    ui.ShowMessage(SettingsMissingMessage);
    ResetSettings(record);
    return false;
  }
  record = DecodeSettings(std::span<const std::uint8_t, SettingsRecordSize>(
      reinterpret_cast<const std::uint8_t*>(bytes.data()), SettingsRecordSize));
  return true;
}

bool StoreSettings(const TSettingsRecord& record, const std::filesystem::path& file) {
  const SettingsBytes bytes = EncodeSettings(record);
  return ReplaceFileContents(file, bytes);
}

void ResetSettings(TSettingsRecord& record) { record = TSettingsRecord{}; }

StorageOptions StorageOptionsFrom(const TSettingsRecord& record) {
  StorageOptions options;
  options.EdDataDir = record.EdDataDir;
  options.DATDirCreate = record.DATDirCreate;
  options.TSVDirCreate = record.TSVDirCreate;
  options.SaveDAT = record.SaveDAT;
  options.TSVCnc = record.TSVCnc;
  options.ShowRtcRecords = record.ShowRtcRecords;
  options.ShowEmptyRecords = record.PFRec;
  return options;
}

int MaxPacketBytes(std::uint8_t packetDivisor) {
  switch (packetDivisor) {
    case 1:
    case 2:
    case 4:
    case 8:
    case 16:
      return 256 / packetDivisor;
    default:
      return 256;
  }
}

}  // namespace velk
