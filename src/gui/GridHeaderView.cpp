#include "gui/GridHeaderView.h"

#include <QPainter>

namespace velk::gui {

namespace {
const QColor HeadingYellow(255, 255, 187);
const QColor HeadingLine(0xc0, 0xc0, 0xc0);
}  // namespace

GridHeaderView::GridHeaderView(QWidget* parent, int textTop)
    : QHeaderView(Qt::Horizontal, parent), textTop_(textTop) {
  setSectionsClickable(false);
  setHighlightSections(false);
  setMinimumSectionSize(1);
}

void GridHeaderView::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
  if (!rect.isValid() || !model()) return;
  const QVariant colour = model()->headerData(logicalIndex, orientation(), Qt::BackgroundRole);
  painter->fillRect(rect, colour.isValid() ? colour.value<QColor>() : HeadingYellow);
  painter->setPen(HeadingLine);
  painter->drawLine(rect.topRight(), rect.bottomRight());
  painter->drawLine(rect.bottomLeft(), rect.bottomRight());
  painter->setPen(Qt::black);
  const QString text = model()->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString();
  DrawCellText(*painter, glyphs_, rect.adjusted(0, 0, -1, -1), textTop_, text, fontMetrics());
}

}  // namespace velk::gui
