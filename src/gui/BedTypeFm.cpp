#include "gui/BedTypeFm.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "carrier/CarrierTexts.h"
#include "gui/QtText.h"

namespace velk::gui {
namespace {

namespace txt = carrier_text;

// The dialog's results, one per button.
enum Choice { ChoiceStop = QDialog::Rejected, ChoiceDelete = 2, ChoiceContinue = 3 };

QLabel* Line(const char* text, QWidget* parent, bool bold = false) {
  auto* label = new QLabel(Q(text), parent);
  label->setAlignment(Qt::AlignHCenter);
  if (bold) {
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
  }
  return label;
}

}  // namespace

TBedTypeForm::TBedTypeForm(QWidget* parent) : QDialog(parent) {
  setObjectName("BedTypeForm");
  setWindowTitle(Q(txt::BadTypeCaption));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Line(txt::BadTypeFile, this));
  serial_ = Line("", this, true);
  serial_->setObjectName("SerialLabel");
  layout->addWidget(serial_);
  layout->addWidget(Line(txt::BadTypeCannotCopy, this, true));
  layout->addSpacing(6);
  auto* youCan = Line(txt::BadTypeYouCan, this);
  youCan->setAlignment(Qt::AlignLeft);
  layout->addWidget(youCan);
  for (const char* option : {txt::BadTypeOption1, txt::BadTypeOption2, txt::BadTypeOption3}) {
    auto* line = Line(option, this);
    line->setAlignment(Qt::AlignLeft);
    layout->addWidget(line);
  }
  auto* buttons = new QHBoxLayout;
  const std::pair<const char*, const char*> named[] = {
      {"StopBtn", txt::Stop}, {"DeleteBtn", txt::BadTypeDelete}, {"ContinueBtn", txt::BadTypeContinue}};
  const int results[] = {ChoiceStop, ChoiceDelete, ChoiceContinue};
  for (int i = 0; i < 3; ++i) {
    auto* button = new QPushButton(Q(named[i].second), this);
    button->setObjectName(named[i].first);
    const int result = results[i];
    connect(button, &QPushButton::clicked, this, [this, result] { done(result); });
    buttons->addWidget(button);
  }
  layout->addLayout(buttons);
}

BadTypeChoice TBedTypeForm::Ask(const std::string& serialText) {
  serial_->setText(Q(serialText));
  switch (exec()) {
    case ChoiceDelete: return BadTypeChoice::Delete;
    case ChoiceContinue: return BadTypeChoice::Continue;
    default: return BadTypeChoice::Stop;
  }
}

}  // namespace velk::gui
