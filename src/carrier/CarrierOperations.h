// Every operation of the carrier page for both carrier families: connect and
// list, selection, copy (plain, with view, with delete), the auto-poll, both
// disconnects, the clock display and corrections, clearing and checking the
// НКП-3М memory, and the ЛТР memory services with the block map. Each runs on
// the main thread, starts one worker per carrier command and waits for it
// while pumping the caller's events.
#pragma once

#include <array>
#include <functional>

#include "carrier/CarrierPage.h"
#include "carrier/UnNitka2.h"

namespace velk {

constexpr int ModBoxNkp = 7;
constexpr int ModBoxLtr = 8;

class CarrierOperations {
 public:
  CarrierOperations(CarrierWorker& worker, CarrierPageView& view, CarrierFileStore& store);

  CarrierPageState Page;
  int ModBox = ModBoxNkp;  // read-mode item: 7 НКП-3М, 8 ЛТР/ЛТР-2
  bool AutoCorrection() const { return worker_.Settings.NKPAutoTimeCorrectCB; }
  // Stores the automatic correction flag in the settings file.
  std::function<void(bool)> OnAutoCorrectionChanged;

  // Flags of the page.
  bool PollRunning = false;
  bool Disconnected = true;
  bool StoppedByUser = false;
  bool Connecting = false;
  bool CopyAndView = false;
  bool CopyAndDelete = false;
  bool CopyRunning = false;
  bool UndeleteRunning = false;
  int CarrierSerial = 0;   // НКП-3М serial from the last poll
  int MemorySize = 0;      // ЛТР memory in blocks
  std::array<std::uint16_t, 64> FaultyBlocks{};
  // Result of the last carrier command that ended an operation (for scripts).
  int LastResult = 0;

  // Connect and list (both families).
  void ReadSPBtnClick();
  // Selection in the file grid.
  void SPGridMouseDown(int row, bool ctrl, bool shift);
  void SPGridSelectCell(int row);
  // Copying.
  void AcNKPCopuFileExecute();
  void AcCopyViewExecute();
  void AcLTR_CopyDelExecute();
  void AcLTR_StopCopyExecute();
  // Services.
  void Timer1Timer();
  void Timer2Timer();
  void Timer3Timer();
  void AcStopTimer3Execute();
  void PageControl1Change(bool carrierTabShown);
  void NKPDisConnect(bool keepPollOff);
  void AcNKPDisConnectExecute() { NKPDisConnect(true); }
  void AcLTR_DisConnectExecute();
  void NKPDtTmSetClick();
  void AcLTR_DateTimeCorrectExecute();
  void AutoTimeCorrCBClick(bool checked);
  void BitBtn1Click();  // clear the НКП-3М memory
  void Button2Click();  // check the НКП-3М memory
  // ЛТР memory services and the block map.
  int LTR_DelFileExecute(int index);
  void AcLTR_DelFileExecute();
  void AcLTR_ClearMemExecute();
  void AcLTR_UnEraseExecute();
  void AcLTR_DopMemENExecute();
  void AcLTR_DopMemDisExecute();
  void LTRMemGridSelectCell(int row, int col);

  // The auto-poll switched by the window's other commands: off ("Автоопрос
  // порта: ВЫКЛЮЧЕН"), or on with ReadSPBtn bound to the poll's stop action.
  void PollOff();
  void PollOnWithStopButton();

  void EnableNKPAction();
  void DisableNKPAction();
  void EnableLTRAction();
  void DisableLTRAction();

 private:
  CarrierLinkState& State() { return worker_.Context().State; }
  TComPortQuery& Query() { return worker_.Context().Query; }
  std::string LtrName() const;
  void Refresh() { view_.Refresh(Page); }
  void Pump();
  int Run(int command, bool ltr, bool ltr2, bool nkp, const std::function<void()>& tick);
  void ProgressTick(const std::string& text);
  void NkpStatusTick(const std::string& failureText);
  void WaitReleased();
  void Pause(int ms);
  void ShowError(int result, const std::string& dev);
  void SetLabel(CarrierLabel& label, const std::string& text, Colour colour = ColourBlack);
  // The auto-poll timer and its label only.
  void PollOn();
  void NkpBegin();
  void NkpFailEnd(int result);
  void ConnectNkp(bool freshConnect);
  void ConnectLtr(bool freshConnect);
  bool ListLtr(bool allowCorrection, bool freshConnect);
  // Row 1 after a fresh connect, else the row that was current when it still exists.
  void KeepCurrentRow(int previousRow, bool freshConnect, int files);
  void CopyNkp();
  void CopyLtr();
  void RemoveFile(int index);
  void ShowStatistics(int files, int used, int total);
  void LtrDateTimeCorrect(bool fromConnect);
  void SaveAndDecode(const CarrierDumpIdentity& id);

  CarrierWorker& worker_;
  CarrierPageView& view_;
  CarrierFileStore& store_;
  TDateTime clearStart_ = 0;
  std::uint32_t previousDeviceCode_ = 0;
};

}  // namespace velk
