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
#include <optional>
#include <span>
#include <vector>

#include "disk/msx_disk.h"
#include "fuzz_util.h"
#include "hfe/bit_stream.h"
#include "hfe/hfe_disk.h"
#include "hfe/hfe_format.h"
#include "hfe/sector_access.h"

namespace {

constexpr std::int32_t kWalkedTracks = 4;
constexpr std::uint32_t kSaveCheckEvery = 32;

// The bytes of a side up to its last non-zero one, of at most 32,767; a zero tail is crossed
// eight bytes at a time.
std::size_t KeptBytes(std::span<const std::uint8_t> cells) {
  return hfe::LengthWithoutZeroTail(cells.data(), std::min<std::size_t>(cells.size(), 32767));
}

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
      const std::size_t kept = KeptBytes(before);
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

// Walks the first tracks of every side of a floppy read from the input with both parsers until
// each walk ends.
void WalkSectors(hfe::TLibContext& context, const hfe::TImgLoader& loader, hfe::TFloppy& floppy) {
  Require(floppy.sideCount == 1 || floppy.sideCount == 2);
  WriteAndReadBack(loader, floppy);
  auto access = hfe::trk_initSectorAccess(context, floppy);
  for (std::int32_t track = 0; track < std::min(floppy.trackCount, kWalkedTracks); ++track) {
    for (std::int32_t side = 0; side < floppy.sideCount; ++side) {
      for (auto encoding : {hfe::SectorSearch::IsoIbmMfm, hfe::SectorSearch::IsoIbmFm}) {
        hfe::trk_resetSearchPosition(*access);
        // A walk ends: the address marks it meets are more than 16 cells apart.
        const std::int32_t maxSectors = floppy.Side(track, side)->trackLength / 16 + 1;
        int count = 0;
        while (auto sector = hfe::trk_getNextSector(*access, track, side, encoding)) {
          Require(sector->data.empty() ||
                  sector->data.size() == static_cast<std::size_t>(sector->size));
          Require(++count <= maxSectors);
        }
      }
    }
  }
}

// Whether this input also gets the save round trip, which builds and decodes a whole 80-track
// file: one input in kSaveCheckEvery, chosen by the input's bytes so that a failure reproduces.
bool ChecksTheSave(std::span<const std::uint8_t> input) {
  std::uint32_t hash = 2166136261u;
  for (const std::uint8_t byte : input) hash = (hash ^ byte) * 16777619u;
  return hash % kSaveCheckEvery == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> input(data, size);
  {
    auto context = hfe::trk_init();
    auto loader = hfe::trk_imgInitLoader(*context);
    hfe::TFloppy floppy;
    const bool read = hfe::HFE_libLoad_DiskFile(*loader, floppy, input, "fuzz.hfe") == hfe::kOk;
    if (read) WalkSectors(*context, *loader, floppy);
    FuzzTrackServices(input, read ? &floppy : nullptr);
  }

  // A fresh image for every input, made in the same place each time: its block stays mapped.
  static std::optional<disk::TMSXDisk> slot;
  disk::TMSXDisk& target = slot.emplace();
  const bool loaded = hfe::LoadHFEFromBytes(input, "fuzz.hfe", target);
  Require(target.FBufferSize <= disk::kImageCapacity);
  Require(!loaded || target.FBufferSize == disk::kSingleSidedSize ||
          target.FBufferSize == disk::kImageCapacity);
  Require(!loaded || !target.FModified);
  if (loaded && ChecksTheSave(input)) SaveAndDecode(target);
  return 0;
}
