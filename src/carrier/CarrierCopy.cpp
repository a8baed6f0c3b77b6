// Copying files from a carrier: plain, with the viewer, and with delete.
#include <cmath>

#include "carrier/CarrierOperations.h"
#include "carrier/CarrierTexts.h"

namespace velk {

namespace txt = carrier_text;
using A = CarrierAction;

void CarrierOperations::AcNKPCopuFileExecute() {
  Page.BitBtn2 = A::AcLTR_StopCopy;
  if (ModBox == ModBoxNkp)
    CopyNkp();
  else if (ModBox == ModBoxLtr)
    CopyLtr();
  Page.BitBtn2 = A::AcNKPCopuFile;
  Refresh();
}

void CarrierOperations::AcCopyViewExecute() {
  const int files = ModBox == ModBoxNkp ? State().FileCount - 1 : State().FileCount;
  if (files <= 0) return;
  CopyAndView = true;
  Page.CopyViewBtn = A::AcLTR_StopCopy;
  if (ModBox == ModBoxNkp)
    CopyNkp();
  else
    CopyLtr();
  Page.CopyViewBtn = A::AcCopyView;
  CopyAndView = false;
  Refresh();
}

void CarrierOperations::AcLTR_CopyDelExecute() {
  Page.BitBtn4 = A::AcLTR_StopCopy;
  CopyAndDelete = true;
  CopyLtr();
  CopyAndDelete = false;
  Page.BitBtn4 = A::AcLTR_CopyDel;
  Refresh();
}

void CarrierOperations::AcLTR_StopCopyExecute() {
  Query().Busy = 0;
  State().GoOn = 0;
  WaitReleased();
  SetLabel(Page.Label236, txt::StoppedByUser);
  StoppedByUser = true;
  LastResult = CarrierResultUserAbort;
}

void CarrierOperations::SaveAndDecode(const CarrierDumpIdentity& id) {
  const std::string path = store_.SaveDump(worker_.Context().Image, id);
  if (!path.empty()) store_.Decode(path);
}

void CarrierOperations::CopyNkp() {
  auto& s = State();
  NkpBegin();
  if (s.FileCount <= 1) return;
  CopyRunning = true;
  DisableNKPAction();
  Page.Enable(A::AcLTR_StopCopy, true);
  int copied = 0;
  s.GoOn = 1;
  const int selected = Page.Grid.SelectedCount();
  if (selected > 1) {
    Page.Gauge2 = {0, true};
    Page.Panel5Height = 29;
  }
  bool completed = true;
  for (int j = 1; j < s.FileCount; ++j) {
    if (!s.GoOn.load() || StoppedByUser) break;
    if (!Page.Grid.Selected(j)) continue;
    const TCarrierFileEntry& entry = s.CarrierFileTable[static_cast<std::size_t>(j - 1)];
    const std::string serialText = Page.Grid.Row(j)[ColSerial];
    const std::string refused = txt::FilePrefix + serialText + txt::CannotCopySuffix;
    if (entry.UnrecognisedType == UnrecognisedTypeFlag ||
        static_cast<std::size_t>(entry.BlockCount) * NkpBlockSize > static_cast<std::size_t>(DumpCapacity)) {
      view_.ShowMessage(refused);
      continue;
    }
    Page.GridEnabled = false;
    Page.Grid.CurrentRow = j;
    ++copied;
    s.FileNumber = j;
    const double step = entry.BlockCount > 0 ? 100.0 / entry.BlockCount : 100.0;
    Page.Gauge1 = {0, true};
    SetLabel(Page.Label236, txt::CopyingFileNkp + serialText);
    const int r = Run(5, false, false, true, [this, step] {
      Page.Gauge1.Percent = std::min(100, static_cast<int>(std::lround(State().BlockCounter.load() * step)));
    });
    if (selected > 0) Page.Gauge2.Percent = std::min(100, PercentOf(copied, selected));
    if (r != 0) {
      completed = false;
      LastResult = r;
      if (StoppedByUser) break;
      ShowError(r, txt::NameNkp);
      Page.BitBtn2 = A::AcNKPCopuFile;
      NKPDisConnect(false);
      if (r == CarrierResultPortFailed)
        PollOff();
      else
        PollOnWithStopButton();
      SetLabel(Page.Label236, "");
      s.GoOn = 0;
      CopyRunning = false;
      Page.GridEnabled = true;
      return;
    }
    SetLabel(Page.Label236, txt::ProcessingFile + serialText);
    Page.Gauge1.Percent = 100;
    std::string error;
    const auto id = FinishNkpImage(worker_.Context().Image, entry.BlockCount, error);
    if (!id) {
      // The header claims more than the file holds: no dump from a partial image.
      view_.ShowMessage(refused);
      continue;
    }
    SaveAndDecode(*id);
    SetLabel(Page.Label236, txt::Done);
    Page.Grid.SetSelected(j, false);
    Page.Enable(A::AcView, true);
    if (CopyAndView) view_.LaunchViewer();
  }
  if (completed && !StoppedByUser) {
    if (copied > 0) view_.ArrangePages();
    LastResult = 0;
  }
  s.Result = CarrierResultPending;
  Page.GridEnabled = true;
  Page.Grid.SelectOnly(Page.Grid.CurrentRow);
  Page.Gauge1.Visible = Page.Gauge2.Visible = false;
  Page.Gauge2.Percent = 0;
  Page.Panel5Height = 19;
  s.GoOn = 0;
  Page.BitBtn2 = A::AcNKPCopuFile;
  Page.CopyViewBtn = A::AcCopyView;
  EnableNKPAction();
  CopyAndView = false;
  CopyRunning = false;
  PollOn();
}

void CarrierOperations::CopyLtr() {
  auto& s = State();
  auto& q = Query();
  StoppedByUser = false;
  CopyRunning = true;
  SetLabel(Page.Label239, "");
  if (s.FileCount >= 2) {
    Page.Gauge2 = {0, true};
    Page.Panel5Height = 32;
  }
  Page.GridEnabled = false;
  DisableLTRAction();
  if (!CopyAndView && !CopyAndDelete) Page.BitBtn2 = A::AcLTR_StopCopy;
  s.GoOn = 1;
  const bool ltr2 = s.Ltr2.load() != 0;
  const int selected = Page.Grid.SelectedCount();
  int last = 0, done = 0;
  bool deleted = false;
  for (int i = 0; i < s.FileCount;) {
    const int row = i + 1;
    if (!Page.Grid.Selected(row)) {
      ++i;
      continue;
    }
    Page.Grid.CurrentRow = row;
    const TCarrierFileEntry entry = s.CarrierFileTable[static_cast<std::size_t>(i)];
    const std::string serialText = Page.Grid.Row(row)[ColSerial];
    if (!LtrFileCopyable(entry, ltr2)) {
      const BadTypeChoice choice = view_.AskBadType(serialText);
      if (choice == BadTypeChoice::Stop) break;
      if (choice == BadTypeChoice::Delete) {
        last = LTR_DelFileExecute(i);
        if (last == 0) {
          RemoveFile(i);
          deleted = true;
          continue;
        }
        if (!StoppedByUser) AcLTR_DisConnectExecute();
        break;
      }
      Page.Grid.SetSelected(row, false);
      ++i;
      continue;
    }
    s.BlockCounter = entry.StartBlock;
    Page.Gauge1 = {0, true};
    last = Run(14, true, ltr2, false, [this, serialText] { ProgressTick(txt::CopyingFileLtr + serialText); });
    ++done;
    if (selected > 0) Page.Gauge2.Percent = std::min(100, PercentOf(done, selected));
    if (last != 0) {
      LastResult = last;
      if (StoppedByUser) break;
      ShowError(last, LtrName());
      SetLabel(Page.Label236, "");
      AcLTR_DisConnectExecute();
      break;
    }
    Page.Gauge1.Percent = 100;
    SetLabel(Page.Label236, txt::ProcessingFile + serialText);
    auto& image = worker_.Context().Image;
    const auto answer = std::span(q.Answer());
    const CarrierDumpIdentity id =
        ltr2 ? RebuildLtr2Image(image, answer, entry.ReadTime, previousDeviceCode_) : RebuildLtrImage(image, answer);
    previousDeviceCode_ = id.DeviceCode;
    SaveAndDecode(id);
    Page.Enable(A::AcView, true);
    if (CopyAndView) view_.LaunchViewer();
    SetLabel(Page.Label236, txt::Done);
    if (CopyAndDelete && !StoppedByUser) {
      last = LTR_DelFileExecute(i);
      if (last == 0) {
        RemoveFile(i);
        deleted = true;
        continue;
      }
      if (!StoppedByUser) AcLTR_DisConnectExecute();
      break;
    }
    Page.Grid.SetSelected(row, false);
    ++i;
  }
  Page.BitBtn2 = A::AcNKPCopuFile;
  Page.CopyViewBtn = A::AcCopyView;
  Page.BitBtn4 = A::AcLTR_CopyDel;
  s.GoOn = 0;
  Page.Gauge2 = {0, false};
  Page.Panel5Height = 19;
  CopyRunning = false;
  const bool fine = last == 0 || last == CarrierResultUserAbort;
  if (fine && deleted && s.LtrPortOpen.load()) ReadSPBtnClick();
  if (fine && s.LtrPortOpen.load()) {
    EnableLTRAction();
    Page.Grid.SelectOnly(Page.Grid.CurrentRow);
    if (done > 0) view_.ArrangePages();
  }
  if (last == 0 && !StoppedByUser) LastResult = 0;
  Page.GridEnabled = true;
}

}  // namespace velk
