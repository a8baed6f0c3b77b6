// One main window over a real Application in a temporary program folder, with
// every serial port leading to a simulated meter's pseudo-terminal.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <memory>

#include "app/Application.h"
#include "common/Clock.h"
#include "gui/GridView.h"
#include "gui/MainPanel.h"
#include "gui/ProgressForm.h"
#include "gui/QtUserInterface.h"
#include "link/LinkOpener.h"
#include "meter-sim/MeterSimulator.h"
#include "support/CarrierTestSupport.h"
#include "support/TempDir.h"

namespace velk::gui::test {

class SimulatorLinks final : public LinkOpener {
 public:
  std::string Device;
  // Once set, every serial port leads to this simulated carrier instead.
  std::shared_ptr<CarrierSimPort> Carrier;
  std::unique_ptr<SerialPort> OpenSerial(const std::string&, int baudRate, std::string& error) override {
    if (Carrier) return std::make_unique<velk::test::ForwardingPort>(Carrier);
    return OpenSerialPort(Device, SerialSettings{baudRate}, error);
  }
  std::unique_ptr<ByteStream> OpenTcp(const std::string&, int, int, std::string& error) override {
    error = "no TCP here";
    return nullptr;
  }
};

struct Harness {
  // Settings with every data tab on and short waits; the window is shown.
  explicit Harness(const TSettingsRecord& settings = Settings(), std::vector<std::string> arguments = {});
  ~Harness();

  static TSettingsRecord Settings();
  // Serves a family-53 meter with `hours` hour records (baudRate 0: unpaced).
  void StartMeter(int hours, int latencyMs = 0, int baudRate = 0);
  std::filesystem::path MeterFolder() const { return dir / "data" / "53-12345"; }
  // Serves a simulated carrier in this process on every serial port.
  SimulatedCarrier& StartCarrier(CarrierKind kind);
  // Chooses a MODBox item as the user does.
  void SelectMODBox(int item);

  template <class T>
  T* Find(const char* name) const {
    return window->findChild<T*>(name);
  }
  bool TabShown(const char* name) const;

  velk::test::TempDir dir;
  QtUserInterface ui;
  SimulatorLinks links;
  std::unique_ptr<Application> app;
  std::unique_ptr<TMFmDorva301> window;
  std::unique_ptr<MeterSimulator> sim;
  FaultPlan carrierFaults;
  std::unique_ptr<SimulatedCarrier> carrier;
  std::vector<std::string> messages;
};

// True when the view shows exactly the grid's cells (the heading row in its header).
bool ShowsGrid(const GridView& view, const TGrid& grid, QString* difference);

}  // namespace velk::gui::test
