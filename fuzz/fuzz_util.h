// Shared by the fuzz targets and their seed generators.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <span>

// A broken invariant: libFuzzer reports the abort with the input that caused it.
inline void Require(bool condition) {
  if (!condition) std::abort();
}

// Writes one seed file, making its folder first.
inline void WriteSeed(const std::filesystem::path& file, std::span<const std::uint8_t> bytes) {
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}
