#include "gui/QtUserInterface.h"

#include <QApplication>
#include <QColor>
#include <QMessageBox>
#include <QThread>

namespace velk::gui {

QColor ToQColor(Colour colour) { return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF); }

QtUserInterface::QtUserInterface() = default;

void QtUserInterface::ShowMessage(const std::string& text) {
  if (MessageHook) return MessageHook(text);
  QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), QString::fromStdString(text),
                  QMessageBox::NoButton, BoxParent);
  box.addButton("OK", QMessageBox::AcceptRole);
  box.exec();
}

bool QtUserInterface::Confirm(const std::string& text) {
  if (ConfirmHook) return ConfirmHook(text);
  return QMessageBox::question(BoxParent, QApplication::applicationName(), QString::fromStdString(text)) ==
         QMessageBox::Yes;
}

void QtUserInterface::SetStatusText(const std::string& text, Colour colour) {
  if (StatusListener) StatusListener(text, colour);
}

void QtUserInterface::SetCaption(const std::string& text) {
  QApplication::setApplicationName(QString::fromStdString(text));
  if (CaptionListener) CaptionListener(text);
}

void QtUserInterface::Synchronize(const std::function<void()>& fn) {
  if (QThread::currentThread() == thread()) {
    fn();
    return;
  }
  // An exception thrown by fn reaches the worker that asked for the call.
  std::exception_ptr error;
  QMetaObject::invokeMethod(
      this,
      [&] {
        try {
          fn();
        } catch (...) {
          error = std::current_exception();
        }
      },
      Qt::BlockingQueuedConnection);
  if (error) std::rethrow_exception(error);
}

void QtUserInterface::ProcessMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents, 10); }

}  // namespace velk::gui
