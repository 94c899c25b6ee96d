// Civil date-times, the FILETIME scale and the clock interface (local time and its conversions).
#pragma once

#include <cstdint>
#include <optional>

#include "rtl/file_stream.h"

namespace rtl {

// A civil date and time without a zone; month 1-12, day 1-31.
struct TDateTime {
  int Year = 1601, Month = 1, Day = 1;
  int Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
  friend bool operator==(const TDateTime&, const TDateTime&) = default;
};

bool IsLeapYear(int year);  // Gregorian rule
int DaysInMonth(int year, int month);

// Exact arithmetic between FILETIME values and civil date-times on the same (zone-less) scale.
TDateTime CivilFromFileTime(FileTime time);
// Nothing for an invalid civil date or one before 1601.
std::optional<FileTime> FileTimeFromCivil(const TDateTime& civil);

class TClock {
 public:
  virtual ~TClock() = default;
  // The current local civil time.
  virtual TDateTime Now() const = 0;
  // A UTC file time as local civil time, with the zone rules in force at that instant.
  virtual TDateTime UtcToLocal(FileTime utc) const = 0;
  // A local civil time as a UTC file time; nothing when it cannot be converted.
  virtual std::optional<FileTime> LocalToUtc(const TDateTime& local) const = 0;
};

// The clock in force: the system clock and zone (Windows API, or the C library's TZ on the host).
const TClock& Clock();
// Installs another clock (tests); returns the previous one. Null restores the default.
const TClock* SetClock(const TClock* clock);

}  // namespace rtl
