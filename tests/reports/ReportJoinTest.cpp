// Writing report files and joining them with the previous reading's file.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <ctime>
#include <filesystem>

#include "LayoutReader.h"
#include "ReportFixtures.h"
#include "common/ExchangeMonitor.h"
#include "common/Platform.h"
#include "common/UserInterface.h"
#include "reports/ReportFile.h"
#include "support/TempDir.h"

namespace velk {
namespace {

namespace fs = std::filesystem;
using test::HourOf;
using test::LayoutReader;

constexpr const char* Base = "53-01234-1";

TsvRecord Hour(double t, double q = 1) {
  TsvRecord r;
  r.DateTime = t;
  r.Q = q;
  return r;
}

// An image whose hourly table runs from `firstHour` for `count` hours; its last
// full hour is the hour after the last record.
TTsvReportImage ImageOfHours(int firstHour, int count, double marker = 1) {
  TTsvReportImage image;
  for (int i = 0; i < count; ++i) image.HourData.push_back(Hour(HourOf(firstHour + i), marker));
  image.LastHourData.RealTime = HourOf(firstHour + count);
  image.LastReadData = {HourOf(firstHour + count) + 0.01, marker * 100, 1, 2, 3, 4, 5, 6, 7};
  return image;
}

class ReportJoin : public ::testing::Test {
 protected:
  ReportWriteOutcome Write(TTsvReportImage& image, int n, bool join = true, int readMode = 0) {
    ReportWriteRequest request;
    request.Folder = dir.Text();
    request.Names = ReportFileNames(dir.Text(), Base, n, ".tsv");
    request.JoinFiles = join;
    request.ReadMode = readMode;
    request.ReadTime = *EncodeDateTime({2024, 3, 5, 12, 0, 5, 0});
    ReportWriteSinks sinks{monitor, ui, [this] { ++closed; }};
    return WriteReportFile(image, request, sinks);
  }
  fs::path File(int n, const char* ext = ".tsv") const {
    return dir / (std::string(Base) + "-" + SequenceText(n) + ext);
  }
  LayoutReader Read(int n) const { return LayoutReader(test::ReadBytes(File(n))); }

  test::TempDir dir;
  ExchangeMonitor monitor;
  DirectUserInterface ui;
  int closed = 0;
};

TEST_F(ReportJoin, WithoutPreviousFileTheNewFileIsWrittenDirectly) {
  auto image = ImageOfHours(0, 10);
  EXPECT_EQ(Write(image, 4), ReportWriteOutcome::Written);
  const auto r = Read(4);
  EXPECT_EQ(r.Size(), 1025u + 98u * (10 + image.DayData.size() + image.MontData.size()));
  EXPECT_EQ(r.U16(test::tsv::HourCount), 10);
  EXPECT_FALSE(fs::exists(File(4, ".old")));
}

TEST_F(ReportJoin, ThreeHourGapGetsFillersForTheTwoMissingHours) {
  auto old = ImageOfHours(0, 10, 1);
  Write(old, 4);
  test::WriteBytes(File(3), {1, 2, 3});    // the file two back
  test::WriteBytes(File(4, ".old"), {1});  // the previous run's temporary file
  auto fresh = ImageOfHours(12, 5, 2);     // first hour 3 hours after the old last hour (9)
  EXPECT_EQ(Write(fresh, 5), ReportWriteOutcome::Joined);

  const auto r = Read(5);
  ASSERT_EQ(r.U16(test::tsv::HourCount), 17);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(test::TsvRecordAt(r, 0, i).Q, 1) << i;
  EXPECT_NEAR(test::TsvRecordAt(r, 0, 10).DateTime, HourOf(10), 1e-9);
  EXPECT_EQ(test::TsvRecordAt(r, 0, 10).ErrorCode, 512);
  EXPECT_EQ(test::TsvRecordAt(r, 0, 11).ErrorCode, 512);
  EXPECT_NEAR(test::TsvRecordAt(r, 0, 11).DateTime, HourOf(11), 1e-9);
  EXPECT_EQ(test::TsvRecordAt(r, 0, 12).DateTime, HourOf(12));
  EXPECT_EQ(test::TsvRecordAt(r, 0, 12).Q, 2);
  // The previous reading's totals, and the files that go or stay.
  EXPECT_EQ(r.F64(test::tsv::PrevRead), old.LastReadData.RealTime);
  EXPECT_EQ(r.F64(test::tsv::PrevRead + 8), 100);
  EXPECT_FALSE(fs::exists(File(3)));
  EXPECT_FALSE(fs::exists(File(4, ".old")));
  EXPECT_TRUE(fs::exists(File(4)));
  EXPECT_TRUE(fs::exists(File(5, ".old")));
  // The image shows what the file holds, days and months rebuilt.
  EXPECT_EQ(fresh.HourData.size(), 17u);
  EXPECT_EQ(r.U16(test::tsv::DayCount), fresh.DayData.size());
  EXPECT_EQ(r.Size(), 1025u + 98u * (17 + fresh.DayData.size() + fresh.MontData.size()));
}

TEST_F(ReportJoin, SeamFillerTimesAreWholeSeconds) {
  auto old = ImageOfHours(0, 3);
  old.HourData.back().DateTime += 0.4 / 86400;  // 0.4 s off the hour
  Write(old, 1);
  auto fresh = ImageOfHours(5, 2);
  Write(fresh, 2);
  const auto r = Read(2);
  const double filler = test::TsvRecordAt(r, 0, 3).DateTime;
  EXPECT_DOUBLE_EQ(filler * 86400, std::nearbyint(filler * 86400));
  EXPECT_NEAR(filler, HourOf(3), 1e-9);
}

TEST_F(ReportJoin, NextHourJoinsWithoutFiller) {
  auto old = ImageOfHours(0, 4);
  Write(old, 1);
  auto fresh = ImageOfHours(4, 4);
  Write(fresh, 2);
  const auto r = Read(2);
  ASSERT_EQ(r.U16(test::tsv::HourCount), 8);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(test::TsvRecordAt(r, 0, i).ErrorCode, 0);
}

TEST_F(ReportJoin, FiveHourOverlapLeavesOutSixNewRecords) {
  auto old = ImageOfHours(0, 20, 1);  // last hour 19
  Write(old, 7);
  auto fresh = ImageOfHours(14, 10, 2);  // 14..23: 14..19 already held
  EXPECT_EQ(Write(fresh, 8), ReportWriteOutcome::Joined);
  const auto r = Read(8);
  ASSERT_EQ(r.U16(test::tsv::HourCount), 24);
  EXPECT_EQ(test::TsvRecordAt(r, 0, 19).Q, 1);
  EXPECT_EQ(test::TsvRecordAt(r, 0, 20).Q, 2);
  EXPECT_EQ(test::TsvRecordAt(r, 0, 20).DateTime, HourOf(20));
}

TEST_F(ReportJoin, SameLastHourCountsAsOverlap) {
  auto old = ImageOfHours(0, 5, 1);
  Write(old, 1);
  auto fresh = ImageOfHours(4, 3, 2);  // its first hour is the old last hour
  Write(fresh, 2);
  const auto r = Read(2);
  ASSERT_EQ(r.U16(test::tsv::HourCount), 7);
  EXPECT_EQ(test::TsvRecordAt(r, 0, 4).Q, 1);
  EXPECT_EQ(test::TsvRecordAt(r, 0, 5).DateTime, HourOf(5));
}

TEST_F(ReportJoin, NewerPreviousFileLeavesTheDataInTheTemporaryFile) {
  auto old = ImageOfHours(100, 10);
  Write(old, 2);
  test::WriteBytes(File(1), {1});
  auto fresh = ImageOfHours(0, 10);
  EXPECT_EQ(Write(fresh, 3), ReportWriteOutcome::PreviousNewer);
  EXPECT_FALSE(fs::exists(File(3)));
  EXPECT_TRUE(fs::exists(File(3, ".old")));
  EXPECT_TRUE(fs::exists(File(1)));
  EXPECT_EQ(LayoutReader(test::ReadBytes(File(3, ".old"))).U16(test::tsv::HourCount), 10);
}

TEST_F(ReportJoin, JoinedArchiveKeepsAtMost17520HoursBeforeTheNewestLastHour) {
  auto old = ImageOfHours(0, 17000);
  Write(old, 1);
  auto fresh = ImageOfHours(17000, 1000);  // last hour 18000: 480 old hours fall out
  Write(fresh, 2);
  const auto r = Read(2);
  ASSERT_EQ(r.U16(test::tsv::HourCount), 17520);
  EXPECT_EQ(test::TsvRecordAt(r, 0, 0).DateTime, HourOf(480));
  EXPECT_NEAR((fresh.LastHourData.RealTime - test::TsvRecordAt(r, 0, 0).DateTime) * 24, 17520, 1e-6);
  EXPECT_LE(fresh.DayData.size(), DayReportCapacity);
  EXPECT_LE(fresh.MontData.size(), MonthReportCapacity);
}

TEST_F(ReportJoin, LongGapDropsTheOldArchiveAndTheFillersBeyondTheLimit) {
  auto old = ImageOfHours(0, 100);
  Write(old, 1);
  auto fresh = ImageOfHours(30000, 10);
  Write(fresh, 2);
  const auto r = Read(2);
  ASSERT_EQ(r.U16(test::tsv::HourCount), 17520);
  EXPECT_NEAR(test::TsvRecordAt(r, 0, 0).DateTime, HourOf(30010 - 17520), 1e-6);
  EXPECT_EQ(test::TsvRecordAt(r, 0, 0).ErrorCode, 512);
  EXPECT_EQ(test::TsvRecordAt(r, 0, 17519).DateTime, HourOf(30009));
}

TEST_F(ReportJoin, RecordsThatAreNotContiguousAreCutToTheTableCapacity) {
  auto old = ImageOfHours(0, 17000, 1);
  Write(old, 1);
  TTsvReportImage fresh;
  for (int i = 0; i < 2000; ++i) fresh.HourData.push_back(Hour(HourOf(17000), 2));
  fresh.LastHourData.RealTime = HourOf(17000);
  Write(fresh, 2);
  const auto r = Read(2);
  ASSERT_EQ(r.U16(test::tsv::HourCount), HourReportCapacity);
  EXPECT_EQ(test::TsvRecordAt(r, 0, 0).DateTime, HourOf(17000 + 2000 - 17521));
  EXPECT_EQ(test::TsvRecordAt(r, 0, HourReportCapacity - 1).Q, 2);
}

TEST_F(ReportJoin, NumberOneLooksForTheNameWithADoubledMinus) {
  const auto names = ReportFileNames("C:\\D", Base, 1, ".tsv");
  EXPECT_EQ(names.NewFile, "C:\\D\\53-01234-1-001.tsv");
  EXPECT_EQ(names.PreviousFile, "C:\\D\\53-01234-1-000.tsv");
  EXPECT_EQ(names.TemporaryFile, "C:\\D\\53-01234-1-001.old");
  EXPECT_EQ(names.PreviousTemporaryFile, "C:\\D\\53-01234-1-000.old");
  EXPECT_EQ(names.TwoBackFile, "C:\\D\\53-01234-1--001.tsv");

  auto old = ImageOfHours(0, 3);
  Write(old, 0);
  auto fresh = ImageOfHours(3, 3);
  EXPECT_EQ(Write(fresh, 1), ReportWriteOutcome::Joined);
  EXPECT_TRUE(fs::exists(File(0)));
  EXPECT_EQ(Read(1).U16(test::tsv::HourCount), 6);
}

TEST_F(ReportJoin, AfterTheCounterWrapsThereIsNoPreviousFile) {
  auto old = ImageOfHours(0, 3);
  Write(old, 999);
  auto fresh = ImageOfHours(3, 3);
  EXPECT_EQ(Write(fresh, 1), ReportWriteOutcome::Written);
  EXPECT_EQ(Read(1).U16(test::tsv::HourCount), 3);
  EXPECT_TRUE(fs::exists(File(999)));
}

TEST_F(ReportJoin, CurrentValuesDumpGetsOneNameAndIsNeverJoined) {
  const auto names = ReportFileNames("C:\\D\\", Base, -1, ".tsv");
  EXPECT_EQ(names.NewFile, "C:\\D\\53-01234-1.tsv");
  EXPECT_TRUE(names.PreviousFile.empty() && names.TemporaryFile.empty() && names.TwoBackFile.empty());
  auto first = ImageOfHours(0, 3);
  Write(first, -1);
  auto second = ImageOfHours(3, 3);
  EXPECT_EQ(Write(second, -1), ReportWriteOutcome::Written);
  EXPECT_EQ(LayoutReader(test::ReadBytes(dir / "53-01234-1.tsv")).U16(test::tsv::HourCount), 3);
}

TEST_F(ReportJoin, WithJoiningOffEveryReadingGetsAFreshFile) {
  auto old = ImageOfHours(0, 3);
  Write(old, 1, false);
  auto fresh = ImageOfHours(3, 3);
  EXPECT_EQ(Write(fresh, 2, false), ReportWriteOutcome::Written);
  const auto r = Read(2);
  EXPECT_EQ(r.U16(test::tsv::HourCount), 3);
  EXPECT_TRUE(r.AllBytes(test::tsv::PrevRead, 72, 0));
  EXPECT_FALSE(fs::exists(File(2, ".old")));
}

TEST_F(ReportJoin, CurrentValuesReadingStaysInTheTemporaryFile) {
  auto old = ImageOfHours(0, 3);
  Write(old, 1);
  auto fresh = ImageOfHours(3, 3);
  EXPECT_EQ(Write(fresh, 2, true, 2), ReportWriteOutcome::LeftInTemporary);
  EXPECT_FALSE(fs::exists(File(2)));
  EXPECT_TRUE(fs::exists(File(2, ".old")));
}

TEST_F(ReportJoin, PreviousFileWithoutHoursGivesOnlyItsReadingTotals) {
  auto old = ImageOfHours(0, 0, 3);
  Write(old, 1);
  auto fresh = ImageOfHours(3, 4);
  EXPECT_EQ(Write(fresh, 2), ReportWriteOutcome::Joined);
  const auto r = Read(2);
  EXPECT_EQ(r.U16(test::tsv::HourCount), 4);
  EXPECT_EQ(r.F64(test::tsv::PrevRead + 8), 300);
}

TEST_F(ReportJoin, DamagedPreviousFileIsReportedAndNotJoinedOnto) {
  auto old = ImageOfHours(0, 10);
  Write(old, 1);
  auto bytes = test::ReadBytes(File(1));
  bytes.resize(bytes.size() - 98);  // shorter than its header says
  test::WriteBytes(File(1), bytes);
  auto fresh = ImageOfHours(10, 3);
  EXPECT_EQ(Write(fresh, 2), ReportWriteOutcome::PreviousUnusable);
  EXPECT_EQ(Read(2).U16(test::tsv::HourCount), 3);
  EXPECT_EQ(test::ReadBytes(File(1)), bytes);
  ASSERT_FALSE(monitor.Lines().empty());
  EXPECT_NE(monitor.Lines().back().find(std::string(Base) + "-001.tsv'"), std::string::npos);
  EXPECT_EQ(ui.StatusColour, ColourRed);

  test::WriteBytes(File(2), {1, 2, 3});  // not even a header
  auto third = ImageOfHours(13, 3);
  EXPECT_EQ(Write(third, 3), ReportWriteOutcome::PreviousUnusable);
  EXPECT_TRUE(fs::exists(File(2)));

  // A last hourly record whose time no calendar holds: the seam fillers would be stamped
  // from it and the joined file refused by the next join.
  auto damagedTime = ImageOfHours(0, 10);
  damagedTime.HourData.back().DateTime = -5.9e185;
  auto next = ImageOfHours(20, 3);
  const PreviousJoinResult join = JoinPreviousReport(next, SerializeTsvReport(damagedTime));
  EXPECT_EQ(join.Outcome, PreviousJoin::Unusable);
  EXPECT_EQ(join.Problem, "недопустимое время записи 10");
  EXPECT_EQ(next.HourData.size(), 3u);
}

TEST_F(ReportJoin, FileThatCannotBeCreatedIsReportedAndNothingElseIsDone) {
  test::WriteBytes(dir / "blocker", {1});
  ReportWriteRequest request;
  request.Folder = (dir / "blocker" / "TSV1").string();
  request.Names = ReportFileNames(request.Folder, Base, 3, ".tsv");
  request.CfgPath = (dir / "m.cfg").string();
  request.CommandLine = true;
  ReportWriteSinks sinks{monitor, ui, [this] { ++closed; }};
  auto image = ImageOfHours(0, 3);
  EXPECT_EQ(WriteReportFile(image, request, sinks), ReportWriteOutcome::CreateFailed);
  ASSERT_EQ(monitor.Lines().size(), 1u);
  EXPECT_EQ(monitor.Lines()[0], "Ошибка создания Файла '" + request.Names.NewFile + "'");
  EXPECT_EQ(ui.StatusText, "Ошибка записи в Файл");
  EXPECT_EQ(ui.StatusColour, ColourRed);
  EXPECT_EQ(closed, 1);
  EXPECT_FALSE(fs::exists(dir / "m.cfg"));
}

TEST_F(ReportJoin, MeterRecordIsRewrittenWithTheConvertedDump) {
  ReportWriteRequest request;
  request.Folder = dir.Text();
  request.Names = ReportFileNames(dir.Text(), Base, 999, ".tsv");
  request.CfgPath = (dir / "53-01234.cfg").string();
  request.Cfg = {StoredDumpNumber(999), 0x123456, 0x654321, 45000.5};
  ReportWriteSinks sinks{monitor, ui, nullptr};
  auto image = ImageOfHours(0, 3);
  WriteReportFile(image, request, sinks);
  const LayoutReader cfg(test::ReadBytes(dir / "53-01234.cfg"));
  ASSERT_EQ(cfg.Size(), 20u);
  EXPECT_EQ(cfg.I32(0), 0);
  EXPECT_EQ(cfg.I32(4), 0x123456);
  EXPECT_EQ(cfg.I32(8), 0x654321);
  EXPECT_EQ(cfg.F64(12), 45000.5);
  EXPECT_EQ(StoredDumpNumber(-1), -1);
  EXPECT_EQ(StoredDumpNumber(998), 998);
}

std::tm LocalModificationTime(const fs::path& file) {
  const auto sys = std::chrono::file_clock::to_sys(fs::last_write_time(file));
  const std::time_t seconds = std::chrono::system_clock::to_time_t(sys);
  const DateTimeParts parts = platform::LocalTimeParts(seconds, 0);
  std::tm local{};
  local.tm_year = parts.Year - 1900;
  local.tm_mon = parts.Month - 1;
  local.tm_mday = parts.Day;
  local.tm_hour = parts.Hour;
  local.tm_min = parts.Minute;
  local.tm_sec = parts.Second;
  return local;
}

TEST_F(ReportJoin, FileTimeIsTheReadingTimeInTwoSecondSteps) {
  auto image = ImageOfHours(0, 3);
  Write(image, 1);
  const std::tm t = LocalModificationTime(File(1));
  EXPECT_EQ(t.tm_year, 124);
  EXPECT_EQ(t.tm_mon, 2);
  EXPECT_EQ(t.tm_mday, 5);
  EXPECT_EQ(t.tm_hour, 12);
  EXPECT_EQ(t.tm_min, 0);
  EXPECT_EQ(t.tm_sec, 4);

  const auto before = fs::last_write_time(File(1));
  SetReportFileTime(File(1).string(), *EncodeDate(1979, 12, 31));
  EXPECT_EQ(fs::last_write_time(File(1)), before);
  SetReportFileTime((dir / "missing.tsv").string(), *EncodeDate(2020, 1, 1));
  EXPECT_FALSE(fs::exists(dir / "missing.tsv"));
}

}  // namespace
}  // namespace velk
