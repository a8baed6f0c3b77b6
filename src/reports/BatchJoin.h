// "Соединить файлы": converts every numbered dump of a folder again, lowest
// number first, with joining forced on, so that each report file is joined to
// the one before it and the hourly archive runs across all readings.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/StorageOptions.h"
#include "common/UserInterface.h"
#include "decode/DecodeDumpFile.h"

namespace velk {

struct NumberedDump {
  std::string Name;  // file name without folder
  int Number = 0;    // the NNN of "-NNN.dat"
};

// The names that qualify, stably sorted by number: the first "." of the name
// starts ".dat" (case-sensitive) and is preceded by "-" and three characters.
// nullopt, with `badName` set, when those three characters are not digits.
std::optional<std::vector<NumberedDump>> QualifyingDumps(std::vector<std::string> names,
                                                         std::string* badName);

struct BatchJoinProgress {
  std::string Path;          // the dump, path text
  std::size_t Position = 0;  // 1-based, in number order
  std::size_t Total = 0;     // qualifying dumps of the folder
  bool Converted = false;
};

struct BatchJoinHooks {
  // The carrier auto-poll, stopped before and restarted after a batch that ran to its end.
  std::function<void()> StopAutoPoll;
  std::function<void()> RestartAutoPoll;
  // Told each dump's path before it is converted; false stops the batch there
  // (TSVCnc restored, the auto-poll restarted, Stopped set).
  std::function<bool(const std::string& path)> BeforeDump;
  // After each dump the converter has returned from (not after one whose report files failed).
  std::function<void(const BatchJoinProgress&)> DumpDone;
};

struct BatchJoinResult {
  int Converted = 0;                // dumps the dispatcher converted
  std::vector<std::string> Failed;  // dumps it could not convert (it has told the user why)
  std::string StoppedAt;            // the dump whose report files failed, ending the batch
  std::string Error;                // why the batch stopped; empty when it ran to its end
  bool Stopped = false;             // BeforeDump stopped it between two dumps
};

// `convert` decodes one dump (path text) and writes its report files; false
// when it could not, an exception when a report file failed. `options` is
// the settings the converter reads: TSVCnc is forced on for each dump and
// restored afterwards, also when the batch stops.
BatchJoinResult JoinFilesInFolder(const std::string& folder, StorageOptions& options,
                                  const std::function<bool(const std::string& path)>& convert,
                                  UserInterface& ui, const BatchJoinHooks& hooks = {});

// The same with the decode dispatcher; ctx.Options must be `options`.
BatchJoinResult JoinFilesInFolder(const std::string& folder, StorageOptions& options, TDecodeContext& ctx,
                                  const BatchJoinHooks& hooks = {});

}  // namespace velk
