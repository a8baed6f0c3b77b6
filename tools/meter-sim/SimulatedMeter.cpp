#include "meter-sim/SimulatedMeter.h"

#include <algorithm>
#include <cmath>

#include "link/MeterFrame.h"

namespace velk {

namespace {

constexpr std::size_t RequestLength = 9;
// Hours the meter catches up at most in one go (a clock moved by years does not loop for long).
constexpr int MaxHoursCaughtUp = 20000;

long long HourNumber(TDateTime t) { return static_cast<long long>(std::floor(t * 24.0 + 1e-7)); }

std::optional<int> FromBcd(std::uint8_t b) {
  if ((b >> 4) > 9 || (b & 0x0F) > 9) return std::nullopt;
  return (b >> 4) * 10 + (b & 0x0F);
}

}  // namespace

std::vector<ReceivedRequest> RequestScanner::Feed(std::span<const std::uint8_t> bytes) {
  buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
  std::vector<ReceivedRequest> found;
  const std::size_t lead = addressByte_ ? 1 : 0;
  std::size_t pos = 0;
  while (true) {
    // Next "00 00 A5" with room for the address byte in front.
    std::size_t i = pos + lead;
    while (i + 3 <= buffer_.size() &&
           !(buffer_[i] == 0x00 && buffer_[i + 1] == 0x00 && buffer_[i + 2] == MeterSyncByte)) {
      ++i;
    }
    if (i + 3 > buffer_.size()) {
      // Keep a possible start of a header (and its address byte) for the next call.
      pos = buffer_.size() > lead + 2 ? buffer_.size() - lead - 2 : 0;
      break;
    }
    if (i + RequestLength > buffer_.size()) {
      pos = i - lead;
      break;
    }
    const std::span<const std::uint8_t> frame(buffer_.data() + i, RequestLength);
    const std::uint16_t crc = MeterFrameCrc(frame.subspan(3, 4));
    if (frame[7] != (crc & 0xFF) || frame[8] != (crc >> 8)) {
      pos = i + 1 - lead;
      continue;
    }
    ReceivedRequest r;
    if (addressByte_) r.AddressByte = buffer_[i - 1];
    r.Code = frame[3];
    r.Address = static_cast<std::uint16_t>(frame[4] | (frame[5] << 8));
    r.Count = frame[6];
    found.push_back(r);
    pos = i + RequestLength;
  }
  buffer_.erase(buffer_.begin(), buffer_.begin() + std::min(pos, buffer_.size()));
  return found;
}

std::vector<std::uint8_t> BuildAnswerFrame(std::uint8_t firstByte, std::uint8_t code,
                                           const std::uint8_t (&parameters)[3],
                                           std::span<const std::uint8_t> data) {
  std::vector<std::uint8_t> frame = {firstByte,     0x00,          MeterSyncByte, code,
                                     parameters[0], parameters[1], parameters[2]};
  frame.insert(frame.end(), data.begin(), data.end());
  const std::uint16_t crc = MeterFrameCrc(std::span<const std::uint8_t>(frame).subspan(3));
  frame.push_back(static_cast<std::uint8_t>(crc & 0xFF));
  frame.push_back(static_cast<std::uint8_t>(crc >> 8));
  return frame;
}

SimulatedMeter::SimulatedMeter(MeterMemory memory, const Clock& clock, double clockOffsetSeconds)
    : memory_(std::move(memory)), clock_(clock), offsetSeconds_(clockOffsetSeconds) {
  lastHour_ = HourNumber(MeterTime());
  memory_.WriteClock(MeterTime());
}

TDateTime SimulatedMeter::MeterTime() const { return clock_.Now() + offsetSeconds_ / SecondsPerDay; }

void SimulatedMeter::SetClockOffsetSeconds(double seconds) {
  std::lock_guard lock(mutex_);
  offsetSeconds_ = seconds;
  lastHour_ = HourNumber(MeterTime());
  memory_.WriteClock(MeterTime());
}

double SimulatedMeter::ClockOffsetSeconds() const {
  std::lock_guard lock(mutex_);
  return offsetSeconds_;
}

MeterMemory SimulatedMeter::Memory() const {
  std::lock_guard lock(mutex_);
  return memory_;
}

void SimulatedMeter::SetMemory(MeterMemory memory) {
  std::lock_guard lock(mutex_);
  memory_ = std::move(memory);
  memory_.WriteClock(MeterTime());
}

std::vector<ReceivedRequest> SimulatedMeter::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

int SimulatedMeter::RequestCount(std::uint8_t code) const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(std::count_if(requests_.begin(), requests_.end(),
                                        [code](const ReceivedRequest& r) { return r.Code == code; }));
}

void SimulatedMeter::ClearRequests() {
  std::lock_guard lock(mutex_);
  requests_.clear();
}

void SimulatedMeter::Tick() {
  std::lock_guard lock(mutex_);
  TickLocked();
}

void SimulatedMeter::TickLocked() {
  const TDateTime now = MeterTime();
  const long long hour = HourNumber(now);
  for (int n = 0; lastHour_ < hour && n < MaxHoursCaughtUp; ++n) {
    ++lastHour_;
    const TDateTime hourEnd = static_cast<double>(lastHour_) / 24.0;
    if (memory_.HourRing && memory_.NewHourRecord)
      memory_.AdvanceRing(*memory_.HourRing, memory_.NewHourRecord(hourEnd));
    if (lastHour_ % 24 == 0 && memory_.DayRing && memory_.NewDayRecord) {
      memory_.AdvanceRing(*memory_.DayRing, memory_.NewDayRecord(hourEnd));
    }
  }
  lastHour_ = std::max(lastHour_, hour);
  memory_.WriteClock(now);
}

void SimulatedMeter::SetMeterTime(TDateTime meterTime) {
  offsetSeconds_ = (meterTime - clock_.Now()) * SecondsPerDay;
  lastHour_ = HourNumber(meterTime);
  memory_.WriteClock(meterTime);
}

std::vector<std::uint8_t> SimulatedMeter::ReadWorkingMemory(std::uint16_t address, int length) const {
  std::vector<std::uint8_t> data(length, 0);
  for (int i = 0; i < length; ++i) {
    const int a = address + i;
    if (a >= memory_.RamBlockAddress && a < memory_.RamBlockAddress + 256) {
      data[i] = memory_.Ram[a - memory_.RamBlockAddress];
    } else if (a >= 0xC000 && a < 0xC000 + static_cast<int>(memory_.IdentMemory.size())) {
      data[i] = memory_.IdentMemory[a - 0xC000];
    }
  }
  return data;
}

std::vector<std::uint8_t> SimulatedMeter::ReadNonVolatile(std::uint16_t address, int length) const {
  std::vector<std::uint8_t> data(length, 0xFF);
  for (int i = 0; i < length; ++i) {
    const std::size_t a = static_cast<std::size_t>(address) + i;
    if (a < memory_.Eeprom.size()) data[i] = memory_.Eeprom[a];
  }
  return data;
}

std::optional<std::vector<std::uint8_t>> SimulatedMeter::Answer(const ReceivedRequest& request) {
  std::lock_guard lock(mutex_);
  requests_.push_back(request);
  TickLocked();
  const std::uint8_t echo[3] = {static_cast<std::uint8_t>(request.Address & 0xFF),
                                static_cast<std::uint8_t>(request.Address >> 8), request.Count};
  const int length = request.Count == 0 ? 256 : request.Count;
  switch (request.Code) {
    case MeterCode::Identify: {
      const std::uint8_t id[3] = {static_cast<std::uint8_t>(memory_.ShortSerial & 0xFF),
                                  static_cast<std::uint8_t>(memory_.ShortSerial >> 8), memory_.RawDeviceCode};
      return BuildAnswerFrame(0x00, MeterCode::Identify, id, {});
    }
    case MeterCode::WorkingMemory: {
      // The older meters answer a working-memory request with the non-volatile code.
      const std::uint8_t code =
          memory_.FamilyCode < 50 ? MeterCode::NonVolatileMemory : MeterCode::WorkingMemory;
      return BuildAnswerFrame(0x00, code, echo, ReadWorkingMemory(request.Address, length));
    }
    case MeterCode::NonVolatileMemory:
      return BuildAnswerFrame(0x00, MeterCode::NonVolatileMemory, echo,
                              ReadNonVolatile(request.Address, length));
    case MeterCode::SetTime: {
      const auto minute = FromBcd(request.Address & 0xFF), hour = FromBcd(request.Address >> 8);
      if (!minute || !hour || *minute > 59 || *hour > 23) return std::nullopt;
      DateTimeParts p = DecodeDateTime(MeterTime());
      p.Hour = *hour;
      p.Minute = *minute;
      p.Millisecond = 0;
      SetMeterTime(*EncodeDateTime(p));
      return BuildAnswerFrame(0x00, MeterCode::SetTime, echo, {});
    }
    case MeterCode::SetDate: {
      const auto day = FromBcd(request.Address & 0xFF), month = FromBcd(request.Address >> 8),
                 year = FromBcd(request.Count);
      if (!day || !month || !year || !IsValidDate(2000 + *year, *month, *day)) return std::nullopt;
      DateTimeParts p = DecodeDateTime(MeterTime());
      p.Year = 2000 + *year;
      p.Month = *month;
      p.Day = *day;
      p.Millisecond = 0;
      SetMeterTime(*EncodeDateTime(p));
      return BuildAnswerFrame(0x00, MeterCode::SetDate, echo, {});
    }
    default:
      return std::nullopt;
  }
}

}  // namespace velk
