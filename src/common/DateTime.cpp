#include "common/DateTime.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace velk {

namespace {

constexpr std::int64_t MsPerDay = 86'400'000;

// Days since 1970-01-01 in the proleptic Gregorian calendar.
constexpr std::int64_t DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int yoe = static_cast<int>(y - era * 400);
  const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(std::int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int doe = static_cast<int>(z - era * 146097);
  const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

constexpr std::int64_t EpochDays = DaysFromCivil(1899, 12, 30);

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

}  // namespace

int DaysInMonth(int year, int month) {
  static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

bool IsValidDate(int year, int month, int day) {
  return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
         day <= DaysInMonth(year, month);
}

std::optional<TDateTime> EncodeDate(int year, int month, int day) {
  if (!IsValidDate(year, month, day)) return std::nullopt;
  return static_cast<double>(DaysFromCivil(year, month, day) - EpochDays);
}

std::optional<TDateTime> EncodeTime(int hour, int minute, int second, int millisecond) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0 ||
      millisecond > 999) {
    return std::nullopt;
  }
  const std::int64_t ms = ((hour * 60LL + minute) * 60 + second) * 1000 + millisecond;
  return static_cast<double>(ms) / MsPerDay;
}

std::optional<TDateTime> EncodeDateTime(const DateTimeParts& parts) {
  const auto date = EncodeDate(parts.Year, parts.Month, parts.Day);
  const auto time = EncodeTime(parts.Hour, parts.Minute, parts.Second, parts.Millisecond);
  if (!date || !time) return std::nullopt;
  // Before the epoch the time of day counts away from zero, as the day part does.
  return *date >= 0 ? *date + *time : *date - *time;
}

DateTimeParts PartsOfTm(const std::tm& time, int millisecond) {
  DateTimeParts parts;
  parts.Year = time.tm_year + 1900;
  parts.Month = time.tm_mon + 1;
  parts.Day = time.tm_mday;
  parts.Hour = time.tm_hour;
  parts.Minute = time.tm_min;
  parts.Second = time.tm_sec > 59 ? 59 : time.tm_sec;
  parts.Millisecond = millisecond;
  return parts;
}

DateTimeParts DecodeDateTime(TDateTime value) {
  DateTimeParts parts;
  if (!std::isfinite(value) || std::fabs(value) > 3.0e6) return parts;
  const std::int64_t totalMs = std::llround(value * MsPerDay);
  const std::int64_t days = totalMs / MsPerDay;
  std::int64_t msOfDay = std::llabs(totalMs % MsPerDay);
  CivilFromDays(EpochDays + days, parts.Year, parts.Month, parts.Day);
  parts.Millisecond = static_cast<int>(msOfDay % 1000);
  msOfDay /= 1000;
  parts.Second = static_cast<int>(msOfDay % 60);
  msOfDay /= 60;
  parts.Minute = static_cast<int>(msOfDay % 60);
  parts.Hour = static_cast<int>(msOfDay / 60);
  return parts;
}

TDateTime RoundToSecond(TDateTime value) { return std::round(value * SecondsPerDay) / SecondsPerDay; }

namespace {

// Three numbers zero-padded to their widths with `separator` between them, as
// "%0*d" writes them; the usual ranges are written directly, which the archive
// grids' thousands of stamps need.
std::string ThreeFields(int first, int firstWidth, int second, int third, int thirdWidth, char separator) {
  const auto fits = [](int value, int width) { return value >= 0 && value < (width == 2 ? 100 : 10000); };
  if (!fits(first, firstWidth) || !fits(second, 2) || !fits(third, thirdWidth)) {
    char text[48];
    std::snprintf(text, sizeof text, "%0*d%c%02d%c%0*d", firstWidth, first, separator, second, separator,
                  thirdWidth, third);
    return text;
  }
  std::string text(std::size_t(firstWidth + thirdWidth + 4), separator);
  const auto put = [&text](std::size_t end, int value, int width) {
    for (int i = 1; i <= width; ++i, value /= 10) text[end - i] = char('0' + value % 10);
  };
  put(std::size_t(firstWidth), first, firstWidth);
  put(std::size_t(firstWidth + 3), second, 2);
  put(text.size(), third, thirdWidth);
  return text;
}

}  // namespace

std::string DateText(TDateTime value) {
  const DateTimeParts p = DecodeDateTime(value);
  return ThreeFields(p.Day, 2, p.Month, p.Year, 4, '.');
}

std::string TimeText(TDateTime value) {
  // Whole seconds as shown; the millisecond part is cut, not rounded into the next second.
  const DateTimeParts p = DecodeDateTime(value);
  return ThreeFields(p.Hour, 2, p.Minute, p.Second, 2, ':');
}

std::string DateTimeText(TDateTime value) { return DateText(value) + " " + TimeText(value); }

}  // namespace velk
