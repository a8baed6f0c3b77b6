#include "reports/ReportPeriods.h"

#include <array>
#include <cmath>

#include "common/DateTime.h"

namespace velk {
namespace {

// Whole-day part of a date-time, taken to the millisecond first so that a
// stamp stepped back by exactly one hour stays on its day.
double DayOf(double dateTime) { return std::floor(std::nearbyint(dateTime * 86400000.0) / 86400000.0); }

int MonthOf(double dateTime) { return DecodeDateTime(dateTime).Month; }

// Running averages of T1..T3 and P1..P3 of the record being summed up.
class PeriodAccumulator {
 public:
  PeriodAccumulator(double pressureLimit) : pressureLimit_(pressureLimit) {}

  void Start(TsvRecord& period, const TsvRecord& from) {
    const double dateTime = period.DateTime;
    period = from;
    period.DateTime = dateTime;
    counts_.fill(0);
    std::array<float*, 6> fields = Fields(period);
    for (std::size_t i = 0; i < 6; ++i) {
      if (Valid(i, *fields[i]))
        counts_[i] = 1;
      else
        *fields[i] = 0;
    }
  }

  void Add(TsvRecord& period, const TsvRecord& h) {
    period.Q += h.Q;
    period.G1 += h.G1;
    period.G2 += h.G2;
    period.G3 += h.G3;
    period.V1 += h.V1;
    period.V2 += h.V2;
    period.V3 += h.V3;
    period.WorkTime += h.WorkTime;
    std::array<float*, 6> fields = Fields(period);
    const std::array<float, 6> values{h.T1, h.T2, h.T3, h.P1, h.P2, h.P3};
    for (std::size_t i = 0; i < 6; ++i) {
      if (!Valid(i, values[i])) continue;
      const double n = counts_[i];
      *fields[i] = static_cast<float>((n * *fields[i] + values[i]) / (n + 1));
      ++counts_[i];
    }
    period.ErrorCode |= h.ErrorCode;
    period.DateTime = h.DateTime;
  }

 private:
  static std::array<float*, 6> Fields(TsvRecord& r) { return {&r.T1, &r.T2, &r.T3, &r.P1, &r.P2, &r.P3}; }
  bool Valid(std::size_t field, float value) const {
    if (field < 3) return value > 0 && value < 255;
    return value < pressureLimit_;
  }

  double pressureLimit_;
  std::array<int, 6> counts_{};
};

template <class Record>
void KeepNewest(std::vector<Record>& table, std::size_t capacity) {
  if (table.size() > capacity)
    table.erase(table.begin(), table.end() - static_cast<std::ptrdiff_t>(capacity));
}

}  // namespace

void RebuildTsvDays(TTsvReportImage& image) {
  auto& days = image.DayData;
  days.clear();
  PeriodAccumulator sums(2.569);
  double dayKey = 0;
  for (const TsvRecord& h : image.HourData) {
    if (!days.empty() && DayOf(h.DateTime - OneHour) == dayKey) {
      sums.Add(days.back(), h);
      continue;
    }
    // A new day starts only when the hour is later than the day before the current one.
    if (days.size() <= 1 || h.DateTime > days[days.size() - 2].DateTime) {
      dayKey = DayOf(h.DateTime);
      days.emplace_back().DateTime = dayKey;
      sums.Start(days.back(), h);
    }
  }
  KeepNewest(days, DayReportCapacity);
}

void RebuildTsvMonths(TTsvReportImage& image) {
  auto& months = image.MontData;
  months.clear();
  PeriodAccumulator sums(25.35);
  int monthKey = 0;
  for (const TsvRecord& d : image.DayData) {
    const int month = MonthOf(d.DateTime - OneHour);
    if (!months.empty() && month == monthKey) {
      sums.Add(months.back(), d);
      continue;
    }
    monthKey = month;
    months.emplace_back().DateTime = d.DateTime;
    sums.Start(months.back(), d);
  }
  KeepNewest(months, MonthReportCapacity);
}

namespace {

constexpr double OneMinute = 1.0 / 1440.0;

// Sums N and V of the input records per calendar key (day of month or month).
template <class KeyOf>
void SumTsdPeriods(const std::vector<TsdRecord>& input, std::vector<TsdRecord>& output, std::size_t capacity,
                   KeyOf keyOf) {
  output.clear();
  int key = 0;
  for (const TsdRecord& r : input) {
    const int k = keyOf(output.empty() ? r.DateTime : r.DateTime - OneMinute);
    if (!output.empty() && k == key) {
      TsdRecord& period = output.back();
      period.N =
          static_cast<std::int32_t>(static_cast<std::uint32_t>(period.N) + static_cast<std::uint32_t>(r.N));
      period.V += r.V;
      period.DateTime = r.DateTime;
      continue;
    }
    key = k;
    output.push_back({r.DateTime, r.N, r.V, 0});
  }
  KeepNewest(output, capacity);
}

}  // namespace

void RebuildTsdPeriods(TTsdReportImage& image) {
  SumTsdPeriods(image.HourData, image.DayData, DayReportCapacity,
                [](double t) { return DecodeDateTime(t).Day; });
  SumTsdPeriods(image.DayData, image.MontData, MonthReportCapacity,
                [](double t) { return DecodeDateTime(t).Month; });
}

}  // namespace velk
