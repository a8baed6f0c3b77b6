// The values decoded from one meter image: identification, the values the
// meter displayed at reading, totals, channel constants and the hour and day
// archives. The application owns one instance; every decode overwrites it and
// the views and report builders read it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "common/DateTime.h"

namespace velk {

constexpr int PulseChannelCapacity = 16;
constexpr int DayRecordCapacity = 1000;

// One archive record, hourly or daily. Day records leave Ubat and
// ChannelVolumes unused; ChannelVolumes are filled by the pulse counters only,
// V1..V3 by the older heat meters and the flow meter.
struct TArchiveRecord {
  TDateTime Stamp = 0;
  double Q1 = 0, Q2 = 0;
  double T1 = 0, T2 = 0, T3 = 0, T4 = 0;
  double G1 = 0, G2 = 0, G3 = 0, G4 = 0;
  double V1 = 0, V2 = 0, V3 = 0, V5 = 0;
  double P1 = 0, P2 = 0, P3 = 0, P4 = 0;
  std::uint8_t K1 = 0, K2 = 0;  // error situation codes of system 1 and 2
  std::int32_t WorkMin1 = 0, WorkMin2 = 0;
  double Ubat = 0;
  std::uint8_t IsBlank = 0;  // erased memory (all 0xFF, 0xAA or 0x55)
  std::uint8_t IsEmpty = 0;  // no usable date: shown as "Нет" / "данных"
  std::uint8_t IsRtc = 0;    // clock-setting record
  std::uint8_t IsReset = 0;  // clock record written by a reset
  std::int32_t EeAddress = 0;
  std::string DateText;  // dd.mm.yyyy, or "Нет"
  std::string TimeText;  // hh:mm:ss, or "данных"
  std::array<double, PulseChannelCapacity> ChannelVolumes{};  // hourly volume per pulse channel
};

using HourRecord = TArchiveRecord;
using DayRecord = TArchiveRecord;

struct TDecodedValues {
  // Internal device family code: 1..49, 50, 51, 53..56, 60, 70, 71 (0 before the first decode).
  std::uint32_t DeviceCode = 0;

  // Identification.
  std::uint16_t SerialNumber = 0;
  std::string SchemeName1, SchemeName2;
  // Scheme codes written into the report files; -1 when not recognised.
  std::int32_t SchemeCode1 = -1, SchemeCode2 = -1;
  double FirmwareVersion = 0;
  std::string NominalSize;  // up to 3 characters
  std::int32_t SizeIndex = 0;  // nominal-size index of the compact heat meters and the flow meter
  std::int32_t ChannelCount = 0;
  TDateTime MeterClock = 0;
  std::string MeterDateText, MeterTimeText;
  TDateTime ReadTime = 0;
  TDateTime InitTime = 0;
  std::string InitDateText, InitTimeText;
  // The texts the decoder writes into the identification box: "Тип" and "Заводской №".
  std::string TypeTS;
  std::string ZavNumber;
  // Status bits of the two-system heat meter (RAM 0x029C): bit 6 and bit 3.
  bool TestMode = false;
  bool WriteEnable = false;

  // Values shown on the meter display at the moment of reading.
  double CurQ1 = 0, CurQ2 = 0;
  double CurHeatRate1 = 0, CurHeatRate2 = 0;
  double CurMass1 = 0, CurMass2 = 0, CurMass3 = 0, CurMass4 = 0;
  double CurMassFlow1 = 0, CurMassFlow2 = 0, CurMassFlow3 = 0, CurMassFlow4 = 0;
  double CurVolumeFlow1 = 0, CurVolumeFlow2 = 0, CurVolumeFlow3 = 0, CurVolumeFlow4 = 0;
  double CurTemp1 = 0, CurTemp2 = 0, CurTemp3 = 0, CurTemp4 = 0;
  double CurPressure1 = 0, CurPressure2 = 0, CurPressure3 = 0, CurPressure4 = 0;
  double CurVolume1 = 0, CurVolume2 = 0, CurVolume3 = 0, CurVolume4 = 0, CurVolume5 = 0;
  double ColdWaterTemp = 0;
  double SupplyVoltage = 0;
  std::int32_t WorkMinutes1 = 0, WorkMinutes2 = 0;
  std::uint8_t ErrorCode1 = 0, ErrorCode2 = 0;
  // Family-specific extras: cooling heat of the compact meters, the older
  // meters' hours and minutes of operation, the flow meter's second volume.
  double CurCoolingQ = 0, TotCoolingQ = 0;
  std::int32_t OperatingHours = 0, OperatingMinutes = 0;
  double CurVolumeSecond = 0;

  // Totals as of the last archive record; TotTime is the moment they refer to.
  double TotQ1 = 0, TotQ2 = 0;
  double TotMass1 = 0, TotMass2 = 0, TotMass3 = 0, TotMass4 = 0;
  double TotVolume1 = 0, TotVolume2 = 0, TotVolume3 = 0, TotVolume4 = 0, TotVolume5 = 0;
  std::int32_t TotWorkMinutes1 = 0, TotWorkMinutes2 = 0;
  TDateTime TotTime = 0;

  // Constants of the flow channels V1..V5.
  double PulsePrice1 = 0, PulsePrice2 = 0, PulsePrice3 = 0, PulsePrice4 = 0, PulsePrice5 = 0;
  std::int32_t PulseDivider1 = 1, PulseDivider2 = 1, PulseDivider3 = 1, PulseDivider4 = 1, PulseDivider5 = 1;
  std::int32_t VolumeMultiplier1 = 1, VolumeMultiplier2 = 1, VolumeMultiplier3 = 1, VolumeMultiplier4 = 1,
               VolumeMultiplier5 = 1;

  // Pulse counters, per channel 0..15.
  std::array<std::string, PulseChannelCapacity> ChannelId;  // 7 characters
  std::array<double, PulseChannelCapacity> ChannelPulsePrice{};
  std::array<double, PulseChannelCapacity> ChannelDivider{};
  std::array<std::int32_t, PulseChannelCapacity> ChannelPulses{};
  std::array<double, PulseChannelCapacity> ChannelReportVolume{};
  std::array<double, PulseChannelCapacity> ChannelTotal{};
  std::array<double, PulseChannelCapacity> ChannelVolume{};
  std::int32_t ReportDay = 1;

  // Archives, oldest record first. HourCount == HourRecords.size(),
  // DayCount == DayRecords.size() (at most DayRecordCapacity).
  std::vector<HourRecord> HourRecords;
  std::int32_t HourCount = 0;
  std::vector<DayRecord> DayRecords;
  std::int32_t DayCount = 0;

  // Set while a decode is under way; the view builders fill nothing while it is set.
  bool DisplaySuppressed = false;
};

}  // namespace velk
