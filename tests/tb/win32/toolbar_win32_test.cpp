// Toolbars and the menu bar under Wine: a form with a top dock holding a menu bar (File, Edit,
// Format, View, Fonts) and, in the next row, a toolbar of buttons with a hosted control, above a
// list that holds the focus. Real input
// (SendInput) drives Alt, F10, Alt+letter, Ctrl shortcuts and clicks; each menu loop runs a
// script from a thread timer, which also ends a loop that runs too long.
#include <gtest/gtest.h>

#include <oleacc.h>

#include <vector>

#include "../../ui/win32/gui_fixture.h"
#include "menu_input.h"
#include "tb/system_settings.h"
#include "tb/win32/acc_platform.h"
#include "tb/win32/popup.h"
#include "tb/win32/toolbar.h"
#include "ui/win32/list_view.h"
#include "ui/win32/memo.h"

namespace tb {
namespace {

using namespace tb::testing;

// Presses the keys in order and releases them in reverse.
void Press(std::initializer_list<WORD> keys) {
  for (WORD key : keys) KeyInput(key, false);
  for (auto it = std::rbegin(keys); it != std::rend(keys); ++it) KeyInput(*it, true);
}

// The system menu's loop started on a window of ours.
bool systemMenuEntered = false;
LRESULT CALLBACK WatchMenuLoop(int code, WPARAM wParam, LPARAM lParam) {
  const auto* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && m->message == WM_ENTERMENULOOP) systemMenuEntered = true;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

class TbToolbarWin32Test : public UiGuiTest {
 protected:
  TbToolbarWin32Test() {
    settings.menuShowDelay = 100;
    settings.keyboardCues = false;
    previous = SetSystemSettings(&settings);
    form = ui::Application->CreateForm<ui::TForm>();
    form->SetBounds(40, 40, 600, 400);
    top = ui::Create<TTBDock>(*form);
    top->SetParent(form);
    menuBar = ui::Create<TTBCustomToolbar>(*form);
    menuBar->SetMenuBar(true);
    menuBar->SetParent(top);
    for (const wchar_t* caption : {L"&File", L"&Edit", L"F&ormat", L"&View", L"&Help"}) {
      TTBCustomItem* submenu = Add(menuBar->Items(), caption, true);
      Add(*submenu, (std::wstring(caption) + L" one").c_str());
      Add(*submenu, (std::wstring(caption) + L" two").c_str());
    }
    menuBar->Items().Items(0)->Items(0)->SetShortCut(ui::scCtrl | 'O');
    menuBar->Items().Items(3)->SetEnabled(false);  // View
    // Help becomes Fonts: a second item with the accelerator F (F&ormat has O).
    menuBar->Items().Items(4)->SetCaption(L"&Fonts");

    buttons = ui::Create<TTBCustomToolbar>(*form);
    buttons->SetDockRow(1);
    buttons->SetParent(top);
    for (const wchar_t* caption : {L"New", L"Open", L"Save", L"Cut", L"Copy", L"Paste"}) {
      Add(buttons->Items(), caption);
    }
    hosted = ui::Create<ui::TMemo>(*form);
    hosted->SetBounds(0, 0, 60, 18);
    hosted->SetParent(buttons);

    list = ui::Create<ui::TListView>(*form);
    list->SetParent(form);
    list->SetAlign(ui::TAlign::alClient);
    form->Show();
    SetForegroundWindow(form->Handle());
    list->SetFocus();
    Pump();
  }
  ~TbToolbarWin32Test() override { SetSystemSettings(previous); }

  TTBCustomItem* Add(TTBCustomItem& parent, const wchar_t* caption, bool submenu = false) {
    TTBCustomItem* item = submenu ? static_cast<TTBCustomItem*>(ui::Create<SubmenuItem>(*form))
                                  : ui::Create<TTBCustomItem>(*form);
    item->SetCaption(caption);
    if (!submenu)
      item->SetOnClick([this, item](ui::TComponent*) { clicks.push_back(item->Caption()); });
    parent.Add(item);
    return item;
  }

  // Sends the input, then pumps until the script has run and the queue is idle, or the time
  // limit ended the loop; false on the time limit.
  bool Run(const std::function<void()>& input,
           std::vector<std::pair<DWORD, std::function<void()>>> steps) {
    Script s;
    s.steps = std::move(steps);
    s.start = GetTickCount();
    script = &s;
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, Tick);
    input();
    while (!s.Done() && !s.timedOut) {
      Pump();
      Sleep(5);
    }
    for (int i = 0; i < 10; ++i) {
      Pump();
      Sleep(5);
    }
    KillTimer(nullptr, timer);
    script = nullptr;
    return !s.timedOut;
  }
  TTBView& Bar() { return menuBar->View(); }
  std::wstring SelectedCaption() {
    return Bar().Selected() ? Bar().Selected()->Item().Caption() : L"";
  }

  TFixedSystemSettings settings;
  ISystemSettings* previous = nullptr;
  ui::TForm* form = nullptr;
  TTBDock* top = nullptr;
  TTBCustomToolbar* menuBar = nullptr;
  TTBCustomToolbar* buttons = nullptr;
  ui::TMemo* hosted = nullptr;
  ui::TListView* list = nullptr;
  std::vector<std::wstring> clicks;
};

TEST_F(TbToolbarWin32Test, ANarrowedFormWrapsTheMenuBarAndTheChevronHoldsWhatDoesNotFit) {
  const int oneLine = menuBar->Height();
  const int dockHeight = top->Height();
  ASSERT_GT(oneLine, 10);
  EXPECT_EQ(top->Width(), form->ClientWidth());
  EXPECT_EQ(menuBar->Width(), top->Width());  // full size
  EXPECT_EQ(buttons->Top(), menuBar->Height());
  EXPECT_EQ(list->Top(), top->Height());
  // The hosted control got its item at the end and sits on the toolbar.
  ASSERT_EQ(buttons->Items().Count(), 7);
  EXPECT_EQ(dynamic_cast<TTBControlItem*>(buttons->Items().Items(6))->Control(), hosted);

  form->SetClientWidth(120);
  Pump();
  EXPECT_GE(menuBar->Height(), 2 * oneLine - 4);  // two lines; the frame counts once
  EXPECT_GT(top->Height(), dockHeight);           // the dock grows
  EXPECT_EQ(list->Top(), top->Height());
  TTBView& tools = buttons->View();
  std::vector<std::wstring> hidden;
  for (int i = 0; i < 7; ++i)
    if (tools.Viewers(i)->OffEdge()) hidden.push_back(tools.Viewers(i)->Item().Caption());
  EXPECT_FALSE(hidden.empty());
  EXPECT_FALSE(hidden.size() == 7);
  EXPECT_EQ(hosted->Visible(), !tools.Viewers(6)->OffEdge());
  TTBItemViewer* chevron = tools.Viewers(tools.ViewerCount() - 1);
  ASSERT_TRUE(chevron->Show());
  EXPECT_LE(chevron->BoundsRect().right, buttons->ClientWidth());

  // The chevron's popup lists the hidden items.
  std::vector<std::wstring> listed;
  bool opened = false;
  ASSERT_TRUE(Run([&] { ClickAt(Middle(tools, tools.ViewerCount() - 1)); },
                  {{300, [&] {
                      if (TTBView* popup = tools.OpenViewerView()) {
                        opened = true;
                        for (int i = 0; i < popup->ViewerCount(); ++i)
                          if (popup->Viewers(i)->Show())
                            listed.push_back(popup->Viewers(i)->Item().Caption());
                      }
                      PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
                      PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
                    }}}));
  EXPECT_TRUE(opened);
  EXPECT_EQ(listed, hidden);

  form->SetClientWidth(580);
  Pump();
  EXPECT_EQ(menuBar->Height(), oneLine);
  EXPECT_EQ(top->Height(), dockHeight);
  EXPECT_TRUE(hosted->Visible());
  EXPECT_EQ(GetFocus(), list->Handle());
}

TEST_F(TbToolbarWin32Test, AltAndF10EnterTheMenuBarAndEscapeGivesTheFocusBack) {
  for (WORD key : {static_cast<WORD>(VK_MENU), static_cast<WORD>(VK_F10)}) {
    SCOPED_TRACE(key);
    std::wstring selected;
    bool modal = false, accels = false;
    ASSERT_TRUE(Run([&] { Press({key}); }, {{200, [&] {
                                               modal = Bar().State() & vsModal;
                                               accels = Bar().State() & vsShowAccels;
                                               selected = SelectedCaption();
                                               PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
                                             }}}));
    EXPECT_TRUE(modal);
    EXPECT_TRUE(accels);
    EXPECT_EQ(selected, L"&File");
    EXPECT_FALSE(Bar().State() & vsModal);
    EXPECT_FALSE(Bar().State() & vsShowAccels);
    EXPECT_EQ(GetFocus(), list->Handle());
  }
  EXPECT_TRUE(clicks.empty());
}

TEST_F(TbToolbarWin32Test, AltLetterOpensAUniqueMenuAndSelectsTheFirstOfSeveral) {
  // Alt+E: the only E opens Edit with its first item selected; Enter runs it after the loop.
  std::wstring open, first;
  ASSERT_TRUE(Run(
      [&] {
        Press({VK_MENU, 'E'});
      },
      {{300, [&] {
          if (TTBView* popup = Bar().OpenViewerView()) {
            open = Bar().OpenViewer()->Item().Caption();
            if (popup->Selected()) first = popup->Selected()->Item().Caption();
          }
          PostMessageW(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
        }}}));
  EXPECT_EQ(open, L"&Edit");
  EXPECT_EQ(first, L"&Edit one");
  EXPECT_EQ(clicks, std::vector<std::wstring>{L"&Edit one"});
  EXPECT_EQ(GetFocus(), list->Handle());

  // Alt+F: File and Fonts share the letter: File is selected, nothing opens.
  bool nothingOpen = false;
  std::wstring selected;
  ASSERT_TRUE(Run(
      [&] {
        Press({VK_MENU, 'F'});
      },
      {{300, [&] {
          nothingOpen = !Bar().OpenViewerView();
          selected = SelectedCaption();
          PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
        }}}));
  EXPECT_TRUE(nothingOpen);
  EXPECT_EQ(selected, L"&File");

  // Alt+V: View is disabled: no loop.
  bool entered = false;
  ASSERT_TRUE(Run(
      [&] {
        Press({VK_MENU, 'V'});
      },
      {{200, [&] { entered = Bar().State() & vsModal; }}}));
  EXPECT_FALSE(entered);
  EXPECT_EQ(GetFocus(), list->Handle());
}

TEST_F(TbToolbarWin32Test, AltSpaceOpensTheSystemMenuAndCtrlShortcutsReachTheItems) {
  const HHOOK hook =
      SetWindowsHookExW(WH_CALLWNDPROC, WatchMenuLoop, nullptr, GetCurrentThreadId());
  systemMenuEntered = false;
  Run([&] { Press({VK_MENU, VK_SPACE}); }, {{400, [&] { EndMenu(); }}});
  UnhookWindowsHookEx(hook);
  EXPECT_TRUE(systemMenuEntered);
  EXPECT_FALSE(Bar().State() & vsModal);

  // Ctrl+O with the focus in the list: the File menu's item runs once.
  clicks.clear();
  ASSERT_TRUE(Run([&] { Press({VK_CONTROL, 'O'}); }, {{200, [] {}}}));
  EXPECT_EQ(clicks, std::vector<std::wstring>{L"&File one"});
}

TEST_F(TbToolbarWin32Test, AClickOnAMenuBarItemOpensItsPopupAndTheBarIsAMenuBarToAccessibility) {
  std::wstring open;
  bool modal = false;
  ASSERT_TRUE(Run([&] { ClickAt(Middle(Bar(), 1)); },
                  {{300, [&] {
                      modal = Bar().State() & vsModal;
                      if (Bar().OpenViewer()) open = Bar().OpenViewer()->Item().Caption();
                      PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
                      PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
                    }}}));
  EXPECT_TRUE(modal);
  EXPECT_EQ(open, L"&Edit");
  EXPECT_FALSE(Bar().State() & vsModal);
  EXPECT_EQ(GetFocus(), list->Handle());

  IAccessible* acc = nullptr;
  ASSERT_EQ(AccessibleObjectFromWindow(menuBar->Handle(), static_cast<DWORD>(OBJID_CLIENT),
                                       IID_IAccessible, reinterpret_cast<void**>(&acc)),
            S_OK);
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  VARIANT role;
  VariantInit(&role);
  EXPECT_EQ(acc->get_accRole(self, &role), S_OK);
  EXPECT_EQ(role.lVal, ROLE_SYSTEM_MENUBAR);
  BSTR shortcut = nullptr;
  EXPECT_EQ(acc->get_accKeyboardShortcut(self, &shortcut), S_OK);
  EXPECT_EQ(std::wstring(shortcut ? shortcut : L""), AltKeyName());
  SysFreeString(shortcut);
  acc->Release();
  VARIANT toolRole;
  VariantInit(&toolRole);
  IAccessible* tools = nullptr;
  ASSERT_EQ(AccessibleObjectFromWindow(buttons->Handle(), static_cast<DWORD>(OBJID_CLIENT),
                                       IID_IAccessible, reinterpret_cast<void**>(&tools)),
            S_OK);
  EXPECT_EQ(tools->get_accRole(self, &toolRole), S_OK);
  EXPECT_EQ(toolRole.lVal, ROLE_SYSTEM_TOOLBAR);
  tools->Release();
}

}  // namespace
}  // namespace tb
