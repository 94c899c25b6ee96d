// Dragging image entries out as virtual files: the entries offered, with directories walked
// through their cluster chains, and the descriptors the shell reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/files/file_descriptor.h"
#include "disk/msx_disk.h"

namespace app::files {

struct TDragEntryRec {
  const disk::TDirEntry* Dir = nullptr;
  std::wstring FileName;  // relative to the dragged selection, safe host names joined with "\"
};

struct TDragCollection {
  std::vector<TDragEntryRec> Items;
  // Entries left out because their path would not fit a descriptor's 259 units.
  std::size_t SkippedLongPaths = 0;
};

// The selected entries in order ("." and "..", labels and unused slots are left out); each
// directory is followed by its direct children and then, depth first, by the contents of each
// child directory. Directories are read straight from their clusters (the current directory does
// not change); a chain that breaks, loops or reaches a directory already walked ends there. The
// walk needs no depth bound: every directory cluster is read once and every level lengthens the
// path, which the descriptor's limit ends.
TDragCollection CollectDragEntries(const disk::TMSXDisk& disk,
                                   std::span<const disk::TDirEntry* const> selected);

// Read-only listing of the directory whose chain starts at `cluster`: its entries up to the end
// mark, "." and ".." included; `visited` collects the clusters read, and a cluster already in it
// is not read again.
std::vector<const disk::TDirEntry*> ReadDirectoryAt(const disk::TMSXDisk& disk,
                                                    std::int32_t cluster,
                                                    std::vector<bool>& visited);

// FAT attribute bits kept for the host: read-only, hidden, system, directory, archive.
std::uint32_t FatAttrToFileAttr(std::uint8_t fatAttributes);

// A FAT date and time, read as local time, as a UTC file time (0 when it cannot be converted).
rtl::FileTime StampToUtc(disk::TDateStamp date, disk::TTimeStamp time);

// One descriptor per collected entry: attributes, the creation, access (date at midnight) and
// modification stamps, and the size.
std::vector<TFileDescriptor> DescribeDragItems(std::span<const TDragEntryRec> items);

// The bytes of the collected file at `index`; nothing for an index outside the collection, a
// directory, or a file whose chain ends before its size.
std::optional<std::vector<std::uint8_t>> DragContents(disk::TMSXDisk& disk,
                                                      const TDragCollection& collection,
                                                      std::int64_t index);

}  // namespace app::files
