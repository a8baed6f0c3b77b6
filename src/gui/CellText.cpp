#include "gui/CellText.h"

#include <QList>
#include <QPainter>
#include <QPointF>

namespace velk::gui {

bool CellGlyphs::Lookup(QChar c, Glyph& glyph) {
  const auto found = glyphs_.constFind(c.unicode());
  if (found != glyphs_.cend()) {
    glyph = *found;
    return glyph.Index != 0;
  }
  glyph = {};
  const bool simple = !c.isSurrogate() && !c.isMark() && c.category() != QChar::Other_Format;
  int count = 1;
  if (simple && raw_.glyphIndexesForChars(&c, 1, &glyph.Index, &count) && count == 1 && glyph.Index != 0) {
    QPointF advance;
    raw_.advancesForGlyphIndexes(&glyph.Index, &advance, 1);
    glyph.Advance = advance.x();
  } else {
    glyph.Index = 0;
  }
  glyphs_.insert(c.unicode(), glyph);
  return glyph.Index != 0;
}

bool CellGlyphs::Layout(const QFont& font, const QString& text, QGlyphRun& run, qreal& width) {
  if (!raw_.isValid() || font != font_) {
    font_ = font;
    raw_ = QRawFont::fromFont(font);
    glyphs_.clear();
    if (!raw_.isValid()) return false;
  }
  QList<quint32> indexes;
  QList<QPointF> positions;
  indexes.reserve(text.size());
  positions.reserve(text.size());
  width = 0;
  for (const QChar c : text) {
    Glyph glyph;
    if (!Lookup(c, glyph)) return false;
    indexes.append(glyph.Index);
    positions.append(QPointF(width, 0));
    width += glyph.Advance;
  }
  run.setRawFont(raw_);
  run.setGlyphIndexes(indexes);
  run.setPositions(positions);
  return true;
}

void DrawCellText(QPainter& painter, CellGlyphs& glyphs, const QRect& cell, int textTop, const QString& text,
                  const QFontMetrics& metrics) {
  if (text.isEmpty()) return;
  QGlyphRun run;
  qreal width = 0;
  const bool asGlyphs = glyphs.Layout(painter.font(), text, run, width);
  if (!asGlyphs) width = metrics.horizontalAdvance(text);
  if (width <= cell.width()) {
    // Drawn at its place directly: the rectangle form lays the text out and clips it.
    const QPoint at(cell.x() + (cell.width() - qRound(width)) / 2, cell.y() + textTop + metrics.ascent());
    if (asGlyphs) painter.drawGlyphRun(at, run);
    else painter.drawText(at, text);
    return;
  }
  painter.save();
  painter.setClipRect(cell);
  painter.drawText(cell.adjusted(2, textTop, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
  painter.restore();
}

}  // namespace velk::gui
