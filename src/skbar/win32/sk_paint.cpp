#include "skbar/win32/sk_paint.h"

#include <algorithm>
#include <vector>

#include "skbar/win32/sk_theme.h"

namespace skbar {

namespace {

using ui::TGdiHandle;

COLORREF Rgb(TColor color) {
  return ui::ColorToRGBValue(color);
}

std::vector<POINT> ToPoints(const TPoint* points, std::size_t count) {
  std::vector<POINT> result(count);
  for (std::size_t i = 0; i < count; ++i) result[i] = {points[i].x, points[i].y};
  return result;
}

void FillSolid(HDC dc, const TRect& r, TColor color) {
  const RECT rect = ui::ToRECT(r);
  const TGdiHandle<HBRUSH> brush(CreateSolidBrush(Rgb(color)));
  ::FillRect(dc, &rect, brush.get());
}

void DrawLines(TCanvas& canvas, const std::vector<TSkPolyline>& lines) {
  if (lines.empty()) return;
  const TSkKeepPenBrush keep(canvas);
  for (const TSkPolyline& line : lines) {
    canvas.Pen().SetColor(line.color);
    const std::vector<POINT> points = ToPoints(line.points.data(), line.points.size());
    Polyline(canvas.SelectedHandle(), points.data(), static_cast<int>(points.size()));
  }
}

TRIVERTEX Vertex(int x, int y, TColor color) {
  const COLORREF rgb = Rgb(color);
  return {x,
          y,
          static_cast<COLOR16>(GetRValue(rgb) << 8),
          static_cast<COLOR16>(GetGValue(rgb) << 8),
          static_cast<COLOR16>(GetBValue(rgb) << 8),
          0xFF00};
}

}  // namespace

void SkFillRect(TCanvas& canvas, const TRect& r, TColor brushColor, TColor penColor) {
  if (brushColor == clNone) return;
  if (penColor == clNone) {
    FillSolid(canvas.Handle(), r, brushColor);
    return;
  }
  const TSkKeepPenBrush keep(canvas);
  canvas.Brush().SetColor(brushColor);
  canvas.Pen().SetColor(penColor);
  canvas.Rectangle(r);
}

void SkDrawLine(TCanvas& canvas, int x1, int y1, int x2, int y2, TColor color) {
  if (color == clNone) return;
  const TSkKeepPenBrush keep(canvas);
  canvas.Pen().SetColor(color);
  canvas.MoveTo(x1, y1);
  canvas.LineTo(x2, y2);
}

void SkDrawRectangle(TCanvas& canvas, const TRect& r, int cornerSize, TAnchors forceRect,
                     TColor colorTL, TColor colorBR, TColor innerTL, TColor innerBR) {
  DrawLines(canvas, SkRectangleLines(r, cornerSize, forceRect, colorTL, colorBR, innerTL, innerBR));
}

void SkFillRoundedBar(TCanvas& canvas, const TRect& r) {
  const TSkKeepPenBrush keep(canvas);
  for (const TRect& part : SkRoundedBarRects(r)) canvas.Rectangle(part);
}

void SkGradient(TCanvas& canvas, const TRect& r, int startPos, int endPos, int chunkSize,
                TColor color1, TColor color2, bool vertical) {
  const HDC dc = canvas.Handle();
  if (!dc || endPos < startPos) return;
  if (const TGradientFillProc gradientFill = SkGradientFillProc()) {
    TRIVERTEX vertices[2];
    if (vertical) {
      vertices[0] = Vertex(r.left, r.top + startPos, color1);
      vertices[1] = Vertex(r.right, r.top + endPos + 1, color2);
    } else {
      vertices[0] = Vertex(r.left + startPos, r.top, color1);
      vertices[1] = Vertex(r.left + endPos + 1, r.bottom, color2);
    }
    GRADIENT_RECT rect{0, 1};
    gradientFill(dc, vertices, 2, &rect, 1, vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
    return;
  }
  const TSkGradientBand band{startPos, endPos, chunkSize, color1, color2};
  for (int i = startPos; i <= endPos; ++i) {
    const TRect line = vertical ? TRect{r.left, r.top + i, r.right, r.top + i + 1}
                                : TRect{r.left + i, r.top, r.left + i + 1, r.bottom};
    FillSolid(dc, line, SkGradientLineColor(band, i));
  }
}

void SkGradientFill(TCanvas& canvas, const TRect& r, TColor color1, TColor color2, bool vertical) {
  const int n = (vertical ? r.Height() : r.Width()) - 1;
  SkGradient(canvas, r, 0, n, n, color1, color2, vertical);
}

void SkPaintSkinBackground(TCanvas& canvas, const TRect& r, const TSkBarSkinOptionEntry& entry,
                           bool vertical) {
  const TSkBodyPlan plan = SkBodyPlan(
      r, entry.SkinType, {entry.Color1, entry.Color2, entry.Color3, entry.Color4}, vertical);
  if (plan.solid) {
    if (r.Width() > 0 && r.Height() > 0) SkFillRect(canvas, r, plan.solidColor);
    return;
  }
  for (const TSkGradientBand& band : plan.bands) {
    SkGradient(canvas, r, band.start, band.end, band.chunk, band.c1, band.c2, plan.vertical);
  }
}

void SkPaintSkinBorders(TCanvas& canvas, const TRect& r, const TSkBarSkinOptionEntry& entry,
                        TAnchors forceRectBorders) {
  DrawLines(canvas, SkSkinBorderLines(r, entry.SkinType,
                                      {entry.Color1, entry.Color2, entry.Color3, entry.Color4},
                                      forceRectBorders));
}

void SkFillPolygon(TCanvas& canvas, const TPoint* points, int count, TColor color) {
  if (color == clNone || count < 2) return;
  const TSkKeepPenBrush keep(canvas);
  canvas.Pen().SetColor(color);
  canvas.Brush().SetColor(color);
  const std::vector<POINT> poly = ToPoints(points, static_cast<std::size_t>(count));
  Polygon(canvas.SelectedHandle(), poly.data(), count);
}

void SkDrawArrow(TCanvas& canvas, int x, int y, int size, bool vertical, bool reverse,
                 TColor color) {
  SkFillPolygon(canvas, SkArrowPoints(x, y, size, vertical, reverse).data(), 3, color);
}

void SkDrawGlyphPattern(TCanvas& canvas, const TRect& r, int patternIndex, TColor color) {
  const HDC dc = canvas.Handle();
  if (!dc || color == clNone || patternIndex < 0 || patternIndex >= kSkGlyphCount) return;
  const TSkGlyphPattern& glyph = SkGlyphPattern(patternIndex);
  // Monochrome rows are word aligned; a set bit is a pixel of the glyph.
  WORD rows[9];
  for (int i = 0; i < glyph.height; ++i) rows[i] = static_cast<WORD>(glyph.rows[i]);
  const TGdiHandle<HBITMAP> bitmap(CreateBitmap(glyph.width, glyph.height, 1, 1, rows));
  const HDC memory = CreateCompatibleDC(dc);
  if (!memory || !bitmap) {
    if (memory) DeleteDC(memory);
    return;
  }
  const HGDIOBJ oldBitmap = SelectObject(memory, bitmap.get());
  const TGdiHandle<HBRUSH> brush(CreateSolidBrush(Rgb(color)));
  const HGDIOBJ oldBrush = SelectObject(dc, brush.get());
  // With black text and a white background, 1 bits of the monochrome source come in as white:
  // 0xE20746 (D xor (S and (P xor D))) paints the brush there and keeps the destination elsewhere.
  const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
  const COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
  const TRect at = SkGlyphPatternRect(r, patternIndex);
  BitBlt(dc, at.left, at.top, glyph.width, glyph.height, memory, 0, 0, 0xE20746);
  SetTextColor(dc, oldText);
  SetBkColor(dc, oldBack);
  SelectObject(dc, oldBrush);
  SelectObject(memory, oldBitmap);
  DeleteDC(memory);
}

void SkDrawDotsGrip(TCanvas& canvas, const TRect& r, TColor dotColor, TColor shadowColor) {
  const HDC dc = canvas.Handle();
  if (!dc) return;
  for (const TSkGripDot& dot : SkDotsGrip(r)) {
    if (shadowColor != clNone) FillSolid(dc, dot.shadow, shadowColor);
    if (dotColor != clNone) FillSolid(dc, dot.dot, dotColor);
  }
}

bool SkAlphaBlend(HDC srcDC, HDC destDC, const TRect& srcR, bool useSrcAlpha, int constantAlpha,
                  const TRect& destR) {
  const TAlphaBlendProc alphaBlend = SkAlphaBlendProc();
  if (!alphaBlend) return false;
  const BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(std::clamp(constantAlpha, 0, 255)),
                            static_cast<BYTE>(useSrcAlpha ? AC_SRC_ALPHA : 0)};
  return alphaBlend(destDC, destR.left, destR.top, destR.Width(), destR.Height(), srcDC, srcR.left,
                    srcR.top, srcR.Width(), srcR.Height(), blend) != FALSE;
}

TSkDibSurface::TSkDibSurface(HDC reference, int width, int height)
    : dc_(CreateCompatibleDC(reference)) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  bitmap_.reset(CreateDIBSection(reference, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  pixels_ = static_cast<std::uint32_t*>(bits);
  if (dc_ && bitmap_) old_ = SelectObject(dc_, bitmap_.get());
}

TSkDibSurface::~TSkDibSurface() {
  if (old_) SelectObject(dc_, old_);
  if (dc_) DeleteDC(dc_);
}

void SkDrawShadedImage(TCanvas& canvas, const TRect& r, ui::TImageList& imageList, int imageIndex) {
  const HDC dc = canvas.Handle();
  const int w = std::min(r.Width(), imageList.Width());
  const int h = std::min(r.Height(), imageList.Height());
  if (!dc || w <= 0 || h <= 0) return;
  TSkDibSurface background(dc, w, h), withImage(dc, w, h);
  if (!background.Ok() || !withImage.Ok()) return;
  BitBlt(background.Dc(), 0, 0, w, h, dc, r.left, r.top, SRCCOPY);
  BitBlt(withImage.Dc(), 0, 0, w, h, dc, r.left, r.top, SRCCOPY);
  ImageList_Draw(imageList.Handle(), imageIndex, withImage.Dc(), 0, 0, ILD_TRANSPARENT);
  GdiFlush();
  SkShadeImage(background.Pixels(), withImage.Pixels(), static_cast<std::size_t>(w) * h);
  BitBlt(dc, r.left, r.top, w, h, background.Dc(), 0, 0, SRCCOPY);
}

void SkDrawImageListImage(TCanvas& canvas, const TRect& r, ui::TImageList* imageList, bool shaded,
                          bool enabled, int imageIndex) {
  if (!imageList || imageIndex < 0 || imageIndex >= imageList->Count()) return;
  if (enabled || !shaded) {
    imageList->Draw(canvas, r.left, r.top, imageIndex, enabled);
  } else {
    SkDrawShadedImage(canvas, r, *imageList, imageIndex);
  }
}

}  // namespace skbar
