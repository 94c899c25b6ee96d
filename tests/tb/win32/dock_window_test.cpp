// Docks and dockable windows in real windows under Wine: rows on all four edges, docking,
// floating and docking back, the floating form's rules (hidden while its form is minimised,
// owned by its form, a click that takes no activation, hit codes, Escape), and the drag and
// sizing loops driven by queued input, each under a time limit.
#include <windowsx.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "../../ui/win32/gui_fixture.h"
#include "../../ui/win32/screen_check.h"
#include "tb/hook.h"
#include "tb/item.h"
#include "tb/win32/common.h"
#include "tb/win32/dockable_window.h"
#include "ui/errors.h"
#include "ui/properties.h"
#include "ui/win32/controls.h"
#include "ui/win32/memo.h"

namespace tb {
namespace {

// A window whose content is 60 x 16 along its dock (16 x 60 on side docks).
class TestBar : public TTBCustomDockableWindow {
 public:
  explicit TestBar(ui::TComponent* owner) : TTBCustomDockableWindow(owner) {}
  void CalcLayoutSize(bool, TTBDockType dockType, bool, TTBDock*, TPoint& size) override {
    size = dockType == TTBDockType::dtLeftRight ? TPoint{16, 60} : TPoint{60, 16};
  }
  void GetCurrentClientSize(TPoint& size) override {
    CalcLayoutSize(false, DockType(), Floating(), CurrentDock(), size);
  }
  void GetMinMaxSize(TPoint& minSize, TPoint&) override { minSize = {40, 16}; }
  void ResizeTrack(RECT&, const RECT&) override { GetClipCursor(&clipWhileSizing); }
  RECT clipWhileSizing{};
  void WndProc(ui::TMessage& message) override {
    if (message.Msg == ui::CM_DIALOGKEY && message.WParam == VK_F9) {
      ++dialogKeys;
      message.Result = 1;
      return;
    }
    TTBCustomDockableWindow::WndProc(message);
  }
  int dialogKeys = 0;
  int paints = 0;

 protected:
  void Paint() override { ++paints; }
};

// Feeds a drag one mouse move per timer tick (so each move is painted before the next), then
// releases.
struct MoveScript {
  static inline HWND target = nullptr;
  static inline std::vector<POINT> points;
  static inline std::size_t next = 0;
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (next > points.size()) return;
    POINT p = next < points.size() ? points[next] : points.back();
    ScreenToClient(target, &p);
    PostMessageW(target, next < points.size() ? WM_MOUSEMOVE : WM_LBUTTONUP, 0,
                 MAKELPARAM(static_cast<short>(p.x), static_cast<short>(p.y)));
    ++next;
  }
};

void CALLBACK DropCapture(HWND, UINT, UINT_PTR, DWORD) {
  ReleaseCapture();
}

// Records the outline of outline-mode drags.
struct OutlineRecorder : TDragOutline {
  void Begin() override { ++begins; }
  void Draw(const RECT& newRect, const RECT&, SIZE newSize, SIZE) override {
    rects.push_back(newRect);
    sizes.push_back(newSize);
  }
  void End() override { ++ends; }
  int begins = 0, ends = 0;
  std::vector<RECT> rects;
  std::vector<SIZE> sizes;
};

// Ends a stuck loop: releases the capture after a while and says so.
struct TimeLimit {
  TimeLimit() {
    expired = false;
    id = SetTimer(nullptr, 0, 4000, Expire);
  }
  ~TimeLimit() { KillTimer(nullptr, id); }
  TimeLimit(const TimeLimit&) = delete;
  TimeLimit& operator=(const TimeLimit&) = delete;
  static void CALLBACK Expire(HWND, UINT, UINT_PTR, DWORD) {
    expired = true;
    ReleaseCapture();
  }
  static inline bool expired = false;
  UINT_PTR id;
};

// Real mouse input, one event per timer tick, so that modal loops run between them.
struct RealMouse {
  struct Step {
    DWORD flags;
    POINT at;
  };
  static inline std::vector<Step> steps;
  static inline std::size_t next = 0;
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (next >= steps.size()) return;
    const Step& s = steps[next++];
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = MulDiv(s.at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = MulDiv(s.at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = s.flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof in);
  }
  // Plays the steps while pumping; true when all were played and no capture is left.
  static bool Play(std::vector<Step> script) {
    steps = std::move(script);
    next = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, Tick);
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 4000 && (next < steps.size() || GetCapture())) {
      MSG msg;
      if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      } else {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
      }
    }
    KillTimer(nullptr, timer);
    ui::Application->ProcessMessages();
    return next == steps.size() && !GetCapture();
  }
};

class TbDockWindows : public UiGuiTest {
 protected:
  TbDockWindows() {
    form = ui::Application->CreateForm<ui::TForm>();
    form->SetBounds(100, 100, 600, 400);
    for (TTBDockPosition pos : {TTBDockPosition::dpTop, TTBDockPosition::dpBottom,
                                TTBDockPosition::dpLeft, TTBDockPosition::dpRight}) {
      TTBDock* dock = ui::Create<TTBDock>(*form);
      dock->SetPosition(pos);
      dock->SetParent(form);
      docks.push_back(dock);
    }
    top = docks[0];
    left = docks[2];
    form->Show();
    SetForegroundWindow(form->Handle());
    Pump();
  }
  ~TbDockWindows() override { SetDragOutline(nullptr); }

  TestBar* AddBar(TTBDock* dock, int row, int pos) {
    TestBar* bar = ui::Create<TestBar>(*form);
    bar->SetDockRow(row);
    bar->SetDockPos(pos);
    bar->SetParent(dock);
    return bar;
  }
  static RECT WindowRect(HWND wnd) {
    RECT r;
    GetWindowRect(wnd, &r);
    return r;
  }
  // Queues a mouse message at a screen point (through the form, which never moves).
  void PostMouse(UINT msg, POINT screen) {
    ScreenToClient(form->Handle(), &screen);
    PostMessageW(form->Handle(), msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON,
                 MAKELPARAM(static_cast<short>(screen.x), static_cast<short>(screen.y)));
  }
  void PostKey(UINT msg, WPARAM key) { PostMessageW(form->Handle(), msg, key, 1); }
  // Drags `bar` from client point (5, 5) through `points`, then releases.
  void Drag(TestBar* bar, std::vector<POINT> points, bool release = true) {
    for (POINT p : points) PostMouse(WM_MOUSEMOVE, p);
    if (release) PostMouse(WM_LBUTTONUP, points.back());
    TimeLimit limit;
    bar->BeginMoving(5, 5);
    EXPECT_FALSE(TimeLimit::expired);
    EXPECT_EQ(GetCapture(), nullptr);
    Pump();
  }

  // The screen shows what a full repaint of the form draws, and of the window's floating form
  // when it floats.
  void ExpectScreenAsRepainted(const char* after, TestBar* bar) {
    EXPECT_TRUE(ui_test::ScreenEqualsFullRepaint(form->Handle())) << "after " << after;
    if (!bar->Floating() || !bar->FloatParent()) return;
    EXPECT_TRUE(ui_test::ScreenEqualsFullRepaint(bar->FloatParent()->Handle()))
        << "after " << after << ", floating";
  }

  ui::TForm* form = nullptr;
  std::vector<TTBDock*> docks;
  TTBDock* top = nullptr;
  TTBDock* left = nullptr;
};

TEST_F(TbDockWindows, DocksOnAllFourEdgesKeepRowsAndOuterEdges) {
  TestBar* a = AddBar(top, 0, 10);
  TestBar* b = AddBar(top, 1, 0);
  TestBar* c = AddBar(docks[1], 0, 0);
  TestBar* d = AddBar(docks[3], 0, 30);
  Pump();
  const int clientW = form->ClientWidth(), clientH = form->ClientHeight();
  // Bars are 70 x 20 (handle 6 and borders 2 along, borders across).
  EXPECT_EQ(top->Height(), 40);
  EXPECT_EQ(a->BoundsRect(), (ui::TRect{10, 0, 80, 20}));
  EXPECT_EQ(b->BoundsRect(), (ui::TRect{0, 20, 70, 40}));
  EXPECT_EQ(docks[1]->Height(), 20);
  EXPECT_EQ(docks[1]->Top(), clientH - 20);  // the bottom edge stays
  EXPECT_EQ(c->BoundsRect(), (ui::TRect{0, 0, 70, 20}));
  EXPECT_EQ(docks[3]->Width(), 20);
  EXPECT_EQ(docks[3]->Left(), clientW - 20);  // the right edge stays
  EXPECT_EQ(d->BoundsRect(), (ui::TRect{0, 30, 20, 100}));
  EXPECT_EQ(left->Width(), 0);  // empty
  RECT client;
  GetClientRect(a->Handle(), &client);
  EXPECT_EQ(client.right, 60);
  EXPECT_EQ(client.bottom, 16);
  EXPECT_EQ(top->ToolbarCount(), 2);
  // A hidden window leaves the dock's visible list; its row keeps its number but no thickness.
  a->Hide();
  EXPECT_EQ(top->Height(), 20);
  EXPECT_EQ(top->ToolbarCount(), 1);
  EXPECT_EQ(b->Top(), 0);
  EXPECT_EQ(b->EffectiveDockRow(), 1);
  ExpectScreenAsRepainted("a window hidden", b);
  a->Show();
  EXPECT_EQ(top->Height(), 40);
  ExpectScreenAsRepainted("a window shown again", a);
  // The docked frame answers the drag-handle code.
  RECT w = WindowRect(a->Handle());
  EXPECT_EQ(SendMessageW(a->Handle(), WM_NCHITTEST, 0, MAKELPARAM(w.left + 3, w.top + 5)),
            kHitDockedFrame);
  // Refusals with the framework's texts.
  try {
    left->SetParent(a);
    ADD_FAILURE();
  } catch (const ui::EInvalidOperation& e) {
    EXPECT_STREQ(e.what(),
                 "A TTBDock control cannot be placed inside a tool window or another TTBDock");
  }
  EXPECT_THROW(top->SetPosition(TTBDockPosition::dpLeft), ui::EInvalidOperation);
}

TEST_F(TbDockWindows, BoundLinesSurviveTheNonClientFill) {
  TestBar* bar = AddBar(top, 0, 0);
  top->SetBoundLines(blTop | blBottom);
  Pump();
  EXPECT_EQ(top->Height(), 22);
  const HDC screen = GetDC(nullptr);
  const HDC dc = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, top->Width(), top->Height());
  ReleaseDC(nullptr, screen);
  const HGDIOBJ old = SelectObject(dc, bitmap);
  SendMessageW(top->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_NONCLIENT);
  EXPECT_EQ(GetPixel(dc, 300, 0), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(GetPixel(dc, 300, 21), GetSysColor(COLOR_BTNSHADOW));
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  EXPECT_EQ(bar->Top(), 0);  // in client coordinates, below the line

  // The docked frame: a raised edge, the single grip bar 3 pixels in, the rest in its colour.
  const HDC barDC = CreateCompatibleDC(nullptr);
  const HBITMAP barBitmap = CreateBitmap(bar->Width(), bar->Height(), 1, 32, nullptr);
  const HGDIOBJ oldBar = SelectObject(barDC, barBitmap);
  SendMessageW(bar->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(barDC), PRF_NONCLIENT);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  EXPECT_EQ(GetPixel(barDC, 0, 0), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(GetPixel(barDC, bar->Width() - 1, bar->Height() - 1), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(GetPixel(barDC, 1, 10), face);
  ASSERT_NE(GetSysColor(COLOR_3DLIGHT), face);
  EXPECT_EQ(GetPixel(barDC, 3, 10), GetSysColor(COLOR_3DLIGHT));    // the soft bar's light side
  EXPECT_EQ(GetPixel(barDC, 5, 10), GetSysColor(COLOR_BTNSHADOW));  // its dark side
  EXPECT_EQ(GetPixel(barDC, 7, 10), face);
  SelectObject(barDC, oldBar);
  DeleteObject(barBitmap);
  DeleteDC(barDC);
}

TEST_F(TbDockWindows, FloatsAndDocksBackKeepingItsLastDock) {
  TestBar* a = AddBar(top, 0, 0);
  TestBar* b = AddBar(top, 0, 100);
  Pump();
  // The thread's hooks serve floating windows only: none while every window is docked.
  EXPECT_EQ(HookHandle(0), 0u);
  EXPECT_EQ(HookHandle(1), 0u);
  a->SetFloatingPosition({300, 300});
  a->DoubleClick();  // docked: floats
  Pump();
  ASSERT_TRUE(a->Floating());
  EXPECT_NE(HookHandle(0), 0u);
  EXPECT_NE(HookHandle(1), 0u);
  ASSERT_NE(a->FloatParent(), nullptr);
  const HWND floatWnd = a->FloatParent()->Handle();
  EXPECT_EQ(a->Parent(), a->FloatParent());
  EXPECT_EQ(a->LastDock(), top);
  EXPECT_EQ(top->ToolbarCount(), 1);  // listed, not visible there
  EXPECT_EQ(top->DockList().size(), 2u);
  EXPECT_TRUE(IsWindowVisible(floatWnd));
  EXPECT_EQ(GetWindow(floatWnd, GW_OWNER), form->Handle());
  const RECT fr = WindowRect(floatWnd);
  EXPECT_EQ(fr.left, 300);
  EXPECT_EQ(fr.right - fr.left, 60 + 2 * GetSystemMetrics(SM_CXSIZEFRAME));
  EXPECT_EQ(a->Width(), 60);
  // Dialog keys on the dock reach the floating window that remembers it.
  EXPECT_EQ(top->Perform(ui::CM_DIALOGKEY, VK_F9), 1);
  EXPECT_EQ(a->dialogKeys, 1);
  ExpectScreenAsRepainted("a window floated", a);

  a->DoubleClick();  // floating: back to its last dock, the floating form freed
  Pump();
  EXPECT_EQ(a->CurrentDock(), top);
  EXPECT_EQ(a->FloatParent(), nullptr);
  EXPECT_FALSE(IsWindow(floatWnd));
  EXPECT_EQ(top->ToolbarCount(), 2);
  EXPECT_EQ(b->CurrentDock(), top);
  EXPECT_EQ(HookHandle(0), 0u);
  ExpectScreenAsRepainted("a window docked again", a);
}

// Every way onto the form itself leaves a plain child of the form, shown where it is visible.
TEST_F(TbDockWindows, AWindowMovedOntoItsFormShowsThere) {
  struct Case {
    const char* name;
    bool floatFirst;
    void (*move)(TestBar& bar, ui::TForm& form);
  };
  const Case cases[] = {
      {"floating, then not", true, [](TestBar& b, ui::TForm&) { b.SetFloating(false); }},
      {"docked, then the form as parent", false, [](TestBar& b, ui::TForm& f) { b.SetParent(&f); }},
      {"docked, then no dock", false, [](TestBar& b, ui::TForm&) { b.SetCurrentDock(nullptr); }},
      {"floating, then no dock", true, [](TestBar& b, ui::TForm&) { b.SetCurrentDock(nullptr); }},
      {"docked, then no dock restored", false,
       [](TestBar& b, ui::TForm&) {
         if (const ui::PropInfo* prop = ui::FindProp(b, L"CurrentDock")) prop->setObj(b, nullptr);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestBar* bar = AddBar(top, 0, 0);
    if (c.floatFirst) bar->SetFloating(true);
    Pump();
    c.move(*bar, *form);
    Pump();
    EXPECT_EQ(bar->Parent(), form);
    EXPECT_FALSE(bar->Docked());
    EXPECT_FALSE(bar->Floating());
    EXPECT_EQ(bar->FloatParent(), nullptr);
    EXPECT_EQ(top->ToolbarCount(), 0);
    EXPECT_TRUE(bar->Visible());
    EXPECT_TRUE(IsWindowVisible(bar->Handle()));
    // Hidden and shown again there, it follows.
    bar->Hide();
    EXPECT_FALSE(IsWindowVisible(bar->Handle()));
    bar->Show();
    EXPECT_TRUE(IsWindowVisible(bar->Handle()));
    ui::Free(bar);
  }
}

TEST_F(TbDockWindows, FloatingFormFollowsItsForm) {
  TestBar* a = AddBar(top, 0, 0);
  a->SetCaption(L"Tools");
  a->SetFloatingPosition({300, 300});
  a->SetFloating(true);
  Pump();
  const HWND floatWnd = a->FloatParent()->Handle();
  ASSERT_TRUE(IsWindowVisible(floatWnd));
  // Above its form.
  bool below = false;
  for (HWND w = GetWindow(floatWnd, GW_HWNDNEXT); w && !below; w = GetWindow(w, GW_HWNDNEXT))
    below = w == form->Handle();
  EXPECT_TRUE(below);
  ShowWindow(form->Handle(), SW_MINIMIZE);
  Pump();
  EXPECT_FALSE(IsWindowVisible(floatWnd));
  ShowWindow(form->Handle(), SW_RESTORE);
  SetForegroundWindow(form->Handle());
  Pump();
  EXPECT_TRUE(IsWindowVisible(floatWnd));
  EXPECT_EQ(GetActiveWindow(), form->Handle());

  // A click on it takes no activation; the form stays active.
  EXPECT_EQ(SendMessageW(floatWnd, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(form->Handle()),
                         MAKELPARAM(HTCAPTION, WM_LBUTTONDOWN)),
            MA_NOACTIVATE);
  EXPECT_EQ(GetActiveWindow(), form->Handle());

  // Hit codes of the frame; the size limits Windows asks for.
  const RECT r = WindowRect(floatWnd);
  const int bx = GetSystemMetrics(SM_CXSIZEFRAME);
  const int caption = GetSystemMetrics(SM_CYSMCAPTION);
  EXPECT_EQ(SendMessageW(floatWnd, WM_NCHITTEST, 0, MAKELPARAM(r.left + bx + 2, r.top + bx + 2)),
            kHitFloatingCaption);
  EXPECT_EQ(SendMessageW(floatWnd, WM_NCHITTEST, 0, MAKELPARAM(r.right - bx - 3, r.top + bx + 2)),
            kHitCloseButton);
  EXPECT_EQ(SendMessageW(floatWnd, WM_NCHITTEST, 0, MAKELPARAM(r.left, r.bottom - 1)),
            HTBOTTOMLEFT);
  EXPECT_EQ(
      SendMessageW(floatWnd, WM_NCHITTEST, 0, MAKELPARAM(r.left + 30, r.top + bx + caption + 5)),
      HTCLIENT);
  // Not resizable: the fixed frame and no sizing codes.
  a->SetResizable(false);
  const RECT fixed = WindowRect(floatWnd);
  EXPECT_EQ(fixed.right - fixed.left, 60 + 2 * GetSystemMetrics(SM_CXFIXEDFRAME));
  EXPECT_EQ(SendMessageW(floatWnd, WM_NCHITTEST, 0, MAKELPARAM(fixed.left, fixed.bottom - 1)),
            HTNOWHERE);
  a->SetResizable(true);
  MINMAXINFO info{};
  SendMessageW(floatWnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 1);
  EXPECT_EQ(info.ptMaxTrackSize.y, 32767);

  // Escape in the floating form gives the focus back to the form: to its active control when
  // it has one; Escape with Ctrl is left to others.
  SetFocus(a->Handle());
  EXPECT_EQ(a->FloatParent()->Perform(ui::CM_DIALOGKEY, VK_ESCAPE), 1);
  EXPECT_EQ(GetFocus(), form->Handle());
  auto* memo = ui::Create<ui::TMemo>(*form);
  memo->SetParent(form);
  form->SetActiveControl(memo);
  SetFocus(a->Handle());
  EXPECT_EQ(a->FloatParent()->Perform(ui::CM_DIALOGKEY, VK_ESCAPE), 1);
  EXPECT_EQ(GetFocus(), memo->Handle());
  SetFocus(a->Handle());
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  EXPECT_EQ(a->FloatParent()->Perform(ui::CM_DIALOGKEY, VK_ESCAPE), 0);
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  EXPECT_EQ(GetFocus(), a->Handle());

  // On top of all forms: owned by the application window and topmost; back again.
  a->SetFloatingMode(TTBFloatingMode::fmOnTopOfAllForms);
  EXPECT_EQ(GetWindow(floatWnd, GW_OWNER), ui::Application->Handle());
  EXPECT_TRUE(GetWindowLongW(floatWnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
  a->SetFloatingMode(TTBFloatingMode::fmOnTopOfParentForm);
  EXPECT_EQ(GetWindow(floatWnd, GW_OWNER), form->Handle());
  EXPECT_FALSE(GetWindowLongW(floatWnd, GWL_EXSTYLE) & WS_EX_TOPMOST);

  // WM_CLOSE on the floating form closes its form.
  bool formClosing = false;
  form->OnCloseQuery = [&](ui::TComponent*, bool& canClose) {
    formClosing = true;
    canClose = false;
  };
  SendMessageW(floatWnd, WM_CLOSE, 0, 0);
  EXPECT_TRUE(formClosing);
}

// A topmost floating form that changes owner goes directly below the nearest window above its
// owner that is topmost together with every window owning it.
TEST_F(TbDockWindows, ATopmostFloatingFormGoesBelowAWindowTopmostWithItsOwners) {
  TestBar* a = AddBar(top, 0, 0);
  a->SetFloatingMode(TTBFloatingMode::fmOnTopOfAllForms);
  a->SetFloating(true);
  Pump();
  const HWND floatWnd = a->FloatParent()->Handle();
  const auto popup = [](DWORD exStyle, HWND owner) {
    return CreateWindowExW(exStyle, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 20, 20, owner,
                           nullptr, nullptr, nullptr);
  };
  SetWindowPos(form->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  const HWND plainOwner = popup(0, nullptr);
  const HWND ownedTopmost = popup(WS_EX_TOPMOST, plainOwner);  // its owner is not topmost
  const HWND topmost = popup(WS_EX_TOPMOST, nullptr);
  ASSERT_FALSE(GetWindowLongW(plainOwner, GWL_EXSTYLE) & WS_EX_TOPMOST);
  // From the top: the free topmost window, the owned one, then the form.
  std::vector<HWND> order;
  for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT))
    if (w == topmost || w == ownedTopmost || w == form->Handle()) order.push_back(w);
  ASSERT_EQ(order, (std::vector<HWND>{topmost, ownedTopmost, form->Handle()}));

  a->SetFloatingMode(TTBFloatingMode::fmOnTopOfParentForm);
  EXPECT_EQ(GetWindow(floatWnd, GW_OWNER), form->Handle());
  EXPECT_TRUE(GetWindowLongW(floatWnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(GetWindow(floatWnd, GW_HWNDPREV), topmost);
  for (HWND w : {topmost, ownedTopmost, plainOwner}) DestroyWindow(w);
}

TEST_F(TbDockWindows, FloatingFormHidesWhileTheWindowItsFormSitsInIsMinimised) {
  // The bar's form is a child window of the main form.
  auto* inner = ui::Application->CreateForm<ui::TForm>();
  inner->SetBounds(0, 0, 200, 100);
  SetWindowLongPtrW(inner->Handle(), GWL_STYLE,
                    (GetWindowLongPtrW(inner->Handle(), GWL_STYLE) & ~WS_POPUP) | WS_CHILD);
  ::SetParent(inner->Handle(), form->Handle());
  inner->Show();
  TTBDock* dock = ui::Create<TTBDock>(*inner);
  dock->SetParent(inner);
  TestBar* a = ui::Create<TestBar>(*inner);
  a->SetParent(dock);
  a->SetHideWhenInactive(false);
  a->SetFloatingPosition({300, 300});
  a->SetFloating(true);
  Pump();
  const HWND floatWnd = a->FloatParent()->Handle();
  ASSERT_TRUE(IsWindowVisible(floatWnd));
  ShowWindow(form->Handle(), SW_MINIMIZE);
  Pump();
  EXPECT_FALSE(IsWindowVisible(floatWnd));
  ShowWindow(form->Handle(), SW_RESTORE);
  Pump();
  EXPECT_TRUE(IsWindowVisible(floatWnd));
}

// A window that may be dragged by one of its child controls.
class GripBar : public TestBar {
 public:
  using TestBar::TestBar;
  ui::TControl* grip = nullptr;
  int changingHidden = 0;

 protected:
  bool ChildControlExcluded(ui::TControl& control) override { return &control == grip; }
  void DockChangingHidden(bool floating, TTBDock* dockingTo) override {
    ++changingHidden;
    TestBar::DockChangingHidden(floating, dockingTo);
  }
};

TEST_F(TbDockWindows, AnExcludedChildControlIsNoChildForAPressAndTheHiddenHookFires) {
  GripBar* bar = ui::Create<GripBar>(*form);
  bar->SetParent(top);
  EXPECT_EQ(bar->changingHidden, 1);
  ui::TPanel* controls[2];
  for (int i = 0; i < 2; ++i) {
    controls[i] = ui::Create<ui::TPanel>(*form);
    controls[i]->SetParent(bar);
    controls[i]->SetBounds(10 + 20 * i, 2, 10, 10);
  }
  bar->grip = controls[0];
  bool onChild = false;
  bar->PointOnChildControl({15, 5}, onChild);
  EXPECT_FALSE(onChild);
  bar->PointOnChildControl({35, 5}, onChild);
  EXPECT_TRUE(onChild);
  int events = 0;
  bar->OnDockChangingHidden = [&](ui::TComponent*, bool floating, TTBDock* dock) {
    ++events;
    EXPECT_TRUE(floating);
    EXPECT_EQ(dock, nullptr);
  };
  bar->SetFloating(true);
  EXPECT_EQ(bar->changingHidden, 2);
  EXPECT_EQ(events, 1);
}

// A window of another thread that takes the activation while it lives.
class ForeignWindow {
 public:
  ForeignWindow() {
    ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    quit_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, Main, this, 0, nullptr);
    WaitForSingleObject(ready_, 5000);
  }
  ~ForeignWindow() {
    SetEvent(quit_);
    WaitForSingleObject(thread_, 5000);
    for (HANDLE h : {thread_, ready_, quit_}) CloseHandle(h);
  }
  ForeignWindow(const ForeignWindow&) = delete;
  ForeignWindow& operator=(const ForeignWindow&) = delete;

 private:
  static DWORD WINAPI Main(void* self) {
    auto* f = static_cast<ForeignWindow*>(self);
    const HWND wnd = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 900, 700, 50,
                                     50, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(wnd);
    SetActiveWindow(wnd);
    SetEvent(f->ready_);
    while (MsgWaitForMultipleObjects(1, &f->quit_, FALSE, 5000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    DestroyWindow(wnd);
    return 0;
  }
  HANDLE ready_ = nullptr, quit_ = nullptr, thread_ = nullptr;
};

TEST_F(TbDockWindows, FloatingFormHidesWhileTheApplicationIsInactive) {
  TestBar* a = AddBar(top, 0, 0);
  a->SetFloatingPosition({300, 300});
  a->SetFloating(true);
  Pump();
  const HWND floatWnd = a->FloatParent()->Handle();
  ASSERT_TRUE(IsWindowVisible(floatWnd));
  EXPECT_FALSE(a->InactiveCaption());
  {
    ForeignWindow other;
    Sleep(50);
    Pump();
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_FALSE(IsWindowVisible(floatWnd));
    a->SetHideWhenInactive(false);  // shown again, with an inactive caption
    EXPECT_TRUE(IsWindowVisible(floatWnd));
    EXPECT_TRUE(a->InactiveCaption());
    a->SetHideWhenInactive(true);
  }
  SetForegroundWindow(form->Handle());
  Pump();
  EXPECT_TRUE(IsWindowVisible(floatWnd));
  EXPECT_FALSE(a->InactiveCaption());
}

// A form standing in for a framework popup menu (it has the popup-window interface).
class PopupStandIn : public ui::TForm, public TTBPopupWindowBase {
 public:
  using ui::TForm::TForm;
  TTBView& View() override { throw std::logic_error("no view"); }
};

TEST_F(TbDockWindows, AnActivePopupMenuLeavesTheFloatingCaptionAsItIs) {
  TestBar* a = AddBar(top, 0, 0);
  a->SetFloatingPosition({300, 300});
  a->SetFloating(true);
  auto* popup = ui::Application->CreateForm<PopupStandIn>();
  auto* other = ui::Application->CreateForm<ui::TForm>();
  for (ui::TForm* f : {static_cast<ui::TForm*>(popup), other}) {
    f->SetBounds(700, 500, 80, 60);
    f->Show();
  }
  // (window activated, caption inactive afterwards)
  const std::vector<std::pair<ui::TForm*, bool>> steps{
      {form, false}, {popup, false}, {other, true}, {popup, true}, {form, false}};
  for (const auto& [f, inactive] : steps) {
    SetActiveWindow(f->Handle());
    Pump();
    EXPECT_EQ(GetActiveWindow(), f->Handle());
    EXPECT_EQ(a->InactiveCaption(), inactive) << (f == popup ? "popup" : "form");
  }
}

TEST_F(TbDockWindows, FloatingFormOutlivesTheFormThatOwnsIt) {
  ui::TForm* other = ui::Application->CreateForm<ui::TForm>();
  other->SetBounds(50, 50, 300, 200);
  TTBDock* dock = ui::Create<TTBDock>(*other);
  dock->SetParent(other);
  other->Show();
  TestBar* a = AddBar(top, 0, 0);
  a->SetParent(dock);
  a->SetFloating(true);
  other->SetActiveControl(nullptr);
  SetForegroundWindow(other->Handle());
  Pump();
  const HWND floatWnd = a->FloatParent()->Handle();
  EXPECT_EQ(GetWindow(floatWnd, GW_OWNER), other->Handle());
  int docking = 0;
  a->OnDockChanging = [&](ui::TComponent*, bool, TTBDock*) { ++docking; };
  ui::Free(other);
  Pump();
  // Freeing a docked window fires no docking events.
  TestBar* b = AddBar(top, 0, 100);
  b->OnDockChanging = a->OnDockChanging;
  ui::Free(b);
  EXPECT_EQ(docking, 0);
  EXPECT_EQ(top->DockList().size(), 0u);
  ASSERT_TRUE(IsWindow(floatWnd));
  EXPECT_EQ(GetWindow(floatWnd, GW_OWNER), ui::Application->Handle());
  EXPECT_EQ(a->LastDock(), nullptr);
  // It belongs to no form now, so it has none to go to (not even its floating form).
  a->SetName(L"Tools");
  EXPECT_EQ(GetToolWindowParentForm(*a), nullptr);
  for (auto leave : {+[](TestBar& bar) { bar.SetCurrentDock(nullptr); },
                     +[](TestBar& bar) { bar.SetFloating(false); }}) {
    try {
      leave(*a);
      ADD_FAILURE() << "no error";
    } catch (const ui::EInvalidOperation& e) {
      EXPECT_STREQ(e.what(), "Control 'Tools' has no parent window");
    }
    EXPECT_TRUE(a->Floating());
    EXPECT_EQ(a->FloatParent()->Handle(), floatWnd);
  }
}

TEST_F(TbDockWindows, DragMovesBetweenDocksAndFloats) {
  TestBar* a = AddBar(top, 0, 0);
  Pump();
  const RECT leftRect = WindowRect(left->Handle());
  const RECT topRect = WindowRect(top->Handle());
  // Onto the empty left dock (a 0-pixel strip at the client's left edge).
  Drag(a, {{leftRect.left + 2, leftRect.top + 120}});
  EXPECT_EQ(a->CurrentDock(), left);
  EXPECT_EQ(left->Width(), 20);
  EXPECT_EQ(a->Height(), 70);
  // The smooth drag changed the dock in full: the left dock is its last dock and only it lists
  // the window, so floating and docking back returns it there.
  EXPECT_EQ(a->LastDock(), left);
  EXPECT_TRUE(top->DockList().empty());
  EXPECT_EQ(left->DockList(), std::vector<TTBCustomDockableWindow*>{a});
  ExpectScreenAsRepainted("a drag to another dock", a);
  a->DoubleClick();
  ASSERT_TRUE(a->Floating());
  a->DoubleClick();
  EXPECT_EQ(a->CurrentDock(), left);
  // Back onto the top dock, 200 pixels in.
  Drag(a, {{topRect.left + 200, topRect.top + 5}});
  EXPECT_EQ(a->CurrentDock(), top);
  EXPECT_EQ(a->DockRow(), 0);
  EXPECT_EQ(a->Left(), 200 - MulDivRound(69, 7, 19));  // the grab keeps its proportion
  ExpectScreenAsRepainted("a drag back to the first dock", a);
  // Moving along the dock repaints the window at most once per mouse move.
  MoveScript::target = form->Handle();
  MoveScript::points.clear();
  for (int x = 210; x <= 330; x += 20)
    MoveScript::points.push_back({topRect.left + x, topRect.top + 5});
  MoveScript::next = 0;
  a->paints = 0;
  const UINT_PTR script = SetTimer(nullptr, 0, 20, MoveScript::Tick);
  {
    TimeLimit limit;
    a->BeginMoving(5, 5);
    EXPECT_FALSE(TimeLimit::expired);
  }
  KillTimer(nullptr, script);
  EXPECT_EQ(MoveScript::next, MoveScript::points.size() + 1);
  EXPECT_LE(a->paints, static_cast<int>(MoveScript::points.size()));
  EXPECT_GE(a->Left(), 300);
  // Away from every dock: it floats there, keeping the row and position it asked for before
  // the drag (not those the dock gave it).
  a->SetDockRow(3);
  a->SetDockPos(-1);
  ASSERT_EQ(a->EffectiveDockRow(), 0);
  Drag(a, {{topRect.left + 250, topRect.top + 220}});
  ASSERT_TRUE(a->Floating());
  const RECT fr = WindowRect(a->FloatParent()->Handle());
  EXPECT_LT(fr.left, topRect.left + 250);
  EXPECT_GT(fr.right, topRect.left + 250);
  EXPECT_EQ(a->DockRow(), 3);
  EXPECT_EQ(a->DockPos(), -1);
}

// A bar of 400 along its dock that can shrink to 30, as a chevron toolbar can.
class ShrinkBar : public TestBar {
 public:
  using TestBar::TestBar;
  void CalcLayoutSize(bool, TTBDockType, bool, TTBDock*, TPoint& size) override {
    size = {400, 16};
  }
  void GetShrinkLimit(int& minLength) override { minLength = 30; }
  TTBShrinkMode QueryShrinkMode() override { return TTBShrinkMode::tbsmChevron; }
};

// Samples the cursor while a loop runs.
struct CursorWatch {
  static inline bool sawSizeWE = false;
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (GetCursor() == LoadCursorW(nullptr, IDC_SIZEWE)) sawSizeWE = true;
  }
};

TEST_F(TbDockWindows, RealMouseSplitsAnOverfullRowThroughTheDesktopOutline) {
  ShrinkBar* a = ui::Create<ShrinkBar>(*form);
  a->SetParent(top);
  ShrinkBar* b = ui::Create<ShrinkBar>(*form);
  b->SetDockPos(300);
  b->SetParent(top);
  b->SetSmoothDrag(false);  // the halftone outline on the desktop, then one placement
  Pump();
  ASSERT_LT(a->Width() + b->Width(), 2 * 400);  // the row had to shrink
  const RECT ra = WindowRect(a->Handle()), rb = WindowRect(b->Handle());
  const POINT grip{rb.left + 3, rb.top + 10};
  // Along the row past a's left edge: split mode keeps b after a, where plain dragging would
  // put it first.
  const POINT past{ra.left - 20 + 3, grip.y};
  CursorWatch::sawSizeWE = false;
  const UINT_PTR watch = SetTimer(nullptr, 0, 10, CursorWatch::Tick);
  const bool played = RealMouse::Play({{0, grip},
                                       {MOUSEEVENTF_LEFTDOWN, grip},
                                       {0, {grip.x - 15, grip.y}},
                                       {0, {grip.x - 100, grip.y}},
                                       {0, past},
                                       {MOUSEEVENTF_LEFTUP, past}});
  KillTimer(nullptr, watch);
  ASSERT_TRUE(played);
  EXPECT_TRUE(CursorWatch::sawSizeWE);
  EXPECT_EQ(b->CurrentDock(), top);
  EXPECT_EQ(b->DockRow(), a->DockRow());
  EXPECT_GT(b->Left(), a->Left());
  // The outline let go of the desktop: another lock can be taken.
  EXPECT_TRUE(LockWindowUpdate(form->Handle()));
  LockWindowUpdate(nullptr);
}

TEST_F(TbDockWindows, RealMouseDragsByTheGripAndDoubleClickFloats) {
  TestBar* a = AddBar(top, 0, 0);
  Pump();
  const RECT bar = WindowRect(a->Handle());
  const RECT leftRect = WindowRect(left->Handle());
  const POINT grip{bar.left + 3, bar.top + 10};
  const POINT onLeft{leftRect.left + 2, leftRect.top + 120};
  ASSERT_TRUE(RealMouse::Play({{0, grip},
                               {MOUSEEVENTF_LEFTDOWN, grip},
                               {0, {grip.x + 30, grip.y + 40}},
                               {0, onLeft},
                               {MOUSEEVENTF_LEFTUP, onLeft}}));
  EXPECT_EQ(a->CurrentDock(), left);
  EXPECT_TRUE(IsWindowVisible(a->Handle()));  // it floated on the way
  // A double click on the grip floats it (the first click's drag loop ends on its release).
  const RECT docked = WindowRect(a->Handle());
  const POINT leftGrip{docked.left + 10, docked.top + 3};
  ASSERT_TRUE(RealMouse::Play({{0, leftGrip},
                               {MOUSEEVENTF_LEFTDOWN, leftGrip},
                               {MOUSEEVENTF_LEFTUP, leftGrip},
                               {MOUSEEVENTF_LEFTDOWN, leftGrip},
                               {MOUSEEVENTF_LEFTUP, leftGrip}}));
  ASSERT_TRUE(a->Floating());
  Pump();
  // The floating form's right edge sizes it; its caption drags it back onto the top dock.
  RECT floating = WindowRect(a->FloatParent()->Handle());
  const int width = floating.right - floating.left;
  const POINT edge{floating.right - 1, (floating.top + floating.bottom) / 2};
  ASSERT_TRUE(RealMouse::Play({{0, edge},
                               {MOUSEEVENTF_LEFTDOWN, edge},
                               {0, {edge.x + 40, edge.y}},
                               {MOUSEEVENTF_LEFTUP, {edge.x + 40, edge.y}}}));
  floating = WindowRect(a->FloatParent()->Handle());
  EXPECT_EQ(floating.right - floating.left, width + 40);
  const RECT topRect = WindowRect(top->Handle());
  const POINT caption{floating.left + 20, floating.top + GetSystemMetrics(SM_CYSIZEFRAME) + 4};
  const POINT onTop{topRect.left + 150, topRect.top + 2};
  ASSERT_TRUE(RealMouse::Play({{0, caption},
                               {MOUSEEVENTF_LEFTDOWN, caption},
                               {0, {caption.x + 5, caption.y + 5}},
                               {0, onTop},
                               {MOUSEEVENTF_LEFTUP, onTop}}));
  EXPECT_EQ(a->CurrentDock(), top);
  EXPECT_TRUE(IsWindowVisible(a->Handle()));
  EXPECT_EQ(a->FloatParent(), nullptr);  // freed once docked
}

TEST_F(TbDockWindows, DragRulesForModesCtrlEscapeAndLostCapture) {
  TestBar* a = AddBar(top, 0, 40);
  Pump();
  const RECT topRect = WindowRect(top->Handle());
  const RECT leftRect = WindowRect(left->Handle());
  // May not float: a drag ending away from the docks leaves it docked.
  a->SetDockMode(TTBDockMode::dmCannotFloat);
  Drag(a, {{topRect.left + 250, topRect.top + 220}});
  EXPECT_EQ(a->CurrentDock(), top);
  EXPECT_FALSE(a->Floating());

  // Ctrl held keeps it floating over a dock; releasing Ctrl docks it at once.
  a->SetDockMode(TTBDockMode::dmCanFloat);
  PostKey(WM_KEYDOWN, VK_CONTROL);
  Drag(a, {{leftRect.left + 2, leftRect.top + 120}});
  EXPECT_TRUE(a->Floating());
  PostKey(WM_KEYDOWN, VK_CONTROL);
  PostMouse(WM_MOUSEMOVE, {leftRect.left + 2, leftRect.top + 120});
  PostKey(WM_KEYUP, VK_CONTROL);
  Drag(a, {{leftRect.left + 2, leftRect.top + 120}});
  EXPECT_EQ(a->CurrentDock(), left);

  // Outline mode: the outline follows the pointer; Escape leaves the window where it was.
  TestBar* b = AddBar(top, 0, 200);
  Pump();
  const ui::TRect before = b->BoundsRect();
  b->SetSmoothDrag(false);
  OutlineRecorder outline;
  SetDragOutline(&outline);
  PostMouse(WM_MOUSEMOVE, {leftRect.left + 2, leftRect.top + 150});
  PostKey(WM_KEYDOWN, VK_ESCAPE);
  {
    TimeLimit limit;
    b->BeginMoving(5, 5);
    EXPECT_FALSE(TimeLimit::expired);
  }
  EXPECT_EQ(b->CurrentDock(), top);
  EXPECT_EQ(b->BoundsRect(), before);
  EXPECT_EQ(outline.begins, 1);
  EXPECT_EQ(outline.ends, 1);
  ASSERT_GE(outline.rects.size(), 2u);
  EXPECT_EQ(outline.sizes.front().cx, 1);           // a docked outline is 1 pixel thick
  EXPECT_TRUE(IsRectEmpty(&outline.rects.back()));  // erased at the end

  // Outline mode accepted: applied on release.
  Drag(b, {{leftRect.left + 2, leftRect.top + 150}});
  EXPECT_EQ(b->CurrentDock(), left);

  // Lost capture ends the loop without a hang.
  const UINT_PTR timer = SetTimer(nullptr, 0, 100, DropCapture);
  Drag(b, {{topRect.left + 300, topRect.top + 5}}, false);
  KillTimer(nullptr, timer);
}

TEST_F(TbDockWindows, SizingFollowsTheEdgeWithinLimitsAndFreesTheClip) {
  TestBar* a = AddBar(top, 0, 0);
  a->SetFloatingPosition({400, 300});
  a->SetFloating(true);
  Pump();
  const HWND floatWnd = a->FloatParent()->Handle();
  const RECT start = WindowRect(floatWnd);
  RECT full;
  GetClipCursor(&full);
  // The right edge moves out by 30; the cursor is clipped to the screen meanwhile.
  SetCursorPos(start.right - 1, start.top + 20);
  PostMouse(WM_MOUSEMOVE, {start.right + 29, start.top + 20});
  PostMouse(WM_LBUTTONUP, {start.right + 29, start.top + 20});
  {
    TimeLimit limit;
    a->BeginSizing(TTBSizeHandle::twshRight);
    EXPECT_FALSE(TimeLimit::expired);
  }
  const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  EXPECT_TRUE(EqualRect(&a->clipWhileSizing, &screen));
  RECT now = WindowRect(floatWnd);
  EXPECT_EQ(now.left, start.left);
  EXPECT_GE(now.right, start.right + 29);
  EXPECT_EQ(a->Width(), now.right - now.left - 2 * GetSystemMetrics(SM_CXSIZEFRAME));

  // From the left, below the minimum width: the left edge stops, the right edge stays.
  const RECT before = now;
  SetCursorPos(before.left, before.top + 20);
  PostMouse(WM_MOUSEMOVE, {before.left + 200, before.top + 20});
  PostMouse(WM_LBUTTONUP, {before.left + 200, before.top + 20});
  {
    TimeLimit limit;
    a->BeginSizing(TTBSizeHandle::twshLeft);
    EXPECT_FALSE(TimeLimit::expired);
  }
  now = WindowRect(floatWnd);
  EXPECT_EQ(now.right, before.right);
  EXPECT_EQ(a->Width(), 40);
  RECT after;
  GetClipCursor(&after);
  EXPECT_TRUE(EqualRect(&after, &full));

  // Escape ends a sizing without applying it and frees the clip too.
  const RECT kept = now;
  SetCursorPos(kept.right - 1, kept.top + 20);
  PostMouse(WM_MOUSEMOVE, {kept.right + 50, kept.top + 20});
  PostKey(WM_KEYDOWN, VK_ESCAPE);
  a->SetSmoothDrag(false);
  OutlineRecorder outline;
  SetDragOutline(&outline);
  {
    TimeLimit limit;
    a->BeginSizing(TTBSizeHandle::twshRight);
    EXPECT_FALSE(TimeLimit::expired);
  }
  now = WindowRect(floatWnd);
  EXPECT_TRUE(EqualRect(&now, &kept));
  GetClipCursor(&after);
  EXPECT_TRUE(EqualRect(&after, &full));
  EXPECT_EQ(outline.ends, 1);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(TbDockWindows, CloseButtonClosesOnlyWhenReleasedOverIt) {
  TestBar* a = AddBar(top, 0, 0);
  a->SetFloatingPosition({300, 300});
  a->SetFloating(true);
  Pump();
  const HWND floatWnd = a->FloatParent()->Handle();
  const RECT r = WindowRect(floatWnd);
  const POINT button{r.right - GetSystemMetrics(SM_CXSIZEFRAME) - 4,
                     r.top + GetSystemMetrics(SM_CYSIZEFRAME) + 3};
  int closed = 0;
  a->OnClose = [&](ui::TComponent*) { ++closed; };
  SetCursorPos(button.x, button.y);
  PostMouse(WM_LBUTTONUP, {button.x - 40, button.y + 40});
  SendMessageW(floatWnd, WM_NCLBUTTONDOWN, kHitCloseButton, MAKELPARAM(button.x, button.y));
  EXPECT_EQ(closed, 0);
  EXPECT_TRUE(a->Visible());
  bool veto = true;
  a->OnCloseQuery = [&](ui::TComponent*, bool& canClose) { canClose = !veto; };
  PostMouse(WM_LBUTTONUP, button);
  SendMessageW(floatWnd, WM_NCLBUTTONDOWN, kHitCloseButton, MAKELPARAM(button.x, button.y));
  EXPECT_EQ(closed, 0);
  veto = false;
  PostMouse(WM_LBUTTONUP, button);
  SendMessageW(floatWnd, WM_NCLBUTTONDOWN, kHitCloseButton, MAKELPARAM(button.x, button.y));
  EXPECT_EQ(closed, 1);
  EXPECT_FALSE(a->Visible());
  Pump();
  EXPECT_FALSE(IsWindowVisible(floatWnd));
}

}  // namespace
}  // namespace tb
