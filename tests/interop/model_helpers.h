// Small conveniences over the disk model for the interop tests: new, saved and loaded images,
// streams of bytes, a fixed clock and a listing of the whole tree through the model.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "disk/msx_disk.h"
#include "oracle.h"
#include "rtl/clock.h"

namespace interop {

// A clock whose "now" is fixed and whose zone is UTC, so new stamps are known in advance.
class FixedClock : public rtl::TClock {
 public:
  explicit FixedClock(const rtl::TDateTime& now) : now_(now) {}
  rtl::TDateTime Now() const override { return now_; }
  rtl::TDateTime UtcToLocal(rtl::FileTime utc) const override;
  std::optional<rtl::FileTime> LocalToUtc(const rtl::TDateTime& local) const override;

 private:
  rtl::TDateTime now_;
};

// Installs a clock for the lifetime of the object.
class ScopedClock {
 public:
  explicit ScopedClock(const rtl::TClock& clock) : previous_(rtl::SetClock(&clock)) {}
  ~ScopedClock() { rtl::SetClock(previous_); }
  ScopedClock(const ScopedClock&) = delete;
  ScopedClock& operator=(const ScopedClock&) = delete;

 private:
  const rtl::TClock* previous_;
};

// "YYYY-MM-DD HH:MM", the precision mdir shows.
std::string MinuteStamp(const rtl::TDateTime& time);
// "YYYY-MM-DD HH:MM:SS".
std::string SecondStamp(const rtl::TDateTime& time);

// A prepared image with the MSX-DOS 1 boot block, as the program makes it.
std::unique_ptr<disk::TMSXDisk> NewImage(bool doubleSided);
disk::PDirEntry AddBytes(disk::TMSXDisk& image, std::wstring_view name,
                         const std::vector<std::uint8_t>& bytes);
void SaveImage(const disk::TMSXDisk& image, const std::filesystem::path& path);
// Loads through LoadFromBuffer, or through LoadFromStream over a host file stream.
enum class LoadVia { Buffer, FileStream };
std::unique_ptr<disk::TMSXDisk> LoadImage(const std::filesystem::path& path,
                                          LoadVia via = LoadVia::Buffer);

// "/A/B/FILE.EXT" -> "\A\B" and "FILE.EXT".
std::string ParentOf(const std::string& path);
std::string LeafOf(const std::string& path);
std::string ModelPath(const std::string& slashPath);

// The whole tree as the model sees it (directories without stamps, files with stamps to the
// second); the current directory is the root afterwards.
Tree ListWithModel(disk::TMSXDisk& image);

}  // namespace interop
