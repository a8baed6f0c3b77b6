#include "decode/ArchiveWalk.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "decode/DecodeTexts.h"

namespace velk {

namespace {

std::int32_t ClampCount(std::int64_t count) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(count, 0, INT32_MAX));
}

}  // namespace

ArchiveRing FullDumpRing(std::uint32_t first, std::uint32_t lastByte, std::uint32_t next, std::uint32_t recordLength) {
  if (recordLength == 0) throw std::runtime_error("archive record length 0");
  const std::int64_t length = recordLength;
  ArchiveRing ring;
  ring.FirstAddress = first;
  ring.Count = ClampCount((static_cast<std::int64_t>(lastByte) + 1 - first) / length);
  ring.NextSlot = ClampCount((static_cast<std::int64_t>(next) - first) / length + 1);
  return ring;
}

ArchiveRing PartialDumpRing(std::int64_t first, std::uint32_t byteCount, std::uint32_t recordLength) {
  if (recordLength == 0) throw std::runtime_error("archive record length 0");
  ArchiveRing ring;
  ring.FirstAddress = first;
  ring.Count = ClampCount(byteCount / recordLength);
  ring.NextSlot = ring.Count;
  return ring;
}

ArchiveRing BoundRing(ArchiveRing ring, std::int64_t stride, std::int32_t dumpLength) {
  const std::int64_t start = EeToImage(ring.FirstAddress);
  const std::int64_t room = start < dumpLength ? (dumpLength - start + stride - 1) / stride : 0;
  if (ring.Count > room) ring.Count = static_cast<std::int32_t>(room);
  if (ring.NextSlot >= ring.Count) ring.NextSlot = 0;  // the stored order
  return ring;
}

std::vector<std::int32_t> DecodedSlotOrder(const ArchiveRing& ring, std::int32_t capacity) {
  std::vector<std::int32_t> order;
  order.reserve(static_cast<std::size_t>(ring.Count));
  for (std::int32_t s = ring.NextSlot; s < ring.Count; ++s) order.push_back(s);
  for (std::int32_t s = 0; s < ring.NextSlot && s < ring.Count; ++s) order.push_back(s);
  if (static_cast<std::int64_t>(order.size()) > capacity) order.erase(order.begin(), order.end() - capacity);
  return order;
}

std::optional<ClockRecordTime> ReadClockRecord(const ImageReader& image, std::int64_t offset) {
  ClockRecordTime result;
  std::uint8_t secondsByte = image.Byte(offset);
  if (secondsByte & 0x80) {
    result.IsReset = true;
    secondsByte = static_cast<std::uint8_t>(secondsByte - 0x80);
  }
  DateTimeParts parts;
  parts.Second = BcdDigits(secondsByte);
  parts.Minute = BcdDigits(image.Byte(offset + 1));
  parts.Hour = BcdDigits(image.Byte(offset + 2));
  parts.Day = BcdDigits(image.Byte(offset + 3));
  parts.Month = BcdDigits(image.Byte(offset + 4));
  parts.Year = 2000 + BcdDigits(image.Byte(offset + 5));
  if (parts.Month < 1 || parts.Month > 12) parts.Month = 1;
  if (parts.Day < 1 || parts.Day > 31) parts.Day = 1;
  if (parts.Hour >= 24) parts.Hour = 0;
  if (parts.Minute >= 60) parts.Minute = 0;
  if (parts.Second >= 60) parts.Second = 0;
  if (parts.Second != 0 || parts.Minute != 0) result.IsReset = true;
  const auto stamp = EncodeDateTime(parts);
  if (!stamp) return std::nullopt;
  result.Stamp = *stamp;
  return result;
}

bool IsBlankRecord(const ImageReader& image, std::int64_t offset, int count) {
  bool allFF = true, allAA55 = true;
  for (int i = 0; i < count; ++i) {
    const std::uint8_t b = image.Byte(offset + i);
    allFF = allFF && b == 0xFF;
    allAA55 = allAA55 && (b == 0xAA || b == 0x55);
  }
  return count > 0 && (allFF || allAA55);
}

double RecordTemperature(const ImageReader& image, std::int64_t offset) {
  const double t = image.UInt(offset, 2) / 256.0 - 1;
  return t > 254 ? 256.0 : t;
}

// Whole hours and days are taken after rounding to the millisecond, so that a
// stamp one rounding error short of a full hour stays in that hour.
TDateTime TruncateToHour(TDateTime value) { return std::floor(value * 24.0 + 24.0 / 86400000.0) / 24.0; }
TDateTime TruncateToDay(TDateTime value) { return std::floor(value + 1.0 / 86400000.0); }

void SetStamp(TArchiveRecord& record, TDateTime stamp) {
  record.Stamp = stamp;
  record.DateText = DateText(stamp);
  record.TimeText = TimeText(stamp);
}

void FillClockRecord(const ImageReader& image, std::int64_t offset, TArchiveRecord& record) {
  const auto clock = ReadClockRecord(image, offset);
  if (!clock) {
    record.IsEmpty = 1;
    return;
  }
  SetStamp(record, clock->Stamp);
  record.IsRtc = 1;
  record.IsReset = clock->IsReset ? 1 : 0;
}

void MarkNoData(TArchiveRecord& record) {
  record.DateText = texts::NoDataDate;
  record.TimeText = texts::NoDataTime;
  record.IsEmpty = 1;
}

TDateTime DateHourRecords(std::vector<HourRecord>& records, TDateTime reference, TDateTime initTime) {
  const TDateTime totTime = TruncateToHour(reference);
  TDateTime ref = totTime;
  const std::int64_t count = static_cast<std::int64_t>(records.size());
  for (std::int64_t i = count - 1; i >= 0; --i) {
    HourRecord& record = records[static_cast<std::size_t>(i)];
    if (record.IsRtc) continue;
    // A reset clock record just after this one, older than the record after
    // it, restarts the count from its own stamp.
    const bool resetAhead = i + 2 < count && records[static_cast<std::size_t>(i + 1)].IsReset &&
                            records[static_cast<std::size_t>(i + 1)].Stamp < records[static_cast<std::size_t>(i + 2)].Stamp;
    ref = resetAhead ? records[static_cast<std::size_t>(i + 1)].Stamp : ref - OneHour;
    ref = TruncateToHour(ref);
    if (ref > initTime && !record.IsBlank) {
      SetStamp(record, ref);
    } else {
      MarkNoData(record);
    }
  }
  return totTime;
}

void DateDayRecords(std::vector<DayRecord>& records, TDateTime reference, TDateTime initTime) {
  TDateTime day = TruncateToDay(reference);
  bool anyDated = false;
  for (std::int64_t i = static_cast<std::int64_t>(records.size()) - 2; i >= 0; --i) {
    DayRecord& record = records[static_cast<std::size_t>(i)];
    if (record.IsRtc) {
      if (anyDated && i >= 1 && record.Stamp <= records[static_cast<std::size_t>(i - 1)].Stamp) {
        day = TruncateToDay(record.Stamp) + 1;
      }
      continue;
    }
    day -= 1;
    if (day > initTime - 1 && !record.IsBlank) {
      SetStamp(record, day + 1);  // midnight at the end of the day the record covers
      anyDated = true;
    } else {
      MarkNoData(record);
    }
  }
}

}  // namespace velk
