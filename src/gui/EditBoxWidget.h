// A box of labelled read-only edits built from a core TEditBox: each edit
// carries its control name, its label stands above it.
#pragma once

#include <QGroupBox>
#include <string>
#include <vector>

#include "decode/views/Grid.h"

class QLineEdit;

namespace velk::gui {

class EditBoxWidget : public QGroupBox {
 public:
  // `columns` edits side by side; `name` is the box's control name.
  EditBoxWidget(const QString& name, int columns, QWidget* parent);

  // Shows the box (caption, labels, texts, visibility); the edits are rebuilt
  // only when the box holds other edits than before.
  void SetBox(const TEditBox& box);
  // The edit of that control name, nullptr when the box has none.
  QLineEdit* Edit(const QString& name) const;

 private:
  int columns_;
  std::vector<std::string> shownNames_;  // the control names of the edits built, in order
};

}  // namespace velk::gui
