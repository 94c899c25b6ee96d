// Collecting dragged entries and describing them for the shell.
#include "app/files/drag_out.h"

#include "rtl/clock.h"

namespace app::files {

namespace {

constexpr std::int32_t kEntrySize = 32;

// Entries a drag offers: used, not deleted, no label or long-name slot, not "." or "..".
bool IsOffered(const disk::TDirEntry& entry) {
  return entry.IsUsed() && !entry.IsDeleted() && (entry.Attr & disk::faVolumeID) == 0 &&
         !disk::IsDotName(entry.GetFileName());
}

class TCollector {
 public:
  explicit TCollector(const disk::TMSXDisk& disk)
      : disk_(disk), visited_(static_cast<std::size_t>(std::max(disk.FClusterCount, 0)), false) {}

  void AddSelected(const disk::TDirEntry& entry) {
    const std::wstring name = disk::TMSXDisk::HostSafeName(entry);
    if (!Offer(entry, name) || !entry.IsDirectory()) return;
    CollectEntries(entry, name);
  }

  TDragCollection Finish() { return std::move(collection_); }

 private:
  bool Offer(const disk::TDirEntry& entry, const std::wstring& path) {
    if (path.size() > kMaxDescriptorPath) {
      ++collection_.SkippedLongPaths;
      return false;
    }
    collection_.Items.push_back({&entry, path});
    return true;
  }

  void CollectEntries(const disk::TDirEntry& directory, const std::wstring& path) {
    std::vector<std::pair<const disk::TDirEntry*, std::wstring>> subdirectories;
    for (const disk::TDirEntry* child : ReadDirectoryAt(disk_, directory.ClusterLow, visited_)) {
      if (!IsOffered(*child)) continue;
      const std::wstring childPath = path + L"\\" + disk::TMSXDisk::HostSafeName(*child);
      if (Offer(*child, childPath) && child->IsDirectory()) {
        subdirectories.emplace_back(child, childPath);
      }
    }
    for (const auto& [child, childPath] : subdirectories) {
      CollectEntries(*child, childPath);
    }
  }

  const disk::TMSXDisk& disk_;
  std::vector<bool> visited_;
  TDragCollection collection_;
};

}  // namespace

std::vector<const disk::TDirEntry*> ReadDirectoryAt(const disk::TMSXDisk& disk,
                                                    std::int32_t cluster,
                                                    std::vector<bool>& visited) {
  std::vector<const disk::TDirEntry*> entries;
  const auto buffer = disk.Buffer();
  for (const std::int32_t link : disk.WalkChain(cluster).Clusters) {
    const auto index = static_cast<std::size_t>(link);
    const std::int32_t offset = disk.ClusterToOffset(link);
    if (index >= visited.size() || visited[index] || offset < 0) break;
    visited[index] = true;
    for (std::int32_t slot = 0; slot < disk.FClusterSize / kEntrySize; ++slot) {
      const auto* entry =
          reinterpret_cast<const disk::TDirEntry*>(buffer.data() + offset + slot * kEntrySize);
      if (!entry->IsUsed()) return entries;
      entries.push_back(entry);
    }
  }
  return entries;
}

TDragCollection CollectDragEntries(const disk::TMSXDisk& disk,
                                   std::span<const disk::TDirEntry* const> selected) {
  TCollector collector(disk);
  for (const disk::TDirEntry* entry : selected) {
    if (entry && IsOffered(*entry)) collector.AddSelected(*entry);
  }
  return collector.Finish();
}

std::uint32_t FatAttrToFileAttr(std::uint8_t fatAttributes) {
  return fatAttributes & (disk::faReadOnly | disk::faHidden | disk::faSysFile | disk::faDirectory |
                          disk::faArchive);
}

// A descriptor's times are universal times, which the receiving shell shows in local time; the
// entry's stamp is the time of day the disk shows (as an MSX or an extraction reads it), so it is
// taken as local time and converted, and the copy arrives showing the entry's own time.
rtl::FileTime StampToUtc(disk::TDateStamp date, disk::TTimeStamp time) {
  const rtl::TDateTime local{date.GetYear(),
                             date.GetMonth(),
                             date.GetDay(),
                             time.GetHour(),
                             time.GetMinute(),
                             time.GetSecond(),
                             0};
  return rtl::Clock().LocalToUtc(local).value_or(0);
}

std::vector<TFileDescriptor> DescribeDragItems(std::span<const TDragEntryRec> items) {
  std::vector<TFileDescriptor> descriptors;
  descriptors.reserve(items.size());
  for (const TDragEntryRec& item : items) {
    const disk::TDirEntry& entry = *item.Dir;
    TFileDescriptor descriptor;
    descriptor.Attributes = FatAttrToFileAttr(entry.Attr);
    descriptor.CreationTime = StampToUtc(entry.CreateDate, entry.CreateTime);
    descriptor.LastAccessTime = StampToUtc(entry.AccessDate, disk::ZeroTimeStamp());
    descriptor.LastWriteTime = StampToUtc(entry.ModifyDate, entry.ModifyTime);
    // A folder has no size: a damaged directory entry's size field would otherwise reach the shell.
    descriptor.Size = entry.IsDirectory() ? 0 : entry.Size;
    descriptor.Name = item.FileName;
    descriptors.push_back(std::move(descriptor));
  }
  return descriptors;
}

std::optional<std::vector<std::uint8_t>> DragContents(disk::TMSXDisk& disk,
                                                      const TDragCollection& collection,
                                                      std::int64_t index) {
  if (index < 0 || static_cast<std::uint64_t>(index) >= collection.Items.size()) {
    return std::nullopt;
  }
  const disk::TDirEntry* entry = collection.Items[static_cast<std::size_t>(index)].Dir;
  if (entry->IsDirectory()) return std::nullopt;
  rtl::TMemoryStream stream;
  if (!disk.ExtractToStream(stream, entry)) return std::nullopt;
  return stream.TakeBytes();
}

}  // namespace app::files
