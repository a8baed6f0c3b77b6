// Keystroke rules of the read panel's two edits (the phone/host edit
// `PorTelEdit` and the network address edit `LEdSetevoyAdr`) and of the
// settings dialog's number edits. A refused key beeps in the GUI.
#pragma once

#include <optional>
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

// A key typed into a settings dialog edit holding `Text` with the selection
// [SelStart, SelStart + SelLength) (character positions; these edits hold
// ASCII only).
struct EditKey {
  std::string Text;
  std::size_t SelStart = 0;
  std::size_t SelLength = 0;
  char32_t Key = 0;
};

// What the edit does with the key: when Accepted it handles the key as usual
// (replacing the selection); otherwise the key is dropped with a beep and, if
// NewText is set, the edit takes that text with the caret at Caret.
struct EditKeyResult {
  bool Accepted = true;
  std::optional<std::string> NewText;
  std::size_t Caret = 0;
};

constexpr long long MaxTimeEditValue = 3600000;
constexpr long long MaxRetryEditValue = 1024;
constexpr int MinArchiveMonths = 1;
constexpr int MaxArchiveMonths = 120;

// Wait and time edits: digits, ".", Backspace and Tab; a digit that would make
// the value exceed 3600000 leaves "3600000" instead.
EditKeyResult TimeEditKeyPress(const EditKey& key);

// Retry edits: digits and "-" (and Backspace, Tab); the selection goes first.
// A "-" typed or already present leaves "-1", the one negative retry count; a
// value above 1024 leaves "1024".
EditKeyResult RetryEditKeyPress(const EditKey& key);
// Leaving a retry edit: a lone "-" becomes "-1".
std::string RetryEditExit(const std::string& text);

// "Макс. архив" (LabeledEdit1): digits only (and Backspace, Tab), no "0" at
// the first position; a value above 120 leaves "120", the up-down's maximum.
EditKeyResult MonthsEditKeyPress(const EditKey& key);
// Leaving it empty puts the stored month count back.
std::string MonthsEditExit(const std::string& text, int storedMonths);
// The up-down UpDown1 runs from 1 to 120 and wraps at both ends.
int UpDown1Click(int position, bool up);

}  // namespace velk
