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
  painter->save();
  const QVariant pen = index.data(Qt::ForegroundRole);
  painter->setPen(pen.isValid() ? pen.value<QColor>() : QColor(Qt::black));
  const QVariant font = index.data(Qt::FontRole);
  painter->setFont(font.isValid() ? font.value<QFont>() : option.font);
  const QRect textRect = option.rect.adjusted(0, textTop_, 0, 0);
  painter->drawText(textRect, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, text);
  painter->restore();
}

}  // namespace velk::gui
