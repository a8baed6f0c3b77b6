// The settings record: every user setting in one fixed 928-byte record,
// stored as VelkReader.cfg in the program folder. Field names are those of the
// controls that edit them. Strings are UTF-8 here and Windows-1251 short
// strings in the file; a string longer than its field is cut on store.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "common/StorageOptions.h"
#include "common/UserInterface.h"

namespace velk {

constexpr std::size_t SettingsRecordSize = 928;
using SettingsBytes = std::array<std::uint8_t, SettingsRecordSize>;

// Member initialisers are the defaults; a reset is assignment of TSettingsRecord{}.
struct TSettingsRecord {
  std::int32_t MainWidth = 0;      // 0: main window width at close, pixels
  std::int32_t MainHeight = 0;     // 4: main window height at close, pixels
  bool ShowRtcRecords = false;     // 8: RTC check box / popup item RTC1
  bool PFRec = false;              // 9: show empty archive records
  bool TSVCnc = true;              // 10: join .tsv files
  bool SaveDAT = true;             // 11: keep raw dump files
  std::int32_t MODBox = 4;         // 12: read mode, item index of the main window's MODBox
  bool DATAPanelVisible = true;    // 16
  bool OPVDataVisible = false;     // 17: operational data tab
  bool ARCHDataVisible = false;    // 18: archives tab
  bool DUMPDataVisible = false;    // 19: hex dump tab
  bool CONSTDataVisible = false;   // 20: constants tab
  bool TSVDataVisible = false;     // 21: report file tabs
  bool MonitorChBox = false;       // 22: exchange monitor
  bool DATDirCreate = true;        // 23: a subfolder per meter
  bool TSVDirCreate = true;        // 24: separate subfolders for .dat and .tsv
  std::int16_t LabeledEdit1 = 12;  // 25: archive length of joined .tsv files, months (1..120)

  // RS232
  std::string ComboBox1 = "COM1";                          // 27: port name, capacity 6
  std::uint8_t ComboBox4 = 6;                              // 34: baud code
  std::int32_t LaRS232Feier = 100;                         // 35: exchange initialisation, ms
  std::int32_t LaRS232TimeOut = 100;                       // 39: first-byte wait, ms
  std::int32_t LaRS232Multiplier = 500;                    // 43: inter-byte wait, ms
  std::int32_t LaRS232Povtor = 5;                          // 47: retries
  std::int32_t LaRS232TimeActivityInterfaceDevice = 1500;  // 51: meter interface activity time, ms
  std::uint8_t CBRS232QualityEx = 1;                       // 55: packet divisor

  // RS485
  std::string ComboBox2 = "COM1";        // 56
  std::uint8_t ComboBox5 = 7;            // 63: baud code
  std::int32_t LaRS485Feier = 300;       // 64
  std::int32_t LaRS485TimeOut = 100;     // 68
  std::int32_t LaRS485Multiplier = 500;  // 72
  std::int32_t LaRS485Povtor = 5;        // 76
  std::uint8_t CBRS485QualityEx = 1;     // 80

  // GSM modem
  std::string ComboBox3 = "COM1";          // 81
  std::uint8_t ComboBox6 = 9;              // 88: baud code
  std::int32_t LaRSModFeier = 300;         // 89
  std::int32_t LaRSModTimeOut = 10000;     // 93
  std::int32_t LaRSModMultiplier = 15000;  // 97
  std::int32_t LaRSModPovtor = 3;          // 101
  std::int32_t LaRSModConnectTime = 30;    // 105: maximum dialling time, s
  std::uint8_t CBRSModQualityEx = 1;       // 109
  bool TimeCorrect = true;                 // 110: correct the meter clock after a read

  // НКП-3М carrier
  std::string NKPPortBox = "COM1";      // 111
  std::uint8_t NKPBaudCode = 13;        // 118: not edited
  std::int32_t NKPReserved = 0;         // 119
  std::int32_t NKPTimeOutEdit = 60;     // 123: answer wait, ms
  std::int32_t NKPMultiplierEdit = 60;  // 127: byte wait, ms
  std::int32_t NKPPovtor = 5;           // 131
  bool NKPAutoTimeCorrectCB = true;     // 135: automatic date and time correction

  // ЛТР carrier
  std::string LTRPortBox = "COM1";       // 136
  std::uint8_t LTRBaudCode = 9;          // 143: not edited
  std::int32_t LTRReserved = 0;          // 144
  std::int32_t LTRTimeOutEdit = 100;     // 148
  std::int32_t LTRMultiplierEdit = 100;  // 152
  std::int32_t LTRPovtor = 5;            // 156

  std::string EdDataDir = "C:\\KORVAN\\Данные";  // 160: data folder, capacity 255
  std::string EdDirTSView;                       // 416: viewer program path, capacity 255
  std::string PorTelEdit;  // 672: phone number or IP address of the last read, capacity 255

  bool operator==(const TSettingsRecord&) const = default;
};

// Shown when VelkReader.cfg is missing or not 928 bytes long.
extern const char* const SettingsMissingMessage;

SettingsBytes EncodeSettings(const TSettingsRecord& record);
TSettingsRecord DecodeSettings(std::span<const std::uint8_t, SettingsRecordSize> bytes);

// VelkReader.cfg in the program folder.
std::filesystem::path SettingsFilePath(const std::filesystem::path& programFolder);
// Reads the record from `file`. When the file is missing, unreadable or not
// exactly 928 bytes, shows SettingsMissingMessage, resets `record` to the
// defaults (writing nothing) and returns false.
bool LoadSettings(TSettingsRecord& record, const std::filesystem::path& file, UserInterface& ui);
// Replaces `file` with the record; false on an I/O error (callers ignore it).
bool StoreSettings(const TSettingsRecord& record, const std::filesystem::path& file);
void ResetSettings(TSettingsRecord& record);

// What the dump writer, the decoder and the report writers need of the record.
StorageOptions StorageOptionsFrom(const TSettingsRecord& record);
// Largest packet in bytes for a packet divisor (1, 2, 4, 8, 16 give 256 / d);
// any other stored divisor counts as 1.
int MaxPacketBytes(std::uint8_t packetDivisor);

}  // namespace velk
