// Host files through Win32 handles, opened by their full UTF-16 path.
#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "rtl/exceptions.h"
#include "rtl/file_stream.h"
#include "rtl/win32/text.h"

namespace rtl {

namespace {

[[noreturn]] void Fail(const char* action, const std::filesystem::path& path, DWORD error) {
  throw EStreamError(std::string(action) + " \"" + win32::Utf8FromWide(path.native()) + "\". " +
                     win32::SystemErrorMessage(error));
}

constexpr DWORD kMaxTransfer = 1u << 30;

FILETIME ToFiletime(FileTime time) {
  return {static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
}

}  // namespace

struct TFileStream::Handle {
  explicit Handle(HANDLE h) : handle(h) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() { CloseHandle(handle); }
  HANDLE handle;
};

TFileStream::TFileStream(const std::filesystem::path& path, FileMode mode) : path_(path) {
  DWORD access = GENERIC_READ;
  DWORD share = FILE_SHARE_READ;
  DWORD disposition = OPEN_EXISTING;
  switch (mode) {
    case FileMode::OpenRead:
      share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
      break;
    case FileMode::OpenReadDenyWrite:  // read access, read sharing only
      break;
    case FileMode::OpenReadWrite:
      access |= GENERIC_WRITE;
      break;
    case FileMode::Create:
      access |= GENERIC_WRITE;
      disposition = CREATE_ALWAYS;
      break;
  }
  const HANDLE handle = CreateFileW(path.c_str(), access, share, nullptr, disposition,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE)
    Fail(mode == FileMode::Create ? "Cannot create file" : "Cannot open file", path,
         GetLastError());
  handle_ = std::make_unique<Handle>(handle);
}

TFileStream::TFileStream(const std::filesystem::path& path, std::unique_ptr<Handle> handle)
    : path_(path), handle_(std::move(handle)) {}

std::unique_ptr<TFileStream> TFileStream::CreateNew(const std::filesystem::path& path) {
  const HANDLE handle =
      CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr,
                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    // A folder of that name gives "access denied" rather than "exists".
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ||
        (error == ERROR_ACCESS_DENIED &&
         GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES))
      return nullptr;
    Fail("Cannot create file", path, error);
  }
  return std::unique_ptr<TFileStream>(new TFileStream(path, std::make_unique<Handle>(handle)));
}

TFileStream::~TFileStream() = default;

std::size_t TFileStream::Read(std::span<std::uint8_t> buffer) {
  DWORD count = 0;
  const auto wanted = static_cast<DWORD>(std::min<std::size_t>(buffer.size(), kMaxTransfer));
  if (!ReadFile(handle_->handle, buffer.data(), wanted, &count, nullptr))
    Fail("Cannot read file", path_, GetLastError());
  return count;
}

std::size_t TFileStream::Write(std::span<const std::uint8_t> data) {
  DWORD count = 0;
  const auto wanted = static_cast<DWORD>(std::min<std::size_t>(data.size(), kMaxTransfer));
  if (!WriteFile(handle_->handle, data.data(), wanted, &count, nullptr))
    Fail("Cannot write file", path_, GetLastError());
  return count;
}

std::int64_t TFileStream::Seek(std::int64_t offset, SeekOrigin origin) {
  const DWORD method = origin == SeekOrigin::Begin     ? FILE_BEGIN
                       : origin == SeekOrigin::Current ? FILE_CURRENT
                                                       : FILE_END;
  LARGE_INTEGER distance{};
  distance.QuadPart = offset;
  LARGE_INTEGER position{};
  if (!SetFilePointerEx(handle_->handle, distance, &position, method))
    Fail("Cannot seek in file", path_, GetLastError());
  return position.QuadPart;
}

void TFileStream::SetSize(std::int64_t size) {
  const std::int64_t position = Position();
  SetPosition(size);
  if (!SetEndOfFile(handle_->handle)) Fail("Cannot change the size of file", path_, GetLastError());
  SetPosition(std::min(position, size));
}

FileTime TFileStream::GetLastWriteTime() {
  FILETIME time{};
  if (!GetFileTime(handle_->handle, nullptr, nullptr, &time))
    Fail("Cannot read the time of file", path_, GetLastError());
  return static_cast<FileTime>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

void TFileStream::SetLastWriteTime(FileTime time) {
  const FILETIME written = ToFiletime(time);
  if (!SetFileTime(handle_->handle, nullptr, nullptr, &written))
    Fail("Cannot set the time of file", path_, GetLastError());
}

void TFileStream::MoveOver(const std::filesystem::path& target) {
  // Renaming through the open handle spares the host a second open of the file by name.
  const std::wstring& name = target.native();
  const std::size_t nameBytes = name.size() * sizeof(wchar_t);
  std::vector<std::uint8_t> buffer(offsetof(FILE_RENAME_INFO, FileName) + nameBytes +
                                   sizeof(wchar_t));
  auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  info->ReplaceIfExists = TRUE;
  info->RootDirectory = nullptr;
  info->FileNameLength = static_cast<DWORD>(nameBytes);
  std::memcpy(info->FileName, name.c_str(), nameBytes + sizeof(wchar_t));
  const bool moved = SetFileInformationByHandle(handle_->handle, FileRenameInfo, info,
                                                static_cast<DWORD>(buffer.size())) != FALSE;
  handle_.reset();
  if (moved) return;
  // Where the handle form is refused, the rename by name does the same.
  if (!MoveFileExW(path_.c_str(), target.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    Fail("Cannot replace file", target, GetLastError());
}

}  // namespace rtl
