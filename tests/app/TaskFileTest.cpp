#include <gtest/gtest.h>

#include "app/TaskFile.h"
#include "common/Text1251.h"
#include "support/TempDir.h"

namespace velk {
namespace {

using test::TempDir;

// A task record written from the layout table.
std::vector<std::uint8_t> TaskBytes(int mode, int modBox, const std::string& folder, const std::string& phone,
                                    int address, std::uint32_t flags) {
  std::vector<std::uint8_t> r(TaskRecordSize, 0xAA);
  r[0] = static_cast<std::uint8_t>(mode);
  r[1] = static_cast<std::uint8_t>(modBox);
  const std::string f = Utf8ToCp1251(folder);
  r[33] = static_cast<std::uint8_t>(f.size());
  std::copy(f.begin(), f.end(), r.begin() + 34);
  r[304] = static_cast<std::uint8_t>(phone.size());
  std::copy(phone.begin(), phone.end(), r.begin() + 305);
  r[334] = static_cast<std::uint8_t>(address);
  for (int i = 0; i < 4; ++i) r[336 + i] = static_cast<std::uint8_t>(flags >> (8 * i));
  return r;
}

std::vector<std::uint8_t> Join(std::initializer_list<std::vector<std::uint8_t>> records) {
  std::vector<std::uint8_t> all;
  for (const auto& r : records) all.insert(all.end(), r.begin(), r.end());
  return all;
}

TEST(TaskFile, FieldsAtTheirOffsets) {
  const auto bytes = TaskBytes(1, 3, "C:\\Данные", "8900123456", 17, 0x02);
  const TTaskRecord task =
      DecodeTaskRecord(std::span<const std::uint8_t, TaskRecordSize>(bytes.data(), TaskRecordSize));
  EXPECT_EQ(task.RGTask, 1);
  EXPECT_EQ(task.MODBox, 3);
  EXPECT_EQ(task.EdDataDir, "C:\\Данные");
  EXPECT_EQ(task.PorTelEdit, "8900123456");
  EXPECT_EQ(task.LEdSetevoyAdr, 17);
  EXPECT_FALSE(task.DATDirCreate());
  EXPECT_TRUE(task.TSVDirCreate());
}

TEST(TaskFile, OverlongShortStringsAreClamped) {
  auto bytes = TaskBytes(0, 0, "", "", 0, 0);
  bytes[304] = 255;  // the phone field holds 29 characters
  std::fill(bytes.begin() + 305, bytes.begin() + 334, '5');
  bytes[33] = 255;
  const TTaskRecord task =
      DecodeTaskRecord(std::span<const std::uint8_t, TaskRecordSize>(bytes.data(), TaskRecordSize));
  EXPECT_EQ(task.PorTelEdit, std::string(29, '5'));
  EXPECT_EQ(Utf8ToCp1251(task.EdDataDir).size(), 255u);
}

TEST(TaskFile, RecordsFromIndexOneUntilTheEnd) {
  TempDir dir;
  const auto file = dir / "job.tsm";
  test::WriteBytes(file, Join({TaskBytes(9, 9, "never", "", 0, 0), TaskBytes(0, 2, "/a", "111", 1, 3),
                               TaskBytes(2, 1, "/b", "", 5, 0)}));
  TTaskFile tasks(file);
  auto first = tasks.Next();
  ASSERT_TRUE(first);
  EXPECT_EQ(first->EdDataDir, "/a");
  auto second = tasks.Next();
  ASSERT_TRUE(second);
  EXPECT_EQ(second->LEdSetevoyAdr, 5);
  EXPECT_FALSE(tasks.Next());
}

TEST(TaskFile, OneRecordOrMissingFileReadsNoMeter) {
  TempDir dir;
  test::WriteBytes(dir / "one.tsm", TaskBytes(0, 0, "/a", "", 0, 0));
  EXPECT_FALSE(TTaskFile(dir / "one.tsm").Next());
  EXPECT_FALSE(TTaskFile(dir / "none.tsm").Next());
  // A cut-off second record is no record.
  auto bytes = Join({TaskBytes(0, 0, "", "", 0, 0), TaskBytes(0, 0, "/a", "", 0, 0)});
  bytes.pop_back();
  test::WriteBytes(dir / "cut.tsm", bytes);
  EXPECT_FALSE(ReadTaskRecord(dir / "cut.tsm", 1));
}

TEST(TaskFile, ApplyToSettings) {
  TSettingsRecord settings;
  TTaskRecord task;
  task.EdDataDir = "/meters";
  task.Flags = 1;
  ApplyTaskRecord(task, settings);
  EXPECT_EQ(settings.EdDataDir, "/meters");
  EXPECT_TRUE(settings.DATDirCreate);
  EXPECT_FALSE(settings.TSVDirCreate);
}

TEST(TaskFile, ApplyToReadPanelWithTheCommandLinePortOrTheRecordsOwn) {
  TTaskRecord task;
  task.RGTask = 2;
  task.MODBox = ItemMoxa;
  task.PorTelEdit = "10.0.0.7";
  task.LEdSetevoyAdr = 17;
  ReadPanel panel;
  ApplyTaskRecord(task, "2", panel);
  EXPECT_EQ(panel.RGTask, 2);
  EXPECT_EQ(panel.MODBox, ItemMoxa);
  EXPECT_EQ(panel.PorTelEdit, "10.0.0.7");
  EXPECT_EQ(panel.IP_PortEdit, "2");
  EXPECT_EQ(panel.LEdSetevoyAdr, "17");

  // "host:N" on the network links: the record's own entry, whatever the command line gave.
  for (int item : {ItemMoxa, ItemMoxaRlz, ItemLinkora}) {
    task.MODBox = item;
    task.PorTelEdit = "meters.example:17";
    ApplyTaskRecord(task, "2", panel);
    EXPECT_EQ(panel.PorTelEdit, "meters.example") << item;
    EXPECT_EQ(panel.IP_PortEdit, "17") << item;
  }
  // An empty or non-numeric own entry stays what it is, for the start of the reading to refuse.
  task.PorTelEdit = "meters.example:";
  ApplyTaskRecord(task, "2", panel);
  EXPECT_EQ(panel.IP_PortEdit, "");
  // Other links keep the text and the command line's entry.
  task.MODBox = ItemModem;
  task.PorTelEdit = "8900:1";
  ApplyTaskRecord(task, "2", panel);
  EXPECT_EQ(panel.PorTelEdit, "8900:1");
  EXPECT_EQ(panel.IP_PortEdit, "2");
}

}  // namespace
}  // namespace velk
