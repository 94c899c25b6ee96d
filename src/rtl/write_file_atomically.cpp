// Safe replacement of a host file through a temporary file beside it.
#include <string>
#include <system_error>

#include "rtl/exceptions.h"
#include "rtl/file_stream.h"

namespace rtl {

namespace {

// A new file beside the target under the first name that nothing has yet; deleted unless it was
// moved into place. Creating it exclusively needs no separate look-up, which costs a scan of the
// folder on hosts that match names case-blind.
class TTemporaryFile {
 public:
  explicit TTemporaryFile(const std::filesystem::path& target) {
    for (unsigned counter = 0; !stream_; ++counter) {
      path_ = target;
      path_ += ".~qb" + std::to_string(counter);
      stream_ = TFileStream::CreateNew(path_);
    }
  }
  TTemporaryFile(const TTemporaryFile&) = delete;
  TTemporaryFile& operator=(const TTemporaryFile&) = delete;
  ~TTemporaryFile() {
    stream_.reset();
    if (!kept_) {
      std::error_code ignored;
      std::filesystem::remove(path_, ignored);
    }
  }
  TFileStream& Stream() { return *stream_; }
  // Closes the file and moves it over `target`.
  void Replace(const std::filesystem::path& target) {
    std::unique_ptr<TFileStream> stream = std::move(stream_);
    stream->MoveOver(target);
    kept_ = true;
  }

 private:
  std::filesystem::path path_;
  std::unique_ptr<TFileStream> stream_;
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
  TTemporaryFile temporary(target);
  temporary.Stream().WriteBuffer(bytes);
  if (time) temporary.Stream().SetLastWriteTime(*time);
  temporary.Replace(target);
}

}  // namespace rtl
