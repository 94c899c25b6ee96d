// The host file system of the running program: std::filesystem and the runtime's file streams.
#pragma once

#include "app/files/host_fs.h"
#include "app/shell_ports.h"

namespace app {

class THostFs : public IHostFs {
 public:
  files::HostKind Kind(const std::filesystem::path& path) const override;
  std::optional<std::uint64_t> FileSize(const std::filesystem::path& path) const override;
  std::vector<std::filesystem::path> List(const std::filesystem::path& folder) const override;
  std::unique_ptr<rtl::TStream> OpenRead(const std::filesystem::path& path) const override;
  rtl::FileTime LastWriteTime(const std::filesystem::path& path) const override;

  bool FileExists(const std::filesystem::path& path) override;
  bool DirectoryExists(const std::filesystem::path& path) override;
  std::filesystem::path CurrentDirectory() override;
  void ChangeDirectory(const std::filesystem::path& path) override;
  std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) override;
  void WriteFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) override;

 private:
  files::TStdHostFs files_;
};

}  // namespace app
