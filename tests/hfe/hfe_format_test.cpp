// The HFE reader on hand-made files and the writer's layout rules.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "hfe/hfe_format.h"
#include "test_track_writer.h"

namespace hfe {
namespace {

using hfe_test::Bytes;

// A header and a track list in block `listBlock` for `tracks` tracks of `length` bytes each, track
// data 0x55 from the block after the list.
Bytes HandMadeFile(int tracks, int sides, int kbitRate, int rpm, int length, int listBlock = 1) {
  Bytes file(static_cast<std::size_t>(listBlock + 1) * 512, 0xFF);
  std::memcpy(file.data(), "HXCPICFE", 8);
  file[9] = static_cast<std::uint8_t>(tracks);
  file[10] = static_cast<std::uint8_t>(sides);
  file[11] = 0;
  file[12] = static_cast<std::uint8_t>(kbitRate);
  file[13] = static_cast<std::uint8_t>(kbitRate >> 8);
  file[14] = static_cast<std::uint8_t>(rpm);
  file[15] = static_cast<std::uint8_t>(rpm >> 8);
  file[16] = 7;
  file[18] = static_cast<std::uint8_t>(listBlock);
  file[19] = 0;
  const int blocks = (length + 511) / 512;
  const std::size_t list = static_cast<std::size_t>(listBlock) * 512;
  for (int t = 0; t < tracks; ++t) {
    const int block = listBlock + 1 + t * blocks;
    file[list + t * 4u] = static_cast<std::uint8_t>(block);
    file[list + t * 4u + 1] = static_cast<std::uint8_t>(block >> 8);
    file[list + t * 4u + 2] = static_cast<std::uint8_t>(length);
    file[list + t * 4u + 3] = static_cast<std::uint8_t>(length >> 8);
  }
  file.resize(file.size() + static_cast<std::size_t>(tracks * blocks) * 512, 0x55);
  return file;
}

struct TLoaded {
  int result;
  TFloppy floppy;
};

TLoaded Load(const Bytes& file) {
  auto context = trk_init();
  auto loader = trk_imgInitLoader(*context);
  TLoaded loaded{0, {}};
  loaded.result = HFE_libLoad_DiskFile(*loader, loaded.floppy, file, "test.hfe");
  return loaded;
}

TEST(HfeReader, DerivesGeometryFromTheHeader) {
  const Bytes file = HandMadeFile(3, 2, 250, 0, 25008);
  const auto loaded = Load(file);
  ASSERT_EQ(loaded.result, kOk);
  EXPECT_EQ(loaded.floppy.trackCount, 3);
  EXPECT_EQ(loaded.floppy.sideCount, 2);
  EXPECT_EQ(loaded.floppy.bitRate, 250000);
  EXPECT_EQ(loaded.floppy.interfaceType, 7);
  EXPECT_EQ(loaded.floppy.sectorsPerTrack, -1);
  const TSide& side = *loaded.floppy.Side(2, 1);
  EXPECT_EQ(side.cellData.size(), 12544u);
  EXPECT_EQ(side.trackLength, 12544 * 8);
  EXPECT_EQ(side.cellData[0], 0xAA);  // 0x55 bit-reversed
  EXPECT_EQ(side.indexMap[255], 0xFF);
  EXPECT_EQ(side.indexMap[256], 0);
  EXPECT_EQ(loaded.floppy.cylinders[2]->rpm, 299);
  EXPECT_EQ(Load(HandMadeFile(3, 2, 250, 360, 25008)).floppy.cylinders[0]->rpm, 360);
  auto context = trk_init();
  auto loader = trk_imgInitLoader(*context);
  EXPECT_EQ(HFE_libIsValidDiskFile(*loader, file), 1);  // the signature alone decides
  EXPECT_EQ(HFE_libIsValidDiskFile(*loader, Bytes{'H', 'X', 'C'}), kBadFile);
}

TEST(HfeReader, DeInterleavesAndReversesTheSides) {
  Bytes file = HandMadeFile(1, 2, 250, 300, 1024);
  for (int i = 0; i < 1024; ++i)
    file[1024 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i / 256 + 1);
  const auto loaded = Load(file);
  ASSERT_EQ(loaded.result, kOk);
  const TSide& side0 = *loaded.floppy.Side(0, 0);
  const TSide& side1 = *loaded.floppy.Side(0, 1);
  // Blocks hold 256 bytes of side 0, then 256 of side 1: file values 1, 2 | 3, 4.
  EXPECT_EQ(side0.cellData[0], 0x80);
  EXPECT_EQ(side1.cellData[0], 0x40);
  EXPECT_EQ(side0.cellData[256], 0xC0);
  EXPECT_EQ(side1.cellData[511], 0x20);
}

TEST(HfeReader, HonoursTheTrackListOffsetWithinTheFile) {
  // Two tracks of 512 bytes: file values 1 | 2 for track 0 and 3 | 4 for track 1.
  const auto file = [](int listBlock) {
    Bytes bytes = HandMadeFile(2, 2, 250, 300, 512, listBlock);
    const std::size_t data = static_cast<std::size_t>(listBlock + 1) * 512;
    for (std::size_t i = 0; i < 1024; ++i) bytes[data + i] = static_cast<std::uint8_t>(i / 256 + 1);
    return bytes;
  };
  for (int listBlock : {1, 2, 7}) {
    const auto loaded = Load(file(listBlock));
    ASSERT_EQ(loaded.result, kOk) << listBlock;
    EXPECT_EQ(loaded.floppy.Side(0, 1)->cellData, Bytes(256, 0x40)) << listBlock;
    EXPECT_EQ(loaded.floppy.Side(1, 0)->cellData, Bytes(256, 0xC0)) << listBlock;
  }
  // A list in the header's block, past the end, or cut by the end is a bad file.
  const struct {
    int listBlock;
    std::size_t cutTo;  // 0: not cut
  } refused[] = {{0, 0}, {2, 1024}, {2, 1028}, {2, 1031}, {200, 0}};
  for (const auto& c : refused) {
    Bytes bytes = file(2);
    bytes[18] = static_cast<std::uint8_t>(c.listBlock);
    if (c.cutTo) bytes.resize(c.cutTo);
    EXPECT_EQ(Load(bytes).result, kBadFile) << c.listBlock << " " << c.cutTo;
  }
  Bytes exact = file(2);
  exact.resize(1032);  // the whole list, no track data: tracks read as zero
  EXPECT_EQ(Load(exact).result, kOk);
}

TEST(HfeReader, TrackZeroEncodingOverrides) {
  Bytes file = HandMadeFile(2, 2, 250, 300, 512);
  file[22] = 0;
  file[23] = 2;
  const auto loaded = Load(file);
  ASSERT_EQ(loaded.result, kOk);
  EXPECT_EQ(loaded.floppy.Side(0, 0)->trackEncoding, TrackEncoding::IsoIbmFm);
  EXPECT_EQ(loaded.floppy.Side(0, 1)->trackEncoding, TrackEncoding::IsoIbmMfm);
  EXPECT_EQ(loaded.floppy.Side(1, 0)->trackEncoding, TrackEncoding::IsoIbmMfm);
}

TEST(HfeReader, ShortAndEmptyTracksAreSafe) {
  // Zero-length tracks give sides without cells; data past the end of the file reads as zero.
  Bytes file = HandMadeFile(3, 2, 250, 0, 0);
  file[512 + 6] = 0x00;
  file[512 + 7] = 0x04;  // track 1: 1,024 bytes that the file does not hold
  const auto loaded = Load(file);
  ASSERT_EQ(loaded.result, kOk);
  EXPECT_EQ(loaded.floppy.Side(0, 0)->trackLength, 0);
  EXPECT_TRUE(loaded.floppy.Side(0, 0)->indexMap.empty());
  EXPECT_EQ(loaded.floppy.cylinders[0]->rpm, 0);
  EXPECT_EQ(loaded.floppy.Side(1, 1)->cellData, Bytes(512, 0));
}

// A floppy of one-sided tracks whose side-0 cells are given.
TFloppy FloppyOfCells(std::vector<Bytes> tracks) {
  TFloppy floppy;
  floppy.trackCount = static_cast<std::int32_t>(tracks.size());
  floppy.sideCount = 1;
  floppy.bitRate = 250000;
  for (auto& cells : tracks) {
    auto cylinder = std::make_unique<TCylinder>();
    cylinder->sideCount = 1;
    auto side = std::make_unique<TSide>();
    side->trackLength = static_cast<std::int32_t>(cells.size() * 8);
    side->cellData = std::move(cells);
    cylinder->sides.push_back(std::move(side));
    floppy.cylinders.push_back(std::move(cylinder));
  }
  return floppy;
}

Bytes Write(const TFloppy& floppy, int* result = nullptr) {
  auto context = trk_init();
  auto loader = trk_imgInitLoader(*context);
  Bytes file;
  const int r = HFE_libWrite_DiskFile(*loader, floppy, file, "out.hfe");
  if (result) *result = r;
  return file;
}

TEST(HfeWriter, FillsTheTrailingZerosWithThePrecedingPair) {
  const struct {
    Bytes cells;
    std::uint8_t expected[5];
    std::uint8_t last;
  } cases[] = {
      {{0x12, 0x34, 0, 0, 0}, {0x12, 0x34, 0x12, 0x34, 0x12}, 0x34},
      {{0x12, 0, 0}, {0x12, 0x12, 0x12, 0x12, 0x12}, 0x12},
      {{0, 0, 0}, {0, 0, 0, 0, 0}, 0},
  };
  for (const auto& c : cases) {
    const Bytes file = Write(FloppyOfCells({c.cells}));
    ASSERT_EQ(file.size(), 1536u);
    for (int i = 0; i < 5; ++i)
      EXPECT_EQ(file[1024 + static_cast<std::size_t>(i)], hfe_test::Reversed(c.expected[i]));
    // The side is filled to 256 bytes; the one-sided floppy's side-1 half is zero.
    EXPECT_EQ(file[1024 + 255], hfe_test::Reversed(c.last));
    EXPECT_EQ(Bytes(file.begin() + 1280, file.end()), Bytes(256, 0));
  }
}

TEST(HfeWriter, TrackListSizeAndOffsets) {
  const struct {
    int tracks;
    std::size_t firstTrackBlock;
  } cases[] = {{84, 2}, {127, 2}, {128, 3}, {255, 3}};
  for (const auto& c : cases) {
    const Bytes file = Write(
        FloppyOfCells(std::vector<Bytes>(static_cast<std::size_t>(c.tracks), Bytes(10, 0x4E))));
    EXPECT_EQ(file[512], c.firstTrackBlock);
    EXPECT_EQ(file[514], 20);  // both sides of 10 bytes
    EXPECT_EQ(file[516], c.firstTrackBlock + 1);
    EXPECT_EQ(file.size(), (c.firstTrackBlock + static_cast<std::size_t>(c.tracks)) * 512);
  }
  int result = 0;
  EXPECT_TRUE(Write(FloppyOfCells({}), &result).empty());
  EXPECT_EQ(result, kIoError);
  Write(FloppyOfCells(std::vector<Bytes>(256, Bytes(1, 1))), &result);
  EXPECT_EQ(result, kIoError);
}

TEST(HfeWriter, CutsOverlongTracks) {
  const Bytes file = Write(FloppyOfCells({Bytes(40000, 0x4E)}));
  EXPECT_EQ(file[514] | file[515] << 8, 2 * 32767);
  EXPECT_EQ(file.size(), 1024u + 128u * 512u);
}

TEST(HfeWriter, WrittenFilesReadBack) {
  const Bytes cells = hfe_test::RandomBytes(1000, 12);
  int result = -1;
  const Bytes file = Write(FloppyOfCells({cells, cells}), &result);
  ASSERT_EQ(result, kOk);
  const auto loaded = Load(file);
  ASSERT_EQ(loaded.result, kOk);
  const TSide& side = *loaded.floppy.Side(1, 0);
  EXPECT_EQ(side.cellData.size(), 1024u);
  EXPECT_EQ(Bytes(side.cellData.begin(), side.cellData.begin() + 1000), cells);
}

}  // namespace
}  // namespace hfe
