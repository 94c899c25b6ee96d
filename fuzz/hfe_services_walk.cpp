// The track library's further services on floppies read from arbitrary bytes, part of hfe_fuzz:
// the sanity checker (after the input has damaged the floppy's counts and bit rates) must leave
// a consistent floppy, the whole-floppy walks and the raw export must end within their bounds,
// and a raw side made from the input's bytes must decode back to them.
#include "fuzz_util.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "hfe/fdc_controller.h"
#include "hfe/floppy_properties.h"
#include "hfe/hfe_format.h"
#include "hfe/mfm_codec.h"
#include "hfe/raw_export.h"
#include "hfe/sanity_checker.h"
#include "hfe/sector_enumeration.h"
#include "hfe/track_utilities.h"

namespace {

constexpr std::int32_t kWalkedTracks = 2;
constexpr std::size_t kRawSideBytes = 2048;

std::uint8_t ByteAt(std::span<const std::uint8_t> input, std::size_t offset) {
  return offset < input.size() ? input[offset] : 0;
}

// Damage chosen by the header's unused filler bytes (26-31).
void Damage(hfe::TFloppy& floppy, std::span<const std::uint8_t> input) {
  const std::uint8_t flags = ByteAt(input, 26);
  if (flags & 0x01) floppy.sideCount = ByteAt(input, 27) % 5;
  if (flags & 0x02) floppy.bitRate = ByteAt(input, 28) * 9000;
  if (flags & 0x04) floppy.trackCount = ByteAt(input, 29) * 2;
  if ((flags & 0x08) && !floppy.cylinders.empty())
    floppy.cylinders[ByteAt(input, 30) % floppy.cylinders.size()].reset();
  if ((flags & 0x10) && !floppy.cylinders.empty() && floppy.cylinders[0])
    floppy.cylinders[0]->sideCount = ByteAt(input, 31) % 5;
  if ((flags & 0x20) && floppy.Side(0, 0)) floppy.Side(0, 0)->trackLength = 0x7FFFFFFF;
}

void CheckConsistent(const hfe::TFloppy& floppy) {
  Require(floppy.sideCount == 1 || floppy.sideCount == 2);
  Require(floppy.trackCount >= 0 && floppy.trackCount <= 256);
  Require(floppy.cylinders.size() == static_cast<std::size_t>(floppy.trackCount));
  for (const auto& cylinder : floppy.cylinders) {
    if (!cylinder) continue;
    Require(cylinder->sides.size() == static_cast<std::size_t>(cylinder->sideCount));
    for (const auto& side : cylinder->sides)
      Require(!side || (side->trackLength >= 0 &&
                        static_cast<std::size_t>(side->trackLength) <= side->cellData.size() * 8));
  }
}

void RawSideRoundTrip(std::span<const std::uint8_t> input) {
  const auto bytes = input.first(std::min(input.size(), kRawSideBytes));
  auto side = hfe::trk_generateRawSide(bytes, {}, false, 250000, hfe::TrackEncoding::IsoIbmMfm);
  Require(side != nullptr);
  std::vector<std::uint8_t> decoded(bytes.size());
  hfe::mfmDecode(side->cellData, side->trackLength, decoded, 0);
  Require(std::equal(decoded.begin(), decoded.end(), bytes.begin()));
}

}  // namespace

void FuzzTrackServices(std::span<const std::uint8_t> input, hfe::TFloppy* read) {
  RawSideRoundTrip(input);
  if (!read) return;
  auto context = hfe::trk_init();
  // The walks below cover the first tracks only, to keep each input quick.
  read->trackCount = std::min(read->trackCount, kWalkedTracks);
  read->cylinders.resize(static_cast<std::size_t>(read->trackCount));
  auto floppy = hfe::trk_floppyCopy(*read);
  Damage(*floppy, input);
  hfe::trk_sanityCheck(*context, *floppy);
  CheckConsistent(*floppy);
  floppy->trackCount = std::min(floppy->trackCount, kWalkedTracks);
  floppy->cylinders.resize(static_cast<std::size_t>(floppy->trackCount));

  std::int32_t count = 0;
  const std::int64_t bytes = hfe::trk_getFloppyDataSize(*context, *floppy, &count);
  Require(bytes >= 0 && count >= 0 && bytes <= std::int64_t{count} * 16384);
  hfe::trk_detectSideEncodings(*context, *floppy);

  hfe::TRawExportLayout layout;
  layout.sectorsPerTrack = 1 + ByteAt(input, 32) % 18;
  layout.sectorSize = 128 << (ByteAt(input, 33) % 8);
  layout.firstSectorId = ByteAt(input, 34);
  std::vector<std::uint8_t> image;
  hfe::TRawExportReport report;
  if (hfe::trk_exportRaw(*context, *floppy, layout, image, report) == hfe::kOk) {
    const std::size_t sectors = static_cast<std::size_t>(floppy->trackCount) *
                                static_cast<std::size_t>(floppy->sideCount) *
                                static_cast<std::size_t>(layout.sectorsPerTrack);
    Require(image.size() == sectors * static_cast<std::size_t>(layout.sectorSize));
    Require(static_cast<std::size_t>(report.missingSectors + report.badSectors) <= sectors);
  }
  const auto merged =
      hfe::trk_getAllTrackISOSectors(*hfe::trk_initSectorAccess(*context, *floppy), 0, 0);
  Require(merged.size() <= hfe::kMaxEnumeratedSectors);
  for (std::size_t i = 1; i < merged.size(); ++i)
    Require(merged[i - 1]->startCell <= merged[i]->startCell);

  // Write sectors back through the controller interface, then read them again.
  std::vector<std::uint8_t> buffer(4 * 512, ByteAt(input, 35));
  int status = 0;
  const int written = hfe::trk_FDCWriteSector(*context, *floppy, 0, 0, 1, 512, 4,
                                              hfe::SectorSearch::IsoIbmMfm, buffer, status);
  Require(written >= 0 && written <= 4);
}
