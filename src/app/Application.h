// The application: it owns the program's single instances (the dump image,
// the decoded values, the settings record, the exchange monitor, the read
// panel, the progress window's model and the carrier engine with its page),
// starts and ends direct readings, decodes dumps and runs the command-line
// mode. Both programs drive it: the GUI from its widgets and timers,
// velkreader from its console loop.
#pragma once

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/CarrierBinding.h"
#include "app/ReadPanel.h"
#include "app/ReadProgressModel.h"
#include "app/SettingsRecord.h"
#include "app/TaskFile.h"
#include "carrier/CarrierLinkState.h"
#include "carrier/CarrierOperations.h"
#include "carrier/ComPortQuery.h"
#include "carrier/UnNitka2.h"
#include "common/Clock.h"
#include "common/DumpImage.h"
#include "common/ExchangeMonitor.h"
#include "common/UserInterface.h"
#include "decode/DecodeDumpFile.h"
#include "decode/DecodedValues.h"
#include "reports/BatchJoin.h"
#include "reports/ReportWriter.h"

namespace velk {

class TConnectTread;
class LinkOpener;

class Application {
 public:
  Application(UserInterface& ui, const Clock& clock, std::filesystem::path programFolder,
              LinkOpener& linkOpener);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // Start-up: reads VelkReader.ini, loads the settings, puts "0" into the
  // address edit, sets the busy flag, applies the read mode and fills an
  // empty viewer path. `arguments` are the system's switches (our own
  // "--" options removed); their count decides the command-line behaviour.
  void Construct(const std::vector<std::string>& arguments);

  // Decodes a dump file and writes its reports; false when it could not be
  // read or decoded (the user has been told why).
  bool DecodeDump(const std::string& path);
  // "Открыть" once the dialog has given a path: remembers it in VelkReader.ini,
  // decodes the dump and enables AcView. The command stops the carrier
  // auto-poll before its dialog and restarts it afterwards (SetCarrierAutoPoll).
  bool OpenDump(const std::string& path);
  // The start with one dump argument (StartMode::OpenDump): decodes it,
  // arranges the pages, enables AcView; the program then goes on as in
  // interactive use (a later reading does not end it).
  bool StartWithDump(const std::string& argument);
  // "Соединить файлы" on a folder: every numbered dump in number order through
  // this application's decode with joining forced, TSVCnc as it was
  // afterwards, the carrier auto-poll stopped meanwhile (the hooks' own
  // auto-poll entries are replaced). BeforeDump may stop the batch between two
  // dumps, DumpDone hears each result. The result names the dumps that could
  // not be converted.
  BatchJoinResult JoinFolder(const std::string& folder, BatchJoinHooks hooks = {});
  // AcView: the viewer on the report files of the current image.
  int LaunchViewer();

  // BuTestClick: configures and starts a reading with the ordinary end handler.
  // false (with a message) when an edit holds no valid number or the item is no direct link.
  bool BuTestClick();
  // The progress window's timer: refreshes the progress model and, once the
  // reader has ended, joins it and runs its end handler (once per reading,
  // also when Poll() is called again from inside it).
  void Poll();
  // "Стоп" in the progress window.
  void StopReading();
  bool ReadingRunning() const;
  // Closing the progress window (its close box, or "ОК"): a running reading is
  // stopped and waited for while pumping messages, then its end handler runs.
  // In command-line mode the window stays (false); else it hides and the
  // link choice is applied again.
  bool CloseProgressWindow();
  // Stops a running reading and waits for it without its end handler (the program ends).
  void AbortReading();

  // MODBoxChange and ComboBox1Change of the read panel, with the carrier side:
  // items 0..6 stop the auto-poll, 0..2 drop the ЛТР link; the carrier
  // engine follows the panel's item and port.
  void MODBoxChange();
  void ComboBox1Change(const std::string& portName);
  // After the settings changed (the dialog): the carrier engine takes the
  // carrier link settings and the port again.
  void SyncCarrier();
  // The carrier auto-poll off ("Автоопрос порта: ВЫКЛЮЧЕН") or, with the
  // НКП-3М selected, on with the poll's stop action on the connect button.
  void SetCarrierAutoPoll(bool on);
  // One operation at a time: while a carrier operation runs (its wait pumps
  // the window's events) the window's competing commands — "Читать",
  // "Открыть", "Соединить файлы", the settings dialog and MODBox — are
  // disabled, and the core refuses them as well. A bare auto-poll step, which
  // only asks the carrier for its serial number, locks nothing.
  bool WindowCommandsEnabled() const { return !Carrier.CommandsLocked(); }

  // The front end's carrier page (message boxes, the two dialogs, redraws); nullptr detaches it.
  void SetCarrierView(CarrierPageView* view) { carrierView_.Target = view; }

  // The command-line mode: the two passes over the switches; it ends with
  // Terminate(), at once or when the started reading or task file is done.
  // Panel.IP_PortEdit as it stands is the "Порт" entry of its readings and of
  // every task-file record that names no port of its own.
  void RunCommandLine(const std::vector<std::string>& arguments);

  // Closing the main window: stops the carrier engine and waits for it while
  // pumping messages, closes the carrier port, keeps the link choice and the
  // phone field (and the window size the front end put into Settings) in the
  // settings file, and stops a reading.
  void Close();
  // The close box of the main window. With no carrier operation running the
  // window closes at once (Close(), true). During one the stop flags are set
  // and the close is put off (false): OnCloseReady runs once the operation
  // has unwound, so nothing is destroyed while a frame still uses it.
  bool RequestClose();
  std::function<void()> OnCloseReady;

  // "--carrier=nkp|ltr --port=COM<n> ACTION": one carrier operation without
  // the window, with the carrier settings of the record; returns its exit status.
  int RunCarrier(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

  // Ends the application (the front end's loop watches Terminated()).
  void Terminate();
  bool Terminated() const { return terminated_; }
  // The program's exit status (ExitCodes.h).
  int ExitCode() const { return exitCode_; }

  // Hooks for the front end: the data pages after a decode (GUI only), and
  // the end of every reading (after its end handler).
  std::function<void()> OnArrangePages;
  std::function<void(int status)> OnReadingEnded;

  // The single instances.
  TSettingsRecord Settings;
  TDumpImage Image;
  TDecodedValues Values;
  ExchangeMonitor Monitor;
  ReadPanel Panel;
  ReadProgressModel Progress;
  std::string RememberedDump;
  bool Busy = true;  // cleared once an image has been decoded
  bool AcViewEnabled = false;  // the viewer action, enabled once a dump was opened or copied
  // Report files written for the current image (path text; name 2 may be empty).
  const std::string& ReportName1() const;
  const std::string& ReportName2() const;
  const ReportWriter& Reports() const { return *reports_; }
  // The folder the last decode wrote its reports to (path text).
  std::string LastReportFolder;
  // The dump written by the last successful reading (path text).
  std::string LastDumpPath;

 private:
  // Declared before the carrier engine, which holds references to them.
  ForwardingCarrierView carrierView_;
  FunctionCarrierStore carrierStore_;

 public:
  // The carrier engine, one for the program's life: the link record, the
  // query engine, the worker and the carrier page's operations.
  CarrierLinkState CarrierState;
  TComPortQuery CarrierQuery;
  CarrierWorker CarrierThread;
  CarrierOperations Carrier;

 private:
  enum class EndHandler { Ordinary, Task };
  bool StartReading(EndHandler handler);
  // The end handler of the finished reading; it runs once per reading.
  void RunEndHandler();
  void ThreadTestTerminate();
  void TaskTerminate();
  void TaskFileProcessing();
  bool HasArguments() const { return !arguments_.empty(); }
  // Decodes with the storage options as they stand; a failed report file throws.
  bool DecodeWithStorage(const std::string& path);
  std::string SaveCopiedDump(TDumpImage& image, const CarrierDumpIdentity& id);
  // Stops the carrier engine, waits for its worker pumping messages and closes the port.
  void CloseCarrier();
  void Fail(int code);
  // DeviceCode and SerialNumber from the reader, then the dump file; its path text or "".
  std::string StoreReading();
  class ProgressStatusUi;
  ReaderProgress Snapshot() const;

  UserInterface& ui_;
  const Clock& clock_;
  std::filesystem::path programFolder_;
  LinkOpener& linkOpener_;
  StorageOptions storage_;  // the settings' storage part, refreshed before each use
  std::unique_ptr<ReportWriter> reports_;
  std::vector<std::string> arguments_;
  std::unique_ptr<UserInterface> statusUi_;
  std::unique_ptr<TConnectTread> reader_;
  EndHandler endHandler_ = EndHandler::Ordinary;
  bool endPending_ = false;  // a reading was started and its end handler has not run yet
  std::optional<TTaskFile> task_;
  std::string taskIpPortEntry_;  // the "Порт" entry the command line gave the task's records
  bool terminated_ = false;
  int exitCode_ = 0;
};

}  // namespace velk
