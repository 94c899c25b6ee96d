#include "gfx/micro_tiles.h"

#include <gtest/gtest.h>

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

TEST(MicroTiles, UnionOfTwoTilesInBothForms) {
  struct Case {
    Tile dst, src, expected;
  } cases[] = {
      {MICROTILE_FULL, MakeMicroTile(2, 3, 10, 12), MICROTILE_FULL},
      {MICROTILE_EMPTY, MakeMicroTile(2, 3, 10, 12), MakeMicroTile(2, 3, 10, 12)},
      {MakeMicroTile(2, 3, 10, 12), MakeMicroTile(5, 1, 20, 8), MakeMicroTile(2, 1, 20, 12)},
      {MakeMicroTile(2, 3, 10, 12), MakeMicroTile(5, 1, 5, 8), MakeMicroTile(2, 3, 10, 12)},
      {MakeMicroTile(2, 3, 10, 12), MakeMicroTile(5, 7, 9, 7), MakeMicroTile(2, 3, 10, 12)},
      {MakeMicroTile(2, 3, 10, 12), MICROTILE_FULL, MICROTILE_FULL},
  };
  for (const auto& c : cases) {
    for (auto unite : {plain::MicroTileUnion, emmx::MicroTileUnion}) {
      Tile d = c.dst;
      unite(d, c.src);
      EXPECT_EQ(d, c.expected) << std::hex << c.dst << " " << c.src;
    }
  }
}

TEST(MicroTiles, CellsBindByExtendedMMX) {
  TCpuFeatures features;
  features.mmx = true;
  BindMicroTileCells(features);
  EXPECT_EQ(MicroTileUnion, plain::MicroTileUnion);
  EXPECT_EQ(MicroTileUnionRow, plain::MicroTileUnionRow);
  features.emmx = true;
  BindMicroTileCells(features);
  EXPECT_EQ(MicroTileUnion, emmx::MicroTileUnion);
  EXPECT_EQ(MicroTileUnionRow, emmx::MicroTileUnionRow);
}

// The extended-MMX forms (scalar and the SSE2 row) against the plain one over random tiles,
// with many empty, full and degenerate values.
TEST(MicroTiles, ExtendedFormsMatchThePlainForm) {
  std::mt19937 rng(7);
  const auto randomTile = [&] {
    switch (rng() % 4) {
      case 0:
        return MICROTILE_EMPTY;
      case 1:
        return MICROTILE_FULL;
      default: {
        const int l = rng() % 33, t = rng() % 33;
        return MakeMicroTile(l, t, l + rng() % (33 - l), t + rng() % (33 - t));
      }
    }
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
}

TEST(MicroTiles, GridSizeAndAddedRectangles) {
  TMicroTiles tiles = Grid(256, 212);
  EXPECT_EQ(tiles.Columns, 9);
  EXPECT_EQ(tiles.Rows, 7);
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
    int full = 0;
    for (Tile t : grid.Tiles) full += t == MICROTILE_FULL;
    EXPECT_EQ(full, round ? 6 : 2);
    EXPECT_EQ(grid.At(0, 0), MICROTILE_FULL);
    EXPECT_EQ(grid.At(1, 0), MICROTILE_FULL);
  }

  // Reversed sides are normalised; rectangles outside add nothing.
  TMicroTiles a = Grid(256, 212), b = Grid(256, 212);
  MicroTilesAddRectangle(a, TRect{20, 30, 5, 2});
  MicroTilesAddRectangle(b, TRect{5, 2, 20, 30});
  EXPECT_EQ(a.Tiles, b.Tiles);
  for (TRect outside : {TRect{-50, 0, -10, 10}, TRect{0, -40, 10, -1}, TRect{300, 0, 400, 10},
                        TRect{0, 230, 10, 260}}) {
    TMicroTiles grid = Grid(256, 212);
    MicroTilesAddRectangle(grid, outside, true);
    EXPECT_EQ(grid.BoundsUsedTiles, (TRect{9, 7, 0, 0}));
    EXPECT_EQ(grid.Tiles, Grid(256, 212).Tiles);
  }

  // A grid without tiles takes nothing.
  TMicroTiles none;
  MicroTilesAddRectangle(none, TRect{0, 0, 10, 10});
  EXPECT_EQ(none.Count, 0);
}

TEST(MicroTiles, WholeTileModeFillsTheAliasEntryPastTheRightLimit) {
  // Clamped to right = columns x 32, the last column is `columns`: column 0 of the next row.
  TMicroTiles tiles = Grid(100, 100);  // 4 x 4
  MicroTilesAddRectangle(tiles, TRect{96, 0, 500, 10}, true);
  EXPECT_EQ(tiles.At(3, 0), MICROTILE_FULL);
  EXPECT_EQ(tiles.At(0, 1), MICROTILE_FULL);
  TMicroTiles precise = Grid(100, 100);
  MicroTilesAddRectangle(precise, TRect{96, 0, 500, 10});
  EXPECT_EQ(precise.At(0, 1), MICROTILE_EMPTY);
}

TEST(MicroTiles, ThickLinesGoInStepsOf32Pixels) {
  TMicroTiles tiles = Grid(256, 212);
  MicroTilesAddThickLine(tiles, 0, 0, 40, 10, 0);
  // Steps (0,0)-(32,8) and (32,8)-(64,16).
  TMicroTiles expected = Grid(256, 212);
  MicroTilesAddRectangle(expected, TRect{0, 0, 32, 8});
  MicroTilesAddRectangle(expected, TRect{32, 8, 64, 16});
  EXPECT_EQ(tiles.Tiles, expected.Tiles);

  // Axis-aligned: the rectangle grown by 2W outward, whatever the order of the ends.
  TMicroTiles vertical = Grid(256, 212), grown = Grid(256, 212);
  MicroTilesAddThickLine(vertical, 50, 90, 50, 40, 3);
  MicroTilesAddRectangle(grown, TRect{44, 34, 56, 96});
  EXPECT_EQ(vertical.Tiles, grown.Tiles);

  // Random lines, some starting or ending far outside, against every step of the plain walk.
  std::mt19937 rng(99);
  for (int trial = 0; trial < 300; ++trial) {
    const auto coord = [&] { return static_cast<int>(rng() % 1200) - 500; };
    const int x1 = coord(), y1 = coord(), x2 = coord(), y2 = coord(), w = rng() % 4;
    TMicroTiles fast = Grid(200, 150), walked = Grid(200, 150);
    MicroTilesAddThickLine(fast, x1, y1, x2, y2, w, trial % 2);
    const std::int64_t dx = x2 - x1, dy = y2 - y1;
    if (dx == 0 || dy == 0) continue;
    const bool majorX = std::abs(dx) >= std::abs(dy);
    const std::int64_t major = majorX ? dx : dy, minor = majorX ? dy : dx;
    const std::int64_t n = std::abs(major) * 65536 / 32;
    const std::int64_t minorStep = (minor < 0 ? -1 : 1) * (std::abs(minor) * 65536 * 65536 / n);
    const std::int64_t majorStep = major < 0 ? -32 * 65536 : 32 * 65536;
    const std::int64_t sx = majorX ? majorStep : minorStep, sy = majorX ? minorStep : majorStep;
    std::int64_t x = x1 * std::int64_t{65536}, y = y1 * std::int64_t{65536};
    const auto px = [](std::int64_t v) { return static_cast<int>((v + 0x7FFF) >> 16); };
    for (std::int64_t i = 0; i < (n + 65535) / 65536; ++i, x += sx, y += sy) {
      const int l = px(x), t = px(y), r = px(x + sx), b = px(y + sy);
      const int gx = (l <= r ? 2 : -2) * w, gy = (t <= b ? 2 : -2) * w;
      MicroTilesAddRectangle(walked, TRect{l - gx, t - gy, r + gx, b + gy}, trial % 2);
    }
    ASSERT_EQ(fast.Tiles, walked.Tiles) << trial;
    ASSERT_EQ(fast.BoundsUsedTiles, walked.BoundsUsedTiles) << trial;
  }

  // Huge coordinates stay defined.
  TMicroTiles far = Grid(256, 212);
  MicroTilesAddThickLine(far, -2000000000, 5, 2000000000, 70000, 0x00FFFFFF);
  MicroTilesAddThickLine(far, 2147483647, -2147483647 - 1, -2147483647 - 1, 2147483647, 1);
}

TEST(MicroTiles, MergeUnitesTilesAndUsedBounds) {
  TMicroTiles dst = Grid(256, 212), src = Grid(256, 212), none;
  MicroTilesAddRectangle(dst, TRect{10, 5, 20, 20});
  const TMicroTiles before = dst;
  MicroTilesMerge(dst, none);
  EXPECT_EQ(dst.Tiles, before.Tiles);
  EXPECT_EQ(dst.BoundsUsedTiles, before.BoundsUsedTiles);

  MicroTilesAddRectangle(src, TRect{15, 1, 50, 8});
  MicroTilesMerge(dst, src);
  EXPECT_EQ(dst.At(0, 0), MakeMicroTile(10, 1, 32, 20));
  EXPECT_EQ(dst.At(1, 0), MakeMicroTile(0, 1, 18, 8));
  EXPECT_EQ(dst.BoundsUsedTiles, (TRect{0, 0, 1, 0}));

  TMicroTiles rounded = before;
  MicroTilesMerge(rounded, src, true);
  EXPECT_EQ(rounded.At(0, 0), MICROTILE_FULL);
  EXPECT_EQ(rounded.At(1, 0), MICROTILE_FULL);

  // A smaller destination takes only what fits in its entries.
  TMicroTiles small = Grid(10, 10), big = Grid(300, 300);
  MicroTilesAddRectangle(big, TRect{0, 0, 300, 300});
  MicroTilesMerge(small, big);
  EXPECT_EQ(small.At(0, 0), MICROTILE_FULL);
}

TEST(MicroTiles, CalcRectsJoinsAlongRowsAndDownColumns) {
  TMicroTiles tiles = Grid(256, 212);
  MicroTilesAddRectangle(tiles, TRect{10, 5, 100, 70});
  EXPECT_EQ(Rects(tiles), (std::vector<TRect>{{10, 5, 100, 70}}));
  EXPECT_EQ(Rects(tiles, true), (std::vector<TRect>{{0, 0, 128, 96}}));

  // Clipped to the bounds; rectangles clipped away are dropped. The alias entry filled past the
  // right limit shows only once its row is in use: one spare tile repainted.
  TMicroTiles edge = Grid(100, 100);
  MicroTilesAddRectangle(edge, TRect{96, 0, 500, 10}, true);
  EXPECT_EQ(Rects(edge, true), (std::vector<TRect>{{96, 0, 100, 32}}));
  MicroTilesAddRectangle(edge, TRect{0, 70, 10, 80}, true);
  EXPECT_EQ(Rects(edge, true), (std::vector<TRect>{{96, 0, 100, 32}, {0, 32, 32, 96}}));

  TRectList list;
  EXPECT_EQ(MicroTilesCalcRects(tiles, list, true), 1);
  EXPECT_EQ(list.Count(), 0);
  TMicroTiles empty = Grid(256, 212);
  EXPECT_EQ(MicroTilesCalcRects(empty, list), 0);
}

// Random rectangles against a pixel mask: every tile covers what was added inside it; whole-tile
// mode fills exactly the tiles of each range; the rectangle list covers exactly the pixels of
// the tiles (inside the bounds) and its rectangles do not overlap.
TEST(MicroTiles, MatchAPixelMaskOracle) {
  std::mt19937 rng(1234);
  for (int trial = 0; trial < 300; ++trial) {
    const int width = 1 + static_cast<int>(rng() % 200), height = 1 + static_cast<int>(rng() % 150);
    const bool round = trial % 3 == 0;
    TMicroTiles tiles = Grid(width, height);
    const int limitX = tiles.Columns * 32, limitY = tiles.Rows * 32;
    std::vector<char> mask(static_cast<std::size_t>(limitX * limitY), 0);
    std::vector<char> rangeTiles(static_cast<std::size_t>(tiles.Count), 0);
    const int count = 1 + static_cast<int>(rng() % 6);
    for (int i = 0; i < count; ++i) {
      const auto coord = [&](int limit) { return static_cast<int>(rng() % (limit + 80)) - 40; };
      const TRect r{coord(width), coord(height), coord(width), coord(height)};
      MicroTilesAddRectangle(tiles, r, round);
      const int l = std::max(std::min(r.left, r.right), 0),
                rr = std::min(std::max(r.left, r.right), limitX);
      const int t = std::max(std::min(r.top, r.bottom), 0),
                b = std::min(std::max(r.top, r.bottom), limitY);
      if (rr < l || b < t) continue;
      for (int y = t; y < b; ++y)
        for (int x = l; x < rr; ++x) mask[y * limitX + x] = 1;
      for (int row = t >> 5; row <= b >> 5; ++row)
        for (int column = l >> 5; column <= rr >> 5; ++column)
          rangeTiles[row * tiles.Columns + column] = 1;
    }
    // Coverage.
    for (int y = 0; y < limitY; ++y)
      for (int x = 0; x < limitX; ++x) {
        if (!mask[y * limitX + x]) continue;
        const Tile t = tiles.At(x >> 5, y >> 5);
        const int tx = x & 31, ty = y & 31;
        ASSERT_TRUE(tx >= MicroTileLeft(t) && tx < MicroTileRight(t) && ty >= MicroTileTop(t) &&
                    ty < MicroTileBottom(t))
            << "trial " << trial << " pixel " << x << "," << y;
      }
    for (int i = 0; round && i < tiles.Count; ++i)
      ASSERT_EQ(tiles.Tiles[i], rangeTiles[i] ? MICROTILE_FULL : MICROTILE_EMPTY) << trial;
    // The rectangle list against the tiles, pixel by pixel.
    std::vector<int> painted(static_cast<std::size_t>(width * height), 0);
    for (const TRect& r : Rects(tiles, round))
      for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) ++painted[y * width + x];
    const TRect& used = tiles.BoundsUsedTiles;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const TPoint tile{x >> 5, y >> 5};
        if (tile.X < used.left || tile.X > used.right || tile.Y < used.top || tile.Y > used.bottom)
          continue;
        const Tile t = tiles.At(tile.X, tile.Y);
        const int tx = x & 31, ty = y & 31;
        const bool inTile = round ? t != MICROTILE_EMPTY
                                  : tx >= MicroTileLeft(t) && tx < MicroTileRight(t) &&
                                        ty >= MicroTileTop(t) && ty < MicroTileBottom(t);
        ASSERT_EQ(painted[y * width + x], inTile ? 1 : 0)
            << "trial " << trial << " pixel " << x << "," << y;
      }
  }
}

}  // namespace
}  // namespace gfx
