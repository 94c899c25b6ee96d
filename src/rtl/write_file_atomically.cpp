// Safe replacement of a host file through a temporary file beside it.
#include <string>
#include <system_error>

#include "rtl/exceptions.h"
#include "rtl/file_stream.h"

namespace rtl {

namespace {

// A name beside the target that no file or folder has yet.
std::filesystem::path UnusedTemporaryPath(const std::filesystem::path& target) {
  for (unsigned counter = 0;; ++counter) {
    std::filesystem::path candidate = target;
    candidate += ".~qb" + std::to_string(counter);
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::symlink_status(candidate, error)))
      return candidate;
  }
}

// Deletes the temporary file unless it was moved into place.
class TTemporaryFile {
 public:
  explicit TTemporaryFile(std::filesystem::path path) : path_(std::move(path)) {}
  TTemporaryFile(const TTemporaryFile&) = delete;
  TTemporaryFile& operator=(const TTemporaryFile&) = delete;
  ~TTemporaryFile() {
    if (!kept_) {
      std::error_code ignored;
      std::filesystem::remove(path_, ignored);
    }
  }
  const std::filesystem::path& Path() const { return path_; }
  void Keep() { kept_ = true; }

 private:
  std::filesystem::path path_;
  bool kept_ = false;
};

// A file that exists and that nobody may write. Replacing it through a rename would succeed on
// some hosts (and for administrators), so it is refused on every host.
bool IsReadOnlyFile(const std::filesystem::path& path) {
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  if (error || !std::filesystem::is_regular_file(status)) return false;
  using std::filesystem::perms;
  return (status.permissions() & (perms::owner_write | perms::group_write | perms::others_write)) ==
         perms::none;
}

}  // namespace

void WriteFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> bytes,
                         const FileTime* time) {
  if (IsReadOnlyFile(target)) {
    const std::u8string name = target.u8string();
    throw EStreamError("Cannot create file \"" + std::string(name.begin(), name.end()) +
                       "\". The file is read-only");
  }
  TTemporaryFile temporary(UnusedTemporaryPath(target));
  {
    TFileStream stream(temporary.Path(), FileMode::Create);
    stream.WriteBuffer(bytes);
    if (time) stream.SetLastWriteTime(*time);
  }
  ReplaceHostFile(temporary.Path(), target);
  temporary.Keep();
}

}  // namespace rtl
