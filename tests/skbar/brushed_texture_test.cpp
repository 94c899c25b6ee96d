// The brushed-metal texture: seeded noise, row pixels, the texture cache and row tiling.
#include <gtest/gtest.h>

#include "skbar/brushed_texture.h"

namespace skbar {
namespace {

TEST(BrushedTexture, NoiseTables) {
  const TBrushedNoise noise = MakeBrushedNoise(1234);
  for (const auto& profile : noise.profiles) {
    ASSERT_EQ(profile.size() % 2, 0u);
    EXPECT_GE(profile.size(), 100u);
    EXPECT_LE(profile.size(), 200u);
    for (std::size_t i = 0; i < profile.size(); i += 2) {
      EXPECT_LE(profile[i], profile[i + 1]);
      EXPECT_LE(profile[i + 1] - profile[i], 300);  // the two waves never lie 301 apart
      EXPECT_GE(profile[i], -255);
      EXPECT_LE(profile[i + 1], 255);
    }
  }
  bool spread = false;  // some pair is held at exactly 300 apart by the midpoint rule
  for (const auto& profile : noise.profiles)
    for (std::size_t i = 0; i < profile.size(); i += 2)
      spread |= profile[i + 1] - profile[i] == 300;
  EXPECT_TRUE(spread);
  for (int row = 0; row < kBrushedSelectorCount; ++row) {
    const auto& selector = noise.selectors[static_cast<std::size_t>(row)];
    ASSERT_GE(selector.profile, 0);
    ASSERT_LT(selector.profile, kBrushedProfileCount);
    EXPECT_EQ(selector.offset % 2, row % 2);
    EXPECT_LT(static_cast<std::size_t>(selector.offset),
              noise.profiles[static_cast<std::size_t>(selector.profile)].size());
  }
  const TBrushedNoise again = MakeBrushedNoise(1234);
  EXPECT_EQ(again.profiles, noise.profiles);
  EXPECT_NE(MakeBrushedNoise(99).profiles, noise.profiles);
}

TEST(BrushedTexture, RowPixels) {
  TBrushedNoise noise;
  noise.profiles[0] = {255, -255, 0, -30};
  struct Case {
    ui::TColor color;
    int roughness;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB
  };
  const Case cases[] = {
      // (199 x 256 + 255 x 12) / 256 = 210; (199 x 256 - 3060) / 256 = 187.
      {0xC7C7C7, 12, {0xD2D2D2, 0xBBBBBB, 0xC7C7C7, 0xC5C5C5}},
      // A TColor's red lands in bits 16-23; channels clamp at 0xEF00 (239) and 0.
      {0x000080, 1, {0x800000, 0x7F0000, 0x800000, 0x7F0000}},
      {0xFFFFFF, 12, {0xEFEFEF, 0xEFEFEF, 0xEFEFEF, 0xEFEFEF}},
      {0x000000, 12, {0x0B0B0B, 0x000000, 0x000000, 0x000000}},
  };
  for (const auto& c : cases) {
    const TBrushedTexture texture = MakeBrushedTexture(noise, c.color, c.roughness);
    EXPECT_EQ(texture[0], c.pixels) << std::hex << c.color;
    EXPECT_TRUE(texture[1].empty());
  }
}

TEST(BrushedTexture, CacheKeepsSixteenNewest) {
  TBrushedNoise noise;
  noise.profiles[0] = {0};
  TBrushedTextureCache cache;
  for (int i = 0; i < 17; ++i) cache.Get(noise, static_cast<ui::TColor>(i), 12);
  EXPECT_FALSE(cache.Find(0, 12));  // the oldest went for the 17th
  EXPECT_EQ(cache.Find(16, 12), 0);
  EXPECT_EQ(cache.Find(1, 12), 1);
  EXPECT_FALSE(cache.Find(1, 13));
  const auto* first = &cache.Get(noise, 5, 12);
  EXPECT_EQ(first, &cache.Get(noise, 5, 12));  // a hit makes nothing new
  EXPECT_EQ(cache.Find(1, 12), 1);
}

TEST(BrushedTexture, RowsTileFromTheOrigin) {
  const TBrushedNoise& noise = SkBrushedNoise();
  const TBrushedTexture& texture = SkBrushedTextures().Get(noise, 0xDFDFDF, 12);
  for (const auto& [rect, originX, originY] : {std::tuple{ui::TRect{0, 0, 450, 6}, 0, 0},
                                               std::tuple{ui::TRect{-37, 1020, 260, 1030}, 5, -3},
                                               std::tuple{ui::TRect{500, -8, 520, -2}, 900, 4}}) {
    const int width = rect.Width();
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width * rect.Height()));
    RenderBrushed(noise, texture, rect, originX, originY, pixels.data(), width);
    for (int y = rect.top; y < rect.bottom; ++y) {
      const auto& selector =
          noise.selectors[static_cast<std::size_t>(((y - originY) % 1024 + 1024) % 1024)];
      const auto& row = texture[static_cast<std::size_t>(selector.profile)];
      const int size = static_cast<int>(row.size());
      for (int x = rect.left; x < rect.right; ++x) {
        const int at = ((x - originX + selector.offset) % size + size) % size;
        ASSERT_EQ(pixels[static_cast<std::size_t>((y - rect.top) * width + x - rect.left)],
                  row[static_cast<std::size_t>(at)])
            << x << "," << y;
      }
    }
  }
  SkReleaseBrushedTextures();
  EXPECT_EQ(SkBrushedNoise().profiles, MakeBrushedNoise(0).profiles);
}

}  // namespace
}  // namespace skbar
