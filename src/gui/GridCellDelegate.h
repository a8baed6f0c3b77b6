// Paints a grid cell as the meter views draw them: the cell's own background
// (light yellow for fixed cells, white otherwise), the current row in its
// colour, the text (black unless the model gives its colour and font)
// centred horizontally a few pixels below the top.
#pragma once

#include <QColor>
#include <QStyledItemDelegate>

#include "gui/CellText.h"

namespace velk::gui {

class GridCellDelegate : public QStyledItemDelegate {
 public:
  GridCellDelegate(QObject* parent, int textTopPixels)
      : QStyledItemDelegate(parent), textTop_(textTopPixels) {}

  // The current row's colour; an invalid colour leaves the current row unmarked.
  void SetCurrentRowColour(const QColor& colour) { currentRow_ = colour; }
  // Cells of these first columns keep their own colour in the current row.
  void SetFixedColumns(int count) { fixedColumns_ = count; }
  void SetTextTop(int pixels) { textTop_ = pixels; }

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  int textTop_;
  int fixedColumns_ = 0;
  QColor currentRow_;
  mutable CellGlyphs glyphs_;  // painting fills its lookup
};

}  // namespace velk::gui
