// Building the work list from dropped host paths.
#include "app/files/work_list.h"

#include <algorithm>
#include <string>

namespace app::files {

namespace {

class TWorkListBuilder {
 public:
  TWorkListBuilder(std::int64_t budget, const IHostFs& fs) : budget_(budget), fs_(fs) {}

  void Take(const std::filesystem::path& path, int depth) {
    if (items_.size() + static_cast<std::size_t>(open_) >= kMaxWorkItems) return;
    switch (fs_.Kind(path)) {
      case HostKind::File:
        TakeFile(path);
        break;
      case HostKind::Folder:
        ExpandFolder(path, depth);
        break;
      case HostKind::Missing:
        break;
    }
  }

  TWorkList Finish() { return std::move(items_); }

 private:
  void TakeFile(const std::filesystem::path& path) {
    const std::optional<std::uint64_t> size = fs_.FileSize(path);
    if (!size || *size > static_cast<std::uint64_t>(std::max<std::int64_t>(budget_, 0))) return;
    budget_ -= static_cast<std::int64_t>(*size);
    items_.push_back({path, WorkKind::AddFile});
  }

  void ExpandFolder(const std::filesystem::path& path, int depth) {
    // Room for the closing line too.
    if (depth >= kMaxFolderDepth ||
        items_.size() + static_cast<std::size_t>(open_) + 2 > kMaxWorkItems) {
      return;
    }
    items_.push_back({path, WorkKind::EnterFolder});
    ++open_;
    for (const std::filesystem::path& child : fs_.List(path)) Take(child, depth + 1);
    --open_;
    items_.push_back({{}, WorkKind::LeaveFolder});
  }

  std::int64_t budget_;
  const IHostFs& fs_;
  TWorkList items_;
  int open_ = 0;  // folders entered and not yet closed: each still needs its LeaveFolder line
};

}  // namespace

std::wstring LastPathPart(const std::filesystem::path& path) {
  const std::filesystem::path name = path.filename();
  return name.empty() ? path.parent_path().filename().wstring() : name.wstring();
}

bool IsImageFileName(const std::filesystem::path& path) {
  std::wstring extension = path.extension().wstring();
  for (wchar_t& c : extension) {
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
  }
  return extension == L".DSK" || extension == L".HFE";
}

TWorkList FilesToWorkList(std::span<const std::filesystem::path> files) {
  TWorkList items;
  items.reserve(files.size());
  for (const auto& file : files) items.push_back({file, WorkKind::AddFile});
  return items;
}

TDropPlan PrepareWorkList(std::span<const std::filesystem::path> dropped, std::int64_t budget,
                          const IHostFs& fs) {
  TDropPlan plan;
  const auto image = std::find_if(dropped.begin(), dropped.end(), IsImageFileName);
  if (image != dropped.end()) {
    plan.OpenImage = *image;
    return plan;
  }
  TWorkListBuilder builder(budget, fs);
  for (const auto& path : dropped) builder.Take(path, 0);
  plan.Items = builder.Finish();
  return plan;
}

}  // namespace app::files
