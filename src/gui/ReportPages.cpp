#include "gui/ReportPages.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "gui/EditBoxWidget.h"
#include "gui/GridView.h"
#include "gui/QtText.h"
#include "reports/ReportViewTexts.h"
#include "reports/ReportViews.h"

namespace velk::gui {
namespace {

QWidget* Page(QTabWidget* tabs, const QString& name, const QString& caption) {
  auto* page = new QWidget(tabs);
  page->setObjectName(name);
  tabs->addTab(page, caption);
  return page;
}

}  // namespace

TsvReportPages::TsvReportPages(int system, QWidget* parent) : QTabWidget(parent), system_(system) {
  setObjectName(system == 1 ? "PageControl2" : "PageControl4");
  const QColor rowBlue = ToQColor(ReportCurrentRowBlue);
  const QString prefix = QString("TSV%1").arg(system);
  auto boxPage = [&](const QString& page, const QString& box, int columns) {
    QWidget* widget = Page(this, page, page);
    auto* layout = new QVBoxLayout(widget);
    layout->addWidget(new EditBoxWidget(box, columns, widget));
    layout->addStretch();
  };
  boxPage("Header", "Header", 2);
  boxPage("Notations", "Notations", 3);
  boxPage("RealData", "RealData", 5);
  QWidget* totals = Page(this, "Totals", Q(report_view_texts::TotalsPage));
  auto* totalsLayout = new QHBoxLayout(totals);
  for (int block = 0; block < 3; ++block)
    totalsLayout->addWidget(new EditBoxWidget(QString("Totals%1").arg(block), 1, totals), 0, Qt::AlignTop);
  const char* grids[] = {"HrGrid", "DayGrid", "MonthGrid"};
  const char* gridPages[] = {"HourData", "DayData", "MontData"};
  for (int i = 0; i < 3; ++i) {
    QWidget* page = Page(this, gridPages[i], gridPages[i]);
    (new QVBoxLayout(page))->addWidget(new GridView(prefix + grids[i], page, 1, true, rowBlue));
  }
}

void TsvReportPages::Fill(const TsvReportView& view) {
  auto box = [&](const char* page, const QString& name) {
    return findChild<QWidget*>(page)->findChild<EditBoxWidget*>(name);
  };
  box("Header", "Header")->SetBox(view.Header);
  box("Notations", "Notations")->SetBox(view.Notations);
  box("RealData", "RealData")->SetBox(view.RealData);
  for (int block = 0; block < 3; ++block)
    box("Totals", QString("Totals%1").arg(block))->SetBox(view.Totals[block]);
  const QString prefix = QString("TSV%1").arg(system_);
  findChild<GridView*>(prefix + "HrGrid")->SetGrid(view.HourGrid);
  findChild<GridView*>(prefix + "DayGrid")->SetGrid(view.DayGrid);
  findChild<GridView*>(prefix + "MonthGrid")->SetGrid(view.MonthGrid);
}

TsdReportPages::TsdReportPages(QWidget* parent) : QTabWidget(parent) {
  setObjectName("PageControlTsd");
  QWidget* header = Page(this, "Header", "Header");
  auto* headerLayout = new QVBoxLayout(header);
  headerLayout->addWidget(new EditBoxWidget("Header", 3, header));
  headerLayout->addWidget(new GridView("SGCImp", header, 0), 1);
  QWidget* notations = Page(this, "Notations", "Notations");
  (new QVBoxLayout(notations))->addWidget(new GridView("SGNotations", notations, 0));
  QWidget* totals = Page(this, "Totals", Q(report_view_texts::TotalsPage));
  (new QVBoxLayout(totals))->addWidget(new GridView("SGDataDom", totals, 0));
  const char* grids[] = {"SGHourDataDom", "SGDayDataDom", "SGMontDataDom"};
  const char* gridPages[] = {"HourData", "DayData", "MontData"};
  for (int i = 0; i < 3; ++i) {
    QWidget* page = Page(this, gridPages[i], gridPages[i]);
    (new QVBoxLayout(page))->addWidget(new GridView(grids[i], page, 0));
  }
}

void TsdReportPages::Fill(const TsdReportView& view) {
  findChild<EditBoxWidget*>("Header")->SetBox(view.Header);
  const std::pair<const char*, const TGrid*> grids[] = {{"SGCImp", &view.SGCImp},
                                                        {"SGNotations", &view.SGNotations},
                                                        {"SGDataDom", &view.SGDataDom},
                                                        {"SGHourDataDom", &view.SGHourDataDom},
                                                        {"SGDayDataDom", &view.SGDayDataDom},
                                                        {"SGMontDataDom", &view.SGMontDataDom}};
  for (const auto& [name, grid] : grids) findChild<GridView*>(name)->SetGrid(*grid);
}

}  // namespace velk::gui
