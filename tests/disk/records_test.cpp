// Directory entries: layout, clusters, Init and the packed time and date words; storing and
// reading entry names, host names to short names, short names to safe host names, and the
// attribute string.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "disk/msx_disk.h"
#include "disk/records.h"
#include "disk_test_support.h"
#include "rtl/clock.h"

namespace {

using disk::PackDosDateTime;
using disk::TDateStamp;
using disk::TDirEntry;
using disk::TMSXDisk;
using disk::TTimeStamp;
using disk_test::TFakeClock;
using disk_test::TScopedClock;
using disk_test::TScopedCodePage;
using rtl::TDateTime;

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

std::string NameBytes(const TDirEntry& entry) {
  return std::string(reinterpret_cast<const char*>(entry.Name), sizeof(entry.Name)) + '/' +
         std::string(reinterpret_cast<const char*>(entry.Ext), sizeof(entry.Ext));
}

TDirEntry EntryNamed(std::string_view name) {
  TDirEntry entry{};
  entry.SetFileName(name);
  return entry;
}

// An entry holding exactly these 11 name bytes (blank padded), as a hostile image may.
TDirEntry EntryWithRawName(std::string_view name, std::string_view ext) {
  TDirEntry entry{};
  std::memset(entry.Name, ' ', sizeof(entry.Name));
  std::memset(entry.Ext, ' ', sizeof(entry.Ext));
  std::memcpy(entry.Name, name.data(), name.size());
  std::memcpy(entry.Ext, ext.data(), ext.size());
  return entry;
}

TEST(EntryName, SetFileNameStoresBytesAndGetFileNameTrims) {
  struct Case {
    std::string_view input, bytes, name;
  };
  const Case cases[] = {
      {"a.b.c", "A.B     /C  ", "A.B.C"},
      {"D:\\DIR\\file.txt", "FILE    /TXT", "FILE.TXT"},
      {"my file .txt", "MY FILE /TXT", "MY FILE.TXT"},
      {"\xE9t\xE9.doc", "\xE9T\xE9     /DOC", "\xE9T\xE9.DOC"},
      {"\xE5sc.txt", "\x05SC     /TXT", "\xE5SC.TXT"},
      {".", ".       /   ", "."},
      {"", "        /   ", ""},
  };
  for (const Case& c : cases) {
    const TDirEntry entry = EntryNamed(c.input);
    EXPECT_EQ(NameBytes(entry), c.bytes) << c.input;
    EXPECT_EQ(entry.GetFileName(), c.name) << c.input;
  }
}

TEST(EntryName, GetFileNameTrimsOnlyBlanksAndControlBytes) {
  struct Case {
    std::string_view name, ext, expected;
  };
  const Case cases[] = {
      {"AB\x01\x1F", std::string_view("T\0", 2), "AB.T"},
      {"A B", "\xFF", "A B.\xFF"},
      {"\x05", "", "\xE5"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EntryWithRawName(c.name, c.ext).GetFileName(), c.expected);
  }
}

class ShortName : public testing::Test {
 protected:
  TScopedCodePage codePage_{rtl::FixedTable::Cp1252};
};

TEST_F(ShortName, MakesValidEightThreeNamesThatRoundTripThroughAnEntry) {
  struct Case {
    std::wstring_view host;
    std::string_view shortName;
  };
  const Case cases[] = {
      {L"longfilename.text", "LONGFILE.TEX"},
      {L"my file name.txt", "MY_FILE.TXT"},
      {L"a b.t xt", "A_B.T_X"},
      {L"ab  .  c  ", "AB.C"},
      {L"a.b.c", "A_B.C"},
      {L"C:\\dir/sub\\notes.md", "NOTES.MD"},
      {L"a+b,c;d=.[x]", "A_B_C_D_._X_"},
      {L"pipe|x\"y<z>", "PIPE_X_Y"},
      {L"trail\x01.t\x02", "TRAIL.T"},
      {L".profile", "_.PRO"},
      {L"", "_"},
      {L".", "."},
      {L"C:\\games\\..", ".."},
      {L"\u4E2D\u6587.txt", "__.TXT"},  // characters the code page lacks arrive as "?"
      {L"\u00FCber.txt",
       "\xFC"
       "BER.TXT"},  // only a-z is upper-cased
  };
  for (const Case& c : cases) {
    const std::string shortName = TMSXDisk::MakeShortFileName(c.host);
    EXPECT_EQ(shortName, c.shortName);
    // Adding stores the short name; a later look-up by the same host name compares it with
    // GetFileName, so the two must agree.
    EXPECT_EQ(EntryNamed(shortName).GetFileName(), shortName);
  }
}

TEST_F(ShortName, HostSafeNameDefusesHostileStoredNames) {
  struct Case {
    std::string_view name, ext;
    std::wstring_view host;
  };
  const Case cases[] = {
      {"README", "TXT", L"README.TXT"},
      {"..\\..\\X", "", L".._.._X"},
      {"C:X", "", L"C_X"},
      {"CON", "", L"_CON"},
      {"AUX.A", "B", L"_AUX.A.B"},
      {"COM\xB9", "", L"_COM\u00B9"},
      {"CONSOLE", "", L"CONSOLE"},
      {"COM10", "", L"COM10"},
      {"A\x01"
       "B\x7F",
       "", L"A_B_"},
      {"A<B>", "|\"", L"A_B_.__"},
      {".", "", L"_"},
      {"ABC.", "", L"ABC_"},
      {"", "", L"_"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TMSXDisk::HostSafeName(EntryWithRawName(c.name, c.ext)), c.host) << c.name;
  }
}

// Re-adding a host name finds the entry that the first add made, however the name had to be
// shortened or escaped, and a look-up by the short name finds it too.
TEST(ShortNameOnDisk, ReAddingAHostNameReplacesItsEntry) {
  struct Case {
    rtl::FixedTable table;
    std::wstring_view host;
    std::string_view stored;
  };
  const Case cases[] = {
      {rtl::FixedTable::Cp1252, L"my file name.txt", "MY_FILE.TXT"},
      {rtl::FixedTable::Cp1251, L"\u0435\u0436.txt", "\xE5\xE6.TXT"},
  };
  for (const Case& c : cases) {
    const TScopedCodePage codePage(c.table);
    auto disk = std::make_unique<TMSXDisk>();
    disk->PrepareNewImage(false);
    for (std::uint8_t fill : {0x11, 0x22}) {
      rtl::TMemoryStream stream(std::vector<std::uint8_t>(100, fill));
      ASSERT_NE(disk->Add(c.host, stream), nullptr) << c.stored;
    }
    EXPECT_EQ(disk->FileCount(), 1) << c.stored;
    const disk::PDirEntry entry = disk->Lookup(TMSXDisk::MakeShortFileName(c.host));
    ASSERT_NE(entry, nullptr) << c.stored;
    EXPECT_EQ(entry->GetFileName(), c.stored);
    EXPECT_FALSE(entry->IsDeleted());
    const auto bytes = disk->ExtractToMem(c.stored);
    ASSERT_TRUE(bytes.has_value()) << c.stored;
    EXPECT_EQ(*bytes, std::vector<std::uint8_t>(100, 0x22));
  }
}

TEST(EntryAttributes, OneLetterPerAttributeBit) {
  struct Case {
    std::uint8_t attr;
    std::string_view text;
  };
  const Case cases[] = {
      {0x15, "r-s-d-"},
      {0x2A, "-h-v-a"},
      {0xC0, "------"},
      {0xFF, "rhsvda"},
  };
  for (const Case& c : cases) {
    TDirEntry entry{};
    entry.Attr = c.attr;
    EXPECT_EQ(entry.GetAttrString(), c.text) << int{c.attr};
    EXPECT_EQ(entry.IsDirectory(), (c.attr & disk::faDirectory) != 0);
  }
}

}  // namespace
