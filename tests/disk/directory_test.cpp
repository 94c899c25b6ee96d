// Directories: lookups, changing and making directories, deleting, the result codes, sorted
// copies of entries (directories first, each sort type both ways, stability, detachment), hostile
// images (directories that point where they should not, images shorter than their geometry).
// Random and broken images in bulk are the disk image fuzzer's work.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "disk/dir_entry_list.h"
#include "disk/msx_disk.h"
#include "disk_test_support.h"

namespace {

using disk::DiskResult;
using disk::TDirEntry;
using disk::TDirEntryList;
using disk::TMSXDisk;
using disk_test::AddBytes;
using disk_test::NewDisk;
using disk_test::Snapshot;

std::string Bytes(const std::uint8_t* p, std::size_t n) {
  return {reinterpret_cast<const char*>(p), n};
}

// A tree: \GAMES\, \A\B\, \README.TXT and \A\NOTE.TXT.
std::unique_ptr<TMSXDisk> SampleTree() {
  auto disk = NewDisk();
  EXPECT_EQ(disk->CreateSubDir("GAMES"), DiskResult::Ok);
  EXPECT_EQ(disk->CreateSubDir("A"), DiskResult::Ok);
  EXPECT_NE(AddBytes(*disk, L"readme.txt", disk_test::Pattern(100)), nullptr);
  EXPECT_TRUE(disk->ChangeDir("A"));
  EXPECT_EQ(disk->CreateSubDir("B"), DiskResult::Ok);
  EXPECT_NE(AddBytes(*disk, L"note.txt", disk_test::Pattern(10)), nullptr);
  EXPECT_TRUE(disk->ChangeDir("\\"));
  return disk;
}

TEST(Directories, PathDelimiters) {
  // Path, with one delimiter at its end, without one.
  const std::array<const char*, 3> cases[] = {{"", "\\", ""},
                                              {"\\", "\\", ""},
                                              {"\\A", "\\A\\", "\\A"},
                                              {"\\A\\", "\\A\\", "\\A"},
                                              {"A\\\\", "A\\\\", "A\\"},
                                              {"B/", "B/\\", "B/"}};
  for (const auto& [path, included, excluded] : cases) {
    EXPECT_EQ(TMSXDisk::IncludePathDelim(path), included) << path;
    EXPECT_EQ(TMSXDisk::ExcludePathDelim(path), excluded) << path;
  }
}

struct ChangeCase {
  const char* from;
  const char* path;
  bool ok;
  const char* directory;
  DiskResult lastError;
};

class ChangeDirTable : public ::testing::TestWithParam<ChangeCase> {};

TEST_P(ChangeDirTable, ResultPathAndCode) {
  const ChangeCase& c = GetParam();
  auto disk = SampleTree();
  ASSERT_TRUE(disk->ChangeDir(c.from));
  disk->FLastError = DiskResult::DirNotFound;  // an earlier failure that success must keep
  if (!c.ok) disk->FLastError = DiskResult::DirFull;

  EXPECT_EQ(disk->ChangeDir(c.path), c.ok);
  EXPECT_EQ(disk->Directory(), c.directory);
  EXPECT_EQ(disk->FLastError, c.lastError);
  // The directory listed is the one the path names, also after a failure part-way.
  auto expected = SampleTree();
  ASSERT_TRUE(expected->ChangeDir(c.directory));
  EXPECT_EQ(disk->FDirOffset, expected->FDirOffset);
  if (std::string(c.directory) == "\\") {
    EXPECT_EQ(disk->FDirOffset, disk->FRootDirOffset);
    EXPECT_EQ(disk->DirCount(), 112);
  } else {
    EXPECT_EQ(disk->DirCount(), 32);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ChangeDirTable,
    ::testing::Values(ChangeCase{"\\A", "", false, "\\A\\", DiskResult::DirFull},
                      ChangeCase{"\\A\\B", "\\GAMES", true, "\\GAMES\\", DiskResult::DirNotFound},
                      ChangeCase{"\\", "games\\", true, "\\GAMES\\", DiskResult::DirNotFound},
                      ChangeCase{"\\A\\B", "..", true, "\\A\\", DiskResult::DirNotFound},
                      ChangeCase{"\\", "  a\\b \t", true, "\\A\\B\\", DiskResult::DirNotFound},
                      ChangeCase{"\\", "A\\MISSING", false, "\\A\\", DiskResult::DirNotFound},
                      ChangeCase{"\\A", "\\A\\B\\NOTE.TXT", false, "\\A\\B\\",
                                 DiskResult::DirNotFound},
                      ChangeCase{"\\", "README.TXT", false, "\\", DiskResult::DirNotFound},
                      ChangeCase{"\\", "A\\\\B", false, "\\A\\", DiskResult::DirNotFound}));

// A name is looked up as given: one longer than 8.3 matches no directory, not even the one whose
// name is its first eight characters.
TEST(Directories, LongNamesEnterNoDirectory) {
  auto disk = NewDisk();
  ASSERT_EQ(disk->CreateSubDir("LONGDIRN"), DiskResult::Ok);
  for (const char* name : {"longdirname", "\\LONGDIRNAME", "LONGDIRN.AME"}) {
    SCOPED_TRACE(name);
    disk->FLastError = DiskResult::Ok;
    EXPECT_FALSE(disk->SubDirExists(name));
    EXPECT_EQ(disk->LookupSubDir(name), nullptr);
    EXPECT_FALSE(disk->ChangeDir(name));
    EXPECT_EQ(disk->FLastError, DiskResult::DirNotFound);
    EXPECT_EQ(disk->Directory(), "\\");
  }
  EXPECT_TRUE(disk->SubDirExists("longdirn"));
  EXPECT_TRUE(disk->ChangeDir(" longdirn "));
  EXPECT_EQ(disk->Directory(), "\\LONGDIRN\\");
}

TEST(Directories, RootHoldsExactly112Entries) {
  auto disk = NewDisk();
  for (int i = 0; i < 112; ++i) {
    ASSERT_NE(AddBytes(*disk, L"F" + std::to_wstring(i), {}), nullptr) << i;
  }
  const auto before = Snapshot(*disk);
  EXPECT_EQ(AddBytes(*disk, L"ONE.MORE", {1}), nullptr);
  EXPECT_EQ(disk->FLastError, DiskResult::DirFull);
  EXPECT_EQ(disk->CreateSubDir("DIR"), DiskResult::DirFull);
  EXPECT_EQ(Snapshot(*disk), before);
}

// A sub-directory SUB whose 32 slots are all taken, with `freeClusters` clusters left free.
std::unique_ptr<TMSXDisk> FullSubDirectory(int freeClusters) {
  auto disk = NewDisk();
  EXPECT_EQ(disk->CreateSubDir("SUB"), DiskResult::Ok);
  EXPECT_NE(AddBytes(*disk, L"FILLER", disk_test::Pattern(disk->DiskFree() - freeClusters * 1024)),
            nullptr);
  EXPECT_TRUE(disk->ChangeDir("SUB"));
  for (int i = 0; i < 30; ++i) EXPECT_NE(AddBytes(*disk, L"F" + std::to_wstring(i), {}), nullptr);
  EXPECT_EQ(disk->DiskFree(), freeClusters * 1024);
  return disk;
}

TEST(Directories, GrowthIsCheckedBeforeAnythingIsWritten) {
  struct Case {
    const char* name;
    int freeClusters;
    int lastLink;  // SUB's FAT entry
    DiskResult oneByteFile;
  };
  const Case cases[] = {
      {"room for the directory only", 1, 0xFFF, DiskResult::DiskFull},
      {"no free cluster", 0, 0xFFF, DiskResult::DirFull},
      {"another tool's end of chain", 10, 0xFF8, DiskResult::Ok},
      {"chain ends in a reserved value", 10, 0xFF7, DiskResult::DirFull},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto disk = FullSubDirectory(c.freeClusters);
    disk->SetFatEntry(2, c.lastLink);
    const auto before = Snapshot(*disk);
    // Only an added file grows a full sub-directory; a new directory finds it full.
    EXPECT_EQ(disk->CreateSubDir("NEW"), DiskResult::DirFull);
    EXPECT_EQ(disk->FLastError, DiskResult::DirFull);
    EXPECT_EQ(Snapshot(*disk), before);
    EXPECT_EQ(disk->DirCount(), 32);
    disk->FLastError = DiskResult::Ok;
    const bool added = AddBytes(*disk, L"DATA", {1}) != nullptr;
    EXPECT_EQ(added, c.oneByteFile == DiskResult::Ok);
    if (added) {
      EXPECT_EQ(disk->DirCount(), 64);
    } else {
      EXPECT_EQ(disk->FLastError, c.oneByteFile);
      EXPECT_EQ(Snapshot(*disk), before);
    }
  }
  // An empty file needs no data cluster, so the last free one can grow the directory.
  auto disk = FullSubDirectory(1);
  EXPECT_NE(AddBytes(*disk, L"EMPTY", {}), nullptr);
  EXPECT_EQ(disk->DirCount(), 64);
}

TEST(Directories, NewDirectoryLayout) {
  const disk_test::TFakeClock clock;
  const disk_test::TScopedClock scoped(clock);
  auto disk = NewDisk();
  ASSERT_EQ(disk->CreateSubDir("games"), DiskResult::Ok);
  EXPECT_EQ(disk->FLastError, DiskResult::Ok);
  const disk::PDirEntry entry = disk->Lookup("GAMES");
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(Bytes(entry->Name, 11), "GAMES      ");
  EXPECT_EQ(entry->Attr, disk::faDirectory);
  EXPECT_EQ(entry->ClusterLow, 2);
  EXPECT_EQ(entry->Size, 0u);
  EXPECT_EQ(disk->GetFatEntry(2), 0xFFF);

  const auto* slots = reinterpret_cast<const disk::TDirEntry*>(disk->GetDataPointer(2));
  EXPECT_EQ(Bytes(slots[0].Name, 11), ".          ");
  EXPECT_EQ(Bytes(slots[1].Name, 11), "..         ");
  EXPECT_EQ(slots[0].ClusterLow, 2);
  EXPECT_EQ(slots[1].ClusterLow, 0);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(slots[i].Attr, disk::faDirectory);
    EXPECT_EQ(slots[i].Size, 0u);
    EXPECT_EQ(slots[i].ModifyDate.GetYear(), 2024);
    EXPECT_EQ(slots[i].ModifyTime.GetMinute(), 8);
  }
  EXPECT_TRUE(slots[31].IsDeleted());

  ASSERT_TRUE(disk->ChangeDir("GAMES"));
  ASSERT_EQ(disk->CreateSubDir("SUB"), DiskResult::Ok);
  const auto* sub = reinterpret_cast<const disk::TDirEntry*>(disk->GetDataPointer(3));
  EXPECT_EQ(sub[1].ClusterLow, 2);
}

TEST(Directories, CreateSubDirRefusals) {
  auto disk = SampleTree();
  const auto before = Snapshot(*disk);
  for (const char* name : {"", ".", "..", "   ", "README.TXT", "games", "A"}) {
    disk->FLastError = DiskResult::Ok;
    EXPECT_EQ(disk->CreateSubDir(name), DiskResult::NameExists) << '"' << name << '"';
    EXPECT_EQ(disk->FLastError, DiskResult::NameExists);
  }
  EXPECT_EQ(Snapshot(*disk), before);
}

// Only the 11 name bytes change, and the image is marked modified; refusals change nothing.
TEST(Directories, RenameResults) {
  const struct {
    const char* dir;
    const char* entry;  // nullptr: a null entry
    const char* name;
    DiskResult result;
    const char* stored;  // after an Ok rename
  } cases[] = {
      {"\\", "README.TXT", "new.doc", DiskResult::Ok, "NEW     DOC"},
      {"\\", "GAMES", "x:play", DiskResult::Ok, "PLAY       "},
      {"\\", "README.TXT", "games", DiskResult::NameExists, nullptr},
      {"\\", "README.TXT", "", DiskResult::NameExists, nullptr},
      {"\\A", ".", "DOT", DiskResult::FileNotFound, nullptr},
      {"\\A", nullptr, "NULL", DiskResult::FileNotFound, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.entry ? c.entry : "null") << " -> " << c.name);
    auto disk = SampleTree();
    ASSERT_TRUE(disk->ChangeDir(c.dir));
    disk::PDirEntry entry = c.entry ? disk->Lookup(c.entry) : nullptr;
    ASSERT_EQ(entry == nullptr, c.entry == nullptr);
    disk->ResetModifiedState();
    auto expected = Snapshot(*disk);
    if (c.stored) {
      const auto at = reinterpret_cast<std::uint8_t*>(entry) - disk->Buffer().data();
      std::memcpy(expected.data() + at, c.stored, 11);
    }
    EXPECT_EQ(disk->Rename(entry, c.name), c.result);
    EXPECT_EQ(disk->FLastError, c.result);
    EXPECT_TRUE(Snapshot(*disk) == expected);
    EXPECT_EQ(disk->IsModified(), c.stored != nullptr);
  }
  // A deleted slot is no entry to rename.
  auto disk = SampleTree();
  disk::PDirEntry readme = disk->Lookup("README.TXT");
  ASSERT_EQ(disk->Delete(readme), DiskResult::Ok);
  EXPECT_EQ(disk->Rename(readme, "BACK.TXT"), DiskResult::FileNotFound);
}

// Long-name slots that another system wrote before an entry name it by a checksum of its short
// name: a rename marks them deleted (fsck.fat reports them otherwise), keeping the name keeps them.
TEST(Directories, RenameDropsTheEntrysLongNameSlots) {
  auto disk = NewDisk();
  const disk::PDirEntry root = disk_test::RootSlots(*disk);
  std::memcpy(root[0].Name, "OTHER   TXT", 11);
  for (int i : {1, 2}) {
    std::memcpy(root[i].Name, "\x42t\0x\0t\0\0\0\xFF", 11);
    root[i].Attr = disk::faLongName;
  }
  std::memcpy(root[3].Name, "MYLONG~1TXT", 11);
  ASSERT_EQ(disk->Rename(&root[3], "MYLONG~1.TXT"), DiskResult::Ok);
  EXPECT_EQ(root[1].Name[0], 0x42);
  EXPECT_EQ(disk->Rename(&root[3], "renamed.txt"), DiskResult::Ok);
  EXPECT_EQ(root[0].Name[0], 'O');
  EXPECT_EQ(root[1].Name[0], disk::kDeletedMark);
  EXPECT_EQ(root[2].Name[0], disk::kDeletedMark);
  EXPECT_EQ(root[3].GetFileName(), "RENAMED.TXT");
}

TEST(Directories, ErrorCodeWalkthrough) {
  auto disk = SampleTree();
  EXPECT_EQ(disk->Delete("MISSING.TXT"), DiskResult::FileNotFound);

  const auto before = Snapshot(*disk);
  disk->FLastError = DiskResult::Ok;
  EXPECT_EQ(disk->Delete("A"), DiskResult::DirNotEmpty);
  EXPECT_EQ(Snapshot(*disk), before);
  EXPECT_EQ(disk->FLastError, DiskResult::Ok);

  ASSERT_TRUE(disk->ChangeDir("A"));
  EXPECT_EQ(disk->Delete("."), DiskResult::DirNotEmpty);
  EXPECT_EQ(disk->Delete(".."), DiskResult::DirNotEmpty);
  EXPECT_EQ(disk->Delete("NOTE.TXT"), DiskResult::Ok);
  EXPECT_EQ(disk->FLastError, DiskResult::DirNotFound);  // kept: callers may rely on it
  EXPECT_EQ(disk->Directory(), "\\A\\");
  EXPECT_EQ(disk->Delete("B"), DiskResult::Ok);
  ASSERT_TRUE(disk->ChangeDir(".."));

  const int freeBefore = disk->DiskFree();
  disk->FLastError = DiskResult::Ok;
  EXPECT_EQ(disk->Delete("\\SOMEWHERE\\A"), DiskResult::Ok);
  EXPECT_EQ(disk->FLastError, DiskResult::Ok);
  EXPECT_EQ(disk->DiskFree(), freeBefore + 1024);
  EXPECT_FALSE(disk->SubDirExists("A"));
  EXPECT_EQ(disk->Delete("A"), DiskResult::FileNotFound);
}

TEST(Directories, IndexOfSkipsDeletedAndLongNameSlots) {
  auto disk = NewDisk();
  const disk::PDirEntry root = disk_test::RootSlots(*disk);
  root[0].Init(true);
  std::memcpy(root[0].Name,
              "\xE5"
              "BC     TXT",
              11);  // deleted ".BC.TXT"
  std::memcpy(root[1].Name, "ABC     TXT", 11);
  root[1].Attr = disk::faLongName;
  std::memcpy(root[2].Name, "ABC     TXT", 11);
  std::memcpy(root[3].Name, "LABEL      ", 11);
  root[3].Attr = disk::faVolumeID;

  EXPECT_EQ(disk->IndexOf("abc.txt"), 2);
  EXPECT_EQ(disk->IndexOf("C:\\DIR\\ABC.TXT"), 2);
  EXPECT_EQ(disk->IndexOf("\xE5"
                          "BC.TXT"),
            -1);
  EXPECT_EQ(disk->IndexOf("LABEL"), 3);
  EXPECT_EQ(disk->IndexOf("ABC.TX"), -1);
  EXPECT_FALSE(disk->FileNameExists("NONE"));
  EXPECT_EQ(disk->FileCount(), 1);
  EXPECT_EQ(disk->GetDirEntry(-1), nullptr);
  EXPECT_EQ(disk->GetDirEntry(112), nullptr);

  disk->ResetDir();
  EXPECT_EQ(disk->FetchDir(false), &root[1]);
  EXPECT_EQ(disk->FetchDir(false), &root[2]);
  disk->ResetDir();
  EXPECT_EQ(disk->FetchDir(true), &root[0]);
  EXPECT_EQ(disk->FDirIndex, 1);
}

TEST(Directories, SubDirFileCountKeepsTheCurrentDirectory) {
  auto disk = SampleTree();
  ASSERT_TRUE(disk->ChangeDir("GAMES"));
  EXPECT_EQ(disk->GetSubDirFileCount("\\A"), 2);
  EXPECT_EQ(disk->Directory(), "\\GAMES\\");
  for (const char* missing : {"\\README.TXT", "\\A\\MISSING"}) {
    EXPECT_EQ(disk->GetSubDirFileCount(missing), 0);
    EXPECT_EQ(disk->FLastError, DiskResult::DirNotFound);
    EXPECT_EQ(disk->Directory(), "\\GAMES\\");
  }

  disk->SetDirectory("\\A\\B\\");
  EXPECT_EQ(disk->Directory(), "\\A\\B\\");
  disk->SetDirectory("\\NOPE");  // the leading "\\" has entered the root
  EXPECT_EQ(disk->Directory(), "\\");
}

TEST(Directories, TakingTheEndMarkerHidesGarbageBehindIt) {
  auto disk = NewDisk();
  const disk::PDirEntry root = disk_test::RootSlots(*disk);
  std::memcpy(root[1].Name, "GARBAGE BIN", 11);  // after the end marker in slot 0
  ASSERT_NE(AddBytes(*disk, L"NEW.TXT", {1}), nullptr);
  EXPECT_EQ(root[1].Name[0], 0);
  EXPECT_EQ(disk->FileCount(), 1);
}

TEST(Hostile, TruncatedImageNeverReachesPastItsBytes) {
  auto source = SampleTree();
  std::vector<std::uint8_t> image(source->Buffer().begin(), source->Buffer().begin() + 200000);
  auto disk = std::make_unique<TMSXDisk>();
  std::vector<std::uint8_t> stale(disk::kImageCapacity, 0xA5);
  stale[21] = 0xF9;
  ASSERT_TRUE(disk->LoadFromBuffer(stale, ""));
  ASSERT_TRUE(disk->LoadFromBuffer(image, ""));
  EXPECT_EQ(disk->FClusterCount, (200000 - 7168) / 1024 + 2);
  const auto bytes = disk->Buffer();
  // Fill what is left: the data must stay inside the loaded bytes.
  ASSERT_NE(AddBytes(*disk, L"FILL", disk_test::Pattern(disk->DiskFree())), nullptr);
  EXPECT_EQ(disk->DiskFree(), 0);
  EXPECT_TRUE(
      std::all_of(bytes.begin() + 200000, bytes.end(), [](std::uint8_t b) { return b == 0xA5; }));
  EXPECT_TRUE(std::equal(bytes.begin() + 512, bytes.begin() + 2048, bytes.begin() + 2048));
}

// GAMES (root slot 0) gets a cluster that is no directory's, or its cluster is marked free.
TEST(Hostile, BadDirectoryClustersAreNotEntered) {
  for (const int cluster : {0xFFFF, 1, 715, 0xFF8, -1}) {
    auto disk = SampleTree();
    if (cluster < 0) {
      disk->SetFatEntry(2, 0);
    } else {
      disk_test::RootSlots(*disk)->ClusterLow = static_cast<std::uint16_t>(cluster);
    }
    EXPECT_FALSE(disk->ChangeDir("GAMES")) << cluster;
    EXPECT_EQ(disk->FLastError, DiskResult::DirNotFound);
    EXPECT_EQ(disk->Directory(), "\\");
    EXPECT_EQ(disk->FDirOffset, disk->FRootDirOffset);
  }
}

// Dot entries that point elsewhere than their names say (a ".." in the root; "." and ".." of
// \A\B aimed at a file's cluster) lead where the path says, so listing and path agree.
TEST(Hostile, DotEntriesLeadWhereThePathSays) {
  const auto damaged = [] {
    auto disk = SampleTree();
    disk::PDirEntry root = disk_test::RootSlots(*disk);
    const std::uint16_t fileCluster = root[2].ClusterLow;  // README.TXT
    root[3] = root[0];                                     // a copy of GAMES named ".."
    std::memcpy(root[3].Name, "..      ", 8);
    root[3].ClusterLow = fileCluster;
    EXPECT_TRUE(disk->ChangeDir("\\A\\B"));
    disk->GetDirEntry(0)->ClusterLow = fileCluster;  // "."
    disk->GetDirEntry(1)->ClusterLow = fileCluster;  // ".."
    return disk;
  };
  const auto offsetOf = [](const char* path) {
    auto sound = SampleTree();
    EXPECT_TRUE(sound->ChangeDir(path));
    return sound->FDirOffset;
  };
  const struct {
    const char* from;
    const char* path;
    const char* directory;
  } kCases[] = {{"\\", "..", "\\"},
                {"\\A\\B", ".", "\\A\\B\\"},
                {"\\A\\B", "..", "\\A\\"},
                {"\\A\\B", "..\\..", "\\"},
                {"\\", "A\\B\\.\\..", "\\A\\"}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.from) + " " + c.path);
    auto disk = damaged();
    ASSERT_TRUE(disk->ChangeDir(c.from));
    ASSERT_TRUE(disk->ChangeDir(c.path));
    EXPECT_EQ(disk->Directory(), c.directory);
    EXPECT_EQ(disk->FDirOffset, offsetOf(c.directory));
  }
}

TEST(Hostile, SelfAndAncestorLinksAreNeverEmptyEnoughToDelete) {
  auto disk = SampleTree();
  reinterpret_cast<disk::PDirEntry>(disk->GetDataPointer(3))[2].ClusterLow = 3;  // A\B is A
  ASSERT_TRUE(disk->ChangeDir("A\\B\\B\\B"));
  EXPECT_EQ(disk->DirCount(), 32);
  ASSERT_TRUE(disk->ChangeDir("\\A"));
  EXPECT_EQ(disk->Delete("B"), DiskResult::DirNotEmpty);
  ASSERT_TRUE(disk->ChangeDir("\\"));
  EXPECT_EQ(disk->Delete("A"), DiskResult::DirNotEmpty);
}

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

TEST(DirEntryList, RecordsStayPutThroughAddsAndSorts) {
  TDirEntryList list;
  const disk::PDirEntry first = list.AddDir();
  for (std::uint32_t i = 0; i < 40; ++i) list.Add(MakeEntry({"FILE.BIN", false, 40 - i, 1, 1}));
  first->Size = 99;  // written after the list grew
  list.FSortType = disk::dsSize;
  list.Sort();
  EXPECT_EQ(&list[40], first);
  EXPECT_EQ(list[40].Size, 99u);
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
