// Planning and carrying out extraction.
#include "app/files/extract_plan.h"

#include "app/files/file_rows.h"
#include "rtl/exceptions.h"

namespace app::files {

std::vector<TExtractItem> PlanExtraction(std::span<const disk::TDirEntry* const> selected,
                                         const std::filesystem::path& folder) {
  std::vector<TExtractItem> plan;
  for (const disk::TDirEntry* entry : selected) {
    if (!entry || !entry->IsUsed() || entry->IsDeleted() || !IsFileEntry(*entry)) continue;
    plan.push_back({entry, folder / std::filesystem::path(disk::TMSXDisk::HostSafeName(*entry))});
  }
  return plan;
}

std::int32_t ExtractPlanned(disk::TMSXDisk& disk, std::span<const TExtractItem> plan) {
  std::int32_t written = 0;
  for (const TExtractItem& item : plan) {
    try {
      if (disk.ExtractToFile(item.Target, item.Entry)) ++written;
    } catch (const rtl::Exception&) {
      // The next file is still tried.
    }
  }
  return written;
}

}  // namespace app::files
