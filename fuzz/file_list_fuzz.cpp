// The file list and the drag-out over arbitrary images: the rows of the root and of each directory
// listed in it, every sort mode, and the entries a drag of all rows offers. Rows follow their
// entries; a sort is a permutation in ascending, antisymmetric order; a drag never writes the
// image, offers only host-safe names in paths that fit a descriptor, and gives each file's bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "app/files/drag_out.h"
#include "app/files/file_rows.h"
#include "app/files/file_sort.h"
#include "disk/msx_disk.h"
#include "fuzz_util.h"

namespace {

using namespace app::files;

constexpr std::size_t kMaxContents = 64;  // files whose bytes are read per input

void CheckRows(const TFileListing& listing) {
  std::int64_t total = 0;
  for (const TFileRow& row : listing.Rows) {
    Require(IsListed(*row.Entry));
    Require(row.Ext.size() == 3 && row.Attrs.size() == 6);
    Require(row.Name.empty() || (row.Name.front() != L' ' && row.Name.back() != L' '));
    if (IsFileEntry(*row.Entry)) {
      total += row.Entry->Size;
      Require(row.Size == std::to_wstring(row.Entry->Size));
    }
  }
  Require(total == listing.TotalBytes);
  for (std::int32_t mode = -1; mode <= 5; ++mode) {
    std::vector<TFileRow> rows = listing.Rows;
    std::reverse(rows.begin(), rows.end());
    SortRows(rows, mode);
    std::vector<std::int32_t> slots, sortedSlots;
    for (const auto& row : listing.Rows) slots.push_back(row.Slot);
    for (const auto& row : rows) sortedSlots.push_back(row.Slot);
    std::sort(sortedSlots.begin(), sortedSlots.end());
    Require(slots == sortedSlots);  // directory order is ascending by slot
    for (std::size_t i = 1; i < rows.size(); ++i)
      Require(CompareRows(rows[i - 1], rows[i], mode) <= 0);
    for (const auto& a : rows)
      for (const auto& b : rows) Require(CompareRows(a, b, mode) == -CompareRows(b, a, mode));
  }
}

void CheckDrag(disk::TMSXDisk& disk, const TFileListing& listing) {
  std::vector<const disk::TDirEntry*> selected;
  for (const auto& row : listing.Rows) selected.push_back(row.Entry);
  const std::vector<std::uint8_t> before(disk.Buffer().begin(), disk.Buffer().end());
  const TDragCollection collection = CollectDragEntries(disk, selected);
  Require(collection.Items.size() <=
          selected.size() + static_cast<std::size_t>(std::max(disk.FClusterCount, 0)) * 32);
  for (const TDragEntryRec& item : collection.Items) {
    Require(item.FileName.size() <= kMaxDescriptorPath);
    for (std::size_t at = 0;;) {
      const std::size_t cut = item.FileName.find(L'\\', at);
      Require(IsHostSafe(std::wstring_view(item.FileName).substr(at, cut - at)));
      if (cut == std::wstring::npos) break;
      at = cut + 1;
    }
  }
  const std::vector<TFileDescriptor> descriptors = DescribeDragItems(collection.Items);
  const TParsedDescriptors parsed =
      ParseFileGroupDescriptor(EncodeFileGroupDescriptor(descriptors));
  Require(parsed.Rejected == 0 && parsed.Items.size() == descriptors.size());
  for (std::size_t i = 0; i < descriptors.size(); ++i)
    Require(parsed.Items[i].Descriptor == descriptors[i]);
  std::size_t read = 0;
  for (std::size_t i = 0; i < collection.Items.size() && read < kMaxContents; ++i) {
    const disk::TDirEntry& entry = *collection.Items[i].Dir;
    const auto bytes = DragContents(disk, collection, static_cast<std::int64_t>(i));
    if (entry.IsDirectory()) {
      Require(!bytes);
      continue;
    }
    ++read;
    if (bytes) Require(bytes->size() == entry.Size);
  }
  Require(!DragContents(disk, collection, static_cast<std::int64_t>(collection.Items.size())));
  Require(std::equal(before.begin(), before.end(), disk.Buffer().begin()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto disk = std::make_unique<disk::TMSXDisk>();
  if (!LoadForcingMedia(*disk, {data, size})) return 0;
  const TDateTimeFormat format;
  const TFileListing root = ListCurrentDirectory(*disk, format);
  CheckRows(root);
  CheckDrag(*disk, root);
  for (const TFileRow& row : root.Rows) {
    if (!row.Entry->IsDirectory() || row.Name == L"..") continue;
    if (!disk->ChangeDir(row.Entry->GetFileName())) continue;
    CheckRows(ListCurrentDirectory(*disk, format));
    disk->ChangeDir("\\");
  }
  return 0;
}
