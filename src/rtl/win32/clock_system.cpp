// The Windows clock and time zone. Conversions use the zone rules of the date converted (not
// today's bias, as LocalFileTimeToFileTime would).
#include <windows.h>

#include "rtl/system_services.h"

namespace rtl {

namespace {

TDateTime CivilFromSystemTime(const SYSTEMTIME& time) {
  return {time.wYear,   time.wMonth,  time.wDay,         time.wHour,
          time.wMinute, time.wSecond, time.wMilliseconds};
}

SYSTEMTIME SystemTimeFromCivil(const TDateTime& civil) {
  SYSTEMTIME time{};
  time.wYear = static_cast<WORD>(civil.Year);
  time.wMonth = static_cast<WORD>(civil.Month);
  time.wDay = static_cast<WORD>(civil.Day);
  time.wHour = static_cast<WORD>(civil.Hour);
  time.wMinute = static_cast<WORD>(civil.Minute);
  time.wSecond = static_cast<WORD>(civil.Second);
  time.wMilliseconds = static_cast<WORD>(civil.Millisecond);
  return time;
}

class TWindowsClock : public TClock {
 public:
  TDateTime Now() const override {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return CivilFromSystemTime(now);
  }

  TDateTime UtcToLocal(FileTime utc) const override {
    const FILETIME time{static_cast<DWORD>(utc), static_cast<DWORD>(utc >> 32)};
    SYSTEMTIME universal{};
    SYSTEMTIME local{};
    if (!FileTimeToSystemTime(&time, &universal) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local))
      return CivilFromFileTime(utc);
    return CivilFromSystemTime(local);
  }

  std::optional<FileTime> LocalToUtc(const TDateTime& local) const override {
    if (!FileTimeFromCivil(local) || local.Year > 30827) return std::nullopt;
    const SYSTEMTIME localTime = SystemTimeFromCivil(local);
    SYSTEMTIME universal{};
    FILETIME time{};
    if (!TzSpecificLocalTimeToSystemTime(nullptr, &localTime, &universal) ||
        !SystemTimeToFileTime(&universal, &time))
      return std::nullopt;
    return static_cast<FileTime>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
  }
};

}  // namespace

const TClock& SystemClock() {
  static const TWindowsClock clock;
  return clock;
}

}  // namespace rtl
