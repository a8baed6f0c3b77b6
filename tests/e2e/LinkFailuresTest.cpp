// Readings that go wrong on the line: RS485 adapters, modems, refused TCP
// connections, stops by the user and the retry limits.
#include <thread>

#include "LinkExpectedTexts.h"
#include "LinkReadingFixture.h"
#include "testlines/posix/TcpListener.h"

namespace velk::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// Waits (bounded) until `condition` holds.
template <typename F>
bool WaitFor(F condition) {
  for (int i = 0; i < 3000 && !condition(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  return condition();
}

TEST_F(LinkReadingTest, Rs485AddressByteGoesBothWays) {
  for (const bool addressInAnswer : {true, false}) {
    MeterSimOptions options;
    options.Rs485 = Rs485Options{5, addressInAnswer};
    StartMeter(Meter53(clock->Now(), 20).BuildMemory(), options);
    WriteCfg(0x0100, clock->Now());  // current data only: a short reading
    TConnectTread& r = MakeReader(LinkKinds::Rs485);
    r.NetAddress = 5;
    r.ReadMode = 2;
    RunReading();
    EXPECT_EQ(reader->Status, 0) << "address in answer: " << addressInAnswer;
    const auto requests = sim->Meter().Requests();
    ASSERT_FALSE(requests.empty());
    for (const ReceivedRequest& q : requests) EXPECT_EQ(q.AddressByte, 5);
    sim->Stop();
  }
}

TEST_F(LinkReadingTest, AdapterWithoutMeterGivesStatus15Or5) {
  for (const bool withAddress : {true, false}) {
    MeterSimOptions options;
    options.Rs485 = Rs485Options{7, true, true, withAddress};
    StartMeter(Meter53(clock->Now(), 20).BuildMemory(), options);
    TConnectTread& r = MakeReader(LinkKinds::Rs485);
    r.NetAddress = 7;
    r.RetryCount = 1;
    RunReading();
    EXPECT_EQ(reader->Status, withAddress ? 15 : 5);
    EXPECT_THAT(MonitorText(), HasSubstr(LinkExpected::AdapterNoMeter));
    sim->Stop();
  }
}

TEST_F(LinkReadingTest, ModemBusyNoCarrierAndSilence) {
  struct Case {
    ModemOutcome Outcome;
    std::string Line;
  };
  for (const Case& c : {Case{ModemOutcome::Busy, std::string(LinkExpected::Busy) + "BUSY"},
                        Case{ModemOutcome::NoCarrier, std::string(LinkExpected::NoCarrier) + "NO CARRIER"},
                        Case{ModemOutcome::Silence, ""}}) {
    MeterSimOptions options;
    options.Modem = ModemOptions{c.Outcome};
    StartMeter(Meter53(clock->Now(), 20).BuildMemory(), options);
    TConnectTread& r = MakeReader(LinkKinds::Modem);
    r.PhoneNumber = "89001234567";
    r.DialNeeded = 1;
    r.MaxDialSeconds = 1;
    RunReading();
    EXPECT_EQ(reader->Status, 9);
    EXPECT_EQ(sim->Meter().RequestCount(0xF2), 0);
    EXPECT_EQ(sim->DialCommands(), std::vector<std::string>{"atd89001234567"});
    const std::string text = MonitorText();
    EXPECT_THAT(text, HasSubstr(std::string(LinkExpected::Dialling) + "atd89001234567"));
    EXPECT_THAT(text, HasSubstr(LinkExpected::DialTime));
    if (!c.Line.empty()) EXPECT_THAT(text, HasSubstr(c.Line));
    EXPECT_THAT(text, HasSubstr(LinkExpected::PortClosing));
    sim->Stop();
  }
}

TEST_F(LinkReadingTest, ModemConnectsAndTheMeterIsRead) {
  MeterSimOptions options;
  options.Modem = ModemOptions{ModemOutcome::Connect};
  // One byte lost from an answer among 16 outstanding: the damaged answer runs into the
  // next one, which must still be found, so that only the damaged area is asked again.
  options.Faults = {{FaultKind::DropByte, 0xF0, 0x0700}};
  StartMeter(Meter53(clock->Now(), 20).BuildMemory(), options);
  TConnectTread& r = MakeReader(LinkKinds::Modem);
  r.PhoneNumber = "5551234";
  r.DialNeeded = 1;
  r.AreaWindow = 16;
  RunReading();
  EXPECT_EQ(reader->Status, 0) << MonitorText();
  EXPECT_EQ(reader->DialResult, 1);
  EXPECT_EQ(reader->FamilyCode, 53);
  EXPECT_EQ(sim->Faults().Hits(), 1);
  EXPECT_EQ(ArchiveRequests(), 256);
  EXPECT_TRUE(ImageHolds(sim->Meter().Memory(), 512, 0, 0x10000));
}

TEST_F(LinkReadingTest, RefusedTcpConnectionGivesStatus11) {
  const int port = posix::FreeLoopbackPort();  // nobody listens there
  MakeReader(LinkKinds::Tcp).TcpPort = port;
  RunReading();
  EXPECT_EQ(reader->Status, 11);
  const std::string text = MonitorText();
  EXPECT_THAT(text, HasSubstr(LinkExpected::PortOpening));
  EXPECT_THAT(text, HasSubstr("127.0.0.1  " + std::to_string(port) + ":"));
  EXPECT_THAT(text, HasSubstr(LinkExpected::PortNotOpen));
  EXPECT_THAT(reader->FatalError, HasSubstr(std::string(LinkExpected::ConnectFailed) + "127.0.0.1"));
}

TEST_F(LinkReadingTest, BrokenTcpConnectionEndsTheReadingWithStatus6) {
  struct Case {
    const char* Name;
    int LinkKind;
    std::vector<FaultRule> Faults;
  };
  constexpr std::uint16_t ClockBlock = 0x0200;
  const Case cases[] = {
      // The connection goes in the middle of an archive answer: the reader notices while reading.
      {"mid-answer", LinkKinds::Tcp, {{FaultKind::BreakConnection, 0xF0, 0x0500, 0, 1, 40}}},
      // The meter hangs up after a whole clock answer: the window of 16 requests then goes
      // out to a closed peer, one write after another without a read in between.
      {"window burst", LinkKinds::TcpRlz, {{FaultKind::BreakConnection, 0xF1, ClockBlock, 0, 1, 265}}},
      // A damaged clock answer, then the hang-up: the retry writes the wake-up bytes and its
      // request to the closed peer.
      {"wake-up",
       LinkKinds::Tcp,
       {{FaultKind::CorruptChecksum, 0xF1, ClockBlock},
        {FaultKind::BreakConnection, 0xF1, ClockBlock, 0, 1, 265}}},
  };
  for (const Case& c : cases) {
    MeterSimOptions options;
    options.Link = MeterSimOptions::Transport::Tcp;
    options.Faults = c.Faults;
    StartMeter(Meter53(clock->Now(), 20).BuildMemory(), options);
    MakeReader(c.LinkKind).AreaWindow = c.LinkKind == LinkKinds::TcpRlz ? 16 : 1;
    RunReading();
    EXPECT_EQ(reader->Status, 6) << c.Name;
    EXPECT_THAT(MonitorText(), HasSubstr(LinkExpected::LinkBroken)) << c.Name;
    EXPECT_LT(ArchiveRequests(), 255) << c.Name;
    sim->Stop();
  }
}

TEST_F(LinkReadingTest, StopWhileDialling) {
  MeterSimOptions options;
  options.Modem = ModemOptions{ModemOutcome::Silence};
  StartMeter(Meter53(clock->Now(), 20).BuildMemory(), options);
  TConnectTread& r = MakeReader(LinkKinds::Modem);
  r.PhoneNumber = "5551234";
  r.DialNeeded = 1;
  r.MaxDialSeconds = 60;
  reader->Start();
  ASSERT_TRUE(WaitFor([&] { return !sim->DialCommands().empty(); }));
  reader->StopRequested = 1;
  ASSERT_TRUE(WaitFor([&] { return reader->Finished(); }));
  reader->Join();
  EXPECT_EQ(reader->Status, 8);
  EXPECT_EQ(sim->Meter().RequestCount(0xF2), 0);
  EXPECT_THAT(MonitorText(), HasSubstr(LinkExpected::PortClosing));
}

TEST_F(LinkReadingTest, StopDuringTheArchive) {
  MeterSimOptions options;
  options.BaudRate = 115200;  // slow enough to be caught in the middle
  StartMeter(Meter53(clock->Now(), 20).BuildMemory(), options);
  MakeReader(LinkKinds::Rs232);
  reader->Start();
  ASSERT_TRUE(WaitFor([&] { return ArchiveRequests() >= 3; }));
  reader->StopRequested = 1;
  ASSERT_TRUE(WaitFor([&] { return reader->Finished(); }));
  reader->Join();
  EXPECT_EQ(reader->Status, 8);
  EXPECT_LT(ArchiveRequests(), 255);
  EXPECT_THAT(MonitorText(), HasSubstr(LinkExpected::Stopped));
  EXPECT_THAT(MonitorText(), HasSubstr(LinkExpected::PortClosing));
}

TEST_F(LinkReadingTest, RetryCountZeroSendsEachRequestOnce) {
  MeterSimOptions options;
  options.Faults = {{FaultKind::NoAnswer, 0xF2}};
  StartMeter(Meter53(clock->Now(), 20).BuildMemory(), options);
  MakeReader(LinkKinds::Rs232).RetryCount = 0;
  RunReading();
  EXPECT_EQ(reader->Status, 5);
  EXPECT_EQ(sim->Meter().RequestCount(0xF2), 1);
  EXPECT_THAT(MonitorText(), HasSubstr(LinkExpected::NoAnswer));
}

TEST_F(LinkReadingTest, RetryCount255KeepsTrying) {
  MeterSimOptions options;
  options.Faults = {{FaultKind::NoAnswer, 0xF2, std::nullopt, 0, 4},
                    {FaultKind::CorruptChecksum, 0xF0, 0, 0, 2}};
  StartMeter(Meter53(clock->Now(), 20).BuildMemory(), options);
  WriteCfg(0x0100, clock->Now());
  TConnectTread& r = MakeReader(LinkKinds::Rs232);
  r.RetryCount = 255;
  r.FirstByteTimeoutMs = 150;
  r.ReadMode = 2;
  RunReading();
  EXPECT_EQ(reader->Status, 0);
  EXPECT_EQ(sim->Meter().RequestCount(0xF2), 5);
  EXPECT_EQ(sim->Faults().Hits(), 6);
}

}  // namespace
}  // namespace velk::test
