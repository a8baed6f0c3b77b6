// The file grid SPGrid as a model: row texts, the selection flags of plain,
// Ctrl and Shift clicks, row removal and the cell colours.
#pragma once

#include <vector>

#include "carrier/CarrierFileList.h"

namespace velk {

class CarrierFileGrid {
 public:
  CarrierFileGrid() { Reset(); }

  // One empty file row, nothing selected.
  void Reset();
  // Grid rows: the header row 0 and file rows 1 … RowCount() − 1.
  int RowCount() const { return static_cast<int>(rows_.size()) + 1; }
  const CarrierRowCells& Row(int row) const;
  void SetRow(int row, const CarrierRowCells& cells);  // grows the grid as needed
  // Removes a file row: later rows and flags move up; with only one row left it is emptied instead.
  void RemoveRow(int row);

  int CurrentRow = 1;
  bool Selected(int row) const { return row >= 0 && row < CarrierMaxRows && selected_[row]; }
  int SelectedCount() const { return selectedCount_; }
  void ClearSelection();
  void SetSelected(int row, bool on);
  void SelectOnly(int row);
  void RecountSelection();

  // Mouse selection on the current row.
  void ClickPlain(int row);
  void ClickCtrl(int row);
  void ClickShift(int row);

  // Cell colours (0xBBGGRR); the text colour is the entry's unrecognised-type flag read as a colour.
  Colour CellBackground(int row, int col, bool ctrlHeld) const;
  static Colour TextColour(const TCarrierFileEntry& entry) { return entry.UnrecognisedType; }
  static bool TextBold(const TCarrierFileEntry& entry) { return entry.UnrecognisedType == UnrecognisedTypeFlag; }

 private:
  std::vector<CarrierRowCells> rows_;
  std::vector<std::uint8_t> selected_ = std::vector<std::uint8_t>(CarrierMaxRows, 0);
  int selectedCount_ = 0;
  int anchor_ = 1;
};

// The block map LTRMemGrid: 11 columns, a header row and column, one cell per memory block.
class LtrMemMap {
 public:
  // FillLTRMemGrid: "X" in the cell of every file's start block.
  void Fill(const CarrierLinkState& state, int memorySize);
  int MemorySize() const { return memorySize_; }
  int RowCount() const { return memorySize_ / 10 + 2; }
  static constexpr int ColCount = 11;
  std::string CellText(int row, int col) const;
  static int BlockOfCell(int row, int col) { return (row - 1) * 10 + (col - 1); }
  static std::pair<int, int> CellOfBlock(int block) { return {block / 10 + 1, block % 10 + 1}; }
  bool PastMemoryEnd(int row, int col) const;
  void ClearCell(int block);

  // LTRMemGridDrawCell
  Colour CellColour(int row, int col, bool current, const CarrierLinkState& state) const;

  struct CellInfo {
    std::string Edit4, Edit6;
    int FileIndex = -1;  // the table entry of the file starting in the block
  };
  // LTRMemGridSelectCell
  CellInfo SelectCell(int row, int col, const CarrierLinkState& state, bool ltr2) const;

  int CursorRow = 1, CursorCol = 1;

 private:
  int memorySize_ = 0;
  std::vector<bool> marked_;
};

// The table entry of the file that starts at `block`, or −1.
int FileStartingAt(const CarrierLinkState& state, int block);

}  // namespace velk
