#include "decode/DecodeFlowMeter.h"

#include "common/DeviceFamilies.h"
#include "common/NumberFormat.h"
#include "decode/ArchiveWalk.h"
#include "decode/ChannelConfig.h"
#include "decode/DecodeMeterFamily2.h"
#include "decode/DecodeMeterFamily5.h"
#include "decode/FamilyTexts.h"
#include "decode/ImageReader.h"

namespace velk {

namespace {

constexpr int RecordStride = 8;
constexpr std::uint8_t ClockRecordMark = 0x8F;  // byte 7 of a clock-setting record

// Bits 3 and 4 of the configuration byte: neither 1, one of them 2, both 4.
std::int32_t MultiplierOfConfig(std::uint8_t config) {
  const bool bit3 = (config & 0x08) != 0, bit4 = (config & 0x10) != 0;
  return bit3 && bit4 ? 4 : (bit3 || bit4) ? 2 : 1;
}

// A clock record keeps the battery voltage in byte 6; a voltage below 3.0 V shows as 3.58.
double ClockRecordVoltage(std::uint8_t raw) {
  const double volts = raw / 64.0 + 2;
  return volts < 3.0 ? 3.58 : volts;
}

}  // namespace

std::optional<std::string> FlowMeterNominalSize(int sizeIndex) {
  if (sizeIndex < 1 || sizeIndex > static_cast<int>(std::size(familytext::FlowMeterSizes)))
    return std::nullopt;
  return familytext::FlowMeterSizes[sizeIndex - 1];
}

void DecodeFlowMeter(const TDecodeInput& input, TDecodedValues& v) {
  const ImageReader image(input.Image.Bytes());

  v.FirmwareVersion = FirmwareVersionOf(image);
  v.SizeIndex = image.Ee(1);
  v.NominalSize = FlowMeterNominalSize(v.SizeIndex).value_or("");
  v.SchemeName1.clear();
  v.SchemeName2.clear();
  v.TypeTS = DeviceTypeName(v.DeviceCode) + v.NominalSize;

  const std::uint8_t config = image.Ee(16);
  v.PulseDivider1 = DividerOfConfig(config);
  v.VolumeMultiplier1 = MultiplierOfConfig(config);
  const double divider = v.PulseDivider1;

  v.SerialNumber = static_cast<std::uint16_t>(image.EeUInt(2, 2));
  v.ZavNumber = std::to_string(v.DeviceCode) + "-" + ZeroPad(v.SizeIndex, 2) + ZeroPad(v.SerialNumber, 6);

  ReadCompactClocks(image, v);

  v.SupplyVoltage = image.Ram(0x0276) / 64.0 + 2;
  v.ErrorCode1 = image.Ram(0x0275);
  const std::uint32_t rawTemp = image.RamUInt(0x0264, 2);
  v.CurTemp1 = rawTemp == 0xFFFF ? 256.0 : image.Scaled(RamToImage(0x0264), 2, 8) - 1;
  v.CurVolumeFlow1 = image.RamUInt(0x0270, 2) / 5.0 / divider;
  v.CurVolume1 = image.Scaled(RamToImage(0x0294), 4, 2) / divider;
  v.CurVolumeSecond = image.Scaled(RamToImage(0x026A), 6, 15) / divider / 100;
  v.CurVolume2 = v.CurVolumeSecond;
  v.PulsePrice1 = image.RamUInt(0x0258, 2) * 10.0 / divider;
  v.TotVolume1 = image.Scaled(EeToImage(144), 4, 2) / divider;

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

  // Bytes 4..7 of a normal record carry nothing this program shows.
  const ArchiveRing ring = CompactHourRing(image, RecordStride);
  for (const std::int32_t slot : DecodedSlotOrder(ring)) {
    const std::int64_t address = ring.FirstAddress + static_cast<std::int64_t>(RecordStride) * slot;
    const std::int64_t offset = EeToImage(address);
    TArchiveRecord& r = v.HourRecords.emplace_back();
    r.EeAddress = static_cast<std::int32_t>(address);
    if (image.Byte(offset + 7) == ClockRecordMark) {
      const auto clock = ReadClockRecord(image, offset);
      if (!clock) {
        r.IsEmpty = 1;
        continue;
      }
      SetStamp(r, clock->Stamp);
      r.IsRtc = 1;
      r.IsReset = clock->IsReset ? 1 : 0;
      r.Ubat = ClockRecordVoltage(image.Byte(offset + 6));
      continue;
    }
    r.IsBlank = IsBlankRecord(image, offset, RecordStride) ? 1 : 0;
    r.V1 = image.UInt(offset, 2) * 0.25 / divider;
    r.T1 = RecordTemperature(image, offset + 2);
  }
  v.HourCount = static_cast<std::int32_t>(v.HourRecords.size());
  v.TotTime = DateHourRecords(v.HourRecords, reference, v.InitTime);
}

}  // namespace velk
