#include "decode/DecodeMeterFamily5.h"

#include <array>
#include <cmath>
#include <string>

#include "common/DeviceFamilies.h"
#include "common/NumberFormat.h"
#include "decode/ArchiveWalk.h"
#include "decode/ChannelConfig.h"
#include "decode/DecodeTexts.h"
#include "decode/ImageReader.h"

namespace velk {

namespace {

constexpr std::int32_t FullDumpLength = 66048;  // the 512-byte head and the whole 64 KiB EEPROM
constexpr int RecordStride = 32;
constexpr TDateTime Year2002 = 37257;

struct Scheme {
  const char* Name;
  std::int32_t Code;  // -1: the code stays as it was
};

Scheme SchemeOfNibble(int nibble, bool systemTwo) {
  switch (nibble) {
    case 0: case 8: return {texts::SchemeA3p, 0};
    case 1: case 9: return {texts::SchemeA3o, 1};
    case 2: case 3: return {texts::SchemeA2, 2};
    case 4: case 5: return {texts::SchemeA3s, 3};
    case 6: case 7: return {texts::SchemeA2b, 4};
    case 10: return {texts::SchemeA4p, 5};
    case 11: return {texts::SchemeA4o, 6};
    case 12: return {systemTwo ? texts::SchemeKvartaS : texts::SchemeOff, -1};
    case 13: return {systemTwo ? texts::SchemeKvarta : texts::SchemeOff, -1};
    case 14: return {texts::SchemeA1p, 7};
    default: return {texts::SchemeA1o, 8};
  }
}

void DecodeSchemes(const ImageReader& image, TDecodedValues& v) {
  const std::uint8_t schemes = image.Ee(1);
  const Scheme one = SchemeOfNibble(schemes & 0x0F, false);
  const Scheme two = SchemeOfNibble(schemes >> 4, true);
  v.SchemeName1 = one.Name;
  if (one.Code >= 0) v.SchemeCode1 = one.Code;
  v.SchemeName2 = two.Name;
  if (two.Code >= 0) v.SchemeCode2 = two.Code;
  // Pressure marks on V3 or V4 turn system 2 into a pressure scheme.
  if ((image.Ee(18) & 0x60) != 0 || (image.Ee(19) & 0x60) != 0) {
    if (v.SchemeName2 == texts::SchemeA2) {
      v.SchemeName2 = texts::SchemeP2;
    } else if (v.SchemeName2 == texts::SchemeA3s) {
      v.SchemeName2 = texts::SchemeP3s;
    } else {
      v.SchemeName2.clear();
    }
  }
  const std::uint8_t status = image.Ram(0x029C);
  v.TestMode = (status & 0x40) != 0;
  v.WriteEnable = (status & 0x08) != 0;
}

std::string TypeCaption(const TDecodedValues& v) {
  const std::string name = DeviceTypeName(v.DeviceCode);
  // The tandems name both systems' schemes, the quarter meters only the first.
  const bool tandem = v.DeviceCode == 53 || v.DeviceCode == 56;
  return tandem ? name + v.SchemeName1 + "-" + v.SchemeName2 : name + v.SchemeName1;
}

// A raw sum by the channel's divider and multiplier.
double Scale(double raw, const ChannelConstants& c) { return raw / c.Divider * c.Multiplier; }

void DecodeArchiveRecord(const ImageReader& image, std::int64_t offset, const std::array<ChannelConstants, 5>& ch,
                         double sumFactor, bool dayRecord, TArchiveRecord& r) {
  r.IsEmpty = 0;
  r.IsBlank = IsBlankRecord(image, offset, 31) ? 1 : 0;
  r.T1 = RecordTemperature(image, offset + 4);
  r.T2 = RecordTemperature(image, offset + 6);
  r.T3 = RecordTemperature(image, offset + 8);
  r.T4 = RecordTemperature(image, offset + 10);
  r.G1 = Scale(image.UInt(offset + 12, 2) * sumFactor, ch[0]);
  r.G2 = Scale(image.UInt(offset + 14, 2) * sumFactor, ch[1]);
  r.G3 = Scale(image.UInt(offset + 16, 2) * sumFactor, ch[2]);
  r.G4 = Scale(image.UInt(offset + 18, 2) * sumFactor, ch[3]);
  r.V5 = Scale(image.UInt(offset + 20, 2) * sumFactor, ch[4]);
  double* pressures[] = {&r.P1, &r.P2, &r.P3, &r.P4};
  for (int i = 0; i < 4; ++i) {
    double p = image.Byte(offset + 22 + i) / 10.0;
    if (dayRecord && p > 25.3) p = 25.6;
    *pressures[i] = p;
  }
  r.K1 = image.Byte(offset + 26);
  r.K2 = image.Byte(offset + 27);
  if (dayRecord) {
    r.WorkMin1 = static_cast<std::int32_t>(image.UInt(offset + 28, 2));
    r.WorkMin2 = static_cast<std::int32_t>(image.UInt(offset + 30, 2));
  } else {
    r.WorkMin1 = image.Byte(offset + 28);
    r.WorkMin2 = image.Byte(offset + 30);
    r.Ubat = image.Byte(offset + 29) / 64.0 + 2;
  }
  r.IsRtc = 0;
  r.IsReset = 0;
  // With bit 4 of K an all-ones heat field means no heat in that period.
  const std::uint32_t heat1 = image.UInt(offset, 2), heat2 = image.UInt(offset + 2, 2);
  r.Q1 = (r.K1 & 0x10) && heat1 == 0xFFFF ? 0 : heat1 * sumFactor / ch[0].Divider;
  r.Q2 = (r.K2 & 0x10) && heat2 == 0xFFFF ? 0 : heat2 * sumFactor / ch[2].Divider;
  r.K2 = static_cast<std::uint8_t>(r.K2 | (r.K1 & 0xC0));
}

bool IsClockRecord(const ImageReader& image, std::int64_t offset) {
  std::uint8_t andOfBody = 0xFF;
  for (int i = 6; i <= 25; ++i) andOfBody &= image.Byte(offset + i);
  return andOfBody == 0x5A && (image.Byte(offset + 26) & image.Byte(offset + 27)) == 0xFF;
}

std::vector<TArchiveRecord> WalkArchive(const ImageReader& image, const ArchiveRing& ring,
                                        const std::array<ChannelConstants, 5>& ch, double sumFactor, bool dayRecords,
                                        std::int32_t capacity) {
  std::vector<TArchiveRecord> records;
  for (const std::int32_t slot : DecodedSlotOrder(ring, capacity)) {
    const std::int64_t address = ring.FirstAddress + static_cast<std::int64_t>(RecordStride) * slot;
    const std::int64_t offset = EeToImage(address);
    TArchiveRecord& r = records.emplace_back();
    r.EeAddress = static_cast<std::int32_t>(address);
    if (IsClockRecord(image, offset)) {
      FillClockRecord(image, offset, r);
      if (!dayRecords && !r.IsEmpty) r.Ubat = image.Byte(offset + 29) / 64.0 + 2;
      continue;
    }
    DecodeArchiveRecord(image, offset, ch, sumFactor, dayRecords, r);
  }
  return records;
}

}  // namespace

TDateTime ChooseReferenceClock(TDateTime meterClock, TDateTime readTime, TDateTime initTime, TDateTime now) {
  const bool useReadTime = now > readTime && readTime > initTime && readTime > Year2002 &&
                           std::fabs(meterClock - readTime) > OneHour / 2;
  return useReadTime ? readTime : meterClock;
}

void DecodeMeterFamily5(const TDecodeInput& input, TDecodedValues& v) {
  const ImageReader image(input.Image);

  DecodeSchemes(image, v);
  v.TypeTS = TypeCaption(v);
  v.FirmwareVersion = FirmwareVersionOf(image);

  std::array<ChannelConstants, 5> ch;
  for (int i = 0; i < 5; ++i) ch[i] = ChannelOfConfigByte(image.Ee(16 + i), i == 0);
  double* prices[] = {&v.PulsePrice1, &v.PulsePrice2, &v.PulsePrice3, &v.PulsePrice4, &v.PulsePrice5};
  std::int32_t* dividers[] = {&v.PulseDivider1, &v.PulseDivider2, &v.PulseDivider3, &v.PulseDivider4,
                              &v.PulseDivider5};
  std::int32_t* multipliers[] = {&v.VolumeMultiplier1, &v.VolumeMultiplier2, &v.VolumeMultiplier3,
                                 &v.VolumeMultiplier4, &v.VolumeMultiplier5};
  for (int i = 0; i < 5; ++i) {
    *prices[i] = ch[i].Price;
    *dividers[i] = ch[i].Divider;
    *multipliers[i] = ch[i].Multiplier;
  }

  v.SupplyVoltage = image.Ram(0x023F) / 64.0 + 2;
  v.ColdWaterTemp = image.Ee(21);  // whole degrees
  v.SerialNumber = static_cast<std::uint16_t>(image.EeUInt(2, 2));
  v.ZavNumber = std::to_string(v.DeviceCode) + "-" + ZeroPad(v.SerialNumber, 5);

  v.InitTime = BcdToDateTime(image.Ee(10), image.Ee(11), image.Ee(12), image.Ee(13), image.Ee(14), image.Ee(15));
  v.InitDateText = DateText(v.InitTime);
  v.InitTimeText = TimeText(v.InitTime);
  v.MeterClock = ClockBytesToDateTime(image, RamToImage(0x0212));
  v.MeterDateText = DateText(v.MeterClock);
  v.MeterTimeText = TimeText(v.MeterClock);
  v.ReadTime = ClockBytesToDateTime(image, 138);
  const TDateTime reference = ChooseReferenceClock(v.MeterClock, v.ReadTime, v.InitTime, input.PresentClock.Now());

  v.ErrorCode1 = image.Ram(0x0240);
  v.ErrorCode2 = image.Ram(0x0241);
  v.CurPressure1 = image.Ram(0x0244) / 10.0;
  v.CurPressure2 = image.Ram(0x0248) / 10.0;
  v.CurPressure3 = image.Ram(0x024C) / 10.0;
  v.CurPressure4 = image.Ram(0x0250) / 10.0;

  v.TotWorkMinutes1 = static_cast<std::int32_t>(image.EeUInt(140, 3));
  v.TotWorkMinutes2 = static_cast<std::int32_t>(image.EeUInt(144, 3));
  v.WorkMinutes1 = v.TotWorkMinutes1 + image.Ram(0x0296);
  v.WorkMinutes2 = v.TotWorkMinutes2 + image.Ram(0x0297);

  // Display temperatures: both bytes 0xFF is a missing sensor (256.0).
  double* temps[] = {&v.CurTemp1, &v.CurTemp2, &v.CurTemp3, &v.CurTemp4};
  const std::int64_t tempAddress[] = {0x0254, 0x025A, 0x0260, 0x0266};
  for (int i = 0; i < 4; ++i) {
    const std::uint32_t raw = image.RamUInt(tempAddress[i], 2);
    *temps[i] = raw == 0xFFFF ? 256.0 : raw / 256.0 - 1;
  }
  double* massFlows[] = {&v.CurMassFlow1, &v.CurMassFlow2, &v.CurMassFlow3, &v.CurMassFlow4};
  for (int i = 0; i < 4; ++i) {
    const double pulses = image.RamUInt(0x026C + 2 * i, 2);
    *massFlows[i] = pulses / 5 / ch[i].Divider * WaterDensityRatio(*temps[i]);
  }
  const std::uint32_t ratePulses1 = image.RamUInt(0x0298, 2), ratePulses2 = image.RamUInt(0x029A, 2);
  v.CurHeatRate1 = ratePulses1 == 0xFFFF ? 999999.0 : ratePulses1 / 5.0 / ch[0].Divider;
  v.CurHeatRate2 = ratePulses2 == 0xFFFF ? 999999.0 : ratePulses2 / 5.0 / ch[2].Divider;

  // Totals as of the last archive record, then the current totals with the
  // increments of the running hour.
  double* totMass[] = {&v.TotMass1, &v.TotMass2, &v.TotMass3, &v.TotMass4};
  double* curMass[] = {&v.CurMass1, &v.CurMass2, &v.CurMass3, &v.CurMass4};
  for (int i = 0; i < 4; ++i) {
    *totMass[i] = Scale(image.EeUInt(156 + 4 * i, 4) / 4.0, ch[i]);
    *curMass[i] = Scale(image.Scaled(RamToImage(0x027E + 4 * i), 4, 18), ch[i]) + *totMass[i];
  }
  double* totVolume[] = {&v.TotVolume1, &v.TotVolume2, &v.TotVolume3, &v.TotVolume4, &v.TotVolume5};
  double* curVolume[] = {&v.CurVolume1, &v.CurVolume2, &v.CurVolume3, &v.CurVolume4, &v.CurVolume5};
  for (int i = 0; i < 5; ++i) {
    *totVolume[i] = Scale(image.EeUInt(172 + 4 * i, 4) / 4.0, ch[i]);
    *curVolume[i] = Scale(image.Scaled(RamToImage(0x0274 + 2 * i), 2, 2), ch[i]) + *totVolume[i];
  }
  v.TotQ1 = Scale(image.EeUInt(148, 4) / 4.0, ch[0]);
  v.TotQ2 = Scale(image.EeUInt(152, 4) / 4.0, ch[2]);
  v.CurQ1 = Scale(image.Scaled(RamToImage(0x028E), 4, 18), ch[0]) + v.TotQ1;
  v.CurQ2 = Scale(image.Scaled(RamToImage(0x0292), 4, 18), ch[2]) + v.TotQ2;

  v.HourRecords.clear();
  v.DayRecords.clear();
  if (input.ReadMode == ReadModeCurrentValuesOnly) {
    v.HourCount = v.DayCount = 0;
    v.TotTime = TruncateToHour(reference);
    return;
  }

  const std::uint32_t recordLength = image.Ee(143);
  ArchiveRing hours, days;
  if (image.DumpLength() >= FullDumpLength) {
    hours = FullDumpRing(image.EeUInt(128, 3), image.EeUInt(131, 3), image.EeUInt(137, 3), recordLength);
    days = FullDumpRing(image.EeUInt(192, 3), image.EeUInt(195, 3), image.EeUInt(201, 3), recordLength);
  } else {
    const std::uint32_t first = image.EeUInt(128, 3), hourBytes = image.UInt(152, 4);
    hours = PartialDumpRing(first, hourBytes, recordLength);
    days = PartialDumpRing(static_cast<std::int64_t>(first) + hourBytes, image.UInt(156, 4), recordLength);
  }
  hours = BoundRing(hours, RecordStride, image.DumpLength());
  days = BoundRing(days, RecordStride, image.DumpLength());

  v.HourRecords = WalkArchive(image, hours, ch, 0.25, false, INT32_MAX);
  v.HourCount = static_cast<std::int32_t>(v.HourRecords.size());
  v.TotTime = DateHourRecords(v.HourRecords, reference, v.InitTime);

  // Firmware above 2.3 keeps its day sums four times finer.
  const double daySumFactor = v.FirmwareVersion > 2.3 + 1e-9 ? 4.0 : 1.0;
  v.DayRecords = WalkArchive(image, days, ch, daySumFactor, true, DayRecordCapacity);
  v.DayCount = static_cast<std::int32_t>(v.DayRecords.size());
  DateDayRecords(v.DayRecords, reference, v.InitTime);
}

}  // namespace velk
