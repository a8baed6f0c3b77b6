#include "app/InputRules.h"

#include <algorithm>

namespace velk {
namespace {

bool IsDigit(char32_t key) { return key >= U'0' && key <= U'9'; }
bool IsDiallingLetter(char32_t key) { return key == U'P' || key == U'T' || key == U'p' || key == U't'; }
bool IsEditingKey(char32_t key) { return key == KeyBackspace || key == KeyTab; }

EditKeyResult Refused() { return {false, std::nullopt, 0}; }
EditKeyResult RefusedWith(std::string text) {
  const std::size_t caret = text.size();
  return {false, std::move(text), caret};
}

// The text with the selection removed; `caret` receives the insertion point.
std::string WithoutSelection(const EditKey& key, std::size_t& caret) {
  caret = std::min(key.SelStart, key.Text.size());
  const std::size_t length = std::min(key.SelLength, key.Text.size() - caret);
  std::string text = key.Text;
  text.erase(caret, length);
  return text;
}

// The edit's text if the key went in (replacing the selection).
std::string WithKey(const EditKey& key) {
  std::size_t caret = 0;
  std::string text = WithoutSelection(key, caret);
  text.insert(caret, 1, static_cast<char>(key.Key));
  return text;
}

// True for a text of digits only whose value exceeds `limit`.
bool DigitsAbove(const std::string& text, long long limit) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return false;
  const std::size_t first = std::min(text.find_first_not_of('0'), text.size());
  const std::string significant = text.substr(first);
  return significant.size() > 18 || (!significant.empty() && std::stoll(significant) > limit);
}

}  // namespace

bool PorTelEditKeyPress(const std::string& text, std::size_t caret, char32_t key) {
  const bool allowed = key == KeyBackspace || key == KeyTab || key == U'+' || key == U'.' || IsDigit(key) ||
                       IsDiallingLetter(key);
  if (!allowed) return false;
  const bool hasLetter = text.find_first_of("PTpt") != std::string::npos;
  const bool atStartOrLetter = caret == 0 || IsDiallingLetter(key);
  const bool notAtStartOrHasLetter = caret != 0 || hasLetter;
  return !(atStartOrLetter && notAtStartOrHasLetter);
}

bool LEdSetevoyAdrKeyPress(char32_t key) {
  return key == KeyBackspace || key == KeyTab || key == U'.' || IsDigit(key);
}

std::string LEdSetevoyAdrEnter(const std::string& text) { return text == "0" ? std::string() : text; }

std::string LEdSetevoyAdrExit(const std::string& text) { return text.empty() ? std::string("0") : text; }

EditKeyResult TimeEditKeyPress(const EditKey& key) {
  if (IsEditingKey(key.Key) || key.Key == U'.') return {};
  if (!IsDigit(key.Key)) return Refused();
  if (DigitsAbove(WithKey(key), MaxTimeEditValue)) return RefusedWith(std::to_string(MaxTimeEditValue));
  return {};
}

EditKeyResult RetryEditKeyPress(const EditKey& key) {
  if (IsEditingKey(key.Key)) return {};
  if (!IsDigit(key.Key) && key.Key != U'-') return Refused();
  std::size_t caret = 0;
  std::string text = WithoutSelection(key, caret);
  if (key.Key == U'-' || text.find('-') != std::string::npos) return RefusedWith("-1");
  text.insert(caret, 1, static_cast<char>(key.Key));
  if (DigitsAbove(text, MaxRetryEditValue)) return RefusedWith(std::to_string(MaxRetryEditValue));
  return {};
}

std::string RetryEditExit(const std::string& text) { return text == "-" ? std::string("-1") : text; }

EditKeyResult MonthsEditKeyPress(const EditKey& key) {
  if (IsEditingKey(key.Key)) return {};
  if (!IsDigit(key.Key) || (key.Key == U'0' && key.SelStart == 0)) return Refused();
  if (DigitsAbove(WithKey(key), MaxArchiveMonths)) return RefusedWith(std::to_string(MaxArchiveMonths));
  return {};
}

std::string MonthsEditExit(const std::string& text, int storedMonths) {
  return text.empty() ? std::to_string(storedMonths) : text;
}

int UpDown1Click(int position, bool up) {
  if (up) return position >= MaxArchiveMonths ? MinArchiveMonths : position + 1;
  return position <= MinArchiveMonths ? MaxArchiveMonths : position - 1;
}

}  // namespace velk
