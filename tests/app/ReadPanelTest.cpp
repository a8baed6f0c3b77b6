#include <gtest/gtest.h>

#include "app/ReadPanel.h"

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

}  // namespace
}  // namespace velk
