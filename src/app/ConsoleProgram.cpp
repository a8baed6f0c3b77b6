#include "app/ConsoleProgram.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/ConsoleProgress.h"
#include "app/ConsoleUserInterface.h"
#include "app/DumpText.h"
#include "app/ExitCodes.h"
#include "common/Clock.h"
#include "common/NativePath.h"
#include "common/Platform.h"
#include "common/ProgramFolder.h"
#include "common/Terminal.h"
#include "link/LinkOpener.h"
#include "reports/ReportCsv.h"

namespace velk {
namespace {

constexpr auto ConsoleTick = std::chrono::milliseconds(100);

struct Options {
  bool Verbose = false;                   // the exchange monitor on standard output
  std::string LogFile;                    // the exchange monitor into a file
  bool Hex = false;                       // a printed dump includes the hexadecimal view
  bool Carrier = false;                   // --carrier=...: a carrier operation
  std::optional<std::string> IpPort;      // --ip-port=N: the entry of the "Порт" edit
  std::optional<std::string> JoinFolder;  // --join=FOLDER: the batch join on that folder
  std::optional<std::string> CsvFile;     // --csv=FILE.csv: a report's records as CSV
  std::string CsvRecords = "hour";        // --csv-records=hour|day|month
  bool Help = false;
  std::vector<std::string> Arguments;  // the system's switches, or the carrier's options and action
  std::string Error;
};

Options ParseOptions(const std::vector<std::string>& arguments) {
  Options options;
  for (const std::string& arg : arguments) {
    if (arg.rfind("--", 0) != 0) {
      options.Arguments.push_back(arg);
    } else if (arg.rfind("--carrier=", 0) == 0 || arg.rfind("--port=", 0) == 0) {
      options.Carrier = options.Carrier || arg.rfind("--carrier=", 0) == 0;
      options.Arguments.push_back(arg);
    } else if (arg == "--verbose") {
      options.Verbose = true;
    } else if (arg.rfind("--log=", 0) == 0) {
      options.LogFile = arg.substr(6);
    } else if (arg == "--hex") {
      options.Hex = true;
    } else if (arg.rfind("--ip-port=", 0) == 0) {
      options.IpPort = arg.substr(10);
    } else if (arg.rfind("--join=", 0) == 0) {
      options.JoinFolder = arg.substr(7);
    } else if (arg.rfind("--csv=", 0) == 0) {
      options.CsvFile = arg.substr(6);
    } else if (arg.rfind("--csv-records=", 0) == 0) {
      options.CsvRecords = arg.substr(14);
    } else if (arg == "--help") {
      options.Help = true;
    } else {
      options.Error = "unknown option " + arg;
    }
  }
  return options;
}

void PrintUsage(std::ostream& out) {
  out << UsageCaption() << "\n";
  for (const std::string& line : UsageLines()) out << line << "\n";
}

void PrintOwnOptions(std::ostream& out) {
  out << "options of velkreader (beside the switches of \"?\"):\n"
      << "  --verbose          print the exchange monitor as it runs; progress as plain lines\n"
      << "  --log=FILE         append the exchange monitor to FILE\n"
      << "  --hex              with a single dump argument, also print the hexadecimal dump\n"
      << "  --ip-port=N        the network port entry of the readings over TCP (link 4 and 5 connect\n"
      << "                     to N + 4000); a task record's address \"host:N\" brings its own N\n"
      << "  --join=FOLDER      convert the numbered dumps of FOLDER again, lowest number first,\n"
      << "                     each report joined to the one before it\n"
      << "  --csv=FILE.csv REPORT.tsv|REPORT.tsd   the report's hourly records as CSV (UTF-8, \".\")\n"
      << "  --csv-records=day|month   with --csv: the daily or monthly records instead\n"
      << "  --carrier=nkp|ltr --port=COM<n> ACTION   a data-carrier operation\n"
      << "  --help             this text\n";
}

// The exchange monitor's lines as they complete, to the terminal and/or a file.
class MonitorEcho {
 public:
  MonitorEcho(const Options& options, ExchangeMonitor& monitor) : verbose_(options.Verbose) {
    if (!options.LogFile.empty()) {
      log_.open(ToNativePath(options.LogFile), std::ios::app);
      if (!log_) std::cerr << "cannot open the log file " << options.LogFile << "\n";
    }
    if (verbose_ || log_.is_open()) {
      monitor.SetLineListener([this](const std::string& line) { Echo(line); });
    }
  }

 private:
  void Echo(const std::string& line) {
    std::lock_guard lock(mutex_);
    if (verbose_) std::cout << line << "\n";
    if (log_.is_open()) log_ << line << "\n" << std::flush;
  }

  bool verbose_;
  std::ofstream log_;
  std::mutex mutex_;
};

void PrintWhereItWent(const Application& app) {
  if (!app.LastDumpPath.empty()) std::cout << "dump: " << Utf8FromPath(ToNativePath(app.LastDumpPath)) << "\n";
  if (!app.ReportName1().empty()) std::cout << "report: " << Utf8FromPath(ToNativePath(app.ReportName1())) << "\n";
  if (!app.ReportName2().empty()) std::cout << "report: " << Utf8FromPath(ToNativePath(app.ReportName2())) << "\n";
}

// --join=FOLDER: a line per dump; a dump that could not be converted makes the exit status.
int RunJoin(Application& app, const std::string& folderText) {
  const std::string folder = CommandLinePath(folderText);
  std::error_code error;
  if (folderText.empty() || !std::filesystem::is_directory(ToNativePath(folder), error)) {
    std::cerr << "velkreader: --join: no folder " << folderText << "\n";
    return exitcode::CommandLineError;
  }
  BatchJoinHooks hooks;
  hooks.DumpDone = [&](const BatchJoinProgress& dump) {
    std::cout << "dump " << dump.Position << "/" << dump.Total << ": " << Utf8FromPath(ToNativePath(dump.Path))
              << (dump.Converted ? "" : ": not converted") << "\n";
    if (dump.Converted) PrintWhereItWent(app);
  };
  const BatchJoinResult result = app.JoinFolder(folder, hooks);
  if (!result.StoppedAt.empty()) std::cout << "stopped at " << result.StoppedAt << "\n";
  std::cout << "converted " << result.Converted << " dump(s)";
  if (!result.Failed.empty()) {
    std::cout << ", not converted:";
    for (const std::string& name : result.Failed) std::cout << " " << name;
  }
  std::cout << "\n";
  return result.Failed.empty() && result.Error.empty() ? exitcode::Success : exitcode::DecodeFailed;
}

int Run(const Options& options) {
  ConsoleUserInterface ui(std::cerr);
  const std::filesystem::path programFolder = ProgramFolder();
  SystemLinkOpener links(programFolder);
  Application app(ui, SystemClock::Instance(), programFolder, links);
  MonitorEcho echo(options, app.Monitor);
  app.Construct(options.Arguments);
  if (options.IpPort) app.Panel.IP_PortEdit = *options.IpPort;
  if (options.JoinFolder) return RunJoin(app, *options.JoinFolder);
  if (options.Carrier) {
    const int code = app.RunCarrier(options.Arguments, std::cout, std::cerr);
    PrintWhereItWent(app);
    return code;
  }

  switch (ChooseStartMode(options.Arguments)) {
    case StartMode::Interactive:
      PrintUsage(std::cerr);
      std::cerr << "velkreader: no switch given, nothing to do\n";
      return exitcode::CommandLineError;
    case StartMode::OpenDump: {
      if (!app.DecodeDump(CommandLinePath(options.Arguments[0]))) return exitcode::DecodeFailed;
      const DumpTextOptions text{app.Settings.ShowRtcRecords, app.Settings.PFRec, options.Hex};
      std::cout << RenderDecodedViews(app.Image, app.Values, text);
      PrintWhereItWent(app);
      return exitcode::Success;
    }
    case StartMode::CommandLine:
      break;
  }

  ConsoleProgress progress(std::cout, StandardOutputIsTerminal() && !options.Verbose);
  app.OnReadingEnded = [&](int status) {
    progress.Finish(app.Progress);
    if (status == 0) PrintWhereItWent(app);
  };
  app.RunCommandLine(options.Arguments);
  ui.RunUntil([&] { return app.Terminated(); }, ConsoleTick,
              [&] {
                app.Poll();
                if (app.ReadingRunning()) progress.Update(app.Progress);
              });
  if (app.ExitCode() == exitcode::Success && !app.LastReportFolder.empty() && app.LastDumpPath.empty()) {
    PrintWhereItWent(app);  // "-B": the reports of the converted dump
  }
  return app.ExitCode();
}

// --csv=FILE.csv REPORT: the report is only read; a report that is refused names its fault.
int RunCsv(const Options& options) {
  const std::optional<RecordTable> table = options.CsvRecords == "hour"  ? RecordTable::Hours
                                           : options.CsvRecords == "day" ? RecordTable::Days
                                           : options.CsvRecords == "month"
                                               ? std::optional(RecordTable::Months)
                                               : std::nullopt;
  if (options.Arguments.size() != 1 || options.CsvFile->empty() || !table) {
    std::cerr << "velkreader: --csv=FILE.csv takes one report file (--csv-records=hour|day|month)\n";
    return exitcode::CommandLineError;
  }
  ReportOpenResult report = ReadReportFile(ToNativePath(CommandLinePath(options.Arguments[0])));
  if (!report.Report) {
    std::cerr << "velkreader: " << report.Error << "\n";
    return exitcode::ReportExportFailed;
  }
  const std::vector<OpenedReport> reports{std::move(*report.Report)};
  const std::string error =
      WriteCsvFile(ToNativePath(CommandLinePath(*options.CsvFile)), ReportCsv(reports, *table), reports);
  if (!error.empty()) {
    std::cerr << "velkreader: " << error << "\n";
    return exitcode::ReportExportFailed;
  }
  return exitcode::Success;
}

}  // namespace

int RunConsoleProgram(int argc, char** argv) {
  UseUtf8ConsoleOutput();
  const Options options = ParseOptions(platform::CommandLineArguments(argc, argv));
  if (!options.Error.empty()) {
    std::cerr << "velkreader: " << options.Error << "\n";
    PrintOwnOptions(std::cerr);
    return exitcode::CommandLineError;
  }
  if (options.Help) {
    PrintOwnOptions(std::cout);
    return exitcode::Success;
  }
  if (options.JoinFolder && !options.Arguments.empty()) {
    std::cerr << "velkreader: --join stands without other switches\n";
    return exitcode::CommandLineError;
  }
  if (UsageRequested(options.Arguments)) {
    PrintUsage(std::cout);
    return exitcode::Success;
  }
  if (options.CsvFile) return RunCsv(options);
  return Run(options);
}

}  // namespace velk
