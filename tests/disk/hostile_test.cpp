// Hostile images: broken, cyclic and out-of-range chains and entries. Every operation must end,
// stay inside the image and keep the two FATs equal.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <random>

#include "disk/msx_disk.h"
#include "disk_test_support.h"

namespace {

using disk::DiskResult;
using disk::PDirEntry;
using disk::TMSXDisk;
using disk_test::AddBytes;
using disk_test::NewDisk;
using disk_test::Pattern;

// \FILE.TXT (clusters 3-5), \DIR\ (2) with INNER.BIN (7-8) and SUB\ (6).
std::unique_ptr<TMSXDisk> BaseImage() {
  auto disk = NewDisk();
  EXPECT_EQ(disk->CreateSubDir("DIR"), DiskResult::Ok);
  EXPECT_NE(AddBytes(*disk, L"FILE.TXT", Pattern(3000)), nullptr);
  EXPECT_TRUE(disk->ChangeDir("DIR"));
  EXPECT_EQ(disk->CreateSubDir("SUB"), DiskResult::Ok);
  EXPECT_NE(AddBytes(*disk, L"INNER.BIN", Pattern(2000)), nullptr);
  EXPECT_TRUE(disk->ChangeDir("\\"));
  return disk;
}

PDirEntry RootSlot(TMSXDisk& disk, int index) {
  return disk_test::RootSlots(disk) + index;
}
PDirEntry ClusterSlot(TMSXDisk& disk, int cluster, int index) {
  return reinterpret_cast<PDirEntry>(disk.GetDataPointer(cluster)) + index;
}

// Lists, extracts and enters everything, without changing the image.
void Explore(TMSXDisk& disk, int depth) {
  (void)disk.FileCount();
  (void)disk.FileUsage();
  (void)disk.DiskFree();
  std::vector<std::string> dirs;
  disk.ResetDir();
  while (const disk::TDirEntry* entry = disk.FetchDir(true)) {
    if (!entry->IsUsed()) break;
    rtl::TMemoryStream stream;
    (void)disk.ExtractToStream(stream, entry);
    const std::string name = entry->GetFileName();
    (void)disk.ExtractToMem(name);
    if (entry->IsDirectory() && name != "." && name != "..") dirs.push_back(name);
  }
  const std::string here = disk.Directory();
  for (const std::string& dir : dirs) {
    (void)disk.GetSubDirFileCount(dir);
    (void)disk.SubDirExists(dir);
    if (depth < 4 && disk.ChangeDir(dir)) {
      Explore(disk, depth + 1);
      if (!disk.ChangeDir(here)) disk.ChangeDir("\\");
    }
  }
}

// Adds, makes, replaces and deletes in the root and in every directory it holds.
void Mutate(TMSXDisk& disk) {
  std::vector<std::string> dirs;
  for (int i = 0; const disk::TDirEntry* entry = disk.GetDirEntry(i); ++i) {
    if (!entry->IsUsed()) break;
    if (entry->IsDirectory() && !entry->IsDeleted()) dirs.push_back(entry->GetFileName());
  }
  for (const std::string& dir : dirs) {
    if (!disk.ChangeDir(dir)) continue;
    (void)AddBytes(disk, L"IN.BIN", Pattern(1500));
    (void)disk.CreateSubDir("MADE");
    disk.ChangeDir("\\");
  }
  for (const std::size_t size : {0, 1, 5000}) {
    (void)AddBytes(disk, L"NEW" + std::to_wstring(size), Pattern(size));
  }
  (void)AddBytes(disk, L"FILE.TXT", Pattern(100));
  (void)AddBytes(disk, L"DIR", Pattern(100));
  (void)disk.CreateSubDir("NEWDIR");
  std::vector<PDirEntry> entries;
  for (int i = 0; PDirEntry entry = disk.GetDirEntry(i); ++i) entries.push_back(entry);
  for (const PDirEntry entry : entries) (void)disk.Delete(entry);
  for (const std::string& dir : dirs) (void)disk.Delete(dir);
}

void ExpectSane(TMSXDisk& disk, std::int32_t bufferSize) {
  EXPECT_EQ(disk.DiskByteSize(), bufferSize);
  if (disk.FClusterCount > 0) {
    const auto bytes = disk.Buffer();
    const auto fat = bytes.begin() + disk.FFatOffset;
    EXPECT_TRUE(std::equal(fat, fat + disk.FFatSize, fat + disk.FFatSize));
  }
}

void RunScript(TMSXDisk& disk) {
  const auto start = std::chrono::steady_clock::now();
  const std::int32_t size = disk.DiskByteSize();
  disk.ChangeDir("\\");
  Explore(disk, 0);
  Mutate(disk);
  Explore(disk, 0);
  ExpectSane(disk, size);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

struct HostileCase {
  const char* name;
  std::function<void(TMSXDisk&)> spoil;
};

class HostileImages : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostileImages, ScriptEndsInsideTheImage) {
  auto disk = BaseImage();
  GetParam().spoil(*disk);
  RunScript(*disk);
}

void SetFileCluster(TMSXDisk& disk, int value) {
  RootSlot(disk, 1)->ClusterLow = static_cast<std::uint16_t>(value);
}
void SetDirCluster(TMSXDisk& disk, int value) {
  RootSlot(disk, 0)->ClusterLow = static_cast<std::uint16_t>(value);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HostileImages,
    ::testing::Values(
        HostileCase{"FileClusterFFFF", [](TMSXDisk& d) { SetFileCluster(d, 0xFFFF); }},
        HostileCase{"FileClusterOne", [](TMSXDisk& d) { SetFileCluster(d, 1); }},
        HostileCase{"FileClusterPastEnd", [](TMSXDisk& d) { SetFileCluster(d, d.FClusterCount); }},
        HostileCase{"DirClusterFFFF", [](TMSXDisk& d) { SetDirCluster(d, 0xFFFF); }},
        HostileCase{"DirClusterOne", [](TMSXDisk& d) { SetDirCluster(d, 1); }},
        HostileCase{"DirClusterPastEnd", [](TMSXDisk& d) { SetDirCluster(d, d.FClusterCount); }},
        HostileCase{"DirClusterZero", [](TMSXDisk& d) { SetDirCluster(d, 0); }},
        HostileCase{"FileChainCycle", [](TMSXDisk& d) { d.SetFatEntry(5, 3); }},
        HostileCase{"DirChainSelfLoop", [](TMSXDisk& d) { d.SetFatEntry(2, 2); }},
        HostileCase{"DirChainCycle",
                    [](TMSXDisk& d) {
                      d.SetFatEntry(2, 9);
                      d.SetFatEntry(9, 2);
                    }},
        HostileCase{"FatHeadZero",
                    [](TMSXDisk& d) {
                      d.SetFatEntry(0, 0);
                      d.SetFatEntry(1, 0);
                    }},
        HostileCase{"HugeSize", [](TMSXDisk& d) { RootSlot(d, 1)->Size = 0xFFFFFFFF; }},
        HostileCase{"ChainIntoFree", [](TMSXDisk& d) { d.SetFatEntry(4, 20); }},
        HostileCase{"ReservedLink", [](TMSXDisk& d) { d.SetFatEntry(4, 0xFF3); }},
        HostileCase{"DirPointsToItself",
                    [](TMSXDisk& d) { ClusterSlot(d, 2, 2)->ClusterLow = 2; }},  // SUB -> DIR
        HostileCase{"DirPointsToAncestor",
                    [](TMSXDisk& d) {
                      *ClusterSlot(d, 6, 2) = *ClusterSlot(d, 2, 0);
                      ClusterSlot(d, 6, 2)->Name[0] = 'U';
                    }},
        HostileCase{"DotDotMissing", [](TMSXDisk& d) { ClusterSlot(d, 2, 1)->Init(false); }},
        HostileCase{"DotDotElsewhere",
                    [](TMSXDisk& d) { ClusterSlot(d, 2, 1)->ClusterLow = 0x700; }},
        HostileCase{"LowerCaseNames",
                    [](TMSXDisk& d) {
                      std::memcpy(RootSlot(d, 0)->Name, "dir     ", 8);
                      std::memcpy(RootSlot(d, 1)->Name, "file    txt", 11);
                    }},
        HostileCase{"PathLikeNames",
                    [](TMSXDisk& d) {
                      std::memcpy(RootSlot(d, 0)->Name, "..\\X:   ", 8);
                      std::memcpy(RootSlot(d, 1)->Name, "CON     \\:*", 11);
                    }},
        HostileCase{"LongNameSlotWithCluster",
                    [](TMSXDisk& d) { RootSlot(d, 1)->Attr = disk::faLongName; }},
        HostileCase{"DirectoryChainIntoFile", [](TMSXDisk& d) { d.SetFatEntry(2, 3); }},
        HostileCase{"GarbageAfterEnd",
                    [](TMSXDisk& d) {
                      RootSlot(d, 2)->Init(false);
                      std::memcpy(RootSlot(d, 3)->Name, "GHOST   BIN", 11);
                      RootSlot(d, 3)->ClusterLow = 3;
                      RootSlot(d, 3)->Size = 1;
                    }}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(Hostile, RandomImagesStayBounded) {
  for (unsigned seed = 1; seed <= 24; ++seed) {
    auto disk = BaseImage();
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    auto bytes = disk->Buffer();
    // Scramble the FAT, the root and the first data clusters in varying amounts.
    const int flips = 50 + static_cast<int>(seed) * 40;
    std::uniform_int_distribution<int> where(512, 7168 + 12 * 1024);
    for (int i = 0; i < flips; ++i)
      bytes[static_cast<std::size_t>(where(random))] = static_cast<std::uint8_t>(byte(random));
    bytes[21] = 0xF9;
    std::vector<std::uint8_t> image(bytes.begin(), bytes.end());
    ASSERT_TRUE(disk->LoadFromBuffer(image, ""));
    SCOPED_TRACE(seed);
    RunScript(*disk);
  }
}

TEST(Hostile, TruncatedImageNeverReachesPastItsBytes) {
  auto source = BaseImage();
  std::vector<std::uint8_t> image(source->Buffer().begin(), source->Buffer().begin() + 200000);
  auto disk = std::make_unique<TMSXDisk>();
  std::vector<std::uint8_t> stale(disk::kImageCapacity, 0xA5);
  stale[21] = 0xF9;
  ASSERT_TRUE(disk->LoadFromBuffer(stale, ""));
  ASSERT_TRUE(disk->LoadFromBuffer(image, ""));
  EXPECT_EQ(disk->FClusterCount, (200000 - 7168) / 1024 + 2);
  RunScript(*disk);
  const auto bytes = disk->Buffer();
  EXPECT_TRUE(
      std::all_of(bytes.begin() + 200000, bytes.end(), [](std::uint8_t b) { return b == 0xA5; }));
  // Fill what is left: the data must stay inside the loaded bytes.
  ASSERT_NE(AddBytes(*disk, L"FILL", Pattern(disk->DiskFree())), nullptr);
  EXPECT_EQ(disk->DiskFree(), 0);
  EXPECT_TRUE(
      std::all_of(bytes.begin() + 200000, bytes.end(), [](std::uint8_t b) { return b == 0xA5; }));
}

TEST(Hostile, BadDirectoryClustersAreNotEntered) {
  for (const int cluster : {0xFFFF, 1, 715, 0xFF8}) {
    auto disk = BaseImage();
    SetDirCluster(*disk, cluster);
    ASSERT_TRUE(disk->ChangeDir("\\"));
    EXPECT_FALSE(disk->ChangeDir("DIR")) << cluster;
    EXPECT_EQ(disk->FLastError, DiskResult::DirNotFound);
    EXPECT_EQ(disk->Directory(), "\\");
    EXPECT_EQ(disk->FDirOffset, disk->FRootDirOffset);
  }
  auto disk = BaseImage();
  disk->SetFatEntry(2, 0);  // the directory's own cluster is marked free
  EXPECT_FALSE(disk->ChangeDir("DIR"));
}

TEST(Hostile, SelfAndAncestorLinksAreNeverEmptyEnoughToDelete) {
  auto disk = BaseImage();
  ClusterSlot(*disk, 2, 2)->ClusterLow = 2;  // DIR\SUB now points at DIR itself
  ASSERT_TRUE(disk->ChangeDir("DIR\\SUB\\SUB\\SUB"));
  EXPECT_EQ(disk->DirCount(), 32);
  ASSERT_TRUE(disk->ChangeDir("\\DIR"));
  EXPECT_EQ(disk->Delete("SUB"), DiskResult::DirNotEmpty);
  ASSERT_TRUE(disk->ChangeDir("\\"));
  EXPECT_EQ(disk->Delete("DIR"), DiskResult::DirNotEmpty);
}

TEST(Hostile, LowerCaseDirectoryIsCountedByItsOwnChain) {
  auto disk = BaseImage();
  std::memcpy(RootSlot(*disk, 0)->Name, "dir     ", 8);
  EXPECT_EQ(disk->Delete("dir"), DiskResult::FileNotFound);  // names are looked up upper-cased
  EXPECT_EQ(disk->Delete(RootSlot(*disk, 0)), DiskResult::DirNotEmpty);
  EXPECT_EQ(disk->Directory(), "\\");
}

TEST(Hostile, CyclicFileExtractsBoundedAndDeletesExactly) {
  auto disk = BaseImage();
  disk->SetFatEntry(5, 3);  // FILE.TXT: 3 -> 4 -> 5 -> 3
  RootSlot(*disk, 1)->Size = 0xFFFFFFFF;
  rtl::TMemoryStream stream;
  EXPECT_FALSE(disk->ExtractToStream(stream, RootSlot(*disk, 1)));
  EXPECT_EQ(stream.Size(), 3 * 1024);
  const int freeBefore = disk->DiskFree();
  EXPECT_EQ(disk->Delete("FILE.TXT"), DiskResult::Ok);
  EXPECT_EQ(disk->DiskFree(), freeBefore + 3 * 1024);
  EXPECT_EQ(disk->GetFatEntry(2), 0xFFF);
  EXPECT_EQ(disk->GetFatEntry(6), 0xFFF);
}

}  // namespace
