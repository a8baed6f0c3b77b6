// Copied carrier files stored and decoded as after a direct reading: the dump
// file writer, then the decode dispatcher with its report files.
#pragma once

#include <string>
#include <vector>

#include "carrier/CarrierPage.h"
#include "common/ExchangeMonitor.h"
#include "decode/DecodeDumpFile.h"

namespace velk {

class DumpFileCarrierStore final : public CarrierFileStore {
 public:
  DumpFileCarrierStore(TDecodeContext& decode, ExchangeMonitor& monitor) : decode_(decode), monitor_(monitor) {}

  std::string SaveDump(TDumpImage& image, const CarrierDumpIdentity& id) override;
  void Decode(const std::string& path) override;

  // The dumps written and the report folder of the last decode.
  std::vector<std::string> SavedPaths;
  std::string LastFolder;

 private:
  TDecodeContext& decode_;
  ExchangeMonitor& monitor_;
};

}  // namespace velk
