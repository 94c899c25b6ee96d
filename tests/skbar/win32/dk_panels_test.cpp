// Multi-docks and dockable panels in a real form under Wine: two panels sharing a right dock
// beside its splitter, resized by their edge, floated and docked again by a double click on the
// caption, closed by the close button (real input played by a timer, so modal loops run, each
// run ended after 4 s), the refusals, and the caption bar painted under the three skin types.
#include "skbar/win32/dk_panels.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <map>

#include "../../ui/win32/gui_fixture.h"
#include "../../ui/win32/screen_check.h"
#include "paint_surface.h"
#include "real_input.h"
#include "skbar/skin_colors.h"
#include "skbar/skin_manager.h"
#include "skbar/win32/sk_bitmap_hint.h"
#include "skbar/win32/sk_item_globals.h"
#include "skbar/win32/sk_item_paint.h"
#include "skbar/win32/sk_paint.h"
#include "skbar/win32/sk_skin_paint.h"
#include "ui/errors.h"

namespace skbar {
namespace {

using skbar_test::Script;

class DockPanels : public UiGuiTest {
 protected:
  DockPanels() {
    form = ui::Application->CreateForm<ui::TForm>();
    form->SetBounds(100, 100, 640, 420);
    dock = ui::Create<TSkBarCustomMultiDock>(*form);
    dock->SetPosition(TSkBarDockPosition::dpxRight);
    dock->SetParent(form);
    splitter = ui::Create<TSkBarCustomSplitter>(*form);
    splitter->SetAlign(ui::TAlign::alRight);
    splitter->SetParent(form);
    splitter->Hide();
    list = ui::Create<ui::TCustomControl>(*form);
    list->SetAlign(ui::TAlign::alClient);
    list->SetParent(form);
    form->Show();
    for (const wchar_t* caption : {L"Disk Image List", L"Disk Image Browser"}) {
      TSkBarCustomDockablePanel* p = ui::Create<TSkBarCustomDockablePanel>(*form);
      p->SetCaption(caption);
      p->SetDefaultDock(dock);
      p->SetParent(dock);
      // What the panel holds: a window that fills it with a colour of its own, which shows if
      // anything paints over it.
      auto* content = ui::Create<ui::TCustomControl>(*form);
      content->SetAlign(ui::TAlign::alClient);
      content->SetParent(p);
      const ui::TColor colour = panels.empty() ? 0x30C0F0 : 0xC08040;
      content->OnPaint = [content, colour](ui::TComponent*) {
        content->Canvas().Brush().SetColor(colour);
        content->Canvas().FillRect(content->ClientRect());
      };
      panels.push_back(p);
      contents.push_back(content);
    }
    dock->SetWidth(180);
    SetForegroundWindow(form->Handle());
    Pump();
  }
  ~DockPanels() override {
    SkBarSkinManager()->SetThemesOverride(std::nullopt);
    SkBarSkinManager()->SetToDefaultSkin();
  }
  // What a window shows on screen, after it and its children painted.
  static std::unique_ptr<skbar_test::PaintSurface> Capture(ui::TWinControl* c) {
    RedrawWindow(c->Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
    POINT origin{0, 0};
    ClientToScreen(c->Handle(), &origin);
    auto s = std::make_unique<skbar_test::PaintSurface>(c->ClientWidth(), c->ClientHeight(),
                                                        RGB(1, 2, 3));
    const HDC screen = GetDC(nullptr);
    BitBlt(s->Dc(), 0, 0, c->ClientWidth(), c->ClientHeight(), screen, origin.x, origin.y, SRCCOPY);
    ReleaseDC(nullptr, screen);
    return s;
  }
  static RECT Screen(ui::TWinControl* c) {
    RECT r;
    GetWindowRect(c->Handle(), &r);
    return r;
  }
  // A point of a panel's caption bar on screen, left of the close button.
  static POINT CaptionPoint(TSkBarCustomDockablePanel* p) {
    POINT at{p->CaptionRect().right - 30, p->CaptionHeight() / 2};
    ClientToScreen(p->Handle(), &at);
    return at;
  }

  ui::TForm* form = nullptr;
  TSkBarCustomMultiDock* dock = nullptr;
  TSkBarCustomSplitter* splitter = nullptr;
  ui::TCustomControl* list = nullptr;
  std::vector<TSkBarCustomDockablePanel*> panels;
  std::vector<ui::TCustomControl*> contents;  // what each panel holds

  // The screen shows what a full repaint of the form draws (floating panels: of their own
  // windows too).
  void ExpectScreenAsRepainted(const char* after) {
    EXPECT_TRUE(ui_test::ScreenEqualsFullRepaint(form->Handle())) << "after " << after;
    for (TSkBarCustomDockablePanel* p : panels) {
      if (!p->Floating() || !p->Visible() || !p->FloatParent()) continue;
      EXPECT_TRUE(ui_test::ScreenEqualsFullRepaint(p->FloatParent()->Handle()))
          << "after " << after << ", floating";
    }
  }
};

TEST_F(DockPanels, PanelsShareTheDockAndAreSizedFloatedAndClosedWithRealInput) {
  TSkBarCustomDockablePanel* a = panels[0];
  TSkBarCustomDockablePanel* b = panels[1];
  EXPECT_TRUE(splitter->Visible());  // shown when the first panel arrived
  EXPECT_EQ(splitter->Left() + splitter->Width(), dock->Left());
  std::vector<TSkBarCustomDockablePanel*> docked;
  dock->GetDockablePanelList(docked);
  int index = -2;
  EXPECT_TRUE(TSkBarCustomMultiDock::GetDockablePanelDockIndex(docked, b, index));
  EXPECT_EQ(index, 1);
  EXPECT_FALSE(TSkBarCustomMultiDock::GetDockablePanelDockIndex({a}, b, index));
  EXPECT_EQ(index, -1);
  RECT ra = Screen(a), rb = Screen(b);
  const RECT rd = Screen(dock);
  EXPECT_EQ(ra.top, rd.top);
  EXPECT_EQ(ra.bottom, rb.top);
  EXPECT_EQ(rb.bottom, rd.bottom);
  EXPECT_EQ(ra.right - ra.left, 180);
  EXPECT_EQ(dock->Width(), 180);

  // The edge between them, dragged 40 pixels down.
  const int edgeX = (ra.left + ra.right) / 2, edgeY = ra.bottom - 1;
  const int aHeight = ra.bottom - ra.top;
  EXPECT_TRUE(Script::Play({{0, {edgeX, edgeY}},
                            {MOUSEEVENTF_LEFTDOWN, {edgeX, edgeY}},
                            {0, {edgeX, edgeY + 20}},
                            {0, {edgeX, edgeY + 40}},
                            {MOUSEEVENTF_LEFTUP, {edgeX, edgeY + 40}}}));
  ra = Screen(a);
  rb = Screen(b);
  EXPECT_EQ(ra.bottom - ra.top, aHeight + 40);
  EXPECT_EQ(ra.bottom, rb.top);
  EXPECT_EQ(rb.bottom, rd.bottom);
  ExpectScreenAsRepainted("the edge between the panels dragged");

  // The splitter widens the dock; the panels follow.
  splitter->ChangeSplitControlSize(220);
  EXPECT_EQ(Screen(a).right - Screen(a).left, 220);
  ExpectScreenAsRepainted("the dock widened");

  // A double click on the caption floats the panel; another docks it where it was.
  EXPECT_TRUE(Script::Play(Script::Clicks(CaptionPoint(a), 2)));
  ASSERT_TRUE(a->Floating());
  EXPECT_EQ(Screen(b).top, rd.top);  // the other panel takes the whole dock
  EXPECT_EQ(Screen(b).bottom, rd.bottom);
  ExpectScreenAsRepainted("a panel floated");
  a->SetBounds(a->Left(), a->Top(), 300, a->Height());  // wider while floating
  Pump();
  EXPECT_GT(a->ClientWidth(), 280);
  EXPECT_TRUE(Script::Play(Script::Clicks(CaptionPoint(a), 2)));
  EXPECT_TRUE(a->Docked());
  EXPECT_EQ(a->CurrentDock(), dock);
  EXPECT_EQ(Screen(b).bottom, rd.bottom);
  // Back from floating it is as wide as the dock, like the panel that stayed.
  EXPECT_EQ(Screen(a).right - Screen(a).left, dock->ClientWidth());
  EXPECT_EQ(Screen(b).right - Screen(b).left, dock->ClientWidth());
  EXPECT_EQ(dock->Width(), 220);
  ExpectScreenAsRepainted("a panel docked again");

  // The close button hides a panel; the other fills the dock.
  const TRect close = b->CaptionButtonRect(TSkBarCustomDockablePanel::TCaptionButton::cbClose);
  POINT at{(close.left + close.right) / 2, (close.top + close.bottom) / 2};
  ClientToScreen(b->Handle(), &at);
  EXPECT_TRUE(Script::Play({{0, at}, {MOUSEEVENTF_LEFTDOWN, at}, {MOUSEEVENTF_LEFTUP, at}}));
  EXPECT_FALSE(b->Visible());
  EXPECT_EQ(Screen(a).top, rd.top);
  EXPECT_EQ(Screen(a).bottom, rd.bottom);
  ExpectScreenAsRepainted("a panel closed");
  EXPECT_TRUE(errors.empty());
}

TEST_F(DockPanels, CaptionButtonsMinimiseAndRestore) {
  TSkBarCustomDockablePanel* a = panels[0];
  TSkBarCustomDockablePanel* b = panels[1];
  a->Options().SetMinimize(true);
  Pump();  // the caption items are right-aligned again
  const int ha = Screen(a).bottom - Screen(a).top;
  std::vector<TPanelWindowState> fired;
  a->OnWindowStateChanged = [&](ui::TComponent*, TPanelWindowState s) { fired.push_back(s); };
  const auto click = [&](TSkBarCustomDockablePanel* p) {
    const TRect r = p->CaptionButtonRect(TSkBarCustomDockablePanel::TCaptionButton::cbMinimize);
    POINT at{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(p->Handle(), &at);
    return Script::Play({{0, at}, {MOUSEEVENTF_LEFTDOWN, at}, {MOUSEEVENTF_LEFTUP, at}});
  };
  ASSERT_GT(a->CaptionButtonRect(TSkBarCustomDockablePanel::TCaptionButton::cbMinimize).Width(), 0);
  EXPECT_TRUE(click(a));
  EXPECT_EQ(a->WindowState(), TPanelWindowState::wsMinimized);
  EXPECT_EQ(Screen(a).bottom - Screen(a).top, a->CaptionHeight() + 4);
  EXPECT_EQ(Screen(b).bottom, Screen(dock).bottom);
  EXPECT_EQ(Screen(a).bottom, Screen(b).top);
  ExpectScreenAsRepainted("a panel minimised");
  EXPECT_TRUE(click(a));
  EXPECT_EQ(a->WindowState(), TPanelWindowState::wsNormal);
  EXPECT_EQ(Screen(a).bottom - Screen(a).top, ha);
  ExpectScreenAsRepainted("a panel restored");
  EXPECT_EQ(fired, (std::vector<TPanelWindowState>{TPanelWindowState::wsMinimized,
                                                   TPanelWindowState::wsNormal}));
  // Floating: minimised to the caption bar and back.
  b->SetFloating(true);
  Pump();
  const int client = b->ClientHeight();
  EXPECT_TRUE(b->Minimize());
  EXPECT_EQ(b->ClientHeight(), b->CaptionHeight());
  EXPECT_FALSE(b->Maximize());
  EXPECT_TRUE(b->Restore());
  EXPECT_EQ(b->ClientHeight(), client);
  // Pulled open beyond its caption bar, a minimised panel is normal again.
  EXPECT_TRUE(b->Minimize());
  b->SetBounds(b->Left(), b->Top(), b->Width(), b->Height() + 40);
  EXPECT_EQ(b->WindowState(), TPanelWindowState::wsNormal);
  EXPECT_EQ(b->Options().MinimizeButton()->ImageIndex(), 2);  // no longer the restore glyph
}

// The mouse resting on a caption button shows the button's hint as a bitmap hint; moving off it
// takes the hint away and leaves the form as a full repaint draws it.
TEST_F(DockPanels, ACaptionButtonsHintShowsWhileTheMouseRests) {
  SkInstallBitmapHints(*ui::Application);
  ui::Application->SetHintPause(100);
  TSkBarCustomDockablePanel* a = panels[0];
  a->SetShowHint(true);
  a->Options().CloseButton()->SetHint(L"Close|Closes the panel");
  const TRect r = a->CaptionButtonRect(TSkBarCustomDockablePanel::TCaptionButton::cbClose);
  POINT button{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  ClientToScreen(a->Handle(), &button);
  const auto shown = [] {
    ui::THintWindow* hint = ui::Application->HintWindow();
    return hint && IsWindowVisible(hint->Handle());
  };
  const auto pumpUntil = [](const std::function<bool()>& done) {
    for (const DWORD start = GetTickCount(); GetTickCount() - start < 2000; Sleep(5)) {
      Pump();
      if (done()) return true;
    }
    return false;
  };
  ASSERT_TRUE(Script::Play({{0, button}}));
  ASSERT_TRUE(pumpUntil(shown));
  auto* hint = dynamic_cast<TBitmapHint*>(ui::Application->HintWindow());
  ASSERT_NE(hint, nullptr);
  EXPECT_EQ(hint->Caption(), L"Close");
  RECT window{};
  GetWindowRect(hint->Handle(), &window);
  EXPECT_EQ(window.right - window.left, SkHintBitmap().Size().cx - 2);
  RECT middle{};
  GetWindowRect(list->Handle(), &middle);
  ASSERT_TRUE(Script::Play({{0, {(middle.left + middle.right) / 2, middle.top + 40}}}));
  EXPECT_TRUE(pumpUntil([&] { return !shown(); }));
  ExpectScreenAsRepainted("a hint went");
}

TEST_F(DockPanels, CaptionDragTradesPlacesFloatsAndDocks) {
  TSkBarCustomDockablePanel* a = panels[0];
  TSkBarCustomDockablePanel* b = panels[1];
  const RECT rd = Screen(dock);
  const POINT from = CaptionPoint(a), to = CaptionPoint(b);
  const int hb = Screen(b).bottom - Screen(b).top;
  EXPECT_TRUE(Script::Play({{0, from},
                            {MOUSEEVENTF_LEFTDOWN, from},
                            {0, {from.x, (from.y + to.y) / 2}},
                            {0, to},
                            {MOUSEEVENTF_LEFTUP, to}}));
  EXPECT_EQ(Screen(b).top, rd.top);
  EXPECT_EQ(Screen(b).bottom, rd.top + hb);  // each keeps its length
  EXPECT_EQ(Screen(b).bottom, Screen(a).top);
  EXPECT_EQ(Screen(a).bottom, rd.bottom);
  ExpectScreenAsRepainted("the panels traded places");

  // Out of the dock it floats under the cursor; back over the dock it docks again.
  const POINT start = CaptionPoint(a), out{rd.left - 200, rd.top + 100};
  EXPECT_TRUE(Script::Play({{0, start},
                            {MOUSEEVENTF_LEFTDOWN, start},
                            {0, {start.x - 100, start.y}},
                            {0, out},
                            {MOUSEEVENTF_LEFTUP, out}}));
  ASSERT_TRUE(a->Floating());
  const RECT f = Screen(a->FloatParent());
  EXPECT_TRUE(out.x >= f.left && out.x < f.right && out.y >= f.top && out.y < f.bottom);
  EXPECT_EQ(Screen(b).bottom, rd.bottom);
  ExpectScreenAsRepainted("a panel dragged out to float");
  // Ctrl held keeps it floating over the dock; releasing Ctrl, without moving, docks it at
  // once, at the middle of the panel under the cursor: just after it, with the length it had.
  const int ha = Screen(a).bottom - Screen(a).top;
  std::vector<bool> ctrlDownWhenDocked;
  a->OnDockChanged = [&](ui::TComponent*) {
    ctrlDownWhenDocked.push_back((GetKeyState(VK_CONTROL) & 0x8000) != 0);
  };
  const POINT grab = CaptionPoint(a), home{rd.left + 50, rd.top + 20};
  EXPECT_TRUE(Script::Play({{0, grab},
                            {MOUSEEVENTF_LEFTDOWN, grab},
                            {Script::kKey, {VK_CONTROL, 0}},
                            {0, {grab.x + 50, grab.y}},
                            {0, home},
                            {0, {home.x, home.y + 5}},
                            {Script::kKey | KEYEVENTF_KEYUP, {VK_CONTROL, 0}},
                            {MOUSEEVENTF_LEFTUP, {home.x, home.y + 5}}}));
  a->OnDockChanged = nullptr;
  EXPECT_EQ(ctrlDownWhenDocked, std::vector<bool>{false});
  EXPECT_TRUE(a->Docked());
  EXPECT_EQ(Screen(b).top, rd.top);
  EXPECT_EQ(Screen(a).bottom, rd.bottom);
  EXPECT_NEAR(Screen(a).bottom - Screen(a).top, ha, 4);
  ExpectScreenAsRepainted("a panel dragged back into the dock");
}

// A panel that may change docks but not float stays docked when dragged out of its dock, and
// moves into another multi-dock dragged over it; no panel docks into a hidden dock.
TEST_F(DockPanels, DragsBetweenDocksWithoutFloatingAndNeverIntoAHiddenDock) {
  auto* left = ui::Create<TSkBarCustomMultiDock>(*form);
  left->SetPosition(TSkBarDockPosition::dpxLeft);
  left->SetParent(form);
  left->SetWidth(150);
  Pump();
  TSkBarCustomDockablePanel* a = panels[0];
  a->SetDockMode(tb::TTBDockMode::dmCannotFloat);
  const RECT rd = Screen(dock), rl = Screen(left);
  const POINT from = CaptionPoint(a), between{(rl.right + rd.left) / 2, rd.top + 100},
              into{rl.left + 10, rl.top + 40};
  EXPECT_TRUE(Script::Play({{0, from},
                            {MOUSEEVENTF_LEFTDOWN, from},
                            {0, {from.x - 50, from.y}},
                            {0, between},
                            {MOUSEEVENTF_LEFTUP, between}}));
  EXPECT_EQ(a->CurrentDock(), dock);
  EXPECT_FALSE(a->Floating());
  const POINT again{CaptionPoint(a).x - 20, CaptionPoint(a).y};  // not a double click
  EXPECT_TRUE(Script::Play({{0, again},
                            {MOUSEEVENTF_LEFTDOWN, again},
                            {0, {again.x - 50, again.y}},
                            {0, between},
                            {0, into},
                            {MOUSEEVENTF_LEFTUP, into}}));
  EXPECT_EQ(a->CurrentDock(), left);
  EXPECT_FALSE(a->Floating());

  // Floating, it never docks into a hidden dock, not even the one it came from.
  a->SetDockMode(tb::TTBDockMode::dmCanFloat);
  a->SetFloating(true);
  left->Hide();
  Pump();
  const POINT grab = CaptionPoint(a), over{rl.left + 10, rl.top + 60};
  EXPECT_TRUE(Script::Play({{0, grab},
                            {MOUSEEVENTF_LEFTDOWN, grab},
                            {0, {grab.x + 30, grab.y}},
                            {0, over},
                            {MOUSEEVENTF_LEFTUP, over}}));
  EXPECT_TRUE(a->Floating());
  EXPECT_TRUE(errors.empty());
}

// A panel floated for the first time while minimised in its dock opens at its restore size.
TEST_F(DockPanels, AMinimisedPanelFloatsAtItsRestoreSize) {
  TSkBarCustomDockablePanel* a = panels[0];
  const int ha = a->Height();
  ASSERT_TRUE(a->Minimize());
  a->SetFloating(true);
  Pump();
  ASSERT_TRUE(a->Floating());
  EXPECT_EQ(a->ClientHeight(), ha);
  EXPECT_EQ(a->WindowState(), TPanelWindowState::wsNormal);
}

TEST_F(DockPanels, CaptionItemsNamesAndIcons) {
  TSkBarCustomDockablePanel* a = panels[0];
  TSkBarCustomDockablePanel* b = panels[1];
  TSkBarDockablePanelButtonOptions& o = a->Options();
  a->SetName(L"FileListPanel");
  EXPECT_EQ(a->CaptionToolbar()->Name(), L"FileListPanelToolbar");
  a->SetCaption(L"Images");
  EXPECT_EQ(o.CaptionLabel()->Caption(), L"Images");

  // Icons: the shared glyphs at -1 (a toggled button shows "restore"), else the toolbar's images.
  const auto icon = [](const TSkBarItem* button) {
    return std::pair{button->Images() == &SkCaptionGlyphs(), button->ImageIndex()};
  };
  o.SetMaximize(true);
  b->Options().SetMinimize(true);
  EXPECT_EQ(icon(o.CloseButton()), std::pair(true, 0));
  EXPECT_EQ(icon(o.MaximizeButton()), std::pair(true, 1));
  EXPECT_EQ(icon(o.MinimizeButton()), std::pair(true, 2));
  ASSERT_TRUE(a->Maximize());
  EXPECT_EQ(icon(o.MaximizeButton()), std::pair(true, 3));
  EXPECT_EQ(icon(b->Options().MinimizeButton()), std::pair(true, 3));
  o.SetRestoreImageIndex(7);
  EXPECT_EQ(icon(o.MaximizeButton()), std::pair(false, 7));
  o.SetCloseImageIndex(-5);
  EXPECT_EQ(o.CloseImageIndex(), -1);
  ASSERT_TRUE(a->Restore());
  EXPECT_EQ(icon(o.MaximizeButton()), std::pair(true, 1));

  // The label stays while any part is on; extra items go into the group, one can move left.
  o.SetCaption(false);
  o.SetClose(false);
  o.SetMaximize(false);
  EXPECT_FALSE(o.CaptionLabel()->Visible());
  o.SetClose(true);
  EXPECT_TRUE(o.CaptionLabel()->Visible());
  auto* extra = ui::Create<TSkBarItem>(*form);
  o.EditableItems()->Add(extra);
  o.MoveItemToTheLeft(extra);
  EXPECT_EQ(a->Items().IndexOf(extra), a->Items().IndexOf(o.CaptionLabel()) - 1);

  // A control item's control not yet on the caption toolbar goes there when loaded.
  auto* hosted = ui::Create<ui::TCustomControl>(*form);
  hosted->SetBounds(0, 0, 16, 16);
  hosted->SetParent(form);
  auto* item = ui::Create<tb::TTBControlItem>(*form);
  item->SetControl(hosted);
  a->Items().Add(item);
  a->Loaded();
  EXPECT_EQ(hosted->Parent(), a->CaptionToolbar());

  // A control put on the caption toolbar while its items update gets a control item at once;
  // on an ordinary skinned toolbar it gets none until the update ends.
  auto* plain = ui::Create<TSkBarToolbar>(*form);
  plain->SetParent(form);
  for (TSkBarToolbar* bar : {static_cast<TSkBarToolbar*>(a->CaptionToolbar()), plain}) {
    auto* control = ui::Create<ui::TCustomControl>(*form);
    control->SetBounds(0, 0, 16, 16);
    const int count = bar->Items().Count();
    bar->BeginUpdate();
    control->SetParent(bar);
    EXPECT_EQ(bar->Items().Count(), count + (bar == plain ? 0 : 1)) << (bar == plain);
    bar->EndUpdate();
  }

  // Docked without its caption bar, the panel keeps a one-pixel minimum.
  a->SetShowCaptionWhenDocked(false);
  EXPECT_FALSE(a->CaptionPanel()->Visible());
  EXPECT_EQ(a->CaptionHeight(), 1);
  a->SetShowCaptionWhenDocked(true);
  EXPECT_GT(a->CaptionRect().Height(), 10);
  EXPECT_TRUE(errors.empty());
}

TEST_F(DockPanels, RefusalsAndNeverAPlainChild) {
  tb::TTBDock* plain = ui::Create<tb::TTBDock>(*form);
  plain->SetParent(form);
  try {
    panels[0]->SetParent(plain);
    ADD_FAILURE() << "docked into a plain dock";
  } catch (const ui::EInvalidOperation& e) {
    EXPECT_STREQ(e.what(),
                 "Cannot insert TSkBarDockablePanel into TTBDock. Place it on a MultiDock instead");
  }
  EXPECT_THROW(dock->SetPosition(TSkBarDockPosition::dpxLeft), ui::EInvalidOperation);
  dock->SetLimitToOneRow(false);
  EXPECT_TRUE(dock->LimitToOneRow());
  // An empty multi-dock hides its splitter once loaded.
  TSkBarCustomMultiDock* left = ui::Create<TSkBarCustomMultiDock>(*form);
  left->SetParent(form);
  TSkBarCustomSplitter* leftSplitter = ui::Create<TSkBarCustomSplitter>(*form);
  leftSplitter->SetParent(form);
  left->Loaded();
  EXPECT_FALSE(leftSplitter->Visible());

  // Given the form as its parent, a panel floats instead.
  panels[1]->SetParent(form);
  EXPECT_TRUE(panels[1]->Floating());
  EXPECT_NE(panels[1]->Parent(), form);

  // The last panel leaving hides the splitter.
  panels[0]->Hide();
  panels[1]->Hide();
  Pump();
  EXPECT_FALSE(splitter->Visible());
  EXPECT_EQ(splitter->FindControl(), nullptr);  // an empty multi-dock is no drag target
  // A panel shown again brings the splitter back beside the dock.
  panels[0]->Show();
  Pump();
  EXPECT_TRUE(splitter->Visible());
  EXPECT_EQ(splitter->Left() + splitter->Width(), dock->Left());
  EXPECT_EQ(splitter->FindControl(), dock);
}

TEST_F(DockPanels, CaptionBarUnderEachSkinType) {
  TSkBarCustomDockablePanel* p = panels[0];
  contents[0]->Hide();  // the panel's own body shows
  const int w = p->ClientWidth(), h = p->ClientHeight();
  const TRect close = p->CaptionButtonRect(TSkBarCustomDockablePanel::TCaptionButton::cbClose);
  ASSERT_GT(close.Width(), 0);
  // Inside the bar, clear of the text and the button.
  const int x = close.left - 10, y = p->CaptionHeight() - 4;
  using skbar_test::Rgb;
  // The caption dock's own picture, in a memory context, as the screen shows it.
  const auto dockPicture = [&] {
    TSkBarDock* d = p->CaptionDock();
    auto s = std::make_unique<skbar_test::PaintSurface>(d->ClientWidth(), d->ClientHeight(),
                                                        RGB(1, 2, 3));
    d->DrawBackground(s->Dc(), {0, 0, d->ClientWidth(), d->ClientHeight()});
    return s;
  };
  for (bool themes : {true, false}) {
    SkBarSkinManager()->SetThemesOverride(themes);
    const auto s = Capture(p);
    for (const int row : {0, 1, y}) EXPECT_EQ(dockPicture()->Pixel(x, row), s->Pixel(x, row));
    // The caption toolbar's background is the bar as the dock paints it behind.
    TSkBarDockablePanelToolbar* bar = p->CaptionToolbar();
    skbar_test::PaintSurface t(bar->ClientWidth(), bar->ClientHeight(), RGB(1, 2, 3));
    SendMessageW(bar->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(t.Dc()), 0);
    POINT o{0, 0};
    MapWindowPoints(bar->Handle(), p->CaptionDock()->Handle(), &o, 1);
    EXPECT_EQ(t.Pixel(x - o.x, y - o.y), s->Pixel(x, y));
    EXPECT_EQ(s->Pixel(x, y), Rgb(SkMixColors(ui::clBtnFace, ui::clBtnShadow, 80))) << themes;
    EXPECT_EQ(s->Pixel(x, 0), Rgb(ui::clBtnFace));  // the docked frame
    EXPECT_EQ(s->Pixel(x, 1), Rgb(ui::clWhite));
    EXPECT_EQ(s->Pixel(w - 1, y), Rgb(ui::clBtnFace));  // the bar stops short of its end
    EXPECT_EQ(s->Pixel(x, h - 2), Rgb(ui::clBtnFace));  // the body
  }
  SkBarSkinManager()->SetSkin(L"Office XP");
  const auto s = Capture(p);
  EXPECT_EQ(s->Pixel(x, y), Rgb(SkCurrentSkin().Options(skncDockablePanelTitleBar).Body.Color1));
  EXPECT_EQ(dockPicture()->Pixel(x, y), s->Pixel(x, y));
  // The close glyph is drawn in the bar's text colour.
  int ink = 0;
  for (int yy = close.top; yy < close.bottom; ++yy)
    for (int xx = close.left; xx < close.right; ++xx) ink += s->Pixel(xx, yy) != s->Pixel(x, y);
  EXPECT_GT(ink, 4);
  // A handler may paint the bar itself.
  p->OnDrawCaptionPanel = [](ui::TComponent*, ui::TCanvas& canvas, const TRect& r,
                             TSkBarPaintStage stage, bool& paintDefault) {
    if (stage != pstPrePaint) return;
    SkFillRect(canvas, r, 0x00336699);
    paintDefault = false;
  };
  EXPECT_EQ(Capture(p)->Pixel(x, y), Rgb(0x00336699));
  EXPECT_TRUE(errors.empty());
}

TEST_F(DockPanels, FloatingFormUnderASkinAndClosing) {
  TSkBarCustomToolWindow* tool = ui::Create<TSkBarCustomToolWindow>(*form);
  tool->SetCaption(L"Tool");
  tool->WantedClientSize = {160, 90};
  TSkBarDock* top = ui::Create<TSkBarDock>(*form);
  top->SetParent(form);
  tool->SetParent(top);
  tool->SetFloating(true);
  Pump();
  auto* floating = dynamic_cast<TSkBarFloatingWindowParent*>(tool->FloatParent());
  ASSERT_NE(floating, nullptr);
  SkBarSkinManager()->SetSkin(L"Office XP");
  tb::TPoint border;
  tool->GetFloatingBorderSize(border);
  EXPECT_EQ(border.x, SkCurrentSkin().FloatingWindowBorderSize());
  const RECT w = Screen(floating);
  skbar_test::PaintSurface s(w.right - w.left, w.bottom - w.top, RGB(1, 2, 3));
  floating->PaintFrame(
      true, s.Dc(), tb::TTBFloatingWindowParent::rwFrame | tb::TTBFloatingWindowParent::rwCaption,
      nullptr);
  const RECT caption = floating->CaptionRect(true, true);
  EXPECT_EQ(s.Pixel(caption.right - 3, caption.bottom - 2),
            skbar_test::Rgb(SkCurrentSkin().Options(skncWindowTitleBar).Body.Color1));
  EXPECT_NE(s.Pixel(0, w.bottom - w.top - 1), RGB(1, 2, 3));  // the frame
  // A skin change keeps no thick frame without desktop composition (Wine has none).
  const HWND fw = floating->Handle();
  SetWindowLongW(fw, GWL_STYLE, GetWindowLongW(fw, GWL_STYLE) | WS_THICKFRAME);
  SkBarSkinManager()->SetSkin(L"Aluminum");
  EXPECT_FALSE(GetWindowLongW(fw, GWL_STYLE) & WS_THICKFRAME);
  // The close button is hot while the mouse is over it (real input), and not after it left.
  RECT closeButton = floating->CloseButtonRect(true);
  const RECT fr = Screen(floating);
  const POINT over{fr.left + (closeButton.left + closeButton.right) / 2,
                   fr.top + (closeButton.top + closeButton.bottom) / 2};
  EXPECT_TRUE(Script::Play({{0, {over.x - 40, over.y}}, {0, over}}));
  EXPECT_TRUE(floating->CloseButtonHot());
  EXPECT_TRUE(Script::Play({{0, {fr.left - 60, fr.top - 60}}}));
  EXPECT_FALSE(floating->CloseButtonHot());

  // A floating panel's form has no caption of its own (the panel's bar is the caption), and
  // closing the form closes the panel.
  TSkBarCustomDockablePanel* a = panels[0];
  a->SetFloating(true);
  Pump();
  EXPECT_FALSE(a->tb::TTBCustomDockableWindow::ShowCaption());
  EXPECT_GT(a->CaptionRect().Height(), 0);
  SendMessageW(a->FloatParent()->Handle(), WM_CLOSE, 0, 0);
  Pump();
  EXPECT_FALSE(a->Visible());
}

TEST_F(DockPanels, SkinnedDockBackground) {
  TSkBarDock* top = ui::Create<TSkBarDock>(*form);
  top->SetPosition(tb::TTBDockPosition::dpTop);
  top->SetParent(form);
  TSkBarCustomToolWindow* tool = ui::Create<TSkBarCustomToolWindow>(*form);
  tool->WantedClientSize = {60, 22};
  tool->SetParent(top);  // gives the dock its thickness
  Pump();
  ASSERT_GT(top->ClientHeight(), 20);
  ASSERT_GE(top->ClientWidth(), 200);
  const auto paint = [&] {
    auto s = std::make_unique<skbar_test::PaintSurface>(200, 30, RGB(1, 2, 3));
    const RECT draw{-top->Left(), -top->Top(), top->ClientWidth() - top->Left(),
                    top->ClientHeight() - top->Top()};
    top->DrawBackground(s->Dc(), draw);
    return s;
  };
  using skbar_test::Rgb;
  // Classic: the button face whatever the dock's own colour; themes: the rebar background.
  top->SetColor(0x00224466);
  for (bool themes : {true, false}) {
    SkBarSkinManager()->SetThemesOverride(themes);
    skbar_test::PaintSurface expected(200, 30, RGB(1, 2, 3));
    SkPaintDockBackground(expected.canvas, {0, 0, 200, top->ClientHeight()}, false,
                          themes ? sknWindows : sknNone);
    const auto s = paint();
    if (!themes) {
      EXPECT_EQ(s->Pixel(100, 5), Rgb(ui::clBtnFace));
    }
    for (const POINT p : {POINT{0, 0}, POINT{100, 5}, POINT{199, top->ClientHeight() - 1}})
      EXPECT_EQ(s->Pixel(p.x, p.y), expected.Pixel(p.x, p.y)) << themes << " " << p.x;
  }
  top->BackgroundColor = 0x00123456;
  EXPECT_EQ(paint()->Pixel(199, top->ClientHeight() - 1), Rgb(0x00123456));
  top->OnDrawBackground = [](ui::TComponent*, ui::TCanvas&, const TRect&, TSkBarPaintStage,
                             bool& paintDefault) { paintDefault = false; };
  EXPECT_EQ(paint()->Pixel(100, 5), RGB(1, 2, 3));
  top->OnDrawBackground = nullptr;
  top->BackgroundColor = clNone;
  // OnCanResize may change a new size or refuse it.
  const int height = top->Height();
  top->OnCanResize = [](ui::TComponent*, int& w, int&, bool& resize) {
    resize = w != 123;
    w = std::min(w, 300);
  };
  top->SetBounds(top->Left(), top->Top(), 123, height);
  EXPECT_NE(top->Width(), 123);
  top->SetBounds(top->Left(), top->Top(), 500, height);
  EXPECT_EQ(top->Width(), 300);
  top->OnCanResize = nullptr;
  // A skin: the skin's dock background, as its painter draws it across the dock.
  SkBarSkinManager()->SetSkin(L"Aluminum");
  skbar_test::PaintSurface expected(200, 30, RGB(1, 2, 3));
  SkPaintBackground(SkCurrentSkin(), expected.canvas, {0, 0, 200, top->ClientHeight()}, skncDock,
                    sknsNormal, true, false, false);
  ASSERT_NE(expected.Pixel(100, 10), RGB(1, 2, 3));
  const auto s = paint();
  for (const POINT p : {POINT{0, 0}, POINT{100, 10}, POINT{199, top->ClientHeight() - 1}})
    EXPECT_EQ(s->Pixel(p.x, p.y), expected.Pixel(p.x, p.y)) << p.x << "," << p.y;
}

// A dock that fills the client area fits its panels whenever it lays out its windows.
TEST_F(DockPanels, AClientDockFitsItsPanelsAtEveryLayout) {
  auto* client = ui::Create<TSkBarCustomMultiDock>(*form);
  client->SetPosition(TSkBarDockPosition::dpxClient);
  list->SetParent(nullptr);
  client->SetParent(form);
  for (TSkBarCustomDockablePanel* p : panels) p->SetCurrentDock(client);
  Pump();
  TSkBarCustomDockablePanel* first = panels[0]->DockPos() == 0 ? panels[0] : panels[1];
  first->SetBounds(first->Left(), first->Top(), first->Width(), first->Height() - 40);
  client->Realign();
  EXPECT_EQ(panels[0]->Height() + panels[1]->Height(), client->ClientHeight());
  EXPECT_EQ(panels[0]->Width(), client->ClientWidth());
}

// A child that notes the background message it is posted.
class Recorder : public ui::TCustomControl {
 public:
  using ui::TCustomControl::TCustomControl;
  std::wstring_view ClassName() const override { return name; }
  void WndProc(ui::TMessage& message) override {
    if (message.Msg == WM_SKBARINVALIDATEBACKGROUND)
      got.push_back({static_cast<int>(message.WParam), static_cast<int>(message.LParam)});
    ui::TCustomControl::WndProc(message);
  }
  std::wstring_view name = L"TRecorder";
  std::vector<std::pair<int, int>> got;
};

TEST_F(DockPanels, ConstraintsPositionDataAndBackgroundMessage) {
  TSkBarCustomDockablePanel* a = panels[0];
  TSkBarCustomDockablePanel* b = panels[1];
  EXPECT_TRUE(GetWindowLongW(a->Handle(), GWL_STYLE) & WS_CLIPCHILDREN);
  EXPECT_TRUE(a->IsResizable());
  const RECT ra = Screen(a);
  // Docked, the dock decides: its thickness always, its length with FixedDockedSize.
  a->SetWidth(90);
  EXPECT_EQ(a->Width(), 180);
  int minW, minH, maxW, maxH;
  a->ConstrainedResize(minW, minH, maxW, maxH);
  EXPECT_EQ(std::vector<int>({minW, maxW, minH, maxH}),
            std::vector<int>({180, 180, a->CaptionHeight() + a->Height() - a->ClientHeight(), 0}));
  a->FixedDockedSize = true;
  a->ConstrainedResize(minW, minH, maxW, maxH);
  EXPECT_EQ(std::vector<int>({minW, maxW, minH, maxH}),
            std::vector<int>({180, 180, ra.bottom - ra.top, ra.bottom - ra.top}));
  a->SetBounds(a->Left(), a->Top(), 100, 40);
  EXPECT_EQ(a->Width(), 180);
  EXPECT_EQ(a->Height(), ra.bottom - ra.top);
  a->FixedDockedSize = false;

  // The background message: posted with the child's size, not to plain containers nor to
  // hidden children.
  Recorder* posted = ui::Create<Recorder>(*form);
  Recorder* container = ui::Create<Recorder>(*form);
  Recorder* hidden = ui::Create<Recorder>(*form);
  container->name = L"TPanel";
  hidden->Hide();
  for (Recorder* r : {posted, container, hidden}) {
    r->SetBounds(0, 30, 40, 25);
    r->SetParent(b);
  }
  Pump();
  b->InvalidateBackground();
  Pump();
  EXPECT_EQ(posted->got, (std::vector<std::pair<int, int>>{{40, 25}}));
  EXPECT_TRUE(container->got.empty());
  EXPECT_TRUE(hidden->got.empty());

  // Position data: written and read back under the panel's name; a floating panel read as
  // minimised shows its caption bar only.
  a->SetName(L"FileListPanel");
  a->SetFloating(true);
  Pump();
  std::map<std::wstring, int> store;
  const tb::TTBPositionWriter writer{
      [&](const std::wstring& n, const std::wstring& v, int x) { store[n + L"." + v] = x; }};
  const tb::TTBPositionReader reader{[&](const std::wstring& n, const std::wstring& v, int d) {
    const auto f = store.find(n + L"." + v);
    return f == store.end() ? d : f->second;
  }};
  const int client = a->ClientHeight();
  a->WritePositionData(writer);
  EXPECT_EQ(store[L"FileListPanel.FloatingClientWidth"], a->ClientWidth());
  EXPECT_EQ(store[L"FileListPanel.FloatingClientHeight"], client);
  EXPECT_EQ(store[L"FileListPanel.State"], 0);
  EXPECT_EQ(store.count(L"FileListPanel.RestoreSize"), 1u);
  EXPECT_EQ(store.count(L"FileListPanel.ClientWidth"), 1u);
  store[L"FileListPanel.State"] = 1;
  a->ReadPositionData(reader);
  a->DoneReadingPositionData(reader);
  EXPECT_EQ(a->WindowState(), TPanelWindowState::wsMinimized);
  EXPECT_EQ(a->ClientHeight(), a->CaptionHeight());
  EXPECT_TRUE(a->Restore());
  EXPECT_EQ(a->ClientHeight(), client);
  store[L"FileListPanel.State"] = 7;  // out of range: normal
  a->ReadPositionData(reader);
  a->DoneReadingPositionData(reader);
  EXPECT_EQ(a->WindowState(), TPanelWindowState::wsNormal);
  // Stored sizes beyond the window range are held to it.
  store[L"FileListPanel.State"] = 1;
  store[L"FileListPanel.RestoreSize"] = INT_MAX;
  store[L"FileListPanel.FloatingClientWidth"] = INT_MAX;
  a->ReadPositionData(reader);
  a->DoneReadingPositionData(reader);
  EXPECT_TRUE(a->Restore());
  EXPECT_GT(a->ClientHeight(), a->CaptionHeight());
  EXPECT_LE(a->ClientHeight(), TSkBarCustomToolWindow::kMaxStoredClientSize);
  a->SetParent(dock);
  Pump();
  a->ReadPositionData(reader);
  a->WritePositionData(writer);
  EXPECT_EQ(store[L"FileListPanel.FloatingClientWidth"],
            TSkBarCustomToolWindow::kMaxStoredClientSize);
  EXPECT_TRUE(errors.empty());
}

TEST_F(DockPanels, VerticalCaptionInADockStackingLeftToRight) {
  TSkBarCustomMultiDock* bottom = ui::Create<TSkBarCustomMultiDock>(*form);
  bottom->SetPosition(TSkBarDockPosition::dpxBottom);
  bottom->SetParent(form);
  TSkBarCustomDockablePanel* a = panels[0];
  a->SetShowVerticalCaption(true);
  EXPECT_FALSE(a->IsVerticalTitleBar());  // the right dock stacks top to bottom
  a->SetCurrentDock(bottom);
  Pump();
  ASSERT_TRUE(a->IsVerticalTitleBar());
  const TRect c = a->CaptionRect();
  EXPECT_EQ(c.left, 0);
  EXPECT_EQ(c.Width(), a->CaptionHeight());
  EXPECT_EQ(c.Height(), a->ClientHeight());
  // The buttons end the bar at the bottom.
  const TRect close = a->CaptionButtonRect(TSkBarCustomDockablePanel::TCaptionButton::cbClose);
  EXPECT_TRUE(close.left >= c.left && close.right <= c.right && close.bottom > c.bottom - 25)
      << close.left << "," << close.top << "," << close.right << "," << close.bottom;
  tb::TPoint minSize, maxSize;
  a->GetMinMaxSize(minSize, maxSize);
  EXPECT_EQ(minSize.x, a->CaptionHeight());
  // The bar is painted down the left side; the body beside it.
  SkBarSkinManager()->SetThemesOverride(false);
  const auto s = Capture(a);
  const TColor bar = SkMixColors(ui::clBtnFace, ui::clBtnShadow, 80);
  EXPECT_EQ(s->Pixel(c.Width() / 2 + 4, close.top - 10), skbar_test::Rgb(bar));
  EXPECT_NE(s->Pixel(c.right + 10, a->ClientHeight() / 2), skbar_test::Rgb(bar));
  a->SetShowVerticalCaption(false);
  EXPECT_EQ(a->CaptionRect().Width(), a->ClientWidth());
  EXPECT_TRUE(errors.empty());
}

// Alone in a dock stacking left to right, a panel minimises to its caption bar across the dock
// (the dock narrows with it) and restores to the height it had.
TEST_F(DockPanels, ALonePanelOfADockStackingLeftToRightMinimises) {
  TSkBarCustomMultiDock* bottom = ui::Create<TSkBarCustomMultiDock>(*form);
  bottom->SetPosition(TSkBarDockPosition::dpxBottom);
  bottom->SetParent(form);
  TSkBarCustomDockablePanel* a = panels[0];
  a->SetCurrentDock(bottom);
  Pump();
  ASSERT_EQ(a->MultiDock(), bottom);
  const int height = a->Height(), dockHeight = bottom->Height();
  ASSERT_GT(a->ClientHeight(), a->CaptionHeight());
  std::vector<TPanelWindowState> fired;
  a->OnWindowStateChanged = [&fired](ui::TComponent*, TPanelWindowState s) { fired.push_back(s); };
  EXPECT_TRUE(a->Minimize());
  EXPECT_FALSE(a->Minimize());
  EXPECT_EQ(a->WindowState(), TPanelWindowState::wsMinimized);
  EXPECT_EQ(a->ClientHeight(), a->CaptionHeight());
  EXPECT_EQ(bottom->Height(), dockHeight - (height - a->Height()));
  EXPECT_FALSE(a->Maximize());
  EXPECT_TRUE(a->SizeToggle(false));
  EXPECT_EQ(a->Height(), height);
  EXPECT_EQ(bottom->Height(), dockHeight);
  EXPECT_EQ(fired, (std::vector{TPanelWindowState::wsMinimized, TPanelWindowState::wsNormal}));
  // With a second panel beside it neither minimises (their captions run across the dock).
  panels[1]->SetCurrentDock(bottom);
  Pump();
  EXPECT_FALSE(a->Minimize());
  EXPECT_TRUE(errors.empty());
}

}  // namespace
}  // namespace skbar
