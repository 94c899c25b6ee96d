// Carrying out a work list on the open image.
#pragma once

#include <cstdint>

#include "app/files/host_fs.h"
#include "app/files/work_list.h"
#include "disk/msx_disk.h"

namespace app::files {

struct TWorkResult {
  std::int32_t FilesAdded = 0;
  // Unreadable, refused, named like a directory or label, or shortened to "." or "..".
  std::int32_t FilesSkipped = 0;
  std::int32_t FoldersMade = 0;
  std::int32_t FoldersSkipped = 0;  // held by a file, or not enterable: their lines are passed over
  // Ok when the list ran to its end; DirFull or DiskFull when the run stopped there.
  disk::DiskResult Stop = disk::DiskResult::Ok;
};

// Adds the files and makes and enters the folders, one line at a time. A file replaces a file of
// the same 8.3 name; an existing directory of a folder's 8.3 name is entered, never duplicated.
// The run stops when the directory is full, or when the disk is full and no free byte is left.
// Host failures skip the file. Only the folders' own LeaveFolder lines change the directory back:
// a run to the end finishes where it started, a run that stops stays in the folder it stopped in.
TWorkResult ProcessWorkList(disk::TMSXDisk& disk, const TWorkList& list, const IHostFs& fs);

}  // namespace app::files
