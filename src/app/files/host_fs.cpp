// The host file system through std::filesystem.
#include "app/files/host_fs.h"

#include <algorithm>
#include <limits>
#include <system_error>

namespace app::files {

namespace fs = std::filesystem;

HostKind TStdHostFs::Kind(const fs::path& path) const {
  std::error_code error;
  const fs::file_status status = fs::symlink_status(path, error);
  // Links are not followed: a link to a folder that holds it would fill a drop with copies of the
  // same tree until the depth bound.
  if (error || fs::is_symlink(status)) return HostKind::Missing;
  if (fs::is_regular_file(status)) return HostKind::File;
  if (fs::is_directory(status)) return HostKind::Folder;
  return HostKind::Missing;
}

std::optional<std::uint64_t> TStdHostFs::FileSize(const fs::path& path) const {
  std::error_code error;
  const std::uintmax_t size = fs::file_size(path, error);
  if (error) return std::nullopt;
  return static_cast<std::uint64_t>(size);
}

std::vector<fs::path> TStdHostFs::List(const fs::path& folder) const {
  std::vector<fs::path> paths;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const fs::path name = it->path().filename();
    if (name.empty() || name.native().front() == '.') continue;
    paths.push_back(it->path());
  }
  std::sort(paths.begin(), paths.end());
  return paths;
}

std::unique_ptr<rtl::TStream> TStdHostFs::OpenRead(const fs::path& path) const {
  return std::make_unique<rtl::TFileStream>(path, rtl::FileMode::OpenRead);
}

rtl::FileTime TStdHostFs::LastWriteTime(const fs::path& path) const {
  rtl::TFileStream stream(path, rtl::FileMode::OpenRead);
  return stream.GetLastWriteTime();
}

void TStdHostFs::WriteFile(const fs::path& path, std::span<const std::uint8_t> bytes) {
  rtl::WriteFileAtomically(path, bytes);
}

fs::path TStdHostFs::CurrentDirectory() const {
  return fs::current_path();
}

void TStdHostFs::ChangeDirectory(const fs::path& path) {
  std::error_code error;
  fs::current_path(path, error);
}

std::vector<std::uint8_t> IHostFs::ReadFile(const fs::path& path, std::uint64_t limit) const {
  const std::unique_ptr<rtl::TStream> stream = OpenRead(path);
  // Clamped before the conversion: a size_t of 32 bits would wrap a file of 4 GB or more.
  const auto size = static_cast<std::uint64_t>(std::max<std::int64_t>(stream->Size(), 0));
  const std::uint64_t addressable = std::numeric_limits<std::size_t>::max();
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::min({size, limit, addressable})));
  stream->ReadBuffer(bytes);
  return bytes;
}

fs::path IHostFs::ExpandFileName(const fs::path& path) const {
  if (path.is_absolute()) return path.lexically_normal();
  return (CurrentDirectory() / path).lexically_normal();
}

}  // namespace app::files
