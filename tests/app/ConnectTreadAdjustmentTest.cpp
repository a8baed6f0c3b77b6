#include <gtest/gtest.h>

#include "app/ConnectTreadAdjustment.h"

namespace velk {
namespace {

class Adjustment : public ::testing::Test {
 protected:
  Adjustment() {
    settings.ComboBox1 = "COM2";
    settings.ComboBox2 = "COM3";
    settings.ComboBox3 = "COM4";
    settings.ComboBox5 = 9;
    settings.LaRS232Povtor = 6;
    settings.LaRS485Povtor = 7;
    settings.LaRSModPovtor = 8;
    settings.LaRS232TimeOut = 110;
    settings.LaRS485TimeOut = 120;
    settings.LaRSModTimeOut = 130;
    settings.LaRSModMultiplier = 140;
    settings.LaRSModConnectTime = 45;
    panel.PorTelEdit = "T+7901234567890123456789";
    panel.IP_PortEdit = "2";
    panel.LEdSetevoyAdr = "17";
    panel.RGTask = 0;
  }

  AdjustmentResult Adjust(int item) {
    panel.MODBox = item;
    return ConnectTreadAdjustment(thread, settings, panel);
  }

  TDumpImage image;
  ExchangeMonitor monitor;
  DirectUserInterface ui;
  ManualClock clock;
  TConnectTread thread{image, monitor, ui, clock};
  TSettingsRecord settings;
  ReadPanel panel;
};

TEST_F(Adjustment, Rs232) {
  thread.RequestLamp = 1;
  thread.StopRequested = 1;
  const AdjustmentResult result = Adjust(ItemRs232);
  ASSERT_EQ(result.Error, "");
  EXPECT_EQ(result.View, ProgressViewKind::Reading);
  EXPECT_EQ(thread.LinkKind, 0);
  EXPECT_EQ(thread.PortName, "COM2");
  EXPECT_EQ(thread.NetAddress, 0xFFFF);
  EXPECT_EQ(thread.PhoneNumber, "");
  EXPECT_EQ(thread.DialNeeded, 0);
  EXPECT_EQ(thread.AreaWindow, 1);
  EXPECT_EQ(thread.RetryCount, 6);
  EXPECT_EQ(thread.FirstByteTimeoutMs, 110);
  EXPECT_EQ(thread.NextByteTimeoutMs, 110);
  EXPECT_EQ(thread.ReadMode, 0);
  EXPECT_EQ(thread.RequestLamp.load(), 0);
  EXPECT_EQ(thread.StopRequested.load(), 0);
}

TEST_F(Adjustment, Rs485TakesItsPortBaudAddressAndWaits) {
  ASSERT_EQ(Adjust(ItemRs485).Error, "");
  EXPECT_EQ(thread.PortName, "COM3");
  EXPECT_EQ(thread.BaudCode, 9);
  EXPECT_EQ(thread.NetAddress, 17);
  EXPECT_EQ(thread.AreaWindow, 1);
  EXPECT_EQ(thread.RetryCount, 7);
  EXPECT_EQ(thread.FirstByteTimeoutMs, 120);
  EXPECT_EQ(thread.NextByteTimeoutMs, 120);
}

TEST_F(Adjustment, ModemDialsTheFirstTwentyCharacters) {
  const AdjustmentResult result = Adjust(ItemModem);
  ASSERT_EQ(result.Error, "");
  EXPECT_EQ(result.View, ProgressViewKind::Dialling);
  EXPECT_EQ(thread.PortName, "COM4");
  EXPECT_EQ(thread.NetAddress, 0xFFFF);
  EXPECT_EQ(thread.PhoneNumber, "T+790123456789012345");
  EXPECT_EQ(thread.DialNeeded, 1);
  EXPECT_EQ(thread.Dialling.load(), 1);
  EXPECT_EQ(thread.MaxDialSeconds, 45);
  EXPECT_EQ(thread.AreaWindow, 16);
  EXPECT_EQ(thread.RetryCount, 8);
  EXPECT_EQ(thread.FirstByteTimeoutMs, 130);
  EXPECT_EQ(thread.NextByteTimeoutMs, 140);

  ASSERT_EQ(Adjust(ItemModemRs485).Error, "");
  EXPECT_EQ(thread.LinkKind, 3);
  EXPECT_EQ(thread.NetAddress, 17);
  EXPECT_EQ(thread.PortName, "COM4");
}

TEST_F(Adjustment, NetworkKindsUseTheHostAndTcpPort) {
  ASSERT_EQ(Adjust(ItemMoxa).Error, "");
  EXPECT_EQ(thread.HostName, "T+790123456789012345");
  EXPECT_EQ(thread.TcpPort, 4002);
  EXPECT_EQ(thread.NetAddress, 0);
  EXPECT_EQ(thread.DialNeeded, 0);
  EXPECT_EQ(thread.AreaWindow, 1);
  EXPECT_EQ(thread.RetryCount, 6);
  EXPECT_EQ(thread.FirstByteTimeoutMs, 130);
  EXPECT_EQ(thread.NextByteTimeoutMs, 140);

  ASSERT_EQ(Adjust(ItemMoxaRlz).Error, "");
  EXPECT_EQ(thread.TcpPort, 4002);
  EXPECT_EQ(thread.AreaWindow, 16);

  ASSERT_EQ(Adjust(ItemLinkora).Error, "");
  EXPECT_EQ(thread.LinkKind, 6);
  EXPECT_EQ(thread.TcpPort, 2);
  EXPECT_EQ(thread.AreaWindow, 16);
  panel.IP_PortEdit = "";
  EXPECT_EQ(Adjust(ItemLinkora).Error, "");
}

TEST_F(Adjustment, RetryCountKeepsTheLowEightBits) {
  settings.LaRS232Povtor = -1;
  ASSERT_EQ(Adjust(ItemRs232).Error, "");
  EXPECT_EQ(thread.RetryCount, 255);
  settings.LaRS232Povtor = 0x103;
  ASSERT_EQ(Adjust(ItemRs232).Error, "");
  EXPECT_EQ(thread.RetryCount, 3);
}

TEST_F(Adjustment, UnusableEditsAndCarrierItemsAreRefused) {
  panel.LEdSetevoyAdr = "1.5";
  EXPECT_NE(Adjust(ItemRs485).Error.find("'1.5'"), std::string::npos);
  panel.LEdSetevoyAdr = "256";
  EXPECT_NE(Adjust(ItemModemRs485).Error, "");
  panel.LEdSetevoyAdr = "005";
  EXPECT_EQ(Adjust(ItemModemRs485).Error, "");
  EXPECT_EQ(thread.NetAddress, 5);
  panel.IP_PortEdit = "x";
  EXPECT_NE(Adjust(ItemMoxa).Error, "");
  panel.IP_PortEdit = "9223372036854775807";  // no TCP port, and no overflow adding the offset
  EXPECT_NE(Adjust(ItemMoxa).Error.find("gives no TCP port"), std::string::npos);
  EXPECT_NE(Adjust(ItemNkp).Error, "");
}

TEST(ParseInteger, DecimalWithBlanksOnly) {
  EXPECT_EQ(ParseInteger(" 42 "), 42);
  EXPECT_EQ(ParseInteger("-1"), -1);
  EXPECT_EQ(ParseInteger(""), std::nullopt);
  EXPECT_EQ(ParseInteger("4a"), std::nullopt);
}

}  // namespace
}  // namespace velk
