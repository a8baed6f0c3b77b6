// The main window `TMFmDorva301`: the read panel "Чтение данных  ", the menus,
// the data panel with the data, report and monitor tabs. It mirrors the
// application's ReadPanel in widgets, forwards clicks to the application and
// renders the core's view models after every decode.
#pragma once

#include <QMainWindow>
#include <filesystem>
#include <vector>

class QAction;
class QActionGroup;
class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QToolButton;

namespace velk {
class Application;
struct ModBoxLayout;
struct TsvReportView;
struct TsdReportView;
}  // namespace velk

namespace velk::gui {

class CarrierPageForm;
class EditBoxWidget;
class GridView;
class QtUserInterface;
class TfmReadProgress;

class TMFmDorva301 : public QMainWindow {
  Q_OBJECT

 public:
  // The application has been constructed (Application::Construct) already.
  TMFmDorva301(Application& app, QtUserInterface& ui, std::filesystem::path programFolder, bool commandLine,
               QWidget* parent = nullptr);
  ~TMFmDorva301() override;

  TfmReadProgress& Progress() { return *progress_; }
  CarrierPageForm& CarrierPage() { return *carrierPage_; }

  // Handlers of the read panel and the menus.
  void MODBoxChange();
  void ComboBox1Change(int index);
  void BuTestClick();
  void SelectLinkItem(int item);  // RS2321Click, RS4851Click, MenuModemClick, MenuModemRS485Click
  // After a decode: fills and shows the data tabs for the decoded meter.
  void ArrangePages();
  // "Открыть": the file dialog, then the dump. OpenDumpFile is the step after the dialog.
  void OpenClick();
  void OpenDumpFile(const QString& path);
  void AcViewExecute();
  void ToggleRtcRecords();
  void ToggleEmptyRecords();
  // "Настройки" / "Параметры связи": the settings dialog on its first or its second page.
  void N1Click(int page);
  // "Соединить файлы".
  void N6Click();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildMenus();
  QWidget* BuildReadPanel();
  QTabWidget* BuildDataPanel();
  QWidget* BuildOperationalTab();
  QWidget* BuildArchiveTab();
  QWidget* BuildConstantsTab();
  QWidget* BuildTsvTab(int system);
  QWidget* BuildTsdTab();
  void RebuildTables();
  void FillOperational();
  void FillArchives();
  void FillConstants();
  void FillTsv(int system, const TsvReportView& view);
  void FillTsd(const TsdReportView& view);
  void SetTabShown(QWidget* tab, bool shown);
  // The panel's widgets from the application's ReadPanel, and the widgets' values into it.
  void ShowPanel();
  void ApplyLayout(const ModBoxLayout& layout);
  void SetReadControlsEnabled(bool enabled);
  // After each redraw of the carrier page: its caption, the port box it may
  // lock, and the window's commands that compete with a carrier command.
  void FollowCarrierPage();
  void ApplyWindowSize();
  void StoreSettingsFile();

  Application& app_;
  QtUserInterface& ui_;
  std::filesystem::path programFolder_;
  bool commandLine_;
  TfmReadProgress* progress_;
  bool updatingPanel_ = false;

  // Menus.
  QMenu* fileMenu_ = nullptr;
  QMenu* settingsMenu_ = nullptr;
  QMenu* linkMenu_ = nullptr;
  QMenu* aboutMenu_ = nullptr;
  QAction* exitItem_ = nullptr;
  std::vector<QAction*> linkItems_;  // RS2321 .. IthernetLINKORA1
  QAction* acView_ = nullptr;
  QAction* rtc1_ = nullptr;
  QAction* pfRec_ = nullptr;

  // The read panel.
  QGroupBox* topPanel_ = nullptr;
  QComboBox* modBox_ = nullptr;
  QComboBox* comboBox1_ = nullptr;
  QLabel* comboBox1Label_ = nullptr;
  QLineEdit* porTelEdit_ = nullptr;
  QLabel* porTelLabel_ = nullptr;
  QLineEdit* ipPortEdit_ = nullptr;
  QLabel* ipPortLabel_ = nullptr;
  QLineEdit* setevoyAdr_ = nullptr;
  QLabel* setevoyAdrLabel_ = nullptr;
  QGroupBox* rgTask_ = nullptr;
  QButtonGroup* rgTaskButtons_ = nullptr;
  QPushButton* buTest_ = nullptr;

  // The data panel.
  QTabWidget* pageControl_ = nullptr;
  QWidget* tabOperData_ = nullptr;
  QWidget* tabArhiv_ = nullptr;
  QTabWidget* archivePages_ = nullptr;
  QWidget* tabArhivH_ = nullptr;
  QWidget* tabArhivD_ = nullptr;
  QWidget* tabDamp_ = nullptr;
  QWidget* tabConst_ = nullptr;
  QWidget* tab1tsv_ = nullptr;
  QWidget* tab2tsv_ = nullptr;
  QWidget* tabTsd_ = nullptr;
  QWidget* tabMonitor_ = nullptr;
  CarrierPageForm* carrierPage_ = nullptr;
  QWidget* tabCarrier_ = nullptr;
  std::vector<QAction*> competingItems_;  // "Открыть", "Соединить файлы", the settings items
  QPushButton* openButton_ = nullptr;
  bool comboBox1Enabled_ = true;  // as the link layout wants it
  QPlainTextEdit* meOtv_ = nullptr;
  GridView* lsdGrid_ = nullptr;
  GridView* hrDataGrid_ = nullptr;
  GridView* dayDataGrid_ = nullptr;
  GridView* hexGrid_ = nullptr;
  EditBoxWidget* groupBox4_ = nullptr;
  EditBoxWidget* groupBox27_ = nullptr;
  QWidget* constantsPage_ = nullptr;
  std::vector<EditBoxWidget*> constantGroups_;
  std::string constantsShape_;  // the boxes constantGroups_ were built for
};

}  // namespace velk::gui
