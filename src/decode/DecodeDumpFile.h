// The decode dispatcher: reads a raw dump file, finds the device family from
// its type byte, runs the family decoder and then the report files.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "common/Clock.h"
#include "common/DumpImage.h"
#include "common/StorageOptions.h"
#include "common/UserInterface.h"
#include "decode/DecodedValues.h"
#include "decode/DecoderTable.h"
#include "decode/DerivedFiles.h"

namespace velk {

struct TDecodeContext {
  TDumpImage& Image;
  TDecodedValues& Values;
  const StorageOptions& Options;
  UserInterface& Ui;
  DerivedFiles* Derived = nullptr;    // nullptr: no report files
  bool HasCommandLineArguments = false;  // without them the reports are shown in their tabs
  const Clock& PresentClock;        // the computer's present time
  int ReadMode = 0;                   // item index of the read-mode group
};

// Decodes the dump file at `path` and writes its report files; `folder`
// receives the folder the reports went to (path text as in the settings).
// false when the file could not be read, its device is unknown or the
// decoder failed; the user has then been told why.
bool DecodeDumpFile(TDecodeContext& ctx, const std::string& path, std::string& folder);

// The naming steps, exposed for the callers that need them alone.
struct TDerivedNames {
  std::string BaseName;  // path of the dump with "-000" inserted where it has no -NNN
  std::string Folder;    // folder of the report files
  int RecordNumber = 0;  // NNN of -NNN.ext, -1 for ".dtm"
};
TDerivedNames DeriveNames(const std::string& path, const StorageOptions& options);

// True when the decoded meter has a second heat system with its own -02.tsv
// report: codes 53 and 56, and codes 1..49 with a two-circuit first scheme
// (SchemeA2, SchemeA3p, SchemeA3o).
bool HasSecondSystem(const TDecodedValues& values);

// The device code of a type byte (image byte 128); nullopt for an unlisted
// byte. Type byte 0 is resolved by the caller from the text header.
std::optional<std::uint32_t> DeviceCodeOfTypeByte(std::uint8_t typeByte);

// The decode stage on the image as it stands: the device code from the type
// byte (or the text header), fresh values, the family decoder. false, with a
// message to the user, for an unknown device or a decoder failure.
bool DecodeLoadedImage(TDecodeContext& ctx);

}  // namespace velk
