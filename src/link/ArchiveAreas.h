// Planning and bookkeeping of the archive reading, without a link: which
// memory areas to request (full or changes mode), where their bytes go in the
// image, which requests are outstanding, and where a re-read of the newest
// records must be written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/DateTime.h"
#include "common/Mathem.h"

namespace velk {

constexpr std::size_t AreaTableCapacity = 500;
constexpr std::int32_t FullImageBase = 512;  // [512 + a] holds memory byte a in a full image

struct AreaEntry {
  std::uint16_t Address = 0;
  std::uint8_t Count = 0;  // 0 stands for 256
  std::int32_t Destination = 0;
  bool Sent = false;
  bool Done = false;
  std::uint8_t Spare = 0;
};

inline int AreaLength(std::uint8_t count) { return count == 0 ? 256 : count; }

// Appends the areas covering memory [from, toExclusive) in 256-byte steps; their
// destinations follow one another from `destination`, which is advanced.
void AppendAreas(std::vector<AreaEntry>& areas, std::int32_t from, std::int32_t toExclusive,
                 std::int32_t& destination);

// The archive ring as the constants describe it.
struct ArchiveGeometry {
  std::int32_t Pointer = 0;    // P, start of the newest record
  std::int32_t RingStart = 0;  // S
  std::int32_t RingEnd = 0;    // E, last byte
  std::int32_t AppendOffset = 0;
  std::int32_t RecordSize = 0;        // R; 0 when the family has none
  std::int32_t HeaderCorrection = 0;  // K
  std::int32_t NewestEnd() const { return Pointer + RecordSize - HeaderCorrection; }  // T
  std::int32_t Capacity() const { return RingEnd + 1 - RingStart; }                   // Q
  // S <= P <= E within the 16-bit memory, a record size, and T inside the ring.
  bool Valid() const;
};

ArchiveGeometry ArchiveGeometryOf(int familyCode, ImageView image);

struct ArchiveInput {
  int FamilyCode = 0;
  int ReadMode = 1;  // 0 full, 1 changes, 2 current data only
  std::int32_t SavedPointer = 0;
  TDateTime SavedReadTime = 0;
  TDateTime Now = 0;
  std::int32_t DumpLength = 768;
};

struct ArchivePlan {
  int ReadMode = 0;  // the mode actually used
  std::vector<AreaEntry> Areas;
  // Written to [152..155] (and 0 to [156..159]) when set.
  std::optional<std::uint32_t> AppendedSize;
  std::int32_t DumpLength = 0;
  // Why changes mode fell back to a full reading (empty otherwise).
  std::string Note;
};

// The areas of the whole memory from address 256 on, per family.
ArchivePlan PlanFullArchive(const ArchiveInput& input, ImageView image);
// The part of the ring written since the previous reading (or the whole ring after an overrun).
ArchivePlan PlanChangedArchive(const ArchiveInput& input, ImageView image);
// Chooses the mode as the reading does and plans it.
ArchivePlan PlanArchive(const ArchiveInput& input, ImageView image);

// Which requests of the area table are outstanding and which are done, with
// re-requests appended for lost answers and for answers passed over by a later one.
class AreaWindowTracker {
 public:
  AreaWindowTracker(std::vector<AreaEntry> areas, int window);

  // The next entry to request while fewer than `window` are outstanding; marks it sent.
  std::optional<std::size_t> NextToSend();
  // The oldest outstanding entry: the one whose answer is awaited next.
  std::optional<std::size_t> Current() const;

  enum class Verdict {
    Stored,     // the data belongs to `Entry`
    Duplicate,  // an area already stored; the data is not needed
    Unmatched,  // no area of the table has that address
    TableFull,  // a re-request would not fit into the table
  };
  struct AnswerResult {
    Verdict Outcome;
    std::size_t Entry = 0;
  };
  // A correct answer carrying `address`.
  AnswerResult OnAnswer(std::uint16_t address);
  // No usable answer for the current entry: it is requested again later.
  // false when the table is full.
  bool OnFailure();

  bool AllDone() const;
  std::size_t Outstanding() const;
  const std::vector<AreaEntry>& Entries() const { return entries_; }

 private:
  bool Requeue(std::size_t index);
  void MarkDone(std::uint16_t address);

  std::vector<AreaEntry> entries_;
  std::vector<bool> givenUp_;
  int window_;
};

// Where memory bytes lie in the image after the archive step: at [512 + a] for a
// full image, or in the appended areas. Bytes the appended areas do not hold are
// appended behind them (the ring grew during the reading).
class ArchiveLayout {
 public:
  static ArchiveLayout Full();
  static ArchiveLayout Appended(const std::vector<AreaEntry>& areas, std::int32_t appendOffset,
                                std::uint32_t appendedSize);

  struct Piece {
    std::int32_t Address;
    std::int32_t Length;
    std::int32_t Destination;
  };
  std::vector<Piece> Place(std::int32_t address, std::int32_t length);
  bool IsFull() const { return full_; }
  std::uint32_t AppendedSize() const { return appendedSize_; }
  std::int32_t AppendEnd() const { return appendOffset_ + static_cast<std::int32_t>(appendedSize_); }

 private:
  bool full_ = true;
  std::vector<Piece> segments_;
  std::int32_t appendOffset_ = 0;
  std::uint32_t appendedSize_ = 0;
};

// The memory to read again when the meter started a new hour during the reading:
// from the newest record at the start (`oldPointer`) to the end of the newest
// record now, as one region, or two when the pointer went round the ring end.
// Each region is cut into ranges of at most 256 bytes (one request each).
struct MemoryRange {
  std::int32_t Address;
  std::int32_t Length;
};
using MemoryRegion = std::vector<MemoryRange>;
std::vector<MemoryRegion> NewHourRegions(const ArchiveGeometry& now, std::int32_t oldPointer);

}  // namespace velk
