// Real windows under Wine: window hooks and the COM method guard, and a real form's placement
// through the registry.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "../../rtl/temp_folder.h"
#include "../../ui/win32/gui_fixture.h"
#include "ui/properties.h"
#include "ui/text.h"
#include "ui/win32/forms.h"
#include "ui/win32/memo.h"
#include "ux/form_storage.h"
#include "ux/modules.h"
#include "ux/props_storage.h"
#include "ux/win32/com_guard.h"
#include "ux/win32/control_hook.h"
#include "ux/win32/cursors.h"
#include "ux/win32/hook_errors.h"
#include "ux/win32/window_hook.h"

namespace ux::win32 {
namespace {

using Journal = std::vector<std::wstring>;

constexpr UINT kProbe = WM_USER + 7;

// A window that notes the probes its own procedure sees.
class TTestWindow : public ui::TForm {
 public:
  using ui::TForm::TForm;
  void WndProc(ui::TMessage& m) override {
    if (m.Msg == kProbe) seen.push_back(m.Msg);
    ui::TForm::WndProc(m);
  }
  std::vector<UINT> seen;
};

// Hooks that note their name in a shared journal when they see the probe message.
struct Fixture {
  std::vector<std::string> journal;
  ui::Owned<ui::TComponent> root = ui::New<ui::TComponent>();
  TTestWindow* window = ui::Create<TTestWindow>(*root);

  TUxWindowHook* AddHook(const std::string& name, bool handleBefore = false) {
    auto* hook = ui::Create<TUxWindowHook>(*root);
    hook->BeforeMessage = [this, name, handleBefore](TUxWindowHook&, TMessage& m, bool& handled) {
      if (m.msg != kProbe) return;
      journal.push_back(name + " before");
      handled = handleBefore;
      if (handleBefore) m.result = 42;
    };
    hook->AfterMessage = [this, name](TUxWindowHook&, TMessage& m, bool&) {
      if (m.msg == kProbe) journal.push_back(name + " after");
    };
    hook->SetWinControl(window);
    return hook;
  }
  LRESULT Probe() {
    journal.clear();
    window->seen.clear();
    return SendMessageW(window->Handle(), kProbe, 0, 0);
  }
  bool WindowSawProbe() const { return window->seen == std::vector<UINT>{kProbe}; }
};

class Hooks : public UiGuiTest {
 protected:
  void TearDown() override {
    Pump();
    FreeHookList();
  }
};

// One that handles a message before keeps it from the window and from every after handler.
TEST_F(Hooks, TheLaterHookSeesMessagesFirst) {
  Fixture f;
  f.AddHook("A");
  f.AddHook("B");
  f.Probe();
  EXPECT_EQ(f.journal, (std::vector<std::string>{"B before", "A before", "B after", "A after"}));
  EXPECT_TRUE(f.WindowSawProbe());
  EXPECT_EQ(HookList().FindControlHook(f.window)->ClientCount(), 2);
  f.AddHook("C", true);
  EXPECT_EQ(f.Probe(), 42);
  EXPECT_EQ(f.journal, std::vector<std::string>{"C before"});
  EXPECT_TRUE(f.window->seen.empty());
}

TEST_F(Hooks, DetachInAnyOrder) {
  const std::vector<std::vector<int>> orders = {{0, 1, 2}, {2, 1, 0}, {1, 0, 2}, {1, 2, 0}};
  for (const std::vector<int>& order : orders) {
    Fixture f;
    const HWND window = f.window->Handle();
    const LONG_PTR original = GetWindowLongPtrW(window, GWLP_WNDPROC);
    std::vector<TUxWindowHook*> hooks = {f.AddHook("0"), f.AddHook("1"), f.AddHook("2")};
    std::vector<std::string> expected = {"2 before", "1 before", "0 before",
                                         "2 after",  "1 after",  "0 after"};
    for (int index : order) {
      if (index == 1)
        ui::Free(hooks[1]);  // freeing a hook detaches it
      else
        hooks[static_cast<size_t>(index)]->SetActive(false);
      std::erase_if(expected, [index](const std::string& line) {
        return line[0] == static_cast<char>('0' + index);
      });
      f.Probe();
      EXPECT_EQ(f.journal, expected);
      EXPECT_TRUE(f.WindowSawProbe());
    }
    EXPECT_EQ(GetWindowLongPtrW(window, GWLP_WNDPROC), original);
    ui::Free(hooks[0]);  // a record without clients is freed from the message loop
    ui::Free(hooks[2]);
    Pump();
    EXPECT_EQ(HookList().FindControlHook(f.window), nullptr);
  }
}

// A subclass made after the hook keeps working when the hook goes.
LONG_PTR laterPrevious = 0;
int laterCalls = 0;
LRESULT CALLBACK LaterProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == kProbe) ++laterCalls;
  return CallWindowProcW(reinterpret_cast<WNDPROC>(laterPrevious), window, msg, wParam, lParam);
}

TEST_F(Hooks, UnhookingUnderALaterSubclassKeepsTheChainWhole) {
  Fixture f;
  TUxWindowHook* hook = f.AddHook("A");
  const HWND window = f.window->Handle();
  laterPrevious = SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LaterProc));
  laterCalls = 0;
  hook->SetWinControl(nullptr);
  Pump();
  f.Probe();
  EXPECT_TRUE(f.journal.empty());
  EXPECT_EQ(laterCalls, 1);
  EXPECT_TRUE(f.WindowSawProbe());
  SetWindowLongPtrW(window, GWLP_WNDPROC, laterPrevious);
}

TEST_F(Hooks, AHookWorksAgainAfterTheWindowIsRecreated) {
  Fixture f;
  f.AddHook("A");
  const HWND first = f.window->Handle();
  f.window->DestroyHandle();
  Pump();  // the re-hook request makes the window again and hooks it
  ASSERT_TRUE(f.window->HandleAllocated());
  EXPECT_NE(f.window->Handle(), first);
  f.Probe();
  EXPECT_EQ(f.journal, (std::vector<std::string>{"A before", "A after"}));
}

TEST_F(Hooks, RemovingTheControlOrTheHookLeavesNothingBehind) {
  Fixture f;
  TUxWindowHook* hook = f.AddHook("A");
  ui::Free(f.window);
  EXPECT_EQ(hook->WinControl(), nullptr);
  Pump();
  EXPECT_EQ(HookList().FindControlHook(f.window), nullptr);

  Fixture g;  // switched off and on again, a hook keeps its control
  TUxWindowHook* other = g.AddHook("B");
  other->SetActive(false);
  other->SetActive(true);
  EXPECT_EQ(other->WinControl(), g.window);
  g.Probe();
  EXPECT_EQ(g.journal, (std::vector<std::string>{"B before", "B after"}));
}

// A hook lets go of its control when its own owner is removed, and, having no owner, on any
// removal it is told of.
TEST_F(Hooks, AHookWhoseOwnerGoesOrThatHasNoneLetsGo) {
  Fixture f;
  auto* holder = ui::Create<ui::TComponent>(*f.root);
  auto* hook = ui::Create<TUxWindowHook>(*holder);
  hook->SetWinControl(f.window);
  const ui::Owned<ui::TComponent> removed = f.root->RemoveComponent(holder);
  EXPECT_EQ(hook->WinControl(), nullptr);
  Pump();
  EXPECT_EQ(HookList().FindControlHook(f.window), nullptr);

  const ui::Owned<TUxWindowHook> lone = ui::New<TUxWindowHook>();
  lone->SetWinControl(f.window);
  auto* partner = ui::Create<ui::TComponent>(*f.root);
  partner->FreeNotification(lone.get());
  EXPECT_EQ(lone->WinControl(), f.window);
  ui::Free(partner);
  EXPECT_EQ(lone->WinControl(), nullptr);
}

TEST_F(Hooks, AnErrorInAHandlerStaysInsideTheWindowProcedure) {
  Fixture f;
  TUxWindowHook* hook = f.AddHook("A");
  hook->BeforeMessage = [](TUxWindowHook&, TMessage& m, bool&) {
    if (m.msg == kProbe) throw std::runtime_error("handler failed");
  };
  std::string caught;
  SetHookErrorHandler([&caught] {
    try {
      throw;
    } catch (const std::exception& e) {
      caught = e.what();
    }
  });
  f.Probe();
  SetHookErrorHandler(nullptr);
  EXPECT_EQ(caught, "handler failed");
}

// The same for a COM method of ours: the error goes to the same handler and the caller gets a
// failure code; a body that returns is untouched.
TEST(ComGuard, AnErrorInsideAComMethodBecomesItsFailureCode) {
  std::vector<std::string> caught;
  SetHookErrorHandler([&caught] {
    try {
      throw;
    } catch (const std::exception& e) {
      caught.push_back(e.what());
    }
  });
  EXPECT_EQ(GuardCom([]() -> HRESULT { throw std::bad_alloc(); }), E_OUTOFMEMORY);
  EXPECT_EQ(GuardCom([]() -> HRESULT { throw std::runtime_error("lost"); }), E_UNEXPECTED);
  EXPECT_EQ(GuardCom([] { return S_FALSE; }), S_FALSE);
  SetHookErrorHandler(nullptr);
  EXPECT_EQ(caught, (std::vector<std::string>{std::bad_alloc().what(), "lost"}));
}

// A hook's stored settings: on its own form it says so with IsForm, on another control it names
// it; either way a fresh hook loaded from them watches the same control again.
TEST_F(Hooks, StoredSettingsNameTheHookedControl) {
  Fixture f;
  f.window->SetName(L"Window");
  auto* pane = ui::Create<ui::TPanel>(*f.window);
  pane->SetName(L"Pane");
  pane->SetParent(f.window);
  for (ui::TWinControl* target :
       {static_cast<ui::TWinControl*>(f.window), static_cast<ui::TWinControl*>(pane)}) {
    SCOPED_TRACE(ui::Utf8FromWide(target->Name()));
    const bool onForm = target == f.window;
    auto* hook = ui::Create<TUxWindowHook>(*f.window);
    hook->SetName(L"Hook");
    const ui::PropInfo* winControl = ui::FindProp(*hook, L"WinControl");
    ASSERT_NE(winControl, nullptr);
    EXPECT_TRUE(ui::IsStoredProp(*hook, *winControl));  // none yet
    hook->SetWinControl(target);
    EXPECT_EQ(hook->IsForm(), onForm);
    EXPECT_EQ(ui::IsStoredProp(*hook, *winControl), !onForm);  // a form is named by IsForm
    ui::TMemIniFile ini(L"");
    TPropsStorage storage;
    storage.SetSection(L"S");
    storage.OnWriteString = [&](const std::wstring& section, const std::wstring& item,
                                const std::wstring& value) {
      ini.WriteString(section, item, value);
    };
    storage.OnReadString = [&](const std::wstring& section, const std::wstring& item,
                               const std::wstring& def) {
      return ini.ReadString(section, item, def);
    };
    ui::TStringList stored;
    stored.Assign({L"Hook.Active", L"Hook.IsForm", L"Hook.WinControl"});
    UpdateStoredList(f.window, stored, true);
    storage.StoreObjectsProps(f.window, stored);
    EXPECT_EQ(ini.Read(L"S", L"Hook_IsForm"), onForm ? L"True" : L"False");
    if (!onForm) {
      EXPECT_EQ(ini.Read(L"S", L"Hook_WinControl"), L"Pane");
    }
    ui::Free(hook);

    auto* fresh = ui::Create<TUxWindowHook>(*f.window);
    fresh->SetName(L"Hook");
    UpdateStoredList(f.window, stored, true);
    storage.LoadObjectsProps(f.window, stored);
    EXPECT_EQ(fresh->WinControl(), target);
    EXPECT_TRUE(fresh->Active());
    ui::Free(fresh);
    Pump();
  }
  // Owned by no form, the hook cannot be told to watch one.
  auto* loose = ui::Create<TUxWindowHook>(*f.root);
  loose->SetIsForm(true);
  EXPECT_EQ(loose->WinControl(), nullptr);
}

const std::wstring kKey =
    L"Software\\Kelpfin\\QuollboxUxFormTest" + std::to_wstring(GetCurrentProcessId());

// The main window as the program builds it; the handlers note the order of events.
class TMainForm : public ui::TForm {
 public:
  TMainForm(ui::TComponent* owner, Journal& journal) : ui::TForm(owner) {
    storage->SetIniFileName(kKey);
    storage->SetOptions({TPlacementOption::fpPosition});
    storage->OnRestorePlacement = [&journal](TFormPlacement& p) {
      journal.push_back(L"restore " + std::to_wstring(p.ReadInteger(L"BootCode", 1)));
    };
    storage->OnSavePlacement = [&journal](TFormPlacement& p) {
      p.WriteInteger(L"BootCode", 2);
      journal.push_back(L"save");
    };
    OnShow = [&journal](ui::TComponent*) { journal.push_back(L"OnShow"); };
    OnCloseQuery = [&journal, this](ui::TComponent*, bool& canClose) {
      journal.push_back(L"OnCloseQuery");
      canClose = allowClose;
    };
    OnDestroy = [&journal](ui::TComponent*) { journal.push_back(L"OnDestroy"); };
  }
  std::wstring_view ClassName() const override { return L"TMainForm"; }
  std::wstring NormalRect() {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    GetWindowPlacement(Handle(), &wp);
    const RECT& r = wp.rcNormalPosition;
    return std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L"," +
           std::to_wstring(r.right) + L"," + std::to_wstring(r.bottom);
  }

  TFormStorage* storage = ui::Create<TFormStorage>(*this);
  bool allowClose = false;
};

// The value's text when it is REG_SZ.
std::wstring RegText(const std::wstring& name) {
  wchar_t buffer[512] = {};
  DWORD size = sizeof(buffer);
  RegGetValueW(HKEY_CURRENT_USER, (kKey + L"\\TMainForm").c_str(), name.c_str(), RRF_RT_REG_SZ,
               nullptr, buffer, &size);
  return buffer;
}

class FormStorage : public ::testing::Test {
 protected:
  // Start-up loads the program's cursors; shut-down frees the hook list.
  void SetUp() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, kKey.c_str());
    const HCURSOR arrow = ui::Screen->Cursors(ui::crArrow);
    InitModules();
    EXPECT_NE(ui::Screen->Cursors(win32::crHandPoint), arrow);
    EXPECT_NE(ui::Screen->Cursors(win32::crDragHand), arrow);
  }
  void TearDown() override {
    DoneModules();
    EXPECT_EQ(win32::ExistingHookList(), nullptr);
    RegDeleteTreeW(HKEY_CURRENT_USER, kKey.c_str());
  }
  TMainForm* NewForm() { return application.CreateForm<TMainForm>(journal); }

  Journal journal;  // outlives the forms, whose handlers write to it
  ui::TApplication application;
};

TEST_F(FormStorage, ARealFormRestoresBeforeShowAndSavesAfterItsCloseQuery) {
  TMainForm* form = NewForm();
  form->SetVisible(true);
  SetWindowPos(form->Handle(), nullptr, 40, 30, 520, 380, SWP_NOZORDER);
  const std::wstring saved = form->NormalRect();
  form->Close();  // vetoed: nothing saved
  form->allowClose = true;
  form->Close();
  ui::Free(form);  // saved already at close
  EXPECT_EQ(journal, (Journal{L"restore 1", L"OnShow", L"OnCloseQuery", L"OnCloseQuery", L"save",
                              L"OnDestroy"}));
  // The real screen names the suffixed value; both hold the real normal rectangle.
  const std::wstring suffix = L"(" + std::to_wstring(GetSystemMetrics(SM_CXSCREEN)) + L"x" +
                              std::to_wstring(GetSystemMetrics(SM_CYSCREEN)) + L")";
  EXPECT_EQ(RegText(L"NormPos"), saved);
  EXPECT_EQ(RegText(L"NormPos" + suffix), saved);

  journal.clear();
  TMainForm* again = NewForm();
  again->SetVisible(true);
  EXPECT_EQ(again->NormalRect(), saved);
  ShowWindow(again->Handle(), SW_MAXIMIZE);
  ui::Free(again);  // destroyed without a close: saved before OnDestroy
  EXPECT_EQ(journal, (Journal{L"restore 2", L"OnShow", L"save", L"OnDestroy"}));
  EXPECT_EQ(RegText(L"ShowCmd"), std::to_wstring(SW_SHOWMAXIMIZED));
  EXPECT_EQ(RegText(L"NormPos"), saved);
}

// A stored rectangle whose caption bar would be off the screen comes back on it, size kept.
TEST_F(FormStorage, AStoredRectangleOffTheScreenIsMovedOntoIt) {
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  const std::wstring stored = std::to_wstring(width - 10) + L"," + std::to_wstring(height - 14) +
                              L"," + std::to_wstring(width + 500) + L"," +
                              std::to_wstring(height + 400);
  RegSetKeyValueW(HKEY_CURRENT_USER, (kKey + L"\\TMainForm").c_str(), L"NormPos", REG_SZ,
                  stored.c_str(), static_cast<DWORD>((stored.size() + 1) * sizeof(wchar_t)));
  TMainForm* form = NewForm();
  form->SetVisible(true);
  RECT rect{};
  GetWindowRect(form->Handle(), &rect);
  EXPECT_EQ(rect.right - rect.left, 510);
  EXPECT_EQ(rect.bottom - rect.top, 414);
  EXPECT_GE(rect.left, 0);
  EXPECT_GE(rect.top, 0);
  EXPECT_LE(rect.right, width);
  EXPECT_LE(rect.bottom, height);
  ui::Free(form);
}

TEST_F(FormStorage, SizeLimitsHookTheFormWindowOnlyWhileSet) {
  TMainForm* form = NewForm();
  form->SetVisible(true);
  const HWND window = form->Handle();
  form->storage->MinMaxInfo().SetMinTrackWidth(300);
  MINMAXINFO info{};
  SendMessageW(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 300);
  form->storage->MinMaxInfo().SetMinTrackWidth(0);
  ui::Application->ProcessMessages();
  EXPECT_EQ(win32::HookList().FindControlHook(form), nullptr);

  form->storage->SetPreventResize(true);
  EXPECT_FALSE(GetWindowLongPtrW(window, GWL_STYLE) & WS_MAXIMIZEBOX);
  const HMENU systemMenu = GetSystemMenu(window, FALSE);
  SendMessageW(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(systemMenu), MAKELPARAM(0, 1));
  EXPECT_TRUE(GetMenuState(systemMenu, SC_SIZE, MF_BYCOMMAND) & MF_GRAYED);
  form->storage->SetPreventResize(false);
  EXPECT_TRUE(GetWindowLongPtrW(window, GWL_STYLE) & WS_MAXIMIZEBOX);
  ui::Free(form);
}

// A form that forbids resizing in its own constructor, before its placement component is
// attached to it.
class TFixedSizeForm : public ui::TForm {
 public:
  explicit TFixedSizeForm(ui::TComponent* owner) : ui::TForm(owner) {
    placement->SetIniFileName(kKey);
    placement->SetPreventResize(true);
  }
  TFormPlacement* placement = ui::Create<TFormPlacement>(*this);
};

TEST_F(FormStorage, PreventResizeSetInTheFormsConstructorHolds) {
  auto* form = application.CreateForm<TFixedSizeForm>();
  form->SetVisible(true);
  const HWND window = form->Handle();
  EXPECT_FALSE(GetWindowLongPtrW(window, GWL_STYLE) & WS_MAXIMIZEBOX);
  RECT bounds{};
  GetWindowRect(window, &bounds);
  const LPARAM rightBorder = MAKELPARAM(bounds.right - 1, (bounds.top + bounds.bottom) / 2);
  EXPECT_EQ(SendMessageW(window, WM_NCHITTEST, 0, rightBorder), HTNOWHERE);
  MINMAXINFO info{};
  SendMessageW(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMaxTrackSize.x, bounds.right - bounds.left);
  EXPECT_EQ(info.ptMinTrackSize.y, bounds.bottom - bounds.top);
  ui::Free(form);
}

// A form that keeps its active control: memos, one disabled, one hidden, one in a disabled box.
class TFocusForm : public ui::TForm {
 public:
  explicit TFocusForm(ui::TComponent* owner) : ui::TForm(owner) {
    storage->SetIniFileName(kKey);
    storage->SetOptions({TPlacementOption::fpPosition, TPlacementOption::fpActiveControl});
    box->SetName(L"Box");
    box->SetParent(this);
    box->SetEnabled(false);
    for (const wchar_t* name : {L"First", L"Second", L"Disabled", L"Hidden", L"Inner"}) {
      auto* memo = ui::Create<ui::TMemo>(*this);
      memo->SetName(name);
      memo->SetParent(std::wstring_view(name) == L"Inner" ? static_cast<ui::TWinControl*>(box)
                                                          : this);
    }
    Memo(L"Disabled")->SetEnabled(false);
    Memo(L"Hidden")->SetVisible(false);
  }
  std::wstring_view ClassName() const override { return L"TFocusForm"; }
  ui::TWinControl* Memo(std::wstring_view name) {
    return dynamic_cast<ui::TWinControl*>(FindComponent(name));
  }

  ui::TPanel* box = ui::Create<ui::TPanel>(*this);
  TFormStorage* storage = ui::Create<TFormStorage>(*this);
};

// The form is not on the screen yet when it restores: a stored control that will be able to
// take the focus becomes the active control and has the focus once the form shows.
TEST_F(FormStorage, TheStoredActiveControlHasTheFocusWhenTheFormShows) {
  struct Case {
    const wchar_t* stored;
    const wchar_t* active;  // the form's active control after showing, or none
  };
  const Case cases[] = {
      {L"Second", L"Second"}, {L"second", L"Second"}, {L"Disabled", nullptr}, {L"Hidden", nullptr},
      {L"Inner", nullptr},    {L"Box", nullptr},      {L"Nobody", nullptr},   {L"", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << ui::Utf8FromWide(c.stored));
    RegSetKeyValueW(HKEY_CURRENT_USER, (kKey + L"\\TFocusForm").c_str(), L"ActiveControl", REG_SZ,
                    c.stored, static_cast<DWORD>((wcslen(c.stored) + 1) * sizeof(wchar_t)));
    auto* form = application.CreateForm<TFocusForm>();
    form->SetVisible(true);
    ui::TWinControl* expected = c.active ? form->Memo(c.active) : nullptr;
    EXPECT_EQ(form->ActiveControl(), expected);
    if (expected) {
      EXPECT_EQ(GetFocus(), expected->Handle());
    }
    ui::Free(form);
  }
}

// The focused control's name is saved, and a control that took the focus by hand is kept.
TEST_F(FormStorage, TheActiveControlIsSavedWithThePlacement) {
  auto* form = application.CreateForm<TFocusForm>();
  form->SetVisible(true);
  form->SetActiveControl(form->Memo(L"First"));
  form->Close();
  auto* again = application.CreateForm<TFocusForm>();
  again->SetVisible(true);
  EXPECT_EQ(again->ActiveControl(), again->Memo(L"First"));
  ui::Free(again);
}

// An INI file named without a folder is the Windows folder's, wherever the current folder is
// (the program moves it to each image it opens): start-up and close use the same file.
TEST(SettingsStore, AnIniFileWithoutAFolderIsTheWindowsFolders) {
  TTempFolder elsewhere;
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(elsewhere.Path());
  const std::wstring name = L"QuollboxStoreTest" + std::to_wstring(GetCurrentProcessId()) + L".ini";
  OpenSettingsStore({false, TPlacementRegRoot::prCurrentUser, name, false})
      ->WriteString(L"TMainForm", L"FormVersion", L"0");
  std::filesystem::current_path(previous);
  wchar_t windows[MAX_PATH] = {};
  GetWindowsDirectoryW(windows, MAX_PATH);
  const std::filesystem::path expected = std::filesystem::path(windows) / name;
  EXPECT_TRUE(std::filesystem::exists(expected));
  EXPECT_FALSE(std::filesystem::exists(elsewhere.Path() / name));
  EXPECT_EQ(OpenSettingsStore({false, TPlacementRegRoot::prCurrentUser, name, true})
                ->ReadString(L"TMainForm", L"FormVersion", L""),
            L"0");
  std::filesystem::remove(expected);
}

}  // namespace
}  // namespace ux::win32
