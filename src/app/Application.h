// The application: it owns the program's single instances (the dump image,
// the decoded values, the settings record, the exchange monitor, the read
// panel and the progress window's model), starts and ends direct readings,
// decodes dumps and runs the command-line mode. Both programs drive it: the
// GUI from its widgets and timers, velkreader from its console loop.
#pragma once

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ReadPanel.h"
#include "app/ReadProgressModel.h"
#include "app/SettingsRecord.h"
#include "app/TaskFile.h"
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
  // "Соединить файлы": converts the numbered dumps of a folder again, lowest
  // number first, with joining forced on (the setting stays as it was).
  BatchJoinResult JoinFiles(const std::string& folder, const BatchJoinHooks& hooks = {});
  // "Открыть": remembers the path in VelkReader.ini and decodes the dump.
  bool OpenDump(const std::string& path);
  // AcView: the viewer on the report files of the current image.
  int LaunchViewer();

  // BuTestClick: configures and starts a reading with the ordinary end handler.
  // false (with a message) when an edit holds no valid number or the item is no direct link.
  bool BuTestClick();
  // The progress window's timer: refreshes the progress model and, once the
  // reader has ended, joins it and runs its end handler.
  void Poll();
  // "Стоп" in the progress window.
  void StopReading();
  bool ReadingRunning() const;
  // Stops a running reading and waits for it (closing the window or the program).
  void AbortReading();

  // The command-line mode: the two passes over the switches; it ends with
  // Terminate(), at once or when the started reading or task file is done.
  // Panel.IP_PortEdit as it stands is the "Порт" entry of its readings and of
  // every task-file record that names no port of its own.
  void RunCommandLine(const std::vector<std::string>& arguments);

  // Closing the main window: stops a reading, keeps the link choice and the
  // phone field in the settings and stores them.
  void Close();

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
  // Report files written for the current image (path text; name 2 may be empty).
  const std::string& ReportName1() const;
  const std::string& ReportName2() const;
  const ReportWriter& Reports() const { return *reports_; }
  // The folder the last decode wrote its reports to (path text).
  std::string LastReportFolder;
  // The dump written by the last successful reading (path text).
  std::string LastDumpPath;

 private:
  enum class EndHandler { Ordinary, Task };
  bool StartReading(EndHandler handler);
  void ThreadTestTerminate();
  void TaskTerminate();
  void TaskFileProcessing();
  bool HasArguments() const { return !arguments_.empty(); }
  void Fail(int code);
  // The dispatcher's context over the current settings.
  TDecodeContext PrepareDecode();
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
  std::optional<TTaskFile> task_;
  std::string taskIpPortEntry_;  // the "Порт" entry the command line gave the task's records
  bool terminated_ = false;
  int exitCode_ = 0;
};

}  // namespace velk
