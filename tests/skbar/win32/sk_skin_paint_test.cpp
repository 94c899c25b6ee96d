// A skin's painting operations in a memory context under each skin type: the theme on (the test
// prefix's default), the theme off, the theme failing to open, and a skin.
#include "skbar/win32/sk_skin_paint.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "../line_raster.h"
#include "paint_surface.h"
#include "skbar/brushed_texture.h"
#include "skbar/default_skins.h"
#include "skbar/skin_manager.h"
#include "skbar/win32/sk_paint.h"
#include "skbar/win32/sk_text_draw.h"
#include "skbar/win32/sk_theme.h"

namespace skbar {
namespace {

using skbar_test::PaintSurface;
using skbar_test::Pixels;
using skbar_test::Rgb;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr TColor kA = 0x0000A0, kB = 0x00B000, kD = 0x0D0D0D, kX = 0x505050;

class SkinPaintTest : public ::testing::Test {
 protected:
  ~SkinPaintTest() override {
    Manager().SetThemesOverride(std::nullopt);
    Manager().SetToDefaultSkin();
    SkSetThemeOpenFails(false);
  }
  static TSkBarSkinManager& Manager() { return *SkBarSkinManager(); }

  // The pixels that differ from white, and whether all of them have `color`.
  static Pixels Ink(const PaintSurface& s, COLORREF color, bool& allOfColor) {
    Pixels ink;
    allOfColor = true;
    for (int y = 0; y < s.Height(); ++y) {
      for (int x = 0; x < s.Width(); ++x) {
        if (s.Pixel(x, y) == kWhite) continue;
        ink.insert({x, y});
        allOfColor = allOfColor && s.Pixel(x, y) == color;
      }
    }
    return ink;
  }

  PaintSurface s{20, 20, kWhite};
  const TRect r{2, 2, 18, 18};
};

TEST_F(SkinPaintTest, MenuMarksByEffectiveSkinType) {
  ASSERT_EQ(SkEffectiveSkinType(sknSkin), sknWindows) << "the test prefix has visual styles";
  ASSERT_TRUE(SkIsVistaOrLater());

  // Visual styles: the theme's menu check, drawn inside the rectangle.
  SkPaintMenuCheckMark(SkCurrentSkin(), s.canvas, r, true, false, true, sknsNormal);
  bool plain = false;
  const Pixels themed = Ink(s, 0, plain);
  EXPECT_GT(themed.size(), 4u);
  for (const auto& [x, y] : themed) EXPECT_TRUE(x >= 2 && x < 18 && y >= 2 && y < 18);

  // Classic marks: the theme off, the menu theme failing to open, and a skin; each in its colour.
  const auto skinTextColor = [] {
    return SkCurrentSkin().GetTextColor(skncMenuItem, sknsNormal, sknSkin);
  };
  struct Case {
    const char* name;
    std::function<void()> setUp;
    std::function<TColor()> color;
  };
  const Case cases[] = {
      {"theme off", [] { Manager().SetThemesOverride(false); }, [] { return ui::clMenuText; }},
      {"theme fails", [] { SkSetThemeOpenFails(true); }, [] { return ui::clBtnText; }},
      {"skin", [] { Manager().SetSkin(L"Office XP"); }, skinTextColor},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.setUp();
    s.Clear(kWhite);
    SkPaintMenuCheckMark(SkCurrentSkin(), s.canvas, r, true, false, true, sknsNormal);
    const COLORREF color = Rgb(c.color());
    bool ofColor = false;
    const Pixels check = Ink(s, color, ofColor);
    EXPECT_TRUE(ofColor);
    // The polygon's edges are vertical or diagonal: its outline is exact, its inside adds none.
    const auto points = SkMenuCheckMarkPoints(r);
    Pixels outline;
    skbar_test::AddPolyline(outline, {points.begin(), points.end()});
    EXPECT_EQ(check, outline);

    s.Clear(kWhite);
    SkPaintMenuRadioMark(SkCurrentSkin(), s.canvas, r, true, true, sknsNormal);
    const Pixels radio = Ink(s, color, ofColor);
    EXPECT_TRUE(ofColor);
    const TRect dot = SkMenuRadioMarkRect(r);
    EXPECT_TRUE(radio.count({dot.left + 2, dot.top + 2}));
    EXPECT_TRUE(radio.count({dot.left, dot.top + 2}));
    for (const auto& [x, y] : radio)
      EXPECT_TRUE(x >= dot.left && x < dot.right && y >= dot.top && y < dot.bottom);
    Manager().SetThemesOverride(std::nullopt);
    Manager().SetToDefaultSkin();
    SkSetThemeOpenFails(false);
  }
  EXPECT_EQ(s.canvas.Pen().Color(), ui::clBlack);
  EXPECT_EQ(s.canvas.Brush().Color(), ui::clWhite);
}

TEST_F(SkinPaintTest, RadioButtonAndCheckBoxUnderASkin) {
  Manager().SetSkin(L"Office XP");
  const TSkBarSkinOptions& skin = SkCurrentSkin();
  const TColor outlineColor = skin.Options(skncRadioButton, sknsHotTrack).Borders.Color1;
  const TColor dotColor = skin.GetTextColor(skncRadioButton, sknsHotTrack, sknSkin);
  ASSERT_NE(outlineColor, clNone);
  SkPaintMenuRadioMark(skin, s.canvas, r, true, false, sknsHotTrack);
  const TSkRadioButtonShape shape = SkRadioButtonShape(r);
  Pixels outline;
  skbar_test::AddPolyline(outline, {shape.outline.begin(), shape.outline.end()});
  for (const auto& [x, y] : outline) EXPECT_EQ(s.Pixel(x, y), Rgb(outlineColor)) << x << "," << y;
  EXPECT_EQ(s.Pixel(shape.box.left + 6, shape.box.top + 6), Rgb(dotColor));
  EXPECT_EQ(s.Pixel(shape.box.left, shape.box.top), kWhite);  // outside the round outline

  s.Clear(kWhite);
  SkPaintMenuCheckMark(skin, s.canvas, r, false, true, false, sknsNormal);
  const TColor checkColor = skin.GetTextColor(skncCheckBox, sknsNormal, sknSkin);
  const TRect grayed = SkCheckBoxGrayedRect(r);
  EXPECT_EQ(s.Pixel(grayed.left, grayed.top), Rgb(checkColor));
  EXPECT_EQ(s.Pixel(grayed.right - 1, grayed.bottom - 1), Rgb(checkColor));
}

TEST_F(SkinPaintTest, WindowFrameRingsAndBackgroundShrink) {
  TSkBarSkinOptions skin;
  skin.Options(skncWindow).Borders.Fill(0, kA, kB, clNone, kD);
  const COLORREF grey = RGB(90, 90, 90);
  s.Clear(grey);
  SkPaintWindowFrame(skin, s.canvas, {0, 0, 20, 20}, true, false, 5);
  const COLORREF rings[] = {Rgb(kA), Rgb(kB), grey, Rgb(kD), Rgb(kD), grey};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(s.Pixel(i, 10), rings[i]) << i;
    EXPECT_EQ(s.Pixel(19 - i, 10), rings[i]) << i;
    EXPECT_EQ(s.Pixel(10, i), rings[i]) << i;
  }

  // With borders the body is one pixel smaller on every side.
  s.Clear(kWhite);
  skin.Options(skncButton, sknsPushed).Body.Fill(0, kX);
  skin.Options(skncButton, sknsPushed).Borders.Fill(0, clNone, clNone, clNone, kD);
  SkPaintBackground(skin, s.canvas, {0, 0, 20, 20}, skncButton, sknsPushed, true, true);
  EXPECT_EQ(s.Pixel(0, 0), kWhite);
  EXPECT_EQ(s.Pixel(1, 1), Rgb(kX));
  EXPECT_EQ(s.Pixel(18, 18), Rgb(kD));
  s.Clear(kWhite);
  SkPaintBackground(skin, s.canvas, {0, 0, 20, 20}, skncButton, sknsPushed, true, false);
  EXPECT_EQ(s.Pixel(0, 0), Rgb(kX));
}

TEST_F(SkinPaintTest, BuiltInSkinsThatPaintBeyondTheirMatrix) {
  // Leopard's tab background and Human's hot tab get lines across the top.
  const auto leopard = MakeSkin<TSkBarLeopardSkin>();
  SkPaintBackground(*leopard, s.canvas, {0, 0, 20, 20}, skncTabBackground, sknsNormal, true, true);
  EXPECT_EQ(s.Pixel(10, 0), Rgb(0xDB9E79));
  EXPECT_EQ(s.Pixel(10, 1), Rgb(0xFAEDAF));
  const auto human = MakeSkin<TSkBarHumanSkin>();
  s.Clear(kWhite);
  SkPaintBackground(*human, s.canvas, {0, 0, 20, 20}, skncTab, sknsHotTrack, true, true);
  EXPECT_EQ(s.Pixel(2, 0), Rgb(0x1E4B8F));
  EXPECT_NE(s.Pixel(1, 0), Rgb(0x1E4B8F));
  EXPECT_EQ(s.Pixel(1, 1), Rgb(0x1975FF));
  EXPECT_EQ(s.Pixel(0, 2), Rgb(0x1975FF));
  s.Clear(kWhite);
  SkPaintBackground(*human, s.canvas, {0, 0, 20, 20}, skncTab, sknsNormal, true, true);
  EXPECT_NE(s.Pixel(2, 0), Rgb(0x1E4B8F));

  // Aluminium's dock: the brushed texture, row by row from the brush origin.
  const auto aluminum = MakeSkin<TSkBarAluminumSkin>();
  const auto& metal = static_cast<const TSkBarAluminumSkin&>(*aluminum);
  ASSERT_FALSE(aluminum->Options(skncDock).Body.IsEmpty());
  s.Clear(kWhite);
  SkPaintBackground(*aluminum, s.canvas, {0, 0, 20, 20}, skncDock, sknsNormal, true, false);
  const TBrushedNoise& noise = SkBrushedNoise();
  std::vector<std::uint32_t> expected(400);
  RenderBrushed(
      noise, SkBrushedTextures().Get(noise, metal.GetBrushedFillColor(skncDock), metal.Roughness()),
      {0, 0, 20, 20}, 0, 0, expected.data(), 20);
  int bad = 0;
  for (int i = 0; i < 400; ++i) {
    const std::uint32_t p = expected[static_cast<std::size_t>(i)];
    bad += s.Pixel(i % 20, i / 20) != RGB(p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF);
  }
  EXPECT_EQ(bad, 0);
}

// Paints a 30-item popup menu (frame, item backgrounds, check marks, captions, submenu arrows)
// and reports the time per menu for each skin type; nothing is asserted about it.
TEST_F(SkinPaintTest, MenuPaintingTime) {
  PaintSurface menu(200, 30 * 22 + 8, kWhite);
  const auto paintMenu = [&] {
    const TSkBarSkinOptions& skin = SkCurrentSkin();
    SkPaintWindowFrame(skin, menu.canvas, {0, 0, 200, menu.Height()}, true, true, 3);
    for (int i = 0; i < 30; ++i) {
      const TRect item{4, 4 + 22 * i, 196, 26 + 22 * i};
      const TSkBarSkinStatesType state = i == 3 ? sknsHotTrack : sknsNormal;
      SkPaintBackground(skin, menu.canvas, item, skncMenuItem, state, true, true);
      if (i % 5 == 0)
        SkPaintMenuCheckMark(skin, menu.canvas, {item.left, item.top, item.left + 22, item.bottom},
                             true, false, true, state);
      TRect caption{item.left + 28, item.top, item.right - 20, item.bottom};
      SkDrawTextGlow(menu.canvas, L"&Menu item", caption, TSkTextRotationAngle::tra0, clNone,
                     TSkGlowDirection::gldNone, DT_SINGLELINE | DT_VCENTER);
      if (i % 7 == 0)
        SkDrawArrow(menu.canvas, item.right - 10, item.top + 11, 3, false, false, ui::clMenuText);
    }
  };
  struct Mode {
    const char* name;
    std::function<void()> setUp;
  };
  const Mode modes[] = {{"classic", [] { Manager().SetThemesOverride(false); }},
                        {"visual styles", [] { Manager().SetThemesOverride(true); }},
                        {"skin Office XP", [] { Manager().SetSkin(L"Office XP"); }}};
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  for (const Mode& mode : modes) {
    mode.setUp();
    paintMenu();
    QueryPerformanceCounter(&start);
    constexpr int kRounds = 20;
    for (int round = 0; round < kRounds; ++round) paintMenu();
    QueryPerformanceCounter(&end);
    std::printf("30-item menu, %s: %.3f ms\n", mode.name,
                1000.0 * (end.QuadPart - start.QuadPart) / frequency.QuadPart / kRounds);
  }
}

}  // namespace
}  // namespace skbar
