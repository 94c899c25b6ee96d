// The HFE reader on hand-made files and the writer's track list and limits.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "hfe/hfe_format.h"
#include "test_track_writer.h"

namespace hfe {
namespace {

using hfe_test::Bytes;

// A two-sided file at 250 kbit/s, interface 7, with its track list in block `listBlock` for
// `tracks` tracks of `length` bytes each, track data 0x55 from the block after the list.
Bytes HandMadeFile(int tracks, int rpm, int length, int listBlock = 1) {
  const auto byte = [](int value) { return static_cast<std::uint8_t>(value); };
  Bytes file = {'H', 'X', 'C', 'P', 'I', 'C', 'F', 'E', 0, byte(tracks), 2, 0, 250, 0};
  file.insert(file.end(), {byte(rpm), byte(rpm >> 8), 7, 1, byte(listBlock), 0});
  file.resize(static_cast<std::size_t>(listBlock + 1) * 512, 0xFF);
  const int blocks = (length + 511) / 512;
  for (int t = 0; t < tracks; ++t) {
    const int block = listBlock + 1 + t * blocks;
    const Bytes entry = {byte(block), byte(block >> 8), byte(length), byte(length >> 8)};
    std::copy(entry.begin(), entry.end(), file.begin() + listBlock * 512 + t * 4);
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

// Geometry from the header; the track list where it points; rpm 0 derived from the track length;
// track 0's own encodings.
TEST(HfeReader, DerivesGeometryFromTheHeader) {
  Bytes file = HandMadeFile(3, 0, 25008, 2);
  file[22] = 0;
  file[23] = 2;
  const auto loaded = Load(file);
  ASSERT_EQ(loaded.result, kOk);
  const TFloppy& floppy = loaded.floppy;
  EXPECT_EQ(std::vector<std::int32_t>({floppy.trackCount, floppy.sideCount, floppy.bitRate,
                                       floppy.interfaceType, floppy.sectorsPerTrack}),
            std::vector<std::int32_t>({3, 2, 250000, 7, -1}));
  const TSide& side = *floppy.Side(2, 1);
  EXPECT_EQ(side.cellData, Bytes(12544, 0xAA));  // 0x55 bit-reversed
  EXPECT_EQ(side.trackLength, 12544 * 8);
  EXPECT_EQ(side.indexMap[255], 0xFF);
  EXPECT_EQ(side.indexMap[256], 0);
  EXPECT_EQ(floppy.cylinders[2]->rpm, 299);
  EXPECT_EQ(Load(HandMadeFile(3, 360, 25008)).floppy.cylinders[0]->rpm, 360);
  EXPECT_EQ(floppy.Side(0, 0)->trackEncoding, TrackEncoding::IsoIbmFm);
  EXPECT_EQ(floppy.Side(0, 1)->trackEncoding, TrackEncoding::IsoIbmMfm);
  EXPECT_EQ(floppy.Side(1, 0)->trackEncoding, TrackEncoding::IsoIbmMfm);
  auto context = trk_init();
  auto loader = trk_imgInitLoader(*context);
  EXPECT_EQ(HFE_libIsValidDiskFile(*loader, file), 1);  // the signature alone decides
  EXPECT_EQ(HFE_libIsValidDiskFile(*loader, Bytes{'H', 'X', 'C'}), kBadFile);
}

TEST(HfeReader, RefusesBadHeadersAndTrackLists) {
  const Bytes good = HandMadeFile(2, 300, 512, 2);
  ASSERT_EQ(Load(good).result, kOk);
  const struct {
    const char* name;
    std::size_t offset;  // a byte to set, or the size to cut to when value < 0
    int value;
  } cases[] = {
      {"bad signature", 0, 'X'},
      {"HXCHFEV3 signature", 3, 'H'},
      {"0 sides", 10, 0},
      {"3 sides", 10, 3},
      {"0 tracks", 9, 0},
      {"bit rate 0", 12, 0},
      {"list in the header", 18, 0},
      {"list past the end", 18, 200},
      {"25 bytes", 25, -1},
      {"no list", 1024, -1},
      {"half a list", 1031, -1},
  };
  for (const auto& c : cases) {
    Bytes file = good;
    if (c.value < 0) {
      file.resize(c.offset);
    } else {
      file[c.offset] = static_cast<std::uint8_t>(c.value);
      if (c.offset == 3) std::memcpy(file.data(), "HXCHFEV3", 8);
    }
    EXPECT_EQ(Load(file).result, kBadFile) << c.name;
  }
  Bytes listOnly = good;
  listOnly.resize(1032);  // no track data: the tracks read as zero
  EXPECT_EQ(Load(listOnly).result, kOk);
}

Bytes Write(const TFloppy& floppy, int* result = nullptr) {
  auto context = trk_init();
  auto loader = trk_imgInitLoader(*context);
  Bytes file;
  const int r = HFE_libWrite_DiskFile(*loader, floppy, file, "out.hfe");
  if (result) *result = r;
  return file;
}

// The list takes a second block from 128 tracks; a track longer than 65,535 bytes for both sides
// is cut to 32,767 bytes per side; more than 255 tracks or none cannot be written.
TEST(HfeWriter, TrackListTrackLengthsAndLimits) {
  const struct {
    int tracks;
    std::size_t cells;  // bytes per side
    std::size_t firstTrackBlock, listedLength, fileSize;
  } cases[] = {{128, 10, 3, 20, 131 * 512},
               {255, 10, 3, 20, 258 * 512},
               {1, 40000, 2, 65534, 1024 + 128 * 512}};
  for (const auto& c : cases) {
    int result = -1;
    const Bytes file = Write(*hfe_test::CellFloppy(std::vector<std::vector<Bytes>>(
                                 static_cast<std::size_t>(c.tracks), {Bytes(c.cells, 0x4E)})),
                             &result);
    EXPECT_EQ(result, kOk);
    EXPECT_EQ(file[512], c.firstTrackBlock) << c.tracks;
    EXPECT_EQ(file[514] | file[515] << 8, c.listedLength) << c.tracks;
    if (c.tracks > 1) {
      EXPECT_EQ(file[516], c.firstTrackBlock + 1);
    }
    EXPECT_EQ(file.size(), c.fileSize) << c.tracks;
  }
  for (std::size_t tracks : {0, 256}) {
    int result = 0;
    Write(*hfe_test::CellFloppy(std::vector<std::vector<Bytes>>(tracks, {Bytes(1, 1)})), &result);
    EXPECT_EQ(result, kIoError) << tracks;
  }
}

}  // namespace
}  // namespace hfe
