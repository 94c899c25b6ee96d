// The file list's commands in the real main window, each by its key, click or menu. The saved
// image is checked afterwards with mtools and fsck.fat (gui_image_check.sh).
#include <gtest/gtest.h>

#include "../../disk/disk_test_support.h"
#include "app/viewer/win32/file_viewer_form.h"
#include "main_form_fixture.h"

namespace app::test {
namespace {

using disk_test::Pattern;
using disk_test::ReadFile;
using disk_test::WriteFile;

std::vector<std::uint8_t> Ascii(std::string_view text) {
  return {text.begin(), text.end()};
}

class MainFormFilesTest : public MainFormTest {
 protected:
  // A key typed into `window`: key down (translated to a character by the message loop) and up.
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

TEST_F(MainFormFilesTest, FileCommandsFromAddingToSaving) {
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
}

}  // namespace
}  // namespace app::test
