#include "common/UserInterface.h"

namespace velk {

void DirectUserInterface::ShowMessage(const std::string& text) { Messages.push_back(text); }

bool DirectUserInterface::Confirm(const std::string& text) {
  Questions.push_back(text);
  return ConfirmAnswer;
}

void DirectUserInterface::SetStatusText(const std::string& text, Colour colour) {
  StatusText = text;
  StatusColour = colour;
}

void DirectUserInterface::SetCaption(const std::string& text) { Caption = text; }

}  // namespace velk
