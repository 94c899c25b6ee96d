// TMSXDisk: adding, deleting and extracting files. Every change is checked first and then
// committed, so a refused or failed operation leaves the image as it was.
#include <algorithm>
#include <cstring>
#include <string>
#include <type_traits>

#include "disk/msx_disk.h"
#include "rtl/file_stream.h"

namespace disk {

namespace {

std::size_t ClustersFor(std::size_t bytes, std::int32_t clusterSize) {
  const auto size = static_cast<std::size_t>(clusterSize);
  return (bytes + size - 1) / size;
}

// A host file's name as UTF-16/UTF-32 text. Windows paths are wide already; elsewhere the bytes are
// decoded as UTF-8 explicitly (the implicit conversion goes through the C locale and throws for
// anything outside ASCII), an invalid byte becoming U+FFFD.
std::wstring WideFileName(const std::filesystem::path& path) {
  if constexpr (std::is_same_v<std::filesystem::path::value_type, wchar_t>) {
    return path.filename().wstring();
  } else {
    const std::u8string bytes = path.filename().u8string();
    std::wstring wide;
    for (std::size_t i = 0; i < bytes.size();) {
      const auto lead = static_cast<std::uint32_t>(bytes[i]);
      const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
      std::uint32_t c = length == 1 ? lead : lead & (0x7Fu >> length);
      bool valid = lead < 0x80 || (lead >= 0xC2 && lead <= 0xF4 && i + length <= bytes.size());
      for (std::size_t k = 1; valid && k < length; ++k) {
        const auto next = static_cast<std::uint32_t>(bytes[i + k]);
        valid = (next & 0xC0) == 0x80;
        c = c << 6 | (next & 0x3F);
      }
      if (!valid || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        wide += L'\uFFFD';
        ++i;
        continue;
      }
      wide += static_cast<wchar_t>(c);
      i += length;
    }
    return wide;
  }
}

}  // namespace

PDirEntry TMSXDisk::Add(std::wstring_view AFileName, rtl::TStream& AStream) {
  const std::string name = MakeShortFileName(AFileName);
  const std::wstring_view last = AFileName.substr(AFileName.find_last_of(L"\\:/") + 1);
  const bool blank = std::all_of(last.begin(), last.end(), [](wchar_t c) { return c <= L' '; });
  if (blank || IsDotName(name)) {
    FLastError = DiskResult::NameExists;
    return nullptr;
  }

  // Check: an existing file is replaced in place; directories and labels are never touched.
  PDirEntry existing = Lookup(name);
  if (existing && (existing->Attr & (faDirectory | faVolumeID)) != 0) {
    FLastError = DiskResult::NameExists;
    return nullptr;
  }
  TSlotPlan plan;
  std::vector<std::int32_t> oldChain;
  if (existing) {
    oldChain = WalkChain(existing->ClusterLow).Clusters;
  } else {
    plan = PlanNewSlot();
    if (plan.Result != DiskResult::Ok) {
      FLastError = plan.Result;
      return nullptr;
    }
  }
  const std::int32_t growth = !existing && plan.Index < 0 ? FindFreeCluster(2) : -1;
  const std::int64_t capacity =
      (static_cast<std::int64_t>(CountFreeClusters()) + static_cast<std::int64_t>(oldChain.size()) -
       (growth >= 0 ? 1 : 0)) *
      FClusterSize;

  // Stage: one byte more than fits tells a file that is too large; a throwing read changes nothing.
  const std::int64_t available = std::max<std::int64_t>(0, AStream.Size() - AStream.Position());
  std::vector<std::uint8_t> data(static_cast<std::size_t>(std::min(available, capacity + 1)));
  data.resize(AStream.ReadFully(data));

  const std::size_t needed = ClustersFor(data.size(), FClusterSize);
  const std::vector<std::int32_t> clusters = PickClusters(needed, oldChain, growth);
  if (clusters.size() < needed) {
    FLastError = DiskResult::DiskFull;
    return nullptr;
  }

  // Commit.
  PDirEntry entry = existing;
  if (existing) {
    FreeClusterChain(existing->ClusterLow);
    // Stamped now, as a new entry is: a zero date word (month and day 0) is no valid date.
    existing->SetDateTime(rtl::Clock().Now());
  } else {
    entry = TakeSlot(plan);
    entry->SetFileName(name);
  }
  for (std::size_t i = 0; i < clusters.size(); ++i) {
    const std::size_t offset = i * static_cast<std::size_t>(FClusterSize);
    const std::size_t chunk =
        std::min(data.size() - offset, static_cast<std::size_t>(FClusterSize));
    std::memcpy(GetDataPointer(clusters[i]), data.data() + offset, chunk);
  }
  WriteChain(clusters);
  entry->SetCluster(clusters.empty() ? 0 : clusters.front());
  entry->Size = static_cast<std::uint32_t>(data.size());
  // An empty file writes no FAT entry, yet the directory changed.
  FModified = true;
  FLastError = DiskResult::Ok;
  return entry;
}

bool TMSXDisk::Add(const std::filesystem::path& AFileName) {
  rtl::TFileStream stream(AFileName, rtl::FileMode::OpenRead);
  const rtl::FileTime lastWrite = stream.GetLastWriteTime();
  if (PDirEntry entry = Add(WideFileName(AFileName), stream)) entry->SetFileTime(lastWrite);
  return FLastError == DiskResult::Ok;
}

std::int32_t TMSXDisk::Add(std::span<const std::filesystem::path> AList) {
  FLastError = DiskResult::Ok;
  std::int32_t added = 0;
  for (const auto& name : AList) {
    if (FLastError != DiskResult::Ok) break;
    if (Add(name)) ++added;
  }
  return added;
}

DiskResult TMSXDisk::Delete(std::string_view FileName) {
  const std::int32_t index = IndexOf(FileName);
  if (index < 0) return DiskResult::FileNotFound;
  return Delete(GetDirEntry(index));
}

DiskResult TMSXDisk::Delete(PDirEntry DirEntry) {
  // Only a live entry of the current directory is deleted: a pointer elsewhere, a deleted slot
  // or a long-name slot has no chain of its own to free.
  const std::int32_t index = IndexOfEntry(DirEntry);
  if (index < 0 || !DirEntry->IsUsed() || DirEntry->IsDeleted() || DirEntry->Attr == faLongName) {
    return DiskResult::FileNotFound;
  }
  const std::string name = DirEntry->GetFileName();
  // "." and ".." are this directory and its parent: freeing their chain would free a directory
  // that is still listed.
  if (IsDotName(name)) return DiskResult::DirNotEmpty;
  if (DirEntry->IsDirectory()) {
    if (CountDirectoryEntries(*DirEntry) > 0) return DiskResult::DirNotEmpty;
  } else {
    // Deleting a file or a label leaves "directory not found" behind; callers may rely on it.
    FLastError = DiskResult::DirNotFound;
  }
  FreeClusterChain(DirEntry->ClusterLow);
  DirEntry->Name[0] = kDeletedMark;
  DropLongNameSlots(index);
  return DiskResult::Ok;
}

void TMSXDisk::DropLongNameSlots(std::int32_t index) {
  for (std::int32_t i = index - 1; i >= 0; --i) {
    PDirEntry slot = GetDirEntry(i);
    if (!slot || slot->Attr != faLongName || !slot->IsUsed() || slot->IsDeleted()) break;
    slot->Name[0] = kDeletedMark;
  }
}

bool TMSXDisk::ExtractToStream(rtl::TStream& AStream, const TDirEntry* DirEntry) {
  if (!DirEntry) return false;
  std::uint32_t remaining = DirEntry->Size;
  if (remaining == 0) return true;
  for (const std::int32_t cluster : WalkChain(DirEntry->ClusterLow).Clusters) {
    const std::uint8_t* bytes = GetDataPointer(cluster);
    if (!bytes) break;
    const auto chunk = std::min(remaining, static_cast<std::uint32_t>(FClusterSize));
    AStream.WriteBuffer({bytes, chunk});
    remaining -= chunk;
    if (remaining == 0) break;
  }
  return remaining == 0;
}

// By name as by entry, clusters are stepped by the image's own cluster size. Stepping by the boot
// sector's bytes per sector and sectors per cluster instead would read another file's bytes
// whenever those disagree with the media byte, which alone decides where this model (as MSX-DOS)
// puts the clusters of every file it writes.
bool TMSXDisk::ExtractToStream(rtl::TStream& AStream, std::string_view FileName) {
  return ExtractToStream(AStream, Lookup(UpperCase(LastComponent(FileName))));
}

std::optional<std::vector<std::uint8_t>> TMSXDisk::ExtractToMem(std::string_view FileName) {
  rtl::TMemoryStream memory;
  if (!ExtractToStream(memory, FileName)) return std::nullopt;
  return memory.TakeBytes();
}

bool TMSXDisk::ExtractToFile(const std::filesystem::path& ADestName, const TDirEntry* DirEntry) {
  rtl::TMemoryStream memory;
  if (!ExtractToStream(memory, DirEntry)) return false;
  // Stamps are local time; the host wants UTC.
  const std::optional<rtl::FileTime> time = rtl::Clock().LocalToUtc(DirEntry->GetDateTime());
  rtl::WriteFileAtomically(ADestName, memory.Bytes(), time ? &*time : nullptr);
  return true;
}

bool TMSXDisk::ExtractToFile(const std::filesystem::path& ADestName, std::string_view AFileName) {
  const TDirEntry* entry = Lookup(UpperCase(LastComponent(AFileName)));
  return entry && ExtractToFile(ADestName, entry);
}

}  // namespace disk
