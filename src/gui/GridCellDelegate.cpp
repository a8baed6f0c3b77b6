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
  // A text that fits is drawn at its place directly, as glyphs where it can
  // be: the rectangle form lays the text out and clips it, which costs more
  // than the rest of the cell.
  const QFontMetrics metrics = fontRole.isValid() ? QFontMetrics(font) : option.fontMetrics;
  QGlyphRun run;
  qreal width = 0;
  const bool asGlyphs = glyphs_.Layout(font, text, run, width);
  if (!asGlyphs) width = metrics.horizontalAdvance(text);
  if (width <= option.rect.width()) {
    const QPoint at(option.rect.x() + (option.rect.width() - qRound(width)) / 2,
                    option.rect.y() + textTop_ + metrics.ascent());
    if (asGlyphs) painter->drawGlyphRun(at, run);
    else painter->drawText(at, text);
    return;
  }
  // A text wider than its cell starts at the cell's left and is cut at its
  // right: centred, it would lose its leading digits.
  painter->save();
  painter->setClipRect(option.rect);
  painter->drawText(option.rect.adjusted(2, textTop_, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
  painter->restore();
}

}  // namespace velk::gui
