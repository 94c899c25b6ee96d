// Popup menus under Wine: a form with a list control and a popup menu (nested submenus, a radio
// group, checked, disabled and hidden items, a submenu rebuilt in OnPopup, a recent-file list),
// driven by real input (SendInput) for clicks and Ctrl shortcuts and by posted messages for the
// rest. Each loop runs a script from a thread timer, which also ends a loop that runs too long.
#include <gtest/gtest.h>
#include <oleacc.h>

#include <cstdio>
#include <functional>
#include <vector>

#include "../../ui/win32/gui_fixture.h"
#include "menu_input.h"
#include "tb/mru.h"
#include "tb/startup.h"
#include "tb/system_settings.h"
#include "tb/win32/acc_platform.h"
#include "tb/win32/anim.h"
#include "tb/win32/popup.h"
#include "ui/actions.h"
#include "ui/win32/list_view.h"

namespace tb {
namespace {

using namespace tb::testing;

// Root popups, as the framework makes them; the paint time of the first one.
TTBPopupWindow* rootPopup = nullptr;
LARGE_INTEGER firstPaint{};

class TimedPopup : public TTBPopupWindow {
 public:
  using TTBPopupWindow::TTBPopupWindow;

 protected:
  void Paint() override {
    TTBPopupWindow::Paint();
    if (!firstPaint.QuadPart) QueryPerformanceCounter(&firstPaint);
  }
};

TTBPopupWindowBase* RecordingFactory(TTBCustomItem& item, const TTBPopupRequest& request) {
  TTBPopupWindowBase* popup = CreatePopupWindow(
      item, request, [](TTBView* parentView, TTBCustomItem& shown, bool customizing) {
        return ui::Owned<TTBPopupWindow>(ui::New<TimedPopup>(parentView, &shown, customizing));
      });
  if (!request.parentView) rootPopup = static_cast<TTBPopupWindow*>(popup);
  return popup;
}

RECT WindowRect(HWND wnd) {
  RECT r{};
  GetWindowRect(wnd, &r);
  return r;
}

class TbMenuWin32Test : public UiGuiTest {
 protected:
  TbMenuWin32Test() {
    settings.menuShowDelay = 150;
    previous = SetSystemSettings(&settings);
    tb::Initialize();
    SetPopupFactory(&RecordingFactory);
    form = ui::Application->CreateForm<ui::TForm>();
    form->SetBounds(40, 40, 500, 400);
    list = ui::Create<ui::TListView>(*form);
    list->SetParent(form);
    list->SetBounds(10, 10, 300, 300);
    list->AddColumn()->SetWidth(200);
    for (const wchar_t* text : {L"ALPHA.BAS", L"BETA.DSK", L"GAMMA.SC5"}) {
      list->Items().Add()->SetCaption(text);
    }
    list->OnMouseDown = [this](ui::TComponent*, ui::TMouseButton, ui::TShiftState, int, int) {
      ++listPresses;
    };
    BuildMenu();
    list->SetPopupMenu(menu);
    form->Show();
    SetForegroundWindow(form->Handle());
    list->SetFocus();
    Pump();
  }
  ~TbMenuWin32Test() override {
    tb::Finalize();
    SetSystemSettings(previous);
  }

  TTBCustomItem* Add(TTBCustomItem& parent, const wchar_t* caption, bool submenu = false) {
    TTBCustomItem* item = AddItem(*form, parent, caption, submenu);
    if (!submenu) {
      item->SetOnClick([this, item](ui::TComponent*) {
        clicks.push_back(item->Caption());
        clickedWhileCaptured.push_back(GetCapture() != nullptr);
      });
    }
    return item;
  }

  void BuildMenu() {
    menu = ui::Create<TTBPopupMenu>(*form);
    menu->OnPopup = [this](ui::TComponent*) { ++menuPopups; };
    TTBCustomItem& root = menu->Items();
    Add(root, L"&Open");
    actions = ui::Create<ui::TActionList>(*form);
    save = ui::Create<ui::TAction>(*form);
    save->SetActionList(actions);
    save->SetCaption(L"&Save");
    save->SetShortCut(ui::scCtrl | 'S');
    save->OnExecute = [this](ui::TComponent*) { ++saves; };
    TTBCustomItem* saveItem = ui::Create<TTBCustomItem>(*form);
    saveItem->SetAction(save);
    root.Add(saveItem);
    view = Add(root, L"&View", true);
    for (const wchar_t* caption : {L"&Large", L"&Small"}) {
      TTBCustomItem* item = Add(*view, caption);
      item->SetGroupIndex(1);
      item->SetRadioItem(true);
      item->SetAutoCheck(true);
    }
    view->Items(0)->SetChecked(true);
    Add(*Add(*view, L"&More", true), L"&Deep");
    Add(root, L"&Checked")->SetAutoCheck(true);
    root.Items(3)->SetChecked(true);
    Add(root, L"Disa&bled")->SetEnabled(false);
    Add(root, L"&Hidden")->SetVisible(false);
    drives = Add(root, L"D&rives", true);
    drives->OnPopup = [this](TTBCustomItem*, bool) {
      ++drivePopups;
      drives->Clear();
      for (const wchar_t* drive : {L"&A:", L"&B:"}) {
        Add(*drives, (std::wstring(drive) + std::to_wstring(drivePopups)).c_str());
      }
    };
    root.Add(ui::Create<TTBSeparatorItem>(*form));
    mru = ui::Create<TTBMRUList>(*form);
    mru->SetMaxItems(4);
    mru->Add(L"C:\\disks\\b.dsk");
    mru->Add(L"C:\\disks\\a.dsk");
    mru->OnClick = [this](TTBMRUList&, const std::wstring& name) { recentChosen = name; };
    TTBCustomItem* recent = Add(root, L"Recen&t", true);
    auto* entries = ui::Create<TTBMRUListItem>(*form);
    entries->SetMRUList(mru);
    recent->Add(entries);
    Add(root, L"E&xit");
  }

  // Runs the menu's loop at a point under `steps`; false when the time limit ended it.
  bool RunPopup(int x, int y, std::vector<std::pair<DWORD, std::function<void()>>> steps) {
    const HWND focus = GetFocus();
    const bool ended = RunLoop(std::move(steps), [&] { menu->Popup(x, y); });
    rootPopup = nullptr;
    EXPECT_EQ(GetFocus(), focus);  // the loop gives the focus back
    return ended;
  }
  static void PostKey(WORD key) { PostMessageW(GetFocus(), WM_KEYDOWN, key, 0); }
  void Post(UINT message, WPARAM wParam) { PostMessageW(form->Handle(), message, wParam, 0); }
  TTBView& Root() { return rootPopup->View(); }
  TTBView* Open() { return rootPopup ? Root().OpenViewerView() : nullptr; }

  TFixedSystemSettings settings;
  ISystemSettings* previous = nullptr;
  ui::TForm* form = nullptr;
  ui::TListView* list = nullptr;
  TTBPopupMenu* menu = nullptr;
  ui::TActionList* actions = nullptr;
  ui::TAction* save = nullptr;
  TTBCustomItem* view = nullptr;
  TTBCustomItem* drives = nullptr;
  TTBMRUList* mru = nullptr;
  std::vector<std::wstring> clicks;
  std::vector<bool> clickedWhileCaptured;
  std::wstring recentChosen;
  int listPresses = 0, menuPopups = 0, drivePopups = 0, saves = 0;
};

TEST_F(TbMenuWin32Test, KeysOpenCloseAndChooseAndTheCommandRunsAfterTheLoop) {
  const HWND focus = list->Handle();
  ASSERT_EQ(GetFocus(), focus);
  bool submenuOpen = false, closedOneLevel = false, focusTaken = false, handlerCaptures = false;
  ASSERT_TRUE(RunPopup(100, 100,
                       {{30,
                         [&] {
                           focusTaken = GetFocus() == nullptr;
                           // The handler's own window holds the capture, not the popup.
                           const HWND capture = GetCapture();
                           handlerCaptures =
                               capture && capture != rootPopup->Handle() &&
                               Root().GetCaptureWnd() == reinterpret_cast<std::uintptr_t>(capture);
                           for (int i = 0; i < 3; ++i) Post(WM_KEYDOWN, VK_DOWN);
                           Post(WM_KEYDOWN, VK_RIGHT);
                         }},
                        {80,
                         [&] {
                           submenuOpen = Open() != nullptr;
                           Post(WM_KEYDOWN, VK_ESCAPE);
                         }},
                        {130, [&] {
                           closedOneLevel = Open() == nullptr;
                           Post(WM_KEYDOWN, VK_UP);
                           Post(WM_KEYDOWN, VK_RETURN);
                         }}}));
  EXPECT_TRUE(focusTaken);
  EXPECT_TRUE(handlerCaptures);
  EXPECT_TRUE(submenuOpen);
  EXPECT_TRUE(closedOneLevel);
  EXPECT_EQ(menuPopups, 1);
  EXPECT_EQ(saves, 0);  // posted, not yet run
  EXPECT_EQ(GetFocus(), focus);
  Pump();
  EXPECT_EQ(saves, 1);

  // A chosen command runs once the loop has let the capture go.
  ASSERT_TRUE(RunPopup(100, 100, {{30, [&] { Post(WM_CHAR, 'o'); }}}));
  Pump();
  EXPECT_EQ(clicks, std::vector<std::wstring>{L"&Open"});
  EXPECT_EQ(clickedWhileCaptured, std::vector<bool>{false});

  // Accelerators: a unique one opens the View submenu, the next chooses a radio item.
  ASSERT_TRUE(RunPopup(100, 100, {{30, [&] {
                                     Post(WM_CHAR, 'v');
                                     Post(WM_CHAR, 's');
                                   }}}));
  Pump();
  EXPECT_TRUE(view->Items(1)->Checked());
  EXPECT_FALSE(view->Items(0)->Checked());  // the radio group's other item
  EXPECT_EQ(GetFocus(), focus);

  // A disabled item's accelerator ends the loop without a command; a hidden one only beeps;
  // Escape at the root ends it.
  clicks.clear();
  ASSERT_TRUE(RunPopup(100, 100,
                       {{30, [&] { Post(WM_CHAR, 'h'); }},
                        {60, [&] { Post(WM_CHAR, 'b'); }},
                        {2000, [&] { Post(WM_KEYDOWN, VK_ESCAPE); }}}));
  Pump();
  EXPECT_TRUE(clicks.empty());

  // The checked item toggles; the drive submenu is rebuilt on each opening; a recent entry.
  ASSERT_TRUE(RunPopup(100, 100, {{30, [&] { Post(WM_CHAR, 'c'); }}}));
  Pump();
  EXPECT_FALSE(menu->Items().Items(3)->Checked());
  std::wstring driveCaption;
  ASSERT_TRUE(RunPopup(
      100, 100, {{30, [&] { Post(WM_CHAR, 'r'); }}, {80, [&] {
                                                       if (Open())
                                                         driveCaption =
                                                             Open()->Viewers(1)->GetCaptionText();
                                                       Post(WM_KEYDOWN, VK_ESCAPE);
                                                       Post(WM_KEYDOWN, VK_ESCAPE);
                                                     }}}));
  EXPECT_EQ(drivePopups, 1);
  EXPECT_EQ(driveCaption, L"&B:1");
  ASSERT_TRUE(RunPopup(100, 100, {{30, [&] {
                                     Post(WM_CHAR, 't');
                                     Post(WM_CHAR, '2');
                                   }}}));
  Pump();
  EXPECT_EQ(recentChosen, L"C:\\disks\\b.dsk");
  EXPECT_EQ(mru->Items()->Get(0), L"C:\\disks\\b.dsk");
  EXPECT_EQ(GetFocus(), focus);
}

// F1 ends the loop and hands the item's help context to the application's help: as a popup
// when the active form shows the help button. The program has no help file: nothing runs,
// fails or is shown.
TEST_F(TbMenuWin32Test, HelpOnAnItemWithAHelpContextReachesTheApplicationsHelp) {
  menu->Items().Items(0)->SetHelpContext(7);
  std::vector<std::pair<UINT, ULONG_PTR>> requests;
  ui::Application->OnHelp = [&](UINT command, ULONG_PTR data) {
    requests.emplace_back(command, data);
    return false;
  };
  for (const bool helpButton : {false, true}) {
    form->SetBorderIcons(helpButton ? ui::biSystemMenu | ui::biHelp : ui::biSystemMenu);
    ASSERT_EQ(ui::Screen->ActiveForm(), form);
    ASSERT_TRUE(RunPopup(100, 100, {{30, [&] {
                                       Post(WM_KEYDOWN, VK_DOWN);
                                       Post(WM_KEYDOWN, VK_F1);
                                     }}}));
    Pump();
  }
  EXPECT_EQ(requests,
            (std::vector<std::pair<UINT, ULONG_PTR>>{{HELP_CONTEXT, 7}, {HELP_CONTEXTPOPUP, 7}}));
  EXPECT_TRUE(clicks.empty());
  EXPECT_TRUE(errors.empty());
  EXPECT_TRUE(boxes.empty());
}

TEST_F(TbMenuWin32Test, AClickOutsideEndsTheLoopAndReachesItsTarget) {
  RECT row{LVIR_BOUNDS, 0, 0, 0};
  SendMessageW(list->Handle(), LVM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&row));
  POINT target{row.left + 10, (row.top + row.bottom) / 2};
  ClientToScreen(list->Handle(), &target);
  ASSERT_TRUE(RunPopup(300, 200, {{50, [&] { ClickAt(target); }}}));
  EXPECT_TRUE(clicks.empty());
  for (int i = 0; i < 50 && listPresses == 0; ++i) {
    Pump();
    Sleep(10);
  }
  EXPECT_EQ(listPresses, 1);
  EXPECT_EQ(GetFocus(), list->Handle());
}

TEST_F(TbMenuWin32Test, HoverOpensASubmenuAfterTheDelayAndLeavingClosesItAfterItsDelay) {
  bool early = true, opened = false, openerKept = false, stillOpen = false, closed = false;
  TTBItemViewer* opener = nullptr;
  ASSERT_TRUE(RunPopup(
      100, 100,
      {{30, [&] { MoveMouse(Middle(Root(), 2)); }},
       {90, [&] { early = Open() != nullptr; }},
       {400,
        [&] {
          opened = Open() != nullptr;
          opener = Root().Selected();
          if (Open()) MoveMouse(Middle(*Open(), 0));
        }},
       {500,
        [&] {
          openerKept = Root().Selected() == opener && Open() != nullptr;
          MoveMouse(Middle(Root(), 0));
        }},
       {560, [&] { stillOpen = Open() != nullptr && Root().Selected() == Root().Viewers(0); }},
       {900, [&] {
          closed = Open() == nullptr && Root().Selected() == Root().Viewers(0);
          Post(WM_KEYDOWN, VK_ESCAPE);
        }}}));
  EXPECT_FALSE(early);
  EXPECT_TRUE(opened);
  EXPECT_TRUE(openerKept);
  EXPECT_TRUE(stillOpen);
  EXPECT_TRUE(closed);
}

TEST_F(TbMenuWin32Test, MenusNearTheEdgesStayOnTheMonitor) {
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  RECT root{}, sub{};
  ASSERT_TRUE(RunPopup(w - 10, h - 10,
                       {{30, [&] { Post(WM_CHAR, 'v'); }},
                        {80, [&] {
                           root = WindowRect(rootPopup->Handle());
                           if (Open()) {
                             sub = WindowRect(
                                 static_cast<TTBViewWindow*>(Open()->Window())->Handle());
                           }
                           Post(WM_KEYDOWN, VK_ESCAPE);
                           Post(WM_KEYDOWN, VK_ESCAPE);
                         }}}));
  for (const RECT& r : {root, sub}) {
    EXPECT_GT(r.right - r.left, 0);
    EXPECT_GE(r.left, 0);
    EXPECT_GE(r.top, 0);
    EXPECT_LE(r.right, w);
    EXPECT_LE(r.bottom, h);
  }
  EXPECT_LE(root.right, w - 10);        // opened to the left of the point
  EXPECT_LE(sub.right, root.left + 6);  // the submenu opens to the left
}

TEST_F(TbMenuWin32Test, AMenuTallerThanTheWorkAreaScrolls) {
  TTBPopupMenu* tall = ui::Create<TTBPopupMenu>(*form);
  for (int i = 0; i < 90; ++i) Add(tall->Items(), (L"Entry " + std::to_wstring(i)).c_str());
  menu = tall;
  RECT work, r{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  bool down = false;
  ASSERT_TRUE(RunPopup(100, 300, {{50, [&] {
                                     r = WindowRect(rootPopup->Handle());
                                     down = Root().ShowDownArrow();
                                     Post(WM_KEYDOWN, VK_ESCAPE);
                                   }}}));
  EXPECT_EQ(r.bottom - r.top, work.bottom - work.top);
  EXPECT_EQ(r.top, work.top);
  EXPECT_TRUE(down);
}

TEST_F(TbMenuWin32Test, AnimatedPopupsEndShownAndAFailedStartShowsThemAtOnce) {
  settings.menuAnimation = true;
  struct Case {
    bool fade;
    TAnimationSeams::Failure failure;
  };
  for (const Case c :
       {Case{false, TAnimationSeams::none}, Case{true, TAnimationSeams::none},
        Case{true, TAnimationSeams::layeredUpdate}, Case{false, TAnimationSeams::bitmap}}) {
    settings.menuFade = c.fade;
    TAnimationSeams seams;
    seams.failure = c.failure;
    SetAnimationSeams(&seams);
    bool started = false, shown = false, layered = true, region = true, running = true,
         keyboardAnimated = true;
    ASSERT_TRUE(RunPopup(100, 100,
                         {{20, [&] { started = IsPopupAnimationRunning(); }},
                          {400,
                           [&] {
                             const HWND wnd = rootPopup->Handle();
                             shown = IsWindowVisible(wnd) != 0;
                             layered = (GetWindowLongPtrW(wnd, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
                             const HRGN rgn = CreateRectRgn(0, 0, 0, 0);
                             region = GetWindowRgn(wnd, rgn) != ERROR;
                             DeleteObject(rgn);
                             running = IsPopupAnimationRunning();
                             Post(WM_CHAR, 'v');  // a submenu opened by keyboard
                           }},
                          {440, [&] {
                             keyboardAnimated = IsPopupAnimationRunning() || !Open();
                             Post(WM_KEYDOWN, VK_ESCAPE);
                             Post(WM_KEYDOWN, VK_ESCAPE);
                           }}}));
    SetAnimationSeams(nullptr);
    EXPECT_EQ(started, c.failure == TAnimationSeams::none) << c.fade << c.failure;
    EXPECT_TRUE(shown) << c.fade << c.failure;
    EXPECT_FALSE(layered) << c.fade << c.failure;
    EXPECT_FALSE(region) << c.fade << c.failure;
    EXPECT_FALSE(running) << c.fade << c.failure;
    EXPECT_FALSE(keyboardAnimated) << c.fade << c.failure;  // its first item is selected
  }
}

TEST_F(TbMenuWin32Test, AQuitMessageEndsTheLoopAndStaysForTheApplication) {
  ASSERT_TRUE(RunPopup(100, 100, {{30, [] { PostQuitMessage(7); }}}));
  MSG quit;
  ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(quit.wParam, 7u);
}

TEST_F(TbMenuWin32Test, AShortcutRunsItsCommandOnceWhenActionAndItemCarryIt) {
  ASSERT_EQ(GetFocus(), list->Handle());
  KeyInput(VK_CONTROL, false);
  KeyInput('S', false);
  KeyInput('S', true);
  KeyInput(VK_CONTROL, true);
  for (int i = 0; i < 50 && saves == 0; ++i) {
    Pump();
    Sleep(10);
  }
  Pump();
  EXPECT_EQ(saves, 1);
}

VARIANT Child(LONG id) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

std::wstring NameOf(IAccessible* object, LONG child, HRESULT* result = nullptr) {
  BSTR name = nullptr;
  const HRESULT r = object->get_accName(Child(child), &name);
  if (result) *result = r;
  std::wstring text = name ? name : L"";
  SysFreeString(name);
  return text;
}

// The accessibility object of a window's client area, or null.
IAccessible* ClientAccObject(HWND wnd) {
  IAccessible* object = nullptr;
  AccessibleObjectFromWindow(wnd, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                             reinterpret_cast<void**>(&object));
  return object;
}

LONG RoleOf(IAccessible* object) {
  VARIANT role;
  VariantInit(&role);
  object->get_accRole(Child(CHILDID_SELF), &role);
  return role.vt == VT_I4 ? role.lVal : -1;
}

TEST_F(TbMenuWin32Test, AnOpenPopupAnswersAccessibilityClientsAndFailsSafelyAfterwards) {
  LONG popupRole = 0, itemRole = 0, count = 0;
  std::wstring first, second;
  HRESULT wrongType = S_OK, wrongChild = S_OK;
  IAccessible* held = nullptr;
  ASSERT_TRUE(RunPopup(100, 100, {{50, [&] {
                                     IAccessible* object = ClientAccObject(rootPopup->Handle());
                                     if (object) {
                                       popupRole = RoleOf(object);
                                       object->get_accChildCount(&count);
                                       IDispatch* child = nullptr;
                                       object->get_accChild(Child(1), &child);
                                       if (child) {
                                         child->QueryInterface(IID_IAccessible,
                                                               reinterpret_cast<void**>(&held));
                                         child->Release();
                                       }
                                       VARIANT text;
                                       VariantInit(&text);
                                       text.vt = VT_BSTR;
                                       BSTR name = nullptr;
                                       wrongType = object->get_accName(text, &name);
                                       NameOf(object, 3, &wrongChild);
                                       object->Release();
                                     }
                                     if (held) {
                                       first = NameOf(held, CHILDID_SELF);
                                       itemRole = RoleOf(held);
                                     }
                                     Post(WM_KEYDOWN, VK_ESCAPE);
                                   }}}));
  EXPECT_EQ(popupRole, 11);  // menu popup
  EXPECT_EQ(count, 9);       // every shown item, the separator included; not the hidden one
  EXPECT_EQ(first, L"Open");
  EXPECT_EQ(itemRole, 12);  // menu item
  EXPECT_EQ(wrongType, E_INVALIDARG);
  EXPECT_EQ(wrongChild, E_INVALIDARG);
  ASSERT_NE(held, nullptr);
  HRESULT after = S_OK;
  NameOf(held, CHILDID_SELF, &after);  // its popup and viewer are gone
  EXPECT_EQ(after, E_FAIL);
  held->Release();

  // The default action of an item whose submenu is open is "Close"; doing another item's
  // default action chooses it through the deferred queue while the loop runs.
  std::wstring viewAction;
  clicks.clear();
  ASSERT_TRUE(
      RunPopup(100, 100,
               {{30, [&] { Post(WM_CHAR, 'v'); }},
                {80, [&] {
                   IAccessible* object = ClientAccObject(rootPopup->Handle());
                   if (!object) return;
                   IDispatch* child = nullptr;
                   IAccessible* item = nullptr;
                   object->get_accChild(Child(3), &child);
                   if (child) {
                     child->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&item));
                     child->Release();
                   }
                   if (item) {
                     BSTR action = nullptr;
                     item->get_accDefaultAction(Child(CHILDID_SELF), &action);
                     viewAction = action ? action : L"";
                     SysFreeString(action);
                     item->Release();
                   }
                   object->get_accChild(Child(1), &child);
                   if (child) {
                     child->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&item));
                     child->Release();
                     item->accDoDefaultAction(Child(CHILDID_SELF));
                     item->Release();
                   }
                   object->Release();
                 }}}));
  EXPECT_EQ(viewAction, L"Close");
  Pump();
  EXPECT_EQ(clicks, std::vector<std::wstring>{L"&Open"});

  // Without the accessibility library no object of ours is handed out.
  SetAccessibilityLibraryMissing(true);
  LONG fallbackRole = 0;
  ASSERT_TRUE(RunPopup(100, 100, {{50, [&] {
                                     IAccessible* object = ClientAccObject(rootPopup->Handle());
                                     if (object) {
                                       fallbackRole = RoleOf(object);
                                       object->Release();
                                     }
                                     Post(WM_KEYDOWN, VK_ESCAPE);
                                   }}}));
  SetAccessibilityLibraryMissing(false);
  EXPECT_NE(fallbackRole, 11);
}

TEST_F(TbMenuWin32Test, PopupToFirstPaintOfAFortyItemMenu) {
  TTBPopupMenu* big = ui::Create<TTBPopupMenu>(*form);
  for (int i = 0; i < 40; ++i) {
    Add(big->Items(), (L"Item &" + std::to_wstring(i)).c_str());
  }
  menu = big;
  LARGE_INTEGER frequency, start;
  QueryPerformanceFrequency(&frequency);
  firstPaint.QuadPart = 0;
  QueryPerformanceCounter(&start);
  ASSERT_TRUE(RunPopup(100, 50, {{100, [&] { Post(WM_KEYDOWN, VK_ESCAPE); }}}));
  ASSERT_NE(firstPaint.QuadPart, 0);
  const double ms = 1000.0 * static_cast<double>(firstPaint.QuadPart - start.QuadPart) /
                    static_cast<double>(frequency.QuadPart);
  std::printf("Popup to first paint, 40 items: %.2f ms\n", ms);
  RecordProperty("popup_first_paint_us", static_cast<int>(ms * 1000));
}

}  // namespace
}  // namespace tb
