#include "gui/ReportChartPanel.h"

#include <QLabel>
#include <QVBoxLayout>

namespace velk::gui {
namespace {

// Built without Qt Charts: the pages and the CSV export work, the chart does not.
class NoChartPanel : public ReportChartPanel {
 public:
  explicit NoChartPanel(QWidget* parent) : ReportChartPanel(parent) {
    (new QVBoxLayout(this))
        ->addWidget(new QLabel("Графики недоступны: программа собрана без Qt Charts", this));
  }
  void SetReports(const std::vector<OpenedReport>&) override {}
  RecordTable Table() const override { return RecordTable::Hours; }
  bool HasSeries() const override { return false; }
  bool SavePng(const QString&) override { return false; }
};

}  // namespace

ReportChartPanel* CreateReportChartPanel(QWidget* parent) { return new NoChartPanel(parent); }

}  // namespace velk::gui
