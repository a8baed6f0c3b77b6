// The settings dialog TConnectProp ("Параметры связи") as data: its edits,
// boxes and check boxes under their control names, filled from the settings
// record and confirmed back into it. The window shows the fields and applies
// what a confirmation asks of the main window.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/ReadPanel.h"
#include "app/SettingsRecord.h"
#include "decode/DecodedValues.h"

namespace velk {

// The two top pages: "  Настройки программы  " (menu "Настройки") and
// "  Параметры связи  " (menu "Параметры связи").
enum class ConnectPropPage { ProgramSettings, LinkSettings };

// Box indices: -1 leaves a box unselected (a stored value the box does not offer).
struct TConnectPropDialog {
  ConnectPropPage ActivePage = ConnectPropPage::ProgramSettings;

  // "  Настройки программы  "
  std::string EdDataDir;
  std::string EdDirTSView;
  bool ShowRtcRecords = false;  // the RTC check box
  bool PFRec = false;
  bool TSVCnc = false;
  bool SaveDAT = false;
  bool DATAPanelVisible = false;
  bool OPVDataVisible = false;
  bool ARCHDataVisible = false;
  bool DUMPDataVisible = false;
  bool CONSTDataVisible = false;
  bool TSVDataVisible = false;
  bool MonitorChBox = false;
  bool DATDirCreate = false;
  bool TSVDirCreate = false;
  std::string LabeledEdit1;  // "Макс. архив"
  int UpDown1 = 12;

  // "   RS232   "
  int ComboBox1 = -1;  // port, "COM1".."COM64"
  int ComboBox4 = -1;  // "4800", "9600"
  std::string LaRS232Feier, LaRS232TimeOut, LaRS232Multiplier, LaRS232Povtor,
      LaRS232TimeActivityInterfaceDevice;
  int CBRS232QualityEx = -1;  // "256" .. "16"

  // "   RS485   "
  int ComboBox2 = -1;
  int ComboBox5 = -1;  // "4800", "9600", "19200"
  std::string LaRS485Feier, LaRS485TimeOut, LaRS485Multiplier, LaRS485Povtor;
  int CBRS485QualityEx = -1;

  // "   Модем   "
  int ComboBox3 = -1;
  int ComboBox6 = -1;
  std::string LaRSModFeier, LaRSModTimeOut, LaRSModMultiplier, LaRSModPovtor, LaRSModConnectTime;
  int CBRSModQualityEx = -1;
  bool TimeCorrect = false;

  // The НКП-3М page.
  int NKPPortBox = -1;
  std::string NKPTimeOutEdit, NKPMultiplierEdit, NKPPovtor;
  bool NKPAutoTimeCorrectCB = false;

  // The ЛТР page.
  int LTRPortBox = -1;
  std::string LTRTimeOutEdit, LTRMultiplierEdit, LTRPovtor;

  // LabeledEdit1, UpDown1 and their "мес." label follow TSVCnc; the five tab
  // check boxes follow DATAPanelVisible.
  bool MonthsEnabled() const { return TSVCnc; }
  bool TabChecksEnabled() const { return DATAPanelVisible; }
};

// The edits under the time rule (TimeEditKeyPress) and the retry rule
// (RetryEditKeyPress, RetryEditExit).
inline constexpr std::string_view TimeEditNames[] = {
    "LaRS232TimeOut",    "LaRS232Feier",      "LaRS232Multiplier",  "LaRS232TimeActivityInterfaceDevice",
    "LaRS485TimeOut",    "LaRS485Feier",      "LaRS485Multiplier",  "LaRSModTimeOut",
    "LaRSModFeier",      "LaRSModMultiplier", "LaRSModConnectTime", "NKPTimeOutEdit",
    "NKPMultiplierEdit", "LTRTimeOutEdit",    "LTRMultiplierEdit"};
inline constexpr std::string_view RetryEditNames[] = {"LaRS232Povtor", "LaRS485Povtor", "LaRSModPovtor",
                                                      "NKPPovtor", "LTRPovtor"};

// N1Click: the dialog filled from the record, opened on `page`.
TConnectPropDialog FillConnectProp(const TSettingsRecord& record, ConnectPropPage page);

// What the main window shows, as far as the tab rule of a confirmation needs it.
enum class ShownImage { None, HeatMeter, TwoSystemHeatMeter, PulseCounter };
// `decoded`: an image has been decoded since the start (the window is not busy).
ShownImage ShownImageOf(const TDecodedValues& values, bool decoded);

// Tab visibility after a confirmation; an unset tab keeps its state.
struct TTabVisibility {
  bool TabSheetOperData = false;
  bool TabSheetArhiv = false;
  bool TabSheetDamp = false;
  bool TabSheetConst = false;
  std::optional<bool> TabSheet1tsv, TabSheet2tsv, TabSheetTsd;
};

constexpr int MainHeightWithDataPanel = 600;
constexpr int MainHeightWithoutDataPanel = 113;

enum class ModalResult { Ok, Cancel };

// What the main window does after the dialog closed. Nothing happened unless
// Applied; a conversion error (Error set) has stopped at ErrorControl with
// the fields before it taken into the record and nothing else done.
struct TConnectPropOutcome {
  bool Applied = false;
  std::string Error;         // the standard conversion error
  std::string ErrorControl;  // the edit that holds it
  bool Confirmed() const { return Applied && Error.empty(); }

  // Only when Confirmed():
  bool RTC1Checked = false;     // popup item "Показывать записи RTC"
  bool PFRecChecked = false;    // popup item "Показывать пустые записи"
  bool PortBoxChanged = false;  // the read panel's ComboBox1 now holds the port of the current MODBox item
  int MainHeight = 0;           // also the minimum height
  bool DataPanelVisible = false;
  TTabVisibility Tabs;
  bool AutoTimeCorrCB = false;
  // Then: write the settings file, rebuild every display table from the
  // current image, and hand the carrier settings to the carrier side.
  bool StoreSettings = false;
  bool RebuildTables = false;
  bool RefreshCarrierSettings = false;
};

// Closing the dialog: "Отмена" changes nothing; OK takes every field into
// `record` in order and sets the read panel's port box.
TConnectPropOutcome ConfirmConnectProp(const TConnectPropDialog& dialog, ModalResult result,
                                       TSettingsRecord& record, ReadPanel& panel, ShownImage image);

}  // namespace velk
