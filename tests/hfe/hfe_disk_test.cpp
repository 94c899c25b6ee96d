// HFE files: the reader on hand-made files and the writer's track list and limits; LoadHFE and
// SaveHFE: the golden layout of a saved file, round trips, and foreign, damaged and refused files
// made by the test-side writer.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "../rtl/temp_folder.h"
#include "disk/msx_disk.h"
#include "hfe/hfe_disk.h"
#include "hfe/hfe_format.h"
#include "test_track_writer.h"

namespace hfe {
namespace {

using hfe_test::Bytes;

constexpr std::size_t kTrackBlocks = 49;
constexpr std::size_t kTrackSide = 4608;

Bytes ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes Slice(const Bytes& bytes, std::size_t at, std::size_t count) {
  return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(at),
               bytes.begin() + static_cast<std::ptrdiff_t>(at + count));
}

Bytes Repeat(const Bytes& unit, std::size_t times) {
  Bytes out;
  for (std::size_t i = 0; i < times; ++i) out.insert(out.end(), unit.begin(), unit.end());
  return out;
}

std::unique_ptr<disk::TMSXDisk> DiskOf(const Bytes& image) {
  auto disk = std::make_unique<disk::TMSXDisk>();
  EXPECT_TRUE(disk->LoadFromBuffer(image, "source.dsk"));
  return disk;
}

Bytes ImageOf(const disk::TMSXDisk& disk) {
  return Slice(Bytes(disk.Buffer().begin(), disk.Buffer().end()), 0,
               static_cast<std::size_t>(disk.FBufferSize));
}

TEST(SaveHFE, GoldenLayout) {
  for (int sides : {2, 1}) {
    SCOPED_TRACE(sides);
    TTempFolder folder;
    const auto disk = DiskOf(hfe_test::RandomImage(sides, 40 + static_cast<std::uint32_t>(sides)));
    ASSERT_TRUE(SaveHFE(folder / "golden.hfe", *disk));
    const Bytes file = ReadFile(folder / "golden.hfe");
    ASSERT_EQ(file.size(), (2 + 84 * kTrackBlocks) * 512);

    // Signature, format 0, 84 tracks, the sides, MFM at 250 kbit/s, rpm 0, interface 7, 1, the
    // track list in block 1; 0xFF after. Every track takes 49 blocks for 25,008 bytes.
    Bytes header = {
        'H', 'X',  'C', 'P', 'I', 'C', 'F', 'E', 0, 84, static_cast<std::uint8_t>(sides),
        0,   0xFA, 0,   0,   0,   7,   1,   1,   0};
    header.resize(512, 0xFF);
    EXPECT_EQ(Slice(file, 0, 512), header);
    Bytes list;
    for (std::size_t track = 0; track < 84; ++track) {
      const std::size_t block = 2 + track * kTrackBlocks;
      list.insert(list.end(), {static_cast<std::uint8_t>(block),
                               static_cast<std::uint8_t>(block >> 8), 0xB0, 0x61});
    }
    list.resize(512, 0xFF);
    EXPECT_EQ(Slice(file, 512, 512), list);

    // Track 0 starts with gap 4a, as bit-reversed cells (the track's bytes are the generator's).
    EXPECT_EQ(Slice(file, 1024, 160), Repeat({0x49, 0x2A}, 80));
    // Sector 1's identity field (A1 A1 A1 FE 00 00 01 02) lies in block 1 of track 0.
    EXPECT_EQ(Slice(file, 1596, 16), (Bytes{0x22, 0x91, 0x22, 0x91, 0x22, 0x91, 0xAA, 0x2A, 0x55,
                                            0x55, 0x55, 0x55, 0x55, 0x95, 0x54, 0x25}));
    // The last track's sides end in its last two track bytes; a one-sided file's side 1 is 0.
    const std::size_t last = file.size() - 512;
    EXPECT_EQ(Slice(file, last + 216, 40), Repeat({0x49, 0x2A}, 20));
    EXPECT_EQ(Slice(file, last + 472, 40), sides == 2 ? Repeat({0x49, 0x2A}, 20) : Bytes(40, 0));
  }
}

TEST(SaveHFE, RoundTripsThroughFiles) {
  for (const Bytes& image : {hfe_test::RandomImage(2, 1), hfe_test::RandomImage(1, 2)}) {
    SCOPED_TRACE(image.size());
    TTempFolder folder;
    const auto path = folder / std::filesystem::path(u8"\u03A9mega \u00E9t\u00E9.hfe");
    auto source = DiskOf(image);
    source->FModified = true;
    ASSERT_TRUE(SaveHFE(path, *source));
    EXPECT_TRUE(source->FModified);
    auto loaded = std::make_unique<disk::TMSXDisk>();
    loaded->FModified = true;
    THfeReadReport report{-1, -1};
    ASSERT_TRUE(LoadHFE(path, *loaded, &report));
    EXPECT_EQ(report.Unreadable(), 0);
    EXPECT_EQ(loaded->NumSides(), static_cast<std::int32_t>(image.size() / 368640));
    EXPECT_FALSE(loaded->FModified);
    EXPECT_EQ(ImageOf(*loaded), image);
  }
}

TEST(SaveHFE, FailuresLeaveNoFileAndKeepAnOldOne) {
  TTempFolder folder;
  auto empty = std::make_unique<disk::TMSXDisk>();
  EXPECT_FALSE(SaveHFE(folder / "empty.hfe", *empty));  // no whole sides
  EXPECT_FALSE(std::filesystem::exists(folder / "empty.hfe"));

  const auto disk = DiskOf(hfe_test::RandomImage(2, 3));
  EXPECT_FALSE(SaveHFE(folder / "missing folder" / "x.hfe", *disk));
  const auto readOnly = folder / "locked.hfe";
  std::ofstream(readOnly) << "abc";
  std::filesystem::permissions(readOnly, std::filesystem::perms::owner_read);
  EXPECT_FALSE(SaveHFE(readOnly, *disk));
  EXPECT_EQ(ReadFile(readOnly), (Bytes{'a', 'b', 'c'}));
  std::filesystem::permissions(readOnly, std::filesystem::perms::owner_all);
  EXPECT_ANY_THROW(LoadHFE(folder / "absent.hfe", *empty));
}

// Foreign files: sectors are placed by track and side, a one-sided disk in a two-sided file
// gives a one-sided image, and what cannot be read (missing tracks, a cut file, a damaged sector)
// is counted and left as read, or zero.
TEST(LoadHFE, ForeignAndDamagedFiles) {
  constexpr std::size_t kSector = ((3 * 2 + 1) * 9 + 4) * 512;  // track 3, side 1, sector 5
  Bytes image = hfe_test::RandomImage(2, 9);
  image[kSector + 100] |= 0x80;  // the bit whose data cell is cleared below
  const Bytes single = hfe_test::RandomImage(1, 10);
  std::vector<Bytes> sides;  // made once: the test-side writer is slow
  for (int t = 0; t < 80; ++t)
    for (int s = 0; s < 2; ++s) sides.push_back(hfe_test::ImageTrackSide(image, 2, t, s));
  const auto side = [&](int t, int s) { return sides[static_cast<std::size_t>(t * 2 + s)]; };
  const struct {
    const char* name;
    int tracks;
    std::function<Bytes(int, int)> side;
    int missing, badCrc;
    std::size_t cutTo = 0;  // the file's size when not 0
  } cases[] = {
      {"intact", 80, side, 0, 0},
      {"its first 100,000 bytes: tracks 0-3", 80, side, 76 * 2 * 9, 0, 100000},
      {"a cell flipped in track 3 side 1 sector 5", 80,
       [&](int t, int s) {
         Bytes cells = side(t, s);
         // The data cell of a 1 bit 100 bytes into sector 5's data (MFM byte 60 + 4 x 614 + 60).
         if (t == 3 && s == 1) cells[(60 + 4 * 614 + 60 + 100) * 2] ^= 0x40;
         return cells;
       },
       0, 1},
      {"40 tracks", 40, side, 40 * 2 * 9, 0},
      {"one-sided disk in a two-sided file", 80,
       [&](int t, int s) { return s == 0 ? hfe_test::ImageTrackSide(single, 1, t, 0) : Bytes{}; },
       0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto disk = DiskOf(hfe_test::RandomImage(2, 12));
    THfeReadReport report{-1, -1};
    Bytes file = hfe_test::HfeFile(c.tracks, c.side);
    if (c.cutTo) file.resize(c.cutTo);
    ASSERT_TRUE(LoadHFEFromBytes(file, "in.hfe", *disk, &report));
    EXPECT_FALSE(disk->FModified);
    EXPECT_EQ(report.missingSectors, c.missing);
    EXPECT_EQ(report.badCrcSectors, c.badCrc);
    Bytes expected = c.side(0, 1).empty() ? single : image;
    const std::size_t whole = c.cutTo ? 4 : static_cast<std::size_t>(c.tracks);
    std::fill(expected.begin() +
                  static_cast<std::ptrdiff_t>(std::min(whole * 2 * kTrackSide, expected.size())),
              expected.end(), 0);
    const Bytes loaded = ImageOf(*disk);
    if (c.badCrc) {
      // The damaged sector is kept as read: one bit off.
      EXPECT_EQ(loaded[kSector + 100], image[kSector + 100] ^ 0x80);
      expected[kSector + 100] ^= 0x80;
    }
    EXPECT_EQ(loaded, expected);
  }
}

// A file whose tracks are all empty is refused and leaves the disk as it was.
TEST(LoadHFE, RefusedFilesLeaveTheDiskUntouched) {
  const Bytes image = hfe_test::RandomImage(2, 11);
  Bytes file =
      hfe_test::HfeFile(4, [&](int t, int s) { return hfe_test::ImageTrackSide(image, 2, t, s); });
  for (std::size_t t = 0; t < 4; ++t) file[514 + t * 4] = file[515 + t * 4] = 0;
  auto disk = DiskOf(hfe_test::RandomImage(2, 12));
  const Bytes before = ImageOf(*disk);
  THfeReadReport report{-1, -1};
  EXPECT_FALSE(LoadHFEFromBytes(file, "in.hfe", *disk, &report));
  EXPECT_EQ(ImageOf(*disk), before);
  EXPECT_EQ(disk->FFileName, "source.dsk");
  EXPECT_EQ(report.missingSectors, -1);
}

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
