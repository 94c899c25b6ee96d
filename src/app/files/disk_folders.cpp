// Entering and making image directories by host folder names.
#include "app/files/disk_folders.h"

namespace app::files {

disk::PDirEntry FindEntry(disk::TMSXDisk& disk, std::string_view shortName) {
  for (std::int32_t i = 0; i < disk.DirCount(); ++i) {
    disk::PDirEntry entry = disk.GetDirEntry(i);
    if (!entry || !entry->IsUsed()) return nullptr;
    if (entry->IsDeleted() || entry->Attr == disk::faLongName) continue;
    if (entry->GetFileName() == shortName) return entry;
  }
  return nullptr;
}

FolderOutcome EnterOrMakeFolder(disk::TMSXDisk& disk, std::wstring_view hostName) {
  const std::string name = disk::TMSXDisk::MakeShortFileName(hostName);
  if (disk::IsDotName(name)) return FolderOutcome::NotEnterable;
  const disk::PDirEntry existing = FindEntry(disk, name);
  FolderOutcome made = FolderOutcome::Entered;
  if (existing) {
    if ((existing->Attr & (disk::faDirectory | disk::faVolumeID)) != disk::faDirectory) {
      return FolderOutcome::NotEnterable;
    }
  } else {
    switch (disk.CreateSubDir(name)) {
      case disk::DiskResult::Ok:
        made = FolderOutcome::Made;
        break;
      case disk::DiskResult::DirFull:
        return FolderOutcome::DirFull;
      case disk::DiskResult::DiskFull:
        return FolderOutcome::DiskFull;
      default:
        return FolderOutcome::NotEnterable;
    }
  }
  return disk.ChangeDir(name) ? made : FolderOutcome::NotEnterable;
}

}  // namespace app::files
