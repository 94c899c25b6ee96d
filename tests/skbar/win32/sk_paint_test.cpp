// The skin painters drawing into a memory context: shapes pixel for pixel against their point
// lists, gradients against each path's own formula, text by its ink only (fonts differ).
#include "skbar/win32/sk_paint.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "../line_raster.h"
#include "paint_surface.h"
#include "skbar/skin_colors.h"
#include "skbar/win32/sk_text_draw.h"
#include "skbar/win32/sk_theme.h"

namespace skbar {
namespace {

using skbar_test::PaintSurface;
using skbar_test::Rgb;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr TColor kA = 0x0000A0, kB = 0x00B000, kC = 0xC00000;

TSkBarSkinOptionEntry Entry(int type, TColor c1, TColor c2, TColor c3, TColor c4) {
  TSkBarSkinOptionEntry entry;
  entry.SkinType = type;
  entry.Color1 = c1, entry.Color2 = c2, entry.Color3 = c3, entry.Color4 = c4;
  return entry;
}

using Expected = std::map<std::pair<int, int>, COLORREF>;

// Every pixel of the surface: the expected colour where one is given, the background elsewhere.
int Mismatches(const PaintSurface& s, const Expected& expected, COLORREF background) {
  int bad = 0;
  for (int y = 0; y < s.Height(); ++y) {
    for (int x = 0; x < s.Width(); ++x) {
      const auto it = expected.find({x, y});
      bad += s.Pixel(x, y) != (it == expected.end() ? background : it->second);
    }
  }
  return bad;
}

void Paint(Expected& expected, const skbar_test::Pixels& pixels, COLORREF color) {
  for (const auto& p : pixels) expected[p] = color;
}

TEST(SkPaintWin32, ShapesMatchTheirPointLists) {
  PaintSurface s(18, 16, kWhite);
  struct BorderCase {
    int corner;
    TAnchors force;
  };
  for (const BorderCase c : {BorderCase{0, 0}, {1, 0}, {2, akLeft | akTop}, {2, akBottom}}) {
    SCOPED_TRACE(c.corner * 100 + c.force);
    s.Clear(kWhite);
    const TRect r{2, 2, 15, 13};
    SkDrawRectangle(s.canvas, r, c.corner, c.force, kA, kB, kC, ui::clBtnShadow);
    Expected expected;
    for (const TSkPolyline& line :
         SkRectangleLines(r, c.corner, c.force, kA, kB, kC, ui::clBtnShadow)) {
      skbar_test::Pixels pixels;
      skbar_test::AddPolyline(pixels, line.points);
      Paint(expected, pixels, Rgb(line.color));
    }
    EXPECT_EQ(Mismatches(s, expected, kWhite), 0);
  }

  s.Clear(kWhite);
  SkPaintSkinBorders(s.canvas, {0, 0, 18, 16}, Entry(5, kA, kB, kC, kC), 0);
  EXPECT_EQ(Mismatches(s, {}, kWhite), 0);

  s.Clear(kWhite);
  SkDrawDotsGrip(s.canvas, {1, 1, 14, 10}, ui::clBtnHighlight, ui::clBtnShadow);
  Expected dots;
  for (const TSkGripDot& dot : SkDotsGrip({1, 1, 14, 10})) {
    skbar_test::Pixels shadow, face;
    skbar_test::AddRect(shadow, dot.shadow);
    skbar_test::AddRect(face, dot.dot);
    Paint(dots, shadow, Rgb(ui::clBtnShadow));
    Paint(dots, face, Rgb(ui::clBtnHighlight));
  }
  EXPECT_EQ(Mismatches(s, dots, kWhite), 0);

  // Right-pointing arrow: the filled triangle with 45-degree edges.
  s.Clear(kWhite);
  SkDrawArrow(s.canvas, 8, 8, 4, false, false, kA);
  Expected arrow;
  for (int x = 8; x <= 12; ++x) {
    for (int y = 8 - (12 - x); y <= 8 + (12 - x); ++y) arrow[{x, y}] = Rgb(kA);
  }
  EXPECT_EQ(Mismatches(s, arrow, kWhite), 0);
  EXPECT_EQ(s.canvas.Pen().Color(), ui::clBlack);  // the canvas keeps its colours
  EXPECT_EQ(s.canvas.Brush().Color(), ui::clWhite);
}

TEST(SkPaintWin32, GlyphPatternsPaintTheirBitsAndKeepTheBackground) {
  const COLORREF blue = RGB(0, 0, 200);
  PaintSurface s(15, 16, blue);
  for (int index = 0; index < kSkGlyphCount; ++index) {
    SCOPED_TRACE(index);
    s.Clear(blue);
    SkDrawGlyphPattern(s.canvas, {0, 0, 15, 16}, index, ui::clRed);
    const TRect at = SkGlyphPatternRect({0, 0, 15, 16}, index);
    Expected expected;
    const TSkGlyphPattern& glyph = SkGlyphPattern(index);
    for (int row = 0; row < glyph.height; ++row) {
      for (int bit = 0; bit < 8; ++bit) {
        if (glyph.rows[row] & (0x80 >> bit))
          expected[{at.left + bit, at.top + row}] = RGB(255, 0, 0);
      }
    }
    EXPECT_EQ(Mismatches(s, expected, blue), 0);
  }
}

TEST(SkPaintWin32, GradientsFollowTheirOwnFormulas) {
  PaintSurface s(6, 20, kWhite);
  const TColor from = 0x102030, to = 0xF0C080;
  // Line by line: the band's own arithmetic, exactly.
  SkSetGradientFillEnabled(false);
  SkGradientFill(s.canvas, {0, 0, 6, 20}, from, to, true);
  for (int y = 0; y < 20; ++y) {
    EXPECT_EQ(s.Pixel(3, y), Rgb(SkGradientLineColor({0, 19, 19, from, to}, y))) << y;
  }
  SkSetGradientFillEnabled(true);
  ASSERT_NE(SkGradientFillProc(), nullptr);
  s.Clear(kWhite);
  SkGradientFill(s.canvas, {0, 0, 6, 20}, from, to, false);
  // The platform's GradientFill over 6 columns: 16-bit channels, the end colour never reached.
  for (int x = 0; x < 6; ++x) {
    int r1, g1, b1, r2, g2, b2;
    SkGetRGB(from, r1, g1, b1);
    SkGetRGB(to, r2, g2, b2);
    const auto channel = [x](int a, int b) { return ((a * 256 * (6 - x) + b * 256 * x) / 6) >> 8; };
    const COLORREF pixel = s.Pixel(x, 10);
    EXPECT_NEAR(GetRValue(pixel), channel(r1, r2), 1) << x;
    EXPECT_NEAR(GetGValue(pixel), channel(g1, g2), 1) << x;
    EXPECT_NEAR(GetBValue(pixel), channel(b1, b2), 1) << x;
  }

  // Style 3 on a rectangle two rows high stays inside it on both paths.
  for (const bool platform : {true, false}) {
    SkSetGradientFillEnabled(platform);
    s.Clear(kWhite);
    SkPaintSkinBackground(s.canvas, {0, 5, 6, 7}, Entry(3, kA, kB, kC, kC), false);
    EXPECT_EQ(s.Pixel(2, 7), kWhite) << platform;
    EXPECT_EQ(s.Pixel(2, 4), kWhite) << platform;
    EXPECT_NE(s.Pixel(2, 6), kWhite) << platform;
  }
  SkSetGradientFillEnabled(true);
}

struct Ink {
  int count = 0, left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
};

Ink InkOf(const PaintSurface& s, const std::function<bool(COLORREF)>& isInk) {
  Ink ink;
  for (int y = 0; y < s.Height(); ++y) {
    for (int x = 0; x < s.Width(); ++x) {
      if (!isInk(s.Pixel(x, y))) continue;
      ++ink.count;
      ink.left = std::min(ink.left, x), ink.right = std::max(ink.right, x);
      ink.top = std::min(ink.top, y), ink.bottom = std::max(ink.bottom, y);
    }
  }
  return ink;
}

bool NotWhite(COLORREF c) {
  return c != kWhite;
}

TEST(SkPaintWin32, RotatedTextUnderlinesItsAcceleratorBelowTheBaseline) {
  PaintSurface s(40, 120, kWhite);
  s.canvas.Font().SetHeight(-16);
  s.canvas.Font().SetColor(ui::clBlack);
  const TRect box{5, 5, 35, 115};
  for (const auto rotation : {TSkTextRotationAngle::tra90, TSkTextRotationAngle::tra270}) {
    const bool up = rotation == TSkTextRotationAngle::tra90;
    SCOPED_TRACE(up ? "90" : "270");
    TRect measured = box;
    const int height =
        SkDrawRotatedText(s.canvas.SelectedHandle(), L"&Wide", measured, rotation, DT_CALCRECT);
    EXPECT_EQ(measured.Width(), height);
    EXPECT_GT(measured.Height(), 20);

    s.Clear(kWhite);
    TRect r = box;
    SkDrawRotatedText(s.canvas.SelectedHandle(), L"&Wide", r, rotation, DT_CENTER | DT_HIDEPREFIX);
    const Ink plain = InkOf(s, NotWhite);
    ASSERT_GT(plain.count, 20);
    EXPECT_GE(plain.left, box.left);
    EXPECT_LT(plain.right, box.right);
    EXPECT_GE(plain.top, box.top);
    EXPECT_LT(plain.bottom, box.bottom);
    EXPECT_GT(plain.bottom - plain.top, plain.right - plain.left);  // it runs along y

    std::vector<COLORREF> before;
    for (int y = 0; y < s.Height(); ++y) {
      for (int x = 0; x < s.Width(); ++x) before.push_back(s.Pixel(x, y));
    }
    s.Clear(kWhite);
    SkDrawRotatedText(s.canvas.SelectedHandle(), L"&Wide", r, rotation, DT_CENTER);
    Ink line;
    for (int y = 0, i = 0; y < s.Height(); ++y) {
      for (int x = 0; x < s.Width(); ++x, ++i) {
        if (s.Pixel(x, y) == before[i]) continue;
        ++line.count;
        line.left = std::min(line.left, x), line.right = std::max(line.right, x);
        line.top = std::min(line.top, y), line.bottom = std::max(line.bottom, y);
      }
    }
    ASSERT_GE(line.count, 3);
    EXPECT_EQ(line.left, line.right);  // one column
    const int middleX = (plain.left + plain.right) / 2, middleY = (plain.top + plain.bottom) / 2;
    // Turned left (90) the glyph tops face left and the first character is at the bottom;
    // turned right (270) the other way round.
    if (up) {
      EXPECT_GT(line.left, middleX);
      EXPECT_GT(line.top, middleY);
    } else {
      EXPECT_LT(line.left, middleX);
      EXPECT_LT(line.bottom, middleY);
    }
  }
}

TEST(SkPaintWin32, GlowAndGlassText) {
  PaintSurface s(90, 30, kWhite);
  s.canvas.Font().SetHeight(-14);
  s.canvas.Font().SetColor(ui::clBlack);
  TRect r{5, 5, 85, 25};
  const auto red = [](COLORREF c) { return c == RGB(255, 0, 0); };
  const auto black = [](COLORREF c) { return c == RGB(0, 0, 0); };
  EXPECT_GT(SkDrawTextGlow(s.canvas, L"Hello", r, TSkTextRotationAngle::tra0, ui::clRed,
                           TSkGlowDirection::gldAll, DT_SINGLELINE),
            0);
  EXPECT_GT(InkOf(s, red).count, 10);
  EXPECT_GT(InkOf(s, black).count, 10);
  EXPECT_EQ(s.canvas.Brush().Style(), ui::TBrushStyle::bsSolid);
  s.Clear(kWhite);
  SkDrawTextGlow(s.canvas, L"Hello", r, TSkTextRotationAngle::tra0, ui::clRed,
                 TSkGlowDirection::gldNone, DT_SINGLELINE);
  EXPECT_EQ(InkOf(s, red).count, 0);

  // Measuring italic text leaves room for the slant.
  s.canvas.Font().SetStyle(ui::fsItalic);
  s.canvas.Font().SetSize(16);
  TRect glow{0, 0, 1, 1};
  SkDrawTextGlow(s.canvas, L"Hello", glow, TSkTextRotationAngle::tra0, clNone,
                 TSkGlowDirection::gldNone, DT_CALCRECT | DT_SINGLELINE);
  RECT plain{0, 0, 1, 1};
  DrawTextW(s.canvas.SelectedHandle(), L"Hello", -1, &plain, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(glow.right, plain.right + 1 + 2 * (16 / 8));
  s.canvas.Font().SetStyle(0);
  s.canvas.Font().SetHeight(-14);

  // Glass text: composited theme text where the platform has it, plain text when the window
  // theme cannot be opened. Light text on black shows either way (blended text adds its colour).
  s.canvas.Font().SetColor(ui::clWhite);
  for (const bool fails : {false, true}) {
    SCOPED_TRACE(fails);
    SkSetThemeOpenFails(fails);
    s.Clear(RGB(0, 0, 0));
    r = {5, 5, 85, 25};
    EXPECT_GT(SkDrawGlassText(s.canvas, L"Hello", r, DT_SINGLELINE, 0), 0);
    EXPECT_GT(InkOf(s, [](COLORREF c) { return c != RGB(0, 0, 0); }).count, 10);
  }
  SkSetThemeOpenFails(false);
}

TEST(SkPaintWin32, ShadedImageAndCaptionLayout) {
  const COLORREF grey = RGB(100, 100, 100);
  PaintSurface s(20, 20, grey);
  // A 16 x 16 image: red on the left half, the mask colour (transparent) on the right.
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 16, -16, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  const HBITMAP picture = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  for (int i = 0; i < 256; ++i)
    static_cast<std::uint32_t*>(bits)[i] = i % 16 < 8 ? 0xFF0000 : 0xFF00FF;
  const ui::Owned<ui::TImageList> list = ui::New<ui::TImageList>();
  ASSERT_EQ(list->AddMasked(picture, 0xFF00FF), 0);
  DeleteObject(picture);
  SkDrawImageListImage(s.canvas, {2, 2, 18, 18}, list.get(), true, false, 0);
  // Red (bits 16-23 of the 32-bit pixel) shades the grey background by (29*255/256/3 + 170)/256.
  const std::uint32_t shaded = SkShadedPixel(0x646464, 0xFF0000) & 0xFF;
  EXPECT_EQ(s.Pixel(4, 4), RGB(shaded, shaded, shaded));
  EXPECT_EQ(s.Pixel(14, 4), grey);
  EXPECT_EQ(s.Pixel(1, 1), grey);
  SkDrawImageListImage(s.canvas, {2, 2, 18, 18}, list.get(), true, false, 1);  // no such image

  TSkCaptionLayoutInput input;
  input.rect = {0, 0, 100, 24};
  input.caption = L"&File";
  const TSkCaptionLayout layout = SkCalcCaptionLayout(s.canvas, input);
  EXPECT_GT(layout.textHeight, 0);
  EXPECT_EQ(layout.captionRect.Width(),
            SkGetTextSize(s.canvas.SelectedHandle(), L"&File", true).cx);
  EXPECT_EQ(layout.captionRect.left, 0);
}

}  // namespace
}  // namespace skbar
