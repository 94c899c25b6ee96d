// Floppy sanity checks.
#include "hfe/sanity_checker.h"

#include <algorithm>

namespace hfe {

namespace {

constexpr std::int32_t kMaxTracks = 256;
constexpr std::int32_t kMinBitRate = 25000;
constexpr std::int32_t kMaxBitRate = 1000000;
constexpr std::int32_t kDefaultBitRate = 250000;

// Mends a bit rate; -1 ("differs between tracks") stays.
bool CheckBitRate(const TLibContext& context, std::int32_t& bitRate) {
  if (bitRate == -1) return true;
  if (bitRate < kMinBitRate) {
    context.Log(
        kLogError,
        "Sanity Checker : Under 25kBit/s ?!? - fixed to 250KB/S. Please Check the Loader !");
    bitRate = kDefaultBitRate;
    return false;
  }
  if (bitRate > kMaxBitRate) {
    context.Log(kLogError,
                "Sanity Checker : Over 1MBit/s ?!? - fixed to 1MB/S. Please Check the Loader !");
    bitRate = kMaxBitRate;
    return false;
  }
  return true;
}

bool CheckSide(const TLibContext& context, TSide& side, std::int32_t track, std::int32_t index) {
  bool sound = CheckBitRate(context, side.bitRate);
  const std::int64_t cells = static_cast<std::int64_t>(side.cellData.size()) * 8;
  if (side.trackLength < 0 || side.trackLength > cells) {
    const auto fixed =
        static_cast<std::int32_t>(std::clamp<std::int64_t>(side.trackLength, 0, cells));
    context.Log(kLogError,
                "Sanity Checker :  Track %d/Side %d length %d beyond its %d cells - fixed. Please "
                "Check the Loader !",
                track, index, side.trackLength, fixed);
    side.trackLength = fixed;
    sound = false;
  }
  return sound;
}

}  // namespace

int trk_sanityCheck(const TLibContext& context, TFloppy& floppy) {
  bool sound = true;
  if (floppy.sideCount < 1) {
    context.Log(kLogError, "Sanity Checker : 0 Side?!? - fixed to 1. Please Check the Loader !");
    floppy.sideCount = 1;
    sound = false;
  } else if (floppy.sideCount > 2) {
    context.Log(kLogError,
                "Sanity Checker : more than 2 Sides (%d) ?!? - fixed to 2. Please Check the "
                "Loader !",
                floppy.sideCount);
    floppy.sideCount = 2;
    sound = false;
  }
  if (floppy.trackCount > kMaxTracks) {
    context.Log(
        kLogError,
        "Sanity Checker : More than 256 tracks?!? - fixed to 256. Please Check the Loader !");
    floppy.trackCount = kMaxTracks;
    sound = false;
  }
  sound &= CheckBitRate(context, floppy.bitRate);
  if (floppy.trackCount <= 0 || floppy.cylinders.empty()) {
    context.Log(kLogError, "Sanity Checker : No track allocated ? Please Check the Loader !");
    floppy.trackCount = std::max(floppy.trackCount, 0);
    floppy.cylinders.resize(static_cast<std::size_t>(floppy.trackCount));
    return kBadFile;
  }
  floppy.cylinders.resize(static_cast<std::size_t>(floppy.trackCount));
  for (std::int32_t track = 0; track < floppy.trackCount; ++track) {
    TCylinder* cylinder = floppy.cylinders[static_cast<std::size_t>(track)].get();
    if (!cylinder) {
      context.Log(kLogError, "Sanity Checker :  Track entry %d missing !", track);
      sound = false;
      continue;
    }
    if (cylinder->sideCount > 2) {
      context.Log(kLogError,
                  "Sanity Checker : track %d - more than 2 Sides (%d) ?!? - fixed to 2. Please "
                  "Check the Loader !",
                  track, cylinder->sideCount);
      cylinder->sideCount = 2;
      sound = false;
    }
    if (cylinder->sideCount != floppy.sideCount) {
      context.Log(kLogError,
                  "Sanity Checker :  Bad number of side (%d should be %d) at Track entry %d",
                  cylinder->sideCount, floppy.sideCount, track);
      sound = false;
    }
    cylinder->sideCount = std::max(cylinder->sideCount, 0);
    cylinder->sides.resize(static_cast<std::size_t>(cylinder->sideCount));
    for (std::int32_t side = 0; side < cylinder->sideCount; ++side) {
      TSide* record = cylinder->sides[static_cast<std::size_t>(side)].get();
      if (!record) {
        context.Log(kLogError, "Sanity Checker :  Track %d/Side %d not allocated ?!?", track, side);
        sound = false;
        continue;
      }
      sound &= CheckSide(context, *record, track, side);
    }
  }
  return sound ? kOk : kBadFile;
}

}  // namespace hfe
