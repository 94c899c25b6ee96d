// Carrying out a work list: adds, folders entered and left, and the stop rules.
#include "app/files/process_work_list.h"

#include <string>
#include <vector>

#include "app/files/disk_folders.h"
#include "rtl/exceptions.h"

namespace app::files {

namespace {

bool IsDirectoryOrLabel(const disk::TDirEntry& entry) {
  return (entry.Attr & (disk::faDirectory | disk::faVolumeID)) != 0;
}

// Adds one host file; false when the run has to stop (FLastError tells why).
bool AddHostFile(disk::TMSXDisk& disk, const std::filesystem::path& path, const IHostFs& fs,
                 TWorkResult& result) {
  const std::wstring hostName = LastPathPart(path);
  const std::string shortName = disk::TMSXDisk::MakeShortFileName(hostName);
  const disk::PDirEntry existing = FindEntry(disk, shortName);
  if (disk::IsDotName(shortName) || (existing && IsDirectoryOrLabel(*existing))) {
    ++result.FilesSkipped;
    return true;
  }
  disk::PDirEntry added = nullptr;
  try {
    const std::unique_ptr<rtl::TStream> stream = fs.OpenRead(path);
    const rtl::FileTime written = fs.LastWriteTime(path);
    added = disk.Add(hostName, *stream);
    if (added) added->SetFileTime(written);
  } catch (const rtl::Exception&) {
    // A host file that cannot be read is passed over: ending the run here would leave the image
    // inside a dropped folder with the rest of the drop undone.
    ++result.FilesSkipped;
    return true;
  }
  if (added) {
    ++result.FilesAdded;
    return true;
  }
  ++result.FilesSkipped;
  const bool full = disk.FLastError == disk::DiskResult::DirFull ||
                    (disk.FLastError == disk::DiskResult::DiskFull && disk.DiskFree() == 0);
  return !full;
}

// The index of the LeaveFolder line that closes the EnterFolder line at `index`.
std::size_t MatchingLeave(const TWorkList& list, std::size_t index) {
  int depth = 0;
  for (std::size_t i = index; i < list.size(); ++i) {
    if (list[i].Kind == WorkKind::EnterFolder) ++depth;
    if (list[i].Kind == WorkKind::LeaveFolder && --depth == 0) return i;
  }
  return list.size();
}

}  // namespace

TWorkResult ProcessWorkList(disk::TMSXDisk& disk, const TWorkList& list, const IHostFs& fs) {
  TWorkResult result;
  // The directories that EnterFolder lines left, so a LeaveFolder returns there exactly.
  std::vector<std::string> entered;
  for (std::size_t i = 0; i < list.size() && result.Stop == disk::DiskResult::Ok; ++i) {
    const TWorkItem& item = list[i];
    switch (item.Kind) {
      case WorkKind::AddFile:
        if (!AddHostFile(disk, item.Path, fs, result)) result.Stop = disk.FLastError;
        break;
      case WorkKind::EnterFolder: {
        const std::string parent = disk.Directory();
        switch (EnterOrMakeFolder(disk, LastPathPart(item.Path))) {
          case FolderOutcome::Made:
            ++result.FoldersMade;
            [[fallthrough]];
          case FolderOutcome::Entered:
            entered.push_back(parent);
            break;
          case FolderOutcome::NotEnterable:
            ++result.FoldersSkipped;
            i = MatchingLeave(list, i);
            break;
          case FolderOutcome::DirFull:
            result.Stop = disk::DiskResult::DirFull;
            break;
          case FolderOutcome::DiskFull:
            result.Stop = disk::DiskResult::DiskFull;
            break;
        }
        break;
      }
      case WorkKind::LeaveFolder:
        if (!entered.empty()) {
          disk.ChangeDir(entered.back());
          entered.pop_back();
        }
        break;
    }
  }
  return result;
}

}  // namespace app::files
