// The recent-file list's platform parts off Windows.
#include "tb/mru.h"

namespace tb {

// The name part of a path, with either kind of separator.
std::wstring FileTitleOf(const std::wstring& name) {
  const auto slash = name.find_last_of(L"\\/:");
  return slash == std::wstring::npos ? name : name.substr(slash + 1);
}

}  // namespace tb
