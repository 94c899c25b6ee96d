// Shared helpers of the disk model tests: images on the heap, a fixed clock, byte patterns,
// adding from memory and a scratch folder.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "disk/msx_disk.h"
#include "rtl/clock.h"
#include "rtl/stream.h"

namespace disk_test {

// Never on the stack: the image buffer alone is 737,280 bytes.
inline std::unique_ptr<disk::TMSXDisk> NewDisk(bool doubleSided = true) {
  auto disk = std::make_unique<disk::TMSXDisk>();
  disk->PrepareNewImage(doubleSided);
  return disk;
}

inline std::vector<std::uint8_t> Pattern(std::size_t size, unsigned seed = 1) {
  std::vector<std::uint8_t> bytes(size);
  std::uint32_t state = seed * 2654435761u + 1;
  for (auto& b : bytes) {
    state = state * 1103515245u + 12345u;
    b = static_cast<std::uint8_t>(state >> 16);
  }
  return bytes;
}

inline disk::PDirEntry AddBytes(disk::TMSXDisk& disk, const std::wstring& name,
                                const std::vector<std::uint8_t>& bytes) {
  rtl::TMemoryStream stream(bytes);
  return disk.Add(name, stream);
}

inline std::vector<std::uint8_t> Snapshot(const disk::TMSXDisk& disk) {
  const auto bytes = disk.Buffer();
  return {bytes.begin(), bytes.end()};
}

// A clock with a fixed "now" in a zone two hours east of UTC.
class TFakeClock : public rtl::TClock {
 public:
  static constexpr rtl::FileTime kOffset = 2ull * 3600 * 10'000'000;
  rtl::TDateTime now{2024, 5, 6, 7, 8, 10, 0};

  rtl::TDateTime Now() const override { return now; }
  rtl::TDateTime UtcToLocal(rtl::FileTime utc) const override {
    return rtl::CivilFromFileTime(utc + kOffset);
  }
  std::optional<rtl::FileTime> LocalToUtc(const rtl::TDateTime& local) const override {
    const auto time = rtl::FileTimeFromCivil(local);
    if (!time) return std::nullopt;
    return *time - kOffset;
  }
};

// Installs a fake clock for the life of a test.
class ClockTest : public ::testing::Test {
 protected:
  void SetUp() override { previous_ = rtl::SetClock(&clock_); }
  void TearDown() override { rtl::SetClock(previous_); }
  TFakeClock clock_;

 private:
  const rtl::TClock* previous_ = nullptr;
};

class TScratchFolder {
 public:
  TScratchFolder() {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = std::filesystem::temp_directory_path() /
            ("qb_disk_" + std::to_string(stamp) + "_" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
  }
  TScratchFolder(const TScratchFolder&) = delete;
  TScratchFolder& operator=(const TScratchFolder&) = delete;
  ~TScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  std::filesystem::path operator/(const std::filesystem::path& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

}  // namespace disk_test
