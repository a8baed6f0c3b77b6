// VelkReader: the desktop program. Without arguments it shows the main
// window; with one dump argument it decodes that dump and shows the window
// with its pages; with switches it runs the command-line mode exactly as
// velkreader does, without a window.
#include <QApplication>
#include <QMessageBox>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/ConsoleProgram.h"
#include "common/Clock.h"
#include "common/ProgramFolder.h"
#include "gui/MainPanel.h"
#include "gui/QtText.h"
#include "gui/QtUserInterface.h"
#include "link/LinkOpener.h"

namespace {

std::vector<std::string> ArgumentsOf(int argc, char** argv) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
  return arguments;
}

bool HasOwnOption(const std::vector<std::string>& arguments) {
  for (const std::string& argument : arguments) {
    if (argument.rfind("--", 0) == 0) return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace velk;
  const std::vector<std::string> arguments = ArgumentsOf(argc, argv);
  const bool usage = UsageRequested(arguments);
  if (!usage && (HasOwnOption(arguments) || ChooseStartMode(arguments) == StartMode::CommandLine)) {
    return RunConsoleProgram(argc, argv);
  }

  QApplication application(argc, argv);
  if (usage) {
    QMessageBox box(QMessageBox::NoIcon, gui::Q(UsageCaption()), gui::Q(UsageMessage()));
    box.addButton("OK", QMessageBox::AcceptRole);
    box.exec();
    return 0;
  }

  gui::QtUserInterface ui;
  SystemLinkOpener links;
  Application app(ui, SystemClock::Instance(), ProgramFolder(), links);
  app.Construct(arguments);
  gui::TMFmDorva301 window(app, ui, ProgramFolder(), false);
  window.show();
  if (ChooseStartMode(arguments) == StartMode::OpenDump && app.DecodeDump(CommandLinePath(arguments[0]))) {
    window.ArrangePages();
  }
  return application.exec();
}
