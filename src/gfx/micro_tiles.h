// Micro-tiles: a grid of 32 x 32-pixel tiles over a buffer, each holding the one rectangle that
// bounds what changed inside it, and the list of rectangles made from the grid for repainting.
//   A tile is l << 24 | t << 16 | r << 8 | b (each 0..32 inside its tile): 0 empty, 0x00002020
//   full. The grid has (columns + 1) x (rows + 1) entries but a row stride of columns, so the
//   entry of column `columns` in row r is column 0 of row r + 1: a rectangle clamped to the
//   right limit in whole-tile mode also fills that entry (one spare tile repainted, never a
//   missed one).
//   The tile union and the row union are call cells (plain, or the extended-MMX form written
//   with SSE2); start-up binds them with BindMicroTileCells.
#pragma once

#include <cstdint>
#include <vector>

#include "gfx/containers.h"
#include "gfx/system.h"
#include "gfx/types.h"

namespace gfx {

using TMicroTile = std::uint32_t;
inline constexpr TMicroTile MICROTILE_EMPTY = 0;
inline constexpr TMicroTile MICROTILE_FULL = 0x00002020;
inline constexpr int MICROTILE_SHIFT = 5;
inline constexpr int MICROTILE_SIZE = 1 << MICROTILE_SHIFT;

constexpr TMicroTile MakeMicroTile(int l, int t, int r, int b) {
  return static_cast<TMicroTile>(l) << 24 | static_cast<TMicroTile>(t) << 16 |
         static_cast<TMicroTile>(r) << 8 | static_cast<TMicroTile>(b);
}
constexpr int MicroTileLeft(TMicroTile m) {
  return static_cast<int>(m >> 24);
}
constexpr int MicroTileTop(TMicroTile m) {
  return static_cast<int>(m >> 16 & 0xFF);
}
constexpr int MicroTileRight(TMicroTile m) {
  return static_cast<int>(m >> 8 & 0xFF);
}
constexpr int MicroTileBottom(TMicroTile m) {
  return static_cast<int>(m & 0xFF);
}
// Empty, or zero width or height.
constexpr bool MicroTileDegenerate(TMicroTile m) {
  return MicroTileLeft(m) == MicroTileRight(m) || MicroTileTop(m) == MicroTileBottom(m);
}

struct TMicroTiles {
  TRect BoundsRect;
  std::int32_t Columns = 0, Rows = 0;
  // In tile units, inclusive; (Columns, Rows, 0, 0) when nothing was added since clearing.
  TRect BoundsUsedTiles;
  std::int32_t Count = 0;
  std::vector<TMicroTile> Tiles;

  TMicroTile& At(int column, int row) { return Tiles[row * Columns + column]; }
  TMicroTile At(int column, int row) const { return Tiles[row * Columns + column]; }
};

using TMicroTileUnionProc = void (*)(TMicroTile& Dst, TMicroTile Src);
using TMicroTileUnionRowProc = void (*)(TMicroTile* Dst, const TMicroTile* Src, int Count);

namespace plain {
// Nothing when Dst is full or Src degenerate; Src when Dst is empty or Src full; else the
// bounding box of both.
void MicroTileUnion(TMicroTile& Dst, TMicroTile Src);
void MicroTileUnionRow(TMicroTile* Dst, const TMicroTile* Src, int Count);
}  // namespace plain
namespace emmx {
void MicroTileUnion(TMicroTile& Dst, TMicroTile Src);
void MicroTileUnionRow(TMicroTile* Dst, const TMicroTile* Src, int Count);
}  // namespace emmx

inline TMicroTileUnionProc MicroTileUnion = plain::MicroTileUnion;
inline TMicroTileUnionRowProc MicroTileUnionRow = plain::MicroTileUnionRow;
// Extended MMX: the extended-MMX forms; else the plain ones.
void BindMicroTileCells(const TCpuFeatures& features);

// Sizes the grid to cover Src and clears it.
void MicroTilesSetSize(TMicroTiles& Tiles, const TRect& Src);
// Every tile empty, used bounds reset.
void MicroTilesClear(TMicroTiles& Tiles);
// Clears only the tiles inside the used bounds, then resets them.
void MicroTilesClearUsed(TMicroTiles& Tiles);
// Back to no tiles at all (count 0).
void MicroTilesDestroy(TMicroTiles& Tiles);
void MicroTilesCopy(TMicroTiles& Dst, const TMicroTiles& Src);
void MicroTilesAddRectangle(TMicroTiles& Tiles, TRect Rect, bool RoundToWholeTiles = false);
void MicroTilesAddThickLine(TMicroTiles& Tiles, std::int32_t X1, std::int32_t Y1, std::int32_t X2,
                            std::int32_t Y2, std::int32_t LineWidth,
                            bool RoundToWholeTiles = false);
// An area change: a line (Info bit 30, width in the low 24 bits; the area is first grown by
// the width at each corner and its corners are the line's ends) or a rectangle.
void MicroTilesAddArea(TMicroTiles& Tiles, const TRect& Area, std::uint32_t Info,
                       bool RoundToWholeTiles = false);
// Unites Src into Dst tile by tile (each grid indexed with its own columns); positions beyond
// Dst's entries are left out.
void MicroTilesMerge(TMicroTiles& Dst, const TMicroTiles& Src, bool RoundToWholeTiles = false);
// The rectangles of the grid, clipped; appended to DstRects unless CountOnly. Returns their
// number. Rectangles that clipping leaves empty are dropped.
int MicroTilesCalcRects(const TMicroTiles& Tiles, TRectList& DstRects, const TRect& Clip,
                        bool CountOnly = false, bool RoundToWholeTiles = false);
int MicroTilesCalcRects(const TMicroTiles& Tiles, TRectList& DstRects, bool CountOnly = false,
                        bool RoundToWholeTiles = false);

}  // namespace gfx
