// The host file system as the program sees it: what a path is, file sizes, folder listings and
// contents for the add and drop commands; the current directory and whole-file reads and writes
// for the image commands. The program uses the std::filesystem implementation (with a Windows
// listing in the Windows build); tests use one in memory.
#pragma once

#include <cstdint>
#include <filesystem>
#include <limits>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "rtl/file_stream.h"
#include "rtl/stream.h"

namespace app::files {

enum class HostKind {
  Missing,  // neither a file nor a folder (or a link, which is never followed)
  File,
  Folder,
};

class IHostFs {
 public:
  virtual ~IHostFs() = default;
  virtual HostKind Kind(const std::filesystem::path& path) const = 0;
  // The exact byte size of a file; nothing when it cannot be read.
  virtual std::optional<std::uint64_t> FileSize(const std::filesystem::path& path) const = 0;
  // The full paths of a folder's visible entries (no ".", "..", hidden or system entries).
  virtual std::vector<std::filesystem::path> List(const std::filesystem::path& folder) const = 0;
  // Raises rtl::EStreamError when the file cannot be opened.
  virtual std::unique_ptr<rtl::TStream> OpenRead(const std::filesystem::path& path) const = 0;
  // The file's last-write time (UTC); raises rtl::EStreamError on failure.
  virtual rtl::FileTime LastWriteTime(const std::filesystem::path& path) const = 0;
  // Replaces the file only when everything was written; raises rtl::EStreamError.
  virtual void WriteFile(const std::filesystem::path& path,
                         std::span<const std::uint8_t> bytes) = 0;
  virtual std::filesystem::path CurrentDirectory() const = 0;
  // A folder that cannot be entered leaves the current directory as it was.
  virtual void ChangeDirectory(const std::filesystem::path& path) = 0;

  bool FileExists(const std::filesystem::path& path) const { return Kind(path) == HostKind::File; }
  // The file's first `limit` bytes (all of a shorter file); raises rtl::EStreamError when it
  // cannot be read.
  std::vector<std::uint8_t> ReadFile(
      const std::filesystem::path& path,
      std::uint64_t limit = std::numeric_limits<std::uint64_t>::max()) const;
  // `path` made absolute against the current directory.
  std::filesystem::path ExpandFileName(const std::filesystem::path& path) const;
};

// The real file system through std::filesystem and rtl::TFileStream. Symbolic links and
// junctions that the library recognises are reported as missing, and listings are sorted by name.
// Only names starting with "." count as hidden here; the Windows hidden and system attributes
// need the Windows listing.
class TStdHostFs : public IHostFs {
 public:
  HostKind Kind(const std::filesystem::path& path) const override;
  std::optional<std::uint64_t> FileSize(const std::filesystem::path& path) const override;
  std::vector<std::filesystem::path> List(const std::filesystem::path& folder) const override;
  std::unique_ptr<rtl::TStream> OpenRead(const std::filesystem::path& path) const override;
  rtl::FileTime LastWriteTime(const std::filesystem::path& path) const override;
  void WriteFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) override;
  std::filesystem::path CurrentDirectory() const override;
  void ChangeDirectory(const std::filesystem::path& path) override;
};

}  // namespace app::files
