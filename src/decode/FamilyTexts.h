// Texts written by the decoders of the older, compact and flow meters (generated; do not retype).
#pragma once

namespace velk::familytext {

inline constexpr const char* OldTypeOpen = "  (";
inline constexpr const char* OldTypeClose = ")";
inline constexpr const char* SchemeVCyrillic = "В";
inline constexpr const char* SchemeBLatin = "B";
inline constexpr const char* SchemeA3cLatin = "А3c";
inline constexpr const char* CompactSizes[] = {"15", "20", "25", "32", "40", "50", "65", "80", "100"};
inline constexpr const char* FlowMeterSizes[] = {"15", "20", "25", "32", "40", "50", "65", "80", "100", "150", "200"};

}  // namespace velk::familytext
