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
  auto* grid = static_cast<QGridLayout*>(layout());
  while (QLayoutItem* item = grid->takeAt(0)) {
    delete item->widget();
    delete item;
  }
  setTitle(QString::fromStdString(box.Caption));
  setVisible(box.Visible);
  int slot = 0;
  for (const TLabelledEdit& edit : box.Edits) {
    if (!edit.Visible) continue;
    const int row = (slot / columns_) * 2;
    const int column = slot % columns_;
    auto* label = new QLabel(QString::fromStdString(edit.Label), this);
    label->setObjectName(QString::fromStdString(edit.Name) + "Label");
    auto* line = new QLineEdit(QString::fromStdString(edit.Text), this);
    line->setObjectName(QString::fromStdString(edit.Name));
    line->setReadOnly(true);
    line->setCursorPosition(0);
    grid->addWidget(label, row, column);
    grid->addWidget(line, row + 1, column);
    label->show();  // children added to a shown box are not shown by themselves
    line->show();
    ++slot;
  }
  grid->setRowStretch(((slot + columns_ - 1) / columns_) * 2, 1);
}

QLineEdit* EditBoxWidget::Edit(const QString& name) const { return findChild<QLineEdit*>(name); }

}  // namespace velk::gui
