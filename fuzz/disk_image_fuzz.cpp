// Loads arbitrary bytes as a disk image and runs every file operation over what it finds: the
// model must stay inside its buffer, terminate, and keep its own promises on any input.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "disk/msx_disk.h"
#include "rtl/stream.h"

namespace {

using disk::TDirEntry;
using disk::TMSXDisk;

constexpr int kMaxDepth = 8;
constexpr std::size_t kMediaByteOffset = 21;

void Require(bool condition) {
  if (!condition) std::abort();
}

std::wstring Widen(const std::string& name) {
  std::wstring wide;
  for (const char c : name) wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
  return wide;
}

std::unique_ptr<TMSXDisk> Load(std::span<const std::uint8_t> bytes) {
  auto image = std::make_unique<TMSXDisk>();
  if (image->LoadFromBuffer(bytes, "fuzz.dsk")) return image;
  // Most inputs fail the media check; force it so the file system code gets to run.
  if (bytes.size() <= kMediaByteOffset) return nullptr;
  std::vector<std::uint8_t> patched(bytes.begin(), bytes.end());
  patched[kMediaByteOffset] = 0xF9;
  image = std::make_unique<TMSXDisk>();
  if (!image->LoadFromBuffer(patched, "fuzz.dsk")) return nullptr;
  return image;
}

struct Listed {
  std::int32_t index;
  TDirEntry copy;
  std::string name;
};

// The current directory's live entries, "." and ".." aside.
std::vector<Listed> ListCurrent(TMSXDisk& image) {
  std::vector<Listed> listed;
  image.ResetDir();
  while (true) {
    const std::int32_t index = image.FDirIndex;
    const TDirEntry* entry = image.FetchDir(true);
    if (entry == nullptr || !entry->IsUsed()) break;
    if (entry->IsDeleted()) continue;
    static_cast<void>(TMSXDisk::HostSafeName(*entry));
    static_cast<void>(entry->GetAttrString());
    static_cast<void>(entry->GetDateTime());
    const std::string name = entry->GetFileName();
    if (name == "." || name == "..") continue;
    listed.push_back({index, *entry, name});
  }
  return listed;
}

// What a drag-out does: walk the tree through the clusters themselves, extracting every file,
// with a visited-cluster set against directory cycles and a depth limit.
void Collect(TMSXDisk& image, const TDirEntry& directory, int depth,
             std::set<std::int32_t>& visited) {
  if (depth > kMaxDepth) return;
  for (const std::int32_t cluster : image.WalkChain(directory.GetCluster()).Clusters) {
    if (!visited.insert(cluster).second) return;
    const std::uint8_t* bytes = image.GetDataPointer(cluster);
    if (bytes == nullptr) return;
    const auto* entries = reinterpret_cast<const TDirEntry*>(bytes);
    const std::int32_t perCluster =
        image.FClusterSize / static_cast<std::int32_t>(sizeof(TDirEntry));
    for (std::int32_t i = 0; i < perCluster; ++i) {
      const TDirEntry& entry = entries[i];
      if (!entry.IsUsed()) return;
      if (entry.IsDeleted() || entry.IsLabelOrLongName()) continue;
      const std::string name = entry.GetFileName();
      if (name == "." || name == "..") continue;
      if (entry.IsDirectory()) {
        Collect(image, entry, depth + 1, visited);
      } else {
        rtl::TMemoryStream out;
        const bool complete = image.ExtractToStream(out, &entry);
        Require(!complete || out.Size() == entry.Size);
      }
    }
  }
}

void ExerciseDirectories(TMSXDisk& image, const std::vector<Listed>& root) {
  for (const Listed& item : root) {
    if (!item.copy.IsDirectory() || item.copy.IsLabelOrLongName()) continue;
    const std::string before = image.Directory();
    if (image.ChangeDir(item.name)) {
      static_cast<void>(image.FileCount());
      static_cast<void>(image.FileUsage());
      static_cast<void>(ListCurrent(image));
      image.ChangeDir("..");
    } else {
      Require(image.Directory() == before);  // a failed change leaves the directory as it was
    }
    image.ChangeDir("\\");
    static_cast<void>(image.GetSubDirFileCount(item.name));
    image.ChangeDir("\\");
    static_cast<void>(image.CountDirectoryEntries(item.copy));
    std::set<std::int32_t> visited;
    Collect(image, item.copy, 0, visited);
  }
}

void ExerciseExtraction(TMSXDisk& image, const std::vector<Listed>& root) {
  for (const Listed& item : root) {
    if (item.copy.IsDirectory()) continue;
    const TDirEntry* entry = image.GetDirEntry(item.index);
    Require(entry != nullptr);
    rtl::TMemoryStream byEntry;
    if (image.ExtractToStream(byEntry, entry)) Require(byEntry.Size() == entry->Size);
    rtl::TMemoryStream byName;
    if (image.ExtractToStream(byName, item.name)) Require(byName.Size() <= entry->Size);
    static_cast<void>(image.ExtractToMem(item.name));
  }
}

void AddAndCheck(TMSXDisk& image, const std::wstring& name, std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
  rtl::TMemoryStream source(bytes);
  const disk::PDirEntry entry = image.Add(name, source);
  if (entry == nullptr) return;
  rtl::TMemoryStream back;
  Require(image.ExtractToStream(back, entry));
  Require(back.Bytes() == bytes);
}

void ExerciseEdits(TMSXDisk& image, const std::vector<Listed>& root) {
  AddAndCheck(image, L"EMPTY.BIN", 0);
  AddAndCheck(image, L"ONE.BIN", 1);
  AddAndCheck(image, L"FIVEK.BIN", 5000);
  for (const Listed& item : root) {
    if (!item.copy.IsDirectory() || item.copy.IsLabelOrLongName()) continue;
    const std::wstring hostName = Widen(item.name);
    const TDirEntry* found = image.Lookup(TMSXDisk::MakeShortFileName(hostName));
    if (found == nullptr || !found->IsDirectory()) continue;
    // A file never replaces a directory of the same name.
    rtl::TMemoryStream source(std::vector<std::uint8_t>(10, 0x41));
    Require(image.Add(hostName, source) == nullptr);
    Require(image.FLastError == disk::DiskResult::NameExists);
  }
  if (image.CreateSubDir("FUZZDIR") == disk::DiskResult::Ok && image.ChangeDir("FUZZDIR")) {
    AddAndCheck(image, L"INNER.BIN", 1500);
    image.ChangeDir("\\");
  }
  for (const Listed& item : ListCurrent(image)) static_cast<void>(image.Delete(item.name));
  for (const Listed& item : ListCurrent(image)) {
    if (disk::PDirEntry entry = image.GetDirEntry(item.index)) {
      static_cast<void>(image.Delete(entry));
    }
  }
}

void RunScript(std::span<const std::uint8_t> bytes) {
  auto image = Load(bytes);
  if (!image) return;
  Require(image->DiskUsage() + image->DiskFree() == image->FClusterCount * image->FClusterSize);
  static_cast<void>(image->FileCount());
  static_cast<void>(image->FileUsage());

  const std::vector<Listed> root = ListCurrent(*image);
  ExerciseDirectories(*image, root);
  image->ChangeDir("\\");
  ExerciseExtraction(*image, root);
  ExerciseEdits(*image, root);

  rtl::TMemoryStream saved;
  image->SaveToStream(saved);
  Require(saved.Size() == image->DiskByteSize());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> input(data, size);
  RunScript(input);
  // The input as the start of a full-size image: the whole geometry is then in reach.
  if (size < static_cast<std::size_t>(disk::kImageCapacity)) {
    std::vector<std::uint8_t> padded(disk::kImageCapacity, 0);
    std::copy(input.begin(), input.end(), padded.begin());
    RunScript(padded);
  }
  return 0;
}
