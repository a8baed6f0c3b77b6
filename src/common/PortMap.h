// Serial ports are named "COM" + number. VelkReader.ports in the program
// folder maps names to devices ("COM<n>=<device path>" per line, blank lines
// and '#' comments ignored); an unmapped COMn is the platform's default device
// for that number (platform::DefaultSerialDevice).
#pragma once

#include <filesystem>
#include <map>
#include <string>

namespace velk {

class PortMap {
 public:
  static PortMap Load(const std::filesystem::path& file);
  // VelkReader.ports of the given program folder.
  static PortMap LoadFromProgramFolder(const std::filesystem::path& programFolder);
  // Empty string when the name is not "COM<n>" with n >= 1.
  std::string DevicePath(const std::string& portName) const;
  void Set(const std::string& portName, const std::string& device) { entries_[portName] = device; }

 private:
  std::map<std::string, std::string> entries_;
};

}  // namespace velk
