// The pages of a report view, shared by the main window's report tabs and the
// report viewer: a .tsv file's header, notations, real data, totals and record
// grids, or the channels of .tsd files side by side.
#pragma once

#include <QTabWidget>

namespace velk {
struct TsvReportView;
struct TsdReportView;
}  // namespace velk

namespace velk::gui {

class TsvReportPages : public QTabWidget {
 public:
  // `system` 1 names the controls as the "-01.tsv" tab has them, 2 as the "-02.tsv" one.
  TsvReportPages(int system, QWidget* parent);
  void Fill(const TsvReportView& view);

 private:
  int system_;
};

class TsdReportPages : public QTabWidget {
 public:
  explicit TsdReportPages(QWidget* parent);
  void Fill(const TsdReportView& view);
};

}  // namespace velk::gui
