#include "app/Application.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <thread>

#include "app/AppTexts.h"
#include "app/CommandLine.h"
#include "app/ConnectTreadAdjustment.h"
#include "app/ExitCodes.h"
#include "app/RememberedDump.h"
#include "app/ViewerLaunch.h"
#include "carrier/CarrierCommandLine.h"
#include "carrier/CarrierDumpStore.h"
#include "common/NativePath.h"
#include "common/Text1251.h"
#include "decode/DecodeDumpFile.h"
#include "reports/ReportFile.h"
#include "link/DumpFile.h"
#include "link/UnConnectTread.h"

namespace velk {

// The user interface as the dump writer sees it: its status line is the
// progress window's, so that a write error replaces the processing text.
class Application::ProgressStatusUi final : public UserInterface {
 public:
  ProgressStatusUi(UserInterface& ui, ReadProgressModel& progress) : ui_(ui), progress_(progress) {}
  void ShowMessage(const std::string& text) override { ui_.ShowMessage(text); }
  bool Confirm(const std::string& text) override { return ui_.Confirm(text); }
  void SetStatusText(const std::string& text, Colour colour) override {
    progress_.SetStatus(text, colour);
    ui_.SetStatusText(text, colour);
  }
  void SetCaption(const std::string& text) override { ui_.SetCaption(text); }
  void Synchronize(const std::function<void()>& fn) override { ui_.Synchronize(fn); }
  void ProcessMessages() override { ui_.ProcessMessages(); }

 private:
  UserInterface& ui_;
  ReadProgressModel& progress_;
};

namespace {

// Carrier ports open through the same opener as the direct links.
SerialPortFactory CarrierPorts(LinkOpener& links) {
  return [&links](const std::string& portName, int baudRate, std::string& error) {
    return links.OpenSerial(portName, baudRate, error);
  };
}

}  // namespace

Application::Application(UserInterface& ui, const Clock& clock, std::filesystem::path programFolder,
                         LinkOpener& linkOpener)
    : carrierView_(ui),
      CarrierQuery(CarrierPorts(linkOpener)),
      CarrierThread({CarrierState, CarrierQuery, Image, ui, clock}),
      Carrier(CarrierThread, carrierView_, carrierStore_),
      ui_(ui),
      clock_(clock),
      programFolder_(std::move(programFolder)),
      linkOpener_(linkOpener),
      reports_(std::make_unique<ReportWriter>(Image, Values, storage_, Monitor, ui)),
      statusUi_(std::make_unique<ProgressStatusUi>(ui, Progress)) {
  reports_->CloseProgram = [this] { Terminate(); };
  carrierView_.OnArrangePages = [this] {
    if (OnArrangePages) OnArrangePages();
  };
  carrierView_.OnLaunchViewer = [this] { LaunchViewer(); };
  carrierStore_.Save = [this](TDumpImage& image, const CarrierDumpIdentity& id) { return SaveCopiedDump(image, id); };
  carrierStore_.DecodeFile = [this](const std::string& path) {
    if (DecodeDump(path)) AcViewEnabled = true;
  };
  Carrier.OnOperationsEnded = [this] {
    if (Carrier.Closing() && OnCloseReady) OnCloseReady();
  };
  Carrier.OnAutoCorrectionChanged = [this](bool on) {
    Settings.NKPAutoTimeCorrectCB = on;
    StoreSettings(Settings, SettingsFilePath(programFolder_));
  };
}

const std::string& Application::ReportName1() const { return reports_->ReportFileName1(); }
const std::string& Application::ReportName2() const { return reports_->ReportFileName2(); }

Application::~Application() {
  CloseCarrier();
  AbortReading();
}

void Application::Construct(const std::vector<std::string>& arguments) {
  arguments_ = arguments;
  RememberedDump = ReadRememberedDump(IniFilePath(programFolder_));
  ui_.SetCaption(std::string(texts::ProgramTitle));
  LoadSettings(Settings, SettingsFilePath(programFolder_), ui_);
  Panel.PorTelEdit = Settings.PorTelEdit;
  Panel.MODBox = Settings.MODBox;
  Panel.LEdSetevoyAdr = "0";
  Busy = true;
  AcViewEnabled = false;
  MODBoxChange();
  Settings.EdDirTSView = ViewerPathOrDefault(Settings.EdDirTSView, programFolder_);
}

bool Application::DecodeDump(const std::string& path) {
  storage_ = StorageOptionsFrom(Settings);
  try {
    return DecodeWithStorage(path);
  } catch (const ReportFileError&) {
    // The report writer has already put the failure into the monitor and the status line.
    return false;
  }
}

bool Application::DecodeWithStorage(const std::string& path) {
  reports_->ReadMode = Panel.RGTask;
  reports_->CommandLine = HasArguments();
  TDecodeContext context{Image, Values, storage_, ui_, reports_.get(), HasArguments(), clock_, Panel.RGTask};
  if (!DecodeDumpFile(context, path, LastReportFolder)) return false;
  Busy = false;
  if (!HasArguments() && OnArrangePages) OnArrangePages();
  return true;
}

bool Application::OpenDump(const std::string& path) {
  if (!WindowCommandsEnabled()) return false;  // a copy may be filling the image
  RememberedDump = path;
  RememberDump(IniFilePath(programFolder_), path);
  const bool decoded = DecodeDump(path);
  AcViewEnabled = true;
  return decoded;
}

bool Application::StartWithDump(const std::string& argument) {
  arguments_.clear();  // interactive use from here on
  const bool decoded = DecodeDump(CommandLinePath(argument));
  AcViewEnabled = true;
  return decoded;
}

BatchJoinResult Application::JoinFolder(const std::string& folder, BatchJoinHooks hooks) {
  if (!WindowCommandsEnabled()) {
    BatchJoinResult refused;
    refused.Stopped = true;
    return refused;
  }
  hooks.StopAutoPoll = [this] { SetCarrierAutoPoll(false); };
  hooks.RestartAutoPoll = [this] { SetCarrierAutoPoll(true); };
  // The batch forces joining on these options before each dump; the decode must not refresh them.
  storage_ = StorageOptionsFrom(Settings);
  return JoinFilesInFolder(folder, storage_, [this](const std::string& path) { return DecodeWithStorage(path); },
                           ui_, hooks);
}

int Application::LaunchViewer() { return AcView(Settings.EdDirTSView, ReportName1(), ReportName2(), Busy); }

int Application::RunCarrier(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  storage_ = StorageOptionsFrom(Settings);
  reports_->ReadMode = Panel.RGTask;
  reports_->CommandLine = true;
  TDecodeContext decode{Image, Values, storage_, ui_, reports_.get(), true, clock_, Panel.RGTask};
  DumpFileCarrierStore store(decode, Monitor);
  CarrierSettings settings;
  settings.Nkp = {Settings.NKPBaudCode, Settings.NKPTimeOutEdit, Settings.NKPMultiplierEdit,
                  Settings.NKPPovtor};
  settings.Ltr = {Settings.LTRBaudCode, Settings.LTRTimeOutEdit, Settings.LTRMultiplierEdit,
                  Settings.LTRPovtor};
  settings.NKPAutoTimeCorrectCB = Settings.NKPAutoTimeCorrectCB;
  CarrierCommandLineContext context{settings, Image, store, ui_, clock_, out, err,
                                    SystemSerialPortFactory(programFolder_)};
  switch (RunCarrierCommandLine(arguments, context)) {
    case CarrierExitOk:
      return exitcode::Success;
    case CarrierExitUsage:
      return exitcode::CommandLineError;
    default:
      return exitcode::CarrierFailed;
  }
}

// --- Direct readings ---

bool Application::BuTestClick() { return WindowCommandsEnabled() && StartReading(EndHandler::Ordinary); }

bool Application::StartReading(EndHandler handler) {
  auto reader = std::make_unique<TConnectTread>(Image, Monitor, ui_, clock_);
  reader->Links = &linkOpener_;
  reader->ProgramDir = programFolder_;
  reader->OnTerminate = [](TConnectTread&) {};  // the end handler runs from Poll() once the thread is done
  const AdjustmentResult adjustment = ConnectTreadAdjustment(*reader, Settings, Panel);
  if (!adjustment.Error.empty()) {
    ui_.ShowMessage(adjustment.Error);
    return false;
  }
  reader->ClickTime = clock_.Now();
  endHandler_ = handler;
  Progress.Show();
  if (adjustment.View == ProgressViewKind::Dialling) {
    Progress.StartDiallingView(reader->MaxDialSeconds, reader->ClickTime);
  } else {
    Progress.StartReadingView();
  }
  reader_ = std::move(reader);
  endPending_ = true;
  reader_->Start();
  return true;
}

ReaderProgress Application::Snapshot() const {
  ReaderProgress progress;
  progress.Status = reader_->Status.load();
  progress.RequestLamp = reader_->RequestLamp.load() != 0;
  progress.AnswerLamp = reader_->AnswerLamp.load() != 0;
  progress.ProgressPercent = reader_->ProgressPercent.load();
  progress.ReadStart = reader_->ReadStart.load();
  progress.ReadingStarted = reader_->ReadingStarted.load() != 0;
  progress.StopRequested = reader_->StopRequested.load() != 0;
  progress.Dialling = reader_->Dialling.load() != 0;
  return progress;
}

bool Application::ReadingRunning() const { return reader_ && !reader_->Finished(); }

void Application::Poll() {
  if (!reader_ || !endPending_) return;
  Progress.Tick(Snapshot(), clock_.Now());
  if (reader_->Finished()) RunEndHandler();
}

void Application::RunEndHandler() {
  // Cleared first: the handler pumps messages (decoding does), and a timer may call Poll() again.
  endPending_ = false;
  reader_->Join();
  if (endHandler_ == EndHandler::Task) {
    TaskTerminate();
  } else {
    ThreadTestTerminate();
  }
}

void Application::StopReading() {
  if (!ReadingRunning()) return;
  reader_->StopRequested = 1;
  reader_->Status = LinkStatus::Stopped;
}

bool Application::CloseProgressWindow() {
  if (ReadingRunning()) {
    StopReading();
    while (!reader_->Finished()) {
      ui_.ProcessMessages();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  // Unless a timer served by the pump has run it already.
  if (reader_ && endPending_) RunEndHandler();
  if (HasArguments()) return false;
  Progress.Hide();
  MODBoxChange();
  return true;
}

void Application::AbortReading() {
  if (!reader_) return;
  StopReading();
  while (!reader_->Finished()) {
    ui_.ProcessMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  reader_->Join();
  reader_.reset();
  endPending_ = false;
}

void Application::ThreadTestTerminate() {
  const int status = reader_->Status.load();
  Progress.StopTimers();
  Progress.SetStatus(StatusLineFor(status).Text, StatusLineFor(status).Colour);
  if (status != LinkStatus::Ok) {
    Fail(status);
  } else {
    Progress.SetStatus(std::string(texts::ProcessingText), ColourProcessing);
    Monitor.Append(std::string(texts::ProcessingText) + "\n\r");
    const std::string path = StoreReading();
    if (path.empty()) {
      Fail(exitcode::DumpWriteFailed);  // the writer's message stays in the status line
    } else {
      if (!DecodeDump(path)) Fail(exitcode::DecodeFailed);
      if (Progress.Status.Text == texts::ProcessingText) {
        Progress.SetStatus(std::string(texts::SuccessText), ColourProcessing);
        Monitor.Append(std::string(texts::SuccessText) + "\n\r");
        MODBoxChange();
      }
      Progress.Hide();
    }
  }
  if (OnReadingEnded) OnReadingEnded(status);
  if (HasArguments()) {
    Terminate();
  } else {
    Progress.OfferClose();
  }
}

std::string Application::StoreReading() {
  Values.DeviceCode = static_cast<std::uint32_t>(reader_->FamilyCode);
  Values.SerialNumber = reader_->ShortSerial;
  TDumpWriteArgs args;
  args.DeviceCode = Values.DeviceCode;
  args.SerialNumber = Values.SerialNumber;
  args.ReadMode = Panel.RGTask;
  args.ReadTime = clock_.Now();
  args.Now = args.ReadTime;
  storage_ = StorageOptionsFrom(Settings);
  LastDumpPath = WriteDumpFile(Image, args, storage_, Monitor, *statusUi_);
  return LastDumpPath;
}

// --- Command-line mode ---

void Application::Fail(int code) {
  if (exitCode_ == exitcode::Success) exitCode_ = code;
}

bool Application::RequestClose() {
  if (Carrier.OperationRunning()) {
    Carrier.StopForClose();
    return false;
  }
  Close();
  return true;
}

void Application::Close() {
  CloseCarrier();
  Settings.MODBox = Panel.MODBox;
  Settings.PorTelEdit = Utf8Left(Panel.PorTelEdit, 255);
  StoreSettings(Settings, SettingsFilePath(programFolder_));
  AbortReading();
}

// --- The carrier engine ---

void Application::CloseCarrier() {
  CarrierQuery.Busy = 0;
  CarrierState.GoOn = 0;
  if (CarrierThread.Running()) CarrierThread.WaitForThread([this] { ui_.ProcessMessages(); });
  if (!CarrierQuery.IsOpen()) return;
  CarrierWorker::WaitWithMessages(20, [this] { ui_.ProcessMessages(); });  // the port settles
  CarrierQuery.Close();
  CarrierState.PortClosed = 1;
  CarrierState.LtrPortOpen = 0;
}

void Application::SyncCarrier() {
  Carrier.SelectFamily(Panel.MODBox);
  CarrierThread.PortIndex = std::max(0, PortBoxIndex(Panel.ComboBox1));  // item 0 for a name the box lacks
  CarrierSettings& carrier = CarrierThread.Settings;
  carrier.Nkp = {Settings.NKPBaudCode, Settings.NKPTimeOutEdit, Settings.NKPMultiplierEdit, Settings.NKPPovtor};
  carrier.Ltr = {Settings.LTRBaudCode, Settings.LTRTimeOutEdit, Settings.LTRMultiplierEdit, Settings.LTRPovtor};
  carrier.NKPAutoTimeCorrectCB = Settings.NKPAutoTimeCorrectCB;
}

void Application::MODBoxChange() {
  const ModBoxLayout layout = velk::MODBoxChange(Panel, Settings);
  if (layout.DropLtrLink && CarrierState.LtrPortOpen.load()) Carrier.AcLTR_DisConnectExecute();
  SyncCarrier();
  if (layout.StopAutoPoll) SetCarrierAutoPoll(false);
}

void Application::ComboBox1Change(const std::string& portName) {
  velk::ComboBox1Change(Panel, Settings, portName);
  SyncCarrier();
}

void Application::SetCarrierAutoPoll(bool on) {
  if (on && Panel.MODBox == ItemNkp)
    Carrier.PollOnWithStopButton();
  else if (!on)
    Carrier.PollOff();
}

std::string Application::SaveCopiedDump(TDumpImage& image, const CarrierDumpIdentity& id) {
  TDumpWriteArgs args;
  args.DeviceCode = id.DeviceCode;
  args.SerialNumber = id.SerialNumber;
  args.ReadMode = Panel.RGTask;
  args.ReadTime = id.ReadTime;
  args.Now = clock_.Now();
  storage_ = StorageOptionsFrom(Settings);
  return WriteDumpFile(image, args, storage_, Monitor, ui_);
}

void Application::Terminate() { terminated_ = true; }

void Application::RunCommandLine(const std::vector<std::string>& arguments) {
  Panel.MODBox = ItemRs232;
  const CommandLineRequest request = ParseCommandLine(arguments);
  if (!request.Error.empty()) {
    ui_.ShowMessage(request.Error);
    Fail(exitcode::CommandLineError);
    Terminate();
    return;
  }
  if (request.Rs232PortNumber) ComboBox1Change("COM" + std::to_string(*request.Rs232PortNumber));
  bool started = false;
  switch (request.Action) {
    case CommandAction::DecodeDump:
      if (!DecodeDump(CommandLinePath(request.Value))) Fail(exitcode::DecodeFailed);
      break;
    case CommandAction::ReadRs485:
      Panel.MODBox = ItemRs485;
      Panel.LEdSetevoyAdr = request.Address;
      started = StartReading(EndHandler::Ordinary);
      break;
    case CommandAction::ReadModem:
      Panel.MODBox = ItemModem;
      Panel.PorTelEdit = request.Value;
      started = StartReading(EndHandler::Ordinary);
      break;
    case CommandAction::ReadModemRs485:
      Panel.MODBox = ItemModemRs485;
      Panel.PorTelEdit = request.Value;
      Panel.LEdSetevoyAdr = request.Address;
      started = StartReading(EndHandler::Ordinary);
      break;
    case CommandAction::ReadRs232:
      started = StartReading(EndHandler::Ordinary);
      break;
    case CommandAction::TaskFile: {
      const std::filesystem::path file = ToNativePath(CommandLinePath(request.Value), programFolder_);
      if (!std::ifstream(file, std::ios::binary)) {
        ui_.ShowMessage("Task file " + Utf8FromPath(file) + " cannot be opened");
        Fail(exitcode::TaskFileMissing);
        break;
      }
      task_.emplace(file);
      taskIpPortEntry_ = Panel.IP_PortEdit;
      TaskFileProcessing();
      return;
    }
    case CommandAction::None:
      Fail(exitcode::CommandLineError);
      break;
  }
  if (!started) {
    if (request.Action != CommandAction::DecodeDump && request.Action != CommandAction::None) {
      Fail(exitcode::CommandLineError);
    }
    Terminate();
  }
}

void Application::TaskFileProcessing() {
  while (const std::optional<TTaskRecord> record = task_->Next()) {
    ApplyTaskRecord(*record, Settings);
    ApplyTaskRecord(*record, taskIpPortEntry_, Panel);
    if (StartReading(EndHandler::Task)) return;
    Fail(exitcode::TaskReadingFailed);  // this record names no usable link: on to the next
  }
  Terminate();
}

void Application::TaskTerminate() {
  const int status = reader_->Status.load();
  Progress.StopTimers();
  Progress.Caption = std::string(texts::TaskProgressCaption);
  Progress.SetStatus(StatusLineFor(status).Text, StatusLineFor(status).Colour);
  if (status == LinkStatus::Ok) {
    if (StoreReading().empty()) Fail(exitcode::TaskReadingFailed);
  } else {
    Fail(exitcode::TaskReadingFailed);
  }
  if (OnReadingEnded) OnReadingEnded(status);
  Progress.Hide();
  TaskFileProcessing();
}

}  // namespace velk
