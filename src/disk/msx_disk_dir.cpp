// TMSXDisk: directory slots, lookups, changing and making directories.
#include <algorithm>
#include <array>
#include <cstring>

#include "disk/msx_disk.h"
#include "rtl/code_page.h"

namespace disk {

namespace {

constexpr std::int32_t kEntrySize = 32;
constexpr char kDelimiter = '\\';

bool IsLongNameSlot(const TDirEntry& entry) {
  return entry.Attr == faLongName;
}

// A "." or ".." slot, written byte for byte (the 8.3 name setter cannot express these names).
void WriteDotEntry(TDirEntry& entry, std::string_view dots, std::int32_t cluster) {
  std::memset(&entry, 0, sizeof entry);
  entry.Init(true);
  std::memset(entry.Name, ' ', sizeof entry.Name);
  std::memcpy(entry.Name, dots.data(), dots.size());
  entry.Attr = faDirectory;
  entry.SetCluster(cluster);
}

// The 11 name bytes as they compare: a-z folded, a leading 0xE5 in its stored spelling 0x05.
std::array<std::uint8_t, 11> StoredName(const TDirEntry& entry) {
  std::array<std::uint8_t, 11> stored{};
  std::memcpy(stored.data(), entry.Name, sizeof entry.Name);
  std::memcpy(stored.data() + sizeof entry.Name, entry.Ext, sizeof entry.Ext);
  for (std::uint8_t& byte : stored) {
    if (byte >= 'a' && byte <= 'z') byte = static_cast<std::uint8_t>(byte - 'a' + 'A');
  }
  if (stored[0] == kDeletedMark) stored[0] = kEscapedE5;
  return stored;
}

}  // namespace

std::string TMSXDisk::UpperCase(std::string_view text) {
  std::string result(text);
  for (char& c : result) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 'a' && byte <= 'z') c = static_cast<char>(byte - 'a' + 'A');
  }
  return result;
}

std::string_view TMSXDisk::Trim(std::string_view text) {
  const auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view TMSXDisk::LastComponent(std::string_view path) {
  const auto cut = path.find_last_of("\\:");
  return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

std::string TMSXDisk::ShortComponent(std::string_view part) {
  if (IsDotName(part)) return std::string(part);
  return MakeShortFileName(rtl::CodePage().ToUnicode(part));
}

std::string TMSXDisk::NewEntryName(std::string_view name) {
  const std::string_view part = Trim(LastComponent(Trim(name)));
  if (part.empty() || IsDotName(part)) return {};
  std::string result = ShortComponent(part);
  return IsDotName(result) ? std::string{} : result;
}

std::string TMSXDisk::IncludePathDelim(std::string_view s) {
  std::string result(s);
  if (result.empty() || result.back() != kDelimiter) result += kDelimiter;
  return result;
}

std::string TMSXDisk::ExcludePathDelim(std::string_view s) {
  if (!s.empty() && s.back() == kDelimiter) s.remove_suffix(1);
  return std::string(s);
}

PDirEntry TMSXDisk::GetDirEntry(std::int32_t Index) {
  if (Index < 0 || Index >= FDirCount) return nullptr;
  if (dirClusters_.empty()) {
    const std::int32_t offset = FDirOffset + Index * kEntrySize;
    if (offset + kEntrySize > FBufferSize) return nullptr;
    return reinterpret_cast<PDirEntry>(buffer_.data() + offset);
  }
  const std::int32_t perCluster = FClusterSize / kEntrySize;
  const auto hop = static_cast<std::size_t>(Index / perCluster);
  if (hop >= dirClusters_.size()) return nullptr;
  std::uint8_t* cluster = GetDataPointer(dirClusters_[hop]);
  if (!cluster) return nullptr;
  return reinterpret_cast<PDirEntry>(cluster + (Index % perCluster) * kEntrySize);
}

// Deleted and long-name slots are skipped: a deleted slot's name starts with the byte that a
// stored 0xE5 name reads back as, and a long-name slot's bytes are pieces of another name.
std::int32_t TMSXDisk::IndexOf(std::string_view FileName) {
  const std::string key = UpperCase(LastComponent(FileName));
  for (std::int32_t i = 0;; ++i) {
    const TDirEntry* entry = GetDirEntry(i);
    if (!entry || !entry->IsUsed()) return -1;
    if (entry->IsDeleted() || IsLongNameSlot(*entry)) continue;
    if (entry->GetFileName() == key) return i;
  }
}

std::int32_t TMSXDisk::FindSubDirKey(std::string_view key) {
  if (key.empty()) return -1;
  for (std::int32_t i = 0;; ++i) {
    const TDirEntry* entry = GetDirEntry(i);
    if (!entry || !entry->IsUsed()) return -1;
    if (entry->IsDeleted() || IsLongNameSlot(*entry) || !entry->IsDirectory()) continue;
    if (entry->GetFileName() == key) return i;
  }
}

std::int32_t TMSXDisk::IndexOfSubDir(std::string_view ADirName) {
  // The name as given: a name longer than 8.3 matches no entry.
  return FindSubDirKey(UpperCase(Trim(LastComponent(ADirName))));
}

PDirEntry TMSXDisk::Lookup(std::string_view FileName) {
  const std::int32_t index = IndexOf(FileName);
  return index < 0 ? nullptr : GetDirEntry(index);
}

PDirEntry TMSXDisk::LookupSubDir(std::string_view ADirName) {
  const std::int32_t index = IndexOfSubDir(ADirName);
  return index < 0 ? nullptr : GetDirEntry(index);
}

bool TMSXDisk::FileNameExists(std::string_view FileName) {
  const TDirEntry* entry = Lookup(FileName);
  return entry && entry->IsUsed();
}

bool TMSXDisk::SubDirExists(std::string_view ADirName) {
  return IndexOfSubDir(ADirName) >= 0;
}

PDirEntry TMSXDisk::FetchDir(bool IncludeDeleted) {
  while (FDirIndex < FDirCount) {
    PDirEntry entry = GetDirEntry(FDirIndex);
    if (!entry) {
      FDirIndex = FDirCount;
      return nullptr;
    }
    ++FDirIndex;
    if (!IncludeDeleted && entry->IsUsed() && entry->IsDeleted()) continue;
    return entry;
  }
  return nullptr;
}

std::int32_t TMSXDisk::CountDirectoryEntries(const TDirEntry& entry) const {
  std::int32_t count = 0;
  for (const std::int32_t cluster : WalkChain(entry.ClusterLow).Clusters) {
    const std::int32_t offset = ClusterToOffset(cluster);
    if (offset < 0) break;
    for (std::int32_t slot = 0; slot < FClusterSize / kEntrySize; ++slot) {
      const auto* child =
          reinterpret_cast<const TDirEntry*>(buffer_.data() + offset + slot * kEntrySize);
      if (!child->IsUsed()) return count;
      if (child->IsDeleted() || IsLongNameSlot(*child) || IsDotName(child->GetFileName())) {
        continue;
      }
      ++count;
    }
  }
  return count;
}

TMSXDisk::TDirState TMSXDisk::SaveDirState() const {
  return {FDirOffset, FDirCount, FDirectory, dirClusters_};
}

void TMSXDisk::RestoreDirState(TDirState state) {
  FDirOffset = state.Offset;
  FDirCount = state.Count;
  FDirectory = std::move(state.Path);
  dirClusters_ = std::move(state.Clusters);
}

void TMSXDisk::EnterRoot() {
  FDirOffset = FRootDirOffset;
  FDirCount = FRootDirCount;
  FDirectory.assign(1, kDelimiter);
  dirClusters_.clear();
}

void TMSXDisk::EnterSubDir(std::vector<std::int32_t> clusters) {
  FDirOffset = ClusterToOffset(clusters.front());
  FDirCount = static_cast<std::int32_t>(clusters.size()) * (FClusterSize / kEntrySize);
  dirClusters_ = std::move(clusters);
}

void TMSXDisk::SetDirectory(std::string_view directory) {
  if (directory != FDirectory) ChangeDir(directory);
}

std::int32_t TMSXDisk::GetSubDirFileCount(std::string_view ADirName) {
  // A query: the current directory is the same afterwards, whether the change worked or not.
  TDirState saved = SaveDirState();
  if (!ChangeDir(ADirName)) {
    RestoreDirState(std::move(saved));
    return 0;
  }
  std::int32_t count = 0;
  for (std::int32_t i = 0;; ++i) {
    const TDirEntry* entry = GetDirEntry(i);
    if (!entry || !entry->IsUsed()) break;
    if (entry->IsDeleted() || IsLongNameSlot(*entry) || IsDotName(entry->GetFileName())) continue;
    ++count;
  }
  RestoreDirState(std::move(saved));
  return count;
}

bool TMSXDisk::ChangeDir(std::string_view ADirName) {
  std::string path = UpperCase(Trim(ADirName));
  if (path.empty()) return false;
  std::string_view rest = path;
  if (rest.front() == kDelimiter) {
    EnterRoot();
    rest.remove_prefix(1);
    if (rest.empty()) {
      FLastError = DiskResult::Ok;
      return true;
    }
  }
  while (!rest.empty()) {
    const auto cut = rest.find(kDelimiter);
    const std::string_view part = rest.substr(0, cut);
    rest = cut == std::string_view::npos ? std::string_view{} : rest.substr(cut + 1);

    const std::string key(Trim(LastComponent(part)));
    const std::int32_t index = FindSubDirKey(key);
    const TDirEntry* found = index < 0 ? nullptr : GetDirEntry(index);
    const std::int32_t cluster = found ? found->ClusterLow : -1;
    TChainWalk walk;
    if (cluster > 0) walk = WalkChain(cluster);
    // A missing part stops the change; the directories entered by the earlier parts stay current.
    // So does a directory whose first cluster is free or out of range: entered, it would list
    // another file's bytes, and growing it would link a free cluster into no chain.
    if (cluster < 0 || (cluster > 0 && walk.Clusters.empty())) {
      FLastError = DiskResult::DirNotFound;
      return false;
    }

    // The dot entries name this directory and its parent. Where they lead is taken from the
    // path, so a damaged dot entry (one in the root, or one pointing at another cluster) cannot
    // make the listed directory differ from the path that later writes go by.
    if (key == ".") continue;
    if (key == "..") {
      std::string parent = ExcludePathDelim(FDirectory);
      parent.erase(parent.rfind(kDelimiter) + 1);
      TDirState here = SaveDirState();
      if (parent.empty() || parent == "\\") {
        EnterRoot();
      } else if (!ChangeDir(parent)) {
        RestoreDirState(std::move(here));
        FLastError = DiskResult::DirNotFound;
        return false;
      }
      continue;
    }
    if (cluster == 0) {
      EnterRoot();
      continue;
    }
    EnterSubDir(std::move(walk.Clusters));
    FDirectory += key + kDelimiter;
  }
  return true;
}

std::int32_t TMSXDisk::FindFreeSlot() {
  for (std::int32_t i = 0; i < FDirCount; ++i) {
    const TDirEntry* entry = GetDirEntry(i);
    if (!entry) return -1;
    if (!entry->IsUsed() || entry->IsDeleted()) return i;
  }
  return -1;
}

TMSXDisk::TSlotPlan TMSXDisk::PlanNewSlot() {
  TSlotPlan plan;
  plan.Index = FindFreeSlot();
  if (plan.Index >= 0) return plan;
  // The root never grows; a sub-directory grows only behind a well-formed end of chain.
  if (!dirClusters_.empty()) {
    TChainWalk walk = WalkChain(dirClusters_.front());
    if (walk.End == ChainEnd::EndOfChain && !walk.Clusters.empty() && CountFreeClusters() > 0) {
      plan.Chain = std::move(walk.Clusters);
      return plan;
    }
  }
  plan.Result = DiskResult::DirFull;
  return plan;
}

PDirEntry TMSXDisk::TakeSlot(const TSlotPlan& plan) {
  if (plan.Index >= 0) {
    PDirEntry entry = GetDirEntry(plan.Index);
    // Taking the end marker: whatever follows it must stay hidden.
    if (!entry->IsUsed()) {
      PDirEntry next = GetDirEntry(plan.Index + 1);
      if (next && next->IsUsed()) next->Init(false);
    }
    entry->Init(true);
    return entry;
  }
  const std::int32_t cluster = FindFreeCluster(2);
  SetFatEntry(plan.Chain.back(), cluster);
  SetFatEntry(cluster, 0xFFF);
  std::uint8_t* bytes = GetDataPointer(cluster);
  TDirEntry blank;
  std::memset(&blank, 0, sizeof blank);
  blank.Init(true);
  for (std::int32_t slot = 0; slot < FClusterSize / kEntrySize; ++slot) {
    std::memcpy(bytes + slot * kEntrySize, &blank, sizeof blank);
  }
  std::vector<std::int32_t> clusters = plan.Chain;
  clusters.push_back(cluster);
  EnterSubDir(std::move(clusters));
  return reinterpret_cast<PDirEntry>(bytes);
}

std::int32_t TMSXDisk::IndexOfEntry(const TDirEntry* entry) {
  for (std::int32_t i = 0; i < FDirCount; ++i) {
    const TDirEntry* slot = GetDirEntry(i);
    if (!slot) return -1;
    if (slot == entry) return i;
  }
  return -1;
}

DiskResult TMSXDisk::CreateSubDir(std::string_view ADirName) {
  // The name is checked in its stored 8.3 form, so that a long name cannot make a second entry
  // of a name that exists; an empty name, "." and ".." are taken.
  const std::string name = NewEntryName(ADirName);
  if (name.empty() || FileNameExists(name)) {
    return FLastError = DiskResult::NameExists;
  }
  // A new directory takes a free slot of the current directory; only adding a file grows a full
  // sub-directory.
  TSlotPlan plan;
  plan.Index = FindFreeSlot();
  if (plan.Index < 0) return FLastError = DiskResult::DirFull;
  const std::vector<std::int32_t> picked = PickClusters(1, {}, -1);
  if (picked.empty()) return FLastError = DiskResult::DiskFull;

  const std::int32_t parent = dirClusters_.empty() ? 0 : dirClusters_.front();
  PDirEntry entry = TakeSlot(plan);
  const std::int32_t cluster = picked.front();
  entry->SetFileName(name);
  entry->Attr = faDirectory;
  entry->SetCluster(cluster);

  std::uint8_t* bytes = GetDataPointer(cluster);
  auto* slots = reinterpret_cast<PDirEntry>(bytes);
  std::memset(bytes, 0, static_cast<std::size_t>(FClusterSize));
  WriteDotEntry(slots[0], ".", cluster);
  WriteDotEntry(slots[1], "..", parent);
  for (std::int32_t slot = 2; slot < FClusterSize / kEntrySize; ++slot) slots[slot].Init(true);
  SetFatEntry(cluster, 0xFFF);
  return FLastError = DiskResult::Ok;
}

bool TMSXDisk::NameTaken(std::string_view ShortName, const TDirEntry* except) {
  TDirEntry wanted{};
  wanted.SetFileName(ShortName);
  const std::array<std::uint8_t, 11> key = StoredName(wanted);
  for (std::int32_t i = 0; i < FDirCount; ++i) {
    const TDirEntry* entry = GetDirEntry(i);
    if (!entry || !entry->IsUsed()) break;
    if (entry == except || entry->IsDeleted() || IsLongNameSlot(*entry)) continue;
    if (StoredName(*entry) == key) return true;
  }
  return false;
}

DiskResult TMSXDisk::Rename(PDirEntry DirEntry, std::string_view NewName) {
  const std::int32_t index = DirEntry ? IndexOfEntry(DirEntry) : -1;
  if (index < 0 || !DirEntry->IsUsed() || DirEntry->IsDeleted() || IsLongNameSlot(*DirEntry) ||
      IsDotName(DirEntry->GetFileName())) {
    return FLastError = DiskResult::FileNotFound;
  }
  const std::string name = NewEntryName(NewName);
  if (name.empty() || NameTaken(name, DirEntry)) {
    return FLastError = DiskResult::NameExists;
  }
  // A long name that another system wrote for the entry would name the old entry no more
  // (its checksum is of the old short name): it goes, as with a delete.
  if (DirEntry->GetFileName() != name) DropLongNameSlots(index);
  DirEntry->SetFileName(name);
  FModified = true;
  return FLastError = DiskResult::Ok;
}

}  // namespace disk
