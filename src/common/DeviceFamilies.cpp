#include "common/DeviceFamilies.h"

namespace velk {

namespace {

constexpr DeviceFamily Families[] = {
    {1, 49, DeviceKind::OlderHeatMeter, "ВТ-48  ", 0},
    {50, 50, DeviceKind::CompactHeatMeter, "Р-37 МИНИ-", 0},
    {51, 51, DeviceKind::CompactHeatMeter, "Р-37 СПАРКА-", 0},
    {53, 53, DeviceKind::TwoSystemHeatMeter, "ВТ-505 ТАНДЕМ  ", 2},
    {54, 54, DeviceKind::TwoSystemHeatMeter, "ВТ-505 КВАРТА  ", 2},
    {55, 55, DeviceKind::TwoSystemHeatMeter, "ВТ-505 КВАРТА-С  ", 2},
    {56, 56, DeviceKind::TwoSystemHeatMeter, "ВТ-505 ТАНДЕМ-C  ", 2},
    {60, 60, DeviceKind::FlowMeter, "ЗЕНТ-3000-И-", 0},
    {70, 70, DeviceKind::PulseCounter, "Стриж-4", 0},
    {71, 71, DeviceKind::PulseCounter, "Стриж-16", 0},
};

struct TypeByteRow {
  std::uint8_t TypeByte;
  std::uint32_t DeviceCode;
  const char* CarrierListName;  // nullptr: the carrier's file list does not name it
};

// clang-format off
constexpr TypeByteRow TypeBytes[] = {
    {72, 50, nullptr},
    {80, 50, "Р-37 МИНИ - "},
    {107, 50, nullptr},
    {132, 50, nullptr},
    {142, 50, nullptr},
    {165, 50, nullptr},
    {199, 50, nullptr},
    {210, 50, nullptr},
    {81, 51, "Р-37 СПАРКА - "},
    {83, 53, "ВТМ-64 ТАНДЕМ"},
    {84, 54, "ВТМ-64 КВАРТА"},
    {85, 55, "ВТМ-64 КВАРТА-С"},
    {86, 56, "ВТМ-64 ТАНДЕМ-С"},
    {96, 60, "ЗЕНТ-3000-И - "},
    {112, 70, "СТРИЖ-4"},
    {113, 71, "СТРИЖ-16"},
};
// clang-format on

const TypeByteRow* FindTypeByte(std::uint8_t typeByte) {
  for (const TypeByteRow& row : TypeBytes)
    if (row.TypeByte == typeByte) return &row;
  return nullptr;
}

}  // namespace

const DeviceFamily* FindDeviceFamily(std::uint32_t deviceCode) {
  for (const DeviceFamily& family : Families)
    if (deviceCode >= family.FirstCode && deviceCode <= family.LastCode) return &family;
  return nullptr;
}

const char* DeviceTypeName(std::uint32_t deviceCode) {
  const DeviceFamily* family = FindDeviceFamily(deviceCode);
  return family ? family->TypeName : "";
}

std::optional<std::uint32_t> DeviceCodeOfTypeByte(std::uint8_t typeByte) {
  if (const TypeByteRow* row = FindTypeByte(typeByte)) return row->DeviceCode;
  if (typeByte >= 1 && typeByte <= 49) return typeByte;
  return std::nullopt;
}

const char* CarrierListName(std::uint8_t typeByte) {
  const TypeByteRow* row = FindTypeByte(typeByte);
  return row ? row->CarrierListName : nullptr;
}

}  // namespace velk
