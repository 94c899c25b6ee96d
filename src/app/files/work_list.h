// The work list of the add and drop commands: host paths turned into files to add and folders to
// enter and leave, within the image's free bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/files/host_fs.h"

namespace app::files {

enum class WorkKind : std::uint8_t {
  AddFile = 0,      // add this host file
  EnterFolder = 1,  // make (or reuse) and enter the directory named by the path's last part
  LeaveFolder = 2,  // back to the directory the matching EnterFolder started in
};

struct TWorkItem {
  std::filesystem::path Path;  // empty for LeaveFolder
  WorkKind Kind = WorkKind::AddFile;
  friend bool operator==(const TWorkItem&, const TWorkItem&) = default;
};
using TWorkList = std::vector<TWorkItem>;

// Bounds of a folder expansion: nesting deeper than this is not entered, and the list stops
// growing at this many lines (the enclosing folders are still closed).
inline constexpr int kMaxFolderDepth = 32;
inline constexpr std::size_t kMaxWorkItems = 16384;

// The last part of a path, also when it ends in a separator.
std::wstring LastPathPart(const std::filesystem::path& path);

// ".DSK" or ".HFE" in any case.
bool IsImageFileName(const std::filesystem::path& path);

// The files chosen in the add dialog, in order, as AddFile lines (no budget, no expansion).
TWorkList FilesToWorkList(std::span<const std::filesystem::path> files);

struct TDropPlan {
  // The first dropped image file: it is opened instead, and Items stays empty.
  std::optional<std::filesystem::path> OpenImage;
  TWorkList Items;
};

// Dropped host paths -> work list. Paths that are neither files nor folders are left out;
// folders are expanded depth first (their contents, then a LeaveFolder line) and cost nothing;
// files are taken in order while their exact byte sizes fit `budget` (the image's free bytes),
// a file that does not fit being left out while later ones are still tried.
TDropPlan PrepareWorkList(std::span<const std::filesystem::path> dropped, std::int64_t budget,
                          const IHostFs& fs);

}  // namespace app::files
