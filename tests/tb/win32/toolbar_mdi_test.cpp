// Toolbars on an MDI form under Wine: the MDI items at the ends of a toolbar's view, and the
// menu bar taking Alt+letter typed in the MDI client window and Alt+"-" typed in an MDI child.
// The main form has an MDICLIENT child window with one MDI child form in it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../../ui/win32/gui_fixture.h"
#include "menu_input.h"
#include "tb/startup.h"
#include "tb/system_settings.h"
#include "tb/win32/toolbar.h"

namespace tb {
namespace {

using namespace tb::testing;

class TbToolbarMDI : public UiGuiTest {
 protected:
  TbToolbarMDI() {
    previous = SetSystemSettings(&settings);
    tb::Initialize();
    form = ui::Application->CreateForm<ui::TForm>();
    form->SetFormStyle(ui::TFormStyle::fsMDIForm);
    form->SetBounds(40, 40, 500, 300);
    CLIENTCREATESTRUCT create{nullptr, 0xFF00};
    client = CreateWindowExW(0, L"MDICLIENT", nullptr, WS_CHILD | WS_CLIPCHILDREN, 0, 0, 400, 200,
                             form->Handle(), nullptr, GetModuleHandleW(nullptr), &create);
    child = ui::Application->CreateForm<ui::TForm>();
    child->SetFormStyle(ui::TFormStyle::fsMDIChild);
    SetWindowLongPtrW(child->Handle(), GWL_STYLE,
                      (GetWindowLongPtrW(child->Handle(), GWL_STYLE) & ~WS_POPUP) | WS_CHILD);
    ::SetParent(child->Handle(), client);
    auto* top = ui::Create<TTBDock>(*form);
    top->SetParent(form);
    bar = ui::Create<TTBCustomToolbar>(*form);
    bar->SetParent(top);
    for (const wchar_t* caption : {L"&File", L"&Window"})
      AddItem(*form, bar->Items(), caption, true);
  }
  ~TbToolbarMDI() override {
    FreeApplication();
    tb::Finalize();
    SetSystemSettings(previous);
  }

  std::vector<std::wstring> Shown() {
    std::vector<std::wstring> captions;
    for (int i = 0; i < bar->View().ViewerCount(); ++i)
      captions.push_back(bar->View().Viewers(i)->Item().Caption());
    return captions;
  }
  // Posts WM_SYSCHAR to `target` and answers the window it is fetched for.
  static HWND FetchedFor(HWND target, wchar_t ch) {
    PostMessageW(target, WM_SYSCHAR, ch, 1 << 29);
    MSG msg{};
    if (!PeekMessageW(&msg, nullptr, WM_SYSCHAR, WM_SYSCHAR, PM_REMOVE)) return nullptr;
    return msg.hwnd;
  }

  TFixedSystemSettings settings;
  ISystemSettings* previous = nullptr;
  ui::TForm* form = nullptr;
  ui::TForm* child = nullptr;
  HWND client = nullptr;
  TTBCustomToolbar* bar = nullptr;
};

TEST_F(TbToolbarMDI, TheMDIItemsStandAtTheEndsOfTheView) {
  auto* systemMenu = ui::Create<SubmenuItem>(*form);
  systemMenu->SetCaption(L"Child");
  auto* buttons = ui::Create<TTBCustomItem>(*form);
  for (const wchar_t* caption : {L"Minimize", L"Restore", L"Close"})
    AddItem(*form, *buttons, caption, false);

  bar->SetMDISystemMenuItem(systemMenu);
  bar->SetMDIButtonsItem(buttons);
  EXPECT_EQ(Shown(), (std::vector<std::wstring>{L"Child", L"&File", L"&Window", L"Minimize",
                                                L"Restore", L"Close", L"More Buttons"}));
  // They are the view's own: a new item goes between them.
  AddItem(*form, bar->Items(), L"&Help", true);
  EXPECT_EQ(Shown()[3], L"&Help");
  EXPECT_EQ(Shown()[4], L"Minimize");

  // Its sub-items come and go: the view follows.
  AddItem(*form, *buttons, L"Help", false);
  EXPECT_EQ(Shown()[7], L"Help");
  ui::Free(buttons->Items(0));
  EXPECT_EQ(Shown(), (std::vector<std::wstring>{L"Child", L"&File", L"&Window", L"&Help",
                                                L"Restore", L"Close", L"Help", L"More Buttons"}));

  bar->SetMDIButtonsItem(nullptr);
  EXPECT_EQ(Shown(),
            (std::vector<std::wstring>{L"Child", L"&File", L"&Window", L"&Help", L"More Buttons"}));
  // A freed item is dropped with its viewer.
  ui::Free(systemMenu);
  EXPECT_EQ(bar->MDISystemMenuItem(), nullptr);
  EXPECT_EQ(Shown(), (std::vector<std::wstring>{L"&File", L"&Window", L"&Help", L"More Buttons"}));
}

TEST_F(TbToolbarMDI, TheMenuBarTakesAltLettersOfTheClientWindowAndAltMinusOfAChild) {
  struct Case {
    const char* name;
    bool menuBar;
    bool capture;
    bool toChild;
    wchar_t ch;
    bool redirected;
  };
  const Case cases[] = {
      {"client", true, false, false, L'f', true},
      {"client under capture", true, true, false, L'f', false},
      {"client, no menu bar", false, false, false, L'f', false},
      {"child letter", true, false, true, L'f', false},
      {"child minus", true, false, true, L'-', true},
      {"child minus under capture", true, true, true, L'-', false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    bar->SetMenuBar(c.menuBar);
    if (c.capture) SetCapture(form->Handle());
    const HWND target = c.toChild ? child->Handle() : client;
    EXPECT_EQ(FetchedFor(target, c.ch), c.redirected ? form->Handle() : target);
    if (c.capture) ReleaseCapture();
  }
}

// A shortcut typed in an MDI form reaches the toolbars of its active child first.
TEST_F(TbToolbarMDI, ShortcutsReachTheToolbarsOfTheActiveChild) {
  auto* childBar = ui::Create<TTBCustomToolbar>(*child);
  childBar->SetParent(child);
  childBar->SetProcessShortCuts(true);
  TTBCustomItem* item = AddItem(*child, childBar->Items(), L"Re&fresh", false);
  item->SetShortCut(VK_F5);
  int clicks = 0;
  item->SetOnClick([&clicks](ui::TComponent*) { ++clicks; });
  form->Show();
  SetActiveWindow(form->Handle());
  // The child was not made by the client window, which therefore answers for it here.
  static WNDPROC clientProc = nullptr;
  static HWND activeChild = nullptr;
  activeChild = child->Handle();
  clientProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
      client, GWLP_WNDPROC,
      reinterpret_cast<LONG_PTR>(+[](HWND wnd, UINT msg, WPARAM w, LPARAM l) -> LRESULT {
        if (msg == WM_MDIGETACTIVE) return reinterpret_cast<LRESULT>(activeChild);
        return CallWindowProcW(clientProc, wnd, msg, w, l);
      })));
  ui::TMessage key{ui::CM_APPKEYDOWN, VK_F5, 0, 0};
  EXPECT_TRUE(ui::Application->CallMainWindowHooks(key));
  EXPECT_EQ(clicks, 1);
}

}  // namespace
}  // namespace tb
