// The application's side of the carrier page: the page as the operations see
// it (forwarded to the front end's page once one is attached, message boxes
// through the user interface until then) and the store of copied files.
#pragma once

#include <functional>
#include <string>

#include "carrier/CarrierPage.h"
#include "common/UserInterface.h"

namespace velk {

class ForwardingCarrierView final : public CarrierPageView {
 public:
  explicit ForwardingCarrierView(UserInterface& ui) : ui_(ui) {}

  // The front end's page; nullptr: messages go to the user interface, a file
  // that cannot be copied is passed over and the memory check is not run.
  CarrierPageView* Target = nullptr;
  std::function<void()> OnArrangePages;
  std::function<void()> OnLaunchViewer;

  void Refresh(const CarrierPageState& state) override;
  void ShowMessage(const std::string& text) override;
  BadTypeChoice AskBadType(const std::string& serialText) override;
  bool AskCheckMemory(int faultyBlocks) override;
  void ArrangePages() override;
  void LaunchViewer() override;

 private:
  UserInterface& ui_;
};

// Copied files go where the application puts its dumps and through its own decode.
class FunctionCarrierStore final : public CarrierFileStore {
 public:
  std::function<std::string(TDumpImage&, const CarrierDumpIdentity&)> Save;
  std::function<void(const std::string&)> DecodeFile;

  std::string SaveDump(TDumpImage& image, const CarrierDumpIdentity& id) override { return Save(image, id); }
  void Decode(const std::string& path) override { DecodeFile(path); }
};

}  // namespace velk
