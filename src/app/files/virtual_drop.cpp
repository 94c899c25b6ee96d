// Planning and adding dropped virtual files.
#include "app/files/virtual_drop.h"

#include <algorithm>

#include "app/files/disk_folders.h"
#include "app/files/work_list.h"
#include "rtl/exceptions.h"

namespace app::files {

namespace {

std::vector<std::wstring> SplitPath(std::wstring_view path) {
  std::vector<std::wstring> parts;
  while (!path.empty()) {
    const std::size_t cut = path.find_first_of(L"\\/");
    const std::wstring_view part = path.substr(0, cut);
    if (!part.empty() && part != L".") parts.emplace_back(part);
    if (cut == std::wstring_view::npos) break;
    path.remove_prefix(cut + 1);
  }
  return parts;
}

// Enters the folders one by one below the current directory; false when one cannot be entered.
bool EnterFolders(disk::TMSXDisk& disk, std::span<const std::wstring> folders,
                  TWorkResult& result) {
  for (const std::wstring& folder : folders) {
    const FolderOutcome outcome = EnterOrMakeFolder(disk, folder);
    if (outcome == FolderOutcome::Made) ++result.FoldersMade;
    if (outcome != FolderOutcome::Made && outcome != FolderOutcome::Entered) return false;
  }
  return true;
}

bool AddVirtualFile(disk::TMSXDisk& disk, const TVirtualItem& item,
                    const TContentsSource& contents) {
  const std::string shortName = disk::TMSXDisk::MakeShortFileName(item.Name);
  if (disk::IsDotName(shortName)) return false;
  const disk::PDirEntry existing = FindEntry(disk, shortName);
  std::uint64_t capacity = static_cast<std::uint64_t>(std::max(disk.DiskFree(), 0));
  if (existing) {
    if ((existing->Attr & (disk::faDirectory | disk::faVolumeID)) != 0) return false;
    capacity += static_cast<std::uint64_t>(disk.GetChainSize(existing->ClusterLow));
  }
  if (item.Size && *item.Size > capacity) return false;
  try {
    const std::unique_ptr<rtl::TStream> stream = contents(item.Index);
    if (!stream) return false;
    std::optional<std::vector<std::uint8_t>> bytes = ReadDropContents(*stream, item.Size, capacity);
    if (!bytes) return false;
    rtl::TMemoryStream staged(std::move(*bytes));
    const disk::PDirEntry added = disk.Add(item.Name, staged);
    if (added && item.WriteTime) added->SetFileTime(*item.WriteTime);
    return added != nullptr;
  } catch (const rtl::Exception&) {
    return false;
  }
}

}  // namespace

std::vector<TVirtualItem> PlanVirtualDrop(std::span<const TIndexedDescriptor> descriptors) {
  std::vector<TVirtualItem> items;
  for (const TIndexedDescriptor& indexed : descriptors) {
    const TFileDescriptor& descriptor = indexed.Descriptor;
    std::vector<std::wstring> parts = SplitPath(descriptor.Name);
    const bool climbs = std::find(parts.begin(), parts.end(), L"..") != parts.end();
    if (parts.empty() || climbs || parts.size() > static_cast<std::size_t>(kMaxFolderDepth)) {
      continue;
    }
    TVirtualItem item;
    item.Index = indexed.Index;
    item.IsFolder =
        (descriptor.Flags & kFdAttributes) != 0 && (descriptor.Attributes & kHostDirectory) != 0;
    item.Name = std::move(parts.back());
    parts.pop_back();
    item.Folders = std::move(parts);
    if (descriptor.Flags & kFdFileSize) item.Size = descriptor.Size;
    if (descriptor.Flags & kFdWriteTime) item.WriteTime = descriptor.LastWriteTime;
    items.push_back(std::move(item));
  }
  return items;
}

std::optional<std::vector<std::uint8_t>> ReadDropContents(rtl::TStream& stream,
                                                          std::optional<std::uint64_t> declared,
                                                          std::uint64_t capacity) {
  if (declared && *declared > capacity) return std::nullopt;
  // One byte more than the capacity tells a stream that is too long.
  const std::uint64_t wanted = declared ? *declared : capacity + 1;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(wanted));
  bytes.resize(stream.ReadFully(bytes));
  if (declared ? bytes.size() != *declared : bytes.size() > capacity) return std::nullopt;
  return bytes;
}

TWorkResult ProcessVirtualDrop(disk::TMSXDisk& disk, std::span<const TVirtualItem> items,
                               const TContentsSource& contents) {
  TWorkResult result;
  const std::string start = disk.Directory();
  for (const TVirtualItem& item : items) {
    if (!EnterFolders(disk, item.Folders, result)) {
      ++(item.IsFolder ? result.FoldersSkipped : result.FilesSkipped);
    } else if (item.IsFolder) {
      const FolderOutcome outcome = EnterOrMakeFolder(disk, item.Name);
      if (outcome == FolderOutcome::Made) ++result.FoldersMade;
      if (outcome != FolderOutcome::Made && outcome != FolderOutcome::Entered) {
        ++result.FoldersSkipped;
      }
    } else if (AddVirtualFile(disk, item, contents)) {
      ++result.FilesAdded;
    } else {
      ++result.FilesSkipped;
    }
    disk.ChangeDir(start);
  }
  return result;
}

}  // namespace app::files
