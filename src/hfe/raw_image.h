// Conversion of a raw sector image into a floppy of generated tracks.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "hfe/hfe_types.h"
#include "hfe/track_library.h"

namespace hfe {

struct TRawGeometry {
  std::int32_t tracks = 80;
  std::int32_t sides = 2;
  std::int32_t sectorsPerTrack = 9;
  std::int32_t sectorSize = 512;
  std::int32_t firstSectorId = 1;
  std::int32_t interleave = 1;
  std::int32_t skew = 0;
  std::int32_t rpm = 300;
  std::int32_t bitRate = 250000;
  TrackFormat format = TrackFormat::IsoIbmMfm;
};

// Builds a floppy from an image laid out track by track, each track's sides in order, each side's
// sectors in id order. Null with `result` -2 when the image is shorter than the geometry needs,
// -4 for a geometry the builder refuses.
std::unique_ptr<TFloppy> trk_generateDisk(TLibContext& context, std::span<const std::uint8_t> image,
                                          const TRawGeometry& geometry, int& result);

}  // namespace hfe
