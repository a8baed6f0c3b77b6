// Configuring the reader thread for a direct reading from the settings
// record and the read panel, one column per link (MODBox items 0..6).
#pragma once

#include <string>

#include "app/ReadPanel.h"
#include "app/SettingsRecord.h"
#include "link/UnConnectTread.h"

namespace velk {

enum class ProgressViewKind { Reading, Dialling };

struct AdjustmentResult {
  // Non-empty when an edit holds no usable number or the item is no direct
  // link; the thread must then not be started.
  std::string Error;
  ProgressViewKind View = ProgressViewKind::Reading;
};

AdjustmentResult ConnectTreadAdjustment(TConnectTread& thread, const TSettingsRecord& settings,
                                        const ReadPanel& panel);

// A decimal integer (surrounding blanks allowed); nullopt for anything else.
std::optional<long long> ParseInteger(const std::string& text);
// The standard conversion error for a text that is no integer.
std::string NotAValidInteger(const std::string& text);

}  // namespace velk
