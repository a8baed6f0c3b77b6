#include "decode/DecodeMeterFamily1.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "common/DeviceFamilies.h"
#include "common/DumpTextHeader.h"
#include "common/NumberFormat.h"
#include "decode/ArchiveWalk.h"
#include "decode/ChannelConfig.h"
#include "decode/DecodeTexts.h"
#include "decode/FamilyTexts.h"
#include "decode/ImageReader.h"

namespace velk {

namespace {

// The hour ring: 13-byte records from EEPROM 0x0224 to the end of the 16 KiB EEPROM.
constexpr std::int64_t RingFirst = 0x0224;
constexpr std::int64_t RingLastByte = 0x3FFF;
constexpr int RecordLength = 13;
constexpr std::int64_t NextRecordPointer = 256;  // EEPROM address of the 16-bit end of the newest record

struct Scheme {
  const char* Name;
  std::int32_t Code;
};

// Minor version 7 and later keep the scheme in image byte 736; older firmware
// has it fixed by the major version (major 3 by the parity of Tx).
Scheme SchemeOf(int major, int minor, std::uint8_t schemeByte, double coldWater) {
  if (minor >= 7) {
    switch (schemeByte) {
      case 0:
        return {texts::SchemeA2, 2};
      case 1:
        return {texts::SchemeA3o, 1};
      case 2:
        return {familytext::SchemeVCyrillic, 9};
      case 3:
        return {texts::SchemeA2b, 4};
      case 5:
        return {texts::SchemeA3p, 0};
      default:
        return {"", -1};
    }
  }
  switch (major) {
    case 1:
      return {familytext::SchemeBLatin, 9};
    case 2:
      return {texts::SchemeA2, 2};
    case 3:
      return nint(coldWater) % 2 == 0 ? Scheme{texts::SchemeA3o, 1} : Scheme{texts::SchemeA3p, 0};
    case 4:
      return {texts::SchemeA2b, 4};
    default:
      return {"", -1};
  }
}

double Signed(const ImageReader& image, std::int64_t offset, int count, int k) {
  return ReadLeScaledSigned(image.Bytes(), static_cast<std::int32_t>(offset),
                            static_cast<std::uint16_t>(count), k);
}

// Display temperature: (2, 8) scaled, both bytes 0xFF a missing sensor.
double DisplayTemperature(const ImageReader& image, std::int64_t offset) {
  return image.UInt(offset, 2) == 0xFFFF ? 256.0 : image.Scaled(offset, 2, 8);
}

double RecordByteTemperature(std::uint8_t value) { return value > 254 ? 256.0 : value; }

struct Channels {
  std::array<ChannelConstants, 4> Of;  // V1, V2 share image byte 720; V3, V4 byte 721
};

void DecodeRecord(const ImageReader& image, std::int64_t offset, const Channels& ch, TArchiveRecord& r) {
  r.IsBlank = IsBlankRecord(image, offset, RecordLength) ? 1 : 0;
  r.Q1 = Signed(image, offset, 2, 4) / ch.Of[0].Divider;
  r.T1 = RecordByteTemperature(image.Byte(offset + 2));
  r.T2 = RecordByteTemperature(image.Byte(offset + 5));
  r.T3 = RecordByteTemperature(image.Byte(offset + 8));
  r.V1 = image.Scaled(offset + 3, 2, 2) / ch.Of[0].Divider;
  r.V2 = image.Scaled(offset + 6, 2, 2) / ch.Of[1].Divider;
  r.V3 = Signed(image, offset + 9, 2, 2) / ch.Of[2].Divider;
  r.P1 = image.Byte(offset + 11) / 16.0;
  r.P2 = image.Byte(offset + 12) / 16.0;
  r.WorkMin1 = 60;
  r.K1 = static_cast<std::uint8_t>((r.T1 == 256.0 ? 1 : 0) + (r.T2 == 256.0 ? 2 : 0) + (r.T2 > r.T1 ? 8 : 0));
  r.K2 = r.T3 == 256.0 ? 1 : 0;
}

// Full dump: the whole ring, the record in front of the end pointer first.
// Partial dump: the appended records in stored order.
ArchiveRing HourRing(const ImageReader& image) {
  const std::uint32_t appended = image.UInt(152, 4);
  if (appended != 0) return PartialDumpRing(RingFirst, appended, RecordLength);
  ArchiveRing ring;
  ring.FirstAddress = RingFirst;
  ring.Count = static_cast<std::int32_t>((RingLastByte + 1 - RingFirst) / RecordLength);
  const std::int64_t end = image.EeUInt(NextRecordPointer, 2);
  const std::int64_t slot = (end - RingFirst) / RecordLength;
  ring.NextSlot = end >= RingFirst && slot < ring.Count ? static_cast<std::int32_t>(slot) : 0;
  return ring;
}

void DecodeArchive(const ImageReader& image, const Channels& ch, TDecodedValues& v) {
  const ArchiveRing ring = BoundRing(HourRing(image), RecordLength, image.DumpLength());
  v.HourRecords.clear();
  for (const std::int32_t slot : DecodedSlotOrder(ring)) {
    const std::int64_t address = ring.FirstAddress + static_cast<std::int64_t>(RecordLength) * slot;
    TArchiveRecord& r = v.HourRecords.emplace_back();
    r.EeAddress = static_cast<std::int32_t>(address);
    DecodeRecord(image, EeToImage(address), ch, r);
  }
  v.HourCount = static_cast<std::int32_t>(v.HourRecords.size());
}

}  // namespace

double OlderMeterHeatRate1(const std::string& scheme, const double (&t)[3], const double (&w)[3], double tx) {
  const double hx = WaterEnthalpy(tx);
  double h[3], g[3];
  for (int i = 0; i < 3; ++i) {
    h[i] = WaterEnthalpy(t[i]);
    g[i] = WaterDensityRatio(t[i]) * w[i];
  }
  if (scheme == texts::SchemeA2 || scheme == texts::SchemeA2b)
    return ((h[0] - hx) * g[0] - (h[1] - hx) * g[1]) / 3.6;
  if (scheme == familytext::SchemeBLatin || scheme == familytext::SchemeVCyrillic)
    return (h[0] * g[0] - h[1] * g[1] - h[2] * g[2]) / 3.6;
  if (scheme == texts::SchemeA3p) return (h[0] - h[1]) * g[0] / 3.6;
  if (scheme == texts::SchemeA3o) return (h[0] - h[1]) * g[1] / 3.6;
  return 0;
}

double OlderMeterHeatRate2(double t3, double w3, double w4, double tx) {
  return (WaterEnthalpy(t3) - WaterEnthalpy(tx)) * WaterDensityRatio(t3) * (w3 - w4) / 3.6;
}

void DecodeMeterFamily1(const TDecodeInput& input, TDecodedValues& v) {
  const std::int32_t length = std::clamp(input.Image.DumpLength, 0, OlderMeterDumpCap);
  const ImageReader image(ImageView(input.Image.DumpImage.data(), static_cast<std::size_t>(length)));

  // The text header names the meter; without a read time there the reading block's clock stands in.
  const TTextHeader header = ParseTextHeader(image.Bytes());
  if (header.Version && *header.Version >= 1 && *header.Version <= 49) v.DeviceCode = static_cast<std::uint32_t>(*header.Version);
  // Without a header the identification answer's serial (image 130) names the meter.
  v.SerialNumber = header.Serial ? *header.Serial : static_cast<std::uint16_t>(image.UInt(130, 2));
  v.ReadTime = header.ReadTime ? *header.ReadTime : ClockBytesToDateTime(image, 138);
  v.MeterClock = v.ReadTime;
  v.MeterDateText = DateText(v.MeterClock);
  v.MeterTimeText = TimeText(v.MeterClock);

  const int major = static_cast<int>(v.DeviceCode / 10);
  const int minor = static_cast<int>(v.DeviceCode % 10);
  v.FirmwareVersion = minor;
  v.ColdWaterTemp = image.Scaled(731, 2, 8);
  v.TotWorkMinutes1 = v.TotWorkMinutes2 = static_cast<std::int32_t>(image.UInt(784, 2)) * 60;

  const Scheme scheme = SchemeOf(major, minor, image.Byte(736), v.ColdWaterTemp);
  v.SchemeName1 = scheme.Name;
  v.SchemeCode1 = scheme.Code;
  v.SchemeName2.clear();
  v.TypeTS = DeviceTypeName(v.DeviceCode) + v.SchemeName1 + familytext::OldTypeOpen + std::to_string(major) +
             "." + std::to_string(minor) + familytext::OldTypeClose;
  v.ZavNumber = std::to_string(v.DeviceCode) + "-" + ZeroPad(v.SerialNumber, 5);

  Channels ch;
  ch.Of[0] = ch.Of[1] = ChannelOfConfigByte(image.Byte(720), true);
  ch.Of[2] = ch.Of[3] = ChannelOfConfigByte(image.Byte(721), true);
  v.PulseDivider1 = v.PulseDivider2 = ch.Of[0].Divider;
  v.PulseDivider3 = v.PulseDivider4 = ch.Of[2].Divider;
  v.PulsePrice1 = v.PulsePrice2 = ch.Of[0].Price;
  v.PulsePrice3 = v.PulsePrice4 = ch.Of[2].Price;
  v.VolumeMultiplier1 = v.VolumeMultiplier2 = v.VolumeMultiplier3 = v.VolumeMultiplier4 =
      v.VolumeMultiplier5 = 1;
  const double div1 = ch.Of[0].Divider, div2 = ch.Of[1].Divider, div3 = ch.Of[2].Divider;

  v.CurTemp1 = DisplayTemperature(image, 302);
  v.CurTemp2 = DisplayTemperature(image, 316);
  v.CurTemp3 = DisplayTemperature(image, 330);
  v.SupplyVoltage = image.Scaled(447, 2, 13);
  v.CurPressure1 = image.Scaled(438, 2, 12);
  v.CurPressure2 = image.Scaled(442, 2, 12);
  v.ErrorCode1 = image.Byte(814);
  v.ErrorCode2 = image.Byte(815);

  // Volume flows from the pulses counted in the last measuring period.
  double* flows[] = {&v.CurVolumeFlow1, &v.CurVolumeFlow2, &v.CurVolumeFlow3, &v.CurVolumeFlow4};
  const double prices[] = {v.PulsePrice1, v.PulsePrice2, v.PulsePrice3, v.PulsePrice4};
  for (int i = 0; i < 4; ++i) {
    const std::uint8_t pulses = image.Byte(474 + 4 * i), period = image.Byte(475 + 4 * i);
    *flows[i] = period == 0 ? 0 : static_cast<double>(pulses) / period * prices[i] * 3.6;
  }

  v.CurMass1 = image.Scaled(498, 5, 10) / div1;
  v.CurMass2 = image.Scaled(503, 5, 10) / div2;
  v.CurMass3 = Signed(image, 493, 5, 10) / div3;
  v.CurVolume1 = image.Scaled(298, 4, 2) / div1;
  v.CurVolume2 = image.Scaled(312, 4, 2) / div2;
  v.CurVolume3 = Signed(image, 326, 4, 2) / div3;
  v.CurQ1 = Signed(image, 417, 5, 12) / div1;
  v.CurQ2 = Signed(image, 422, 5, 12) / div3;
  v.TotMass1 = image.Scaled(816, 4, 2) / div1;
  v.TotMass2 = image.Scaled(820, 4, 2) / div2;
  v.TotMass3 = Signed(image, 824, 4, 2) / div3;
  v.TotVolume1 = image.Scaled(786, 4, 2) / div1;
  v.TotVolume2 = image.Scaled(790, 4, 2) / div2;
  v.TotVolume3 = Signed(image, 794, 4, 2) / div3;
  v.TotQ1 = Signed(image, 798, 5, 12) / div1;
  v.TotQ2 = Signed(image, 803, 5, 12) / div3;
  v.OperatingHours = static_cast<std::int32_t>(image.UInt(292, 2));
  v.OperatingMinutes = image.Byte(341);
  v.WorkMinutes1 = v.WorkMinutes2 = v.OperatingHours * 60 + v.OperatingMinutes;

  v.CurHeatRate1 =
      OlderMeterHeatRate1(v.SchemeName1, {v.CurTemp1, v.CurTemp2, v.CurTemp3},
                          {v.CurVolumeFlow1, v.CurVolumeFlow2, v.CurVolumeFlow3}, v.ColdWaterTemp);
  v.CurHeatRate2 = OlderMeterHeatRate2(v.CurTemp3, v.CurVolumeFlow3, v.CurVolumeFlow4, v.ColdWaterTemp);

  v.DayRecords.clear();
  v.DayCount = 0;
  v.TotTime = TruncateToHour(v.MeterClock);
  if (input.ReadMode == ReadModeCurrentValuesOnly) {
    v.HourRecords.clear();
    v.HourCount = 0;
    return;
  }
  DecodeArchive(image, ch, v);
  v.TotTime = DateHourRecords(v.HourRecords, v.MeterClock, v.InitTime);
}

}  // namespace velk
