// The frames of docks, dockable windows and the floating form under Wine: pixels read back
// through WM_PRINT, the messages that decide painting, menus and keys, the properties a
// stored form restores, and the MDI form a floating form's form answers to.
#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include "../../ui/win32/gui_fixture.h"
#include "../../ui/win32/screen_check.h"
#include "tb/win32/common.h"
#include "tb/win32/dockable_window.h"
#include "ui/properties.h"
#include "ui/win32/mdi.h"
#include "ui/win32/menus.h"

namespace tb {
namespace {

constexpr COLORREF kPrintClientColor = RGB(10, 200, 30);

// A floating form that paints its client area in one colour.
class PaintingParent : public TTBFloatingWindowParent {
 public:
  using TTBFloatingWindowParent::TTBFloatingWindowParent;
  void PaintHandler(ui::TMessage& message) override {
    const auto dc = reinterpret_cast<HDC>(message.WParam);
    RECT r;
    GetClientRect(Handle(), &r);
    const ui::TGdiHandle<HBRUSH> brush(CreateSolidBrush(kPrintClientColor));
    FillRect(dc, &r, static_cast<HBRUSH>(brush.get()));
  }
};

// A window whose content is 60 x 16; it may take the key-menu command.
class FrameBar : public TTBCustomDockableWindow {
 public:
  explicit FrameBar(ui::TComponent* owner) : TTBCustomDockableWindow(owner) {}
  void CalcLayoutSize(bool, TTBDockType, bool, TTBDock*, TPoint& size) override { size = {60, 16}; }
  void GetCurrentClientSize(TPoint& size) override { size = {60, 16}; }
  TTBFloatingWindowParent* CreateFloatingParent() override {
    return ui::New<PaintingParent>().release();
  }
  void WndProc(ui::TMessage& message) override {
    if (message.Msg == WM_SYSCOMMAND && takesKeyMenu) {
      message.Result = 1;
      return;
    }
    TTBCustomDockableWindow::WndProc(message);
  }
  bool takesKeyMenu = false;
  bool PaletteChanged(bool foreground) override {
    realised.push_back(foreground);
    return TTBCustomDockableWindow::PaletteChanged(foreground);
  }
  std::vector<bool> realised;
};

// A background of one colour that records where it was asked to paint.
class SolidBackground : public TTBBasicBackground {
 public:
  using TTBBasicBackground::TTBBasicBackground;
  static constexpr COLORREF kColor = RGB(200, 40, 90);
  void PaintBackground(HDC dc, const RECT& drawRect) override {
    ++paints;
    lastRect = drawRect;
    const ui::TGdiHandle<HBRUSH> brush(CreateSolidBrush(kColor));
    FillRect(dc, &drawRect, static_cast<HBRUSH>(brush.get()));
  }
  HPALETTE GetPalette() override { return palette; }
  void AddChangeHandler(TTBBackgroundChangeProc, void*) override {}
  void SysColorChanged() override {}
  void RemoveChangeHandler(TTBBackgroundChangeProc, void*) override {}
  bool HasBackground() override { return true; }
  int paints = 0;
  RECT lastRect{};
  HPALETTE palette = nullptr;
};

// Records where a popup menu was asked to open.
class RecordingPopup : public ui::TPopupMenu {
 public:
  using ui::TPopupMenu::TPopupMenu;
  void Popup(int x, int y) override { at.push_back({x, y}); }
  std::vector<POINT> at;
};

int keyMenuHookCalls = 0;
bool CountKeyMenu(void*, ui::TMessage& message) {
  if (message.Msg == ui::CM_APPSYSCOMMAND) ++keyMenuHookCalls;
  return false;
}

// A bitmap to print a window into.
struct PrintTarget {
  PrintTarget(int width, int height)
      : dc(CreateCompatibleDC(nullptr)), bitmap(CreateBitmap(width, height, 1, 32, nullptr)) {
    old = SelectObject(dc, bitmap);
  }
  ~PrintTarget() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  PrintTarget(const PrintTarget&) = delete;
  PrintTarget& operator=(const PrintTarget&) = delete;
  HDC dc;
  HBITMAP bitmap;
  HGDIOBJ old;
};

class TbDockFrames : public UiGuiTest {
 protected:
  TbDockFrames() {
    form = ui::Application->CreateForm<ui::TForm>();
    form->SetBounds(100, 100, 500, 300);
    top = ui::Create<TTBDock>(*form);
    top->SetParent(form);
    bar = ui::Create<FrameBar>(*form);
    bar->SetParent(top);
    form->Show();
    SetForegroundWindow(form->Handle());
    Pump();
  }

  // Floats the bar at (200, 200) and answers its floating form.
  TTBFloatingWindowParent* Float() {
    bar->SetFloatingPosition({200, 200});
    bar->SetFloating(true);
    Pump();
    return bar->FloatParent();
  }

  ui::TForm* form = nullptr;
  TTBDock* top = nullptr;
  FrameBar* bar = nullptr;
};

TEST_F(TbDockFrames, FloatingFrameOutlinesItsInnermostRingAndPrintsItsClient) {
  TTBFloatingWindowParent* parent = Float();
  ASSERT_NE(parent, nullptr);
  TPoint border;
  bar->GetFloatingBorderSize(border);
  ASSERT_GE(border.x, 3);  // an edge of 2, the ring, the outline
  const int w = parent->Width(), h = parent->Height();
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const COLORREF ring =
      GetSysColor(bar->InactiveCaption() ? COLOR_INACTIVEBORDER : COLOR_ACTIVEBORDER);
  ASSERT_NE(ring, face);
  PrintTarget target(w, h);
  SendMessageW(parent->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(target.dc),
               PRF_NONCLIENT | PRF_CLIENT);
  const int midY = h - border.y - 4;  // below the caption
  // The outline next to the client area on every side, the ring outside it.
  EXPECT_EQ(GetPixel(target.dc, border.x - 1, midY), face);
  EXPECT_EQ(GetPixel(target.dc, w - border.x, midY), face);
  EXPECT_EQ(GetPixel(target.dc, w / 2, border.y - 1), face);
  EXPECT_EQ(GetPixel(target.dc, w / 2, h - border.y), face);
  EXPECT_EQ(GetPixel(target.dc, border.x - 2, midY), ring);
  EXPECT_EQ(GetPixel(target.dc, w - border.x + 1, midY), ring);
  // The client area went through the form's paint handler.
  EXPECT_EQ(GetPixel(target.dc, border.x + 1, midY), kPrintClientColor);
}

// A floating form that grows or shrinks with its window shows its whole frame for the new size.
TEST_F(TbDockFrames, AFloatingFormResizedShowsItsWholeFrame) {
  TTBFloatingWindowParent* parent = Float();
  ASSERT_NE(parent, nullptr);
  for (const int width : {120, 160, 90}) {
    bar->SetBounds(bar->Left(), bar->Top(), width, bar->Height());
    Pump();
    EXPECT_TRUE(ui_test::ScreenEqualsFullRepaint(parent->Handle())) << width;
  }
}

TEST_F(TbDockFrames, TheKeyMenuCommandGoesToTheFormWhenNoFloatingWindowTakesIt) {
  ui::Application->HookMainWindow(CountKeyMenu, nullptr);
  keyMenuHookCalls = 0;
  top->Perform(WM_SYSCOMMAND, SC_KEYMENU, 'f');
  EXPECT_EQ(keyMenuHookCalls, 1);
  // A floating window of the dock that takes it ends it there.
  bar->SetControlStyle(bar->ControlStyle() | ui::csMenuEvents);
  bar->takesKeyMenu = true;
  bar->SetFloating(true);
  Pump();
  EXPECT_EQ(top->Perform(WM_SYSCOMMAND, SC_KEYMENU, 'f'), 1);
  EXPECT_EQ(keyMenuHookCalls, 1);
  ui::Application->UnhookMainWindow(CountKeyMenu, nullptr);
}

TEST_F(TbDockFrames, AKeyboardContextMenuOpensAtTheClientOrigin) {
  auto* menu = ui::Create<RecordingPopup>(*form);
  bar->SetPopupMenu(menu);
  SendMessageW(bar->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(bar->Handle()), -1);
  POINT origin{0, 0};
  ClientToScreen(bar->Handle(), &origin);
  RECT window;
  GetWindowRect(bar->Handle(), &window);
  // On the frame: at the point.
  SendMessageW(bar->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(bar->Handle()),
               MAKELPARAM(window.left + 1, window.top + 1));
  ASSERT_EQ(menu->at.size(), 2u);
  EXPECT_EQ(menu->at[0].x, origin.x);
  EXPECT_EQ(menu->at[0].y, origin.y);
  EXPECT_EQ(menu->at[1].x, window.left + 1);
  EXPECT_EQ(menu->at[1].y, window.top + 1);
  EXPECT_EQ(menu->PopupComponent(), bar);
}

TEST_F(TbDockFrames, TheDockBackgroundFillsTheFrameAndRepaintsAtOnceAfterAMove) {
  auto* background = ui::Create<SolidBackground>(*form);
  top->SetBackground(background);
  Pump();
  PrintTarget target(bar->Width(), bar->Height());
  SendMessageW(bar->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(target.dc), PRF_NONCLIENT);
  EXPECT_EQ(GetPixel(target.dc, 1, 10), SolidBackground::kColor);         // was the window's colour
  EXPECT_EQ(GetPixel(target.dc, 0, 0), GetSysColor(COLOR_BTNHIGHLIGHT));  // the edge stays
  // Aligned to the dock's parent: the frame's corner is where the bar sits on the form.
  RECT window;
  GetWindowRect(bar->Handle(), &window);
  POINT corner{window.left, window.top};
  ScreenToClient(form->Handle(), &corner);
  EXPECT_EQ(background->lastRect.left, -corner.x);
  EXPECT_EQ(background->lastRect.top, -corner.y);

  // A move on a background dock paints the window at once, leaving nothing invalid.
  Pump();
  const int paints = background->paints;
  bar->SetDockPos(40);
  EXPECT_EQ(bar->Left(), 40);
  EXPECT_GT(background->paints, paints);
  EXPECT_FALSE(GetUpdateRect(bar->Handle(), nullptr, FALSE));

  // Not on toolbars: the window's colour.
  top->SetBackgroundOnToolbars(false);
  SendMessageW(bar->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(target.dc), PRF_NONCLIENT);
  EXPECT_EQ(GetPixel(target.dc, 1, 10), GetSysColor(COLOR_BTNFACE));
}

// A docked window painted whole with its frame (as when it was resized or its form appeared)
// leaves its child windows as they show themselves: the screen shows what a full repaint draws.
TEST_F(TbDockFrames, AWhollyInvalidDockedWindowLeavesItsChildWindowsPainted) {
  auto* child = ui::Create<ui::TCustomControl>(*form);
  child->SetParent(bar);
  child->SetBounds(4, 2, 30, 12);
  child->OnPaint = [child](ui::TComponent*) {
    child->Canvas().Brush().SetColor(0x2080F0);
    child->Canvas().FillRect(child->ClientRect());
  };
  Pump();
  const struct {
    const char* change;
    std::function<void()> make;
  } changes[] = {
      {"the whole window made invalid",
       [&] { RedrawWindow(bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME); }},
      {"the window moved along its dock", [&] { bar->SetDockPos(40); }},
      {"the form resized", [&] { form->SetBounds(100, 100, 420, 260); }},
  };
  for (const auto& [change, make] : changes) {
    make();
    EXPECT_TRUE(ui_test::ScreenEqualsFullRepaint(form->Handle())) << "after " << change;
  }
}

TEST_F(TbDockFrames, PalettesComeFromTheDockBackgroundAndTheFormRealisesThem) {
  struct {
    LOGPALETTE head;
    PALETTEENTRY more;
  } entries{{0x300, 2, {{10, 20, 30, 0}}}, {40, 50, 60, 0}};
  const ui::TGdiHandle<HPALETTE> palette(CreatePalette(&entries.head));
  auto* background = ui::Create<SolidBackground>(*form);
  background->palette = static_cast<HPALETTE>(palette.get());
  EXPECT_EQ(top->GetPalette(), nullptr);
  EXPECT_EQ(bar->GetPalette(), nullptr);
  top->SetBackground(background);
  EXPECT_EQ(top->GetPalette(), background->palette);
  EXPECT_EQ(bar->GetPalette(), background->palette);
  // The form's palette messages reach its controls: in the foreground when it is activated,
  // in the background when another window changed the palette, not for its own change.
  bar->realised.clear();  // the form's activation asked already
  SendMessageW(form->Handle(), WM_QUERYNEWPALETTE, 0, 0);
  SendMessageW(form->Handle(), WM_PALETTECHANGED, reinterpret_cast<WPARAM>(GetDesktopWindow()), 0);
  SendMessageW(form->Handle(), WM_PALETTECHANGED, reinterpret_cast<WPARAM>(form->Handle()), 0);
  EXPECT_EQ(bar->realised, (std::vector<bool>{true, false}));
  // Floating: no dock, no palette.
  bar->SetFloating(true);
  Pump();
  EXPECT_EQ(bar->GetPalette(), nullptr);
  top->SetBackground(nullptr);
}

TEST_F(TbDockFrames, AWindowInItsFloatingFormHasNoParentAndStoresItsLastDock) {
  const ui::PropInfo* lastDock = ui::FindProp(*bar, L"LastDock");
  ASSERT_NE(lastDock, nullptr);
  EXPECT_TRUE(bar->HasParent());
  EXPECT_EQ(bar->GetParentComponent(), top);
  EXPECT_FALSE(ui::IsStoredProp(*bar, *lastDock));  // docked: the dock is stored
  bar->SetFloating(true);
  Pump();
  EXPECT_FALSE(bar->HasParent());
  EXPECT_EQ(bar->GetParentComponent(), nullptr);
  EXPECT_TRUE(ui::IsStoredProp(*bar, *lastDock));
  EXPECT_EQ(lastDock->getObj(*bar), top);
  // Restored, it brings the window back to that dock on a double click.
  bar->SetLastDock(nullptr);
  lastDock->setObj(*bar, top);
  bar->DoubleClick();
  Pump();
  EXPECT_EQ(bar->CurrentDock(), top);

  // SavedAtRunTime is written as True and read into the window.
  const ui::PropInfo* saved = ui::FindProp(*bar, L"SavedAtRunTime");
  ASSERT_NE(saved, nullptr);
  EXPECT_FALSE(bar->SavedAtRunTime());
  EXPECT_EQ(ui::GetPropText(*bar, *saved), L"True");
  ui::SetPropText(*bar, *saved, L"True");
  EXPECT_TRUE(bar->SavedAtRunTime());
}

TEST_F(TbDockFrames, AFloatingWindowOfAFormBuiltInCodeTakesItsBoundsOnTheFormClientArea) {
  for (const bool savedAtRunTime : {false, true}) {
    SCOPED_TRACE(savedAtRunTime);
    ui::Owned<ui::TForm> built = ui::New<ui::TForm>();
    built->SetBounds(150, 120, 400, 300);
    auto* window = ui::Create<FrameBar>(*built);
    ASSERT_TRUE(window->Loading());
    window->SetBounds(30, 40, 60, 16);
    window->SetParent(built.get());
    window->SetFloatingPosition({5, 6});
    window->SetFloating(true);
    window->SetSavedAtRunTime(savedAtRunTime);
    built->FinishLoading();
    POINT onScreen{30, 40};
    ClientToScreen(built->Handle(), &onScreen);
    const POINT expected = savedAtRunTime ? POINT{5, 6} : onScreen;
    EXPECT_EQ(window->FloatingPosition().x, expected.x);
    EXPECT_EQ(window->FloatingPosition().y, expected.y);
    EXPECT_EQ(window->FloatParent()->Left(), expected.x);
    EXPECT_EQ(window->FloatParent()->Top(), expected.y);
  }
}

TEST_F(TbDockFrames, TheMDIParentIsTheMDIFormThatListsTheChild) {
  // Two MDI forms, each with a client window; the child sits in the second one's.
  const auto mdiForm = [] {
    auto* f = ui::Application->CreateForm<ui::TForm>();
    f->SetFormStyle(ui::TFormStyle::fsMDIForm);
    CLIENTCREATESTRUCT create{nullptr, 0xFF00};
    const HWND client =
        CreateWindowExW(0, L"MDICLIENT", nullptr, WS_CHILD | WS_CLIPCHILDREN, 0, 0, 200, 100,
                        f->Handle(), nullptr, GetModuleHandleW(nullptr), &create);
    EXPECT_NE(client, nullptr);
    return std::pair{f, client};
  };
  const auto [first, firstClient] = mdiForm();
  const auto [second, secondClient] = mdiForm();
  EXPECT_EQ(ui::MDIClientOf(*first), firstClient);
  auto* child = ui::Application->CreateForm<ui::TForm>();
  child->SetFormStyle(ui::TFormStyle::fsMDIChild);
  EXPECT_EQ(MDIParentOf(*child), child);  // listed by none yet
  SetWindowLongPtrW(child->Handle(), GWL_STYLE,
                    (GetWindowLongPtrW(child->Handle(), GWL_STYLE) & ~WS_POPUP) | WS_CHILD);
  ::SetParent(child->Handle(), secondClient);
  EXPECT_EQ(ui::MDIChildrenOf(*second), std::vector<ui::TCustomForm*>{child});
  EXPECT_TRUE(ui::MDIChildrenOf(*first).empty());
  EXPECT_EQ(MDIParentOf(*child), second);
  EXPECT_EQ(MDIParentOf(*second), second);
  EXPECT_EQ(MDIParentOf(*form), form);
}

}  // namespace
}  // namespace tb
