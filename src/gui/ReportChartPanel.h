// The chart page of the report viewer: the core's chart of the open files
// drawn over time, with the record table, the quantity, the range shown and
// "save as PNG". Built with Qt Charts where the build has it (gui/charts),
// otherwise a page that says so (gui/nocharts).
#pragma once

#include <QWidget>
#include <vector>

#include "reports/ReportChart.h"

namespace velk::gui {

class ReportChartPanel : public QWidget {
 public:
  using QWidget::QWidget;
  // The chart is built once here; zooming and panning only move its axis.
  virtual void SetReports(const std::vector<OpenedReport>& reports) = 0;
  virtual RecordTable Table() const = 0;
  virtual bool HasSeries() const = 0;
  // false when the picture could not be saved (or there is no chart to save).
  virtual bool SavePng(const QString& file) = 0;
};

ReportChartPanel* CreateReportChartPanel(QWidget* parent);

}  // namespace velk::gui
