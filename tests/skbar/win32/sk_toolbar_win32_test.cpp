// Skinned toolbars under Wine: a form with a skinned top dock holding a skinned menu bar and, in
// the next row, a skinned toolbar of buttons that shortens behind its chevron. The bars are
// painted into a memory context under each skin type (the theme on, the prefix's default; the
// theme off; a forced skin); the chevron is clicked with real input and its popup lists the
// hidden buttons as menu items. Every loop runs under a time limit.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "../../tb/win32/menu_input.h"
#include "../../ui/win32/gui_fixture.h"
#include "../../ui/win32/screen_check.h"
#include "paint_surface.h"
#include "real_input.h"
#include "skbar/skin_manager.h"
#include "skbar/win32/sk_bitmap_hint.h"
#include "skbar/win32/sk_item_paint.h"
#include "skbar/win32/sk_toolbar.h"
#include "tb/system_settings.h"
#include "tb/win32/view_window.h"
#include "ui/win32/memo.h"

namespace skbar {
namespace {

using skbar_test::PaintSurface;
using skbar_test::Rgb;
using tb::testing::ClickAt;
using tb::testing::Middle;

constexpr COLORREF kWhite = RGB(255, 255, 255);

class SkToolbarWin32Test : public UiGuiTest {
 protected:
  SkToolbarWin32Test() {
    settings.menuShowDelay = 100;
    previous = tb::SetSystemSettings(&settings);
    form = ui::Application->CreateForm<ui::TForm>();
    form->SetBounds(40, 40, 500, 300);
    dock = ui::Create<TSkBarDock>(*form);
    dock->SetParent(form);
    menuBar = ui::Create<TSkBarToolbar>(*form);
    menuBar->SetMenuBar(true);
    menuBar->SetParent(dock);
    for (const wchar_t* caption : {L"&File", L"&Edit"}) {
      auto* sub = ui::Create<TSkBarSubmenuItem>(*form);
      sub->SetCaption(caption);
      menuBar->Items().Add(sub);
    }
    buttons = ui::Create<TSkBarToolbar>(*form);
    buttons->SetDockRow(1);
    buttons->SetParent(dock);
    for (const wchar_t* caption : {L"One", L"Two", L"Three", L"Four", L"Five", L"Six"}) {
      auto* item = ui::Create<TSkBarItem>(*form);
      item->SetCaption(caption);
      buttons->Items().Add(item);
    }
    form->Show();
    SetForegroundWindow(form->Handle());
    Pump();
  }
  ~SkToolbarWin32Test() override {
    Manager().SetThemesOverride(std::nullopt);
    Manager().SetToDefaultSkin();
    tb::SetSystemSettings(previous);
  }
  static TSkBarSkinManager& Manager() { return *SkBarSkinManager(); }

  // The bar's client area as it paints itself: its background, then its viewers.
  static void PaintBar(TSkBarToolbar& bar, PaintSurface& s) {
    s.Clear(kWhite);
    SendMessageW(bar.Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(s.canvas.Handle()), 0);
    auto* binding = dynamic_cast<tb::TTBViewWindow*>(bar.View().Window());
    ASSERT_NE(binding, nullptr);
    binding->DrawSubitems(s.canvas.Handle(), {0, 0, s.Width(), s.Height()});
  }
  // A toolbar for the dock's third row that stretches and never shrinks (not yet docked).
  TSkBarToolbar* StretchedBar() const {
    auto* bar = ui::Create<TSkBarToolbar>(*form);
    bar->SetDockRow(2);
    bar->SetStretch(true);
    bar->SetShrinkMode(tb::TTBShrinkMode::tbsmNone);
    return bar;
  }
  // A tool window floated out of the dock.
  TSkBarCustomToolWindow* FloatingToolWindow() const {
    auto* window = ui::Create<TSkBarCustomToolWindow>(*form);
    window->SetParent(dock);
    window->SetFloating(true);
    Pump();
    return window;
  }
  // A tool window docked in the dock's third row.
  TSkBarCustomToolWindow* DockedToolWindow() const {
    auto* window = ui::Create<TSkBarCustomToolWindow>(*form);
    window->SetDockRow(2);
    window->SetParent(dock);
    Pump();
    return window;
  }
  static int CountIn(const PaintSurface& s, const tb::TRect& r, COLORREF color) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += s.Pixel(x, y) == color;
    return n;
  }

  tb::TFixedSystemSettings settings;
  tb::ISystemSettings* previous = nullptr;
  ui::TForm* form = nullptr;
  TSkBarDock* dock = nullptr;
  TSkBarToolbar* menuBar = nullptr;
  TSkBarToolbar* buttons = nullptr;
};

TEST_F(SkToolbarWin32Test, TheMenuBarPaintsItsBackgroundAndCaptionsUnderEachSkinType) {
  EXPECT_FALSE(menuBar->Customizable());
  menuBar->SetCustomizable(true);
  EXPECT_FALSE(menuBar->Customizable());
  const int w = menuBar->ClientWidth(), h = menuBar->ClientHeight();
  ASSERT_GT(w, 100);
  ASSERT_GT(h, 10);
  PaintSurface s(w, h, kWhite);
  const tb::TRect file = menuBar->View().Find(menuBar->Items().Items(0))->BoundsRect();
  struct Case {
    const char* name;
    std::optional<bool> themes;
    bool skin;
    TSkBarSkinType type;
  } cases[] = {{"theme on", std::nullopt, false, sknWindows},
               {"theme off", false, false, sknNone},
               {"skin", false, true, sknSkin}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Manager().SetThemesOverride(c.themes);
    if (c.skin) Manager().SetSkin(L"Office XP");
    ASSERT_EQ(Manager().GetSkinType(), c.type);
    PaintBar(*menuBar, s);
    COLORREF background = GetSysColor(c.type == sknWindows ? COLOR_MENUBAR : COLOR_BTNFACE);
    if (c.type == sknSkin) {
      const TSkBarSkinOptionEntry& bar = SkCurrentSkin().Options(skncMenuBar).Body;
      ASSERT_EQ(bar.SkinType, 0);
      background = Rgb(bar.Color1);
    }
    // Past the last item the bar's own background; the caption in the item colour.
    EXPECT_EQ(s.Pixel(w - 3, h / 2), background);
    TColor text = menuBar->ItemTextColor(sknsNormal);
    if (text == clNone) text = ui::clMenuText;
    EXPECT_GT(CountIn(s, file, Rgb(text)), 5);
  }
}

// On glass a caption is drawn by the composited text routine, which draws no glow.
TEST_F(SkToolbarWin32Test, ACaptionOnGlassIsDrawnWithoutItsGlow) {
  auto* file = dynamic_cast<TSkBarItem*>(menuBar->Items().Items(0));
  ASSERT_NE(file, nullptr);
  file->SetCaptionGlow(gldAll);
  file->SetCaptionGlowColor(ui::clRed);
  PaintSurface s(menuBar->ClientWidth(), menuBar->ClientHeight(), kWhite);
  const tb::TRect rect = menuBar->View().Find(file)->BoundsRect();
  for (const bool glass : {false, true}) {
    menuBar->SetGlassPainting(glass);
    PaintBar(*menuBar, s);
    EXPECT_EQ(CountIn(s, rect, RGB(255, 0, 0)) > 5, !glass) << glass;
  }
}

// The skinned dock draws its own background but holds no background object: it has no palette,
// and the form's palette query (sent at every activation) passes it by.
TEST_F(SkToolbarWin32Test, ASkinnedDockWithoutABackgroundObjectHasNoPalette) {
  EXPECT_TRUE(dock->UsesBackground());
  EXPECT_EQ(dock->GetPalette(), nullptr);
  EXPECT_EQ(menuBar->GetPalette(), nullptr);
  EXPECT_EQ(SendMessageW(form->Handle(), WM_QUERYNEWPALETTE, 0, 0), 0);
}

// A docked toolbar wholly invalid with its frame, as when its form appears, is left nothing to
// paint and shows what the platform's paint (frame, then client) shows.
TEST_F(SkToolbarWin32Test, AWhollyInvalidDockedToolbarPaintsFrameAndClientAtOnce) {
  for (TSkBarToolbar* bar : {menuBar, buttons}) {
    SCOPED_TRACE(bar->Name());
    const HWND wnd = bar->Handle();
    RECT r;
    GetWindowRect(wnd, &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    const auto shown = [&] {
      std::vector<COLORREF> pixels;
      const HDC dc = GetWindowDC(wnd);
      for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels.push_back(GetPixel(dc, x, y));
      ReleaseDC(wnd, dc);
      return pixels;
    };
    // Magenta over the whole window first, so that any part left unpainted shows.
    const auto smear = [&] {
      const HDC dc = GetWindowDC(wnd);
      const RECT all{0, 0, width, height};
      const HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
      FillRect(dc, &all, magenta);
      DeleteObject(magenta);
      ReleaseDC(wnd, dc);
    };
    // The platform's paint: the frame through its own message, then the client area (one pixel
    // of it left valid, so that the client is not wholly invalid).
    smear();
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    const RECT corner{0, 0, 1, 1};
    ValidateRect(wnd, &corner);
    Pump();
    std::vector<COLORREF> expected = shown();
    smear();
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    Pump();
    EXPECT_FALSE(GetUpdateRect(wnd, nullptr, FALSE));
    MSG message;
    EXPECT_FALSE(PeekMessageW(&message, wnd, WM_PAINT, WM_PAINT, PM_NOREMOVE));
    std::vector<COLORREF> actual = shown();
    POINT client{0, 0};
    ClientToScreen(wnd, &client);
    const std::size_t kept =
        static_cast<std::size_t>((client.y - r.top) * width + client.x - r.left);
    expected[kept] = actual[kept];  // the pixel left valid above
    EXPECT_EQ(actual, expected);
  }
}

// Widening the form, as maximising it does, leaves the menu bar's captions drawn on the screen.
TEST_F(SkToolbarWin32Test, TheMenuBarsCaptionsStayDrawnWhenTheFormWidens) {
  const tb::TRect file = menuBar->View().Find(menuBar->Items().Items(0))->BoundsRect();
  const auto darkPixels = [&] {
    const HDC dc = GetDC(menuBar->Handle());
    int count = 0;
    for (int y = file.top; y < file.bottom; ++y)
      for (int x = file.left; x < file.right; ++x) {
        const COLORREF c = GetPixel(dc, x, y);
        if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 200) ++count;
      }
    ReleaseDC(menuBar->Handle(), dc);
    return count;
  };
  ASSERT_GT(darkPixels(), 5);
  for (const int width : {700, 1000}) {
    SetWindowPos(form->Handle(), nullptr, 0, 0, width, 300, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    EXPECT_GT(darkPixels(), 5) << width;
  }
}

// A docked toolbar's or tool window's frame: the theme's toolbar background under the themes,
// the framework's classic, the skin's toolbar background with the grip's dots under a skin.
TEST_F(SkToolbarWin32Test, UnderASkinTheDockedFrameIsTheSkinsToolbarWithDottedHandle) {
  TSkBarCustomToolWindow* tools = DockedToolWindow();
  for (tb::TTBCustomDockableWindow* window : {static_cast<tb::TTBCustomDockableWindow*>(buttons),
                                              static_cast<tb::TTBCustomDockableWindow*>(tools)}) {
    SCOPED_TRACE(std::wstring(window->ClassName()));
    RECT wr;
    GetWindowRect(window->Handle(), &wr);
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    PaintSurface s(w, h, kWhite);
    const auto frame = [&] {
      s.Clear(kWhite);
      window->DrawDockedNCArea(true, s.canvas.Handle(), nullptr);
    };
    // The themes (the prefix's default): the theme's toolbar background, as the client's.
    Manager().SetThemesOverride(std::nullopt);
    Manager().SetToDefaultSkin();
    ASSERT_EQ(Manager().GetSkinType(), sknWindows);
    frame();
    PaintSurface themed(w, h, kWhite);
    SkPaintToolbarBackground(themed.canvas, {0, 0, w, h}, false, false, sknWindows);
    EXPECT_EQ(s.Pixel(w - 2, h / 2), themed.Pixel(w - 2, h / 2));
    Manager().SetToDefaultSkin();
    Manager().SetThemesOverride(false);
    frame();
    EXPECT_EQ(s.Pixel(w - 2, h / 2), GetSysColor(COLOR_BTNFACE));
    Manager().SetSkin(L"Office XP");
    ASSERT_EQ(Manager().GetSkinType(), sknSkin);
    frame();
    const TSkBarSkinOptionEntry& bar = SkCurrentSkin().Options(skncToolbar).Body;
    ASSERT_EQ(bar.SkinType, 0);
    EXPECT_EQ(s.Pixel(w - 2, h / 2), Rgb(bar.Color1));
    const TSkBarSkinOptionEntry& dots = SkCurrentSkin().Options(skncToolbarGrip).Body;
    EXPECT_GE(CountIn(s, {0, 0, 10, h}, Rgb(dots.Color1)), 3);
    EXPECT_EQ(s.Pixel(w / 2, h / 2), kWhite);  // the client area is left alone
  }
}

// A docked close button under a skin: the skin paints the frame around it and draws it as a
// skinned button with the close glyph. After the switch to the skin, and after the change, the
// screen shows what a full repaint draws (the skin's rounded toolbar corners over the dock).
TEST_F(SkToolbarWin32Test, UnderASkinTheDockedCloseButtonIsTheSkinsToo) {
  Manager().SetSkin(L"Office XP");
  ASSERT_EQ(Manager().GetSkinType(), sknSkin);
  Pump();
  EXPECT_TRUE(ui_test::ScreenEqualsFullRepaint(form->Handle())) << "a skin switched on";
  buttons->SetCloseButtonWhenDocked(true);
  Pump();
  RECT wr;
  GetWindowRect(buttons->Handle(), &wr);
  const int w = wr.right - wr.left, h = wr.bottom - wr.top;
  PaintSurface s(w, h, kWhite);
  buttons->DrawDockedNCArea(true, s.canvas.Handle(), nullptr);
  EXPECT_EQ(s.Pixel(w - 2, h / 2), Rgb(SkCurrentSkin().Options(skncToolbar).Body.Color1));
  RECT b;
  buttons->GetDockedCloseButtonRect(false, b);
  const TColor glyph = SkCurrentSkin().GetTextColor(skncToolbarItem, sknsNormal, sknSkin);
  EXPECT_GE(
      CountIn(s, {b.left, b.top, b.right, b.bottom}, Rgb(glyph == clNone ? ui::clBtnText : glyph)),
      8);
  EXPECT_TRUE(ui_test::ScreenEqualsFullRepaint(form->Handle()));
}

// Under the theme a tool window's background is the theme's toolbar background, as a toolbar's
// is, whatever its own colour; classic it is its colour.
TEST_F(SkToolbarWin32Test, AToolWindowsBackgroundIsTheThemesToolbarBackground) {
  TSkBarCustomToolWindow* tools = DockedToolWindow();
  tools->SetColor(ui::clRed);
  const auto background = [](ui::TWinControl& control, int x, int y) {
    PaintSurface s(control.ClientWidth(), control.ClientHeight(), RGB(0, 0, 255));
    control.Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(s.canvas.Handle()));
    control.Perform(WM_PAINT, reinterpret_cast<WPARAM>(s.canvas.Handle()));
    return s.Pixel(x, y);
  };
  ASSERT_EQ(Manager().GetSkinType(), sknWindows);
  const COLORREF bar = background(*buttons, buttons->ClientWidth() - 2, 2);
  EXPECT_EQ(background(*tools, 2, 2), bar);
  EXPECT_NE(bar, RGB(255, 0, 0));
  Manager().SetThemesOverride(false);
  EXPECT_EQ(background(*tools, 2, 2), RGB(255, 0, 0));
}

TEST_F(SkToolbarWin32Test, TheChevronOpensItsPopupWithTheHiddenButtonsAsMenuItems) {
  form->SetClientWidth(150);
  Pump();
  tb::TTBView& tools = buttons->View();
  std::vector<std::wstring> hidden;
  for (int i = 0; i < buttons->Items().Count(); ++i)
    if (tools.Viewers(i)->OffEdge()) hidden.push_back(tools.Viewers(i)->Item().Caption());
  ASSERT_FALSE(hidden.empty());
  const int chevronIndex = tools.ViewerCount() - 1;
  tb::TTBItemViewer* chevron = tools.Viewers(chevronIndex);
  ASSERT_TRUE(chevron->Show());
  ASSERT_NE(dynamic_cast<TSkBarChevronItemViewer*>(chevron), nullptr);

  // The chevron's glyph in the item colour (classic drawing).
  Manager().SetThemesOverride(false);
  const tb::TRect cr = chevron->BoundsRect();
  PaintSurface s(buttons->ClientWidth(), buttons->ClientHeight(), kWhite);
  PaintBar(*buttons, s);
  TColor glyph = buttons->ItemTextColor(sknsNormal);
  if (glyph == clNone) glyph = ui::clBtnText;
  EXPECT_GE(CountIn(s, cr, Rgb(glyph)), 10);

  std::vector<std::wstring> listed;
  bool opened = false, toolbarStyle = true;
  ui::TColor color = ui::clNone;
  // Read the open popup, then close it.
  const auto inspect = [&] {
    if (tb::TTBView* popup = tools.OpenViewerView()) {
      opened = true;
      toolbarStyle = popup->IsToolbar();
      color = popup->BackgroundColor();
      for (int i = 0; i < popup->ViewerCount(); ++i)
        if (popup->Viewers(i)->Show()) listed.push_back(popup->Viewers(i)->Item().Caption());
    }
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
  };
  ASSERT_TRUE(tb::testing::RunScript([&] { ClickAt(Middle(tools, chevronIndex)); },
                                     {{400, inspect}}, &Pump));
  EXPECT_TRUE(opened);
  EXPECT_EQ(listed, hidden);
  EXPECT_FALSE(toolbarStyle);
  EXPECT_EQ(color, ui::clMenu);
}

TEST_F(SkToolbarWin32Test, AButtonsHintIsABitmapHintWithItsShortcut) {
  SkInstallBitmapHints(*ui::Application);
  ui::Application->SetHintPause(20);
  buttons->SetShowHint(true);
  buttons->Items().Items(0)->SetShortCut(ui::scCtrl | 'O');
  // The mouse rests on the first button (real input): its hint shows, waiting at most 2 s.
  tb::testing::MoveMouse(Middle(buttons->View(), 0));
  const DWORD start = GetTickCount();
  const auto shown = [] {
    return ui::Application->HintWindow() && ui::Application->HintWindow()->Active();
  };
  while (GetTickCount() - start < 2000 && !shown()) {
    Pump();
    Sleep(5);
  }
  ASSERT_TRUE(shown());
  auto* hint = dynamic_cast<TBitmapHint*>(ui::Application->HintWindow());
  ASSERT_NE(hint, nullptr);
  EXPECT_EQ(hint->Caption(), L"One (Ctrl+O)");
  RECT r;
  GetWindowRect(hint->Handle(), &r);
  EXPECT_EQ(r.right - r.left, SkHintBitmap().Size().cx - 2);
  EXPECT_EQ(r.bottom - r.top, SkHintBitmap().Size().cy - 2);
  // Framed by the bitmap's own ring on every side, its inside within.
  Pump();
  const HDC dc = GetWindowDC(hint->Handle());
  const int w = r.right - r.left, h = r.bottom - r.top;
  const COLORREF ring = GetPixel(SkHintBitmap().Dc(), 0, 0);
  const COLORREF inside = GetPixel(SkHintBitmap().Dc(), 1, 1);
  ASSERT_NE(ring, inside);
  EXPECT_EQ((std::vector<COLORREF>{GetPixel(dc, 0, h / 2), GetPixel(dc, w - 1, h / 2),
                                   GetPixel(dc, 3, 0), GetPixel(dc, 3, h - 1)}),
            std::vector<COLORREF>(4, ring));
  EXPECT_EQ(GetPixel(dc, 1, h / 2), inside);
  EXPECT_EQ(GetPixel(dc, w - 2, h / 2), inside);
  ReleaseDC(hint->Handle(), dc);
  // Without hint shortcuts the hint is the caption alone.
  ui::Application->SetHintShortCuts(false);
  POINT at;
  GetCursorPos(&at);
  ui::Application->ActivateHint(at);
  EXPECT_EQ(hint->Caption(), L"One");
  ui::Application->SetHintShortCuts(true);
  ui::Application->CancelHint();
}

TEST_F(SkToolbarWin32Test, UnderOfficePopupAnOpenSplitButtonJoinsItsPopup) {
  auto* split = ui::Create<TSkBarSubmenuItem>(*form);
  split->SetCaption(L"Split");
  split->SetDropdownCombo(true);
  auto* child = ui::Create<TSkBarItem>(*form);
  child->SetCaption(L"A rather long command");
  split->Add(child);
  buttons->Items().Insert(0, split);
  Manager().SetSkin(L"Office XP");
  ASSERT_TRUE(SkCurrentSkin().OfficePopup());
  Pump();
  tb::TTBView& tools = buttons->View();
  const tb::TRect b = tools.Viewers(0)->BoundsRect();
  const TSkBarSkinOptions& skin = SkCurrentSkin();
  const COLORREF openBody = Rgb(skin.Options(skncOpenToolbarItem).Body.Color1);
  const COLORREF openBorder = Rgb(skin.Options(skncOpenToolbarItem).Borders.Color1);
  const COLORREF popupBody = Rgb(skin.Options(skncPopup).Body.Color1);
  const COLORREF popupBorder = Rgb(skin.Options(skncPopup).Borders.Color1);
  ASSERT_NE(openBody, openBorder);
  ASSERT_NE(popupBody, popupBorder);

  std::vector<COLORREF> button, frame;
  bool opened = false;
  const auto inspect = [&] {
    // The button as it paints while open: one piece, its split part's inner edges gone.
    PaintSurface s(buttons->ClientWidth(), buttons->ClientHeight(), kWhite);
    PaintBar(*buttons, s);
    const int middle = (b.top + b.bottom) / 2;
    for (const int x : {b.left, b.left + 3, b.right - 13, b.right - 12, b.right - 1})
      button.push_back(s.Pixel(x, middle));
    // The popup's top row under the button and past it.
    tb::TTBView* popup = tools.OpenViewerView();
    const auto* window = popup ? dynamic_cast<tb::TTBViewWindow*>(popup->Window()) : nullptr;
    if (window) {
      opened = true;
      RECT w;
      GetWindowRect(window->Handle(), &w);
      const tb::TPoint left = tools.Window()->ClientToScreen({b.left, b.top});
      const tb::TPoint right = tools.Window()->ClientToScreen({b.right, b.top});
      const HDC dc = GetWindowDC(window->Handle());
      for (const int x : {left.x - w.left + 1, right.x - w.left - 2, right.x - w.left + 2})
        frame.push_back(GetPixel(dc, x, 0));
      ReleaseDC(window->Handle(), dc);
    }
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
  };
  ASSERT_TRUE(tb::testing::RunScript([&] { ClickAt(Middle(tools, 0)); }, {}, &Pump));
  const POINT arrow = Middle(tools, 0);
  ASSERT_TRUE(tb::testing::RunScript(
      [&] {
        ClickAt({arrow.x + b.Width() / 2 - 4, arrow.y});
      },
      {{400, inspect}}, &Pump));
  ASSERT_TRUE(opened);
  EXPECT_EQ(button, (std::vector<COLORREF>{openBorder, openBody, openBody, openBody, openBorder}));
  EXPECT_EQ(frame, (std::vector<COLORREF>{popupBody, popupBody, popupBorder}));
}

TEST_F(SkToolbarWin32Test, ALabelsAcceleratorFocusesItsControlAndAPressClicksIt) {
  auto* edit = ui::Create<ui::TMemo>(*form);
  edit->SetBounds(10, 200, 100, 20);
  edit->SetParent(form);
  auto* label = ui::Create<TSkBarCustomLabelItem>(*form);
  label->SetCaption(L"&Name");
  label->SetControl(edit);
  buttons->Items().Add(label);
  Pump();
  EXPECT_EQ(buttons->Perform(ui::CM_DIALOGCHAR, 'n', 0), 1);
  EXPECT_EQ(GetFocus(), edit->Handle());
  EXPECT_EQ(buttons->Perform(ui::CM_DIALOGCHAR, 'q', 0), 0);

  // A press that leaves the toolbar where it was clicks the label (real input).
  int clicks = 0;
  label->SetOnClick([&](ui::TComponent*) { ++clicks; });
  const int index = buttons->View().IndexOf(buttons->View().Find(label));
  ASSERT_TRUE(buttons->View().Viewers(index)->Show());
  ASSERT_TRUE(tb::testing::RunScript([&] { ClickAt(Middle(buttons->View(), index)); },
                                     {{300, [] {}}}, &Pump));
  EXPECT_EQ(clicks, 1);
  label->SetEnabled(false);
  ASSERT_TRUE(tb::testing::RunScript([&] { ClickAt(Middle(buttons->View(), index)); },
                                     {{300, [] {}}}, &Pump));
  EXPECT_EQ(clicks, 1);
}

// A toolbar whose press handling a test calls directly, and a selectable item whose clicks
// the toolbar runs itself (no menu loop).
class PressedBar : public TSkBarToolbar {
 public:
  using TSkBarToolbar::MouseDown;
  using TSkBarToolbar::TSkBarToolbar;
};
class TransparentItem : public TSkBarItem {
 public:
  explicit TransparentItem(ui::TComponent* owner) : TSkBarItem(owner) {
    SetItemStyle(GetItemStyle() | tb::tbisClicksTransparent);
  }
};

TEST_F(SkToolbarWin32Test, APressThatRemovesItsItemClicksNothingAndRaisesNothing) {
  // A bar that keeps its size without the item: the press leaves it where it was.
  auto* bar = ui::Create<PressedBar>(*form);
  bar->SetDockRow(2);
  bar->SetStretch(true);
  bar->SetShrinkMode(tb::TTBShrinkMode::tbsmNone);
  bar->SetParent(dock);
  auto* stay = ui::Create<TSkBarItem>(*form);
  stay->SetCaption(L"Stays");
  bar->Items().Add(stay);
  auto* label = ui::Create<TransparentItem>(*form);
  label->SetCaption(L"Gone");
  bar->Items().Add(label);
  int clicks = 0;
  label->SetOnClick([&](ui::TComponent*) { ++clicks; });
  label->OnSelect = [&](tb::TTBCustomItem*, tb::TTBItemViewer*, bool selecting) {
    if (selecting) bar->Items().Remove(label);  // the press takes the item away
  };
  Pump();
  const tb::TRect r = bar->View().Find(label)->BoundsRect();
  EXPECT_NO_THROW(bar->MouseDown(ui::TMouseButton::mbLeft, 0, r.left + 2, r.top + 2));
  EXPECT_EQ(bar->Items().Count(), 1);
  EXPECT_EQ(clicks, 0);
}

// Records the mouse moves the toolbar hands to it while it is the selected viewer.
struct MoveRecord {
  ui::TShiftState shift;
  int x, y;
  bool operator==(const MoveRecord&) const = default;
};
class RecordingViewer : public TSkBarItemViewer {
 public:
  RecordingViewer(tb::TTBView& view, tb::TTBCustomItem& item, int groupLevel,
                  std::vector<MoveRecord>& moves)
      : TSkBarItemViewer(view, item, groupLevel), moves_(moves) {}
  void SelectedMouseMove(ui::TShiftState shift, int x, int y) override {
    moves_.push_back({shift, x, y});
  }

 private:
  std::vector<MoveRecord>& moves_;
};
class RecordingItem : public TSkBarItem {
 public:
  using TSkBarItem::TSkBarItem;
  std::unique_ptr<tb::TTBItemViewer> CreateViewer(tb::TTBView& view, int groupLevel) override {
    return std::make_unique<RecordingViewer>(view, *this, groupLevel, moves);
  }
  std::vector<MoveRecord> moves;
};

TEST_F(SkToolbarWin32Test, TheSelectedViewerHearsOfMouseMovesOverTheToolbar) {
  auto* item = ui::Create<RecordingItem>(*form);
  item->SetCaption(L"Rec");
  buttons->Items().Insert(0, item);
  Pump();
  const tb::TRect r = buttons->View().Viewers(0)->BoundsRect();
  const tb::TRect other = buttons->View().Viewers(1)->BoundsRect();
  const auto move = [&](int x, int y) {
    SendMessageW(buttons->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
  };
  move(r.left + 2, r.top + 3);
  move(other.left + 1, other.top + 1);  // another viewer is selected now
  move(r.left + 4, r.top + 1);
  EXPECT_EQ(item->moves,
            (std::vector<MoveRecord>{{0, r.left + 2, r.top + 3}, {0, r.left + 4, r.top + 1}}));
}

TEST_F(SkToolbarWin32Test, ARightAnchoredControlAndAnAnchoredItemGrowWithTheDock) {
  TSkBarToolbar* bar = StretchedBar();
  auto* anchored = ui::Create<TSkBarItem>(*form);
  anchored->SetCaption(L"Grows");
  anchored->SetAnchored(true);
  auto* plain = ui::Create<TSkBarItem>(*form);
  plain->SetCaption(L"Stays");
  bar->Items().Add(anchored);
  bar->Items().Add(plain);
  bar->SetParent(dock);
  auto* edit = ui::Create<ui::TMemo>(*form);
  edit->SetBounds(0, 0, 80, 18);
  edit->SetAnchors(ui::akLeft | ui::akTop | ui::akRight);
  edit->SetParent(bar);  // gets a control item
  auto* fixed = ui::Create<ui::TMemo>(*form);
  fixed->SetBounds(0, 0, 50, 18);
  fixed->SetParent(bar);
  Pump();
  const auto width = [&](tb::TTBCustomItem* item) {
    return bar->View().Find(item)->BoundsRect().Width();
  };
  const int grows = width(anchored), stays = width(plain);
  const int editWidth = edit->Width();
  // Growth along the dock, then shrinking below the first size: never below the own size.
  for (const auto& [change, growth] : {std::pair{70, 70}, std::pair{-100, -30}}) {
    Pump();
    ValidateRect(bar->Handle(), nullptr);
    form->SetClientWidth(form->ClientWidth() + change);
    SCOPED_TRACE(change);
    // The dock's own pass, at once: anchored again, and the bar to repaint; the items are
    // painted over the new background, and the screen shows what a full repaint draws.
    EXPECT_EQ(edit->Width(), editWidth + growth);
    EXPECT_TRUE(GetUpdateRect(bar->Handle(), nullptr, FALSE));
    Pump();
    EXPECT_TRUE(ui_test::ScreenEqualsFullRepaint(form->Handle()));
    EXPECT_EQ(edit->Width(), editWidth + growth);
    EXPECT_EQ(fixed->Width(), 50);
    EXPECT_EQ(width(anchored), grows + std::max(0, growth));
    EXPECT_EQ(width(plain), stays);
    // The pass remembers where the first item stood.
    const tb::TRect first = bar->View().Find(anchored)->BoundsRect();
    EXPECT_EQ(bar->AnchoredFirstItemPos(), (tb::TPoint{first.left, first.top}));
  }
}

// A floating tool window keeps a size the framework gave it (a user's resize) through the next
// arrangement; setting its client size sizes the window around it.
TEST_F(SkToolbarWin32Test, AToolWindowKeepsTheSizeItWasGiven) {
  TSkBarCustomToolWindow* window = FloatingToolWindow();
  ASSERT_TRUE(window->Floating());
  const int width = window->ClientWidth() + 60, height = window->ClientHeight() + 40;
  window->SetBounds(0, 0, width + window->Width() - window->ClientWidth(),
                    height + window->Height() - window->ClientHeight());
  window->Arrange();
  EXPECT_EQ(window->ClientWidth(), width);
  EXPECT_EQ(window->ClientHeight(), height);
  EXPECT_EQ(window->WantedClientSize, (tb::TPoint{width, height}));
  window->SetClientSize(90, 70);
  window->Arrange();
  EXPECT_EQ(window->ClientWidth(), 90);
  EXPECT_EQ(window->ClientHeight(), 70);

  // Stored sizes beyond the window range are held to it; a negative one counts as 0.
  window->SetName(L"Tools");
  const struct {
    int width, height;
    tb::TPoint wanted;
  } cases[] = {{INT_MAX, INT_MIN, {32767, 0}}, {-1, 100000, {0, 32767}}, {120, 80, {120, 80}}};
  for (const auto& c : cases) {
    const tb::TTBPositionReader reader{[&](const std::wstring& n, const std::wstring& v, int d) {
      if (n != L"Tools") return d;
      return v == L"ClientWidth" ? c.width : v == L"ClientHeight" ? c.height : d;
    }};
    window->ReadPositionData(reader);
    Pump();
    EXPECT_EQ(window->WantedClientSize, c.wanted) << c.width << " x " << c.height;
    const tb::TTBFloatingWindowParent* parent = window->FloatParent();
    ASSERT_NE(parent, nullptr);
    EXPECT_GT(parent->Width(), 0);
    EXPECT_GT(parent->Height(), 0);
  }
  EXPECT_EQ(window->ClientWidth(), 120);
  EXPECT_EQ(window->ClientHeight(), 80);
}

// A tool window that changes size repaints all of its background (a skin's gradient spans the
// whole window), not only the uncovered part.
TEST_F(SkToolbarWin32Test, AToolWindowRepaintsItsWholeBackgroundWhenResized) {
  TSkBarCustomToolWindow* window = FloatingToolWindow();
  ASSERT_TRUE(window->Floating());
  UpdateWindow(window->Handle());
  window->SetClientSize(window->ClientWidth() - 10, window->ClientHeight() - 8);
  RECT update{};
  EXPECT_TRUE(GetUpdateRect(window->Handle(), &update, FALSE));
  EXPECT_EQ(update.left, 0);
  EXPECT_EQ(update.top, 0);
}

// A toolbar that notes, at each size message, whether its dock was handling its own size
// message and arranging its windows.
class SizeWatchToolbar : public TSkBarToolbar {
 public:
  using TSkBarToolbar::TSkBarToolbar;
  std::vector<std::pair<bool, bool>> seen;
  void WndProc(ui::TMessage& message) override {
    if (message.Msg == WM_SIZE)
      if (const auto* dock = dynamic_cast<const TSkBarDock*>(CurrentDock()))
        seen.emplace_back(dock->Sizing(), dock->Resizing());
    TSkBarToolbar::WndProc(message);
  }
};

// A skinned toolbar resized by its dock's arrangement leaves the repainting to the dock; resized
// otherwise, its size message repaints its background and frame, and its items keep their
// picture. Either way the screen shows what a full repaint draws.
TEST_F(SkToolbarWin32Test, AResizedToolbarRepaintsItsBackgroundUnlessItsDockIsArrangingIt) {
  auto* watch = ui::Create<SizeWatchToolbar>(*form);
  watch->SetDockRow(2);
  watch->SetStretch(true);
  watch->SetShrinkMode(tb::TTBShrinkMode::tbsmNone);
  auto* item = ui::Create<TSkBarItem>(*form);
  item->SetCaption(L"Watched");
  watch->Items().Add(item);
  watch->SetParent(dock);
  Pump();
  watch->seen.clear();
  SetWindowPos(form->Handle(), nullptr, 0, 0, 620, 300, SWP_NOMOVE | SWP_NOZORDER);
  Pump();
  ASSERT_FALSE(watch->seen.empty());
  for (const auto& [sizing, resizing] : watch->seen) {
    EXPECT_TRUE(sizing);
    EXPECT_TRUE(resizing);
  }
  EXPECT_TRUE(ui_test::ScreenEqualsFullRepaint(form->Handle())) << "the dock widened";

  // A toolbar that grows with a new item is resized by the dock's arrangement asked for by the
  // toolbar, not by the dock's own size change: its size message repaints it.
  auto* growing = ui::Create<SizeWatchToolbar>(*form);
  growing->SetDockRow(3);
  growing->Items().Add(ui::Create<TSkBarItem>(*form));
  growing->Items().Items(0)->SetCaption(L"First");
  growing->SetParent(dock);
  Pump();
  const int width = growing->Width();
  growing->seen.clear();
  auto* second = ui::Create<TSkBarItem>(*form);
  second->SetCaption(L"Second");
  growing->Items().Add(second);
  Pump();
  EXPECT_GT(growing->Width(), width);
  ASSERT_FALSE(growing->seen.empty());
  EXPECT_EQ(growing->seen.back(), std::make_pair(false, false));
  EXPECT_TRUE(ui_test::ScreenEqualsFullRepaint(form->Handle())) << "a toolbar grown";
}

// The floating form's own caption text is cleared whenever it shows or hides; the caption it
// draws is the hosted toolbar's (on the themes' caption bar, here).
TEST_F(SkToolbarWin32Test, TheFloatingFormShowsTheHostedCaptionNotItsOwn) {
  buttons->SetCaption(L"Buttons");
  buttons->SetFloating(true);
  Pump();
  tb::TTBFloatingWindowParent* floating = buttons->FloatParent();
  ASSERT_NE(floating, nullptr);
  EXPECT_EQ(GetWindowTextLengthW(floating->Handle()), 0);
  EXPECT_EQ(buttons->Caption(), L"Buttons");
  const auto textPixels = [&] {
    RECT window;
    GetWindowRect(floating->Handle(), &window);
    const RECT caption = floating->CaptionRect(true, true);
    const HDC screen = GetDC(nullptr);
    std::vector<COLORREF> row;
    int changes = 0;
    for (int y = caption.top + 2; y < caption.bottom - 2; ++y)
      for (int x = caption.left + 1; x < caption.right - 1; ++x) {
        const COLORREF c = GetPixel(screen, window.left + x, window.top + y);
        const COLORREF before = GetPixel(screen, window.left + x - 1, window.top + y);
        changes += c != before;
      }
    ReleaseDC(nullptr, screen);
    return changes;
  };
  EXPECT_GT(textPixels(), 20);  // letters, not a plain or gradient bar
  buttons->Hide();
  Pump();
  buttons->SetCaption(L"Tools");
  buttons->Show();
  Pump();
  EXPECT_EQ(GetWindowTextLengthW(floating->Handle()), 0);
  EXPECT_GT(textPixels(), 20);
}

// Under the themes the floating form's caption bar is the theme's small caption, as the title
// bar routine draws it; the screen shows what a full repaint draws.
TEST_F(SkToolbarWin32Test, UnderTheThemesTheFloatingCaptionIsTheThemesTitleBar) {
  ASSERT_EQ(Manager().GetSkinType(), sknWindows);
  buttons->SetCaption(L"B");
  buttons->SetFloating(true);
  Pump();
  tb::TTBFloatingWindowParent* floating = buttons->FloatParent();
  ASSERT_NE(floating, nullptr);
  const RECT bar = floating->CaptionRect(true, false);
  const RECT beforeClose = floating->CaptionRect(true, true);
  PaintSurface expected(bar.right - bar.left, bar.bottom - bar.top, kWhite);
  SkPaintTitleBar(expected.canvas, {0, 0, expected.Width(), expected.Height()},
                  !buttons->InactiveCaption(), sknWindows);
  RECT window;
  GetWindowRect(floating->Handle(), &window);
  const int x = beforeClose.right - 3;  // past the caption's text, before the close button
  const HDC screen = GetDC(nullptr);
  for (int y = bar.top; y < bar.bottom; ++y) {
    SCOPED_TRACE(y);
    EXPECT_EQ(GetPixel(screen, window.left + x, window.top + y),
              expected.Pixel(x - bar.left, y - bar.top));
  }
  ReleaseDC(nullptr, screen);
  EXPECT_TRUE(ui_test::ScreenEqualsFullRepaint(floating->Handle()));
}

TEST_F(SkToolbarWin32Test, ARightAlignSpacerPushesTheLastItemsToTheDocksEnd) {
  TSkBarToolbar* bar = StretchedBar();
  auto* left = ui::Create<TSkBarItem>(*form);
  left->SetCaption(L"Left");
  auto* spacer = ui::Create<TSkBarRightAlignSpacerItem>(*form);
  spacer->SetCaption(L"Caption");
  auto* right = ui::Create<TSkBarItem>(*form);
  right->SetCaption(L"X");
  for (tb::TTBCustomItem* item : std::initializer_list<tb::TTBCustomItem*>{left, spacer, right})
    bar->Items().Add(item);
  bar->SetParent(dock);
  Pump();
  // The items fill the dock's length less the drag handle (6) and the docked frame.
  const auto endOf = [&] {
    const tb::TRect r = bar->View().Find(right)->BoundsRect();
    POINT p{r.right, 0};
    MapWindowPoints(bar->Handle(), dock->Handle(), &p, 1);
    return dock->ClientWidth() - static_cast<int>(p.x);
  };
  EXPECT_GT(spacer->CustomWidth(), 100);
  EXPECT_LE(endOf(), 8);
  EXPECT_GE(endOf(), 0);
  const int wide = spacer->CustomWidth();
  form->SetClientWidth(form->ClientWidth() - 60);
  Pump();
  EXPECT_EQ(spacer->CustomWidth(), wide - 60);
  EXPECT_LE(endOf(), 8);
  // An item added later takes its room from the spacer once the change is done.
  std::vector<tb::TTBItemChangedAction> changes;
  bar->OnItemNotification = [&](ui::TComponent*, tb::TTBCustomItem*, bool,
                                tb::TTBItemChangedAction action, int,
                                tb::TTBCustomItem*) { changes.push_back(action); };
  auto* added = ui::Create<TSkBarItem>(*form);
  added->SetCaption(L"Added");
  bar->Items().Add(added);
  Pump();
  EXPECT_NE(std::find(changes.begin(), changes.end(), tb::TTBItemChangedAction::tbicInserted),
            changes.end());
  EXPECT_EQ(spacer->CustomWidth(), wide - 60 - bar->View().Find(added)->BoundsRect().Width());
  // A dock narrower than the other items: no room at all (the update's end right-aligns).
  bar->BeginUpdate();
  left->SetCustomWidth(dock->ClientWidth() + 10);
  bar->EndUpdate();
  EXPECT_EQ(spacer->CustomWidth(), 0);
}

// While customising, a customisable toolbar takes a dragged item, showing the insertion bar in
// the button-text colour; real drags move an item within its toolbar and into another one.
TEST_F(SkToolbarWin32Test, CustomisingDragsItemsToNewPlaces) {
  using skbar_test::Script;
  const auto at = [](TSkBarToolbar& bar, int index, int dx) {
    const tb::TRect b = bar.View().Viewers(index)->BoundsRect();
    POINT p{(b.left + b.right) / 2 + dx, (b.top + b.bottom) / 2};
    ClientToScreen(bar.Handle(), &p);
    return p;
  };
  const auto captions = [](TSkBarToolbar& bar) {
    std::wstring s;
    for (int i = 0; i < bar.Items().Count(); ++i)
      s += bar.Items().Items(i)->Caption().substr(0, 2) + L" ";
    return s;
  };
  TSkBarItemDragObject object(buttons, buttons->Items().Items(5));
  const tb::TRect three = buttons->View().Viewers(2)->BoundsRect();
  const int y = (three.top + three.bottom) / 2;
  bool accept = true;
  buttons->DragOver(object, three.right - 2, y, accept);
  EXPECT_FALSE(accept);
  menuBar->BeginCustomize();
  menuBar->DragOver(object, 5, 5, accept);
  EXPECT_FALSE(accept);
  buttons->BeginCustomize();
  buttons->DragOver(object, three.right - 2, y, accept);
  EXPECT_TRUE(accept);
  const tb::TRect mark = buttons->DropMark();
  EXPECT_EQ(mark, (tb::TRect{three.right - 2, three.top, three.right + 2, three.bottom}));
  PaintSurface s(buttons->ClientWidth(), buttons->ClientHeight(), kWhite);
  SendMessageW(buttons->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(s.canvas.Handle()), 0);
  EXPECT_EQ(CountIn(s, mark, GetSysColor(COLOR_BTNTEXT)), mark.Width() * mark.Height());

  // "One" past the middle of "Three" lands after it.
  ASSERT_TRUE(Script::Play({{0, at(*buttons, 0, 0)},
                            {MOUSEEVENTF_LEFTDOWN, at(*buttons, 0, 0)},
                            {0, at(*buttons, 2, 3)},
                            {0, at(*buttons, 2, 4)},
                            {MOUSEEVENTF_LEFTUP, at(*buttons, 2, 4)}}));
  EXPECT_EQ(captions(*buttons), L"Tw Th On Fo Fi Si ");
  EXPECT_TRUE(buttons->DropMark().IsEmpty());
  EXPECT_FALSE(buttons->IsItemMoving());

  // "Two" into the left half of another toolbar's first item goes first there.
  auto* other = ui::Create<TSkBarToolbar>(*form);
  other->SetDockRow(2);
  other->SetParent(dock);
  for (const wchar_t* caption : {L"Seven", L"Eight"}) {
    auto* item = ui::Create<TSkBarItem>(*form);
    item->SetCaption(caption);
    other->Items().Add(item);
  }
  other->BeginCustomize();
  Pump();
  ASSERT_TRUE(Script::Play({{0, at(*buttons, 0, 0)},
                            {MOUSEEVENTF_LEFTDOWN, at(*buttons, 0, 0)},
                            {0, at(*other, 0, -4)},
                            {0, at(*other, 0, -5)},
                            {MOUSEEVENTF_LEFTUP, at(*other, 0, -5)}}));
  EXPECT_EQ(captions(*other), L"Tw Se Ei ");
  EXPECT_EQ(captions(*buttons), L"Th On Fo Fi Si ");
  EXPECT_TRUE(buttons->DropMark().IsEmpty());
  EXPECT_TRUE(other->DropMark().IsEmpty());

  // A control item dropped on another toolbar takes its control along.
  auto* control = ui::Create<ui::TCustomControl>(*form);
  control->SetBounds(0, 0, 30, 16);
  auto* hosted = ui::Create<tb::TTBControlItem>(*form);
  hosted->SetControl(control);
  control->SetParent(buttons);
  buttons->Items().Add(hosted);
  Pump();
  TSkBarItemDragObject move(buttons, hosted);
  other->DragDrop(move, 1, 1);
  EXPECT_EQ(hosted->Parent(), &other->Items());
  EXPECT_EQ(control->Parent(), other);
}

}  // namespace
}  // namespace skbar
