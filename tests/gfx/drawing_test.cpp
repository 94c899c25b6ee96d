// Drawing on bitmaps: clipped lines against the unclipped line and against the closed form of
// the Bresenham rule, the clipped forms under random and extreme coordinates, small hand-worked
// grids for end points and rectangles, the stipple sequence, and roll, flip and rotate against
// index maps.
#include "gfx/drawing.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include "gfx/blend.h"
#include "gfx_draw_test_util.h"

namespace gfx {
namespace {

using testing::AreaLog;
using testing::Fill;
using testing::Pixels;

constexpr TColor32 kInk = 0xFF112233;

// The pixels set to kInk, as (x, y) pairs.
std::set<std::pair<int, int>> Inked(const TBitmap32& b, int dx = 0, int dy = 0) {
  std::set<std::pair<int, int>> s;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.GetPixel(x, y) == kInk) s.insert({x + dx, y + dy});
  return s;
}

// A clipped line draws exactly the pixels of the unclipped line inside the clip rectangle
// (the unclipped one drawn on a canvas large enough for it, then cropped).
TEST(Lines, ClippedLineIsTheUnclippedLineCropped) {
  std::mt19937 rng(1);
  const auto rnd = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int round = 0; round < 1500; ++round) {
    const int x1 = rnd(-60, 90), y1 = rnd(-60, 90), x2 = rnd(-60, 90), y2 = rnd(-60, 90);
    const bool last = rnd(0, 1);
    TBitmap32 canvas, small;
    canvas.SetSize(160, 160);
    canvas.Clear(0);
    if (x1 != x2 && y1 != y2) Line(canvas, x1 + 60, y1 + 60, x2 + 60, y2 + 60, kInk, last);
    small.SetSize(30, 25);
    small.Clear(0);
    const TRect clip{rnd(0, 10), rnd(0, 10), rnd(12, 30), rnd(12, 25)};
    small.SetClipRect(clip);
    LineS(small, x1, y1, x2, y2, kInk, last);
    std::set<std::pair<int, int>> want;
    if (x1 != x2 && y1 != y2) {
      for (const auto& p : Inked(canvas, -60, -60))
        if (PtInRect(clip, TPoint{p.first, p.second})) want.insert(p);
    } else {
      // Axis lines and points: from the start up to the end, the end when asked for.
      const int n = std::max(std::abs(x2 - x1), std::abs(y2 - y1));
      for (int i = 0; i < n + (last ? 1 : 0); ++i) {
        const int x = x1 + (x2 > x1   ? i
                            : x2 < x1 ? -i
                                      : 0),
                  y = y1 + (y2 > y1   ? i
                            : y2 < y1 ? -i
                                      : 0);
        if (PtInRect(clip, TPoint{x, y})) want.insert({x, y});
      }
    }
    ASSERT_EQ(Inked(small), want) << round << ": " << x1 << "," << y1 << " " << x2 << "," << y2;
  }
}

#ifdef __SIZEOF_INT128__
__extension__ typedef __int128 Int128;

// Whether (x, y) is a pixel of the line, from the closed form of the Bresenham rule in the
// line's first octant: minor offset floor((2 n dv + du) / (2 du)) at major step n.
bool OnLine(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2, bool last,
            std::int64_t x, std::int64_t y) {
  const std::int64_t sx = x2 < x1 ? -1 : 1, sy = y2 < y1 ? -1 : 1;
  const bool steep = std::abs(y2 - y1) > std::abs(x2 - x1);
  const std::int64_t du = steep ? std::abs(y2 - y1) : std::abs(x2 - x1);
  const std::int64_t dv = steep ? std::abs(x2 - x1) : std::abs(y2 - y1);
  const std::int64_t n = steep ? sy * (y - y1) : sx * (x - x1);
  const std::int64_t m = steep ? sx * (x - x1) : sy * (y - y1);
  if (n < 0 || n > (last ? du : du - 1)) return false;
  return static_cast<Int128>(m) ==
         (static_cast<Int128>(2) * n * dv + du) / (2 * static_cast<Int128>(du));
}

// Lines with end points anywhere in 32 bits, through a small clip rectangle.
TEST(Lines, ClippedLinesFollowTheRuleForAnyCoordinates) {
  std::mt19937_64 rng(9);
  const std::int64_t extremes[] = {INT32_MIN, INT32_MIN + 1, -1000000, -3, 0,
                                   7,         1000000,       INT32_MAX};
  for (int round = 0; round < 3000; ++round) {
    // Lines through a point near the bitmap, so that most of them cross it.
    const std::int64_t px = static_cast<std::int64_t>(rng() % 20),
                       py = static_cast<std::int64_t>(rng() % 20);
    std::int64_t x1 = extremes[rng() % 8], y1 = extremes[rng() % 8];
    if (rng() % 2) y1 = py + (x1 - px) * static_cast<std::int64_t>(rng() % 5 + 1) / 3;
    const std::int64_t x2c = 2 * px - x1, y2c = 2 * py - y1;
    const std::int64_t x2 = std::clamp<std::int64_t>(x2c, INT32_MIN, INT32_MAX);
    const std::int64_t y2 = std::clamp<std::int64_t>(y2c, INT32_MIN, INT32_MAX);
    y1 = std::clamp<std::int64_t>(y1, INT32_MIN, INT32_MAX);
    if (x1 == x2 || y1 == y2) continue;
    const bool last = rng() % 2;
    TBitmap32 b;
    b.SetSize(20, 20);
    b.Clear(0);
    b.SetClipRect(TRect{2, 1, 19, 17});
    LineS(b, static_cast<int>(x1), static_cast<int>(y1), static_cast<int>(x2), static_cast<int>(y2),
          kInk, last);
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 20; ++x) {
        const bool want =
            PtInRect(b.ClipRect(), TPoint{x, y}) && OnLine(x1, y1, x2, y2, last, x, y);
        ASSERT_EQ(b.GetPixel(x, y) == kInk, want) << round << ": " << x1 << "," << y1 << " " << x2
                                                  << "," << y2 << " at " << x << "," << y;
      }
  }
}
#endif

// Every clipped form with extreme coordinates touches nothing outside the clip rectangle
// (and, under the address sanitizer, nothing outside the bitmap).
TEST(ClippedForms, StayInsideTheClipRectangle) {
  std::mt19937 rng(4);
  const int extremes[] = {INT32_MIN, INT32_MIN + 1, -65536,        -1,       0, 1, 9, 10,
                          11,        65536,         INT32_MAX - 1, INT32_MAX};
  const auto pick = [&] {
    return rng() % 2 ? extremes[rng() % std::size(extremes)] : static_cast<int>(rng() % 30) - 10;
  };
  for (int round = 0; round < 3000; ++round) {
    TBitmap32 b;
    b.SetSize(12, 11);
    b.Clear(0);
    b.SetClipRect(TRect{1, 2, 10, 9});
    SetStipple(b, {kInk, 0xFF00FF00, 0x80FFFFFF});
    const int x1 = pick(), y1 = pick(), x2 = pick(), y2 = pick();
    const TFixed fx1 = static_cast<TFixed>(rng()), fy1 = static_cast<TFixed>(rng());
    const TFixed fx2 = rng() % 2 ? pick() : static_cast<TFixed>(rng() % (14 << 16));
    const TFixed fy2 = rng() % 2 ? pick() : static_cast<TFixed>(rng() % (14 << 16));
    switch (round % 13) {
      case 0:
        LineS(b, x1, y1, x2, y2, kInk, true);
        break;
      case 1:
        LineTS(b, x1, y1, x2, y2, 0x80FFFFFF, true);
        break;
      case 2:
        LineAS(b, x1, y1, x2, y2, kInk, true);
        break;
      case 3:
        LineXS(b, fx1, fy1, fx2, fy2, kInk, true);
        break;
      case 4:
        LineXSP(b, fx2, fy2, fx1, fy1, true);
        break;
      case 5:
        HorzLineTSP(b, x1, y1 % 12, x2);
        break;
      case 6:
        VertLineTSP(b, x1 % 12, y1, y2);
        break;
      case 7:
        FillRectS(b, x1, y1, x2, y2, kInk);
        break;
      case 8:
        FillRectTS(b, x1, y1, x2, y2, 0x80FFFFFF);
        break;
      case 9:
        FrameRectTSP(b, x1, y1, x2, y2);
        break;
      case 10:
        RaiseRectTS(b, x1, y1, x2, y2, static_cast<int>(rng() % 400) - 200);
        break;
      case 11:
        SetPixelXS(b, fx1 % (16 << 16), fy1 % (16 << 16), kInk);
        break;
      case 12:
        (void)GetPixelXS(b, fx1, fy1);
        (void)GetPixelXW(b, fx1, fy1);
        break;
    }
    for (int y = 0; y < 11; ++y)
      for (int x = 0; x < 12; ++x)
        if (!PtInRect(b.ClipRect(), TPoint{x, y})) {
          ASSERT_EQ(b.GetPixel(x, y), 0u) << round << " at " << x << "," << y;
        }
  }
}

// Float positions of any size (and NaN) saturate instead of overflowing their conversion.
TEST(ClippedForms, FloatPositionsOfAnySize) {
  const float values[] = {std::numeric_limits<float>::quiet_NaN(),
                          std::numeric_limits<float>::infinity(),
                          -std::numeric_limits<float>::infinity(),
                          1e30f,
                          -1e30f,
                          40000.0f,
                          3.5f};
  for (const float v : values) {
    TBitmap32 b;
    b.SetSize(8, 8);
    b.Clear(0);
    b.SetClipRect(TRect{1, 1, 7, 7});
    LineFS(b, v, 2, 5, v, kInk, true);
    SetPixelFS(b, v, 3, kInk);
    if (v != 3.5f) {
      EXPECT_EQ(GetPixelFS(b, v, v), b.OuterColor());
    }
    TLinearResampler linear(&b);
    linear.PrepareSampling();
    (void)linear.GetSampleFloat(v, 1);
    for (int i = 0; i < 8; ++i) {
      EXPECT_EQ(b.GetPixel(i, 0), 0u);
      EXPECT_EQ(b.GetPixel(0, i), 0u);
      EXPECT_EQ(b.GetPixel(i, 7), 0u);
      EXPECT_EQ(b.GetPixel(7, i), 0u);
    }
  }
}

// Small grids worked out by hand: end points, ordering, the outline rules.
TEST(Lines, HandWorkedGrids) {
  const struct {
    const char* what;
    void (*draw)(TBitmap32&);
    std::vector<std::pair<int, int>> pixels;
  } cases[] = {
      {"HorzLineS orders its ends",
       [](TBitmap32& b) { HorzLineS(b, 10, 5, 2, kInk); },
       {{2, 5}, {3, 5}, {4, 5}, {5, 5}, {6, 5}, {7, 5}, {8, 5}, {9, 5}, {10, 5}}},
      {"VertLineS clipped to the bitmap",
       [](TBitmap32& b) { VertLineS(b, 1, -5, 1, kInk); },
       {{1, 0}, {1, 1}}},
      {"LineS without its end point",
       [](TBitmap32& b) { LineS(b, 0, 0, 3, 1, kInk); },
       {{0, 0}, {1, 0}, {2, 1}}},
      {"LineS with its end point",
       [](TBitmap32& b) { LineS(b, 0, 0, 3, 1, kInk, true); },
       {{0, 0}, {1, 0}, {2, 1}, {3, 1}}},
      {"LineS backwards",
       [](TBitmap32& b) { LineS(b, 3, 1, 0, 0, kInk, true); },
       {{3, 1}, {2, 1}, {1, 0}, {0, 0}}},
      {"a point with L", [](TBitmap32& b) { LineS(b, 4, 4, 4, 4, kInk, true); }, {{4, 4}}},
      {"a point without L", [](TBitmap32& b) { LineS(b, 4, 4, 4, 4, kInk); }, {}},
      {"Line: a point with L", [](TBitmap32& b) { Line(b, 4, 4, 4, 4, kInk, true); }, {{4, 4}}},
      {"Line: a point without L", [](TBitmap32& b) { Line(b, 4, 4, 4, 4, kInk); }, {}},
      {"LineT: a point with L",
       [](TBitmap32& b) { LineT(b, 11, 11, 11, 11, kInk, true); },
       {{11, 11}}},
      {"FrameRectS of one pixel", [](TBitmap32& b) { FrameRectS(b, 0, 0, 1, 1, kInk); }, {{0, 0}}},
      {"FrameRectS 3 x 3",
       [](TBitmap32& b) { FrameRectS(b, 1, 1, 4, 4, kInk); },
       {{1, 1}, {2, 1}, {3, 1}, {1, 3}, {2, 3}, {3, 3}, {1, 2}, {3, 2}}},
      {"FrameRectS 3 x 2: both rows",
       [](TBitmap32& b) { FrameRectS(b, 1, 1, 4, 3, kInk); },
       {{1, 1}, {2, 1}, {3, 1}, {1, 2}, {2, 2}, {3, 2}}},
      {"FrameRectS 1 x 3",
       [](TBitmap32& b) { FrameRectS(b, 2, 0, 3, 3, kInk); },
       {{2, 0}, {2, 2}, {2, 1}}},
      {"FillRectS clipped",
       [](TBitmap32& b) { FillRectS(b, -3, 10, 2, 20, kInk); },
       {{0, 10}, {1, 10}, {0, 11}, {1, 11}}},
  };
  for (const auto& c : cases) {
    TBitmap32 b;
    b.SetSize(12, 12);
    b.Clear(0);
    c.draw(b);
    const std::set<std::pair<int, int>> want(c.pixels.begin(), c.pixels.end());
    EXPECT_EQ(Inked(b), want) << c.what;
  }
}

// The anti-aliased and sub-pixel forms along the last row or column of a bitmap: the
// neighbours below or to the right have no weight there and are not touched (they lie outside
// the bitmap), the pixels of the line get the colour, and nothing else changes.
TEST(Lines, AntialiasedFormsOnTheLastRowAndColumnStayInside) {
  const struct {
    const char* what;
    void (*draw)(TBitmap32&);
    bool row;  // along row 3, else along column 3
  } cases[] = {
      {"LineA along the last row", [](TBitmap32& b) { LineA(b, 0, 3, 3, 3, kInk, true); }, true},
      {"LineA up the last column", [](TBitmap32& b) { LineA(b, 3, 3, 3, 0, kInk, true); }, false},
      {"LineX along the last row",
       [](TBitmap32& b) { LineX(b, 0, 3 << 16, 3 << 16, 3 << 16, kInk, true); }, true},
      {"LineF down the last column",
       [](TBitmap32& b) { LineF(b, 3.0f, 0.0f, 3.0f, 3.0f, kInk, true); }, false},
  };
  for (const auto& c : cases) {
    TBitmap32 b;
    b.SetSize(4, 4);
    b.Clear(0);
    c.draw(b);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x) {
        if ((c.row ? y : x) == 3) continue;
        EXPECT_EQ(b.GetPixel(x, y), 0u) << c.what << " at " << x << "," << y;
      }
    EXPECT_NE(b.GetPixel(c.row ? 1 : 3, c.row ? 3 : 1), 0u) << c.what;
  }
}

// What the clipped forms report, drawing or measuring.
TEST(ClippedForms, ReportTheirAreas) {
  TBitmap32 b;
  b.SetSize(10, 10);
  b.Clear(0);
  AreaLog log(b);
  FillRectS(b, 20, 20, 30, 25, kInk);  // outside: nothing drawn, still reported
  FillRectS(b, -5, 2, 4, 50, kInk);
  LineS(b, 1, 1, 8, 5, kInk);
  LineS(b, 30, 30, 50, 41, kInk);  // misses: no report
  HorzLineS(b, 7, 3, 1, kInk);     // pixels 1..7
  VertLineTS(b, 9, -4, 20, kInk);  // clipped to rows 0..9
  LineS(b, 1, 9, 6, 9, kInk);      // axis line: its span 1..5, then the whole bitmap
  LineAS(b, 20, 0, 40, 5, kInk);   // outside: nothing drawn, no report
  EXPECT_EQ(log.areas, (std::vector<TRect>{{20, 20, 30, 25},
                                           {0, 2, 4, 10},
                                           {1, 1, 8, 5},
                                           {1, 3, 8, 4},
                                           {9, 0, 10, 10},
                                           {1, 9, 6, 10},
                                           {0, 0, 10, 10}}));
  EXPECT_EQ(log.infos[2], AREAINFO_LINE | 2u);
  // Measuring: the same requests report without drawing.
  const std::vector<TColor32> drawn = Pixels(b);
  std::vector<TRect> measured;
  b.BeginMeasuring([&](TBitmap32*, const TRect& r, std::uint32_t) { measured.push_back(r); });
  FillRectS(b, -5, 2, 4, 50, 0);
  LineS(b, 30, 30, 50, 41, 0);
  HorzLineS(b, 7, 3, 1, 0);
  ResetAlpha(b, 0);
  b.EndMeasuring();
  EXPECT_EQ(measured,
            (std::vector<TRect>{{-5, 2, 4, 50}, {30, 30, 50, 41}, {1, 3, 8, 4}, {0, 0, 10, 10}}));
  EXPECT_EQ(Pixels(b), drawn);
}

// A pattern of three colours at half steps, worked out by hand (rounding ties to even).
TEST(Stipple, SequenceAtHalfSteps) {
  TBitmap32 b;
  b.SetSize(1, 1);
  EXPECT_EQ(GetStippleColor(b), 0xFF000000u);
  const TColor32 a = 0xFF0000FF, m = 0xFF00FF00, c = 0xFFFF0000;
  SetStipple(b, {a, m, c});
  SetStippleStep(b, 0.5f);
  const TColor32 expected[] = {a,
                               CombinePixel(a, m, 127),
                               CombinePixel(a, m, 0),
                               CombinePixel(m, c, 127),
                               c,
                               CombinePixel(c, a, 127),
                               a};
  for (TColor32 e : expected) EXPECT_EQ(GetStippleColor(b), e);
  // The counter wraps around the pattern both ways.
  AdvanceStippleCounter(b, -5);
  EXPECT_FLOAT_EQ(StippleCounter(b), 1.0f);
}

// A stippled line keeps its pattern in place when its start is clipped.
TEST(Stipple, ClippedStartKeepsThePatternInPlace) {
  TBitmap32 whole, clipped;
  for (TBitmap32* b : {&whole, &clipped}) {
    b->SetSize(12, 3);
    b->Clear(0);
    SetStipple(*b, {0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0xFFFFFFFF});
  }
  clipped.SetClipRect(TRect{5, 0, 12, 3});
  HorzLineTSP(whole, 0, 1, 11);
  HorzLineTSP(clipped, 0, 1, 11);
  for (int x = 5; x < 12; ++x) EXPECT_EQ(clipped.GetPixel(x, 1), whole.GetPixel(x, 1)) << x;
  EXPECT_EQ(clipped.GetPixel(4, 1), 0u);
}

// Roll, flip and rotate against index maps.
TEST(PixelOperations, RollFlipRotate) {
  TBitmap32 b, d;
  Fill(b, 5, 4, 12);
  const std::vector<TColor32> p = Pixels(b);
  const auto at = [&](int x, int y) { return p[static_cast<std::size_t>(y * 5 + x)]; };
  Rotate90(b, &d);
  ASSERT_EQ(d.Width(), 4);
  ASSERT_EQ(d.Height(), 5);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(d.GetPixel(y, 4 - x), at(x, y));
  Rotate270(d);  // in place: back to the original
  EXPECT_EQ(Pixels(d), p);
  Rotate180(b, &d);
  FlipHorz(d);
  FlipVert(d, &d);
  EXPECT_EQ(Pixels(d), p);
  FlipHorz(b, &d);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(d.GetPixel(4 - x, y), at(x, y));
  // Roll by (2, 1) with FillBack: moved pixels, and both uncovered bands filled.
  TBitmap32 r;
  Fill(r, 5, 4, 12);
  Roll(r, 2, 1, true, kInk);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x)
      EXPECT_EQ(r.GetPixel(x, y), y < 1 || x < 2 ? kInk : at(x - 2, y - 1)) << x << "," << y;
  Roll(r, -1, -2, true, 0);
  EXPECT_EQ(r.GetPixel(4, 0), 0u);
  EXPECT_EQ(r.GetPixel(0, 3), 0u);
  EXPECT_EQ(r.GetPixel(1, 0), at(0, 1));
  Roll(r, 5, 0, true, kInk);
  for (TColor32 c : Pixels(r)) EXPECT_EQ(c, kInk);
}

// An empty bitmap 0 wide and 2^31 - 1 rows tall: flipping and turning it walk no rows (before,
// every row, for minutes), and a destination takes its size, turned by the quarter turns.
TEST(PixelOperations, EmptyBitmapsOfManyRowsFlipAndTurnAtOnce) {
  const struct {
    const char* name;
    void (*op)(TBitmap32&, TBitmap32*);
    bool turned;
  } ops[] = {{"FlipHorz", FlipHorz, false},
             {"FlipVert", FlipVert, false},
             {"Rotate90", Rotate90, true},
             {"Rotate180", Rotate180, false},
             {"Rotate270", Rotate270, true}};
  constexpr std::int32_t kRows = std::numeric_limits<std::int32_t>::max();
  for (const auto& o : ops) {
    TBitmap32 b, d;
    b.SetSize(0, kRows);
    o.op(b, &d);
    EXPECT_EQ(d.Width(), o.turned ? kRows : 0) << o.name;
    EXPECT_EQ(d.Height(), o.turned ? 0 : kRows) << o.name;
    o.op(b, nullptr);
    EXPECT_TRUE(b.Empty()) << o.name;
  }
}

// Wrapped and interpolated reads.
TEST(PixelOperations, WrappedAndInterpolatedReads) {
  TBitmap32 b;
  Fill(b, 4, 3, 21);
  b.SetWrapMode(wmRepeat);
  EXPECT_EQ(GetPixelW(b, -1, 4), b.GetPixel(3, 1));
  b.SetWrapMode(wmMirror);
  EXPECT_EQ(GetPixelW(b, -1, 4), b.GetPixel(0, 1));
  b.SetWrapMode(wmClamp);
  EXPECT_EQ(GetPixelW(b, -1, 4), b.GetPixel(0, 2));
  // At whole positions the interpolating readers give the pixel (weights 255 and 0: the plain
  // form mixes nothing in, the MMX form 1/256 of an equal neighbour).
  b.SetOuterColor(0x12345678);
  EXPECT_EQ(GetPixelXS(b, -(1 << 16), 0), 0x12345678u);
  EXPECT_EQ(GetPixelXS(b, 4 << 16, 0), 0x12345678u);
  b.Clear(0xFF808080);
  EXPECT_EQ(GetPixelXS(b, 3 << 16, 2 << 16), 0xFF808080u);
  EXPECT_EQ(GetPixelX(b, 1 << 16, 1 << 16), 0xFF808080u);
  EXPECT_EQ(GetPixelXW(b, -7 << 16, 9 << 16), 0xFF808080u);
  // Away from the last row and column the unchecked float reader agrees with the safe one,
  // which reads its four pixels one by one.
  Fill(b, 4, 3, 5);
  for (const float y : {0.0f, 0.25f, 0.5f, 0.99f})
    for (const float x : {0.0f, 0.5f, 1.3f, 2.75f})
      EXPECT_EQ(GetPixelF(b, x, y), GetPixelFS(b, x, y)) << x << "," << y;
}

}  // namespace
}  // namespace gfx
