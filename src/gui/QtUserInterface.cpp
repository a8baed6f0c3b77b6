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
  // The worker hands the call over under callMutex_ and waits; the GUI
  // thread's RunPendingCalls takes it under the same mutex. So the hand-over
  // both ways is visible to race checkers, which do not see Qt's own locks,
  // and the queued event itself carries no data of the call.
  PendingCall call{&fn};
  std::unique_lock<std::mutex> lock(callMutex_);
  calls_.push_back(&call);
  QMetaObject::invokeMethod(this, "RunPendingCalls", Qt::QueuedConnection);
  callDone_.wait(lock, [&] { return call.Done; });
  lock.unlock();
  // An exception thrown by fn reaches the worker that asked for the call.
  if (call.Error) std::rethrow_exception(call.Error);
}

void QtUserInterface::RunPendingCalls() {
  std::unique_lock<std::mutex> lock(callMutex_);
  while (!calls_.empty()) {
    PendingCall* call = calls_.front();
    calls_.pop_front();
    lock.unlock();  // the call may pump events, which may run further calls
    try {
      (*call->Fn)();
    } catch (...) {
      call->Error = std::current_exception();
    }
    lock.lock();
    call->Done = true;
    callDone_.notify_all();
  }
}

void QtUserInterface::ProcessMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents, 10); }

}  // namespace velk::gui
