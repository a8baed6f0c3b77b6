#include "gui/GridView.h"

#include <QHeaderView>
#include <QScrollBar>

namespace velk::gui {
GridView::GridView(const QString& name, QWidget* parent, int headingRows, bool selectRows,
                   const QColor& currentRowColour)
    : QTableView(parent),
      model_(new GridTableModel(this)),
      delegate_(new GridCellDelegate(this, 2)),
      headingRows_(headingRows) {
  setObjectName(name);
  setModel(model_);
  setItemDelegate(delegate_);
  delegate_->SetCurrentRowColour(currentRowColour);
  setSelectionBehavior(selectRows ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setShowGrid(true);
  setWordWrap(false);
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setMinimumSectionSize(1);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  horizontalHeader()->setMinimumSectionSize(1);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setStyleSheet(
      "QHeaderView::section { background-color: rgb(255,255,187); border: 0px; border-right: 1px solid "
      "#c0c0c0; border-bottom: 1px solid #c0c0c0; padding: 0px; }");
}

void GridView::SetGrid(TGrid grid) {
  const int rowHeight = grid.RowHeightPixels;
  delegate_->SetTextTop(grid.TextTopPixels);
  model_->SetGrid(std::move(grid), headingRows_);
  verticalHeader()->setDefaultSectionSize(rowHeight);
  horizontalHeader()->setFixedHeight(rowHeight);
  horizontalHeader()->setVisible(headingRows_ > 0);
  ApplyColumnWidths();
}

void GridView::resizeEvent(QResizeEvent* event) {
  QTableView::resizeEvent(event);
  ApplyColumnWidths();
}

void GridView::ApplyColumnWidths() {
  const TGrid& grid = model_->Grid();
  const QFontMetrics metrics(font());
  const int available = viewport()->width();
  int taken = 0;
  int sharing = 0;
  std::vector<int> minimum(grid.ColumnCount(), 64);
  for (int column = 0; column < grid.ColumnCount() && column < int(grid.ColumnWidths.size()); ++column) {
    const TColumnWidth& hint = grid.ColumnWidths[column];
    int width = hint.FixedPixels;
    if (!hint.Sample.empty()) {
      width = std::max(width, metrics.horizontalAdvance(QString::fromStdString(hint.Sample)) + hint.ExtraPixels);
    }
    minimum[column] = width;
    if (hint.ShareRest) {
      ++sharing;
    } else {
      taken += width;
    }
  }
  for (int column = 0; column < grid.ColumnCount(); ++column) {
    int width = minimum[column];
    if (column < int(grid.ColumnWidths.size()) && grid.ColumnWidths[column].ShareRest && sharing > 0) {
      width = std::max(width, (available - taken) / sharing + grid.ColumnWidths[column].ShareAdjustPixels);
    }
    setColumnWidth(column, width);
  }
}

}  // namespace velk::gui
