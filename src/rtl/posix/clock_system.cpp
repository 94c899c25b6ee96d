// The host clock: the C library's local time, which follows the TZ variable.
#include <ctime>

#include "rtl/system_services.h"

namespace rtl {

namespace {

constexpr std::int64_t kTicksPerSecond = 10'000'000;
constexpr std::int64_t kUnixEpochSeconds = 11'644'473'600;  // 1601-01-01 to 1970-01-01

TDateTime CivilFromTm(const std::tm& tm, int millisecond) {
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour,
          tm.tm_min,         tm.tm_sec,     millisecond};
}

std::optional<TDateTime> LocalCivil(std::time_t seconds, int millisecond) {
  std::tm tm{};
  if (!localtime_r(&seconds, &tm)) return std::nullopt;
  return CivilFromTm(tm, millisecond);
}

class TPosixClock : public TClock {
 public:
  TDateTime Now() const override {
    std::timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return LocalCivil(now.tv_sec, static_cast<int>(now.tv_nsec / 1'000'000)).value_or(TDateTime{});
  }

  TDateTime UtcToLocal(FileTime utc) const override {
    const auto seconds = static_cast<std::int64_t>(utc / kTicksPerSecond) - kUnixEpochSeconds;
    const auto millisecond = static_cast<int>(utc % kTicksPerSecond / 10'000);
    // Beyond the C library's range the time stays as it is.
    return LocalCivil(static_cast<std::time_t>(seconds), millisecond)
        .value_or(CivilFromFileTime(utc));
  }

  std::optional<FileTime> LocalToUtc(const TDateTime& local) const override {
    // mktime normalises out-of-range fields; refuse what is not a real date instead.
    if (!FileTimeFromCivil(local)) return std::nullopt;
    std::tm tm{};
    tm.tm_year = local.Year - 1900;
    tm.tm_mon = local.Month - 1;
    tm.tm_mday = local.Day;
    tm.tm_hour = local.Hour;
    tm.tm_min = local.Minute;
    tm.tm_sec = local.Second;
    tm.tm_isdst = -1;  // let the zone rules decide
    tm.tm_wday = -1;   // stays -1 only when mktime fails (its -1 result is also a valid time)
    const std::time_t seconds = std::mktime(&tm);
    if (tm.tm_wday < 0) return std::nullopt;
    const std::int64_t sinceEpoch = static_cast<std::int64_t>(seconds) + kUnixEpochSeconds;
    if (sinceEpoch < 0) return std::nullopt;
    return static_cast<FileTime>(sinceEpoch) * kTicksPerSecond +
           static_cast<FileTime>(local.Millisecond) * 10'000;
  }
};

}  // namespace

const TClock& SystemClock() {
  static const TPosixClock clock;
  return clock;
}

}  // namespace rtl
