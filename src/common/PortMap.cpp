#include "common/PortMap.h"

#include <cctype>
#include <fstream>

#include "common/Platform.h"

namespace velk {

namespace {

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

// The port number of "COM<n>" (any letter case), 0 when the name is not of that form.
int PortNumber(const std::string& name) {
  if (name.size() < 4 || name.size() > 7) return 0;
  for (int i = 0; i < 3; ++i) {
    if (std::toupper(static_cast<unsigned char>(name[i])) != "COM"[i]) return 0;
  }
  int number = 0;
  for (std::size_t i = 3; i < name.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(name[i]))) return 0;
    number = number * 10 + (name[i] - '0');
  }
  return number;
}

std::string CanonicalName(int number) { return "COM" + std::to_string(number); }

}  // namespace

PortMap PortMap::Load(const std::filesystem::path& file) {
  PortMap map;
  std::ifstream in(file);
  std::string line;
  while (std::getline(in, line)) {
    line = Trim(line);
    if (line.empty() || line[0] == '#') continue;
    const auto equals = line.find('=');
    if (equals == std::string::npos) continue;
    const int number = PortNumber(Trim(line.substr(0, equals)));
    const std::string device = Trim(line.substr(equals + 1));
    if (number >= 1 && !device.empty()) map.entries_[CanonicalName(number)] = device;
  }
  return map;
}

PortMap PortMap::LoadFromProgramFolder(const std::filesystem::path& programFolder) {
  return Load(programFolder / "VelkReader.ports");
}

std::string PortMap::DevicePath(const std::string& portName) const {
  const int number = PortNumber(portName);
  if (number < 1) return {};
  for (const auto& key : {portName, CanonicalName(number)}) {
    if (const auto found = entries_.find(key); found != entries_.end()) return found->second;
  }
  return platform::DefaultSerialDevice(number);
}

}  // namespace velk
