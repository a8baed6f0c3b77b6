// What the archive decoders of every family share: the ring descriptors of
// full and partial dumps, the order in which the ring's slots are decoded,
// the clock-setting records and the two time passes that date the records.
#pragma once

#include <climits>
#include <cstdint>
#include <optional>
#include <vector>

#include "common/DateTime.h"
#include "decode/DecodedValues.h"
#include "decode/ImageReader.h"

namespace velk {

// An archive ring in EEPROM: Count slots from FirstAddress; NextSlot is the
// first slot of the decoded order (the slot in front of it comes last).
struct ArchiveRing {
  std::int64_t FirstAddress = 0;  // EEPROM address of slot 0
  std::int32_t Count = 0;
  std::int32_t NextSlot = 0;
};

// Full dump: descriptor first record, last byte and next record addresses.
// Throws on a record length of 0.
ArchiveRing FullDumpRing(std::uint32_t first, std::uint32_t lastByte, std::uint32_t next, std::uint32_t recordLength);
// Partial dump: `byteCount` bytes of records from `first`, taken in stored order.
ArchiveRing PartialDumpRing(std::int64_t first, std::uint32_t byteCount, std::uint32_t recordLength);
// Drops the slots (stride bytes apart) that do not start inside the dump.
ArchiveRing BoundRing(ArchiveRing ring, std::int64_t stride, std::int32_t dumpLength);
// Slot numbers in decoded order, oldest first; at most the newest `capacity`.
std::vector<std::int32_t> DecodedSlotOrder(const ArchiveRing& ring, std::int32_t capacity = INT32_MAX);

// A clock-setting record's date: seconds, minutes, hours, day, month and year
// - 2000 in six BCD bytes from `offset`; bit 7 of the seconds is the reset mark.
// Parts out of range are mended; a record with non-zero minutes or seconds is
// also a reset. nullopt when the mended date still does not exist.
struct ClockRecordTime {
  TDateTime Stamp = 0;
  bool IsReset = false;
};
std::optional<ClockRecordTime> ReadClockRecord(const ImageReader& image, std::int64_t offset);
// Fills `record` from the clock record at `offset`: its stamp with the RTC and
// reset marks, or an empty record when the date cannot be mended.
void FillClockRecord(const ImageReader& image, std::int64_t offset, TArchiveRecord& record);

// Bytes [offset, offset + count) all 0xFF, or all 0xAA / 0x55: erased memory.
bool IsBlankRecord(const ImageReader& image, std::int64_t offset, int count);

// Temperature of a record or display: value / 256 - 1, above 254 shown as 256.0.
double RecordTemperature(const ImageReader& image, std::int64_t offset);

TDateTime TruncateToHour(TDateTime value);
TDateTime TruncateToDay(TDateTime value);
void SetStamp(TArchiveRecord& record, TDateTime stamp);
// "Нет" / "данных" and IsEmpty.
void MarkNoData(TArchiveRecord& record);

// Dates the hour records backwards from the reference clock; returns the
// reference truncated to the hour (the moment the totals refer to).
TDateTime DateHourRecords(std::vector<HourRecord>& records, TDateTime reference, TDateTime initTime);
// Dates the day records backwards from the day of the reference clock; the
// newest record is the current day and gets no stamp.
void DateDayRecords(std::vector<DayRecord>& records, TDateTime reference, TDateTime initTime);

}  // namespace velk
