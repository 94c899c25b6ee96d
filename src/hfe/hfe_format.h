// The HFE track-image file: header, track list and side-interleaved, bit-reversed track data;
// the reader and writer work on byte buffers.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "hfe/hfe_types.h"
#include "hfe/track_library.h"

namespace hfe {

inline constexpr std::string_view kHfeSignature = "HXCPICFE";
inline constexpr std::size_t kHfeBlock = 512;
inline constexpr std::size_t kHfeHeaderBytes = 26;
inline constexpr std::int32_t kMaxHfeTracks = 255;
// Nothing past this offset can be addressed by a track list (block offsets and lengths are u16).
inline constexpr std::size_t kMaxHfeFileBytes = 65535 * kHfeBlock + 65536;

// Interface mode written by the builder: a standard double-density Shugart interface.
inline constexpr std::int32_t kGenericShugartDD = 7;

std::string_view EncodingName(std::int32_t encoding);
std::string_view InterfaceModeName(std::int32_t mode);
std::string_view InterfaceModeDescription(std::int32_t mode);

// Reads an HFE file image into `floppy` (replaced only on success). 0 done, -2 bad file: wrong
// signature, a header cut short, a track list in block 0 or not wholly in the file, no tracks, a
// side count other than 1 or 2 or a bit rate of 0. Track data past the end of the file reads as
// zero.
int HFE_libLoad_DiskFile(const TImgLoader& loader, TFloppy& floppy,
                         std::span<const std::uint8_t> file, std::string_view fileName);

// Builds the HFE file of `floppy` in `file`. 0 done, -1 no tracks or more than 255.
int HFE_libWrite_DiskFile(const TImgLoader& loader, const TFloppy& floppy,
                          std::vector<std::uint8_t>& file, std::string_view fileName);

// 1 when the leading bytes carry the HFE signature, -2 otherwise.
int HFE_libIsValidDiskFile(const TImgLoader& loader, std::span<const std::uint8_t> leadingBytes);

// Blocks of the track list for a track count.
inline std::size_t TrackListBlocks(std::int32_t tracks) {
  return static_cast<std::size_t>(tracks >> 7) + 1;
}

}  // namespace hfe
