// A test-side MFM track and HFE file writer, written independently of the library: bit-by-bit
// MFM, a bitwise CRC and a plain HFE layout. Tests use it to make foreign and damaged input.
// Also floppies generated from a flat image, or made of given side cells.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "hfe/raw_image.h"

namespace hfe_test {

using Bytes = std::vector<std::uint8_t>;

std::uint16_t BitwiseCrc(const Bytes& bytes, std::uint16_t polynomial = 0x1021,
                         std::uint16_t initial = 0xFFFF);
std::uint8_t Reversed(std::uint8_t byte);

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
  void Byte(std::uint8_t value);
  void Bytes(const hfe_test::Bytes& values);
  void Run(std::uint8_t value, int count);
  void SyncA1();  // 0xA1 with a missing clock: the cells 0x4489
  void Sector(const TTestSector& sector, int gap3 = 54);
  // Pads with 0x4E up to `cellBytes` bytes of cells.
  hfe_test::Bytes Finish(std::size_t cellBytes);
  std::size_t CellCount() const { return cells_; }

 private:
  void Cell(int value);
  hfe_test::Bytes bytes_;
  std::size_t cells_ = 0;
  int previous_ = 0;
};

inline constexpr std::size_t kTestSideBytes = 12544;

// A side with the sectors in the given order, 0x4E to kTestSideBytes bytes.
Bytes TrackSide(const std::vector<TTestSector>& sectors);
// Nine 512-byte sectors in id order of side `head` of track `cylinder` from a flat image (4,608
// bytes per track side).
Bytes ImageTrackSide(const Bytes& image, int sides, int cylinder, int head);

// A two-sided HFE file at 250 kbit/s and 300 rpm, track list in block 1, whose side cells come
// from `side(track, side)`, each padded or cut to kTestSideBytes bytes.
Bytes HfeFile(int tracks, const std::function<Bytes(int, int)>& side);

// Random bytes from a fixed seed.
Bytes RandomBytes(std::size_t count, std::uint32_t seed);
// A random MSX disk image: 737,280 bytes (media 0xF9) or 368,640 bytes (0xF8).
Bytes RandomImage(int sides, std::uint32_t seed);

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
      side->cellData = std::move(sideCells);
      side->bitRate = 250000;
      cylinder->sides.push_back(std::move(side));
    }
    floppy->cylinders.push_back(std::move(cylinder));
  }
  return floppy;
}

}  // namespace hfe_test
