#include "carrier/CarrierFileGrid.h"

#include <cstdio>

#include "carrier/CarrierTexts.h"
#include "common/NumberFormat.h"
#include "common/Text1251.h"

namespace velk {

namespace txt = carrier_text;

namespace {

const Colour HeaderColour = RgbColour(255, 255, 187);
const Colour CurrentColour = RgbColour(119, 119, 255);
const Colour White = RgbColour(255, 255, 255);

}  // namespace

void CarrierFileGrid::Reset() {
  rows_.assign(1, CarrierRowCells{});
  textColours_.assign(1, ColourBlack);
  ClearSelection();
  ++revision_;
  CurrentRow = 1;
  anchor_ = 1;
}

std::vector<TColumnWidth> CarrierFileGrid::ColumnHints() const {
  std::vector<TColumnWidth> hints;
  for (std::size_t c = 0; c < ColumnWidths.size(); ++c) {
    TColumnWidth hint = TColumnWidth::Fixed(ColumnWidths[c]);
    for (int row = 0; row < RowCount(); ++row) {
      const std::string& text = Row(row)[c];
      if (Utf8Length(text) > Utf8Length(hint.Widest)) hint.Widest = text;
    }
    hints.push_back(std::move(hint));
  }
  return hints;
}

const CarrierRowCells& CarrierFileGrid::Row(int row) const {
  static const CarrierRowCells header = CarrierGridHeader();
  static const CarrierRowCells empty{};
  if (row == 0) return header;
  if (row < 1 || row >= RowCount()) return empty;
  return rows_[static_cast<std::size_t>(row - 1)];
}

void CarrierFileGrid::SetRow(int row, const CarrierRowCells& cells) {
  if (row < 1 || row >= CarrierMaxRows) return;
  if (row >= RowCount()) {
    rows_.resize(static_cast<std::size_t>(row));
    textColours_.resize(static_cast<std::size_t>(row), ColourBlack);
  }
  rows_[static_cast<std::size_t>(row - 1)] = cells;
  ++revision_;
}

void CarrierFileGrid::SetRowTextColour(int row, std::uint32_t unrecognisedType) {
  if (row < 1 || row >= RowCount()) return;
  textColours_[static_cast<std::size_t>(row - 1)] = unrecognisedType;
  ++revision_;
}

Colour CarrierFileGrid::TextColour(int row) const {
  return row >= 1 && row < RowCount() ? textColours_[static_cast<std::size_t>(row - 1)] : ColourBlack;
}

void CarrierFileGrid::RemoveRow(int row) {
  if (row < 1 || row >= RowCount()) return;
  for (int r = row; r + 1 < CarrierMaxRows; ++r) selected_[r] = selected_[r + 1];
  selected_[CarrierMaxRows - 1] = 0;
  if (RowCount() >= 3) {
    rows_.erase(rows_.begin() + (row - 1));
    textColours_.erase(textColours_.begin() + (row - 1));
  } else {
    rows_[0] = CarrierRowCells{};
    textColours_[0] = ColourBlack;
  }
  if (CurrentRow >= RowCount()) CurrentRow = RowCount() - 1;
  RecountSelection();
}

void CarrierFileGrid::ClearSelection() {
  std::fill(selected_.begin(), selected_.end(), 0);
  selectedCount_ = 0;
  ++revision_;
}

void CarrierFileGrid::SetSelected(int row, bool on) {
  if (row < 0 || row >= CarrierMaxRows) return;
  selected_[row] = on ? 1 : 0;
  RecountSelection();
}

void CarrierFileGrid::SelectOnly(int row) {
  ClearSelection();
  SetSelected(row, true);
}

void CarrierFileGrid::RecountSelection() {
  ++revision_;
  selectedCount_ = 0;
  for (auto s : selected_) selectedCount_ += s;
}

void CarrierFileGrid::ClickPlain(int row) {
  CurrentRow = row;
  SelectOnly(row);
  anchor_ = row;
}

void CarrierFileGrid::ClickCtrl(int row) {
  CurrentRow = row;
  SetSelected(row, !Selected(row));
}

void CarrierFileGrid::ClickShift(int row) {
  CurrentRow = row;
  ClearSelection();
  const int from = std::min(anchor_, row), to = std::max(anchor_, row);
  for (int r = from; r <= to; ++r)
    if (r >= 1 && r < CarrierMaxRows) selected_[r] = 1;
  RecountSelection();
}

Colour CarrierFileGrid::CellBackground(int row, int col, bool ctrlHeld) const {
  if (row == 0 || col == 0) return HeaderColour;
  if (row == CurrentRow && !ctrlHeld) return CurrentColour;
  return Selected(row) ? RgbColour(187, 187, 255) : White;
}

int FileStartingAt(const CarrierLinkState& state, int block) {
  for (int i = 0; i < state.FileCount; ++i)
    if (state.CarrierFileTable[static_cast<std::size_t>(i)].StartBlock == block) return i;
  return -1;
}

void LtrMemMap::Fill(const CarrierLinkState& state, int memorySize) {
  memorySize_ = std::max(memorySize, 0);
  marked_.assign(static_cast<std::size_t>((memorySize_ / 10 + 1) * 10), Free);
  for (int i = 0; i < state.FileCount; ++i) {
    const auto& entry = state.CarrierFileTable[static_cast<std::size_t>(i)];
    if (entry.StartBlock < marked_.size())
      marked_[entry.StartBlock] = entry.UnrecognisedType == UnrecognisedTypeFlag ? UnknownFile : File;
  }
}

void LtrMemMap::ClearCell(int block) {
  if (block >= 0 && block < static_cast<int>(marked_.size())) marked_[static_cast<std::size_t>(block)] = Free;
}

std::string LtrMemMap::CellText(int row, int col) const {
  if (row == 0 && col == 0) return "";
  if (row == 0) return std::to_string(col - 1);
  if (col == 0) return std::to_string((row - 1) * 10);
  const int block = BlockOfCell(row, col);
  return block >= 0 && block < static_cast<int>(marked_.size()) && marked_[static_cast<std::size_t>(block)] != Free
             ? txt::MapMark
             : "";
}

bool LtrMemMap::PastMemoryEnd(int row, int col) const {
  return row >= memorySize_ / 10 + 1 && col >= memorySize_ % 10 + 1;
}

Colour LtrMemMap::CellColour(int row, int col, bool current) const {
  if (row == 0 || col == 0) return HeaderColour;
  Colour colour = White;
  if (current) {
    colour = CurrentColour;
  } else if (!CellText(row, col).empty()) {
    const bool unknown = marked_[static_cast<std::size_t>(BlockOfCell(row, col))] == UnknownFile;
    colour = unknown ? RgbColour(255, 187, 187) : RgbColour(187, 255, 187);
  }
  if (PastMemoryEnd(row, col)) colour = RgbColour(204, 204, 204);
  return colour;
}

LtrMemMap::CellInfo LtrMemMap::SelectCell(int row, int col, const CarrierLinkState& state, bool ltr2) const {
  CellInfo info;
  if (row < 1 || col < 1 || PastMemoryEnd(row, col)) {
    info.Edit4 = info.Edit6 = txt::NoBlock;
    return info;
  }
  const int block = BlockOfCell(row, col);
  info.Edit4 = txt::BlockNumber + std::to_string(block);
  if (CellText(row, col).empty()) {
    info.Edit6 = txt::BlockFree;
    return info;
  }
  info.FileIndex = FileStartingAt(state, block);
  if (info.FileIndex < 0) {
    info.Edit6 = txt::BlockFree;
    return info;
  }
  const auto& e = state.CarrierFileTable[static_cast<std::size_t>(info.FileIndex)];
  if (e.UnrecognisedType == UnrecognisedTypeFlag) {
    info.Edit6 = txt::TypeUnknown;
  } else if (ltr2) {
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", e.DeviceType);
    info.Edit6 = txt::Ltr2MapType + std::string(hex) + "-" + ZeroPad(e.DnCode, 2) + ZeroPad(e.SerialNumber, 5);
  } else {
    info.Edit6 = txt::LtrMapType + std::to_string(e.DeviceType) + "-" + ZeroPad(e.SerialNumber, 5);
  }
  return info;
}

}  // namespace velk
