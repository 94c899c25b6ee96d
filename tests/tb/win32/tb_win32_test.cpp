// The toolbar framework's Windows helpers and the class library's control layer, with real
// windows under Wine. Every modal loop is cut short by a timer if its input does not end it.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "../../ui/win32/gui_fixture.h"
#include "tb/common.h"
#include "tb/consts.h"
#include "tb/hook.h"
#include "tb/item.h"
#include "tb/startup.h"
#include "tb/system_settings.h"
#include "tb/win32/anim.h"
#include "tb/win32/common.h"
#include "tb/win32/toolbar_font.h"
#include "ui/actions.h"
#include "ui/text.h"
#include "ui/win32/menus.h"

namespace {

using Log = std::vector<std::wstring>;

// A borderless top-level window, or a child of one, in one colour; it prints itself, answers
// the animation's end and logs the library's notifications it receives.
class TWindow : public ui::TCustomControl {
 public:
  TWindow(ui::TComponent* owner, Log* log = nullptr) : TCustomControl(owner), log_(log) {}
  void WndProc(ui::TMessage& message) override {
    switch (message.Msg) {
      case WM_PRINT:
        tb::HandleWMPrint(Handle(), message, nullptr, nullptr);
        return;
      case WM_PRINTCLIENT:
        tb::HandleWMPrintClient(*this, message);
        return;
      case tb::kAnimationEndedMessage:
        ++animationEnded;
        return;
      case WM_DESTROY:
        Note(L"destroy");
        break;
      case WM_KEYDOWN:
      case WM_RBUTTONDOWN:
      case WM_XBUTTONDOWN:
        Note(L"input reached the window");
        break;
      case ui::CM_TEXTCHANGED:
        Note(L"text");
        break;
      case ui::CM_COLORCHANGED:
        Note(L"color");
        break;
      case ui::CM_FONTCHANGED:
        Note(L"font");
        break;
      case ui::CM_VISIBLECHANGED:
        Note(L"visible " + std::to_wstring(message.WParam));
        break;
      case ui::CM_SHOWINGCHANGED:
        Note(Showing() ? L"showing" : L"hidden");
        break;
      case ui::CM_WININICHANGE:
        Note(L"wininichange " + std::to_wstring(message.WParam));
        break;
      case ui::CM_MOUSEENTER:
        Note(L"mouse enter");
        break;
      case ui::CM_MOUSELEAVE:
        Note(L"mouse leave");
        break;
      case ui::CM_CONTROLCHANGE:
        Note(message.LParam ? L"control inserted" : L"control removed");
        break;
      case ui::CM_DIALOGKEY:
        Note(L"dialog key " + std::to_wstring(message.WParam));
        message.Result = answerDialogKeys;
        return;
      case ui::CM_DIALOGCHAR:
        Note(L"dialog char " + std::to_wstring(message.WParam));
        return;
      case ui::CM_HINTSHOW: {
        auto& info = *reinterpret_cast<ui::THintInfo*>(message.LParam);
        Note(L"hint " + info.HintStr);
        if (!hintReplacement.empty()) info.HintStr = hintReplacement;
        message.Result = refuseHint;
        return;
      }
      default:
        break;
    }
    TCustomControl::WndProc(message);
  }

  int animationEnded = 0;
  LRESULT answerDialogKeys = 0;
  LRESULT refuseHint = 0;
  std::wstring hintReplacement;

 protected:
  void CreateParams(TCreateParams& params) override {
    TCustomControl::CreateParams(params);
    if (!Parent()) params.style = WS_POPUP;
  }

 private:
  void Note(const std::wstring& what) {
    if (log_) log_->push_back(Name() + L": " + what);
  }
  Log* log_;
};

// The windows' log outlives the application, whose end destroys the windows that write to it.
struct LogHolder {
  Log log;
};

class TbWin32 : protected LogHolder, public UiGuiTest {
 protected:
  TbWin32() { tb::Initialize(); }
  // The windows write to the log until they are destroyed.
  ~TbWin32() override {
    FreeApplication();
    tb::Finalize();
  }
  // A top-level window at screen (x, y), shown without activation unless hidden.
  TWindow* Popup(int x, int y, int w, int h, ui::TColor color, bool shown = true) {
    auto* window = ui::Create<TWindow>(*ui::Application, &log);
    window->SetBounds(x, y, w, h);
    window->SetColor(color);
    window->SetVisible(shown);
    window->HandleNeeded();
    return window;
  }
};

// Wine counts no GDI objects (GetGuiResources answers 0), but its handle table is finite: this
// fills it up to `spare` free places for its lifetime, so that a leak soon shows as a failure.
class TGdiTableNearlyFull {
 public:
  explicit TGdiTableNearlyFull(int spare) {
    while (held_.size() < 200000) {
      const HBITMAP bitmap = CreateBitmap(1, 1, 1, 1, nullptr);
      if (!bitmap) break;
      held_.push_back(bitmap);
    }
    for (int i = 0; i < spare && !held_.empty(); ++i) Release();
  }
  ~TGdiTableNearlyFull() {
    while (!held_.empty()) Release();
  }
  // Whether `count` more objects still fit.
  static bool Room(int count) {
    std::vector<HBITMAP> made;
    for (int i = 0; i < count; ++i) {
      if (const HBITMAP bitmap = CreateBitmap(1, 1, 1, 1, nullptr)) made.push_back(bitmap);
    }
    for (const HBITMAP bitmap : made) DeleteObject(bitmap);
    return static_cast<int>(made.size()) == count;
  }

 private:
  void Release() {
    DeleteObject(held_.back());
    held_.pop_back();
  }
  std::vector<HBITMAP> held_;
};

COLORREF Probe(HDC dc, int x, int y) {
  return GetPixel(dc, x, y);
}

struct TMemoryDC {
  TMemoryDC(int w, int h) {
    const HDC screen = GetDC(nullptr);
    dc = CreateCompatibleDC(screen);
    bitmap = CreateCompatibleBitmap(screen, w, h);
    ReleaseDC(nullptr, screen);
    old = SelectObject(dc, bitmap);
    RECT r{0, 0, w, h};
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  }
  ~TMemoryDC() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  HDC dc;
  HBITMAP bitmap;
  HGDIOBJ old;
};

// A caption's accelerator is underlined under its own character: the character drawn alone
// where the underline starts lies inside the caption's picture there (the platform's own text
// drawing may place the glyphs elsewhere than its measurement says).
TEST_F(TbWin32, CaptionsUnderlineTheirAcceleratorCharacter) {
  LOGFONTW face{};
  face.lfHeight = -11;
  lstrcpyW(face.lfFaceName, L"Tahoma");
  const HFONT font = CreateFontIndirectW(&face);
  constexpr int kWidth = 240, kHeight = 20;
  const auto draw = [&](TMemoryDC& m, const std::wstring& text, RECT r, UINT format) {
    const HGDIOBJ old = SelectObject(m.dc, font);
    SetTextColor(m.dc, RGB(255, 255, 255));
    SetBkMode(m.dc, TRANSPARENT);
    tb::DrawCaptionText(m.dc, text, r, format | DT_SINGLELINE | DT_VCENTER);
    SelectObject(m.dc, old);
  };
  const struct {
    const wchar_t* caption;
    wchar_t accel;  // 0: nothing underlined
  } kCases[] = {{L"Open Disk Image &Folder", L'F'},
                {L"View File A&s...", L's'},
                {L"Save Disk Image &As...", L'A'},
                {L"E&xit", L'x'},
                {L"&&Not &&marked", 0},
                {L"Ends in &a single &", 0}};
  for (const auto& c : kCases) {
    TMemoryDC shown(kWidth, kHeight), plain(kWidth, kHeight), hidden(kWidth, kHeight);
    draw(shown, c.caption, {4, 0, kWidth, kHeight}, 0);
    draw(plain, tb::RemoveAccelMarks(c.caption), {4, 0, kWidth, kHeight}, DT_NOPREFIX);
    draw(hidden, c.caption, {4, 0, kWidth, kHeight}, DT_HIDEPREFIX);
    int left = kWidth, right = -1, row = -1, hiddenDiffers = 0;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        hiddenDiffers += Probe(hidden.dc, x, y) != Probe(plain.dc, x, y);
        if (Probe(shown.dc, x, y) == Probe(plain.dc, x, y)) continue;
        left = std::min(left, x), right = std::max(right, x), row = y;
      }
    }
    EXPECT_EQ(hiddenDiffers, 0) << c.caption;  // a hidden accelerator is not underlined
    if (!c.accel) {
      EXPECT_EQ(right, -1) << c.caption;
      continue;
    }
    ASSERT_GE(right, left) << c.caption;
    TMemoryDC alone(kWidth, kHeight);
    draw(alone, std::wstring(1, c.accel), {left, 0, kWidth, kHeight}, DT_NOPREFIX);
    int glyph = 0, missing = 0;
    for (int y = 0; y < row; ++y) {
      for (int x = left; x <= right; ++x) {
        if (Probe(alone.dc, x, y) == RGB(0, 0, 0)) continue;
        ++glyph;
        if (Probe(plain.dc, x, y) == RGB(0, 0, 0)) ++missing;
      }
    }
    EXPECT_GT(glyph, 4) << c.caption;
    EXPECT_EQ(missing, 0) << c.caption;
  }
  DeleteObject(font);
}

TEST_F(TbWin32, StartUpBindsTheSystemAndInstallsThePopupWindows) {
  EXPECT_TRUE(tb::HasGradientFill());
  EXPECT_TRUE(tb::BindTrackMouseEvent());  // user32's, found once and kept
  EXPECT_NE(tb::PopupFactory(), nullptr);
  EXPECT_NE(tb::PopupMenuLoop(), nullptr);
  EXPECT_EQ(tb::LowerCaseText(L"\u00DCBER"), L"\u00FCber");  // the platform's letter case
  tb::Finalize();
  EXPECT_EQ(tb::PopupFactory(), nullptr);
  EXPECT_EQ(tb::PopupMenuLoop(), nullptr);
  tb::Initialize();
  EXPECT_NE(tb::PopupFactory(), nullptr);
}

TEST_F(TbWin32, PrintHonoursVisibilityAndPrintsChildrenAtTheirPlace) {
  TWindow* parent = Popup(200, 200, 80, 60, RGB(255, 255, 255), false);
  auto* child = ui::Create<TWindow>(*parent);
  child->SetBounds(10, 20, 30, 30);
  child->SetColor(RGB(255, 0, 0));
  child->SetParent(parent);
  TMemoryDC memory(80, 60);
  const auto print = [&](LPARAM flags) {
    return SendMessageW(parent->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(memory.dc), flags);
  };
  EXPECT_EQ(print(PRF_CHECKVISIBLE | PRF_CLIENT | PRF_ERASEBKGND), 0);
  EXPECT_EQ(Probe(memory.dc, 5, 5), RGB(0, 0, 0));  // untouched
  parent->Show();
  EXPECT_EQ(print(PRF_CHECKVISIBLE | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN), 1);
  EXPECT_EQ(Probe(memory.dc, 5, 5), RGB(255, 255, 255));
  EXPECT_EQ(Probe(memory.dc, 15, 25), RGB(255, 0, 0));
  EXPECT_EQ(Probe(memory.dc, 45, 25), RGB(255, 255, 255));
}

TEST_F(TbWin32, HalftoneFrameTwiceRestoresThePixelsAndLeaksNothing) {
  TMemoryDC memory(64, 64);
  const auto snapshot = [&] {
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) pixels.push_back(Probe(memory.dc, x, y));
    return pixels;
  };
  const std::vector<COLORREF> before = snapshot();
  const RECT frame{5, 5, 50, 40};
  const RECT none{0, 0, 0, 0};
  tb::InvertHalftoneFrame(memory.dc, frame, none, {3, 3}, {0, 0});
  const std::vector<COLORREF> drawn = snapshot();
  EXPECT_NE(drawn, before);
  EXPECT_EQ(Probe(memory.dc, 20, 20), RGB(0, 0, 0));          // inside the frame: untouched
  EXPECT_NE(Probe(memory.dc, 5, 6), Probe(memory.dc, 6, 6));  // the halftone pattern
  tb::InvertHalftoneFrame(memory.dc, frame, none, {3, 3}, {0, 0});
  EXPECT_EQ(snapshot(), before);
  const TGdiTableNearlyFull table(100);
  for (int i = 0; i < 200; ++i) DeleteObject(tb::MakeHalftoneBrush());
  EXPECT_TRUE(TGdiTableNearlyFull::Room(50));
}

// A double-buffered repaint paints a partly invalid window at once; a wholly invalid one is left
// to its coming paint, which draws it all anyway.
TEST_F(TbWin32, DoubleBufferedRepaintLeavesAWhollyInvalidWindowToItsPaint) {
  TWindow* window = Popup(10, 10, 40, 40, RGB(0, 0, 255));
  const HWND handle = window->Handle();
  Pump();
  const RECT part{0, 0, 10, 10};
  InvalidateRect(handle, &part, TRUE);
  tb::DoubleBufferedRepaint(handle);
  EXPECT_FALSE(GetUpdateRect(handle, nullptr, FALSE));
  const HDC dc = GetDC(handle);
  EXPECT_EQ(Probe(dc, 5, 5), RGB(0, 0, 255));
  ReleaseDC(handle, dc);
  InvalidateRect(handle, nullptr, TRUE);
  tb::DoubleBufferedRepaint(handle);
  RECT left{};
  EXPECT_TRUE(GetUpdateRect(handle, &left, FALSE));
  EXPECT_EQ(left.right - left.left, 40);
  Pump();
  EXPECT_FALSE(GetUpdateRect(handle, nullptr, FALSE));
}

// A child window that appears wholly invalid has its frame drawn and validated by a repaint that
// paints now, through the same device context: no paint is left to come for the frame.
TEST_F(TbWin32, ARepaintNowOfAWhollyInvalidWindowDrawsItsFrameToo) {
  class TFramed : public TWindow {
   public:
    using TWindow::TWindow;
    void CreateParams(TCreateParams& params) override {
      TWindow::CreateParams(params);
      params.style |= WS_BORDER;
    }
    void WndProc(ui::TMessage& message) override {
      if (message.Msg == WM_PRINT) {
        tb::HandleWMPrint(Handle(), message, FillFrame, nullptr);
        return;
      }
      TWindow::WndProc(message);
    }
    static void FillFrame(HWND wnd, HDC dc, void*) {
      RECT r;
      GetWindowRect(wnd, &r);
      OffsetRect(&r, -r.left, -r.top);
      const HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
      FrameRect(dc, &r, green);
      DeleteObject(green);
    }
  };
  TWindow* parent = Popup(10, 10, 80, 80, RGB(255, 255, 255));
  auto* window = ui::Create<TFramed>(*parent);
  window->SetParent(parent);
  window->SetBounds(10, 10, 40, 40);
  window->SetColor(RGB(0, 0, 255));
  const HWND handle = window->Handle();
  Pump();
  RedrawWindow(handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
  tb::DoubleBufferedRepaint(handle, tb::TWhollyInvalid::PaintNow);
  MSG message;
  EXPECT_FALSE(PeekMessageW(&message, handle, WM_PAINT, WM_PAINT, PM_NOREMOVE));
  const HDC dc = GetWindowDC(handle);
  EXPECT_EQ(Probe(dc, 0, 0), RGB(0, 255, 0));
  EXPECT_EQ(Probe(dc, 5, 5), RGB(0, 0, 255));
  ReleaseDC(handle, dc);
}

TEST_F(TbWin32, PumpsLeaveTheQuitMessageQueued) {
  TWindow* window = Popup(10, 10, 40, 40, RGB(0, 0, 255));
  MSG msg;
  PostQuitMessage(3);
  PostMessageW(window->Handle(), WM_USER, 0, 0);
  tb::DiscardMessages(0, WM_USER);
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 3u);
  InvalidateRect(window->Handle(), nullptr, TRUE);
  PostQuitMessage(5);
  tb::PumpPaintMessages();
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 5u);
}

struct TButtonDraws {
  std::vector<bool> pushed;
};
void DrawButton(HWND, bool pushed, void* data) {
  static_cast<TButtonDraws*>(data)->pushed.push_back(pushed);
}
void CALLBACK GiveUpTracking(HWND, UINT, UINT_PTR, DWORD) {
  ReleaseCapture();
}

TEST_F(TbWin32, CaptionButtonTrackingSwallowsKeysAndOtherButtons) {
  TWindow* window = Popup(100, 100, 200, 100, RGB(0, 128, 0));
  window->SetName(L"Caption");
  const HWND wnd = window->Handle();
  const RECT button{10, 10, 40, 30};
  struct Case {
    std::vector<UINT> messages;
    LPARAM lastAt;
    bool expected;
  };
  const Case cases[] = {
      {{WM_MOUSEMOVE, WM_RBUTTONDOWN, WM_XBUTTONDOWN, WM_KEYDOWN, WM_LBUTTONUP},
       MAKELPARAM(20, 20),
       true},
      {{WM_MOUSEMOVE, WM_LBUTTONUP}, MAKELPARAM(100, 80), false},
      {{WM_LBUTTONDOWN}, MAKELPARAM(20, 20), false},
  };
  for (const Case& c : cases) {
    log.clear();
    for (const UINT message : c.messages) PostMessageW(wnd, message, 0, c.lastAt);
    const UINT_PTR limit = SetTimer(nullptr, 0, 3000, GiveUpTracking);
    TButtonDraws draws;
    EXPECT_EQ(tb::TrackCaptionButton(wnd, button, DrawButton, &draws), c.expected);
    KillTimer(nullptr, limit);
    EXPECT_EQ(GetCapture(), nullptr);
    ASSERT_GE(draws.pushed.size(), 2u);
    EXPECT_FALSE(draws.pushed.back());  // drawn released at the end
    if (c.messages.front() == WM_MOUSEMOVE) {
      EXPECT_EQ(draws.pushed[1], c.expected);  // the move redrew it by the cursor
    }
    EXPECT_TRUE(log.empty()) << (log.empty() ? "" : ui::Utf8FromWide(log[0]));
  }
}

std::vector<std::wstring> hookCalls;
void RecordHook(tb::THookProcCode code, std::uintptr_t wnd, std::uintptr_t, std::intptr_t lParam) {
  std::wstring entry = std::to_wstring(static_cast<int>(code));
  if (code == tb::THookProcCode::hpGetMessage) {
    entry += reinterpret_cast<const MSG*>(lParam)->message == WM_USER + 7 ? L" mine" : L" other";
  } else {
    entry += wnd ? L" window" : L" none";
  }
  hookCalls.push_back(entry);
}

TEST_F(TbWin32, ThreadHooksReportTheirCodesUntilTheLastUnregistration) {
  TWindow* window = Popup(10, 10, 40, 40, RGB(0, 0, 0));
  TWindow* doomed = Popup(60, 10, 40, 40, RGB(0, 0, 0));
  int user = 0;
  hookCalls.clear();
  tb::RegisterHookProc(&user, RecordHook,
                       tb::HookCode(tb::THookProcCode::hpSendActivate) |
                           tb::HookCode(tb::THookProcCode::hpPreDestroy) |
                           tb::HookCode(tb::THookProcCode::hpGetMessage));
  SendMessageW(window->Handle(), WM_ACTIVATE, WA_INACTIVE, 0);
  EXPECT_NE(std::find(hookCalls.begin(), hookCalls.end(), L"0 window"), hookCalls.end());
  hookCalls.clear();
  doomed->DestroyHandle();
  EXPECT_NE(std::find(hookCalls.begin(), hookCalls.end(), L"3 window"), hookCalls.end());
  hookCalls.clear();
  PostMessageW(window->Handle(), WM_USER + 7, 0, 0);
  MSG msg;
  GetMessageW(&msg, window->Handle(), WM_USER + 7, WM_USER + 7);
  EXPECT_NE(std::find(hookCalls.begin(), hookCalls.end(), L"4 mine"), hookCalls.end());
  tb::UnregisterHookProc(&user, RecordHook);
  EXPECT_FALSE(tb::CurrentHookState().exists);
  hookCalls.clear();
  SendMessageW(window->Handle(), WM_ACTIVATE, WA_INACTIVE, 0);
  PostMessageW(window->Handle(), WM_USER + 7, 0, 0);
  GetMessageW(&msg, window->Handle(), WM_USER + 7, WM_USER + 7);
  EXPECT_TRUE(hookCalls.empty());
}

DWORD fakeNow = 0;
POINT fakeCursor{0, 0};
DWORD FakeNow() {
  return fakeNow;
}
BOOL FakeCursor(POINT* p) {
  *p = fakeCursor;
  return TRUE;
}

bool HasLayeredStyle(HWND wnd) {
  return (GetWindowLongPtrW(wnd, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
}

TEST_F(TbWin32, AnimationsSlideFadeAndEnd) {
  tb::TAnimationSeams seams;
  seams.tickCount = FakeNow;
  seams.cursorPos = FakeCursor;
  tb::SetAnimationSeams(&seams);
  fakeNow = 1000;
  fakeCursor = {5, 5};
  TWindow* slid = Popup(300, 300, 100, 80, RGB(0, 0, 255), false);
  tb::StartPopupAnimation(slid->Handle(), false, tb::tbadDown);
  EXPECT_TRUE(IsWindowVisible(slid->Handle()));
  EXPECT_TRUE(tb::IsPopupAnimationRunning());
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  std::vector<LONG> bottoms;
  for (int t = 20; t <= 160; t += 20) {
    fakeNow = 1000 + t;
    tb::StepPopupAnimation();
    if (!tb::IsPopupAnimationRunning()) break;
    ASSERT_NE(GetWindowRgn(slid->Handle(), region), ERROR);
    RECT box;
    GetRgnBox(region, &box);
    bottoms.push_back(box.bottom);
  }
  EXPECT_FALSE(tb::IsPopupAnimationRunning());
  EXPECT_TRUE(std::is_sorted(bottoms.begin(), bottoms.end()));
  EXPECT_GE(bottoms.size(), 6u);
  EXPECT_EQ(GetWindowRgn(slid->Handle(), region), ERROR);  // no region left
  EXPECT_EQ(slid->animationEnded, 1);

  // A fade is layered while it runs; a second start finishes the first.
  TWindow* faded = Popup(420, 300, 100, 80, RGB(0, 255, 0), false);
  tb::StartPopupAnimation(faded->Handle(), true, 0);
  EXPECT_TRUE(HasLayeredStyle(faded->Handle()));
  TWindow* next = Popup(540, 300, 100, 80, RGB(0, 255, 0), false);
  tb::StartPopupAnimation(next->Handle(), false, tb::tbadUp);
  EXPECT_FALSE(HasLayeredStyle(faded->Handle()));
  EXPECT_EQ(faded->animationEnded, 1);
  // The mouse entering the client area ends it at the next step.
  fakeNow += 20;
  fakeCursor = {560, 320};
  tb::StepPopupAnimation();
  EXPECT_FALSE(tb::IsPopupAnimationRunning());
  EXPECT_EQ(next->animationEnded, 1);

  // Without layered windows a fade slides.
  seams.noLayeredWindows = true;
  TWindow* fallback = Popup(300, 420, 100, 80, RGB(0, 0, 255), false);
  tb::StartPopupAnimation(fallback->Handle(), true, tb::tbadDown);
  EXPECT_FALSE(HasLayeredStyle(fallback->Handle()));
  EXPECT_NE(GetWindowRgn(fallback->Handle(), region), ERROR);
  tb::TBEndAnimation(fallback->Handle());
  seams.noLayeredWindows = false;

  // A start that fails shows the window at once and keeps nothing.
  for (const auto failure : {tb::TAnimationSeams::bitmap, tb::TAnimationSeams::layeredUpdate}) {
    seams.failure = failure;
    TWindow* failed = Popup(420, 420, 100, 80, RGB(0, 0, 255), false);
    {
      const TGdiTableNearlyFull table(100);
      for (int i = 0; i < 60; ++i) {
        ShowWindow(failed->Handle(), SW_HIDE);
        tb::StartPopupAnimation(failed->Handle(), true, tb::tbadDown);
        ASSERT_TRUE(IsWindowVisible(failed->Handle())) << i;
      }
      EXPECT_TRUE(TGdiTableNearlyFull::Room(50));
    }
    EXPECT_FALSE(HasLayeredStyle(failed->Handle()));
    EXPECT_EQ(GetWindowRgn(failed->Handle(), region), ERROR);
    EXPECT_FALSE(tb::IsPopupAnimationRunning());
    ui::Free(failed);
  }
  DeleteObject(region);
  tb::SetAnimationSeams(nullptr);
}

TEST_F(TbWin32, SettingsSeamAndToolbarFont) {
  // Wine's defaults, read through the platform's settings.
  tb::ISystemSettings& platform = tb::SystemSettings();
  EXPECT_EQ(platform.MenuShowDelay(), 400);
  EXPECT_TRUE(platform.FlatMenus());
  EXPECT_TRUE(platform.KeyboardCues());
  EXPECT_FALSE(platform.MenuAnimation());
  tb::TFixedSystemSettings fixed;
  fixed.keyboardCues = false;
  fixed.menuShowDelay = 0;
  tb::SetSystemSettings(&fixed);
  EXPECT_FALSE(tb::SystemSettings().KeyboardCues());
  EXPECT_EQ(tb::SystemSettings().MenuShowDelay(), 0);
  tb::SetSystemSettings(nullptr);
  EXPECT_EQ(&tb::SystemSettings(), &platform);

  NONCLIENTMETRICSW metrics;
  ASSERT_TRUE(tb::ReadNonClientMetrics(metrics));
  ui::TFont* font = tb::ToolbarFont();
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(font->Height(), metrics.lfMenuFont.lfHeight);
  EXPECT_EQ(font->Name(), metrics.lfMenuFont.lfFaceName);
}

// Takes Ctrl+J (and the system key-menu command) for the whole application.
bool AppHook(void* data, ui::TMessage& message) {
  auto& log = *static_cast<Log*>(data);
  if (message.Msg == ui::CM_APPKEYDOWN && message.WParam == 'J') {
    log.push_back(L"hook J");
    return true;
  }
  if (message.Msg == ui::CM_APPSYSCOMMAND) {
    auto& command = *reinterpret_cast<ui::TMessage*>(message.LParam);
    log.push_back(L"hook key menu " + std::wstring(1, static_cast<wchar_t>(command.LParam)));
    command.Result = 1;
    return true;
  }
  return false;
}

TEST_F(TbWin32, KeysGoToActionsThenHooksThenPopupMenusThenDialogKeys) {
  // Away from the form wherever earlier programs on the display left it: a control under the
  // pointer would hear of the mouse entering.
  SetCursorPos(1270, 1010);
  auto* form = ui::Create<ui::TForm>(*ui::Application);
  auto* list = ui::Create<ui::TActionList>(*form);
  auto* action = ui::Create<ui::TAction>(*form);
  action->SetActionList(list);
  action->OnExecute = [this](ui::TComponent*) { log.push_back(L"action K"); };
  auto* menu = ui::Create<ui::TPopupMenu>(*form);
  for (const wchar_t* key : {L"Ctrl+K", L"Ctrl+J", L"Ctrl+L"}) {
    auto* item = ui::Create<ui::TMenuItem>(*form);
    item->SetShortCut(ui::TextToShortCut(key));
    item->OnClick = [this, key](ui::TComponent*) { log.push_back(L"menu " + std::wstring(key)); };
    menu->Items().Add(item);
  }
  action->SetShortCut(ui::TextToShortCut(L"Ctrl+K"));
  auto* focused = ui::Create<TWindow>(*form, &log);
  focused->SetName(L"Focused");
  focused->SetBounds(0, 0, 50, 50);
  focused->SetParent(form);
  focused->SetPopupMenu(menu);
  auto* sibling = ui::Create<TWindow>(*form, &log);
  sibling->SetName(L"Sibling");
  sibling->SetParent(form);
  form->FinishLoading();
  form->Show();
  focused->SetFocus();
  ui::Application->HookMainWindow(AppHook, &log);
  log.clear();

  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  for (const WPARAM key : {'K', 'J', 'L'}) PostMessageW(focused->Handle(), WM_KEYDOWN, key, 0);
  Pump();
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  PostMessageW(focused->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  Pump();
  // Alt+F: offered as a dialog character, then (unanswered) as the system key-menu command.
  PostMessageW(focused->Handle(), WM_SYSCHAR, 'f', 0x20000001);
  Pump();
  EXPECT_EQ(
      log, (Log{L"action K", L"hook J", L"menu Ctrl+L", L"Focused: dialog key 27",
                L"Sibling: dialog key 27", L"Focused: input reached the window",
                L"Focused: dialog char 27", L"Sibling: dialog char 27", L"Focused: dialog char 102",
                L"Sibling: dialog char 102", L"hook key menu f"}));
  // A dialog key that a control answers goes no further.
  log.clear();
  focused->answerDialogKeys = 1;
  PostMessageW(focused->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  Pump();
  EXPECT_EQ(log, (Log{L"Focused: dialog key 27"}));
  ui::Application->UnhookMainWindow(AppHook, &log);
}

TEST_F(TbWin32, TheFrameworkTextsAreInTheProgramsStringTable) {
  for (int id = tb::STBToolbarIndexOutOfBounds; id <= tb::STBDockCannotChangePosition; ++id) {
    EXPECT_FALSE(tb::StringTableText(id).empty()) << id;
    EXPECT_EQ(tb::StringTableText(id), tb::DefaultTBText(id)) << id;
  }
  EXPECT_EQ(tb::STBToolbarIndexOutOfBounds, 65237);
  EXPECT_EQ(tb::StringTableText(65241), L"More Buttons|");
  EXPECT_EQ(tb::StringTableText(65245), L"");
}

TEST_F(TbWin32, ControlsHearOfTheirChanges) {
  auto* form = ui::Create<ui::TForm>(*ui::Application);
  auto* parent = ui::Create<TWindow>(*form, &log);
  parent->SetName(L"Parent");
  parent->SetParent(form);
  auto* child = ui::Create<TWindow>(*form, &log);
  child->SetName(L"Child");
  child->SetParent(parent);
  form->FinishLoading();
  form->Show();
  child->SetCaption(L"x");
  child->SetColor(RGB(1, 2, 3));
  child->Font().SetHeight(-20);
  child->SetVisible(false);
  child->SetVisible(true);
  SendMessageW(form->Handle(), WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
  form->Hide();
  // A child takes its parent's font as it is placed.
  EXPECT_EQ(log, (Log{L"Parent: font", L"Parent: control inserted", L"Child: font",
                      L"Parent: showing", L"Child: showing", L"Child: text", L"Child: color",
                      L"Child: font", L"Child: visible 0", L"Child: hidden", L"Child: visible 1",
                      L"Child: showing", L"Parent: wininichange 42", L"Child: wininichange 42",
                      L"Parent: hidden", L"Child: hidden"}));
}

TEST_F(TbWin32, TheControlUnderTheMouseHearsOfEnteringAndLeaving) {
  SetCursorPos(1270, 1010);  // away from the windows, so that nothing else moves the mouse
  auto* form = ui::Create<ui::TForm>(*ui::Application);
  std::vector<TWindow*> controls;
  for (const wchar_t* name : {L"Left", L"Right"}) {
    auto* control = ui::Create<TWindow>(*form, &log);
    control->SetName(name);
    control->SetBounds(controls.empty() ? 0 : 100, 0, 80, 40);
    control->SetParent(form);
    controls.push_back(control);
  }
  form->FinishLoading();
  form->Show();
  Pump();
  log.clear();
  for (TWindow* control : controls)
    PostMessageW(control->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  PostMessageW(controls[1]->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(6, 6));
  Pump();
  EXPECT_EQ(log, (Log{L"Left: mouse enter", L"Left: mouse leave", L"Right: mouse enter"}));
}

TEST_F(TbWin32, HintsAskTheControlFirst) {
  auto* form = ui::Create<ui::TForm>(*ui::Application);
  auto* control = ui::Create<TWindow>(*form, &log);
  control->SetName(L"Tip");
  control->SetBounds(0, 0, 80, 40);
  control->SetParent(form);
  control->SetHint(L"Open|Opens a disk image");
  control->SetShowHint(true);
  form->FinishLoading();
  form->Show();
  log.clear();
  // The mouse rests on the control: after the pause the hint shows (waiting at most 2 s).
  POINT over{20, 20};
  ClientToScreen(control->Handle(), &over);
  SetCursorPos(over.x, over.y);
  ui::Application->SetHintPause(20);
  control->hintReplacement = L"Open (Ctrl+O)";
  ui::Application->HintMouseMessage(control, {WM_MOUSEMOVE, 0, MAKELPARAM(20, 20), 0});
  EXPECT_EQ(ui::Application->HintControl(), control);
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < 2000 &&
         !(ui::Application->HintWindow() && ui::Application->HintWindow()->Active())) {
    Pump();
    Sleep(5);
  }
  ASSERT_NE(ui::Application->HintWindow(), nullptr);
  EXPECT_TRUE(IsWindowVisible(ui::Application->HintWindow()->Handle()));
  EXPECT_EQ(ui::Application->HintWindow()->Caption(), L"Open (Ctrl+O)");
  control->refuseHint = 1;
  ui::Application->ActivateHint({100, 100});
  EXPECT_FALSE(IsWindowVisible(ui::Application->HintWindow()->Handle()));
  EXPECT_EQ(log, (Log{L"Tip: mouse enter", L"Tip: hint Open", L"Tip: hint Open"}));
  ui::Free(control);
  EXPECT_EQ(ui::Application->HintControl(), nullptr);  // a freed control is forgotten
}

TEST_F(TbWin32, TheWholeControlSeesItsWindowGo) {
  auto* form = ui::Create<ui::TForm>(*ui::Application);
  auto* control = ui::Create<TWindow>(*form, &log);
  control->SetName(L"Going");
  control->SetParent(form);
  form->FinishLoading();
  form->Show();
  log.clear();
  ui::Free(control);
  EXPECT_EQ(log, (Log{L"Going: destroy"}));
  // Deleted without the two-phase end, the window goes without reaching the half-gone object.
  auto* deleted = new TWindow(nullptr, &log);
  deleted->SetName(L"Deleted");
  deleted->HandleNeeded();
  const HWND window = deleted->Handle();
  log.clear();
  delete deleted;
  EXPECT_FALSE(IsWindow(window));
  EXPECT_TRUE(log.empty());
}

void CALLBACK CloseMenu(HWND, UINT, UINT_PTR, DWORD) {
  EndMenu();
}

TEST_F(TbWin32, ContextMenusAskTheControlAndRememberThePoint) {
  auto* form = ui::Create<ui::TForm>(*ui::Application);
  auto* control = ui::Create<TWindow>(*form, &log);
  control->SetParent(form);
  auto* menu = ui::Create<ui::TPopupMenu>(*form);
  auto* item = ui::Create<ui::TMenuItem>(*form);
  item->SetCaption(L"&Item");
  menu->Items().Add(item);
  menu->SetAlignment(ui::TPopupAlignment::paRight);
  menu->SetTrackButton(ui::TTrackButton::tbLeftButton);
  int popups = 0;
  menu->OnPopup = [&](ui::TComponent*) { ++popups; };
  control->SetPopupMenu(menu);
  form->FinishLoading();
  form->Show();
  bool handle = true;
  control->OnContextPopup = [&](ui::TComponent*, POINT, bool& handled) { handled = handle; };
  SendMessageW(control->Handle(), WM_CONTEXTMENU, 0, MAKELPARAM(150, 160));
  EXPECT_EQ(popups, 0);
  handle = false;
  const UINT_PTR limit = SetTimer(nullptr, 0, 300, CloseMenu);
  SendMessageW(control->Handle(), WM_CONTEXTMENU, 0, MAKELPARAM(150, 160));
  KillTimer(nullptr, limit);
  EXPECT_EQ(popups, 1);
  EXPECT_EQ(menu->PopupPoint().x, 150);
  EXPECT_EQ(menu->PopupPoint().y, 160);
  EXPECT_EQ(menu->PopupComponent(), control);
  ui::Free(control);
  EXPECT_EQ(menu->PopupComponent(), nullptr);
}

}  // namespace
