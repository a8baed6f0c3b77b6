#include <gtest/gtest.h>

#include "app/ReadPanel.h"
#include "app/WindowTexts.h"

namespace velk {
namespace {

TEST(ReadPanel, Rs232SelectsTheSettingsPortAndAChoiceIsStoredBack) {
  TSettingsRecord settings;
  settings.ComboBox1 = "COM3";
  ReadPanel panel;
  panel.MODBox = ItemRs232;
  MODBoxChange(panel, settings);
  EXPECT_EQ(panel.ComboBox1, "COM3");
  ComboBox1Change(panel, settings, "COM5");
  EXPECT_EQ(settings.ComboBox1, "COM5");
  EXPECT_EQ(settings.ComboBox2, "COM1");
}

TEST(ReadPanel, EachInterfaceKeepsItsOwnPort) {
  TSettingsRecord settings;
  ReadPanel panel;
  panel.MODBox = ItemRs485;
  ComboBox1Change(panel, settings, "COM7");
  panel.MODBox = ItemModemRs485;
  ComboBox1Change(panel, settings, "COM9");
  EXPECT_EQ(settings.ComboBox2, "COM7");
  EXPECT_EQ(settings.ComboBox3, "COM9");
  EXPECT_EQ(settings.ComboBox1, "COM1");
  panel.MODBox = ItemRs485;
  MODBoxChange(panel, settings);
  EXPECT_EQ(panel.ComboBox1, "COM7");
}

TEST(ReadPanel, Rs485TurnsAnEmptyAddressIntoZero) {
  TSettingsRecord settings;
  ReadPanel panel;
  panel.LEdSetevoyAdr = "";
  panel.MODBox = ItemModem;
  MODBoxChange(panel, settings);
  EXPECT_EQ(panel.LEdSetevoyAdr, "");
  panel.MODBox = ItemRs485;
  MODBoxChange(panel, settings);
  EXPECT_EQ(panel.LEdSetevoyAdr, "0");
}

TEST(ReadPanel, APortNameOutsideThePortBoxSelectsNothing) {
  TSettingsRecord settings;
  settings.ComboBox1 = "COM99";
  ReadPanel panel;
  panel.ComboBox1 = "COM2";
  MODBoxChange(panel, settings);
  EXPECT_EQ(panel.ComboBox1, "COM2");
}

TEST(ReadPanel, EachDirectLinkShowsItsOwnControls) {
  struct Row {
    int item;
    bool phone, address, portBox, ipPort, dropLtr;
    std::string_view label;
  };
  const Row rows[] = {
      {ItemRs232, false, false, true, false, true, {}},
      {ItemRs485, false, true, true, false, true, {}},
      {ItemModem, true, false, true, false, true, texts::PhoneLabel},
      {ItemModemRs485, true, true, true, false, false, texts::PhoneLabel},
      {ItemMoxa, true, false, false, true, false, texts::HostLabel},
      {ItemMoxaRlz, true, false, false, true, false, texts::HostLabel},
      {ItemLinkora, true, false, false, false, false, texts::HostLabel},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.item);
    const ModBoxLayout layout = ModBoxLayoutOf(row.item, true);
    EXPECT_EQ(layout.PorTelEditVisible, row.phone);
    EXPECT_EQ(layout.PorTelEditLabel, row.label);
    EXPECT_EQ(layout.LEdSetevoyAdrVisible, row.address);
    EXPECT_EQ(layout.ComboBox1Visible, row.portBox);
    EXPECT_EQ(layout.IP_PortEditVisible, row.ipPort);
    EXPECT_EQ(layout.DropLtrLink, row.dropLtr);
    EXPECT_EQ(layout.TickedMenuItem, row.item);
    EXPECT_TRUE(layout.ReadGroupVisible && layout.ComboBox1Enabled && layout.StopAutoPoll);
    EXPECT_TRUE(layout.MonitorTabVisible);
    EXPECT_FALSE(layout.CarrierTabVisible);
  }
  EXPECT_FALSE(ModBoxLayoutOf(ItemMoxa, false).MonitorTabVisible);
}

TEST(ReadPanel, CarrierItemsShowTheCarrierPageOnTheCarrierPort) {
  TSettingsRecord settings;
  settings.NKPPortBox = "COM4";
  settings.LTRPortBox = "COM6";
  ReadPanel panel;
  panel.MODBox = ItemNkp;
  ModBoxLayout layout = MODBoxChange(panel, settings);
  EXPECT_EQ(panel.ComboBox1, "COM4");
  EXPECT_TRUE(layout.CarrierTabVisible && layout.ActivateCarrierTab && layout.ComboBox1Visible);
  EXPECT_FALSE(layout.ReadGroupVisible || layout.PorTelEditVisible || layout.LEdSetevoyAdrVisible ||
               layout.IP_PortEditVisible || layout.StopAutoPoll);
  EXPECT_EQ(panel.TickedMenuItem, NoMenuItem);
  EXPECT_TRUE(layout.DropLtrLink);
  panel.MODBox = ItemLtr;
  layout = MODBoxChange(panel, settings);
  EXPECT_EQ(panel.ComboBox1, "COM6");
  EXPECT_FALSE(layout.DropLtrLink);
}

TEST(ReadPanel, AStoredIndexOutsideTheBoxSelectsRs232) {
  TSettingsRecord settings;
  settings.ComboBox1 = "COM2";
  ReadPanel panel;
  panel.MODBox = 12;
  const ModBoxLayout layout = MODBoxChange(panel, settings);
  EXPECT_EQ(panel.MODBox, ItemRs232);
  EXPECT_EQ(panel.ComboBox1, "COM2");
  EXPECT_EQ(layout.TickedMenuItem, ItemRs232);
}

TEST(ReadPanel, MenuItemSelectsItsLinkUnlessAlreadyTicked) {
  TSettingsRecord settings;
  settings.ComboBox3 = "COM8";
  ReadPanel panel;
  MODBoxChange(panel, settings);
  EXPECT_FALSE(LinkMenuClick(panel, settings, ItemRs232));
  const auto layout = LinkMenuClick(panel, settings, ItemModem);
  ASSERT_TRUE(layout);
  EXPECT_EQ(panel.MODBox, ItemModem);
  EXPECT_EQ(panel.ComboBox1, "COM8");
  EXPECT_EQ(panel.TickedMenuItem, ItemModem);
  EXPECT_FALSE(LinkMenuClick(panel, settings, ItemModem));
  EXPECT_FALSE(LinkMenuClick(panel, settings, ItemNkp));
}

}  // namespace
}  // namespace velk
