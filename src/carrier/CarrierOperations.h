// Every operation of the carrier page for both carrier families: connect and
// list, selection, copy (plain, with view, with delete), the auto-poll, both
// disconnects, the clock display and corrections, clearing and checking the
// НКП-3М memory, and the ЛТР memory services with the block map. Each runs on
// the main thread, starts one worker per carrier command and waits for it
// while pumping the caller's events.
#pragma once

#include <array>
#include <functional>
#include <optional>

#include "carrier/CarrierPage.h"
#include "carrier/UnNitka2.h"

namespace velk {

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

  // The carrier family of a MODBox item (7 or 8): the connect action's
  // caption, the correction action on NKPDtTmSet and, while not connected,
  // the tab caption follow it. Another family than before starts from a page
  // without a link (the ЛТР link itself is dropped by MODBoxChange).
  void SelectFamily(int modBox);

  // One operation at a time. Execute runs the action a button holds (the
  // click's handler) unless it is disabled or the window is closing. While
  // another operation runs only the stop action runs; a click during an
  // auto-poll step waits until the step has ended and runs then. False when
  // the click was refused.
  bool Execute(CarrierAction action);
  // Whether a button holding the action is enabled now.
  bool ActionAvailable(CarrierAction action) const;
  // Any operation on the stack, auto-poll steps included.
  bool OperationRunning() const { return operationDepth_ > 0; }
  // An operation the user started (or the automatic connect of a poll step):
  // every competing command is locked meanwhile. A bare poll step locks nothing.
  bool CommandsLocked() const { return lockingDepth_ > 0; }
  // Closing the window during an operation: the stop flags are set, no new
  // command starts, and OnOperationsEnded runs once the operation has unwound.
  void StopForClose();
  bool Closing() const { return closing_; }
  std::function<void()> OnOperationsEnded;

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
  // A click on a block cell moves the map cursor; header cells are not selectable.
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
  // Counts the operations on the stack; the last one out runs OnOperationsEnded.
  class OperationScope {
   public:
    OperationScope(CarrierOperations& ops, bool locking) : ops_(ops), locking_(locking) {
      ++ops_.operationDepth_;
      ops_.lockingDepth_ += locking_ ? 1 : 0;
    }
    ~OperationScope();
    OperationScope(const OperationScope&) = delete;
    OperationScope& operator=(const OperationScope&) = delete;

   private:
    CarrierOperations& ops_;
    bool locking_;
  };
  void PollStep();
  void Dispatch(CarrierAction action);
  // Nothing connected: the connect action on ReadSPBtn, every service disabled, no list shown.
  void ShowNoLink();
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
  int operationDepth_ = 0;
  int lockingDepth_ = 0;
  std::optional<CarrierAction> pendingAction_;  // clicked during a poll step
  bool closing_ = false;
  std::uint32_t previousDeviceCode_ = 0;
};

}  // namespace velk
