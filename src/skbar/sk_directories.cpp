#include "skbar/sk_directories.h"

#include <filesystem>
#include <system_error>

namespace skbar {

bool SkGetDirectories(const std::wstring& folder, ui::TStrings& list) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::directory_iterator it(fs::path(folder), error);
  bool found = false;
  for (; !error && it != fs::directory_iterator(); it.increment(error)) {
    std::error_code kindError;
    // Folders only: the platform's search with the directory attribute also passes plain
    // files, which a list of directories must not hold.
    if (!it->is_directory(kindError)) continue;
    list.Add(it->path().filename().wstring());
    found = true;
  }
  return found;
}

}  // namespace skbar
