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

TEST(DosStampsAgainstWin32, PackingMatchesFileTimeToDosDateTime) {
  std::mt19937_64 random(20240506);
  std::uniform_int_distribution<rtl::FileTime> instant(kFirstStorable, kLastStorable);
  for (int i = 0; i < 200000; ++i) {
    const rtl::FileTime time = instant(random);
    const FILETIME filetime = ToFiletime(time);
    WORD date = 0;
    WORD clock = 0;
    ASSERT_TRUE(FileTimeToDosDateTime(&filetime, &date, &clock)) << time;
    const std::uint32_t packed = disk::PackDosDateTime(rtl::CivilFromFileTime(time));
    ASSERT_EQ(packed, (std::uint32_t{date} << 16) | clock) << time;
  }
}

TEST(DosStampsAgainstWin32, ReadingMatchesDosDateTimeToFileTime) {
  std::mt19937_64 random(1980);
  std::uniform_int_distribution<rtl::FileTime> instant(kFirstStorable, kLastStorable);
  for (int i = 0; i < 200000; ++i) {
    disk::TDirEntry entry{};
    entry.SetDateTime(rtl::CivilFromFileTime(instant(random)));
    FILETIME filetime;
    ASSERT_TRUE(DosDateTimeToFileTime(entry.ModifyDate.Value, entry.ModifyTime.Value, &filetime));
    const auto ours = rtl::FileTimeFromCivil(entry.GetDateTime());
    ASSERT_TRUE(ours.has_value());
    ASSERT_EQ(*ours, FromFiletime(filetime)) << std::hex << entry.GetDosDateTime();
  }
}

}  // namespace
