// The HFE reader and writer on host files: the file is read whole through the host services
// (bounded by the largest file a track list can address) and handed to the buffer reader; the
// writer's buffer is written whole through a temporary file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "hfe/hfe_types.h"
#include "hfe/track_library.h"

namespace hfe {

// The bytes of a host file, at most kMaxHfeFileBytes, read through the host services; a file
// that cannot be opened or read raises rtl::EStreamError.
std::vector<std::uint8_t> ReadHfeFile(const std::filesystem::path& fileName);

// 0 done; -1 the file cannot be opened or read ("Cannot open %s !"); -2 as the buffer reader.
int HFE_libLoad_DiskFile(const TImgLoader& loader, TFloppy& floppy,
                         const std::filesystem::path& fileName);
// 0 done; -1 as the buffer writer, or the file cannot be written ("Cannot create %s!"), in which
// case an existing file is left as it was.
int HFE_libWrite_DiskFile(const TImgLoader& loader, const TFloppy& floppy,
                          const std::filesystem::path& fileName);

}  // namespace hfe
