// Directory-entry layout, clusters, Init and the packed time and date words.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstring>

#include "disk/records.h"
#include "disk_test_support.h"
#include "rtl/clock.h"

namespace {

using disk::PackDosDateTime;
using disk::TDateStamp;
using disk::TDirEntry;
using disk::TTimeStamp;
using rtl::TDateTime;

using disk_test::TFakeClock;
using disk_test::TScopedClock;

const TDateTime kSomeNow{2024, 5, 6, 7, 8, 11, 500};  // packs as 0x58A6 / 0x3905

std::array<std::uint8_t, 32> BytesOf(const TDirEntry& entry) {
  std::array<std::uint8_t, 32> bytes{};
  std::memcpy(bytes.data(), &entry, bytes.size());
  return bytes;
}

TEST(TimeStamp, GettersClampEveryWord) {
  struct Case {
    std::uint16_t word;
    int hour, minute, second;
  };
  const Case cases[] = {
      {0xFFFF, 23, 59, 59},
      {0x645C, 12, 34, 56},
  };
  for (const Case& c : cases) {
    const TTimeStamp stamp{c.word};
    EXPECT_EQ(stamp.GetHour(), c.hour) << std::hex << c.word;
    EXPECT_EQ(stamp.GetMinute(), c.minute) << std::hex << c.word;
    EXPECT_EQ(stamp.GetSecond(), c.second) << std::hex << c.word;
  }
}

constexpr std::uint16_t DateWord(int year, int month, int day) {
  return static_cast<std::uint16_t>(((year - 1980) << 9) | (month << 5) | day);
}

TEST(DateStamp, GettersClampToARealDate) {
  struct Case {
    std::uint16_t word;
    int year, month, day;
  };
  const Case cases[] = {
      {DateWord(1980, 0, 1), 1980, 1, 1},    // month 0
      {DateWord(1980, 13, 0), 1980, 12, 1},  // month 13, day 0
      {DateWord(2001, 4, 31), 2001, 4, 30}, {DateWord(2000, 2, 29), 2000, 2, 29},
      {DateWord(2100, 2, 29), 2100, 2, 28},
  };
  for (const Case& c : cases) {
    const TDateStamp stamp{c.word};
    EXPECT_EQ(stamp.GetYear(), c.year) << std::hex << c.word;
    EXPECT_EQ(stamp.GetMonth(), c.month) << std::hex << c.word;
    EXPECT_EQ(stamp.GetDay(), c.day) << std::hex << c.word;
  }
}

TEST(Stamps, SettersReplaceOnlyTheirBits) {
  TTimeStamp time{0xFFFF};
  time.SetMinute(0);
  EXPECT_EQ(time.Value, 0xF81F);
  time.SetSecond(59);  // stored as 29 two-second units
  EXPECT_EQ(time.Value, 0xF81D);
  time.SetHour(1);
  EXPECT_EQ(time.Value, 0x081D);
  time.SetTime(TDateTime{2001, 2, 3, 12, 34, 57, 999});
  EXPECT_EQ(time.Value, 0x645C);
  EXPECT_EQ(disk::ZeroTimeStamp().Value, 0);

  TDateStamp date{0xFFFF};
  date.SetDay(1);
  EXPECT_EQ(date.Value, 0xFFE1);
  date.SetMonth(2);
  EXPECT_EQ(date.Value, 0xFE41);
  date.SetYear(2108);  // the year field holds 1980-2107 and wraps
  EXPECT_EQ(date.Value, 0x0041);
}

TEST(DirEntryTime, SetDateTimeClampsDateAndTimeTogether) {
  struct Case {
    TDateTime civil;
    std::uint16_t date, time;
  };
  const Case cases[] = {
      {{2000, 1, 1, 12, 34, 57}, 0x2821, 0x645C},
      {{2108, 1, 1, 0, 0, 0}, 0xFF9F, 0xBF7D},
      {{1979, 12, 31, 23, 59, 59}, 0x0021, 0x0000},
  };
  for (const Case& c : cases) {
    TDirEntry entry{};
    entry.SetDateTime(c.civil);
    EXPECT_EQ(entry.ModifyDate.Value, c.date) << c.civil.Year;
    EXPECT_EQ(entry.ModifyTime.Value, c.time) << c.civil.Year;
    TDateStamp date{0x1234};
    date.SetDate(c.civil);
    EXPECT_EQ(date.Value, c.date) << c.civil.Year;
    EXPECT_EQ(PackDosDateTime(c.civil), (std::uint32_t{c.date} << 16) | c.time);
    EXPECT_EQ(entry.GetDosDateTime(), (std::uint32_t{c.date} << 16) | c.time);
  }
}

TEST(DirEntryTime, SetFileTimeStampsLocalTime) {
  struct Case {
    int offsetSeconds;
    rtl::FileTime utc;
    std::uint16_t date, time;
  };
  const Case cases[] = {
      {0, 125911584000000000, 0x2821, 0x0000},      // 2000-01-01 00:00:00Z
      {0, 0, 0x0021, 0x0000},                       // 1601: clamped up
      {7200, 126227772000000000, 0x2A21, 0x0800},   // 2000-12-31 23:00Z is 2001-01-01 01:00
      {-3600, 125911584000000000, 0x279F, 0xB800},  // -1h: 1999-12-31 23:00
  };
  for (const Case& c : cases) {
    const TFakeClock clock(c.offsetSeconds, kSomeNow);
    const TScopedClock scoped(clock);
    TDirEntry entry{};
    entry.SetFileTime(c.utc);
    EXPECT_EQ(entry.ModifyDate.Value, c.date) << c.utc << ' ' << c.offsetSeconds;
    EXPECT_EQ(entry.ModifyTime.Value, c.time) << c.utc << ' ' << c.offsetSeconds;
    if (c.offsetSeconds == 0) {
      EXPECT_EQ(PackDosDateTime(rtl::CivilFromFileTime(c.utc)), entry.GetDosDateTime());
    }
  }
}

TEST(DirEntryInit, NewSlotLooksDeletedAndIsStampedNow) {
  const TFakeClock clock(0, kSomeNow);
  const TScopedClock scoped(clock);
  TDirEntry entry;
  std::memset(static_cast<void*>(&entry), 0xAB, sizeof(entry));
  entry.Init(true);

  const std::array<std::uint8_t, 32> expected = {
      0xE5, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20,  // name and extension
      0x00, 0x00, 0xAB,                                                  // attr, reserved, msec
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,                    // create, access, high
      0x05, 0x39, 0xA6, 0x58,                                            // modify time and date
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00};                               // cluster, size
  EXPECT_EQ(BytesOf(entry), expected);
  EXPECT_TRUE(entry.IsUsed());
  EXPECT_TRUE(entry.IsDeleted());
  EXPECT_FALSE(entry.IsDirectory());

  entry.Init(false);
  EXPECT_EQ(BytesOf(entry), (std::array<std::uint8_t, 32>{}));
  EXPECT_FALSE(entry.IsUsed());
}

TEST(DirEntryCluster, NeverStoresANegativeCluster) {
  struct Case {
    std::int32_t cluster;
    std::uint16_t high, low;
    std::int32_t readBack;
  };
  const Case cases[] = {
      {0, 0, 0, 0},
      {0xFFF, 0, 0xFFF, 0xFFF},
      {0x12345, 1, 0x2345, 0x12345},
      {INT_MIN, 0, 0, 0},
  };
  for (const Case& c : cases) {
    TDirEntry entry{};
    entry.ClusterHigh = 0x5555;
    entry.SetCluster(c.cluster);
    EXPECT_EQ(entry.ClusterHigh, c.high) << c.cluster;
    EXPECT_EQ(entry.ClusterLow, c.low) << c.cluster;
    EXPECT_EQ(entry.GetCluster(), c.readBack) << c.cluster;
  }
}

}  // namespace
