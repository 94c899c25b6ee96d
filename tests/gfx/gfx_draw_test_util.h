// Helpers of the drawing and resampling tests: the units started once per test program,
// random bitmaps, pixel lists, a recorder of reported areas and binary PPM files.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "gfx/bitmap32.h"
#include "gfx/startup.h"

namespace gfx::testing {

// Starts the units (the real resampler registry, the gamma table) before any test.
struct TUnitsStarted : ::testing::Environment {
  void SetUp() override {
    gfx::Initialize();
    InitializeBitmapUnit();
  }
  void TearDown() override {
    FinalizeBitmapUnit();
    gfx::Finalize();
  }
};
inline ::testing::Environment* const kUnitsStarted =
    ::testing::AddGlobalTestEnvironment(new TUnitsStarted);

// Width x Height random pixels.
inline void Fill(TBitmap32& B, int Width, int Height, unsigned Seed) {
  B.SetSize(Width, Height);
  std::mt19937 rng(Seed);
  for (int y = 0; y < Height; ++y)
    for (int x = 0; x < Width; ++x) B.SetPixel(x, y, rng());
}

inline std::vector<TColor32> Pixels(const TBitmap32& B) {
  if (B.Empty()) return {};
  return std::vector<TColor32>(B.Bits(),
                               B.Bits() + static_cast<std::size_t>(B.Width()) * B.Height());
}

// The areas the bitmap reports.
struct AreaLog {
  explicit AreaLog(TBitmap32& B) {
    B.OnAreaChanged = [this](TBitmap32*, const TRect& r, std::uint32_t info) {
      areas.push_back(r);
      infos.push_back(info);
    };
  }
  std::vector<TRect> areas;
  std::vector<std::uint32_t> infos;
};

// Binary PPM (P6, maximum 255): red, green, blue per pixel; reading gives alpha 255.
inline void WritePpm(const TBitmap32& B, const std::filesystem::path& Path) {
  std::ofstream f(Path, std::ios::binary);
  f << "P6\n" << B.Width() << " " << B.Height() << "\n255\n";
  for (int y = 0; y < B.Height(); ++y)
    for (int x = 0; x < B.Width(); ++x) {
      const TColor32 c = B.GetPixel(x, y);
      const char rgb[3] = {static_cast<char>(c >> 16), static_cast<char>(c >> 8),
                           static_cast<char>(c)};
      f.write(rgb, 3);
    }
}

inline void ReadPpm(TBitmap32& B, const std::filesystem::path& Path) {
  std::ifstream f(Path, std::ios::binary);
  std::string magic;
  int w = 0, h = 0, max = 0;
  f >> magic >> w >> h >> max;
  f.get();
  ASSERT_EQ(magic, "P6");
  ASSERT_EQ(max, 255);
  B.SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      unsigned char rgb[3] = {};
      f.read(reinterpret_cast<char*>(rgb), 3);
      B.SetPixel(x, y, 0xFF000000u | rgb[0] << 16 | rgb[1] << 8 | rgb[2]);
    }
}

}  // namespace gfx::testing
