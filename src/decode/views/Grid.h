// A data view as plain cells: text, background colour and column width hints.
// The window renders it into a table widget, the command-line program prints it.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace velk {

struct TColour {
  std::uint8_t Red = 255, Green = 255, Blue = 255;
  friend bool operator==(const TColour&, const TColour&) = default;
};

inline constexpr TColour GridWhite{255, 255, 255};
inline constexpr TColour GridLightYellow{255, 255, 187};

// The width of a column: at least FixedPixels and at least the width of Sample
// (as the grid's font draws it) plus ExtraPixels. A ShareRest column takes an
// equal share of what the other columns leave of the grid's width, plus
// ShareAdjustPixels (negative to narrow it), but never less than that minimum.
// A column is also never narrower than its Widest text plus a small margin, so
// no number in it is cut.
struct TColumnWidth {
  int FixedPixels = 0;
  std::string Sample;
  int ExtraPixels = 0;
  bool ShareRest = false;
  int ShareAdjustPixels = 0;
  std::string Widest;

  static TColumnWidth Fixed(int pixels) { return {pixels, {}, 0, false, 0, {}}; }
  static TColumnWidth Text(std::string sample, int extra) { return {0, std::move(sample), extra, false, 0, {}}; }
  static TColumnWidth Share(std::string minimumSample, int extra, int adjust = 0) {
    return {0, std::move(minimumSample), extra, true, adjust, {}};
  }
};

struct TGridCell {
  std::string Text;
  TColour Background = GridWhite;
};

// Cells are addressed (row, column); row 0 is the heading row where a grid has one.
// Text is black and centred horizontally, TextTopPixels below the cell's top.
class TGrid {
 public:
  TGrid() = default;
  TGrid(std::string name, int rowCount, int columnCount);

  std::string Name;                        // the control's name: "LSDGrid", "HrDataGrid", ...
  std::vector<TColumnWidth> ColumnWidths;  // one per column
  int RowHeightPixels = 19;
  int TextTopPixels = 2;

  int RowCount() const { return rowCount_; }
  int ColumnCount() const { return columnCount_; }
  // Changing the row count keeps the cells of the rows that remain.
  void SetRowCount(int rowCount);

  // Out-of-range addresses are ignored on writing and read as an empty white cell.
  const TGridCell& At(int row, int column) const;
  const std::string& Text(int row, int column) const { return At(row, column).Text; }
  void SetText(int row, int column, std::string text);
  void SetBackground(int row, int column, TColour colour);
  void SetRowBackground(int row, TColour colour);
  void SetColumnBackground(int column, TColour colour);
  // The column's longest text (in characters), which its width hint keeps in sight.
  void FitColumnToTexts(int column);

  // Rows from `firstRow` on are made when first read or written: `fill` writes
  // the cells of one row. A grid of thousands of records then formats only the
  // rows a window shows; what `fill` reads must stay as it is, so it owns or
  // shares it.
  using RowFill = std::function<void(int row, std::span<TGridCell> cells)>;
  void SetRowFill(int firstRow, RowFill fill);

 private:
  bool Contains(int row, int column) const;
  TGridCell& Cell(int row, int column);
  // Whether the row has its cells, making it first where it is still to be made.
  bool MakeRow(int row) const;

  int rowCount_ = 0;
  int columnCount_ = 0;
  // A row's cells, empty until it is written or made (an empty row reads as
  // empty white cells). Reading a row still to be made makes it.
  mutable std::vector<std::vector<TGridCell>> rows_;
  RowFill rowFill_;
  int firstFilledRow_ = 0;
};

// A labelled edit of the main window's boxes ("Тип", "Q1, ГДж", ...).
struct TLabelledEdit {
  std::string Name;   // control name: "TypeTS", "LEdQ1", ...
  std::string Label;  // caption beside the edit; empty when cleared
  std::string Text;
  bool Visible = true;
};

// A box of labelled edits.
struct TEditBox {
  std::string Name;  // "GroupBox4", "GroupBox27", ...
  std::string Caption;
  bool Visible = true;
  std::vector<TLabelledEdit> Edits;

  // nullptr when the box has no edit of that name.
  const TLabelledEdit* Find(const std::string& name) const;
  TLabelledEdit* Find(const std::string& name);
};

}  // namespace velk
