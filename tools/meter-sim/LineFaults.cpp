#include "meter-sim/LineFaults.h"

#include <map>
#include <sstream>

namespace velk {

namespace {

std::optional<long> ParseNumber(const std::string& text) {
  try {
    std::size_t used = 0;
    const long value = std::stol(text, &used, 0);
    if (used != text.size()) return std::nullopt;
    return value;
  } catch (...) {
    return std::nullopt;
  }
}

}  // namespace

std::optional<FaultRule> ParseFaultRule(const std::string& text, std::string& error) {
  static const std::map<std::string, FaultKind> kinds = {
      {"noise", FaultKind::Noise},          {"crc", FaultKind::CorruptChecksum},
      {"drop", FaultKind::DropByte},        {"stall", FaultKind::Stall},
      {"none", FaultKind::NoAnswer},        {"reorder", FaultKind::Reorder},
      {"break", FaultKind::BreakConnection}};
  std::vector<std::string> parts;
  std::stringstream stream(text);
  for (std::string part; std::getline(stream, part, ':');) parts.push_back(part);
  if (parts.empty() || !kinds.count(parts[0])) {
    error = "unknown fault '" + text + "' (noise, crc, drop, stall, none, reorder, break)";
    return std::nullopt;
  }
  FaultRule rule;
  rule.Kind = kinds.at(parts[0]);
  for (std::size_t i = 1; i < parts.size(); ++i) {
    if (parts[i] == "*" || parts[i].empty()) continue;
    const auto value = ParseNumber(parts[i]);
    if (!value) {
      error = "fault '" + text + "': '" + parts[i] + "' is not a number";
      return std::nullopt;
    }
    switch (i) {
      case 1:
        rule.Code = static_cast<std::uint8_t>(*value);
        break;
      case 2:
        rule.Address = static_cast<std::uint16_t>(*value);
        break;
      case 3:
        rule.Times = static_cast<int>(*value);
        break;
      case 4:
        rule.Param = static_cast<int>(*value);
        break;
      case 5:
        rule.Param2 = static_cast<int>(*value);
        break;
      default:
        error = "fault '" + text + "': too many fields";
        return std::nullopt;
    }
  }
  return rule;
}

FaultPlan::FaultPlan(std::vector<FaultRule> rules) {
  for (const auto& rule : rules) entries_.push_back({rule});
}

FaultPlan::FaultPlan(const FaultPlan& other) {
  std::lock_guard lock(other.mutex_);
  entries_ = other.entries_;
}

FaultPlan& FaultPlan::operator=(const FaultPlan& other) {
  if (this == &other) return *this;
  std::scoped_lock lock(mutex_, other.mutex_);
  entries_ = other.entries_;
  return *this;
}

void FaultPlan::Add(const FaultRule& rule) {
  std::lock_guard lock(mutex_);
  entries_.push_back({rule});
}

void FaultPlan::Clear() {
  std::lock_guard lock(mutex_);
  entries_.clear();
}

std::vector<FaultRule> FaultPlan::Strike(const ReceivedRequest& request) {
  std::lock_guard lock(mutex_);
  std::vector<FaultRule> struck;
  for (Entry& e : entries_) {
    if (e.Rule.Code && *e.Rule.Code != request.Code) continue;
    if (e.Rule.Address && *e.Rule.Address != request.Address) continue;
    const int seen = e.Seen++;
    if (seen < e.Rule.Skip) continue;
    if (e.Rule.Times >= 0 && e.Hit >= e.Rule.Times) continue;
    ++e.Hit;
    struck.push_back(e.Rule);
  }
  return struck;
}

int FaultPlan::Hits() const {
  std::lock_guard lock(mutex_);
  int hits = 0;
  for (const Entry& e : entries_) hits += e.Hit;
  return hits;
}

}  // namespace velk
