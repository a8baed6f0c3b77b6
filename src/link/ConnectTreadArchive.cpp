// The archive step of the reading: the areas of the full or changes mode with
// several requests outstanding, then the re-read of the newest records when
// the meter started a new hour during the reading.
#include <algorithm>
#include <cmath>

#include "link/LinkTexts.h"
#include "link/MeterFrame.h"
#include "link/UnConnectTread.h"

namespace velk {

namespace {
void WriteLe32(TDumpImage& image, std::int32_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) image.DumpImage[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}
}  // namespace

void TConnectTread::ReadArchive() {
  if (Stopping()) return;
  ArchiveInput input;
  input.FamilyCode = FamilyCode;
  input.ReadMode = ReadMode;
  input.SavedPointer = SavedPointer;
  input.SavedReadTime = SavedReadTime;
  input.Now = Now();
  input.DumpLength = image_.DumpLength;
  const ArchivePlan plan = PlanArchive(input, image_.Whole());
  if (!plan.Note.empty()) MonitorAppend(plan.Note);
  ReadMode = plan.ReadMode;
  if (plan.AppendedSize) {
    WriteLe32(image_, 152, *plan.AppendedSize);
    WriteLe32(image_, 156, 0);
  }
  if (input.ReadMode == 2 && input.SavedPointer != 0) return;  // current data only: nothing more is read
  image_.DumpLength = plan.DumpLength;
  BytesExpected = image_.DumpLength;
  UpdateProgress();
  if (plan.Areas.empty()) return;

  ReadArchiveAreas(plan);
  if (!Stopping() && Status == LinkStatus::Ok) ReadNewHour(plan);
}

void TConnectTread::ReadArchiveAreas(const ArchivePlan& plan) {
  AreaWindowTracker tracker(plan.Areas, AreaWindow);
  const auto sendWaiting = [&] {
    while (!Stopping()) {
      const auto next = tracker.NextToSend();
      if (!next) break;
      const AreaEntry& e = tracker.Entries()[*next];
      SendMeterRequest(MeterCode::NonVolatileMemory, e.Address, WakeRule(), e.Count);
    }
  };
  const auto tableFull = [&] {
    Status = LinkStatus::CannotPlan;
    MonitorAppend(AreaTableFullText);
  };
  // With no retries each area is still tried once: the run ends at the first failure.
  const int failureLimit = std::max<int>(RetryCount, 1);
  int failures = 0;
  sendWaiting();
  while (!Stopping() && !tracker.AllDone()) {
    const auto current = tracker.Current();
    if (!current) break;
    const AreaEntry entry = tracker.Entries()[*current];
    const std::uint8_t verdict = ReceiveMeterAnswer(MeterCode::NonVolatileMemory, AreaLength(entry.Count));
    if (Stopping()) break;
    if (verdict != LinkStatus::Ok) {
      ++failures;
      if (!tracker.OnFailure()) return tableFull();
    } else {
      const auto result =
          tracker.OnAnswer(AnswerAddress({RxBuffer.data(), static_cast<std::size_t>(RxLength)}));
      switch (result.Outcome) {
        case AreaWindowTracker::Verdict::Stored: {
          failures = 0;
          const AreaEntry& owner = tracker.Entries()[result.Entry];
          const auto data = AnswerData();
          StoreAnswer(owner.Destination,
                      data.first(std::min<std::size_t>(data.size(), AreaLength(owner.Count))));
          break;
        }
        case AreaWindowTracker::Verdict::Duplicate:
          failures = 0;
          break;
        case AreaWindowTracker::Verdict::Unmatched:
          ++failures;
          Status = LinkStatus::AddressMismatch;
          break;
        case AreaWindowTracker::Verdict::TableFull:
          return tableFull();
      }
    }
    if (tracker.AllDone() || failures >= failureLimit) break;
    sendWaiting();
  }
  if (Stopping()) {
    Status = StopStatus();
    return;
  }
  // Never report success while areas are missing.
  if (!tracker.AllDone() && Status == LinkStatus::Ok) Status = LinkStatus::CannotPlan;
}

bool TConnectTread::ReReadRange(ArchiveLayout& layout, const MemoryRange& range) {
  const auto count = static_cast<std::uint8_t>(range.Length == 256 ? 0 : range.Length);
  if (!Exchange(MeterCode::NonVolatileMemory, static_cast<std::uint16_t>(range.Address), count,
                range.Length)) {
    return false;
  }
  const auto data = AnswerData();
  for (const auto& piece : layout.Place(range.Address, range.Length)) {
    StoreAnswer(piece.Destination, data.subspan(piece.Address - range.Address, piece.Length));
  }
  return true;
}

void TConnectTread::ReadNewHour(const ArchivePlan& plan) {
  // The meter clock has run on by the time the reading took.
  const TDateTime meterNow = MeterClockAtStart + MsSince(readStartMs_) / 1000.0 / SecondsPerDay;
  // Whole hours since the epoch, so that the turn of the day counts as a new hour too.
  if (std::floor(MeterClockAtStart * 24.0 + 1e-9) >= std::floor(meterNow * 24.0 + 1e-9)) return;
  MonitorAppend(LinkText::PointerChanged);
  ReadClock();
  if (Status != LinkStatus::Ok || Stopping()) return;

  const ArchiveGeometry before = ArchiveGeometryOf(FamilyCode, image_.Whole());
  ArchiveLayout layout = plan.AppendedSize
                             ? ArchiveLayout::Appended(plan.Areas, before.AppendOffset, *plan.AppendedSize)
                             : ArchiveLayout::Full();
  // The block that holds the pointer: the constants, or memory 256..511 below family 50.
  const MemoryRange pointerBlock{FamilyCode < 50 ? 256 : 0, 256};
  const std::int32_t pointerBlockImage = FamilyCode < 50 ? 768 : 512;
  if (!Exchange(MeterCode::NonVolatileMemory, static_cast<std::uint16_t>(pointerBlock.Address), 0, 256))
    return;
  StoreAnswer(pointerBlockImage, AnswerData());
  const ArchiveGeometry now = ArchiveGeometryOf(FamilyCode, image_.Whole());
  if (!now.Valid()) return;

  const auto regions = NewHourRegions(now, before.Pointer);
  static constexpr const char* TwoRegionTexts[] = {LinkText::FirstChangedAreaRead,
                                                   LinkText::SecondChangedAreaRead};
  for (std::size_t i = 0; i < regions.size(); ++i) {
    for (const auto& range : regions[i]) {
      if (!ReReadRange(layout, range)) return;
    }
    MonitorAppend(std::string(regions.size() == 1 ? LinkText::ChangedAreaRead : TwoRegionTexts[i]) + "\r\n");
  }
  if (!layout.IsFull() && layout.AppendedSize() != *plan.AppendedSize) {
    WriteLe32(image_, 152, layout.AppendedSize());
    image_.DumpLength = std::max(image_.DumpLength, layout.AppendEnd());
  }
}

}  // namespace velk
