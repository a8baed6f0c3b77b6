#include "reports/BatchJoin.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "common/NativePath.h"
#include "common/Text1251.h"
#include "decode/DecodeTexts.h"
#include "reports/ReportNames.h"

namespace velk {
namespace {

// Puts the joining setting back however the batch ends.
class ForcedJoining {
 public:
  explicit ForcedJoining(StorageOptions& options) : options_(options), saved_(options.TSVCnc) {}
  ~ForcedJoining() { options_.TSVCnc = saved_; }
  void On() { options_.TSVCnc = true; }

 private:
  StorageOptions& options_;
  bool saved_;
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<std::vector<NumberedDump>> QualifyingDumps(std::vector<std::string> names,
                                                         std::string* badName) {
  std::vector<NumberedDump> dumps;
  for (const std::string& name : names) {
    // One byte per character, as the names are compared character by character.
    const std::string text = Utf8ToCp1251(name);
    const std::size_t p = text.find('.');
    if (p == std::string::npos || p < 4 || text.compare(p, 4, ".dat") != 0 || text[p - 4] != '-') continue;
    const std::string digits = text.substr(p - 3, 3);
    if (!std::all_of(digits.begin(), digits.end(), IsDigit)) {
      if (badName) *badName = name;
      return std::nullopt;
    }
    dumps.push_back({name, std::stoi(digits)});
  }
  std::stable_sort(dumps.begin(), dumps.end(),
                   [](const NumberedDump& a, const NumberedDump& b) { return a.Number < b.Number; });
  return dumps;
}

BatchJoinResult JoinFilesInFolder(const std::string& folder, StorageOptions& options,
                                  const std::function<bool(const std::string& path)>& convert,
                                  UserInterface& ui, const BatchJoinHooks& hooks) {
  BatchJoinResult result;
  if (hooks.StopAutoPoll) hooks.StopAutoPoll();
  ForcedJoining joining(options);

  // Files of the folder in name order, so that equal numbers keep a fixed order.
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(ToNativePath(folder), ec))
    if (entry.is_regular_file(ec)) names.push_back(Utf8FromPath(entry.path().filename()));
  std::sort(names.begin(), names.end());

  std::string badName;
  const auto dumps = QualifyingDumps(names, &badName);
  if (!dumps) {
    result.StoppedAt = badName;
    result.Error = std::string(texts::DecodeFailedMessage) + ": '" + badName + "'";
    ui.ShowMessage(result.Error);
    return result;
  }
  for (std::size_t i = 0; i < dumps->size(); ++i) {
    const NumberedDump& dump = (*dumps)[i];
    joining.On();
    const std::string path = JoinPathText(folder, dump.Name);
    if (hooks.BeforeDump && !hooks.BeforeDump(path)) {
      result.Stopped = true;
      break;
    }
    try {
      const bool converted = convert(path);
      if (converted)
        ++result.Converted;
      else
        result.Failed.push_back(dump.Name);
      if (hooks.DumpDone) hooks.DumpDone({path, i + 1, dumps->size(), converted});
    } catch (const std::exception& error) {
      result.StoppedAt = dump.Name;
      result.Error = path + ": " + error.what();
      ui.ShowMessage(result.Error);
      return result;
    }
  }
  if (hooks.RestartAutoPoll) hooks.RestartAutoPoll();
  return result;
}

BatchJoinResult JoinFilesInFolder(const std::string& folder, StorageOptions& options, TDecodeContext& ctx,
                                  const BatchJoinHooks& hooks) {
  return JoinFilesInFolder(
      folder, options,
      [&ctx](const std::string& path) {
        std::string reportFolder;
        return DecodeDumpFile(ctx, path, reportFolder);
      },
      ctx.Ui, hooks);
}

}  // namespace velk
