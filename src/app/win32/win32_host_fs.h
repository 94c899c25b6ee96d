// The host file system of the running program on Windows: folder listings leave out hidden and
// system entries, as the shell shows folders by default.
#pragma once

#include "app/files/host_fs.h"

namespace app {

class TWin32HostFs final : public files::TStdHostFs {
 public:
  // The folder's entries other than ".", "..", hidden and system ones, sorted by name; empty
  // when the folder cannot be listed.
  std::vector<std::filesystem::path> List(const std::filesystem::path& folder) const override;
};

}  // namespace app
