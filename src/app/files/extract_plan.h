// Extracting selected entries to a host folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "disk/msx_disk.h"

namespace app::files {

// A host name as a path component. Windows paths hold UTF-16 as it is; elsewhere the name is
// encoded as UTF-8 explicitly, since the implicit conversion goes through the C locale and throws
// for anything outside ASCII.
std::filesystem::path HostPathPart(const std::wstring& name);

struct TExtractItem {
  const disk::TDirEntry* Entry = nullptr;
  std::filesystem::path Target;  // always directly inside the chosen folder
};

// The selected files in order (directories, labels, unused and deleted slots left out), each to
// folder / HostSafeName(entry). Empty: nothing to extract, so no folder needs to be asked for.
std::vector<TExtractItem> PlanExtraction(std::span<const disk::TDirEntry* const> selected,
                                         const std::filesystem::path& folder);

// A planned file that was not written, and why (UTF-8, as exception messages are).
struct TExtractFailure {
  std::filesystem::path Target;
  std::string Reason;
};

struct TExtractOutcome {
  std::int32_t Written = 0;
  std::vector<TExtractFailure> Failed;
};

// Writes each planned file; a file that cannot be written (a host failure, or data that the
// image does not hold in full) is skipped and listed, and the next one is still tried.
TExtractOutcome ExtractPlanned(disk::TMSXDisk& disk, std::span<const TExtractItem> plan);

}  // namespace app::files
