// Aligned child layout: top and bottom bars take full-width strips from the edges, left and
// right bars full-height strips of what is left, and client-aligned children fill the rest.
// Children of one alignment are placed in their order. A bar keeps its own extent when the
// parent is too small for it (bars overlap then); the client fill shrinks, never below zero.
#pragma once

#include <cstdint>
#include <vector>

namespace ui {

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

struct TRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const TRect&) const = default;
};

struct AlignItem {
  TAlign align = TAlign::alNone;
  TRect bounds;  // current bounds; the kept extent (height of a top bar, width of a left bar)
};

// New bounds of each item inside `client`; alNone items keep their bounds.
std::vector<TRect> AlignRects(const TRect& client, const std::vector<AlignItem>& items);

// Anchor sides, as the controls' Anchors (akLeft 1, akTop 2, akRight 4, akBottom 8).
struct AnchorSides {
  static constexpr std::uint8_t left = 1, top = 2, right = 4, bottom = 8;
};

// Where a non-aligned control placed at `origin` while its parent measured `originWidth` x
// `originHeight` goes now that the parent measures `width` x `height`: a side anchored to
// the right (bottom) edge keeps its distance to it; anchored to both edges the control
// stretches; anchored to neither its centre keeps its proportional place. Sizes never go
// below zero.
TRect AnchorRect(const TRect& origin, std::uint8_t anchors, int originWidth, int originHeight,
                 int width, int height);

}  // namespace ui
