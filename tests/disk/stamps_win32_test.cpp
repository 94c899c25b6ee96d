// The portable DOS date-time packing checked against the Windows conversions it replaces.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "disk/records.h"
#include "rtl/clock.h"

namespace {

constexpr rtl::FileTime kFirstStorable = 119600064000000000;  // 1980-01-01 00:00:00
constexpr rtl::FileTime kLastStorable = 159992927990000000;   // 2107-12-31 23:59:59

FILETIME ToFiletime(rtl::FileTime time) {
  FILETIME result;
  result.dwLowDateTime = static_cast<DWORD>(time & 0xFFFFFFFF);
  result.dwHighDateTime = static_cast<DWORD>(time >> 32);
  return result;
}

rtl::FileTime FromFiletime(const FILETIME& time) {
  return (rtl::FileTime{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

// Packing and reading back, each against its Windows conversion, over random instants.
TEST(DosStampsAgainstWin32, PackingAndReadingMatchTheWindowsConversions) {
  std::mt19937_64 random(20240506);
  std::uniform_int_distribution<rtl::FileTime> instant(kFirstStorable, kLastStorable);
  for (int i = 0; i < 200000; ++i) {
    const rtl::FileTime time = instant(random);
    const FILETIME filetime = ToFiletime(time);
    WORD date = 0;
    WORD clock = 0;
    ASSERT_TRUE(FileTimeToDosDateTime(&filetime, &date, &clock)) << time;
    disk::TDirEntry entry{};
    entry.SetDateTime(rtl::CivilFromFileTime(time));
    ASSERT_EQ(entry.GetDosDateTime(), (std::uint32_t{date} << 16) | clock) << time;
    FILETIME back;
    ASSERT_TRUE(DosDateTimeToFileTime(date, clock, &back));
    ASSERT_EQ(rtl::FileTimeFromCivil(entry.GetDateTime()), FromFiletime(back)) << time;
  }
}

}  // namespace
