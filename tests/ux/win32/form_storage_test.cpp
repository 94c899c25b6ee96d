#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "../../ui/stand_in_components.h"
#include "ui/win32/forms.h"
#include "ux/form_storage.h"
#include "ux/modules.h"
#include "ux/win32/control_hook.h"

namespace ux {
namespace {

const std::wstring kKey =
    L"Software\\Kelpfin\\QuollboxUxFormTest" + std::to_wstring(GetCurrentProcessId());

// The main window as the program builds it: a form storage with the registry key, position
// only, a listed property, and handlers that note the order of events.
class TMainForm : public ui::TForm {
 public:
  explicit TMainForm(ui::TComponent* owner, std::vector<std::wstring>& journal) : ui::TForm(owner) {
    dock->SetName(L"RightMultiDock");
    storage->SetName(L"FormStorage");
    storage->SetIniFileName(kKey);
    storage->SetOptions({TPlacementOption::fpPosition});
    storage->StoredProps().Assign({L"RightMultiDock.Width"});
    storage->OnRestorePlacement = [&journal](TFormPlacement& p) {
      journal.push_back(L"restore BootCode=" + std::to_wstring(p.ReadInteger(L"BootCode", 1)));
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
  RECT NormalRect() {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    GetWindowPlacement(Handle(), &wp);
    return wp.rcNormalPosition;
  }

  ui::test::TDock* dock = ui::Create<ui::test::TDock>(*this);
  TFormStorage* storage = ui::Create<TFormStorage>(*this);
  bool allowClose = true;
};

// The value's text, or none when it is missing or not REG_SZ.
std::optional<std::wstring> RegText(const std::wstring& section, const std::wstring& name) {
  wchar_t buffer[512] = {};
  DWORD size = sizeof(buffer);
  DWORD type = 0;
  const std::wstring path = kKey + L"\\" + section;
  if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_ANY, &type, buffer,
                   &size) != ERROR_SUCCESS ||
      type != REG_SZ)
    return std::nullopt;
  return std::wstring(buffer);
}

std::wstring RectText(const RECT& r) {
  return std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L"," + std::to_wstring(r.right) +
         L"," + std::to_wstring(r.bottom);
}

class FormStorage : public ::testing::Test {
 protected:
  void SetUp() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, kKey.c_str());
    InitModules();
  }
  void TearDown() override {
    DoneModules();
    RegDeleteTreeW(HKEY_CURRENT_USER, kKey.c_str());
  }
  TMainForm* NewForm() { return application.CreateForm<TMainForm>(journal); }

  std::vector<std::wstring> journal;  // outlives the forms, whose handlers write to it
  ui::TApplication application;
};

TEST_F(FormStorage, ARealFormRestoresBeforeShowAndSavesAfterItsCloseQuery) {
  TMainForm* form = NewForm();
  EXPECT_EQ(form->storage->IniSection(), L"TMainForm");
  form->SetVisible(true);
  EXPECT_EQ(journal, (std::vector<std::wstring>{L"restore BootCode=1", L"OnShow"}));
  SetWindowPos(form->Handle(), nullptr, 40, 30, 520, 380, SWP_NOZORDER);
  form->dock->SetWidth(222);
  const RECT saved = form->NormalRect();

  journal.clear();
  form->allowClose = false;
  form->Close();
  EXPECT_EQ(journal, std::vector<std::wstring>{L"OnCloseQuery"});
  form->allowClose = true;
  form->Close();
  EXPECT_EQ(journal, (std::vector<std::wstring>{L"OnCloseQuery", L"OnCloseQuery", L"save"}));
  journal.clear();
  ui::Free(form);
  EXPECT_EQ(journal, std::vector<std::wstring>{L"OnDestroy"});  // saved already at close
  // The real screen names the suffixed value; both hold the real normal rectangle.
  const std::wstring suffix = L"(" + std::to_wstring(GetSystemMetrics(SM_CXSCREEN)) + L"x" +
                              std::to_wstring(GetSystemMetrics(SM_CYSCREEN)) + L")";
  EXPECT_EQ(RegText(L"TMainForm", L"NormPos"), RectText(saved));
  EXPECT_EQ(RegText(L"TMainForm", L"NormPos" + suffix), RectText(saved));
  EXPECT_EQ(RegText(L"TMainForm", L"Visible"), L"0");

  TMainForm* again = NewForm();
  again->SetVisible(true);
  EXPECT_EQ(journal.back(), L"OnShow");
  EXPECT_EQ(journal[journal.size() - 2], L"restore BootCode=2");
  EXPECT_EQ(RectText(again->NormalRect()), RectText(saved));
  EXPECT_EQ(again->dock->Width(), 222);
  // Maximized at close: the show state is written, and with position only the form comes back
  // normal at its normal rectangle.
  ShowWindow(again->Handle(), SW_MAXIMIZE);
  journal.clear();
  ui::Free(again);  // destroyed without a close: saved once more, with "Visible" 1
  EXPECT_EQ(journal, (std::vector<std::wstring>{L"save", L"OnDestroy"}));
  EXPECT_EQ(RegText(L"TMainForm", L"Visible"), L"1");
  EXPECT_EQ(RegText(L"TMainForm", L"ShowCmd"), std::to_wstring(SW_SHOWMAXIMIZED));
  TMainForm* third = NewForm();
  third->SetVisible(true);
  EXPECT_FALSE(IsZoomed(third->Handle()));
  EXPECT_EQ(RectText(third->NormalRect()), RectText(saved));
  ui::Free(third);
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
