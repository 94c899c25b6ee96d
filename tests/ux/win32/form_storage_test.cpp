#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "ui/win32/forms.h"
#include "ux/form_storage.h"
#include "ux/modules.h"
#include "ux/win32/control_hook.h"
#include "ux/win32/cursors.h"

namespace ux {
namespace {

using Journal = std::vector<std::wstring>;

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

}  // namespace
}  // namespace ux
