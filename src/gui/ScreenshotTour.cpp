#include "gui/ScreenshotTour.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include "app/Application.h"
#include "app/ReadPanel.h"
#include "gui/MainPanel.h"
#include "gui/ProgressForm.h"

namespace velk::gui {
namespace {

void Pump(int milliseconds) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < milliseconds) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// Pumps until `done` holds or `limitMs` has passed.
template <class Done>
void PumpUntil(Done done, int limitMs) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < limitMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

class Camera {
 public:
  explicit Camera(QString folder) : folder_(std::move(folder)) { QDir().mkpath(folder_); }
  void Shoot(QWidget& widget, const QString& name) {
    Pump(150);
    if (widget.grab().save(folder_ + "/" + name + ".png")) ++count_;
  }
  int Count() const { return count_; }

 private:
  QString folder_;
  int count_ = 0;
};

// Every visible tab of the data panel, inner pages of the report tabs included.
void ShootTabs(TMFmDorva301& window, Camera& camera, const QString& prefix) {
  auto* pages = window.findChild<QTabWidget*>("PageControl1");
  for (int i = 0; i < pages->count(); ++i) {
    if (!pages->isTabVisible(i)) continue;
    QWidget* tab = pages->widget(i);
    pages->setCurrentIndex(i);
    const QString name = prefix + "-" + tab->objectName();
    auto* inner = tab->findChild<QTabWidget*>(QString(), Qt::FindDirectChildrenOnly);
    if (!inner) {
      camera.Shoot(window, name);
      continue;
    }
    for (int j = 0; j < inner->count(); ++j) {
      if (!inner->isTabVisible(j)) continue;
      inner->setCurrentIndex(j);
      camera.Shoot(window, name + "-" + inner->widget(j)->objectName());
    }
    inner->setCurrentIndex(0);
  }
}

// The settings dialog on each of its pages; every data tab and the monitor turned on, then OK.
void ShootSettings(TMFmDorva301& window, Camera& camera) {
  QTimer::singleShot(300, [&camera] {
    auto* dialog = QApplication::activeModalWidget();
    PumpUntil([&] { return (dialog = QApplication::activeModalWidget()) != nullptr; }, 5000);
    if (!dialog) return;
    for (const char* name : {"DATAPanelVisible", "OPVDataVisible", "ARCHDataVisible", "DUMPDataVisible",
                             "CONSTDataVisible", "TSVDataVisible", "MonitorChBox"}) {
      if (auto* check = dialog->findChild<QCheckBox*>(name)) check->setChecked(true);
    }
    auto* pages = dialog->findChild<QTabWidget*>("PageControl1");
    auto* linkPages = dialog->findChild<QTabWidget*>("PageControl2");
    pages->setCurrentIndex(0);
    camera.Shoot(*dialog, "settings-program");
    pages->setCurrentIndex(1);
    for (int j = 0; j < linkPages->count(); ++j) {
      linkPages->setCurrentIndex(j);
      camera.Shoot(*dialog, "settings-" + linkPages->widget(j)->objectName());
    }
    dialog->findChild<QPushButton*>("OKBtn")->click();
  });
  window.N1Click(0);
}

// Chooses a MODBox item and its port as the user does.
void SelectCarrier(TMFmDorva301& window, int item, const QString& port) {
  auto* box = window.findChild<QComboBox*>("MODBox");
  box->setCurrentIndex(item);
  emit box->activated(item);
  auto* ports = window.findChild<QComboBox*>("ComboBox1");
  ports->setCurrentText(port);
  window.ComboBox1Change(ports->currentIndex());
}

// Once the modal dialog `name` shows: its picture, then `button`.
void ShootDialogThenPress(Camera& camera, const char* name, const char* button, const QString& picture) {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, [=, &camera] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (!dialog || dialog->objectName() != name) return;
    timer->stop();
    timer->deleteLater();
    camera.Shoot(*dialog, picture);
    dialog->findChild<QPushButton*>(button)->click();
  });
  timer->start(50);
}

void ShootCarrierPages(TMFmDorva301& window, Application& app, Camera& camera, const ScreenshotTourPlan& plan) {
  auto* pages = window.findChild<QTabWidget*>("PageControl1");
  QWidget* page = window.findChild<QWidget*>("TabSheet1");
  auto* read = page->findChild<QPushButton*>("ReadSPBtn");
  if (!plan.NkpPort.isEmpty()) {
    SelectCarrier(window, ItemNkp, plan.NkpPort);
    pages->setCurrentWidget(page);
    // The auto-poll finds the carrier and reads its list.
    PumpUntil([&] { return !app.Carrier.Disconnected && !app.Carrier.OperationRunning(); }, 15000);
    app.Carrier.SPGridMouseDown(1, false, false);
    app.Carrier.SPGridMouseDown(3, false, true);
    app.Carrier.SPGridMouseDown(2, true, false);
    camera.Shoot(window, "carrier-nkp");
    // The memory check finds the faulty block and asks; "Отменить" reads the list again.
    ShootDialogThenPress(camera, "Warn1Form", "CancelBtn", "carrier-warn1form");
    page->findChild<QToolButton*>("Button2")->click();
  }
  if (!plan.LtrPort.isEmpty()) {
    SelectCarrier(window, ItemLtr, plan.LtrPort);
    pages->setCurrentWidget(page);
    read->click();
    page->findChild<QToolButton*>("LTRDopMemENBtn")->click();
    app.Carrier.SPGridMouseDown(1, false, false);
    app.Carrier.LTRMemGridSelectCell(1, 2);
    camera.Shoot(window, "carrier-ltr");
    // A file the ЛТР cannot copy: the three-way dialog, answered "Продолжить".
    const int files = app.CarrierState.FileCount;
    for (int row = 1; row <= files; ++row) {
      if (app.Carrier.Page.Grid.TextBold(row)) app.Carrier.SPGridMouseDown(row, false, false);
    }
    ShootDialogThenPress(camera, "BedTypeForm", "ContinueBtn", "carrier-bedtypeform");
    page->findChild<QPushButton*>("BitBtn2")->click();
  }
}

}  // namespace

int RunScreenshotTour(TMFmDorva301& window, Application& app, const ScreenshotTourPlan& plan) {
  Camera camera(plan.Folder);
  Pump(300);
  camera.Shoot(window, "main-start");
  ShootSettings(window, camera);

  if (!plan.ReadPort.isEmpty()) {
    window.SelectLinkItem(0);
    auto* ports = window.findChild<QComboBox*>("ComboBox1");
    ports->setCurrentText(plan.ReadPort);
    window.ComboBox1Change(ports->currentIndex());
    window.BuTestClick();
    TfmReadProgress& progress = window.Progress();
    PumpUntil([&] { return app.Progress.Bar >= 30 || !app.ReadingRunning(); }, 30000);
    camera.Shoot(progress, "progress");
    QPixmap both = window.grab();
    {
      // The progress window over the main window, as the user sees the reading.
      QPainter painter(&both);
      const QPixmap dialog = progress.grab();
      painter.drawPixmap((both.width() - dialog.width()) / 2, (both.height() - dialog.height()) / 2, dialog);
    }
    both.save(plan.Folder + "/main-reading.png");
    PumpUntil([&] { return !app.ReadingRunning() && !progress.isVisible(); }, 120000);
    ShootTabs(window, camera, "read");
  }
  for (const QString& dump : plan.Dumps) {
    window.OpenDumpFile(dump);
    ShootTabs(window, camera, "dump" + QString::number(app.Values.DeviceCode));
  }
  ShootCarrierPages(window, app, camera, plan);
  return camera.Count();
}

}  // namespace velk::gui
