// Whole readings of a simulated family-53 meter: full and changes mode, several
// requests outstanding with faults, clock correction and the re-reads.
#include <algorithm>

#include "LinkExpectedTexts.h"
#include "LinkReadingFixture.h"
#include "imagebuilder/OtherFamilyImageBuilder.h"

namespace velk::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

TEST_F(LinkReadingTest, FullReadingCopiesTheWholeMemory) {
  StartMeter(Meter53(clock->Now()).BuildMemory());
  MakeReader(LinkKinds::Rs232);
  RunReading();

  EXPECT_EQ(reader->Status, 0);
  EXPECT_EQ(reader->FamilyCode, 53);
  EXPECT_EQ(reader->ShortSerial, Serial);
  EXPECT_EQ(reader->ReadMode, 0);
  EXPECT_EQ(image->DumpLength, 66048);
  EXPECT_EQ(reader->ProgressPercent, 100.0);
  EXPECT_EQ(ArchiveRequests(), 255);
  std::vector<std::uint16_t> addresses;
  for (const ReceivedRequest& r : sim->Meter().Requests()) {
    if (r.Code == 0xF0 && r.Address >= 0x0100) addresses.push_back(r.Address);
  }
  ASSERT_EQ(addresses.size(), 255u);
  EXPECT_EQ(addresses.front(), 0x0100);
  EXPECT_EQ(addresses.back(), 0xFF00);

  const MeterMemory m = sim->Meter().Memory();
  EXPECT_EQ(image->DumpImage[128], 83);
  EXPECT_TRUE(std::equal(m.IdentMemory.begin(), m.IdentMemory.end(), image->DumpImage.begin() + 160));
  EXPECT_TRUE(ImageHolds(m, 512, 0, 0x10000));
  for (int i = 0; i < 256; ++i) {
    if (i >= 0x12 && i < 0x18) continue;  // the clock has run on since
    EXPECT_EQ(image->DumpImage[256 + i], m.Ram[i]) << "RAM byte " << i;
  }
  EXPECT_EQ(image->DumpImage[256 + 0x16], 0x03);  // meter month
  EXPECT_EQ(image->DumpImage[140], 0x10);         // reading started at 10 o'clock
  EXPECT_EQ(sim->Meter().RequestCount(0xE8), 0);  // the clock was right
  EXPECT_EQ(sim->Meter().RequestCount(0xE9), 0);
}

TEST_F(LinkReadingTest, FullReadingOfTheOtherFamilies) {
  struct Case {
    int Family;
    std::int32_t Length;
  };
  for (const Case c : {Case{23, 16896}, Case{50, 33280}, Case{51, 33280}, Case{60, 33280}, Case{70, 33280},
                       Case{71, 33280}}) {
    OtherFamilyImageBuilder b(c.Family);
    b.SetSerial(321).SetClock(clock->Now()).FillHourRecords(30);
    StartMeter(b.BuildMemory());
    MakeReader(LinkKinds::Rs232);
    RunReading();
    EXPECT_EQ(static_cast<int>(reader->Status), 0) << "family " << c.Family;
    EXPECT_EQ(reader->FamilyCode, c.Family);
    EXPECT_EQ(reader->ShortSerial, 321);
    EXPECT_EQ(image->DumpLength, c.Length) << "family " << c.Family;
    const MeterMemory m = sim->Meter().Memory();
    EXPECT_EQ(image->DumpImage[128], m.RawDeviceCode);
    EXPECT_TRUE(ImageHolds(m, 512, 0, static_cast<std::uint32_t>(c.Length - 512))) << "family " << c.Family;
    if (c.Family < 50) {
      EXPECT_EQ(image->DumpImage[166], 2);  // code div 10, code mod 10
      EXPECT_EQ(image->DumpImage[167], 3);
      EXPECT_EQ(image->DumpImage[256 + 85], m.Ram[85]);  // the clock block read from address 0
    }
    sim->Stop();
  }
}

TEST_F(LinkReadingTest, ChangesWithoutWrapAppendTheNewRecords) {
  Family5ImageBuilder b = Meter53(clock->Now(), 123);  // newest record at 0x0100 + 122 x 32 = 0x1040
  ASSERT_EQ(b.HourPointer(), 0x1040u);
  StartMeter(b.BuildMemory());
  WriteCfg(0x1000, clock->Now() - 2.0 / 24);
  MakeReader(LinkKinds::Rs232).ReadMode = 1;
  RunReading();

  EXPECT_EQ(reader->Status, 0);
  EXPECT_EQ(reader->ReadMode, 1);
  EXPECT_EQ(image->DumpLength, 768 + 0x60);
  EXPECT_EQ(GetLe(image->DumpImage, 152, 4), 0x60u);
  EXPECT_EQ(GetLe(image->DumpImage, 156, 4), 0u);
  EXPECT_EQ(ArchiveRequests(), 1);
  EXPECT_TRUE(ImageHolds(sim->Meter().Memory(), 768, 0x1000, 0x1060));
}

TEST_F(LinkReadingTest, ChangesWithWrapReadTheRingEndThenItsStart) {
  Family5ImageBuilder b = Meter53(clock->Now(), 6);
  b.SetHourNewestSlot(1);  // slots 1524..1527, 0, 1: the ring has wrapped
  ASSERT_EQ(b.HourPointer(), 0x0120u);
  StartMeter(b.BuildMemory());
  WriteCfg(0xBF80, clock->Now() - 3.0 / 24);
  MakeReader(LinkKinds::Rs232).ReadMode = 1;
  RunReading();

  EXPECT_EQ(reader->Status, 0);
  EXPECT_EQ(reader->ReadMode, 1);
  const std::uint32_t total = (0xC000 - 0xBF80) + (0x0140 - 0x0100);
  EXPECT_EQ(GetLe(image->DumpImage, 152, 4), total);
  EXPECT_EQ(image->DumpLength, static_cast<std::int32_t>(768 + total));
  const MeterMemory m = sim->Meter().Memory();
  EXPECT_TRUE(ImageHolds(m, 768, 0xBF80, 0xC000));
  EXPECT_TRUE(ImageHolds(m, 768 + 0x80, 0x0100, 0x0140));
}

TEST_F(LinkReadingTest, NoChangeReadsNothingMore) {
  Family5ImageBuilder b = Meter53(clock->Now(), 50);
  StartMeter(b.BuildMemory());
  WriteCfg(b.HourPointer(), clock->Now() - 0.2 / 24);
  MakeReader(LinkKinds::Rs232).ReadMode = 1;
  RunReading();

  EXPECT_EQ(reader->Status, 0);
  EXPECT_EQ(reader->ReadMode, 2);
  EXPECT_EQ(image->DumpLength, 768);
  EXPECT_EQ(GetLe(image->DumpImage, 152, 4), 0u);
  EXPECT_EQ(ArchiveRequests(), 0);
}

TEST_F(LinkReadingTest, RingOverrunReadsTheWholeRingOldestFirst) {
  Family5ImageBuilder b = Meter53(clock->Now(), 1528);
  b.SetHourNewestSlot(700);
  const std::uint32_t t = b.HourPointer() + 32;
  StartMeter(b.BuildMemory());
  WriteCfg(0x2000, clock->Now() - 100);  // 100 days: more hours than the ring holds
  MakeReader(LinkKinds::Rs232).ReadMode = 1;
  RunReading();

  EXPECT_EQ(reader->Status, 0);
  EXPECT_EQ(reader->ReadMode, 0);
  EXPECT_EQ(GetLe(image->DumpImage, 152, 4), 0xBF00u);
  EXPECT_EQ(image->DumpLength, 768 + 0xBF00);
  const MeterMemory m = sim->Meter().Memory();
  EXPECT_TRUE(ImageHolds(m, 768, t, 0xC000));
  EXPECT_TRUE(ImageHolds(m, 768 + static_cast<std::int32_t>(0xC000 - t), 0x0100, t));
}

TEST_F(LinkReadingTest, WindowOf16SurvivesReorderedAndLostAnswers) {
  MeterSimOptions options;
  options.Link = MeterSimOptions::Transport::Tcp;
  options.Faults = {{FaultKind::Reorder, 0xF0, 0x0300},
                    {FaultKind::NoAnswer, 0xF0, 0x0500},
                    {FaultKind::CorruptChecksum, 0xF0, 0x0900},
                    {FaultKind::Reorder, 0xF0, 0x2000},
                    {FaultKind::Noise, 0xF0, 0x6000, 0, 1, 7}};
  StartMeter(Meter53(clock->Now()).BuildMemory(), options);
  TConnectTread& r = MakeReader(LinkKinds::TcpRlz);
  r.AreaWindow = 16;
  RunReading();

  EXPECT_EQ(static_cast<int>(reader->Status), 0) << MonitorText();
  EXPECT_EQ(image->DumpLength, 66048);
  EXPECT_EQ(sim->Faults().Hits(), 5);
  EXPECT_GT(ArchiveRequests(), 255);  // the lost ones were asked again
  EXPECT_TRUE(ImageHolds(sim->Meter().Memory(), 512, 0, 0x10000));
}

TEST_F(LinkReadingTest, ShortAndHesitantAnswersOneAtATime) {
  MeterSimOptions options;
  options.Faults = {{FaultKind::DropByte, 0xF0, 0x0700},              // ends short: asked again
                    {FaultKind::Stall, 0xF0, 0x0800, 0, 1, 100, 60},  // a pause within the byte limit
                    {FaultKind::NoAnswer, 0xF0, 0x0A00}};
  StartMeter(Meter53(clock->Now()).BuildMemory(), options);
  MakeReader(LinkKinds::Rs232);
  RunReading();

  EXPECT_EQ(static_cast<int>(reader->Status), 0) << MonitorText();
  EXPECT_EQ(ArchiveRequests(), 257);
  EXPECT_TRUE(ImageHolds(sim->Meter().Memory(), 512, 0, 0x10000));
}

TEST_F(LinkReadingTest, ClockCorrectionOnlyWhenTheMeterClockIsOff) {
  StartMeter(Meter53(clock->Now(), 20).BuildMemory(), {}, -600);  // ten minutes slow
  WriteCfg(0x0100, clock->Now());  // current data only: the monitor keeps the whole reading
  MakeReader(LinkKinds::Rs232).ReadMode = 2;
  RunReading();
  EXPECT_EQ(reader->Status, 0);
  EXPECT_EQ(reader->TimeWrong, 1);
  EXPECT_EQ(reader->DateWrong, 0);
  const auto requests = sim->Meter().Requests();
  const auto setTime = std::find_if(requests.begin(), requests.end(), [](auto& q) { return q.Code == 0xE8; });
  ASSERT_NE(setTime, requests.end());
  EXPECT_EQ(setTime->Address >> 8, 0x10);  // hour 10 in BCD
  EXPECT_EQ(sim->Meter().RequestCount(0xE9), 0);
  EXPECT_THAT(MonitorText(), HasSubstr(LinkExpected::TimeCorrected));
  EXPECT_LT(std::abs(sim->Meter().MeterTime() - clock->Now()) * SecondsPerDay, 60.0);

  // A day off: the date is set as well.
  sim->Stop();
  StartMeter(Meter53(clock->Now(), 20).BuildMemory(), {}, -86400);
  MakeReader(LinkKinds::Rs232).ReadMode = 2;
  RunReading();
  EXPECT_EQ(reader->Status, 0);
  EXPECT_EQ(reader->DateWrong, 1);
  EXPECT_EQ(sim->Meter().RequestCount(0xE9), 1);
  EXPECT_THAT(MonitorText(), HasSubstr(LinkExpected::DateCorrected));
}

TEST_F(LinkReadingTest, NoCorrectionWhenTheClockIsRight) {
  StartMeter(Meter53(clock->Now(), 20).BuildMemory(), {}, 20);  // 20 s fast is within the limit
  WriteCfg(0x0100, clock->Now());
  MakeReader(LinkKinds::Rs232).ReadMode = 2;
  RunReading();
  EXPECT_EQ(reader->Status, 0);
  EXPECT_EQ(reader->TimeWrong, 0);
  EXPECT_EQ(sim->Meter().RequestCount(0xE8), 0);
  EXPECT_EQ(sim->Meter().RequestCount(0xE9), 0);
  EXPECT_THAT(MonitorText(), Not(HasSubstr(LinkExpected::TimeCorrected)));
}

TEST_F(LinkReadingTest, ClockJustBeforeTheHourIsReadAgainAfterIt) {
  SetComputerTime(At(2026, 3, 14, 10, 59, 57));
  Family5ImageBuilder b = Meter53(clock->Now(), 40);
  const std::uint32_t pointerBefore = b.HourPointer();
  StartMeter(b.BuildMemory());
  MakeReader(LinkKinds::Rs232);
  RunReading();

  EXPECT_EQ(reader->Status, 0);
  int clockReads = 0;
  for (const ReceivedRequest& r : sim->Meter().Requests())
    clockReads += r.Code == 0xF1 && r.Address == 0x0200;
  EXPECT_EQ(clockReads, 2);
  EXPECT_EQ(image->DumpImage[256 + 0x14], 0x11);  // the clock block read after the hour turned
  EXPECT_EQ(image->DumpImage[256 + 0x13], 0x00);
  // The archive, read after the hour turned, holds the new hour's record.
  const MeterMemory m = sim->Meter().Memory();
  EXPECT_EQ(m.RingPointer(*m.HourRing), pointerBefore + 32);
  EXPECT_TRUE(ImageHolds(m, 512 + static_cast<std::int32_t>(pointerBefore + 32), pointerBefore + 32,
                         pointerBefore + 64));
}

TEST_F(LinkReadingTest, NewHourDuringTheArchiveIsReadAgain) {
  // The meter's hour ends while the archive is being read (the pauses alone take 12 s).
  SetComputerTime(At(2026, 3, 14, 11, 59, 53));
  Family5ImageBuilder b = Meter53(clock->Now(), 40);
  StartMeter(b.BuildMemory());
  MakeReader(LinkKinds::Rs232);
  RunReading();

  EXPECT_EQ(static_cast<int>(reader->Status), 0) << MonitorText();
  EXPECT_THAT(MonitorText(), HasSubstr(LinkExpected::PointerChanged));
  EXPECT_THAT(MonitorText(), HasSubstr(LinkExpected::ChangedAreaRead));
  const MeterMemory m = sim->Meter().Memory();
  const std::uint32_t pointer = m.RingPointer(*m.HourRing);
  EXPECT_EQ(pointer, b.HourPointer() + 32);
  EXPECT_EQ(GetLe(image->DumpImage, 512 + 137, 3), pointer);
  EXPECT_TRUE(
      ImageHolds(m, 512 + static_cast<std::int32_t>(pointer), pointer, pointer + 32));  // the new record
}

}  // namespace
}  // namespace velk::test
