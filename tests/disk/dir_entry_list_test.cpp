// Sorted copies of directory entries: directories first, the orders of each sort type in both
// directions, stability, and detachment from the image.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "disk/dir_entry_list.h"
#include "disk_test_support.h"

namespace {

using disk::TDirEntry;
using disk::TDirEntryList;

struct Item {
  const char* name;  // stored 8.3 name, e.g. "README.TXT"
  bool directory;
  std::uint32_t size;
  std::uint16_t date;
  std::uint16_t time;
};

TDirEntry MakeEntry(const Item& item) {
  TDirEntry entry;
  std::memset(&entry, 0, sizeof entry);
  // Raw bytes, so stored lower case survives.
  const std::string name = item.name;
  const auto dot = name.find('.');
  std::memset(entry.Name, ' ', 11);
  std::memcpy(entry.Name, name.data(), std::min<std::size_t>(name.substr(0, dot).size(), 8));
  if (dot != std::string::npos)
    std::memcpy(entry.Ext, name.data() + dot + 1, name.size() - dot - 1);
  entry.Attr = item.directory ? disk::faDirectory : disk::faArchive;
  entry.Size = item.size;
  entry.ModifyDate.Value = item.date;
  entry.ModifyTime.Value = item.time;
  return entry;
}

std::string Order(const TDirEntryList& list) {
  std::string names;
  for (std::int32_t i = 0; i < list.Count(); ++i) {
    if (!names.empty()) names += ' ';
    names += list[i].GetFileName();
  }
  return names;
}

const std::vector<Item> kItems = {
    {"Y.BIN", false, 0x80000000u, 0x5000, 2},  // a size past 2^31 must still sort as unsigned
    {"B", true, 0, 0x4000, 0},
    {"README.TXT", false, 10, 0x3000, 5},
    {"Z.BIN", false, 1, 0x3000, 9},
    {"A", true, 0, 0x2000, 0},
    {"readme.doc", false, 10, 0x6000, 0},  // lower case compares as upper case
};

struct SortCase {
  const char* label;
  std::uint8_t sortType;
  bool desc;
  const char* expected;
};

class Sorts : public ::testing::TestWithParam<SortCase> {};

TEST_P(Sorts, DirectoriesFirstThenTheChosenOrder) {
  const SortCase& c = GetParam();
  TDirEntryList list;
  for (const Item& item : kItems) list.Add(MakeEntry(item));
  list.FSortType = c.sortType;
  list.SetDescOrdered(c.desc);
  list.Sort();
  EXPECT_EQ(Order(list), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Orders, Sorts,
    ::testing::Values(
        SortCase{"None", disk::dsNone, false, "Y.BIN B README.TXT Z.BIN A readme.doc"},
        SortCase{"NameAscending", disk::dsName, false, "A B readme.doc README.TXT Y.BIN Z.BIN"},
        SortCase{"ExtAscending", disk::dsExtension, false, "A B Y.BIN Z.BIN readme.doc README.TXT"},
        SortCase{"SizeAscending", disk::dsSize, false, "A B Z.BIN readme.doc README.TXT Y.BIN"},
        SortCase{"DateAscending", disk::dsDate, false, "A B README.TXT Z.BIN Y.BIN readme.doc"},
        SortCase{"DateDescending", disk::dsDate, true, "A B readme.doc Y.BIN Z.BIN README.TXT"}),
    [](const auto& param) { return std::string(param.param.label); });

TEST(DirEntryList, EqualEntriesKeepTheirOrder) {
  TDirEntryList list;
  for (int i = 0; i < 40; ++i) {
    TDirEntry entry = MakeEntry({"SAME.BIN", false, 7, 1, 1});
    entry.Reserved = static_cast<std::uint8_t>(i);
    list.Add(entry);
  }
  list.FSortType = disk::dsSize;
  list.Sort();
  for (int i = 0; i < 40; ++i) EXPECT_EQ(list[i].Reserved, i);
}

TEST(DirEntryList, CopiesAreDetachedFromTheImage) {
  auto image = disk_test::NewDisk();
  ASSERT_EQ(image->CreateSubDir("GAMES"), disk::DiskResult::Ok);
  ASSERT_NE(disk_test::AddBytes(*image, L"one.txt", disk_test::Pattern(3)), nullptr);
  ASSERT_NE(disk_test::AddBytes(*image, L"two.txt", disk_test::Pattern(3)), nullptr);
  ASSERT_EQ(image->Delete("ONE.TXT"), disk::DiskResult::Ok);
  ASSERT_TRUE(image->ChangeDir("GAMES"));
  ASSERT_NE(disk_test::AddBytes(*image, L"inner.bin", disk_test::Pattern(3)), nullptr);
  ASSERT_TRUE(image->ChangeDir("\\"));

  TDirEntryList list;
  list.Add(MakeEntry({"STALE", false, 0, 0, 0}));
  image->GetCurrentDirList(list);
  EXPECT_EQ(Order(list), "GAMES TWO.TXT");  // the deleted ONE.TXT is left out

  ASSERT_TRUE(image->ChangeDir("GAMES"));
  image->GetCurrentDirList(list);
  EXPECT_EQ(Order(list), ". .. INNER.BIN");

  const std::vector<std::uint8_t> before = disk_test::Snapshot(*image);
  list[2].Name[0] = 'X';
  list.Delete(0);
  list.AddDir()->Size = 5;
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list[2].Attr, 0);
  EXPECT_EQ(disk_test::Snapshot(*image), before);
}

}  // namespace
