#include "decode/DecodeMeterFamily2.h"

#include <array>

#include "common/DeviceFamilies.h"
#include "common/NumberFormat.h"
#include "decode/ArchiveWalk.h"
#include "decode/ChannelConfig.h"
#include "decode/DecodeMeterFamily5.h"
#include "decode/DecodeTexts.h"
#include "decode/FamilyTexts.h"
#include "decode/ImageReader.h"

namespace velk {

namespace {

constexpr std::int32_t FullDumpLength = 33280;      // the 512-byte head and the whole 32 KiB EEPROM
constexpr std::uint32_t PartialByteLimit = 0x7E00;  // a partial dump appends fewer archive bytes
constexpr int RecordStride = 16;

struct Scheme {
  const char* Name;
  std::int32_t Code;
};

// Bits 6..7 of the first channel's configuration byte.
Scheme SchemeOf(std::uint8_t config) {
  switch (config & 0xC0) {
    case 0x40:
      return {texts::SchemeA3o, 1};
    case 0x80:
      return {texts::SchemeA2, 2};
    case 0xC0:
      return {familytext::SchemeA3cLatin, 3};
    default:
      return {texts::SchemeA3p, 0};
  }
}

double RamTemperature(const ImageReader& image, std::int64_t ramAddress) {
  const std::uint32_t raw = image.RamUInt(ramAddress, 2);
  return raw == 0xFFFF ? 256.0 : raw / 256.0 - 1;
}

// A record whose byte 15 is 0xFF and whose bytes 7..11 are zero is a clock-setting record.
bool IsClockRecord(const ImageReader& image, std::int64_t offset) {
  if (image.Byte(offset + 15) != 0xFF) return false;
  for (int i = 7; i <= 11; ++i)
    if (image.Byte(offset + i) != 0) return false;
  return true;
}

bool Plausible(double t) { return t > 0 && t < 160; }

struct ArchiveContext {
  std::array<ChannelConstants, 3> Ch;
  bool SchemeA3c = false;
  bool CoolingTemperatureFromHeat = false;  // "А3c" with EEPROM 20 = 0xFF: T1 follows from Q1 and V1
  double ColdWater = 0;
};

void DecodeRecord(const ImageReader& image, std::int64_t offset, const ArchiveContext& c, TArchiveRecord& r) {
  r.IsBlank = IsBlankRecord(image, offset, RecordStride) ? 1 : 0;
  r.Q1 = image.UInt(offset, 2) * 0.25 / c.Ch[0].Divider;
  r.T1 = RecordTemperature(image, offset + 2);
  r.T2 = RecordTemperature(image, offset + 4);
  r.V1 = image.UInt(offset + 6, 2) * 0.25 / c.Ch[0].Divider;
  r.V2 = image.UInt(offset + 8, 2) * 0.25 / c.Ch[1].Divider * c.Ch[1].Multiplier;
  r.V3 = image.UInt(offset + 10, 2) * 0.25 / c.Ch[2].Divider;
  r.WorkMin2 = static_cast<std::int32_t>(image.UInt(offset + 12, 3));  // running total of work minutes
  r.K1 = image.Byte(offset + 15);
  if (c.SchemeA3c && c.CoolingTemperatureFromHeat && r.V1 > 0)
    r.T1 = r.Q1 / 4.1868 / r.V1 * 1000 + c.ColdWater;
  if (Plausible(r.T1)) r.G1 = WaterDensityRatio(r.T1) * r.V1;
  if (Plausible(r.T2)) r.G2 = WaterDensityRatio(r.T2) * r.V2;
  if (c.SchemeA3c && Plausible(r.T1)) r.G2 = WaterDensityRatio(r.T1) * r.V2;
}

// The minutes of each hour: the rise of the running total over the previous
// normal record; 0 where there is none or the total did not rise by 0..60.
void HourlyWorkMinutes(std::vector<HourRecord>& records) {
  const HourRecord* previous = nullptr;
  for (HourRecord& r : records) {
    if (r.IsRtc || r.IsEmpty || r.IsBlank) continue;
    const std::int64_t rise = previous ? static_cast<std::int64_t>(r.WorkMin2) - previous->WorkMin2 : -1;
    r.WorkMin1 = rise >= 0 && rise <= 60 ? static_cast<std::int32_t>(rise) : 0;
    previous = &r;
  }
}

}  // namespace

int CompactSizeIndex(double firmwareVersion, std::uint16_t word0, std::uint8_t byte1) {
  return firmwareVersion <= 1.15 + 1e-9 ? word0 % 100 : BcdDigits(byte1);
}

std::optional<std::string> CompactNominalSize(int sizeIndex) {
  if (sizeIndex < 1 || sizeIndex > static_cast<int>(std::size(familytext::CompactSizes))) return std::nullopt;
  return familytext::CompactSizes[sizeIndex - 1];
}

// Hour ring of the compact meters and the flow meter: a partial dump is shorter
// than the whole memory and appends fewer than 0x7E00 archive bytes.
ArchiveRing CompactHourRing(const ImageReader& image, int stride) {
  const std::uint32_t recordLength = image.Ee(143);
  const std::uint32_t first = image.EeUInt(128, 3);
  ArchiveRing ring;
  if (image.DumpLength() < FullDumpLength && image.UInt(152, 4) < PartialByteLimit) {
    ring = PartialDumpRing(first, image.UInt(152, 4), recordLength);
  } else {
    ring = FullDumpRing(first, image.EeUInt(131, 3), image.EeUInt(137, 3), recordLength);
  }
  return BoundRing(ring, stride, image.DumpLength());
}

void ReadCompactClocks(const ImageReader& image, TDecodedValues& v) {
  v.InitTime =
      BcdToDateTime(image.Ee(10), image.Ee(11), image.Ee(12), image.Ee(13), image.Ee(14), image.Ee(15));
  v.InitDateText = DateText(v.InitTime);
  v.InitTimeText = TimeText(v.InitTime);
  v.MeterClock = ClockBytesToDateTime(image, RamToImage(0x0210));
  v.MeterDateText = DateText(v.MeterClock);
  v.MeterTimeText = TimeText(v.MeterClock);
  v.ReadTime =
      image.UInt(138, 4) == 0 && image.UInt(142, 2) == 0 ? v.MeterClock : ClockBytesToDateTime(image, 138);
}

void DecodeMeterFamily2(const TDecodeInput& input, TDecodedValues& v) {
  const ImageReader image(input.Image.Bytes());

  v.FirmwareVersion = FirmwareVersionOf(image);
  v.SizeIndex =
      CompactSizeIndex(v.FirmwareVersion, static_cast<std::uint16_t>(image.EeUInt(0, 2)), image.Ee(1));
  v.NominalSize = CompactNominalSize(v.SizeIndex).value_or("");

  const Scheme scheme = SchemeOf(image.Ee(16));
  v.SchemeName1 = scheme.Name;
  v.SchemeCode1 = scheme.Code;
  v.SchemeName2.clear();
  const char* prefix = DeviceTypeName(v.DeviceCode);
  v.TypeTS = prefix + v.NominalSize + "-" + v.SchemeName1;

  ArchiveContext ctx;
  for (int i = 0; i < 3; ++i) ctx.Ch[i] = ChannelOfConfigByte(image.Ee(16 + i), i == 0);
  const auto& ch = ctx.Ch;
  v.PulseDivider1 = ch[0].Divider;
  v.PulseDivider2 = ch[1].Divider;
  v.PulseDivider3 = ch[2].Divider;
  v.VolumeMultiplier1 = ch[0].Multiplier;
  v.VolumeMultiplier2 = ch[1].Multiplier;
  v.VolumeMultiplier3 = ch[2].Multiplier;
  v.PulsePrice1 = ch[0].Price;
  v.PulsePrice2 = ch[1].Price;
  v.PulsePrice3 = ch[2].Price;

  v.SerialNumber = static_cast<std::uint16_t>(image.EeUInt(2, 2));
  v.ZavNumber = std::to_string(v.DeviceCode) + "-" + ZeroPad(v.SerialNumber, 5);

  ReadCompactClocks(image, v);

  const double div1 = ch[0].Divider, div2 = ch[1].Divider, div3 = ch[2].Divider, mult2 = ch[1].Multiplier;
  v.ErrorCode1 = image.Ram(0x0253);
  v.CurTemp1 = RamTemperature(image, 0x0246);
  v.CurTemp2 = RamTemperature(image, 0x0248);
  v.CurMassFlow1 = image.RamUInt(0x0250, 2) / 5.0 / div1 * WaterDensityRatio(v.CurTemp1);
  v.CurMassFlow2 = image.RamUInt(0x0298, 2) / 5.0 / div2 * WaterDensityRatio(v.CurTemp2);
  const std::uint32_t ratePulses = image.RamUInt(0x024E, 2);
  if (ratePulses == 0xFFFF) {
    v.CurHeatRate1 = 999999.0;
  } else if (v.SchemeName1 == texts::SchemeA2) {
    v.CurHeatRate1 = ratePulses / 5.0 / div1;
  } else {
    v.CurHeatRate1 = image.Scaled(RamToImage(0x024E), 2, 16) * v.CurMassFlow1 / WaterDensityRatio(v.CurTemp1);
  }
  v.CurQ1 = image.Scaled(RamToImage(0x0268), 6, 18) / div1;
  v.CurMass1 = image.Scaled(RamToImage(0x026E), 6, 18) / div1;
  v.CurMass2 = image.Scaled(RamToImage(0x0274), 6, 18) / div2 * mult2;
  v.CurVolume1 = image.Scaled(RamToImage(0x027A), 4, 2) / div1;
  v.CurVolume2 = image.Scaled(RamToImage(0x027E), 4, 2) / div2 * mult2;
  v.CurVolume3 = image.Scaled(RamToImage(0x0282), 4, 2) / div3;
  v.WorkMinutes1 = static_cast<std::int32_t>(image.RamUInt(0x0264, 3));

  v.TotWorkMinutes1 = static_cast<std::int32_t>(image.EeUInt(140, 3));
  v.TotQ1 = image.Scaled(EeToImage(144), 6, 18) / div1;
  v.TotMass1 = image.Scaled(EeToImage(150), 6, 18) / div1;
  v.TotMass2 = image.Scaled(EeToImage(156), 6, 18) / div2 * mult2;
  v.TotVolume1 = image.EeUInt(162, 4) * 0.25 / div1;
  v.TotVolume2 = image.EeUInt(166, 4) * 0.25 / div2 * mult2;
  v.TotVolume3 = image.EeUInt(170, 4) * 0.25 / div3;
  v.TotCoolingQ = image.Scaled(EeToImage(174), 6, 18) / div1;
  v.CurCoolingQ = image.Scaled(RamToImage(0x02A6), 4, 18) / div1 + v.TotCoolingQ;
  v.ColdWaterTemp = image.Ee(19);

  const TDateTime reference =
      ChooseReferenceClock(v.MeterClock, v.ReadTime, v.InitTime, input.PresentClock.Now());
  v.DayRecords.clear();
  v.DayCount = 0;
  v.HourRecords.clear();
  v.HourCount = 0;
  if (input.ReadMode == ReadModeCurrentValuesOnly) {
    v.TotTime = TruncateToHour(reference);
    return;
  }

  ctx.SchemeA3c = v.SchemeName1 == familytext::SchemeA3cLatin;
  ctx.CoolingTemperatureFromHeat = image.Ee(20) == 0xFF;
  ctx.ColdWater = v.ColdWaterTemp;
  const ArchiveRing ring = CompactHourRing(image, RecordStride);
  for (const std::int32_t slot : DecodedSlotOrder(ring)) {
    const std::int64_t address = ring.FirstAddress + static_cast<std::int64_t>(RecordStride) * slot;
    const std::int64_t offset = EeToImage(address);
    TArchiveRecord& r = v.HourRecords.emplace_back();
    r.EeAddress = static_cast<std::int32_t>(address);
    if (IsClockRecord(image, offset)) {
      FillClockRecord(image, offset, r);
      continue;
    }
    DecodeRecord(image, offset, ctx, r);
  }
  v.HourCount = static_cast<std::int32_t>(v.HourRecords.size());
  v.TotTime = DateHourRecords(v.HourRecords, reference, v.InitTime);
  HourlyWorkMinutes(v.HourRecords);
}

}  // namespace velk
