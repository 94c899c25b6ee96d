// Toolbars and the menu bar under Wine: a form with a top dock holding a menu bar (File, Edit,
// Format, View, Fonts) and, in the next row, a toolbar of buttons with a hosted control, above a
// list that holds the focus. Real input
// (SendInput) drives Alt, F10, Alt+letter, Ctrl shortcuts and clicks; each menu loop runs a
// script from a thread timer, which also ends a loop that runs too long.
#include <gtest/gtest.h>

#include <oleacc.h>

#include <algorithm>
#include <map>
#include <vector>

#include "../../ui/win32/gui_fixture.h"
#include "../../ui/win32/screen_check.h"
#include "menu_input.h"
#include "tb/startup.h"
#include "tb/system_settings.h"
#include "tb/win32/acc.h"
#include "tb/win32/acc_platform.h"
#include "tb/win32/popup.h"
#include "tb/win32/toolbar.h"
#include "ui/actions.h"
#include "ui/properties.h"
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
    tb::Initialize();
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
  ~TbToolbarWin32Test() override {
    FreeApplication();
    tb::Finalize();
    SetSystemSettings(previous);
  }

  TTBCustomItem* Add(TTBCustomItem& parent, const wchar_t* caption, bool submenu = false) {
    TTBCustomItem* item = AddItem(*form, parent, caption, submenu);
    if (!submenu)
      item->SetOnClick([this, item](ui::TComponent*) { clicks.push_back(item->Caption()); });
    return item;
  }

  // Sends the input, then pumps until the script has run and the queue is idle, or the time
  // limit ended the loop; false on the time limit.
  bool Run(const std::function<void()>& input,
           std::vector<std::pair<DWORD, std::function<void()>>> steps) {
    return RunScript(input, std::move(steps), &Pump);
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
  // Hidden by the chevron, the control is moved out of sight; its Visible stays the program's.
  EXPECT_TRUE(hosted->Visible());
  EXPECT_EQ(hosted->Left() >= 0, !tools.Viewers(6)->OffEdge());
  TTBItemViewer* chevron = tools.Viewers(tools.ViewerCount() - 1);
  ASSERT_TRUE(chevron->Show());
  EXPECT_LE(chevron->BoundsRect().right, buttons->ClientWidth());

  // The chevron's popup lists the hidden items, in the toolbar's colour.
  std::vector<std::wstring> listed;
  bool opened = false;
  buttons->SetColor(0x00C0FF);
  ui::TColor popupColor = ui::clNone;
  const int hostedLeft = hosted->Left();
  bool hostedStayed = false;
  ASSERT_TRUE(Run([&] { ClickAt(Middle(tools, tools.ViewerCount() - 1)); },
                  {{300, [&] {
                      if (TTBView* popup = tools.OpenViewerView()) {
                        opened = true;
                        // The popup leaves the toolbar's control where the toolbar put it.
                        hostedStayed = hosted->Left() == hostedLeft;
                        popupColor = popup->BackgroundColor();
                        for (int i = 0; i < popup->ViewerCount(); ++i)
                          if (popup->Viewers(i)->Show())
                            listed.push_back(popup->Viewers(i)->Item().Caption());
                      }
                      PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
                      PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
                    }}}));
  EXPECT_TRUE(opened);
  EXPECT_TRUE(hostedStayed);
  EXPECT_EQ(listed, hidden);
  EXPECT_EQ(popupColor, 0x00C0FF);

  // Tab skips a control hidden behind the chevron (hidden from the end without priorities).
  const auto tabbed = [&] {
    std::vector<ui::TWinControl*> order;
    buttons->GetTabOrderList(order);
    return std::count(order.begin(), order.end(), hosted);
  };
  buttons->SetChevronMoveItems(false);
  form->SetClientWidth(121);
  Pump();
  ASSERT_TRUE(tools.Viewers(6)->OffEdge());
  EXPECT_EQ(tabbed(), 0);

  form->SetClientWidth(580);
  Pump();
  EXPECT_EQ(menuBar->Height(), oneLine);
  EXPECT_EQ(top->Height(), dockHeight);
  EXPECT_TRUE(hosted->Visible());
  EXPECT_EQ(tabbed(), 1);
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

  // Floating, the menu bar still hears Alt (the top dock passes the command on).
  menuBar->SetFloating(true);
  Pump();
  ASSERT_TRUE(menuBar->Floating());
  std::wstring selected;
  ASSERT_TRUE(Run([&] { Press({VK_MENU}); }, {{200, [&] {
                                                 selected = SelectedCaption();
                                                 PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
                                               }}}));
  EXPECT_EQ(selected, L"&File");
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
  // And with the focus in the control the toolbar hosts.
  hosted->SetFocus();
  ASSERT_TRUE(Run([&] { Press({VK_CONTROL, 'O'}); }, {{200, [] {}}}));
  EXPECT_EQ(clicks, (std::vector<std::wstring>{L"&File one", L"&File one"}));
}

TEST_F(TbToolbarWin32Test, ArrowsAndTheMouseMoveAcrossTheBarAndASecondClickEndsTheLoop) {
  const auto openCaption = [&] {
    return Bar().OpenViewer() ? Bar().OpenViewer()->Item().Caption() : std::wstring();
  };
  const auto post = [](WORD key) { PostMessageW(GetFocus(), WM_KEYDOWN, key, 0); };
  std::wstring selected, opened, movedTo, hovered;
  bool endedByClick = false;
  ASSERT_TRUE(Run([&] { Press({VK_MENU}); },
                  {{150, [&] { post(VK_RIGHT); }},
                   {250,
                    [&] {
                      selected = SelectedCaption();  // Right moves along the bar
                      post(VK_DOWN);                 // Down opens Edit
                    }},
                   {400,
                    [&] {
                      opened = openCaption();
                      post(VK_RIGHT);  // from its popup, Right goes on to Format, open
                    }},
                   {550,
                    [&] {
                      movedTo = openCaption();
                      MoveMouse(Middle(Bar(), 0));  // the mouse over File switches menus
                    }},
                   {700,
                    [&] {
                      hovered = openCaption();
                      ClickAt(Middle(Bar(), 0));  // a second click on the open item
                    }},
                   {900, [&] { endedByClick = !(Bar().State() & vsModal); }}}));
  EXPECT_EQ(selected, L"&Edit");
  EXPECT_EQ(opened, L"&Edit");
  EXPECT_EQ(movedTo, L"F&ormat");
  EXPECT_EQ(hovered, L"&File");
  EXPECT_TRUE(endedByClick);
  EXPECT_TRUE(clicks.empty());
  EXPECT_EQ(GetFocus(), list->Handle());

  // A space typed in the bar's loop ends it with the system menu of the form.
  const HHOOK hook =
      SetWindowsHookExW(WH_CALLWNDPROC, WatchMenuLoop, nullptr, GetCurrentThreadId());
  systemMenuEntered = false;
  bool wasModal = false;
  Run([&] { Press({VK_F10}); }, {{150,
                                  [&] {
                                    wasModal = Bar().State() & vsModal;
                                    PostMessageW(GetFocus(), WM_CHAR, L' ', 0);
                                  }},
                                 {500, [] { EndMenu(); }}});
  UnhookWindowsHookEx(hook);
  EXPECT_TRUE(wasModal);
  EXPECT_TRUE(systemMenuEntered);
  EXPECT_FALSE(Bar().State() & vsModal);
}

// A button pressed, dragged off and released runs nothing and is no longer drawn pushed while
// away; dragged back before the release it runs.
TEST_F(TbToolbarWin32Test, AButtonReleasedAwayFromItRunsNothing) {
  TTBView& view = buttons->View();
  const POINT open = Middle(view, 1);
  const POINT away = {open.x, open.y + 120};  // over the list
  // Presses "Open", moves through `path`, then releases; whether it was drawn pushed just
  // before the release.
  const auto drag = [&](std::vector<POINT> path) {
    bool pushed = false;
    std::vector<std::pair<DWORD, std::function<void()>>> steps;
    DWORD at = 150;
    for (const POINT p : path) steps.push_back({at += 150, [p] { MoveMouse(p); }});
    steps.push_back({at += 150, [&] {
                       pushed = view.Capture() && view.MouseOverSelected();
                       MouseInput(MOUSEEVENTF_LEFTUP);
                     }});
    steps.push_back({at + 200, [] {}});
    EXPECT_TRUE(Run(
        [&] {
          MoveMouse(open);
          MouseInput(MOUSEEVENTF_LEFTDOWN);
        },
        std::move(steps)));
    return pushed;
  };
  EXPECT_FALSE(drag({{open.x, open.y + 60}, away}));
  EXPECT_TRUE(clicks.empty());
  EXPECT_FALSE(view.State() & vsModal);
  EXPECT_TRUE(drag({away, open}));  // back over it before the release
  EXPECT_EQ(clicks, std::vector<std::wstring>{L"Open"});
}

TEST_F(TbToolbarWin32Test, APlainToolbarTakesItsAcceleratorsAndAControlLeavingFreesOnlyItsItem) {
  // Alt+S: no menu-bar item has S; the button toolbar's "&Save" runs (after its loop).
  buttons->Items().Items(2)->SetCaption(L"&Save");
  ASSERT_TRUE(Run([&] { Press({VK_MENU, 'S'}); }, {{300, [] {}}}));
  EXPECT_EQ(clicks, std::vector<std::wstring>{L"&Save"});
  EXPECT_FALSE(Bar().State() & vsModal);
  EXPECT_EQ(GetFocus(), list->Handle());

  // Hidden by the program, the control gives back its room and stays hidden through layouts.
  const int width = buttons->Width();
  hosted->SetVisible(false);
  EXPECT_FALSE(buttons->View().Viewers(6)->Show());
  EXPECT_LT(buttons->Width(), width);
  form->SetClientWidth(form->ClientWidth() - 20);
  Pump();
  buttons->View().InvalidatePositions();
  buttons->View().ValidatePositions();
  EXPECT_FALSE(hosted->Visible());
  EXPECT_FALSE(IsWindowVisible(hosted->Handle()));
  hosted->SetVisible(true);
  EXPECT_TRUE(buttons->View().Viewers(6)->Show());
  EXPECT_EQ(buttons->Width(), width);

  hosted->SetParent(form);
  EXPECT_EQ(buttons->Items().Count(), 6);
  EXPECT_EQ(hosted->Parent(), form);  // the control lives on
  hosted->SetParent(buttons);
  EXPECT_EQ(buttons->Items().Count(), 7);
  // Placed while the toolbar is updating, a control gets no item.
  hosted->SetParent(form);
  buttons->BeginUpdate();
  hosted->SetParent(buttons);
  buttons->EndUpdate();
  EXPECT_EQ(buttons->Items().Count(), 6);
}

// On its form (no dock), a toolbar anchored on both sides keeps its width and wraps or shortens
// its items to it, as one aligned to the top does; anchored on one side it takes its items'
// length.
TEST_F(TbToolbarWin32Test, AToolbarOnItsFormAnchoredOnBothSidesKeepsItsWidth) {
  const int oneLine = buttons->ClientHeight();
  struct Case {
    ui::TAnchors anchors;
    TTBShrinkMode mode;
    bool keepsWidth;
  };
  const Case cases[] = {
      {ui::akLeft | ui::akTop | ui::akRight, TTBShrinkMode::tbsmWrap, true},
      {ui::akLeft | ui::akTop | ui::akRight, TTBShrinkMode::tbsmChevron, true},
      {ui::akLeft | ui::akTop, TTBShrinkMode::tbsmWrap, false},
      {ui::akTop | ui::akRight, TTBShrinkMode::tbsmChevron, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.anchors) * 10 + static_cast<int>(c.mode));
    auto* bar = ui::Create<TTBCustomToolbar>(*form);
    bar->SetShrinkMode(c.mode);
    bar->SetParent(form);
    bar->SetAnchors(c.anchors);
    bar->SetBounds(10, 150, 80, oneLine);
    for (const wchar_t* caption : {L"New", L"Open", L"Save", L"Cut", L"Copy", L"Paste"})
      Add(bar->Items(), caption);
    Pump();
    EXPECT_EQ(bar->Width() == 80, c.keepsWidth);
    TTBView& view = bar->View();
    const bool chevronShown = view.Viewers(view.ViewerCount() - 1)->Show();
    EXPECT_EQ(chevronShown, c.keepsWidth && c.mode == TTBShrinkMode::tbsmChevron);
    EXPECT_EQ(bar->Height() > oneLine, c.keepsWidth && c.mode == TTBShrinkMode::tbsmWrap);
    ui::Free(bar);
  }
}

// Streaming: a toolbar's children are its items, then its windowed controls; a popup menu's
// are its items; a child's order and the toolbar's LinkSubitems and Options are the root
// item's.
TEST_F(TbToolbarWin32Test, ToolbarsAndPopupMenusStreamTheirItemsThroughTheRootItem) {
  std::vector<ui::TComponent*> listed;
  const auto collect = [&](ui::TComponent* child) { listed.push_back(child); };
  buttons->GetChildren(collect);
  ASSERT_EQ(listed.size(), 8u);  // six buttons, the memo's item, the memo
  EXPECT_EQ(listed[0], buttons->Items().Items(0));
  EXPECT_EQ(listed[6], buttons->Items().Items(6));
  EXPECT_EQ(listed[7], hosted);
  buttons->SetChildOrder(buttons->Items().Items(5), 0);
  EXPECT_EQ(buttons->Items().Items(0)->Caption(), L"Paste");

  TTBCustomItem* file = menuBar->Items().Items(0);
  buttons->SetLinkSubitems(file);
  EXPECT_EQ(buttons->Items().LinkSubitems(), file);
  EXPECT_EQ(&buttons->View().Viewers(0)->Item(), file->Items(0));  // shows File's items
  buttons->SetOptions(tboShowHint);
  EXPECT_EQ(buttons->Items().Options(), tboShowHint);

  TTBPopupMenu* menu = ui::Create<TTBPopupMenu>(*form);
  TTBCustomItem* one = Add(menu->Items(), L"One");
  TTBCustomItem* two = Add(menu->Items(), L"Two");
  menu->SetChildOrder(two, 0);
  listed.clear();
  menu->GetChildren(collect);
  EXPECT_EQ(listed, (std::vector<ui::TComponent*>{two, one}));
}

TEST_F(TbToolbarWin32Test, ToolbarsAndPopupMenusPublishTheirTables) {
  struct TextCase {
    const wchar_t* name;
    const wchar_t* before;
    const wchar_t* text;
  };
  const TextCase cases[] = {
      {L"ChevronMoveItems", L"True", L"False"},
      {L"ChevronPriorityForNewItems", L"tbcpHighest", L"tbcpLowest"},
      {L"ProcessShortCuts", L"False", L"True"},
      {L"ShrinkMode", L"tbsmChevron", L"tbsmNone"},
      {L"SystemFont", L"True", L"False"},
      {L"UpdateActions", L"True", L"False"},
      {L"MenuBar", L"False", L"True"},
  };
  for (const TextCase& c : cases) {
    const ui::PropInfo* prop = ui::FindProp(*buttons, c.name);
    ASSERT_NE(prop, nullptr) << c.name;
    EXPECT_EQ(ui::GetPropText(*buttons, *prop), c.before) << c.name;
    EXPECT_TRUE(ui::SetPropText(*buttons, *prop, c.text));
    EXPECT_EQ(ui::GetPropText(*buttons, *prop), c.text) << c.name;
  }
  EXPECT_EQ(buttons->ShrinkMode(), TTBShrinkMode::tbsmWrap);  // the menu bar's
  EXPECT_EQ(ui::FindProp(*buttons, L"Items")->getObj(*buttons), &buttons->Items());

  // The chevron's hint is stored only when it is not the framework's own.
  const ui::PropInfo* hint = ui::FindProp(*buttons, L"ChevronHint");
  EXPECT_EQ(ui::GetPropText(*buttons, *hint), L"More Buttons|");
  EXPECT_FALSE(ui::IsStoredProp(*buttons, *hint));
  EXPECT_TRUE(ui::SetPropText(*buttons, *hint, L"M&ore|Hidden buttons"));
  EXPECT_TRUE(ui::IsStoredProp(*buttons, *hint));
  EXPECT_EQ(buttons->Chevron().Caption(), L"M&&ore");

  TTBPopupMenu* menu = ui::Create<TTBPopupMenu>(*form);
  EXPECT_EQ(ui::FindProp(*menu, L"Items")->getObj(*menu), &menu->Items());
}

// An item whose viewer shows the hand over its right half.
class LinkItem : public TTBCustomItem {
 public:
  using TTBCustomItem::TTBCustomItem;
  std::unique_ptr<TTBItemViewer> CreateViewer(TTBView& view, int groupLevel) override {
    struct Viewer : TTBItemViewer {
      using TTBItemViewer::TTBItemViewer;
      void GetCursor(TPoint pt, int& cursor) override {
        if (pt.x >= BoundsRect().Width() / 2) cursor = ui::crHandPoint;
      }
    };
    return std::make_unique<Viewer>(view, *this, groupLevel);
  }
};

TEST_F(TbToolbarWin32Test, TheViewerUnderTheMouseChoosesTheCursorAndTheColourIsTheViews) {
  auto* link = ui::Create<LinkItem>(*form);
  link->SetCaption(L"Link");
  buttons->Items().Insert(0, link);
  Pump();
  const TRect r = buttons->View().Viewers(0)->BoundsRect();
  const auto cursorAt = [&](int x) {
    POINT p{x, r.top + r.Height() / 2};
    ClientToScreen(buttons->Handle(), &p);
    SetCursorPos(p.x, p.y);
    SetCursor(nullptr);
    return SendMessageW(buttons->Handle(), WM_SETCURSOR,
                        reinterpret_cast<WPARAM>(buttons->Handle()),
                        MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  };
  EXPECT_EQ(cursorAt(r.right - 2), 1);
  EXPECT_EQ(GetCursor(), ui::Screen->Cursors(ui::crHandPoint));
  EXPECT_EQ(cursorAt(r.left + 2), 0);  // the viewer leaves it to the window
  EXPECT_NE(GetCursor(), ui::Screen->Cursors(ui::crHandPoint));

  EXPECT_EQ(buttons->View().BackgroundColor(), ui::clBtnFace);
  buttons->SetColor(0x00FF00);
  EXPECT_EQ(buttons->View().BackgroundColor(), 0x00FF00);
}

TEST_F(TbToolbarWin32Test, AtIdleAShownToolbarUpdatesItsItemsActions) {
  auto* action = ui::Create<ui::TAction>(*form);  // in no action list: only the item updates it
  int updates = 0;
  action->OnUpdate = [&](ui::TComponent*) { ++updates; };
  buttons->Items().Items(1)->SetAction(action);
  updates = 0;
  ui::Application->Idle();
  EXPECT_EQ(updates, 1);
  buttons->SetVisible(false);
  ui::Application->Idle();
  buttons->SetVisible(true);
  buttons->SetUpdateActions(false);
  ui::Application->Idle();
  EXPECT_EQ(updates, 1);
}

TEST_F(TbToolbarWin32Test, AFloatingToolbarSizedNarrowerWrapsItsItemsToFitTheWidth) {
  buttons->SetFloating(true);
  Pump();
  ASSERT_TRUE(buttons->Floating());
  const HWND floatWnd = buttons->FloatParent()->Handle();
  RECT start;
  GetWindowRect(floatWnd, &start);
  const int oneLine = buttons->Height();
  const int oneLineWidth = buttons->ClientWidth();
  EXPECT_EQ(buttons->FloatingWidth(), 0);
  // The right edge is dragged to 60 % of the width, then released.
  const POINT from{start.right - 1, start.top + 20};
  const POINT to{start.left + (start.right - start.left) * 6 / 10, from.y};
  SetCursorPos(from.x, from.y);
  const auto post = [&](UINT msg, POINT p) {
    ScreenToClient(floatWnd, &p);
    PostMessageW(floatWnd, msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON,
                 MAKELPARAM(static_cast<short>(p.x), static_cast<short>(p.y)));
  };
  post(WM_MOUSEMOVE, to);
  post(WM_LBUTTONUP, to);
  ASSERT_TRUE(Run([&] { buttons->BeginSizing(TTBSizeHandle::twshRight); }, {{50, [] {}}}));
  RECT now;
  GetWindowRect(floatWnd, &now);
  EXPECT_EQ(now.left, start.left);
  EXPECT_LT(now.right, start.right);
  EXPECT_GT(buttons->Height(), oneLine);  // two lines or more
  EXPECT_GT(buttons->FloatingWidth(), 0);
  // The items fill the width they were given.
  EXPECT_EQ(buttons->View().BaseWidth(), buttons->ClientWidth());
  // The wrap width is its position data: written, read back as absent (one line again), then
  // read back as written (wrapped again).
  std::map<std::pair<std::wstring, std::wstring>, int> stored;
  buttons->SetName(L"Buttons");
  buttons->WritePositionData({[&](const std::wstring& name, const std::wstring& value, int v) {
    stored[{name, value}] = v;
  }});
  const std::map<std::pair<std::wstring, std::wstring>, int> expected{
      {{L"Buttons", L"FloatRightX"}, buttons->FloatingWidth()}};
  EXPECT_EQ(stored, expected);
  const auto read = [&](const std::map<std::pair<std::wstring, std::wstring>, int>& table) {
    buttons->ReadPositionData({[&](const std::wstring& name, const std::wstring& value, int d) {
      const auto it = table.find({name, value});
      return it == table.end() ? d : it->second;
    }});
    Pump();
  };
  // The pointer goes away from the toolbar, so that no item stays hot for the screen checks
  // (Wine tells of the pointer's leaving on a timer).
  SetCursorPos(1200, 1000);
  Pump();
  ui_test::SettleScreen();
  read({});
  EXPECT_EQ(buttons->FloatingWidth(), 0);
  EXPECT_EQ(buttons->Height(), oneLine);
  // Wider again: the floating form's frame is drawn at its new size.
  EXPECT_TRUE(ui_test::ScreenEqualsFullRepaint(floatWnd));
  read(stored);
  EXPECT_EQ(buttons->FloatingWidth(), expected.begin()->second);
  EXPECT_GT(buttons->Height(), oneLine);
  // A floating width beyond the items' length: the chevron toolbar stretches to it.
  buttons->SetFloatingWidth(oneLineWidth + 40);
  Pump();
  EXPECT_EQ(buttons->ClientWidth(), oneLineWidth + 40);
  EXPECT_EQ(buttons->Height(), oneLine);
  EXPECT_TRUE(ui_test::ScreenEqualsFullRepaint(floatWnd));
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

  // An item's accelerator in lower case, a letter beyond ASCII too.
  TTBCustomItem* fonts = menuBar->Items().Items(4);
  fonts->SetCaption(L"\u00DCber&\u00C4rger");
  Bar().ValidatePositions();
  IAccessible* item = GetViewerAccObject(*Bar().Find(fonts));
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->get_accKeyboardShortcut(self, &shortcut), S_OK);
  EXPECT_EQ(std::wstring(shortcut ? shortcut : L""), AltKeyName() + L"+\u00E4");
  SysFreeString(shortcut);
  // A caller that gives no place for the answer is refused.
  EXPECT_EQ(item->get_accName(self, nullptr), E_POINTER);
  EXPECT_EQ(item->get_accState(self, nullptr), E_POINTER);
  EXPECT_EQ(item->accLocation(nullptr, nullptr, nullptr, nullptr, self), E_POINTER);
  EXPECT_EQ(item->accHitTest(0, 0, nullptr), E_POINTER);
}

// A popup menu showing the toolbar's items neither shows the hosted control, which is not on
// its window, nor moves it.
TEST_F(TbToolbarWin32Test, APopupListingTheToolbarsItemsLeavesItsControlInPlace) {
  auto* menu = ui::Create<TTBPopupMenu>(*form);
  menu->SetLinkSubitems(&buttons->Items());
  const int left = hosted->Left(), hostedTop = hosted->Top();
  bool controlShown = true;
  int leftDuring = -1;
  ASSERT_TRUE(
      Run([&] { menu->Popup(300, 300); },
          {{300, [&] {
              leftDuring = hosted->Left();
              if (TTBPopupWindow* popup = TTBPopupWindow::FromHandle(WindowFromPoint({305, 305})))
                controlShown = popup->View().Find(buttons->Items().Items(6))->Show();
              PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
            }}}));
  EXPECT_EQ(leftDuring, left);
  EXPECT_FALSE(controlShown);
  EXPECT_EQ(hosted->Left(), left);
  EXPECT_EQ(hosted->Top(), hostedTop);
}

}  // namespace
}  // namespace tb
