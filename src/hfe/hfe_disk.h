// The bridge between HFE track images and the disk model: an HFE file becomes a flat sector
// image in a TMSXDisk, and a TMSXDisk's image becomes an 84-track MFM HFE file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "disk/msx_disk.h"

namespace hfe {

// The sectors of the flat image that a load could not read: those not found (or of another size)
// and those whose identity or data CRC was wrong (their bytes are kept as read).
struct THfeReadReport {
  int missingSectors = 0;
  int badCrcSectors = 0;
  // The numbers of those sectors in the flat image (its byte offset / 512), ascending.
  std::vector<std::int32_t> unreadableSectors;
  int Unreadable() const { return missingSectors + badCrcSectors; }
  // Whether any of the `count` sectors from `first` on could not be read.
  bool AnyUnreadable(std::int32_t first, std::int32_t count) const;
};

// Loads the file into `Disk`. False, with `Disk` untouched, when the file is not a usable HFE
// image or holds no readable sector; false too when the disk model refuses the decoded image
// (TMSXDisk::LoadFromBuffer: its bytes are then kept without a geometry). A file that cannot be
// opened or read raises rtl::EStreamError, as the platform's file streams do. A damaged file still
// loads; `report` counts what could not be read.
bool LoadHFE(const std::filesystem::path& FileName, disk::TMSXDisk& Disk,
             THfeReadReport* report = nullptr);
// Writes `Disk` as an HFE file through a temporary file, so a failed save leaves any old file as
// it was. True only when the whole file was written. The disk's modified flag is not changed.
bool SaveHFE(const std::filesystem::path& FileName, const disk::TMSXDisk& Disk);

// The flat sector image of an HFE file in memory: sides x 368,640 bytes, zero where no sector
// was found; a two-sided file without any side-1 sector whose boot sector says one side (media
// byte 0xF8) gives a 368,640-byte image of side 0.
// Empty when the file is refused or no sector at all was found. The report covers the sectors of
// the image returned (not those of an unused side 1).
std::vector<std::uint8_t> DecodeHFEImage(std::span<const std::uint8_t> file,
                                         THfeReadReport* report = nullptr);
bool LoadHFEFromBytes(std::span<const std::uint8_t> file, const std::filesystem::path& FileName,
                      disk::TMSXDisk& Disk, THfeReadReport* report = nullptr);
// The HFE file of a disk image of 1 or 2 sides; empty when the disk has no whole side. An image
// longer than one side is written as two sides, zero past its end.
std::vector<std::uint8_t> BuildHFE(const disk::TMSXDisk& Disk);

}  // namespace hfe
