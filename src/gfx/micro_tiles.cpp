#include "gfx/micro_tiles.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace gfx {

namespace plain {

void MicroTileUnion(TMicroTile& Dst, TMicroTile Src) {
  if (Dst == MICROTILE_FULL || MicroTileDegenerate(Src)) return;
  if (Dst == MICROTILE_EMPTY || Src == MICROTILE_FULL) {
    Dst = Src;
    return;
  }
  Dst = MakeMicroTile(std::min(MicroTileLeft(Dst), MicroTileLeft(Src)),
                      std::min(MicroTileTop(Dst), MicroTileTop(Src)),
                      std::max(MicroTileRight(Dst), MicroTileRight(Src)),
                      std::max(MicroTileBottom(Dst), MicroTileBottom(Src)));
}

void MicroTileUnionRow(TMicroTile* Dst, const TMicroTile* Src, int Count) {
  for (int i = 0; i < Count; ++i) MicroTileUnion(Dst[i], Src[i]);
}

}  // namespace plain

namespace emmx {

// Byte-wise: left and top from the minimum, right and bottom from the maximum; then the two
// selections of the plain form as masks.
void MicroTileUnion(TMicroTile& Dst, TMicroTile Src) {
  const TMicroTile d = Dst;
  TMicroTile lo = 0, hi = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const TMicroTile a = d >> shift & 0xFF, b = Src >> shift & 0xFF;
    lo |= std::min(a, b) << shift;
    hi |= std::max(a, b) << shift;
  }
  const TMicroTile box = (lo & 0xFFFF0000u) | (hi & 0x0000FFFFu);
  const TMicroTile equal = ~((Src << 16) ^ Src);
  const bool degenerate =
      (equal & 0xFF000000u) == 0xFF000000u || (equal & 0x00FF0000u) == 0x00FF0000u;
  const TMicroTile keep = (d == MICROTILE_FULL || degenerate) ? ~0u : 0u;
  const TMicroTile take = (d == MICROTILE_EMPTY || Src == MICROTILE_FULL) ? ~0u : 0u;
  Dst = (d & keep) | (~keep & ((Src & take) | (box & ~take)));
}

#if defined(__SSE2__)
void MicroTileUnionRow(TMicroTile* Dst, const TMicroTile* Src, int Count) {
  const __m128i full = _mm_set1_epi32(static_cast<int>(MICROTILE_FULL));
  const __m128i zero = _mm_setzero_si128();
  const __m128i high = _mm_set1_epi32(static_cast<int>(0xFFFF0000u));
  int i = 0;
  for (; i + 4 <= Count; i += 4) {
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Dst + i));
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Src + i));
    const __m128i box = _mm_or_si128(_mm_and_si128(_mm_min_epu8(d, s), high),
                                     _mm_andnot_si128(high, _mm_max_epu8(d, s)));
    // Left against right and top against bottom: any equal pair makes the tile degenerate.
    const __m128i pairs = _mm_and_si128(_mm_cmpeq_epi8(_mm_slli_epi32(s, 16), s), high);
    const __m128i degenerate = _mm_andnot_si128(_mm_cmpeq_epi32(pairs, zero), _mm_set1_epi32(-1));
    const __m128i keep = _mm_or_si128(_mm_cmpeq_epi32(d, full), degenerate);
    const __m128i take = _mm_or_si128(_mm_cmpeq_epi32(d, zero), _mm_cmpeq_epi32(s, full));
    const __m128i merged = _mm_or_si128(_mm_and_si128(take, s), _mm_andnot_si128(take, box));
    const __m128i result = _mm_or_si128(_mm_and_si128(keep, d), _mm_andnot_si128(keep, merged));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(Dst + i), result);
  }
  for (; i < Count; ++i) MicroTileUnion(Dst[i], Src[i]);
}
#else
void MicroTileUnionRow(TMicroTile* Dst, const TMicroTile* Src, int Count) {
  for (int i = 0; i < Count; ++i) MicroTileUnion(Dst[i], Src[i]);
}
#endif

}  // namespace emmx

void BindMicroTileCells(const TCpuFeatures& features) {
  MicroTileUnion = features.emmx ? emmx::MicroTileUnion : plain::MicroTileUnion;
  MicroTileUnionRow = features.emmx ? emmx::MicroTileUnionRow : plain::MicroTileUnionRow;
}

namespace {

void ResetUsedTiles(TMicroTiles& Tiles) {
  Tiles.BoundsUsedTiles = TRect{Tiles.Columns, Tiles.Rows, 0, 0};
}

void WidenUsedTiles(TMicroTiles& Tiles, const TRect& Range) {
  TRect& used = Tiles.BoundsUsedTiles;
  used.left = std::min(used.left, Range.left);
  used.top = std::min(used.top, Range.top);
  used.right = std::max(used.right, Range.right);
  used.bottom = std::max(used.bottom, Range.bottom);
}

std::int32_t ToInt32(std::int64_t v) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// Grows the rectangle by Amount on every side; a side pair given in reverse order grows the
// other way, so the rectangle always grows outward.
TRect GrowKeepingOrientation(std::int64_t X1, std::int64_t Y1, std::int64_t X2, std::int64_t Y2,
                             std::int64_t Amount) {
  const std::int64_t dx = X1 <= X2 ? Amount : -Amount;
  const std::int64_t dy = Y1 <= Y2 ? Amount : -Amount;
  return TRect{ToInt32(X1 - dx), ToInt32(Y1 - dy), ToInt32(X2 + dx), ToInt32(Y2 + dy)};
}

// 16.16 to whole pixels, half up, sign kept.
std::int64_t RoundFixed(std::int64_t v) {
  return (v + 0x7FFF) >> 16;
}

}  // namespace

void MicroTilesSetSize(TMicroTiles& Tiles, const TRect& Src) {
  Tiles.BoundsRect = Src;
  Tiles.Columns = (std::max(Src.right - Src.left, 0) >> MICROTILE_SHIFT) + 1;
  Tiles.Rows = (std::max(Src.bottom - Src.top, 0) >> MICROTILE_SHIFT) + 1;
  Tiles.Count = (Tiles.Columns + 1) * (Tiles.Rows + 1);
  Tiles.Tiles.assign(static_cast<std::size_t>(Tiles.Count), MICROTILE_EMPTY);
  ResetUsedTiles(Tiles);
}

void MicroTilesClear(TMicroTiles& Tiles) {
  std::fill(Tiles.Tiles.begin(), Tiles.Tiles.end(), MICROTILE_EMPTY);
  ResetUsedTiles(Tiles);
}

void MicroTilesClearUsed(TMicroTiles& Tiles) {
  if (Tiles.Count == 0) return;
  const TRect& used = Tiles.BoundsUsedTiles;
  for (int row = used.top; row <= used.bottom; ++row)
    for (int column = used.left; column <= used.right; ++column)
      Tiles.At(column, row) = MICROTILE_EMPTY;
  ResetUsedTiles(Tiles);
}

void MicroTilesDestroy(TMicroTiles& Tiles) {
  Tiles = TMicroTiles{};
}

void MicroTilesCopy(TMicroTiles& Dst, const TMicroTiles& Src) {
  Dst = Src;
}

namespace {

// Normalised and clamped to the grid; false when nothing is left.
bool ClampToGrid(const TMicroTiles& Tiles, TRect& Rect) {
  if (Rect.left > Rect.right) std::swap(Rect.left, Rect.right);
  if (Rect.top > Rect.bottom) std::swap(Rect.top, Rect.bottom);
  Rect.left = std::max(Rect.left, 0);
  Rect.top = std::max(Rect.top, 0);
  Rect.right = ToInt32(std::min<std::int64_t>(Rect.right, std::int64_t{Tiles.Columns} * 32));
  Rect.bottom = ToInt32(std::min<std::int64_t>(Rect.bottom, std::int64_t{Tiles.Rows} * 32));
  return Rect.right >= Rect.left && Rect.top <= Rect.bottom;
}

}  // namespace

void MicroTilesAddRectangle(TMicroTiles& Tiles, TRect Rect, bool RoundToWholeTiles) {
  if (Tiles.Count == 0 || !ClampToGrid(Tiles, Rect)) return;

  const TRect range{Rect.left >> MICROTILE_SHIFT, Rect.top >> MICROTILE_SHIFT,
                    Rect.right >> MICROTILE_SHIFT, Rect.bottom >> MICROTILE_SHIFT};
  if (RoundToWholeTiles) {
    for (int row = range.top; row <= range.bottom; ++row)
      for (int column = range.left; column <= range.right; ++column)
        Tiles.At(column, row) = MICROTILE_FULL;
  } else {
    const int l = Rect.left & 31, t = Rect.top & 31, r = Rect.right & 31, b = Rect.bottom & 31;
    for (int row = range.top; row <= range.bottom; ++row) {
      const bool edgeRow = row == range.top || row == range.bottom;
      for (int column = range.left; column <= range.right; ++column) {
        TMicroTile& tile = Tiles.At(column, row);
        if (!edgeRow && column != range.left && column != range.right) {
          tile = MICROTILE_FULL;
          continue;
        }
        MicroTileUnion(tile,
                       MakeMicroTile(column == range.left ? l : 0, row == range.top ? t : 0,
                                     column == range.right ? r : 32, row == range.bottom ? b : 32));
      }
    }
  }
  WidenUsedTiles(Tiles, range);
}

void MicroTilesAddThickLine(TMicroTiles& Tiles, std::int32_t X1, std::int32_t Y1, std::int32_t X2,
                            std::int32_t Y2, std::int32_t LineWidth, bool RoundToWholeTiles) {
  const std::int64_t grow = 2 * static_cast<std::int64_t>(LineWidth);
  const std::int64_t dx = static_cast<std::int64_t>(X2) - X1;
  const std::int64_t dy = static_cast<std::int64_t>(Y2) - Y1;
  if (dx == 0 || dy == 0) {
    MicroTilesAddRectangle(Tiles, GrowKeepingOrientation(X1, Y1, X2, Y2, grow), RoundToWholeTiles);
    return;
  }
  const bool majorX = std::abs(dx) >= std::abs(dy);
  const std::int64_t dMajor = majorX ? dx : dy, dMinor = majorX ? dy : dx;
  // n = |dMajor| x 65536 / 32 exactly, so the minor step (|dMinor| x 2^32) div n is
  // (|dMinor| x 2^21) div |dMajor|, which fits in 64 bits for any 32-bit ends.
  const std::int64_t n = std::abs(dMajor) * 2048;
  const std::int64_t minorMagnitude = (std::abs(dMinor) << 21) / std::abs(dMajor);
  const std::int64_t majorStep = dMajor < 0 ? -(32 << 16) : (32 << 16);
  const std::int64_t minorStep = dMinor < 0 ? -minorMagnitude : minorMagnitude;
  const std::int64_t stepX = majorX ? majorStep : minorStep;
  const std::int64_t stepY = majorX ? minorStep : majorStep;
  const std::int64_t steps = (n + 65535) / 65536;

  // Steps whose grown span along the major axis misses 0 .. limit would add nothing (their
  // clamped rectangle is inverted): only the others are walked.
  const std::int64_t start = majorX ? X1 : Y1;
  const std::int64_t limit = (majorX ? Tiles.Columns : Tiles.Rows) * std::int64_t{MICROTILE_SIZE};
  const auto floorDiv = [](std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
  };
  std::int64_t first = 0, last = steps - 1;
  if (dMajor > 0) {
    first = std::max(first, -floorDiv(start + 32 + grow, 32));
    last = std::min(last, floorDiv(limit + grow - start, 32));
  } else {
    first = std::max(first, -floorDiv(limit + grow + 32 - start, 32));
    last = std::min(last, floorDiv(start + grow, 32));
  }
  // Adding the same clamped rectangle again changes nothing, so repeats are skipped; once a
  // step has covered the grid's whole extent no later one can change a tile or the used bounds,
  // so a line of a huge width stops there instead of walking millions of steps that add nothing.
  // The extent is clamped to 32 bits as ClampToGrid clamps.
  const TRect extent{0, 0, ToInt32(std::int64_t{Tiles.Columns} * MICROTILE_SIZE),
                     ToInt32(std::int64_t{Tiles.Rows} * MICROTILE_SIZE)};
  TRect previous;
  bool added = false;
  for (std::int64_t i = first; i <= last; ++i) {
    const std::int64_t x = X1 * std::int64_t{65536} + i * stepX;
    const std::int64_t y = Y1 * std::int64_t{65536} + i * stepY;
    TRect r = GrowKeepingOrientation(RoundFixed(x), RoundFixed(y), RoundFixed(x + stepX),
                                     RoundFixed(y + stepY), grow);
    if (Tiles.Count == 0 || !ClampToGrid(Tiles, r) || (added && r == previous)) continue;
    MicroTilesAddRectangle(Tiles, r, RoundToWholeTiles);
    if (r == extent) break;
    previous = r;
    added = true;
  }
}

void MicroTilesAddArea(TMicroTiles& Tiles, const TRect& Area, std::uint32_t Info,
                       bool RoundToWholeTiles) {
  if ((Info & 0x40000000) == 0) {
    MicroTilesAddRectangle(Tiles, Area, RoundToWholeTiles);
    return;
  }
  const auto width = static_cast<std::int32_t>(Info & 0x00FFFFFF);
  const TRect line = GrowKeepingOrientation(Area.left, Area.top, Area.right, Area.bottom, width);
  MicroTilesAddThickLine(Tiles, line.left, line.top, line.right, line.bottom, width,
                         RoundToWholeTiles);
}

void MicroTilesMerge(TMicroTiles& Dst, const TMicroTiles& Src, bool RoundToWholeTiles) {
  if (Src.Count == 0) return;
  const TRect& used = Src.BoundsUsedTiles;
  for (int row = used.top; row <= used.bottom; ++row) {
    const std::int64_t dstStart = static_cast<std::int64_t>(row) * Dst.Columns + used.left;
    const int run = used.right - used.left + 1;
    if (run <= 0 || dstStart < 0) continue;
    const int fit = static_cast<int>(std::clamp<std::int64_t>(Dst.Count - dstStart, 0, run));
    TMicroTile* d = Dst.Tiles.data() + dstStart;
    const TMicroTile* s = Src.Tiles.data() + row * Src.Columns + used.left;
    if (fit == 0) continue;
    if (!RoundToWholeTiles) {
      MicroTileUnionRow(d, s, fit);
      continue;
    }
    for (int i = 0; i < fit; ++i)
      if (d[i] != MICROTILE_FULL && !MicroTileDegenerate(s[i])) d[i] = MICROTILE_FULL;
  }
  // Within Dst's own extent, so that its scans stay inside its entries.
  WidenUsedTiles(Dst, TRect{used.left, used.top, std::min(used.right, Dst.Columns),
                            std::min(used.bottom, Dst.Rows)});
}

namespace {

// Collects the rectangles of one scan, joining each to the one directly above when they share
// left and right and meet.
class TRectCollector {
 public:
  explicit TRectCollector(const TRect& clip) : clip_(clip) {}

  void NextRow() {
    above_.swap(current_);
    current_.clear();
  }

  void Add(TRect r) {
    r.left = std::max(r.left, clip_.left);
    r.top = std::max(r.top, clip_.top);
    r.right = std::min(r.right, clip_.right);
    r.bottom = std::min(r.bottom, clip_.bottom);
    // A rectangle the clip leaves without area is not listed: it would only repaint nothing.
    if (r.right <= r.left || r.bottom <= r.top) return;
    for (std::size_t index : above_) {
      TRect& up = rects_[index];
      if (up.left == r.left && up.right == r.right && up.bottom == r.top) {
        up.bottom = r.bottom;
        current_.push_back(index);
        return;
      }
    }
    current_.push_back(rects_.size());
    rects_.push_back(r);
  }

  const std::vector<TRect>& Rects() const { return rects_; }

 private:
  TRect clip_;
  std::vector<TRect> rects_;
  std::vector<std::size_t> above_, current_;
};

}  // namespace

int MicroTilesCalcRects(const TMicroTiles& Tiles, TRectList& DstRects, const TRect& Clip,
                        bool CountOnly, bool RoundToWholeTiles) {
  const TRect& used = Tiles.BoundsUsedTiles;
  if (Tiles.Count == 0 || used.right < used.left || used.bottom < used.top) return 0;
  TRectCollector collector(Clip);
  for (int row = used.top; row <= used.bottom; ++row) {
    collector.NextRow();
    const int y = row * MICROTILE_SIZE;
    for (int column = used.left; column <= used.right; ++column) {
      const TMicroTile tile = Tiles.At(column, row);
      if (tile == MICROTILE_EMPTY) continue;
      const int x = column * MICROTILE_SIZE;
      if (RoundToWholeTiles) {
        TRect r{x, y, x + MICROTILE_SIZE, y + MICROTILE_SIZE};
        while (column < used.right && Tiles.At(column + 1, row) != MICROTILE_EMPTY) {
          ++column;
          r.right += MICROTILE_SIZE;
        }
        collector.Add(r);
        continue;
      }
      const int top = MicroTileTop(tile), bottom = MicroTileBottom(tile);
      TRect r{x + MicroTileLeft(tile), y + top, x + MicroTileRight(tile), y + bottom};
      int right = MicroTileRight(tile);
      while (right == MICROTILE_SIZE && column < used.right) {
        const TMicroTile next = Tiles.At(column + 1, row);
        if (next == MICROTILE_EMPTY || MicroTileLeft(next) != 0 || MicroTileTop(next) != top ||
            MicroTileBottom(next) != bottom)
          break;
        ++column;
        right = MicroTileRight(next);
        r.right = column * MICROTILE_SIZE + right;
      }
      collector.Add(r);
    }
  }
  if (!CountOnly)
    for (const TRect& r : collector.Rects()) DstRects.Add(r);
  return static_cast<int>(collector.Rects().size());
}

int MicroTilesCalcRects(const TMicroTiles& Tiles, TRectList& DstRects, bool CountOnly,
                        bool RoundToWholeTiles) {
  return MicroTilesCalcRects(Tiles, DstRects, Tiles.BoundsRect, CountOnly, RoundToWholeTiles);
}

}  // namespace gfx
