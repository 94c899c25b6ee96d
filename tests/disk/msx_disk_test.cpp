// The image object: new images, boot code, FAT12, bounded chains, cluster mapping and loads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "disk/msx_disk.h"
#include "disk_test_support.h"
#include "rtl/exceptions.h"

namespace {

using disk::ChainEnd;
using disk::TMSXDisk;
using disk_test::NewDisk;

struct NewImageCase {
  bool doubleSided;
  int bootOption;
};

class NewImageGolden : public ::testing::TestWithParam<NewImageCase> {};

TEST_P(NewImageGolden, BootSectorFatAndLayout) {
  const auto [doubleSided, option] = GetParam();
  auto disk = NewDisk(doubleSided);
  disk->ResetModifiedState();
  disk->AttachBootCode(disk::GetBootCode(option));
  const auto bytes = disk->Buffer();

  // Jump, "QUOLLBOX", 512 bytes per sector, 2 per cluster, 1 reserved, 2 FATs, 112 root entries,
  // then the sector count, media byte, sectors per FAT, 9 per track and the head count.
  std::vector<std::uint8_t> bpb = {0xEB, 0xFE, 0x90, 'Q',  'U',  'O',  'L',  'L',  'B', 'O',
                                   'X',  0x00, 0x02, 0x02, 0x01, 0x00, 0x02, 0x70, 0x00};
  const std::vector<std::uint8_t> tail =
      doubleSided ? std::vector<std::uint8_t>{0xA0, 0x05, 0xF9, 0x03, 0x00, 0x09, 0x00, 0x02, 0x00}
                  : std::vector<std::uint8_t>{0xD0, 0x02, 0xF8, 0x02, 0x00, 0x09, 0x00, 0x01, 0x00};
  bpb.insert(bpb.end(), tail.begin(), tail.end());
  EXPECT_TRUE(std::equal(bpb.begin(), bpb.end(), bytes.begin()));

  const std::uint8_t media = doubleSided ? 0xF9 : 0xF8;
  const std::size_t fat2 = doubleSided ? 2048 : 1536;
  for (const std::size_t fat : {std::size_t{512}, fat2}) {
    EXPECT_EQ(bytes[fat], media);
    EXPECT_EQ(bytes[fat + 1], 0xFF);
    EXPECT_EQ(bytes[fat + 2], 0xFF);
    EXPECT_TRUE(std::all_of(bytes.begin() + fat + 3,
                            bytes.begin() + fat + (doubleSided ? 1536 : 1024),
                            [](std::uint8_t b) { return b == 0; }));
  }

  const auto code = disk::GetBootCode(option).Bytes();
  EXPECT_TRUE(std::equal(code.begin(), code.end(), bytes.begin() + 28));
  EXPECT_TRUE(std::all_of(bytes.begin() + 28 + code.size(), bytes.begin() + 512,
                          [](std::uint8_t b) { return b == 0; }));

  EXPECT_TRUE(disk->IsModified());
  EXPECT_EQ(disk->DiskFree(), doubleSided ? 730112 : 362496);
  EXPECT_EQ(disk->DiskUsage(), 2048);
  EXPECT_EQ(disk->FDataOffset, doubleSided ? 7168 : 6144);
}

INSTANTIATE_TEST_SUITE_P(SizesAndBootBlocks, NewImageGolden,
                         ::testing::Values(NewImageCase{false, 1}, NewImageCase{true, 0},
                                           NewImageCase{true, 2}));

TEST(BootCode, ShorterBlockLeavesTailUntilErased) {
  auto disk = NewDisk();
  disk->AttachBootCode(disk::GetBootCode(1));
  const auto dos1 = disk::GetBootCode(1).Bytes();
  disk->AttachBootCode(disk::GetBootCode(2));
  EXPECT_TRUE(std::equal(dos1.begin() + 164, dos1.end(), disk->Buffer().begin() + 28 + 164));

  disk->ResetModifiedState();
  disk->EraseBootSector();
  EXPECT_TRUE(disk->IsModified());
  disk->AttachBootCode(disk::GetBootCode(2));
  EXPECT_TRUE(std::all_of(disk->Buffer().begin() + 28 + 164, disk->Buffer().begin() + 512,
                          [](std::uint8_t b) { return b == 0; }));
  EXPECT_EQ(disk->Buffer()[3], 'Q');
}

TEST(Fat12, EntriesPackAndMirrorIntoSecondFat) {
  auto disk = NewDisk();
  // An odd entry fills the high nibble of its first byte and the whole second byte.
  disk->SetFatEntry(2, 0xABC);
  disk->ResetModifiedState();
  disk->SetFatEntry(3, 0x123);
  EXPECT_TRUE(disk->IsModified());
  EXPECT_EQ(disk->Buffer()[515], 0xBC);
  EXPECT_EQ(disk->Buffer()[516], 0x3A);
  EXPECT_EQ(disk->Buffer()[517], 0x12);
  EXPECT_EQ(disk->GetFatEntry(2), 0xABC);

  // Writes outside the table change nothing; every entry keeps its own 12 bits.
  for (const int k : {-3, -1, disk->FClusterCount, disk->FClusterCount + 3})
    disk->SetFatEntry(k, 0);
  for (int k = 4; k < disk->FClusterCount; ++k) disk->SetFatEntry(k, k * 37 & 0xFFF);
  for (int k = 4; k < disk->FClusterCount; ++k) ASSERT_EQ(disk->GetFatEntry(k), k * 37 & 0xFFF);
  EXPECT_EQ(disk->GetFatEntry(3), 0x123);
  const auto bytes = disk->Buffer();
  EXPECT_TRUE(std::equal(bytes.begin() + 512, bytes.begin() + 2048, bytes.begin() + 2048));
  EXPECT_EQ(disk->GetFatEntry(-1), 0xFFF);
  EXPECT_EQ(disk->GetFatEntry(disk->FClusterCount), 0xFFF);
}

struct ChainCase {
  const char* name;
  std::vector<std::pair<int, int>> links;
  int start;
  std::vector<std::int32_t> chain;
  ChainEnd end;
};

class HostileChains : public ::testing::TestWithParam<ChainCase> {};

TEST_P(HostileChains, WalkSizeFreeAndExtractStayBounded) {
  const ChainCase& c = GetParam();
  auto disk = NewDisk();
  disk->SetFatEntry(20, 0xFFF);  // a bystander that must survive every free
  for (const auto& [k, v] : c.links) disk->SetFatEntry(k, v);

  const disk::TChainWalk walk = disk->WalkChain(c.start);
  EXPECT_EQ(walk.Clusters, c.chain);
  EXPECT_EQ(walk.End, c.end);
  EXPECT_EQ(disk->GetChainSize(c.start), static_cast<int>(c.chain.size()) * 1024);

  rtl::TMemoryStream stream;
  disk::TDirEntry entry{};
  entry.ClusterLow = static_cast<std::uint16_t>(c.start);
  entry.Size = 0xFFFFFFFF;
  EXPECT_FALSE(disk->ExtractToStream(stream, &entry));
  EXPECT_EQ(stream.Size(), static_cast<std::int64_t>(c.chain.size()) * 1024);

  std::vector<int> before(static_cast<std::size_t>(disk->FClusterCount));
  for (int k = 0; k < disk->FClusterCount; ++k)
    before[static_cast<std::size_t>(k)] = disk->GetFatEntry(k);
  disk->FreeClusterChain(c.start);
  for (int k = 0; k < disk->FClusterCount; ++k) {
    const bool inChain = std::find(c.chain.begin(), c.chain.end(), k) != c.chain.end();
    EXPECT_EQ(disk->GetFatEntry(k), inChain ? 0 : before[static_cast<std::size_t>(k)])
        << "entry " << k;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HostileChains,
    ::testing::Values(
        ChainCase{"WellFormed", {{5, 6}, {6, 7}, {7, 0xFF8}}, 5, {5, 6, 7}, ChainEnd::EndOfChain},
        ChainCase{"TwoCycle", {{5, 6}, {6, 5}}, 5, {5, 6}, ChainEnd::Cycle},
        ChainCase{"IntoReserved", {{5, 6}, {6, 0xFF7}}, 5, {5}, ChainEnd::Broken},
        ChainCase{"IntoFree", {{5, 6}}, 5, {5}, ChainEnd::Broken},
        ChainCase{"FreeStart", {}, 5, {}, ChainEnd::Broken},
        ChainCase{"ToZeroCluster", {{5, 0xFFF}, {0, 5}}, 0, {}, ChainEnd::Broken},
        ChainCase{"OutOfRange", {{5, 0x800}}, 5, {5}, ChainEnd::Broken},
        ChainCase{"StartOutOfRange", {}, 0xFFFF, {}, ChainEnd::EndOfChain}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(Clusters, OffsetsAreCheckedAgainstTheLoadedBytes) {
  auto disk = NewDisk();
  EXPECT_EQ(disk->ClusterToOffset(2), 7168);
  EXPECT_EQ(disk->ClusterToOffset(714), 737280 - 1024);
  for (const int bad : {-1, 0, 1, 715, 0xFF7, 0xFFFF}) {
    EXPECT_EQ(disk->ClusterToOffset(bad), -1) << bad;
    EXPECT_EQ(disk->GetDataPointer(bad), nullptr) << bad;
  }
  EXPECT_EQ(disk->GetDataPointer(2), disk->Buffer().data() + 7168);
  EXPECT_EQ(disk->OffsetToCluster(disk->FRootDirOffset), 0);
  EXPECT_EQ(disk->OffsetToCluster(7168 + 3 * 1024), 5);
  disk->SetFatEntry(0, 0);
  disk->SetFatEntry(1, 0);
  EXPECT_EQ(disk->FindFreeCluster(0), 2);
  EXPECT_EQ(disk->FindFreeCluster(714), 714);
  disk->SetFatEntry(714, 0xFFF);
  EXPECT_EQ(disk->FindFreeCluster(714), -1);
}

struct LoadCase {
  const char* name;
  std::size_t size;
  std::uint8_t media;
  bool loads;
  int clusterCount;
  int sides;
};

class Loads : public ::testing::TestWithParam<LoadCase> {};

TEST_P(Loads, FromBufferAndStream) {
  const LoadCase& c = GetParam();
  std::vector<std::uint8_t> image = disk_test::Pattern(c.size);
  if (c.size > 21) image[21] = c.media;
  for (const bool viaStream : {false, true}) {
    // A prepared image first, so stale bytes (its media byte 0xF9) sit in the buffer.
    auto disk = NewDisk();
    disk->SetFileName("old.dsk");
    bool loaded = false;
    if (viaStream) {
      rtl::TMemoryStream stream(image);
      loaded = disk->LoadFromStream(stream, "new.dsk");
    } else {
      loaded = disk->LoadFromBuffer(image, "new.dsk");
    }
    const std::size_t used = std::min<std::size_t>(c.size, disk::kImageCapacity);
    EXPECT_EQ(loaded, c.loads);
    EXPECT_EQ(disk->DiskByteSize(), static_cast<int>(used));
    EXPECT_TRUE(std::equal(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(used),
                           disk->Buffer().begin()));
    EXPECT_EQ(disk->FClusterCount, c.clusterCount);
    EXPECT_EQ(disk->NumSides(), c.sides);
    EXPECT_EQ(disk->Directory(), "\\");
    EXPECT_EQ(disk->FileName(), loaded ? "new.dsk" : "old.dsk");
    EXPECT_EQ(disk->IsModified(), !loaded);
    if (!loaded) {
      EXPECT_EQ(disk->DirCount(), 0);
      EXPECT_EQ(disk->DiskFree(), 0);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, Loads,
                         ::testing::Values(LoadCase{"NoMediaByte", 21, 0, false, 0, 0},
                                           LoadCase{"MediaByteOnly", 22, 0xF8, true, 0, 0},
                                           LoadCase{"SingleSided", 368640, 0xF8, true, 356, 1},
                                           LoadCase{"SingleSizedF9", 368640, 0xF9, true, 355, 1},
                                           LoadCase{"DoubleSided", 737280, 0xF9, true, 715, 2},
                                           LoadCase{"TooLong", 737281, 0xF9, true, 715, 2},
                                           LoadCase{"UnknownMedia", 737280, 0xF0, false, 0, 2}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(Loads, EmptyInputChangesNothing) {
  auto disk = NewDisk();
  disk->SetFileName("old.dsk");
  disk->ResetModifiedState();
  const std::vector<std::uint8_t> before(disk->Buffer().begin(), disk->Buffer().end());
  rtl::TMemoryStream empty;
  EXPECT_FALSE(disk->LoadFromStream(empty, "new.dsk"));
  EXPECT_FALSE(disk->LoadFromBuffer({}, "new.dsk"));
  EXPECT_EQ(disk->DiskByteSize(), disk::kImageCapacity);
  EXPECT_EQ(disk->FClusterCount, 715);
  EXPECT_EQ(disk->FileName(), "old.dsk");
  EXPECT_FALSE(disk->IsModified());
  EXPECT_TRUE(std::equal(before.begin(), before.end(), disk->Buffer().begin()));
}

TEST(Loads, EmptyNameKeepsFileName) {
  auto disk = NewDisk(false);
  rtl::TMemoryStream saved;
  disk->SaveToStream(saved);
  auto other = std::make_unique<TMSXDisk>();
  other->SetFileName("kept.dsk");
  EXPECT_TRUE(other->LoadFromBuffer(saved.Bytes(), ""));
  EXPECT_EQ(other->FileName(), "kept.dsk");
  EXPECT_FALSE(other->IsModified());
  EXPECT_EQ(other->DiskFree(), 362496);
}

TEST(InertObject, EveryOperationRefusesSafely) {
  auto fresh = std::make_unique<TMSXDisk>();
  auto rejected = NewDisk();
  std::vector<std::uint8_t> image(737280, 0);
  image[21] = 0xF0;
  ASSERT_FALSE(rejected->LoadFromBuffer(image, ""));

  for (TMSXDisk* disk : {fresh.get(), rejected.get()}) {
    const auto before = disk_test::Snapshot(*disk);
    EXPECT_EQ(disk->DiskFree(), 0);
    EXPECT_EQ(disk->FindFreeCluster(2), -1);
    EXPECT_EQ(disk->GetDataPointer(2), nullptr);
    EXPECT_EQ(disk_test::AddBytes(*disk, L"A.TXT", {1, 2, 3}), nullptr);
    EXPECT_EQ(disk->FLastError, disk::DiskResult::DirFull);
    EXPECT_EQ(disk->CreateSubDir("DIR"), disk::DiskResult::DirFull);
    disk->FreeClusterChain(2);
    disk->SetFatEntry(2, 0xFFF);
    EXPECT_EQ(disk->GetFatEntry(2), 0xFFF);
    EXPECT_EQ(disk_test::Snapshot(*disk), before);
  }
}

}  // namespace
