// What the core asks of a user interface: message boxes, the status line, the
// main-window caption, synchronised calls from worker threads and message
// pumping. The GUI shows boxes; the command-line program prints to stderr.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace velk {

// Status line colours as 0xBBGGRR numbers (255 is red).
using Colour = std::uint32_t;
constexpr Colour ColourRed = 0x0000FF;
constexpr Colour ColourGreen = 0x008000;
constexpr Colour ColourBlack = 0x000000;

class UserInterface {
 public:
  virtual ~UserInterface() = default;
  // An error dialog or message box with a single "OK" button.
  virtual void ShowMessage(const std::string& text) = 0;
  // A question with "Выполнить"/"Отмена"-like answers; true when confirmed.
  virtual bool Confirm(const std::string& text) = 0;
  // The progress window's (or the program's) status line.
  virtual void SetStatusText(const std::string& text, Colour colour) = 0;
  virtual void SetCaption(const std::string& text) = 0;
  // Runs fn on the main thread and blocks the calling worker until it has run.
  // Called on the main thread itself, it runs fn at once.
  virtual void Synchronize(const std::function<void()>& fn) = 0;
  // Lets the main thread handle pending events (a no-op where there are none).
  virtual void ProcessMessages() = 0;
};

// Runs everything at once on the calling thread; messages are collected.
// Useful for tests and as a base for headless front ends.
class DirectUserInterface : public UserInterface {
 public:
  void ShowMessage(const std::string& text) override;
  bool Confirm(const std::string& text) override;
  void SetStatusText(const std::string& text, Colour colour) override;
  void SetCaption(const std::string& text) override;
  void Synchronize(const std::function<void()>& fn) override { fn(); }
  void ProcessMessages() override {}

  std::vector<std::string> Messages;
  std::vector<std::string> Questions;
  bool ConfirmAnswer = true;
  std::string StatusText;
  Colour StatusColour = ColourBlack;
  std::string Caption;
};

}  // namespace velk
