// VelkReader: the desktop program. Without arguments it shows the main
// window; with one dump argument it decodes that dump and shows the window
// with its pages; with switches it runs the command-line mode exactly as
// velkreader does, without a window. "--screenshots=FOLDER" (with
// "--read-port=COM<n>", "--nkp-port=COM<n>", "--ltr-port=COM<n>" and dump paths) walks through the windows and saves
// a picture of each instead of waiting for a user.
#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/ConsoleProgram.h"
#include "common/Clock.h"
#include "common/Platform.h"
#include "common/ProgramFolder.h"
#include "gui/GuiApplication.h"
#include "gui/MainPanel.h"
#include "gui/QtText.h"
#include "gui/QtUserInterface.h"
#include "gui/ScreenshotTour.h"
#include "link/LinkOpener.h"

namespace {

// "--screenshots=FOLDER": the tour's plan, its own options taken out of `arguments`.
std::optional<velk::gui::ScreenshotTourPlan> TourPlan(std::vector<std::string>& arguments) {
  std::optional<velk::gui::ScreenshotTourPlan> plan;
  std::vector<std::string> rest;
  std::string port, nkpPort, ltrPort;
  for (const std::string& argument : arguments) {
    if (argument.rfind("--screenshots=", 0) == 0) {
      plan.emplace();
      plan->Folder = QString::fromStdString(argument.substr(14));
    } else if (argument.rfind("--read-port=", 0) == 0) {
      port = argument.substr(12);
    } else if (argument.rfind("--nkp-port=", 0) == 0) {
      nkpPort = argument.substr(11);
    } else if (argument.rfind("--ltr-port=", 0) == 0) {
      ltrPort = argument.substr(11);
    } else {
      rest.push_back(argument);
    }
  }
  if (!plan) return plan;
  plan->ReadPort = QString::fromStdString(port);
  plan->NkpPort = QString::fromStdString(nkpPort);
  plan->LtrPort = QString::fromStdString(ltrPort);
  for (const std::string& dump : rest) plan->Dumps << QString::fromStdString(dump);
  arguments.clear();
  return plan;
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
  std::vector<std::string> arguments = platform::CommandLineArguments(argc, argv);
  const std::optional<gui::ScreenshotTourPlan> tour = TourPlan(arguments);
  const bool usage = UsageRequested(arguments);
  if (!usage && (HasOwnOption(arguments) || ChooseStartMode(arguments) == StartMode::CommandLine)) {
    return RunConsoleProgram(argc, argv);
  }

  const auto application = gui::MakeGuiApplication(argc, argv);
  if (usage) {
    QMessageBox box(QMessageBox::NoIcon, gui::Q(UsageCaption()), gui::Q(UsageMessage()));
    box.addButton("OK", QMessageBox::AcceptRole);
    box.exec();
    return 0;
  }

  gui::QtUserInterface ui;
  if (tour) {
    // Nobody answers boxes during the tour: their texts go to standard error.
    ui.MessageHook = [](const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); };
  }
  const std::filesystem::path programFolder = ProgramFolder();
  SystemLinkOpener links(programFolder);
  Application app(ui, SystemClock::Instance(), programFolder, links);
  app.Construct(arguments);
  gui::TMFmDorva301 window(app, ui, programFolder, false);
  window.show();
  if (tour) return gui::RunScreenshotTour(window, app, *tour) > 0 ? 0 : 1;
  if (ChooseStartMode(arguments) == StartMode::OpenDump) app.StartWithDump(arguments[0]);
  return application->exec();
}
