// FAT12 file systems from host folders, and the layout and module tables.
#include "hfe/fs_image.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <set>
#include <string>
#include <system_error>

#include "disk/msx_disk.h"
#include "disk/records.h"
#include "hfe/allocation_guard.h"
#include "hfe/raw_image.h"
#include "rtl/clock.h"
#include "rtl/exceptions.h"
#include "rtl/file_stream.h"

namespace hfe {

namespace fs = std::filesystem;

namespace {

constexpr TrackFormat kMfm = TrackFormat::IsoIbmMfm;
constexpr TrackFormat kCompactMfm = static_cast<TrackFormat>(5);
constexpr TrackFormat kAmigaMfm = static_cast<TrackFormat>(6);

constexpr std::array<TFsLayout, 6> kLayouts = {{
    {"fatst", "720KB DSDD 3.5\" FAT12 (80 tracks, 2 sides, 9 sectors)", 80, 2, 9, 512, 2, 112, 3,
     0xF9, kMfm, 250000, 300, 1, kFat12Module},
    {"fatst360", "360KB SSDD 3.5\" FAT12 (80 tracks, 1 side, 9 sectors)", 80, 1, 9, 512, 2, 112, 2,
     0xF8, kMfm, 250000, 300, 1, kFat12Module},
    {"fatst902", "902KB DSDD 3.5\" FAT12 (82 tracks, 2 sides, 11 sectors)", 82, 2, 11, 512, 2, 112,
     3, 0xF9, kCompactMfm, 250000, 300, 1, kFat12Module},
    {"fat160a", "160KB SSDD 5.25\" FAT12 (40 tracks, 1 side, 8 sectors)", 40, 1, 8, 512, 1, 64, 1,
     0xFE, kMfm, 250000, 300, 1, kFat12Module},
    {"fat360a", "360KB DSDD 5.25\" FAT12 (40 tracks, 2 sides, 9 sectors)", 40, 2, 9, 512, 2, 112, 2,
     0xFD, kMfm, 250000, 300, 1, kFat12Module},
    {"amigados", "880KB DSDD 3.5\" Amiga (80 tracks, 2 sides, 11 sectors)", 80, 2, 11, 512, 0, 0, 0,
     0, kAmigaMfm, 250000, 300, 1, kAmigaModule},
}};

// File-system modules; only the FAT12 one is built into this library.
struct TFsModule {
  std::string_view name;
  bool built;
};
constexpr std::array<TFsModule, 2> kModules = {{{kFat12Module, true}, {kAmigaModule, false}}};

constexpr std::size_t kEntryBytes = 32;

std::string NameOf(const fs::path& path) {
  return LogName(path.u8string());
}

// A host name as 16-bit text; bytes that are not UTF-8 pass one by one.
std::wstring WideName(const fs::path& name) {
  try {
    return name.wstring();
  } catch (const std::exception&) {
    const std::string bytes = name.string();
    return {bytes.begin(), bytes.end()};
  }
}

struct THostEntry {
  fs::path path;
  bool folder = false;
};

class TFat12Writer {
 public:
  TFat12Writer(const TLibContext& context, const TFsLayout& layout,
               std::vector<std::uint8_t>& image)
      : context_(context), layout_(layout), image_(image) {}

  int Build(const fs::path& folder) {
    const auto total =
        static_cast<std::size_t>(layout_.tracks * layout_.sides * layout_.sectorsPerTrack);
    const auto sector = static_cast<std::size_t>(layout_.sectorSize);
    image_.assign(total * sector, 0);
    clusterBytes_ = sector * static_cast<std::size_t>(layout_.sectorsPerCluster);
    fatOffset_ = sector;
    rootOffset_ = fatOffset_ + 2 * static_cast<std::size_t>(layout_.sectorsPerFat) * sector;
    dataOffset_ =
        rootOffset_ + (static_cast<std::size_t>(layout_.rootEntries) * kEntryBytes + sector - 1) /
                          sector * sector;
    if (dataOffset_ >= image_.size()) return kBadParameter;
    // Clusters the data area holds, and no more than the FAT can name (12 bits per entry).
    const auto fatEntries = static_cast<std::int32_t>(std::min<std::size_t>(
        static_cast<std::size_t>(layout_.sectorsPerFat) * sector * 2 / 3, 4086));
    clusterLimit_ = std::min(
        static_cast<std::int32_t>((image_.size() - dataOffset_) / clusterBytes_) + 2, fatEntries);
    WriteBootSector();
    SetFat(0, 0xF00 | layout_.media);
    SetFat(1, 0xFFF);
    now_ = rtl::Clock().Now();

    std::vector<THostEntry> children;
    int result = ListFolder(folder, children);
    if (result != kOk) return result;
    std::vector<std::size_t> rootSlots;
    for (std::int32_t i = 0; i < layout_.rootEntries; ++i)
      rootSlots.push_back(rootOffset_ + static_cast<std::size_t>(i) * kEntryBytes);
    result = FillFolder(children, rootSlots, 0, 0);
    if (result == kOk) CopyFat();
    return result;
  }

 private:
  void Put16(std::size_t offset, std::uint32_t value) {
    image_[offset] = static_cast<std::uint8_t>(value);
    image_[offset + 1] = static_cast<std::uint8_t>(value >> 8);
  }

  void WriteBootSector() {
    const std::uint8_t jump[] = {0xEB, 0xFE, 0x90};
    std::memcpy(image_.data(), jump, sizeof jump);
    std::memcpy(image_.data() + 3, "QUOLLBOX", 8);
    Put16(11, static_cast<std::uint32_t>(layout_.sectorSize));
    image_[13] = static_cast<std::uint8_t>(layout_.sectorsPerCluster);
    Put16(14, 1);
    image_[16] = 2;
    Put16(17, static_cast<std::uint32_t>(layout_.rootEntries));
    Put16(19,
          static_cast<std::uint32_t>(image_.size() / static_cast<std::size_t>(layout_.sectorSize)));
    image_[21] = layout_.media;
    Put16(22, static_cast<std::uint32_t>(layout_.sectorsPerFat));
    Put16(24, static_cast<std::uint32_t>(layout_.sectorsPerTrack));
    Put16(26, static_cast<std::uint32_t>(layout_.sides));
    // Extended boot record: volume serial 0, no label, the file-system type.
    image_[38] = 0x29;
    std::memcpy(image_.data() + 43, "NO NAME    FAT12   ", 19);
    image_[510] = 0x55;
    image_[511] = 0xAA;
  }

  void SetFat(std::int32_t cluster, std::uint32_t value) {
    const std::size_t offset = fatOffset_ + static_cast<std::size_t>(cluster) * 3 / 2;
    if (cluster & 1) {
      image_[offset] = static_cast<std::uint8_t>((image_[offset] & 0x0F) | (value << 4 & 0xF0));
      image_[offset + 1] = static_cast<std::uint8_t>(value >> 4);
    } else {
      image_[offset] = static_cast<std::uint8_t>(value);
      image_[offset + 1] =
          static_cast<std::uint8_t>((image_[offset + 1] & 0xF0) | (value >> 8 & 0x0F));
    }
  }

  void CopyFat() {
    const auto fatBytes = static_cast<std::size_t>(layout_.sectorsPerFat * layout_.sectorSize);
    std::copy_n(image_.begin() + static_cast<std::ptrdiff_t>(fatOffset_), fatBytes,
                image_.begin() + static_cast<std::ptrdiff_t>(fatOffset_ + fatBytes));
  }

  std::size_t ClusterOffset(std::int32_t cluster) const {
    return dataOffset_ + static_cast<std::size_t>(cluster - 2) * clusterBytes_;
  }

  // A chain of clusters for `bytes` bytes (none for 0); the first cluster, or -1 when full.
  std::int32_t Allocate(std::size_t bytes) {
    const auto count = static_cast<std::int32_t>((bytes + clusterBytes_ - 1) / clusterBytes_);
    if (count == 0) return 0;
    if (count > clusterLimit_ - nextCluster_) return -1;
    const std::int32_t first = nextCluster_;
    for (std::int32_t i = 0; i < count; ++i)
      SetFat(first + i, i + 1 < count ? static_cast<std::uint32_t>(first + i + 1) : 0xFFF);
    nextCluster_ += count;
    return first;
  }

  int ListFolder(const fs::path& folder, std::vector<THostEntry>& children) {
    std::error_code error;
    fs::directory_iterator it(folder, error);
    if (error) {
      context_.Log(kLogError, "Cannot open %s !", NameOf(folder).c_str());
      return kIoError;
    }
    for (; it != fs::directory_iterator(); it.increment(error)) {
      if (error) break;
      const fs::file_status status = it->symlink_status(error);
      if (error) break;
      if (fs::is_directory(status) || fs::is_regular_file(status))
        children.push_back({it->path(), fs::is_directory(status)});
    }
    if (error) {
      context_.Log(kLogError, "Cannot open %s !", NameOf(folder).c_str());
      return kIoError;
    }
    std::sort(children.begin(), children.end(),
              [](const THostEntry& a, const THostEntry& b) { return a.path < b.path; });
    return kOk;
  }

  // The 8.3 name of a host name, made unique among `used` with a "~N" tail.
  static std::string UniqueName(const fs::path& path, std::set<std::string>& used) {
    std::string name = disk::TMSXDisk::MakeShortFileName(WideName(path.filename()));
    // A blank would end the name for other systems.
    std::replace(name.begin(), name.end(), ' ', '_');
    if (used.insert(name).second) return name;
    const std::size_t dot = name.find('.');
    const std::string base = name.substr(0, dot);
    const std::string ext = dot == std::string::npos ? std::string() : name.substr(dot);
    for (int n = 1; n < 1000; ++n) {
      // Appended piece by piece: GCC's -Wrestrict misreads concatenated temporaries at -O3.
      std::string tail(1, '~');
      tail.append(std::to_string(n));
      std::string candidate(base, 0, 8 - tail.size());
      candidate.append(tail).append(ext);
      if (used.insert(candidate).second) return candidate;
    }
    return {};
  }

  disk::TDirEntry& EntryAt(std::size_t offset) {
    return *reinterpret_cast<disk::TDirEntry*>(image_.data() + offset);
  }

  void StampFolder(disk::TDirEntry& entry, std::string_view name, std::int32_t cluster) {
    entry.Init(false);
    entry.SetFileName(name);
    entry.Attr = disk::faDirectory;
    entry.SetCluster(cluster);
    entry.SetDateTime(now_);
  }

  int TooMuch(const fs::path& path, const char* what) {
    context_.Log(kLogError, "Create file system : %s does not fit (%s)", NameOf(path).c_str(),
                 what);
    return kLimitReached;
  }

  int AddFile(const fs::path& path, disk::TDirEntry& entry) {
    std::vector<std::uint8_t> bytes;
    rtl::FileTime time = 0;
    const std::size_t room = static_cast<std::size_t>(clusterLimit_ - nextCluster_) * clusterBytes_;
    try {
      rtl::TFileStream stream(path, rtl::FileMode::OpenRead);
      const std::int64_t size = stream.Size();
      if (size < 0 || static_cast<std::uint64_t>(size) > room) return TooMuch(path, "data area");
      bytes.resize(static_cast<std::size_t>(size));
      bytes.resize(stream.ReadFully(bytes));
      time = stream.GetLastWriteTime();
    } catch (const rtl::EStreamError&) {
      context_.Log(kLogError, "Cannot open %s !", NameOf(path).c_str());
      return kIoError;
    }
    const std::int32_t first = Allocate(bytes.size());
    if (first < 0) return TooMuch(path, "data area");
    if (!bytes.empty())
      std::copy(bytes.begin(), bytes.end(),
                image_.begin() + static_cast<std::ptrdiff_t>(ClusterOffset(first)));
    entry.Attr = disk::faArchive;
    entry.SetCluster(first);
    entry.Size = static_cast<std::uint32_t>(bytes.size());
    entry.SetFileTime(time);
    return kOk;
  }

  int FillFolder(const std::vector<THostEntry>& children, const std::vector<std::size_t>& slots,
                 std::size_t firstSlot, int depth) {
    if (children.size() > slots.size() - firstSlot)
      return TooMuch(children.front().path.parent_path(), "directory");
    std::set<std::string> used;
    for (std::size_t i = 0; i < children.size(); ++i) {
      const THostEntry& child = children[i];
      const std::string name = UniqueName(child.path, used);
      if (name.empty()) return TooMuch(child.path, "names");
      const std::size_t slot = slots[firstSlot + i];
      EntryAt(slot).Init(false);
      EntryAt(slot).SetFileName(name);
      const int result = child.folder ? AddFolder(child.path, slot, depth + 1)
                                      : AddFile(child.path, EntryAt(slot));
      if (result != kOk) return result;
    }
    return kOk;
  }

  int AddFolder(const fs::path& path, std::size_t entrySlot, int depth) {
    if (depth > kMaxFolderDepth) return TooMuch(path, "folder depth");
    std::vector<THostEntry> children;
    int result = ListFolder(path, children);
    if (result != kOk) return result;
    const std::size_t bytes = (children.size() + 2) * kEntryBytes;
    const std::int32_t first = Allocate(bytes);
    if (first < 0) return TooMuch(path, "data area");
    const std::string name = EntryAt(entrySlot).GetFileName();
    const std::int32_t parent = parentCluster_;
    StampFolder(EntryAt(entrySlot), name, first);
    // The chain is contiguous: its slots follow each other.
    const std::size_t clusters = (bytes + clusterBytes_ - 1) / clusterBytes_;
    std::vector<std::size_t> slots;
    for (std::size_t i = 0; i < clusters * clusterBytes_ / kEntryBytes; ++i)
      slots.push_back(ClusterOffset(first) + i * kEntryBytes);
    StampFolder(EntryAt(slots[0]), ".", first);
    StampFolder(EntryAt(slots[1]), "..", parent);
    parentCluster_ = first;
    result = FillFolder(children, slots, 2, depth);
    parentCluster_ = parent;
    return result;
  }

  const TLibContext& context_;
  const TFsLayout& layout_;
  std::vector<std::uint8_t>& image_;
  std::size_t clusterBytes_ = 0;
  std::size_t fatOffset_ = 0, rootOffset_ = 0, dataOffset_ = 0;
  std::int32_t clusterLimit_ = 0;  // one past the last cluster
  std::int32_t nextCluster_ = 2;
  std::int32_t parentCluster_ = 0;  // 0: the root
  rtl::TDateTime now_;
};

}  // namespace

int trk_getFsLayoutCount() {
  return static_cast<int>(kLayouts.size());
}

const TFsLayout* trk_getFsLayout(int id) {
  if (id < 0 || static_cast<std::size_t>(id) >= kLayouts.size()) return nullptr;
  return &kLayouts[static_cast<std::size_t>(id)];
}

int trk_getFsLayoutId(std::string_view name) {
  for (std::size_t id = 0; id < kLayouts.size(); ++id)
    if (kLayouts[id].name == name) return static_cast<int>(id);
  return -1;
}

int trk_getFsModuleId(std::string_view name) {
  for (std::size_t id = 0; id < kModules.size(); ++id)
    if (kModules[id].name == name) return static_cast<int>(id);
  return -1;
}

int trk_buildFat12Image(const TLibContext& context, const TFsLayout& layout,
                        const std::filesystem::path& folder, std::vector<std::uint8_t>& image) {
  return GuardAllocation(&context, "trk_buildFat12Image", kLimitReached, [&] {
    if (layout.module != kFat12Module || layout.sectorSize != 512 || layout.sectorsPerCluster < 1 ||
        layout.rootEntries < 16 || layout.sectorsPerFat < 1)
      return kBadParameter;
    TFat12Writer writer(context, layout, image);
    return writer.Build(folder);
  });
}

std::unique_ptr<TFloppy> trk_generateFsDisk(TLibContext& context, std::string_view layoutName,
                                            const std::filesystem::path& folder, int& result) {
  context.Log(kLogInfo, "Create file system (source path : %s) ...", NameOf(folder).c_str());
  result = kBadParameter;
  const TFsLayout* layout = trk_getFsLayout(trk_getFsLayoutId(layoutName));
  if (!layout) {
    context.Log(kLogError, "Create file system : unknown layout %s",
                std::string(layoutName).c_str());
    return nullptr;
  }
  const int module = trk_getFsModuleId(layout->module);
  if (module < 0 || !kModules[static_cast<std::size_t>(module)].built) {
    context.Log(kLogError, "Bad plugin ID : 0x%x", static_cast<unsigned>(module));
    return nullptr;
  }
  std::vector<std::uint8_t> image;
  result = trk_buildFat12Image(context, *layout, folder, image);
  if (result != kOk) return nullptr;
  TRawGeometry geometry;
  geometry.tracks = layout->tracks;
  geometry.sides = layout->sides;
  geometry.sectorsPerTrack = layout->sectorsPerTrack;
  geometry.sectorSize = layout->sectorSize;
  geometry.interleave = layout->interleave;
  geometry.rpm = layout->rpm;
  geometry.bitRate = layout->bitRate;
  geometry.format = layout->format;
  return trk_generateDisk(context, image, geometry, result);
}

}  // namespace hfe
