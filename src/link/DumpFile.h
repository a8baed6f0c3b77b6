// The raw dump file: a byte-for-byte copy of the dump image with a short text
// header in its first bytes; the per-meter .cfg record that links one reading
// to the next; the naming of meters, folders and files. The text header and the
// reader live in common/ (the decoder needs them too) and come with this header.
//
// Paths are path text as the settings hold them, for example
// "C:\KORVAN\Данные\53-12345\DAT\53-12345-001.dat"; they are mapped to native
// paths only at the file system.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "common/DateTime.h"
#include "common/DumpFileReader.h"
#include "common/DumpImage.h"
#include "common/DumpTextHeader.h"
#include "common/ExchangeMonitor.h"
#include "common/Mathem.h"
#include "common/MeterCfg.h"
#include "common/StorageOptions.h"
#include "common/UserInterface.h"

namespace velk {

// Read-mode item ("Оперативные данные") whose dumps are .dtm files outside the numbering.
constexpr int ReadModeOperational = 2;
// The .cfg record (TMeterCfg, ReadMeterCfg, WriteMeterCfg) lives in common/MeterCfg.h,
// shared with the report writer.

struct TDumpFolderAndName {
  std::string Folder;  // the meter folder: the data folder, plus "\" + name with DATDirCreate
  std::string Name;    // the meter name, e.g. "53-12345"
};
// Meter name by device code: 0..49 the serial number (5 digits); 50, 51, 60
// image[513] (2 digits) and the 16-bit value at [514] (6 digits); 53..56, 70,
// 71 the 16-bit value at [514] (5 digits); any other code "TypeError".
TDumpFolderAndName DumpFolderAndName(std::uint32_t deviceCode, std::uint32_t serialNumber, ImageView image,
                                     const StorageOptions& options);

struct TDumpWriteArgs {
  std::uint32_t DeviceCode = 0;
  std::uint32_t SerialNumber = 0;
  int ReadMode = 0;        // RGTask item; ReadModeOperational writes "<name>.dtm"
  TDateTime ReadTime = 0;  // for the header: now for direct links, the carrier's read time for copies
  TDateTime Now = 0;       // stored in the .cfg record
};

// Writes the header into the image, advances the meter's .cfg record (not for
// .dtm dumps) and writes the first DumpLength bytes of the image as the dump
// file, replacing any file of that name. Returns the dump's path text, or an
// empty string after a failure, which it has reported to the monitor and the
// status line. The caption is set to the path on success.
std::string WriteDumpFile(TDumpImage& image, const TDumpWriteArgs& args, const StorageOptions& options,
                          ExchangeMonitor& monitor, UserInterface& ui);

}  // namespace velk
