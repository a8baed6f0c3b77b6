// The settings that decide where dumps and reports go and what is kept. The
// application copies them out of its settings record; the dump writer, the
// decode dispatcher and the report writers read them.
#pragma once

#include <string>

namespace velk {

struct StorageOptions {
  std::string EdDataDir = "C:\\KORVAN\\Данные";  // data folder as path text
  bool DATDirCreate = true;                // a subfolder per meter
  bool TSVDirCreate = true;                // separate subfolders for .dat and .tsv
  bool SaveDAT = true;                     // keep raw dump files after decoding
  bool TSVCnc = true;                      // join .tsv files of successive readings
  bool ShowRtcRecords = false;
  bool ShowEmptyRecords = false;
};

}  // namespace velk
