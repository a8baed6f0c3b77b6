// The image builder and the simulated meter, checked with the frame functions
// and the real serial and TCP transports.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/ByteStream.h"
#include "common/Clock.h"
#include "imagebuilder/Family5ImageBuilder.h"
#include "imagebuilder/OtherFamilyImageBuilder.h"
#include "link/MeterFrame.h"
#include "meter-sim/MeterSimulator.h"

namespace velk {
namespace {

// 14.03.2026 10:20:30 (a function: date tables of other files are not ready during static initialisation).
TDateTime StartTime() { return *EncodeDateTime({2026, 3, 14, 10, 20, 30, 0}); }

MeterMemory Family53(int hourRecords = 10) {
  Family5ImageBuilder b(53);
  b.SetSerial(12345).SetClock(StartTime()).FillHourRecords(hourRecords);
  return b.BuildMemory();
}

std::vector<std::uint8_t> Frame(std::uint8_t code, std::uint16_t address, std::uint8_t count,
                                std::optional<std::uint8_t> addressByte = std::nullopt) {
  const MeterRequest r = BuildMeterRequest(code, address, count, addressByte);
  return {r.Bytes.begin(), r.Bytes.begin() + r.Length};
}

// Reads bytes until `count` have come or the line stays silent for quietMs.
std::vector<std::uint8_t> ReadAnswer(ByteStream& line, std::size_t count, int quietMs = 300) {
  std::vector<std::uint8_t> bytes;
  while (bytes.size() < count) {
    const auto b = line.ReadByte(quietMs);
    if (!b) break;
    bytes.push_back(*b);
  }
  return bytes;
}

TEST(LinkImageBuilder, Family53FieldsLieAtTheirAddresses) {
  Family5ImageBuilder b(53);
  b.SetSerial(12345)
      .SetClock(StartTime())
      .SetInitTime(*EncodeDateTime({2025, 1, 2, 3, 4, 5, 0}))
      .SetFirmware(2, 5);
  b.FillHourRecords(3).AddHourRecord(Family5Record::Clock(StartTime(), true));
  const MeterMemory m = b.BuildMemory();

  EXPECT_EQ(m.RawDeviceCode, 83);
  EXPECT_EQ(m.Eeprom[0], 83);
  EXPECT_EQ(m.Eeprom.size(), 0x10000u);
  EXPECT_EQ(m.ReadEeprom(2, 2), 12345u);
  EXPECT_EQ(m.ShortSerial, 12345);
  EXPECT_EQ(m.ReadEeprom(6, 3), 0x10000u);
  EXPECT_EQ((std::vector<std::uint8_t>(m.Eeprom.begin() + 10, m.Eeprom.begin() + 16)),
            (std::vector<std::uint8_t>{0x25, 0x01, 0x02, 0x03, 0x04, 0x05}));
  EXPECT_EQ(m.IdentMemory[6], 0x02);
  EXPECT_EQ(m.IdentMemory[7], 0x05);
  // RAM 0x0212..0x0217: BCD second, minute, hour, day, month, year.
  EXPECT_EQ((std::vector<std::uint8_t>(m.Ram.begin() + 0x12, m.Ram.begin() + 0x18)),
            (std::vector<std::uint8_t>{0x30, 0x20, 0x10, 0x14, 0x03, 0x26}));
  // Hour ring 0x0100..0xBFFF, four records in slots 0..3, the clock record the newest.
  EXPECT_EQ(m.ReadEeprom(128, 3), 0x0100u);
  EXPECT_EQ(m.ReadEeprom(131, 3), 0xBFFFu);
  EXPECT_EQ(m.ReadEeprom(137, 3), 0x0160u);
  EXPECT_EQ(m.ReadEeprom(143, 1), 32u);
  EXPECT_EQ(m.Eeprom[0x0160], 0x30 | 0x80);  // seconds with the reset mark
  EXPECT_EQ(m.Eeprom[0x0160 + 6], 0x5A);
  EXPECT_EQ(m.Eeprom[0x0160 + 26], 0xFF);
  EXPECT_EQ(m.Eeprom[0x0180], 0xFF);  // the next slot is blank
}

TEST(LinkImageBuilder, RecordsWrapRoundTheRingEnd) {
  Family5ImageBuilder b(56);
  b.SetHourRing(0x0100, 8).SetHourNewestSlot(1);
  std::vector<Family5Record> records;
  for (int i = 0; i < 4; ++i) {
    Family5Record r;
    r.Heat1 = static_cast<std::uint16_t>(100 + i);
    records.push_back(r);
  }
  b.AddHourRecords(records);
  const MeterMemory m = b.BuildMemory();
  EXPECT_EQ(m.RawDeviceCode, 86);
  EXPECT_EQ(m.ReadEeprom(131, 3), 0x01FFu);
  EXPECT_EQ(m.ReadEeprom(137, 3), 0x0120u);
  EXPECT_EQ(m.ReadEeprom(0x0100 + 32 * 6, 2), 100u);  // oldest in slot 6
  EXPECT_EQ(m.ReadEeprom(0x0100 + 32 * 7, 2), 101u);
  EXPECT_EQ(m.ReadEeprom(0x0100 + 32 * 0, 2), 102u);
  EXPECT_EQ(m.ReadEeprom(0x0100 + 32 * 1, 2), 103u);  // newest under the pointer
}

TEST(LinkImageBuilder, FullAndAppendedReadingDumps) {
  const MeterMemory m = Family53();
  auto image = std::make_unique<TDumpImage>();
  WriteFullReadingDump(m, StartTime(), *image);
  EXPECT_EQ(image->DumpLength, 66048);
  EXPECT_EQ(image->DumpImage[128], 83);
  EXPECT_EQ(image->DumpImage[138], 0x30);
  EXPECT_EQ(image->DumpImage[143], 0x26);
  EXPECT_EQ(image->DumpImage[166], m.IdentMemory[6]);
  EXPECT_EQ(image->DumpImage[256 + 0x12], m.Ram[0x12]);
  for (std::uint32_t a : {0u, 2u, 137u, 0x0100u, 0x8000u, 0xFFFFu})
    EXPECT_EQ(image->DumpImage[512 + a], m.Eeprom[a]);

  const EepromRange ranges[] = {{0x1000, 0x1060}, {0x0100, 0x0120}};
  WriteAppendedReadingDump(m, StartTime(), ranges, *image);
  EXPECT_EQ(image->DumpLength, 768 + 0x80);
  EXPECT_EQ(image->DumpImage[152], 0x80);
  EXPECT_EQ(image->DumpImage[768], m.Eeprom[0x1000]);
  EXPECT_EQ(image->DumpImage[768 + 0x60], m.Eeprom[0x0100]);

  WriteDumpTextHeader(*image, 53, 12345, StartTime());
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(image->DumpImage.data()), 16), "Vers 53\r\nSN 1234");
}

TEST(LinkRequestScanner, FindsRequestsBehindWakeUpZerosAndNoise) {
  RequestScanner scanner;
  std::vector<std::uint8_t> bytes(300, 0x00);
  const auto a = Frame(0xF0, 0x0100, 0);
  bytes.insert(bytes.end(), a.begin(), a.end());
  bytes.insert(bytes.end(), {0x13, 0xA5, 0x00});
  auto bad = Frame(0xF0, 0x0200, 0);
  bad[8] ^= 1;
  bytes.insert(bytes.end(), bad.begin(), bad.end());
  const auto c = Frame(0xE9, 0x0314, 0x26);
  bytes.insert(bytes.end(), c.begin(), c.begin() + 4);
  auto found = scanner.Feed(bytes);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].Code, 0xF0);
  EXPECT_EQ(found[0].Address, 0x0100);
  found = scanner.Feed(std::span<const std::uint8_t>(c).subspan(4));  // the rest arrives later
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].Code, 0xE9);
  EXPECT_EQ(found[0].Address, 0x0314);
  EXPECT_EQ(found[0].Count, 0x26);
}

TEST(LinkRequestScanner, TakesTheAddressByteInFront) {
  RequestScanner scanner(true);
  const auto r = Frame(0xF2, 0, 0, 5);
  const auto found = scanner.Feed(r);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].AddressByte, 5);
}

TEST(LinkSimulatedMeter, AnswersEveryCodeWithCorrectFrames) {
  ManualClock clock(StartTime());
  const MeterMemory m = Family53();
  SimulatedMeter meter(m, clock);

  auto a = meter.Answer({std::nullopt, 0xF2, 0, 0});
  ASSERT_TRUE(a);
  EXPECT_EQ(*a, (std::vector<std::uint8_t>{0x00, 0x00, 0xA5, 0xF2, 0x39, 0x30, 83, a->at(7), a->at(8)}));
  EXPECT_TRUE(AnswerCrcOk(*a));

  a = meter.Answer({std::nullopt, 0xF1, 0xC000, 8});
  ASSERT_EQ(a->size(), 17u);
  EXPECT_TRUE(AnswerCrcOk(*a));
  EXPECT_EQ(AnswerAddress(*a), 0xC000);
  EXPECT_EQ(AnswerPayload(*a)[6], m.IdentMemory[6]);

  a = meter.Answer({std::nullopt, 0xF1, 0x0200, 0});
  ASSERT_EQ(a->size(), 265u);
  EXPECT_TRUE(AnswerCrcOk(*a));
  EXPECT_EQ(AnswerPayload(*a)[0x12], 0x30);  // the running clock's seconds

  a = meter.Answer({std::nullopt, 0xF0, 0x0100, 0x60});
  ASSERT_EQ(a->size(), 9u + 0x60);
  EXPECT_TRUE(AnswerCrcOk(*a));
  const auto payload = AnswerPayload(*a);
  EXPECT_TRUE(std::equal(payload.begin(), payload.end(), m.Eeprom.begin() + 0x0100));
  EXPECT_EQ(meter.RequestCount(0xF0), 1);
  EXPECT_FALSE(meter.Answer({std::nullopt, 0x77, 0, 0}));
}

TEST(LinkSimulatedMeter, ClockRunsAndIsSetByTimeAndDateRequests) {
  ManualClock clock(StartTime());
  SimulatedMeter meter(Family53(), clock, -125);  // 2 min 5 s slow
  clock.AdvanceSeconds(10);
  meter.Tick();
  EXPECT_EQ(meter.Memory().Ram[0x12], 0x35);  // 10:18:35
  EXPECT_EQ(meter.Memory().Ram[0x13], 0x18);

  auto a = meter.Answer({std::nullopt, 0xE8, 0x1020, 0});  // 10:20, seconds kept
  ASSERT_TRUE(a);
  EXPECT_TRUE(AnswerCrcOk(*a));
  EXPECT_EQ(a->at(3), 0xE8);
  EXPECT_EQ(DateTimeText(meter.MeterTime()), "14.03.2026 10:20:35");

  a = meter.Answer({std::nullopt, 0xE9, 0x0215, 0x27});  // 15.02.2027
  ASSERT_TRUE(a);
  EXPECT_EQ(DateTimeText(meter.MeterTime()), "15.02.2027 10:20:35");
  EXPECT_EQ(meter.Memory().Ram[0x17], 0x27);
  EXPECT_FALSE(meter.Answer({std::nullopt, 0xE9, 0x0230, 0x27}));  // 30 February
}

TEST(LinkSimulatedMeter, ArchiveRingMovesOnWhenHoursEnd) {
  ManualClock clock(*EncodeDateTime({2026, 3, 14, 22, 59, 0, 0}));
  Family5ImageBuilder b(53);
  b.SetHourRing(0x0100, 4).SetDayRing(0x0200, 4).FillHourRecords(4);
  SimulatedMeter meter(b.BuildMemory(), clock);
  const RingLayout hour = *meter.Memory().HourRing;
  EXPECT_EQ(meter.Memory().RingPointer(hour), 0x0160u);
  clock.AdvanceSeconds(90);  // 23:00:30
  meter.Tick();
  EXPECT_EQ(meter.Memory().RingPointer(hour), 0x0100u);  // wrapped to the first record
  EXPECT_NE(meter.Memory().Eeprom[0x0100 + 31], 0x00);
  clock.AdvanceSeconds(3600);  // past midnight: an hour record and a day record
  meter.Tick();
  const MeterMemory m = meter.Memory();
  EXPECT_EQ(m.RingPointer(hour), 0x0120u);
  EXPECT_EQ(m.RingPointer(*m.DayRing), 0x0220u);
}

TEST(LinkSimulatedMeter, OlderMeterRingPointsToTheNextSlot) {
  ManualClock clock(*EncodeDateTime({2026, 3, 14, 9, 59, 50, 0}));
  OtherFamilyImageBuilder b(23);
  b.FillHourRecords(3);
  EXPECT_EQ(b.HourPointer(), 548u + 3 * 13);
  SimulatedMeter meter(b.BuildMemory(), clock);
  EXPECT_EQ(meter.Memory().ReadEeprom(256, 2), 548u + 3 * 13);
  clock.AdvanceSeconds(20);
  auto a = meter.Answer({std::nullopt, 0xF1, 0, 0});  // answered with the non-volatile code
  ASSERT_TRUE(a);
  EXPECT_EQ(a->at(3), 0xF0);
  EXPECT_EQ(AnswerPayload(*a)[85], 0);   // binary minute of 10:00:10
  EXPECT_EQ(AnswerPayload(*a)[84], 10);  // and its second
  const MeterMemory m = meter.Memory();
  EXPECT_EQ(m.ReadEeprom(256, 2), 548u + 4 * 13);
  EXPECT_EQ(m.Eeprom[548 + 3 * 13 + 2], 70);  // the new record's T1
}

TEST(LinkImageBuilder, OtherFamiliesNameTheirRecordLengths) {
  OtherFamilyImageBuilder pulse(71);
  const MeterMemory m = pulse.SetSerial(77).BuildMemory();
  EXPECT_EQ(m.RawDeviceCode, 113);
  EXPECT_EQ(m.ReadEeprom(143, 1), 34u);
  EXPECT_EQ(m.ReadEeprom(6, 3), 0x8000u);
  EXPECT_EQ(m.ReadEeprom(1, 1) & 0x1F, 16u);
  EXPECT_EQ(m.HourRing->RecordLength, 34);
  EXPECT_EQ(OtherFamilyImageBuilder(50).BuildMemory().RawDeviceCode, 72);
  EXPECT_EQ(OtherFamilyImageBuilder(60).RecordLength(), 8);
}

TEST(LinkLineFaults, RulesFromTheCommandLine) {
  std::string error;
  auto rule = ParseFaultRule("none:0xF0:0x0300:2", error);
  ASSERT_TRUE(rule) << error;
  EXPECT_EQ(rule->Kind, FaultKind::NoAnswer);
  EXPECT_EQ(rule->Code, 0xF0);
  EXPECT_EQ(rule->Address, 0x0300);
  EXPECT_EQ(rule->Times, 2);
  rule = ParseFaultRule("stall:*:*:-1:20:150", error);
  ASSERT_TRUE(rule) << error;
  EXPECT_FALSE(rule->Code);
  EXPECT_EQ(rule->Times, -1);
  EXPECT_EQ(rule->Param, 20);
  EXPECT_EQ(rule->Param2, 150);
  EXPECT_FALSE(ParseFaultRule("zap", error));
  EXPECT_NE(error.find("unknown fault 'zap'"), std::string::npos);
  EXPECT_FALSE(ParseFaultRule("crc:F0", error));
  EXPECT_NE(error.find("'F0' is not a number"), std::string::npos);

  FaultPlan plan({{FaultKind::CorruptChecksum, 0xF0, std::nullopt, 1, 2}});  // skip one, then hit two
  const ReceivedRequest f0{std::nullopt, 0xF0, 0x0100, 0};
  EXPECT_TRUE(plan.Strike({std::nullopt, 0xF2, 0, 0}).empty());
  EXPECT_TRUE(plan.Strike(f0).empty());
  EXPECT_EQ(plan.Strike(f0).size(), 1u);
  EXPECT_EQ(plan.Strike(f0).size(), 1u);
  EXPECT_TRUE(plan.Strike(f0).empty());
  EXPECT_EQ(plan.Hits(), 2);
}

struct LinkSimulatorOnLine : ::testing::Test {
  ManualClock clock{StartTime()};
  std::unique_ptr<MeterSimulator> sim;
  std::unique_ptr<ByteStream> line;

  void StartSim(MeterSimOptions options) {
    sim = std::make_unique<MeterSimulator>(Family53(), clock, std::move(options));
    std::string error;
    ASSERT_TRUE(sim->Start(error)) << error;
    if (sim->Port() > 0) {
      line = ConnectTcp("127.0.0.1", sim->Port(), 2000, 2000, error);
    } else {
      line = OpenSerialPort(sim->SlavePath(), SerialSettings{9600}, error);
    }
    ASSERT_TRUE(line) << error;
  }
  void Send(const std::vector<std::uint8_t>& bytes) { ASSERT_TRUE(line->Write(bytes)); }
};

TEST_F(LinkSimulatorOnLine, AnswersOverAPseudoTerminal) {
  StartSim({});
  Send(std::vector<std::uint8_t>(300, 0));
  Send(Frame(0xF0, 0xFF00, 0));
  const auto answer = ReadAnswer(*line, 265);
  ASSERT_EQ(answer.size(), 265u);
  EXPECT_TRUE(AnswerCrcOk(answer));
  EXPECT_EQ(AnswerAddress(answer), 0xFF00);
}

TEST_F(LinkSimulatorOnLine, ModemEchoesAndReportsBusy) {
  MeterSimOptions options;
  options.Modem = ModemOptions{ModemOutcome::Busy};
  StartSim(options);
  const std::string dial = "atd5551234\r";
  Send(std::vector<std::uint8_t>(dial.begin(), dial.end()));
  const auto text = ReadAnswer(*line, 100);
  EXPECT_EQ(std::string(text.begin(), text.end()), "atd5551234\r\r\nBUSY\r\n");
  Send(Frame(0xF2, 0, 0));  // not connected: the meter never hears it
  EXPECT_TRUE(ReadAnswer(*line, 9, 150).empty());
  EXPECT_EQ(sim->DialCommands(), std::vector<std::string>{"atd5551234"});
}

TEST_F(LinkSimulatorOnLine, ModemConnectsThenPassesFramesThrough) {
  MeterSimOptions options;
  options.Modem = ModemOptions{ModemOutcome::Connect};
  StartSim(options);
  const std::string dial = "ATD1\r";
  Send(std::vector<std::uint8_t>(dial.begin(), dial.end()));
  const auto text = ReadAnswer(*line, 100);
  EXPECT_EQ(std::string(text.begin(), text.end()), "ATD1\r\r\nCONNECT 9600\r\n");
  Send(Frame(0xF2, 0, 0));
  EXPECT_TRUE(AnswerCrcOk(ReadAnswer(*line, 9)));
}

TEST_F(LinkSimulatorOnLine, Rs485AdapterAddressesAndErrorAnswers) {
  MeterSimOptions options;
  options.Rs485 = Rs485Options{5};
  StartSim(options);
  Send(Frame(0xF2, 0, 0, 6));  // another meter on the bus
  EXPECT_TRUE(ReadAnswer(*line, 9, 150).empty());
  Send(Frame(0xF2, 0, 0, 5));
  auto answer = ReadAnswer(*line, 9);
  ASSERT_EQ(answer.size(), 9u);
  EXPECT_EQ(answer[0], 5);
  EXPECT_TRUE(AnswerCrcOk(answer));

  sim->Stop();
  options.Rs485->MeterSilent = true;
  options.Rs485->ErrorAnswerWithAddress = false;
  StartSim(options);
  Send(Frame(0xF2, 0, 0, 5));
  answer = ReadAnswer(*line, 9);
  ASSERT_EQ(answer.size(), 9u);
  EXPECT_EQ(answer[0], 0);
  EXPECT_EQ(answer[3], 0xC3);
  EXPECT_TRUE(AnswerCrcOk(answer));
}

TEST_F(LinkSimulatorOnLine, FaultsOnAnswers) {
  MeterSimOptions options;
  options.Faults = {{FaultKind::Noise, 0xF0, 0x0100, 0, 1, 3},
                    {FaultKind::CorruptChecksum, 0xF0, 0x0200},
                    {FaultKind::DropByte, 0xF0, 0x0300},
                    {FaultKind::NoAnswer, 0xF0, 0x0400},
                    {FaultKind::Stall, 0xF0, 0x0500, 0, 1, 20, 150}};
  StartSim(options);
  Send(Frame(0xF0, 0x0100, 4));
  auto a = ReadAnswer(*line, 16);
  ASSERT_EQ(a.size(), 16u);
  EXPECT_EQ(FindAnswerHeader(a, 0xF0, -1), 3u);
  EXPECT_TRUE(AnswerCrcOk(std::span<const std::uint8_t>(a).subspan(3)));

  Send(Frame(0xF0, 0x0200, 4));
  a = ReadAnswer(*line, 13);
  ASSERT_EQ(a.size(), 13u);
  EXPECT_FALSE(AnswerCrcOk(a));

  Send(Frame(0xF0, 0x0300, 4));
  EXPECT_EQ(ReadAnswer(*line, 13, 150).size(), 12u);

  Send(Frame(0xF0, 0x0400, 4));
  EXPECT_TRUE(ReadAnswer(*line, 13, 150).empty());

  Send(Frame(0xF0, 0x0500, 100));
  EXPECT_EQ(ReadAnswer(*line, 109, 50).size(), 20u);  // the line goes quiet after 20 bytes
  EXPECT_EQ(ReadAnswer(*line, 89, 500).size(), 89u);  // and then brings the rest

  Send(Frame(0xF0, 0x0100, 4));  // the noise struck once only
  EXPECT_TRUE(AnswerCrcOk(ReadAnswer(*line, 13)));
  EXPECT_EQ(sim->Faults().Hits(), 5);
}

TEST_F(LinkSimulatorOnLine, ReorderedAnswersWithSeveralOutstanding) {
  MeterSimOptions options;
  options.Faults = {{FaultKind::Reorder, 0xF0, 0x0100}};
  StartSim(options);
  auto requests = Frame(0xF0, 0x0100, 4);
  const auto second = Frame(0xF0, 0x0200, 4);
  requests.insert(requests.end(), second.begin(), second.end());
  Send(requests);
  const auto a = ReadAnswer(*line, 26);
  ASSERT_EQ(a.size(), 26u);
  EXPECT_EQ(AnswerAddress(std::span<const std::uint8_t>(a).first(13)), 0x0200);
  EXPECT_EQ(AnswerAddress(std::span<const std::uint8_t>(a).subspan(13)), 0x0100);
}

TEST_F(LinkSimulatorOnLine, TcpConnectionBreaksInTheMiddleOfAnAnswer) {
  MeterSimOptions options;
  options.Link = MeterSimOptions::Transport::Tcp;
  options.Faults = {{FaultKind::BreakConnection, 0xF0, std::nullopt, 0, 1, 100}};
  StartSim(options);
  Send(Frame(0xF2, 0, 0));
  EXPECT_TRUE(AnswerCrcOk(ReadAnswer(*line, 9)));
  Send(Frame(0xF0, 0x0100, 0));
  EXPECT_EQ(ReadAnswer(*line, 265).size(), 100u);
  EXPECT_FALSE(line->ReadByte(100));
  EXPECT_TRUE(line->Failed());

  std::string error;
  line = ConnectTcp("127.0.0.1", sim->Port(), 2000, 2000, error);  // the server takes the next client
  ASSERT_TRUE(line) << error;
  Send(Frame(0xF2, 0, 0));
  EXPECT_TRUE(AnswerCrcOk(ReadAnswer(*line, 9)));
  EXPECT_EQ(sim->Connections(), 2);
}

}  // namespace
}  // namespace velk
