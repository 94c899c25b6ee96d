// A 32-bit top-down bitmap in a memory context with a canvas on it, for probing what the skin
// painters draw. Pixels read back as COLORREF (0x00BBGGRR) through GetPixel.
#pragma once

#include <windows.h>

#include "ui/colors.h"
#include "ui/win32/graphics.h"

namespace skbar_test {

class PaintSurface {
 public:
  PaintSurface(int width, int height, COLORREF background) : width_(width), height_(height) {
    dc_ = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
    Clear(background);
    canvas.SetHandle(dc_);
  }
  PaintSurface(const PaintSurface&) = delete;
  PaintSurface& operator=(const PaintSurface&) = delete;
  ~PaintSurface() {
    canvas.SetHandle(nullptr);
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }

  void Clear(COLORREF color) {
    const RECT all{0, 0, width_, height_};
    const HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc_, &all, brush);
    DeleteObject(brush);
  }
  COLORREF Pixel(int x, int y) const { return GetPixel(dc_, x, y); }
  HDC Dc() const { return dc_; }
  int Width() const { return width_; }
  int Height() const { return height_; }

  ui::TCanvas canvas;

 private:
  int width_, height_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

inline COLORREF Rgb(ui::TColor color) {
  return ui::ColorToRGBValue(color);
}

}  // namespace skbar_test
