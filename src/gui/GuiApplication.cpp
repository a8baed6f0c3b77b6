#include "gui/GuiApplication.h"

#include "gui/ProgramStyle.h"
#include <cstring>

namespace velk::gui {
namespace {

bool StyleChosenByUser(int argc, char** argv) {
  if (!qEnvironmentVariableIsEmpty("QT_STYLE_OVERRIDE")) return true;
  for (int i = 1; i < argc; ++i) {
    const char* argument = argv[i];
    if (std::strncmp(argument, "--", 2) == 0) ++argument;
    if (std::strcmp(argument, "-style") == 0 || std::strncmp(argument, "-style=", 7) == 0) return true;
  }
  return false;
}

}  // namespace

std::unique_ptr<QApplication> MakeGuiApplication(int& argc, char** argv) {
  const bool chosen = StyleChosenByUser(argc, argv);  // before QApplication takes its options out
  auto application = std::make_unique<QApplication>(argc, argv);
  if (!chosen) QApplication::setStyle(new ProgramStyle);
  return application;
}

}  // namespace velk::gui
