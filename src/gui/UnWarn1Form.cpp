#include "gui/UnWarn1Form.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "carrier/CarrierTexts.h"
#include "gui/QtText.h"

namespace velk::gui {
namespace {

namespace txt = carrier_text;

QLabel* Line(const QString& text, QWidget* parent, bool bold = false, const QColor& colour = Qt::black) {
  auto* label = new QLabel(text, parent);
  label->setAlignment(Qt::AlignHCenter);
  QFont font = label->font();
  font.setBold(bold);
  label->setFont(font);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, colour);
  label->setPalette(palette);
  return label;
}

}  // namespace

TWarn1Form::TWarn1Form(QWidget* parent) : QDialog(parent) {
  setObjectName("Warn1Form");
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Line(Q(txt::Warn1), this, true, Qt::red));
  auto* found = new QHBoxLayout;
  found->addStretch();
  found->addWidget(Line(Q(txt::Warn2), this, true));
  count_ = Line("", this, true, Qt::red);
  count_->setObjectName("CountLabel");
  found->addWidget(count_);
  found->addWidget(Line(Q(txt::Warn4), this, true));
  found->addStretch();
  layout->addLayout(found);
  layout->addSpacing(4);
  for (const char* text : {txt::Warn5, txt::Warn6, txt::Warn7, txt::Warn8, txt::Warn9, txt::Warn10, txt::Warn11})
    layout->addWidget(Line(Q(text), this));
  auto* buttons = new QHBoxLayout;
  auto* execute = new QPushButton(Q(txt::Execute), this);
  execute->setObjectName("ExecuteBtn");
  auto* cancel = new QPushButton(Q(txt::Cancel), this);
  cancel->setObjectName("CancelBtn");
  connect(execute, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  buttons->addWidget(execute);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
}

bool TWarn1Form::Ask(int faultyBlocks) {
  count_->setText(QString::number(faultyBlocks));
  return exec() == QDialog::Accepted;
}

}  // namespace velk::gui
