// Saving through the real save dialog of the main window, driven by real key presses.
#include <gtest/gtest.h>

#include "main_form_fixture.h"

namespace app::test {
namespace {

// Types into the real save dialog once it shows: the name, then Enter, as key presses. Cancels
// the dialog after ten seconds at the latest.
struct DialogTyping {
  std::wstring name;
  DWORD deadline = 0;
  bool typed = false;
} typing;

void CALLBACK TypeIntoSaveDialog(HWND, UINT, UINT_PTR, DWORD) {
  const HWND dialog = FindWindowW(L"#32770", L"Save Disk Image");
  if (!dialog) return;
  if (GetTickCount() > typing.deadline) {
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    return;
  }
  if (typing.typed || GetForegroundWindow() != dialog) return;
  typing.typed = true;
  PressKey('A', VK_CONTROL);  // the typed name replaces the preset one
  std::vector<INPUT> keys;
  for (const wchar_t unit : typing.name)
    for (const DWORD up : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
      INPUT input{};
      input.type = INPUT_KEYBOARD;
      input.ki.wScan = unit;
      input.ki.dwFlags = KEYEVENTF_UNICODE | up;
      keys.push_back(input);
    }
  SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
  PressKey(VK_RETURN);
}

// The real save dialog with HFE remembered as its type: a typed "b.dsk" is saved as a raw image
// of that name, in the folder the new image was named in (the current folder changed since).
TEST_F(MainFormTest, TheSaveDialogKeepsATypedKnownExtension) {
  PresetSetting(L"NewFileSaveDialog_FileTypeIndex", L"2");
  ui::SetDialogHook({});
  Start();
  Choose(Item({L"&File", L"&New", L"&Single Side (360k)"}));
  const std::filesystem::path elsewhere = Folder() / L"elsewhere";
  std::filesystem::create_directories(elsewhere);
  std::filesystem::current_path(elsewhere);
  typing = {L"b.dsk", GetTickCount() + 10000, false};
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, TypeIntoSaveDialog);
  CtrlKey('S');
  KillTimer(nullptr, timer);
  EXPECT_TRUE(typing.typed);
  const std::filesystem::path saved = Folder() / L"b.dsk";
  EXPECT_EQ(std::filesystem::file_size(saved), 368640u);
  EXPECT_EQ(Caption(), L"Quollbox - " + saved.wstring());
}

}  // namespace
}  // namespace app::test
