// The shapes the skin painters draw, as plain data: border polylines, gradient bands, arrows,
// grip dots, caption-button glyphs, check and radio marks, window-frame rings and the shading
// of disabled images. The platform half only emits these to a device context.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "skbar/sk_text.h"
#include "skbar/skin_options.h"

namespace skbar {

TRect SkCenterRect(const TRect& r, int width, int height);
TRect SkCenterRectHoriz(const TRect& r, int width);
TRect SkCenterRectVert(const TRect& r, int height);

// A line through the points in one colour; like the platform's, it leaves out its last point.
struct TSkPolyline {
  std::vector<TPoint> points;
  TColor color = clNone;
  bool operator==(const TSkPolyline&) const = default;
};

// The border painter: inner top-left and bottom-right lines, then the outer ones with corners
// cut by `cornerSize` (clamped to 0..2) except on forced sides; clNone colours draw nothing.
std::vector<TSkPolyline> SkRectangleLines(const TRect& r, int cornerSize, TAnchors forceRect,
                                          TColor colorTL, TColor colorBR, TColor innerTL,
                                          TColor innerBR);
// A Borders entry's lines: its skin type is the rounding; only 0, 1 and 2 draw.
std::vector<TSkPolyline> SkSkinBorderLines(const TRect& r, int skinType,
                                           const std::array<TColor, 4>& colors, TAnchors forceRect);

// The five rectangles of a bar with rounded ends (none for an empty rectangle).
std::vector<TRect> SkRoundedBarRects(const TRect& r);

// One gradient band over positions start..end (inclusive) of a rectangle, from c1 to c2.
struct TSkGradientBand {
  int start = 0, end = 0, chunk = 0;
  TColor c1 = clNone, c2 = clNone;
  bool operator==(const TSkGradientBand&) const = default;
};

// The body fill of a Body entry: a solid colour (style 0) or bands along one direction.
struct TSkBodyPlan {
  bool solid = false;
  TColor solidColor = clNone;
  bool vertical = false;  // bands run top to bottom (else left to right)
  std::vector<TSkGradientBand> bands;
};

// `vertical` swaps the styles in pairs (1 with 2, ... 9 with 10). Bands end at the rectangle's
// last position at most.
TSkBodyPlan SkBodyPlan(const TRect& r, int skinType, const std::array<TColor, 4>& colors,
                       bool vertical);
// The colour of position `i` of a band drawn line by line; it never passes the band's end colour.
TColor SkGradientLineColor(const TSkGradientBand& band, int i);

// Where a popup's frame (`popup`, its two outer rings) is left open along the item it was opened
// from (`opener`, outside the popup against one of its edges): the part of those rings beside
// the item's inside, short of the item's own border and of the popup's corners; empty when the
// item touches no edge or leaves no room.
TRect SkPopupOpenEdge(const TRect& popup, const TRect& opener);

// The filled triangle of an arrow with its apex at (x, y).
std::array<TPoint, 3> SkArrowPoints(int x, int y, int size, bool vertical, bool reverse);

// Grip dots: for each dot its 2 x 2 shadow square, then the dot square itself.
struct TSkGripDot {
  TRect shadow, dot;
};
std::vector<TSkGripDot> SkDotsGrip(const TRect& r);

// Caption-button glyphs: 0 close, 1 maximise, 2 minimise, 3 restore; rows of 8 pixels, bit 7
// leftmost.
constexpr int kSkGlyphCount = 4;
struct TSkGlyphPattern {
  int width = 8, height = 0;
  std::array<std::uint16_t, 9> rows{};
};
const TSkGlyphPattern& SkGlyphPattern(int index);
// Where glyph `index` goes inside `r` (centred, the odd pixel to the right and bottom).
TRect SkGlyphPatternRect(const TRect& r, int index);

// Check and radio marks.
std::array<TPoint, 7> SkMenuCheckMarkPoints(const TRect& r);
std::array<TPoint, 7> SkCheckBoxMarkPoints(const TRect& r);
// The fill of a grayed (not checked) check box.
TRect SkCheckBoxGrayedRect(const TRect& r);
// The round rectangle (corner 2 x 2) of a menu radio mark.
TRect SkMenuRadioMarkRect(const TRect& r);
// A radio button: a 13 x 13 box centred in `r`, its round outline (24 points, also the
// clipping polygon of its body) and the round rectangle of its dot.
struct TSkRadioButtonShape {
  TRect box;
  std::array<TPoint, 24> outline;
  TRect dot;
};
TSkRadioButtonShape SkRadioButtonShape(const TRect& r);

// Window-frame rings from the outside in: ring i takes colour i of the Borders entry (the
// fourth for every ring after it); rings in clNone are skipped but still take their pixel.
struct TSkFrameRing {
  TRect rect;
  TColor color = clNone;
  bool operator==(const TSkFrameRing&) const = default;
};
std::vector<TSkFrameRing> SkWindowFrameRings(const TRect& r, const std::array<TColor, 4>& colors,
                                             int borderSize);

// Disabled-image shading of one 32-bit pixel: the background pixel scaled by
// (luma(image) / 3 + 170) / 256, luma from bits 16-23 x 29 + 8-15 x 150 + 0-7 x 76.
std::uint32_t SkShadedPixel(std::uint32_t background, std::uint32_t image);
// Shades `background` where `withImage` (the same picture with the image drawn) differs.
void SkShadeImage(std::uint32_t* background, const std::uint32_t* withImage, std::size_t count);

}  // namespace skbar
