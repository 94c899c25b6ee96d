// Host files for the track library: a handle holds the file's name and its stream. Sharing is the
// stream's: on Windows an open file refuses other writers; elsewhere there are no sharing modes.
#include "hfe/host_files.h"

#include <limits>
#include <span>
#include <string_view>

#include "rtl/file_stream.h"

namespace hfe {

struct THostFile {
  THostFile(const std::filesystem::path& path, rtl::FileMode mode)
      : name(path), stream(path, mode) {}
  std::filesystem::path name;
  rtl::TFileStream stream;
};

THostFile* OpenHostFile(const std::filesystem::path& name, const char* mode) {
  const std::string_view text = mode ? mode : "";
  if (text == "rb") return new THostFile(name, rtl::FileMode::OpenReadDenyWrite);
  if (text == "wb") return new THostFile(name, rtl::FileMode::Create);
  return nullptr;
}

int ReadHostFile(void* buffer, std::size_t size, THostFile* file) {
  if (!file || size == 0) return 0;
  return file->stream.ReadFully({static_cast<std::uint8_t*>(buffer), size}) > 0 ? 1 : 0;
}

std::size_t WriteHostFile(const void* data, std::size_t size, std::size_t count, THostFile* file) {
  if (!file || size == 0 || count == 0 || count > std::numeric_limits<std::size_t>::max() / size)
    return 0;
  file->stream.WriteBuffer({static_cast<const std::uint8_t*>(data), size * count});
  return count;
}

void CloseHostFile(THostFile* file) {
  delete file;
}

void SeekHostFile(THostFile* file, std::int32_t offset, int whence) {
  if (!file || whence < 0 || whence > 2) return;
  rtl::TStream& stream = file->stream;
  const std::int64_t base = whence == 0 ? 0 : whence == 1 ? stream.Position() : stream.Size();
  const std::int64_t target = base + static_cast<std::int64_t>(offset);
  if (target >= 0) stream.SetPosition(target);
}

}  // namespace hfe
