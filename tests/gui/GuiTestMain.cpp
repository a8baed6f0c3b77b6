// The GUI tests: the main window, the progress window, the settings dialog and the carrier page
// on the offscreen platform, each window driven as a user drives it.
#include <QTest>

#include "CarrierPageTest.h"
#include "gui/GuiApplication.h"
#include "MainWindowTest.h"

int main(int argc, char** argv) {
  const auto application = velk::gui::MakeGuiApplication(argc, argv);
  int failures = 0;
  {
    velk::gui::test::MainWindowTest test;
    failures += QTest::qExec(&test, argc, argv);
  }
  {
    velk::gui::test::CarrierPageTest test;
    failures += QTest::qExec(&test, argc, argv);
  }
  return failures == 0 ? 0 : 1;
}
