// The dialog `TBedTypeForm` for a carrier file that cannot be copied: stop
// the copy, delete the file and go on, or go on without deleting it.
#pragma once

#include <QDialog>
#include <string>

#include "carrier/CarrierPage.h"

class QLabel;

namespace velk::gui {

class TBedTypeForm : public QDialog {
  Q_OBJECT

 public:
  explicit TBedTypeForm(QWidget* parent);

  // Shows the file's "Зав. №" and waits for the choice; closing the dialog stops the copy.
  BadTypeChoice Ask(const std::string& serialText);

 private:
  QLabel* serial_;
};

}  // namespace velk::gui
