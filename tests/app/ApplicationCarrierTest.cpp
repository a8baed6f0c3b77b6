// The application's carrier engine against simulated carriers in this process:
// the port the panel shows, copies stored and decoded as the application
// decodes, the ЛТР link dropped by a direct link and released on closing.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "app/Application.h"
#include "app/ConsoleUserInterface.h"
#include "carrier-sim/CarrierFileImages.h"
#include "support/CarrierTestSupport.h"
#include "imagebuilder/Family5ImageBuilder.h"
#include "link/LinkOpener.h"
#include "support/TempDir.h"

namespace velk {
namespace {

namespace fs = std::filesystem;

// Each carrier port name opens its simulated carrier; the names asked for are kept.
class CarrierLinks final : public LinkOpener {
 public:
  std::map<std::string, std::shared_ptr<CarrierSimPort>> Ports;
  std::vector<std::string> Opened;
  std::unique_ptr<SerialPort> OpenSerial(const std::string& name, int, std::string& error) override {
    Opened.push_back(name);
    const auto port = Ports.find(name);
    if (port == Ports.end()) {
      error = name + " missing";
      return nullptr;
    }
    return std::make_unique<test::ForwardingPort>(port->second);
  }
  std::unique_ptr<ByteStream> OpenTcp(const std::string&, int, int, std::string& error) override {
    error = "no TCP here";
    return nullptr;
  }
};

class ApplicationCarrier : public ::testing::Test {
 protected:
  ApplicationCarrier() {
    TSettingsRecord settings;
    settings.EdDataDir = (dir_ / "data").string();
    settings.MODBox = ItemNkp;
    settings.NKPPortBox = "COM5";
    settings.LTRPortBox = "COM6";
    settings.NKPAutoTimeCorrectCB = false;
    const SettingsBytes bytes = EncodeSettings(settings);
    test::WriteBytes(dir_ / "VelkReader.cfg", {bytes.begin(), bytes.end()});
    links_.Ports["COM5"] = std::make_shared<CarrierSimPort>(nkp_, faults_);
    links_.Ports["COM6"] = std::make_shared<CarrierSimPort>(ltr_, faults_);
    app_.CarrierQuery.SleepMs = [](int) {};
  }

  // A family-53 meter image read half a day ago, stored on the НКП-3М.
  const TDumpImage& AddMeterFile() {
    Family5ImageBuilder(53).SetSerial(12345).FillHourRecords(30).BuildFullDump(test::TestNow - 0.5, meter_);
    NkpFileHeader header;
    header.SerialNumber = 12345;
    header.ReadTime = header.SecondDate = test::TestNow - 0.5;
    nkp_.AddNkpFile(MakeNkpFile(meter_.Bytes(), header));
    return meter_;
  }

  test::TempDir dir_;
  TDumpImage meter_;
  ManualClock clock_{test::TestNow};
  SimulatedCarrier nkp_{CarrierKind::Nkp, clock_};
  SimulatedCarrier ltr_{CarrierKind::Ltr, clock_};
  FaultPlan faults_;
  CarrierLinks links_;
  std::ostringstream messages_;
  ConsoleUserInterface ui_{messages_};
  Application app_{ui_, clock_, dir_.Path(), links_};
};

TEST_F(ApplicationCarrier, CopiesAreStoredAndDecodedByTheApplication) {
  AddMeterFile();
  int arranged = 0;
  app_.OnArrangePages = [&] { ++arranged; };
  app_.Construct({});
  EXPECT_EQ(app_.Panel.ComboBox1, "COM5");  // the НКП-3М port of the settings

  app_.Carrier.ReadSPBtnClick();
  ASSERT_FALSE(app_.Carrier.Disconnected) << messages_.str();
  app_.Carrier.AcNKPCopuFileExecute();
  EXPECT_EQ(links_.Opened.front(), "COM5");
  EXPECT_TRUE(fs::exists(dir_ / "data" / "53-12345" / "DAT" / "53-12345-001.dat"));
  EXPECT_FALSE(app_.ReportName1().empty());
  EXPECT_FALSE(app_.Busy);
  EXPECT_TRUE(app_.AcViewEnabled);
  EXPECT_GE(arranged, 1);
  EXPECT_EQ(app_.Values.SerialNumber, 12345);
}

// The page's redraws while a command runs, answered by a test.
class HookedView final : public CarrierPageView {
 public:
  std::function<void()> OnRefresh;
  void Refresh(const CarrierPageState&) override {
    if (OnRefresh) OnRefresh();
  }
  void ShowMessage(const std::string&) override {}
  BadTypeChoice AskBadType(const std::string&) override { return BadTypeChoice::Continue; }
  bool AskCheckMemory(int) override { return false; }
};

// During a copy the window's competing commands are refused (no dump is
// decoded into the image the copy is filling) and a close is put off; it
// completes once the copy has unwound.
TEST_F(ApplicationCarrier, DuringACopyOpenIsRefusedAndACloseIsPutOff) {
  const TDumpImage& meter = AddMeterFile();
  const fs::path stored = dir_ / "stored.dat";
  std::ofstream(stored, std::ios::binary).write(reinterpret_cast<const char*>(meter.Bytes().data()),
                                                static_cast<std::streamsize>(meter.Bytes().size()));
  app_.Construct({});
  HookedView view;
  app_.SetCarrierView(&view);
  int closeReady = 0;
  app_.OnCloseReady = [&] { ++closeReady; };
  ASSERT_TRUE(app_.Carrier.Execute(CarrierAction::AcNKPList));
  bool tried = false;
  view.OnRefresh = [&] {
    if (tried || !app_.CarrierThread.Running() || app_.CarrierState.CarrierCommand != 5) return;
    tried = true;
    EXPECT_FALSE(app_.WindowCommandsEnabled());
    EXPECT_FALSE(app_.OpenDump(stored.string()));
    EXPECT_FALSE(app_.BuTestClick());
    EXPECT_FALSE(app_.RequestClose());
    EXPECT_TRUE(app_.Carrier.Closing());
  };
  app_.Carrier.Execute(CarrierAction::AcNKPCopuFile);
  EXPECT_TRUE(tried);
  EXPECT_EQ(closeReady, 1);
  EXPECT_FALSE(fs::exists(dir_ / "data" / "53-12345" / "DAT" / "53-12345-001.dat"));  // stopped
  EXPECT_TRUE(app_.WindowCommandsEnabled());
  EXPECT_TRUE(app_.RequestClose());
  EXPECT_FALSE(app_.CarrierQuery.IsOpen());
  EXPECT_TRUE(fs::exists(dir_ / "VelkReader.cfg"));
  app_.SetCarrierView(nullptr);
}

TEST_F(ApplicationCarrier, TheLtrLinkIsDroppedByADirectLinkAndReleasedOnClosing) {
  app_.Construct({});
  app_.Panel.MODBox = ItemLtr;
  app_.MODBoxChange();
  EXPECT_EQ(app_.Panel.ComboBox1, "COM6");
  app_.Carrier.ReadSPBtnClick();
  ASSERT_TRUE(app_.CarrierState.LtrPortOpen.load()) << messages_.str();
  app_.Carrier.Page.Timer3 = true;

  app_.Panel.MODBox = ItemRs232;
  app_.MODBoxChange();
  EXPECT_FALSE(app_.CarrierState.LtrPortOpen.load());
  EXPECT_FALSE(app_.CarrierQuery.IsOpen());
  EXPECT_FALSE(app_.Carrier.Page.Timer3);

  app_.Panel.MODBox = ItemLtr;
  app_.MODBoxChange();
  app_.Carrier.ReadSPBtnClick();
  ASSERT_TRUE(app_.CarrierQuery.IsOpen());
  app_.Close();
  EXPECT_FALSE(app_.CarrierQuery.IsOpen());
  EXPECT_FALSE(app_.CarrierState.LtrPortOpen.load());
  DirectUserInterface quiet;
  TSettingsRecord stored;
  ASSERT_TRUE(LoadSettings(stored, dir_ / "VelkReader.cfg", quiet));
  EXPECT_EQ(stored.MODBox, ItemLtr);
}

}  // namespace
}  // namespace velk
