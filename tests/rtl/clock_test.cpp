// Civil dates and file times, and the fixed code pages.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "date_time_print.h"
#include "rtl/clock.h"
#include "rtl/code_page.h"

namespace rtl {
namespace {

constexpr FileTime kTicksPerDay = 864'000'000'000;

TEST(Civil, KnownFileTimes) {
  struct Case {
    FileTime time;
    TDateTime civil;
  };
  const Case cases[] = {
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
  // Month lengths and leap years are pinned by the day-by-day walk below.
  const Case cases[] = {
      {{2001, 12, 31, 23, 59, 59, 999}, true}, {{2001, 0, 1, 0, 0, 0, 0}, false},
      {{2001, 13, 1, 0, 0, 0, 0}, false},      {{2001, 1, 0, 0, 0, 0, 0}, false},
      {{2001, 1, 1, 24, 0, 0, 0}, false},      {{2001, 1, 1, 0, 60, 0, 0}, false},
      {{2001, 1, 1, 0, 0, 60, 0}, false},      {{2001, 1, 1, 0, 0, 0, 1000}, false},
      {{2001, 1, 1, -1, 0, 0, 0}, false},      {{1600, 12, 31, 23, 59, 59, 0}, false},
      {{60057, 1, 1, 0, 0, 0, 0}, false},      {{2023, 2, 29, 0, 0, 0, 0}, false},
  };
  for (const Case& c : cases) EXPECT_EQ(FileTimeFromCivil(c.civil).has_value(), c.valid) << c.civil;
}

// The Gregorian calendar written out independently of the code under test.
int MonthLength(int year, int month) {
  const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
  if (month == 2) return leap ? 29 : 28;
  return month == 4 || month == 6 || month == 9 || month == 11 ? 30 : 31;
}

TEST(Civil, ConsecutiveDaysFollowTheCalendar) {
  TDateTime expected;
  for (FileTime time = 0; expected.Year < 2401; time += kTicksPerDay) {
    ASSERT_EQ(CivilFromFileTime(time), expected);
    ASSERT_EQ(FileTimeFromCivil(expected), time);
    if (expected.Day == 1) {
      ASSERT_EQ(DaysInMonth(expected.Year, expected.Month),
                MonthLength(expected.Year, expected.Month));
    }
    if (++expected.Day > MonthLength(expected.Year, expected.Month)) {
      expected.Day = 1;
      if (++expected.Month > 12) {
        expected.Month = 1;
        ++expected.Year;
      }
    }
  }
}

// The whole tables are compared with the system's in the Windows tests.
TEST(FixedCodePage, UnmappableCharactersBecomeQuestionMarks) {
  struct Case {
    FixedTable table;
    std::wstring text;
    std::string bytes;
  };
  const std::wstring loneSurrogate(1, static_cast<wchar_t>(0xD800));
  const Case cases[] = {
      {FixedTable::Cp1252, L"a" + loneSurrogate + L"b", "a?b"},
      {FixedTable::Cp1252, L"x\U0001F600y", "x?y"},  // one character, whatever wchar_t's width
      {FixedTable::Cp1251, L"é€ё", "?\x88\xB8"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TFixedCodePage(c.table).FromUnicode(c.text), c.bytes);
  }
}

#ifndef _WIN32
std::string AllBytes() {
  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes.push_back(static_cast<char>(b));
  return bytes;
}

TEST(CodePage, HostDefaultIsWindows1252) {
  EXPECT_EQ(CodePage().ToUnicode(AllBytes()),
            TFixedCodePage(FixedTable::Cp1252).ToUnicode(AllBytes()));
  EXPECT_EQ(CodePage().FromUnicode(L"€Ÿ"), "\x80\x9F");
}
#endif

}  // namespace
}  // namespace rtl
