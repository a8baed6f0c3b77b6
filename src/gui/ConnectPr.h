// The settings dialog `TConnectProp` ("Параметры связи"): the pages
// "  Настройки программы  " and "  Параметры связи  " (RS232, RS485, modem and
// the two carriers) over the core's TConnectPropDialog. Every control carries
// the name of its field; the edits follow the core's key rules.
#pragma once

#include <QDialog>
#include <vector>

#include "app/ConnectPropModel.h"

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLineEdit;
class QTabWidget;

namespace velk::gui {

class TConnectProp : public QDialog {
  Q_OBJECT

 public:
  TConnectProp(const TConnectPropDialog& fields, QWidget* parent);

  // The fields as the controls hold them now.
  TConnectPropDialog Fields() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct CheckBinding {
    bool TConnectPropDialog::*Field;
    QCheckBox* Box;
  };
  struct EditBinding {
    std::string TConnectPropDialog::*Field;
    QLineEdit* Edit;
  };
  struct ComboBinding {
    int TConnectPropDialog::*Field;
    QComboBox* Box;
  };
  enum class EditRule { None, Time, Retry, Months };

  QWidget* BuildProgramPage();
  QWidget* BuildLinkPage();
  QCheckBox* Check(QWidget* parent, const char* name, std::string_view label,
                   bool TConnectPropDialog::*field);
  QLineEdit* Edit(QWidget* parent, const char* name, std::string_view label,
                  std::string TConnectPropDialog::*field, EditRule rule, QFormLayout* form);
  QComboBox* Combo(QWidget* parent, const char* name, std::string_view label, int TConnectPropDialog::*field,
                   const std::vector<QString>& items, QFormLayout* form);
  void FollowEnabling();

  TConnectPropDialog fields_;
  std::vector<CheckBinding> checks_;
  std::vector<EditBinding> edits_;
  std::vector<ComboBinding> combos_;
  std::vector<std::pair<QLineEdit*, EditRule>> rules_;
  QTabWidget* pages_ = nullptr;
  QTabWidget* linkPages_ = nullptr;
  QLineEdit* months_ = nullptr;
  std::vector<QWidget*> monthControls_;
  std::vector<QCheckBox*> tabChecks_;
};

}  // namespace velk::gui
