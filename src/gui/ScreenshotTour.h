// A scripted walk through the windows that saves a picture of each: the
// settings dialog pages (turning every data tab on, as a user would), a
// reading with its progress window, every data tab of its result and of each
// stored dump given, and the carrier page of an НКП-3М and of an ЛТР with its
// block panel and both carrier dialogs. scripts/screenshots runs it under Xvfb.
#pragma once

#include <QString>
#include <QStringList>

namespace velk {
class Application;
}

namespace velk::gui {

class TMFmDorva301;

struct ScreenshotTourPlan {
  QString Folder;     // where the PNG files go
  QString ReadPort;   // "COM<n>" of a meter to read over RS232; empty: no reading
  QStringList Dumps;  // stored dumps to open after the reading
  QString NkpPort;    // "COM<n>" of a simulated НКП-3М with a faulty block; empty: none
  QString LtrPort;    // "COM<n>" of a simulated ЛТР holding a file it cannot copy; empty: none
};

// Runs the walk on a shown main window; returns the number of pictures saved.
int RunScreenshotTour(TMFmDorva301& window, Application& app, const ScreenshotTourPlan& plan);

}  // namespace velk::gui
