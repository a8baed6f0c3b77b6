// Which tabs of the data panel a decode shows and fills, by device code and
// the panel settings: the decisions of ArrangePages without the widgets.
#pragma once

#include <cstdint>

#include "decode/DecodedValues.h"

namespace velk {

struct TPageSettings {
  bool OPVDataVisible = true;    // "Оперативные данные"
  bool CONSTDataVisible = true;  // "Раздел констант"
  bool DUMPDataVisible = true;   // "Дамп "
  bool ARCHDataVisible = true;
  bool TSVDataVisible = true;
  bool CurrentValuesOnly = false;  // the read mode reads only the current values
  bool HasCommandLineArguments = false;
  int ConnectionIndex = 0;  // item of the connection list; 7 and 8 are the carriers
};

struct TPageLayout {
  bool FillOperational = false, ShowOperational = false;  // TabSheetOperData
  bool FillConstants = false, ShowConstants = false;      // TabSheetConst
  bool FillHex = false, ShowHex = false;                  // TabSheetDamp
  bool FillHours = false, FillDays = false;
  bool ShowArchive = false;     // TabSheetArhiv
  bool ShowDayArchive = false;  // "Суточный" inside it
  bool ShowTsv1 = false, ShowTsv2 = false, ShowTsd = false;
  bool ActivateOperational = false;  // make the operational tab the active page
};

// The view builders fill nothing while a decode is under way or the data panel is off.
inline bool ViewsMayFill(const TDecodedValues& values, bool dataPanelVisible) {
  return dataPanelVisible && !values.DisplaySuppressed;
}

TPageLayout ArrangePagesLayout(std::uint32_t deviceCode, const TPageSettings& settings);

}  // namespace velk
