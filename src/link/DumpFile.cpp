#include "link/DumpFile.h"

#include <algorithm>

#include "common/FileReplace.h"
#include "common/NativePath.h"
#include "common/NumberFormat.h"

namespace velk {

namespace {

constexpr const char* CreateErrorText = "Ошибка создания Файла ";  // + path
constexpr const char* WriteErrorText = "Ошибка записи в Файл '";   // + path + "'"
constexpr const char* MonitorLineEnd = "\n\r";

// The dump number that follows `last`: 001..999, then 001 again; -1 (a .dtm
// converted by the report writer) is followed by 000.
int NextDumpNumber(std::int32_t last) {
  if (last < -1 || last >= 999) return 1;
  return last + 1;
}

void ReportWriteFailure(const std::string& monitorText, const std::string& statusText,
                        ExchangeMonitor& monitor, UserInterface& ui) {
  monitor.Append(monitorText + MonitorLineEnd);
  ui.SetStatusText(statusText, ColourRed);
}

}  // namespace

// ReadMeterCfg and WriteMeterCfg: common/MeterCfg.cpp.

TDumpFolderAndName DumpFolderAndName(std::uint32_t deviceCode, std::uint32_t serialNumber, ImageView image,
                                     const StorageOptions& options) {
  TDumpFolderAndName result;
  result.Name = MeterName(deviceCode, serialNumber, image);
  result.Folder = options.EdDataDir;
  if (options.DATDirCreate) result.Folder += "\\" + result.Name;
  return result;
}

std::string WriteDumpFile(TDumpImage& image, const TDumpWriteArgs& args, const StorageOptions& options,
                          ExchangeMonitor& monitor, UserInterface& ui) {
  const std::string header = BuildTextHeader(args.DeviceCode, args.SerialNumber, args.ReadTime);
  std::copy_n(header.begin(), std::min(header.size(), TextHeaderSize), image.DumpImage.begin());

  const TDumpFolderAndName meter =
      DumpFolderAndName(args.DeviceCode, args.SerialNumber, image.Whole(), options);
  std::string fileName;
  if (args.ReadMode == ReadModeOperational) {
    fileName = meter.Name + ".dtm";
  } else {
    const std::string cfgPath = meter.Folder + "\\" + meter.Name + ".cfg";
    const int number = NextDumpNumber(ReadMeterCfg(cfgPath).Counter);
    TMeterCfg record;
    record.Counter = StoredDumpNumber(number);
    record.Pointer = SavedPointerOfImage(args.DeviceCode, image);
    record.SecondPointer = SavedPointer2OfImage(image);
    record.ReadTime = args.Now;
    WriteMeterCfg(cfgPath, record);  // a failure here shows up as the dump's own failure below
    fileName = meter.Name + "-" + ZeroPad(number, 3) + ".dat";
  }

  const std::string folder = options.TSVDirCreate ? meter.Folder + "\\DAT" : meter.Folder;
  CreateFolderChain(ToNativePath(folder));
  const std::string path = folder + "\\" + fileName;

  switch (ReplaceFileContentsStep(ToNativePath(path), image.Bytes())) {
    case ReplaceStep::None:
      ui.SetCaption(path);
      return path;
    case ReplaceStep::Write:
      ReportWriteFailure(WriteErrorText + path + "'", "Ошибка записи в Файл", monitor, ui);
      return {};
    case ReplaceStep::Create:
    case ReplaceStep::Rename:
      break;
  }
  ReportWriteFailure(CreateErrorText + path, "Ошибка создания Файла", monitor, ui);
  return {};
}

}  // namespace velk
