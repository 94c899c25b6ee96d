// Entering image directories by host folder names: the name is made an 8.3 name once and that
// same name is used to find, make and enter the directory.
#pragma once

#include <string>
#include <string_view>

#include "disk/msx_disk.h"

namespace app::files {

enum class FolderOutcome {
  Entered,       // an existing directory of that name is now the current directory
  Made,          // a new directory was made and entered
  NotEnterable,  // the name is held by a file or label, or the directory cannot be entered
  DirFull,       // no slot for a new directory
  DiskFull,      // no cluster for a new directory
};

// Makes (when missing) and enters the directory `hostName` names, as MakeShortFileName shortens
// it. On anything but Entered or Made the current directory is unchanged.
FolderOutcome EnterOrMakeFolder(disk::TMSXDisk& disk, std::wstring_view hostName);

// The current directory's used entry that holds `shortName` (stored name as GetFileName reads
// it), or null.
disk::PDirEntry FindEntry(disk::TMSXDisk& disk, std::string_view shortName);

}  // namespace app::files
