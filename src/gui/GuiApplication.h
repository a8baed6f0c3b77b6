// The Qt application object of the programs, in the programs' own style
// (ProgramStyle), which paints pages of many edit boxes and grids much quicker
// than the default style's shaded frames. A style the user chose ("-style" or
// QT_STYLE_OVERRIDE) stays.
#pragma once

#include <QApplication>
#include <memory>

namespace velk::gui {

std::unique_ptr<QApplication> MakeGuiApplication(int& argc, char** argv);

}  // namespace velk::gui
