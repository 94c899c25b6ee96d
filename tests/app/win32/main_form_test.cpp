// The main window's start-up, menus, close question, keyboard focus and real save dialog, under
// Wine.
#include <gtest/gtest.h>

#include "main_form_fixture.h"
#include "ui/win32/clipboard.h"

namespace app::test {
namespace {

BOOL CALLBACK AddMenuWindow(HWND window, LPARAM list) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  if (std::wstring(name) == L"#32768" && IsWindowVisible(window))
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

// The shown menu windows of this thread, in the system's z order (the newest first).
std::vector<HWND> MenuWindows() {
  std::vector<HWND> windows;
  EnumThreadWindows(GetCurrentThreadId(), AddMenuWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

// The command line reaches the start-up, which makes the first free new image.
TEST_F(MainFormTest, StartsWithTheFirstFreeImageItsPanelsAndAnEmptyList) {
  std::ofstream(Folder() / L"NewImage1.dsk").put('x');
  Start({L"/q", L"missing.dsk"});
  EXPECT_EQ(Caption(), L"Quollbox - NewImage2.dsk");
  EXPECT_EQ(Panel(0), L"360k");
  EXPECT_EQ(Panel(3), L"362496 bytes free");
  EXPECT_TRUE(Names().empty());
  EXPECT_TRUE(boxes.empty());
  EXPECT_TRUE(errors.empty());
}

// The list has the focus at start, after another window was active (as after a dialog), when
// the focus is set on the window itself, and after a Tab.
TEST_F(MainFormTest, TheFileListHasTheFocusWhileTheWindowIsActive) {
  Start();
  SetForegroundWindow(form->Handle());
  Pump();
  EXPECT_EQ(GetFocus(), List());
  const HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                     nullptr, nullptr, nullptr, nullptr);
  SetForegroundWindow(other);
  Pump();
  ASSERT_NE(GetFocus(), List());
  DestroyWindow(other);
  SetForegroundWindow(form->Handle());
  Pump();
  EXPECT_EQ(GetFocus(), List());
  SetFocus(form->Handle());
  Pump();
  EXPECT_EQ(GetFocus(), List());
  PressKey(VK_TAB);
  Pump();
  EXPECT_EQ(GetFocus(), List());
}

TEST_F(MainFormTest, TheNewMenuAndTheCloseQuestionAreWired) {
  PresetSetting(L"BootCode", L"7");
  Start();
  const auto item = [this](const wchar_t* caption) { return Item({L"&File", L"&New", caption}); };
  for (const wchar_t* caption : {L"&Empty Boot", L"Boot MSXDOS&1", L"Boot MSXDOS&2"})
    EXPECT_FALSE(RadioChecked(item(caption)));
  Choose(item(L"Boot MSXDOS&2"));
  EXPECT_TRUE(RadioChecked(item(L"Boot MSXDOS&2")));
  EXPECT_FALSE(RadioChecked(item(L"Boot MSXDOS&1")));

  Choose(item(L"&Double Side (720k)"));
  EXPECT_EQ(Panel(0), L"720k");
  boxAnswer = IDCANCEL;
  SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
  Pump();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].flags, static_cast<UINT>(MB_YESNOCANCEL | MB_ICONQUESTION));
  EXPECT_FALSE(ui::Application->Terminated());
  boxAnswer = IDNO;
  SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(ui::Application->Terminated());
  EXPECT_EQ(Setting(L"TMainForm", L"BootCode"), L"2");
}

TEST_F(MainFormTest, CtrlEAndTheRemovableDrivesSubmenuAreWired) {
  drives = {{L"C:\\", DRIVE_FIXED}, {L"R:\\", DRIVE_REMOVABLE}};
  Start();
  CtrlKey('E');
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, L"Export To Removable");
  ui::TMenuItem& menu = *Item({L"&Options", L"Removable &Drives"});
  SendMessageW(form->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu.Handle()), 0);
  ASSERT_EQ(GetMenuItemCount(menu.Handle()), 1);
  EXPECT_EQ(menu.Items(0)->Caption(), L"R:\\");
  Choose(menu.Items(0));
  SendMessageW(form->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu.Handle()), 0);
  EXPECT_TRUE(menu.Items(0)->Checked());
  form->Close();
  EXPECT_EQ(Setting(L"TMainForm", L"RemovableDrive"), L"R:\\");
}

TEST_F(MainFormTest, ActionsMenusAndTheClipboardAreWired) {
  Start();
  // "&Z80 Disasm" is reached from the Disk menu only.
  const auto grayed = [](const ui::TMenuItem* item) {
    return (GetMenuState(item->Parent()->Handle(), item->Command(), MF_BYCOMMAND) & MF_GRAYED) != 0;
  };
  EXPECT_FALSE(grayed(Item({L"&Disk", L"View File A&s...", L"&Z80 Disasm"})));
  EXPECT_TRUE(grayed(Item({L"&View File As...", L"&Z80 Disasm"}, L"ListPopupMenu")));
  ChooseAction(L"acFileCopyFullName");
  EXPECT_EQ(ui::ClipboardText(), L"NewImage1.dsk");
}

// What the menu watch saw; the timer procedure has no other way in.
struct MenuWatch {
  WORD key;
  HWND form;
  HMENU fileMenu;
  int itemIndex;
  DWORD deadline;
  int step;
  RECT item, submenu;
} watch;

void CALLBACK WatchMenus(HWND, UINT, UINT_PTR, DWORD) {
  const std::vector<HWND> menus = MenuWindows();
  if (watch.step == 0 && menus.size() == 1) {
    GetMenuItemRect(watch.form, watch.fileMenu, static_cast<UINT>(watch.itemIndex), &watch.item);
    watch.step = 1;
    PressKey(watch.key);
  } else if (watch.step == 1 && menus.size() == 2) {
    GetWindowRect(menus.front(), &watch.submenu);
    watch.step = 2;
    EndMenu();
  } else if (GetTickCount() > watch.deadline) {
    EndMenu();
  }
}

// Alt+F and the item's accelerator, as real key presses, open the submenu beside its item. A
// thread timer watches the modal menu loop and ends it after five seconds at the latest.
TEST_F(MainFormTest, RecentSubmenusOpenBesideTheirItems) {
  Start();
  dialogs.saveAnswers = {Folder() / L"a.dsk"};
  ChooseAction(L"acSaveDiskImageAs");
  dialogs.openAnswers = {Folder() / L"a.dsk"};
  ChooseAction(L"acOpenDiskImage");
  ASSERT_EQ(Caption(), L"Quollbox - " + (Folder() / L"a.dsk").wstring());
  SetForegroundWindow(form->Handle());
  for (const auto& [caption, key] : {std::pair{L"&Recent Files", 'R'}, {L"Recent Fol&ders", 'D'}}) {
    SCOPED_TRACE(caption);
    ui::TMenuItem* submenu = Item({L"&File", caption});
    const HMENU fileMenu = submenu->Parent()->Handle();
    watch = {WORD(key), form->Handle(), fileMenu, -1, GetTickCount() + 5000, 0, {}, {}};
    for (int i = 0; i < GetMenuItemCount(fileMenu); ++i)
      if (GetSubMenu(fileMenu, i) == submenu->Handle()) watch.itemIndex = i;
    ASSERT_GE(watch.itemIndex, 0);
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, WatchMenus);
    PressKey('F', VK_MENU);
    while (watch.step < 2 && GetTickCount() <= watch.deadline) {
      Pump();
      Sleep(10);
    }
    KillTimer(nullptr, timer);
    Pump();
    ASSERT_EQ(watch.step, 2) << "the submenu did not open";
    // Beside the item: it starts near the item's right edge and near its top.
    EXPECT_NEAR(watch.submenu.left, watch.item.right, 8);
    EXPECT_NEAR(watch.submenu.top, watch.item.top, 8);
  }
  form->Close();
  EXPECT_EQ(Setting(L"TMainForm.MRUList_Items", L"Item0"), (Folder() / L"a.dsk").wstring());
  EXPECT_EQ(Setting(L"TMainForm.MRUListFolders_Items", L"Item0"), Folder().wstring());
}

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
