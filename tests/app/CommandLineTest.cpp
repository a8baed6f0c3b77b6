#include <gtest/gtest.h>

#include "app/CommandLine.h"

namespace velk {
namespace {

using Args = std::vector<std::string>;

TEST(Usage, QuestionMarkAnywhereButOnlyAsAWholeArgument) {
  EXPECT_TRUE(UsageRequested({"-P3", "?", "-A5"}));
  EXPECT_FALSE(UsageRequested({"-P3", "??", "x?"}));
}

TEST(Usage, CaptionAndSwitchLines) {
  EXPECT_EQ(UsageCaption(), "О программе VelkRead");
  const Args lines = UsageLines();
  ASSERT_GE(lines.size(), 14u);
  EXPECT_EQ(lines[0], "Снятие данных с Р-37, ВТ-48, ВТ-505 ");
  EXPECT_EQ(lines[2], "");
  EXPECT_EQ(lines[4], "Ключи:");
  EXPECT_EQ(lines[5], "\"?\"   ");
  EXPECT_EQ(lines[6], "\"-В<*.dat(*.dtm)>\"   ");
  EXPECT_EQ(lines[11], "\"-F<*.tsm>\"   ");
  EXPECT_EQ(lines[12], "");
  EXPECT_EQ(UsageMessage().find("\n\r"), lines[0].size());
}

TEST(StartMode, SingleDumpNameOpensOtherwiseCommandLine) {
  EXPECT_EQ(ChooseStartMode({}), StartMode::Interactive);
  for (const char* name : {"a.dat", "A.DAT", "b.dtm", "c.VTB", "d.vtb"}) {
    EXPECT_EQ(ChooseStartMode({name}), StartMode::OpenDump) << name;
  }
  EXPECT_EQ(ChooseStartMode({"meter.DTM"}), StartMode::CommandLine);
  EXPECT_EQ(ChooseStartMode({"-x.dat"}), StartMode::CommandLine);
  EXPECT_EQ(ChooseStartMode({"a.dat", "b.dat"}), StartMode::CommandLine);
}

TEST(ParseCommandLine, FirstPassTakesThePortSecondPassTheFirstActingSwitch) {
  const CommandLineRequest request = ParseCommandLine({"junk", "-A12", "-P7", "-M555"});
  EXPECT_EQ(request.Rs232PortNumber, 7);
  EXPECT_EQ(request.Action, CommandAction::ReadRs485);
  EXPECT_EQ(request.Address, "12");

  const CommandLineRequest rs232 = ParseCommandLine({"-p4", "-M1"});
  EXPECT_EQ(rs232.Rs232PortNumber, 4);
  EXPECT_EQ(rs232.Action, CommandAction::ReadRs232);
  EXPECT_EQ(ParseCommandLine({"-P"}).Action, CommandAction::ReadRs232);
  EXPECT_FALSE(ParseCommandLine({"-P"}).Rs232PortNumber);
}

TEST(ParseCommandLine, DumpInTheSameOrTheNextArgument) {
  EXPECT_EQ(ParseCommandLine({"-Bx.dat"}).Value, "x.dat");
  const CommandLineRequest next = ParseCommandLine({"-b", "y.dat", "-Bz.dat"});
  EXPECT_EQ(next.Action, CommandAction::DecodeDump);
  EXPECT_EQ(next.Value, "y.dat");
  EXPECT_EQ(ParseCommandLine({"-Вw.dat"}).Value, "w.dat");
  EXPECT_FALSE(ParseCommandLine({"-B"}).Error.empty());
}

TEST(ParseCommandLine, ModemPlusRs485SplitsOffTheLastThreeCharacters) {
  const CommandLineRequest request = ParseCommandLine({"-S0123456789005"});
  EXPECT_EQ(request.Action, CommandAction::ReadModemRs485);
  EXPECT_EQ(request.Value, "0123456789");
  EXPECT_EQ(request.Address, "005");
  EXPECT_FALSE(ParseCommandLine({"-S05"}).Error.empty());
}

TEST(ParseCommandLine, ModemTaskFileAndNothingToDo) {
  EXPECT_EQ(ParseCommandLine({"-M+7900"}).Value, "+7900");
  const CommandLineRequest task = ParseCommandLine({"-Fmeters.tsm"});
  EXPECT_EQ(task.Action, CommandAction::TaskFile);
  EXPECT_EQ(task.Value, "meters.tsm");
  EXPECT_EQ(ParseCommandLine({"meter.DTM"}).Action, CommandAction::None);
}

TEST(ParseCommandLine, NonNumericPortIsAnErrorNamingTheArgument) {
  const CommandLineRequest request = ParseCommandLine({"-Pabc", "-A1"});
  EXPECT_NE(request.Error.find("-Pabc"), std::string::npos);
  EXPECT_FALSE(ParseCommandLine({"-P0"}).Error.empty());
}

}  // namespace
}  // namespace velk
