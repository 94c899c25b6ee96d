// A skin's painting operations under each skin type: the theme on (the test prefix's default),
// the theme off, the theme failing to open, and a skin.
#include "skbar/win32/sk_skin_paint.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "../line_raster.h"
#include "paint_surface.h"
#include "skbar/brushed_texture.h"
#include "skbar/default_skins.h"
#include "skbar/skin_manager.h"
#include "skbar/win32/sk_item_paint.h"
#include "skbar/win32/sk_paint.h"
#include "skbar/win32/sk_text_draw.h"
#include "skbar/win32/sk_theme.h"

namespace skbar {
namespace {

using skbar_test::PaintSurface;
using skbar_test::Rgb;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr TColor kA = 0x0000A0, kB = 0x00B000, kD = 0x0D0D0D, kX = 0x505050;

class SkinPaintTest : public ::testing::Test {
 protected:
  ~SkinPaintTest() override { Restore(); }
  static TSkBarSkinManager& Manager() { return *SkBarSkinManager(); }
  static void Restore() {
    Manager().SetThemesOverride(std::nullopt);
    Manager().SetToDefaultSkin();
    SkSetThemeOpenFails(false);
  }
  // The pixels in `color`, when they are all that is not white.
  skbar_test::Pixels InkOf(COLORREF color) const {
    const skbar_test::Pixels ink = s.Where([&](COLORREF c) { return c == color; });
    return ink == s.Where([](COLORREF c) { return c != kWhite; }) ? ink : skbar_test::Pixels{};
  }

  PaintSurface s{20, 20, kWhite};
  const TRect r{2, 2, 18, 18};
};

TEST_F(SkinPaintTest, MenuMarksByEffectiveSkinType) {
  ASSERT_EQ(SkEffectiveSkinType(sknSkin), sknWindows) << "the test prefix has visual styles";
  ASSERT_TRUE(SkIsVistaOrLater());
  // Visual styles: the theme's menu check inside the rectangle.
  SkPaintMenuCheckMark(SkCurrentSkin(), s.canvas, r, true, false, true, sknsNormal);
  const skbar_test::Pixels themed = s.Where([](COLORREF c) { return c != kWhite; });
  EXPECT_GT(themed.size(), 4u);
  const TRect box = skbar_test::Bounds(themed);
  EXPECT_TRUE(box.left >= 2 && box.right <= 18 && box.top >= 2 && box.bottom <= 18);

  // Classic marks, each in its colour: the polygon's edges are vertical or diagonal, so its
  // outline is all of it; the radio mark is a 5 x 5 round rectangle.
  const std::pair<std::function<void()>, std::function<TColor()>> cases[] = {
      {[] { Manager().SetThemesOverride(false); }, [] { return ui::clMenuText; }},
      {[] { SkSetThemeOpenFails(true); }, [] { return ui::clBtnText; }},
      {[] { Manager().SetSkin(L"Office XP"); },
       [] { return SkCurrentSkin().GetTextColor(skncMenuItem, sknsNormal, sknSkin); }},
  };
  int index = 0;
  for (const auto& [setUp, color] : cases) {
    SCOPED_TRACE(index++);
    setUp();
    s.Clear(kWhite);
    SkPaintMenuCheckMark(SkCurrentSkin(), s.canvas, r, true, false, true, sknsNormal);
    const auto points = SkMenuCheckMarkPoints(r);
    skbar_test::Pixels outline;
    skbar_test::AddPolyline(outline, {points.begin(), points.end()});
    EXPECT_EQ(InkOf(Rgb(color())), outline);
    s.Clear(kWhite);
    SkPaintMenuRadioMark(SkCurrentSkin(), s.canvas, r, true, true, sknsNormal);
    const TRect dot = SkMenuRadioMarkRect(r);
    const skbar_test::Pixels radio = InkOf(Rgb(color()));
    EXPECT_TRUE(radio.count({dot.left + 2, dot.top + 2}) && radio.count({dot.left, dot.top + 2}));
    for (const auto& [x, y] : radio)
      EXPECT_TRUE(x < dot.right && y < dot.bottom && x >= dot.left && y >= dot.top);
    Restore();
  }
}

TEST_F(SkinPaintTest, RadioButtonCheckBoxFrameAndBackground) {
  Manager().SetSkin(L"Office XP");
  const TSkBarSkinOptions& skin = SkCurrentSkin();
  const TColor outlineColor = skin.Options(skncRadioButton, sknsHotTrack).Borders.Color1;
  ASSERT_NE(outlineColor, clNone);
  SkPaintMenuRadioMark(skin, s.canvas, r, true, false, sknsHotTrack);
  const TSkRadioButtonShape shape = SkRadioButtonShape(r);
  skbar_test::Pixels outline;
  skbar_test::AddPolyline(outline, {shape.outline.begin(), shape.outline.end()});
  for (const auto& [x, y] : outline) EXPECT_EQ(s.Pixel(x, y), Rgb(outlineColor));
  EXPECT_EQ(s.Pixel(shape.box.left + 6, shape.box.top + 6),
            Rgb(skin.GetTextColor(skncRadioButton, sknsHotTrack, sknSkin)));
  EXPECT_EQ(s.Pixel(shape.box.left, shape.box.top), kWhite);  // outside the round outline
  s.Clear(kWhite);
  SkPaintMenuCheckMark(skin, s.canvas, r, false, true, false, sknsNormal);
  const TRect grayed = SkCheckBoxGrayedRect(r);
  EXPECT_EQ(s.Pixel(grayed.left, grayed.bottom - 1),
            Rgb(skin.GetTextColor(skncCheckBox, sknsNormal, sknSkin)));

  // Frame rings from the outside in; a ring without a colour is left alone.
  TSkBarSkinOptions own;
  own.Options(skncWindow).Borders.Fill(0, kA, kB, clNone, kD);
  const COLORREF grey = RGB(90, 90, 90);
  s.Clear(grey);
  SkPaintWindowFrame(own, s.canvas, {0, 0, 20, 20}, true, false, 5);
  const COLORREF rings[] = {Rgb(kA), Rgb(kB), grey, Rgb(kD), Rgb(kD), grey};
  for (int i = 0; i < 6; ++i)
    EXPECT_TRUE(s.Pixel(i, 10) == rings[i] && s.Pixel(10, 19 - i) == rings[i]) << i;
  // With borders the body is one pixel smaller on every side.
  own.Options(skncButton, sknsPushed).Body.Fill(0, kX);
  own.Options(skncButton, sknsPushed).Borders.Fill(0, clNone, clNone, clNone, kD);
  for (const bool borders : {true, false}) {
    s.Clear(kWhite);
    SkPaintBackground(own, s.canvas, {0, 0, 20, 20}, skncButton, sknsPushed, true, borders);
    EXPECT_EQ(s.Pixel(0, 0), borders ? kWhite : Rgb(kX));
    EXPECT_EQ(s.Pixel(1, 1), Rgb(kX));
  }
}

TEST_F(SkinPaintTest, BuiltInSkinsThatPaintBeyondTheirMatrix) {
  // Leopard's tab background and Human's hot tabs get lines across the top.
  SkPaintBackground(*MakeSkin<TSkBarLeopardSkin>(), s.canvas, {0, 0, 20, 20}, skncTabBackground,
                    sknsNormal, true, true);
  EXPECT_TRUE(s.Pixel(10, 0) == Rgb(0xDB9E79) && s.Pixel(10, 1) == Rgb(0xFAEDAF));
  s.Clear(kWhite);
  SkPaintBackground(*MakeSkin<TSkBarHumanSkin>(), s.canvas, {0, 0, 20, 20}, skncTab, sknsHotTrack,
                    true, true);
  EXPECT_TRUE(s.Pixel(2, 0) == Rgb(0x1E4B8F) && s.Pixel(1, 1) == Rgb(0x1975FF) &&
              s.Pixel(0, 2) == Rgb(0x1975FF));
  // Aluminium's dock: the brushed texture, rows from the brush origin.
  const auto skin = MakeSkin<TSkBarAluminumSkin>();
  const auto& aluminum = static_cast<const TSkBarAluminumSkin&>(*skin);
  SkPaintBackground(aluminum, s.canvas, {0, 0, 20, 20}, skncDock, sknsNormal, true, false);
  const TBrushedNoise& noise = SkBrushedNoise();
  std::vector<std::uint32_t> expected(400);
  RenderBrushed(
      noise,
      SkBrushedTextures().Get(noise, aluminum.GetBrushedFillColor(skncDock), aluminum.Roughness()),
      {0, 0, 20, 20}, 0, 0, expected.data(), 20);
  skbar_test::Expected texture;
  for (int i = 0; i < 400; ++i) {
    const std::uint32_t p = expected[static_cast<std::size_t>(i)];
    texture[{i % 20, i / 20}] = RGB(p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF);
  }
  EXPECT_EQ(s.Mismatches(texture, kWhite), 0);
}

// A skin class of its own that paints every background flat in kX.
class TFlatSkin : public TSkBarSkinOptions {
 public:
  void FillOptions() override { SetSkinName(L"Flat"); }
  void PaintBackground(ui::TCanvas& canvas, const TRect& r, TSkBarSkinComponentsType,
                       TSkBarSkinStatesType, bool, bool, bool, TAnchors) const override {
    canvas.Brush().SetColor(kX);
    canvas.FillRect(r);
  }
};

TEST_F(SkinPaintTest, TheCurrentSkinsClassPaintsTheBackgrounds) {
  const int index = Manager().SkinsList().AddSkin(L"Flat", MakeSkin<TFlatSkin>);
  Manager().SetSkin(L"Flat");
  SkPaintToolbarBackground(s.canvas, {0, 0, 10, 20}, false, false, sknSkin);
  // A check box paints its box through the same operation.
  SkPaintMenuCheckMark(SkCurrentSkin(), s.canvas, {10, 0, 20, 20}, false, false, false, sknsNormal);
  Restore();
  Manager().SkinsList().Delete(index);
  EXPECT_TRUE(s.Pixel(5, 10) == Rgb(kX) && s.Pixel(15, 10) == Rgb(kX));
}

// A docked toolbar's drag handle: the skin's grip dots inside the handle's first pixels along
// the toolbar, at the left of a horizontal toolbar and at the top of a vertical one.
TEST_F(SkinPaintTest, TheDragHandleLiesAtTheToolbarsNearEnd) {
  Manager().SetSkin(L"Office XP");
  const COLORREF dot = Rgb(SkCurrentSkin().Options(skncToolbarGrip).Body.Color1);
  for (const bool vertical : {false, true}) {
    SCOPED_TRACE(vertical ? "vertical" : "horizontal");
    s.Clear(kWhite);
    SkPaintToolbarGrip(s.canvas, {0, 0, 20, 20}, vertical, 9);
    const skbar_test::Pixels dots = s.Where([&](COLORREF c) { return c == dot; });
    ASSERT_GT(dots.size(), 3u);
    const TRect box = skbar_test::Bounds(dots);
    const int along = vertical ? box.bottom : box.right, across = vertical ? box.right : box.bottom;
    EXPECT_LE(along, 10);
    EXPECT_GE(across, 14);
    // Under the themes the rebar's gripper, in the same place.
    s.Clear(kWhite);
    SkPaintToolbarGrip(s.canvas, {0, 0, 20, 20}, vertical, 9, sknWindows);
    const skbar_test::Pixels gripper = s.Where([](COLORREF c) { return c != kWhite; });
    ASSERT_FALSE(gripper.empty());
    const TRect themed = skbar_test::Bounds(gripper);
    EXPECT_LE(vertical ? themed.bottom : themed.right, 10);
  }
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
  const std::pair<const char*, std::function<void()>> modes[] = {
      {"classic", [] { Manager().SetThemesOverride(false); }},
      {"visual styles", [] { Manager().SetThemesOverride(true); }},
      {"skin Office XP", [] { Manager().SetSkin(L"Office XP"); }}};
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  for (const auto& [name, setUp] : modes) {
    setUp();
    paintMenu();
    QueryPerformanceCounter(&start);
    for (int round = 0; round < 20; ++round) paintMenu();
    QueryPerformanceCounter(&end);
    std::printf("30-item menu, %s: %.3f ms\n", name,
                50.0 * (end.QuadPart - start.QuadPart) / frequency.QuadPart);
  }
}

}  // namespace
}  // namespace skbar
