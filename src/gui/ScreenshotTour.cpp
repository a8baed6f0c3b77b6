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

#include "app/Application.h"
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
  return camera.Count();
}

}  // namespace velk::gui
