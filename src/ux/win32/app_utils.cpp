#include <windows.h>

#include <filesystem>
#include <string>

#include "ux/app_utils.h"

namespace ux {

std::wstring ApplicationExeName() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return std::filesystem::path(path).filename().wstring();
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace ux
