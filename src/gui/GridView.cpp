#include "gui/GridView.h"

#include <QHeaderView>
#include <QScrollBar>

#include "decode/views/ColumnWidths.h"

namespace velk::gui {
GridView::GridView(const QString& name, QWidget* parent, int headingRows, bool selectRows,
                   const QColor& currentRowColour)
    : QTableView(parent),
      model_(new GridTableModel(this)),
      delegate_(new GridCellDelegate(this, 2)),
      header_(new GridHeaderView(this, 2)),
      headingRows_(headingRows) {
  setHorizontalHeader(header_);
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
}

void GridView::SetGrid(TGrid grid) {
  const int rowHeight = grid.RowHeightPixels;
  delegate_->SetTextTop(grid.TextTopPixels);
  header_->SetTextTop(grid.TextTopPixels);
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
  const QFontMetrics metrics(font());
  const std::vector<int> widths = ColumnPixels(
      model_->Grid(), viewport()->width(),
      [&](const std::string& text) { return metrics.horizontalAdvance(QString::fromStdString(text)); });
  for (int column = 0; column < int(widths.size()); ++column) setColumnWidth(column, widths[column]);
}

}  // namespace velk::gui
