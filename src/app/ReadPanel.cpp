#include "app/ReadPanel.h"

#include <charconv>

#include "app/WindowTexts.h"

namespace velk {
namespace {

bool IsPortBoxItem(const std::string& name) { return PortBoxIndex(name) >= 0; }

}  // namespace

// The number is read from the fourth character on.
int PortBoxIndex(const std::string& portName) {
  if (portName.rfind("COM", 0) != 0) return -1;
  int number = 0;
  const char* end = portName.data() + portName.size();
  const auto [last, error] = std::from_chars(portName.data() + 3, end, number);
  if (error != std::errc() || last != end || number < 1 || number > PortBoxItems) return -1;
  return number - 1;
}

std::string PortBoxName(int index) { return "COM" + std::to_string(index + 1); }

std::string* InterfacePort(TSettingsRecord& settings, int item) {
  switch (item) {
    case ItemRs232:
      return &settings.ComboBox1;
    case ItemRs485:
      return &settings.ComboBox2;
    case ItemModem:
    case ItemModemRs485:
      return &settings.ComboBox3;
    case ItemNkp:
      return &settings.NKPPortBox;
    case ItemLtr:
      return &settings.LTRPortBox;
    default:
      return nullptr;
  }
}

const std::string* InterfacePort(const TSettingsRecord& settings, int item) {
  return InterfacePort(const_cast<TSettingsRecord&>(settings), item);
}

ModBoxLayout ModBoxLayoutOf(int item, bool monitorOn) {
  if (item < ItemRs232 || item > ItemLtr) item = ItemRs232;
  ModBoxLayout layout;
  layout.MonitorTabVisible = monitorOn;
  if (item >= ItemNkp) {
    layout.ReadGroupVisible = false;
    layout.CarrierTabVisible = true;
    layout.ActivateCarrierTab = true;
    layout.TickedMenuItem = NoMenuItem;
    layout.StopAutoPoll = false;  // the carrier page runs its own auto-poll
    layout.DropLtrLink = item == ItemNkp;
    return layout;
  }
  layout.TickedMenuItem = item;
  layout.DropLtrLink = item <= ItemModem;
  layout.LEdSetevoyAdrVisible = item == ItemRs485 || item == ItemModemRs485;
  layout.PorTelEditVisible = item >= ItemModem;
  if (layout.PorTelEditVisible)
    layout.PorTelEditLabel = item <= ItemModemRs485 ? texts::PhoneLabel : texts::HostLabel;
  layout.ComboBox1Visible = item <= ItemModemRs485;
  layout.IP_PortEditVisible = item == ItemMoxa || item == ItemMoxaRlz;
  return layout;
}

ModBoxLayout MODBoxChange(ReadPanel& panel, const TSettingsRecord& settings) {
  if (panel.MODBox < ItemRs232 || panel.MODBox > ItemLtr) panel.MODBox = ItemRs232;
  if (const std::string* port = InterfacePort(settings, panel.MODBox); port && IsPortBoxItem(*port))
    panel.ComboBox1 = *port;
  if (panel.MODBox == ItemRs485 && panel.LEdSetevoyAdr.empty()) panel.LEdSetevoyAdr = "0";
  const ModBoxLayout layout = ModBoxLayoutOf(panel.MODBox, settings.MonitorChBox);
  panel.TickedMenuItem = layout.TickedMenuItem;
  return layout;
}

std::optional<ModBoxLayout> LinkMenuClick(ReadPanel& panel, const TSettingsRecord& settings, int item) {
  if (item < ItemRs232 || item > ItemLinkora || panel.TickedMenuItem == item) return std::nullopt;
  panel.MODBox = item;
  return MODBoxChange(panel, settings);
}

void ComboBox1Change(ReadPanel& panel, TSettingsRecord& settings, const std::string& portName) {
  panel.ComboBox1 = portName;
  if (std::string* port = InterfacePort(settings, panel.MODBox)) *port = portName;
}

}  // namespace velk
