// The real main window under Wine: a fresh application, a private registry key and an empty
// current folder per test, scripted file dialogs and drives, captured message boxes and explored
// folders, and readers for what the window shows (caption, status panels, list rows, menu item
// states).
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <filesystem>
#include <memory>
#include <string>

#include "../../ui/win32/gui_fixture.h"
#include "../shell_fakes.h"
#include "app/win32/main_form.h"
#include "ui/win32/registry_ini_file.h"
#include "ux/modules.h"

namespace app::test {

// The program's shell services, except that folders to explore are only recorded.
struct RecordingShellUi : TShellUi {
  void Explore(const std::filesystem::path& folder) override { explored.push_back(folder); }
  std::vector<std::filesystem::path> explored;
};

class MainFormTest : public UiGuiTest {
 protected:
  MainFormTest()
      : key_(L"Software\\Kelpfin\\QuollboxAppTest" + std::to_wstring(GetCurrentProcessId())),
        folder_(std::filesystem::temp_directory_path() /
                (L"quollbox-app-" + std::to_wstring(GetCurrentProcessId()))) {
    RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    previousFolder_ = std::filesystem::current_path();
    std::filesystem::current_path(folder_);
    ux::InitModules();
  }
  ~MainFormTest() override {
    ux::DoneModules();
    std::filesystem::current_path(previousFolder_);
    std::filesystem::remove_all(folder_);
    RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str());
  }

  // Creates and shows the main window as the program does.
  TMainForm& Start(std::vector<std::wstring> arguments = {}) {
    MainFormOptions options;
    options.arguments = std::move(arguments);
    options.settingsKey = key_;
    options.dialogs = realDialogs ? nullptr : &dialogs;
    options.drives = &drives;
    options.shellUi = &shell;
    form = ui::Application->CreateForm<TMainForm>(std::move(options));
    form->Show();
    Pump();
    return *form;
  }

  std::wstring Caption() const {
    wchar_t text[512] = {};
    GetWindowTextW(form->Handle(), text, 512);
    return text;
  }
  // The panel's text without the tab that centres it.
  std::wstring Panel(int index) const {
    wchar_t text[256] = {};
    SendMessageW(form->StatusBar().Handle(), SB_GETTEXTW, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(text));
    std::wstring result = text;
    return result.substr(result.find_first_not_of(L'\t') == std::wstring::npos
                             ? result.size()
                             : result.find_first_not_of(L'\t'));
  }
  int RowCount() const {
    return static_cast<int>(SendMessageW(form->FileList().Handle(), LVM_GETITEMCOUNT, 0, 0));
  }
  std::wstring Cell(int row, int column) const {
    wchar_t text[256] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 256;
    SendMessageW(form->FileList().Handle(), LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
    return text;
  }
  // Chooses the menu item as a click in the menu would.
  void Choose(const ui::TMenuItem* item) {
    SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(item->Command(), 0), 0);
    Pump();
  }
  void ChooseAction(std::wstring_view actionName) { Choose(FindActionItem(actionName)); }
  // A key with Ctrl held, through the message queue as typed keys arrive.
  void CtrlKey(WORD key) {
    BYTE state[256] = {};
    GetKeyboardState(state);
    state[VK_CONTROL] = 0x80;
    SetKeyboardState(state);
    PostMessageW(form->FileList().Handle(), WM_KEYDOWN, key, 0);
    Pump();
    state[VK_CONTROL] = 0;
    SetKeyboardState(state);
  }
  // Whether a submenu's item shows the radio bullet and is checked.
  static bool RadioChecked(ui::TMenuItem* item) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE;
    GetMenuItemInfoW(item->Parent()->Handle(), item->Command(), FALSE, &info);
    return (info.fType & MFT_RADIOCHECK) && (info.fState & MFS_CHECKED);
  }
  std::wstring Setting(const std::wstring& section, const std::wstring& name) const {
    ui::TRegistryIniFile settings(HKEY_CURRENT_USER, key_, true);
    return settings.ReadString(section, name, L"<missing>");
  }
  void PresetSetting(const std::wstring& name, const std::wstring& value) {
    ui::TRegistryIniFile settings(HKEY_CURRENT_USER, key_);
    settings.WriteString(L"TMainForm", name, value);
  }
  const std::filesystem::path& Folder() const { return folder_; }

  FakeDialogs dialogs;
  bool realDialogs = false;  // the window's own file dialogs instead of `dialogs`
  FakeDrives drives;
  RecordingShellUi shell;
  TMainForm* form = nullptr;

 private:
  const ui::TMenuItem* FindActionItem(std::wstring_view actionName) const {
    const ui::TAction* action = form->FindAction(actionName);
    const ui::TMenuItem* found = nullptr;
    const std::function<void(const ui::TMenuItem&)> walk = [&](const ui::TMenuItem& item) {
      if (!found && item.Action() == action) found = &item;
      for (int i = 0; i < item.Count(); ++i) walk(*item.Items(i));
    };
    walk(form->MainMenu().Items());
    return found;
  }

  std::wstring key_;
  std::filesystem::path folder_;
  std::filesystem::path previousFolder_;
};

}  // namespace app::test
