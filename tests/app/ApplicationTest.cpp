// The reading lifecycle in-process: a simulated meter on a pseudo-terminal,
// the application's end handlers, the dump file and the progress window's texts.
#include <gtest/gtest.h>

#include <sstream>

#include "app/Application.h"
#include "app/ConsoleUserInterface.h"
#include "app/ExitCodes.h"
#include "app/RememberedDump.h"
#include "common/MeterCfg.h"
#include "imagebuilder/Family5ImageBuilder.h"
#include "common/NativePath.h"
#include "link/DumpFile.h"
#include "link/LinkOpener.h"
#include "link/UnConnectTread.h"
#include "meter-sim/MeterSimulator.h"
#include "support/TempDir.h"

namespace velk {
namespace {

namespace fs = std::filesystem;

// Every serial port name opens the simulated meter's pseudo-terminal.
class SimulatorLinks final : public LinkOpener {
 public:
  std::string Device;
  std::unique_ptr<SerialPort> OpenSerial(const std::string&, int baudRate, std::string& error) override {
    return OpenSerialPort(Device, SerialSettings{baudRate}, error);
  }
  std::unique_ptr<ByteStream> OpenTcp(const std::string&, int, int, std::string& error) override {
    error = "no TCP here";
    return nullptr;
  }
};

// A front end whose message pump also runs its timers (the progress window's
// timer calls Poll()).
class PumpingConsoleUi final : public ConsoleUserInterface {
 public:
  using ConsoleUserInterface::ConsoleUserInterface;
  void ProcessMessages() override {
    ConsoleUserInterface::ProcessMessages();
    if (OnPump) OnPump();
  }
  std::function<void()> OnPump;
};

class ApplicationLifecycle : public ::testing::Test {
 protected:
  ApplicationLifecycle() {
    const SettingsBytes bytes = EncodeSettings(DefaultsHere());
    test::WriteBytes(dir_ / "VelkReader.cfg", {bytes.begin(), bytes.end()});
  }

  TSettingsRecord DefaultsHere() const {
    TSettingsRecord settings;
    settings.EdDataDir = (dir_ / "data").string();
    settings.LaRS232TimeOut = 300;
    settings.LaRS232Povtor = 1;
    return settings;
  }

  void StartMeter() {
    Family5ImageBuilder builder(53);
    builder.SetSerial(12345).SetClock(SystemClock::Instance().Now()).FillHourRecords(10);
    sim_ =
        std::make_unique<MeterSimulator>(builder.BuildMemory(), SystemClock::Instance(), MeterSimOptions{});
    std::string error;
    ASSERT_TRUE(sim_->Start(error)) << error;
    links_.Device = sim_->SlavePath();
    // An earlier reading two records ago: this one fetches only the new records.
    TMeterCfg record;
    record.Counter = 1;
    record.Pointer = builder.HourPointer() - 64;
    record.ReadTime = SystemClock::Instance().Now() - 2 * OneHour;
    ASSERT_TRUE(WriteMeterCfg((dir_ / "data" / "53-12345" / "53-12345.cfg").string(), record));
  }

  void RunToEnd() {
    ui_.RunUntil([&] { return !app_.ReadingRunning() && ended_; }, std::chrono::milliseconds(5),
                 [&] { app_.Poll(); });
  }

  test::TempDir dir_;
  std::ostringstream messages_;
  PumpingConsoleUi ui_{messages_};
  SimulatorLinks links_;
  Application app_{ui_, SystemClock::Instance(), dir_.Path(), links_};
  std::unique_ptr<MeterSimulator> sim_;
  bool ended_ = false;
};

TEST_F(ApplicationLifecycle, StartUpAppliesSettingsIniAndViewerDefault) {
  ASSERT_TRUE(RememberDump(IniFilePath(dir_.Path()), "C:\\KORVAN\\old.dat"));
  app_.Construct({});
  EXPECT_EQ(app_.RememberedDump, "C:\\KORVAN\\old.dat");
  EXPECT_EQ(app_.Settings.EdDataDir, (dir_ / "data").string());
  EXPECT_EQ(app_.Panel.LEdSetevoyAdr, "0");
  EXPECT_EQ(app_.Panel.MODBox, 4);
  EXPECT_TRUE(app_.Busy);
  EXPECT_EQ(app_.Settings.EdDirTSView, (dir_ / "VelkView").string());  // our own viewer beside the program
  EXPECT_EQ(messages_.str(), "");
}

TEST_F(ApplicationLifecycle, SuccessfulReadingStoresAndDecodesTheDump) {
  StartMeter();
  app_.Construct({});
  app_.Panel.MODBox = ItemRs232;
  int endings = 0;
  app_.OnReadingEnded = [&](int status) {
    EXPECT_EQ(status, 0);
    ended_ = true;
    ++endings;
    app_.Poll();  // re-entrant, as from a timer while the end handler runs
  };
  ui_.OnPump = [&] { app_.Poll(); };  // decoding pumps messages
  ASSERT_TRUE(app_.BuTestClick());
  EXPECT_EQ(app_.Progress.ButtonCaption, "Стоп");
  RunToEnd();
  app_.Poll();
  app_.Poll();
  EXPECT_EQ(endings, 1);  // the end handler runs once per reading
  EXPECT_EQ(app_.Progress.Status.Text, "ЧТЕНИЕ ДАННЫХ УСПЕШНО ЗАВЕРШЕНО");
  EXPECT_FALSE(app_.Progress.Visible);
  EXPECT_FALSE(app_.Terminated());  // interactive use goes on
  EXPECT_EQ(app_.Values.DeviceCode, 53u);
  EXPECT_EQ(app_.Values.SerialNumber, 12345);
  EXPECT_FALSE(app_.Busy);
  EXPECT_TRUE(fs::exists(dir_ / "data" / "53-12345" / "DAT" / "53-12345-002.dat"));
  EXPECT_FALSE(app_.ReportName1().empty());
  const std::vector<std::string> lines = app_.Monitor.Lines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "ОБРАБОТКА И СОХРАНЕНИЕ ДАННЫХ"), lines.end());
  EXPECT_EQ(lines.back(), "ЧТЕНИЕ ДАННЫХ УСПЕШНО ЗАВЕРШЕНО");
}

TEST_F(ApplicationLifecycle, FailedReadingSavesNothingAndOffersClose) {
  StartMeter();
  sim_->Stop();  // the meter stays silent
  app_.Construct({});
  app_.Panel.MODBox = ItemRs232;
  app_.OnReadingEnded = [&](int) { ended_ = true; };
  ASSERT_TRUE(app_.BuTestClick());
  RunToEnd();
  EXPECT_EQ(app_.Progress.Status.Text.rfind("(", 0), 0u);
  EXPECT_EQ(app_.Progress.Status.Colour, ColourStatusBad);
  EXPECT_TRUE(app_.Progress.Visible);
  EXPECT_EQ(app_.Progress.ButtonCaption, "ОК");
  EXPECT_FALSE(fs::exists(dir_ / "data" / "53-12345" / "DAT"));
  EXPECT_TRUE(app_.Busy);
}

TEST_F(ApplicationLifecycle, ClosingTheProgressWindowStopsTheReadingThenRunsItsEndHandler) {
  StartMeter();
  app_.Construct({});
  app_.Panel.MODBox = ItemRs232;
  std::vector<int> endings;
  app_.OnReadingEnded = [&](int status) { endings.push_back(status); };
  ui_.OnPump = [&] { app_.Poll(); };  // the window's timer keeps running while it waits
  ASSERT_TRUE(app_.BuTestClick());
  EXPECT_TRUE(app_.CloseProgressWindow());
  EXPECT_FALSE(app_.ReadingRunning());
  EXPECT_EQ(endings, std::vector<int>{LinkStatus::Stopped});
  EXPECT_FALSE(app_.Progress.Visible);
  app_.Poll();
  EXPECT_EQ(endings.size(), 1u);
  EXPECT_FALSE(fs::exists(dir_ / "data" / "53-12345" / "DAT"));
}

TEST_F(ApplicationLifecycle, DumpWriteFailureKeepsTheWritersMessageAndTheExitCode) {
  StartMeter();
  test::WriteBytes(dir_ / "data" / "53-12345" / "DAT", {1});  // a file where the folder should be
  app_.Construct({"-P1"});
  app_.OnReadingEnded = [&](int) { ended_ = true; };
  app_.RunCommandLine({"-P1"});
  RunToEnd();
  EXPECT_EQ(app_.Progress.Status.Text, "Ошибка создания Файла");
  EXPECT_TRUE(app_.Terminated());
  EXPECT_EQ(app_.ExitCode(), exitcode::DumpWriteFailed);
  const std::vector<std::string> lines = app_.Monitor.Lines();
  EXPECT_EQ(std::find(lines.begin(), lines.end(), "ЧТЕНИЕ ДАННЫХ УСПЕШНО ЗАВЕРШЕНО"), lines.end());
}

TEST_F(ApplicationLifecycle, TaskFileReadsEachRecordAndShowsTheProgressWindowForEach) {
  StartMeter();
  std::vector<std::uint8_t> task(3 * TaskRecordSize, 0);
  const std::string data = (dir_ / "data").string();
  for (std::size_t record = 1; record <= 2; ++record) {
    std::uint8_t* r = task.data() + record * TaskRecordSize;
    r[0] = 1;         // latest changes
    r[1] = ItemRs232;
    r[33] = static_cast<std::uint8_t>(data.size());
    std::copy(data.begin(), data.end(), r + 34);
    r[336] = 3;  // a folder per meter, separate .dat and .tsv folders
  }
  test::WriteBytes(dir_ / "two.tsm", task);
  const std::vector<std::string> args{"-F" + (dir_ / "two.tsm").string()};
  app_.Construct(args);
  int endings = 0;
  app_.OnReadingEnded = [&](int status) {
    EXPECT_EQ(status, 0);
    ++endings;
  };
  app_.RunCommandLine(args);
  ui_.RunUntil([&] { return app_.Terminated(); }, std::chrono::milliseconds(5), [&] { app_.Poll(); });
  EXPECT_EQ(endings, 2);
  // The second reading starts inside the first one's end handler: the window never
  // looks hidden to a front end's timer, so it counts the showings.
  EXPECT_EQ(app_.Progress.ShowCount, 2);
  EXPECT_EQ(app_.ExitCode(), exitcode::Success);
}

TEST_F(ApplicationLifecycle, JoinFolderJoinsEveryDumpThroughTheApplicationsDecode) {
  TSettingsRecord settings = DefaultsHere();
  settings.TSVCnc = false;
  const SettingsBytes bytes = EncodeSettings(settings);
  test::WriteBytes(dir_ / "VelkReader.cfg", {bytes.begin(), bytes.end()});
  app_.Construct({});
  // Three readings of one meter, an hour apart, in a folder of their own.
  fs::create_directories(dir_ / "dumps");
  const TDateTime start = SystemClock::Instance().Now() - 0.5;
  for (int n = 1; n <= 3; ++n) {
    TDumpImage image;
    Family5ImageBuilder(53).SetSerial(777).SetClock(start + n * OneHour).FillHourRecords(10 + n).BuildFullDump(
        start + n * OneHour, image);
    StorageOptions options;
    options.EdDataDir = (dir_ / "written").string();
    DirectUserInterface quiet;
    const std::string path = WriteDumpFile(image, {53, 777, 0, start + n * OneHour, start}, options, app_.Monitor, quiet);
    ASSERT_FALSE(path.empty());
    fs::copy_file(ToNativePath(path), dir_ / "dumps" / ("53-00777-00" + std::to_string(n) + ".dat"));
  }
  std::vector<std::string> heard;
  BatchJoinHooks hooks;
  hooks.BeforeDump = [&](const std::string& path) {
    heard.push_back(path);
    return true;
  };
  const BatchJoinResult result = app_.JoinFolder((dir_ / "dumps").string(), hooks);
  EXPECT_EQ(result.Converted, 3);
  EXPECT_TRUE(result.Failed.empty());
  EXPECT_EQ(heard.size(), 3u);
  EXPECT_FALSE(app_.Settings.TSVCnc);
  std::vector<std::string> reports;
  for (const auto& entry : fs::recursive_directory_iterator(dir_ / "data"))
    if (entry.path().extension() == ".tsv") reports.push_back(entry.path().filename().string());
  std::sort(reports.begin(), reports.end());
  // Each report joined onto the one before it, which removes the one two back.
  EXPECT_EQ(reports, (std::vector<std::string>{"53-00777-1-002.tsv", "53-00777-1-003.tsv", "53-00777-2-002.tsv",
                                               "53-00777-2-003.tsv"}));
}

TEST_F(ApplicationLifecycle, TaskFileWithOneRecordReadsNoMeter) {
  test::WriteBytes(dir_ / "one.tsm", std::vector<std::uint8_t>(TaskRecordSize, 0));
  const std::vector<std::string> args{"-F" + (dir_ / "one.tsm").string()};
  app_.Construct(args);
  app_.RunCommandLine(args);
  EXPECT_TRUE(app_.Terminated());
  EXPECT_FALSE(app_.ReadingRunning());
  EXPECT_EQ(app_.ExitCode(), exitcode::Success);
}

TEST_F(ApplicationLifecycle, UnusableAddressStopsBeforeTheThreadRuns) {
  const std::vector<std::string> args{"-Axyz"};
  app_.Construct(args);
  app_.RunCommandLine(args);
  EXPECT_TRUE(app_.Terminated());
  EXPECT_FALSE(app_.ReadingRunning());
  EXPECT_EQ(app_.ExitCode(), exitcode::CommandLineError);
  EXPECT_NE(messages_.str().find("'xyz'"), std::string::npos);
}

}  // namespace
}  // namespace velk
