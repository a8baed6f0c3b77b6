#include "gui/ProgramStyle.h"

#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>

namespace velk::gui {
namespace {

// Two shaded edges of a frame: `first` along the top and left, `second` along
// the bottom and right of the `w` × `h` rectangle at (x, y).
void Shades(QPainter& painter, int x, int y, int w, int h, const QColor& first, const QColor& second) {
  painter.fillRect(x, y, 1, h - 1, first);
  painter.fillRect(x, y, w - 1, 1, first);
  painter.fillRect(x, y + h - 1, w, 1, second);
  painter.fillRect(x + w - 1, y, 1, h, second);
}

// A sunken two-pixel window panel.
void SunkenPanel(QPainter& painter, const QRect& r, const QPalette& palette) {
  const int x = r.x(), y = r.y(), w = r.width(), h = r.height();
  if (w < 2 || h < 2) return;
  Shades(painter, x, y, w, h, palette.dark().color(), palette.light().color());
  if (w > 4 && h > 4) Shades(painter, x + 1, y + 1, w - 2, h - 2, palette.shadow().color(), palette.button().color());
}

// The etched one-pixel frame of a group box.
void EtchedRect(QPainter& painter, const QRect& r, const QPalette& palette) {
  const int x = r.x(), y = r.y(), w = r.width(), h = r.height();
  const QColor dark = palette.dark().color(), light = palette.light().color();
  painter.fillRect(x, y, w - 1, 1, dark);
  painter.fillRect(x, y, 1, h - 1, dark);
  painter.fillRect(x, y + h - 2, w - 1, 1, dark);
  painter.fillRect(x + w - 2, y, 1, h - 1, dark);
  painter.fillRect(x + 1, y + 1, w - 3, 1, light);
  painter.fillRect(x + 1, y + 2, 1, h - 4, light);
  painter.fillRect(x, y + h - 1, w, 1, light);
  painter.fillRect(x + w - 1, y, 1, h - 1, light);
}

bool PlainDevice(const QPainter* painter) {
  return painter->device() && painter->device()->devicePixelRatio() == 1 &&
         painter->transform().type() <= QTransform::TxTranslate;
}

}  // namespace

ProgramStyle::ProgramStyle() : QProxyStyle(QStyleFactory::create("Windows")) {}

void ProgramStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                 const QWidget* widget) const {
  const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
  if (frame && PlainDevice(painter)) {
    if (element == PE_Frame && frame->lineWidth == 2 && (frame->state & State_Sunken)) {
      SunkenPanel(*painter, frame->rect, frame->palette);
      return;
    }
    if (element == PE_FrameGroupBox && frame->lineWidth == 1 && frame->midLineWidth == 0 &&
        !(frame->features & QStyleOptionFrame::Flat)) {
      EtchedRect(*painter, frame->rect, frame->palette);
      return;
    }
  }
  QProxyStyle::drawPrimitive(element, option, painter, widget);
}

}  // namespace velk::gui
