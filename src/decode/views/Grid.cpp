#include "decode/views/Grid.h"

#include <algorithm>

#include "common/Text1251.h"

namespace velk {

TGrid::TGrid(std::string name, int rowCount, int columnCount)
    : Name(std::move(name)),
      ColumnWidths(static_cast<std::size_t>(columnCount > 0 ? columnCount : 0)),
      rowCount_(rowCount > 0 ? rowCount : 0),
      columnCount_(columnCount > 0 ? columnCount : 0),
      rows_(static_cast<std::size_t>(rowCount_)) {}

void TGrid::SetRowCount(int rowCount) {
  rowCount_ = rowCount > 0 ? rowCount : 0;
  rows_.resize(static_cast<std::size_t>(rowCount_));
}

bool TGrid::Contains(int row, int column) const {
  return row >= 0 && row < rowCount_ && column >= 0 && column < columnCount_;
}

bool TGrid::MakeRow(int row) const {
  std::vector<TGridCell>& cells = rows_[static_cast<std::size_t>(row)];
  if (!cells.empty()) return true;
  if (!rowFill_ || row < firstFilledRow_) return false;
  cells.resize(static_cast<std::size_t>(columnCount_));
  rowFill_(row, cells);
  return true;
}

TGridCell& TGrid::Cell(int row, int column) {
  std::vector<TGridCell>& cells = rows_[static_cast<std::size_t>(row)];
  if (!MakeRow(row)) cells.resize(static_cast<std::size_t>(columnCount_));
  return cells[static_cast<std::size_t>(column)];
}

const TGridCell& TGrid::At(int row, int column) const {
  static const TGridCell empty{};
  if (!Contains(row, column) || !MakeRow(row)) return empty;
  return rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

void TGrid::SetText(int row, int column, std::string text) {
  if (Contains(row, column)) Cell(row, column).Text = std::move(text);
}

void TGrid::SetBackground(int row, int column, TColour colour) {
  if (Contains(row, column)) Cell(row, column).Background = colour;
}

void TGrid::SetRowBackground(int row, TColour colour) {
  for (int c = 0; c < columnCount_; ++c) SetBackground(row, c, colour);
}

void TGrid::SetColumnBackground(int column, TColour colour) {
  for (int r = 0; r < rowCount_; ++r) SetBackground(r, column, colour);
}

const TLabelledEdit* TEditBox::Find(const std::string& name) const {
  for (const auto& edit : Edits)
    if (edit.Name == name) return &edit;
  return nullptr;
}

TLabelledEdit* TEditBox::Find(const std::string& name) {
  for (auto& edit : Edits)
    if (edit.Name == name) return &edit;
  return nullptr;
}

void TGrid::FitColumnToTexts(int column) {
  if (column < 0 || column >= columnCount_ || column >= static_cast<int>(ColumnWidths.size())) return;
  const std::string* widest = nullptr;
  std::size_t widestLength = 0;
  for (int r = 0; r < rowCount_; ++r) {
    const std::string& text = Text(r, column);
    if (text.size() <= widestLength) continue;  // a UTF-8 text has no more characters than bytes
    const std::size_t length = Utf8Length(text);
    if (length > widestLength || !widest) {
      widest = &text;
      widestLength = length;
    }
  }
  ColumnWidths[static_cast<std::size_t>(column)].Widest = widest ? *widest : std::string();
}

void TGrid::SetRowFill(int firstRow, RowFill fill) {
  rowFill_ = std::move(fill);
  firstFilledRow_ = std::max(firstRow, 0);
}

}  // namespace velk
