// VelkView, the report viewer: any .tsv or .tsd files, from its command line
// or its "Открыть" menu, shown page by page as the main window's report tabs
// show them, a chart of their records over time and their export as CSV.
// Files are only read.
#pragma once

#include <QMainWindow>
#include <QStringList>
#include <vector>

#include "reports/ReportReader.h"
#include "reports/ViewerPages.h"

class QTabWidget;

namespace velk::gui {

class QtUserInterface;
class ReportChartPanel;

class TfmReportViewer : public QMainWindow {
 public:
  TfmReportViewer(QtUserInterface& ui, QWidget* parent = nullptr);

  // Opens the files in place of those open; a file that cannot be read is
  // named in a message with its fault, the others are shown. Returns the files opened.
  int OpenFiles(const QStringList& files);
  // "Открыть": the file dialog, then OpenFiles.
  void OpenClick();
  // The records of the page in front (the table the chart shows) as CSV.
  bool ExportCsv(const QString& file);
  void ExportCsvClick();
  bool SaveChart(const QString& file);
  void SaveChartClick();

  QTabWidget& Tabs() { return *tabs_; }
  ReportChartPanel& Chart() { return *chart_; }

 private:
  void ShowPages();
  // A page's widgets are made and filled when it first comes to the front.
  void FillTab(int index);
  const ViewerPage* CurrentPage() const;

  QtUserInterface& ui_;
  QTabWidget* tabs_;
  ReportChartPanel* chart_;
  std::vector<ViewerPage> pages_;
};

}  // namespace velk::gui
