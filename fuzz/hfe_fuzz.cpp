// Feeds arbitrary bytes to the HFE reader, the sector walks of both parsers and the bridge into a
// disk image: nothing may read or write out of bounds, every walk ends, and what loads is a whole
// one- or two-sided image.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>

#include "disk/msx_disk.h"
#include "hfe/hfe_disk.h"
#include "hfe/hfe_format.h"
#include "hfe/sector_access.h"
#include "hfe_services_walk.h"

namespace {

constexpr std::int32_t kWalkedTracks = 4;
constexpr int kMaxSectorsPerWalk = 5000;

void Require(bool condition) {
  if (!condition) std::abort();
}

// Walks the first tracks of every side with both parsers until each walk ends.
void WalkSectors(std::span<const std::uint8_t> input) {
  auto context = hfe::trk_init();
  auto loader = hfe::trk_imgInitLoader(*context);
  hfe::TFloppy floppy;
  if (hfe::HFE_libLoad_DiskFile(*loader, floppy, input, "fuzz.hfe") != hfe::kOk) return;
  Require(floppy.sideCount == 1 || floppy.sideCount == 2);
  auto access = hfe::trk_initSectorAccess(*context, floppy);
  for (std::int32_t track = 0; track < std::min(floppy.trackCount, kWalkedTracks); ++track) {
    for (std::int32_t side = 0; side < floppy.sideCount; ++side) {
      for (auto encoding : {hfe::SectorSearch::IsoIbmMfm, hfe::SectorSearch::IsoIbmFm}) {
        hfe::trk_resetSearchPosition(*access);
        int count = 0;
        while (auto sector = hfe::trk_getNextSector(*access, track, side, encoding)) {
          Require(sector->data.empty() ||
                  sector->data.size() == static_cast<std::size_t>(sector->size));
          Require(++count < kMaxSectorsPerWalk);
        }
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> input(data, size);
  WalkSectors(input);
  FuzzTrackServices(input);

  auto target = std::make_unique<disk::TMSXDisk>();
  const bool loaded = hfe::LoadHFEFromBytes(input, "fuzz.hfe", *target);
  Require(target->FBufferSize <= disk::kImageCapacity);
  Require(!loaded || target->FBufferSize == disk::kSingleSidedSize ||
          target->FBufferSize == disk::kImageCapacity);
  Require(!loaded || !target->FModified);
  return 0;
}
