// Views in real windows under Wine: the deferred click travels through the thread's hidden
// window, a view paints its selected row highlighted, and the submenu timer is a real window
// timer that opens the popup after the show delay.
#include "tb/win32/view_window.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "../../ui/win32/gui_fixture.h"
#include "tb/startup.h"
#include "tb/system_settings.h"
#include "tb/toolbar_view.h"
#include "tb/win32/done_action.h"

namespace tb {
namespace {

constexpr wchar_t kClassName[] = L"TbViewWindowTest";

// The last WM_SYSCOMMAND a test window received (command, lParam).
std::pair<WPARAM, LPARAM> lastSysCommand;

// A plain popup-style window whose painting and timers go to a view binding.
LRESULT CALLBACK TestWndProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* binding = reinterpret_cast<TTBViewWindow*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
  if (message == WM_SYSCOMMAND) {
    lastSysCommand = {wParam & 0xFFF0, lParam};
    return 0;
  }
  if (binding && message == WM_TIMER && binding->HandleTimer(wParam)) return 0;
  if (binding && message == WM_PAINT) {
    PAINTSTRUCT paint;
    const HDC dc = wParam ? reinterpret_cast<HDC>(wParam) : BeginPaint(wnd, &paint);
    RECT clip;
    GetClipBox(dc, &clip);
    binding->DrawSubitems(dc, clip);
    if (!wParam) EndPaint(wnd, &paint);
    return 0;
  }
  return DefWindowProcW(wnd, message, wParam, lParam);
}

// A window with its view binding; destroyed with the object.
struct TestWindow {
  TestWindow(int x, int y) : binding(true) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = TestWndProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_MENU + 1);
    windowClass.lpszClassName = kClassName;
    RegisterClassW(&windowClass);
    wnd = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClassName, L"", WS_POPUP, x, y, 200,
                          200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ShowWindow(wnd, SW_SHOWNA);
    SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&binding));
    binding.SetHandle(wnd);
    binding.Font().SetName(L"Tahoma");
    binding.Font().SetHeight(-11);
  }
  ~TestWindow() { DestroyWindow(wnd); }
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  TTBViewWindow binding;
  HWND wnd = nullptr;
};

// A child popup in its own real window beside the parent.
struct TestPopup : TTBPopupWindowBase {
  TestPopup(TTBCustomItem& item, const TTBPopupRequest& request)
      : window(request.parentView ? 220 : 0, 0),
        view(ui::New<TTBView>(request.parentView, &item, &window.binding, false, false, false)) {
    window.binding.SetView(view.get());
    view->Include(vsModal);
  }
  TTBView& View() override { return *view; }
  static TTBPopupWindowBase* Make(TTBCustomItem& item, const TTBPopupRequest& request) {
    return new TestPopup(item, request);
  }
  TestWindow window;
  ui::Owned<TTBView> view;
};

class SubmenuItem : public TTBCustomItem {
 public:
  explicit SubmenuItem(ui::TComponent* owner) : TTBCustomItem(owner) {
    SetItemStyle(GetItemStyle() | tbisSubmenu);
  }
};

class ComboItem : public TTBCustomItem {
 public:
  explicit ComboItem(ui::TComponent* owner) : TTBCustomItem(owner) {
    SetItemStyle(GetItemStyle() | tbisSubmenu | tbisCombo);
  }
};

// A 40 x 22 viewer painted on button face into a memory bitmap, for pixel probes.
struct ProbeCanvas {
  ProbeCanvas() {
    const HDC screen = GetDC(nullptr);
    dc = CreateCompatibleDC(screen);
    bitmap = CreateCompatibleBitmap(screen, 40, 22);
    ReleaseDC(nullptr, screen);
    old = SelectObject(dc, bitmap);
  }
  ~ProbeCanvas() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  void Paint(TTBItemViewer& viewer, bool selected, bool pushed) {
    const RECT all = {0, 0, 40, 22};
    FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    ui::TCanvas canvas;
    canvas.Font().SetColor(ui::clSystemColor | COLOR_BTNTEXT);
    canvas.Brush().SetStyle(ui::TBrushStyle::bsClear);
    canvas.SetHandle(dc);
    viewer.Paint(canvas, {0, 0, 40, 22}, selected, pushed, false);
    canvas.SetHandle(nullptr);
  }
  COLORREF At(int x, int y) const { return GetPixel(dc, x, y); }
  HDC dc;
  HBITMAP bitmap;
  HGDIOBJ old;
};

class TbViewWindowTest : public UiGuiTest {
 protected:
  TbViewWindowTest() {
    settings.menuShowDelay = 50;
    settings.flatMenus = false;
    previous = SetSystemSettings(&settings);
    tb::Initialize();
    SetPopupFactory(&TestPopup::Make);
    for (const wchar_t* caption : {L"&Open", L"&Save\tCtrl+S", L"&Recent"}) {
      TTBCustomItem* item = std::wstring(caption) == L"&Recent"
                                ? static_cast<TTBCustomItem*>(ui::Create<SubmenuItem>(*root))
                                : ui::Create<TTBCustomItem>(*root);
      item->SetCaption(caption);
      root->Add(item);
    }
    auto* entry = ui::Create<TTBCustomItem>(*root->Items(2));
    entry->SetCaption(L"&1 a.dsk");
    root->Items(2)->Add(entry);
    view = ui::New<TTBView>(nullptr, root.get(), &window.binding, false, false, false);
    window.binding.SetView(view.get());
    view->Include(vsModal);
    view->ValidatePositions();
  }
  ~TbViewWindowTest() override {
    view.reset();
    tb::Finalize();
    SetSystemSettings(previous);
  }

  // Pumps messages until `done` or two seconds have passed.
  template <class Done>
  static bool PumpUntil(Done done) {
    const DWORD start = GetTickCount();
    while (!done() && GetTickCount() - start < 2000) {
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
      Sleep(5);
    }
    return done();
  }

  TFixedSystemSettings settings;
  ISystemSettings* previous = nullptr;
  ui::Owned<TTBCustomItem> root = ui::New<TTBCustomItem>();
  TestWindow window{0, 0};
  ui::Owned<TTBView> view;
};

TEST_F(TbViewWindowTest, DeferredClicksArriveThroughTheThreadsWindow) {
  int opened = 0, saved = 0;
  root->Items(0)->SetOnClick([&](ui::TComponent*) { ++opened; });
  root->Items(1)->SetOnClick([&](ui::TComponent*) { ++saved; });
  root->Items(0)->PostClick();
  root->Items(1)->PostClick();
  EXPECT_EQ(opened, 0);      // not before the message loop runs
  ui::Free(root->Items(1));  // its queued click goes nowhere
  Pump();
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(saved, 0);
  EXPECT_EQ(PendingDeferredSlots(), 0);
}

TEST_F(TbViewWindowTest, FinishingALoopOpensTheSystemMenuOrPostsTheClick) {
  TTBDoneActionData data;
  data.doneAction = TTBDoneAction::tbdaOpenSystemMenu;
  data.wnd = reinterpret_cast<std::uintptr_t>(window.wnd);
  data.key = L' ';
  EXPECT_EQ(ProcessDoneAction(data, false, &WindowsDoneActionPlatform()), nullptr);
  EXPECT_EQ(lastSysCommand, (std::pair<WPARAM, LPARAM>{SC_KEYMENU, L' '}));
  int clicks = 0;
  root->Items(0)->SetOnClick([&](ui::TComponent*) { ++clicks; });
  data = {};
  data.doneAction = TTBDoneAction::tbdaClickItem;
  data.clickItem = root->Items(0);
  data.sound = true;
  EXPECT_EQ(ProcessDoneAction(data, false, &WindowsDoneActionPlatform()), root->Items(0));
  EXPECT_EQ(clicks, 0);  // after the loop, from the message queue
  Pump();
  EXPECT_EQ(clicks, 1);
}

TEST_F(TbViewWindowTest, TheSelectedRowPaintsHighlighted) {
  const TRect rows[] = {view->Viewers(0)->BoundsRect(), view->Viewers(1)->BoundsRect()};
  EXPECT_GT(rows[0].Height(), 0);
  EXPECT_EQ(rows[1].top, rows[0].bottom);
  view->Select(view->Viewers(1), false);
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 200);
  const HGDIOBJ old = SelectObject(memory, bitmap);
  const RECT all = {0, 0, 200, 200};
  FillRect(memory, &all, GetSysColorBrush(COLOR_WINDOW));
  window.binding.DrawSubitems(memory, all);
  // Far right of each row: past the text, inside the row.
  const int x = rows[0].right - 2;
  EXPECT_EQ(GetPixel(memory, x, (rows[1].top + rows[1].bottom) / 2), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(GetPixel(memory, x, (rows[0].top + rows[0].bottom) / 2), GetSysColor(COLOR_MENU));
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

TEST_F(TbViewWindowTest, ToolbarStyleFramesArrowsAndTheCheckedDither) {
  ui::Owned<TTBCustomItem> bar = ui::New<TTBCustomItem>();
  TTBCustomItem* plain = ui::Create<TTBCustomItem>(*bar);
  TTBCustomItem* split = ui::Create<ComboItem>(*bar);
  TTBCustomItem* drop = ui::Create<SubmenuItem>(*bar);
  for (TTBCustomItem* item : {plain, split, drop}) {
    item->SetCaption(L"A");
    item->SetOptions(tboToolbarStyle | (item == drop ? tboDropdownArrow : 0));
    if (item != plain) item->Add(ui::Create<TTBCustomItem>(*item));
    bar->Add(item);
  }
  TestWindow host(300, 0);
  ui::Owned<TTBView> barView =
      ui::New<TTBView>(nullptr, bar.get(), &host.binding, false, false, false);
  host.binding.SetView(barView.get());
  barView->ValidatePositions();
  const COLORREF face = GetSysColor(COLOR_BTNFACE), light = GetSysColor(COLOR_BTNHIGHLIGHT),
                 dark = GetSysColor(COLOR_BTNSHADOW), text = GetSysColor(COLOR_BTNTEXT);
  ProbeCanvas probe;
  probe.Paint(*barView->Viewers(0), true, false);  // hot: raised
  EXPECT_EQ(probe.At(0, 0), light);
  EXPECT_EQ(probe.At(39, 21), dark);
  probe.Paint(*barView->Viewers(0), true, true);  // pushed: sunken
  EXPECT_EQ(probe.At(0, 0), dark);
  EXPECT_EQ(probe.At(39, 21), light);
  plain->SetChecked(true);
  probe.Paint(*barView->Viewers(0), false, false);  // checked: sunken over the dither
  EXPECT_EQ(probe.At(0, 0), dark);
  EXPECT_NE(probe.At(3, 3), probe.At(4, 3));
  EXPECT_TRUE(probe.At(3, 3) == face || probe.At(3, 3) == light);
  EXPECT_TRUE(probe.At(4, 3) == face || probe.At(4, 3) == light);
  // A split button pressed on its button part, then with its popup open.
  probe.Paint(*barView->Viewers(1), true, true);
  EXPECT_EQ(probe.At(0, 0), dark);
  EXPECT_EQ(probe.At(29, 0), light);
  barView->Select(barView->Viewers(1), false);
  ASSERT_TRUE(barView->OpenChildPopup(false));
  probe.Paint(*barView->Viewers(1), true, true);
  EXPECT_EQ(probe.At(0, 0), light);
  EXPECT_EQ(probe.At(29, 0), dark);
  barView->CloseChildPopups();
  // The drop-down arrow in the last 8 pixels: 5, 3 and 1 pixels wide, pointing down.
  probe.Paint(*barView->Viewers(2), false, false);
  EXPECT_EQ(probe.At(33, 9), text);
  EXPECT_EQ(probe.At(37, 9), text);
  EXPECT_EQ(probe.At(35, 11), text);
  EXPECT_EQ(probe.At(34, 11), face);
  EXPECT_EQ(probe.At(38, 9), face);
}

// A viewer that records the captions its painting asks it to draw.
struct CaptionRecorder : TTBItemViewer {
  using TTBItemViewer::TTBItemViewer;
  struct Call {
    std::wstring caption;
    bool shadow;
    std::uint32_t format;
    bool operator==(const Call&) const = default;
  };
  void DrawItemCaption(ui::TCanvas&, const TRect&, const std::wstring& caption, bool shadow,
                       std::uint32_t format) override {
    calls.push_back({caption, shadow, format});
  }
  std::vector<Call> calls;
};

class RecordedItem : public TTBCustomItem {
 public:
  using TTBCustomItem::TTBCustomItem;
  std::unique_ptr<TTBItemViewer> CreateViewer(TTBView& view, int groupLevel) override {
    return std::make_unique<CaptionRecorder>(view, *this, groupLevel);
  }
};

// Captions and shortcut texts are drawn through the viewer's own caption operation, with the
// menu's and the toolbar's formats.
TEST_F(TbViewWindowTest, CaptionsAreDrawnThroughTheViewersCaptionOperation) {
  ui::Owned<TTBCustomItem> items = ui::New<TTBCustomItem>();
  TTBCustomItem* menuItem = ui::Create<RecordedItem>(*items);
  menuItem->SetCaption(L"&Open...\tCtrl+O");
  TTBCustomItem* button = ui::Create<RecordedItem>(*items);
  button->SetCaption(L"&Go");
  button->SetOptions(tboToolbarStyle);
  items->Add(menuItem);
  items->Add(button);
  TestWindow host(300, 0);
  ui::Owned<TTBView> menu =
      ui::New<TTBView>(nullptr, items.get(), &host.binding, false, false, false);
  ProbeCanvas probe;
  using Call = CaptionRecorder::Call;
  auto& menuViewer = static_cast<CaptionRecorder&>(*menu->Viewers(0));
  ui::TCanvas canvas;
  canvas.SetHandle(probe.dc);
  menuViewer.Paint(canvas, {0, 0, 40, 22}, false, false, true);
  EXPECT_EQ(menuViewer.calls,
            (std::vector<Call>{{L"&Open...", true, DT_SINGLELINE | DT_VCENTER},
                               {L"Ctrl+O", true, DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER}}));
  auto& buttonViewer = static_cast<CaptionRecorder&>(*menu->Viewers(1));
  buttonViewer.Paint(canvas, {0, 0, 40, 22}, false, false, false);
  EXPECT_EQ(buttonViewer.calls,
            (std::vector<Call>{{L"&Go", false, DT_SINGLELINE | DT_VCENTER | DT_CENTER}}));
  canvas.SetHandle(nullptr);
}

TEST_F(TbViewWindowTest, TheChevronDrawsItsDoubleArrowInTheButtonTextColour) {
  // "X" marks the arrow's pixels; the picture's top-left corner sits at `origin`.
  static const char* const kRight[] = {"XX..XX..", ".XX..XX.", "..XX..XX", ".XX..XX.", "XX..XX.."};
  static const char* const kDown[] = {"X...X", "XX.XX", ".XXX.", "..X..",
                                      "X...X", "XX.XX", ".XXX.", "..X.."};
  struct Case {
    const char* name;
    bool vertical, enabled, pushed;
    const char* const* picture;
    int rows;
    TPoint origin;
  };
  const Case cases[] = {
      {"right", false, true, false, kRight, 5, {2, 4}},
      {"right, pushed", false, true, true, kRight, 5, {3, 5}},
      {"down", true, true, false, kDown, 8, {31, 2}},
      {"right, disabled", false, false, false, kRight, 5, {2, 4}},
      {"down, disabled", true, false, false, kDown, 8, {31, 2}},
  };
  const COLORREF face = GetSysColor(COLOR_BTNFACE), text = GetSysColor(COLOR_BTNTEXT),
                 light = GetSysColor(COLOR_BTNHIGHLIGHT), dark = GetSysColor(COLOR_BTNSHADOW);
  ui::Owned<TTBCustomItem> bar = ui::New<TTBCustomItem>();
  auto* chevron = ui::Create<TTBChevronItem>(*bar);
  bar->Add(chevron);
  TestWindow host(300, 0);
  ui::Owned<TTBView> barView =
      ui::New<TTBView>(nullptr, bar.get(), &host.binding, true, false, false);
  ProbeCanvas probe;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    barView->SetOrientation(c.vertical ? TTBViewOrientation::tbvoVertical
                                       : TTBViewOrientation::tbvoHorizontal);
    chevron->SetEnabled(c.enabled);
    probe.Paint(*barView->Viewers(0), false, c.pushed);
    const auto width = static_cast<int>(std::strlen(c.picture[0]));
    const auto arrowAt = [&](int x, int y) {
      const int col = x - c.origin.x, row = y - c.origin.y;
      return row >= 0 && row < c.rows && col >= 0 && col < width && c.picture[row][col] == 'X';
    };
    int wrong = 0;
    // Inside the frame a pushed chevron draws around its rectangle.
    for (int y = 1; y < 21; ++y) {
      for (int x = 1; x < 39; ++x) {
        COLORREF expected = face;
        if (arrowAt(x, y))
          expected = c.enabled ? text : dark;
        else if (!c.enabled && arrowAt(x, y - 1))
          expected = light;  // the highlight pass, one pixel lower
        if (probe.At(x, y) != expected) ++wrong;
      }
    }
    EXPECT_EQ(wrong, 0);
  }
}

TEST_F(TbViewWindowTest, HoverOpensTheSubmenuAfterTheShowDelay) {
  const TRect recent = view->Viewers(2)->BoundsRect();
  POINT screen = {recent.left + 5, recent.top + 3};
  ClientToScreen(window.wnd, &screen);
  view->UpdateSelection({screen.x, screen.y}, true);
  EXPECT_EQ(view->Selected(), view->Viewers(2));
  EXPECT_EQ(view->OpenViewerView(), nullptr);  // not at once
  const DWORD start = GetTickCount();
  EXPECT_TRUE(PumpUntil([&] { return view->OpenViewerView() != nullptr; }));
  EXPECT_GE(GetTickCount() - start, 40u);
  EXPECT_EQ(view->OpenViewerView()->ParentView(), view.get());
}

}  // namespace
}  // namespace tb
