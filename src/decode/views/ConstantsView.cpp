#include "decode/views/ConstantsView.h"

#include <array>
#include <cmath>

#include "common/NumberFormat.h"
#include "decode/ImageReader.h"
#include "decode/views/CellFormat.h"
#include "decode/views/DeviceGroup.h"
#include "decode/views/ViewTexts.h"

namespace velk {

namespace {

namespace vt = viewtext;

// Which groups a family shows; the pulse prices as the channels shown.
struct GroupVisibility {
  bool HourDescriptor, DayDescriptor, V1Coefficients, T1T2, T3, T4, P1P2, P3, P4, Status;
  std::array<bool, 5> Prices;
};

GroupVisibility VisibilityOf(DeviceGroup group) {
  constexpr std::array<bool, 5> all{true, true, true, true, true}, none{},
      first3{true, true, true, false, false}, second2{false, true, true, false, false},
      firstOnly{true, false, false, false, false};
  switch (group) {
    case DeviceGroup::Older:
      return {true, false, false, true, true, false, true, false, false, false, all};
    case DeviceGroup::Compact:
      return {true, true, true, true, false, false, false, false, false, false, second2};
    case DeviceGroup::Tandem:
      return {true, true, false, true, true, true, true, true, true, true, all};
    case DeviceGroup::Kvarta:
      return {true, true, false, true, true, false, true, true, false, true, first3};
    case DeviceGroup::KvartaS:
      return {true, true, false, true, true, false, false, false, false, true, first3};
    case DeviceGroup::TandemC:
      return {true, true, false, true, true, true, false, false, false, true, all};
    case DeviceGroup::PulseCounter:
      return {true, false, false, false, false, false, false, false, false, false, none};
    case DeviceGroup::FlowMeter:
      return {true, false, false, false, false, false, false, false, false, false, firstOnly};
    case DeviceGroup::Unknown:
      break;
  }
  return {false, false, false, false, false, false, false, false, false, false, none};
}

// Coefficients in scientific notation; a zero shows as "0".
std::string Coefficient(double value) {
  return value == 0 ? std::string("0") : FormatFloat("#.###E-0", value);
}

std::string Decimal(long long value) { return std::to_string(value); }

TEditBox Group(std::string name, std::string caption, bool visible) {
  TEditBox box;
  box.Name = std::move(name);
  box.Caption = std::move(caption);
  box.Visible = visible;
  return box;
}

TEditBox IdentificationGroup(const ImageReader& ee, const TDecodedValues& v, DeviceGroup group) {
  TEditBox box = Group("Identification", "", true);
  const bool older = group == DeviceGroup::Older;
  const bool compact = group == DeviceGroup::Compact;
  const bool pulse = group == DeviceGroup::PulseCounter;
  std::string ver = v.SchemeName1 + vt::SchemeJoin + v.SchemeName2;
  if (compact || group == DeviceGroup::FlowMeter) ver = v.SchemeName1;
  if (pulse) ver = FormatFloat("##00.##", v.FirmwareVersion);
  box.Edits = {
      {"Edit48", vt::ConstType, older ? Decimal(v.DeviceCode) : HexText(ee.Ee(0), 2), true},
      {"Edit2", vt::ConstRamStart, HexText(ee.EeUInt(4, 2), 4), !older},
      {"Edit32", vt::ConstVer, ver, true},
      {"Edit49", vt::ConstFirmware, FormatFloat("#.#", v.FirmwareVersion), true},
      {"Edit5", vt::ConstEepromSize, older ? std::string("16384") : Decimal(ee.EeUInt(6, 3)), true},
      {"Edit7", vt::ConstDisplayTime, Decimal(ee.Ee(22)), !older},
      {"LEdit6", pulse ? vt::ConstChannelCount : vt::ConstColdWater,
       pulse ? Decimal(v.ChannelCount) : FormatFloat("#0.##", v.ColdWaterTemp), true},
  };
  if (compact) {
    box.Edits.push_back({"LEdit50", vt::ConstReturnCold, Decimal(ee.Ee(20)), true});
    box.Edits.push_back({"Edit51", vt::ConstMonthDay, HexText(ee.Ee(23), 2), true});
  } else if (pulse) {
    const std::uint8_t flags = ee.Ee(0);
    box.Edits.push_back(
        {"LEdit50", vt::ConstFlags,
         std::string((flags & 0x40) ? vt::YesSlash : vt::NoSlash) + ((flags & 0x80) ? vt::Yes : vt::No),
         true});
  }
  return box;
}

// First record, last byte, next record at the previous reading, next record, record length.
TEditBox DescriptorGroup(const char* name, const char* caption, bool visible, const ImageReader& ee,
                         std::array<const char*, 5> edits, int base, int lengthAddress) {
  TEditBox box = Group(name, caption, visible);
  const int offsets[4] = {0, 3, 6, 9};
  for (int i = 0; i < 4; ++i)
    box.Edits.push_back({edits[i], "", HexText(ee.EeUInt(base + offsets[i], 3), 6), true});
  box.Edits.push_back({edits[4], "", Decimal(ee.Ee(lengthAddress)), true});
  return box;
}

// The older meters keep a fixed ring; only the next-record pointer is read (EEPROM 256).
TEditBox OlderHourDescriptor(const ImageReader& ee) {
  TEditBox box = Group("HourDescriptor", vt::ConstHourDescriptor, true);
  box.Edits = {{"Edit38", "", vt::OldHourFirst, true},
               {"Edit39", "", vt::OldHourLast, true},
               {"Edit42", "", "", false},
               {"Edit40", "", HexText(ee.EeUInt(256, 2), 4), true},
               {"Edit41", "", "13", true}};
  return box;
}

TEditBox TemperatureGroup(int sensor, bool visible, const ImageReader& ee) {
  TEditBox box = Group("T" + std::to_string(sensor + 1), "T" + std::to_string(sensor + 1), visible);
  const int base = 32 + 16 * sensor;
  const double v[4] = {static_cast<double>(ee.EeUInt(base, 3)), static_cast<double>(ee.EeUInt(base + 3, 3)),
                       static_cast<double>(ee.EeUInt(base + 6, 3)),
                       static_cast<double>(ee.EeUInt(base + 9, 3))};
  const double values[4] = {v[0] / std::ldexp(1.0, 60), v[1] / std::ldexp(1.0, 36),
                            v[2] / std::ldexp(1.0, 28), (v[3] - 16777215.0) / 65536.0};
  for (int i = 0; i < 4; ++i)
    box.Edits.push_back({"Edit" + std::to_string(8 + 4 * sensor + i), vt::ConstCoefficientLetters[i],
                         Coefficient(values[i]), true});
  return box;
}

TEditBox PressureGroup(int sensor, bool visible, const ImageReader& ee) {
  TEditBox box = Group("P" + std::to_string(sensor + 1), "P" + std::to_string(sensor + 1), visible);
  const int base = 96 + 4 * sensor;
  for (int i = 0; i < 2; ++i)
    box.Edits.push_back({"Edit" + std::to_string(24 + 2 * sensor + i), vt::ConstCoefficientLetters[i],
                         Coefficient(ee.EeUInt(base + 2 * i, 2) / 16.0), true});
  return box;
}

// Words A, B and T of the flow channel V1 of the compact meters, then its scale.
TEditBox ChannelV1Group(bool visible, const ImageReader& ee, const TDecodedValues& v) {
  TEditBox box = Group("ChannelV1Coefficients", vt::ConstV1Coefficients, visible);
  const double multiplier = v.VolumeMultiplier1;
  for (int i = 0; i < 11; ++i) {
    const std::string label = vt::ConstV1CoefficientLabels[i];
    const double word = ee.EeUInt(64 + 2 * i, 2);
    double value = word / 16384.0;
    if (label[0] == 'A') value = word * 3600 / 32768 * multiplier;
    if (label[0] == 'B')
      value = (static_cast<std::uint32_t>(word) & 0x8000 ? word * 3600 - 235926000 : word * 3600) / 32768 *
              multiplier;
    box.Edits.push_back({"Edit" + std::to_string(52 + i), label, FormatFloat("#0.###", value), true});
  }
  box.Edits.push_back({"Edit63", vt::ConstV1CoefficientLabels[11], Decimal(v.VolumeMultiplier1), true});
  return box;
}

TEditBox PriceGroup(const GroupVisibility& shown, const TDecodedValues& v) {
  const double prices[5] = {v.PulsePrice1, v.PulsePrice2, v.PulsePrice3, v.PulsePrice4, v.PulsePrice5};
  bool any = false;
  for (bool b : shown.Prices) any = any || b;
  TEditBox box = Group("PulsePrices", vt::ConstPulsePrice, any);
  for (int i = 0; i < 5; ++i)
    box.Edits.push_back({"Edit" + std::to_string(33 + i), "V" + std::to_string(i + 1),
                         FormatFloat("###0.##", prices[i]), shown.Prices[static_cast<std::size_t>(i)]});
  return box;
}

TEditBox StatusGroup(bool visible, const TDecodedValues& v) {
  TEditBox box = Group("Status", "", visible);
  box.Edits = {{"Label242", vt::ConstTestMode, v.TestMode ? vt::On : vt::Off, true},
               {"Label243", vt::ConstWriteEnable, v.WriteEnable ? vt::On : vt::Off, true}};
  return box;
}

}  // namespace

const TEditBox* TConstantsView::Find(const std::string& groupName) const {
  for (const auto& group : Groups)
    if (group.Name == groupName) return &group;
  return nullptr;
}

TConstantsView BuildConstantsView(const TDumpImage& image, const TDecodedValues& v) {
  const ImageReader ee(image.Bytes());
  const DeviceGroup group = GroupOf(v.DeviceCode);
  const GroupVisibility shown = VisibilityOf(group);
  TConstantsView view;
  view.Groups.push_back(IdentificationGroup(ee, v, group));
  if (group == DeviceGroup::Older) {
    view.Groups.push_back(OlderHourDescriptor(ee));
  } else {
    view.Groups.push_back(DescriptorGroup("HourDescriptor", vt::ConstHourDescriptor, shown.HourDescriptor, ee,
                                          {"Edit38", "Edit39", "Edit42", "Edit40", "Edit41"}, 128, 143));
  }
  view.Groups.push_back(DescriptorGroup("DayDescriptor", vt::ConstDayDescriptor, shown.DayDescriptor, ee,
                                        {"Edit43", "Edit44", "Edit47", "Edit45", "Edit46"}, 192, 207));
  view.Groups.push_back(ChannelV1Group(shown.V1Coefficients, ee, v));
  const bool temperatures[4] = {shown.T1T2, shown.T1T2, shown.T3, shown.T4};
  for (int t = 0; t < 4; ++t) view.Groups.push_back(TemperatureGroup(t, temperatures[t], ee));
  const bool pressures[4] = {shown.P1P2, shown.P1P2, shown.P3, shown.P4};
  for (int p = 0; p < 4; ++p) view.Groups.push_back(PressureGroup(p, pressures[p], ee));
  view.Groups.push_back(PriceGroup(shown, v));
  view.Groups.push_back(StatusGroup(shown.Status, v));
  return view;
}

}  // namespace velk
