// Host files through POSIX descriptors.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>
#include <system_error>

#include "rtl/exceptions.h"
#include "rtl/file_stream.h"

namespace rtl {

namespace {

constexpr std::int64_t kTicksPerSecond = 10'000'000;
constexpr std::int64_t kUnixEpochSeconds = 11'644'473'600;  // 1601-01-01 to 1970-01-01
// Keeps every transfer within ssize_t.
constexpr std::size_t kMaxTransfer = 1u << 30;

std::string SystemMessage(int error) {
  return std::generic_category().message(error);
}

[[noreturn]] void Fail(const char* action, const std::filesystem::path& path, int error) {
  throw EStreamError(std::string(action) + " \"" + path.string() + "\". " + SystemMessage(error));
}

}  // namespace

struct TFileStream::Handle {
  explicit Handle(int descriptor) : fd(descriptor) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() { ::close(fd); }
  int fd;
};

TFileStream::TFileStream(const std::filesystem::path& path, FileMode mode) : path_(path) {
  int flags = O_CLOEXEC;
  switch (mode) {
    case FileMode::OpenRead:
    case FileMode::OpenReadDenyWrite:  // no sharing modes here
      flags |= O_RDONLY;
      break;
    case FileMode::OpenReadWrite:
      flags |= O_RDWR;
      break;
    case FileMode::Create:
      flags |= O_RDWR | O_CREAT | O_TRUNC;
      break;
  }
  const char* action = mode == FileMode::Create ? "Cannot create file" : "Cannot open file";
  const int fd = ::open(path.c_str(), flags, 0666);
  if (fd < 0) Fail(action, path, errno);
  handle_ = std::make_unique<Handle>(fd);
  // A folder opens for reading on POSIX; refuse it as Windows does.
  struct stat info {};
  if (::fstat(fd, &info) != 0) Fail(action, path, errno);
  if (S_ISDIR(info.st_mode)) Fail(action, path, EISDIR);
}

TFileStream::TFileStream(const std::filesystem::path& path, std::unique_ptr<Handle> handle)
    : path_(path), handle_(std::move(handle)) {}

std::unique_ptr<TFileStream> TFileStream::CreateNew(const std::filesystem::path& path) {
  // O_EXCL also refuses a dangling symbolic link, and a folder cannot be created by open.
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) {
    if (errno == EEXIST) return nullptr;
    Fail("Cannot create file", path, errno);
  }
  return std::unique_ptr<TFileStream>(new TFileStream(path, std::make_unique<Handle>(fd)));
}

TFileStream::~TFileStream() = default;

std::size_t TFileStream::Read(std::span<std::uint8_t> buffer) {
  for (;;) {
    const ssize_t count = ::read(handle_->fd, buffer.data(), std::min(buffer.size(), kMaxTransfer));
    if (count >= 0) return static_cast<std::size_t>(count);
    if (errno != EINTR) Fail("Cannot read file", path_, errno);
  }
}

std::size_t TFileStream::Write(std::span<const std::uint8_t> data) {
  for (;;) {
    const ssize_t count = ::write(handle_->fd, data.data(), std::min(data.size(), kMaxTransfer));
    if (count >= 0) return static_cast<std::size_t>(count);
    if (errno != EINTR) Fail("Cannot write file", path_, errno);
  }
}

std::int64_t TFileStream::Seek(std::int64_t offset, SeekOrigin origin) {
  const int whence = origin == SeekOrigin::Begin     ? SEEK_SET
                     : origin == SeekOrigin::Current ? SEEK_CUR
                                                     : SEEK_END;
  const off_t position = ::lseek(handle_->fd, static_cast<off_t>(offset), whence);
  if (position < 0) Fail("Cannot seek in file", path_, errno);
  return position;
}

void TFileStream::SetSize(std::int64_t size) {
  const std::int64_t position = Position();
  if (::ftruncate(handle_->fd, static_cast<off_t>(size)) != 0)
    Fail("Cannot change the size of file", path_, errno);
  if (position > size) SetPosition(size);
}

FileTime TFileStream::GetLastWriteTime() {
  struct stat info {};
  if (::fstat(handle_->fd, &info) != 0) Fail("Cannot read the time of file", path_, errno);
  const std::int64_t seconds = static_cast<std::int64_t>(info.st_mtim.tv_sec) + kUnixEpochSeconds;
  if (seconds < 0) return 0;  // before 1601: not on the FILETIME scale
  return static_cast<FileTime>(seconds) * kTicksPerSecond +
         static_cast<FileTime>(info.st_mtim.tv_nsec / 100);
}

void TFileStream::SetLastWriteTime(FileTime time) {
  timespec times[2] = {};
  times[0].tv_nsec = UTIME_OMIT;  // access time unchanged
  times[1].tv_sec =
      static_cast<time_t>(static_cast<std::int64_t>(time / kTicksPerSecond) - kUnixEpochSeconds);
  times[1].tv_nsec = static_cast<long>(time % kTicksPerSecond * 100);
  if (::futimens(handle_->fd, times) != 0) Fail("Cannot set the time of file", path_, errno);
}

void TFileStream::MoveOver(const std::filesystem::path& target) {
  handle_.reset();
  if (std::rename(path_.c_str(), target.c_str()) != 0) Fail("Cannot replace file", target, errno);
}

}  // namespace rtl
