// Floppies for the library's tests: generated from a flat image, or made of given side cells.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "hfe/raw_image.h"
#include "test_track_writer.h"

namespace hfe_test {

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
