#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "../stand_in_form.h"
#include "ui/win32/forms.h"
#include "ux/form_storage.h"
#include "ux/modules.h"
#include "ux/win32/control_hook.h"

namespace ux {
namespace {

const std::wstring kKey =
    L"Software\\Kelpfin\\QuollboxUxFormTest" + std::to_wstring(GetCurrentProcessId());

// The main window as the program builds it: a form storage with the registry key, position
// only, one listed property, and handlers that note the order of events.
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

  test::TDock* dock = ui::Create<test::TDock>(*this);
  TFormStorage* storage = ui::Create<TFormStorage>(*this);
  bool allowClose = true;
};

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
  TMainForm* NewForm() {
    auto* form = application.CreateForm<TMainForm>(journal);
    return form;
  }

  ui::TApplication application;
  std::vector<std::wstring> journal;
};

TEST_F(FormStorage, ARealFormRestoresBeforeShowAndSavesAfterItsCloseQuery) {
  TMainForm* form = NewForm();
  EXPECT_EQ(form->storage->IniSection(), L"TMainForm");
  form->SetVisible(true);
  EXPECT_EQ(journal, (std::vector<std::wstring>{L"restore BootCode=1", L"OnShow"}));
  SetWindowPos(form->Handle(), nullptr, 40, 30, 520, 380, SWP_NOZORDER);
  form->dock->SetWidth(222);

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

  TMainForm* again = NewForm();
  again->SetVisible(true);
  EXPECT_EQ(journal.back(), L"OnShow");
  EXPECT_EQ(journal[journal.size() - 2], L"restore BootCode=2");
  RECT rect{};
  GetWindowRect(again->Handle(), &rect);
  EXPECT_EQ(rect.left, 40);
  EXPECT_EQ(rect.top, 30);
  EXPECT_EQ(rect.right - rect.left, 520);
  EXPECT_EQ(again->dock->Width(), 222);
  journal.clear();
  ui::Free(again);  // destroyed without a close: saved once more, with "Visible" 1
  EXPECT_EQ(journal, (std::vector<std::wstring>{L"save", L"OnDestroy"}));
}

TEST_F(FormStorage, AFormThatWasNeverShownSavesNothing) {
  TMainForm* form = NewForm();
  ui::Free(form);
  HKEY key = nullptr;
  EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, (kKey + L"\\TMainForm").c_str(), 0, KEY_READ, &key),
            ERROR_SUCCESS);
  EXPECT_EQ(journal, std::vector<std::wstring>{L"OnDestroy"});
}

}  // namespace
}  // namespace ux
