#include "app/host_fs.h"

#include <system_error>

#include "rtl/file_stream.h"

namespace app {

files::HostKind THostFs::Kind(const std::filesystem::path& path) const {
  return files_.Kind(path);
}

std::optional<std::uint64_t> THostFs::FileSize(const std::filesystem::path& path) const {
  return files_.FileSize(path);
}

std::vector<std::filesystem::path> THostFs::List(const std::filesystem::path& folder) const {
  return files_.List(folder);
}

std::unique_ptr<rtl::TStream> THostFs::OpenRead(const std::filesystem::path& path) const {
  return files_.OpenRead(path);
}

rtl::FileTime THostFs::LastWriteTime(const std::filesystem::path& path) const {
  return files_.LastWriteTime(path);
}

bool THostFs::FileExists(const std::filesystem::path& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

bool THostFs::DirectoryExists(const std::filesystem::path& path) {
  std::error_code error;
  return std::filesystem::is_directory(path, error);
}

std::filesystem::path THostFs::CurrentDirectory() {
  return std::filesystem::current_path();
}

// A folder that cannot be entered leaves the current directory as it was.
void THostFs::ChangeDirectory(const std::filesystem::path& path) {
  std::error_code error;
  std::filesystem::current_path(path, error);
}

std::vector<std::uint8_t> THostFs::ReadFile(const std::filesystem::path& path) {
  rtl::TFileStream stream(path, rtl::FileMode::OpenRead);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(stream.Size()));
  stream.ReadBuffer(bytes);
  return bytes;
}

void THostFs::WriteFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
  rtl::WriteFileAtomically(path, bytes);
}

}  // namespace app
