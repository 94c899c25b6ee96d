#include "app/win32/win32_host_fs.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string_view>
#include <type_traits>

namespace app {

namespace {

struct FindCloser {
  void operator()(HANDLE search) const { FindClose(search); }
};
using TFindHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, FindCloser>;

}  // namespace

std::vector<std::filesystem::path> TWin32HostFs::List(const std::filesystem::path& folder) const {
  std::vector<std::filesystem::path> entries;
  WIN32_FIND_DATAW found{};
  const HANDLE first = FindFirstFileExW((folder / L"*").c_str(), FindExInfoBasic, &found,
                                        FindExSearchNameMatch, nullptr, 0);
  if (first == INVALID_HANDLE_VALUE) return entries;
  const TFindHandle search(first);
  constexpr DWORD kUnlisted = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  do {
    const std::wstring_view name = found.cFileName;
    if (name == L"." || name == L".." || (found.dwFileAttributes & kUnlisted) != 0) continue;
    entries.push_back(folder / found.cFileName);
  } while (FindNextFileW(search.get(), &found));
  std::sort(entries.begin(), entries.end());
  return entries;
}

}  // namespace app
