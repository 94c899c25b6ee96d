// The painters in a memory context: shapes pixel for pixel against their point lists, gradients
// against each path's own formula, text by its ink only (fonts differ).
#include "skbar/win32/sk_paint.h"

#include <gtest/gtest.h>

#include "../line_raster.h"
#include "paint_surface.h"
#include "skbar/skin_colors.h"
#include "skbar/win32/sk_item_globals.h"
#include "skbar/win32/sk_text_draw.h"
#include "skbar/win32/sk_theme.h"
#include "ui/win32/forms.h"

namespace skbar {
namespace {

using skbar_test::Expected;
using skbar_test::PaintSurface;
using skbar_test::Rgb;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr TColor kA = 0x0000A0, kB = 0x00B000, kC = 0xC00000;

TEST(SkPaintWin32, ShapesMatchTheirPointLists) {
  PaintSurface s(18, 16, kWhite);
  Expected expected;
  const auto paint = [&](const skbar_test::Pixels& pixels, TColor color) {
    for (const auto& p : pixels) expected[p] = Rgb(color);
  };
  const TRect r{2, 2, 15, 13};
  SkDrawRectangle(s.canvas, r, 1, akLeft, kA, kB, kC, ui::clBtnShadow);
  for (const TSkPolyline& line : SkRectangleLines(r, 1, akLeft, kA, kB, kC, ui::clBtnShadow)) {
    skbar_test::Pixels pixels;
    skbar_test::AddPolyline(pixels, line.points);
    paint(pixels, line.color);
  }
  EXPECT_EQ(s.Mismatches(expected, kWhite), 0);

  s.Clear(kWhite);
  expected.clear();
  SkDrawDotsGrip(s.canvas, {1, 1, 14, 10}, ui::clBtnHighlight, ui::clBtnShadow);
  for (const TSkGripDot& dot : SkDotsGrip({1, 1, 14, 10})) {
    skbar_test::Pixels shadow, face;
    skbar_test::AddRect(shadow, dot.shadow);
    skbar_test::AddRect(face, dot.dot);
    paint(shadow, ui::clBtnShadow);
    paint(face, ui::clBtnHighlight);
  }
  EXPECT_EQ(s.Mismatches(expected, kWhite), 0);

  s.Clear(kWhite);  // a right-pointing arrow: the filled triangle with 45-degree edges
  expected.clear();
  SkDrawArrow(s.canvas, 8, 8, 4, false, false, kA);
  for (int x = 8; x <= 12; ++x) {
    for (int y = x - 4; y <= 20 - x; ++y) expected[{x, y}] = Rgb(kA);
  }
  EXPECT_EQ(s.Mismatches(expected, kWhite), 0);
  EXPECT_EQ(s.canvas.Brush().Color(), ui::clWhite);  // the canvas keeps its colours

  // Caption-button glyphs: their bits in the colour, the background kept elsewhere.
  for (int index = 0; index < kSkGlyphCount; ++index) {
    s.Clear(RGB(0, 0, 200));
    expected.clear();
    SkDrawGlyphPattern(s.canvas, {0, 0, 15, 16}, index, ui::clRed);
    const TRect at = SkGlyphPatternRect({0, 0, 15, 16}, index);
    for (int row = 0; row < SkGlyphPattern(index).height; ++row) {
      for (int bit = 0; bit < 8; ++bit) {
        if (SkGlyphPattern(index).rows[row] & (0x80 >> bit))
          expected[{at.left + bit, at.top + row}] = RGB(255, 0, 0);
      }
    }
    EXPECT_EQ(s.Mismatches(expected, RGB(0, 0, 200)), 0) << index;
    // The shared caption-glyph list holds the same glyph, in black.
    s.Clear(RGB(0, 0, 200));
    for (auto& [pixel, color] : expected) color = RGB(0, 0, 0);
    SkCaptionGlyphs().Draw(s.canvas, at.left, at.top, index);
    EXPECT_EQ(s.Mismatches(expected, RGB(0, 0, 200)), 0) << index;
  }
  EXPECT_EQ(SkCaptionGlyphs().Count(), kSkGlyphCount);
}

TEST(SkPaintWin32, GradientsFollowTheirOwnFormulas) {
  PaintSurface s(6, 20, kWhite);
  const TColor from = 0x102030, to = 0xF0C080;
  SkSetGradientFillEnabled(false);  // line by line: the band's own arithmetic, exactly
  SkGradientFill(s.canvas, {0, 0, 6, 20}, from, to, true);
  for (int y = 0; y < 20; ++y)
    EXPECT_EQ(s.Pixel(3, y), Rgb(SkGradientLineColor({0, 19, 19, from, to}, y)));
  SkSetGradientFillEnabled(true);  // the platform's: 16-bit channels, never reaching the end
  s.Clear(kWhite);
  SkGradientFill(s.canvas, {0, 0, 6, 20}, from, to, false);
  for (int x = 0; x < 6; ++x) {
    const auto mix = [x](int a, int b) { return ((a * 256 * (6 - x) + b * 256 * x) / 6) >> 8; };
    const COLORREF pixel = s.Pixel(x, 10);
    EXPECT_NEAR(GetRValue(pixel), mix(0x30, 0x80), 1) << x;
    EXPECT_NEAR(GetGValue(pixel), mix(0x20, 0xC0), 1) << x;
    EXPECT_NEAR(GetBValue(pixel), mix(0x10, 0xF0), 1) << x;
  }
  // Style 3 on a rectangle two rows high stays inside it on both paths.
  for (const bool platform : {true, false}) {
    SkSetGradientFillEnabled(platform);
    s.Clear(kWhite);
    TSkBarSkinOptionEntry body;
    body.Fill(3, kA, kB, kC, kC);
    SkPaintSkinBackground(s.canvas, {0, 5, 6, 7}, body, false);
    EXPECT_TRUE(s.Pixel(2, 7) == kWhite && s.Pixel(2, 6) != kWhite) << platform;
  }
  SkSetGradientFillEnabled(true);
}

TEST(SkPaintWin32, RotatedTextUnderlinesItsAcceleratorBelowTheBaseline) {
  PaintSurface s(40, 120, kWhite);
  s.canvas.Font().SetHeight(-16);
  const TRect box{5, 5, 35, 115};
  for (const auto rotation : {TSkTextRotationAngle::tra90, TSkTextRotationAngle::tra270}) {
    const bool up = rotation == TSkTextRotationAngle::tra90;
    SCOPED_TRACE(up ? "90" : "270");
    TRect r = box;
    const int height =
        SkDrawRotatedText(s.canvas.SelectedHandle(), L"&Wide", r, rotation, DT_CALCRECT);
    EXPECT_EQ(r.Width(), height);
    EXPECT_GT(r.Height(), 20);
    s.Clear(kWhite);
    r = box;
    SkDrawRotatedText(s.canvas.SelectedHandle(), L"&Wide", r, rotation, DT_CENTER | DT_HIDEPREFIX);
    const skbar_test::Pixels ink = s.Where([](COLORREF c) { return c != kWhite; });
    ASSERT_GT(ink.size(), 20u);
    const TRect text = skbar_test::Bounds(ink);
    EXPECT_TRUE(text.left >= box.left && text.right < box.right && text.top >= box.top &&
                text.bottom < box.bottom);
    EXPECT_GT(text.bottom - text.top, text.right - text.left);  // it runs along y
    // The underline is what drawing with the prefix adds: one column. Turned left (90) the
    // glyph tops face left and the first character is at the bottom.
    const PaintSurface::Snapshot before = s.Snap();
    SkDrawRotatedText(s.canvas.SelectedHandle(), L"&Wide", r, rotation, DT_CENTER);
    const TRect line = skbar_test::Bounds(s.Changed(before));
    ASSERT_GE(line.Height(), 3);
    EXPECT_EQ(line.Width(), 1);
    EXPECT_EQ(line.left > (text.left + text.right) / 2, up);
    EXPECT_EQ(line.top > (text.top + text.bottom) / 2, up);
  }
}

// A control paints on glass when its state says so, unless a double-buffered container other
// than the form holds it (the nearest double-buffered parent decides).
TEST(SkPaintWin32, GlassPaintingIsTheControlsStateUnlessABufferedContainerHoldsIt) {
  const ui::Owned<ui::TForm> form = ui::New<ui::TForm>();
  auto* outer = ui::Create<ui::TPanel>(*form);
  outer->SetParent(form.get());
  auto* inner = ui::Create<ui::TPanel>(*form);
  inner->SetParent(outer);
  auto* control = ui::Create<ui::TPanel>(*form);
  control->SetParent(inner);
  struct Case {
    bool glass, innerBuffered, outerBuffered, formBuffered, expected;
  } cases[] = {
      {false, false, false, false, false}, {false, false, false, true, false},
      {true, false, false, false, true},   {true, false, false, true, true},
      {true, true, false, false, false},   {true, false, true, false, false},
      {true, true, false, true, false},    {true, false, true, true, false},
  };
  for (const Case& c : cases) {
    control->SetGlassPainting(c.glass);
    inner->SetDoubleBuffered(c.innerBuffered);
    outer->SetDoubleBuffered(c.outerBuffered);
    form->SetDoubleBuffered(c.formBuffered);
    EXPECT_EQ(SkIsGlassPainting(control), c.expected)
        << c.glass << c.innerBuffered << c.outerBuffered << c.formBuffered;
  }
  // Without a parent the state alone decides; no control paints on no glass.
  control->SetParent(nullptr);
  control->SetGlassPainting(true);
  EXPECT_TRUE(SkIsGlassPainting(control));
  EXPECT_FALSE(SkIsGlassPainting(nullptr));
}

TEST(SkPaintWin32, GlowGlassTextAndShadedImage) {
  PaintSurface s(90, 30, kWhite);
  s.canvas.Font().SetHeight(-14);
  TRect r{5, 5, 85, 25};
  SkDrawTextGlow(s.canvas, L"Hello", r, TSkTextRotationAngle::tra0, ui::clRed,
                 TSkGlowDirection::gldAll, DT_SINGLELINE);
  EXPECT_GT(s.Where([](COLORREF c) { return c == RGB(255, 0, 0); }).size(), 10u);
  EXPECT_GT(s.Where([](COLORREF c) { return c == 0; }).size(), 10u);
  // Measuring italic text leaves room for the slant.
  s.canvas.Font().SetStyle(ui::fsItalic);
  s.canvas.Font().SetSize(16);
  TRect glow{0, 0, 1, 1};
  SkDrawTextGlow(s.canvas, L"Hello", glow, TSkTextRotationAngle::tra0, clNone,
                 TSkGlowDirection::gldNone, DT_CALCRECT | DT_SINGLELINE);
  RECT plain{0, 0, 1, 1};
  DrawTextW(s.canvas.SelectedHandle(), L"Hello", -1, &plain, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(glow.right, plain.right + 1 + 2 * (16 / 8));
  // Glass text, composited or (the window theme failing to open) plain: light text on black
  // shows either way.
  s.canvas.Font().SetColor(ui::clWhite);
  for (const bool fails : {false, true}) {
    SkSetThemeOpenFails(fails);
    s.Clear(RGB(0, 0, 0));
    r = {5, 5, 85, 25};
    EXPECT_GT(SkDrawGlassText(s.canvas, L"Hello", r, DT_SINGLELINE, 0), 0) << fails;
    EXPECT_GT(s.Where([](COLORREF c) { return c != 0; }).size(), 10u) << fails;
  }
  SkSetThemeOpenFails(false);

  // A disabled image, shaded: black on the left half, the mask colour on the right.
  s.Clear(RGB(100, 100, 100));
  PaintSurface image(16, 16, RGB(255, 0, 255));
  const RECT left{0, 0, 8, 16};
  FillRect(image.Dc(), &left, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  const ui::Owned<ui::TImageList> list = ui::New<ui::TImageList>();
  ASSERT_EQ(list->AddMasked(image.Detach(), 0xFF00FF), 0);
  SkDrawImageListImage(s.canvas, {2, 2, 18, 18}, list.get(), true, false, 0);
  const std::uint32_t shaded = SkShadedPixel(0x646464, 0) & 0xFF;
  EXPECT_EQ(s.Pixel(4, 4), RGB(shaded, shaded, shaded));
  EXPECT_EQ(s.Pixel(14, 4), RGB(100, 100, 100));
}

}  // namespace
}  // namespace skbar
