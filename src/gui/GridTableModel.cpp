#include "gui/GridTableModel.h"

#include <QColor>

namespace velk::gui {

QColor ToQColor(const TColour& colour) { return QColor(colour.Red, colour.Green, colour.Blue); }

void GridTableModel::SetGrid(TGrid grid, int headingRows) {
  beginResetModel();
  grid_ = std::move(grid);
  headingRows_ = std::min(headingRows, grid_.RowCount());
  endResetModel();
}

QString GridTableModel::CellText(int gridRow, int column) const {
  return QString::fromStdString(grid_.Text(gridRow, column));
}

int GridTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : grid_.RowCount() - headingRows_;
}

int GridTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : grid_.ColumnCount();
}

QVariant GridTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const TGridCell& cell = grid_.At(index.row() + headingRows_, index.column());
  switch (role) {
    case Qt::DisplayRole:
      return QString::fromStdString(cell.Text);
    case Qt::BackgroundRole:
      return ToQColor(cell.Background);
    default:
      return {};
  }
}

QVariant GridTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || headingRows_ == 0) return {};
  if (role == Qt::DisplayRole) return CellText(0, section);
  if (role == Qt::BackgroundRole) return ToQColor(grid_.At(0, section).Background);
  return {};
}

}  // namespace velk::gui
