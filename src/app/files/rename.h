// Renaming an entry in place: the typed text made an 8.3 name, refused when it would clash.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "disk/msx_disk.h"

namespace app::files {

enum class RenameRefusal {
  DotEntry,   // "." and ".." are never renamed
  EmptyName,  // nothing but blanks typed
  DotName,    // the result would be "." or ".."
  NameTaken,  // another entry of the directory holds the name
};

struct TRenameTarget {
  std::string ShortName;                // as GetFileName will read it
  std::array<std::uint8_t, 11> Stored;  // name and extension fields, blank padded
  std::wstring RowName;                 // the row's new name text (no extension)
};

using TRenameDecision = std::variant<TRenameTarget, RenameRefusal>;

// A typed name without a "." keeps the entry's extension; the result goes through
// MakeShortFileName. A leading 0xE5 is stored as 0x05, so the entry never reads as deleted.
// Names are compared as their 11 stored bytes (a-z folded) with every other used entry of the
// current directory, directories, labels and extension-less names included.
TRenameDecision DecideRename(disk::TMSXDisk& disk, const disk::TDirEntry& edited,
                             std::wstring_view typed);

// Renames the entry through the disk model, which writes the name and marks the image modified.
disk::DiskResult ApplyRename(disk::TMSXDisk& disk, disk::TDirEntry& entry,
                             const TRenameTarget& target);

}  // namespace app::files
