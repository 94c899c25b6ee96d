// Dropped virtual files (a file-group descriptor with a contents stream per file): the checked
// plan and adding it to the image.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/files/file_descriptor.h"
#include "app/files/process_work_list.h"
#include "disk/msx_disk.h"
#include "rtl/stream.h"

namespace app::files {

struct TVirtualItem {
  std::size_t Index = 0;  // "FileContents" index of a file
  bool IsFolder = false;
  std::vector<std::wstring> Folders;  // folder parts of the path, outermost first
  std::wstring Name;                  // last part of the path
  std::optional<std::uint64_t> Size;  // nothing: the stream's whole contents
  std::optional<rtl::FileTime> WriteTime;
  friend bool operator==(const TVirtualItem&, const TVirtualItem&) = default;
};

// The descriptors that can be added: a path is split at "\" and "/", empty and "." parts are
// dropped; a path with a ".." part, with no name left, or nested deeper than kMaxFolderDepth is
// left out. The directory bit and the size and write time count only when their flags say so:
// a write time the source did not fill in is no time, and a file added with it would carry a
// made-up date (the added file keeps the time the disk model gave it instead).
std::vector<TVirtualItem> PlanVirtualDrop(std::span<const TIndexedDescriptor> descriptors);

// A file's contents from its stream: exactly the declared size when there is one (a stream that
// delivers less gives nothing), else everything up to the end. Nothing when more than `capacity`
// bytes would be needed; a declared size over the capacity is refused without reading.
std::optional<std::vector<std::uint8_t>> ReadDropContents(rtl::TStream& stream,
                                                          std::optional<std::uint64_t> declared,
                                                          std::uint64_t capacity);

// The contents stream of the file with that index, or null when the source gives none.
using TContentsSource = std::function<std::unique_ptr<rtl::TStream>(std::size_t index)>;

// Makes the folders and adds the files below the current directory, which is the current one
// again at the end. Folders are found or made by their 8.3 names, as host drops are; a file that
// does not fit, whose stream is missing or short, or that is named like a directory (or shortens
// to "." or "..") is skipped.
TWorkResult ProcessVirtualDrop(disk::TMSXDisk& disk, std::span<const TVirtualItem> items,
                               const TContentsSource& contents);

}  // namespace app::files
