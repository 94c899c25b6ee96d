// The real main window under Wine, walked through by its keys, clicks and
// menus: start-up, focus, menus and the close question; the file commands from
// adding to saving (the saved image is checked afterwards with mtools and
// fsck.fat, gui_image_check.sh) and the recent submenus; the real save dialog.
#include <gtest/gtest.h>

#include "../../disk/disk_test_support.h"
#include "app/viewer/win32/file_viewer_form.h"
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

// The shown menu windows of this thread, in the system's z order (the newest
// first).
std::vector<HWND> MenuWindows() {
  std::vector<HWND> windows;
  EnumThreadWindows(GetCurrentThreadId(), AddMenuWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

// One window walked through its start-up, keyboard focus, menus, popup menu,
// Ctrl+E, the removable drives submenu, the clipboard and the close question.
TEST_F(MainFormTest, StartUpFocusMenusAndTheCloseQuestionAreWired) {
  std::ofstream(Folder() / L"NewImage1.dsk").put('x');
  PresetSetting(L"BootCode", L"7");
  drives = {{L"C:\\", DRIVE_FIXED}, {L"R:\\", DRIVE_REMOVABLE}};
  Start({L"/q", L"missing.dsk"});
  EXPECT_EQ(Caption(), L"Quollbox - NewImage2.dsk");
  EXPECT_EQ(Panel(0), L"360k");
  EXPECT_EQ(Panel(3), L"362496 bytes free");
  EXPECT_TRUE(Names().empty());

  // The list has the focus at start, after another window was active (as after
  // a dialog), when the focus is set on the window itself, and after a Tab.
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

  // "&Z80 Disasm" is reached from the Disk menu only.
  const auto grayed = [](const ui::TMenuItem* item) {
    return (GetMenuState(item->Parent()->Handle(), item->Command(), MF_BYCOMMAND) & MF_GRAYED) != 0;
  };
  EXPECT_FALSE(grayed(Item({L"&Disk", L"View File A&s...", L"&Z80 Disasm"})));
  EXPECT_TRUE(grayed(Item({L"&View File As...", L"&Z80 Disasm"}, L"ListPopupMenu")));
  ChooseAction(L"acFileCopyFullName");
  EXPECT_EQ(ui::ClipboardText(), L"NewImage2.dsk");
  EXPECT_TRUE(boxes.empty());
  EXPECT_TRUE(errors.empty());

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

  const auto item = [this](const wchar_t* caption) { return Item({L"&File", L"&New", caption}); };
  for (const wchar_t* caption : {L"&Empty Boot", L"Boot MSXDOS&1", L"Boot MSXDOS&2"})
    EXPECT_FALSE(RadioChecked(item(caption)));
  Choose(item(L"Boot MSXDOS&2"));
  EXPECT_TRUE(RadioChecked(item(L"Boot MSXDOS&2")));
  EXPECT_FALSE(RadioChecked(item(L"Boot MSXDOS&1")));

  Choose(item(L"&Double Side (720k)"));
  EXPECT_EQ(Panel(0), L"720k");
  boxes.clear();
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
  EXPECT_EQ(Setting(L"TMainForm", L"RemovableDrive"), L"R:\\");
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

using disk_test::Pattern;
using disk_test::ReadFile;
using disk_test::WriteFile;

std::vector<std::uint8_t> Ascii(std::string_view text) {
  return {text.begin(), text.end()};
}

class MainFormFilesTest : public MainFormTest {
 protected:
  // A key typed into `window`: key down (translated to a character by the
  // message loop) and up.
  void Type(HWND window, WORD key) {
    PostMessageW(window, WM_KEYDOWN, key, 1);
    PostMessageW(window, WM_KEYUP, key, 0xC0000001);
    Pump();
  }
  void TypeChar(HWND window, wchar_t c) {
    PostMessageW(window, WM_CHAR, c, 1);
    Pump();
  }
  HWND Editor() const { return ListView_GetEditControl(List()); }
  bool Editing() const { return Editor() != nullptr; }
  std::wstring EditorText() const {
    wchar_t text[64] = {};
    GetWindowTextW(Editor(), text, 64);
    return text;
  }
  // Types `name` into the open editor and commits it with Enter.
  void CommitName(const std::wstring& name) {
    ASSERT_NE(Editor(), nullptr);
    SendMessageW(Editor(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
    Type(Editor(), VK_RETURN);
  }
  void ClickColumn(int column) {
    NMLISTVIEW click{};
    click.hdr.hwndFrom = List();
    click.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(List()));
    click.hdr.code = LVN_COLUMNCLICK;
    click.iItem = -1;
    click.iSubItem = column;
    SendMessageW(form->Handle(), WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
    Pump();
  }
  std::vector<TFileViewerForm*> Viewers() const {
    std::vector<TFileViewerForm*> viewers;
    for (int i = 0; i < ui::Screen->FormCount(); ++i)
      if (auto* viewer = dynamic_cast<TFileViewerForm*>(ui::Screen->Forms(i)))
        viewers.push_back(viewer);
    return viewers;
  }
};

TEST_F(MainFormFilesTest, FileCommandsFromAddingToSavingAndTheRecentSubmenus) {
  const std::filesystem::path saved = std::filesystem::path(QB_GUI_SAVED_IMAGE).make_preferred();
  std::filesystem::remove(saved);
  WriteFile(Folder() / L"readme.txt", Ascii("Hello\r\nMSX\r\n"));
  WriteFile(Folder() / L"data.bin", Pattern(3000));
  WriteFile(Folder() / L"junk.txt", Ascii("junk"));
  WriteFile(Folder() / L"game.bas", Ascii("10 PRINT\r\n"));
  Start();

  // Add from the dialog.
  dialogs.addAnswers = {{Folder() / L"readme.txt", Folder() / L"data.bin", Folder() / L"junk.txt"}};
  ChooseAction(L"acAddFiles");
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L"README", L"DATA", L"JUNK"}));
  EXPECT_EQ(Cell(1, 1) + Cell(1, 2), L"BIN3000");

  // F7 makes NEWDIR1 and opens its editor, whose keys stay its own.
  Type(List(), VK_F7);
  ASSERT_TRUE(Editing());
  EXPECT_EQ(Cell(3, 0) + Cell(3, 2), L"NEWDIR1<Dir>");
  TypeChar(Editor(), L'\\');
  TypeChar(Editor(), 8);
  ASSERT_TRUE(Editing());
  EXPECT_EQ(EditorText(), L"");
  CommitName(L"games");
  EXPECT_EQ(Cell(3, 0), L"GAMES");

  // Enter goes into the directory, Backspace back out, "\" to the root.
  Select({L"GAMES"});
  Type(List(), VK_RETURN);
  EXPECT_EQ(Names(), std::vector<std::wstring>{L".."});
  dialogs.addAnswers = {{Folder() / L"game.bas"}};
  ChooseAction(L"acAddFiles");
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L"..", L"GAME"}));
  Type(List(), VK_BACK);
  EXPECT_EQ(Names().size(), 4u);
  Select({L"GAMES"});
  SendMessageW(List(), WM_LBUTTONDBLCLK, MK_LBUTTON, 0);
  Pump();
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L"..", L"GAME"}));
  TypeChar(List(), L'\\');
  EXPECT_EQ(Names().size(), 4u);

  // Rename in place: the extension stays.
  Select({L"README"});
  Type(List(), VK_F2);
  CommitName(L"notes");
  EXPECT_EQ(Cell(0, 0) + L"." + Cell(0, 1), L"NOTES.TXT");

  // Sorting by size.
  ClickColumn(2);
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L"GAMES", L"JUNK", L"NOTES", L"DATA"}));

  // Delete.
  Select({L"JUNK"});
  Type(List(), VK_F8);
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L"GAMES", L"NOTES", L"DATA"}));

  // Extract the files of the selection, then explore the folder.
  const std::filesystem::path out = Folder() / L"out";
  std::filesystem::create_directories(out);
  Select({L"NOTES", L"DATA", L"GAMES"});
  dialogs.folderAnswers = {out};
  ChooseAction(L"acExtractFiles");
  EXPECT_TRUE(std::filesystem::exists(out / L"NOTES.TXT"));
  EXPECT_EQ(ReadFile(out / L"DATA.BIN"), Pattern(3000));
  EXPECT_FALSE(std::filesystem::exists(out / L"GAMES"));
  ASSERT_EQ(shell.size(), 1u);
  EXPECT_EQ(shell[0].verb + L" " + shell[0].file, L"explore " + out.wstring());

  // View: every view opens a window of its own.
  Select({L"NOTES"});
  ChooseAction(L"acViewFile");
  Choose(Item({L"&Disk", L"View File A&s...", L"&Hex Dump"}));
  const std::vector<TFileViewerForm*> viewers = Viewers();
  ASSERT_EQ(viewers.size(), 2u);
  EXPECT_EQ(viewers[0]->Memo().WindowText(), L"Hello\r\nMSX");
  EXPECT_EQ(viewers[1]->Memo().WindowText().substr(0, 8), L"0000    ");

  // Save: the image needs a name first.
  dialogs.saveAnswers = {saved};
  ChooseAction(L"acSaveDiskImage");
  EXPECT_EQ(Caption(), L"Quollbox - " + saved.wstring());
  EXPECT_TRUE(std::filesystem::exists(saved));
  EXPECT_TRUE(boxes.empty());
  EXPECT_TRUE(errors.empty());

  // The saved image, opened again, is the first of the recent files and its
  // folder of the recent folders. Alt+F and the item's accelerator, as real key
  // presses, open each submenu beside its item; a thread timer watches the
  // modal menu loop and ends it after five seconds at the latest.
  dialogs.openAnswers = {saved};
  ChooseAction(L"acOpenDiskImage");
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
  EXPECT_EQ(Setting(L"TMainForm.MRUList_Items", L"Item0"), saved.wstring());
  EXPECT_EQ(Setting(L"TMainForm.MRUListFolders_Items", L"Item0"), saved.parent_path().wstring());
}

// Types into the real save dialog once it shows: the name, then Enter, as key
// presses. Cancels the dialog after ten seconds at the latest.
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

// The real save dialog with HFE remembered as its type: a typed "b.dsk" is
// saved as a raw image of that name, in the folder the new image was named in
// (the current folder changed since).
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
