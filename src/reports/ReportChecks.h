// Whether the bytes of a report file are a whole report of their format: the
// checks that the join makes on the previous reading's file and the viewer on
// every file it opens.
#pragma once

#include <cmath>
#include <optional>
#include <span>
#include <string>

#include "reports/ReportCapacity.h"
#include "reports/ReportFormats.h"

namespace velk {

inline bool PlausibleReportTime(double t) { return std::isfinite(t) && t > -693594 && t < 2958466; }

// Why the bytes are not a report of format F, or nothing when they are.
template <class F>
std::optional<std::string> ReportFileProblem(std::span<const std::uint8_t> bytes) {
  const auto u16 = [&](std::size_t at) { return report_bytes::LoadLe<std::uint16_t>(bytes.data() + at); };
  if (bytes.size() < F::RecordsAt)
    return "файл короче заголовка: " + std::to_string(bytes.size()) + " байт из " +
           std::to_string(F::RecordsAt);
  if (u16(0) != F::FileVersion) return "неизвестная версия файла " + std::to_string(u16(0));
  if (u16(F::HeaderSizeAt) != F::HeaderSize)
    return "неверный размер заголовка HeaderSize " + std::to_string(u16(F::HeaderSizeAt)) + " (должен быть " +
           std::to_string(F::HeaderSize) + ")";
  if (auto problem = F::HeaderProblem(bytes)) return problem;
  const std::size_t hours = u16(F::HourCountAt), days = u16(F::DayCountAt), months = u16(F::MonthCountAt);
  if (hours > HourReportCapacity || days > DayReportCapacity || months > MonthReportCapacity)
    return "недопустимое число записей";
  const std::size_t expected = F::RecordsAt + F::RecordBytes * (hours + days + months);
  if (bytes.size() < expected)
    return "файл обрезан: " + std::to_string(bytes.size()) + " байт, по заголовку " +
           std::to_string(expected);
  if (bytes.size() != expected)
    return "длина файла не совпадает с заголовком: " + std::to_string(bytes.size()) + " байт, по заголовку " +
           std::to_string(expected);
  if (!PlausibleReportTime(F::LastHourTime(bytes))) return "недопустимое время";
  for (std::size_t i = 0; i < hours + days + months; ++i) {
    if (!PlausibleReportTime(F::DecodeRecord(bytes, F::RecordsAt + i * F::RecordBytes).DateTime))
      return "недопустимое время записи " + std::to_string(i + 1);
  }
  return std::nullopt;
}

}  // namespace velk
