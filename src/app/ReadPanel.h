// The main window's read panel as data: the link selector `MODBox`, the port
// box `ComboBox1`, the phone/host edit `PorTelEdit`, the network port edit
// `IP_PortEdit`, the address edit `LEdSetevoyAdr` and the read mode `RGTask`.
// The GUI mirrors it in widgets; the command-line mode fills it from switches.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/SettingsRecord.h"

namespace velk {

// MODBox items 0..6 are the direct links (the link kind is the item index);
// 7 and 8 are the data carriers.
enum ModBoxItem : int {
  ItemRs232 = 0,
  ItemRs485 = 1,
  ItemModem = 2,
  ItemModemRs485 = 3,
  ItemMoxa = 4,
  ItemMoxaRlz = 5,
  ItemLinkora = 6,
  ItemNkp = 7,
  ItemLtr = 8,
};

struct ReadPanel {
  int MODBox = ItemRs232;
  std::string ComboBox1 = "COM1";  // the selected port, "COM1".."COM64"
  std::string PorTelEdit;
  std::string IP_PortEdit;
  std::string LEdSetevoyAdr = "0";
  int RGTask = 1;                  // 0 full archive, 1 latest changes, 2 operational data
  int TickedMenuItem = ItemRs232;  // the ticked item of the "Связь" menu, NoMenuItem for none
};

constexpr int NoMenuItem = -1;

// What MODBoxChange shows for a MODBox item. The direct links 0..6 show the
// read group and hide the carrier page. The carriers 7 and 8 show and
// activate the carrier page, hide the read group and the three edits, keep
// the port box (on the carrier's port), tick no menu item and leave the
// auto-poll to the carrier page; item 7 drops the ЛТР link.
struct ModBoxLayout {
  bool ReadGroupVisible = true;    // RGTask and BuTest
  bool CarrierTabVisible = false;  // the carrier page's tab
  bool ActivateCarrierTab = false;
  bool MonitorTabVisible = false;  // TabSheet5 "Монитор обмена": follows MonitorChBox
  bool PorTelEditVisible = false;
  std::string_view PorTelEditLabel;  // "Номер телефона" or "IP адрес"; empty while hidden
  bool LEdSetevoyAdrVisible = false;
  bool ComboBox1Visible = true;
  bool ComboBox1Enabled = true;
  bool IP_PortEditVisible = false;
  int TickedMenuItem = ItemRs232;  // index of the "Связь" radio items (texts::LinkMenuItems), or NoMenuItem
  bool StopAutoPoll = true;        // carrier auto-poll off, its label texts PollOff
  bool DropLtrLink = false;        // the ЛТР carrier link is dropped
};

// The layout of an item (0..8); any other index is laid out as item 0.
ModBoxLayout ModBoxLayoutOf(int item, bool monitorOn);

// The port box lists "COM1".."COM64": the item index of a port name (-1 for
// a name it does not list) and the name of an item.
constexpr int PortBoxItems = 64;
int PortBoxIndex(const std::string& portName);
std::string PortBoxName(int index);

// The settings' port of the interface an item shows (RS232, RS485 or modem
// port; the carrier ports for 7 and 8); nullptr for the network items.
std::string* InterfacePort(TSettingsRecord& settings, int item);
const std::string* InterfacePort(const TSettingsRecord& settings, int item);

// MODBoxChange: an index outside 0..8 (a damaged settings file) becomes item
// 0; the port box selects the interface's port (the carrier's for 7 and 8);
// RS485 turns an empty address into "0"; the ticked menu item follows.
// Returns the layout the window applies.
ModBoxLayout MODBoxChange(ReadPanel& panel, const TSettingsRecord& settings);
// A click on a link item of the "Связь" menu (0..6): nothing (nullopt) when it
// is ticked already, else MODBox takes the item and MODBoxChange runs.
std::optional<ModBoxLayout> LinkMenuClick(ReadPanel& panel, const TSettingsRecord& settings, int item);
// ComboBox1Change: the chosen port becomes the port of the shown interface.
void ComboBox1Change(ReadPanel& panel, TSettingsRecord& settings, const std::string& portName);

}  // namespace velk
