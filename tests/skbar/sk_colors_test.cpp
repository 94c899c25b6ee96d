#include "skbar/sk_colors.h"

#include <gtest/gtest.h>

#include <array>

namespace skbar {
namespace {

constexpr TColor kBlack = 0x000000, kWhite = 0xFFFFFF;

TEST(SkColors, MixingWeighsPerCentBelowOneHundredAndPerMilleFromIt) {
  struct Case {
    TColor c1, c2;
    int weight;
    TColor expected;
  };
  const Case cases[] = {
      {kBlack, kWhite, 50, 0x808080},   // (50*0 + 50*255 + 50) / 100
      {kBlack, kWhite, 500, 0x808080},  // the same per mille
      {kWhite, kBlack, 100, 0x1A1A1A},  // 100 is 10 %: (25500 + 500) / 1000
      {kWhite, kBlack, 165, 0x2A2A2A},  // 16.5 %
      {kWhite, kBlack, 99, 0xFCFCFC},   // still per cent
      {0x0000FF, 0xFF0000, 30, 0xB3004D},
      {kWhite, kBlack, 2000, kWhite},  // beyond 100 % stays in range
      {kWhite, kBlack, -20, kBlack},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.weight);
    EXPECT_EQ(SkMixColors(c.c1, c.c2, c.weight), c.expected);
  }
}

TEST(SkColors, BlendLightenAndChannelsClampAndTruncateTowardZero) {
  // c2 + alpha * (c1 - c2) div 255: negative differences truncate toward zero.
  EXPECT_EQ(SkBlendColors(kBlack, kWhite, 1), 0xFEFEFE);
  EXPECT_EQ(SkBlendColors(kBlack, 0x646464, 3), 0x636363);  // 100 - 300 div 255
  EXPECT_EQ(SkBlendColors(0x0000FF, 0x00FF00, 128), 0x007F80);
  EXPECT_EQ(SkBlendColors(kWhite, kBlack, 255), kWhite);
  EXPECT_EQ(SkLighten(0x10F080, 20), 0x24FF94);
  EXPECT_EQ(SkLighten(0x10F080, -20), 0x00DC6C);
  EXPECT_EQ(SkRGBToColor(-5, 300, 7), 0x07FF00);
  int r, g, b;
  SkGetRGB(0x123456, r, g, b);
  EXPECT_EQ((std::array{r, g, b}), (std::array{0x56, 0x34, 0x12}));
  EXPECT_EQ(SkColorToHTML(0x123456), L"#563412");
}

TColor FakeSysColor(int index) {
  return 0x010203 * static_cast<TColor>(index);
}

TEST(SkColors, SystemColoursResolveThroughTheInstalledResolver) {
  const TSysColorResolver previous = SkSetSysColorResolver(&FakeSysColor);
  EXPECT_EQ(SkColorToRGB(clSystemColor | 5), 0x050A0Fu);
  EXPECT_EQ(SkMixColors(clSystemColor | 0x10, kBlack, 50), SkRGBToColor(0x18, 0x10, 0x08));
  EXPECT_EQ(SkColorToHTML(clSystemColor | 1), L"#030201");
  SkSetSysColorResolver(previous);
  EXPECT_EQ(SkColorToRGB(clSystemColor | 15), SkPlatformSysColor(15));
  EXPECT_EQ(SkColorToRGB(clNone), 0xFFFFFFu);  // "not set" is never drawn; its bits read white
}

}  // namespace
}  // namespace skbar
