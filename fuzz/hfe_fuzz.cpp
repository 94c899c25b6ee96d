// Feeds arbitrary bytes to the HFE reader, the sector walks of both parsers and the bridge into a
// disk image: nothing may read or write out of bounds, every walk ends, and what loads is a whole
// one- or two-sided image. What reads also goes back through the writer: a floppy written and read
// again keeps its tracks, sides and cells, and a loaded image saved and decoded again gives the
// same sectors.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <vector>

#include "disk/msx_disk.h"
#include "fuzz_util.h"
#include "hfe/hfe_disk.h"
#include "hfe/hfe_format.h"
#include "hfe/sector_access.h"

namespace {

constexpr std::int32_t kWalkedTracks = 4;
constexpr int kMaxSectorsPerWalk = 5000;

// The writer keeps every cell up to the last non-zero byte of each side (at most 32,767 bytes);
// only the trailing zeros after it are filled.
void WriteAndReadBack(const hfe::TImgLoader& loader, const hfe::TFloppy& floppy) {
  std::vector<std::uint8_t> file;
  Require(hfe::HFE_libWrite_DiskFile(loader, floppy, file, "fuzz.hfe") == hfe::kOk);
  hfe::TFloppy again;
  Require(hfe::HFE_libLoad_DiskFile(loader, again, file, "fuzz.hfe") == hfe::kOk);
  Require(again.trackCount == floppy.trackCount && again.sideCount == floppy.sideCount);
  for (std::int32_t track = 0; track < floppy.trackCount; ++track) {
    for (std::int32_t side = 0; side < floppy.sideCount; ++side) {
      const auto& before = floppy.Side(track, side)->cellData;
      const auto& after = again.Side(track, side)->cellData;
      std::size_t kept = std::min<std::size_t>(before.size(), 32767);
      while (kept > 0 && before[kept - 1] == 0) --kept;
      Require(after.size() >= kept &&
              std::equal(before.begin(), before.begin() + kept, after.begin()));
    }
  }
}

// A loaded image saved as an HFE file decodes to the same bytes, with nothing unreadable.
void SaveAndDecode(const disk::TMSXDisk& loaded) {
  const std::vector<std::uint8_t> saved = hfe::BuildHFE(loaded);
  Require(!saved.empty());
  hfe::THfeReadReport report;
  const std::vector<std::uint8_t> decoded = hfe::DecodeHFEImage(saved, &report);
  Require(decoded.size() == static_cast<std::size_t>(loaded.FBufferSize));
  Require(std::equal(decoded.begin(), decoded.end(), loaded.Buffer().begin()));
  Require(report.Unreadable() == 0);
}

// Walks the first tracks of every side with both parsers until each walk ends.
void WalkSectors(std::span<const std::uint8_t> input) {
  auto context = hfe::trk_init();
  auto loader = hfe::trk_imgInitLoader(*context);
  hfe::TFloppy floppy;
  if (hfe::HFE_libLoad_DiskFile(*loader, floppy, input, "fuzz.hfe") != hfe::kOk) return;
  Require(floppy.sideCount == 1 || floppy.sideCount == 2);
  WriteAndReadBack(*loader, floppy);
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
  if (loaded) SaveAndDecode(*target);
  return 0;
}
