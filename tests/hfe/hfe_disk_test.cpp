// HFE files: the reader on hand-made files and the writer's track list and limits; LoadHFE and
// SaveHFE: the golden layout of a saved file, round trips, and foreign, damaged and refused files
// made by the test-side writer.
// The track library's services: floppy properties and copies, builder settings, sector
// enumeration, track utilities, the controller-style interface, the HFE file paths, raw image
// refusals, the module registry, the sanity checker's verdicts, raw export and file-system image
// creation.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "../disk/disk_test_support.h"
#include "disk/msx_disk.h"
#include "hfe/builder_settings.h"
#include "hfe/fdc_controller.h"
#include "hfe/floppy_properties.h"
#include "hfe/fs_image.h"
#include "hfe/hfe_disk.h"
#include "hfe/hfe_file.h"
#include "hfe/hfe_format.h"
#include "hfe/mfm_codec.h"
#include "hfe/module_registry.h"
#include "hfe/raw_export.h"
#include "hfe/raw_image.h"
#include "hfe/sanity_checker.h"
#include "hfe/sector_enumeration.h"
#include "hfe/track_utilities.h"
#include "test_track_writer.h"

namespace hfe {
namespace {

using disk_test::ReadFile;
using disk_test::WriteFile;
using hfe_test::AsBytes;
using hfe_test::Bytes;
using hfe_test::Generated;

constexpr std::size_t kTrackBlocks = 49;
constexpr std::size_t kTrackSide = 4608;

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
  // Two sides whose boot sector says one (0xF8) keep the two-sided layout they were saved in.
  Bytes twoSidesOneSaid = hfe_test::RandomImage(2, 4);
  twoSidesOneSaid[21] = 0xF8;
  for (const Bytes& image :
       {hfe_test::RandomImage(2, 1), hfe_test::RandomImage(1, 2), twoSidesOneSaid}) {
    SCOPED_TRACE(image.size());
    TTempFolder folder;
    const auto path = folder / std::filesystem::path(u8"\u03A9mega \u00E9t\u00E9.hfe");
    auto source = DiskOf(image);
    source->FModified = true;
    ASSERT_TRUE(SaveHFE(path, *source));
    EXPECT_TRUE(source->FModified);
    auto loaded = std::make_unique<disk::TMSXDisk>();
    loaded->FModified = true;
    THfeReadReport report{-1, -1, {}};
    ASSERT_TRUE(LoadHFE(path, *loaded, &report));
    EXPECT_EQ(report.Unreadable(), 0);
    EXPECT_EQ(loaded->NumSides(), static_cast<std::int32_t>(image.size() / 368640));
    EXPECT_FALSE(loaded->FModified);
    EXPECT_EQ(ImageOf(*loaded), image);
  }
}

// An image cut between one and two sides keeps every byte: two sides, zero past the cut, whatever
// its geometry (0xF9, 0xF8) and also when the model has none for it (0xF0).
TEST(SaveHFE, ACutImageKeepsEveryByte) {
  for (const std::uint8_t media : {0xF9, 0xF8, 0xF0}) {
    SCOPED_TRACE(media);
    Bytes image = hfe_test::RandomImage(2, 5);
    image.resize(500000);
    image[21] = media;
    auto disk = std::make_unique<disk::TMSXDisk>();
    EXPECT_EQ(disk->LoadFromBuffer(image, "cut.dsk"), media != 0xF0);
    Bytes expected = image;
    expected.resize(2 * 368640, 0);
    THfeReadReport report{-1, -1, {}};
    EXPECT_EQ(DecodeHFEImage(BuildHFE(*disk), &report), expected);
    EXPECT_EQ(report.Unreadable(), 0);
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
    bool oneSided = false;  // the image is `single`, else `image`
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
       0, 0, 0, true},
      // Its boot sector says two sides: side 0's sectors stay where the geometry expects them.
      {"two-sided disk whose side 1 cannot be read", 80,
       [&](int t, int s) { return s == 0 ? side(t, 0) : Bytes{}; }, 80 * 9, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto disk = DiskOf(hfe_test::RandomImage(2, 12));
    THfeReadReport report{-1, -1, {}};
    Bytes file = hfe_test::HfeFile(c.tracks, c.side);
    if (c.cutTo) file.resize(c.cutTo);
    ASSERT_TRUE(LoadHFEFromBytes(file, "in.hfe", *disk, &report));
    EXPECT_FALSE(disk->FModified);
    EXPECT_EQ(report.missingSectors, c.missing);
    EXPECT_EQ(report.badCrcSectors, c.badCrc);
    Bytes expected = c.oneSided ? single : image;
    for (std::size_t t = 0; t < 80 && !c.oneSided && c.side(0, 1).empty(); ++t)
      std::fill_n(expected.begin() + static_cast<std::ptrdiff_t>((2 * t + 1) * kTrackSide),
                  kTrackSide, 0);
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

// The report numbers the sectors it could not read as the flat image holds them: two sides
// interleaved by track, or a one-sided disk's own order when a two-sided file holds one.
TEST(LoadHFE, TheReportNumbersTheSectorsItCouldNotRead) {
  constexpr std::int32_t kSector = (3 * 2 + 1) * 9 + 4;  // track 3, side 1, sector 5
  Bytes image = hfe_test::RandomImage(2, 9);
  image[kSector * 512 + 100] |= 0x80;  // the bit whose data cell is cleared below
  const Bytes single = hfe_test::RandomImage(1, 10);
  const auto range = [](std::int32_t from, std::int32_t to, std::vector<std::int32_t> list = {}) {
    for (std::int32_t sector = from; sector < to; ++sector) list.push_back(sector);
    return list;
  };
  const struct {
    const char* name;
    int tracks;
    std::function<Bytes(int, int)> side;
    std::vector<std::int32_t> unreadable;
  } cases[] = {
      {"a cell flipped in track 3 side 1 sector 5, and only 4 tracks", 4,
       [&](int t, int s) {
         Bytes cells = hfe_test::ImageTrackSide(image, 2, t, s);
         if (t == 3 && s == 1) cells[(60 + 4 * 614 + 60 + 100) * 2] ^= 0x40;
         return cells;
       },
       range(72, 1440, {kSector})},
      {"one-sided disk of 40 tracks in a two-sided file", 40,
       [&](int t, int s) { return s == 0 ? hfe_test::ImageTrackSide(single, 1, t, 0) : Bytes{}; },
       range(360, 720)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    THfeReadReport report;
    ASSERT_FALSE(DecodeHFEImage(hfe_test::HfeFile(c.tracks, c.side), &report).empty());
    EXPECT_EQ(report.unreadableSectors, c.unreadable);
    EXPECT_EQ(report.Unreadable(), static_cast<int>(c.unreadable.size()));
    const std::int32_t first = c.unreadable.front();
    EXPECT_FALSE(report.AnyUnreadable(0, first));
    EXPECT_TRUE(report.AnyUnreadable(first, 1));
    EXPECT_TRUE(report.AnyUnreadable(first - 1, 2));
    EXPECT_FALSE(report.AnyUnreadable(1440, 10));
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
  THfeReadReport report{-1, -1, {}};
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
  EXPECT_EQ(AsBytes(side.cellData), Bytes(12544, 0xAA));  // 0x55 bit-reversed
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
  // A record that counts more tracks than it has cylinders is refused, not read past its end.
  auto shortRecord = hfe_test::CellFloppy({{Bytes(10, 0x4E)}, {Bytes(10, 0x4E)}});
  shortRecord->trackCount = 3;
  int result = 0;
  Write(*shortRecord, &result);
  EXPECT_EQ(result, kIoError);
}

TEST(BuilderSettings, GeometryAndFlaggedTemplateValues) {
  auto context = trk_init();
  auto builder = trk_init_floppy(*context, 2, 1);
  ASSERT_EQ(trk_pushTrack(*builder, 300, 1, 0, TrackFormat::IsoIbmMfm), kOk);
  ASSERT_EQ(trk_popTrack(*builder), kOk);
  EXPECT_EQ(trk_setNumberOfTrack(*builder, 257), kBadParameter);
  EXPECT_EQ(trk_setNumberOfSide(*builder, 3), kBadParameter);
  // A second side for a cylinder already built, and one more track.
  EXPECT_EQ(trk_setNumberOfSide(*builder, 2), kOk);
  EXPECT_EQ(trk_setNumberOfTrack(*builder, 3), kOk);
  ASSERT_EQ(trk_pushTrack(*builder, 300, 1, 1, TrackFormat::IsoIbmMfm), kOk);
  trk_setSectorHeaderCrc(*builder, 0x1234);
  trk_setSectorDataCrc(*builder, 0xBEEF);
  trk_setSectorSizeCode(*builder, 3);
  trk_setSectorDataMark(*builder, 0xF8);
  ASSERT_EQ(trk_addSector(*builder, 7, 1, 1, Bytes(512, 0x11), 512), kOk);
  ASSERT_EQ(trk_popTrack(*builder), kOk);
  auto floppy = trk_getFloppy(std::move(builder));
  ASSERT_EQ(floppy->trackCount, 3);
  ASSERT_TRUE(floppy->Side(2, 1));

  // The flagged values reach the track: size code 3 over 512 data bytes, the stored CRCs.
  auto access = trk_initSectorAccess(*context, *floppy);
  auto sector = trk_getNextSector(*access, 1, 1, SectorSearch::IsoIbmMfm);
  ASSERT_TRUE(sector);
  EXPECT_EQ(trk_getSectorSizeCode(sector.get()), 3);
  EXPECT_EQ(trk_getSectorHeaderCrc(sector.get()), 0x1234);
  EXPECT_EQ(trk_getSectorHeaderCrcError(sector.get()), 0xFF);
  EXPECT_EQ(trk_getSectorDataMark(sector.get()), 0xF8);
}

// Every getter reads its own field of the record, and 0 from no record.
TEST(SectorRecord, GettersReadTheirFields) {
  TSectorConfig record;
  using Getter = std::int32_t (*)(const TSectorConfig*);
  const struct {
    Getter get;
    std::function<void(TSectorConfig&, int)> set;
  } fields[] = {
      {trk_getSectorHead, [](TSectorConfig& s, int v) { s.head = v; }},
      {trk_getSectorID, [](TSectorConfig& s, int v) { s.sector = v; }},
      {trk_getSectorOrder, [](TSectorConfig& s, int v) { s.order = v; }},
      {trk_getSectorCylinder, [](TSectorConfig& s, int v) { s.cylinder = v; }},
      {trk_getSectorSize, [](TSectorConfig& s, int v) { s.size = v; }},
      {trk_getSectorSizeCode,
       [](TSectorConfig& s, int v) { s.sizeCode = static_cast<std::uint16_t>(v); }},
      {trk_getSectorHeaderCrcError, [](TSectorConfig& s, int v) { s.headerCrcError = v; }},
      {trk_getSectorHeaderCrc, [](TSectorConfig& s, int v) { s.headerCrc = v; }},
      {trk_getSectorDataCrcError, [](TSectorConfig& s, int v) { s.dataCrcError = v; }},
      {trk_getSectorDataCrc, [](TSectorConfig& s, int v) { s.dataCrc = v; }},
      {trk_getSectorUseDataMark, [](TSectorConfig& s, int v) { s.useDataMark = v; }},
      {trk_getSectorDataMark, [](TSectorConfig& s, int v) { s.dataMark = v; }},
      {trk_getSectorUseIdMark, [](TSectorConfig& s, int v) { s.useIdMark = v; }},
      {trk_getSectorIdMark, [](TSectorConfig& s, int v) { s.idMark = v; }},
      {trk_getSectorStartCell, [](TSectorConfig& s, int v) { s.startCell = v; }},
      {trk_getSectorDataStartCell, [](TSectorConfig& s, int v) { s.dataStartCell = v; }},
      {trk_getSectorEndCell, [](TSectorConfig& s, int v) { s.endCell = v; }},
      {trk_getSectorEncoding,
       [](TSectorConfig& s, int v) { s.encoding = static_cast<SectorEncoding>(v); }},
      {trk_getSectorGap3, [](TSectorConfig& s, int v) { s.gap3 = v; }},
      {trk_getSectorBitrate, [](TSectorConfig& s, int v) { s.bitRate = v; }},
      {trk_getSectorFillByte,
       [](TSectorConfig& s, int v) { s.fillByte = static_cast<std::uint8_t>(v); }},
      {trk_getSectorFillFlag,
       [](TSectorConfig& s, int v) { s.fillFlag = static_cast<std::uint8_t>(v); }},
  };
  for (std::size_t i = 0; i < std::size(fields); ++i)
    fields[i].set(record, static_cast<int>(100 + i));
  for (std::size_t i = 0; i < std::size(fields); ++i) {
    EXPECT_EQ(fields[i].get(&record), static_cast<std::int32_t>(100 + i)) << i;
    EXPECT_EQ(fields[i].get(nullptr), 0) << i;
  }
}

// The two numbered properties and the floppy, cylinder and side getters and setters; the
// double step and the interface mode reach the written header (bytes 21 and 16).
TEST(FloppyProperties, GettersAndSetters) {
  auto floppy = hfe_test::CellFloppy({{Bytes(10, 1), Bytes(12, 2)}, {Bytes(8, 3), Bytes(8, 4)}});
  floppy->cylinders[1]->rpm = 360;
  floppy->Side(1, 0)->trackEncoding = TrackEncoding::IsoIbmFm;
  floppy->Side(1, 1)->bitRate = 500000;
  EXPECT_EQ(trk_getNumberOfTrack(*floppy), 2);
  EXPECT_EQ(trk_getNumberOfSide(*floppy), 2);

  const struct {
    int id;
    std::int32_t value;
    int result;
    std::int32_t property, doubleStep, interfaceType;
  } sets[] = {
      {kPropertyDoubleStep, 5, kOk, 0xFF, 0xFF, 0},
      {kPropertyInterfaceMode, 0x1234, kOk, 0x1234, 0xFF, 0x1234},
      {kPropertyInterfaceMode, -1, kBadParameter, 0x1234, 0xFF, 0x1234},
      {kPropertyInterfaceMode, 0x10000, kBadParameter, 0x1234, 0xFF, 0x1234},
      {kPropertyDoubleStep, 0, kOk, 0, 0, 0x1234},
      {3, 1, kBadParameter, kBadParameter, 0, 0x1234},
      {0, 1, kBadParameter, kBadParameter, 0, 0x1234},
  };
  for (const auto& c : sets) {
    SCOPED_TRACE(c.id * 1000 + c.value);
    EXPECT_EQ(trk_setFloppyProperty(*floppy, c.id, c.value), c.result);
    EXPECT_EQ(trk_getFloppyProperty(*floppy, c.id), c.property);
    EXPECT_EQ(trk_getFloppyDoubleStep(*floppy), c.doubleStep);
    EXPECT_EQ(trk_getFloppyInterfaceType(*floppy), c.interfaceType);
  }
  EXPECT_EQ(trk_setFloppyDoubleStep(*floppy, -7), kOk);
  EXPECT_EQ(trk_getFloppyProperty(*floppy, kPropertyDoubleStep), 0xFF);
  EXPECT_EQ(trk_setFloppyProperty(*floppy, kPropertyInterfaceMode, 9), kOk);
  const Bytes file = Write(*floppy);
  ASSERT_GE(file.size(), 512u);
  EXPECT_EQ(file[16], 9);
  EXPECT_EQ(file[21], 0x00);

  const struct {
    std::int32_t track, side, bitRate, encoding, length;
  } sides[] = {{0, 0, 250000, 0, 80},
               {0, 1, 250000, 0, 96},
               {1, 0, 250000, 2, 64},
               {1, 1, 500000, 0, 64},
               {1, 2, kBadParameter, kBadParameter, kBadParameter},
               {2, 0, kBadParameter, kBadParameter, kBadParameter},
               {-1, 0, kBadParameter, kBadParameter, kBadParameter}};
  for (const auto& c : sides) {
    SCOPED_TRACE(c.track * 10 + c.side);
    EXPECT_EQ(trk_getSideBitrate(*floppy, c.track, c.side), c.bitRate);
    EXPECT_EQ(trk_getSideEncoding(*floppy, c.track, c.side), c.encoding);
    EXPECT_EQ(trk_getSideLength(*floppy, c.track, c.side), c.length);
  }
  EXPECT_EQ(trk_getCylinderRPM(*floppy, 1), 360);
  EXPECT_EQ(trk_getCylinderNumberOfSide(*floppy, 0), 2);
  for (std::int32_t track : {-1, 2}) {
    EXPECT_EQ(trk_getCylinderRPM(*floppy, track), kBadParameter);
    EXPECT_EQ(trk_getCylinderNumberOfSide(*floppy, track), kBadParameter);
  }
}

TEST(SectorEnumeration, CountsOrderAndDataSize) {
  auto context = trk_init();
  const Bytes image = hfe_test::RandomBytes(3 * 2 * 4608, 2);
  auto mfm = Generated(*context, image, 3, 2);
  auto fm = Generated(*context, image, 3, 2, TrackFormat::IsoIbmFm);
  auto access = trk_initSectorAccess(*context, *mfm);
  EXPECT_EQ(trk_getAllTrackSectors(*access, 2, 1, SectorSearch::IsoIbmMfm).size(), 9u);
  EXPECT_TRUE(trk_getAllTrackSectors(*access, 3, 0, SectorSearch::IsoIbmMfm).empty());

  // The merged walk keeps the order of the start positions.
  auto fmAccess = trk_initSectorAccess(*context, *fm);
  const TSectorList merged = trk_getAllTrackISOSectors(*fmAccess, 1, 0);
  ASSERT_EQ(merged.size(), 9u);
  for (std::size_t i = 1; i < merged.size(); ++i)
    EXPECT_LT(merged[i - 1]->startCell, merged[i]->startCell);
  EXPECT_EQ(trk_getSectorEncoding(merged[0].get()), 3);

  std::int32_t count = 0;
  EXPECT_EQ(trk_getFloppyDataSize(*context, *mfm, &count), 3 * 2 * 4608);
  EXPECT_EQ(count, 54);
  EXPECT_EQ(trk_getFloppyDataSize(*context, *fm), 3 * 2 * 4608);

  for (int t = 0; t < 3; ++t)
    for (int s = 0; s < 2; ++s) fm->Side(t, s)->trackEncoding = TrackEncoding::IsoIbmMfm;
  EXPECT_EQ(trk_detectSideEncodings(*context, *fm), 6);
  EXPECT_EQ(fm->Side(2, 1)->trackEncoding, TrackEncoding::IsoIbmFm);
}

TEST(TrackUtilities, SizesSidesTablesAndTiming) {
  std::vector<TSectorConfig> sectors(9);
  for (auto& sector : sectors) {
    sector.size = 512;
    sector.gap3 = 80;
  }
  EXPECT_EQ(trk_getTrackSize(TrackFormat::IsoIbmMfm, sectors), 146 + 9 * 654);
  const Bytes bytes = {0x4E, 0xA1, 0xFE, 0x00};
  auto raw = trk_generateRawSide(bytes, Bytes{0xFF, 0x0A, 0xFF, 0xFF}, false, 250000,
                                 TrackEncoding::IsoIbmMfm);
  ASSERT_TRUE(raw);
  EXPECT_EQ(raw->trackLength, 64);
  EXPECT_EQ(TCellRing(raw->cellData, 64).Cells(16, 16), 0x4489u);
  Bytes decoded(4);
  mfmDecode(raw->cellData, raw->trackLength, decoded, 0);
  EXPECT_EQ(decoded, bytes);

  // Timing: 2 us a cell at 250 kbit/s, wrapping; with per-byte rates after a fill.
  EXPECT_EQ(trk_getCellTimeUs(*raw, 10, 20), 20);
  EXPECT_EQ(trk_getCellTimeUs(*raw, 60, 4), 16);
  EXPECT_EQ(trk_fillTimingTable(*raw, 4, 4, 500000), kOk);
  raw->bitRate = -1;
  EXPECT_EQ(trk_getCellTimeUs(*raw, 0, 63), 32 * 2 + 31);  // bytes 0-3 at 2 us, 4-7 at 1 us
  EXPECT_EQ(trk_fillSideTable(*raw, TSideTable::FlakeyBits, 7, 1, 0x0F), kOk);
  EXPECT_EQ(AsBytes(raw->flakeyBits), (Bytes{0, 0, 0, 0, 0, 0, 0, 0x0F}));
}

TEST(Controller, ReadsAndWritesSectorRuns) {
  auto context = trk_init();
  auto floppy = Generated(*context, hfe_test::RandomBytes(2 * 4608, 3), 2, 1);
  auto fdc = trk_initFDC(*context);
  Bytes buffer(9 * 512);
  int status = -1;
  EXPECT_EQ(trk_readSectorFDC(*fdc, 0, 0, 1, 512, 9, SectorSearch::IsoIbmMfm, buffer, status),
            kBadParameter);  // no floppy yet
  trk_insertDiskFDC(*fdc, *floppy);
  const Bytes written = hfe_test::RandomBytes(2 * 512, 4);
  EXPECT_EQ(trk_writeSectorFDC(*fdc, 1, 0, 4, 512, 2, SectorSearch::IsoIbmMfm, written, status), 2);
  Bytes back(2 * 512);
  EXPECT_EQ(trk_readSectorFDC(*fdc, 1, 0, 4, 512, 2, SectorSearch::IsoIbmMfm, back, status), 2);
  EXPECT_EQ(back, written);
  EXPECT_EQ(trk_writeSectorFDC(*fdc, 1, 0, 10, 512, 1, SectorSearch::IsoIbmMfm, written, status),
            0);
  EXPECT_EQ(status, kSectorNotFound);
  // A track side without its record is refused, not written through.
  auto holed = trk_floppyCopy(*floppy);
  holed->cylinders[1].reset();
  trk_insertDiskFDC(*fdc, *holed);
  EXPECT_EQ(trk_writeSectorFDC(*fdc, 1, 0, 4, 512, 2, SectorSearch::IsoIbmMfm, written, status), 0);
}

TEST(HfeFile, OpensWritesAndRefuses) {
  TTempFolder folder;
  std::vector<std::string> log;
  auto context = trk_init();
  context->logCallback = [&](int, std::string_view text) { log.emplace_back(text); };
  auto loader = trk_imgInitLoader(*context);
  TFloppy floppy;
  EXPECT_EQ(HFE_libLoad_DiskFile(*loader, floppy, folder / "none.hfe"), kIoError);
  const std::string missing = (folder / "none.hfe").string();
  EXPECT_EQ(log, (std::vector<std::string>{"HFE_libLoad_DiskFile " + missing,
                                           "Cannot open " + missing + " !"}));

  auto generated = Generated(*context, hfe_test::RandomBytes(3 * 4608, 5), 3, 1);
  ASSERT_EQ(HFE_libWrite_DiskFile(*loader, *generated, folder / "a.hfe"), kOk);
  ASSERT_EQ(HFE_libLoad_DiskFile(*loader, floppy, folder / "a.hfe"), kOk);
  EXPECT_EQ(floppy.trackCount, 3);
  EXPECT_EQ(HFE_libWrite_DiskFile(*loader, floppy, folder / "missing" / "b.hfe"), kIoError);
  EXPECT_EQ(log.back(), "Cannot create " + (folder / "missing" / "b.hfe").string() + "!");
}

TEST(RawImage, RefusesShortImagesAndBadGeometry) {
  std::vector<std::string> log;
  auto context = trk_init();
  context->logCallback = [&](int, std::string_view text) { log.emplace_back(text); };
  int result = 0;
  EXPECT_FALSE(trk_generateDisk(*context, Bytes(1000), TRawGeometry{}, result));
  EXPECT_EQ(result, kBadFile);
  EXPECT_EQ(log.back(),
            "trk_generateDisk : Error while reading the file image ! Unexpected end of file ?");
  TRawGeometry threeSides;
  threeSides.sides = 3;
  EXPECT_FALSE(trk_generateDisk(*context, Bytes(2000000), threeSides, result));
  EXPECT_EQ(result, kBadParameter);
}

TEST(ModuleRegistry, WithoutModulesEveryLookupFails) {
  std::vector<std::string> log;
  auto context = trk_init();
  context->logCallback = [&](int, std::string_view text) { log.emplace_back(text); };
  EXPECT_EQ(trk_searchContainer(*context, "HXC_HFE"), -1);
  EXPECT_EQ(log.back(), "trk_searchContainer : Plugin HXC_HFE not found !");
  TFloppy floppy;
  EXPECT_EQ(trk_floppyExport(*context, floppy, "x.img", 16), kBadParameter);
  EXPECT_EQ(log.back(), "Bad plugin ID : 0x10");

  const TModule readOnly{"RAW_LOADER", "Raw sector images", false, nullptr};
  context->modules.push_back(&readOnly);
  EXPECT_EQ(trk_floppyExport(*context, floppy, "x.img", 0), kNoExportSupport);
  EXPECT_EQ(log.back(), "No export support in RAW_LOADER!");
}

struct TLog {
  std::vector<std::string> lines;
  void Attach(TLibContext& context) {
    context.logCallback = [this](int, std::string_view text) { lines.emplace_back(text); };
  }
  bool Has(const std::string& text) const {
    return std::find(lines.begin(), lines.end(), text) != lines.end();
  }
};

TEST(SanityChecker, VerdictsAndMends) {
  auto context = trk_init();
  const auto base = Generated(*context, hfe_test::RandomBytes(3 * 2 * 4608, 1), 3, 2);
  EXPECT_EQ(trk_sanityCheck(*context, *trk_floppyCopy(*base)), kOk);
  const struct {
    std::function<void(TFloppy&)> damage;
    std::string text;
    std::function<bool(const TFloppy&)> mended;
  } cases[] = {
      {[](TFloppy& f) { f.sideCount = 0; },
       "Sanity Checker : 0 Side?!? - fixed to 1. Please Check the Loader !",
       [](const TFloppy& f) { return f.sideCount == 1; }},
      {[](TFloppy& f) { f.sideCount = 5; },
       "Sanity Checker : more than 2 Sides (5) ?!? - fixed to 2. Please Check the Loader !",
       [](const TFloppy& f) { return f.sideCount == 2; }},
      {[](TFloppy& f) { f.bitRate = 1000; },
       "Sanity Checker : Under 25kBit/s ?!? - fixed to 250KB/S. Please Check the Loader !",
       [](const TFloppy& f) { return f.bitRate == 250000; }},
      {[](TFloppy& f) { f.Side(2, 1)->bitRate = 5000000; },
       "Sanity Checker : Over 1MBit/s ?!? - fixed to 1MB/S. Please Check the Loader !",
       [](const TFloppy& f) { return f.Side(2, 1)->bitRate == 1000000; }},
      {[](TFloppy& f) { f.trackCount = 300; },
       "Sanity Checker : More than 256 tracks?!? - fixed to 256. Please Check the Loader !",
       [](const TFloppy& f) { return f.trackCount == 256 && f.cylinders.size() == 256; }},
      {[](TFloppy& f) { f.cylinders[1].reset(); }, "Sanity Checker :  Track entry 1 missing !", {}},
      {[](TFloppy& f) { f.cylinders[2]->sides[1].reset(); },
       "Sanity Checker :  Track 2/Side 1 not allocated ?!?",
       {}},
      {[](TFloppy& f) { f.cylinders[0]->sideCount = 1; },
       "Sanity Checker :  Bad number of side (1 should be 2) at Track entry 0",
       [](const TFloppy& f) { return f.cylinders[0]->sides.size() == 1; }},
      {[](TFloppy& f) { f.cylinders[1]->sideCount = 4; },
       "Sanity Checker : track 1 - more than 2 Sides (4) ?!? - fixed to 2. Please Check the "
       "Loader !",
       [](const TFloppy& f) { return f.cylinders[1]->sideCount == 2; }},
      {[](TFloppy& f) { f.Side(0, 0)->trackLength = 1 << 30; }, "",
       [](const TFloppy& f) { return f.Side(0, 0)->trackLength == 100032; }},
      {[](TFloppy& f) { f.cylinders.clear(); },
       "Sanity Checker : No track allocated ? Please Check the Loader !",
       {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    auto floppy = trk_floppyCopy(*base);
    c.damage(*floppy);
    TLog log;
    log.Attach(*context);
    EXPECT_EQ(trk_sanityCheck(*context, *floppy), kBadFile);
    EXPECT_TRUE(c.text.empty() || log.Has(c.text));
    EXPECT_TRUE(!c.mended || c.mended(*floppy));
  }
}

TEST(RawExport, RoundTripsAndMarksDamage) {
  TTempFolder folder;
  auto context = trk_init();
  const Bytes image = hfe_test::RandomBytes(4 * 2 * 4608, 2);
  auto floppy = Generated(*context, image, 4, 2);
  Bytes out;
  TRawExportReport report;
  ASSERT_EQ(trk_exportRaw(*context, *floppy, {}, out, report), kOk);
  EXPECT_EQ(out, image);
  EXPECT_EQ(report.missingSectors + report.badSectors, 0);

  // Sector 3 of track 1, side 0 loses its identity sync; sector 5 gets a data byte flipped.
  TSide& side = *floppy->Side(1, 0);
  const std::size_t sector3 = (146 + 2 * 654 + 12) * 2;  // cell byte of its first sync word
  side.cellData[sector3] ^= 0x01;
  const std::size_t sector5Data = (146 + 4 * 654 + 60 + 100) * 2;
  side.cellData[sector5Data] ^= 0x40;
  ASSERT_EQ(trk_exportRawFile(*context, *floppy, {}, folder / "out.dsk", report), kOk);
  EXPECT_EQ(report.missingSectors, 1);
  EXPECT_EQ(report.badSectors, 1);
  const Bytes written = ReadFile(folder / "out.dsk");
  ASSERT_EQ(written.size(), image.size());
  const std::size_t track1 = 2 * 4608;
  const auto text = [&](std::size_t offset) {
    return std::string(written.begin() + static_cast<std::ptrdiff_t>(offset),
                       written.begin() + static_cast<std::ptrdiff_t>(offset + 32));
  };
  EXPECT_EQ(text(track1 + 2 * 512), "!!  MISSING   !!!!  MISSING   !!");
  EXPECT_EQ(text(track1 + 4 * 512 + 480), "!! BAD SECTOR !!!! BAD SECTOR !!");

  // Hostile layouts and floppies are refused before anything is built.
  for (TRawExportLayout layout : {TRawExportLayout{0, 512, 1}, TRawExportLayout{9, 32768, 1},
                                  TRawExportLayout{9, 512, 1, static_cast<SectorSearch>(1)}})
    EXPECT_EQ(trk_exportRaw(*context, *floppy, layout, out, report), kBadParameter);
  floppy->sideCount = 3;
  EXPECT_EQ(trk_exportRaw(*context, *floppy, {}, out, report), kBadParameter);
  EXPECT_EQ(trk_exportRawFile(*context, *Generated(*context, image, 1, 1), {},
                              folder / "no" / "x.dsk", report),
            kIoError);
}

// The flat image of a generated floppy, read back through the sector search.
Bytes Flatten(TLibContext& context, TFloppy& floppy, int sectorsPerTrack) {
  Bytes image;
  TRawExportReport report;
  TRawExportLayout layout;
  layout.sectorsPerTrack = sectorsPerTrack;
  EXPECT_EQ(trk_exportRaw(context, floppy, layout, image, report), kOk);
  EXPECT_EQ(report.missingSectors + report.badSectors, 0);
  return image;
}

#ifndef _WIN32
std::string RunTool(const std::string& command) {
  std::string output;
  if (FILE* pipe = popen((command + " 2>&1").c_str(), "r")) {
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
    output += "exit " + std::to_string(pclose(pipe));
  }
  return output;
}
#endif

TEST(FileSystemImage, FolderBecomesAFat12Floppy) {
  TTempFolder source;
  const Bytes big = hfe_test::RandomBytes(5000, 3);
  WriteFile(source / "readme.txt", Bytes{'h', 'i'});
  WriteFile(source / "Game.bin", big);
  WriteFile(source / "empty", {});
  std::filesystem::create_directories(source / "sub" / "deeper");
  WriteFile(source / "sub" / "longer name.text", Bytes(700, 0x55));
  WriteFile(source / "sub" / "longer name.texture", Bytes(3, 0x66));
  WriteFile(source / "sub" / "deeper" / "z.dat", Bytes(2048, 0x77));

  {
    auto context = trk_init();
    int result = -1;
    auto floppy = trk_generateFsDisk(*context, "fatst", source.Path(), result);
    ASSERT_EQ(result, kOk);
    ASSERT_TRUE(floppy);
    const Bytes image = Flatten(*context, *floppy, 9);
    disk::TMSXDisk disk;
    ASSERT_TRUE(disk.LoadFromBuffer(image, "fs.dsk"));
    EXPECT_EQ(disk.ExtractToMem("GAME.BIN"), big);
    EXPECT_EQ(disk.ExtractToMem("README.TXT"), (Bytes{'h', 'i'}));
    EXPECT_EQ(disk.ExtractToMem("EMPTY"), Bytes());
    ASSERT_TRUE(disk.ChangeDir("SUB"));
    EXPECT_EQ(disk.ExtractToMem("LONGER_N.TEX"), Bytes(700, 0x55));
    EXPECT_EQ(disk.ExtractToMem("LONGER~1.TEX"), Bytes(3, 0x66));
    ASSERT_TRUE(disk.ChangeDir("DEEPER"));
    EXPECT_EQ(disk.ExtractToMem("Z.DAT"), Bytes(2048, 0x77));
  }

#ifndef _WIN32
  // Independent FAT tools agree, for a geometry the disk model does not know too.
  auto context = trk_init();
  int result = -1;
  auto floppy = trk_generateFsDisk(*context, "fatst902", source.Path(), result);
  ASSERT_EQ(result, kOk);
  TTempFolder out;
  WriteFile(out / "fs.img", Flatten(*context, *floppy, 11));
  const std::string image = (out / "fs.img").string();
  const std::string listing = RunTool("MTOOLS_SKIP_CHECK=1 mdir -/ -b -i '" + image + "' ::");
  for (const char* path : {"::/GAME.BIN", "::/SUB/LONGER~1.TEX", "::/SUB/DEEPER/Z.DAT"})
    EXPECT_NE(listing.find(path), std::string::npos) << listing;
  EXPECT_NE(RunTool("fsck.fat -n '" + image + "'").find("exit 0"), std::string::npos);
#endif
}

TEST(FileSystemImage, RefusalsAndLimits) {
  TTempFolder source;
  auto context = trk_init();
  TLog log;
  log.Attach(*context);
  int result = 0;
  EXPECT_FALSE(trk_generateFsDisk(*context, "amigados", source.Path(), result));
  EXPECT_EQ(result, kBadParameter);
  EXPECT_EQ(log.lines.back(), "Bad plugin ID : 0x1");
  EXPECT_FALSE(trk_generateFsDisk(*context, "fatxx", source.Path(), result));
  EXPECT_EQ(result, kBadParameter);
  EXPECT_FALSE(trk_generateFsDisk(*context, "fatst", source / "none", result));
  EXPECT_EQ(result, kIoError);
  EXPECT_EQ(log.lines.front(),
            "Create file system (source path : " + source.Path().string() + ") ...");

  // 65 files in a 64-entry root; one file larger than the disk; folders nested too deep.
  const TFsLayout& small = *trk_getFsLayout(trk_getFsLayoutId("fat160a"));
  Bytes image;
  for (int i = 0; i < 65; ++i) WriteFile(source / ("f" + std::to_string(i)), {});
  EXPECT_EQ(trk_buildFat12Image(*context, small, source.Path(), image), kLimitReached);
  TTempFolder large;
  WriteFile(large / "big", Bytes(160 * 1024, 1));
  EXPECT_EQ(trk_buildFat12Image(*context, small, large.Path(), image), kLimitReached);
  TTempFolder deep;
  std::filesystem::path path = deep.Path();
  for (int i = 0; i <= kMaxFolderDepth; ++i) path /= "d";
  std::filesystem::create_directories(path);
  EXPECT_EQ(trk_buildFat12Image(*context, small, deep.Path(), image), kLimitReached);
  std::filesystem::remove(path);
  EXPECT_EQ(trk_buildFat12Image(*context, small, deep.Path(), image), kOk);
}

}  // namespace
}  // namespace hfe
