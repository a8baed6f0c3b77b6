// The GUI test classes, run one after the other by GuiTestMain.
#pragma once

#include <QObject>

namespace velk::gui::test {

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void ReadingThroughTheWindow();
  void ClosingDuringAReadingStopsAndWaits();
  void OpenArrangesTheTabsOfTheDumpsCode();
  void PanelKeysFollowTheInputRules();
  void SettingsDialogConfirmsCancelsAndStopsAtABadField();
  void JoinFilesConvertsTheChosenFolder();
  void DumpFilterInQtSyntax();
  void ViewerShowsTheReportTabsCellsAndRefusesDamagedFiles();
};

}  // namespace velk::gui::test
