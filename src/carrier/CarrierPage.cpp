#include "carrier/CarrierPage.h"

namespace velk {

bool CarrierActionShown(CarrierAction action, int modBox, const CarrierPageState& page) {
  using A = CarrierAction;
  switch (action) {
    case A::AcLTR_CopyDel:
    case A::AcLTR_DelFile:
    case A::AcLTR_ClearMem:
      return modBox == ModBoxLtr;
    case A::AcLTR_DopMemEN:
      return modBox == ModBoxLtr && !page.BlockPanelVisible;
    case A::AcNKPClearMem:
    case A::AcNKPCheckMem:
      return modBox == ModBoxNkp;
    default:
      return true;
  }
}

TimerChange FollowTimerFlag(bool& lastSeen, bool flag) {
  if (flag == lastSeen) return TimerChange::None;
  lastSeen = flag;
  return flag ? TimerChange::Start : TimerChange::Stop;
}

}  // namespace velk
