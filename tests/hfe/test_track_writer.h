// A test-side MFM track and HFE file writer, written independently of the library: bit-by-bit
// MFM, a bitwise CRC and a plain HFE layout. Tests use it to make foreign and damaged input.
// Also floppies generated from a flat image, or made of given side cells.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <vector>

#include "hfe/raw_image.h"

namespace hfe_test {

using Bytes = std::vector<std::uint8_t>;

inline std::uint16_t BitwiseCrc(const Bytes& bytes, std::uint16_t polynomial = 0x1021,
                                std::uint16_t initial = 0xFFFF) {
  std::uint16_t crc = initial;
  for (std::uint8_t byte : bytes) {
    for (int bit = 7; bit >= 0; --bit) {
      const bool top = ((crc >> 15) & 1) != ((byte >> bit) & 1);
      crc = static_cast<std::uint16_t>(crc << 1);
      if (top) crc ^= polynomial;
    }
  }
  return crc;
}

inline std::uint8_t Reversed(std::uint8_t byte) {
  std::uint8_t out = 0;
  for (int bit = 0; bit < 8; ++bit)
    if (byte & (1 << bit)) out = static_cast<std::uint8_t>(out | (0x80 >> bit));
  return out;
}

struct TTestSector {
  std::uint8_t c = 0, h = 0, r = 1, n = 2;
  Bytes data;  // 128 << n bytes
  bool badHeaderCrc = false;
  bool badDataCrc = false;
  bool withDataField = true;
};

// MFM cells, first cell in the most significant bit of each byte.
class TMfmTrack {
 public:
  void Byte(std::uint8_t value) {
    for (int bit = 7; bit >= 0; --bit) {
      const int data = (value >> bit) & 1;
      Cell(data == 0 && previous_ == 0 ? 1 : 0);
      Cell(data);
      previous_ = data;
    }
  }
  void Bytes(const hfe_test::Bytes& values) {
    for (std::uint8_t value : values) Byte(value);
  }
  void Run(std::uint8_t value, int count) {
    for (int i = 0; i < count; ++i) Byte(value);
  }
  // 0xA1 with a missing clock: the cells 0x4489.
  void SyncA1() {
    for (int bit = 15; bit >= 0; --bit) Cell((0x4489 >> bit) & 1);
    previous_ = 1;
  }
  void Sector(const TTestSector& sector, int gap3 = 54) {
    Run(0x00, 12);
    for (int i = 0; i < 3; ++i) SyncA1();
    hfe_test::Bytes id = {0xA1, 0xA1, 0xA1, 0xFE, sector.c, sector.h, sector.r, sector.n};
    std::uint16_t crc = BitwiseCrc(id);
    if (sector.badHeaderCrc) crc ^= 0x0101;
    Bytes({0xFE, sector.c, sector.h, sector.r, sector.n, static_cast<std::uint8_t>(crc >> 8),
           static_cast<std::uint8_t>(crc)});
    Run(0x4E, 22);
    if (sector.withDataField) {
      Run(0x00, 12);
      for (int i = 0; i < 3; ++i) SyncA1();
      hfe_test::Bytes field = {0xA1, 0xA1, 0xA1, 0xFB};
      field.insert(field.end(), sector.data.begin(), sector.data.end());
      crc = BitwiseCrc(field);
      if (sector.badDataCrc) crc ^= 0x8000;
      Byte(0xFB);
      Bytes(sector.data);
      Bytes({static_cast<std::uint8_t>(crc >> 8), static_cast<std::uint8_t>(crc)});
    } else {
      Run(0x4E, 12 + 3 + 1 + static_cast<int>(sector.data.size()) + 2);
    }
    Run(0x4E, gap3);
  }
  // Pads with 0x4E up to `cellBytes` bytes of cells.
  hfe_test::Bytes Finish(std::size_t cellBytes) {
    while (bytes_.size() < cellBytes) Byte(0x4E);
    bytes_.resize(cellBytes);
    return bytes_;
  }
  std::size_t CellCount() const { return cells_; }

 private:
  void Cell(int value) {
    if (cells_ % 8 == 0) bytes_.push_back(0);
    if (value) bytes_.back() = static_cast<std::uint8_t>(bytes_.back() | (0x80 >> (cells_ % 8)));
    ++cells_;
  }
  hfe_test::Bytes bytes_;
  std::size_t cells_ = 0;
  int previous_ = 0;
};

inline constexpr std::size_t kTestSideBytes = 12544;

// A side with the sectors in the given order, 0x4E to kTestSideBytes bytes.
inline Bytes TrackSide(const std::vector<TTestSector>& sectors) {
  TMfmTrack track;
  track.Run(0x4E, 60);
  for (const auto& sector : sectors) track.Sector(sector, 40);
  return track.Finish(kTestSideBytes);
}
// Nine 512-byte sectors in id order of side `head` of track `cylinder` from a flat image (4,608
// bytes per track side).
inline Bytes ImageTrackSide(const Bytes& image, int sides, int cylinder, int head) {
  std::vector<TTestSector> sectors;
  for (int id = 1; id <= 9; ++id) {
    const auto offset = static_cast<std::ptrdiff_t>(((cylinder * sides + head) * 9 + id - 1) * 512);
    sectors.push_back({static_cast<std::uint8_t>(cylinder), static_cast<std::uint8_t>(head),
                       static_cast<std::uint8_t>(id), 2,
                       Bytes(image.begin() + offset, image.begin() + offset + 512)});
  }
  return TrackSide(sectors);
}

// A two-sided HFE file at 250 kbit/s and 300 rpm, track list in block 1, whose side cells come
// from `side(track, side)`, each padded or cut to kTestSideBytes bytes.
inline Bytes HfeFile(int tracks, const std::function<Bytes(int, int)>& side) {
  const std::size_t blocksPerTrack = kTestSideBytes * 2 / 512;
  const std::size_t length = kTestSideBytes * 2;
  Bytes file(1024, 0xFF);
  const Bytes header = {
      'H', 'X', 'C', 'P', 'I', 'C', 'F', 'E', 0, static_cast<std::uint8_t>(tracks),
      2,   0,   250, 0,   44,  1,   9,   1,   1, 0};
  std::copy(header.begin(), header.end(), file.begin());
  for (std::size_t track = 0; track < static_cast<std::size_t>(tracks); ++track) {
    const std::size_t block = 2 + track * blocksPerTrack;
    const Bytes entry = {static_cast<std::uint8_t>(block), static_cast<std::uint8_t>(block >> 8),
                         static_cast<std::uint8_t>(length), static_cast<std::uint8_t>(length >> 8)};
    std::copy(entry.begin(), entry.end(),
              file.begin() + 512 + static_cast<std::ptrdiff_t>(track * 4));
    Bytes halves[2];
    for (int s = 0; s < 2; ++s) {
      halves[s] = side(static_cast<int>(track), s);
      halves[s].resize(kTestSideBytes, 0);
    }
    for (std::size_t b = 0; b < blocksPerTrack; ++b)
      for (int s = 0; s < 2; ++s)
        for (std::size_t i = 0; i < 256; ++i) file.push_back(Reversed(halves[s][b * 256 + i]));
  }
  return file;
}

// The bytes of a library container, to compare with plain byte vectors.
template <class Container>
Bytes AsBytes(const Container& bytes) {
  return Bytes(bytes.begin(), bytes.end());
}

// Random bytes from a fixed seed.
inline Bytes RandomBytes(std::size_t count, std::uint32_t seed) {
  std::mt19937 random(seed);
  Bytes bytes(count);
  for (auto& byte : bytes) byte = static_cast<std::uint8_t>(random());
  return bytes;
}
// A random MSX disk image: 737,280 bytes (media 0xF9) or 368,640 bytes (0xF8).
inline Bytes RandomImage(int sides, std::uint32_t seed) {
  Bytes image = RandomBytes(static_cast<std::size_t>(sides) * 368640, seed);
  image[21] = sides == 2 ? 0xF9 : 0xF8;
  return image;
}

// `tracks` x `sides` x 9 sectors of 512 bytes of `image`.
inline std::unique_ptr<hfe::TFloppy> Generated(
    hfe::TLibContext& context, const Bytes& image, int tracks, int sides,
    hfe::TrackFormat format = hfe::TrackFormat::IsoIbmMfm) {
  hfe::TRawGeometry geometry;
  geometry.tracks = tracks;
  geometry.sides = sides;
  geometry.format = format;
  if (format == hfe::TrackFormat::IsoIbmFm) geometry.bitRate = 500000;
  int result = -1;
  auto floppy = hfe::trk_generateDisk(context, image, geometry, result);
  EXPECT_EQ(result, hfe::kOk);
  return floppy;
}

// Tracks at 250 kbit/s whose sides hold the given cells, `cells[track][side]`.
inline std::unique_ptr<hfe::TFloppy> CellFloppy(std::vector<std::vector<Bytes>> cells) {
  auto floppy = std::make_unique<hfe::TFloppy>();
  floppy->trackCount = static_cast<std::int32_t>(cells.size());
  floppy->sideCount = cells.empty() ? 1 : static_cast<std::int32_t>(cells.front().size());
  floppy->bitRate = 250000;
  for (auto& track : cells) {
    auto cylinder = std::make_unique<hfe::TCylinder>();
    cylinder->sideCount = floppy->sideCount;
    for (auto& sideCells : track) {
      auto side = std::make_unique<hfe::TSide>();
      side->trackLength = static_cast<std::int32_t>(sideCells.size() * 8);
      side->cellData.assign(sideCells.begin(), sideCells.end());
      side->bitRate = 250000;
      cylinder->sides.push_back(std::move(side));
    }
    floppy->cylinders.push_back(std::move(cylinder));
  }
  return floppy;
}

}  // namespace hfe_test
