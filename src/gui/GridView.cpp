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
  const QFontMetrics metrics(font());
  const std::vector<int> widths = ColumnPixels(
      model_->Grid(), viewport()->width(),
      [&](const std::string& text) { return metrics.horizontalAdvance(QString::fromStdString(text)); });
  for (int column = 0; column < int(widths.size()); ++column) setColumnWidth(column, widths[column]);
}

}  // namespace velk::gui
