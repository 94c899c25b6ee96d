// The main window's side panels as a user meets them under Wine: shown again after being hidden
// from the Options menu or by their caption's close button, docked again after floating, the
// right dock collapsed and restored by the splitter's grip (real clicks), and the keyboard
// moving the focus through the file list and the panels' lists.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "../../skbar/win32/real_input.h"
#include "../../tb/win32/menu_input.h"
#include "../../ui/win32/screen_check.h"
#include "main_form_fixture.h"
#include "skbar/win32/dk_panels.h"
#include "ui/win32/file_list_box.h"

namespace app::test {
namespace {

using skbar::TSkBarCustomDockablePanel;
using skbar_test::Script;

class MainPanelsTest : public MainFormTest {
 protected:
  void StartShown() {
    Start();
    SetForegroundWindow(form->Handle());
    Pump();
  }
  TSkBarCustomDockablePanel& Browser() const {
    return Part<TSkBarCustomDockablePanel>(L"FolderBrowserPanel");
  }
  TSkBarCustomDockablePanel& Images() const {
    return Part<TSkBarCustomDockablePanel>(L"FileListPanel");
  }
  skbar::TSkBarCustomMultiDock& Dock() const {
    return Part<skbar::TSkBarCustomMultiDock>(L"RightMultiDock");
  }
  skbar::TSkBarCustomSplitter& Splitter() const {
    return Part<skbar::TSkBarCustomSplitter>(L"RightSplitter");
  }
  // Opens the Options menu (which checks its items) and answers the item's check.
  bool Checked(const wchar_t* caption) {
    menus::TItem& options = *Item({L"&Options"});
    options.DoPopup(&options, false);
    return Item({L"&Options", caption})->Checked();
  }
  void Toggle(const wchar_t* caption) {
    Checked(caption);
    Choose(Item({L"&Options", caption}));
    Pump();
  }
  // The panel's window on screen, clipped by its dock's window: what the user sees of it.
  static RECT SeenRect(ui::TWinControl& panel, ui::TWinControl& dock) {
    RECT p{}, d{}, seen{};
    if (!IsWindowVisible(panel.Handle()) || !IsWindowVisible(dock.Handle())) return seen;
    GetWindowRect(panel.Handle(), &p);
    GetWindowRect(dock.Handle(), &d);
    IntersectRect(&seen, &p, &d);
    return seen;
  }
  // The panels as the user sees them: both inside the dock, the browser at least 160 px wide
  // and each with the height it had in `heights` (give or take the docked frame).
  void ExpectSharedAsBefore(std::pair<int, int> heights) {
    const RECT images = SeenRect(Images(), Dock()), browser = SeenRect(Browser(), Dock());
    EXPECT_GE(browser.right - browser.left, 160);
    EXPECT_NEAR(images.bottom - images.top, heights.first, 4);
    EXPECT_NEAR(browser.bottom - browser.top, heights.second, 4);
    EXPECT_LE(images.bottom, browser.top);  // the image list stays above the browser
  }
  std::pair<int, int> Heights() const { return {Images().Height(), Browser().Height()}; }
  void Resize(int width, int height) {
    SetWindowPos(form->Handle(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
  }
};

// Options > Show Browser twice: hidden, then shown again where it was, sharing the dock with
// the image list as before, and checked only while it can be seen.
TEST_F(MainPanelsTest, ShowBrowserBringsTheHiddenBrowserBackWhereItWas) {
  StartShown();
  const std::pair<int, int> before = Heights();
  ASSERT_GT(before.second, 50);
  EXPECT_TRUE(Checked(L"Show &Browser"));
  Toggle(L"Show &Browser");
  EXPECT_FALSE(Checked(L"Show &Browser"));
  EXPECT_FALSE(IsWindowVisible(Browser().Handle()));
  Toggle(L"Show &Browser");
  EXPECT_TRUE(Checked(L"Show &Browser"));
  ExpectSharedAsBefore(before);
}

// The caption's close button hides the browser (a real click); Show Browser brings it back.
TEST_F(MainPanelsTest, ABrowserClosedByItsCaptionButtonComesBack) {
  StartShown();
  const std::pair<int, int> before = Heights();
  const skbar::TRect close =
      Browser().CaptionButtonRect(TSkBarCustomDockablePanel::TCaptionButton::cbClose);
  ASSERT_GT(close.Width(), 0);
  POINT at{(close.left + close.right) / 2, (close.top + close.bottom) / 2};
  ClientToScreen(Browser().Handle(), &at);
  EXPECT_TRUE(Script::Play(Script::Clicks(at, 1)));
  EXPECT_FALSE(Browser().Visible());
  EXPECT_FALSE(Checked(L"Show &Browser"));
  Toggle(L"Show &Browser");
  EXPECT_TRUE(Checked(L"Show &Browser"));
  ExpectSharedAsBefore(before);
}

// Floated and docked again, also while the window was made small, a panel takes back the room
// it had once the window is as large as before: neither panel stays squeezed to its caption bar.
TEST_F(MainPanelsTest, APanelDockedAgainSharesTheDockAsBefore) {
  StartShown();
  Resize(900, 650);
  const std::pair<int, int> before = Heights();
  for (const SIZE whileAway : {SIZE{900, 650}, SIZE{500, 400}}) {
    Browser().ToggleDocking();
    Pump();
    ASSERT_TRUE(Browser().Floating());
    Resize(whileAway.cx, whileAway.cy);
    Browser().ToggleDocking();
    Pump();
    ASSERT_EQ(Browser().Parent(), &Dock());
    Resize(900, 650);
    ExpectSharedAsBefore(before);
  }
}

// Both panels hidden: the file list takes the dock's room, and its header shows nothing of
// where its edge was (the columns on screen at the old edge match those further right).
TEST_F(MainPanelsTest, NoLineOfTheSideDockStaysInTheFileListsHeader) {
  StartShown();
  RECT before{};
  GetWindowRect(List(), &before);
  Toggle(L"Show &Browser");
  Toggle(L"Show Image &List");
  UpdateWindow(form->Handle());
  Pump();
  RECT list{}, header{};
  GetWindowRect(List(), &list);
  GetWindowRect(ListView_GetHeader(List()), &header);
  ASSERT_GT(list.right, before.right + 40);
  const HDC screen = GetDC(nullptr);
  for (int x = before.right - 4; x <= before.right + 2; ++x)
    for (int y = header.top + 1; y < header.bottom - 1; ++y)
      EXPECT_EQ(GetPixel(screen, x, y), GetPixel(screen, before.right + 30, y)) << x << "," << y;
  ReleaseDC(nullptr, screen);
}

// A real click on the splitter's grip collapses the right dock, a second one restores it; while
// collapsed the Options menu checks neither panel, and Show Browser opens the dock again.
TEST_F(MainPanelsTest, TheSplittersGripCollapsesAndRestoresTheRightDock) {
  StartShown();
  const int width = Dock().Width();
  ASSERT_GT(Splitter().GripRect().Height(), 0);
  const auto click = [&] {
    // On the grip where the splitter is now; then away, so that two clicks make no double click.
    const skbar::TRect grip = Splitter().GripRect();
    POINT at{(grip.left + grip.right) / 2, (grip.top + grip.bottom) / 2};
    ClientToScreen(Splitter().Handle(), &at);
    EXPECT_TRUE(Script::Play(Script::Clicks(at, 1)));
    EXPECT_TRUE(Script::Play({{0, {at.x - 50, at.y}}}));
    Sleep(GetDoubleClickTime());
    Pump();
  };
  click();
  EXPECT_LE(Dock().Width(), 4);  // the panels' docked frames only
  EXPECT_FALSE(Checked(L"Show &Browser"));
  EXPECT_FALSE(Checked(L"Show Image &List"));
  click();
  EXPECT_EQ(Dock().Width(), width);
  EXPECT_TRUE(Checked(L"Show &Browser"));
  EXPECT_TRUE(Checked(L"Show Image &List"));

  click();
  Toggle(L"Show &Browser");
  EXPECT_TRUE(Checked(L"Show &Browser"));
  const RECT seen = SeenRect(Browser(), Dock());
  EXPECT_GE(seen.right - seen.left, 160);
}

// The window made very small and large again (and maximised and restored): the right dock,
// its splitter and the panels come back as they were, neither panel squeezed to its caption.
TEST_F(MainPanelsTest, TheSideDockComesBackAfterTheWindowWasMadeSmall) {
  StartShown();
  Resize(900, 650);
  const int width = Dock().Width(), splitter = Splitter().Width();
  const int status = Part<ui::TStatusBar>(L"StatusBar").Height();
  const int top = Part<ui::TControl>(L"TopDock").Height();
  const std::pair<int, int> before = Heights();
  ASSERT_GT(before.first, 100);
  ASSERT_GT(before.second, 100);
  Resize(110, 45);
  Resize(900, 650);
  EXPECT_EQ(Part<ui::TStatusBar>(L"StatusBar").Height(), status);
  EXPECT_EQ(Part<ui::TControl>(L"TopDock").Height(), top);
  EXPECT_EQ(Dock().Width(), width);
  EXPECT_EQ(Splitter().Width(), splitter);
  ExpectSharedAsBefore(before);
  ShowWindow(form->Handle(), SW_MAXIMIZE);
  Pump();
  ShowWindow(form->Handle(), SW_RESTORE);
  Pump();
  EXPECT_EQ(Dock().Width(), width);
  ExpectSharedAsBefore(before);
}

// Every change of the layout a user makes leaves the screen showing what a full repaint draws:
// no panel, caption or list left blank or stale.
TEST_F(MainPanelsTest, EveryLayoutChangeLeavesTheScreenAsAFullRepaintDrawsIt) {
  StartShown();
  const HWND main = form->Handle();
  EXPECT_TRUE(ui_test::ScreenEqualsFullRepaint(main)) << "at start";
  const auto clickAt = [](HWND wnd, const skbar::TRect& r) {
    POINT at{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(wnd, &at);
    EXPECT_TRUE(Script::Play(Script::Clicks(at, 1)));
    EXPECT_TRUE(Script::Play({{0, {at.x - 50, at.y}}}));
    Sleep(GetDoubleClickTime());
    Pump();
  };
  const auto dragSplitter = [&](int by) {
    RECT r;
    GetWindowRect(Splitter().Handle(), &r);
    const POINT from{(r.left + r.right) / 2, r.top + 40};
    const POINT to{from.x + by, from.y};
    EXPECT_TRUE(Script::Play({{0, from},
                              {MOUSEEVENTF_LEFTDOWN, from},
                              {0, {from.x + by / 2, from.y}},
                              {0, to},
                              {MOUSEEVENTF_LEFTUP, to}}));
    Pump();
  };
  const struct {
    const char* change;
    std::function<void()> make;
  } changes[] = {
      {"Show Browser off", [&] { Toggle(L"Show &Browser"); }},
      {"Show Browser on", [&] { Toggle(L"Show &Browser"); }},
      {"Show Image List off", [&] { Toggle(L"Show Image &List"); }},
      {"Show Image List on", [&] { Toggle(L"Show Image &List"); }},
      {"the browser's close button",
       [&] {
         clickAt(Browser().Handle(),
                 Browser().CaptionButtonRect(TSkBarCustomDockablePanel::TCaptionButton::cbClose));
       }},
      {"Show Browser after its close button", [&] { Toggle(L"Show &Browser"); }},
      {"the grip collapsing the dock",
       [&] { clickAt(Splitter().Handle(), Splitter().GripRect()); }},
      {"the grip restoring the dock", [&] { clickAt(Splitter().Handle(), Splitter().GripRect()); }},
      {"the grip collapsing the dock again",
       [&] { clickAt(Splitter().Handle(), Splitter().GripRect()); }},
      {"Show Browser on a collapsed dock", [&] { Toggle(L"Show &Browser"); }},
      {"the splitter dragged left", [&] { dragSplitter(-60); }},
      {"the splitter dragged right", [&] { dragSplitter(40); }},
      {"the browser floated",
       [&] {
         Browser().ToggleDocking();
         Pump();
       }},
      {"the browser docked again",
       [&] {
         Browser().ToggleDocking();
         Pump();
       }},
      {"the window resized", [&] { Resize(760, 560); }},
      {"the window maximised",
       [&] {
         ShowWindow(main, SW_MAXIMIZE);
         Pump();
       }},
      {"the window restored",
       [&] {
         ShowWindow(main, SW_RESTORE);
         Pump();
       }},
  };
  for (const auto& [change, make] : changes) {
    make();
    EXPECT_TRUE(ui_test::ScreenEqualsFullRepaint(main)) << "after " << change;
  }
}

// Hide, show, close, float and dock sequences over the two panels (real clicks and drags where
// a user's hand does it): after each step the right dock shows its panels in their order, a
// lone one filling the dock and two of them sharing it as at start (the image list 277 px
// long), none squeezed to its caption bar; and the screen is what a full repaint draws.
TEST_F(MainPanelsTest, EverySequenceOfHidingFloatingAndDockingLeavesBothPanelsTheirRoom) {
  StartShown();
  enum Which { list, browser };
  const auto panel = [&](Which w) -> TSkBarCustomDockablePanel& {
    return w == list ? Images() : Browser();
  };
  const auto pause = [] {
    Sleep(GetDoubleClickTime());  // the next press makes no double click
    Pump();
  };
  const auto close = [&](Which w) {
    const skbar::TRect r =
        panel(w).CaptionButtonRect(TSkBarCustomDockablePanel::TCaptionButton::cbClose);
    POINT at{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(panel(w).Handle(), &at);
    EXPECT_TRUE(Script::Play(Script::Clicks(at, 1)));
    pause();
  };
  const auto toggleDocking = [&](Which w) {
    panel(w).ToggleDocking();
    Pump();
  };
  // Drags the panel by its caption bar through `via` to the centre of `to` (screen points).
  const auto drag = [&](Which w, POINT via, const RECT& to) {
    const skbar::TRect c = panel(w).CaptionRect();
    POINT grab{c.left + 30, (c.top + c.bottom) / 2};
    ClientToScreen(panel(w).Handle(), &grab);
    const POINT drop{(to.left + to.right) / 2, (to.top + to.bottom) / 2};
    EXPECT_TRUE(Script::Play({{0, grab},
                              {MOUSEEVENTF_LEFTDOWN, grab},
                              {0, {grab.x + 40, grab.y + 40}},
                              {0, via},
                              {0, drop},
                              {MOUSEEVENTF_LEFTUP, drop}}));
    pause();
  };
  const auto screenOf = [](ui::TWinControl& c) {
    RECT r;
    GetWindowRect(c.Handle(), &r);
    return r;
  };
  auto& left = Part<skbar::TSkBarCustomMultiDock>(L"LeftMultiDock");
  const RECT window = screenOf(*form);
  const POINT middle{(window.left + window.right) / 2, (window.top + window.bottom) / 2};
  const auto toLeft = [&](Which w) { drag(w, middle, screenOf(left)); };
  const auto toRight = [&](Which w) { drag(w, middle, screenOf(Dock())); };

  struct Step {
    const char* what;
    std::function<void()> make;
    std::vector<Which> docked;  // the right dock's shown panels, top to bottom
  };
  const auto menu = [&](const wchar_t* caption) { return [&, caption] { Toggle(caption); }; };
  const wchar_t* const showList = L"Show Image &List";
  const wchar_t* const showBrowser = L"Show &Browser";
  const struct {
    const char* sequence;
    std::vector<Step> steps;
  } sequences[] = {
      {"hidden from the menu, the list first",
       {{"list hidden", menu(showList), {browser}},
        {"browser hidden", menu(showBrowser), {}},
        {"list shown", menu(showList), {list}},
        {"browser shown", menu(showBrowser), {list, browser}}}},
      {"hidden from the menu, the browser first",
       {{"browser hidden", menu(showBrowser), {list}},
        {"list hidden", menu(showList), {}},
        {"browser shown", menu(showBrowser), {browser}},
        {"list shown", menu(showList), {list, browser}}}},
      {"closed by the caption buttons",
       {{"list closed", [&] { close(list); }, {browser}},
        {"browser closed", [&] { close(browser); }, {}},
        {"browser shown", menu(showBrowser), {browser}},
        {"list shown", menu(showList), {list, browser}}}},
      {"floated and docked again",
       {{"list floated", [&] { toggleDocking(list); }, {browser}},
        {"browser floated", [&] { toggleDocking(browser); }, {}},
        {"browser docked", [&] { toggleDocking(browser); }, {browser}},
        {"list docked", [&] { toggleDocking(list); }, {list, browser}}}},
      {"floated, docked on the left and dragged back",
       {{"list floated", [&] { toggleDocking(list); }, {browser}},
        {"list dragged into the left dock", [&] { toLeft(list); }, {browser}},
        {"list dragged back into the right dock", [&] { toRight(list); }, {browser, list}},
        {"list dragged into the left dock again", [&] { toLeft(list); }, {browser}},
        {"browser hidden", menu(showBrowser), {}},
        {"browser shown", menu(showBrowser), {browser}},
        {"list dragged back again", [&] { toRight(list); }, {browser, list}}}},
  };
  // Each sequence starts where the one before ended: the list above the browser.
  for (const auto& [sequence, steps] : sequences) {
    for (const Step& step : steps) {
      step.make();
      const std::string at = std::string(sequence) + ": " + step.what;
      const int length = Dock().ClientHeight();
      int top = 0;
      for (const Which w : step.docked) {
        TSkBarCustomDockablePanel& p = panel(w);
        ASSERT_EQ(p.Parent(), &Dock()) << at;
        ASSERT_TRUE(IsWindowVisible(p.Handle())) << at;
        // Alone it fills the dock; with the other, the list keeps 277 px.
        const int wanted = step.docked.size() == 1 ? length : w == list ? 277 : length - 277;
        EXPECT_EQ(p.Top(), top) << at;
        EXPECT_NEAR(p.Height(), wanted, 4) << at;
        top += p.Height();
      }
      for (const Which w : {list, browser}) {
        const bool docked =
            std::find(step.docked.begin(), step.docked.end(), w) != step.docked.end();
        EXPECT_EQ(panel(w).Parent() == &Dock() && panel(w).Visible(), docked) << at;
      }
      EXPECT_TRUE(ui_test::ScreenEqualsFullRepaint(form->Handle())) << at;
    }
  }
}

// The panels' positions along the dock give their lengths at start: the image list 277 px
// long by default, the browser the rest (stored positions: MainMenuTest).
TEST_F(MainPanelsTest, ThePanelsStartWithTheSplitTheirPositionsGive) {
  StartShown();
  EXPECT_EQ(Images().Height(), 277);
  EXPECT_EQ(Browser().Top(), 277);
  EXPECT_GT(Browser().Height(), 100);
  // The browser docks at the sides only and minimises against the panels after it.
  EXPECT_EQ(Browser().DockableTo(), tb::DockableBit(tb::TTBDockPosition::dpLeft) |
                                        tb::DockableBit(tb::TTBDockPosition::dpRight));
  EXPECT_TRUE(Browser().Options().TaskPaneStyleResize);
  EXPECT_EQ(Images().DockableTo(), tb::kDockableToAll);
  EXPECT_FALSE(Images().Options().TaskPaneStyleResize);
  // Only the image list has a default dock.
  EXPECT_EQ(Images().DefaultDock(), &Part<skbar::TSkBarCustomMultiDock>(L"RightMultiDock"));
  EXPECT_EQ(Browser().DefaultDock(), nullptr);
}

// Real keys: Tab, Ctrl+Tab and Shift+Tab move the focus through the file list and the panels'
// lists, each reached once per round; a hidden panel's list is left out. In the folder browser
// the context-menu key opens its popup menu.
TEST_F(MainPanelsTest, TabMovesTheFocusThroughTheListsAndThePanels) {
  StartShown();
  SetFocus(List());
  Pump();
  const HWND images = Part<ui::TFileListBox>(L"FileListBox").Handle();
  const HWND folders = Part<ui::TDirectoryListBox>(L"FolderListBox").Handle();
  const auto round = [&](WORD modifier, bool backwards) {
    std::vector<HWND> seen;
    for (int i = 0; i < 3; ++i) {
      PressKey(VK_TAB, modifier, backwards ? VK_SHIFT : 0);
      Pump();
      seen.push_back(GetFocus());
    }
    return seen;
  };
  const std::vector<HWND> forwards = round(0, false);
  EXPECT_EQ(forwards.back(), List());
  EXPECT_EQ(std::count(forwards.begin(), forwards.end(), images), 1);
  EXPECT_EQ(std::count(forwards.begin(), forwards.end(), folders), 1);
  EXPECT_EQ(round(VK_CONTROL, false), forwards);
  EXPECT_EQ(round(0, true), (std::vector<HWND>{forwards[1], forwards[0], List()}));

  Toggle(L"Show &Browser");
  SetFocus(List());
  const std::vector<HWND> without = round(0, false);
  EXPECT_EQ(std::count(without.begin(), without.end(), folders), 0);
  EXPECT_EQ(without[0], images);
  EXPECT_EQ(without[1], List());
  Toggle(L"Show &Browser");

  SetFocus(folders);
  Pump();
  std::vector<std::wstring> shown;
  EXPECT_TRUE(tb::testing::RunScript([] { PressKey(VK_APPS); },
                                     {{300,
                                       [&] {
                                         tb::TTBPopupWindow* popup = nullptr;
                                         EnumThreadWindows(GetCurrentThreadId(), FindPopup,
                                                           reinterpret_cast<LPARAM>(&popup));
                                         if (popup) shown = Captions(&popup->View());
                                       }},
                                      {350, [] { PressKey(VK_ESCAPE); }}},
                                     [] { ui::Application->ProcessMessages(); }));
  EXPECT_EQ(shown, (std::vector<std::wstring>{L"Change &Drive", L"Go to &Current Directory"}));
  EXPECT_EQ(GetFocus(), folders);
}

}  // namespace
}  // namespace app::test
