#include "carrier/CarrierCommandLine.h"

#include <algorithm>
#include <ostream>
#include <set>

#include "carrier/CarrierOperations.h"

namespace velk {

namespace {

// Message boxes become lines on the error stream; the dialogs get the answers a script wants.
class ConsoleCarrierView final : public CarrierPageView {
 public:
  explicit ConsoleCarrierView(std::ostream& err) : err_(err) {}
  void ShowMessage(const std::string& text) override {
    std::string lines = text;
    std::replace(lines.begin(), lines.end(), '\r', '\n');
    err_ << lines << "\n";
  }
  // A file that cannot be copied is passed over.
  BadTypeChoice AskBadType(const std::string&) override { return BadTypeChoice::Continue; }
  // The memory check runs its restore ("Выполнить").
  bool AskCheckMemory(int) override { return true; }

 private:
  std::ostream& err_;
};

bool Value(const std::string& arg, const std::string& name, std::string& value) {
  const std::string prefix = "--" + name + "=";
  if (arg.rfind(prefix, 0) != 0) return false;
  value = arg.substr(prefix.size());
  return true;
}

// "all" or "1,3,5": the grid rows; empty when the text is not such a list.
std::optional<std::set<int>> ParseRows(const std::string& text, int fileCount) {
  std::set<int> rows;
  if (text == "all") {
    for (int r = 1; r <= fileCount; ++r) rows.insert(r);
    return rows;
  }
  std::size_t pos = 0;
  while (pos <= text.size()) {
    const std::size_t comma = std::min(text.find(',', pos), text.size());
    const std::string item = text.substr(pos, comma - pos);
    if (item.empty() || item.find_first_not_of("0123456789") != std::string::npos || item.size() > 5)
      return std::nullopt;
    rows.insert(std::stoi(item));
    pos = comma + 1;
  }
  return rows;
}

void PrintGrid(const CarrierPageState& page, int files, std::ostream& out) {
  for (int row = 0; row <= files; ++row) {
    const auto& cells = page.Grid.Row(row);
    for (std::size_t c = 0; c < cells.size(); ++c) out << (c ? "\t" : "") << cells[c];
    out << "\n";
  }
  for (const auto* label : {&page.Label2, &page.Label3, &page.Label12})
    if (label->Visible) out << label->Text << "\n";
  if (page.ClockGroupVisible) out << page.Edit1 << "\n";
}

}  // namespace

bool IsCarrierCommandLine(const std::vector<std::string>& args) {
  return std::any_of(args.begin(), args.end(), [](const std::string& a) { return a.rfind("--carrier=", 0) == 0; });
}

int RunCarrierCommandLine(const std::vector<std::string>& args, CarrierCommandLineContext& ctx) {
  std::string family, port, value;
  std::vector<std::string> action;
  for (const auto& arg : args) {
    if (Value(arg, "carrier", value))
      family = value;
    else if (Value(arg, "port", value))
      port = value;
    else
      action.push_back(arg);
  }
  auto usage = [&](const std::string& why) {
    ctx.Err << "velkreader: " << why << "\n"
            << "usage: --carrier=nkp|ltr --port=COM<n> list | copy ROWS | copy-delete ROWS | delete ROWS | "
               "undelete BLOCK | clear | check | clock\n";
    return CarrierExitUsage;
  };
  if (family != "nkp" && family != "ltr") return usage("--carrier must be nkp or ltr");
  const bool nkp = family == "nkp";
  int portNumber = 0;
  if (port.size() < 4 || port.rfind("COM", 0) != 0 || port.find_first_not_of("0123456789", 3) != std::string::npos ||
      port.size() > 8 || (portNumber = std::stoi(port.substr(3))) < 1)
    return usage("--port must be COM<n> with n >= 1");
  if (action.empty()) return usage("no action given");
  const std::string verb = action[0];
  static const std::set<std::string> withArgument = {"copy", "copy-delete", "delete", "undelete"};
  static const std::set<std::string> withoutArgument = {"list", "clear", "check", "clock"};
  if (withArgument.count(verb) ? action.size() != 2 : (!withoutArgument.count(verb) || action.size() != 1))
    return usage("wrong action");
  if (nkp && (verb == "copy-delete" || verb == "delete" || verb == "undelete"))
    return usage(verb + " works with the ltr carriers only");
  if (!nkp && verb == "check") return usage("check works with the nkp carrier only");

  CarrierLinkState state;
  TComPortQuery query(ctx.Ports);
  CarrierWorker worker({state, query, ctx.Image, ctx.Ui, ctx.PresentClock});
  worker.Settings = ctx.Settings;
  // A script corrects the carrier clock only when it asks to.
  worker.Settings.NKPAutoTimeCorrectCB = false;
  worker.PortIndex = portNumber - 1;
  ConsoleCarrierView view(ctx.Err);
  CarrierOperations ops(worker, view, ctx.Store);
  ops.ModBox = nkp ? ModBoxNkp : ModBoxLtr;

  ops.ReadSPBtnClick();
  if (ops.Disconnected) {
    if (ops.LastResult == CarrierResultPortFailed)
      ctx.Err << port << ": " << "the port cannot be opened" << "\n";
    return CarrierExitFailed;
  }
  auto files = [&] { return nkp ? state.FileCount - 1 : state.FileCount; };
  auto disconnect = [&] {
    if (nkp) {
      if (!ops.Disconnected) ops.NKPDisConnect(true);
    } else if (state.LtrPortOpen.load()) {
      ops.AcLTR_DisConnectExecute();
    }
  };

  int result = CarrierExitOk;
  if (verb == "list") {
    PrintGrid(ops.Page, files(), ctx.Out);
  } else if (withArgument.count(verb) && verb != "undelete") {
    const auto rows = ParseRows(action[1], files());
    if (!rows) {
      disconnect();
      return usage("ROWS must be all or row numbers separated by commas");
    }
    ops.Page.Grid.ClearSelection();
    for (int r : *rows) {
      if (r < 1 || r > files()) {
        disconnect();
        ctx.Err << "velkreader: the carrier has no file row " << r << "\n";
        return CarrierExitFailed;
      }
      ops.Page.Grid.SetSelected(r, true);
    }
    ops.Page.Grid.CurrentRow = rows->empty() ? 1 : *rows->begin();
    if (verb == "copy")
      ops.AcNKPCopuFileExecute();
    else if (verb == "copy-delete")
      ops.AcLTR_CopyDelExecute();
    else
      ops.AcLTR_DelFileExecute();
  } else if (verb == "undelete") {
    const std::string& b = action[1];
    if (b.empty() || b.size() > 3 || b.find_first_not_of("0123456789") != std::string::npos ||
        std::stoi(b) >= ops.MemorySize) {
      disconnect();
      return usage("BLOCK must be a block number of the carrier's memory");
    }
    const auto [row, col] = LtrMemMap::CellOfBlock(std::stoi(b));
    ops.LTRMemGridSelectCell(row, col);
    ops.AcLTR_UnEraseExecute();
  } else if (verb == "clear") {
    if (nkp)
      ops.BitBtn1Click();
    else
      ops.AcLTR_ClearMemExecute();
  } else if (verb == "check") {
    ops.Button2Click();
  } else if (verb == "clock") {
    if (nkp)
      ops.NKPDtTmSetClick();
    else
      ops.AcLTR_DateTimeCorrectExecute();
  }
  if (ops.LastResult != 0 || ops.Disconnected) result = CarrierExitFailed;
  disconnect();
  return result;
}

}  // namespace velk
