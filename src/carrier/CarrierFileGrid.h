// The file grid SPGrid as a model: row texts, the selection flags of plain,
// Ctrl and Shift clicks, row removal and the cell colours.
#pragma once

#include <array>
#include <cmath>
#include <vector>

#include "carrier/CarrierFileList.h"
#include "decode/views/Grid.h"

namespace velk {

class CarrierFileGrid {
 public:
  static constexpr std::array<int, 8> ColumnWidths{22, 110, 77, 115, 55, 55, 55, 45};
  static constexpr int RowHeight = 17;
  static constexpr int TextTop = 2;  // pixels from the cell's top to its text

  CarrierFileGrid() { Reset(); }

  // Width hints: each column as wide as given above, and never narrower than
  // its longest text, so a reading time or a type name is not cut.
  std::vector<TColumnWidth> ColumnHints() const;

  // One empty file row, nothing selected.
  void Reset();
  // Grid rows: the header row 0 and file rows 1 … RowCount() − 1.
  int RowCount() const { return static_cast<int>(rows_.size()) + 1; }
  const CarrierRowCells& Row(int row) const;
  void SetRow(int row, const CarrierRowCells& cells);  // grows the grid as needed
  // The text colour of a file row: the entry's unrecognised-type flag read as
  // a colour (255 = red, drawn bold; 0 = black). Kept with the row, so that
  // the grid is drawn from the page alone while a command fills the table.
  void SetRowTextColour(int row, std::uint32_t unrecognisedType);
  Colour TextColour(int row) const;
  bool TextBold(int row) const { return TextColour(row) == UnrecognisedTypeFlag; }
  // Removes a file row: later rows and flags move up; with only one row left it is emptied instead.
  void RemoveRow(int row);

  // Counts the changes of the rows and the selection, so that a view redraws
  // only a changed grid (the current row is compared on its own).
  std::uint64_t Revision() const { return revision_; }

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

  // Cell background colours (0xBBGGRR).
  Colour CellBackground(int row, int col, bool ctrlHeld) const;

 private:
  std::vector<CarrierRowCells> rows_;
  std::vector<Colour> textColours_;  // one per row of rows_
  std::vector<std::uint8_t> selected_ = std::vector<std::uint8_t>(CarrierMaxRows, 0);
  int selectedCount_ = 0;
  int anchor_ = 1;
  std::uint64_t revision_ = 0;
};

// The block map LTRMemGrid: 11 columns, a header row and column, one cell per memory block.
class LtrMemMap {
 public:
  // FillLTRMemGrid: "X" in the cell of every file's start block.
  void Fill(const CarrierLinkState& state, int memorySize);
  int MemorySize() const { return memorySize_; }
  int RowCount() const { return memorySize_ / 10 + 2; }
  static constexpr int ColCount = 11;
  static constexpr int RowHeight = 14;
  static constexpr int TextTop = 1;
  // Column 0 is 22 pixels wide, the others share the grid's width.
  static int ColumnWidth(int col, int gridWidth) {
    return col == 0 ? 22 : static_cast<int>(std::lround(gridWidth / 11.0)) - 1;
  }
  std::string CellText(int row, int col) const;
  static int BlockOfCell(int row, int col) { return (row - 1) * 10 + (col - 1); }
  static std::pair<int, int> CellOfBlock(int block) { return {block / 10 + 1, block % 10 + 1}; }
  bool PastMemoryEnd(int row, int col) const;
  void ClearCell(int block);

  // LTRMemGridDrawCell
  Colour CellColour(int row, int col, bool current) const;

  struct CellInfo {
    std::string Edit4, Edit6;
    int FileIndex = -1;  // the table entry of the file starting in the block
  };
  // LTRMemGridSelectCell
  CellInfo SelectCell(int row, int col, const CarrierLinkState& state, bool ltr2) const;

  int CursorRow = 1, CursorCol = 1;

 private:
  int memorySize_ = 0;
  enum Mark : std::uint8_t { Free, File, UnknownFile };
  std::vector<Mark> marked_;
};

// The table entry of the file that starts at `block`, or −1.
int FileStartingAt(const CarrierLinkState& state, int block);

}  // namespace velk
