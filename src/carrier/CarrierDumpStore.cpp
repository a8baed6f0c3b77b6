#include "carrier/CarrierDumpStore.h"

#include "link/DumpFile.h"
#include "reports/ReportFile.h"

namespace velk {

std::string DumpFileCarrierStore::SaveDump(TDumpImage& image, const CarrierDumpIdentity& id) {
  TDumpWriteArgs args;
  args.DeviceCode = id.DeviceCode;
  args.SerialNumber = id.SerialNumber;
  args.ReadMode = decode_.ReadMode;
  args.ReadTime = id.ReadTime;
  args.Now = decode_.PresentClock.Now();
  std::string path = WriteDumpFile(image, args, decode_.Options, monitor_, decode_.Ui);
  if (!path.empty()) SavedPaths.push_back(path);
  return path;
}

void DumpFileCarrierStore::Decode(const std::string& path) {
  std::string folder;
  try {
    if (DecodeDumpFile(decode_, path, folder)) LastFolder = folder;
  } catch (const ReportFileError&) {
    // Already in the monitor and the status line; the dump stays on disk.
  }
}

}  // namespace velk
