#include "skbar/sk_geometry.h"

#include <algorithm>

#include "skbar/skin_colors.h"

namespace skbar {

TRect SkCenterRect(const TRect& r, int width, int height) {
  return SkCenterRectVert(SkCenterRectHoriz(r, width), height);
}

TRect SkCenterRectHoriz(const TRect& r, int width) {
  const int left = r.left + (r.Width() - width) / 2;
  return {left, r.top, left + width, r.bottom};
}

TRect SkCenterRectVert(const TRect& r, int height) {
  const int top = r.top + (r.Height() - height) / 2;
  return {r.left, top, r.right, top + height};
}

std::vector<TSkPolyline> SkRectangleLines(const TRect& rect, int cornerSize, TAnchors forceRect,
                                          TColor colorTL, TColor colorBR, TColor innerTL,
                                          TColor innerBR) {
  std::vector<TSkPolyline> lines;
  if (rect.Width() <= 0 || rect.Height() <= 0) return lines;
  const int c = std::clamp(cornerSize, 0, 2);
  const int tl = (forceRect & (akLeft | akTop)) ? 0 : c;
  const int tr = (forceRect & (akTop | akRight)) ? 0 : c;
  const int bl = (forceRect & (akLeft | akBottom)) ? 0 : c;
  const int br = (forceRect & (akRight | akBottom)) ? 0 : c;
  const auto add = [&](TColor color, std::vector<TPoint> points) {
    if (color != clNone) lines.push_back({std::move(points), color});
  };
  const int l = rect.left, t = rect.top, r = rect.right - 1, b = rect.bottom - 1;
  add(innerTL, {{l + 1, b - 1}, {l + 1, t + 1}, {r - 1, t + 1}});
  add(innerBR, {{l + 1, b - 1}, {r - 1, b - 1}, {r - 1, t}});
  add(colorTL, {{l + bl, b}, {l, b - bl}, {l, t + tl}, {l + tl, t}, {r - tr, t}, {r, t + tr}});
  add(colorBR, {{r, t + tr}, {r, b - br}, {r - br, b}, {l + bl - 1, b}});
  return lines;
}

std::vector<TSkPolyline> SkSkinBorderLines(const TRect& r, int skinType,
                                           const std::array<TColor, 4>& colors,
                                           TAnchors forceRect) {
  // Only the roundings 0, 1 and 2 draw borders (a negative type as well as 3 or more draws none).
  if (skinType < 0 || skinType > 2) return {};
  return SkRectangleLines(r, skinType, forceRect, colors[0], colors[1], colors[2], colors[3]);
}

std::vector<TRect> SkRoundedBarRects(const TRect& r) {
  if (r.Width() <= 0 || r.Height() <= 0) return {};
  const int l = r.left, t = r.top, rt = r.right, b = r.bottom;
  return {{l + 1, t, rt - 1, t + 2},
          {l + 1, b - 2, rt - 1, b},
          {l, t + 1, rt, t + 3},
          {l, b - 3, rt, b - 1},
          {l + 1, t + 4, rt - 1, b - 4}};
}

TSkBodyPlan SkBodyPlan(const TRect& r, int skinType, const std::array<TColor, 4>& colors,
                       bool vertical) {
  TSkBodyPlan plan;
  int style = skinType;
  if (vertical && style >= 1 && style <= 10) style += (style % 2) ? 1 : -1;
  if (style == 0) {
    plan.solid = true;
    plan.solidColor = colors[0];
    return plan;
  }
  if (style < 1 || style > 10) return plan;
  plan.vertical = style % 2 == 1;
  const int n = (plan.vertical ? r.Height() : r.Width()) - 1;
  if (n < 0) return plan;
  const auto band = [&](int start, int end, int chunk, TColor c1, TColor c2) {
    // Short rectangles would let a band run past the last position: bands end there.
    end = std::min(end, n);
    if (start <= end) plan.bands.push_back({start, end, chunk, c1, c2});
  };
  const auto [c1, c2, c3, c4] = colors;
  switch ((style + 1) / 2) {
    case 1:
      band(0, n, n, c1, c2);
      break;
    case 2: {
      const int t = std::max(n / 3, 1);
      band(0, t, t, c1, c2);
      band(t, 2 * t, t, c2, c3);
      band(2 * t, n, t, c3, c4);
      break;
    }
    case 3: {
      const int h = std::max(n / 2, 1);
      band(0, h, h, c1, c2);
      band(h, n, h, c3, c4);
      break;
    }
    case 4: {
      const int t = n / 3;
      band(0, t, t, c1, c2);
      band(t, n, n - t, c3, c4);
      break;
    }
    default: {
      const int f = std::min(n / 3, 9);
      band(0, f, f, c1, c2);
      band(f, n, n - f, c3, c4);
      break;
    }
  }
  return plan;
}

TRect SkPopupOpenEdge(const TRect& popup, const TRect& opener) {
  constexpr int kRings = 2;
  const int left = std::max(popup.left + 1, opener.left + 1);
  const int right = std::min(popup.right - 1, opener.right - 1);
  const int top = std::max(popup.top + 1, opener.top + 1);
  const int bottom = std::min(popup.bottom - 1, opener.bottom - 1);
  TRect edge;
  if (opener.bottom == popup.top) {
    edge = {left, popup.top, right, popup.top + kRings};
  } else if (opener.top == popup.bottom) {
    edge = {left, popup.bottom - kRings, right, popup.bottom};
  } else if (opener.right == popup.left) {
    edge = {popup.left, top, popup.left + kRings, bottom};
  } else if (opener.left == popup.right) {
    edge = {popup.right - kRings, top, popup.right, bottom};
  }
  return edge.right > edge.left && edge.bottom > edge.top ? edge : TRect{};
}

TColor SkGradientLineColor(const TSkGradientBand& band, int i) {
  const int chunk = band.chunk == 0 ? 1 : band.chunk;
  // A band may be longer than its chunk; past the chunk it keeps its end colour instead of
  // running beyond it.
  const int step = std::clamp(i - band.start, 0, std::max(chunk, 0));
  int r1, g1, b1, r2, g2, b2;
  SkGetRGB(band.c1, r1, g1, b1);
  SkGetRGB(band.c2, r2, g2, b2);
  return SkRGBToColor(r1 + (r2 - r1) * step / chunk, g1 + (g2 - g1) * step / chunk,
                      b1 + (b2 - b1) * step / chunk);
}

std::array<TPoint, 3> SkArrowPoints(int x, int y, int size, bool vertical, bool reverse) {
  if (!vertical) {
    if (reverse) return {{{x, y}, {x + size, y + size}, {x + size, y - size}}};
    return {{{x, y - size}, {x, y + size}, {x + size, y}}};
  }
  if (reverse) return {{{x, y}, {x - size, y + size}, {x + size, y + size}}};
  return {{{x - size, y}, {x + size, y}, {x, y + size}}};
}

std::vector<TSkGripDot> SkDotsGrip(const TRect& r) {
  const int columns = std::max(r.Width() / 4, 1), rows = std::max(r.Height() / 4, 1);
  std::vector<TSkGripDot> dots;
  dots.reserve(static_cast<std::size_t>(columns) * rows);
  for (int c = 0; c < columns; ++c) {
    for (int row = 0; row < rows; ++row) {
      const int x = r.left + 4 * c + 1, y = r.top + 4 * row + 1;
      dots.push_back({{x, y, x + 2, y + 2}, {x - 1, y - 1, x + 1, y + 1}});
    }
  }
  return dots;
}

const TSkGlyphPattern& SkGlyphPattern(int index) {
  static const TSkGlyphPattern kPatterns[kSkGlyphCount] = {
      {8, 8, {0xC6, 0xEE, 0x7C, 0x38, 0x7C, 0xEE, 0xC6, 0x00}},
      {8, 8, {0xFF, 0xFF, 0x81, 0x81, 0x81, 0x81, 0x81, 0xFF}},
      {8, 8, {0x00, 0x00, 0x00, 0x00, 0x00, 0x7E, 0x7E, 0x00}},
      {8, 9, {0x3F, 0x3F, 0x21, 0xFD, 0xFD, 0x87, 0x84, 0x84, 0xFC}}};
  return kPatterns[std::clamp(index, 0, kSkGlyphCount - 1)];
}

TRect SkGlyphPatternRect(const TRect& r, int index) {
  const TSkGlyphPattern& glyph = SkGlyphPattern(index);
  const int x = (r.left + r.right + 1 - glyph.width) / 2;
  const int y = (r.top + r.bottom + 1 - glyph.height) / 2;
  return {x, y, x + glyph.width, y + glyph.height};
}

namespace {

TPoint MarkCentre(const TRect& r) {
  return {r.left + r.Width() / 2 - 1, r.top + r.Height() / 2 + 1};
}

}  // namespace

std::array<TPoint, 7> SkMenuCheckMarkPoints(const TRect& r) {
  const auto [x, y] = MarkCentre(r);
  return {{{x - 3, y - 2},
           {x - 1, y},
           {x + 3, y - 4},
           {x + 3, y - 3},
           {x - 1, y + 1},
           {x - 3, y - 1},
           {x - 3, y - 2}}};
}

std::array<TPoint, 7> SkCheckBoxMarkPoints(const TRect& r) {
  const auto [x, y] = MarkCentre(r);
  return {
      {{x - 2, y}, {x, y + 2}, {x + 4, y - 2}, {x + 4, y - 4}, {x, y}, {x - 2, y - 2}, {x - 2, y}}};
}

TRect SkCheckBoxGrayedRect(const TRect& r) {
  return {r.left + 3, r.top + 3, r.right - 3, r.bottom - 3};
}

TRect SkMenuRadioMarkRect(const TRect& r) {
  const int cx = r.left + r.Width() / 2, cy = r.top + r.Height() / 2;
  return {cx - 2, cy - 2, cx + 3, cy + 3};
}

TSkRadioButtonShape SkRadioButtonShape(const TRect& r) {
  static constexpr TPoint kOutline[24] = {{0, 8},  {0, 4},  {1, 3},  {1, 2},   {2, 1},   {3, 1},
                                          {4, 0},  {8, 0},  {9, 1},  {10, 1},  {11, 2},  {11, 3},
                                          {12, 4}, {12, 8}, {11, 9}, {11, 10}, {10, 11}, {9, 11},
                                          {8, 12}, {4, 12}, {3, 11}, {2, 11},  {1, 10},  {1, 8}};
  TSkRadioButtonShape shape;
  shape.box = SkCenterRect(r, 13, 13);
  for (int i = 0; i < 24; ++i) {
    shape.outline[i] = {shape.box.left + kOutline[i].x, shape.box.top + kOutline[i].y};
  }
  const int mx = shape.box.left + 13 / 2, my = shape.box.top + 13 / 2 + 1;
  shape.dot = {mx - 2, my - 3, mx + 3, my + 2};
  return shape;
}

std::vector<TSkFrameRing> SkWindowFrameRings(const TRect& r, const std::array<TColor, 4>& colors,
                                             int borderSize) {
  std::vector<TSkFrameRing> rings;
  TRect rect = r;
  for (int i = 1; i <= borderSize; ++i) {
    // A ring without a colour is left alone rather than drawn in the "not set" value.
    const TColor color = colors[std::min(i, 4) - 1];
    if (color != clNone) rings.push_back({rect, color});
    rect = {rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
  }
  return rings;
}

std::uint32_t SkShadedPixel(std::uint32_t background, std::uint32_t image) {
  const std::uint32_t luma =
      (((image >> 16) & 0xFF) * 29 + ((image >> 8) & 0xFF) * 150 + (image & 0xFF) * 76) >> 8;
  const std::uint32_t f = luma / 3 + 170;
  const auto scale = [&](int shift) { return (((background >> shift) & 0xFF) * f >> 8) << shift; };
  return (background & 0xFF000000u) | scale(16) | scale(8) | scale(0);
}

void SkShadeImage(std::uint32_t* background, const std::uint32_t* withImage, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    if (background[i] != withImage[i]) background[i] = SkShadedPixel(background[i], withImage[i]);
  }
}

}  // namespace skbar
