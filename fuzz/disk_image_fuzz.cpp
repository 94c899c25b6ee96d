// Loads arbitrary bytes as a disk image and runs a script of operations that the input chooses:
// adds in the root and in sub-directories (so they grow), deletes, renames, making and changing
// directories, boot-sector changes, extraction and reloads. After every step the model must keep
// its promises: used + free = capacity, a save reloads to the same tree, stored names give safe
// host names, and what it reports as done is done.
//
// Input: byte 0 is the script length N, bytes 1..N the script, the rest the image (none: a new
// double-sided image). Each step is an opcode byte and its argument bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "disk/msx_disk.h"
#include "fuzz_util.h"
#include "rtl/code_page.h"
#include "rtl/stream.h"

namespace {

using disk::DiskResult;
using disk::IsDotName;
using disk::TDirEntry;
using disk::TMSXDisk;

constexpr int kMaxDepth = 8;
constexpr std::size_t kMaxSteps = 48;
constexpr std::size_t kFullCheckEvery = 8;

// A name as 8-bit text: one of a few fixed ones, or up to 15 bytes of the script.
std::string Narrow(TScript& script) {
  static const char* const kNames[] = {"A.TXT",        "b b.t xt", ".",     "a:..",   "",
                                       "  ",           "GAMES",    "x.y.z", "\xE5.E", "CON",
                                       "LONGNAME.TEXT"};
  const std::uint8_t pick = script.Byte();
  if (pick < std::size(kNames)) return kNames[pick];
  std::string name;
  for (std::size_t n = pick % 16; n > 0; --n) name += static_cast<char>(script.Byte());
  return name;
}

// The same as host text, through the code page as the program converts it.
std::wstring Name(TScript& script) {
  return rtl::CodePage().ToUnicode(Narrow(script));
}

bool Load(TMSXDisk& image, std::span<const std::uint8_t> bytes) {
  if (!bytes.empty()) return LoadForcingMedia(image, bytes);
  image.PrepareNewImage(true);
  return true;
}

// A file or directory of the tree as a drag-out sees it: its path, size and contents.
struct TNode {
  std::uint8_t attr = 0;
  std::uint32_t size = 0;
  bool complete = false;
  std::vector<std::uint8_t> bytes;
  bool operator==(const TNode&) const = default;
};
using TTree = std::map<std::string, TNode>;

// Walks the tree through the clusters themselves, with a visited-cluster set against directory
// cycles and a depth limit; every stored name must give a safe host name.
void CollectSlots(TMSXDisk& image, const TDirEntry* slots, std::int32_t count,
                  const std::string& path, int depth, std::set<std::int32_t>& visited,
                  TTree& tree) {
  for (std::int32_t i = 0; i < count; ++i) {
    const TDirEntry& entry = slots[i];
    if (!entry.IsUsed()) return;
    if (entry.IsDeleted() || entry.IsLabelOrLongName()) continue;
    const std::string name = entry.GetFileName();
    if (IsDotName(name)) continue;
    Require(IsHostSafe(TMSXDisk::HostSafeName(entry)));  // never "." or ".." either
    static_cast<void>(entry.GetAttrString());
    static_cast<void>(entry.GetDateTime());
    const std::string full = path + "\\" + name + "#" + std::to_string(i);
    TNode& node = tree[full];
    node.attr = entry.Attr;
    node.size = entry.Size;
    if (entry.IsDirectory()) {
      if (depth >= kMaxDepth) continue;
      for (const std::int32_t cluster : image.WalkChain(entry.ClusterLow).Clusters) {
        const std::uint8_t* bytes = image.GetDataPointer(cluster);
        if (!visited.insert(cluster).second || bytes == nullptr) break;
        CollectSlots(image, reinterpret_cast<const TDirEntry*>(bytes),
                     image.FClusterSize / static_cast<std::int32_t>(sizeof(TDirEntry)), full,
                     depth + 1, visited, tree);
      }
    } else {
      rtl::TMemoryStream out;
      node.complete = image.ExtractToStream(out, &entry);
      Require(!node.complete || out.Size() == entry.Size);
      node.bytes = out.TakeBytes();
    }
  }
}

TTree Tree(TMSXDisk& image) {
  TTree tree;
  std::set<std::int32_t> visited;
  const std::uint8_t* root = image.Buffer().data() + image.FRootDirOffset;
  const std::int32_t fit =
      std::max(0, (image.FBufferSize - image.FRootDirOffset) / static_cast<std::int32_t>(32));
  CollectSlots(image, reinterpret_cast<const TDirEntry*>(root), std::min(image.FRootDirCount, fit),
               "", 0, visited, tree);
  return tree;
}

// The invariants that hold after every step: the counts at once, the save and reload (a whole
// image written, read and its files extracted twice) every few steps and after the last.
void CheckImage(TMSXDisk& image, bool full) {
  Require(image.DiskUsage() + image.DiskFree() == image.FClusterCount * image.FClusterSize);
  static_cast<void>(image.FileCount());
  static_cast<void>(image.FileUsage());
  if (!full) return;

  // A save reloads to the same tree, the current directory back at the root. The stream and
  // the image it reloads into are made once: an image is a large block, costly to map afresh.
  static rtl::TMemoryStream saved;
  static const auto reloaded = std::make_unique<TMSXDisk>();
  saved.Clear();
  image.SaveToStream(saved);
  Require(saved.Size() == image.DiskByteSize());
  Require(reloaded->LoadFromBuffer(saved.Bytes(), "again.dsk"));
  Require(reloaded->DiskFree() == image.DiskFree());
  Require(Tree(image) == Tree(*reloaded));
}

// The current directory's live entries, "." and ".." aside.
std::vector<TDirEntry*> Listing(TMSXDisk& image) {
  std::vector<TDirEntry*> listed;
  image.ResetDir();
  while (TDirEntry* entry = image.FetchDir(false)) {
    if (!entry->IsUsed()) break;
    if (!IsDotName(entry->GetFileName())) listed.push_back(entry);
  }
  return listed;
}

TDirEntry* Pick(TMSXDisk& image, std::uint8_t choice) {
  const std::vector<TDirEntry*> listed = Listing(image);
  return listed.empty() ? nullptr : listed[choice % listed.size()];
}

std::vector<std::uint8_t> Contents(std::size_t size, std::uint8_t seed) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + seed);
  return bytes;
}

// An add, and what it reports, checked; with `full` also its bytes read back and both FATs.
void AddAndCheck(TMSXDisk& image, const std::wstring& name, std::size_t size, std::uint8_t seed,
                 bool full = true) {
  const std::vector<std::uint8_t> bytes = Contents(size, seed);
  rtl::TMemoryStream source(bytes);
  const disk::PDirEntry entry = image.Add(name, source);
  if (entry == nullptr) {
    Require(image.FLastError != DiskResult::Ok);
    return;
  }
  Require(image.FLastError == DiskResult::Ok && image.IsModified());
  const std::string stored = entry->GetFileName();
  Require(!stored.empty() && !IsDotName(stored) && entry->ModifyDate.Value != 0);
  Require(stored == TMSXDisk::MakeShortFileName(name));
  Require(image.Lookup(stored) == entry);
  if (!full) return;
  rtl::TMemoryStream back;
  Require(image.ExtractToStream(back, entry));
  Require(back.Bytes() == bytes);
  if (size > 0) {
    // Both FATs agree after every write, and the file took whole clusters.
    const auto fats = image.Buffer().subspan(static_cast<std::size_t>(image.FFatOffset));
    const auto fatSize = static_cast<std::size_t>(image.FFatSize);
    Require(std::memcmp(fats.data(), fats.data() + fatSize, fatSize) == 0);
    Require(image.GetChainSize(entry->ClusterLow) ==
            static_cast<std::int32_t>((size + 1023) / 1024) * 1024);
  }
}

void Step(TMSXDisk& image, TScript& script) {
  const std::uint8_t op = script.Byte();
  switch (op % 12) {
    case 0: {  // add a file of up to about 64 KB
      const std::wstring name = Name(script);
      const std::size_t size = static_cast<std::size_t>(script.Byte()) * 257 % 65536;
      AddAndCheck(image, name, size, op);
      break;
    }
    case 1: {  // many small files: a sub-directory grows cluster by cluster
      const std::size_t count = script.Byte() % 80;
      // The bytes of every eighth file and of the last are read back.
      for (std::size_t i = 0; i < count; ++i) {
        AddAndCheck(image, L"F" + std::to_wstring(i) + L".DAT", i % 3 * 700, op,
                    i % 8 == 7 || i + 1 == count);
      }
      break;
    }
    case 2: {  // delete by name
      if (TDirEntry* entry = Pick(image, script.Byte())) {
        // Deletes the first entry of that name, which on a hostile image need not be this one.
        const std::string name = entry->GetFileName();
        TDirEntry* first = image.Lookup(name);
        if (image.Delete(name) == DiskResult::Ok) Require(first != nullptr && first->IsDeleted());
      }
      break;
    }
    case 3: {  // delete an entry
      if (TDirEntry* entry = Pick(image, script.Byte())) {
        if (image.Delete(entry) == DiskResult::Ok) Require(entry->IsDeleted());
      }
      break;
    }
    case 4: {  // rename
      TDirEntry* entry = Pick(image, script.Byte());
      const std::string name = Narrow(script);
      const bool modified = image.IsModified();
      const DiskResult result = image.Rename(entry, name);
      Require(result == DiskResult::Ok || result == DiskResult::NameExists ||
              result == DiskResult::FileNotFound);
      if (result == DiskResult::Ok) {
        const std::string stored = entry->GetFileName();
        Require(!stored.empty() && !IsDotName(stored) && image.IsModified());
        Require(image.Lookup(stored) == entry);
      } else {
        Require(image.IsModified() == modified);
      }
      break;
    }
    case 5: {  // make a directory (under its 8.3 name) and maybe enter it
      const std::string name = Narrow(script);
      const DiskResult result = image.CreateSubDir(name);
      if (result != DiskResult::Ok) break;
      const std::string stored = TMSXDisk::MakeShortFileName(rtl::CodePage().ToUnicode(name));
      Require(!IsDotName(stored) && image.LookupSubDir(stored) != nullptr);
      if ((script.Byte() & 1) != 0) Require(image.ChangeDir(stored));
      break;
    }
    case 6: {  // change directory: to a listed one, up, to the root, or to a typed path
      const std::uint8_t how = script.Byte();
      const std::string before = image.Directory();
      bool changed = false;
      if (how % 4 == 0) {
        TDirEntry* entry = Pick(image, script.Byte());
        if (entry && entry->IsDirectory()) changed = image.ChangeDir(entry->GetFileName());
      } else if (how % 4 == 1) {
        changed = image.ChangeDir("..");
      } else if (how % 4 == 2) {
        changed = image.ChangeDir("\\");
      } else {
        changed = image.ChangeDir(Narrow(script));
      }
      if (!changed) {
        // A typed path stops at its missing part, the directories before it staying current.
        if (how % 4 != 3) Require(image.Directory() == before);
        const std::int32_t offset = image.FDirOffset;
        Require(image.ChangeDir(image.Directory()) && image.FDirOffset == offset);
      }
      break;
    }
    case 7: {  // boot sector
      const std::uint8_t option = script.Byte();
      if (option & 0x80) {
        image.EraseBootSector();
      } else {
        image.AttachBootCode(disk::GetBootCode(option % 4));
      }
      Require(image.IsModified());
      break;
    }
    case 8: {  // count a directory's files through the model
      if (TDirEntry* entry = Pick(image, script.Byte())) {
        const std::string before = image.Directory();
        static_cast<void>(image.GetSubDirFileCount(entry->GetFileName()));
        Require(image.Directory() == before);
      }
      break;
    }
    case 9: {  // extract by name and by entry
      if (TDirEntry* entry = Pick(image, script.Byte())) {
        rtl::TMemoryStream byEntry;
        if (image.ExtractToStream(byEntry, entry)) Require(byEntry.Size() == entry->Size);
        rtl::TMemoryStream byName;
        if (image.ExtractToStream(byName, entry->GetFileName())) {
          Require(byName.Size() <= entry->Size);
        }
      }
      break;
    }
    case 10: {  // save and load the saved image: the root is current again, nothing modified
      rtl::TMemoryStream saved;
      image.SaveToStream(saved);
      saved.SetPosition(0);
      Require(image.LoadFromStream(saved, ""));
      Require(image.Directory() == "\\" && !image.IsModified());
      break;
    }
    default: {  // a new empty image
      image.PrepareNewImage((script.Byte() & 1) != 0);
      Require(image.DiskUsage() == 2048);
      break;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t scriptSize = std::min<std::size_t>(data[0], size - 1);
  TScript script({data + 1, scriptSize});
  // A fresh image for every input, made in the same place each time: its block stays mapped.
  static std::optional<TMSXDisk> slot;
  TMSXDisk& image = slot.emplace();
  if (!Load(image, {data + 1 + scriptSize, size - 1 - scriptSize})) return 0;
  CheckImage(image, true);
  for (std::size_t steps = 1; steps <= kMaxSteps && !script.AtEnd(); ++steps) {
    Step(image, script);
    CheckImage(image, steps % kFullCheckEvery == 0 || script.AtEnd());
  }
  return 0;
}
