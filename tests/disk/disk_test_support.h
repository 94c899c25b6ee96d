// Shared helpers of the disk model tests: images on the heap, byte patterns, adding from memory,
// host files, and a fixed clock and code page.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "../rtl/temp_folder.h"
#include "disk/msx_disk.h"
#include "rtl/clock.h"
#include "rtl/code_page.h"
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

inline disk::PDirEntry RootSlots(disk::TMSXDisk& disk) {
  return reinterpret_cast<disk::PDirEntry>(disk.Buffer().data() + disk.FRootDirOffset);
}

inline std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

// A clock whose zone is a fixed offset east of UTC and whose "now" never moves.
class TFakeClock : public rtl::TClock {
 public:
  static constexpr rtl::FileTime kDefaultOffset = 7200ull * 10'000'000;
  explicit TFakeClock(int offsetSeconds = 7200, rtl::TDateTime fixedNow = {2024, 5, 6, 7, 8, 10, 0})
      : now(fixedNow), offset_(static_cast<rtl::FileTime>(offsetSeconds) * 10'000'000) {}
  rtl::TDateTime now;

  rtl::TDateTime Now() const override { return now; }
  rtl::TDateTime UtcToLocal(rtl::FileTime utc) const override {
    return rtl::CivilFromFileTime(utc + offset_);
  }
  std::optional<rtl::FileTime> LocalToUtc(const rtl::TDateTime& local) const override {
    const auto time = rtl::FileTimeFromCivil(local);
    if (!time) return std::nullopt;
    return *time - offset_;
  }

 private:
  rtl::FileTime offset_;
};

// Installs a clock for the life of the object and puts the previous one back.
class TScopedClock {
 public:
  explicit TScopedClock(const rtl::TClock& clock) : previous_(rtl::SetClock(&clock)) {}
  ~TScopedClock() { rtl::SetClock(previous_); }
  TScopedClock(const TScopedClock&) = delete;
  TScopedClock& operator=(const TScopedClock&) = delete;

 private:
  const rtl::TClock* previous_;
};

// Installs a fixed code page for the life of the object and puts the previous one back.
class TScopedCodePage {
 public:
  explicit TScopedCodePage(rtl::FixedTable table)
      : codePage_(table), previous_(rtl::SetCodePage(&codePage_)) {}
  ~TScopedCodePage() { rtl::SetCodePage(previous_); }
  TScopedCodePage(const TScopedCodePage&) = delete;
  TScopedCodePage& operator=(const TScopedCodePage&) = delete;

 private:
  rtl::TFixedCodePage codePage_;
  const rtl::TCodePage* previous_;
};

// Installs a fake clock for the life of a test.
class ClockTest : public ::testing::Test {
 protected:
  TFakeClock clock_;
  TScopedClock scoped_{clock_};
};

}  // namespace disk_test
