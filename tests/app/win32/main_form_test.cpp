// The main window's start-up, texts, close question, settings and menus, under Wine.
#include <gtest/gtest.h>

#include <fstream>

#include "main_form_fixture.h"
#include "ui/win32/clipboard.h"

namespace app::test {
namespace {

// Real input: a key pressed and released, Alt held around it when asked.
void PressKey(WORD key, bool alt = false) {
  std::vector<INPUT> inputs;
  const auto add = [&inputs](WORD vk, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = flags;
    inputs.push_back(input);
  };
  if (alt) add(VK_MENU, 0);
  add(key, 0);
  add(key, KEYEVENTF_KEYUP);
  if (alt) add(VK_MENU, KEYEVENTF_KEYUP);
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

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

TEST_F(MainFormTest, StartsWithTheFirstImageItsPanelsAndAnEmptyList) {
  Start();
  EXPECT_EQ(Caption(), L"Quollbox - NewImage1.dsk");
  const std::wstring kPanels[] = {L"360k", L"0 bytes in 0 file(s)", L"2048 of 364544 bytes used",
                                  L"362496 bytes free", L""};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Panel(i), kPanels[i]) << i;
  EXPECT_EQ(RowCount(), 0);
  EXPECT_TRUE(boxes.empty());
  EXPECT_TRUE(errors.empty());
  EXPECT_TRUE(RadioChecked(form->MenuItems().bootDos1));
  form->Close();
  EXPECT_EQ(Setting(L"TMainForm", L"BootCode"), L"1");
  EXPECT_EQ(Setting(L"TMainForm", L"RemovableDrive"), L"");
}

// The keyboard reaches the list: it has the focus at start, after another window was active
// (as after an open dialog), when the focus is set on the window itself, and after a Tab.
TEST_F(MainFormTest, TheFileListHasTheFocusWhileTheWindowIsActive) {
  Start();
  const HWND list = form->FileList().Handle();
  SetForegroundWindow(form->Handle());
  Pump();
  EXPECT_EQ(GetFocus(), list);
  const HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                     nullptr, nullptr, nullptr, nullptr);
  SetForegroundWindow(other);
  Pump();
  ASSERT_NE(GetFocus(), list);
  DestroyWindow(other);
  SetForegroundWindow(form->Handle());
  Pump();
  EXPECT_EQ(GetFocus(), list);
  SetFocus(form->Handle());
  Pump();
  EXPECT_EQ(GetFocus(), list);
  PressKey(VK_TAB);
  Pump();
  EXPECT_EQ(GetFocus(), list);
}

TEST_F(MainFormTest, AMissingOrOptionArgumentStartsANewImageSilently) {
  std::ofstream(Folder() / L"NewImage1.dsk").put('x');
  Start({L"/q", L"missing.dsk"});
  EXPECT_EQ(Caption(), L"Quollbox - NewImage2.dsk");
  EXPECT_TRUE(boxes.empty());
}

TEST_F(MainFormTest, CloseAsksAboutAModifiedImage) {
  Start();
  Choose(form->MenuItems().newDouble);
  EXPECT_EQ(Caption(), L"Quollbox - NewImage1.dsk *");
  EXPECT_EQ(Panel(0), L"720k");
  boxAnswer = IDCANCEL;
  SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
  Pump();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, L"The currently opened disk image was modified!\r\nSave changes?");
  EXPECT_EQ(boxes[0].caption, L"Quollbox ");
  EXPECT_EQ(boxes[0].flags, static_cast<UINT>(MB_YESNOCANCEL | MB_ICONQUESTION));
  EXPECT_FALSE(ui::Application->Terminated());
  boxAnswer = IDNO;
  SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(ui::Application->Terminated());
}

TEST_F(MainFormTest, BootCodeRadioItemsFollowTheSettingAndTheChoice) {
  PresetSetting(L"BootCode", L"7");
  Start();
  const MainMenuItems& items = form->MenuItems();
  for (ui::TMenuItem* item : {items.bootEmpty, items.bootDos1, items.bootDos2})
    EXPECT_FALSE(RadioChecked(item));
  Choose(items.bootDos2);
  EXPECT_TRUE(RadioChecked(items.bootDos2));
  EXPECT_FALSE(RadioChecked(items.bootDos1));
  Choose(items.newSingle);
  const disk::TBootCodeRec code = disk::GetBootCode(2);
  EXPECT_TRUE(
      std::equal(code.Code, code.Code + code.Size, form->Core().Image()->Buffer().data() + 28));
  boxAnswer = IDNO;
  form->Close();
  EXPECT_EQ(Setting(L"TMainForm", L"BootCode"), L"2");
}

TEST_F(MainFormTest, RemovableDrivesSubmenuIsFilledWhenItOpens) {
  drives.mask = (1u << 2) | (1u << 17);
  drives.types = {{L"C:\\", 3}, {L"R:\\", kDriveRemovable}};
  Start();
  ui::TMenuItem& menu = *form->MenuItems().removableDrives;
  SendMessageW(form->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu.Handle()), 0);
  ASSERT_EQ(GetMenuItemCount(menu.Handle()), 1);
  ASSERT_EQ(menu.Count(), 1);
  EXPECT_EQ(menu.Items(0)->Caption(), L"R:\\");
  Choose(menu.Items(0));
  EXPECT_EQ(form->Core().RemovableDrive(), L"R:\\");
  SendMessageW(form->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu.Handle()), 0);
  EXPECT_TRUE(menu.Items(0)->Checked());
  form->Close();
  EXPECT_EQ(Setting(L"TMainForm", L"RemovableDrive"), L"R:\\");
}

TEST_F(MainFormTest, ExportWithoutAvailableDriveSaysSo) {
  PresetSetting(L"RemovableDrive", L"R:\\");
  Start();
  CtrlKey('E');
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, L"The removable drive R:\\ is not available.");
  EXPECT_EQ(boxes[0].caption, L"Export To Removable");
}

TEST_F(MainFormTest, OpeningAnXsaOrUnknownFileShowsItsMessage) {
  std::ofstream(Folder() / L"a.xsa").put('x');
  std::ofstream(Folder() / L"b.img").put('x');
  Start();
  dialogs.openAnswers = {Folder() / L"a.xsa", Folder() / L"b.img"};
  ChooseAction(L"acOpenDiskImage");
  ChooseAction(L"acOpenDiskImage");
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, L"Not Implemented");
  EXPECT_EQ(boxes[0].caption, L"Open Disk Image");
  EXPECT_EQ(boxes[0].flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
  EXPECT_EQ(boxes[1].text, L"Unrecognized file format");
  EXPECT_EQ(boxes[1].flags, static_cast<UINT>(MB_OK | MB_ICONWARNING));
  EXPECT_EQ(Caption(), L"Quollbox - NewImage1.dsk");
}

TEST_F(MainFormTest, CopiesTheImageFileNameToTheClipboard) {
  Start();
  ChooseAction(L"acFileCopyFullName");
  EXPECT_EQ(ui::ClipboardText(), L"NewImage1.dsk");
}

TEST_F(MainFormTest, ActionsCarryTheirCaptionsAndShortcuts) {
  Start();
  // "&Z80 Disasm" is reached from the Disk menu only.
  const auto grayed = [](const ui::TMenuItem* item) {
    return (GetMenuState(item->Parent()->Handle(), item->Command(), MF_BYCOMMAND) & MF_GRAYED) != 0;
  };
  EXPECT_FALSE(grayed(form->MenuItems().viewAs[4]));
  EXPECT_TRUE(grayed(form->MenuItems().popupViewAs[4]));
  const struct {
    const wchar_t* name;
    const wchar_t* caption;
    const wchar_t* shortcut;
  } kActions[] = {{L"acSaveDiskImage", L"&Save Disk Image", L"Ctrl+S"},
                  {L"acOpenDiskImage", L"&Open Disk Image...", L"Ctrl+O"},
                  {L"acExportToRemovable", L"E&xport To Removable", L"Ctrl+E"},
                  {L"acDeleteFiles", L"&Delete File(s)", L"F8"},
                  {L"acMakeDir", L"Make &Dir", L"F7"},
                  {L"acViewFile", L"&View File", L"Alt+V"}};
  for (const auto& a : kActions) {
    const ui::TAction* action = form->FindAction(a.name);
    ASSERT_NE(action, nullptr) << a.name;
    EXPECT_EQ(action->Caption(), a.caption);
    EXPECT_EQ(ui::ShortCutToText(action->ShortCut()), a.shortcut);
  }
}

// What the menu watch saw; the timer procedure has no other way in.
struct MenuWatch {
  WORD key;
  HWND form;
  HMENU fileMenu;
  int recentIndex;
  DWORD deadline;
  int step;
  RECT item, submenu;
} watch;

void CALLBACK WatchMenus(HWND, UINT, UINT_PTR, DWORD) {
  const std::vector<HWND> menus = MenuWindows();
  if (watch.step == 0 && menus.size() == 1) {
    GetMenuItemRect(watch.form, watch.fileMenu, static_cast<UINT>(watch.recentIndex), &watch.item);
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

// Alt+F opens the File menu and the item's accelerator its submenu, all by real key presses;
// the submenu must open beside its item. The menu loop is modal: a thread timer watches it, and
// ends it after five seconds at the latest.
TEST_F(MainFormTest, RecentSubmenusOpenBesideTheirItems) {
  Start();
  dialogs.saveAnswers = {Folder() / L"a.dsk"};
  ChooseAction(L"acSaveDiskImageAs");
  dialogs.openAnswers = {Folder() / L"a.dsk"};
  ChooseAction(L"acOpenDiskImage");
  ASSERT_EQ(Caption(), L"Quollbox - " + (Folder() / L"a.dsk").wstring());
  SetForegroundWindow(form->Handle());
  const struct {
    ui::TMenuItem* item;
    WORD key;
  } kSubmenus[] = {{form->MenuItems().recentFiles, 'R'}, {form->MenuItems().recentFolders, 'D'}};
  for (const auto& submenu : kSubmenus) {
    SCOPED_TRACE(submenu.item->Caption());
    const HMENU fileMenu = submenu.item->Parent()->Handle();
    watch = {submenu.key, form->Handle(), fileMenu, -1, GetTickCount() + 5000, 0, {}, {}};
    for (int i = 0; i < GetMenuItemCount(fileMenu); ++i)
      if (GetSubMenu(fileMenu, i) == submenu.item->Handle()) watch.recentIndex = i;
    ASSERT_GE(watch.recentIndex, 0);
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, WatchMenus);
    PressKey('F', true);
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
}

}  // namespace
}  // namespace app::test
