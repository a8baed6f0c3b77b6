#include "decode/DecodePulseCounter.h"

#include <algorithm>

#include "common/DeviceFamilies.h"
#include "common/NumberFormat.h"
#include "decode/ArchiveWalk.h"
#include "decode/DecodeTexts.h"
#include "decode/ImageReader.h"

namespace velk {

namespace {

constexpr std::uint8_t ClockRecordMark = 0x8F;

// Nibble values 0..14 as the counter's display shows them; 15 is a blank.
char DisplayCharacter(int nibble) {
  static constexpr char alphabet[] = "0123456789Abcd- ";
  return alphabet[nibble & 0x0F];
}

TDateTime PulseReferenceClock(TDateTime meterClock, TDateTime readTime, TDateTime initTime, TDateTime now) {
  return now > readTime && readTime > initTime ? readTime : meterClock;
}

}  // namespace

std::string PulseChannelId(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3) {
  std::string id(1, DisplayCharacter(b0));
  for (const std::uint8_t b : {b1, b2, b3}) {
    id += DisplayCharacter(b >> 4);
    id += DisplayCharacter(b);
  }
  return id;
}

void DecodePulseCounter(const TDecodeInput& input, TDecodedValues& v) {
  const ImageReader image(input.Image);

  v.TypeTS = DeviceTypeName(v.DeviceCode);
  v.FirmwareVersion = FirmwareVersionOf(image);
  v.SupplyVoltage = image.Ram(0x025A) / 64.0 + 2;
  v.SerialNumber = static_cast<std::uint16_t>(image.EeUInt(2, 2));
  v.ZavNumber = std::to_string(v.DeviceCode) + "-" + ZeroPad(v.SerialNumber, 5);
  // Five bits can name up to 31 channels; the counters have at most 16.
  v.ChannelCount = std::min<std::int32_t>(image.Ee(1) & 0x1F, PulseChannelCapacity);

  const std::uint8_t reportDay = image.Ee(9);
  v.ReportDay = (reportDay >> 4) > 9 || (reportDay & 0x0F) > 9 ? 1 : BcdDigits(reportDay);

  v.InitTime = BcdToDateTime(image.Ee(10), image.Ee(11), image.Ee(12), image.Ee(13), image.Ee(14), image.Ee(15));
  v.InitDateText = DateText(v.InitTime);
  v.InitTimeText = TimeText(v.InitTime);
  v.MeterClock = ClockBytesToDateTime(image, RamToImage(0x0210));
  v.MeterDateText = DateText(v.MeterClock);
  v.MeterTimeText = TimeText(v.MeterClock);
  v.ReadTime = ClockBytesToDateTime(image, 138);
  const TDateTime reference = PulseReferenceClock(v.MeterClock, v.ReadTime, v.InitTime, input.PresentClock.Now());

  for (int i = 0; i < PulseChannelCapacity; ++i) {
    const std::int64_t block = 64 + 4 * i;
    const std::uint8_t config = image.Ee(block);
    const bool bit6 = config & 0x40, bit7 = config & 0x80;
    const double base = bit6 && bit7 ? 1000 : (bit6 || bit7) ? 500 : 250;
    const bool bit4 = config & 0x10, bit5 = config & 0x20;
    const double divider = bit4 && bit5 ? 1 : bit5 ? 10 : bit4 ? 100 : 1000;
    v.ChannelDivider[i] = divider;
    v.ChannelPulsePrice[i] = base / divider;
    v.ChannelId[i] = PulseChannelId(config, image.Ee(block + 1), image.Ee(block + 2), image.Ee(block + 3));
    v.ChannelPulses[i] = static_cast<std::int32_t>(image.EeUInt(16 + 3 * i, 3));
    v.ChannelReportVolume[i] = v.ChannelPulses[i] / divider;
    const std::int64_t totalAddress = i < 12 ? 144 + 4 * i : 208 + 4 * (i - 12);
    v.ChannelTotal[i] = image.Scaled(EeToImage(totalAddress), 4, 2) / divider;
    v.ChannelVolume[i] = v.ChannelTotal[i] + image.Scaled(RamToImage(0x025C + 2 * i), 2, 2) / divider;
  }
  v.ErrorCode1 = image.Ram(0x025B);

  v.HourRecords.clear();
  v.DayRecords.clear();
  v.DayCount = 0;
  if (input.ReadMode == ReadModeCurrentValuesOnly) {
    v.HourCount = 0;
    v.TotTime = TruncateToHour(reference);
    return;
  }

  const std::uint32_t recordLength = image.Ee(143);
  const std::int64_t eepromSize = image.EeUInt(6, 3);
  const ArchiveRing ring =
      BoundRing(image.DumpLength() >= 512 + eepromSize
                    ? FullDumpRing(image.EeUInt(128, 3), image.EeUInt(131, 3), image.EeUInt(137, 3), recordLength)
                    : PartialDumpRing(image.EeUInt(128, 3), image.UInt(152, 4), recordLength),
                recordLength, image.DumpLength());

  for (const std::int32_t slot : DecodedSlotOrder(ring)) {
    const std::int64_t address = ring.FirstAddress + static_cast<std::int64_t>(recordLength) * slot;
    const std::int64_t offset = EeToImage(address);
    HourRecord& r = v.HourRecords.emplace_back();
    r.EeAddress = static_cast<std::int32_t>(address);
    if (image.Byte(offset + recordLength - 1) == ClockRecordMark) {
      FillClockRecord(image, offset, r);
      continue;
    }
    // Erased memory: every byte before the record's last one erased.
    r.IsBlank = IsBlankRecord(image, offset, static_cast<int>(recordLength) - 1) ? 1 : 0;
    // The top bits of the first two channels' volumes carry the record's marks.
    std::uint8_t high1 = image.Byte(offset + 1), high3 = image.Byte(offset + 3);
    if (high1 & 0x80) {
      high1 &= 0x7F;
      r.K1 = 128;
    }
    if (high3 & 0x80) {
      high3 &= 0x7F;
      r.K1 = static_cast<std::uint8_t>(r.K1 + 64);
    }
    for (int k = 0; k < v.ChannelCount; ++k) {
      std::uint32_t raw = image.UInt(offset + 2 * k, 2);
      if (k == 0) raw = image.Byte(offset) | (high1 << 8);
      if (k == 1) raw = image.Byte(offset + 2) | (high3 << 8);
      r.ChannelVolumes[k] = raw / 4.0 / v.ChannelDivider[k];
    }
  }
  v.HourCount = static_cast<std::int32_t>(v.HourRecords.size());
  v.TotTime = DateHourRecords(v.HourRecords, reference, v.InitTime);
}

}  // namespace velk
