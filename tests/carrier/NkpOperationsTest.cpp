#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "CarrierOperationsFixture.h"
#include "carrier/CarrierErrors.h"
#include "carrier/CarrierTexts.h"
#include "common/DeviceFamilies.h"

namespace velk {
namespace {

namespace txt = carrier_text;
using test::CarrierFixture;
using test::NkpTestFile;

TEST(NkpOperations, ConnectListsFilesWithTheirHeaders) {
  CarrierFixture f(CarrierKind::Nkp);
  f.carrier.AddNkpFile(NkpTestFile(0x53, 12345, 3, 1400, 0, 0x30));  // 2.75 V
  f.carrier.AddNkpFile(NkpTestFile(0x50, 77, 2, 1000, 10));           // DN code 10: 150 mm
  f.carrier.AddNkpFile(NkpTestFile(0x99, 5, 1, 512));
  f.ops.ReadSPBtnClick();

  ASSERT_FALSE(f.ops.Disconnected);
  EXPECT_EQ(f.state.FileCount, 4);
  EXPECT_EQ(f.Cell(1, ColType), std::string(CarrierListName(0x53)));
  EXPECT_EQ(f.Cell(1, ColSerial), "53-12345");
  EXPECT_DOUBLE_EQ(f.state.CarrierFileTable[0].SupplyVoltage, 2.75);
  EXPECT_EQ(f.Cell(1, ColVoltage), "3.58");
  EXPECT_EQ(f.Cell(1, ColSize), "1400");
  EXPECT_EQ(f.Cell(1, ColBlocks), "3");
  EXPECT_EQ(f.Cell(1, ColReadTime), DateTimeText(test::TestNow - 1));
  EXPECT_EQ(f.state.CarrierFileTable[1].Dn, 150);
  EXPECT_EQ(f.Cell(2, ColType), std::string(CarrierListName(0x50)) + "150");
  EXPECT_EQ(f.Cell(2, ColSerial), "50-10000077");
  EXPECT_EQ(f.Cell(2, ColStartBlock), "3");
  EXPECT_EQ(f.Cell(3, ColType), txt::TypeUndefined);
  EXPECT_EQ(f.Cell(3, ColVoltage), "--");
  EXPECT_EQ(f.Cell(3, ColSerial), "99-00005");
  EXPECT_EQ(f.state.CarrierFileTable[2].UnrecognisedType, UnrecognisedTypeFlag);
  EXPECT_EQ(f.ops.Page.Label2.Text, std::string(txt::FileCountLabel) + "3");
  EXPECT_EQ(f.ops.Page.Label3.Text, std::string(txt::UsedBlocksLabel) + "6");
  EXPECT_EQ(f.ops.Page.Label12.Text, std::string(txt::FreeBlocksLabel) + "4090");
  EXPECT_EQ(f.ops.Page.Gauge3.Percent, 0);
  EXPECT_EQ(f.ops.Page.ReadSPBtn, CarrierAction::AcNKPDisConnect);
  EXPECT_TRUE(f.ops.Page.Timer3);  // auto-poll on
  EXPECT_EQ(f.ops.Page.Label239.Text, txt::PollOn);
  EXPECT_TRUE(f.ops.Page.IsEnabled(CarrierAction::AcNKPCopuFile));
  EXPECT_EQ(f.ops.Page.Edit1, DateTimeText(test::TestNow));
  EXPECT_TRUE(f.view.Messages.empty());
}

TEST(NkpOperations, EmptyCarrierHasOnlyTheEndEntry) {
  CarrierFixture f(CarrierKind::Nkp);
  f.ops.ReadSPBtnClick();
  EXPECT_EQ(f.state.FileCount, 1);
  EXPECT_EQ(f.ops.Page.Grid.RowCount(), 2);
  EXPECT_EQ(f.Cell(1, ColNumber), "");
  EXPECT_EQ(f.ops.Page.Label2.Text, std::string(txt::FileCountLabel) + "0");
  EXPECT_FALSE(f.ops.Page.IsEnabled(CarrierAction::AcNKPCopuFile));
  EXPECT_TRUE(f.ops.Page.IsEnabled(CarrierAction::AcNKPCheckMem));
}

TEST(NkpOperations, NoAnswerShowsTheFourHintsAndDisconnects) {
  CarrierFixture f(CarrierKind::Nkp);
  f.faults.Add(test::Fault(FaultKind::NoAnswer, -1));
  f.ops.ReadSPBtnClick();
  ASSERT_EQ(f.view.Messages.size(), 1u);
  EXPECT_EQ(f.view.Messages[0], CarrierErrorText(5, "COM3", txt::NameNkp));
  EXPECT_TRUE(f.ops.Disconnected);
  EXPECT_EQ(f.ops.Page.Label237.Text, txt::LinkWithNkp);
  EXPECT_EQ(f.ops.Page.Label238.Text, txt::NotEstablished);
  EXPECT_EQ(f.ops.Page.Label236.Text, "");
  EXPECT_TRUE(f.ops.Page.Timer3);  // the poll goes on looking for the carrier
}

TEST(NkpOperations, StoppedClockIsReportedAfterTheList) {
  CarrierFixture f(CarrierKind::Nkp);
  f.carrier.StopClock(true);
  f.ops.ReadSPBtnClick();
  ASSERT_EQ(f.view.Messages.size(), 1u);
  EXPECT_EQ(f.view.Messages[0], CarrierErrorText(10, "COM3", txt::NameNkp));
}

TEST(NkpOperations, PollShowsTheSerialAndConnectsAutomatically) {
  CarrierFixture f(CarrierKind::Nkp);
  f.carrier.SetSerial(12345);
  f.carrier.AddNkpFile(NkpTestFile(0x53, 1, 2, 600));
  f.ops.Timer3Timer();
  EXPECT_EQ(f.ops.CarrierSerial, 12345);
  EXPECT_EQ(f.ops.Page.Label238.Text, std::string(txt::NkpSerialPrefix) + "12345");
  EXPECT_FALSE(f.ops.Disconnected);  // the list was read at once
  EXPECT_EQ(f.state.FileCount, 2);
  EXPECT_TRUE(f.ops.Page.Timer3);

  // A missing port turns the poll off.
  f.portMissing = true;
  f.ops.Timer3Timer();
  EXPECT_FALSE(f.ops.Page.Timer3);
  EXPECT_EQ(f.ops.Page.Label237.Text, std::string("COM3") + txt::PortNotFound);
  EXPECT_EQ(f.ops.Page.Label239.Text, txt::PollOff);
  EXPECT_TRUE(f.ops.Disconnected);
  EXPECT_TRUE(f.view.Messages.empty());
}

TEST(NkpOperations, FailedPollKeepsPolling) {
  CarrierFixture f(CarrierKind::Nkp);
  f.faults.Add(test::Fault(FaultKind::NoAnswer));
  f.ops.Timer3Timer();
  EXPECT_TRUE(f.ops.Page.Timer3);
  EXPECT_FALSE(f.ops.PollRunning);
  f.ops.Timer3Timer();
  EXPECT_FALSE(f.ops.Disconnected);
}

TEST(NkpOperations, ClockDisplaySnapsOnlyWithinTwoSeconds) {
  CarrierFixture f(CarrierKind::Nkp);
  f.state.CarrierClock = test::TestNow - 2.5 * OneSecond;  // 1.5 s behind after the tick
  f.ops.Timer2Timer();
  EXPECT_DOUBLE_EQ(f.state.CarrierClock, test::TestNow);
  f.state.CarrierClock = test::TestNow - 4 * OneSecond;  // 3 s behind after the tick
  f.ops.Timer2Timer();
  EXPECT_NEAR((test::TestNow - f.state.CarrierClock) * SecondsPerDay, 3.0, 1e-3);
  EXPECT_EQ(f.ops.Page.Edit3, DateTimeText(test::TestNow));
}

TEST(NkpOperations, ClockCorrectionSetsTheCarrierToNow) {
  CarrierFixture f(CarrierKind::Nkp);
  f.carrier.SetClockOffsetSeconds(-3600);
  f.ops.ReadSPBtnClick();
  EXPECT_NE(f.ops.Page.Edit1, DateTimeText(test::TestNow));
  f.ops.NKPDtTmSetClick();
  EXPECT_TRUE(f.view.Messages.empty());
  EXPECT_NEAR((f.carrier.CarrierTime() - test::TestNow) * SecondsPerDay, 0, 1.0);
  EXPECT_EQ(f.ops.Page.Edit1, DateTimeText(test::TestNow));
  EXPECT_EQ(f.carrier.RequestCount(0xE9), 1);
  EXPECT_EQ(f.carrier.RequestCount(0xE8), 1);
  EXPECT_EQ(f.ops.Page.ReadSPBtn, CarrierAction::AcNKPDisConnect);
  EXPECT_TRUE(f.ops.Page.Timer3);
}

TEST(NkpOperations, CopyRebuildsTheImageFromTheBlocks) {
  CarrierFixture f(CarrierKind::Nkp);
  const auto file = NkpTestFile(0x53, 4321, 3, 1300);
  f.carrier.AddNkpFile(NkpTestFile(0x54, 1, 2, 700));
  f.carrier.AddNkpFile(file);
  f.ops.ReadSPBtnClick();
  f.ops.SPGridMouseDown(2, false, false);
  f.ops.AcNKPCopuFileExecute();

  ASSERT_EQ(f.store.Ids.size(), 1u);
  EXPECT_EQ(f.store.Ids[0].DeviceCode, 53u);
  EXPECT_EQ(f.store.Ids[0].SerialNumber, 4321);
  EXPECT_DOUBLE_EQ(f.store.Ids[0].ReadTime, test::TestNow - 1);
  // The length comes from the header, not from the 1536 bytes copied.
  ASSERT_EQ(f.store.Images[0].size(), 1300u);
  EXPECT_TRUE(std::equal(file.begin(), file.begin() + 1300, f.store.Images[0].begin()));
  EXPECT_TRUE(std::equal(file.begin(), file.end(), f.image.DumpImage.begin()));
  EXPECT_EQ(f.store.Decoded, std::vector<std::string>{"dump-1.dat"});
  EXPECT_EQ(f.view.Arranged, 1);
  EXPECT_TRUE(f.ops.Page.IsEnabled(CarrierAction::AcView));
  EXPECT_TRUE(f.view.Messages.empty());
  EXPECT_EQ(f.ops.Page.ReadSPBtn, CarrierAction::AcNKPDisConnect);
  EXPECT_TRUE(f.ops.Page.Timer3);
}

TEST(NkpOperations, HeaderClaimingMoreThanTheFileIsNotSaved) {
  CarrierFixture f(CarrierKind::Nkp);
  auto file = NkpTestFile(0x53, 1, 2, 1000);
  file[145] = 0xFF;  // sections longer than the two blocks
  file[146] = 0xFF;
  f.carrier.AddNkpFile(file);
  f.ops.ReadSPBtnClick();
  f.ops.AcNKPCopuFileExecute();
  EXPECT_TRUE(f.store.Ids.empty());
  ASSERT_EQ(f.view.Messages.size(), 1u);
  EXPECT_EQ(f.view.Messages[0], std::string(txt::FilePrefix) + "53-00001" + txt::CannotCopySuffix);
}

TEST(NkpOperations, UnrecognisedFileIsNotCopied) {
  CarrierFixture f(CarrierKind::Nkp);
  f.carrier.AddNkpFile(NkpTestFile(0x99, 5, 1, 512));
  f.ops.ReadSPBtnClick();
  f.ops.AcNKPCopuFileExecute();
  EXPECT_TRUE(f.store.Ids.empty());
  ASSERT_EQ(f.view.Messages.size(), 1u);
  EXPECT_EQ(f.view.Messages[0], std::string(txt::FilePrefix) + "99-00005" + txt::CannotCopySuffix);
}

TEST(NkpOperations, StopDuringCopySavesNothingAndSaysNothing) {
  CarrierFixture f(CarrierKind::Nkp);
  f.carrier.AddNkpFile(NkpTestFile(0x53, 1, 40, 40 * 512));
  f.ops.ReadSPBtnClick();
  // The worker is held at its fourth block request until the main thread has pressed stop
  // (which clears the go-on flag), so the stop always lands in the middle of the copy.
  std::atomic<bool> held = false;
  bool stopped = false;
  int writes = 0;
  f.port->BeforeWrite = [&](std::span<const std::uint8_t>) {
    if (f.state.CarrierCommand != 5 || ++writes != 4) return;
    held = true;
    for (int i = 0; i < 5000 && f.state.GoOn != 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  };
  f.ui.OnPump = [&] {
    if (held && !stopped) {
      stopped = true;
      f.ops.AcLTR_StopCopyExecute();
    }
  };
  f.ops.AcNKPCopuFileExecute();
  EXPECT_TRUE(stopped);
  EXPECT_TRUE(f.store.Ids.empty());
  EXPECT_TRUE(f.view.Messages.empty());
  EXPECT_EQ(f.ops.Page.Label236.Text, txt::StoppedByUser);
  EXPECT_LT(f.state.BlockCounter, 40);
}

// While a copy runs (its wait pumps the page's events) every competing action
// is refused and locked, the stop action stays live, the 3-second poll timer is
// never started by the page refreshes, and a close stops the copy, starts no
// further command and is reported once the copy has unwound.
TEST(NkpOperations, OneOperationAtATimeAndTheCloseWaitsForIt) {
  CarrierFixture f(CarrierKind::Nkp);
  for (std::uint16_t serial = 1; serial <= 3; ++serial) f.carrier.AddNkpFile(NkpTestFile(0x53, serial, 4, 4 * 512));
  ASSERT_TRUE(f.ops.Execute(CarrierAction::AcNKPList));
  f.ops.Page.Grid.ClickPlain(1);
  f.ops.Page.Grid.ClickShift(3);
  int refusedDuringCopy = 0, stopAvailable = 0, pollStarts = 0, ended = 0;
  bool seenTimer3 = f.ops.Page.Timer3;
  f.ops.OnOperationsEnded = [&] { ++ended; };
  f.view.OnRefresh = [&](const CarrierPageState& page) {
    if (FollowTimerFlag(seenTimer3, page.Timer3) == TimerChange::Start && f.worker.Running()) ++pollStarts;
    if (!f.worker.Running() || f.state.CarrierCommand != 5) return;
    refusedDuringCopy += !f.ops.Execute(CarrierAction::AcNKPCheckMem) && !f.ops.ActionAvailable(CarrierAction::AcNKPList);
    stopAvailable += f.ops.ActionAvailable(CarrierAction::AcLTR_StopCopy);
    // The window is closed while the second file is being copied.
    if (f.store.Ids.size() == 1 && !f.ops.Closing()) f.ops.StopForClose();
  };
  EXPECT_TRUE(f.ops.Execute(CarrierAction::AcNKPCopuFile));
  EXPECT_GT(refusedDuringCopy, 0);
  EXPECT_GT(stopAvailable, 0);
  EXPECT_EQ(pollStarts, 0);
  EXPECT_EQ(f.store.Ids.size(), 1u);  // the copy stopped at the second file
  EXPECT_TRUE(f.view.Messages.empty());
  EXPECT_EQ(ended, 1);
  EXPECT_FALSE(f.ops.OperationRunning() || f.ops.CommandsLocked());
  f.carrier.ClearRequests();
  EXPECT_FALSE(f.ops.Execute(CarrierAction::AcNKPList));  // nothing new once closing
  f.ops.Timer3Timer();
  EXPECT_TRUE(f.carrier.Requests().empty());
}

// A click during a bare poll step waits until the step has ended and runs then.
TEST(NkpOperations, AClickDuringAPollStepRunsAfterIt) {
  CarrierFixture f(CarrierKind::Nkp);
  f.carrier.AddNkpFile(NkpTestFile(0x53, 1, 2, 600));
  f.ops.ReadSPBtnClick();
  bool clicked = false, lockedDuringPoll = false;
  f.view.OnRefresh = [&](const CarrierPageState&) {
    if (!f.worker.Running() || f.state.CarrierCommand != 11 || clicked) return;
    lockedDuringPoll = f.ops.CommandsLocked();
    clicked = f.ops.Execute(CarrierAction::AcNKPDisConnect);
    EXPECT_FALSE(f.ops.Disconnected);  // not yet: the poll step is still running
  };
  f.ops.Timer3Timer();
  EXPECT_TRUE(clicked);
  EXPECT_FALSE(lockedDuringPoll);
  EXPECT_TRUE(f.ops.Disconnected);
  EXPECT_FALSE(f.ops.Page.Timer3);
}

TEST(NkpOperations, MemoryCheckRestoresTheMarkedSlotsAndClears) {
  CarrierFixture f(CarrierKind::Nkp);
  f.carrier.AddNkpFile(NkpTestFile(0x53, 1, 2, 600));
  f.carrier.MarkFaultyBlock(100, 0);
  f.carrier.MarkFaultyBlock(200, 5);
  f.ops.ReadSPBtnClick();
  f.ops.Button2Click();
  EXPECT_EQ(f.view.CheckAsked, 2);
  std::vector<std::uint16_t> restoreParams, checked;
  for (const auto& r : f.carrier.Requests()) {
    if (r.Code == 0xF6 && r.Count == 0) restoreParams.push_back(r.Param);
    if (r.Code == 0xF8) checked.push_back(r.Param);
  }
  EXPECT_EQ(restoreParams, (std::vector<std::uint16_t>{64, 74}));
  EXPECT_EQ(checked, (std::vector<std::uint16_t>{100, 100, 100, 200, 200, 200}));
  EXPECT_EQ(f.carrier.RequestCount(0xF5), 1);  // then the whole memory is cleared
  EXPECT_EQ(f.carrier.NkpFileCount(), 0);
  EXPECT_EQ(f.state.FileCount, 1);
  const std::vector<std::string> expectedLog = {"",
                                                std::string(txt::CheckingBlock) + "100",
                                                std::string("1") + txt::RecordOk,
                                                std::string("2") + txt::RecordOk,
                                                std::string("3") + txt::RecordOk,
                                                std::string(txt::BlockPrefix) + "100" + txt::Restored};
  ASSERT_GE(f.ops.Page.Memo1.size(), expectedLog.size());
  EXPECT_TRUE(std::equal(expectedLog.begin(), expectedLog.end(), f.ops.Page.Memo1.begin()));
  EXPECT_EQ(f.ops.Page.Memo1.back(), txt::ClearingMemory);
  EXPECT_TRUE(f.view.Messages.empty());
}

TEST(NkpOperations, MemoryCheckWithAnUnreadableBlockStops) {
  CarrierFixture f(CarrierKind::Nkp);
  f.carrier.MarkFaultyBlock(9);
  f.carrier.SetUnreadableBlock(9);
  f.ops.ReadSPBtnClick();
  f.ops.Button2Click();
  ASSERT_EQ(f.view.Messages.size(), 1u);
  EXPECT_EQ(f.view.Messages[0], CarrierErrorText(10, "COM3", txt::NameNkp));
  EXPECT_EQ(f.carrier.RequestCount(0xF6), 0);
  EXPECT_EQ(f.carrier.RequestCount(0xF5), 0);
  EXPECT_TRUE(f.ops.Disconnected);
}

TEST(NkpOperations, MemoryCheckWithoutFaultsOnlyTells) {
  CarrierFixture f(CarrierKind::Nkp);
  f.ops.ReadSPBtnClick();
  f.ops.Button2Click();
  EXPECT_EQ(f.view.Messages, std::vector<std::string>{txt::CheckNoFaults});
  EXPECT_EQ(f.view.CheckAsked, -1);
  EXPECT_EQ(f.carrier.RequestCount(0xF5), 0);
}

TEST(NkpOperations, ClearingTheMemoryReadsTheListAgain) {
  CarrierFixture f(CarrierKind::Nkp);
  f.carrier.AddNkpFile(NkpTestFile(0x53, 1, 2, 600));
  f.ops.ReadSPBtnClick();
  EXPECT_EQ(f.state.FileCount, 2);
  f.ops.BitBtn1Click();
  EXPECT_EQ(f.carrier.NkpFileCount(), 0);
  EXPECT_EQ(f.state.FileCount, 1);
  EXPECT_FALSE(f.ops.Page.Timer1);
  EXPECT_EQ(f.query.Query_WaitFirstByte, 40);  // the next command has the settings' wait again
}

}  // namespace
}  // namespace velk
