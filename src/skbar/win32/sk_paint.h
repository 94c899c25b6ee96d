// The skin painters on a canvas: fills, lines, the border painter, gradients, the body and
// border painters of skin entries, arrows, caption-button glyphs, grip dots, alpha blending and
// image-list images (a disabled image shaded when asked). clNone colours, empty rectangles and
// indexes outside the image list draw nothing; every routine gives the canvas its pen and brush
// colours back.
#pragma once

#include <windows.h>

#include "skbar/sk_geometry.h"
#include "skbar/skin_options.h"
#include "ui/win32/graphics.h"
#include "ui/win32/image_list.h"

namespace skbar {

using ui::TCanvas;

void SkFillRect(TCanvas& canvas, const TRect& r, TColor brushColor, TColor penColor = clNone);
void SkDrawLine(TCanvas& canvas, int x1, int y1, int x2, int y2, TColor color);
void SkDrawRectangle(TCanvas& canvas, const TRect& r, int cornerSize, TAnchors forceRect,
                     TColor colorTL, TColor colorBR, TColor innerTL = clNone,
                     TColor innerBR = clNone);
// Five rectangles with the canvas's own pen and brush.
void SkFillRoundedBar(TCanvas& canvas, const TRect& r);
// One band over positions start..end of `r` (rows when vertical, else columns): the platform's
// GradientFill when it is there, else line by line.
void SkGradient(TCanvas& canvas, const TRect& r, int startPos, int endPos, int chunkSize,
                TColor color1, TColor color2, bool vertical);
void SkGradientFill(TCanvas& canvas, const TRect& r, TColor color1, TColor color2, bool vertical);
void SkPaintSkinBackground(TCanvas& canvas, const TRect& r, const TSkBarSkinOptionEntry& entry,
                           bool vertical);
void SkPaintSkinBorders(TCanvas& canvas, const TRect& r, const TSkBarSkinOptionEntry& entry,
                        TAnchors forceRectBorders);
void SkDrawArrow(TCanvas& canvas, int x, int y, int size, bool vertical, bool reverse,
                 TColor color);
void SkDrawGlyphPattern(TCanvas& canvas, const TRect& r, int patternIndex, TColor color);
void SkDrawDotsGrip(TCanvas& canvas, const TRect& r, TColor dotColor, TColor shadowColor);
// A filled polygon with pen and brush in one colour.
void SkFillPolygon(TCanvas& canvas, const TPoint* points, int count, TColor color);
bool SkAlphaBlend(HDC srcDC, HDC destDC, const TRect& srcR, bool useSrcAlpha, int constantAlpha,
                  const TRect& destR);
void SkDrawShadedImage(TCanvas& canvas, const TRect& r, ui::TImageList& imageList, int imageIndex);
void SkDrawImageListImage(TCanvas& canvas, const TRect& r, ui::TImageList* imageList, bool shaded,
                          bool enabled, int imageIndex);

// Gives a canvas its pen and brush colours back at the end of a scope.
class TSkKeepPenBrush {
 public:
  explicit TSkKeepPenBrush(TCanvas& canvas)
      : canvas_(canvas), pen_(canvas.Pen().Color()), brush_(canvas.Brush().Color()) {}
  TSkKeepPenBrush(const TSkKeepPenBrush&) = delete;
  TSkKeepPenBrush& operator=(const TSkKeepPenBrush&) = delete;
  ~TSkKeepPenBrush() {
    canvas_.Pen().SetColor(pen_);
    canvas_.Brush().SetColor(brush_);
  }

 private:
  TCanvas& canvas_;
  TColor pen_, brush_;
};

// A 32-bit top-down bitmap, zero-filled, selected into a memory context of its own.
class TSkDibSurface {
 public:
  TSkDibSurface(HDC reference, int width, int height);
  TSkDibSurface(const TSkDibSurface&) = delete;
  TSkDibSurface& operator=(const TSkDibSurface&) = delete;
  ~TSkDibSurface();
  bool Ok() const { return dc_ && pixels_; }
  HDC Dc() const { return dc_; }
  std::uint32_t* Pixels() const { return pixels_; }

 private:
  HDC dc_;
  ui::TGdiHandle<HBITMAP> bitmap_;
  std::uint32_t* pixels_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

}  // namespace skbar
