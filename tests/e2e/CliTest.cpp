// The real velkreader program against simulated meters on pseudo-terminals.
// Each case copies the program into a fresh folder of its own, so that its
// VelkReader.cfg, VelkReader.ports and data folder belong to that case alone.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "app/SettingsRecord.h"
#include "app/TaskFile.h"
#include "common/Clock.h"
#include "common/MeterCfg.h"
#include "imagebuilder/CompactMeterImage.h"
#include "imagebuilder/Family1Image.h"
#include "imagebuilder/Family5ImageBuilder.h"
#include "imagebuilder/PulseCounterImage.h"
#include "meter-sim/MeterSimulator.h"
#include "support/TempDir.h"

namespace velk {
namespace {

namespace fs = std::filesystem;

constexpr std::uint16_t Serial = 12345;
const char* const MeterFolder = "53-12345";

struct RunResult {
  int Code = -1;
  std::string Out;
  std::string Err;
};

std::string ReadText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

class Cli : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(program_);
    fs::copy_file(fs::path(VELK_BIN_DIR) / "src" / "velkreader", Program());
    settings_.EdDataDir = Data().string();
    settings_.LaRS232TimeOut = 300;
    settings_.LaRS485TimeOut = 300;
    settings_.LaRS485Povtor = 1;
    settings_.LaRSModTimeOut = 300;
    settings_.LaRSModMultiplier = 300;
    settings_.LaRSModConnectTime = 5;
    settings_.ComboBox2 = "COM3";
    settings_.ComboBox3 = "COM3";
    WriteSettings();
  }

  fs::path Program() const { return program_ / "velkreader"; }
  fs::path Data() const { return dir_ / "data"; }

  void WriteSettings() {
    const SettingsBytes bytes = EncodeSettings(settings_);
    test::WriteBytes(program_ / "VelkReader.cfg", {bytes.begin(), bytes.end()});
  }

  RunResult Run(const std::vector<std::string>& arguments) {
    std::string command = Quoted(Program().string());
    for (const std::string& argument : arguments) command += " " + Quoted(argument);
    const fs::path out = dir_ / "stdout", err = dir_ / "stderr";
    command += " >" + Quoted(out.string()) + " 2>" + Quoted(err.string()) + " </dev/null";
    const int status = std::system(command.c_str());
    RunResult result;
    result.Code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.Out = ReadText(out);
    result.Err = ReadText(err);
    return result;
  }

  static Family5ImageBuilder Meter() {
    Family5ImageBuilder builder(53);
    builder.SetSerial(Serial).SetClock(SystemClock::Instance().Now()).FillHourRecords(30);
    return builder;
  }

  // A simulated family-53 meter on a pseudo-terminal mapped to COM3.
  MeterSimulator& StartMeter(MeterSimOptions options = {}) {
    sim_ = std::make_unique<MeterSimulator>(Meter().BuildMemory(), SystemClock::Instance(), options);
    std::string error;
    EXPECT_TRUE(sim_->Start(error)) << error;
    std::ofstream(program_ / "VelkReader.ports") << "COM3=" << sim_->SlavePath() << "\n";
    return *sim_;
  }

  // The meter's record of a reading an hour ago that ended two records before
  // the newest, so that the next reading fetches only those two records.
  void NoteEarlierReading(const fs::path& dataFolder) {
    TMeterCfg record;
    record.Counter = 4;
    record.Pointer = Meter().HourPointer() - 64;
    record.ReadTime = SystemClock::Instance().Now() - 2 * OneHour;
    ASSERT_TRUE(
        WriteMeterCfg((dataFolder / MeterFolder / (std::string(MeterFolder) + ".cfg")).string(), record));
  }

  static std::vector<fs::path> Dumps(const fs::path& dataFolder) {
    std::vector<fs::path> dumps;
    if (!fs::exists(dataFolder)) return dumps;
    for (const auto& entry : fs::recursive_directory_iterator(dataFolder)) {
      const std::string extension = entry.path().extension().string();
      if (extension == ".dat" || extension == ".dtm") dumps.push_back(entry.path());
    }
    return dumps;
  }

  test::TempDir dir_;
  fs::path program_ = dir_ / "program";
  TSettingsRecord settings_;
  std::unique_ptr<MeterSimulator> sim_;
};

TEST_F(Cli, Rs232FullReadingStoresTheDumpAndItsReports) {
  StartMeter();
  const RunResult run = Run({"-P3"});
  ASSERT_EQ(run.Code, 0) << run.Out << run.Err;
  const fs::path dump = Data() / MeterFolder / "DAT" / "53-12345-001.dat";
  ASSERT_TRUE(fs::exists(dump)) << run.Out;
  EXPECT_EQ(fs::file_size(dump), 66048u);
  EXPECT_NE(run.Out.find("ЧТЕНИЕ ДАННЫХ УСПЕШНО ЗАВЕРШЕНО"), std::string::npos) << run.Out;
  EXPECT_NE(run.Out.find("dump: " + dump.string()), std::string::npos) << run.Out;
  EXPECT_NE(run.Out.find("report: "), std::string::npos) << run.Out;
  EXPECT_GT(sim_->Meter().RequestCount(0xF0), 255);
}

TEST_F(Cli, Rs485ReadsTheMeterWithThatAddress) {
  MeterSimOptions options;
  options.Rs485 = Rs485Options{5};
  StartMeter(options);
  NoteEarlierReading(Data());
  const RunResult run = Run({"-A5", "--verbose"});
  ASSERT_EQ(run.Code, 0) << run.Out << run.Err;
  EXPECT_TRUE(fs::exists(Data() / MeterFolder / "DAT" / "53-12345-005.dat")) << run.Out;
  EXPECT_NE(run.Out.find("ЗАПРОС:"), std::string::npos);  // the monitor echoed
  for (const ReceivedRequest& request : sim_->Meter().Requests()) EXPECT_EQ(request.AddressByte, 5);
}

TEST_F(Cli, ModemDialsThePhoneNumber) {
  MeterSimOptions options;
  options.Modem = ModemOptions{};
  StartMeter(options);
  NoteEarlierReading(Data());
  const RunResult run = Run({"-M89001234567", "--log=" + (dir_ / "monitor.log").string()});
  ASSERT_EQ(run.Code, 0) << run.Out << run.Err;
  EXPECT_EQ(sim_->DialCommands(), std::vector<std::string>{"atd89001234567"});
  EXPECT_EQ(Dumps(Data()).size(), 1u);
  EXPECT_NE(ReadText(dir_ / "monitor.log").find("НАБОР НОМЕРА"), std::string::npos);
}

TEST_F(Cli, ModemPlusRs485TakesTheLastThreeCharactersAsTheAddress) {
  MeterSimOptions options;
  options.Modem = ModemOptions{};
  options.Rs485 = Rs485Options{5};
  StartMeter(options);
  NoteEarlierReading(Data());
  const RunResult run = Run({"-S0123456789005"});
  ASSERT_EQ(run.Code, 0) << run.Out << run.Err;
  EXPECT_EQ(sim_->DialCommands(), std::vector<std::string>{"atd0123456789"});
  ASSERT_FALSE(sim_->Meter().Requests().empty());
  EXPECT_EQ(sim_->Meter().Requests().front().AddressByte, 5);
  EXPECT_EQ(Dumps(Data()).size(), 1u);
}

// Task records for RS232 into a data folder of their own.
std::vector<std::uint8_t> TaskRecord(const fs::path& dataFolder) {
  std::vector<std::uint8_t> record(TaskRecordSize, 0);
  record[0] = 1;  // latest changes
  record[1] = 0;  // RS232
  const std::string folder = dataFolder.string();
  record[33] = static_cast<std::uint8_t>(folder.size());
  std::copy(folder.begin(), folder.end(), record.begin() + 34);
  record[336] = 3;  // a subfolder per meter, separate .dat/.tsv subfolders
  return record;
}

TEST_F(Cli, TaskFileReadsEveryRecordFromTheSecondOn) {
  StartMeter();
  std::vector<std::uint8_t> task;
  for (const char* folder : {"zero", "one", "two"}) {
    const std::vector<std::uint8_t> record = TaskRecord(dir_ / folder);
    task.insert(task.end(), record.begin(), record.end());
  }
  test::WriteBytes(dir_ / "meters.tsm", task);
  NoteEarlierReading(dir_ / "one");
  NoteEarlierReading(dir_ / "two");
  // "-P3" after "-F": the first pass takes its port, the second pass acts on "-F".
  const RunResult run = Run({"-F" + (dir_ / "meters.tsm").string(), "-P3"});
  ASSERT_EQ(run.Code, 0) << run.Out << run.Err;
  EXPECT_FALSE(fs::exists(dir_ / "zero"));
  ASSERT_EQ(Dumps(dir_ / "one").size(), 1u) << run.Out << run.Err;
  ASSERT_EQ(Dumps(dir_ / "two").size(), 1u);
  // Stored without decoding: no report beside the dumps.
  for (const char* folder : {"one", "two"}) {
    for (const auto& entry : fs::recursive_directory_iterator(dir_ / folder)) {
      EXPECT_NE(entry.path().extension(), ".tsv") << entry.path();
    }
  }
  EXPECT_EQ(sim_->Meter().RequestCount(0xF2), 2);
}

// Records 1 and 2 over TCP to two simulated meters: the first takes the port
// entry of the command line, the second names its own; the third names a port
// that is no number and is refused with the conversion error.
TEST_F(Cli, TaskRecordsOverTcpTakeThePortEntryOrTheirOwn) {
  auto tcpMeter = [] {
    MeterSimOptions options;
    options.Link = MeterSimOptions::Transport::Tcp;
    auto sim = std::make_unique<MeterSimulator>(Meter().BuildMemory(), SystemClock::Instance(), options);
    std::string error;
    EXPECT_TRUE(sim->Start(error)) << error;
    EXPECT_GT(sim->Port(), 4000);
    return sim;
  };
  const auto moxa = tcpMeter(), moxaRlz = tcpMeter();
  auto record = [&](int item, const std::string& address, const char* folder) {
    std::vector<std::uint8_t> r = TaskRecord(dir_ / folder);
    r[1] = static_cast<std::uint8_t>(item);
    r[304] = static_cast<std::uint8_t>(address.size());
    std::copy(address.begin(), address.end(), r.begin() + 305);
    return r;
  };
  std::vector<std::uint8_t> task;
  for (const auto& r : {record(0, "", "zero"), record(4, "127.0.0.1", "one"),
                        record(5, "127.0.0.1:" + std::to_string(moxaRlz->Port() - 4000), "two"),
                        record(4, "127.0.0.1:x1", "three")})
    task.insert(task.end(), r.begin(), r.end());
  test::WriteBytes(dir_ / "meters.tsm", task);
  NoteEarlierReading(dir_ / "one");
  NoteEarlierReading(dir_ / "two");

  const RunResult run =
      Run({"-F" + (dir_ / "meters.tsm").string(), "--ip-port=" + std::to_string(moxa->Port() - 4000)});
  EXPECT_EQ(run.Code, 24) << run.Out << run.Err;  // the third record was not read
  EXPECT_EQ(Dumps(dir_ / "one").size(), 1u) << run.Out << run.Err;
  EXPECT_EQ(Dumps(dir_ / "two").size(), 1u) << run.Out << run.Err;
  EXPECT_EQ(moxa->Connections(), 1);
  EXPECT_EQ(moxaRlz->Connections(), 1);
  EXPECT_NE(run.Err.find("Порт: 'x1' is not a valid integer value"), std::string::npos) << run.Err;
}

TEST_F(Cli, StoredDumpsOfEveryFamilyAreConverted) {
  const TDateTime readTime = SystemClock::Instance().Now();
  std::vector<std::pair<std::string, TDumpImage>> dumps(5);
  Family1ImageBuilder(23).SetSerial(42).BuildFullDump(readTime, dumps[0].second);
  CompactMeterImageBuilder(50).SetSerial(123).SetClock(readTime).BuildFullDump(readTime, dumps[1].second);
  Meter().BuildFullDump(readTime, dumps[2].second);
  CompactMeterImageBuilder(60).SetSerial(77).SetClock(readTime).BuildFullDump(readTime, dumps[3].second);
  PulseCounterImageBuilder(70).SetSerial(9).SetClock(readTime).BuildFullDump(readTime, dumps[4].second);
  const char* names[] = {"23-00042-001.dat", "50-00000123-001.dat", "53-12345-001.dat", "60-00000077-001.dat",
                         "70-00009-001.dat"};
  for (std::size_t i = 0; i < dumps.size(); ++i) {
    const fs::path file = dir_ / "stored" / names[i];
    const auto bytes = dumps[i].second.Bytes();
    test::WriteBytes(file, {bytes.begin(), bytes.end()});
    const RunResult run = i % 2 ? Run({"-B", file.string()}) : Run({"-B" + file.string()});
    EXPECT_EQ(run.Code, 0) << names[i] << run.Out << run.Err;
    EXPECT_NE(run.Out.find("report: "), std::string::npos) << names[i] << run.Out << run.Err;
  }
  // A single dump argument: decoded and its data views printed.
  const RunResult views = Run({(dir_ / "stored" / names[2]).string()});
  EXPECT_EQ(views.Code, 0) << views.Err;
  EXPECT_NE(views.Out.find("Заводской №: 53-12345"), std::string::npos) << views.Out;
  EXPECT_NE(views.Out.find("== Архивы =="), std::string::npos);
}

// --join: two readings of one meter two days apart and a dump that is no meter
// image. Joining is off in the settings; the batch joins all the same.
TEST_F(Cli, JoinConvertsAFolderInNumberOrderAndNamesTheDumpItCouldNotConvert) {
  settings_.TSVCnc = false;
  WriteSettings();
  const TDateTime now = SystemClock::Instance().Now();
  const fs::path folder = dir_ / "stored";
  for (int n : {2, 1}) {
    TDumpImage dump;
    Family5ImageBuilder meter = Meter();
    meter.SetClock(now - (2 - n) * 2.0);
    meter.BuildFullDump(now - (2 - n) * 2.0, dump);
    const auto bytes = dump.Bytes();
    test::WriteBytes(folder / ("53-12345-00" + std::to_string(n) + ".dat"), {bytes.begin(), bytes.end()});
  }
  test::WriteBytes(folder / "53-12345-003.dat", std::vector<std::uint8_t>(600, 0));

  const RunResult run = Run({"--join=" + folder.string()});
  EXPECT_EQ(run.Code, 21) << run.Out << run.Err;
  const std::string first = "dump 1/3: " + (folder / "53-12345-001.dat").string() + "\n";
  const std::string second = "dump 2/3: " + (folder / "53-12345-002.dat").string() + "\n";
  const std::string bad = "dump 3/3: " + (folder / "53-12345-003.dat").string() + ": not converted\n";
  ASSERT_NE(run.Out.find(first), std::string::npos) << run.Out;
  EXPECT_LT(run.Out.find(first), run.Out.find(second)) << run.Out;
  EXPECT_NE(run.Out.find(bad), std::string::npos) << run.Out;
  EXPECT_NE(run.Out.find("not converted: 53-12345-003.dat"), std::string::npos) << run.Out;

  // The second report holds the first one's hours, the two days between and its own.
  auto hours = [&](const char* name) {
    const std::string bytes = ReadText(Data() / MeterFolder / "TSV1" / name);
    return bytes.size() < 134
               ? 0
               : static_cast<std::uint8_t>(bytes[132]) | static_cast<std::uint8_t>(bytes[133]) << 8;
  };
  const int single = hours("53-12345-1-001.tsv");
  EXPECT_GT(single, 0);
  EXPECT_GE(hours("53-12345-1-002.tsv"), single + 48) << run.Out;

  // The joined report as CSV: a heading row and a row per hourly record; a damaged report is refused.
  const fs::path joined = Data() / MeterFolder / "TSV1" / "53-12345-1-002.tsv";
  const RunResult csv = Run({"--csv=" + (dir_ / "joined.csv").string(), joined.string()});
  ASSERT_EQ(csv.Code, 0) << csv.Err;
  const std::string text = ReadText(dir_ / "joined.csv");
  EXPECT_EQ(text.rfind("\xEF\xBB\xBF\"Дата, время\",", 0), 0u);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), hours("53-12345-1-002.tsv") + 1);
  const RunResult refused =
      Run({"--csv=" + (dir_ / "bad.csv").string(), (folder / "53-12345-003.dat").string()});
  EXPECT_EQ(refused.Code, 26);
  EXPECT_NE(refused.Err.find("53-12345-003.dat"), std::string::npos) << refused.Err;
}

TEST_F(Cli, QuestionMarkShowsTheUsageWhateverStandsBesideIt) {
  const RunResult run = Run({"-P3", "?", "-Bnone.dat"});
  EXPECT_EQ(run.Code, 0);
  EXPECT_EQ(run.Out.rfind("О программе VelkRead\n", 0), 0u) << run.Out;
  EXPECT_NE(run.Out.find("\"-F<*.tsm>\"   "), std::string::npos);
  EXPECT_FALSE(fs::exists(Data()));
}

TEST_F(Cli, UpperCaseDtmIsNoDumpNameAndNothingHappens) {
  const RunResult run = Run({"meter.DTM"});
  EXPECT_EQ(run.Code, 20) << run.Err;
  EXPECT_FALSE(fs::exists(Data()));
}

TEST_F(Cli, FailedReadingExitsWithItsStatusAndStoresNothing) {
  MeterSimOptions options;
  options.Rs485 = Rs485Options{5};
  StartMeter(options);
  const RunResult run = Run({"-A7"});
  EXPECT_EQ(run.Code, 5) << run.Out << run.Err;  // "ОТВЕТ НЕ ПОЛУЧЕН"
  EXPECT_NE(run.Out.find("(5)ОТВЕТ НЕ ПОЛУЧЕН"), std::string::npos) << run.Out;
  EXPECT_TRUE(Dumps(Data()).empty());

  // A port mapped to a device that is not there: the status and, on standard error, the reason.
  const std::string missing = (dir_ / "ttyUSB7").string();
  std::ofstream(program_ / "VelkReader.ports") << "COM3=" << missing << "\n";
  const RunResult open = Run({"-P3"});
  EXPECT_EQ(open.Code, 11);
  EXPECT_NE(open.Out.find("(11)ОШИБКА ОТКРЫТИЯ ПОРТА"), std::string::npos) << open.Out;
  EXPECT_NE(open.Err.find("COM3 (" + missing + "): cannot open: no such device"), std::string::npos)
      << open.Err;
  EXPECT_TRUE(Dumps(Data()).empty());
}

TEST_F(Cli, TaskFileThatCannotBeOpenedEndsAtOnce) {
  const RunResult run = Run({"-F" + (dir_ / "missing.tsm").string()});
  EXPECT_EQ(run.Code, 22);
  EXPECT_NE(run.Err.find("missing.tsm"), std::string::npos);
}

}  // namespace
}  // namespace velk
