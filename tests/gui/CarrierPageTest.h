// The carrier page and its two dialogs driven as a user drives them, against
// a simulated carrier in the same process.
#pragma once

#include <QObject>

namespace velk::gui::test {

class CarrierPageTest : public QObject {
  Q_OBJECT

 private slots:
  void NkpConnectSelectAndCopy();
  void LtrCopyDeleteBadTypeAndRestore();
  void MemoryCheckAnsweredInWarn1Form();
  void StopAndCloseDuringACopy();
};

}  // namespace velk::gui::test
