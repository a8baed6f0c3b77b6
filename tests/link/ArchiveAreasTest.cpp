#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "link/ArchiveAreas.h"

namespace velk {
namespace {

// An image after the constants, with the ring description of a family >= 50 at [640], [643], [649].
struct Image {
  std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(100001, 0);
  void Put16(int at, int value) {
    bytes[at] = static_cast<std::uint8_t>(value);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
  }
  void Ring(int start, int end, int pointer) {
    Put16(640, start);
    Put16(643, end);
    Put16(649, pointer);
  }
  ImageView View() const { return bytes; }
};

ArchiveInput Changes(int family, int savedPointer, double hoursAgo = 1.0) {
  ArchiveInput in;
  in.FamilyCode = family;
  in.ReadMode = 1;
  in.SavedPointer = savedPointer;
  in.Now = 46000.5;
  in.SavedReadTime = in.Now - hoursAgo / 24.0;
  in.DumpLength = family < 50 ? 1060 : 768;
  return in;
}

struct Area {
  int Address, Count, Destination;
  bool operator==(const Area&) const = default;
};
std::vector<Area> AreasOf(const ArchivePlan& plan) {
  std::vector<Area> out;
  for (const auto& e : plan.Areas) out.push_back({e.Address, e.Count, e.Destination});
  return out;
}

TEST(ArchivePlan, FullModePerFamily) {
  Image img;
  ArchiveInput in = Changes(53, 0);
  ArchivePlan plan = PlanArchive(in, img.View());  // no saved pointer: the whole memory
  EXPECT_EQ(plan.ReadMode, 0);
  ASSERT_EQ(plan.Areas.size(), 255u);
  EXPECT_EQ(plan.Areas.front().Address, 0x0100);
  EXPECT_EQ(plan.Areas.front().Destination, 768);
  EXPECT_EQ(plan.Areas.back().Address, 0xFF00);
  EXPECT_EQ(plan.Areas.back().Destination, 768 + 256 * 254);
  EXPECT_EQ(plan.Areas.back().Count, 0);
  EXPECT_EQ(plan.DumpLength, 66048);
  EXPECT_FALSE(plan.AppendedSize);

  const std::array<std::array<int, 3>, 4> table{
      {{30, 63, 16896}, {50, 127, 33280}, {51, 127, 33280}, {60, 127, 33280}}};
  for (const auto& [family, entries, length] : table) {
    in.FamilyCode = family;
    plan = PlanFullArchive(in, img.View());
    EXPECT_EQ(plan.Areas.size(), static_cast<std::size_t>(entries)) << family;
    EXPECT_EQ(plan.DumpLength, length) << family;
  }
  // An unknown family has no areas: nothing is read.
  in.FamilyCode = 87;
  plan = PlanArchive(in, img.View());
  EXPECT_TRUE(plan.Areas.empty());
  EXPECT_EQ(plan.ReadMode, 2);
  EXPECT_EQ(plan.DumpLength, 768);
}

TEST(ArchivePlan, PulseCounterSizeFromConstants) {
  Image img;
  ArchiveInput in = Changes(70, 0);
  img.bytes[518] = 0x00;
  img.bytes[519] = 0x30;  // 0x3000 bytes of memory + 512 = L
  img.bytes[520] = 0x00;
  ArchivePlan plan = PlanFullArchive(in, img.View());
  EXPECT_EQ(plan.DumpLength, 0x3000 + 512);
  EXPECT_EQ(plan.Areas.size(), static_cast<std::size_t>((0x3000 + 512 - 768 + 255) / 256));
  // A size beyond the 16-bit memory stops at the last area 0xFF00.
  img.bytes[520] = 0x10;
  plan = PlanFullArchive(in, img.View());
  EXPECT_EQ(plan.Areas.size(), 255u);
  EXPECT_EQ(plan.DumpLength, 66048);
  EXPECT_FALSE(plan.Note.empty());
}

TEST(ArchivePlan, ModeChoice) {
  Image img;
  img.Ring(0x0400, 0xFFFF, 0x1040);
  ArchiveInput in = Changes(53, 0x1000);
  in.ReadMode = 0;
  EXPECT_EQ(PlanArchive(in, img.View()).Areas.size(), 255u);
  in.ReadMode = 2;
  const ArchivePlan current = PlanArchive(in, img.View());
  EXPECT_EQ(current.ReadMode, 2);
  EXPECT_TRUE(current.Areas.empty());
  EXPECT_FALSE(current.AppendedSize);
}

TEST(ArchivePlan, ChangesWithoutWrap) {
  Image img;
  img.Ring(0x0400, 0xFFFF, 0x1040);
  const ArchivePlan plan = PlanArchive(Changes(53, 0x1000), img.View());
  EXPECT_EQ(plan.ReadMode, 1);
  EXPECT_EQ(AreasOf(plan), (std::vector<Area>{{0x1000, 0x60, 768}}));  // up to the end of the newest record
  EXPECT_EQ(plan.AppendedSize, 0x60u);
  EXPECT_EQ(plan.DumpLength, 768 + 0x60);

  // More than 256 bytes: full areas first, the rest in the last one.
  img.Put16(649, 0x1200);
  EXPECT_EQ(AreasOf(PlanArchive(Changes(53, 0x1000), img.View())),
            (std::vector<Area>{{0x1000, 0, 768}, {0x1100, 0, 1024}, {0x1200, 0x20, 1280}}));
}

TEST(ArchivePlan, NoChangeReadsNothing) {
  Image img;
  img.Ring(0x0400, 0x7FFF, 0x2000);
  const ArchivePlan plan = PlanArchive(Changes(50, 0x2000, 0.2), img.View());
  EXPECT_TRUE(plan.Areas.empty());
  EXPECT_EQ(plan.ReadMode, 2);
  EXPECT_EQ(plan.AppendedSize, 0u);
  EXPECT_EQ(plan.DumpLength, 768);
}

TEST(ArchivePlan, ChangesAcrossTheRingEnd) {
  Image img;
  img.Ring(0x0400, 0xFFFF, 0x0500);  // T = 0x0520
  const ArchivePlan plan = PlanArchive(Changes(53, 0xFF00), img.View());
  EXPECT_EQ(plan.ReadMode, 1);
  EXPECT_EQ(AreasOf(plan), (std::vector<Area>{{0xFF00, 0, 768}, {0x0400, 0, 1024}, {0x0500, 0x20, 1280}}));
  EXPECT_EQ(plan.AppendedSize, 0x100u + 0x120u);
  EXPECT_EQ(plan.DumpLength, 768 + 0x220);
}

TEST(ArchivePlan, RingOverrunReadsTheWholeRingOldestFirst) {
  Image img;
  img.Ring(0x1000, 0x1FFF, 0x1800);  // Q = 4096 bytes = 128 records of 32 bytes; T = 0x1820
  ArchivePlan plan = PlanArchive(Changes(53, 0x1400, 129), img.View());
  EXPECT_EQ(plan.ReadMode, 0);
  EXPECT_EQ(plan.AppendedSize, 4096u);
  EXPECT_EQ(plan.DumpLength, 768 + 4096);
  ASSERT_FALSE(plan.Areas.empty());
  EXPECT_EQ(plan.Areas.front().Address, 0x1820);
  // Oldest part T..E, then S..T-1, each ending in a short area; destinations run on.
  int total = 0;
  for (const auto& e : plan.Areas) {
    EXPECT_EQ(e.Destination, 768 + total);
    total += AreaLength(e.Count);
  }
  EXPECT_EQ(total, 4096);
  const auto areas = AreasOf(plan);
  EXPECT_EQ(areas[7], (Area{0x1F20, 0xE0, 768 + 0x700}));
  EXPECT_EQ(areas[8], (Area{0x1000, 0, 768 + 0x7E0}));
  EXPECT_EQ(areas.back(), (Area{0x1800, 0x20, 768 + 0xFE0}));

  // Exactly as many hours as the ring holds is no overrun.
  plan = PlanArchive(Changes(53, 0x1400, 128), img.View());
  EXPECT_EQ(plan.ReadMode, 1);
  EXPECT_EQ(plan.AppendedSize, 0x420u);
}

TEST(ArchivePlan, CompactMeterPointerAdjustment) {
  Image img;
  img.Ring(0x0120, 0x7FFF, 0x1000);  // R = 16: T = 0x1010
  // Above 288 the saved pointer moves back by two records.
  ArchivePlan plan = PlanArchive(Changes(50, 0x0F30), img.View());
  EXPECT_EQ(AreasOf(plan), (std::vector<Area>{{0x0F10, 0, 768}}));
  // At 288 or below it is taken from the ring end: (E + 1 - 16) - (p - 256) = 0x7FE0.
  plan = PlanArchive(Changes(51, 0x0110), img.View());
  ASSERT_GE(plan.Areas.size(), 2u);
  EXPECT_EQ(AreasOf(plan).front(), (Area{0x7FE0, 0x20, 768}));
  EXPECT_EQ(plan.Areas[1].Address, 0x0120);
  EXPECT_EQ(plan.AppendedSize, 0x20u + (0x1010u - 0x0120u));
  // Another family keeps its saved pointer.
  plan = PlanArchive(Changes(53, 0x0F30), img.View());
  EXPECT_EQ(plan.Areas.front().Address, 0x0F30);
}

TEST(ArchivePlan, OlderFamiliesUseTheirOwnRing) {
  Image img;
  img.Put16(768, 1000);  // the pointer below family 50; T = P (R = K = 13)
  const ArchivePlan plan = PlanArchive(Changes(30, 600), img.View());
  EXPECT_EQ(AreasOf(plan), (std::vector<Area>{{600, 0, 1060}, {856, 144, 1316}}));
  EXPECT_EQ(plan.AppendedSize, 400u);
  EXPECT_EQ(plan.DumpLength, 1060 + 400);
}

TEST(ArchivePlan, SavedPointerOutsideTheRingFallsBackToFull) {
  Image img;
  img.Ring(0x0400, 0xFFFF, 0x1040);
  ArchivePlan plan = PlanArchive(Changes(53, 0x0100), img.View());
  EXPECT_EQ(plan.ReadMode, 0);
  EXPECT_EQ(plan.Areas.size(), 255u);
  EXPECT_FALSE(plan.Note.empty());
  // A ring description that makes no sense (start after end) too.
  img.Ring(0x8000, 0x4000, 0x5000);
  plan = PlanArchive(Changes(53, 0x4100), img.View());
  EXPECT_EQ(plan.ReadMode, 0);
  // A pulse counter without a record size cannot be read by changes.
  img.Ring(0x0400, 0xFFFF, 0x1040);
  img.bytes[519] = 0x30;  // 0x3000 bytes of memory, record size [655] = 0
  plan = PlanArchive(Changes(70, 0x1000), img.View());
  EXPECT_EQ(plan.ReadMode, 0);
  EXPECT_EQ(plan.DumpLength, 0x3000 + 512);
}

std::vector<AreaEntry> Areas(std::initializer_list<int> addresses) {
  std::vector<AreaEntry> out;
  int destination = 768;
  for (int a : addresses) {
    AreaEntry e;
    e.Address = static_cast<std::uint16_t>(a);
    e.Destination = destination;
    destination += 256;
    out.push_back(e);
  }
  return out;
}

std::vector<std::size_t> SendAll(AreaWindowTracker& t) {
  std::vector<std::size_t> sent;
  while (auto i = t.NextToSend()) sent.push_back(*i);
  return sent;
}

TEST(AreaWindow, KeepsTheWindowFull) {
  AreaWindowTracker t(Areas({0x100, 0x200, 0x300, 0x400}), 2);
  EXPECT_EQ(SendAll(t), (std::vector<std::size_t>{0, 1}));
  EXPECT_EQ(t.Current(), 0u);
  auto r = t.OnAnswer(0x100);
  EXPECT_EQ(r.Outcome, AreaWindowTracker::Verdict::Stored);
  EXPECT_EQ(r.Entry, 0u);
  EXPECT_EQ(SendAll(t), (std::vector<std::size_t>{2}));
  EXPECT_EQ(t.OnAnswer(0x200).Entry, 1u);
  EXPECT_EQ(t.OnAnswer(0x300).Entry, 2u);
  EXPECT_EQ(SendAll(t), (std::vector<std::size_t>{3}));
  EXPECT_FALSE(t.AllDone());
  EXPECT_EQ(t.OnAnswer(0x400).Entry, 3u);
  EXPECT_TRUE(t.AllDone());
  EXPECT_EQ(t.Entries().size(), 4u);  // nothing was requested twice
}

TEST(AreaWindow, AnswerOfALaterRequestRequeuesThePassedOne) {
  AreaWindowTracker t(Areas({0x100, 0x200, 0x300, 0x400}), 16);
  SendAll(t);
  EXPECT_EQ(t.OnAnswer(0x100).Entry, 0u);
  // 0x0300 arrives while 0x0200 is awaited: 0x0200 is appended again, the data is 0x0300's.
  const auto r = t.OnAnswer(0x300);
  EXPECT_EQ(r.Outcome, AreaWindowTracker::Verdict::Stored);
  EXPECT_EQ(r.Entry, 2u);
  ASSERT_EQ(t.Entries().size(), 5u);
  EXPECT_EQ(t.Entries()[4].Address, 0x200);
  EXPECT_EQ(t.Entries()[4].Destination, t.Entries()[1].Destination);
  EXPECT_EQ(t.Current(), 3u);
  // The late answer for 0x0200 is used after all; its re-request is not sent.
  const auto late = t.OnAnswer(0x200);
  EXPECT_EQ(late.Outcome, AreaWindowTracker::Verdict::Stored);
  EXPECT_EQ(t.Entries()[late.Entry].Destination, 768 + 256);
  EXPECT_EQ(t.OnAnswer(0x400).Entry, 3u);
  EXPECT_TRUE(t.AllDone());
  EXPECT_EQ(t.NextToSend(), std::nullopt);
}

TEST(AreaWindow, LostAnswersAreRequestedAgain) {
  AreaWindowTracker t(Areas({0x100, 0x200}), 1);
  SendAll(t);
  EXPECT_TRUE(t.OnFailure());
  EXPECT_EQ(t.Outstanding(), 0u);
  EXPECT_EQ(SendAll(t), (std::vector<std::size_t>{1}));
  EXPECT_EQ(t.OnAnswer(0x200).Entry, 1u);
  EXPECT_EQ(SendAll(t), (std::vector<std::size_t>{2}));  // the copy of 0x0100
  EXPECT_EQ(t.Entries()[2].Address, 0x100);
  EXPECT_EQ(t.OnAnswer(0x100).Entry, 2u);
  EXPECT_TRUE(t.AllDone());  // the original entry counts as done with its copy
}

TEST(AreaWindow, DuplicateAndUnknownAnswers) {
  AreaWindowTracker t(Areas({0x100, 0x200}), 2);
  SendAll(t);
  t.OnAnswer(0x100);
  EXPECT_EQ(t.OnAnswer(0x100).Outcome, AreaWindowTracker::Verdict::Duplicate);
  EXPECT_EQ(t.OnAnswer(0x7700).Outcome, AreaWindowTracker::Verdict::Unmatched);
  EXPECT_EQ(t.Current(), 1u);  // still awaited
}

TEST(AreaWindow, TableNeverGrowsPastItsCapacity) {
  std::vector<int> addresses;
  std::vector<AreaEntry> areas;
  for (int i = 0; i < 255; ++i) {
    AreaEntry e;
    e.Address = static_cast<std::uint16_t>(256 * (i + 1));
    areas.push_back(e);
  }
  AreaWindowTracker t(areas, 1);
  int failures = 0;
  for (;;) {
    SendAll(t);
    if (!t.OnFailure()) break;
    ++failures;
  }
  EXPECT_EQ(failures, 500 - 255);
  EXPECT_EQ(t.Entries().size(), AreaTableCapacity);

  // A burst of passed-over requests that would not fit ends as TableFull as well.
  AreaWindowTracker wide(std::vector<AreaEntry>(areas.begin(), areas.begin() + 255), 255);
  SendAll(wide);
  for (int i = 0; i < 245 - 10; ++i) {
    // keep failing the oldest until only a little room is left
    ASSERT_TRUE(wide.OnFailure());
  }
  EXPECT_EQ(wide.OnAnswer(0xFF00).Outcome, AreaWindowTracker::Verdict::TableFull);
}

TEST(ArchiveLayoutTest, FullImageAndAppendedAreas) {
  ArchiveLayout full = ArchiveLayout::Full();
  const auto pieces = full.Place(0x1234, 40);
  ASSERT_EQ(pieces.size(), 1u);
  EXPECT_EQ(pieces[0].Destination, 512 + 0x1234);

  // Changes mode read 0x1000..0x105F to [768..]; the meter then wrote up to 0x1080.
  std::vector<AreaEntry> areas;
  std::int32_t destination = 768;
  AppendAreas(areas, 0x1000, 0x1060, destination);
  ArchiveLayout appended = ArchiveLayout::Appended(areas, 768, 0x60);
  const auto placed = appended.Place(0x1040, 0x40);
  ASSERT_EQ(placed.size(), 2u);
  EXPECT_EQ(placed[0].Address, 0x1040);
  EXPECT_EQ(placed[0].Length, 0x20);
  EXPECT_EQ(placed[0].Destination, 768 + 0x40);
  EXPECT_EQ(placed[1].Address, 0x1060);
  EXPECT_EQ(placed[1].Length, 0x20);
  EXPECT_EQ(placed[1].Destination, 768 + 0x60);  // behind the appended data
  EXPECT_EQ(appended.AppendedSize(), 0x80u);
  EXPECT_EQ(appended.AppendEnd(), 768 + 0x80);
  // Placing the same bytes again finds them where they went.
  EXPECT_EQ(appended.Place(0x1070, 4)[0].Destination, 768 + 0x70);
}

TEST(NewHour, RegionsAreCutIntoRequests) {
  ArchiveGeometry g;
  g.RingStart = 0x0400;
  g.RingEnd = 0xFFFF;
  g.RecordSize = 32;
  g.Pointer = 0x1040;
  auto regions = NewHourRegions(g, 0x1000);
  ASSERT_EQ(regions.size(), 1u);
  ASSERT_EQ(regions[0].size(), 1u);
  EXPECT_EQ(regions[0][0].Address, 0x1000);
  EXPECT_EQ(regions[0][0].Length, 0x60);

  // A count above 256 is split.
  g.Pointer = 0x1200;
  regions = NewHourRegions(g, 0x1000);
  ASSERT_EQ(regions[0].size(), 3u);
  EXPECT_EQ(regions[0][2].Address, 0x1200);
  EXPECT_EQ(regions[0][2].Length, 0x20);

  // Round the ring end: to and including the last byte, then from the ring start.
  g.Pointer = 0x0400;
  regions = NewHourRegions(g, 0xFFE0);
  ASSERT_EQ(regions.size(), 2u);
  EXPECT_EQ(regions[0][0].Address, 0xFFE0);
  EXPECT_EQ(regions[0][0].Length, 0x20);
  EXPECT_EQ(regions[1][0].Address, 0x0400);
  EXPECT_EQ(regions[1][0].Length, 0x20);

  // The pointer has not moved yet: only the newest record.
  g.Pointer = 0x2000;
  regions = NewHourRegions(g, 0x2000);
  ASSERT_EQ(regions.size(), 1u);
  EXPECT_EQ(regions[0][0].Length, 32);
}

}  // namespace
}  // namespace velk
