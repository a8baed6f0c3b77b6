#include "gui/CarrierPageForm.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <tuple>

#include "app/Application.h"
#include "carrier/CarrierTexts.h"
#include "gui/BedTypeFm.h"
#include "decode/views/ColumnWidths.h"
#include "gui/GridCellDelegate.h"
#include "gui/GridHeaderView.h"
#include "gui/QtText.h"
#include "gui/QtUserInterface.h"
#include "gui/UnWarn1Form.h"

namespace velk::gui {

namespace txt = carrier_text;
using A = CarrierAction;

// SPGrid over the page's CarrierFileGrid: the heading row is the view's
// header; the cells are redrawn only when the grid or its current row changed.
class CarrierGridModel : public QAbstractTableModel {
 public:
  explicit CarrierGridModel(QObject* parent) : QAbstractTableModel(parent) {}

  void Show(const CarrierFileGrid& grid) {
    grid_ = &grid;
    const int rows = grid.RowCount() - 1;
    if (rows != rows_) {
      beginResetModel();
      rows_ = rows;
      endResetModel();
    } else if (revision_ != grid.Revision() || currentRow_ != grid.CurrentRow) {
      emit dataChanged(index(0, 0), index(rows_ - 1, ColumnCount - 1));
    }
    revision_ = grid.Revision();
    currentRow_ = grid.CurrentRow;
  }
  // The view's font: bold rows are drawn in its bold form.
  void SetFont(const QFont& font) {
    boldFont_ = font;
    boldFont_.setBold(true);
  }
  void SetCtrlHeld(bool held) {
    if (held == ctrlHeld_ || rows_ == 0) return;
    ctrlHeld_ = held;
    emit dataChanged(index(0, 0), index(rows_ - 1, ColumnCount - 1));
  }

  int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : rows_; }
  int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : ColumnCount; }
  QVariant data(const QModelIndex& index, int role) const override {
    if (!grid_ || !index.isValid()) return {};
    const int row = index.row() + 1;
    switch (role) {
      case Qt::DisplayRole: return Q(grid_->Row(row)[std::size_t(index.column())]);
      case Qt::BackgroundRole: return ToQColor(grid_->CellBackground(row, index.column(), ctrlHeld_));
      case Qt::ForegroundRole: return ToQColor(grid_->TextColour(row));
      case Qt::FontRole: return grid_->TextBold(row) ? QVariant(boldFont_) : QVariant();
      default: return {};
    }
  }
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return Q(CarrierGridHeader()[std::size_t(section)]);
  }

 private:
  static constexpr int ColumnCount = int(CarrierFileGrid::ColumnWidths.size());
  const CarrierFileGrid* grid_ = nullptr;
  int rows_ = 0;
  std::uint64_t revision_ = 0;
  int currentRow_ = 0;
  bool ctrlHeld_ = false;
  QFont boldFont_;
};

// LTRMemGrid over the page's LtrMemMap: the heading row and column are cells of their own.
class LtrMapModel : public QAbstractTableModel {
 public:
  explicit LtrMapModel(QObject* parent) : QAbstractTableModel(parent) {}

  void Show(const LtrMemMap& map) {
    map_ = &map;
    std::vector<std::string> shown{std::to_string(map.CursorRow) + "," + std::to_string(map.CursorCol)};
    for (int row = 0; row < map.RowCount(); ++row)
      for (int col = 0; col < LtrMemMap::ColCount; ++col) shown.push_back(map.CellText(row, col));
    if (shown == shown_) return;
    const bool resized = shown.size() != shown_.size();
    shown_ = std::move(shown);
    if (resized) {
      beginResetModel();
      endResetModel();
    } else {
      emit dataChanged(index(0, 0), index(rowCount() - 1, LtrMemMap::ColCount - 1));
    }
  }

  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() || !map_ ? 0 : map_->RowCount();
  }
  int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : LtrMemMap::ColCount; }
  QVariant data(const QModelIndex& index, int role) const override {
    if (!map_ || !index.isValid()) return {};
    const int row = index.row(), col = index.column();
    if (role == Qt::DisplayRole) return Q(map_->CellText(row, col));
    if (role == Qt::BackgroundRole)
      return ToQColor(map_->CellColour(row, col, row == map_->CursorRow && col == map_->CursorCol));
    return {};
  }

 private:
  const LtrMemMap* map_ = nullptr;
  std::vector<std::string> shown_;
};

namespace {

QTableView* PlainTable(QTableView* view, int rowHeight, int textTop) {
  view->setItemDelegate(new GridCellDelegate(view, textTop));
  view->setSelectionMode(QAbstractItemView::NoSelection);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setFocusPolicy(Qt::ClickFocus);
  view->setWordWrap(false);
  view->verticalHeader()->hide();
  view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  view->verticalHeader()->setMinimumSectionSize(1);
  view->verticalHeader()->setDefaultSectionSize(rowHeight);
  view->setHorizontalHeader(new GridHeaderView(view, textTop));
  return view;
}

QLabel* NamedLabel(const char* name, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  return label;
}

QLineEdit* ReadOnlyEdit(const char* name, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setReadOnly(true);
  return edit;
}

QProgressBar* Gauge(const char* name, QWidget* parent) {
  auto* gauge = new QProgressBar(parent);
  gauge->setObjectName(name);
  gauge->setRange(0, 100);
  gauge->setTextVisible(true);
  gauge->setFixedHeight(14);
  return gauge;
}

void ShowLabel(QLabel& widget, const CarrierLabel& label) {
  widget.setText(Q(label.Text));
  QPalette palette = widget.palette();
  if (palette.color(QPalette::WindowText) != ToQColor(label.TextColour)) {
    palette.setColor(QPalette::WindowText, ToQColor(label.TextColour));
    widget.setPalette(palette);
  }
  widget.setVisible(label.Visible);
}

void ShowGauge(QProgressBar& widget, const CarrierGauge& gauge) {
  widget.setValue(gauge.Percent);
  widget.setVisible(gauge.Visible);
}

// Windows and Unix line ends in a carrier message, and its single carriage returns, as line breaks.
QString MessageLines(const std::string& text) {
  QString lines = Q(text);
  lines.replace("\r\n", "\n");
  lines.replace('\r', '\n');
  return lines;
}

}  // namespace

CarrierGridView::CarrierGridView(CarrierGridModel& model, QWidget* parent) : QTableView(parent), model_(model) {
  setObjectName("SPGrid");
  setModel(&model);
  PlainTable(this, CarrierFileGrid::RowHeight, CarrierFileGrid::TextTop);
  QFont small = font();
  small.setPointSize(8);
  setFont(small);
  horizontalHeader()->setFont(small);
  horizontalHeader()->setFixedHeight(CarrierFileGrid::RowHeight);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  model.SetFont(small);
  FitColumns(CarrierFileGrid());
}

void CarrierGridView::FitColumns(const CarrierFileGrid& grid) {
  if (fittedRevision_ && *fittedRevision_ == grid.Revision()) return;
  fittedRevision_ = grid.Revision();
  QFont bold = font();
  bold.setBold(true);  // a row may be bold: measured so, no text of any row is cut
  const QFontMetrics metrics(bold);
  const std::vector<int> widths = ColumnPixels(grid.ColumnHints(), viewport()->width(), [&](const std::string& text) {
    return metrics.horizontalAdvance(Q(text));
  });
  for (int col = 0; col < int(widths.size()); ++col) setColumnWidth(col, widths[std::size_t(col)]);
}

void CarrierGridView::mousePressEvent(QMouseEvent* event) {
  setFocus();
  const QModelIndex index = indexAt(event->position().toPoint());
  const Qt::KeyboardModifiers keys = event->modifiers();
  model_.SetCtrlHeld(keys & Qt::ControlModifier);
  if (index.isValid() && event->button() == Qt::LeftButton && OnPress)
    OnPress(index.row() + 1, keys & Qt::ControlModifier, keys & Qt::ShiftModifier);
}

void CarrierGridView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (indexAt(event->position().toPoint()).isValid() && event->button() == Qt::LeftButton && OnDoubleClick)
    OnDoubleClick();
}

void CarrierGridView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Control) model_.SetCtrlHeld(true);
  QTableView::keyPressEvent(event);
}

void CarrierGridView::keyReleaseEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Control) model_.SetCtrlHeld(false);
  QTableView::keyReleaseEvent(event);
}

// --- The page ---

CarrierPageForm::CarrierPageForm(Application& app, QtUserInterface& ui, QWidget* parent)
    : QWidget(parent),
      app_(app),
      ui_(ui),
      bedType_(new TBedTypeForm(window())),
      warn1_(new TWarn1Form(window())) {
  setObjectName("TabSheet1");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(3);
  layout->addWidget(BuildButtons());

  // The operation status on the left; the auto-poll and the two lines of the link status on the right.
  auto* status = new QGridLayout;
  status->setContentsMargins(0, 0, 0, 0);
  status->setVerticalSpacing(0);
  CarrierPageState& page = Ops().Page;
  const std::tuple<CarrierLabel CarrierPageState::*, const char*, int, int> placed[] = {
      {&CarrierPageState::Label236, "Label236", 0, 0},
      {&CarrierPageState::Label239, "Label239", 1, 0},
      {&CarrierPageState::Label237, "Label237", 0, 1},
      {&CarrierPageState::Label238, "Label238", 1, 1}};
  for (const auto& [member, name, row, col] : placed) {
    QLabel* label = NamedLabel(name, this);
    QFont font = label->font();
    font.setBold(member != &CarrierPageState::Label239);
    label->setFont(font);
    label->setMinimumHeight(label->fontMetrics().height());
    status->addWidget(label, row, col, col == 1 ? Qt::AlignRight : Qt::AlignLeft);
    labels_.emplace_back(member, label);
  }
  status->setColumnStretch(0, 1);
  layout->addLayout(status);

  panel5_ = new QWidget(this);
  panel5_->setObjectName("Panel5");
  auto* gauges = new QVBoxLayout(panel5_);
  gauges->setContentsMargins(0, 1, 0, 1);
  gauges->setSpacing(1);
  gauge1_ = Gauge("Gauge1", panel5_);
  gauge2_ = Gauge("Gauge2", panel5_);
  gauges->addWidget(gauge1_);
  gauges->addWidget(gauge2_);
  gauges->addStretch();
  layout->addWidget(panel5_);

  auto* middle = new QHBoxLayout;
  auto* left = new QVBoxLayout;
  gridModel_ = new CarrierGridModel(this);
  spGrid_ = new CarrierGridView(*gridModel_, this);
  spGrid_->OnPress = [this](int row, bool ctrl, bool shift) {
    Ops().SPGridMouseDown(row, ctrl, shift);
    Refresh(Ops().Page);
  };
  spGrid_->OnDoubleClick = [this] { Run(A::AcCopyView); };
  left->addWidget(spGrid_, 3);
  memo1_ = new QPlainTextEdit(this);
  memo1_->setObjectName("Memo1");
  memo1_->setReadOnly(true);
  left->addWidget(memo1_, 1);
  middle->addLayout(left, 1);
  middle->addWidget(BuildBlockPanel());
  middle->addWidget(BuildSide());
  layout->addLayout(middle, 1);

  const char* timerNames[] = {"Timer1", "Timer2", "Timer3"};
  const int intervals[] = {100, 1000, 3000};
  const std::function<void()> ticks[] = {[this] { Ops().Timer1Timer(); }, [this] { Ops().Timer2Timer(); },
                                         [this] { Ops().Timer3Timer(); }};
  for (std::size_t i = 0; i < timers_.size(); ++i) {
    timers_[i] = new QTimer(this);
    timers_[i]->setObjectName(timerNames[i]);
    timers_[i]->setInterval(intervals[i]);
    connect(timers_[i], &QTimer::timeout, this, [this, tick = ticks[i]] {
      tick();
      Refresh(Ops().Page);
    });
  }

  app_.SetCarrierView(this);
  Refresh(page);
}

CarrierPageForm::~CarrierPageForm() { app_.SetCarrierView(nullptr); }

CarrierOperations& CarrierPageForm::Ops() { return app_.Carrier; }

QPushButton* CarrierPageForm::HolderButton(const char* name) {
  auto* button = new QPushButton(this);
  button->setObjectName(name);
  held_[button] = A::AcNKPList;
  // The action the button holds at the moment of the click.
  connect(button, &QPushButton::clicked, this, [this, button] { Run(held_[button]); });
  return button;
}

QAction* CarrierPageForm::Action(CarrierAction action, const char* hint) {
  static const char* const names[] = {
      "AcNKPList",     "AcLTR_StopCopy", "AcNKPDisConnect", "AcLTR_DisConnect",      "AcStopTimer3",
      "AcNKPCopuFile", "AcCopyView",     "AcLTR_CopyDel",   "AcLTR_DelFile",         "AcLTR_ClearMem",
      "AcLTR_DopMemEN", "AcLTR_DopMemDis", "AcLTR_UnErase", "AcNKP_DateTimeCorrect", "AcLTR_DateTimeCorrect",
      "AcNKPClearMem", "AcNKPCheckMem",  "AcView"};
  static_assert(std::size(names) == CarrierActionCount);
  auto* qaction = new QAction(this);
  qaction->setObjectName(names[static_cast<std::size_t>(action)]);
  if (hint) qaction->setToolTip(Q(hint));
  connect(qaction, &QAction::triggered, this, [this, action] { Run(action); });
  actions_[action] = qaction;
  return qaction;
}

QWidget* CarrierPageForm::BuildButtons() {
  auto* row = new QWidget(this);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(4);
  readSPBtn_ = HolderButton("ReadSPBtn");
  bitBtn2_ = HolderButton("BitBtn2");
  copyViewBtn_ = HolderButton("CopyViewBtn");
  bitBtn4_ = HolderButton("BitBtn4");
  for (QPushButton* button : {readSPBtn_, bitBtn2_, copyViewBtn_, bitBtn4_}) layout->addWidget(button);
  // The services without a button of their own in the holder set.
  const std::pair<A, const char*> services[] = {{A::AcNKPClearMem, "BitBtn1"},
                                                {A::AcNKPCheckMem, "Button2"},
                                                {A::AcLTR_DelFile, "LTRDelFileBtn"},
                                                {A::AcLTR_ClearMem, "LTRClearMemBtn"},
                                                {A::AcLTR_DopMemEN, "LTRDopMemENBtn"}};
  for (const auto& [action, name] : services) {
    auto* button = new QToolButton(row);
    button->setObjectName(name);
    button->setDefaultAction(Action(action));
    serviceButtons_[action] = button;
    layout->addWidget(button);
  }
  layout->addStretch();
  QLabel* family = NamedLabel("Label60", row);
  QFont font = family->font();
  font.setBold(true);
  font.setPointSize(font.pointSize() + 2);
  family->setFont(font);
  labels_.emplace_back(&CarrierPageState::Label60, family);
  layout->addWidget(family);
  return row;
}

QWidget* CarrierPageForm::BuildSide() {
  auto* side = new QWidget(this);
  side->setFixedWidth(300);
  auto* layout = new QVBoxLayout(side);
  layout->setContentsMargins(0, 0, 0, 0);

  clockGroup_ = new QGroupBox(Q(txt::ClockGroup), side);
  clockGroup_->setObjectName("GroupBox1");
  auto* clock = new QGridLayout(clockGroup_);
  edit1_ = ReadOnlyEdit("Edit1", clockGroup_);
  edit3_ = ReadOnlyEdit("Edit3", clockGroup_);
  // The carrier's clock beside the carrier's name, the computer's below it.
  carrierClockLabel_ = NamedLabel("CarrierClockLabel", clockGroup_);
  clock->addWidget(carrierClockLabel_, 0, 0);
  clock->addWidget(edit1_, 0, 1);
  clock->addWidget(new QLabel("ПК", clockGroup_), 1, 0);
  clock->addWidget(edit3_, 1, 1);
  nkpDtTmSet_ = HolderButton("NKPDtTmSet");
  clock->addWidget(nkpDtTmSet_, 2, 0, 1, 2);
  autoTimeCorrCB_ = new QCheckBox(Q(txt::AutoCorrection), clockGroup_);
  autoTimeCorrCB_->setObjectName("AutoTimeCorrCB");
  autoTimeCorrCB_->setChecked(Ops().AutoCorrection());
  connect(autoTimeCorrCB_, &QCheckBox::clicked, this, [this](bool checked) {
    Ops().AutoTimeCorrCBClick(checked);
    Refresh(Ops().Page);
  });
  clock->addWidget(autoTimeCorrCB_, 3, 0, 1, 2);
  layout->addWidget(clockGroup_);

  statistics_ = new QWidget(side);
  auto* stats = new QVBoxLayout(statistics_);
  stats->setContentsMargins(4, 2, 4, 2);
  for (auto [member, name] : {std::pair{&CarrierPageState::Label2, "Label2"},
                              std::pair{&CarrierPageState::Label3, "Label3"},
                              std::pair{&CarrierPageState::Label12, "Label12"}}) {
    QLabel* label = NamedLabel(name, statistics_);
    stats->addWidget(label);
    labels_.emplace_back(member, label);
  }
  gauge3_ = Gauge("Gauge3", statistics_);
  gauge3_->setFixedHeight(18);
  stats->addWidget(gauge3_);
  layout->addWidget(statistics_);
  layout->addStretch();
  return side;
}

QWidget* CarrierPageForm::BuildBlockPanel() {
  panel14_ = new QGroupBox(this);
  panel14_->setObjectName("Panel14");
  panel14_->setFixedWidth(280);
  auto* layout = new QVBoxLayout(panel14_);
  layout->setContentsMargins(3, 3, 3, 3);
  auto* top = new QHBoxLayout;
  top->addStretch();
  auto* close = new QToolButton(panel14_);
  close->setObjectName("LTRDopMemDisBtn");
  close->setDefaultAction(Action(A::AcLTR_DopMemDis, txt::HintCollapse));
  top->addWidget(close);
  layout->addLayout(top);
  mapModel_ = new LtrMapModel(this);
  ltrMemGrid_ = PlainTable(new QTableView(panel14_), LtrMemMap::RowHeight, LtrMemMap::TextTop);
  ltrMemGrid_->setObjectName("LTRMemGrid");
  ltrMemGrid_->setModel(mapModel_);
  ltrMemGrid_->horizontalHeader()->hide();
  ltrMemGrid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  connect(ltrMemGrid_, &QTableView::pressed, this, [this](const QModelIndex& index) {
    // The block map is not changed under a running command.
    if (Ops().CommandsLocked()) return;
    Ops().LTRMemGridSelectCell(index.row(), index.column());
    Refresh(Ops().Page);
  });
  layout->addWidget(ltrMemGrid_, 1);
  edit4_ = ReadOnlyEdit("Edit4", panel14_);
  edit6_ = ReadOnlyEdit("Edit6", panel14_);
  layout->addWidget(edit4_);
  layout->addWidget(edit6_);
  ltrMemGrid_->setMinimumHeight(9 * LtrMemMap::RowHeight);
  auto* restore = new QToolButton(panel14_);
  restore->setObjectName("LTRUnEraseBtn");
  restore->setToolButtonStyle(Qt::ToolButtonTextOnly);
  restore->setDefaultAction(Action(A::AcLTR_UnErase, txt::HintRestore));
  layout->addWidget(restore, 0, Qt::AlignHCenter);
  return panel14_;
}

void CarrierPageForm::Run(CarrierAction action) {
  Ops().Execute(action);
  Refresh(Ops().Page);
}

void CarrierPageForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  ApplyMapWidths();
}

void CarrierPageForm::ApplyMapWidths() {
  const int width = ltrMemGrid_->viewport()->width();
  for (int col = 0; col < LtrMemMap::ColCount; ++col) ltrMemGrid_->setColumnWidth(col, LtrMemMap::ColumnWidth(col, width));
}

// --- Drawing the page state ---

void CarrierPageForm::Refresh(const CarrierPageState& state) {
  for (const auto& [member, widget] : labels_) ShowLabel(*widget, state.*member);
  ShowButtons(state);
  edit1_->setText(Q(state.Edit1));
  edit3_->setText(Q(state.Edit3));
  edit4_->setText(Q(state.Edit4));
  edit6_->setText(Q(state.Edit6));
  clockGroup_->setVisible(state.ClockGroupVisible);
  carrierClockLabel_->setText(Q(state.TabCaption));
  ShowGauge(*gauge1_, state.Gauge1);
  ShowGauge(*gauge2_, state.Gauge2);
  ShowGauge(*gauge3_, state.Gauge3);
  if (state.Gauge3Colour != gauge3Colour_) {
    gauge3Colour_ = state.Gauge3Colour;
    gauge3_->setStyleSheet(QString("QProgressBar { border: 1px solid #808080; text-align: center; }"
                                   "QProgressBar::chunk { background-color: %1; }")
                               .arg(ToQColor(gauge3Colour_).name()));
  }
  panel5_->setFixedHeight(state.Panel5Height);
  gridModel_->Show(state.Grid);
  spGrid_->FitColumns(state.Grid);
  spGrid_->setVisible(state.GridVisible);
  spGrid_->setEnabled(state.GridEnabled);
  const bool blockPanel = state.BlockPanelVisible && app_.Panel.MODBox == ModBoxLtr;
  if (blockPanel != panel14_->isVisible()) {
    panel14_->setVisible(blockPanel);
    ApplyMapWidths();
  }
  if (blockPanel) mapModel_->Show(state.Map);
  if (state.Memo1.size() < memoLines_) {
    memo1_->clear();
    memoLines_ = 0;
  }
  for (; memoLines_ < state.Memo1.size(); ++memoLines_) memo1_->appendPlainText(Q(state.Memo1[memoLines_]));
  memo1_->setVisible(state.LogVisible);
  autoTimeCorrCB_->setChecked(Ops().AutoCorrection());
  autoTimeCorrCB_->setEnabled(!Ops().CommandsLocked());
  ShowTimers(state);
  emit Refreshed();
}

void CarrierPageForm::ShowButtons(const CarrierPageState& state) {
  const CarrierOperations& ops = Ops();
  const std::pair<QPushButton*, A> holders[] = {{readSPBtn_, state.ReadSPBtn},
                                                {bitBtn2_, state.BitBtn2},
                                                {copyViewBtn_, state.CopyViewBtn},
                                                {bitBtn4_, state.BitBtn4},
                                                {nkpDtTmSet_, state.NKPDtTmSet}};
  const int modBox = app_.Panel.MODBox;
  for (const auto& [button, action] : holders) {
    held_[button] = action;
    button->setText(Q(state.Captions[static_cast<std::size_t>(action)]));
    button->setEnabled(ops.ActionAvailable(action));
  }
  bitBtn4_->setVisible(CarrierActionShown(A::AcLTR_CopyDel, modBox, state));
  for (const auto& [action, qaction] : actions_) {
    qaction->setText(Q(state.Captions[static_cast<std::size_t>(action)]));  // also the hint, unless it has its own
    qaction->setEnabled(ops.ActionAvailable(action));
    qaction->setVisible(CarrierActionShown(action, modBox, state));
  }
  for (const auto& [action, button] : serviceButtons_) button->setVisible(CarrierActionShown(action, modBox, state));
}

void CarrierPageForm::ShowTimers(const CarrierPageState& state) {
  const bool flags[] = {state.Timer1, state.Timer2, state.Timer3};
  for (std::size_t i = 0; i < timers_.size(); ++i) {
    switch (FollowTimerFlag(timerFlags_[i], flags[i])) {
      case TimerChange::Start: timers_[i]->start(); break;
      case TimerChange::Stop: timers_[i]->stop(); break;
      case TimerChange::None: break;
    }
  }
}

// --- Messages and dialogs ---

void CarrierPageForm::ShowMessage(const std::string& text) { ui_.ShowMessage(U(MessageLines(text))); }

BadTypeChoice CarrierPageForm::AskBadType(const std::string& serialText) { return bedType_->Ask(serialText); }

bool CarrierPageForm::AskCheckMemory(int faultyBlocks) { return warn1_->Ask(faultyBlocks); }

}  // namespace velk::gui
