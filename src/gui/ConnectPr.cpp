#include "gui/ConnectPr.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/InputRules.h"
#include "app/WindowTexts.h"
#include "gui/FileFilter.h"
#include "gui/QtText.h"

namespace velk::gui {
namespace {

using D = TConnectPropDialog;

std::vector<QString> PortItems() {
  std::vector<QString> items;
  for (int port = 1; port <= 64; ++port) items.push_back(QString("COM%1").arg(port));
  return items;
}

template <std::size_t N>
std::vector<QString> Items(const std::string_view (&texts)[N]) {
  std::vector<QString> items;
  for (std::string_view text : texts) items.push_back(Q(text));
  return items;
}

// Texts of our own for controls the program never labelled.
constexpr const char* BaudLabel = "Скорость, бод";
constexpr const char* PacketLabel = "Размер пакета, байт";
constexpr const char* ActivityLabel = "Время активности интерфейса, мс";
constexpr const char* ReportTabsLabel = "Файлы отчетов (*.tsv, *.tsd)";
constexpr const char* SeparateFoldersLabel = "Отдельные поддиректории для *.dat и *.tsv";

}  // namespace

TConnectProp::TConnectProp(const TConnectPropDialog& fields, QWidget* parent)
    : QDialog(parent), fields_(fields) {
  setObjectName("TConnectProp");
  setWindowTitle(Q(texts::ConnectPropCaption));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  pages_ = new QTabWidget(this);
  pages_->setObjectName("PageControl1");
  pages_->addTab(BuildProgramPage(), Q(texts::ProgramSettingsPage));
  pages_->addTab(BuildLinkPage(), Q(texts::LinkSettingsPage));
  pages_->setCurrentIndex(fields.ActivePage == ConnectPropPage::ProgramSettings ? 0 : 1);
  layout->addWidget(pages_);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
  ok->setObjectName("OKBtn");
  QPushButton* cancel = buttons->addButton(Q(texts::CancelButton), QDialogButtonBox::RejectRole);
  cancel->setObjectName("CancelBtn");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);

  for (const CheckBinding& b : checks_) b.Box->setChecked(fields_.*b.Field);
  for (const EditBinding& b : edits_) b.Edit->setText(Q(fields_.*b.Field));
  for (const ComboBinding& b : combos_) b.Box->setCurrentIndex(fields_.*b.Field);
  FollowEnabling();
}

TConnectPropDialog TConnectProp::Fields() const {
  TConnectPropDialog fields = fields_;
  for (const CheckBinding& b : checks_) fields.*b.Field = b.Box->isChecked();
  for (const EditBinding& b : edits_) fields.*b.Field = U(b.Edit->text());
  for (const ComboBinding& b : combos_) fields.*b.Field = b.Box->currentIndex();
  return fields;
}

QCheckBox* TConnectProp::Check(QWidget* parent, const char* name, std::string_view label,
                               bool TConnectPropDialog::*field) {
  auto* box = new QCheckBox(Q(label), parent);
  box->setObjectName(name);
  checks_.push_back({field, box});
  return box;
}

QLineEdit* TConnectProp::Edit(QWidget* parent, const char* name, std::string_view label,
                              std::string TConnectPropDialog::*field, EditRule rule, QFormLayout* form) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setMaximumWidth(90);
  edits_.push_back({field, edit});
  if (rule != EditRule::None) {
    rules_.emplace_back(edit, rule);
    edit->installEventFilter(this);
  }
  if (form) form->addRow(Q(label), edit);
  return edit;
}

QComboBox* TConnectProp::Combo(QWidget* parent, const char* name, std::string_view label,
                               int TConnectPropDialog::*field, const std::vector<QString>& items,
                               QFormLayout* form) {
  auto* box = new QComboBox(parent);
  box->setObjectName(name);
  for (const QString& item : items) box->addItem(item);
  combos_.push_back({field, box});
  form->addRow(Q(label), box);
  return box;
}

QWidget* TConnectProp::BuildProgramPage() {
  auto* page = new QWidget(this);
  page->setObjectName("TabSheetProgram");
  auto* layout = new QVBoxLayout(page);

  auto* folders = new QFormLayout();
  auto folderRow = [&](const char* name, std::string_view label, std::string D::*field, bool folder) {
    auto* row = new QWidget(page);
    auto* rowLayout = new QHBoxLayout(row);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    QLineEdit* edit = Edit(row, name, label, field, EditRule::None, nullptr);
    edit->setMaximumWidth(QWIDGETSIZE_MAX);
    edit->setMinimumWidth(320);
    auto* browse = new QToolButton(row);
    browse->setObjectName(QString(name) + "Btn");
    browse->setText("...");
    rowLayout->addWidget(edit, 1);
    rowLayout->addWidget(browse);
    connect(browse, &QToolButton::clicked, this, [this, edit, folder] {
      if (folder) {
        const QString chosen =
            QFileDialog::getExistingDirectory(this, Q(texts::DataFolderCaption), edit->text());
        if (!chosen.isEmpty()) edit->setText(chosen);
      } else {
        const QString preset = QFileInfo::exists(edit->text()) ? edit->text() : QString();
        const QString chosen =
            QFileDialog::getOpenFileName(this, {}, preset, Q(QtFileFilter(std::string(texts::ViewerFilter))));
        if (!chosen.isEmpty()) edit->setText(chosen);
      }
    });
    folders->addRow(Q(label), row);
  };
  folderRow("EdDataDir", texts::EdDataDirLabel, &D::EdDataDir, true);
  folderRow("EdDirTSView", texts::EdDirTSViewLabel, &D::EdDirTSView, false);
  layout->addLayout(folders);

  auto* columns = new QHBoxLayout();
  auto* files = new QGroupBox(page);
  auto* filesLayout = new QVBoxLayout(files);
  filesLayout->addWidget(Check(files, "RTC", texts::RTC1Caption, &D::ShowRtcRecords));
  filesLayout->addWidget(Check(files, "PFRec", texts::PFRecCaption, &D::PFRec));
  QCheckBox* tsvCnc = Check(files, "TSVCnc", texts::TSVCncLabel, &D::TSVCnc);
  filesLayout->addWidget(tsvCnc);
  auto* monthsRow = new QHBoxLayout();
  auto* monthsLabel = new QLabel(Q(texts::LabeledEdit1Label), files);
  months_ =
      Edit(files, "LabeledEdit1", texts::LabeledEdit1Label, &D::LabeledEdit1, EditRule::Months, nullptr);
  months_->setMaximumWidth(50);
  auto* up = new QToolButton(files);
  up->setObjectName("UpDown1Up");
  up->setArrowType(Qt::UpArrow);
  auto* down = new QToolButton(files);
  down->setObjectName("UpDown1Down");
  down->setArrowType(Qt::DownArrow);
  auto* unit = new QLabel(Q(texts::UpDown1Unit), files);
  for (QWidget* w : std::initializer_list<QWidget*>{monthsLabel, months_, up, down, unit})
    monthsRow->addWidget(w);
  monthsRow->addStretch();
  monthControls_ = {monthsLabel, months_, up, down, unit};
  filesLayout->addLayout(monthsRow);
  auto step = [this](bool upwards) {
    fields_.UpDown1 =
        UpDown1Click(months_->text().toInt() > 0 ? months_->text().toInt() : fields_.UpDown1, upwards);
    months_->setText(QString::number(fields_.UpDown1));
  };
  connect(up, &QToolButton::clicked, this, [step] { step(true); });
  connect(down, &QToolButton::clicked, this, [step] { step(false); });
  filesLayout->addWidget(Check(files, "SaveDAT", texts::SaveDATLabel, &D::SaveDAT));
  filesLayout->addWidget(Check(files, "DATDirCreate", texts::DATDirCreateLabel, &D::DATDirCreate));
  filesLayout->addWidget(Check(files, "TSVDirCreate", SeparateFoldersLabel, &D::TSVDirCreate));
  filesLayout->addWidget(Check(files, "MonitorChBox", texts::MonitorTab, &D::MonitorChBox));
  filesLayout->addStretch();
  columns->addWidget(files, 1);

  auto* tabs = new QGroupBox(page);
  auto* tabsLayout = new QVBoxLayout(tabs);
  QCheckBox* dataPanel = Check(tabs, "DATAPanelVisible", texts::DATAPanelVisibleLabel, &D::DATAPanelVisible);
  tabsLayout->addWidget(dataPanel);
  tabChecks_ = {Check(tabs, "OPVDataVisible", texts::OperationalTab, &D::OPVDataVisible),
                Check(tabs, "ARCHDataVisible", texts::ArchivesTab, &D::ARCHDataVisible),
                Check(tabs, "DUMPDataVisible", texts::DUMPDataVisibleLabel, &D::DUMPDataVisible),
                Check(tabs, "CONSTDataVisible", texts::ConstantsTab, &D::CONSTDataVisible),
                Check(tabs, "TSVDataVisible", ReportTabsLabel, &D::TSVDataVisible)};
  for (QCheckBox* check : tabChecks_) {
    check->setContentsMargins(16, 0, 0, 0);
    tabsLayout->addWidget(check);
  }
  tabsLayout->addStretch();
  columns->addWidget(tabs, 1);
  layout->addLayout(columns, 1);

  connect(tsvCnc, &QCheckBox::toggled, this, &TConnectProp::FollowEnabling);
  connect(dataPanel, &QCheckBox::toggled, this, &TConnectProp::FollowEnabling);
  return page;
}

QWidget* TConnectProp::BuildLinkPage() {
  linkPages_ = new QTabWidget(this);
  linkPages_->setObjectName("PageControl2");
  const std::vector<QString> ports = PortItems();
  auto page = [&](const char* name, std::string_view caption) {
    auto* widget = new QWidget(linkPages_);
    widget->setObjectName(name);
    linkPages_->addTab(widget, Q(caption));
    auto* form = new QFormLayout(widget);
    form->setLabelAlignment(Qt::AlignRight);
    return std::pair{widget, form};
  };
  {
    auto [w, f] = page("TabSheetRS232", texts::Rs232Page);
    Combo(w, "ComboBox1", texts::ComboBox1Label, &D::ComboBox1, ports, f);
    Combo(w, "ComboBox4", BaudLabel, &D::ComboBox4, Items(texts::Rs232BaudItems), f);
    Edit(w, "LaRS232Feier", texts::FeierLabel, &D::LaRS232Feier, EditRule::Time, f);
    Edit(w, "LaRS232TimeOut", texts::TimeOutLabel, &D::LaRS232TimeOut, EditRule::Time, f);
    Edit(w, "LaRS232Multiplier", texts::MultiplierLabel, &D::LaRS232Multiplier, EditRule::Time, f);
    Edit(w, "LaRS232Povtor", texts::PovtorLabel, &D::LaRS232Povtor, EditRule::Retry, f);
    Edit(w, "LaRS232TimeActivityInterfaceDevice", ActivityLabel, &D::LaRS232TimeActivityInterfaceDevice,
         EditRule::Time, f);
    Combo(w, "CBRS232QualityEx", PacketLabel, &D::CBRS232QualityEx, Items(texts::PacketItems), f);
  }
  {
    auto [w, f] = page("TabSheetRS485", texts::Rs485Page);
    Combo(w, "ComboBox2", texts::ComboBox1Label, &D::ComboBox2, ports, f);
    Combo(w, "ComboBox5", BaudLabel, &D::ComboBox5, Items(texts::BaudItems), f);
    Edit(w, "LaRS485Feier", texts::FeierLabel, &D::LaRS485Feier, EditRule::Time, f);
    Edit(w, "LaRS485TimeOut", texts::TimeOutLabel, &D::LaRS485TimeOut, EditRule::Time, f);
    Edit(w, "LaRS485Multiplier", texts::MultiplierLabel, &D::LaRS485Multiplier, EditRule::Time, f);
    Edit(w, "LaRS485Povtor", texts::PovtorLabel, &D::LaRS485Povtor, EditRule::Retry, f);
    Combo(w, "CBRS485QualityEx", PacketLabel, &D::CBRS485QualityEx, Items(texts::PacketItems), f);
  }
  {
    auto [w, f] = page("TabSheetModem", texts::ModemPage);
    Combo(w, "ComboBox3", texts::ComboBox1Label, &D::ComboBox3, ports, f);
    Combo(w, "ComboBox6", BaudLabel, &D::ComboBox6, Items(texts::BaudItems), f);
    Edit(w, "LaRSModFeier", texts::FeierLabel, &D::LaRSModFeier, EditRule::Time, f);
    Edit(w, "LaRSModTimeOut", texts::TimeOutLabel, &D::LaRSModTimeOut, EditRule::Time, f);
    Edit(w, "LaRSModMultiplier", texts::MultiplierLabel, &D::LaRSModMultiplier, EditRule::Time, f);
    Edit(w, "LaRSModPovtor", texts::PovtorLabel, &D::LaRSModPovtor, EditRule::Retry, f);
    Edit(w, "LaRSModConnectTime", texts::ConnectTimeLabel, &D::LaRSModConnectTime, EditRule::Time, f);
    Combo(w, "CBRSModQualityEx", PacketLabel, &D::CBRSModQualityEx, Items(texts::PacketItems), f);
    f->addRow(Check(w, "TimeCorrect", texts::TimeCorrectLabel, &D::TimeCorrect));
  }
  {
    auto [w, f] = page("TabSheetNKP", texts::MODBoxItems[ItemNkp]);
    Combo(w, "NKPPortBox", texts::ComboBox1Label, &D::NKPPortBox, ports, f);
    Edit(w, "NKPTimeOutEdit", texts::CarrierTimeOutLabel, &D::NKPTimeOutEdit, EditRule::Time, f);
    Edit(w, "NKPMultiplierEdit", texts::CarrierMultiplierLabel, &D::NKPMultiplierEdit, EditRule::Time, f);
    Edit(w, "NKPPovtor", texts::PovtorLabel, &D::NKPPovtor, EditRule::Retry, f);
    f->addRow(Check(w, "NKPAutoTimeCorrectCB", texts::NKPAutoTimeCorrectCBLabel, &D::NKPAutoTimeCorrectCB));
  }
  {
    auto [w, f] = page("TabSheetLTR", texts::MODBoxItems[ItemLtr]);
    Combo(w, "LTRPortBox", texts::ComboBox1Label, &D::LTRPortBox, ports, f);
    Edit(w, "LTRTimeOutEdit", texts::CarrierTimeOutLabel, &D::LTRTimeOutEdit, EditRule::Time, f);
    Edit(w, "LTRMultiplierEdit", texts::CarrierMultiplierLabel, &D::LTRMultiplierEdit, EditRule::Time, f);
    Edit(w, "LTRPovtor", texts::PovtorLabel, &D::LTRPovtor, EditRule::Retry, f);
  }
  return linkPages_;
}

void TConnectProp::FollowEnabling() {
  const TConnectPropDialog fields = Fields();
  for (QWidget* control : monthControls_) control->setEnabled(fields.MonthsEnabled());
  for (QCheckBox* check : tabChecks_) check->setEnabled(fields.TabChecksEnabled());
}

bool TConnectProp::eventFilter(QObject* watched, QEvent* event) {
  const auto rule =
      std::find_if(rules_.begin(), rules_.end(), [&](const auto& r) { return r.first == watched; });
  if (rule == rules_.end()) return QDialog::eventFilter(watched, event);
  QLineEdit* edit = rule->first;
  if (event->type() == QEvent::FocusOut) {
    if (rule->second == EditRule::Retry) edit->setText(Q(RetryEditExit(U(edit->text()))));
    if (rule->second == EditRule::Months) edit->setText(Q(MonthsEditExit(U(edit->text()), fields_.UpDown1)));
    return false;
  }
  if (event->type() != QEvent::KeyPress) return false;
  const auto& keyEvent = static_cast<const QKeyEvent&>(*event);
  char32_t key = 0;
  if (keyEvent.key() == Qt::Key_Backspace) {
    key = KeyBackspace;
  } else if (!keyEvent.text().isEmpty()) {
    key = keyEvent.text().toUcs4().value(0);
  }
  if (key == 0 || (keyEvent.modifiers() & (Qt::ControlModifier | Qt::AltModifier))) return false;
  EditKey typed;
  typed.Text = U(edit->text());
  typed.SelStart = std::size_t(edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition());
  typed.SelLength = std::size_t(edit->selectedText().size());
  typed.Key = key;
  const EditKeyResult result = rule->second == EditRule::Time    ? TimeEditKeyPress(typed)
                               : rule->second == EditRule::Retry ? RetryEditKeyPress(typed)
                                                                 : MonthsEditKeyPress(typed);
  if (result.NewText) {
    edit->setText(Q(*result.NewText));
    edit->setCursorPosition(int(result.Caret));
  }
  if (result.Accepted) return false;
  QApplication::beep();
  return true;
}

}  // namespace velk::gui
