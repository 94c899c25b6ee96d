#include "skbar/sk_geometry.h"

#include <gtest/gtest.h>

#include "line_raster.h"

namespace skbar {
namespace {

using skbar_test::Pixels;

constexpr TColor kA = 0x0000A0, kB = 0x00B000, kC = 0xC00000, kD = 0x0D0D0D;

TEST(SkGeometry, BorderLinesCutCornersUnlessForcedSquare) {
  const TRect r{0, 0, 6, 5};
  const std::vector<TSkPolyline> expected = {{{{1, 3}, {1, 1}, {4, 1}}, kC},
                                             {{{1, 3}, {4, 3}, {4, 0}}, kD},
                                             {{{1, 4}, {0, 3}, {0, 1}, {1, 0}, {4, 0}, {5, 1}}, kA},
                                             {{{5, 1}, {5, 3}, {4, 4}, {0, 4}}, kB}};
  EXPECT_EQ(SkSkinBorderLines(r, 1, {kA, kB, kC, kD}, 0), expected);

  // Outer pixels of a 6 x 5 frame: which corner pixels are left out.
  const auto corners = [&](int corner, TAnchors force) {
    Pixels pixels;
    for (const TSkPolyline& line : SkRectangleLines(r, corner, force, kA, kB, clNone, clNone)) {
      skbar_test::AddPolyline(pixels, line.points);
    }
    std::string set;
    for (const auto& p : {std::pair{0, 0}, {5, 0}, {0, 4}, {5, 4}})
      set += pixels.count(p) ? '#' : '.';
    return set;
  };
  EXPECT_EQ(corners(0, 0), "####");
  EXPECT_EQ(corners(1, 0), "....");
  EXPECT_EQ(corners(1, akLeft), "#.#.");
  EXPECT_EQ(corners(2, akTop | akRight), "##.#");
  EXPECT_EQ(corners(7, akBottom), "..##");  // corner size clamped to 2
  EXPECT_EQ(corners(2, akLeft | akTop | akRight | akBottom), "####");

  // Only the roundings 0..2 draw, and only colours that are set.
  EXPECT_TRUE(SkSkinBorderLines(r, 3, {kA, kB, kC, kD}, 0).empty());
  EXPECT_TRUE(SkSkinBorderLines(r, 5, {kA, kB, kC, kD}, 0).empty());
  EXPECT_TRUE(SkSkinBorderLines(r, -1, {kA, kB, kC, kD}, 0).empty());
  EXPECT_EQ(SkSkinBorderLines(r, 0, {clNone, kB, clNone, clNone}, 0).size(), 1u);
  EXPECT_TRUE(SkRectangleLines({4, 4, 4, 9}, 0, 0, kA, kB, kC, kD).empty());
}

TEST(SkGeometry, BodyPlansByStyle) {
  struct Case {
    int style;
    TRect r;
    bool vertical;
    bool bandsVertical;
    std::vector<TSkGradientBand> bands;
  };
  const std::array<TColor, 4> c{kA, kB, kC, kD};
  const Case cases[] = {
      {1, {0, 0, 10, 21}, false, true, {{0, 20, 20, kA, kB}}},
      {1, {0, 0, 10, 21}, true, false, {{0, 9, 9, kA, kB}}},
      {2, {0, 0, 10, 21}, true, true, {{0, 20, 20, kA, kB}}},
      {3, {0, 0, 10, 10}, false, true, {{0, 3, 3, kA, kB}, {3, 6, 3, kB, kC}, {6, 9, 3, kC, kD}}},
      // Two pixels high: the bands stop at the last row.
      {3, {0, 0, 10, 2}, false, true, {{0, 1, 1, kA, kB}, {1, 1, 1, kB, kC}}},
      {6, {0, 0, 10, 3}, false, false, {{0, 4, 4, kA, kB}, {4, 9, 4, kC, kD}}},
      {7, {0, 0, 3, 10}, false, true, {{0, 3, 3, kA, kB}, {3, 9, 6, kC, kD}}},
      {7, {0, 0, 3, 2}, false, true, {{0, 0, 0, kA, kB}, {0, 1, 1, kC, kD}}},
      {9, {0, 0, 3, 41}, false, true, {{0, 9, 9, kA, kB}, {9, 40, 31, kC, kD}}},
      {9, {0, 0, 41, 3}, true, false, {{0, 9, 9, kA, kB}, {9, 40, 31, kC, kD}}},
      {1, {0, 0, 10, 0}, false, true, {}},
      {11, {0, 0, 10, 10}, false, false, {}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.style);
    const TSkBodyPlan plan = SkBodyPlan(k.r, k.style, c, k.vertical);
    EXPECT_FALSE(plan.solid);
    EXPECT_EQ(plan.vertical, k.bandsVertical);
    EXPECT_EQ(plan.bands, k.bands);
  }
  const TSkBodyPlan solid = SkBodyPlan({0, 0, 4, 4}, 0, c, true);
  EXPECT_TRUE(solid.solid);
  EXPECT_EQ(solid.solidColor, kA);
}

TEST(SkGeometry, LineByLineGradientColours) {
  // The last band of style 3 on 11 rows runs over 6..10 with a chunk of 3.
  const TSkGradientBand band{6, 10, 3, 0x000000, 0x0000FF};
  EXPECT_EQ(SkGradientLineColor(band, 6), 0x000000u);
  EXPECT_EQ(SkGradientLineColor(band, 7), 0x000055u);
  EXPECT_EQ(SkGradientLineColor(band, 9), 0x0000FFu);
  EXPECT_EQ(SkGradientLineColor(band, 10), 0x0000FFu);  // not 340: kept at the end colour
  EXPECT_EQ(SkGradientLineColor({0, 0, 0, 0xFFFFFF, 0}, 0), 0xFFFFFFu);
  EXPECT_EQ(SkGradientLineColor({0, 4, 4, 0xFFFFFF, 0}, 1), 0xC0C0C0u);
}

TEST(SkGeometry, GripsGlyphsMarksAndRings) {
  const std::vector<TSkGripDot> dots = SkDotsGrip({0, 0, 9, 5});
  ASSERT_EQ(dots.size(), 2u);
  EXPECT_EQ(dots[1].shadow, (TRect{5, 1, 7, 3}));
  EXPECT_EQ(dots[1].dot, (TRect{4, 0, 6, 2}));
  EXPECT_EQ(SkDotsGrip({3, 3, 3, 3}).size(), 1u);

  EXPECT_EQ(SkGlyphPatternRect({0, 0, 16, 16}, 3), (TRect{4, 4, 12, 13}));
  EXPECT_EQ(SkGlyphPatternRect({0, 0, 15, 15}, 3), (TRect{4, 3, 12, 12}));
  EXPECT_EQ(SkGlyphPattern(0).rows[3], 0x38);

  EXPECT_EQ(SkMenuCheckMarkPoints({0, 0, 16, 16})[0], (TPoint{4, 7}));
  EXPECT_EQ(SkCheckBoxMarkPoints({0, 0, 16, 16})[2], (TPoint{11, 7}));
  EXPECT_EQ(SkMenuRadioMarkRect({0, 0, 16, 15}), (TRect{6, 5, 11, 10}));
  const TSkRadioButtonShape radio = SkRadioButtonShape({0, 0, 20, 17});
  EXPECT_EQ(radio.box, (TRect{3, 2, 16, 15}));
  EXPECT_EQ(radio.outline[6], (TPoint{7, 2}));
  EXPECT_EQ(radio.dot, (TRect{7, 6, 12, 11}));

  const std::vector<TSkFrameRing> rings =
      SkWindowFrameRings({0, 0, 20, 20}, {kA, clNone, kC, kD}, 6);
  const std::vector<TSkFrameRing> expected = {{{0, 0, 20, 20}, kA},
                                              {{2, 2, 18, 18}, kC},
                                              {{3, 3, 17, 17}, kD},
                                              {{4, 4, 16, 16}, kD},
                                              {{5, 5, 15, 15}, kD}};
  EXPECT_EQ(rings, expected);
}

TEST(SkGeometry, ShadedImagePixels) {
  // Red (bits 16-23) weighs 29, blue 76: factors 179 and 195 over 256.
  std::uint32_t background[] = {0xFF646464, 0xFF646464, 0x00808080, 0x11223344};
  const std::uint32_t withImage[] = {0x00FF0000, 0x000000FF, 0x00FFFFFF, 0x11223344};
  SkShadeImage(background, withImage, 4);
  EXPECT_EQ(background[0], 0xFF454545u);
  EXPECT_EQ(background[1], 0xFF4C4C4Cu);
  EXPECT_EQ(background[2], 0x007F7F7Fu);
  EXPECT_EQ(background[3], 0x11223344u);  // unchanged where the image left the background
}

}  // namespace
}  // namespace skbar
