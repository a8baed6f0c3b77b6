#include "gui/FileFilter.h"

#include <sstream>
#include <vector>

namespace velk::gui {
namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(text);
  while (std::getline(in, part, separator)) parts.push_back(part);
  return parts;
}

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::string QtFileFilter(const std::string& systemFilter) {
  const std::vector<std::string> parts = Split(systemFilter, '|');
  std::string result;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    std::string description = parts[i];
    const auto open = description.rfind('(');
    if (open != std::string::npos && Trimmed(description).back() == ')')
      description = description.substr(0, open);
    std::string patterns;
    for (const std::string& pattern : Split(parts[i + 1], ';')) {
      std::string p = Trimmed(pattern);
      if (p.empty()) continue;
      if (p == "*.*") p = "*";
      patterns += (patterns.empty() ? "" : " ") + p;
    }
    if (!result.empty()) result += ";;";
    result += Trimmed(description) + " (" + patterns + ")";
  }
  return result;
}

}  // namespace velk::gui
