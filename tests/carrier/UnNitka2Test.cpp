#include "carrier/UnNitka2.h"

#include <gtest/gtest.h>

#include "CarrierOperationsFixture.h"
#include "common/Mathem.h"
#include "support/QueuedUserInterface.h"

namespace velk {
namespace {

using test::TestNow;

// A worker on a hand-made carrier answering through `respond`.
struct ScriptedWorker {
  explicit ScriptedWorker(CarrierSimPort::Responder respond)
      : port(std::make_shared<CarrierSimPort>(std::move(respond))),
        query(test::FactoryFor(port, &portMissing)),
        worker({state, query, image, ui, clock}) {
    query.SleepMs = [](int) {};
    worker.Settings.Nkp = {13, 40, 40, 0};
  }
  int Run(int command) {
    worker.StartCarrierCommand(command, false, false, true);
    worker.WaitForThread({});
    return state.Result.load();
  }

  bool portMissing = false;
  std::shared_ptr<CarrierSimPort> port;
  TComPortQuery query;
  CarrierLinkState state;
  TDumpImage image;
  ManualClock clock{TestNow};
  DirectUserInterface ui;
  CarrierWorker worker;
};

std::vector<std::uint8_t> Answer(std::uint8_t code, std::initializer_list<std::uint8_t> echo,
                                 std::vector<std::uint8_t> data = {}) {
  std::vector<std::uint8_t> e(echo);
  return BuildCarrierAnswer(code, e, data);
}

TEST(CarrierWorker, MissingPortGivesElevenWithoutAnExchange) {
  ScriptedWorker w([](auto) { return std::vector<std::uint8_t>{}; });
  w.portMissing = true;
  EXPECT_EQ(w.Run(11), CarrierResultPortFailed);
  EXPECT_EQ(w.state.ThreadDone.load(), 1);
  EXPECT_EQ(w.state.PortFailed.load(), 1);
  EXPECT_TRUE(w.port->Writes().empty());
  EXPECT_EQ(w.query.Busy.load(), 0);
}

TEST(CarrierWorker, ClockWithTheStoppedBit) {
  ScriptedWorker w([](auto) { return Answer(0xE2, {0, 0, 6}, {0x95, 0x30, 0x12, 0x01, 0x01, 0x26}); });
  EXPECT_EQ(w.Run(6), CarrierResultClockStopped);
  const DateTimeParts t = DecodeDateTime(w.state.CarrierClock);
  EXPECT_EQ(t.Second, 15);
  EXPECT_EQ(t.Minute, 30);
  EXPECT_EQ(t.Year, 2026);
  EXPECT_EQ(w.state.PortClosed.load(), 1);
  EXPECT_FALSE(w.query.IsOpen());
}

TEST(CarrierWorker, BlockCheckAndRestore) {
  std::uint8_t checkStatus = 0xFF, restoreStatus = 0x77;
  ScriptedWorker w([&](std::span<const std::uint8_t> written) {
    const std::uint8_t code = written[3];
    return Answer(code, {code == 0xF8 ? checkStatus : restoreStatus, 0, 0});
  });
  w.state.BlockCounter = 300;
  EXPECT_EQ(w.Run(9), CarrierResultClockStopped);
  checkStatus = 0;
  EXPECT_EQ(w.Run(9), 0);
  EXPECT_EQ(w.port->Writes().back()[4] + 256 * w.port->Writes().back()[5], 300);

  w.state.RestoreParameter = 74;
  EXPECT_EQ(w.Run(10), 0);
  auto writes = w.port->Writes();
  ASSERT_EQ(writes.size(), 4u);  // the first answer's 0x77 asks for the second request
  EXPECT_EQ(writes[3][4], 75);
  EXPECT_EQ(writes[3][6], 0x80);
  restoreStatus = 0;
  EXPECT_EQ(w.Run(10), 0);
  EXPECT_EQ(w.port->Writes().size(), 5u);
}

TEST(CarrierWorker, StopBetweenBlocksGivesTwenty) {
  ScriptedWorker* self = nullptr;
  int blockReads = 0;
  ScriptedWorker w([&](std::span<const std::uint8_t> written) {
    const std::uint16_t block = static_cast<std::uint16_t>(written[4] | (written[5] << 8));
    if (++blockReads == 4) self->state.GoOn = 0;  // the stop comes while block 4 is read
    return Answer(0xF1, {written[4], written[5], 1}, std::vector<std::uint8_t>(512, static_cast<std::uint8_t>(block)));
  });
  self = &w;
  w.state.FileCount = 2;
  w.state.CarrierFileTable[0].StartBlock = 20;
  w.state.CarrierFileTable[0].BlockCount = 10;
  w.state.FileNumber = 1;
  w.state.GoOn = 1;
  EXPECT_EQ(w.Run(5), CarrierResultStopped);
  EXPECT_EQ(w.state.BlockCounter.load(), 4);
  EXPECT_EQ(w.image.DumpImage[3 * 512], 23);
  EXPECT_EQ(w.image.DumpImage[4 * 512], 0);
}

TEST(CarrierWorker, NextCommandAndDestructionServeAWorkerWaitingForTheMainThread) {
  auto port = std::make_shared<CarrierSimPort>([](auto) { return Answer(0xF2, {0, 0, 0}); });
  TComPortQuery query(test::FactoryFor(port));
  query.SleepMs = [](int) {};
  CarrierLinkState state;
  TDumpImage image;
  ManualClock clock{TestNow};
  test::QueuedUserInterface ui;
  auto worker = std::make_unique<CarrierWorker>(CarrierContext{state, query, image, ui, clock});
  worker->Settings.Nkp = {13, 40, 40, 0};
  worker->StartCarrierCommand(11, false, false, true);
  ui.WaitForQueuedCall();  // the worker waits in Synchronize for the main thread
  worker->StartCarrierCommand(11, false, false, true);
  ui.WaitForQueuedCall();
  worker.reset();
  EXPECT_EQ(state.ThreadDone.load(), 1);
  EXPECT_EQ(query.Busy.load(), 0);
}

TEST(PrepareCommand, RequestFieldsOfTheCommands) {
  CarrierLinkState s;
  TComPortQuery q;
  ManualClock clock(*EncodeDateTime({2026, 3, 15, 9, 41, 27}));  // a Sunday
  auto prepare = [&](int command) {
    s.CarrierCommand = command;
    PrepareCommand(s, q, clock);
  };
  prepare(1);
  EXPECT_EQ(s.Code, 0xF0);
  EXPECT_EQ(s.Param, 0x0100);
  prepare(2);
  EXPECT_EQ(s.Param, 0x0040);
  EXPECT_EQ(s.Count, 0x80);
  prepare(7);
  EXPECT_EQ(s.Code, 0xE9);
  EXPECT_EQ(s.Param, 0x15 + 256 * 0x03);
  EXPECT_EQ(s.Count, 0x26);
  prepare(8);
  EXPECT_EQ(s.Code, 0xE8);
  EXPECT_EQ(s.Param, 0x41 + 256 * 0x09);
  EXPECT_EQ(s.Count, 0x27);
  prepare(15);
  EXPECT_EQ(s.Code, 0xF3);
  EXPECT_EQ(s.Param, 0x27 + 256 * 0x41);
  EXPECT_EQ(s.Count, 0x09);
  EXPECT_EQ(s.Extra, (std::array<std::uint8_t, 4>{1, 0x15, 0x03, 0x26}));
  s.BlockCounter = 8;
  prepare(13);
  EXPECT_EQ(s.Param, 8);
  EXPECT_EQ(s.Extra, (std::array<std::uint8_t, 4>{0, 0, 0, 0}));
  prepare(17);
  EXPECT_EQ(s.Param, 0xFF08);
  prepare(4);
  EXPECT_EQ(s.Code, 0xF5);
  EXPECT_EQ(q.Query_WaitFirstByte, 4000);
  EXPECT_EQ(DayOfWeekSundayFirst(*EncodeDate(2026, 3, 14)), 7);
}

}  // namespace
}  // namespace velk
