// The carrier page `TabSheet1` of the main window: the action buttons, the
// status labels, the gauges, the clock group, the file grid `SPGrid`, the
// block panel `Panel14` with `LTRMemGrid`, the log `Memo1` and the timers
// `Timer1`..`Timer3`. It draws the carrier operations' page state, forwards
// clicks to them and answers their questions with the two carrier dialogs.
#pragma once

#include <QTableView>
#include <QWidget>
#include <array>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "carrier/CarrierPage.h"

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTimer;
class QToolButton;

namespace velk {
class Application;
class CarrierOperations;
}  // namespace velk

namespace velk::gui {

class CarrierGridModel;
class LtrMapModel;
class QtUserInterface;
class TBedTypeForm;
class TWarn1Form;

// SPGrid: presses go to SPGridMouseDown with the Ctrl and Shift state, a
// double click copies and views; holding Ctrl redraws the current row.
class CarrierGridView : public QTableView {
 public:
  CarrierGridView(CarrierGridModel& model, QWidget* parent);
  std::function<void(int row, bool ctrl, bool shift)> OnPress;
  std::function<void()> OnDoubleClick;
  // Column widths from the grid's hints, worked out again when its rows change.
  void FitColumns(const CarrierFileGrid& grid);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  CarrierGridModel& model_;
  std::optional<std::uint64_t> fittedRevision_;
};

class CarrierPageForm : public QWidget, public CarrierPageView {
  Q_OBJECT

 public:
  // The page attaches itself to the application's carrier engine.
  CarrierPageForm(Application& app, QtUserInterface& ui, QWidget* parent);
  ~CarrierPageForm() override;

  // CarrierPageView
  void Refresh(const CarrierPageState& state) override;
  void ShowMessage(const std::string& text) override;
  BadTypeChoice AskBadType(const std::string& serialText) override;
  bool AskCheckMemory(int faultyBlocks) override;

  TBedTypeForm& BedTypeForm() { return *bedType_; }
  TWarn1Form& Warn1Form() { return *warn1_; }

 signals:
  // After every redraw: the window follows the operation lock and the caption.
  void Refreshed();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  CarrierOperations& Ops();
  QPushButton* HolderButton(const char* name);
  QAction* Action(CarrierAction action, const char* hint = nullptr);
  QWidget* BuildButtons();
  QWidget* BuildSide();
  QWidget* BuildBlockPanel();
  // Runs the action a button holds, then redraws.
  void Run(CarrierAction action);
  void ShowButtons(const CarrierPageState& state);
  void ShowTimers(const CarrierPageState& state);
  void ApplyMapWidths();

  Application& app_;
  QtUserInterface& ui_;
  TBedTypeForm* bedType_;
  TWarn1Form* warn1_;

  // The buttons that hold a changing action, and the actions they hold now.
  std::map<QPushButton*, CarrierAction> held_;
  QPushButton* readSPBtn_ = nullptr;
  QPushButton* bitBtn2_ = nullptr;
  QPushButton* copyViewBtn_ = nullptr;
  QPushButton* bitBtn4_ = nullptr;
  QPushButton* nkpDtTmSet_ = nullptr;
  std::map<CarrierAction, QAction*> actions_;
  std::map<CarrierAction, QToolButton*> serviceButtons_;  // hidden with their actions

  std::vector<std::pair<CarrierLabel CarrierPageState::*, QLabel*>> labels_;
  QLineEdit* edit1_ = nullptr;
  QLineEdit* edit3_ = nullptr;
  QLineEdit* edit4_ = nullptr;
  QLineEdit* edit6_ = nullptr;
  QGroupBox* clockGroup_ = nullptr;
  QLabel* carrierClockLabel_ = nullptr;
  QCheckBox* autoTimeCorrCB_ = nullptr;
  QWidget* panel5_ = nullptr;
  QProgressBar* gauge1_ = nullptr;
  QProgressBar* gauge2_ = nullptr;
  QProgressBar* gauge3_ = nullptr;
  Colour gauge3Colour_ = 0xFFFFFFFF;
  QWidget* statistics_ = nullptr;
  QPlainTextEdit* memo1_ = nullptr;
  std::size_t memoLines_ = 0;
  QWidget* panel14_ = nullptr;
  CarrierGridModel* gridModel_ = nullptr;
  CarrierGridView* spGrid_ = nullptr;
  LtrMapModel* mapModel_ = nullptr;
  QTableView* ltrMemGrid_ = nullptr;
  std::array<QTimer*, 3> timers_{};
  std::array<bool, 3> timerFlags_{};
};

}  // namespace velk::gui
