// What the carrier page shows, as a model the page renders: labels, gauges,
// the actions on the buttons and which actions are enabled, the timers, the
// file grid and the block map. The operations change it and ask the page to
// refresh; message boxes and the two dialogs go through CarrierPageView.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "carrier/CarrierFileGrid.h"
#include "carrier/CarrierImage.h"
#include "common/DumpImage.h"
#include "common/UserInterface.h"

namespace velk {

// The MODBox items of the two carrier families.
constexpr int ModBoxNkp = 7;
constexpr int ModBoxLtr = 8;

enum class CarrierAction {
  AcNKPList,              // connect ("Установить связь с НКП-3М" / "…ЛТР(ЛТР-2)")
  AcLTR_StopCopy,         // "СТОП"
  AcNKPDisConnect,
  AcLTR_DisConnect,
  AcStopTimer3,           // "Выключить Автоопрос"
  AcNKPCopuFile,          // "Копировать выделенные файлы"
  AcCopyView,             // "Копировать + ПРОСМОТР"
  AcLTR_CopyDel,          // "Копировать + Удалить"
  AcLTR_DelFile,          // "Удалить выделенные файлы"
  AcLTR_ClearMem,
  AcLTR_DopMemEN,         // "Восстановление удаленных"
  AcLTR_DopMemDis,        // "X"
  AcLTR_UnErase,          // "Восcтановить"
  AcNKP_DateTimeCorrect,  // "КОРРЕКТИРОВАТЬ"
  AcLTR_DateTimeCorrect,
  AcNKPClearMem,
  AcNKPCheckMem,
  AcView,
  Count
};
constexpr std::size_t CarrierActionCount = static_cast<std::size_t>(CarrierAction::Count);

struct CarrierLabel {
  std::string Text;
  Colour TextColour = ColourBlack;
  bool Visible = true;
};

struct CarrierGauge {
  int Percent = 0;
  bool Visible = false;
};

struct CarrierPageState {
  std::string TabCaption;
  CarrierLabel Label236;  // operation status
  CarrierLabel Label237;  // link status, first line
  CarrierLabel Label238;  // link status, second line
  CarrierLabel Label239;  // auto-poll
  CarrierLabel Label2;    // file count
  CarrierLabel Label3;    // used blocks
  CarrierLabel Label12;   // free blocks
  CarrierLabel Label60;   // carrier family
  std::string Edit1;      // carrier clock
  std::string Edit3;      // computer clock
  std::string Edit4, Edit6;  // block map cell
  CarrierGauge Gauge1;    // current operation
  CarrierGauge Gauge2;    // overall copy
  CarrierGauge Gauge3;    // memory occupancy
  Colour Gauge3Colour = 0;
  int Panel5Height = 19;
  bool GridVisible = false;
  bool GridEnabled = true;
  bool ClockGroupVisible = false;  // "Дата и время"
  bool BlockPanelVisible = false;  // Panel14
  bool PortBoxEnabled = true;
  bool LogVisible = false;         // Memo1
  std::vector<std::string> Memo1;
  // The actions the buttons hold.
  CarrierAction ReadSPBtn = CarrierAction::AcNKPList;
  CarrierAction BitBtn2 = CarrierAction::AcNKPCopuFile;
  CarrierAction CopyViewBtn = CarrierAction::AcCopyView;
  CarrierAction BitBtn4 = CarrierAction::AcLTR_CopyDel;
  CarrierAction NKPDtTmSet = CarrierAction::AcNKP_DateTimeCorrect;
  std::array<bool, CarrierActionCount> Enabled{};
  std::array<std::string, CarrierActionCount> Captions{};
  bool Timer1 = false;  // 100 ms: clearing progress
  bool Timer2 = false;  // 1 s: clock display
  bool Timer3 = false;  // 3 s: auto-poll
  CarrierFileGrid Grid;
  LtrMemMap Map;

  bool IsEnabled(CarrierAction a) const { return Enabled[static_cast<std::size_t>(a)]; }
  void Enable(CarrierAction a, bool on) { Enabled[static_cast<std::size_t>(a)] = on; }
};

// Whether a page action has a control on the page of this MODBox item: the
// copy-and-delete and the ЛТР memory services belong to the ЛТР page, the
// clearing and the check of the memory to the НКП-3М page, and the opening
// action of the block panel is hidden while the panel is open.
bool CarrierActionShown(CarrierAction action, int modBox, const CarrierPageState& page);

// A page timer follows its flag: it is started only when the flag turns on
// and stopped when it turns off, so the page refreshes of a running command
// never restart it. `lastSeen` is the flag as the timer last followed it.
enum class TimerChange { None, Start, Stop };
TimerChange FollowTimerFlag(bool& lastSeen, bool flag);

// The three choices of the dialog for a file that cannot be copied.
enum class BadTypeChoice { Stop, Delete, Continue };

class CarrierPageView {
 public:
  virtual ~CarrierPageView() = default;
  // The page redraws itself from the state (called often while commands run).
  virtual void Refresh(const CarrierPageState& state) {}
  virtual void ShowMessage(const std::string& text) = 0;
  // TBedTypeForm for the file with this "Зав. №".
  virtual BadTypeChoice AskBadType(const std::string& serialText) = 0;
  // TWarn1Form: true for "Выполнить".
  virtual bool AskCheckMemory(int faultyBlocks) = 0;
  virtual void ArrangePages() {}
  virtual void LaunchViewer() {}
};

// Where copied files go: the dump file writer and the decode dispatcher.
class CarrierFileStore {
 public:
  virtual ~CarrierFileStore() = default;
  // Saves the image as a dump file; the path, or empty after a failure (reported by the writer).
  virtual std::string SaveDump(TDumpImage& image, const CarrierDumpIdentity& id) = 0;
  // Decodes the dump and writes its report files.
  virtual void Decode(const std::string& path) = 0;
};

}  // namespace velk
