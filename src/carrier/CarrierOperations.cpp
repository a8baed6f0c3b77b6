// Shared steps of the carrier operations, connecting and listing, selection.
#include "carrier/CarrierOperations.h"

#include <cmath>

#include "carrier/CarrierErrors.h"
#include "carrier/CarrierTexts.h"
#include "common/Mathem.h"

namespace velk {

namespace txt = carrier_text;
using A = CarrierAction;

CarrierOperations::CarrierOperations(CarrierWorker& worker, CarrierPageView& view, CarrierFileStore& store)
    : worker_(worker), view_(view), store_(store) {
  FaultyBlocks.fill(0x8000);
  auto& c = Page.Captions;
  auto set = [&](A a, const char* text) { c[static_cast<std::size_t>(a)] = text; };
  set(A::AcNKPList, txt::ActConnectNkp);
  set(A::AcLTR_StopCopy, txt::Stop);
  set(A::AcNKPDisConnect, txt::DisconnectNkp);
  set(A::AcLTR_DisConnect, txt::ActDisconnectLtr);
  set(A::AcStopTimer3, txt::ActPollOff);
  set(A::AcNKPCopuFile, txt::ActCopy);
  set(A::AcCopyView, txt::ActCopyView);
  set(A::AcLTR_CopyDel, txt::ActCopyDelete);
  set(A::AcLTR_DelFile, txt::ActDeleteSelected);
  set(A::AcLTR_ClearMem, txt::ClearLtr);
  set(A::AcLTR_DopMemEN, txt::ActUndelete);
  set(A::AcLTR_DopMemDis, "X");
  set(A::AcLTR_UnErase, txt::ActRestore);
  set(A::AcNKP_DateTimeCorrect, txt::ActCorrectUpper);
  set(A::AcLTR_DateTimeCorrect, txt::ActCorrectUpper);
  set(A::AcNKPClearMem, txt::ClearNkp);
  set(A::AcNKPCheckMem, txt::CheckNkp);
  Page.Enable(A::AcNKPList, true);
  Page.Enable(A::AcStopTimer3, true);  // the poll can always be switched off
  Page.Label237.Visible = Page.Label238.Visible = false;
  Page.Label2.Visible = Page.Label3.Visible = Page.Label12.Visible = false;
}

std::string CarrierOperations::LtrName() const {
  return worker_.Context().State.Ltr2.load() ? txt::NameLtr2 : txt::NameLtr;
}

// The page is drawn before the events are handled, so that a click handled
// here already meets the page as the running command left it.
void CarrierOperations::Pump() {
  Refresh();
  worker_.Context().Ui.ProcessMessages();
}

int CarrierOperations::Run(int command, bool ltr, bool ltr2, bool nkp, const std::function<void()>& tick) {
  // Once the window is closing, an operation unwinds without starting another command.
  if (closing_) {
    State().Result = CarrierResultUserAbort;
    return CarrierResultUserAbort;
  }
  worker_.StartCarrierCommand(command, ltr, ltr2, nkp);
  worker_.WaitForThread([this] { Pump(); }, tick);
  Refresh();
  return State().Result.load();
}

void CarrierOperations::ProgressTick(const std::string& text) {
  auto& q = Query();
  const int expected = q.ExpectedCount.load();
  const bool known = expected != TComPortQuery::WaitingCount;
  Page.Enable(A::AcLTR_StopCopy, known);
  SetLabel(Page.Label236, known ? text : txt::Waiting);
  Page.Gauge1.Percent = known ? std::min(100, PercentOf(q.ReceivedCount.load(), expected)) : 0;
}

void CarrierOperations::NkpStatusTick(const std::string& failureText) {
  const int r = State().Result.load();
  Page.Label237.Visible = Page.Label238.Visible = true;
  if (r != 0 && r != CarrierResultPending) {
    SetLabel(Page.Label237, txt::LinkWithNkp, ColourRed);
    SetLabel(Page.Label238, failureText + std::to_string(r), ColourRed);
  } else {
    SetLabel(Page.Label237, txt::LinkEstablished, ColourGreen);
    SetLabel(Page.Label238, txt::NkpSerialPrefix + std::to_string(CarrierSerial), ColourGreen);
  }
}

void CarrierOperations::WaitReleased() {
  if (worker_.Running()) worker_.WaitForThread([this] { Pump(); });
}

void CarrierOperations::Pause(int ms) { CarrierWorker::WaitWithMessages(ms, [this] { Pump(); }); }

void CarrierOperations::ShowError(int result, const std::string& dev) {
  LastResult = result;
  const std::string text = CarrierErrorText(result, worker_.PortName(), dev);
  if (!text.empty()) view_.ShowMessage(text);
}

void CarrierOperations::SetLabel(CarrierLabel& label, const std::string& text, Colour colour) {
  label.Text = text;
  label.TextColour = colour;
  label.Visible = true;
}

void CarrierOperations::PollOn() {
  Page.Timer3 = true;
  SetLabel(Page.Label239, txt::PollOn);
}

void CarrierOperations::PollOnWithStopButton() {
  PollOn();
  Page.ReadSPBtn = A::AcStopTimer3;
}

void CarrierOperations::PollOff() {
  Page.Timer3 = false;
  SetLabel(Page.Label239, txt::PollOff);
}

void CarrierOperations::EnableNKPAction() {
  for (A a : {A::AcNKPCopuFile, A::AcCopyView, A::AcNKPClearMem, A::AcNKPCheckMem, A::AcNKPDisConnect})
    Page.Enable(a, true);
  Page.Enable(A::AcNKP_DateTimeCorrect, !AutoCorrection());
}

void CarrierOperations::DisableNKPAction() {
  for (A a : {A::AcNKPCopuFile, A::AcCopyView, A::AcNKPClearMem, A::AcNKPCheckMem, A::AcNKPDisConnect,
              A::AcNKP_DateTimeCorrect})
    Page.Enable(a, false);
}

void CarrierOperations::EnableLTRAction() {
  for (A a : {A::AcNKPCopuFile, A::AcCopyView, A::AcLTR_CopyDel, A::AcLTR_DelFile, A::AcLTR_ClearMem,
              A::AcLTR_DopMemEN, A::AcLTR_DopMemDis, A::AcLTR_UnErase, A::AcLTR_DisConnect})
    Page.Enable(a, true);
  Page.Enable(A::AcLTR_DateTimeCorrect, !AutoCorrection());
}

void CarrierOperations::DisableLTRAction() {
  for (A a : {A::AcNKPCopuFile, A::AcCopyView, A::AcLTR_CopyDel, A::AcLTR_DelFile, A::AcLTR_ClearMem,
              A::AcLTR_DopMemEN, A::AcLTR_DopMemDis, A::AcLTR_UnErase, A::AcLTR_DisConnect,
              A::AcLTR_DateTimeCorrect})
    Page.Enable(a, false);
}

void CarrierOperations::NkpBegin() {
  PollOff();
  Query().Busy = 0;
  if (!Disconnected) WaitReleased();
  StoppedByUser = false;
}

void CarrierOperations::NkpFailEnd(int result) {
  LastResult = result;
  if (!StoppedByUser) ShowError(result, txt::NameNkp);
  NKPDisConnect(false);
  if (result == CarrierResultPortFailed)
    PollOff();
  else
    PollOnWithStopButton();
  SetLabel(Page.Label236, "");
  State().GoOn = 0;
}

void CarrierOperations::ShowStatistics(int files, int used, int total) {
  SetLabel(Page.Label2, txt::FileCountLabel + std::to_string(files));
  SetLabel(Page.Label3, txt::UsedBlocksLabel + std::to_string(used));
  SetLabel(Page.Label12, txt::FreeBlocksLabel + std::to_string(total - used));
  Page.Gauge3.Percent = PercentOf(used, total);
  Page.Gauge3.Visible = true;
  Page.Gauge3Colour = OccupancyGaugeColour(Page.Gauge3.Percent);
}

CarrierOperations::OperationScope::~OperationScope() {
  ops_.lockingDepth_ -= locking_ ? 1 : 0;
  if (--ops_.operationDepth_ == 0 && ops_.OnOperationsEnded) ops_.OnOperationsEnded();
}

void CarrierOperations::SelectFamily(int modBox) {
  const bool changed = modBox != ModBox;
  ModBox = modBox;
  if (modBox != ModBoxNkp && modBox != ModBoxLtr) return;
  const bool nkp = modBox == ModBoxNkp;
  if (changed) ShowNoLink();
  Page.Captions[static_cast<std::size_t>(A::AcNKPList)] = nkp ? txt::ActConnectNkp : txt::ActConnectLtr;
  Page.NKPDtTmSet = nkp ? A::AcNKP_DateTimeCorrect : A::AcLTR_DateTimeCorrect;
  if (Disconnected) Page.TabCaption = nkp ? txt::NameNkp : txt::NameLtr;
}

void CarrierOperations::ShowNoLink() {
  DisableNKPAction();
  DisableLTRAction();
  PollOff();
  Page.ReadSPBtn = A::AcNKPList;
  Page.Enable(A::AcNKPList, true);
  Page.GridVisible = Page.ClockGroupVisible = Page.BlockPanelVisible = Page.LogVisible = false;
  Page.Gauge1.Visible = Page.Gauge2.Visible = Page.Gauge3.Visible = false;
  for (CarrierLabel* label : {&Page.Label236, &Page.Label237, &Page.Label238, &Page.Label2, &Page.Label3,
                              &Page.Label12, &Page.Label60})
    label->Visible = false;
  Page.PortBoxEnabled = true;
  Disconnected = true;
}

bool CarrierOperations::ActionAvailable(CarrierAction action) const {
  return !closing_ && Page.IsEnabled(action) && (!CommandsLocked() || action == A::AcLTR_StopCopy);
}

bool CarrierOperations::Execute(CarrierAction action) {
  if (!ActionAvailable(action)) return false;
  if (OperationRunning() && action != A::AcLTR_StopCopy) {
    pendingAction_ = action;  // a poll step: the click runs once it has ended
    return true;
  }
  {
    OperationScope scope(*this, true);
    Refresh();  // the competing commands are shown locked at once
    Dispatch(action);
  }
  Refresh();
  return true;
}

void CarrierOperations::Dispatch(CarrierAction action) {
  switch (action) {
    case A::AcNKPList: return ReadSPBtnClick();
    case A::AcLTR_StopCopy: return AcLTR_StopCopyExecute();
    case A::AcNKPDisConnect: return AcNKPDisConnectExecute();
    case A::AcLTR_DisConnect: return AcLTR_DisConnectExecute();
    case A::AcStopTimer3: return AcStopTimer3Execute();
    case A::AcNKPCopuFile: return AcNKPCopuFileExecute();
    case A::AcCopyView: return AcCopyViewExecute();
    case A::AcLTR_CopyDel: return AcLTR_CopyDelExecute();
    case A::AcLTR_DelFile: return AcLTR_DelFileExecute();
    case A::AcLTR_ClearMem: return AcLTR_ClearMemExecute();
    case A::AcLTR_DopMemEN: return AcLTR_DopMemENExecute();
    case A::AcLTR_DopMemDis: return AcLTR_DopMemDisExecute();
    case A::AcLTR_UnErase: return AcLTR_UnEraseExecute();
    case A::AcNKP_DateTimeCorrect: return NKPDtTmSetClick();
    case A::AcLTR_DateTimeCorrect: return AcLTR_DateTimeCorrectExecute();
    case A::AcNKPClearMem: return BitBtn1Click();
    case A::AcNKPCheckMem: return Button2Click();
    case A::AcView:  // the main window's action
    case A::Count: return;
  }
}

void CarrierOperations::StopForClose() {
  closing_ = true;
  StoppedByUser = true;
  Query().Busy = 0;
  State().GoOn = 0;
  Page.Timer1 = Page.Timer2 = Page.Timer3 = false;
}

void CarrierOperations::ReadSPBtnClick() {
  StoppedByUser = false;
  // A list read while connected (after a service) keeps the current row.
  const bool freshConnect = Disconnected;
  if (ModBox == ModBoxNkp)
    ConnectNkp(freshConnect);
  else if (ModBox == ModBoxLtr)
    ConnectLtr(freshConnect);
}

void CarrierOperations::KeepCurrentRow(int previousRow, bool freshConnect, int files) {
  Page.Grid.CurrentRow = !freshConnect && previousRow >= 1 && previousRow <= files ? previousRow : 1;
  if (files > 0) Page.Grid.SelectOnly(Page.Grid.CurrentRow);
}

void CarrierOperations::ConnectNkp(bool freshConnect) {
  auto& s = State();
  Page.TabCaption = txt::NameNkp;
  PollOff();
  Query().Busy = 0;
  if (!Disconnected) WaitReleased();
  Connecting = true;
  s.GoOn = 1;
  Page.ReadSPBtn = A::AcLTR_StopCopy;
  Page.Enable(A::AcLTR_StopCopy, true);
  DisableNKPAction();
  SetLabel(Page.Label236, txt::ReadingListNkp);

  int r = Run(1, false, false, true, [this] { NkpStatusTick(txt::NotEstablishedCode); });
  std::optional<NkpIdentification> id;
  if (ModBox != ModBoxNkp) {
    Connecting = false;
    return;
  }
  if (r == 0) {
    id = ParseNkpIdentification(std::span(Query().Answer()).first(NkpIdentificationSize));
    if (!id) r = 2;  // no end word within the area: not a valid identification area
  }
  if (r != 0) {
    NkpFailEnd(r);
    Connecting = false;
    return;
  }

  const int files = static_cast<int>(id->StartBlocks.size());
  const int previousRow = Page.Grid.CurrentRow;
  Page.Grid.Reset();
  for (int i = 0; i < files; ++i) {
    s.CarrierFileTable[static_cast<std::size_t>(i)] = TCarrierFileEntry{};
    s.CarrierFileTable[static_cast<std::size_t>(i)].StartBlock = id->StartBlocks[static_cast<std::size_t>(i)];
    CarrierRowCells cells;
    cells[ColNumber] = std::to_string(i + 1);
    cells[ColStartBlock] = std::to_string(id->StartBlocks[static_cast<std::size_t>(i)]);
    Page.Grid.SetRow(i + 1, cells);
  }
  s.CarrierFileTable[static_cast<std::size_t>(files)] = TCarrierFileEntry{};
  s.CarrierFileTable[static_cast<std::size_t>(files)].StartBlock = id->FirstFreeBlock;
  s.FileCount = files + 1;

  Page.Gauge1 = {0, true};
  const double step = 100.0 / s.FileCount;
  r = Run(3, false, false, true, [this, step] {
    NkpStatusTick(txt::NotEstablishedCode);
    Page.Gauge1.Percent = static_cast<int>(std::lround(State().BlockCounter.load() * step));
  });
  if (r != 0) {
    NkpFailEnd(r);
    Connecting = false;
    return;
  }
  Pause(100);
  int used = 0;
  for (int i = 0; i < files; ++i) {
    auto& e = s.CarrierFileTable[static_cast<std::size_t>(i)];
    used += e.BlockCount;
    Page.Grid.SetRow(i + 1, NkpFileRow(e, i + 1));
    Page.Grid.SetRowTextColour(i + 1, e.UnrecognisedType);
  }

  r = Run(6, false, false, true, [this] { NkpStatusTick(txt::InterruptedCode); });
  if (r != 0) {
    NkpFailEnd(r);
    Connecting = false;
    return;
  }
  const TDateTime now = worker_.Context().PresentClock.Now();
  Page.Edit1 = DateTimeText(s.CarrierClock);
  Page.Edit3 = DateTimeText(now);
  Page.ClockGroupVisible = true;
  Page.NKPDtTmSet = A::AcNKP_DateTimeCorrect;
  Page.Timer2 = true;
  s.GoOn = 0;
  Page.GridVisible = true;
  Page.Gauge1.Visible = false;

  if (files > 0) EnableNKPAction();
  Page.Enable(A::AcNKPDisConnect, true);
  Page.Enable(A::AcNKPCheckMem, true);
  Page.Enable(A::AcNKP_DateTimeCorrect, !AutoCorrection());
  Page.ReadSPBtn = A::AcNKPDisConnect;
  KeepCurrentRow(previousRow, freshConnect, files);
  ShowStatistics(files, used, NkpBlockCount);
  Disconnected = false;
  LastResult = 0;
  SetLabel(Page.Label236, txt::Done);
  if (AutoCorrection())
    NKPDtTmSetClick();
  else
    PollOn();
  Connecting = false;
  Refresh();
}

void CarrierOperations::ConnectLtr(bool freshConnect) {
  auto& s = State();
  auto& q = Query();
  Page.TabCaption = txt::NameLtr;
  if (!s.LtrPortOpen.load()) {
    std::string error;
    q.SetPortName(worker_.PortName());
    q.SetBaudRate(BaudRateFromCode(worker_.Settings.Ltr.BaudCode));
    if (q.Open(error)) {
      q.SetDtr(true);
      view_.ShowMessage(txt::LtrConnectHint1 + std::to_string(worker_.PortIndex + 1) + "\r" + txt::LtrConnectHint2 +
                        "\r" + txt::LtrConnectHint3);
      s.PortClosed = 0;
      s.LtrPortOpen = 1;
    } else {
      s.PortClosed = 1;
      s.Result = CarrierResultPortFailed;
      q.Busy = 0;
      LastResult = CarrierResultPortFailed;
      SetLabel(Page.Label237, worker_.PortName() + txt::PortNotFound, ColourRed);
      SetLabel(Page.Label238, txt::OrBusy, ColourRed);
      Disconnected = true;
      Refresh();
      return;
    }
  }
  Connecting = true;
  Page.BlockPanelVisible = false;
  if (ListLtr(true, freshConnect) && s.Ltr2.load()) ListLtr(false, false);
  Connecting = false;
  Refresh();
}

bool CarrierOperations::ListLtr(bool allowCorrection, bool freshConnect) {
  auto& s = State();
  auto& q = Query();
  s.GoOn = 1;
  DisableLTRAction();
  Page.Gauge1 = {0, true};
  Page.ReadSPBtn = A::AcLTR_StopCopy;
  int r = Run(12, true, false, false, [this] { ProgressTick(txt::ReadingListLtr); });
  std::optional<LtrDirectory> dir;
  std::string error;
  if (r == 0) {
    const auto& a = q.Answer();
    const std::size_t length = static_cast<std::size_t>(LtrDirectoryDataLength(a[0], a[1]));
    dir = ParseLtrDirectory(std::span(a).first(std::min(length, a.size())), error);
    if (!dir) r = 2;  // a directory that contradicts itself is a failed read
  }
  if (r != 0) {
    LastResult = r;
    if (!StoppedByUser) ShowError(r, LtrName());
    DisableLTRAction();
    Page.ReadSPBtn = A::AcNKPList;
    AcLTR_DisConnectExecute();
    s.GoOn = 0;
    return false;
  }
  Page.PortBoxEnabled = false;
  s.Ltr2 = dir->Ltr2 ? 1 : 0;
  const std::string family = dir->Ltr2 ? txt::NameLtr2 : txt::NameLtr;
  SetLabel(Page.Label237, txt::LinkEstablished, ColourGreen);
  SetLabel(Page.Label238, (dir->Ltr2 ? txt::Ltr2SerialPrefix : txt::LtrSerialPrefix) + std::to_string(dir->SerialNumber),
           ColourGreen);
  s.CarrierClock = dir->Clock;
  MemorySize = dir->MemorySize;
  const int previousRow = Page.Grid.CurrentRow;
  Page.Grid.Reset();
  const int files = static_cast<int>(dir->Files.size());
  for (int i = 0; i < files; ++i) {
    auto& e = s.CarrierFileTable[static_cast<std::size_t>(i)];
    e = dir->Files[static_cast<std::size_t>(i)];
    Page.Grid.SetRow(i + 1, dir->Ltr2 ? Ltr2FileRow(e, i + 1) : LtrFileRow(e, i + 1));
    Page.Grid.SetRowTextColour(i + 1, e.UnrecognisedType);
  }
  s.FileCount = files;
  KeepCurrentRow(previousRow, freshConnect, files);
  Page.Map.Fill(s, MemorySize);
  EnableLTRAction();
  ShowStatistics(files, files, MemorySize);
  const TDateTime now = worker_.Context().PresentClock.Now();
  Page.Edit1 = DateTimeText(s.CarrierClock);
  Page.Edit3 = DateTimeText(now);
  Page.ClockGroupVisible = true;
  Page.NKPDtTmSet = A::AcLTR_DateTimeCorrect;
  Page.GridVisible = true;
  Disconnected = false;
  LastResult = 0;
  if (AutoCorrection() && allowCorrection) LtrDateTimeCorrect(true);
  Page.Timer2 = true;
  Page.ReadSPBtn = A::AcLTR_DisConnect;
  Page.Captions[static_cast<std::size_t>(A::AcLTR_ClearMem)] = dir->Ltr2 ? txt::ClearLtr2 : txt::ClearLtr;
  Page.Captions[static_cast<std::size_t>(A::AcLTR_DisConnect)] = dir->Ltr2 ? txt::DisconnectLtr2 : txt::DisconnectLtr;
  SetLabel(Page.Label60, family);
  Page.TabCaption = family;
  Page.Gauge1.Visible = false;
  SetLabel(Page.Label236, txt::Done);
  s.GoOn = 0;
  return State().LtrPortOpen.load() != 0;
}

void CarrierOperations::SPGridMouseDown(int row, bool ctrl, bool shift) {
  if (State().GoOn.load()) return;
  if (row < 1 || row >= Page.Grid.RowCount()) return;
  if (ctrl)
    Page.Grid.ClickCtrl(row);
  else if (shift)
    Page.Grid.ClickShift(row);
  else
    Page.Grid.ClickPlain(row);
  const int count = Page.Grid.SelectedCount();
  if (count > 0)
    SetLabel(Page.Label236, txt::SelectedPrefix + std::to_string(count) + txt::SelectedSuffix);
  else
    Page.Label236.Visible = false;
  if (!ctrl && !shift) SPGridSelectCell(row);
  Refresh();
}

void CarrierOperations::SPGridSelectCell(int row) {
  if (ModBox != ModBoxLtr || CopyRunning || UndeleteRunning) return;
  if (row < 1 || row > State().FileCount) return;
  Page.Grid.CurrentRow = row;
  Page.Grid.SelectOnly(row);
  const auto [r, c] = LtrMemMap::CellOfBlock(State().CarrierFileTable[static_cast<std::size_t>(row - 1)].StartBlock);
  Page.Map.CursorRow = r;
  Page.Map.CursorCol = c;
}

void CarrierOperations::RemoveFile(int index) {
  auto& s = State();
  if (index < 0 || index >= s.FileCount) return;
  for (int i = index; i + 1 < s.FileCount; ++i)
    s.CarrierFileTable[static_cast<std::size_t>(i)] = s.CarrierFileTable[static_cast<std::size_t>(i) + 1];
  --s.FileCount;
  Page.Grid.RemoveRow(index + 1);
  // The running numbers follow the rows.
  for (int row = index + 1; row <= s.FileCount; ++row) {
    CarrierRowCells cells = Page.Grid.Row(row);
    cells[ColNumber] = std::to_string(row);
    Page.Grid.SetRow(row, cells);
  }
}

}  // namespace velk
