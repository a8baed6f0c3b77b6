// The Qt application object of the programs, in the programs' own look: the
// classic desktop style with plain sunken frames, the look of the desktop
// software the meter engineers work with, and much quicker to paint than the
// default style's shaded frames on pages of many edit boxes and grids. A style
// the user chose ("-style" or QT_STYLE_OVERRIDE) stays.
#pragma once

#include <QApplication>
#include <memory>

namespace velk::gui {

std::unique_ptr<QApplication> MakeGuiApplication(int& argc, char** argv);

}  // namespace velk::gui
