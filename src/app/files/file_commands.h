// Decisions of the make-directory and delete commands.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "disk/msx_disk.h"

namespace app::files {

inline constexpr std::int32_t kNewDirTries = 127;

// The decimal number for 1..99; from 100 on the letter "A" + (n - 100) / 10 and the digit n % 10
// (A0..C7 for 100..127).
std::string DirSuffix(std::int32_t n);
// "NEWDIR" + DirSuffix(n).
std::string NewDirName(std::int32_t n);

struct TMakeDirResult {
  disk::DiskResult Result = disk::DiskResult::None;  // Ok, or why nothing was made
  std::string Name;  // the last name tried: the row to select and edit
};

// Tries the names in turn until one is made; stops at once when the disk or directory is full.
TMakeDirResult MakeNewDirectory(disk::TMSXDisk& disk);

// A file or directory that is not "." or ".."; labels are never deleted.
bool IsDeletable(const disk::TDirEntry& entry);

// Deletes the deletable entries among the selected ones (a non-empty directory is refused by the
// model); returns how many were deleted.
std::int32_t DeleteEntries(disk::TMSXDisk& disk, std::span<disk::TDirEntry* const> selected);

}  // namespace app::files
