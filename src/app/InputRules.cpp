#include "app/InputRules.h"

namespace velk {
namespace {

bool IsDigit(char32_t key) { return key >= U'0' && key <= U'9'; }
bool IsDiallingLetter(char32_t key) { return key == U'P' || key == U'T' || key == U'p' || key == U't'; }

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

}  // namespace velk
