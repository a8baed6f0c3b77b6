// A core grid as a Qt table model: the cells stay in the TGrid (no object per
// cell), the model only answers for the cells the view paints. The grid's
// heading rows become the view's horizontal header, so they stay in sight
// while the rows scroll.
#pragma once

#include <QAbstractTableModel>

#include "decode/views/Grid.h"

namespace velk::gui {

class GridTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit GridTableModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

  // Replaces the whole grid; `headingRows` (0 or 1) grid rows go to the header.
  void SetGrid(TGrid grid, int headingRows);
  const TGrid& Grid() const { return grid_; }
  int HeadingRows() const { return headingRows_; }

  // The text shown for a grid cell, whether it sits in the header or the body.
  QString CellText(int gridRow, int column) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  TGrid grid_;
  int headingRows_ = 0;
};

QColor ToQColor(const TColour& colour);

}  // namespace velk::gui
