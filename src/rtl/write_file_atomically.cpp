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

}  // namespace

void WriteFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> bytes,
                         const FileTime* time) {
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
