// Dropped virtual files from another program. The input is read twice: as a raw descriptor block
// for the parser, and as a script of descriptors (names from an alphabet rich in separators,
// dots, blanks, colons and high characters), what each contents stream delivers and the image
// they land on. After the drop the image must be whole: the current directory as before, the
// byte count unchanged, no entry named "." or ".." (or with an empty name) outside a directory's
// own two slots, and the image must save and load again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "app/files/drag_out.h"
#include "app/files/file_descriptor.h"
#include "app/files/virtual_drop.h"
#include "disk/msx_disk.h"
#include "fuzz_util.h"
#include "rtl/stream.h"

namespace {

using namespace app::files;

struct TStreamPlan {
  bool missing = false;
  std::size_t delivered = 0;
};

// Every live entry of the tree has a name, and "." or ".." only in a subdirectory's first two
// slots.
void CheckTree(disk::TMSXDisk& disk, std::vector<bool>& visited) {
  disk.ChangeDir("\\");
  std::vector<std::int32_t> pending;
  for (std::int32_t i = 0; i < disk.DirCount(); ++i) {
    const disk::TDirEntry* entry = disk.GetDirEntry(i);
    if (!entry || !entry->IsUsed()) break;
    if (entry->IsDeleted()) continue;
    const std::string name = entry->GetFileName();
    Require(!name.empty() && name != "." && name != "..");
    if (entry->IsDirectory()) pending.push_back(entry->ClusterLow);
  }
  while (!pending.empty()) {
    const std::int32_t cluster = pending.back();
    pending.pop_back();
    const auto entries = ReadDirectoryAt(disk, cluster, visited);
    for (std::size_t slot = 0; slot < entries.size(); ++slot) {
      const disk::TDirEntry& entry = *entries[slot];
      if (entry.IsDeleted()) continue;
      const std::string name = entry.GetFileName();
      Require(!name.empty());
      Require(slot < 2 || (name != "." && name != ".."));
      if (slot >= 2 && entry.IsDirectory()) pending.push_back(entry.ClusterLow);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> input(data, size);
  const TParsedDescriptors raw = ParseFileGroupDescriptor(input);
  for (const auto& item : raw.Items) Require(item.Descriptor.Name.size() <= kMaxDescriptorPath);

  TScript script(input);
  std::vector<TFileDescriptor> descriptors(script.Byte() % 12);
  std::vector<TStreamPlan> streams;
  for (TFileDescriptor& descriptor : descriptors) {
    descriptor.Flags = script.Byte() & kFdAllOffered;
    descriptor.Attributes = script.Byte();
    descriptor.Size = script.Word() * (1u + script.Byte() % 16);
    descriptor.LastWriteTime = 132'000'000'000'000'000ull + script.Word() * 10'000'000ull;
    for (std::size_t n = script.Byte() % 20; n > 0; --n)
      descriptor.Name += kDropNameAlphabet[script.Byte() % kDropNameAlphabet.size()];
    const std::uint8_t how = script.Byte();
    const auto delta = static_cast<std::size_t>(how >> 2);
    TStreamPlan stream{(how & 3) == 3, static_cast<std::size_t>(descriptor.Size)};
    if ((how & 3) == 1) stream.delivered += delta;
    if ((how & 3) == 2) stream.delivered -= std::min(delta, stream.delivered);
    streams.push_back(stream);
  }
  const std::vector<TVirtualItem> plan =
      PlanVirtualDrop(ParseFileGroupDescriptor(EncodeFileGroupDescriptor(descriptors)).Items);
  std::size_t files = 0;
  for (const TVirtualItem& item : plan) {
    Require(item.Index < descriptors.size());
    Require(!item.Name.empty() && item.Name != L"." && item.Name != L"..");
    for (const auto& folder : item.Folders)
      Require(!folder.empty() && folder != L"." && folder != L"..");
    if (!item.IsFolder) ++files;
  }

  auto disk = std::make_unique<disk::TMSXDisk>();
  const std::uint8_t setup = script.Byte();
  disk->PrepareNewImage((setup & 1) != 0);
  if (setup & 2) {
    rtl::TMemoryStream filler(std::vector<std::uint8_t>(script.Word() * 16u, 0xAA));
    disk->Add(L"FILLER", filler);
  }
  if (setup & 4) {
    disk->CreateSubDir("START");
    disk->ChangeDir("START");
  }
  const std::string start = disk->Directory();
  const std::int64_t capacity = std::int64_t{disk->DiskUsage()} + disk->DiskFree();

  const TContentsSource contents = [&](std::size_t index) -> std::unique_ptr<rtl::TStream> {
    Require(index < streams.size());
    if (streams[index].missing) return nullptr;
    return std::make_unique<rtl::TMemoryStream>(
        std::vector<std::uint8_t>(streams[index].delivered, static_cast<std::uint8_t>(index)));
  };
  const TWorkResult result = ProcessVirtualDrop(*disk, plan, contents);
  Require(static_cast<std::size_t>(result.FilesAdded + result.FilesSkipped) == files);
  Require(disk->Directory() == start);
  Require(std::int64_t{disk->DiskUsage()} + disk->DiskFree() == capacity);

  std::vector<bool> visited(static_cast<std::size_t>(disk->FClusterCount), false);
  CheckTree(*disk, visited);
  rtl::TMemoryStream saved;
  disk->SaveToStream(saved);
  auto reloaded = std::make_unique<disk::TMSXDisk>();
  Require(reloaded->LoadFromBuffer(saved.Bytes(), "reloaded.dsk"));
  return 0;
}
