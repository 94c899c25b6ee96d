// A 32-bit top-down bitmap in a memory context with a canvas on it, for probing what the skin
// painters draw. Pixels read back as COLORREF (0x00BBGGRR) through GetPixel.
#pragma once

#include <windows.h>

#include <algorithm>
#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "../line_raster.h"
#include "ui/colors.h"
#include "ui/win32/graphics.h"

namespace skbar_test {

// Expected colours by pixel.
using Expected = std::map<std::pair<int, int>, COLORREF>;

// The bounding box of some pixels.
inline ui::TRect Bounds(const Pixels& pixels) {
  ui::TRect box{1 << 20, 1 << 20, -1, -1};
  for (const auto& [x, y] : pixels) {
    box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
           std::max(box.bottom, y + 1)};
  }
  return box;
}

inline COLORREF Rgb(ui::TColor color) {
  return ui::ColorToRGBValue(color);
}

class PaintSurface {
 public:
  using Snapshot = std::vector<COLORREF>;

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
  // Pixels within `ring` of the edge whose colour differs from the other surface's.
  int RingDifferences(const PaintSurface& other, int ring) const {
    int differences = 0;
    ForEach([&](int x, int y) {
      const bool inRing = x < ring || y < ring || x >= width_ - ring || y >= height_ - ring;
      differences += inRing && Pixel(x, y) != other.Pixel(x, y);
    });
    return differences;
  }
  HDC Dc() const { return dc_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  // The picture, taken out of the context (still owned here) so that it can be copied.
  HBITMAP Detach() {
    SelectObject(dc_, old_);
    return bitmap_;
  }

  // Pixels whose colour differs from `expected` (the background where it gives none).
  int Mismatches(const Expected& expected, COLORREF background) const {
    int bad = 0;
    ForEach([&](int x, int y) {
      const auto it = expected.find({x, y});
      bad += Pixel(x, y) != (it == expected.end() ? background : it->second);
    });
    return bad;
  }
  Pixels Where(const std::function<bool(COLORREF)>& test) const {
    Pixels pixels;
    ForEach([&](int x, int y) {
      if (test(Pixel(x, y))) pixels.insert({x, y});
    });
    return pixels;
  }
  Snapshot Snap() const {
    Snapshot pixels;
    ForEach([&](int x, int y) { pixels.push_back(Pixel(x, y)); });
    return pixels;
  }
  // The pixels that differ from a snapshot.
  Pixels Changed(const Snapshot& before) const {
    Pixels pixels;
    ForEach([&](int x, int y) {
      if (Pixel(x, y) != before[static_cast<std::size_t>(y * width_ + x)]) pixels.insert({x, y});
    });
    return pixels;
  }

  ui::TCanvas canvas;

 private:
  void ForEach(const std::function<void(int x, int y)>& visit) const {
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) visit(x, y);
    }
  }

  int width_, height_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

}  // namespace skbar_test
