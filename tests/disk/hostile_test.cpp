// Hostile images: directories that point where they should not, and images shorter than their
// geometry. Random and broken images in bulk are the disk image fuzzer's work.
#include <gtest/gtest.h>

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

void SetDirCluster(TMSXDisk& disk, int value) {
  RootSlot(disk, 0)->ClusterLow = static_cast<std::uint16_t>(value);
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
  const auto bytes = disk->Buffer();
  // Fill what is left: the data must stay inside the loaded bytes.
  ASSERT_NE(AddBytes(*disk, L"FILL", Pattern(disk->DiskFree())), nullptr);
  EXPECT_EQ(disk->DiskFree(), 0);
  EXPECT_TRUE(
      std::all_of(bytes.begin() + 200000, bytes.end(), [](std::uint8_t b) { return b == 0xA5; }));
  EXPECT_TRUE(std::equal(bytes.begin() + 512, bytes.begin() + 2048, bytes.begin() + 2048));
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

}  // namespace
