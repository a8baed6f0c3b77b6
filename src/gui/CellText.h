// The texts of grid cells and headings: short single lines, drawn as glyph
// runs. Each character's glyph and advance in the cell font is looked up once,
// so a cell costs no text layout or shaping: painting a page of cells through
// the general text path cost more than all the rest of the page.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QHash>
#include <QRawFont>
#include <QRect>

class QPainter;

namespace velk::gui {

class CellGlyphs {
 public:
  // `run` gets the glyphs of `text` in `font`, placed from x 0 on the baseline,
  // and `width` their advance; false when a character needs more than a glyph
  // of the font itself (a missing glyph, a combining mark, a surrogate pair),
  // and the text is left to the general text path.
  bool Layout(const QFont& font, const QString& text, QGlyphRun& run, qreal& width);

 private:
  struct Glyph {
    quint32 Index = 0;
    qreal Advance = 0;
  };
  bool Lookup(QChar c, Glyph& glyph);

  QFont font_;
  QRawFont raw_;
  QHash<char16_t, Glyph> glyphs_;
};

// Draws `text` in `cell` in the painter's font (`metrics` are its metrics):
// centred and `textTop` pixels below the top when it fits, otherwise from the
// cell's left, cut at its right (centred, a long number would lose its
// leading digits).
void DrawCellText(QPainter& painter, CellGlyphs& glyphs, const QRect& cell, int textTop, const QString& text,
                  const QFontMetrics& metrics);

}  // namespace velk::gui
