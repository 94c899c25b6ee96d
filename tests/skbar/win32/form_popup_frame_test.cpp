// The form popup menu's painting under Wine: the wrapper's frame through the window-frame
// routine under each skin type (painted into a memory context, and on screen under the default
// skin), and the size grip's background events around the status bar's painting.
#include <gtest/gtest.h>

#include <vector>

#include "../../ui/win32/gui_fixture.h"
#include "paint_surface.h"
#include "skbar/skin_manager.h"
#include "skbar/win32/sk_form_popup_menu.h"
#include "skbar/win32/sk_popup.h"
#include "ui/properties.h"

namespace skbar {
namespace {

using skbar_test::PaintSurface;
using skbar_test::Rgb;

constexpr COLORREF kMark = RGB(1, 2, 3);

class FormPopupFrame : public UiGuiTest {
 protected:
  FormPopupFrame() {
    form = ui::Application->CreateForm<ui::TForm>();
    form->SetBounds(40, 40, 300, 200);
    form->Show();
    Pump();
  }
  ~FormPopupFrame() override {
    SkBarSkinManager()->SetThemesOverride(std::nullopt);
    SkBarSkinManager()->SetToDefaultSkin();
  }
  ui::TForm* form = nullptr;
};

TEST_F(FormPopupFrame, TheWrapperFrameIsTheWindowFrameOfTheSkinType) {
  auto* menu = ui::Create<TSkBarFormPopupMenu>(*form);
  TSkBarCustomWrapperPopupForm& wrapper = menu->Wrapper();
  const auto paint = [&] {
    auto s = std::make_unique<PaintSurface>(40, 30, kMark);
    wrapper.PaintWrapperFrame(s->canvas, {0, 0, 40, 30});
    return s;
  };
  // The default skin without themes: the classic raised edge, two pixels, interior untouched.
  SkBarSkinManager()->SetThemesOverride(false);
  auto s = paint();
  EXPECT_EQ(s->Pixel(0, 15), GetSysColor(COLOR_3DLIGHT));
  EXPECT_EQ(s->Pixel(1, 15), GetSysColor(COLOR_3DHILIGHT));
  EXPECT_EQ(s->Pixel(39, 15), GetSysColor(COLOR_3DDKSHADOW));
  EXPECT_EQ(s->Pixel(38, 15), GetSysColor(COLOR_3DSHADOW));
  EXPECT_EQ(s->Pixel(20, 29), GetSysColor(COLOR_3DDKSHADOW));
  EXPECT_EQ(s->Pixel(20, 15), kMark);
  // With themes: the window theme's frame; every frame pixel painted, the interior untouched.
  SkBarSkinManager()->SetThemesOverride(true);
  s = paint();
  for (const POINT p : {POINT{0, 15}, POINT{1, 15}, POINT{39, 15}, POINT{20, 0}, POINT{20, 29}})
    EXPECT_NE(s->Pixel(p.x, p.y), kMark) << p.x << "," << p.y;
  EXPECT_EQ(s->Pixel(20, 15), kMark);
  // A skin: its window borders, ring by ring.
  SkBarSkinManager()->SetSkin(L"Office XP");
  const TSkBarSkinOptionEntry& borders = SkCurrentSkin().Options(skncWindow).Borders;
  s = paint();
  EXPECT_EQ(s->Pixel(0, 15), Rgb(borders.Color1));
  EXPECT_EQ(s->Pixel(1, 15), Rgb(borders.Color2));
}

// A print of the wrapper (the platform's animation takes one) has the frame it shows on screen.
TEST_F(FormPopupFrame, APrintOfTheWrapperHasItsFrame) {
  SkBarSkinManager()->SetSkin(L"Office XP");
  auto* menu = ui::Create<TSkBarFormPopupMenu>(*form);
  TSkBarCustomWrapperPopupForm& wrapper = menu->Wrapper();
  wrapper.SetBounds(0, 0, 60, 40);
  RECT window;
  GetWindowRect(wrapper.Handle(), &window);
  const int w = window.right - window.left, h = window.bottom - window.top;
  PaintSurface printed(w, h, kMark), direct(w, h, kMark);
  SendMessageW(wrapper.Handle(), WM_PRINT, reinterpret_cast<WPARAM>(printed.Dc()), PRF_NONCLIENT);
  wrapper.PaintWrapperFrame(direct.canvas, {0, 0, w, h});
  EXPECT_NE(direct.Pixel(0, h / 2), kMark);
  EXPECT_EQ(printed.RingDifferences(direct, 2), 0);
}

// Shown under the default skin (no themes), the wrapper's frame on screen is the classic edge.
TEST_F(FormPopupFrame, UnderTheDefaultSkinTheShownFrameIsPainted) {
  SkBarSkinManager()->SetThemesOverride(false);
  auto* menu = ui::Create<TSkBarFormPopupMenu>(*form);
  auto* hosted = ui::Application->CreateForm<ui::TForm>();
  hosted->SetBounds(0, 0, 120, 90);
  menu->SetHostedForm(hosted);
  ASSERT_TRUE(menu->PopupEx(100, 100, false));
  Pump();
  RECT w{};
  GetWindowRect(menu->Wrapper().Handle(), &w);
  RedrawWindow(menu->Wrapper().Handle(), nullptr, nullptr,
               RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  Pump();
  const HDC screen = GetDC(nullptr);
  const int y = (w.top + w.bottom) / 2;
  EXPECT_EQ(GetPixel(screen, w.left, y), GetSysColor(COLOR_3DLIGHT));
  EXPECT_EQ(GetPixel(screen, w.right - 1, y), GetSysColor(COLOR_3DDKSHADOW));
  ReleaseDC(nullptr, screen);
  menu->ClosePopup(false);
  Pump();
}

// Each popup casts a shadow as its own menu asks, whatever an earlier popup asked.
TEST_F(FormPopupFrame, TheShadowFollowsEachMenusSetting) {
  auto* hosted = ui::Application->CreateForm<ui::TForm>();
  hosted->SetBounds(0, 0, 120, 90);
  for (const bool shadow : {false, true, false}) {
    auto* menu = ui::Create<TSkBarFormPopupMenu>(*form);
    menu->SetShowShadows(shadow);
    menu->SetHostedForm(hosted);
    ASSERT_TRUE(menu->PopupEx(100, 100, false));
    Pump();
    EXPECT_EQ((GetClassLongPtrW(menu->Wrapper().Handle(), GCL_STYLE) & CS_DROPSHADOW) != 0, shadow);
    menu->ClosePopup(false);
    Pump();
    menu->SetHostedForm(nullptr);
  }
}

// The grip row: the status bar's background between the two events, which may keep it off.
TEST_F(FormPopupFrame, TheSizeGripsBackgroundEventsWrapTheStatusBarPainting) {
  SkBarSkinManager()->SetThemesOverride(false);
  auto* grip = ui::Create<TSkBarPopupSizeGrip>(*form);
  grip->SetBorderStyle(pbsSizeableBottom);
  grip->SetParent(form);
  Pump();
  std::vector<TSkBarPaintStage> stages;
  bool paintStatusBar = true;
  grip->OnDrawBackground = [&](ui::TComponent*, ui::TCanvas&, const TRect&, TSkBarPaintStage stage,
                               bool& paintDefault) {
    stages.push_back(stage);
    if (stage == TSkBarPaintStage::pstPrePaint) paintDefault = paintStatusBar;
  };
  const auto paint = [&] {
    auto s = std::make_unique<PaintSurface>(grip->Width(), grip->Height(), kMark);
    grip->Perform(WM_PAINT, reinterpret_cast<WPARAM>(s->Dc()));
    return s;
  };
  EXPECT_EQ(paint()->Pixel(2, 2), Rgb(ui::clBtnFace));
  EXPECT_EQ(stages, (std::vector{TSkBarPaintStage::pstPrePaint, TSkBarPaintStage::pstPostPaint}));
  paintStatusBar = false;
  const auto kept = paint();
  EXPECT_EQ(kept->Pixel(2, 2), kMark);  // the handler kept the background off
  const TRect dots = grip->GetGripRect();
  int ink = 0;  // the grip's dots are still drawn
  for (int x = dots.left; x < dots.right; ++x)
    for (int y = dots.top; y < dots.bottom; ++y) ink += kept->Pixel(x, y) != kMark;
  EXPECT_GT(ink, 3);
}

// The two menus' published properties reach their state; the form popup menu's Items is a
// read-only False.
TEST_F(FormPopupFrame, PublishedPropertiesOfTheSkinnedMenus) {
  auto* menu = ui::Create<TSkBarFormPopupMenu>(*form);
  auto* popup = ui::Create<TSkBarPopupMenu>(*form);
  const auto set = [](ui::TPersistent& object, const wchar_t* name, const wchar_t* text) {
    const ui::PropInfo* prop = ui::FindProp(object, name);
    return prop && ui::SetPropText(object, *prop, text);
  };
  EXPECT_TRUE(set(*menu, L"AutoSize", L"True"));
  EXPECT_TRUE(set(*menu, L"PopupFocus", L"True"));
  EXPECT_TRUE(set(*menu, L"ShowShadows", L"False"));
  EXPECT_TRUE(set(*menu, L"BorderStyle", L"pbsSizeableRightBottom"));
  EXPECT_TRUE(set(*menu, L"SkinType", L"sknWindows"));
  EXPECT_TRUE(menu->AutoSize() && menu->PopupFocus() && !menu->Wrapper().ShowShadows);
  EXPECT_EQ(menu->Wrapper().BorderStyle(), pbsSizeableRightBottom);
  EXPECT_EQ(menu->Wrapper().SizeGrip().SkinType, sknWindows);
  const ui::PropInfo* items = ui::FindProp(*menu, L"Items");
  ASSERT_TRUE(items);
  EXPECT_EQ(ui::GetPropText(*menu, *items), L"False");
  EXPECT_FALSE(ui::SetPropText(*menu, *items, L"True"));
  EXPECT_TRUE(set(*popup, L"ToolBoxPopup", L"True"));
  EXPECT_TRUE(popup->ToolBoxPopup());
}

}  // namespace
}  // namespace skbar
