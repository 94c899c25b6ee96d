// The recent-file list's platform parts off Windows.
#include "tb/mru.h"

#include <filesystem>
#include <system_error>

namespace tb {

// The name part of a path, with either kind of separator.
std::wstring FileTitleOf(const std::wstring& name) {
  const auto slash = name.find_last_of(L"\\/:");
  return slash == std::wstring::npos ? name : name.substr(slash + 1);
}

std::wstring ExpandFullPath(const std::wstring& name) {
  if (name.empty()) return name;
  std::error_code error;
  const std::filesystem::path full = std::filesystem::absolute(name, error);
  return error ? name : full.lexically_normal().wstring();
}

}  // namespace tb
