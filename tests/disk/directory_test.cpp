// Directories: lookups, changing and making directories, deleting, and the result codes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "disk/msx_disk.h"
#include "disk_test_support.h"

namespace {

using disk::DiskResult;
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
  const std::int32_t offset = disk->FDirOffset;
  disk->FLastError = DiskResult::DirNotFound;  // an earlier failure that success must keep
  if (!c.ok) disk->FLastError = DiskResult::DirFull;

  EXPECT_EQ(disk->ChangeDir(c.path), c.ok);
  EXPECT_EQ(disk->Directory(), c.directory);
  EXPECT_EQ(disk->FLastError, c.lastError);
  if (!c.ok) {
    EXPECT_EQ(disk->FDirOffset, offset);
  }
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
                      ChangeCase{"\\", "A\\MISSING", false, "\\", DiskResult::DirNotFound},
                      ChangeCase{"\\", "README.TXT", false, "\\", DiskResult::DirNotFound},
                      ChangeCase{"\\", "A\\\\B", false, "\\", DiskResult::DirNotFound}));

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
    DiskResult subDir, oneByteFile;
  };
  const Case cases[] = {
      {"room for the directory only", 1, 0xFFF, DiskResult::DiskFull, DiskResult::DiskFull},
      {"no free cluster", 0, 0xFFF, DiskResult::DirFull, DiskResult::DirFull},
      {"another tool's end of chain", 10, 0xFF8, DiskResult::Ok, DiskResult::Ok},
      {"chain ends in a reserved value", 10, 0xFF7, DiskResult::DirFull, DiskResult::DirFull},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto disk = FullSubDirectory(c.freeClusters);
    disk->SetFatEntry(2, c.lastLink);
    const auto before = Snapshot(*disk);
    EXPECT_EQ(disk->CreateSubDir("NEW"), c.subDir);
    if (c.subDir == DiskResult::Ok) {
      EXPECT_EQ(disk->DirCount(), 64);
    } else {
      EXPECT_EQ(Snapshot(*disk), before);
    }
    disk->FLastError = DiskResult::Ok;
    const bool added = AddBytes(*disk, L"DATA", {1}) != nullptr;
    EXPECT_EQ(added, c.oneByteFile == DiskResult::Ok);
    if (!added) {
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
  EXPECT_EQ(disk->GetSubDirFileCount("\\README.TXT"), 0);
  EXPECT_EQ(disk->FLastError, DiskResult::DirNotFound);
  EXPECT_EQ(disk->Directory(), "\\GAMES\\");

  disk->SetDirectory("\\A\\B\\");
  EXPECT_EQ(disk->Directory(), "\\A\\B\\");
  disk->SetDirectory("\\NOPE");
  EXPECT_EQ(disk->Directory(), "\\A\\B\\");
}

TEST(Directories, TakingTheEndMarkerHidesGarbageBehindIt) {
  auto disk = NewDisk();
  const disk::PDirEntry root = disk_test::RootSlots(*disk);
  std::memcpy(root[1].Name, "GARBAGE BIN", 11);  // after the end marker in slot 0
  ASSERT_NE(AddBytes(*disk, L"NEW.TXT", {1}), nullptr);
  EXPECT_EQ(root[1].Name[0], 0);
  EXPECT_EQ(disk->FileCount(), 1);
}

}  // namespace
