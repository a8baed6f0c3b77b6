#include "gui/MainPanel.h"

#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/ConnectPropModel.h"
#include "app/InputRules.h"
#include "app/ReadPanel.h"
#include "app/WindowTexts.h"
#include "carrier/CarrierTexts.h"
#include "common/NativePath.h"
#include "decode/views/ArchiveViews.h"
#include "decode/views/ConstantsView.h"
#include "decode/views/CurrentValuesView.h"
#include "decode/views/HexView.h"
#include "decode/views/IdentificationView.h"
#include "decode/views/PageLayout.h"
#include "decode/views/ViewTexts.h"
#include "gui/CarrierPageForm.h"
#include "gui/ConnectPr.h"
#include "gui/EditBoxWidget.h"
#include "gui/FileFilter.h"
#include "gui/GridView.h"
#include "gui/MonitorFeed.h"
#include "gui/ProgressForm.h"
#include "gui/QtText.h"
#include "gui/QtUserInterface.h"
#include "gui/ReportPages.h"
#include "reports/ReportViews.h"

namespace velk::gui {
namespace {

constexpr int PortCount = 64;

QLabel* NamedLabel(const QString& name, const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  return label;
}

// A label above its control, as the labelled edits of the panel are drawn.
QWidget* Labelled(QLabel* label, QWidget* control, QWidget* parent) {
  auto* box = new QWidget(parent);
  auto* layout = new QVBoxLayout(box);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(1);
  layout->addWidget(label);
  layout->addWidget(control);
  return box;
}

QWidget* Page(QTabWidget* tabs, const QString& name, const QString& caption) {
  auto* page = new QWidget(tabs);
  page->setObjectName(name);
  tabs->addTab(page, caption);
  return page;
}

// The key as the input rules see it: Backspace and Tab by their control codes, else the typed character.
char32_t RuleKey(const QKeyEvent& event) {
  if (event.key() == Qt::Key_Backspace) return KeyBackspace;
  if (event.key() == Qt::Key_Tab) return KeyTab;
  const QString text = event.text();
  if (text.isEmpty()) return 0;
  return text.toUcs4().value(0);
}

// Position of the caret in UTF-8 bytes, as the core's rules count it.
std::size_t ByteCaret(const QLineEdit& edit) {
  return std::size_t(edit.text().left(edit.cursorPosition()).toUtf8().size());
}

}  // namespace

TMFmDorva301::TMFmDorva301(Application& app, QtUserInterface& ui, std::filesystem::path programFolder,
                           bool commandLine, QWidget* parent)
    : QMainWindow(parent),
      app_(app),
      ui_(ui),
      programFolder_(std::move(programFolder)),
      commandLine_(commandLine) {
  setObjectName("TMFmDorva301");
  setWindowTitle(Q(texts::ProgramTitle));
  ui_.BoxParent = this;
  ui_.CaptionListener = [this](const std::string& caption) { setWindowTitle(Q(caption)); };
  progress_ = new TfmReadProgress(app_, commandLine_, this);
  connect(progress_, &TfmReadProgress::Shown, this, [this] { SetReadControlsEnabled(false); });
  connect(progress_, &TfmReadProgress::Hidden, this, [this] {
    QApplication::setApplicationName(Q(texts::ProgramTitleAfterReading));
    SetReadControlsEnabled(true);
    MODBoxChange();
  });
  connect(progress_, &TfmReadProgress::ReadingEnded, this, [this] {
    ShowPanel();
    if (!app_.Progress.Visible) showNormal();
  });

  BuildMenus();
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->setSpacing(2);
  layout->addWidget(BuildReadPanel());
  layout->addWidget(BuildDataPanel(), 1);
  setCentralWidget(central);

  app_.OnArrangePages = [this] { ArrangePages(); };
  app_.OnCloseReady = [this] { QTimer::singleShot(0, this, &QWidget::close); };
  ShowPanel();
  MODBoxChange();
  ApplyWindowSize();

  new MonitorFeed(app_.Monitor, *meOtv_);  // MeOtv shows the exchange monitor
}

TMFmDorva301::~TMFmDorva301() {
  app_.OnArrangePages = nullptr;
  app_.OnCloseReady = nullptr;
  ui_.BoxParent = nullptr;
  ui_.CaptionListener = nullptr;
}

// --- Construction ---

void TMFmDorva301::BuildMenus() {
  fileMenu_ = menuBar()->addMenu(Q(texts::FileMenu));
  fileMenu_->setObjectName("File1");
  QAction* open = fileMenu_->addAction(Q(texts::OpenItem), this, &TMFmDorva301::OpenClick);
  open->setObjectName("Open1");
  QAction* join = fileMenu_->addAction(Q(texts::JoinFilesItem), this, &TMFmDorva301::N6Click);
  join->setObjectName("N6");
  competingItems_ = {open, join};
  acView_ = new QAction(Q(texts::AcViewCaption), this);
  acView_->setObjectName("AcView");
  acView_->setEnabled(false);
  connect(acView_, &QAction::triggered, this, &TMFmDorva301::AcViewExecute);
  fileMenu_->addAction(acView_);
  fileMenu_->addSeparator();
  exitItem_ = fileMenu_->addAction(Q(texts::ExitItem), this, &QWidget::close);
  exitItem_->setObjectName("Exit1");

  settingsMenu_ = menuBar()->addMenu(Q(texts::SettingsMenu));
  settingsMenu_->setObjectName("Settings1");
  QAction* n1 = settingsMenu_->addAction(Q(texts::SettingsMenu), this, [this] { N1Click(0); });
  n1->setObjectName("N1");
  competingItems_.push_back(n1);
  rtc1_ = settingsMenu_->addAction(Q(texts::RTC1Caption), this, &TMFmDorva301::ToggleRtcRecords);
  rtc1_->setObjectName("RTC1");
  rtc1_->setCheckable(true);
  pfRec_ = settingsMenu_->addAction(Q(texts::PFRecCaption), this, &TMFmDorva301::ToggleEmptyRecords);
  pfRec_->setObjectName("PFRec");
  pfRec_->setCheckable(true);

  linkMenu_ = menuBar()->addMenu(Q(texts::LinkMenu));
  linkMenu_->setObjectName("Link1");
  auto* radio = new QActionGroup(this);
  const char* names[] = {"RS2321",        "RS4851",          "MenuModem",       "MenuModemRS485",
                         "IhternetMOXA1", "IternetMOXARLZ1", "IthernetLINKORA1"};
  for (int item = 0; item < 7; ++item) {
    QAction* action = linkMenu_->addAction(Q(texts::LinkMenuItems[item]));
    action->setObjectName(names[item]);
    action->setCheckable(true);
    radio->addAction(action);
    linkItems_.push_back(action);
    // The four direct serial links select their item; the Internet items select theirs as well,
    // so that the menu never ticks an item the panel does not show.
    connect(action, &QAction::triggered, this, [this, item] { SelectLinkItem(item); });
  }
  linkMenu_->addSeparator();
  QAction* n4 = linkMenu_->addAction(Q(texts::N4Caption), this, [this] { N1Click(1); });
  n4->setObjectName("N4");
  competingItems_.push_back(n4);

  aboutMenu_ = menuBar()->addMenu(Q(texts::AboutMenu));
  aboutMenu_->setObjectName("About1");
  QAction* about = aboutMenu_->addAction(
      Q(texts::AboutMenu), this, [this] { ui_.ShowMessage(UsageCaption() + "\n\n" + UsageMessage()); });
  about->setObjectName("AboutItem");
}

QWidget* TMFmDorva301::BuildReadPanel() {
  topPanel_ = new QGroupBox(Q(texts::ReadPanelCaption), this);
  topPanel_->setObjectName("TopPanel");
  auto* layout = new QHBoxLayout(topPanel_);
  layout->setContentsMargins(6, 2, 6, 4);
  layout->setSpacing(8);

  modBox_ = new QComboBox(topPanel_);
  modBox_->setObjectName("MODBox");
  for (std::string_view item : texts::MODBoxItems) modBox_->addItem(Q(item));
  modBox_->setToolTip(Q(texts::MODBoxHint));
  layout->addWidget(modBox_, 0, Qt::AlignBottom);

  comboBox1_ = new QComboBox(topPanel_);
  comboBox1_->setObjectName("ComboBox1");
  for (int port = 1; port <= PortCount; ++port) comboBox1_->addItem(QString("COM%1").arg(port));
  comboBox1Label_ = NamedLabel("ComboBox1Label", Q(texts::ComboBox1Label), topPanel_);
  layout->addWidget(Labelled(comboBox1Label_, comboBox1_, topPanel_), 0, Qt::AlignBottom);

  porTelEdit_ = new QLineEdit(topPanel_);
  porTelEdit_->setObjectName("PorTelEdit");
  porTelEdit_->setMinimumWidth(120);
  porTelLabel_ = NamedLabel("PorTelEditLabel", Q(texts::PhoneLabel), topPanel_);
  layout->addWidget(Labelled(porTelLabel_, porTelEdit_, topPanel_), 0, Qt::AlignBottom);

  ipPortEdit_ = new QLineEdit(topPanel_);
  ipPortEdit_->setObjectName("IP_PortEdit");
  ipPortEdit_->setMaximumWidth(60);
  ipPortLabel_ = NamedLabel("IP_PortEditLabel", Q(texts::IP_PortEditLabel), topPanel_);
  layout->addWidget(Labelled(ipPortLabel_, ipPortEdit_, topPanel_), 0, Qt::AlignBottom);

  setevoyAdr_ = new QLineEdit(topPanel_);
  setevoyAdr_->setObjectName("LEdSetevoyAdr");
  setevoyAdr_->setMaximumWidth(80);
  setevoyAdrLabel_ = NamedLabel("LEdSetevoyAdrLabel", Q(texts::LEdSetevoyAdrLabel), topPanel_);
  layout->addWidget(Labelled(setevoyAdrLabel_, setevoyAdr_, topPanel_), 0, Qt::AlignBottom);

  rgTask_ = new QGroupBox(Q(texts::RGTaskCaption), topPanel_);
  rgTask_->setObjectName("RGTask");
  auto* rgLayout = new QHBoxLayout(rgTask_);
  rgLayout->setContentsMargins(4, 0, 4, 0);
  rgTaskButtons_ = new QButtonGroup(rgTask_);
  for (int item = 0; item < 3; ++item) {
    auto* button = new QRadioButton(Q(texts::RGTaskItems[item]), rgTask_);
    button->setObjectName(QString("RGTask%1").arg(item));
    rgTaskButtons_->addButton(button, item);
    rgLayout->addWidget(button);
  }
  layout->addWidget(rgTask_, 0, Qt::AlignBottom);

  buTest_ = new QPushButton(Q(texts::BuTestCaption), topPanel_);
  buTest_->setObjectName("BuTest");
  buTest_->setToolTip(Q(texts::BuTestHint));
  layout->addWidget(buTest_, 0, Qt::AlignBottom);

  openButton_ = new QPushButton(Q(texts::OpenItem), topPanel_);
  openButton_->setObjectName("OpenButton");
  layout->addWidget(openButton_, 0, Qt::AlignBottom);
  auto* viewButton = new QToolButton(topPanel_);
  viewButton->setObjectName("ViewButton");
  viewButton->setDefaultAction(acView_);
  layout->addWidget(viewButton, 0, Qt::AlignBottom);
  layout->addStretch();


  connect(modBox_, &QComboBox::activated, this, [this](int item) {
    app_.Panel.MODBox = item;
    MODBoxChange();
  });
  connect(comboBox1_, &QComboBox::activated, this, &TMFmDorva301::ComboBox1Change);
  connect(porTelEdit_, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (!updatingPanel_) app_.Panel.PorTelEdit = U(text);
  });
  connect(ipPortEdit_, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (!updatingPanel_) app_.Panel.IP_PortEdit = U(text);
  });
  connect(setevoyAdr_, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (!updatingPanel_) app_.Panel.LEdSetevoyAdr = U(text);
  });
  connect(rgTaskButtons_, &QButtonGroup::idClicked, this, [this](int item) { app_.Panel.RGTask = item; });
  connect(buTest_, &QPushButton::clicked, this, &TMFmDorva301::BuTestClick);
  connect(openButton_, &QPushButton::clicked, this, &TMFmDorva301::OpenClick);
  porTelEdit_->installEventFilter(this);
  setevoyAdr_->installEventFilter(this);
  return topPanel_;
}

QTabWidget* TMFmDorva301::BuildDataPanel() {
  pageControl_ = new QTabWidget(this);
  pageControl_->setObjectName("PageControl1");
  tabOperData_ = BuildOperationalTab();
  tabArhiv_ = BuildArchiveTab();

  tabDamp_ = Page(pageControl_, "TabSheetDamp", Q(texts::HexTab));
  hexGrid_ = new GridView("StringGrid1", tabDamp_, 1);
  (new QVBoxLayout(tabDamp_))->addWidget(hexGrid_);

  tabConst_ = BuildConstantsTab();
  tab1tsv_ = BuildTsvTab(1);
  tab2tsv_ = BuildTsvTab(2);
  tabTsd_ = BuildTsdTab();

  tabMonitor_ = Page(pageControl_, "TabSheet5", Q(texts::MonitorTab));
  meOtv_ = new QPlainTextEdit(tabMonitor_);
  meOtv_->setObjectName("MeOtv");
  meOtv_->setReadOnly(true);
  (new QVBoxLayout(tabMonitor_))->addWidget(meOtv_);

  carrierPage_ = new CarrierPageForm(app_, ui_, pageControl_);
  tabCarrier_ = carrierPage_;
  pageControl_->addTab(carrierPage_, Q(app_.Carrier.Page.TabCaption));
  connect(carrierPage_, &CarrierPageForm::Refreshed, this, &TMFmDorva301::FollowCarrierPage);
  connect(pageControl_, &QTabWidget::currentChanged, this, [this] {
    app_.Carrier.PageControl1Change(pageControl_->currentWidget() == carrierPage_);
    carrierPage_->Refresh(app_.Carrier.Page);
  });
  for (QWidget* tab :
       {tabOperData_, tabArhiv_, tabDamp_, tabConst_, tab1tsv_, tab2tsv_, tabTsd_, tabCarrier_}) {
    SetTabShown(tab, false);
  }
  return pageControl_;
}

QWidget* TMFmDorva301::BuildOperationalTab() {
  QWidget* tab = Page(pageControl_, "TabSheetOperData", Q(texts::OperationalTab));
  auto* layout = new QGridLayout(tab);
  layout->setContentsMargins(4, 4, 4, 4);
  groupBox4_ = new EditBoxWidget("GroupBox4", 2, tab);
  groupBox27_ = new EditBoxWidget("GroupBox27", 5, tab);
  auto* lsdBox = new QGroupBox(Q(viewtext::LsdBoxCaption), tab);
  lsdBox->setObjectName("LSDBox");
  lsdGrid_ = new GridView("LSDGrid", lsdBox, 0);
  (new QVBoxLayout(lsdBox))->addWidget(lsdGrid_);
  layout->addWidget(groupBox4_, 0, 0);
  layout->addWidget(groupBox27_, 0, 1);
  layout->addWidget(lsdBox, 1, 0, 1, 2);
  layout->setRowStretch(1, 1);
  layout->setColumnStretch(1, 1);
  return tab;
}

QWidget* TMFmDorva301::BuildArchiveTab() {
  QWidget* tab = Page(pageControl_, "TabSheetArhiv", Q(texts::ArchivesTab));
  archivePages_ = new QTabWidget(tab);
  archivePages_->setObjectName("PageControl3");
  (new QVBoxLayout(tab))->addWidget(archivePages_);
  tabArhivH_ = Page(archivePages_, "TabSheetArhivH", "Часовой");
  tabArhivD_ = Page(archivePages_, "TabSheetArhivD", Q(texts::DayArchiveTab));
  hrDataGrid_ = new GridView("HrDataGrid", tabArhivH_, 1);
  dayDataGrid_ = new GridView("DayDataGrid", tabArhivD_, 1);
  (new QVBoxLayout(tabArhivH_))->addWidget(hrDataGrid_);
  (new QVBoxLayout(tabArhivD_))->addWidget(dayDataGrid_);
  // The popup of the archive grids: the two record toggles.
  for (GridView* grid : {hrDataGrid_, dayDataGrid_}) {
    grid->setContextMenuPolicy(Qt::ActionsContextMenu);
    grid->addAction(rtc1_);
    grid->addAction(pfRec_);
  }
  return tab;
}

QWidget* TMFmDorva301::BuildConstantsTab() {
  QWidget* tab = Page(pageControl_, "TabSheetConst", Q(texts::ConstantsTab));
  auto* scroll = new QScrollArea(tab);
  scroll->setWidgetResizable(true);
  constantsPage_ = new QWidget(scroll);
  new QGridLayout(constantsPage_);
  scroll->setWidget(constantsPage_);
  (new QVBoxLayout(tab))->addWidget(scroll);
  return tab;
}

QWidget* TMFmDorva301::BuildTsvTab(int system) {
  QWidget* tab = Page(pageControl_, system == 1 ? "TabSheet1tsv" : "TabSheet2tsv",
                      Q(system == 1 ? texts::Tsv1Tab : texts::Tsv2Tab));
  (new QVBoxLayout(tab))->addWidget(new TsvReportPages(system, tab));
  return tab;
}

QWidget* TMFmDorva301::BuildTsdTab() {
  QWidget* tab = Page(pageControl_, "TabSheetTsd", Q(texts::TsdTab));
  (new QVBoxLayout(tab))->addWidget(new TsdReportPages(tab));
  return tab;
}

// --- The read panel ---

void TMFmDorva301::ShowPanel() {
  updatingPanel_ = true;
  const ReadPanel& panel = app_.Panel;
  modBox_->setCurrentIndex(panel.MODBox);
  comboBox1_->setCurrentText(Q(panel.ComboBox1));
  porTelEdit_->setText(Q(panel.PorTelEdit));
  ipPortEdit_->setText(Q(panel.IP_PortEdit));
  setevoyAdr_->setText(Q(panel.LEdSetevoyAdr));
  if (QAbstractButton* button = rgTaskButtons_->button(panel.RGTask)) button->setChecked(true);
  updatingPanel_ = false;
}

void TMFmDorva301::MODBoxChange() {
  app_.MODBoxChange();
  ApplyLayout(ModBoxLayoutOf(app_.Panel.MODBox, app_.Settings.MonitorChBox));
}

void TMFmDorva301::ApplyLayout(const ModBoxLayout& layout) {
  ShowPanel();
  porTelEdit_->parentWidget()->setVisible(layout.PorTelEditVisible);
  if (!layout.PorTelEditLabel.empty()) porTelLabel_->setText(Q(layout.PorTelEditLabel));
  setevoyAdr_->parentWidget()->setVisible(layout.LEdSetevoyAdrVisible);
  comboBox1_->parentWidget()->setVisible(layout.ComboBox1Visible);
  comboBox1Enabled_ = layout.ComboBox1Enabled;
  ipPortEdit_->parentWidget()->setVisible(layout.IP_PortEditVisible);
  rgTask_->setVisible(layout.ReadGroupVisible);
  buTest_->setVisible(layout.ReadGroupVisible);
  for (int i = 0; i < int(linkItems_.size()); ++i) linkItems_[i]->setChecked(i == layout.TickedMenuItem);
  SetTabShown(tabCarrier_, layout.CarrierTabVisible);
  if (layout.ActivateCarrierTab) pageControl_->setCurrentWidget(tabCarrier_);
  SetTabShown(tabMonitor_, layout.MonitorTabVisible);
  carrierPage_->Refresh(app_.Carrier.Page);
}

void TMFmDorva301::FollowCarrierPage() {
  const CarrierPageState& page = app_.Carrier.Page;
  pageControl_->setTabText(pageControl_->indexOf(carrierPage_), Q(page.TabCaption));
  const bool free = app_.WindowCommandsEnabled();
  const bool carrier = app_.Panel.MODBox >= ItemNkp;
  comboBox1_->setEnabled(comboBox1Enabled_ && free && (!carrier || page.PortBoxEnabled));
  modBox_->setEnabled(free);
  buTest_->setEnabled(free);
  openButton_->setEnabled(free);
  for (QAction* item : competingItems_) item->setEnabled(free);
  for (QAction* item : linkItems_) item->setEnabled(free);
}

void TMFmDorva301::SelectLinkItem(int item) {
  if (LinkMenuClick(app_.Panel, app_.Settings, item)) {
    MODBoxChange();
  } else {
    for (int i = 0; i < int(linkItems_.size()); ++i)
      linkItems_[i]->setChecked(i == app_.Panel.TickedMenuItem);
  }
}

void TMFmDorva301::ComboBox1Change(int index) { app_.ComboBox1Change(U(comboBox1_->itemText(index))); }

bool TMFmDorva301::eventFilter(QObject* watched, QEvent* event) {
  if (watched == setevoyAdr_ && event->type() == QEvent::FocusIn) {
    setevoyAdr_->setText(Q(LEdSetevoyAdrEnter(U(setevoyAdr_->text()))));
  } else if (watched == setevoyAdr_ && event->type() == QEvent::FocusOut) {
    setevoyAdr_->setText(Q(LEdSetevoyAdrExit(U(setevoyAdr_->text()))));
  } else if ((watched == setevoyAdr_ || watched == porTelEdit_) && event->type() == QEvent::KeyPress) {
    const auto& key = static_cast<const QKeyEvent&>(*event);
    const char32_t ruleKey = RuleKey(key);
    if (ruleKey != 0 && !(key.modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
      const bool accepted = watched == setevoyAdr_ ? LEdSetevoyAdrKeyPress(ruleKey)
                                                   : PorTelEditKeyPress(U(porTelEdit_->text()),
                                                                        ByteCaret(*porTelEdit_), ruleKey);
      if (!accepted) {
        QApplication::beep();
        return true;
      }
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void TMFmDorva301::SetReadControlsEnabled(bool enabled) {
  for (QMenu* menu : {fileMenu_, settingsMenu_, linkMenu_, aboutMenu_})
    menu->menuAction()->setEnabled(enabled);
  exitItem_->setEnabled(enabled);
  topPanel_->setEnabled(enabled);
}

// --- Readings ---

void TMFmDorva301::BuTestClick() {
  app_.Panel.PorTelEdit = U(porTelEdit_->text());
  app_.Panel.IP_PortEdit = U(ipPortEdit_->text());
  app_.Panel.LEdSetevoyAdr = U(setevoyAdr_->text());
  if (!app_.BuTestClick()) return;
  pageControl_->setCurrentWidget(tabMonitor_);
  progress_->ShowReadProgress();
}

// --- The data panel ---

void TMFmDorva301::SetTabShown(QWidget* tab, bool shown) {
  auto* tabs = qobject_cast<QTabWidget*>(tab->parentWidget()->parentWidget());
  if (!tabs) return;
  tabs->setTabVisible(tabs->indexOf(tab), shown);
}

void TMFmDorva301::ArrangePages() {
  const TSettingsRecord& settings = app_.Settings;
  const TDecodedValues& values = app_.Values;
  TPageSettings pageSettings;
  pageSettings.OPVDataVisible = settings.OPVDataVisible;
  pageSettings.CONSTDataVisible = settings.CONSTDataVisible;
  pageSettings.DUMPDataVisible = settings.DUMPDataVisible;
  pageSettings.ARCHDataVisible = settings.ARCHDataVisible;
  pageSettings.TSVDataVisible = settings.TSVDataVisible;
  pageSettings.CurrentValuesOnly = app_.Panel.RGTask == 2;
  pageSettings.HasCommandLineArguments = commandLine_;
  pageSettings.ConnectionIndex = app_.Panel.MODBox;
  const TPageLayout layout = ArrangePagesLayout(values.DeviceCode, pageSettings);
  const bool mayFill = ViewsMayFill(values, settings.DATAPanelVisible);

  if (mayFill && layout.FillOperational) FillOperational();
  SetTabShown(tabOperData_, layout.ShowOperational);
  if (mayFill && layout.FillConstants) FillConstants();
  SetTabShown(tabConst_, layout.ShowConstants);
  if (mayFill && layout.FillHex) hexGrid_->SetGrid(BuildHexGrid(app_.Image, values.DeviceCode));
  SetTabShown(tabDamp_, layout.ShowHex);
  if (mayFill && (layout.FillHours || layout.FillDays)) FillArchives();
  SetTabShown(tabArhiv_, layout.ShowArchive);
  SetTabShown(tabArhivD_, layout.ShowDayArchive);
  if (mayFill) {
    const ReportViews& reports = app_.Reports().Views();
    if (layout.ShowTsv1 && reports.FirstTsv.Filled) FillTsv(1, reports.FirstTsv);
    if (layout.ShowTsv2 && reports.SecondTsv.Filled) FillTsv(2, reports.SecondTsv);
    if (layout.ShowTsd && reports.Channels.ChannelsShown > 0) FillTsd(reports.Channels);
  }
  SetTabShown(tab1tsv_, layout.ShowTsv1);
  SetTabShown(tab2tsv_, layout.ShowTsv2);
  SetTabShown(tabTsd_, layout.ShowTsd);
  if (layout.ActivateOperational) pageControl_->setCurrentWidget(tabOperData_);
  acView_->setEnabled(app_.AcViewEnabled);
  pageControl_->setVisible(settings.DATAPanelVisible);
}

void TMFmDorva301::RebuildTables() {
  if (app_.Busy || !ViewsMayFill(app_.Values, app_.Settings.DATAPanelVisible)) return;
  FillOperational();
  FillConstants();
  hexGrid_->SetGrid(BuildHexGrid(app_.Image, app_.Values.DeviceCode));
  FillArchives();
}

void TMFmDorva301::FillOperational() {
  groupBox4_->SetBox(BuildIdentificationBox(app_.Values));
  groupBox27_->SetBox(BuildAccumulatedBox(app_.Values));
  lsdGrid_->SetGrid(BuildCurrentValuesGrid(app_.Values));
}

void TMFmDorva301::FillArchives() {
  const TArchiveViewOptions options{app_.Settings.ShowRtcRecords, app_.Settings.PFRec};
  hrDataGrid_->SetGrid(BuildHourGrid(app_.Values, options));
  const std::uint32_t code = app_.Values.DeviceCode;
  if (code != 70 && code != 71) dayDataGrid_->SetGrid(BuildDayGrid(app_.Values, options));
}

void TMFmDorva301::FillConstants() {
  const TConstantsView view = BuildConstantsView(app_.Image, app_.Values);
  const auto columns = [](const TEditBox& box) { return box.Edits.size() > 6 ? 2 : 1; };
  // A dump with the same boxes, as wide and shown alike, refills their edits.
  std::string shape;
  for (const TEditBox& box : view.Groups)
    shape += box.Name + char('0' + columns(box)) + (box.Visible ? '+' : '-') + ';';
  if (shape == constantsShape_) {
    for (std::size_t i = 0; i < view.Groups.size(); ++i) constantGroups_[i]->SetBox(view.Groups[i]);
    return;
  }
  constantsShape_ = shape;
  auto* grid = static_cast<QGridLayout*>(constantsPage_->layout());
  for (EditBoxWidget* group : constantGroups_) delete group;
  constantGroups_.clear();
  constexpr int GroupsPerRow = 4;
  int slot = 0;
  for (const TEditBox& box : view.Groups) {
    auto* widget = new EditBoxWidget(Q(box.Name), columns(box), constantsPage_);
    widget->SetBox(box);
    constantGroups_.push_back(widget);
    if (!box.Visible) continue;
    grid->addWidget(widget, slot / GroupsPerRow, slot % GroupsPerRow, Qt::AlignTop);
    ++slot;
  }
  grid->setRowStretch(slot / GroupsPerRow + 1, 1);
}

void TMFmDorva301::FillTsv(int system, const TsvReportView& view) {
  (system == 1 ? tab1tsv_ : tab2tsv_)->findChild<TsvReportPages*>()->Fill(view);
}

void TMFmDorva301::FillTsd(const TsdReportView& view) { tabTsd_->findChild<TsdReportPages*>()->Fill(view); }

void TMFmDorva301::ToggleRtcRecords() {
  app_.Settings.ShowRtcRecords = !app_.Settings.ShowRtcRecords;
  rtc1_->setChecked(app_.Settings.ShowRtcRecords);
  StoreSettingsFile();
  if (!app_.Busy && ViewsMayFill(app_.Values, app_.Settings.DATAPanelVisible)) FillArchives();
}

void TMFmDorva301::ToggleEmptyRecords() {
  app_.Settings.PFRec = !app_.Settings.PFRec;
  pfRec_->setChecked(app_.Settings.PFRec);
  StoreSettingsFile();
  if (!app_.Busy && ViewsMayFill(app_.Values, app_.Settings.DATAPanelVisible)) FillArchives();
}

// --- Files ---

void TMFmDorva301::OpenClick() {
  if (!app_.WindowCommandsEnabled()) return;
  app_.SetCarrierAutoPoll(false);
  const QString path = QFileDialog::getOpenFileName(this, {}, Q(app_.RememberedDump),
                                                    Q(QtFileFilter(std::string(texts::OpenDumpFilter))));
  if (!path.isEmpty()) OpenDumpFile(path);
  app_.SetCarrierAutoPoll(true);
}

void TMFmDorva301::OpenDumpFile(const QString& path) {
  const bool decoded = app_.OpenDump(U(path));
  acView_->setEnabled(app_.AcViewEnabled);
  if (!decoded) return;
  if (pageControl_->isTabVisible(pageControl_->indexOf(tabOperData_))) {
    pageControl_->setCurrentWidget(tabOperData_);
  } else if (pageControl_->isTabVisible(pageControl_->indexOf(tabArhiv_))) {
    pageControl_->setCurrentWidget(tabArhiv_);
  }
}

void TMFmDorva301::AcViewExecute() { app_.LaunchViewer(); }

void TMFmDorva301::N1Click(int page) {
  if (!app_.WindowCommandsEnabled()) return;
  TConnectProp dialog(FillConnectProp(app_.Settings, page == 0 ? ConnectPropPage::ProgramSettings
                                                               : ConnectPropPage::LinkSettings),
                      this);
  const ModalResult result = dialog.exec() == QDialog::Accepted ? ModalResult::Ok : ModalResult::Cancel;
  const TConnectPropOutcome outcome = ConfirmConnectProp(dialog.Fields(), result, app_.Settings, app_.Panel,
                                                         ShownImageOf(app_.Values, !app_.Busy));
  if (!outcome.Error.empty()) {
    ui_.ShowMessage(outcome.Error);
    return;
  }
  if (!outcome.Confirmed()) return;
  rtc1_->setChecked(outcome.RTC1Checked);
  pfRec_->setChecked(outcome.PFRecChecked);
  if (outcome.PortBoxChanged) ShowPanel();
  pageControl_->setVisible(outcome.DataPanelVisible);
  setMinimumHeight(outcome.MainHeight);
  setMaximumHeight(outcome.DataPanelVisible ? QWIDGETSIZE_MAX : outcome.MainHeight);
  resize(width(), outcome.MainHeight);
  SetTabShown(tabOperData_, outcome.Tabs.TabSheetOperData);
  SetTabShown(tabArhiv_, outcome.Tabs.TabSheetArhiv);
  SetTabShown(tabDamp_, outcome.Tabs.TabSheetDamp);
  SetTabShown(tabConst_, outcome.Tabs.TabSheetConst);
  if (outcome.Tabs.TabSheet1tsv) SetTabShown(tab1tsv_, *outcome.Tabs.TabSheet1tsv);
  if (outcome.Tabs.TabSheet2tsv) SetTabShown(tab2tsv_, *outcome.Tabs.TabSheet2tsv);
  if (outcome.Tabs.TabSheetTsd) SetTabShown(tabTsd_, *outcome.Tabs.TabSheetTsd);
  if (outcome.StoreSettings) StoreSettingsFile();
  if (outcome.RebuildTables) RebuildTables();
  if (outcome.RefreshCarrierSettings) app_.SyncCarrier();
}

void TMFmDorva301::N6Click() {
  if (!app_.WindowCommandsEnabled()) return;
  // A cancelled chooser runs nothing: the user asked for no folder.
  const QString folder = QFileDialog::getExistingDirectory(
      this, Q(texts::JoinFolderCaption),
      QString::fromStdString(Utf8FromPath(ToNativePath(app_.Settings.EdDataDir))));
  if (folder.isEmpty()) return;
  QProgressDialog progress(this);
  progress.setObjectName("JoinProgress");
  progress.setWindowTitle(Q(texts::JoinFilesItem));
  progress.setCancelButtonText(Q(texts::CancelButton));
  progress.setRange(0, 0);
  progress.setMinimumDuration(0);
  progress.setWindowModality(Qt::WindowModal);
  int converted = 0;
  BatchJoinHooks hooks;
  hooks.BeforeDump = [&](const std::string& dumpPath) {
    // The user may stop between two dumps.
    if (progress.wasCanceled()) return false;
    progress.setLabelText(QString("%1\n%2").arg(Q(dumpPath)).arg(++converted));
    QCoreApplication::processEvents();
    return !progress.wasCanceled();
  };
  app_.JoinFolder(U(folder), hooks);
  progress.close();  // the batch has told the user why it stopped, if it did
}

// --- Window ---

void TMFmDorva301::ApplyWindowSize() {
  rtc1_->setChecked(app_.Settings.ShowRtcRecords);
  pfRec_->setChecked(app_.Settings.PFRec);
  const bool data = app_.Settings.DATAPanelVisible;
  pageControl_->setVisible(data);
  const int height = data ? MainHeightWithDataPanel : MainHeightWithoutDataPanel;
  setMinimumHeight(height);
  if (!data) setMaximumHeight(height);
  const int width = app_.Settings.MainWidth > 0 ? app_.Settings.MainWidth : 1000;
  resize(width, data ? std::max(height, int(app_.Settings.MainHeight)) : height);
}

void TMFmDorva301::StoreSettingsFile() { StoreSettings(app_.Settings, SettingsFilePath(programFolder_)); }

void TMFmDorva301::closeEvent(QCloseEvent* event) {
  app_.Settings.MainWidth = width();
  app_.Settings.MainHeight = height();
  app_.Panel.PorTelEdit = U(porTelEdit_->text());
  // The progress window's timers would run the end handler while the reading is being stopped.
  progress_->Timer2()->stop();
  progress_->Timer3()->stop();
  if (!app_.RequestClose()) {
    event->ignore();  // a carrier command is unwinding; OnCloseReady closes the window then
    return;
  }
  progress_->hide();
  event->accept();
}

}  // namespace velk::gui
