#include "gfx/micro_tiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <vector>

namespace gfx {
namespace {

using Tile = TMicroTile;

TMicroTiles Grid(int width, int height) {
  TMicroTiles tiles;
  MicroTilesSetSize(tiles, TRect{0, 0, width, height});
  return tiles;
}

std::vector<TRect> Rects(const TMicroTiles& tiles, bool round = false) {
  TRectList list;
  const int n = MicroTilesCalcRects(tiles, list, false, round);
  EXPECT_EQ(n, list.Count());
  return std::vector<TRect>(list.List(), list.List() + list.Count());
}

bool Covers(Tile t, int x, int y, bool round) {
  return round ? t != MICROTILE_EMPTY
               : (x & 31) >= MicroTileLeft(t) && (x & 31) < MicroTileRight(t) &&
                     (y & 31) >= MicroTileTop(t) && (y & 31) < MicroTileBottom(t);
}

// The plain form on worked cases; the extended-MMX forms (scalar and the SSE2 row) against
// it on random runs rich in empty, full and degenerate tiles; the binding.
TEST(MicroTiles, UnionFormsAgree) {
  const Tile a = MakeMicroTile(2, 3, 10, 12);
  const Tile cases[][3] = {{MICROTILE_FULL, a, MICROTILE_FULL},
                           {MICROTILE_EMPTY, a, a},
                           {a, MakeMicroTile(5, 1, 20, 8), MakeMicroTile(2, 1, 20, 12)},
                           {a, MakeMicroTile(5, 1, 5, 8), a},
                           {a, MICROTILE_FULL, MICROTILE_FULL}};
  for (const auto& c : cases) {
    Tile d = c[0];
    plain::MicroTileUnion(d, c[1]);
    EXPECT_EQ(d, c[2]) << std::hex << c[0] << " " << c[1];
  }
  std::mt19937 rng(7);
  const auto randomTile = [&]() -> Tile {
    if (rng() % 2) return rng() % 2 ? MICROTILE_EMPTY : MICROTILE_FULL;
    const int l = rng() % 33, t = rng() % 33;
    return MakeMicroTile(l, t, l + rng() % (33 - l), t + rng() % (33 - t));
  };
  for (int round = 0; round < 200; ++round) {
    const int n = static_cast<int>(rng() % 40);
    std::vector<Tile> src(n), dst(n);
    for (int i = 0; i < n; ++i) src[i] = randomTile(), dst[i] = randomTile();
    std::vector<Tile> expected = dst, row = dst, single = dst;
    plain::MicroTileUnionRow(expected.data(), src.data(), n);
    emmx::MicroTileUnionRow(row.data(), src.data(), n);
    for (int i = 0; i < n; ++i) emmx::MicroTileUnion(single[i], src[i]);
    ASSERT_EQ(row, expected);
    ASSERT_EQ(single, expected);
  }
  TCpuFeatures features;
  features.mmx = true;
  BindMicroTileCells(features);
  EXPECT_EQ(MicroTileUnionRow, plain::MicroTileUnionRow);
  features.emmx = true;
  BindMicroTileCells(features);
  EXPECT_EQ(MicroTileUnionRow, emmx::MicroTileUnionRow);
}

TEST(MicroTiles, GridSizeAndAddedRectangles) {
  TMicroTiles tiles = Grid(256, 212);
  EXPECT_EQ(tiles.Columns * 100 + tiles.Rows, 907);
  EXPECT_EQ(tiles.Count, 80);
  EXPECT_EQ(tiles.BoundsUsedTiles, (TRect{9, 7, 0, 0}));
  MicroTilesAddRectangle(tiles, TRect{10, 5, 40, 20});
  EXPECT_EQ(tiles.At(0, 0), MakeMicroTile(10, 5, 32, 20));
  EXPECT_EQ(tiles.At(1, 0), MakeMicroTile(0, 5, 8, 20));
  EXPECT_EQ(tiles.BoundsUsedTiles, (TRect{0, 0, 1, 0}));

  for (bool round : {false, true}) {
    TMicroTiles grid = Grid(256, 212);
    MicroTilesAddRectangle(grid, TRect{0, 0, 64, 32}, round);
    EXPECT_EQ(grid.BoundsUsedTiles, (TRect{0, 0, 2, 1}));
    EXPECT_EQ(std::count(grid.Tiles.begin(), grid.Tiles.end(), MICROTILE_FULL), round ? 6 : 2);
    EXPECT_EQ(grid.At(1, 0), MICROTILE_FULL);
  }
  TMicroTiles a = Grid(256, 212), b = Grid(256, 212);
  MicroTilesAddRectangle(a, TRect{20, 30, 5, 2});
  MicroTilesAddRectangle(b, TRect{5, 2, 20, 30});
  EXPECT_EQ(a.Tiles, b.Tiles);
  for (TRect outside : {TRect{-50, 0, -10, 10}, TRect{0, 230, 10, 260}}) {
    TMicroTiles grid = Grid(256, 212);
    MicroTilesAddRectangle(grid, outside, true);
    EXPECT_EQ(grid.BoundsUsedTiles, (TRect{9, 7, 0, 0}));
    EXPECT_EQ(grid.Tiles, Grid(256, 212).Tiles);
  }
}

// A worked line, then random lines (some far outside, where steps are skipped, some wide enough to
// cover the grid) against a plain walk of every 32-px step, then extreme ends and widths.
TEST(MicroTiles, ThickLinesGoInStepsOf32Pixels) {
  TMicroTiles tiles = Grid(256, 212), expected = Grid(256, 212);
  MicroTilesAddThickLine(tiles, 0, 0, 40, 10, 0);
  MicroTilesAddRectangle(expected, TRect{0, 0, 32, 8});
  MicroTilesAddRectangle(expected, TRect{32, 8, 64, 16});
  EXPECT_EQ(tiles.Tiles, expected.Tiles);

  std::mt19937 rng(99);
  for (int trial = 0; trial < 300; ++trial) {
    const auto coord = [&] { return static_cast<int>(rng() % 1200) - 500; };
    const int x1 = coord(), y1 = coord(), x2 = trial % 5 ? coord() : x1, y2 = coord();
    const int w =
        trial % 7 == 0 ? 100 + static_cast<int>(rng() % 200) : static_cast<int>(rng() % 4);
    TMicroTiles fast = Grid(200, 150), walked = Grid(200, 150);
    MicroTilesAddThickLine(fast, x1, y1, x2, y2, w, trial % 2);
    const std::int64_t dx = x2 - x1, dy = y2 - y1;
    const auto add = [&](int l, int t, int r, int b) {
      const int gx = (l <= r ? 2 : -2) * w, gy = (t <= b ? 2 : -2) * w;
      MicroTilesAddRectangle(walked, TRect{l - gx, t - gy, r + gx, b + gy}, trial % 2);
    };
    if (dx == 0 || dy == 0) {
      add(x1, y1, x2, y2);
    } else {
      const bool majorX = std::abs(dx) >= std::abs(dy);
      const std::int64_t major = majorX ? dx : dy, minor = majorX ? dy : dx;
      const std::int64_t n = std::abs(major) * 65536 / 32;
      const std::int64_t minorStep = (minor < 0 ? -1 : 1) * (std::abs(minor) * 65536 * 65536 / n);
      const std::int64_t majorStep = major < 0 ? -32 * 65536 : 32 * 65536;
      const std::int64_t sx = majorX ? majorStep : minorStep, sy = majorX ? minorStep : majorStep;
      std::int64_t x = x1 * std::int64_t{65536}, y = y1 * std::int64_t{65536};
      const auto px = [](std::int64_t v) { return static_cast<int>((v + 0x7FFF) >> 16); };
      for (std::int64_t i = 0; i < (n + 65535) / 65536; ++i, x += sx, y += sy)
        add(px(x), px(y), px(x + sx), px(y + sy));
    }
    ASSERT_EQ(fast.Tiles, walked.Tiles) << trial;
    ASSERT_EQ(fast.BoundsUsedTiles, walked.BoundsUsedTiles) << trial;
  }
  MicroTilesAddThickLine(tiles, -2000000000, 5, 2000000000, 70000, 0x00FFFFFF);
  MicroTilesAddThickLine(tiles, 2147483647, -2147483647 - 1, -2147483647 - 1, 2147483647, 1);

  // A width that covers the grid from every step ends at the first step (it walked 2^27 steps).
  TMicroTiles wide = Grid(256, 212);
  const auto start = std::chrono::steady_clock::now();
  MicroTilesAddThickLine(wide, -2147483647 - 1, 0, 2147483647, 1, 2147483647);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_EQ(wide.BoundsUsedTiles, (TRect{0, 0, 9, 7}));
  EXPECT_EQ(Rects(wide), std::vector<TRect>{(TRect{0, 0, 256, 212})});
}

TEST(MicroTiles, MergeAndRectangleList) {
  TMicroTiles dst = Grid(256, 212), src = Grid(256, 212), none;
  MicroTilesAddRectangle(dst, TRect{10, 5, 20, 20});
  const TMicroTiles before = dst;
  MicroTilesMerge(dst, none);
  EXPECT_EQ(dst.BoundsUsedTiles, before.BoundsUsedTiles);
  MicroTilesMerge(none, dst);
  MicroTilesClearUsed(none);
  MicroTilesAddRectangle(src, TRect{15, 1, 50, 8});
  MicroTilesMerge(dst, src);
  EXPECT_EQ(dst.At(0, 0), MakeMicroTile(10, 1, 32, 20));
  EXPECT_EQ(dst.At(1, 0), MakeMicroTile(0, 1, 18, 8));
  TMicroTiles rounded = before;
  MicroTilesMerge(rounded, src, true);
  EXPECT_EQ(rounded.At(1, 0), MICROTILE_FULL);
  TMicroTiles small = Grid(10, 10), big = Grid(300, 300);
  MicroTilesAddRectangle(big, TRect{0, 0, 300, 300});
  MicroTilesMerge(small, big);  // takes only what fits in its entries
  EXPECT_EQ(Rects(small), (std::vector<TRect>{{0, 0, 10, 10}}));
  MicroTilesClearUsed(small);

  TMicroTiles tiles = Grid(256, 212);
  MicroTilesAddRectangle(tiles, TRect{10, 5, 100, 70});
  EXPECT_EQ(Rects(tiles), (std::vector<TRect>{{10, 5, 100, 70}}));
  EXPECT_EQ(Rects(tiles, true), (std::vector<TRect>{{0, 0, 128, 96}}));
  TRectList list;
  EXPECT_EQ(MicroTilesCalcRects(tiles, list, true), 1);
  EXPECT_EQ(list.Count(), 0);

  // Past the right limit whole-tile mode fills the alias entry (column 0 of the next row); it
  // shows only once its row is in use, as one spare tile. Rectangles clipped away are dropped.
  TMicroTiles edge = Grid(100, 100);
  MicroTilesAddRectangle(edge, TRect{96, 0, 500, 10}, true);
  EXPECT_EQ(edge.At(0, 1), MICROTILE_FULL);
  EXPECT_EQ(Rects(edge, true), (std::vector<TRect>{{96, 0, 100, 32}}));
  MicroTilesAddRectangle(edge, TRect{0, 70, 10, 80}, true);
  EXPECT_EQ(Rects(edge, true), (std::vector<TRect>{{96, 0, 100, 32}, {0, 32, 32, 96}}));
}

// Random rectangles against a pixel mask: every tile covers what was added inside it; whole-tile
// mode fills exactly the tiles of each range; the rectangle list covers each pixel of the used
// tiles (inside the bounds) exactly once and nothing else.
TEST(MicroTiles, MatchAPixelMaskOracle) {
  std::mt19937 rng(1234);
  for (int trial = 0; trial < 300; ++trial) {
    const int width = 1 + static_cast<int>(rng() % 200), height = 1 + static_cast<int>(rng() % 150);
    const bool round = trial % 3 == 0;
    TMicroTiles tiles = Grid(width, height);
    const int limitX = tiles.Columns * 32, limitY = tiles.Rows * 32;
    std::vector<char> mask(static_cast<std::size_t>(limitX * limitY), 0);
    std::vector<char> ranges(static_cast<std::size_t>(tiles.Count), 0);
    for (int i = 0, count = 1 + static_cast<int>(rng() % 6); i < count; ++i) {
      const auto coord = [&](int limit) { return static_cast<int>(rng() % (limit + 80)) - 40; };
      const TRect r{coord(width), coord(height), coord(width), coord(height)};
      MicroTilesAddRectangle(tiles, r, round);
      const int l = std::max(std::min(r.left, r.right), 0);
      const int rr = std::min(std::max(r.left, r.right), limitX);
      const int t = std::max(std::min(r.top, r.bottom), 0);
      const int b = std::min(std::max(r.top, r.bottom), limitY);
      if (rr < l || b < t) continue;
      for (int y = t; y < b; ++y) std::fill_n(&mask[y * limitX + l], rr - l, 1);
      for (int row = t >> 5; row <= b >> 5; ++row)
        for (int column = l >> 5; column <= rr >> 5; ++column)
          ranges[row * tiles.Columns + column] = 1;
    }
    for (int y = 0; y < limitY; ++y)
      for (int x = 0; x < limitX; ++x)
        ASSERT_TRUE(!mask[y * limitX + x] || Covers(tiles.At(x >> 5, y >> 5), x, y, false))
            << trial << ": " << x << "," << y;
    for (int i = 0; round && i < tiles.Count; ++i)
      ASSERT_EQ(tiles.Tiles[i], ranges[i] ? MICROTILE_FULL : MICROTILE_EMPTY) << trial;
    std::vector<int> painted(static_cast<std::size_t>(width * height), 0);
    for (const TRect& r : Rects(tiles, round))
      for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) ++painted[y * width + x];
    const TRect& used = tiles.BoundsUsedTiles;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const int c = x >> 5, r = y >> 5;
        const bool inUse = c >= used.left && c <= used.right && r >= used.top && r <= used.bottom;
        ASSERT_EQ(painted[y * width + x], inUse && Covers(tiles.At(c, r), x, y, round) ? 1 : 0)
            << trial << ": " << x << "," << y;
      }
  }
}

}  // namespace
}  // namespace gfx
