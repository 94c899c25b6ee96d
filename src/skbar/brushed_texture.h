// The brushed-metal texture of the Aluminium skin, generated from a seeded random source.
//   Noise: 8 profiles of n = 50..100 points, each point a (min, max) pair of two summed sine
//   waves (held as 2n values, min then max), and 1,024 row selectors (a profile and an even
//   start offset, odd on odd rows).
//   Texture: per profile one row of 0x00RRGGBB pixels, channel = (colour channel x 256 +
//   value x roughness) clamped to 0..0xEF00, divided by 256.
//   Cache: at most 16 textures keyed by (colour, roughness), searched from the newest; a miss
//   replaces the slot at a ring index that advances modulo 16.
//   Rendering: row y uses selector (y - origin y) mod 1,024, whose profile's row is tiled from
//   origin x minus the selector's offset.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "ui/align_layout.h"
#include "ui/colors.h"

namespace skbar {

// The runtime's linear congruential generator: seed := seed x 134775813 + 1.
class TSkRandom {
 public:
  explicit TSkRandom(std::uint32_t seed = 0) : seed_(seed) {}
  // 0 .. range - 1 (0 for a range below 1).
  int Next(int range);
  // 0 <= value < 1.
  double NextFloat();

 private:
  std::uint32_t Step();
  std::uint32_t seed_;
};

constexpr int kBrushedProfileCount = 8;
constexpr int kBrushedSelectorCount = 1024;

struct TBrushedSelector {
  int profile = 0;
  int offset = 0;
};

struct TBrushedNoise {
  std::array<std::vector<int>, kBrushedProfileCount> profiles;  // min0, max0, min1, max1, ...
  std::array<TBrushedSelector, kBrushedSelectorCount> selectors;
};

TBrushedNoise MakeBrushedNoise(std::uint32_t seed);

using TBrushedTexture = std::array<std::vector<std::uint32_t>, kBrushedProfileCount>;
TBrushedTexture MakeBrushedTexture(const TBrushedNoise& noise, ui::TColor color, int roughness);

class TBrushedTextureCache {
 public:
  static constexpr int kSlots = 16;
  // The texture for (colour, roughness), made from `noise` on a miss.
  const TBrushedTexture& Get(const TBrushedNoise& noise, ui::TColor color, int roughness);
  // The slot holding (colour, roughness), if any.
  std::optional<int> Find(ui::TColor color, int roughness) const;

 private:
  struct Slot {
    bool used = false;
    ui::TColor color = 0;
    int roughness = 0;
    TBrushedTexture texture;
  };
  std::array<Slot, kSlots> slots_;
  int ring_ = 0;
};

// Paints the texture over `rect` (device coordinates) into `pixels`, whose first pixel is the
// rectangle's top-left and whose rows are `stride` pixels apart.
void RenderBrushed(const TBrushedNoise& noise, const TBrushedTexture& texture,
                   const ui::TRect& rect, int originX, int originY, std::uint32_t* pixels,
                   int stride);

// The shared tables, made on first use with a fixed seed, and the texture cache.
const TBrushedNoise& SkBrushedNoise();
TBrushedTextureCache& SkBrushedTextures();
// Drops the tables and every cached texture; the next use makes them again.
void SkReleaseBrushedTextures();

}  // namespace skbar
