// The host file system of the running program: std::filesystem and the runtime's file streams.
#pragma once

#include "app/shell_ports.h"

namespace app {

class THostFs : public IHostFs {
 public:
  bool FileExists(const std::filesystem::path& path) override;
  bool DirectoryExists(const std::filesystem::path& path) override;
  std::int64_t FileSize(const std::filesystem::path& path) override;
  std::filesystem::path CurrentDirectory() override;
  void ChangeDirectory(const std::filesystem::path& path) override;
  std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) override;
  void WriteFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) override;
};

}  // namespace app
