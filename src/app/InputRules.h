// Keystroke rules of the read panel's two edits: the phone/host edit
// `PorTelEdit` and the network address edit `LEdSetevoyAdr`. A refused key
// beeps in the GUI.
#pragma once

#include <string>

namespace velk {

constexpr char32_t KeyBackspace = U'\b';
constexpr char32_t KeyTab = U'\t';

// Digits, "+", ".", Backspace, Tab and one dialling letter (P, T, p, t) that
// may stand only at the very beginning. `caret` is the insertion position.
bool PorTelEditKeyPress(const std::string& text, std::size_t caret, char32_t key);

// Digits, ".", Backspace and Tab.
bool LEdSetevoyAdrKeyPress(char32_t key);
// Entering the edit clears a lone "0"; leaving it turns an empty text into "0".
std::string LEdSetevoyAdrEnter(const std::string& text);
std::string LEdSetevoyAdrExit(const std::string& text);

}  // namespace velk
