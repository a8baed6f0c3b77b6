// The programs' style: the classic desktop style with plain sunken frames,
// the look of the desktop software the meter engineers work with. Its frames
// of edit boxes and group boxes are filled in as one-pixel rectangles, pixel
// for pixel as the style draws them with lines, which cost more than the rest
// of a page of edit boxes.
#pragma once

#include <QProxyStyle>

namespace velk::gui {

class ProgramStyle : public QProxyStyle {
 public:
  ProgramStyle();
  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
};

}  // namespace velk::gui
