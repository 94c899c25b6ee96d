// Make-directory names and the delete filter.
#include "app/files/file_commands.h"

namespace app::files {

std::string DirSuffix(std::int32_t n) {
  if (n < 100) return std::to_string(n);
  const char letter = static_cast<char>('A' + (n - 100) / 10);
  return std::string(1, letter) + std::to_string(n % 10);
}

std::string NewDirName(std::int32_t n) {
  return "NEWDIR" + DirSuffix(n);
}

TMakeDirResult MakeNewDirectory(disk::TMSXDisk& disk) {
  TMakeDirResult made;
  for (std::int32_t n = 1; n <= kNewDirTries; ++n) {
    made.Name = NewDirName(n);
    made.Result = disk.CreateSubDir(made.Name);
    if (made.Result != disk::DiskResult::NameExists) break;
  }
  return made;
}

bool IsDeletable(const disk::TDirEntry& entry) {
  if (!entry.IsUsed() || entry.IsDeleted() || (entry.Attr & disk::faVolumeID) != 0) return false;
  const std::string name = entry.GetFileName();
  return name != "." && name != "..";
}

std::int32_t DeleteEntries(disk::TMSXDisk& disk, std::span<disk::TDirEntry* const> selected) {
  std::int32_t deleted = 0;
  for (disk::TDirEntry* entry : selected) {
    if (entry && IsDeletable(*entry) && disk.Delete(entry) == disk::DiskResult::Ok) ++deleted;
  }
  return deleted;
}

}  // namespace app::files
