// LoadHFE and SaveHFE: the golden layout of a saved file, round trips, and foreign, damaged and
// hostile files made by the test-side writer.
#include <gtest/gtest.h>

#include <cstring>
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

constexpr std::size_t kSavedFileSize = 2108416;
constexpr std::size_t kTrackBlocks = 49;

Bytes ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

std::unique_ptr<disk::TMSXDisk> DiskOf(const Bytes& image) {
  auto disk = std::make_unique<disk::TMSXDisk>();
  EXPECT_TRUE(disk->LoadFromBuffer(image, "source.dsk"));
  return disk;
}

Bytes ImageOf(const disk::TMSXDisk& disk) {
  return Bytes(disk.Buffer().begin(), disk.Buffer().begin() + disk.FBufferSize);
}

// Side `side`'s half of block `block` of track `track` in a saved file.
Bytes Half(const Bytes& file, std::size_t track, std::size_t block, int side) {
  const std::size_t at =
      (2 + track * kTrackBlocks + block) * 512 + static_cast<std::size_t>(side) * 256;
  return Bytes(file.begin() + static_cast<std::ptrdiff_t>(at),
               file.begin() + static_cast<std::ptrdiff_t>(at + 256));
}

Bytes Repeat(const Bytes& unit, std::size_t times) {
  Bytes out;
  for (std::size_t i = 0; i < times; ++i) out.insert(out.end(), unit.begin(), unit.end());
  return out;
}

TEST(SaveHFE, GoldenLayout) {
  for (int sides : {2, 1}) {
    SCOPED_TRACE(sides);
    TTempFolder folder;
    const auto disk = DiskOf(hfe_test::RandomImage(sides, 40 + static_cast<std::uint32_t>(sides)));
    ASSERT_TRUE(SaveHFE(folder / "golden.hfe", *disk));
    const Bytes file = ReadFile(folder / "golden.hfe");
    ASSERT_EQ(file.size(), kSavedFileSize);

    // Signature, format 0, 84 tracks, the sides, MFM at 250 kbit/s, rpm 0, interface 7, 1, the
    // track list in block 1; 0xFF after.
    Bytes header = {
        'H',  'X',  'C',  'P',  'I',  'C',  'F',  'E',  0x00, 84, static_cast<std::uint8_t>(sides),
        0x00, 0xFA, 0x00, 0x00, 0x00, 0x07, 0x01, 0x01, 0x00};
    header.resize(26, 0xFF);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 26), header);
    EXPECT_EQ(Bytes(file.begin() + 26, file.begin() + 512), Bytes(486, 0xFF));
    for (std::size_t track = 0; track < 84; ++track) {
      const std::size_t block = 2 + track * kTrackBlocks;
      const Bytes entry = {static_cast<std::uint8_t>(block & 0xFF),
                           static_cast<std::uint8_t>(block >> 8), 0xB0, 0x61};
      EXPECT_EQ(Bytes(file.begin() + 512 + static_cast<std::ptrdiff_t>(track * 4),
                      file.begin() + 516 + static_cast<std::ptrdiff_t>(track * 4)),
                entry);
    }
    EXPECT_EQ(Bytes(file.begin() + 848, file.begin() + 1024), Bytes(176, 0xFF));

    // Track 0: gap 4a, sync, index sync 0xC2, index mark 0xFC, gap 1.
    Bytes prologue = Repeat({0x49, 0x2A}, 80);
    const Bytes rest = Repeat({0x55, 0x55}, 12);
    prologue.insert(prologue.end(), rest.begin(), rest.end());
    const Bytes marks = {0x4A, 0x24, 0x4A, 0x24, 0x4A, 0x24, 0xAA, 0x4A, 0x49, 0x2A};
    prologue.insert(prologue.end(), marks.begin(), marks.end());
    EXPECT_EQ(Bytes(file.begin() + 1024,
                    file.begin() + 1024 + static_cast<std::ptrdiff_t>(prologue.size())),
              prologue);
    // Sector 1's identity field (A1 A1 A1 FE 00 00 01 02) lies in block 1 of track 0.
    const Bytes identity = {0x22, 0x91, 0x22, 0x91, 0x22, 0x91, 0xAA, 0x2A,
                            0x55, 0x55, 0x55, 0x55, 0x55, 0x95, 0x54, 0x25};
    EXPECT_EQ(Bytes(file.begin() + 1596, file.begin() + 1612), identity);

    for (std::size_t track = 0; track < 84; ++track) {
      const Bytes last0 = Half(file, track, kTrackBlocks - 1, 0);
      EXPECT_EQ(Bytes(last0.end() - 40, last0.end()), Repeat({0x49, 0x2A}, 20)) << track;
      const Bytes last1 = Half(file, track, kTrackBlocks - 1, 1);
      if (sides == 2) {
        EXPECT_EQ(Bytes(last1.end() - 40, last1.end()), Repeat({0x49, 0x2A}, 20)) << track;
      } else {
        for (std::size_t block = 0; block < kTrackBlocks; ++block)
          ASSERT_EQ(Half(file, track, block, 1), Bytes(256, 0)) << track << " " << block;
      }
    }
  }
}

TEST(SaveHFE, RoundTrips) {
  Bytes constant(737280, 0xE5);
  constant[21] = 0xF9;
  const Bytes images[] = {hfe_test::RandomImage(2, 1), hfe_test::RandomImage(1, 2), constant};
  for (const auto& image : images) {
    SCOPED_TRACE(image.size());
    TTempFolder folder;
    const auto path = folder / std::filesystem::path(u8"\u03A9mega \u00E9t\u00E9.hfe");
    auto source = DiskOf(image);
    source->FModified = true;
    ASSERT_TRUE(SaveHFE(path, *source));
    EXPECT_TRUE(source->FModified);
    auto loaded = std::make_unique<disk::TMSXDisk>();
    loaded->FModified = true;
    ASSERT_TRUE(LoadHFE(path, *loaded));
    EXPECT_EQ(loaded->FBufferSize, static_cast<std::int32_t>(image.size()));
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
  EXPECT_TRUE(BuildHFE(*empty).empty());

  const auto disk = DiskOf(hfe_test::RandomImage(2, 3));
  EXPECT_FALSE(SaveHFE(folder / "missing folder" / "x.hfe", *disk));
  const auto readOnly = folder / "locked.hfe";
  WriteFile(readOnly, Bytes{1, 2, 3});
  std::filesystem::permissions(readOnly, std::filesystem::perms::owner_read);
  EXPECT_FALSE(SaveHFE(readOnly, *disk));
  EXPECT_EQ(ReadFile(readOnly), (Bytes{1, 2, 3}));
  std::filesystem::permissions(readOnly, std::filesystem::perms::owner_all);
  EXPECT_ANY_THROW(LoadHFE(folder / "absent.hfe", *empty));
}

// Loads `file` into a disk that already holds an image; returns whether it loaded and checks
// that a refused file leaves the disk as it was.
bool LoadInto(const Bytes& file, disk::TMSXDisk& disk, THfeReadReport* report = nullptr) {
  const Bytes before = ImageOf(disk);
  const std::int32_t sizeBefore = disk.FBufferSize;
  TTempFolder folder;
  WriteFile(folder / "in.hfe", file);
  const bool loaded = LoadHFE(folder / "in.hfe", disk, report);
  if (!loaded) {
    EXPECT_EQ(disk.FBufferSize, sizeBefore);
    EXPECT_EQ(ImageOf(disk), before);
    EXPECT_EQ(disk.FFileName, "source.dsk");
  }
  return loaded;
}

TEST(LoadHFE, ForeignFiles) {
  constexpr std::size_t kSector = ((3 * 2 + 1) * 9 + 4) * 512;
  constexpr std::size_t kFlippedByte = 100;
  Bytes image = hfe_test::RandomImage(2, 9);
  image[kSector + kFlippedByte] |= 0x80;
  const Bytes single = hfe_test::RandomImage(1, 10);
  const auto side = [&](int t, int s) { return hfe_test::ImageTrackSide(image, 2, t, s); };
  enum class Expect { Image, FlippedSector, FirstFortyTracks, SingleSided };
  const struct {
    const char* name;
    hfe_test::THfeHeader header;
    std::function<Bytes(int, int)> side;
    Expect expect;
    int missing = 0, badCrc = 0;  // sectors reported unreadable
  } cases[] = {
      {"in order", {}, side, Expect::Image},
      {"interleaved",
       {},
       [&](int t, int s) {
         return hfe_test::ImageTrackSide(image, 2, t, s, {1, 3, 5, 7, 9, 2, 4, 6, 8});
       },
       Expect::Image},
      {"a flipped cell in track 3 side 1 sector 5",
       {},
       [&](int t, int s) {
         Bytes cells = side(t, s);
         // Sector 5's data starts at MFM byte 60 + 4 x 614 + 60; clear the data cell of a 1 bit
         // 100 bytes in, so that exactly one cell changes.
         if (t == 3 && s == 1) cells[(60 + 4 * 614 + 60 + kFlippedByte) * 2] ^= 0x40;
         return cells;
       },
       Expect::FlippedSector,
       0,
       1},
      {"40 tracks", {40}, side, Expect::FirstFortyTracks, 40 * 2 * 9},
      {"one-sided disk in a two-sided file",
       {},
       [&](int t, int s) { return s == 0 ? hfe_test::ImageTrackSide(single, 1, t, 0) : Bytes{}; },
       Expect::SingleSided},
      {"rpm 0 and another interface", {80, 2, 250, 0}, side, Expect::Image},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto disk = std::make_unique<disk::TMSXDisk>();
    THfeReadReport report{-1, -1};
    ASSERT_TRUE(LoadInto(hfe_test::HfeFile(c.header, c.side), *disk, &report));
    EXPECT_FALSE(disk->FModified);
    EXPECT_EQ(report.missingSectors, c.missing);
    EXPECT_EQ(report.badCrcSectors, c.badCrc);
    Bytes expected = image;
    switch (c.expect) {
      case Expect::Image:
        break;
      case Expect::FlippedSector: {
        const std::size_t sector = kSector;
        const Bytes loaded = ImageOf(*disk);
        EXPECT_NE(Bytes(loaded.begin() + static_cast<std::ptrdiff_t>(sector),
                        loaded.begin() + static_cast<std::ptrdiff_t>(sector + 512)),
                  Bytes(image.begin() + static_cast<std::ptrdiff_t>(sector),
                        image.begin() + static_cast<std::ptrdiff_t>(sector + 512)));
        std::copy_n(loaded.begin() + static_cast<std::ptrdiff_t>(sector), 512,
                    expected.begin() + static_cast<std::ptrdiff_t>(sector));
        break;
      }
      case Expect::FirstFortyTracks:
        std::fill(expected.begin() + 40 * 2 * 4608, expected.end(), 0);
        break;
      case Expect::SingleSided:
        expected = single;
        break;
    }
    EXPECT_EQ(ImageOf(*disk), expected);
  }
}

TEST(LoadHFE, HostileFilesLeaveTheDiskUntouched) {
  const Bytes image = hfe_test::RandomImage(2, 11);
  const Bytes good = hfe_test::HfeFile(
      {4, 2}, [&](int t, int s) { return hfe_test::ImageTrackSide(image, 2, t, s); });
  const struct {
    const char* name;
    std::size_t offset;  // a byte to set, or the size to cut to when value < 0
    int value;
  } cases[] = {
      {"bad signature", 0, 'X'},   {"HXCHFEV3 signature", 3, 'H'}, {"0 sides", 10, 0},
      {"3 sides", 10, 3},          {"255 sides", 10, 255},         {"0 tracks", 9, 0},
      {"bit rate 0", 12, 0},       {"empty file", 0, -1},          {"signature only", 8, -1},
      {"25 bytes", 25, -1},        {"header only", 511, -1},       {"half a track list", 514, -1},
      {"no track data", 1024, -1}, {"zero-length tracks", 514, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes file = good;
    if (c.value < 0) {
      file.resize(c.offset);
    } else {
      file[c.offset] = static_cast<std::uint8_t>(c.value);
      if (c.offset == 3) std::memcpy(file.data(), "HXCHFEV3", 8);
      if (c.offset == 12) file[13] = 0;
      if (c.offset == 514)
        for (std::size_t t = 0; t < 4; ++t) file[514 + t * 4] = file[515 + t * 4] = 0;
    }
    auto disk = DiskOf(hfe_test::RandomImage(2, 12));
    EXPECT_FALSE(LoadInto(file, *disk));
  }
}

TEST(LoadHFE, TruncatedFileLoadsWhatIsThereAndCountsTheRest) {
  const Bytes image = hfe_test::RandomImage(2, 13);
  Bytes file =
      hfe_test::HfeFile({}, [&](int t, int s) { return hfe_test::ImageTrackSide(image, 2, t, s); });
  file.resize(100000);  // tracks 0-3 whole, the rest gone
  auto disk = DiskOf(hfe_test::RandomImage(2, 14));
  THfeReadReport report;
  ASSERT_TRUE(LoadInto(file, *disk, &report));
  EXPECT_EQ(report.missingSectors, 76 * 2 * 9);
  EXPECT_EQ(report.badCrcSectors, 0);
  EXPECT_EQ(report.Unreadable(), 76 * 2 * 9);
  const Bytes loaded = ImageOf(*disk);
  EXPECT_EQ(Bytes(loaded.begin(), loaded.begin() + 4 * 2 * 4608),
            Bytes(image.begin(), image.begin() + 4 * 2 * 4608));
  EXPECT_EQ(Bytes(loaded.begin() + 4 * 2 * 4608, loaded.end()), Bytes(76 * 2 * 4608, 0));
}

}  // namespace
}  // namespace hfe
