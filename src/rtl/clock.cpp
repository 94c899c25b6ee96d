#include "rtl/clock.h"

#include <atomic>
#include <limits>

#include "rtl/system_services.h"

namespace rtl {

namespace {

constexpr std::int64_t kTicksPerMillisecond = 10'000;
constexpr std::int64_t kTicksPerSecond = 1000 * kTicksPerMillisecond;
constexpr std::int64_t kTicksPerDay = 86'400 * kTicksPerSecond;

// Days between 0000-03-01 and 1601-01-01 on the proleptic Gregorian calendar, so that day 0 of
// the FILETIME scale is 1601-01-01.
constexpr std::int64_t kEpochShift = 584'694;

// Day number counted from 0000-03-01; eras of 400 years repeat exactly.
std::int64_t DaysFromMarchZero(std::int64_t year, int month, int day) {
  year -= month <= 2;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t yearOfEra = year - era * 400;
  const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146'097 + dayOfEra;
}

void CivilFromMarchZero(std::int64_t days, TDateTime& civil) {
  const std::int64_t era = (days >= 0 ? days : days - 146'096) / 146'097;
  const std::int64_t dayOfEra = days - era * 146'097;
  const std::int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36'524 - dayOfEra / 146'096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;  // 0 = March
  civil.Day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
  civil.Month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
  civil.Year = static_cast<int>(yearOfEra + era * 400 + (civil.Month <= 2));
}

}  // namespace

bool IsLeapYear(int year) {
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

TDateTime CivilFromFileTime(FileTime time) {
  const auto days = static_cast<std::int64_t>(time / kTicksPerDay);
  auto ticks = static_cast<std::int64_t>(time % kTicksPerDay);
  TDateTime civil;
  CivilFromMarchZero(days + kEpochShift, civil);
  civil.Hour = static_cast<int>(ticks / (3600 * kTicksPerSecond));
  ticks %= 3600 * kTicksPerSecond;
  civil.Minute = static_cast<int>(ticks / (60 * kTicksPerSecond));
  ticks %= 60 * kTicksPerSecond;
  civil.Second = static_cast<int>(ticks / kTicksPerSecond);
  civil.Millisecond = static_cast<int>(ticks % kTicksPerSecond / kTicksPerMillisecond);
  return civil;
}

std::optional<FileTime> FileTimeFromCivil(const TDateTime& civil) {
  if (civil.Year < 1601 || civil.Month < 1 || civil.Month > 12 || civil.Day < 1 ||
      civil.Day > DaysInMonth(civil.Year, civil.Month) || civil.Hour < 0 || civil.Hour > 23 ||
      civil.Minute < 0 || civil.Minute > 59 || civil.Second < 0 || civil.Second > 59 ||
      civil.Millisecond < 0 || civil.Millisecond > 999)
    return std::nullopt;
  const auto days = static_cast<std::uint64_t>(
      DaysFromMarchZero(civil.Year, civil.Month, civil.Day) - kEpochShift);
  const auto ticksInDay = static_cast<std::uint64_t>(
      ((civil.Hour * 60 + civil.Minute) * 60 + civil.Second) * kTicksPerSecond +
      civil.Millisecond * kTicksPerMillisecond);
  // The scale ends in the year 60056.
  constexpr auto kMax = std::numeric_limits<FileTime>::max();
  if (days > (kMax - ticksInDay) / kTicksPerDay) return std::nullopt;
  return days * kTicksPerDay + ticksInDay;
}

namespace {
std::atomic<const TClock*> clockOverride{nullptr};
}  // namespace

const TClock& Clock() {
  const TClock* clock = clockOverride.load();
  return clock ? *clock : SystemClock();
}

const TClock* SetClock(const TClock* clock) {
  return clockOverride.exchange(clock);
}

}  // namespace rtl
