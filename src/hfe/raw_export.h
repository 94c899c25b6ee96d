// Raw export: the sectors of every track side in id order, one after another, as a flat sector
// image. A sector that is missing or damaged is written as a repeated 16-character text.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

#include "hfe/hfe_types.h"
#include "hfe/track_library.h"

namespace hfe {

inline constexpr std::string_view kMissingSectorText = "!!  MISSING   !!";
inline constexpr std::string_view kBadSectorText = "!! BAD SECTOR !!";
// Largest image the export builds.
inline constexpr std::size_t kMaxRawExportBytes = 64u << 20;

struct TRawExportLayout {
  std::int32_t sectorsPerTrack = 9;  // 1-256
  std::int32_t sectorSize = 512;     // 128-16,384
  std::int32_t firstSectorId = 1;    // 0-255
  SectorSearch encoding = SectorSearch::IsoIbmMfm;
};

struct TRawExportReport {
  std::int32_t missingSectors = 0;  // not found, or of another size
  std::int32_t badSectors = 0;      // a CRC error, or no data field
};

// Builds the image of the floppy's tracks x sides x sectors in `image`. 0 done (damaged sectors
// are counted, not failures); -4 for a layout outside its limits, a floppy without tracks or
// sides, or an image over kMaxRawExportBytes.
int trk_exportRaw(TLibContext& context, TFloppy& floppy, const TRawExportLayout& layout,
                  std::vector<std::uint8_t>& image, TRawExportReport& report);
// The same into a host file, written whole through a temporary file; -1 when it cannot be
// written ("Cannot create %s!").
int trk_exportRawFile(TLibContext& context, TFloppy& floppy, const TRawExportLayout& layout,
                      const std::filesystem::path& fileName, TRawExportReport& report);

}  // namespace hfe
