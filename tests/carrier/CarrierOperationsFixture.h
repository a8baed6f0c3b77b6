// The carrier page's operations against a simulated carrier in the same process.
#pragma once

#include <gtest/gtest.h>

#include "support/CarrierTestSupport.h"
#include "carrier-sim/CarrierFileImages.h"
#include "carrier/CarrierOperations.h"
#include "support/QueuedUserInterface.h"

namespace velk::test {

class RecordingView final : public CarrierPageView {
 public:
  void ShowMessage(const std::string& text) override { Messages.push_back(text); }
  BadTypeChoice AskBadType(const std::string& serialText) override {
    BadTypeAsked.push_back(serialText);
    return BadTypeAnswer;
  }
  bool AskCheckMemory(int faulty) override {
    CheckAsked = faulty;
    return CheckAnswer;
  }
  void Refresh(const CarrierPageState& state) override {
    if (OnRefresh) OnRefresh(state);
  }
  void ArrangePages() override { ++Arranged; }
  void LaunchViewer() override { ++Viewed; }

  std::vector<std::string> Messages;
  std::vector<std::string> BadTypeAsked;
  BadTypeChoice BadTypeAnswer = BadTypeChoice::Continue;
  int CheckAsked = -1;
  bool CheckAnswer = true;
  int Arranged = 0, Viewed = 0;
  std::function<void(const CarrierPageState&)> OnRefresh;
};

class RecordingStore final : public CarrierFileStore {
 public:
  std::string SaveDump(TDumpImage& image, const CarrierDumpIdentity& id) override {
    Images.emplace_back(image.DumpImage.begin(), image.DumpImage.begin() + image.DumpLength);
    Ids.push_back(id);
    return "dump-" + std::to_string(Ids.size()) + ".dat";
  }
  void Decode(const std::string& path) override { Decoded.push_back(path); }

  std::vector<std::vector<std::uint8_t>> Images;
  std::vector<CarrierDumpIdentity> Ids;
  std::vector<std::string> Decoded;
};

struct CarrierFixture {
  explicit CarrierFixture(CarrierKind kind)
      : clock(TestNow), carrier(kind, clock), port(std::make_shared<CarrierSimPort>(carrier, faults)),
        query(FactoryFor(port, &portMissing)), worker({state, query, image, ui, clock}),
        ops(worker, view, store) {
    query.SleepMs = [](int) {};
    worker.Settings.Nkp = {13, 40, 40, 0};
    worker.Settings.Ltr = {9, 40, 40, 0};
    worker.Settings.NKPAutoTimeCorrectCB = false;
    worker.PortIndex = 2;
    ops.ModBox = kind == CarrierKind::Nkp ? ModBoxNkp : ModBoxLtr;
    // The page is redrawn while each command runs: no ЛТР service may be enabled then.
    view.OnRefresh = [this](const CarrierPageState& page) {
      using A = CarrierAction;
      if (!worker.Running()) return;
      for (A a : {A::AcNKPCopuFile, A::AcCopyView, A::AcLTR_CopyDel, A::AcLTR_DelFile, A::AcLTR_ClearMem,
                  A::AcLTR_DopMemEN, A::AcLTR_UnErase, A::AcLTR_DisConnect, A::AcLTR_DateTimeCorrect})
        if (page.IsEnabled(a) && ops.ModBox == ModBoxLtr) ++ltrServicesEnabledWhileRunning;
    };
  }
  // Grid row cell text.
  std::string Cell(int row, int col) const { return ops.Page.Grid.Row(row)[static_cast<std::size_t>(col)]; }

  ManualClock clock;
  SimulatedCarrier carrier;
  FaultPlan faults;
  bool portMissing = false;
  std::shared_ptr<CarrierSimPort> port;
  TComPortQuery query;
  CarrierLinkState state;
  TDumpImage image;
  // The worker's synchronised calls wait until the operations pump messages.
  QueuedUserInterface ui;
  int ltrServicesEnabledWhileRunning = 0;
  CarrierWorker worker;
  RecordingView view;
  RecordingStore store;
  CarrierOperations ops;
};

// An НКП-3М file of `blocks` blocks whose header claims `length` bytes.
inline std::vector<std::uint8_t> NkpTestFile(std::uint8_t type, std::uint16_t serial, int blocks, std::uint32_t length,
                                             std::uint8_t dnCode = 0, std::uint8_t voltage = 0x60) {
  std::vector<std::uint8_t> image(static_cast<std::size_t>(blocks) * 512);
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 7 + 3);
  image[128] = type;
  NkpFileHeader header;
  header.DnCode = dnCode;
  header.SerialNumber = serial;
  header.ReadTime = TestNow - 1;
  header.SecondDate = TestNow - 2;
  header.VoltageByte = voltage;
  auto file = MakeNkpFile(std::span(image).first(length), header);
  file.resize(image.size());
  std::copy(image.begin() + static_cast<std::ptrdiff_t>(length), image.end(),
            file.begin() + static_cast<std::ptrdiff_t>(length));
  return file;
}

}  // namespace velk::test
