// The real main window under Wine, with a private user registry and current folder per test;
// dialogs, drives and the shell answered through the class library's hooks. The window is
// reached by component names, menu captions, window messages and real input.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "../../rtl/temp_folder.h"
#include "../../ui/win32/gui_fixture.h"
#include "app/win32/main_form.h"
#include "app/win32/startup.h"
#include "disk/msx_disk.h"
#include "tb/startup.h"
#include "tb/win32/popup.h"
#include "ui/win32/registry_ini_file.h"
#include "ui/win32/shell.h"
#include "ux/modules.h"

namespace app::test {

// Answers the window's file dialogs, by their names, in the user's place; no answer cancels.
struct DialogAnswers {
  std::deque<std::filesystem::path> openAnswers, saveAnswers, folderAnswers;
  std::deque<std::vector<std::filesystem::path>> addAnswers;

  bool Answer(ui::TComponent& component) {
    auto& dialog = dynamic_cast<ui::TCustomFileDialog&>(component);
    const std::wstring_view name = dialog.Name();
    if (name == L"NewAddFilesDialog") {
      if (addAnswers.empty()) return false;
      dialog.Files().Clear();
      for (const auto& path : addAnswers.front()) dialog.Files().Add(path.wstring());
      addAnswers.pop_front();
      return true;
    }
    auto& answers = name == L"NewFileSaveDialog"   ? saveAnswers
                    : name == L"NewFileOpenDialog" ? openAnswers
                                                   : folderAnswers;
    if (answers.empty()) return false;
    // As a real dialog: the full name with the system's separators, and the name as typed.
    std::filesystem::path chosen = answers.front();
    dialog.FileName = chosen.make_preferred().wstring();
    dialog.EnteredName = chosen.filename().wstring();
    answers.pop_front();
    return true;
  }
};

// Real input: a key pressed and released, Ctrl, Alt or Shift held around it when asked.
inline void PressKey(WORD key, WORD modifier = 0, WORD secondModifier = 0) {
  INPUT inputs[6]{};
  UINT count = 0;
  const auto add = [&](WORD vk, DWORD flags) {
    if (!vk) return;
    inputs[count].type = INPUT_KEYBOARD;
    inputs[count].ki.wVk = vk;
    inputs[count++].ki.dwFlags = flags;
  };
  add(modifier, 0);
  add(secondModifier, 0);
  add(key, 0);
  add(key, KEYEVENTF_KEYUP);
  add(secondModifier, KEYEVENTF_KEYUP);
  add(modifier, KEYEVENTF_KEYUP);
  SendInput(count, inputs, sizeof(INPUT));
}

// The captions of a view's shown viewers.
inline std::vector<std::wstring> Captions(tb::TTBView* view) {
  std::vector<std::wstring> captions;
  for (int i = 0; view && i < view->ViewerCount(); ++i)
    if (view->Viewers(i)->Show()) captions.push_back(view->Viewers(i)->GetCaptionText());
  return captions;
}

// For EnumThreadWindows: the shown popup window of a menu, into the TTBPopupWindow* at `found`.
inline BOOL CALLBACK FindPopup(HWND window, LPARAM found) {
  tb::TTBPopupWindow* popup = tb::TTBPopupWindow::FromHandle(window);
  if (popup && IsWindowVisible(window)) *reinterpret_cast<tb::TTBPopupWindow**>(found) = popup;
  return !popup;
}

class MainFormTest : public UiGuiTest {
 protected:
  MainFormTest()
      : key_(L"Software\\Kelpfin\\QuollboxAppTest" + std::to_wstring(GetCurrentProcessId())) {
    // The user's registry of this process is a private key, dropped after the test.
    RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str());
    RegCreateKeyExW(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &user_,
                    nullptr);
    RegOverridePredefKey(HKEY_CURRENT_USER, user_);
    ui::SetDialogHook([this](ui::TComponent& dialog) { return dialogs.Answer(dialog); });
    ui::SetDriveTypeHook([this](const std::wstring& root) {
      const auto found = drives.find(root);
      return found == drives.end() ? UINT{DRIVE_NO_ROOT_DIR} : found->second;
    });
    ui::SetShellHook([this](const ui::TShellRequest& request) { shell.push_back(request); });
    previousFolder_ = std::filesystem::current_path();
    std::filesystem::current_path(folder_.Path());
    ux::InitModules();
    tb::Initialize();
    PrepareApplication(*ui::Application);
  }
  ~MainFormTest() override {
    tb::Finalize();
    ux::DoneModules();
    std::filesystem::current_path(previousFolder_);
    ui::SetDialogHook({});
    ui::SetDriveTypeHook({});
    ui::SetShellHook({});
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegCloseKey(user_);
    RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str());
  }

  // Creates and shows the main window as the program does.
  TMainForm& Start(std::vector<std::wstring> arguments = {}) {
    form = ui::Application->CreateForm<TMainForm>(std::move(arguments));
    form->Show();
    Pump();
    return *form;
  }

  template <class T>
  T& Part(const wchar_t* name) const {
    return *dynamic_cast<T*>(form->FindComponent(name));
  }
  HWND List() const { return Part<ui::TListView>(L"FileList").Handle(); }
  // The item tree of a menu bar or popup menu.
  menus::TItem& Root(const wchar_t* menu = L"MainMenu") const {
    return *dynamic_cast<tb::ITBItemContainer&>(*form->FindComponent(menu)).GetItems();
  }
  // The item reached by the captions (as shown, without a shortcut text) from the menu's root.
  menus::TItem* Item(std::initializer_list<std::wstring_view> captions,
                     const wchar_t* menu = L"MainMenu") const {
    menus::TItem* item = &Root(menu);
    for (const std::wstring_view caption : captions) {
      menus::TItem* found = nullptr;
      for (int i = 0; i < item->Count() && !found; ++i) {
        const std::wstring& text = item->Items(i)->Caption();
        if (std::wstring_view(text).substr(0, text.find(L'\t')) == caption) found = item->Items(i);
      }
      if (!found) ADD_FAILURE() << std::wstring(caption);
      if (!(item = found)) return nullptr;
    }
    return item;
  }

  std::wstring Caption() const {
    wchar_t text[512] = {};
    GetWindowTextW(form->Handle(), text, 512);
    return text;
  }
  // The panel's text without the tab that centres it.
  std::wstring Panel(int index) const {
    wchar_t text[256] = {};
    SendMessageW(Part<ui::TStatusBar>(L"StatusBar").Handle(), SB_GETTEXTW,
                 static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    const std::wstring result = text;
    return result.substr(std::min(result.find_first_not_of(L'\t'), result.size()));
  }
  std::wstring Cell(int row, int column) const {
    wchar_t text[256] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 256;
    SendMessageW(List(), LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
    return text;
  }
  std::vector<std::wstring> Names() const {
    std::vector<std::wstring> names;
    for (int row = 0; row < ListView_GetItemCount(List()); ++row) names.push_back(Cell(row, 0));
    return names;
  }
  // Selects exactly the rows with these captions, as clicks would.
  void Select(const std::vector<std::wstring>& names) {
    SetFocus(List());
    ListView_SetItemState(List(), -1, 0, LVIS_SELECTED);
    for (int row = 0; row < ListView_GetItemCount(List()); ++row)
      if (std::find(names.begin(), names.end(), Cell(row, 0)) != names.end())
        ListView_SetItemState(List(), row, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
  }
  // Chooses the menu item as a click in the menu would.
  void Choose(menus::TItem* item) {
    item->Click();
    Pump();
  }
  void ChooseAction(const wchar_t* actionName) {
    const ui::TAction* action = &Part<ui::TAction>(actionName);
    menus::TItem* found = nullptr;
    const std::function<void(menus::TItem&)> walk = [&](menus::TItem& item) {
      if (!found && item.Action() == action) found = &item;
      for (int i = 0; i < item.Count(); ++i) walk(*item.Items(i));
    };
    walk(Root());
    ASSERT_TRUE(found) << actionName;
    Choose(found);
  }
  // A key with Ctrl (or `modifier`) held, typed into the focused list.
  void CtrlKey(WORD key, WORD modifier = VK_CONTROL) {
    SetForegroundWindow(form->Handle());
    Pump();
    PressKey(key, modifier);
    Pump();
  }
  // Alt+V: acViewFile's shortcut (its menu items are hidden).
  void ViewKey() { CtrlKey('V', VK_MENU); }
  // Whether the item shows the radio bullet and is checked.
  static bool RadioChecked(const menus::TItem* item) {
    return item->RadioItem() && item->Checked();
  }
  std::wstring Setting(const std::wstring& section, const std::wstring& name) const {
    ui::TRegistryIniFile settings(HKEY_CURRENT_USER, kSettingsKey, true);
    return settings.ReadString(section, name, L"<missing>");
  }
  void PresetSetting(const std::wstring& name, const std::wstring& value) {
    ui::TRegistryIniFile settings(HKEY_CURRENT_USER, kSettingsKey);
    settings.WriteString(L"TMainForm", name, value);
  }
  const std::filesystem::path& Folder() const { return folder_.Path(); }

  DialogAnswers dialogs;
  std::map<std::wstring, UINT> drives;  // the drives' kinds by root
  std::vector<ui::TShellRequest> shell;
  TMainForm* form = nullptr;

 private:
  std::wstring key_;
  HKEY user_ = nullptr;
  TTempFolder folder_;
  std::filesystem::path previousFolder_;
};

}  // namespace app::test
