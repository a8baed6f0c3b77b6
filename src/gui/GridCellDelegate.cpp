#include "gui/GridCellDelegate.h"

#include <QAbstractItemView>
#include <QPainter>

namespace velk::gui {

void GridCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
  QColor background = index.data(Qt::BackgroundRole).value<QColor>();
  const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
  const bool currentRow = currentRow_.isValid() && view && view->currentIndex().isValid() &&
                          view->currentIndex().row() == index.row() && index.column() >= fixedColumns_;
  if (currentRow) background = currentRow_;
  painter->fillRect(option.rect, background.isValid() ? background : QColor(Qt::white));
  const QString text = index.data(Qt::DisplayRole).toString();
  if (text.isEmpty()) return;
  const QVariant pen = index.data(Qt::ForegroundRole);
  painter->setPen(pen.isValid() ? pen.value<QColor>() : QColor(Qt::black));
  const QVariant fontRole = index.data(Qt::FontRole);
  const QFont font = fontRole.isValid() ? fontRole.value<QFont>() : option.font;
  if (painter->font() != font) painter->setFont(font);
  const QFontMetrics metrics = fontRole.isValid() ? QFontMetrics(font) : option.fontMetrics;
  DrawCellText(*painter, glyphs_, option.rect, textTop_, text, metrics);
}

}  // namespace velk::gui
