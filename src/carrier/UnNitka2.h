// TNitka2: the short-lived worker that runs one carrier command (one request,
// or one loop of block requests) with the query engine, and the main-thread
// side that starts it and waits for it while pumping the caller's events.
#pragma once

#include <functional>
#include <thread>

#include "carrier/CarrierLinkState.h"
#include "carrier/ComPortQuery.h"
#include "common/Clock.h"
#include "common/DumpImage.h"
#include "common/UserInterface.h"

namespace velk {

// The link parameters of one carrier family, from the settings record.
struct CarrierLinkSettings {
  int BaudCode = 9;
  int AnswerWaitMs = 100;  // NKPTimeOutEdit / LTRTimeOutEdit
  int ByteWaitMs = 100;    // NKPMultiplierEdit / LTRMultiplierEdit
  int Retries = 5;         // NKPPovtor / LTRPovtor
};

struct CarrierSettings {
  CarrierLinkSettings Nkp{13, 60, 60, 5};
  CarrierLinkSettings Ltr{9, 100, 100, 5};
  bool NKPAutoTimeCorrectCB = true;
};

// Fills code, param, count and extra of `state` for its command; "now" comes
// from the clock. Command 4 also lengthens the first-byte wait to 4000 ms.
void PrepareCommand(CarrierLinkState& state, TComPortQuery& query, const Clock& clock);

// Day of week with 1 = Sunday … 7 = Saturday.
int DayOfWeekSundayFirst(TDateTime value);

// Everything a worker touches.
struct CarrierContext {
  CarrierLinkState& State;
  TComPortQuery& Query;
  TDumpImage& Image;
  UserInterface& Ui;
  const Clock& PresentClock;
};

class TNitka2 {
 public:
  explicit TNitka2(CarrierContext ctx) : ctx_(ctx) {}
  void Execute();

 private:
  int RunCommand();
  int ReadFileHeaders();  // command 3
  int CopyFileBlocks();   // command 5
  bool OpenNkpPort();
  void CloseNkpPort();

  CarrierContext ctx_;
};

// The main-thread side: starts one worker per command and waits for it.
class CarrierWorker {
 public:
  explicit CarrierWorker(CarrierContext ctx) : ctx_(ctx) {}
  ~CarrierWorker();  // stops the worker's loops and waits for it, pumping messages
  CarrierWorker(const CarrierWorker&) = delete;
  CarrierWorker& operator=(const CarrierWorker&) = delete;

  CarrierSettings Settings;
  int PortIndex = 0;  // index of the port box: the port is "COM" + (index + 1)
  std::string PortName() const { return "COM" + std::to_string(PortIndex + 1); }

  // Configures the engine for the family and starts the worker, once the
  // previous one has ended (waiting for it while pumping messages).
  void StartCarrierCommand(int command, bool ltr, bool ltr2, bool nkp);
  // Thread done := 1 (runs on the main thread at the worker's end).
  void Nitka2Term();
  bool Running() const { return ctx_.State.ThreadDone.load() == 0; }
  // Pumps events (calling tick after each round) until thread done.
  void WaitForThread(const std::function<void()>& pump, const std::function<void()>& tick = {});
  // Sleeps in 10 ms steps, pumping events, until ms have passed.
  static void WaitWithMessages(int ms, const std::function<void()>& pump);

  CarrierContext& Context() { return ctx_; }

 private:
  // Waits for the last worker while pumping messages (its end arrives through Synchronize).
  void JoinPumping();

  CarrierContext ctx_;
  std::thread thread_;
};

}  // namespace velk
