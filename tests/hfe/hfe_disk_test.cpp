// LoadHFE and SaveHFE: the golden layout of a saved file, round trips, and foreign, damaged and
// refused files made by the test-side writer.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "../rtl/temp_folder.h"
#include "disk/msx_disk.h"
#include "hfe/hfe_disk.h"
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

}  // namespace
}  // namespace hfe
