// The ЛТР memory services: delete, clear, undelete, and the block map.
#include "carrier/CarrierOperations.h"
#include "carrier/CarrierTexts.h"

namespace velk {

namespace txt = carrier_text;
using A = CarrierAction;

int CarrierOperations::LTR_DelFileExecute(int index) {
  auto& s = State();
  if (index < 0 || index >= s.FileCount) return 0;
  const int row = index + 1;
  Page.Grid.CurrentRow = row;
  const std::string serialText = Page.Grid.Row(row)[ColSerial];
  const int start = s.CarrierFileTable[static_cast<std::size_t>(index)].StartBlock;
  // The ЛТР-2 counts its blocks from 1 in this command.
  s.BlockCounter = start + (s.Ltr2.load() ? 1 : 0);
  Page.Gauge1 = {0, true};
  const int r = Run(13, true, false, false, [this, serialText] { ProgressTick(txt::DeletingFile + serialText); });
  if (r != 0) {
    LastResult = r;
    if (!StoppedByUser) ShowError(r, LtrName());
    SetLabel(Page.Label236, "");
    Page.Grid.SetSelected(row, false);
    return r;
  }
  Page.Map.ClearCell(start);
  return 0;
}

void CarrierOperations::AcLTR_DelFileExecute() {
  auto& s = State();
  DisableLTRAction();
  for (int i = 0; i < s.FileCount;) {
    if (!Page.Grid.Selected(i + 1)) {
      ++i;
      continue;
    }
    Page.Grid.CurrentRow = i + 1;
    if (LTR_DelFileExecute(i) != 0) {
      AcLTR_DisConnectExecute();
      return;
    }
    RemoveFile(i);
  }
  ReadSPBtnClick();
  Page.Grid.RecountSelection();
}

void CarrierOperations::AcLTR_ClearMemExecute() {
  auto& s = State();
  auto& q = Query();
  DisableLTRAction();
  Page.Gauge1 = {0, true};
  const int r = Run(16, true, s.Ltr2.load() != 0, false, [this, &q] {
    ProgressTick(txt::ClearingLtr);
    Page.Gauge1.Percent = std::min(100, PercentOf(q.ReceivedCount.load(), 16199));
  });
  if (r != 0) {
    LastResult = r;
    if (!StoppedByUser) ShowError(r, LtrName());
    SetLabel(Page.Label236, "");
    AcLTR_DisConnectExecute();
    return;
  }
  ReadSPBtnClick();
  Page.Grid.ClearSelection();
  Page.Enable(A::AcLTR_DisConnect, true);
  Page.Enable(A::AcLTR_DateTimeCorrect, !AutoCorrection());
}

void CarrierOperations::AcLTR_UnEraseExecute() {
  auto& s = State();
  const int mapBlock = LtrMemMap::BlockOfCell(Page.Map.CursorRow, Page.Map.CursorCol);
  // A cursor on a header cell or past the memory end names no block to restore.
  if (Page.Map.CursorRow < 1 || Page.Map.CursorCol < 1 ||
      Page.Map.PastMemoryEnd(Page.Map.CursorRow, Page.Map.CursorCol) || mapBlock >= MemorySize)
    return;
  UndeleteRunning = true;
  s.GoOn = 1;
  DisableLTRAction();
  const int block = mapBlock + (s.Ltr2.load() ? 1 : 0);
  s.BlockCounter = block;
  Page.Gauge1 = {0, true};
  const int r = Run(17, true, false, false,
                    [this, block] { ProgressTick(txt::RestoringBlock + std::to_string(block)); });
  if (r == 0) {
    Page.Gauge1.Visible = false;
    SetLabel(Page.Label236, txt::Done);
    UndeleteRunning = false;
    ReadSPBtnClick();
    const int file = FileStartingAt(s, mapBlock);
    if (file >= 0) {
      Page.Grid.CurrentRow = file + 1;
      Page.Grid.SelectOnly(file + 1);
    }
  } else {
    LastResult = r;
    if (!StoppedByUser) ShowError(r, LtrName());
    SetLabel(Page.Label236, "");
    Page.Gauge1.Visible = false;
    AcLTR_DisConnectExecute();
  }
  s.GoOn = 0;
  UndeleteRunning = false;
  Refresh();
}

// The opening action is hidden while the panel is open (CarrierActionShown).
void CarrierOperations::AcLTR_DopMemENExecute() { Page.BlockPanelVisible = true; }

void CarrierOperations::AcLTR_DopMemDisExecute() { Page.BlockPanelVisible = false; }

void CarrierOperations::LTRMemGridSelectCell(int row, int col) {
  if (row < 1 || col < 1 || row >= Page.Map.RowCount() || col >= LtrMemMap::ColCount) return;
  Page.Map.CursorRow = row;
  Page.Map.CursorCol = col;
  const auto info = Page.Map.SelectCell(row, col, State(), State().Ltr2.load() != 0);
  Page.Edit4 = info.Edit4;
  Page.Edit6 = info.Edit6;
  if (info.FileIndex >= 0 && !CopyRunning && !UndeleteRunning) {
    Page.Grid.CurrentRow = info.FileIndex + 1;
    Page.Grid.SelectOnly(info.FileIndex + 1);
  }
  Refresh();
}

}  // namespace velk
