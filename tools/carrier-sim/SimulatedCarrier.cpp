#include "carrier-sim/SimulatedCarrier.h"

#include <algorithm>

#include "common/Mathem.h"

namespace velk {

namespace {

constexpr std::uint16_t NoFaultyBlock = 0x8000;
constexpr std::size_t FaultyAreaAddress = 0x40;
constexpr std::size_t IdentificationAddress = 0x100;
constexpr std::size_t ControlMemorySize = 0x200;

bool LtrFamily(CarrierKind kind) { return kind != CarrierKind::Nkp; }

bool HasExtraBytes(CarrierKind kind, std::uint8_t code) { return LtrFamily(kind) && code >= 0xF1 && code <= 0xF5; }

std::uint16_t Checksum(std::span<const std::uint8_t> bytes) {
  std::uint16_t reg = 0;
  for (auto b : bytes) Crc16Step(b, reg);
  Crc16Step(0, reg);
  Crc16Step(0, reg);
  return reg;
}

int FromBcd(std::uint8_t b) { return (b >> 4) * 10 + (b & 0x0F); }

void PutWord(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint16_t value) {
  bytes[at] = static_cast<std::uint8_t>(value & 0xFF);
  bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

}  // namespace

std::vector<std::uint8_t> BuildCarrierAnswer(std::uint8_t code, std::span<const std::uint8_t> echo,
                                             std::span<const std::uint8_t> data, bool damagedData) {
  std::vector<std::uint8_t> frame{0x00, 0x00, 0xA5, code};
  frame.insert(frame.end(), echo.begin(), echo.end());
  frame.insert(frame.end(), data.begin(), data.end());
  std::uint16_t crc = Checksum(std::span(frame).subspan(3));
  if (damagedData) Crc16Step(0xFF, crc);
  frame.push_back(static_cast<std::uint8_t>(crc & 0xFF));
  frame.push_back(static_cast<std::uint8_t>(crc >> 8));
  return frame;
}

std::vector<CarrierRequest> CarrierRequestScanner::Feed(std::span<const std::uint8_t> bytes) {
  buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
  std::vector<CarrierRequest> found;
  std::size_t pos = 0;
  while (true) {
    auto sync = std::find(buffer_.begin() + static_cast<std::ptrdiff_t>(pos), buffer_.end(), std::uint8_t{0xA5});
    if (sync == buffer_.end()) {
      pos = buffer_.size();
      break;
    }
    const std::size_t s = static_cast<std::size_t>(sync - buffer_.begin());
    if (s + 2 > buffer_.size()) {
      pos = s;
      break;
    }
    const std::uint8_t code = buffer_[s + 1];
    const std::size_t body = 4 + (HasExtraBytes(kind_, code) ? 4 : 0);
    if (s + 1 + body + 2 > buffer_.size()) {
      pos = s;
      break;
    }
    const auto covered = std::span(buffer_).subspan(s + 1, body);
    const std::uint16_t crc = Checksum(covered);
    if (buffer_[s + 1 + body] == (crc & 0xFF) && buffer_[s + 2 + body] == (crc >> 8)) {
      CarrierRequest r;
      r.Code = code;
      r.Param = static_cast<std::uint16_t>(buffer_[s + 2] | (buffer_[s + 3] << 8));
      r.Count = buffer_[s + 4];
      if (body == 8) std::copy_n(buffer_.begin() + static_cast<std::ptrdiff_t>(s + 5), 4, r.Extra.begin());
      found.push_back(r);
      pos = s + 1 + body + 2;
    } else {
      pos = s + 1;  // a stray 0xA5
    }
  }
  buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(std::min(pos, buffer_.size())));
  return found;
}

SimulatedCarrier::SimulatedCarrier(CarrierKind kind, const Clock& clock) : kind_(kind), clock_(clock) {
  faulty_.fill(NoFaultyBlock);
  if (kind == CarrierKind::Nkp) memory_.assign(static_cast<std::size_t>(NkpBlocks) * NkpBlockBytes, 0);
  if (kind == CarrierKind::Ltr2) memorySize_ = 32;
}

void SimulatedCarrier::SetSerial(std::uint16_t serial) {
  std::lock_guard lock(mutex_);
  serial_ = serial;
}

void SimulatedCarrier::SetClockOffsetSeconds(double seconds) {
  std::lock_guard lock(mutex_);
  offsetSeconds_ = seconds;
}

void SimulatedCarrier::StopClock(bool stopped) {
  std::lock_guard lock(mutex_);
  if (stopped && !stopped_) stoppedAt_ = clock_.Now() + offsetSeconds_ / SecondsPerDay;
  stopped_ = stopped;
}

TDateTime SimulatedCarrier::CarrierTime() const {
  std::lock_guard lock(mutex_);
  return stopped_ ? stoppedAt_ : clock_.Now() + offsetSeconds_ / SecondsPerDay;
}

void SimulatedCarrier::SetCarrierTime(TDateTime value) {
  offsetSeconds_ = (value - clock_.Now()) * SecondsPerDay;
  stopped_ = false;
}

bool SimulatedCarrier::AddNkpFile(std::span<const std::uint8_t> bytes) {
  std::lock_guard lock(mutex_);
  const int blocks = static_cast<int>((bytes.size() + NkpBlockBytes - 1) / NkpBlockBytes);
  if (blocks == 0 || freeBlock_ + blocks > NkpBlocks || starts_.size() >= 127) return false;
  std::copy(bytes.begin(), bytes.end(), memory_.begin() + static_cast<std::ptrdiff_t>(freeBlock_) * NkpBlockBytes);
  starts_.push_back(freeBlock_);
  freeBlock_ = static_cast<std::uint16_t>(freeBlock_ + blocks);
  return true;
}

void SimulatedCarrier::MarkFaultyBlock(std::uint16_t block, int slot) {
  std::lock_guard lock(mutex_);
  if (slot >= 0 && slot < static_cast<int>(faulty_.size())) {
    faulty_[static_cast<std::size_t>(slot)] = block;
    return;
  }
  for (auto& free : faulty_)
    if (free == NoFaultyBlock) {
      free = block;
      return;
    }
}

void SimulatedCarrier::SetUnreadableBlock(std::uint16_t block) {
  std::lock_guard lock(mutex_);
  unreadable_.insert(block);
}

void SimulatedCarrier::SetDamagedBlock(std::uint16_t block) {
  std::lock_guard lock(mutex_);
  damaged_.insert(block);
}

std::vector<std::uint16_t> SimulatedCarrier::FaultyBlocks() const {
  std::lock_guard lock(mutex_);
  std::vector<std::uint16_t> list;
  for (auto slot : faulty_)
    if (slot != NoFaultyBlock) list.push_back(slot);
  return list;
}

int SimulatedCarrier::NkpFileCount() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(starts_.size());
}

void SimulatedCarrier::SetMemorySize(int blocks) {
  std::lock_guard lock(mutex_);
  if (kind_ == CarrierKind::Ltr) memorySize_ = std::clamp(blocks, 1, 255);
}

bool SimulatedCarrier::AddLtrFile(int block, LtrCarrierFile file) {
  std::lock_guard lock(mutex_);
  if (block < 0 || block >= memorySize_) return false;
  file.Payload.resize(kind_ == CarrierKind::Ltr2 ? Ltr2PayloadBytes : LtrPayloadBytes, 0);
  blocks_[block] = LtrBlock{std::move(file), false};
  return true;
}

std::vector<int> SimulatedCarrier::LtrFileBlocks() const {
  std::lock_guard lock(mutex_);
  std::vector<int> list;
  for (const auto& [block, b] : blocks_)
    if (!b.Deleted) list.push_back(block);
  return list;
}

std::vector<CarrierRequest> SimulatedCarrier::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

int SimulatedCarrier::RequestCount(std::uint8_t code) const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(std::count_if(requests_.begin(), requests_.end(), [&](auto& r) { return r.Code == code; }));
}

void SimulatedCarrier::ClearRequests() {
  std::lock_guard lock(mutex_);
  requests_.clear();
}

std::optional<std::vector<std::uint8_t>> SimulatedCarrier::Answer(const CarrierRequest& request) {
  std::lock_guard lock(mutex_);
  requests_.push_back(request);
  return kind_ == CarrierKind::Nkp ? AnswerNkp(request) : AnswerLtr(request);
}

std::vector<std::uint8_t> SimulatedCarrier::ControlMemory() const {
  std::vector<std::uint8_t> area(ControlMemorySize, 0);
  for (std::size_t i = 0; i < faulty_.size(); ++i) PutWord(area, FaultyAreaAddress + 2 * i, faulty_[i]);
  std::size_t at = IdentificationAddress;
  for (auto start : starts_) {
    PutWord(area, at, start);
    at += 2;
  }
  PutWord(area, at, static_cast<std::uint16_t>(0x8000 | freeBlock_));
  return area;
}

std::optional<std::vector<std::uint8_t>> SimulatedCarrier::AnswerNkp(const CarrierRequest& r) {
  const std::uint8_t lo = static_cast<std::uint8_t>(r.Param & 0xFF), hi = static_cast<std::uint8_t>(r.Param >> 8);
  const std::uint8_t echo[3] = {lo, hi, r.Count};
  auto status = [&](std::uint8_t s) {
    const std::uint8_t bytes[3] = {s, hi, r.Count};
    return BuildCarrierAnswer(r.Code, bytes, {});
  };
  switch (r.Code) {
    case 0xF0: {  // control memory: the faulty-block area and the identification area
      const auto area = ControlMemory();
      const std::size_t n = r.Count == 0 ? 256 : r.Count;
      if (r.Param + n > area.size()) return std::nullopt;
      return BuildCarrierAnswer(r.Code, echo, std::span(area).subspan(r.Param, n));
    }
    case 0xF1: {  // memory blocks
      const std::size_t n = static_cast<std::size_t>(r.Count) * NkpBlockBytes;
      if (r.Count == 0 || r.Param + r.Count > NkpBlocks) return std::nullopt;
      const auto data = std::span(memory_).subspan(static_cast<std::size_t>(r.Param) * NkpBlockBytes, n);
      bool damaged = false;
      for (int b = r.Param; b < r.Param + r.Count; ++b) damaged = damaged || damaged_.count(static_cast<std::uint16_t>(b));
      return BuildCarrierAnswer(r.Code, echo, data, damaged);
    }
    case 0xF2: {  // presence poll: the carrier's serial number
      const std::uint8_t bytes[3] = {static_cast<std::uint8_t>(serial_ & 0xFF), static_cast<std::uint8_t>(serial_ >> 8),
                                     0};
      return BuildCarrierAnswer(r.Code, bytes, {});
    }
    case 0xF5:  // clear the memory
      std::fill(memory_.begin(), memory_.end(), 0);
      starts_.clear();
      freeBlock_ = 0;
      faulty_.fill(NoFaultyBlock);
      unreadable_.clear();
      damaged_.clear();
      return BuildCarrierAnswer(r.Code, echo, {});
    case 0xE2: {  // clock; bit 7 of the seconds marks a stopped clock
      const TDateTime now = stopped_ ? stoppedAt_ : clock_.Now() + offsetSeconds_ / SecondsPerDay;
      const auto bcd = DateTimeToBcd(now);
      const std::uint8_t data[6] = {static_cast<std::uint8_t>(bcd.Second | (stopped_ ? 0x80 : 0)),
                                    bcd.Minute, bcd.Hour, bcd.Day, bcd.Month, bcd.Year};
      return BuildCarrierAnswer(r.Code, echo, data);
    }
    case 0xE9: {  // date: day, month, year
      const TDateTime now = stopped_ ? stoppedAt_ : clock_.Now() + offsetSeconds_ / SecondsPerDay;
      DateTimeParts p = DecodeDateTime(now);
      p.Day = FromBcd(lo);
      p.Month = FromBcd(hi);
      p.Year = 2000 + FromBcd(r.Count);
      if (auto t = EncodeDateTime(p)) SetCarrierTime(*t);
      return status(lo);
    }
    case 0xE8: {  // time: minute, hour, second
      const TDateTime now = stopped_ ? stoppedAt_ : clock_.Now() + offsetSeconds_ / SecondsPerDay;
      DateTimeParts p = DecodeDateTime(now);
      p.Minute = FromBcd(lo);
      p.Hour = FromBcd(hi);
      p.Second = FromBcd(r.Count);
      p.Millisecond = 0;
      if (auto t = EncodeDateTime(p)) SetCarrierTime(*t);
      return status(lo);
    }
    case 0xF8:  // check one block
      return status(unreadable_.count(r.Param) ? 0xFF : 0x00);
    case 0xF6: {  // restore: the address of a faulty-area slot, then its second byte
      const int slot = (static_cast<int>(r.Param) - static_cast<int>(FaultyAreaAddress)) / 2;
      if (slot < 0 || slot >= static_cast<int>(faulty_.size())) return status(0xFF);
      if (r.Count == 0) return status(0x77);
      damaged_.erase(faulty_[static_cast<std::size_t>(slot)]);
      faulty_[static_cast<std::size_t>(slot)] = NoFaultyBlock;
      return status(0x00);
    }
    default: return std::nullopt;
  }
}

std::vector<std::uint8_t> SimulatedCarrier::LtrDirectory() const {
  const bool ltr2 = kind_ == CarrierKind::Ltr2;
  const TDateTime now = stopped_ ? stoppedAt_ : clock_.Now() + offsetSeconds_ / SecondsPerDay;
  const auto clock = DateTimeToBcd(now);
  std::vector<const std::pair<const int, LtrBlock>*> files;
  for (const auto& entry : blocks_)
    if (!entry.second.Deleted) files.push_back(&entry);
  const std::size_t first = ltr2 ? 13 : 16, recordSize = ltr2 ? 11 : 14;
  std::vector<std::uint8_t> d(first + recordSize * files.size(), 0);
  PutWord(d, 0, static_cast<std::uint16_t>(d.size() + 3));
  d[2] = ltr2 ? 2 : 1;
  if (!ltr2) {
    PutWord(d, 3, serial_);
    d[7] = clock.Second, d[8] = clock.Minute, d[9] = clock.Hour, d[11] = clock.Day, d[12] = clock.Month,
    d[13] = clock.Year;
    d[14] = static_cast<std::uint8_t>(memorySize_);
    d[15] = static_cast<std::uint8_t>(files.size());
  } else {
    PutWord(d, 4, serial_);
    d[6] = clock.Second, d[7] = clock.Minute, d[8] = clock.Hour, d[9] = clock.Day, d[10] = clock.Month,
    d[11] = clock.Year;
    d[12] = static_cast<std::uint8_t>(files.size());
  }
  for (std::size_t i = 0; i < files.size(); ++i) {
    const auto& [block, b] = *files[i];
    const auto& f = b.File;
    const auto t = DateTimeToBcd(f.ReadTime);
    const std::size_t at = first + recordSize * i;
    d[at] = f.DeviceType;
    if (!ltr2) {
      PutWord(d, at + 1, f.SerialNumber);
      PutWord(d, at + 3, f.VoltageRaw);
      d[at + 6] = t.Minute, d[at + 7] = t.Hour, d[at + 9] = t.Day, d[at + 10] = t.Month, d[at + 11] = t.Year;
      d[at + 12] = static_cast<std::uint8_t>(block);
    } else {
      d[at + 1] = f.DnCode;
      PutWord(d, at + 2, f.SerialNumber);
      d[at + 4] = static_cast<std::uint8_t>(f.VoltageRaw);
      d[at + 5] = t.Minute, d[at + 6] = t.Hour, d[at + 7] = t.Day, d[at + 8] = t.Month, d[at + 9] = t.Year;
      d[at + 10] = static_cast<std::uint8_t>(block);
    }
  }
  return d;
}

std::optional<std::vector<std::uint8_t>> SimulatedCarrier::AnswerLtr(const CarrierRequest& r) {
  const bool ltr2 = kind_ == CarrierKind::Ltr2;
  const std::uint8_t echo[3] = {static_cast<std::uint8_t>(r.Param & 0xFF), static_cast<std::uint8_t>(r.Param >> 8),
                                r.Count};
  const std::uint8_t ok[3] = {0, 0, 0};
  switch (r.Code) {
    case 0xF2: return BuildCarrierAnswer(r.Code, {}, LtrDirectory());
    case 0xF1: {
      const std::size_t size = ltr2 ? Ltr2PayloadBytes : LtrPayloadBytes;
      auto it = blocks_.find(r.Param);
      if (it == blocks_.end()) return BuildCarrierAnswer(r.Code, {}, std::vector<std::uint8_t>(size, 0xFF));
      return BuildCarrierAnswer(r.Code, {}, it->second.File.Payload);
    }
    case 0xF4: {  // delete; 0xFF in the high byte: undelete. The ЛТР-2 counts blocks from 1.
      const bool undelete = (r.Param >> 8) == 0xFF;
      const int block = (undelete ? (r.Param & 0xFF) : r.Param) - (ltr2 ? 1 : 0);
      auto it = blocks_.find(block);
      if (it != blocks_.end()) it->second.Deleted = !undelete;
      return BuildCarrierAnswer(r.Code, echo, {});
    }
    case 0xF3: {  // date and time: second, minute, hour; day of week, day, month, year − 2000
      DateTimeParts p;
      p.Second = FromBcd(echo[0]);
      p.Minute = FromBcd(echo[1]);
      p.Hour = FromBcd(r.Count);
      p.Day = FromBcd(r.Extra[1]);
      p.Month = FromBcd(r.Extra[2]);
      p.Year = 2000 + FromBcd(r.Extra[3]);
      if (auto t = EncodeDateTime(p)) SetCarrierTime(*t);
      return BuildCarrierAnswer(r.Code, {}, ok);
    }
    case 0xF5:
      blocks_.clear();
      return BuildCarrierAnswer(r.Code, {}, ok);
    default: return std::nullopt;
  }
}

}  // namespace velk
