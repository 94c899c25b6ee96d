// A stream over a host file. Paths are std::filesystem::path: UTF-16 on Windows, bytes on POSIX.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>

#include "rtl/stream.h"

namespace rtl {

enum class FileMode {
  OpenRead,           // existing file, read only; others may read, write and delete it meanwhile
  OpenReadDenyWrite,  // existing file, read only; others may read it but not write it meanwhile
  OpenReadWrite,      // existing file, read and write
  Create,             // create, or truncate an existing file; read and write
};

// Last-write times travel as FILETIME values: 100-ns units since 1601-01-01 UTC.
using FileTime = std::uint64_t;

class TFileStream : public TStream {
 public:
  // Raises EStreamError naming the file when it cannot be opened or created.
  TFileStream(const std::filesystem::path& path, FileMode mode);
  ~TFileStream() override;

  // Creates a file for reading and writing under a name nothing has yet; returns nullptr when a
  // file or folder already has it. Raises EStreamError for other failures.
  static std::unique_ptr<TFileStream> CreateNew(const std::filesystem::path& path);

  std::size_t Read(std::span<std::uint8_t> buffer) override;
  std::size_t Write(std::span<const std::uint8_t> data) override;
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
  void SetSize(std::int64_t size) override;

  // The file's last-write time (UTC); raises EStreamError on failure.
  FileTime GetLastWriteTime();
  void SetLastWriteTime(FileTime time);

  const std::filesystem::path& Path() const { return path_; }

  // Closes the file and moves it over `target` in the same folder, replacing what is there.
  // Raises EStreamError on failure; the file is closed either way and the stream is done.
  void MoveOver(const std::filesystem::path& target);

 private:
  struct Handle;
  TFileStream(const std::filesystem::path& path, std::unique_ptr<Handle> handle);

  std::filesystem::path path_;
  std::unique_ptr<Handle> handle_;
};

// Writes a host file safely: the bytes go to a temporary file in the target's folder, which
// replaces the target only when everything was written. `time`, when given, becomes the new
// file's last-write time. Raises EStreamError; on failure the target is left as it was.
void WriteFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> bytes,
                         const FileTime* time = nullptr);

}  // namespace rtl
