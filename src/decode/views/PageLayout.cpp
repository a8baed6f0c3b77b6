#include "decode/views/PageLayout.h"

namespace velk {

TPageLayout ArrangePagesLayout(std::uint32_t code, const TPageSettings& s) {
  const bool pulseCounter = code == 70 || code == 71;
  TPageLayout p;
  p.FillOperational = p.ShowOperational = s.OPVDataVisible;
  p.FillConstants = p.ShowConstants = s.CONSTDataVisible;
  p.FillHex = p.ShowHex = s.DUMPDataVisible;
  if (!s.CurrentValuesOnly) {
    p.FillHours = true;
    p.FillDays = !pulseCounter;
    p.ShowArchive = s.ARCHDataVisible;
    p.ShowDayArchive = p.ShowArchive && !(code == 50 || code == 51 || code == 60 || pulseCounter);
  }
  if (pulseCounter) {
    p.ShowTsd = s.TSVDataVisible;
  } else {
    p.ShowTsv1 = s.TSVDataVisible;
    p.ShowTsv2 = s.TSVDataVisible && (code == 53 || code == 56);
  }
  p.ActivateOperational = !s.HasCommandLineArguments && p.ShowOperational && s.ConnectionIndex < 7;
  return p;
}

}  // namespace velk
