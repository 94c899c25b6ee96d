// File-system image creation: a floppy holding a file system made from a host folder, in one of
// a table of named disk layouts, through the layout's file-system module.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string_view>
#include <vector>

#include "hfe/hfe_types.h"
#include "hfe/track_library.h"

namespace hfe {

inline constexpr std::string_view kFat12Module = "FAT12FLOPPY";
inline constexpr std::string_view kAmigaModule = "AMIGA_FS";
// Folders nest at most this deep below the source folder.
inline constexpr int kMaxFolderDepth = 16;

struct TFsLayout {
  std::string_view name;
  std::string_view description;
  std::int32_t tracks, sides, sectorsPerTrack, sectorSize;
  // FAT parameters (FAT12FLOPPY layouts).
  std::int32_t sectorsPerCluster, rootEntries, sectorsPerFat;
  std::uint8_t media;
  // Track parameters.
  TrackFormat format;
  std::int32_t bitRate, rpm, interleave;
  std::string_view module;
};

int trk_getFsLayoutCount();
// The layout of that id, or null.
const TFsLayout* trk_getFsLayout(int id);
// The id of the layout of that name, or -1.
int trk_getFsLayoutId(std::string_view name);
// The id of the file-system module of that name, or -1.
int trk_getFsModuleId(std::string_view name);

// The flat sector image of a FAT12 layout holding the folder's files and sub-folders (8.3 names,
// made unique with "~N" tails; links and special files are skipped). 0 done; -1 a host file or
// folder cannot be read; -4 not a FAT12 layout; -5 the files do not fit (data area, root or a
// directory) or folders nest deeper than kMaxFolderDepth.
int trk_buildFat12Image(const TLibContext& context, const TFsLayout& layout,
                        const std::filesystem::path& folder, std::vector<std::uint8_t>& image);

// The floppy of the folder in the named layout; null with `result` -4 for an unknown layout or
// a layout whose module this library does not have ("Bad plugin ID : 0x%x"), else the results
// of trk_buildFat12Image and the track builder.
std::unique_ptr<TFloppy> trk_generateFsDisk(TLibContext& context, std::string_view layoutName,
                                            const std::filesystem::path& folder, int& result);

}  // namespace hfe
