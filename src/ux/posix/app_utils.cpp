// The host build has no application object: the program is this process's executable.
#include <filesystem>
#include <system_error>

#include "ux/app_utils.h"

namespace ux {

std::wstring ApplicationExeName() {
  std::error_code error;
  return std::filesystem::read_symlink("/proc/self/exe", error).filename().wstring();
}

}  // namespace ux
