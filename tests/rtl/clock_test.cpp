#include <gtest/gtest.h>

#include <limits>
#include <random>

#include "date_time_print.h"
#include "rtl/clock.h"

namespace rtl {
namespace {

constexpr FileTime kTicksPerDay = 864'000'000'000;

TEST(Civil, KnownFileTimes) {
  struct Case {
    FileTime time;
    TDateTime civil;
  };
  const Case cases[] = {
      {0, {1601, 1, 1, 0, 0, 0, 0}},
      {116'444'736'000'000'000, {1970, 1, 1, 0, 0, 0, 0}},
      {119'600'064'000'000'000, {1980, 1, 1, 0, 0, 0, 0}},
      {125'911'584'000'000'000, {2000, 1, 1, 0, 0, 0, 0}},
      {125'911'584'000'000'000 + 59 * kTicksPerDay + 45'296'789ull * 10'000,
       {2000, 2, 29, 12, 34, 56, 789}},
      {0x7FFF'FFFF'FFFF'FFFF - 4'775'807, {30828, 9, 14, 2, 48, 5, 0}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CivilFromFileTime(c.time), c.civil) << c.time;
    EXPECT_EQ(FileTimeFromCivil(c.civil), c.time) << c.civil;
  }
  // Sub-millisecond ticks are dropped on the way to civil time.
  EXPECT_EQ(CivilFromFileTime(9'999), (TDateTime{1601, 1, 1, 0, 0, 0, 0}));
  EXPECT_EQ(CivilFromFileTime(std::numeric_limits<FileTime>::max()).Year, 60056);
}

TEST(Civil, RejectsDatesThatDoNotExist) {
  struct Case {
    TDateTime civil;
    bool valid;
  };
  const Case cases[] = {
      {{2000, 2, 29, 0, 0, 0, 0}, true},      {{2024, 2, 29, 0, 0, 0, 0}, true},
      {{2100, 2, 29, 0, 0, 0, 0}, false},     {{1900, 2, 29, 0, 0, 0, 0}, false},
      {{2023, 2, 29, 0, 0, 0, 0}, false},     {{2000, 2, 30, 0, 0, 0, 0}, false},
      {{2001, 4, 31, 0, 0, 0, 0}, false},     {{2001, 12, 31, 23, 59, 59, 999}, true},
      {{2001, 0, 1, 0, 0, 0, 0}, false},      {{2001, 13, 1, 0, 0, 0, 0}, false},
      {{2001, 1, 0, 0, 0, 0, 0}, false},      {{2001, 1, 1, 24, 0, 0, 0}, false},
      {{2001, 1, 1, 0, 60, 0, 0}, false},     {{2001, 1, 1, 0, 0, 60, 0}, false},
      {{2001, 1, 1, 0, 0, 0, 1000}, false},   {{2001, 1, 1, -1, 0, 0, 0}, false},
      {{1600, 12, 31, 23, 59, 59, 0}, false}, {{60057, 1, 1, 0, 0, 0, 0}, false},
  };
  for (const Case& c : cases) EXPECT_EQ(FileTimeFromCivil(c.civil).has_value(), c.valid) << c.civil;
}

TEST(Civil, LeapYearsAndMonthLengths) {
  for (const int year : {1600, 1996, 2000, 2004, 2400}) EXPECT_TRUE(IsLeapYear(year)) << year;
  for (const int year : {1700, 1800, 1900, 1999, 2100}) EXPECT_FALSE(IsLeapYear(year)) << year;
  const int lengths2001[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  for (int month = 1; month <= 12; ++month)
    EXPECT_EQ(DaysInMonth(2001, month), lengths2001[month - 1]);
  EXPECT_EQ(DaysInMonth(2000, 2), 29);
}

TEST(Civil, ConsecutiveDaysFollowTheCalendar) {
  // Walks day by day from 1601 to 2401, checking each step against the month lengths.
  TDateTime expected;
  for (FileTime time = 0; expected.Year < 2401; time += kTicksPerDay) {
    ASSERT_EQ(CivilFromFileTime(time), expected);
    if (++expected.Day > DaysInMonth(expected.Year, expected.Month)) {
      expected.Day = 1;
      if (++expected.Month > 12) {
        expected.Month = 1;
        ++expected.Year;
      }
    }
  }
}

TEST(Civil, RandomTimesRoundTrip) {
  std::mt19937_64 random(20240229);
  for (int i = 0; i < 100'000; ++i) {
    const FileTime time = random();
    const FileTime whole = time - time % 10'000;  // civil time holds milliseconds
    ASSERT_EQ(FileTimeFromCivil(CivilFromFileTime(time)), whole) << time;
  }
}

class TFixedClock : public TClock {
 public:
  TDateTime Now() const override { return {2001, 2, 3, 4, 5, 6, 7}; }
  TDateTime UtcToLocal(FileTime) const override { return {}; }
  std::optional<FileTime> LocalToUtc(const TDateTime&) const override { return 42; }
};

TEST(Clock, OverrideIsInstalledAndRemoved) {
  const TClock& system = Clock();
  const TFixedClock fixed;
  const TClock* previous = SetClock(&fixed);
  EXPECT_EQ(Clock().Now(), (TDateTime{2001, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(Clock().LocalToUtc({}), 42u);
  SetClock(previous);
  EXPECT_EQ(&Clock(), &system);
  SetClock(&fixed);
  SetClock(nullptr);
  EXPECT_EQ(&Clock(), &system);
}

TEST(Clock, SystemNowIsAValidDate) {
  const TDateTime now = Clock().Now();
  EXPECT_TRUE(FileTimeFromCivil(now).has_value()) << now;
  EXPECT_GE(now.Year, 2020);
}

}  // namespace
}  // namespace rtl
