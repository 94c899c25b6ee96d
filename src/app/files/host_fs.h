// The host file system as the add and drop commands see it: what a path is, file sizes, folder
// listings and file contents. The program uses the std::filesystem implementation; tests use fakes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
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
};

// The real file system through std::filesystem and rtl::TFileStream. Symbolic links and
// junctions that the library recognises are reported as missing, and listings are sorted by name.
// Only names starting with "." count as hidden here; the Windows hidden and system attributes
// need a Windows implementation of this interface.
class TStdHostFs final : public IHostFs {
 public:
  HostKind Kind(const std::filesystem::path& path) const override;
  std::optional<std::uint64_t> FileSize(const std::filesystem::path& path) const override;
  std::vector<std::filesystem::path> List(const std::filesystem::path& folder) const override;
  std::unique_ptr<rtl::TStream> OpenRead(const std::filesystem::path& path) const override;
  rtl::FileTime LastWriteTime(const std::filesystem::path& path) const override;
};

}  // namespace app::files
