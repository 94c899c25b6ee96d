// The file list: which entries are rows, their texts, the totals, date texts and sort orders.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/files/date_time_text.h"
#include "app/files/file_rows.h"
#include "app/files/file_sort.h"
#include "files_test_support.h"

namespace {

using namespace app::files;
using files_test::NewDisk;

class FileRowsTest : public files_test::ClockTest {};

TEST_F(FileRowsTest, RowTextsFollowTheEntryFields) {
  const struct {
    char raw[12];  // 11 name bytes
    std::uint8_t attr;
    std::uint32_t size;
    const wchar_t* name;
    const wchar_t* ext;
    const wchar_t* sizeText;
    const wchar_t* attrs;
  } cases[] = {
      {"README  TXT", 0x20, 1234, L"README", L"TXT", L"1234", L"-----a"},
      {"NOEXT      ", 0x01, 0, L"NOEXT", L"   ", L"0", L"r-----"},
      {"GAMES      ", 0x10, 0, L"GAMES", L"   ", L"<Dir>", L"----d-"},
      {"VOLUME  ID ", 0x08, 0, L"VOLUME", L"ID ", L"<Label>", L"---v--"},
      {"ODD     DIR", 0x18, 0, L"ODD", L"DIR", L"<Dir>", L"---vd-"},
      {"\x05LAND   TXT", 0x00, 1, L"\u00E5LAND", L"TXT", L"1", L"------"},
      {"HUGE    BIN", 0x27, 4294967295u, L"HUGE", L"BIN", L"4294967295", L"rhs--a"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.raw);
    disk::TDirEntry entry{};
    files_test::SetRawName(entry, c.raw);
    entry.Attr = c.attr;
    // 2024-03-05 13:45:30, and midnight for the entry without an attribute.
    entry.ModifyTime.Value = c.attr ? (13 << 11) | (45 << 5) | 15 : 0;
    entry.ModifyDate.Value = (44 << 9) | (3 << 5) | 5;
    entry.Size = c.size;
    const TFileRow row = MakeRow(entry, 3, TDateTimeFormat{});
    EXPECT_EQ(row.Entry, &entry);
    EXPECT_EQ(row.Slot, 3);
    EXPECT_EQ(row.Name, c.name);
    EXPECT_EQ(row.Ext, c.ext);
    EXPECT_EQ(row.Size, c.sizeText);
    EXPECT_EQ(row.DateTime, c.attr ? L"05/03/2024 13:45:30" : L"05/03/2024 00:00:00");
    EXPECT_EQ(row.Attrs, c.attrs);
  }
}

TEST_F(FileRowsTest, ListedEntriesAndTotals) {
  auto disk = NewDisk();
  files_test::AddBytes(*disk, L"ONE.TXT", files_test::Pattern(100));
  ASSERT_EQ(disk->CreateSubDir("SUB"), disk::DiskResult::Ok);
  files_test::AddBytes(*disk, L"TWO.BIN", files_test::Pattern(2000));
  files_test::AddBytes(*disk, L"GONE", files_test::Pattern(5));
  ASSERT_EQ(disk->Delete("GONE"), disk::DiskResult::Ok);
  // A long-name slot as other systems write it, and a label.
  disk::PDirEntry lfn = disk->GetDirEntry(3);
  files_test::SetRawName(*lfn, "Bl\0o\0n\0g\0\0\0");
  lfn->Attr = disk::faLongName;
  disk::PDirEntry label = disk->GetDirEntry(4);
  label->Init(true);
  files_test::SetRawName(*label, "MYDISK     ");
  label->Attr = disk::faVolumeID;

  TFileListing listing = ListCurrentDirectory(*disk, TDateTimeFormat{});
  std::vector<std::wstring> names;
  for (const auto& row : listing.Rows) names.push_back(row.Name);
  EXPECT_EQ(names, (std::vector<std::wstring>{L"ONE", L"SUB", L"TWO", L"MYDISK"}));
  EXPECT_EQ(TotalsText(listing), L"2100 bytes in 2 file(s)");

  ASSERT_TRUE(disk->ChangeDir("SUB"));
  listing = ListCurrentDirectory(*disk, TDateTimeFormat{});
  ASSERT_EQ(listing.Rows.size(), 1u);
  EXPECT_EQ(listing.Rows[0].Name, L"..");
  EXPECT_EQ(listing.Rows[0].Size, L"<Dir>");
  EXPECT_EQ(TotalsText(listing), L"0 bytes in 0 file(s)");
}

TEST(DateTimeText, PatternsOfTheLocale) {
  const rtl::TDateTime afternoon{2024, 3, 5, 13, 4, 9, 0};
  const rtl::TDateTime midnight{1999, 12, 31, 0, 0, 0, 0};
  TDateTimeFormat us;
  us.ShortDate = L"M/d/yyyy";
  us.LongTime = L"h:mm:ss tt";
  TDateTimeFormat quoted;
  quoted.ShortDate = L"ddd d MMM yy";
  quoted.LongTime = L"HH'h'mm ''s'' H";
  const struct {
    const TDateTimeFormat* format;
    const rtl::TDateTime* value;
    const wchar_t* text;
  } cases[] = {
      {&us, &afternoon, L"3/5/2024 1:04:09 PM"},
      {&us, &midnight, L"12/31/1999"},
      {&quoted, &afternoon, L"Tue 5 Mar 24 13h04 '9' 13"},
      {&quoted, &midnight, L"Fri 31 Dec 99"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DateTimeText(*c.value, *c.format), c.text);
  }
  EXPECT_EQ(FormatPattern(afternoon, L"dddd MMMM t", TDateTimeFormat{}), L"Tuesday March P");
}

TEST_F(FileRowsTest, EachColumnSortsAscendingAndStable) {
  auto disk = NewDisk();
  const struct {
    const wchar_t* name;
    std::size_t size;
    std::uint16_t date;
  } files[] = {
      {L"b.zz", 30, 0x5000}, {L"a.yy", 10, 0x5800}, {L"C.AA", 20, 0x4000}, {L"d", 20, 0x5800}};
  for (const auto& f : files) {
    disk::PDirEntry entry = files_test::AddBytes(*disk, f.name, files_test::Pattern(f.size));
    entry->ModifyDate.Value = f.date;
    entry->ModifyTime.Value = 0;
  }
  // 2044 and later set bit 31 of the packed date-time: still later, not negative.
  disk->Lookup("D")->ModifyDate.Value = 0xF821;
  const auto listing = ListCurrentDirectory(*disk, TDateTimeFormat{});
  const struct {
    std::int32_t mode;
    std::vector<std::wstring> order;
  } cases[] = {
      {-1, {L"B", L"A", L"C", L"D"}},          {colName, {L"A", L"B", L"C", L"D"}},
      {colExt, {L"D", L"C", L"A", L"B"}},      {colSize, {L"A", L"D", L"C", L"B"}},
      {colDateTime, {L"C", L"B", L"A", L"D"}}, {colAttrs, {L"D", L"C", L"A", L"B"}},
  };
  // Sorted from the reversed directory order, so equal rows show that they keep their order.
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    auto rows = listing.Rows;
    std::reverse(rows.begin(), rows.end());
    SortRows(rows, c.mode);
    std::vector<std::wstring> names;
    for (const auto& row : rows) names.push_back(row.Name);
    EXPECT_EQ(names, c.order);
  }
}

TEST(RetainIndex, ClampedToTheRows) {
  const struct {
    std::int32_t retain, rows, expected;
  } cases[] = {{-1, 5, -1}, {4, 5, 4}, {5, 5, 4}, {3, 0, -1}};
  for (const auto& c : cases) EXPECT_EQ(ClampRetainIndex(c.retain, c.rows), c.expected);
}

}  // namespace
