#include "link/ArchiveAreas.h"

#include <algorithm>
#include <cmath>

namespace velk {

namespace {
constexpr std::int32_t MemoryTop = 0x10000;  // addresses are 16 bits
constexpr int MaxFullAreas = 255;            // 0x0100 .. 0xFF00

bool IsTwoSystem(int family) { return family >= 53 && family <= 56; }
bool IsPulseCounter(int family) { return family == 70 || family == 71; }
bool IsCompact(int family) { return family == 50 || family == 51; }
}  // namespace

void AppendAreas(std::vector<AreaEntry>& areas, std::int32_t from, std::int32_t toExclusive,
                 std::int32_t& destination) {
  for (std::int32_t a = from; a < toExclusive; a += 256) {
    const std::int32_t length = std::min<std::int32_t>(256, toExclusive - a);
    AreaEntry e;
    e.Address = static_cast<std::uint16_t>(a);
    e.Count = static_cast<std::uint8_t>(length == 256 ? 0 : length);
    e.Destination = destination;
    areas.push_back(e);
    destination += length;
  }
}

bool ArchiveGeometry::Valid() const {
  return RecordSize > 0 && RingStart >= 0 && RingStart <= Pointer && Pointer <= RingEnd &&
         RingEnd < MemoryTop && NewestEnd() >= RingStart && NewestEnd() <= RingEnd + 1;
}

ArchiveGeometry ArchiveGeometryOf(int familyCode, ImageView image) {
  ArchiveGeometry g;
  if (familyCode < 50) {
    g.Pointer = static_cast<std::int32_t>(ReadLeUInt(image, 768, 2));
    g.RingStart = 548;
    g.RingEnd = 16381;
    g.AppendOffset = 1060;
    g.RecordSize = 13;
    g.HeaderCorrection = 13;
    return g;
  }
  g.Pointer = static_cast<std::int32_t>(ReadLeUInt(image, 649, 2));
  g.RingStart = static_cast<std::int32_t>(ReadLeUInt(image, 640, 2));
  g.RingEnd = static_cast<std::int32_t>(ReadLeUInt(image, 643, 2));
  g.AppendOffset = 768;
  if (IsCompact(familyCode))
    g.RecordSize = 16;
  else if (IsTwoSystem(familyCode))
    g.RecordSize = 32;
  else if (familyCode == 60)
    g.RecordSize = 8;
  else if (IsPulseCounter(familyCode))
    g.RecordSize = image.size() > 655 ? image[655] : 0;
  return g;
}

ArchivePlan PlanFullArchive(const ArchiveInput& input, ImageView image) {
  ArchivePlan plan;
  plan.ReadMode = 0;
  plan.DumpLength = input.DumpLength;
  const int family = input.FamilyCode;
  int entries = 0;
  if (family < 50) {
    entries = 63;
    plan.DumpLength = 16896;
  } else if (IsCompact(family) || family == 60) {
    entries = 127;
    plan.DumpLength = 33280;
  } else if (IsTwoSystem(family)) {
    entries = 255;
    plan.DumpLength = 66048;
  } else if (IsPulseCounter(family)) {
    // The memory size comes from the constants; it cannot reach past the 16-bit memory.
    const std::int64_t length = static_cast<std::int64_t>(ReadLeUInt(image, 518, 3)) + FullImageBase;
    const std::int64_t limit = 768 + 256 * MaxFullAreas;
    const std::int64_t clamped = std::clamp<std::int64_t>(length, input.DumpLength, limit);
    entries = static_cast<int>((clamped - 768 + 255) / 256);
    plan.DumpLength = static_cast<std::int32_t>(clamped);
    if (length > limit) plan.Note = "memory size " + std::to_string(length - FullImageBase) + " cut to 65536";
  }
  for (int i = 0; i < entries; ++i) {
    AreaEntry e;
    e.Address = static_cast<std::uint16_t>(256 * (i + 1));
    e.Destination = 768 + 256 * i;
    plan.Areas.push_back(e);
  }
  return plan;
}

ArchivePlan PlanChangedArchive(const ArchiveInput& input, ImageView image) {
  const ArchiveGeometry g = ArchiveGeometryOf(input.FamilyCode, image);
  auto fallBack = [&](const std::string& why) {
    ArchivePlan plan = PlanFullArchive(input, image);
    plan.Note = why;
    return plan;
  };
  if (!g.Valid()) return fallBack("archive ring description out of range");

  const std::int32_t S = g.RingStart, E = g.RingEnd, K = g.HeaderCorrection, R = g.RecordSize;
  const std::int32_t P = g.Pointer, T = g.NewestEnd(), Q = g.Capacity();
  const double hours = std::floor((input.Now - input.SavedReadTime) * 24.0);
  std::int32_t p = input.SavedPointer;
  if (IsCompact(input.FamilyCode) && p != P) p = p > 288 ? p - 32 : (E + 1 - 16) - (p - 256);

  ArchivePlan plan;
  plan.ReadMode = 1;
  plan.DumpLength = input.DumpLength;
  std::int32_t destination = g.AppendOffset;
  std::int32_t size = 0;
  if (static_cast<double>(Q / R) < hours) {  // the ring has been overrun: all of it, oldest first
    plan.ReadMode = 0;
    size = Q;
    AppendAreas(plan.Areas, T, E + 1, destination);
    AppendAreas(plan.Areas, S, T, destination);
  } else if (p < P) {
    if (p < S) return fallBack("saved archive pointer outside the ring");
    size = T - p;
    AppendAreas(plan.Areas, p, T, destination);
  } else if (p > P) {
    if (p - K < S || p - K > E) return fallBack("saved archive pointer outside the ring");
    size = (E + K - p + 1) + (T - S);
    AppendAreas(plan.Areas, p - K, E + 1, destination);
    AppendAreas(plan.Areas, S, T, destination);
  }
  plan.AppendedSize = static_cast<std::uint32_t>(size);
  plan.DumpLength += size;
  return plan;
}

ArchivePlan PlanArchive(const ArchiveInput& input, ImageView image) {
  ArchivePlan plan;
  if (input.SavedPointer == 0 || input.ReadMode == 0) {
    plan = PlanFullArchive(input, image);
  } else if (input.ReadMode == 2) {
    plan.ReadMode = 2;
    plan.DumpLength = input.DumpLength;
    return plan;
  } else {
    plan = PlanChangedArchive(input, image);
  }
  if (plan.Areas.empty()) plan.ReadMode = 2;
  return plan;
}

AreaWindowTracker::AreaWindowTracker(std::vector<AreaEntry> areas, int window)
    : entries_(std::move(areas)), givenUp_(entries_.size(), false), window_(std::max(window, 1)) {
  entries_.reserve(AreaTableCapacity);
}

std::optional<std::size_t> AreaWindowTracker::NextToSend() {
  if (Outstanding() >= static_cast<std::size_t>(window_)) return std::nullopt;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (!entries_[i].Sent && !entries_[i].Done) {
      entries_[i].Sent = true;
      return i;
    }
  }
  return std::nullopt;
}

std::optional<std::size_t> AreaWindowTracker::Current() const {
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].Sent && !entries_[i].Done && !givenUp_[i]) return i;
  }
  return std::nullopt;
}

bool AreaWindowTracker::Requeue(std::size_t index) {
  givenUp_[index] = true;
  if (entries_.size() >= AreaTableCapacity) return false;
  AreaEntry copy = entries_[index];
  copy.Sent = false;
  copy.Done = false;
  entries_.push_back(copy);
  givenUp_.push_back(false);
  return true;
}

void AreaWindowTracker::MarkDone(std::uint16_t address) {
  for (auto& e : entries_) {
    if (e.Address == address) e.Done = true;
  }
}

AreaWindowTracker::AnswerResult AreaWindowTracker::OnAnswer(std::uint16_t address) {
  // The answer to an outstanding request: every request sent before it is taken as lost.
  for (std::size_t k = 0; k < entries_.size(); ++k) {
    const AreaEntry& e = entries_[k];
    if (!e.Sent || e.Done || givenUp_[k] || e.Address != address) continue;
    for (std::size_t j = 0; j < k; ++j) {
      if (entries_[j].Sent && !entries_[j].Done && !givenUp_[j] && !Requeue(j))
        return {Verdict::TableFull, k};
    }
    MarkDone(address);
    return {Verdict::Stored, k};
  }
  // A late answer to a request already given up: its data is as good.
  for (std::size_t k = 0; k < entries_.size(); ++k) {
    if (entries_[k].Address == address && !entries_[k].Done) {
      MarkDone(address);
      return {Verdict::Stored, k};
    }
  }
  for (std::size_t k = 0; k < entries_.size(); ++k) {
    if (entries_[k].Address == address) return {Verdict::Duplicate, k};
  }
  return {Verdict::Unmatched, 0};
}

bool AreaWindowTracker::OnFailure() {
  const auto current = Current();
  return !current || Requeue(*current);
}

bool AreaWindowTracker::AllDone() const {
  return std::all_of(entries_.begin(), entries_.end(), [](const AreaEntry& e) { return e.Done; });
}

std::size_t AreaWindowTracker::Outstanding() const {
  std::size_t n = 0;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].Sent && !entries_[i].Done && !givenUp_[i]) ++n;
  }
  return n;
}

ArchiveLayout ArchiveLayout::Full() { return ArchiveLayout(); }

ArchiveLayout ArchiveLayout::Appended(const std::vector<AreaEntry>& areas, std::int32_t appendOffset,
                                      std::uint32_t appendedSize) {
  ArchiveLayout layout;
  layout.full_ = false;
  layout.appendOffset_ = appendOffset;
  layout.appendedSize_ = appendedSize;
  for (const auto& e : areas) layout.segments_.push_back({e.Address, AreaLength(e.Count), e.Destination});
  return layout;
}

std::vector<ArchiveLayout::Piece> ArchiveLayout::Place(std::int32_t address, std::int32_t length) {
  if (full_) return {{address, length, FullImageBase + address}};
  std::vector<Piece> pieces;
  const std::int32_t end = address + length;
  for (std::int32_t x = address; x < end;) {
    std::int32_t nextStart = end;
    const Piece* inside = nullptr;
    for (const auto& s : segments_) {
      if (x >= s.Address && x < s.Address + s.Length) {
        inside = &s;
        break;
      }
      if (s.Address > x) nextStart = std::min(nextStart, s.Address);
    }
    if (inside) {
      const std::int32_t n = std::min(end, inside->Address + inside->Length) - x;
      pieces.push_back({x, n, inside->Destination + (x - inside->Address)});
      x += n;
      continue;
    }
    // Not in the image yet: it goes behind the appended data.
    const std::int32_t n = nextStart - x;
    const Piece added{x, n, AppendEnd()};
    segments_.push_back(added);
    pieces.push_back(added);
    appendedSize_ += static_cast<std::uint32_t>(n);
    x += n;
  }
  return pieces;
}

std::vector<MemoryRegion> NewHourRegions(const ArchiveGeometry& now, std::int32_t oldPointer) {
  const std::int32_t S = now.RingStart, E = now.RingEnd;
  const std::int32_t from = std::clamp(oldPointer - now.HeaderCorrection, S, E + 1);
  const std::int32_t to = std::clamp(now.NewestEnd(), S, E + 1);
  auto cut = [](std::int32_t a, std::int32_t b) {
    MemoryRegion region;
    for (std::int32_t x = a; x < b; x += 256) region.push_back({x, std::min<std::int32_t>(256, b - x)});
    return region;
  };
  if (oldPointer <= now.Pointer) return {cut(from, to)};
  return {cut(from, E + 1), cut(S, to)};  // the pointer went round the ring end
}

}  // namespace velk
