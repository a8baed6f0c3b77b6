#include "reports/ReportNames.h"

#include <cstdlib>

#include "common/NumberFormat.h"

namespace velk {

std::string SequenceText(int number) {
  return number < 0 ? "-" + ZeroPad(-static_cast<long long>(number), 3) : ZeroPad(number, 3);
}

std::string TsvBaseName(const TDecodedValues& v, int system) {
  const std::string code = std::to_string(v.DeviceCode) + "-";
  switch (v.DeviceCode) {
    case 50:
    case 51:
    case 60:
      return code + ZeroPad(v.SizeIndex, 2) + ZeroPad(v.SerialNumber, 6);
    case 53:
    case 54:
    case 55:
    case 56:
      return code + ZeroPad(v.SerialNumber, 5) + "-" + std::to_string(system);
    default:
      return code + ZeroPad(v.SerialNumber, 5);
  }
}

std::string TsdBaseName(const TDecodedValues& v, int channelNumber) {
  return std::to_string(v.DeviceCode) + "-" + ZeroPad(v.SerialNumber, 5) + "-" + ZeroPad(channelNumber, 2);
}

std::string JoinPathText(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '\\' ? folder + name : folder + "\\" + name;
}

ReportFileSet ReportFileNames(const std::string& folder, const std::string& base, int n,
                              const std::string& ext) {
  ReportFileSet set;
  if (n < 0) {
    set.NewFile = JoinPathText(folder, base + ext);
    return set;
  }
  const auto name = [&](int number, const std::string& extension) {
    return JoinPathText(folder, base + "-" + SequenceText(number) + extension);
  };
  set.NewFile = name(n, ext);
  set.PreviousFile = name(n - 1, ext);
  set.TemporaryFile = name(n, ".old");
  set.PreviousTemporaryFile = name(n - 1, ".old");
  set.TwoBackFile = name(n - 2, ext);
  return set;
}

std::string TsvReportFolder(const std::string& meterFolder, int system, bool subfolders) {
  if (!subfolders) return meterFolder;
  return JoinPathText(meterFolder, "TSV" + std::to_string(system));
}

std::string TsdReportFolder(const std::string& meterFolder, int channelNumber) {
  return JoinPathText(meterFolder, "TSD" + std::to_string(channelNumber));
}

}  // namespace velk
