#include "app/CarrierBinding.h"

namespace velk {

void ForwardingCarrierView::Refresh(const CarrierPageState& state) {
  if (Target) Target->Refresh(state);
}

void ForwardingCarrierView::ShowMessage(const std::string& text) {
  if (Target)
    Target->ShowMessage(text);
  else
    ui_.ShowMessage(text);
}

BadTypeChoice ForwardingCarrierView::AskBadType(const std::string& serialText) {
  return Target ? Target->AskBadType(serialText) : BadTypeChoice::Continue;
}

bool ForwardingCarrierView::AskCheckMemory(int faultyBlocks) {
  return Target && Target->AskCheckMemory(faultyBlocks);
}

void ForwardingCarrierView::ArrangePages() {
  if (OnArrangePages) OnArrangePages();
}

void ForwardingCarrierView::LaunchViewer() {
  if (OnLaunchViewer) OnLaunchViewer();
}

}  // namespace velk
