#include "app/ReadPanel.h"

#include <charconv>

namespace velk {
namespace {

constexpr int PortBoxItems = 64;

// The port box lists "COM1".."COM64"; other names select nothing.
bool IsPortBoxItem(const std::string& name) {
  if (name.rfind("COM", 0) != 0) return false;
  int number = 0;
  const char* end = name.data() + name.size();
  const auto [last, error] = std::from_chars(name.data() + 3, end, number);
  return error == std::errc() && last == end && number >= 1 && number <= PortBoxItems;
}

}  // namespace

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

void MODBoxChange(ReadPanel& panel, const TSettingsRecord& settings) {
  // The carriers' ports too: the carrier commands open the port the box shows.
  const std::string* port = InterfacePort(settings, panel.MODBox);
  if (port && IsPortBoxItem(*port)) panel.ComboBox1 = *port;
  if (panel.MODBox == ItemRs485 && panel.LEdSetevoyAdr.empty()) panel.LEdSetevoyAdr = "0";
}

void ComboBox1Change(ReadPanel& panel, TSettingsRecord& settings, const std::string& portName) {
  panel.ComboBox1 = portName;
  if (std::string* port = InterfacePort(settings, panel.MODBox)) *port = portName;
}

}  // namespace velk
