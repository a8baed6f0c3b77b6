// The device families as the data views tell them apart.
#pragma once

#include <cstdint>

namespace velk {

enum class DeviceGroup {
  Older,         // 1..49
  Compact,       // 50, 51
  Tandem,        // 53
  Kvarta,        // 54
  KvartaS,       // 55
  TandemC,       // 56
  FlowMeter,     // 60
  PulseCounter,  // 70, 71
  Unknown,
};

constexpr DeviceGroup GroupOf(std::uint32_t deviceCode) {
  if (deviceCode >= 1 && deviceCode <= 49) return DeviceGroup::Older;
  switch (deviceCode) {
    case 50:
    case 51:
      return DeviceGroup::Compact;
    case 53:
      return DeviceGroup::Tandem;
    case 54:
      return DeviceGroup::Kvarta;
    case 55:
      return DeviceGroup::KvartaS;
    case 56:
      return DeviceGroup::TandemC;
    case 60:
      return DeviceGroup::FlowMeter;
    case 70:
    case 71:
      return DeviceGroup::PulseCounter;
    default:
      return DeviceGroup::Unknown;
  }
}

// The two-system heat meter family, 53..56.
constexpr bool IsFamily5(DeviceGroup g) {
  return g == DeviceGroup::Tandem || g == DeviceGroup::Kvarta || g == DeviceGroup::KvartaS ||
         g == DeviceGroup::TandemC;
}

}  // namespace velk
