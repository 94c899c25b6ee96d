// Raw export through the sector search.
#include "hfe/raw_export.h"

#include <algorithm>
#include <cstring>

#include "hfe/allocation_guard.h"
#include "hfe/sector_access.h"
#include "rtl/exceptions.h"
#include "rtl/file_stream.h"

namespace hfe {

namespace {

// The text repeated over the slot: one copy, then the filled part doubled until the slot is full.
void FillWithText(std::span<std::uint8_t> slot, std::string_view text) {
  std::size_t filled = std::min(text.size(), slot.size());
  std::memcpy(slot.data(), text.data(), filled);
  while (filled < slot.size()) {
    const std::size_t more = std::min(filled, slot.size() - filled);
    std::memcpy(slot.data() + filled, slot.data(), more);
    filled += more;
  }
}

bool ValidLayout(const TRawExportLayout& layout) {
  return layout.sectorsPerTrack >= 1 && layout.sectorsPerTrack <= 256 && layout.sectorSize >= 128 &&
         layout.sectorSize <= 16384 && layout.firstSectorId >= 0 && layout.firstSectorId <= 255 &&
         (layout.encoding == SectorSearch::IsoIbmMfm || layout.encoding == SectorSearch::IsoIbmFm);
}

}  // namespace

int trk_exportRaw(TLibContext& context, TFloppy& floppy, const TRawExportLayout& layout,
                  std::vector<std::uint8_t>& image, TRawExportReport& report) {
  return GuardAllocation(&context, "trk_exportRaw", kLimitReached, [&] {
    report = {};
    if (!ValidLayout(layout) || floppy.trackCount < 1 || floppy.trackCount > 256 ||
        floppy.sideCount < 1 || floppy.sideCount > 2)
      return kBadParameter;
    const auto size = static_cast<std::size_t>(layout.sectorSize);
    const std::size_t sideBytes = static_cast<std::size_t>(layout.sectorsPerTrack) * size;
    const std::size_t total = sideBytes * static_cast<std::size_t>(floppy.trackCount) *
                              static_cast<std::size_t>(floppy.sideCount);
    if (total > kMaxRawExportBytes) return kBadParameter;
    image.assign(total, 0);
    auto access = trk_initSectorAccess(context, floppy);
    if (!access) return kLimitReached;
    std::size_t offset = 0;
    for (std::int32_t track = 0; track < floppy.trackCount; ++track) {
      for (std::int32_t side = 0; side < floppy.sideCount; ++side) {
        for (std::int32_t i = 0; i < layout.sectorsPerTrack; ++i, offset += size) {
          const auto slot = std::span(image).subspan(offset, size);
          const std::int32_t id = layout.firstSectorId + i;
          const auto sector = trk_searchSector(*access, track, side, id, layout.encoding);
          if (!sector || sector->size != layout.sectorSize) {
            FillWithText(slot, kMissingSectorText);
            ++report.missingSectors;
            context.Log(kLogError, "Raw export : track %d, side %d, sector %d missing", track, side,
                        id);
          } else if (sector->data.size() != size || sector->dataCrcError ||
                     sector->headerCrcError) {
            FillWithText(slot, kBadSectorText);
            ++report.badSectors;
            context.Log(kLogError, "Raw export : track %d, side %d, sector %d bad", track, side,
                        id);
          } else {
            std::copy(sector->data.begin(), sector->data.end(), slot.begin());
          }
        }
      }
    }
    context.Log(kLogInfo, "Raw export : %d bad sector(s), %d missing sector(s)", report.badSectors,
                report.missingSectors);
    return kOk;
  });
}

int trk_exportRawFile(TLibContext& context, TFloppy& floppy, const TRawExportLayout& layout,
                      const std::filesystem::path& fileName, TRawExportReport& report) {
  std::vector<std::uint8_t> image;
  const int result = trk_exportRaw(context, floppy, layout, image, report);
  if (result != kOk) return result;
  try {
    rtl::WriteFileAtomically(fileName, image);
  } catch (const rtl::EStreamError&) {
    context.Log(kLogError, "Cannot create %s!", LogName(fileName.u8string()).c_str());
    return kIoError;
  }
  return kOk;
}

}  // namespace hfe
