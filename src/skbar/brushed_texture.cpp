#include "skbar/brushed_texture.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

namespace skbar {

std::uint32_t TSkRandom::Step() {
  seed_ = seed_ * 134775813u + 1u;
  return seed_;
}

int TSkRandom::Next(int range) {
  if (range < 1) return 0;
  return static_cast<int>(
      (static_cast<std::uint64_t>(Step()) * static_cast<std::uint32_t>(range)) >> 32);
}

double TSkRandom::NextFloat() {
  return Step() / 4294967296.0;
}

TBrushedNoise MakeBrushedNoise(std::uint32_t seed) {
  TSkRandom random(seed);
  TBrushedNoise noise;
  constexpr double kTwoPi = 2 * std::numbers::pi;
  const auto wave = [](double value) {
    return std::clamp(static_cast<int>(std::lround(value)), -255, 255);
  };
  for (auto& profile : noise.profiles) {
    const int n = (random.Next(101) + 100) / 2;
    double r[8];
    for (int i = 1; i <= 7; ++i) r[i] = random.NextFloat() * kTwoPi;
    profile.reserve(static_cast<std::size_t>(2 * n));
    for (int i = 0; i < n; ++i) {
      const double x = i * kTwoPi / n;
      int a = wave(150 * std::sin(x) + 100 * std::sin(2 * x + r[1]) + 50 * std::sin(3 * x + r[2]) +
                   20 * std::sin(4 * x + r[3]));
      int b = wave(150 * std::sin(x + r[4]) + 100 * std::sin(2 * x + r[5]) +
                   50 * std::sin(3 * x + r[6]) + 20 * std::sin(4 * x + r[7]));
      if (std::abs(a - b) >= 301) {
        const int middle = (a + b) / 2;
        a = middle - 150;
        b = middle + 150;
      }
      profile.push_back(std::min(a, b));
      profile.push_back(std::max(a, b));
    }
  }
  for (int row = 0; row < kBrushedSelectorCount; ++row) {
    TBrushedSelector& selector = noise.selectors[static_cast<std::size_t>(row)];
    selector.profile = random.Next(kBrushedProfileCount);
    const auto& profile = noise.profiles[static_cast<std::size_t>(selector.profile)];
    selector.offset = (random.Next(static_cast<int>(profile.size())) & ~1) + (row & 1);
  }
  return noise;
}

TBrushedTexture MakeBrushedTexture(const TBrushedNoise& noise, ui::TColor color, int roughness) {
  const std::uint32_t rgb = ui::ColorToRGBValue(color);
  const int channels[3] = {static_cast<int>(rgb & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                           static_cast<int>((rgb >> 16) & 0xFF)};
  TBrushedTexture texture;
  for (std::size_t p = 0; p < noise.profiles.size(); ++p) {
    auto& row = texture[p];
    row.reserve(noise.profiles[p].size());
    for (const int value : noise.profiles[p]) {
      std::uint32_t pixel = 0;
      for (const int channel : channels) {  // red, green, blue: 0x00RRGGBB
        const long long level =
            std::clamp(channel * 256LL + static_cast<long long>(value) * roughness, 0LL, 0xEF00LL);
        pixel = pixel << 8 | static_cast<std::uint32_t>(level / 256);
      }
      row.push_back(pixel);
    }
  }
  return texture;
}

std::optional<int> TBrushedTextureCache::Find(ui::TColor color, int roughness) const {
  for (int i = 1; i <= kSlots; ++i) {
    const int index = (ring_ - i + kSlots) % kSlots;
    const Slot& slot = slots_[static_cast<std::size_t>(index)];
    if (slot.used && slot.color == color && slot.roughness == roughness) return index;
  }
  return std::nullopt;
}

const TBrushedTexture& TBrushedTextureCache::Get(const TBrushedNoise& noise, ui::TColor color,
                                                 int roughness) {
  if (const auto index = Find(color, roughness))
    return slots_[static_cast<std::size_t>(*index)].texture;
  Slot& slot = slots_[static_cast<std::size_t>(ring_)];
  ring_ = (ring_ + 1) % kSlots;
  slot = {true, color, roughness, MakeBrushedTexture(noise, color, roughness)};
  return slot.texture;
}

void RenderBrushed(const TBrushedNoise& noise, const TBrushedTexture& texture,
                   const ui::TRect& rect, int originX, int originY, std::uint32_t* pixels,
                   int stride) {
  for (int y = rect.top; y < rect.bottom; ++y) {
    const int k = static_cast<int>(
        ((static_cast<long long>(y) - originY) % kBrushedSelectorCount + kBrushedSelectorCount) %
        kBrushedSelectorCount);
    const TBrushedSelector& selector = noise.selectors[static_cast<std::size_t>(k)];
    const auto& row = texture[static_cast<std::size_t>(selector.profile)];
    const long long width = static_cast<long long>(row.size());
    if (width == 0) continue;
    std::uint32_t* out = pixels + static_cast<std::ptrdiff_t>(y - rect.top) * stride;
    // The first tile that reaches into the rectangle.
    long long x0 = static_cast<long long>(originX) - selector.offset;
    if (x0 + width <= rect.left) x0 += (rect.left - x0) / width * width;
    if (x0 > rect.left) x0 -= ((x0 - rect.left + width - 1) / width) * width;
    for (; x0 < rect.right; x0 += width) {
      const long long from = std::max<long long>(x0, rect.left);
      const long long to = std::min<long long>(x0 + width, rect.right);
      for (long long x = from; x < to; ++x)
        out[x - rect.left] = row[static_cast<std::size_t>(x - x0)];
    }
  }
}

namespace {

struct SharedTextures {
  std::unique_ptr<TBrushedNoise> noise;
  std::unique_ptr<TBrushedTextureCache> cache;
};
SharedTextures shared;

}  // namespace

const TBrushedNoise& SkBrushedNoise() {
  if (!shared.noise) shared.noise = std::make_unique<TBrushedNoise>(MakeBrushedNoise(0));
  return *shared.noise;
}

TBrushedTextureCache& SkBrushedTextures() {
  if (!shared.cache) shared.cache = std::make_unique<TBrushedTextureCache>();
  return *shared.cache;
}

void SkReleaseBrushedTextures() {
  shared.noise.reset();
  shared.cache.reset();
}

}  // namespace skbar
