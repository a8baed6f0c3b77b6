// The main window's read panel as data: the link selector `MODBox`, the port
// box `ComboBox1`, the phone/host edit `PorTelEdit`, the network port edit
// `IP_PortEdit`, the address edit `LEdSetevoyAdr` and the read mode `RGTask`.
// The GUI mirrors it in widgets; the command-line mode fills it from switches.
#pragma once

#include <string>

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
  int RGTask = 1;  // 0 full archive, 1 latest changes, 2 operational data
};

// The settings' port of the interface an item shows (RS232, RS485 or modem
// port; the carrier ports for 7 and 8); nullptr for the network items.
std::string* InterfacePort(TSettingsRecord& settings, int item);
const std::string* InterfacePort(const TSettingsRecord& settings, int item);

// MODBoxChange of the panel's data: the port box selects the interface's (or
// the carrier's) port; RS485 turns an empty address into "0".
void MODBoxChange(ReadPanel& panel, const TSettingsRecord& settings);
// ComboBox1Change: the chosen port becomes the port of the shown interface.
void ComboBox1Change(ReadPanel& panel, TSettingsRecord& settings, const std::string& portName);

}  // namespace velk
