#include "GuiHarness.h"

#include <QComboBox>
#include <QTest>

#include "app/SettingsRecord.h"
#include "imagebuilder/Family5ImageBuilder.h"

namespace velk::gui::test {

TSettingsRecord Harness::Settings() {
  TSettingsRecord settings;
  settings.LaRS232TimeOut = 300;
  settings.LaRS232Povtor = 1;
  settings.MODBox = ItemRs232;
  settings.NKPAutoTimeCorrectCB = false;
  settings.OPVDataVisible = settings.ARCHDataVisible = settings.DUMPDataVisible = true;
  settings.CONSTDataVisible = settings.TSVDataVisible = settings.MonitorChBox = true;
  return settings;
}

Harness::Harness(const TSettingsRecord& settings, std::vector<std::string> arguments) {
  TSettingsRecord here = settings;
  here.EdDataDir = (dir / "data").string();
  const SettingsBytes bytes = EncodeSettings(here);
  velk::test::WriteBytes(dir / "VelkReader.cfg", {bytes.begin(), bytes.end()});
  ui.MessageHook = [this](const std::string& text) { messages.push_back(text); };
  app = std::make_unique<Application>(ui, SystemClock::Instance(), dir.Path(), links);
  app->Construct(arguments);
  window = std::make_unique<TMFmDorva301>(*app, ui, dir.Path(), !arguments.empty());
  window->show();
  window->activateWindow();
  if (!QTest::qWaitForWindowActive(window.get())) qWarning("the main window did not become active");
}

Harness::~Harness() {
  window.reset();
  app.reset();
  links.Carrier.reset();
}

SimulatedCarrier& Harness::StartCarrier(CarrierKind kind) {
  carrier = std::make_unique<SimulatedCarrier>(kind, SystemClock::Instance());
  links.Carrier = std::make_shared<CarrierSimPort>(*carrier, carrierFaults);
  app->CarrierQuery.SleepMs = [](int) {};
  return *carrier;
}

void Harness::SelectMODBox(int item) {
  auto* box = Find<QComboBox>("MODBox");
  box->setCurrentIndex(item);
  emit box->activated(item);
}

void Harness::StartMeter(int hours, int latencyMs, int baudRate) {
  Family5ImageBuilder builder(53);
  builder.SetSerial(12345).SetClock(SystemClock::Instance().Now()).FillHourRecords(hours);
  MeterSimOptions options;
  options.LatencyMs = latencyMs;
  options.BaudRate = baudRate;
  sim = std::make_unique<MeterSimulator>(builder.BuildMemory(), SystemClock::Instance(), options);
  std::string error;
  if (!sim->Start(error)) qFatal("meter-sim: %s", error.c_str());
  links.Device = sim->SlavePath();
}

bool Harness::TabShown(const char* name) const {
  QWidget* tab = Find<QWidget>(name);
  auto* tabs = qobject_cast<QTabWidget*>(tab->parentWidget()->parentWidget());
  return tabs->isTabVisible(tabs->indexOf(tab));
}

bool ShowsGrid(const GridView& view, const TGrid& grid, QString* difference) {
  const GridTableModel& model = view.Model();
  const int heading = model.HeadingRows();
  if (model.rowCount() + heading != grid.RowCount() || model.columnCount() != grid.ColumnCount()) {
    *difference = QString("%1 x %2 shown, %3 x %4 built")
                      .arg(model.rowCount() + heading)
                      .arg(model.columnCount())
                      .arg(grid.RowCount())
                      .arg(grid.ColumnCount());
    return false;
  }
  for (int row = 0; row < grid.RowCount(); ++row) {
    for (int column = 0; column < grid.ColumnCount(); ++column) {
      const QString shown = row < heading
                                ? model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString()
                                : model.data(model.index(row - heading, column), Qt::DisplayRole).toString();
      if (shown != QString::fromStdString(grid.Text(row, column))) {
        *difference = QString("cell %1,%2 shows '%3'").arg(row).arg(column).arg(shown);
        return false;
      }
    }
  }
  return true;
}

}  // namespace velk::gui::test
