#include "gui/EditBoxWidget.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace velk::gui {

EditBoxWidget::EditBoxWidget(const QString& name, int columns, QWidget* parent)
    : QGroupBox(parent), columns_(columns) {
  setObjectName(name);
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(6, 4, 6, 4);
  layout->setHorizontalSpacing(8);
  layout->setVerticalSpacing(1);
}

void EditBoxWidget::SetBox(const TEditBox& box) {
  setTitle(QString::fromStdString(box.Caption));
  setVisible(box.Visible);
  std::vector<const TLabelledEdit*> shown;
  std::vector<std::string> names;
  for (const TLabelledEdit& edit : box.Edits) {
    if (!edit.Visible) continue;
    shown.push_back(&edit);
    names.push_back(edit.Name);
  }
  auto* grid = static_cast<QGridLayout*>(layout());
  if (names != shownNames_) {
    while (QLayoutItem* item = grid->takeAt(0)) {
      delete item->widget();
      delete item;
    }
    for (std::size_t slot = 0; slot < shown.size(); ++slot) {
      const int row = int(slot / columns_) * 2;
      const int column = int(slot % columns_);
      auto* label = new QLabel(this);
      label->setObjectName(QString::fromStdString(shown[slot]->Name) + "Label");
      auto* line = new QLineEdit(this);
      line->setObjectName(QString::fromStdString(shown[slot]->Name));
      line->setReadOnly(true);
      grid->addWidget(label, row, column);
      grid->addWidget(line, row + 1, column);
      label->show();  // children added to a shown box are not shown by themselves
      line->show();
    }
    grid->setRowStretch(int((shown.size() + columns_ - 1) / columns_) * 2, 1);
    shownNames_ = std::move(names);
  }
  // The labels and edits stand in the layout in pairs, in the order of the edits.
  for (std::size_t slot = 0; slot < shown.size(); ++slot) {
    static_cast<QLabel*>(grid->itemAt(int(slot * 2))->widget())->setText(QString::fromStdString(shown[slot]->Label));
    auto* line = static_cast<QLineEdit*>(grid->itemAt(int(slot * 2 + 1))->widget());
    line->setText(QString::fromStdString(shown[slot]->Text));
    line->setCursorPosition(0);
  }
}

QLineEdit* EditBoxWidget::Edit(const QString& name) const { return findChild<QLineEdit*>(name); }

}  // namespace velk::gui
