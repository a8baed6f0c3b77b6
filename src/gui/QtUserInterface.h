// The user interface of the core on Qt: message boxes with one "OK" button,
// the status line and caption through listeners, Synchronize as a queued
// call onto the GUI thread that the worker waits for (run at once on the GUI
// thread itself), and
// message pumping through Qt's event loop.
#pragma once

#include <QObject>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>

#include "common/UserInterface.h"

class QWidget;

namespace velk::gui {

class QtUserInterface : public QObject, public UserInterface {
  Q_OBJECT

 public:
  // Constructed on the GUI thread.
  QtUserInterface();

  void ShowMessage(const std::string& text) override;
  bool Confirm(const std::string& text) override;
  void SetStatusText(const std::string& text, Colour colour) override;
  void SetCaption(const std::string& text) override;
  void Synchronize(const std::function<void()>& fn) override;
  void ProcessMessages() override;

  // The window message boxes belong to (the main window once it exists).
  QWidget* BoxParent = nullptr;
  std::function<void(const std::string&, Colour)> StatusListener;
  std::function<void(const std::string&)> CaptionListener;
  // Tests answer boxes instead of a user: a set hook replaces every box.
  std::function<void(const std::string&)> MessageHook;
  std::function<bool(const std::string&)> ConfirmHook;

 private:
  // Runs the calls the workers have handed over (on the GUI thread).
  Q_INVOKABLE void RunPendingCalls();

  struct PendingCall {
    const std::function<void()>* Fn;
    std::exception_ptr Error;
    bool Done = false;
  };
  std::mutex callMutex_;
  std::condition_variable callDone_;
  std::deque<PendingCall*> calls_;
};

// A Colour (0xBBGGRR) as a Qt colour.
QColor ToQColor(Colour colour);

}  // namespace velk::gui
