// The settings dialog: filling from the record, confirming into it, the follow-ups.
#include <gtest/gtest.h>

#include "app/ConnectPropModel.h"

namespace velk {
namespace {

TEST(ConnectProp, FillSelectsBoxItemsFromTheStoredValues) {
  TSettingsRecord record;
  record.ComboBox1 = "COM12";
  record.ComboBox2 = "COM99";
  record.ComboBox4 = 9;  // the RS232 box offers 4800 and 9600 only
  record.ComboBox5 = 9;
  record.CBRS232QualityEx = 4;
  record.CBRS485QualityEx = 3;
  record.LaRSModPovtor = -1;
  const TConnectPropDialog d = FillConnectProp(record, ConnectPropPage::LinkSettings);
  EXPECT_EQ(d.ActivePage, ConnectPropPage::LinkSettings);
  EXPECT_EQ(d.ComboBox1, 11);
  EXPECT_EQ(d.ComboBox2, -1);
  EXPECT_EQ(d.ComboBox4, -1);
  EXPECT_EQ(d.ComboBox5, 2);
  EXPECT_EQ(d.ComboBox6, 2);
  EXPECT_EQ(d.CBRS232QualityEx, 2);
  EXPECT_EQ(d.CBRS485QualityEx, -1);
  EXPECT_EQ(d.LaRSModPovtor, "-1");
  EXPECT_EQ(d.LabeledEdit1, "12");
  EXPECT_EQ(d.EdDataDir, record.EdDataDir);
}

TEST(ConnectProp, ConfirmingAnUntouchedDialogKeepsTheRecordAndUnselectedBoxesKeepTheirFields) {
  TSettingsRecord record;
  record.ComboBox4 = 9;
  record.ComboBox2 = "COM99";
  record.CBRS485QualityEx = 3;
  record.MonitorChBox = true;
  record.PFRec = true;
  const TSettingsRecord before = record;
  ReadPanel panel;
  const TConnectPropOutcome outcome =
      ConfirmConnectProp(FillConnectProp(record, ConnectPropPage::ProgramSettings), ModalResult::Ok, record,
                         panel, ShownImage::None);
  EXPECT_TRUE(outcome.Confirmed());
  EXPECT_EQ(record, before);
  EXPECT_TRUE(outcome.PFRecChecked);
  EXPECT_FALSE(outcome.RTC1Checked);
}

TEST(ConnectProp, OkTakesEveryBoxAndEditCancelTakesNothing) {
  TSettingsRecord record;
  TConnectPropDialog d = FillConnectProp(record, ConnectPropPage::LinkSettings);
  d.ComboBox2 = 11;
  d.ComboBox5 = 0;
  d.CBRS485QualityEx = 2;  // "64"
  d.LaRS485TimeOut = "3600000";
  d.LaRS485Multiplier = "";  // an empty link edit leaves its field
  d.LTRPovtor = "-1";
  d.LabeledEdit1 = "";  // left empty: the up-down's count
  d.UpDown1 = 36;
  d.TSVDataVisible = true;
  d.EdDataDir = std::string(300, 'x');

  TSettingsRecord cancelled = record;
  ReadPanel panel;
  EXPECT_FALSE(ConfirmConnectProp(d, ModalResult::Cancel, cancelled, panel, ShownImage::None).Applied);
  EXPECT_EQ(cancelled, record);

  EXPECT_TRUE(ConfirmConnectProp(d, ModalResult::Ok, record, panel, ShownImage::None).Confirmed());
  EXPECT_EQ(record.ComboBox2, "COM12");
  EXPECT_EQ(record.ComboBox5, 6);
  EXPECT_EQ(record.CBRS485QualityEx, 4);
  EXPECT_EQ(MaxPacketBytes(record.CBRS485QualityEx), 64);
  EXPECT_EQ(record.LaRS485TimeOut, 3600000);
  EXPECT_EQ(record.LaRS485Multiplier, 500);
  EXPECT_EQ(record.LTRPovtor, -1);
  EXPECT_EQ(record.LabeledEdit1, 36);
  EXPECT_TRUE(record.TSVDataVisible);
  EXPECT_EQ(record.EdDataDir.size(), 255u);
}

TEST(ConnectProp, AConversionErrorStopsAtItsFieldAndNothingIsStored) {
  TSettingsRecord record;
  TConnectPropDialog d = FillConnectProp(record, ConnectPropPage::LinkSettings);
  d.SaveDAT = false;
  d.ComboBox3 = 4;
  d.LaRSModTimeOut = "2000";
  d.LaRSModPovtor = "1.5";  // the "." passes the key rule but is no integer
  d.NKPPovtor = "9";
  d.CBRSModQualityEx = 4;
  d.EdDirTSView = "viewer.exe";
  ReadPanel panel;
  panel.MODBox = ItemModem;
  TConnectPropOutcome outcome = ConfirmConnectProp(d, ModalResult::Ok, record, panel, ShownImage::HeatMeter);
  EXPECT_TRUE(outcome.Applied);
  EXPECT_FALSE(outcome.Confirmed());
  EXPECT_EQ(outcome.ErrorControl, "LaRSModPovtor");
  EXPECT_EQ(outcome.Error, "'1.5' is not a valid integer value");
  EXPECT_FALSE(outcome.StoreSettings || outcome.RebuildTables || outcome.PortBoxChanged);
  // The fields before it are taken, those after it are not.
  EXPECT_FALSE(record.SaveDAT);
  EXPECT_EQ(record.ComboBox3, "COM5");
  EXPECT_EQ(record.LaRSModTimeOut, 2000);
  EXPECT_EQ(record.LaRSModPovtor, 3);
  EXPECT_EQ(record.NKPPovtor, 5);
  EXPECT_EQ(record.CBRSModQualityEx, 1);
  EXPECT_TRUE(record.EdDirTSView.empty());
  EXPECT_EQ(panel.ComboBox1, "COM1");

  // A carrier edit left empty is an error too.
  d = FillConnectProp(record, ConnectPropPage::LinkSettings);
  d.NKPMultiplierEdit = "";
  outcome = ConfirmConnectProp(d, ModalResult::Ok, record, panel, ShownImage::HeatMeter);
  EXPECT_EQ(outcome.ErrorControl, "NKPMultiplierEdit");
}

TEST(ConnectProp, FollowUpsForTheMainWindow) {
  TSettingsRecord record;
  record.ComboBox2 = "COM7";
  record.OPVDataVisible = true;
  record.TSVDataVisible = true;
  TConnectPropDialog d = FillConnectProp(record, ConnectPropPage::ProgramSettings);
  d.DATAPanelVisible = false;
  d.NKPAutoTimeCorrectCB = false;
  ReadPanel panel;
  panel.MODBox = ItemRs485;
  TConnectPropOutcome outcome = ConfirmConnectProp(d, ModalResult::Ok, record, panel, ShownImage::HeatMeter);
  EXPECT_EQ(outcome.MainHeight, 113);
  EXPECT_FALSE(outcome.DataPanelVisible);
  EXPECT_TRUE(outcome.PortBoxChanged);
  EXPECT_EQ(panel.ComboBox1, "COM7");
  EXPECT_FALSE(outcome.AutoTimeCorrCB);
  EXPECT_TRUE(outcome.StoreSettings && outcome.RebuildTables && outcome.RefreshCarrierSettings);
  // Unlike the arrangement after a decode, the flags alone decide the four data tabs.
  EXPECT_TRUE(outcome.Tabs.TabSheetOperData);
  EXPECT_FALSE(outcome.Tabs.TabSheetArhiv);
  EXPECT_EQ(outcome.Tabs.TabSheet1tsv, true);
  EXPECT_FALSE(outcome.Tabs.TabSheet2tsv.has_value());
  EXPECT_FALSE(outcome.Tabs.TabSheetTsd.has_value());

  d.DATAPanelVisible = true;
  panel.MODBox = ItemMoxa;
  panel.ComboBox1 = "COM3";
  outcome = ConfirmConnectProp(d, ModalResult::Ok, record, panel, ShownImage::TwoSystemHeatMeter);
  EXPECT_EQ(outcome.MainHeight, 600);
  EXPECT_FALSE(outcome.PortBoxChanged);
  EXPECT_EQ(panel.ComboBox1, "COM3");
  EXPECT_EQ(outcome.Tabs.TabSheet2tsv, true);

  outcome = ConfirmConnectProp(d, ModalResult::Ok, record, panel, ShownImage::PulseCounter);
  EXPECT_EQ(outcome.Tabs.TabSheetTsd, true);
  EXPECT_FALSE(outcome.Tabs.TabSheet1tsv.has_value());
  outcome = ConfirmConnectProp(d, ModalResult::Ok, record, panel, ShownImage::None);
  EXPECT_FALSE(outcome.Tabs.TabSheet1tsv.has_value() || outcome.Tabs.TabSheetTsd.has_value());
}

TEST(ConnectProp, ShownImageKinds) {
  TDecodedValues v;
  v.DeviceCode = 53;
  EXPECT_EQ(ShownImageOf(v, false), ShownImage::None);
  EXPECT_EQ(ShownImageOf(v, true), ShownImage::TwoSystemHeatMeter);
  v.DeviceCode = 54;
  EXPECT_EQ(ShownImageOf(v, true), ShownImage::HeatMeter);
  v.DeviceCode = 70;
  EXPECT_EQ(ShownImageOf(v, true), ShownImage::PulseCounter);
}

}  // namespace
}  // namespace velk
