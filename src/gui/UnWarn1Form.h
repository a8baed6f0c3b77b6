// The dialog `TWarn1Form`: the НКП-3М memory check found faulty blocks; the
// user runs the check with restore and clearing ("Выполнить") or not.
#pragma once

#include <QDialog>

class QLabel;

namespace velk::gui {

class TWarn1Form : public QDialog {
  Q_OBJECT

 public:
  explicit TWarn1Form(QWidget* parent);

  // Shows the count of faulty blocks and waits; true for "Выполнить".
  bool Ask(int faultyBlocks);

 private:
  QLabel* count_;
};

}  // namespace velk::gui
