#include "skbar/sk_geometry.h"

#include <gtest/gtest.h>

#include "line_raster.h"

namespace skbar {
namespace {

constexpr TColor kA = 0x0000A0, kB = 0x00B000, kC = 0xC00000, kD = 0x0D0D0D;

TEST(SkGeometry, BorderLinesCutCornersUnlessForcedSquare) {
  const TRect r{0, 0, 6, 5};
  const std::vector<TSkPolyline> expected = {{{{1, 3}, {1, 1}, {4, 1}}, kC},
                                             {{{1, 3}, {4, 3}, {4, 0}}, kD},
                                             {{{1, 4}, {0, 3}, {0, 1}, {1, 0}, {4, 0}, {5, 1}}, kA},
                                             {{{5, 1}, {5, 3}, {4, 4}, {0, 4}}, kB}};
  EXPECT_EQ(SkSkinBorderLines(r, 1, {kA, kB, kC, kD}, 0), expected);
  // Which outer corner pixels (top-left, top-right, bottom-left, bottom-right) are drawn.
  const auto corners = [&](int corner, TAnchors force) {
    skbar_test::Pixels pixels;
    for (const TSkPolyline& line : SkRectangleLines(r, corner, force, kA, kB, clNone, clNone)) {
      skbar_test::AddPolyline(pixels, line.points);
    }
    std::string set;
    for (const auto& p : {std::pair{0, 0}, {5, 0}, {0, 4}, {5, 4}})
      set += pixels.count(p) ? '#' : '.';
    return set;
  };
  EXPECT_EQ(corners(0, 0), "####");
  EXPECT_EQ(corners(1, akLeft), "#.#.");
  EXPECT_EQ(corners(2, akTop | akRight), "##.#");
  EXPECT_EQ(corners(7, akBottom), "..##");  // corner size clamped to 2
  // Only the roundings 0..2 draw, and only colours that are set.
  for (const int type : {3, 5, -1})
    EXPECT_TRUE(SkSkinBorderLines(r, type, {kA, kB, kC, kD}, 0).empty());
  EXPECT_EQ(SkSkinBorderLines(r, 0, {clNone, kB, clNone, clNone}, 0).size(), 1u);
}

TEST(SkGeometry, BodyPlansByStyle) {
  struct Case {
    int style;
    TRect r;
    bool vertical, bandsVertical;
    std::vector<TSkGradientBand> bands;
  };
  const Case cases[] = {
      {1, {0, 0, 10, 21}, true, false, {{0, 9, 9, kA, kB}}},
      {3, {0, 0, 10, 10}, false, true, {{0, 3, 3, kA, kB}, {3, 6, 3, kB, kC}, {6, 9, 3, kC, kD}}},
      // Two rows: the bands stop at the last row.
      {3, {0, 0, 10, 2}, false, true, {{0, 1, 1, kA, kB}, {1, 1, 1, kB, kC}}},
      {6, {0, 0, 10, 3}, false, false, {{0, 4, 4, kA, kB}, {4, 9, 4, kC, kD}}},
      // Halves on bodies one and two pixels long: the half is at least 1.
      {5, {0, 0, 10, 2}, false, true, {{0, 1, 1, kA, kB}, {1, 1, 1, kC, kD}}},
      {5, {0, 0, 10, 1}, false, true, {{0, 0, 1, kA, kB}}},
      {5, {0, 0, 2, 10}, true, false, {{0, 1, 1, kA, kB}, {1, 1, 1, kC, kD}}},
      {7, {0, 0, 3, 2}, false, true, {{0, 0, 0, kA, kB}, {0, 1, 1, kC, kD}}},
      {10, {0, 0, 3, 41}, true, true, {{0, 9, 9, kA, kB}, {9, 40, 31, kC, kD}}},
      {11, {0, 0, 10, 10}, false, false, {}},
  };
  for (const Case& k : cases) {
    const TSkBodyPlan plan = SkBodyPlan(k.r, k.style, {kA, kB, kC, kD}, k.vertical);
    EXPECT_EQ(plan.vertical, k.bandsVertical) << k.style;
    EXPECT_EQ(plan.bands, k.bands) << k.style;
  }
  EXPECT_EQ(SkBodyPlan({0, 0, 4, 4}, 0, {kA, kB, kC, kD}, true).solidColor, kA);
  // Style 3's last band on 11 rows runs over 6..10 with a chunk of 3: it stops at its end colour.
  const TSkGradientBand band{6, 10, 3, 0x000000, 0x0000FF};
  EXPECT_EQ(SkGradientLineColor(band, 7), 0x000055u);
  EXPECT_EQ(SkGradientLineColor(band, 10), 0x0000FFu);
}

TEST(SkGeometry, APopupsFrameOpensAlongTheItemItCameFrom) {
  const TRect popup{0, 0, 100, 80};
  const struct {
    TRect opener, edge;
  } cases[] = {
      {{10, -22, 50, 0}, {11, 0, 49, 2}},       // a button above: the top edge inside it
      {{-5, -22, 130, 0}, {1, 0, 99, 2}},       // wider than the popup: short of its corners
      {{10, 80, 50, 100}, {11, 78, 49, 80}},    // below
      {{-30, 10, 0, 40}, {0, 11, 2, 39}},       // to the left (a vertical toolbar)
      {{100, 10, 130, 40}, {98, 11, 100, 39}},  // to the right
      {{10, -22, 50, -1}, {}},                  // not touching
      {{-30, -22, 1, 0}, {}},                   // only a corner left: no room
  };
  for (const auto& c : cases) EXPECT_EQ(SkPopupOpenEdge(popup, c.opener), c.edge);
}

TEST(SkGeometry, GripsGlyphsMarksRingsAndShading) {
  const std::vector<TSkGripDot> dots = SkDotsGrip({0, 0, 9, 5});
  ASSERT_EQ(dots.size(), 2u);
  EXPECT_EQ(dots[1].shadow, (TRect{5, 1, 7, 3}));
  EXPECT_EQ(dots[1].dot, (TRect{4, 0, 6, 2}));
  EXPECT_EQ(SkGlyphPatternRect({0, 0, 15, 15}, 3), (TRect{4, 3, 12, 12}));
  EXPECT_EQ(SkMenuCheckMarkPoints({0, 0, 16, 16})[0], (TPoint{4, 7}));
  const TSkRadioButtonShape radio = SkRadioButtonShape({0, 0, 20, 17});
  EXPECT_EQ(radio.box, (TRect{3, 2, 16, 15}));
  EXPECT_EQ(radio.dot, (TRect{7, 6, 12, 11}));
  // A ring without a colour is skipped but still takes its pixel.
  const std::vector<TSkFrameRing> rings = {
      {{0, 0, 20, 20}, kA}, {{2, 2, 18, 18}, kC}, {{3, 3, 17, 17}, kD}, {{4, 4, 16, 16}, kD}};
  EXPECT_EQ(SkWindowFrameRings({0, 0, 20, 20}, {kA, clNone, kC, kD}, 5), rings);
  // Red (bits 16-23) weighs 29, blue 76: factors 179 and 195 over 256; alpha is kept.
  std::uint32_t background[] = {0xFF646464, 0xFF646464, 0x11223344};
  const std::uint32_t withImage[] = {0x00FF0000, 0x000000FF, 0x11223344};
  SkShadeImage(background, withImage, 3);
  EXPECT_EQ(std::vector(background, background + 3),
            (std::vector<std::uint32_t>{0xFF454545, 0xFF4C4C4C, 0x11223344}));
}

}  // namespace
}  // namespace skbar
