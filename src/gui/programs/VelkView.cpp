// VelkView: the report viewer. Every argument is a .tsv or .tsd file to open;
// "--screenshot=FILE.png" saves a picture of the window with its chart in
// front instead of waiting for a user.
#include <QTabWidget>
#include <QTimer>
#include <cstdio>

#include "gui/GuiApplication.h"
#include "gui/QtUserInterface.h"
#include "gui/ReportViewer.h"

int main(int argc, char** argv) {
  const auto application = velk::gui::MakeGuiApplication(argc, argv);
  velk::gui::QtUserInterface ui;
  QStringList files;
  QString screenshot;
  for (int i = 1; i < argc; ++i) {
    const QString argument = QString::fromLocal8Bit(argv[i]);
    if (argument.startsWith("--screenshot="))
      screenshot = argument.mid(13);
    else
      files << argument;
  }
  if (!screenshot.isEmpty())
    ui.MessageHook = [](const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); };
  velk::gui::TfmReportViewer window(ui);
  window.show();
  if (!files.isEmpty()) window.OpenFiles(files);
  if (screenshot.isEmpty()) return application->exec();
  window.Tabs().setCurrentIndex(window.Tabs().count() - 1);
  QTimer::singleShot(300, [&] {
    const bool saved = window.grab().save(screenshot, "PNG");
    application->exit(saved ? 0 : 1);
  });
  return application->exec();
}
