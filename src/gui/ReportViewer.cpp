#include "gui/ReportViewer.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <filesystem>

#include "app/WindowTexts.h"
#include "gui/QtText.h"
#include "gui/QtUserInterface.h"
#include "gui/ReportChartPanel.h"
#include "gui/ReportPages.h"
#include "reports/ReportCsv.h"

namespace velk::gui {
namespace {

constexpr const char* ProgramName = "VelkView";
constexpr const char* ReportFilter = "Отчеты (*.tsv *.tsd *.TSV *.TSD);;Все файлы (*)";

std::filesystem::path PathOf(const QString& file) { return std::filesystem::path(file.toStdU16String()); }

}  // namespace

TfmReportViewer::TfmReportViewer(QtUserInterface& ui, QWidget* parent) : QMainWindow(parent), ui_(ui) {
  setObjectName("TfmReportViewer");
  setWindowTitle(ProgramName);
  if (!ui_.BoxParent) ui_.BoxParent = this;
  QMenu* file = menuBar()->addMenu("Файл");
  file->setObjectName("FileMenu");
  auto item = [&](const QString& name, const QString& caption, auto handler) {
    QAction* action = file->addAction(caption);
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, handler);
  };
  item("OpenItem", Q(texts::OpenItem), [this] { OpenClick(); });
  item("ExportCsvItem", "Экспорт в CSV…", [this] { ExportCsvClick(); });
  item("SaveChartItem", "Сохранить график (PNG)…", [this] { SaveChartClick(); });
  file->addSeparator();
  item("ExitItem", Q(texts::ExitItem), [this] { close(); });

  tabs_ = new QTabWidget(this);
  tabs_->setObjectName("ViewerPages");
  setCentralWidget(tabs_);
  chart_ = CreateReportChartPanel(tabs_);
  connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) { FillTab(index); });
  resize(1100, 700);
}

int TfmReportViewer::OpenFiles(const QStringList& files) {
  std::vector<OpenedReport> reports;
  QStringList errors;
  for (const QString& file : files) {
    ReportOpenResult result = ReadReportFile(PathOf(file));
    if (result.Report)
      reports.push_back(std::move(*result.Report));
    else
      errors << Q(result.Error);
  }
  if (!errors.isEmpty()) ui_.ShowMessage(U(errors.join("\n")));
  if (reports.empty()) return 0;
  const int opened = int(reports.size());
  chart_->SetReports(reports);
  pages_ = BuildViewerPages(std::move(reports));
  ShowPages();
  return opened;
}

void TfmReportViewer::ShowPages() {
  tabs_->blockSignals(true);
  while (tabs_->count() > 0) {
    QWidget* page = tabs_->widget(0);
    tabs_->removeTab(0);
    if (page != chart_) page->deleteLater();
  }
  QStringList names;
  for (const ViewerPage& page : pages_) {
    auto* tab = new QWidget(tabs_);
    tab->setObjectName(page.Kind == ReportKind::Tsv ? "TsvPage" : "TsdPage");
    new QVBoxLayout(tab);
    tabs_->addTab(tab, Q(page.Caption));
    names << Q(page.Caption);
  }
  tabs_->addTab(chart_, "График");
  tabs_->blockSignals(false);
  setWindowTitle(QString(ProgramName) + " — " + names.join(", "));
  // The chart in front when the files have something to draw.
  const int front = chart_->HasSeries() ? tabs_->count() - 1 : 0;
  tabs_->setCurrentIndex(front);
  FillTab(front);
}

void TfmReportViewer::FillTab(int index) {
  if (index < 0 || index >= int(pages_.size())) return;
  QWidget* tab = tabs_->widget(index);
  if (!tab->layout()->isEmpty()) return;
  ViewerPage& page = pages_[std::size_t(index)];
  BuildPageViews(page);
  if (page.Kind == ReportKind::Tsv) {
    auto* pages = new TsvReportPages(page.Tsv.TabName == "TabSheet2tsv" ? 2 : 1, tab);
    pages->Fill(page.Tsv);
    tab->layout()->addWidget(pages);
  } else {
    auto* pages = new TsdReportPages(tab);
    pages->Fill(page.Tsd);
    tab->layout()->addWidget(pages);
  }
}

const ViewerPage* TfmReportViewer::CurrentPage() const {
  if (pages_.empty()) return nullptr;
  const int index = tabs_->currentIndex();
  return index >= 0 && index < int(pages_.size()) ? &pages_[std::size_t(index)] : &pages_.front();
}

void TfmReportViewer::OpenClick() {
  const QStringList files = QFileDialog::getOpenFileNames(this, Q(texts::OpenItem), QString(), ReportFilter);
  if (!files.isEmpty()) OpenFiles(files);
}

bool TfmReportViewer::ExportCsv(const QString& file) {
  const ViewerPage* page = CurrentPage();
  if (!page) return false;
  const std::string error = WriteCsvFile(PathOf(file), ReportCsv(page->Files, chart_->Table()), page->Files);
  if (!error.empty()) ui_.ShowMessage(error);
  return error.empty();
}

void TfmReportViewer::ExportCsvClick() {
  const ViewerPage* page = CurrentPage();
  if (!page) return;
  const QString suggested =
      QFileInfo(QString::fromStdU16String(page->Files.front().Path.u16string())).completeBaseName() + ".csv";
  const QString file = QFileDialog::getSaveFileName(this, "Экспорт в CSV", suggested, "CSV (*.csv)");
  if (!file.isEmpty()) ExportCsv(file);
}

bool TfmReportViewer::SaveChart(const QString& file) {
  if (chart_->SavePng(file)) return true;
  ui_.ShowMessage("Файл '" + U(file) + "' не записан");
  return false;
}

void TfmReportViewer::SaveChartClick() {
  const QString file = QFileDialog::getSaveFileName(this, "Сохранить график", "chart.png", "PNG (*.png)");
  if (!file.isEmpty()) SaveChart(file);
}

}  // namespace velk::gui
