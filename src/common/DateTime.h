// Day-count date-time: whole days since 30 December 1899 plus the fraction of
// the day. 0 stands for a missing or invalid date.
#pragma once

#include <ctime>
#include <optional>
#include <string>

namespace velk {

using TDateTime = double;

struct DateTimeParts {
  int Year = 1899, Month = 12, Day = 30, Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
};

constexpr double SecondsPerDay = 86400.0;
constexpr double OneSecond = 1.0 / SecondsPerDay;
constexpr double OneHour = 1.0 / 24.0;

bool IsValidDate(int year, int month, int day);
int DaysInMonth(int year, int month);
// std::nullopt when a field is out of range.
std::optional<TDateTime> EncodeDate(int year, int month, int day);
std::optional<TDateTime> EncodeTime(int hour, int minute, int second, int millisecond = 0);
std::optional<TDateTime> EncodeDateTime(const DateTimeParts& parts);
// Splits a value, rounding to the nearest millisecond first.
DateTimeParts DecodeDateTime(TDateTime value);
// The fields of a C library calendar time; a leap second shows as :59.
DateTimeParts PartsOfTm(const std::tm& time, int millisecond);
// Rounds to the nearest whole second.
TDateTime RoundToSecond(TDateTime value);

std::string DateText(TDateTime value);      // dd.mm.yyyy
std::string TimeText(TDateTime value);      // hh:mm:ss
std::string DateTimeText(TDateTime value);  // dd.mm.yyyy hh:mm:ss

}  // namespace velk
