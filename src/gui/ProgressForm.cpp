#include "gui/ProgressForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadialGradient>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "app/AppTexts.h"
#include "app/Application.h"
#include "gui/QtText.h"
#include "gui/QtUserInterface.h"

namespace velk::gui {
namespace {

constexpr int FormWidth = 320;
constexpr int LampSize = 14;

QLabel* NamedLabel(const QString& name, const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  return label;
}

}  // namespace

QPixmap TfmReadProgress::LampPicture(int index) {
  // A round lamp: the request lamp red, the answer lamp green; lit ones bright with a highlight.
  static const std::array<QColor, 4> colours = {QColor(0, 230, 0), QColor(0, 70, 0), QColor(255, 40, 40),
                                                QColor(90, 0, 0)};
  const QColor colour = colours.at(std::size_t(index));
  const bool lit = index == 0 || index == 2;
  QPixmap picture(LampSize, LampSize);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  QRadialGradient gradient(LampSize * 0.35, LampSize * 0.35, LampSize * 0.6);
  gradient.setColorAt(0, lit ? colour.lighter(170) : colour.lighter(120));
  gradient.setColorAt(1, colour);
  painter.setBrush(gradient);
  painter.setPen(QPen(QColor(40, 40, 40), 1));
  painter.drawEllipse(QRectF(0.5, 0.5, LampSize - 1, LampSize - 1));
  return picture;
}

TfmReadProgress::TfmReadProgress(Application& app, bool commandLine, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                          Qt::WindowStaysOnTopHint),
      app_(app),
      commandLine_(commandLine) {
  setObjectName("TfmReadProgress");
  setWindowModality(Qt::ApplicationModal);
  setWindowTitle(Q(texts::ProgressCaption));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 4, 6, 6);
  layout->setSpacing(3);

  label1_ = NamedLabel("Label1", {}, this);
  label1_->setAlignment(Qt::AlignCenter);
  label1_->setAutoFillBackground(true);
  label1_->setMinimumHeight(18);
  layout->addWidget(label1_);

  label4_ = NamedLabel("Label4", {}, this);
  label4_->setAlignment(Qt::AlignCenter);
  layout->addWidget(label4_);

  gauge1_ = new QProgressBar(this);
  gauge1_->setObjectName("Gauge1");
  gauge1_->setRange(0, 100);
  gauge1_->setTextVisible(true);
  gauge1_->setMaximumHeight(16);
  gauge1_->setStyleSheet(
      "QProgressBar { border: 1px solid #808080; background: white; text-align: center; }"
      "QProgressBar::chunk { background-color: rgb(135, 206, 235); }");
  layout->addWidget(gauge1_);

  auto* times = new QGridLayout();
  times->setHorizontalSpacing(4);
  times->setVerticalSpacing(0);
  auto* label126 = NamedLabel("Label126", Q(texts::ElapsedLabel), this);
  label129_ = NamedLabel("Label129", {}, this);
  label127_ = NamedLabel("Label127", Q(texts::RemainingLabel), this);
  label130_ = NamedLabel("Label130", {}, this);
  auto* label125 = NamedLabel("Label125", Q(texts::EstimateLabel), this);
  label128_ = NamedLabel("Label128", {}, this);
  timeLabels_ = {label126, label129_, label127_, label130_, label125, label128_};
  times->addWidget(label126, 0, 0);
  times->addWidget(label129_, 1, 0);
  times->addWidget(label127_, 0, 1);
  times->addWidget(label130_, 1, 1);
  times->addWidget(label125, 0, 2);
  times->addWidget(label128_, 1, 2);
  for (QLabel* label : timeLabels_) label->setAlignment(Qt::AlignCenter);
  layout->addLayout(times);

  auto* bottom = new QHBoxLayout();
  image1_ = NamedLabel("Image1", {}, this);
  image2_ = NamedLabel("Image2", {}, this);
  bottom->addWidget(image1_);
  bottom->addWidget(NamedLabel("Label2", Q(texts::RequestLampLabel), this));
  bottom->addSpacing(8);
  bottom->addWidget(image2_);
  bottom->addWidget(NamedLabel("Label3", Q(texts::AnswerLampLabel), this));
  bottom->addStretch();
  button1_ = new QPushButton(Q(texts::StopCaption), this);
  button1_->setObjectName("Button1");
  button1_->setAutoDefault(false);
  bottom->addWidget(button1_);
  layout->addLayout(bottom);

  setFixedWidth(FormWidth);
  connect(button1_, &QPushButton::clicked, this, &TfmReadProgress::Button1Click);

  timer2_ = new QTimer(this);
  timer2_->setObjectName("Timer2");
  timer2_->setInterval(500);
  timer3_ = new QTimer(this);
  timer3_->setObjectName("Timer3");
  timer3_->setInterval(10);
  connect(timer2_, &QTimer::timeout, this, &TfmReadProgress::TimerTick);
  connect(timer3_, &QTimer::timeout, this, &TfmReadProgress::TimerTick);
}

void TfmReadProgress::ShowReadProgress() {
  ShowLamp(image1_, lamp1Shown_, 3);
  ShowLamp(image2_, lamp2Shown_, 1);
  Render();
  adjustSize();
  setFixedHeight(sizeHint().height());
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
  show();
  raise();
  activateWindow();
}

void TfmReadProgress::Render() {
  const ReadProgressModel& model = app_.Progress;
  if (windowState() == Qt::WindowNoState || !model.Caption.empty()) {
    setWindowTitle(Q(model.Caption.empty() ? std::string(texts::ProgressCaption) : model.Caption));
  }
  button1_->setText(Q(model.ButtonCaption));
  label1_->setText(Q(model.Status.Text));
  const QColor statusColour = ToQColor(model.Status.Colour);
  if (label1_->palette().color(QPalette::Window) != statusColour) {
    QPalette palette = label1_->palette();
    palette.setColor(QPalette::Window, statusColour);
    label1_->setPalette(palette);
  }
  label4_->setVisible(model.DiallingLineVisible);
  label4_->setText(Q(model.DiallingText));
  gauge1_->setVisible(model.TimesVisible);
  for (QLabel* label : timeLabels_) label->setVisible(model.TimesVisible);
  label130_->setVisible(model.TimesVisible && model.RemainingVisible);
  label127_->setVisible(model.TimesVisible && model.RemainingVisible);
  gauge1_->setValue(model.Bar);
  label129_->setText(Q(model.ElapsedText));
  label130_->setText(Q(model.RemainingText));
  label128_->setText(Q(model.EstimateText));
  ShowLamp(image1_, lamp1Shown_, model.RequestLit ? 2 : 3);
  ShowLamp(image2_, lamp2Shown_, model.AnswerLit ? 0 : 1);

  const bool dialling = model.View == ProgressView::Dialling;
  const bool reading = model.View == ProgressView::Reading;
  if (timer2_->isActive() != dialling) dialling ? timer2_->start() : timer2_->stop();
  if (timer3_->isActive() != reading) reading ? timer3_->start() : timer3_->stop();
  if (!model.Visible && isVisible()) hide();
}

void TfmReadProgress::ShowLamp(QLabel* image, int& shown, int picture) {
  // The 10 ms timer renders the window a hundred times a second: a lamp is
  // repainted only when it changes, from pictures drawn once.
  static const std::array<QPixmap, 4> pictures = {LampPicture(0), LampPicture(1), LampPicture(2), LampPicture(3)};
  if (shown == picture) return;
  shown = picture;
  image->setPixmap(pictures.at(std::size_t(picture)));
}

void TfmReadProgress::TimerTick() {
  const bool running = app_.ReadingRunning();
  app_.Poll();
  Render();
  if (running && !app_.ReadingRunning()) emit ReadingEnded();
}

void TfmReadProgress::Button1Click() {
  if (app_.ReadingRunning()) {
    app_.StopReading();
    return;
  }
  close();  // CloseRrogressForm
}

void TfmReadProgress::closeEvent(QCloseEvent* event) {
  const bool running = app_.ReadingRunning();
  // Stops a running reading, waits for it pumping messages and runs its end handler.
  const bool closes = app_.CloseProgressWindow();
  if (running) emit ReadingEnded();
  Render();
  if (commandLine_ || !closes) {
    event->ignore();
    return;
  }
  event->accept();
}

void TfmReadProgress::keyPressEvent(QKeyEvent* event) {
  // Escape closes the window through the close rules, never around them.
  if (event->key() == Qt::Key_Escape) {
    close();
    return;
  }
  QDialog::keyPressEvent(event);
}

void TfmReadProgress::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!wasVisible_) emit Shown();
  wasVisible_ = true;
}

void TfmReadProgress::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  if (isMinimized()) return;
  timer2_->stop();
  timer3_->stop();
  if (wasVisible_) emit Hidden();
  wasVisible_ = false;
}

void TfmReadProgress::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange) return;
  if (windowState() & Qt::WindowMinimized) {
    // Minimising the progress window minimises the whole application.
    if (QWidget* main = parentWidget()) main->showMinimized();
  }
  if (windowState() != Qt::WindowNoState) setWindowTitle(Q(texts::ProgressCaption));
}

}  // namespace velk::gui
