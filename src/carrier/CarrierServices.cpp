// Auto-poll, disconnects, the clock display and corrections, clearing and
// checking the НКП-3М memory.
#include <cmath>
#include <utility>

#include "carrier/CarrierOperations.h"
#include "carrier/CarrierTexts.h"

namespace velk {

namespace txt = carrier_text;
using A = CarrierAction;

void CarrierOperations::Timer3Timer() {
  PollStep();
  if (const auto action = std::exchange(pendingAction_, std::nullopt)) Execute(*action);
}

void CarrierOperations::PollStep() {
  auto& s = State();
  Page.Timer3 = false;
  if (closing_ || OperationRunning() || s.GoOn.load() || PollRunning || !s.PortClosed.load()) return;
  OperationScope scope(*this, false);
  PollRunning = true;
  StoppedByUser = false;
  const int r = Run(11, false, false, true, {});
  if (ModBox != ModBoxNkp) {
    s.GoOn = 0;
    PollRunning = false;
    return;
  }
  if (r == 0 || r == CarrierResultPending) {
    const auto& a = Query().Answer();
    CarrierSerial = a[0] + 256 * a[1];
    SetLabel(Page.Label237, txt::LinkEstablished, ColourGreen);
    SetLabel(Page.Label238, txt::NkpSerialPrefix + std::to_string(CarrierSerial), ColourGreen);
    Page.ReadSPBtn = A::AcNKPDisConnect;
    Page.Enable(A::AcNKPDisConnect, true);
    if (Disconnected) {
      OperationScope connect(*this, true);  // the automatic connect locks like a click
      ReadSPBtnClick();
    }
    PollRunning = false;
    Page.Timer3 = true;
    SetLabel(Page.Label239, txt::PollOn);
  } else if (r == CarrierResultPortFailed) {
    PollOff();
    Page.ReadSPBtn = A::AcNKPList;
    Page.Enable(A::AcNKPList, true);
    Disconnected = true;
    SetLabel(Page.Label237, worker_.PortName() + txt::PortNotFound, ColourRed);
    SetLabel(Page.Label238, txt::OrBusy, ColourRed);
    PollRunning = false;
    Page.GridVisible = false;
    Page.Gauge3.Visible = false;
    Page.Label2.Visible = Page.Label3.Visible = Page.Label12.Visible = Page.Label236.Visible = false;
  } else {
    PollOnWithStopButton();
    // The poll must run again after a failed step.
    PollRunning = false;
    if (!StoppedByUser) NKPDisConnect(false);
  }
  Refresh();
}

void CarrierOperations::AcStopTimer3Execute() {
  Page.Timer3 = false;
  Page.ReadSPBtn = A::AcNKPList;
  SetLabel(Page.Label239, txt::PollOff);
}

void CarrierOperations::PageControl1Change(bool carrierTabShown) {
  // A running operation switches the poll itself when it ends.
  if (carrierTabShown && ModBox == ModBoxNkp && !OperationRunning())
    PollOnWithStopButton();
  else
    Page.Timer3 = false;
}

void CarrierOperations::NKPDisConnect(bool keepPollOff) {
  DisableNKPAction();
  if (keepPollOff)
    PollOff();
  else
    PollOnWithStopButton();
  Query().Busy = 0;
  WaitReleased();
  Pause(20);
  Page.GridVisible = false;
  if (!Page.Timer3) Page.ReadSPBtn = A::AcNKPList;
  Page.Enable(A::AcNKPList, true);
  Page.Gauge1.Visible = false;
  SetLabel(Page.Label236, txt::NkpDisconnected);
  Page.Label2.Visible = Page.Label3.Visible = Page.Label12.Visible = false;
  Page.Gauge3.Visible = false;
  SetLabel(Page.Label237, txt::LinkWithNkp, ColourRed);
  SetLabel(Page.Label238, txt::NotEstablished, ColourRed);
  Page.ClockGroupVisible = false;
  Page.PortBoxEnabled = true;
  Disconnected = true;
  Refresh();
}

void CarrierOperations::AcLTR_DisConnectExecute() {
  auto& s = State();
  auto& q = Query();
  q.Busy = 0;
  Page.Gauge1.Percent = 0;
  SetLabel(Page.Label236, txt::LtrDisconnected);
  if (s.LtrPortOpen.load()) {
    q.Busy = 0;
    WaitReleased();
    Pause(20);
    q.Close();
    s.PortClosed = 1;
    s.LtrPortOpen = 0;
  }
  Page.ReadSPBtn = A::AcNKPList;
  Page.Captions[static_cast<std::size_t>(A::AcNKPList)] = txt::ActConnectLtr;
  Page.Enable(A::AcNKPList, true);
  Page.GridVisible = false;
  Page.Label2.Visible = Page.Label3.Visible = Page.Label12.Visible = false;
  Page.Gauge3.Visible = false;
  SetLabel(Page.Label237, txt::LinkWithLtr, ColourRed);
  SetLabel(Page.Label238, txt::NotEstablished, ColourRed);
  DisableLTRAction();
  Page.ClockGroupVisible = false;
  Page.PortBoxEnabled = true;
  Page.BlockPanelVisible = false;
  Disconnected = true;
  Refresh();
}

void CarrierOperations::Timer2Timer() {
  auto& s = State();
  const TDateTime now = worker_.Context().PresentClock.Now();
  Page.Edit3 = DateTimeText(now);
  s.CarrierClock += OneSecond;
  if (std::fabs(now - s.CarrierClock) * SecondsPerDay < 2.0) s.CarrierClock = now;
  Page.Edit1 = DateTimeText(s.CarrierClock);
}

void CarrierOperations::NKPDtTmSetClick() {
  auto& s = State();
  NkpBegin();
  DisableNKPAction();
  Page.Timer2 = false;
  if (!AutoCorrection()) {
    Page.NKPDtTmSet = A::AcLTR_StopCopy;
    Page.Enable(A::AcLTR_StopCopy, true);
  }
  for (int command : {7, 8, 6}) {
    const int r = Run(command, false, false, true, [this] { NkpStatusTick(txt::NotEstablishedCode); });
    if (r != 0) {
      Page.NKPDtTmSet = A::AcNKP_DateTimeCorrect;
      NkpFailEnd(r);
      return;
    }
  }
  const TDateTime now = worker_.Context().PresentClock.Now();
  if (std::fabs(now - s.CarrierClock) * SecondsPerDay < 2.0) s.CarrierClock = now;
  Page.Edit1 = DateTimeText(s.CarrierClock);
  Page.Edit3 = DateTimeText(now);
  Page.NKPDtTmSet = A::AcNKP_DateTimeCorrect;
  EnableNKPAction();
  Page.Timer2 = true;
  PollOn();
  LastResult = 0;
  Refresh();
}

void CarrierOperations::AcLTR_DateTimeCorrectExecute() { LtrDateTimeCorrect(Connecting); }

void CarrierOperations::LtrDateTimeCorrect(bool fromConnect) {
  auto& s = State();
  SetLabel(Page.Label236, txt::TimeCorrection);
  Page.Gauge1 = {0, true};
  DisableLTRAction();
  const int r = Run(15, true, s.Ltr2.load() != 0, false, [this] { ProgressTick(txt::DateTimeCorrection); });
  if (r == 0) {
    const TDateTime now = worker_.Context().PresentClock.Now();
    Page.Edit1 = Page.Edit3 = DateTimeText(now);
    s.CarrierClock = now;
    Pause(100);
    Page.Gauge1.Visible = false;
    SetLabel(Page.Label236, txt::Done);
    EnableLTRAction();
    LastResult = 0;
  } else {
    LastResult = r;
    if (!StoppedByUser) ShowError(r, LtrName());
    SetLabel(Page.Label236, "");
    Page.Gauge1.Visible = false;
    AcLTR_DisConnectExecute();
  }
  if (s.Ltr2.load() && !fromConnect && s.LtrPortOpen.load()) ReadSPBtnClick();
  Refresh();
}

void CarrierOperations::AutoTimeCorrCBClick(bool checked) {
  worker_.Settings.NKPAutoTimeCorrectCB = checked;
  if (OnAutoCorrectionChanged) OnAutoCorrectionChanged(checked);
  const A action = ModBox == ModBoxNkp ? A::AcNKP_DateTimeCorrect : A::AcLTR_DateTimeCorrect;
  Page.NKPDtTmSet = action;
  Page.Enable(action, !checked);
}

void CarrierOperations::Timer1Timer() {
  const double elapsedMs = (worker_.Context().PresentClock.Now() - clearStart_) * SecondsPerDay * 1000.0;
  Page.Gauge1.Percent = std::clamp(PercentOf(elapsedMs, 3000.0), 0, 100);
}

void CarrierOperations::BitBtn1Click() {
  auto& s = State();
  NkpBegin();
  DisableNKPAction();
  s.GoOn = 1;
  Page.GridVisible = false;
  Page.ClockGroupVisible = false;
  Page.Label236.Visible = false;
  Page.Gauge1 = {0, true};
  clearStart_ = worker_.Context().PresentClock.Now();
  Page.Timer1 = true;
  const int r = Run(4, false, false, true, [this] { Timer1Timer(); });
  Page.Timer1 = false;
  if (r != 0) {
    NkpFailEnd(r);
    return;
  }
  Page.Grid.Reset();
  s.GoOn = 0;
  ReadSPBtnClick();
}

void CarrierOperations::Button2Click() {
  auto& s = State();
  NkpBegin();
  Page.ClockGroupVisible = false;
  Page.GridVisible = false;
  DisableNKPAction();
  s.GoOn = 1;
  Page.Grid.Reset();
  Page.Label2.Visible = true;
  Page.Label3.Visible = Page.Label12.Visible = false;
  Page.Gauge3.Visible = false;
  int r = Run(2, false, false, true, {});
  if (r != 0) {
    NkpFailEnd(r);
    return;
  }
  int faulty = 0;
  const auto& a = Query().Answer();
  for (std::size_t i = 0; i < FaultyBlocks.size(); ++i) {
    const std::uint16_t w = static_cast<std::uint16_t>(a[2 * i] + 256 * a[2 * i + 1]);
    if (w & 0x8000) {
      FaultyBlocks[i] = 0x8000;
    } else {
      FaultyBlocks[i] = w;
      ++faulty;
    }
  }
  if (faulty == 0) {
    view_.ShowMessage(txt::CheckNoFaults);
    s.GoOn = 0;
    ReadSPBtnClick();
    return;
  }
  if (!view_.AskCheckMemory(faulty)) {
    EnableNKPAction();
    s.GoOn = 0;
    ReadSPBtnClick();
    return;
  }
  Page.Gauge1 = {0, true};
  Page.Memo1.clear();
  Page.LogVisible = true;
  for (std::size_t i = 0; i < FaultyBlocks.size(); ++i) {
    const std::uint16_t block = FaultyBlocks[i];
    if (block & 0x8000) continue;
    s.BlockCounter = block;
    Page.Memo1.push_back("");
    Page.Memo1.push_back(txt::CheckingBlock + std::to_string(block));
    for (int n = 1; n <= 3; ++n) {
      s.BlockCounter = block;
      r = Run(9, false, false, true, {});
      if (r != 0) {
        NkpFailEnd(r);
        return;
      }
      Page.Memo1.push_back(std::to_string(n) + txt::RecordOk);
    }
    s.RestoreParameter = 64 + 2 * static_cast<int>(i);
    r = Run(10, false, false, true, {});
    if (r != 0) {
      NkpFailEnd(r);
      return;
    }
    Page.Memo1.push_back(txt::BlockPrefix + std::to_string(block) + txt::Restored);
  }
  Page.Memo1.push_back("");
  Page.Memo1.push_back(txt::ClearingMemory);
  s.GoOn = 0;
  BitBtn1Click();
  Page.LogVisible = false;
}

}  // namespace velk
