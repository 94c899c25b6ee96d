// The file list, the file commands and drops on the list as the shell wires them: what reaches
// the view, the panels, the caption, the cursor and the dialogs; dropped images opened after the
// drop, host files planned against the free bytes, virtual files below the current directory. The
// rules themselves are tested where they are decided (rows, sorting, work lists, renames,
// make-directory, delete, planning and adding in app_files).
#include <gtest/gtest.h>

#include "../rtl/temp_folder.h"
#include "app/shell_texts.h"
#include "shell_test_support.h"

namespace app::test {
namespace {

using Names = std::vector<std::wstring>;
using Paths = std::vector<std::filesystem::path>;

std::vector<std::uint8_t> Bytes(std::size_t size, std::uint8_t fill = 7) {
  return std::vector<std::uint8_t>(size, fill);
}

class ShellFilesTest : public ShellCoreTest {
 protected:
  ShellFilesTest() { StartFresh(); }

  disk::TMSXDisk& Image() { return *core->Image(); }
  disk::PDirEntry AddFile(const std::wstring& name, std::size_t size, std::uint8_t fill = 7) {
    rtl::TMemoryStream stream(Bytes(size, fill));
    return Image().Add(name, stream);
  }
  // A fresh, unmodified listing of the current directory.
  void Relist() {
    Image().ResetModifiedState();
    core->RefreshFileList();
    core->UpdateCaption();
  }
  bool CaptionModified() const { return view.caption.ends_with(L" *"); }
};

TEST_F(ShellFilesTest, ColumnClicksSortAndASecondClickStops) {
  AddFile(L"b.zz", 300);
  AddFile(L"A.yy", 100);
  AddFile(L"c.xx", 200);
  core->RefreshFileList();
  const struct {
    int column;  // -1: a refill instead of a click
    Names names;
  } kSteps[] = {{0, {L"A", L"B", L"C"}}, {0, {L"A", L"B", L"C"}}, {-1, {L"B", L"A", L"C"}},
                {1, {L"C", L"A", L"B"}}, {2, {L"A", L"C", L"B"}}, {-1, {L"A", L"C", L"B"}},
                {2, {L"A", L"C", L"B"}}, {-1, {L"B", L"A", L"C"}}};
  for (std::size_t i = 0; i < std::size(kSteps); ++i) {
    if (kSteps[i].column < 0)
      core->RefreshFileList();
    else
      core->ColumnClick(kSteps[i].column);
    EXPECT_EQ(view.Names(), kSteps[i].names) << "step " << i;
  }
}

TEST_F(ShellFilesTest, KeysAndDoubleClickMoveThroughDirectories) {
  ASSERT_EQ(Image().CreateSubDir("GAMES"), disk::DiskResult::Ok);
  ASSERT_TRUE(Image().ChangeDir("GAMES"));
  ASSERT_EQ(Image().CreateSubDir("INNER"), disk::DiskResult::Ok);
  AddFile(L"x.txt", 5);
  ASSERT_TRUE(Image().ChangeDir("\\"));
  core->RefreshFileList();
  view.Select({L"GAMES"});
  EXPECT_TRUE(core->KeyPress(13, true));
  EXPECT_EQ(view.Names(), (Names{L"..", L"INNER", L"X"}));
  view.Select({L"INNER"});
  core->OpenSelectedRow();
  EXPECT_EQ(Image().Directory(), "\\GAMES\\INNER\\");
  EXPECT_TRUE(core->KeyPress(8, true));
  EXPECT_EQ(Image().Directory(), "\\GAMES\\");
  EXPECT_TRUE(core->KeyPress(L'\\', false));
  EXPECT_EQ(Image().Directory(), "\\");
  EXPECT_TRUE(core->KeyPress(8, true));  // the root has no parent: only a refill
  EXPECT_EQ(view.Names(), Names{L"GAMES"});
  EXPECT_FALSE(core->KeyPress(L'a', true));
}

TEST(ShellKeys, KeyCommandsByKeyAndFocus) {
  const struct {
    wchar_t key;
    bool listFocused;
    ListKeyCommand command;
  } kCases[] = {{8, true, ListKeyCommand::ParentDir},    {8, false, ListKeyCommand::Consumed},
                {13, true, ListKeyCommand::OpenRow},     {13, false, ListKeyCommand::Consumed},
                {L'\\', false, ListKeyCommand::RootDir}, {28, true, ListKeyCommand::RootDir},
                {L'/', true, ListKeyCommand::None},      {L' ', true, ListKeyCommand::None}};
  for (const auto& c : kCases)
    EXPECT_EQ(KeyCommand(c.key, c.listFocused), c.command) << int(c.key) << c.listFocused;
}

TEST_F(ShellFilesTest, TheAddDialogsFilesAreAddedWithoutABudget) {
  const std::int32_t free = Image().DiskFree();
  ASSERT_NE(AddFile(L"filler.bin", static_cast<std::size_t>(free - 2048)), nullptr);
  Relist();
  core->AddFiles();  // cancelled
  EXPECT_FALSE(CaptionModified());
  fs.files["/in/one.txt"] = Bytes(1000, 1);
  fs.files["/in/two.txt"] = Bytes(1500, 2);
  fs.files["/in/three.txt"] = Bytes(900, 3);
  dialogs.addAnswers = {{"/in/one.txt", "/in/two.txt", "/in/three.txt"}};
  core->AddFiles();
  EXPECT_EQ(view.Names(), (Names{L"FILLER", L"ONE", L"THREE"}));
  EXPECT_TRUE(CaptionModified());
  EXPECT_EQ(view.panels[3], L"0 bytes free");
  EXPECT_EQ(ui.busyChanges, (std::vector<bool>{true, false}));
}

TEST_F(ShellFilesTest, SelectedFilesAreExtractedToTheChosenFolderThenItIsExplored) {
  const TTempFolder temp;
  const std::filesystem::path& folder = temp.Path();
  AddFile(L"one.txt", 1500, 1);
  ASSERT_EQ(Image().CreateSubDir("SUB"), disk::DiskResult::Ok);
  core->RefreshFileList();
  view.Select({L"SUB"});
  core->ExtractFiles();  // directories only: no dialog
  EXPECT_TRUE(dialogs.folderStarts.empty());

  view.Select({L"ONE", L"SUB"});
  dialogs.folderAnswers = {std::nullopt, folder};
  core->ExtractFiles();  // cancelled
  EXPECT_TRUE(ui.explored.empty());
  ui.shift = true;
  fs.cwd = "/elsewhere";  // the never-saved image still belongs to the folder it was named in
  core->ExtractFiles();
  EXPECT_EQ(dialogs.folderStarts, (std::vector<std::filesystem::path>{{}, "/work"}));
  EXPECT_EQ(std::filesystem::file_size(folder / "ONE.TXT"), 1500u);
  EXPECT_FALSE(std::filesystem::exists(folder / "SUB"));
  EXPECT_EQ(ui.explored, std::vector<std::filesystem::path>{folder});
}

TEST_F(ShellFilesTest, DeleteKeepsTheFirstSelectedRowsPlace) {
  AddFile(L"a.txt", 5);
  AddFile(L"gone.txt", 5);
  AddFile(L"kept.txt", 5);
  Relist();
  view.Select({L"GONE"});
  core->DeleteFiles();
  EXPECT_EQ(view.Names(), (Names{L"A", L"KEPT"}));
  EXPECT_EQ(view.focus, 1);
  EXPECT_TRUE(CaptionModified());
}

TEST_F(ShellFilesTest, MakeDirOpensTheEditorOfTheNewRowAsShownOrNothingWhenFull) {
  ASSERT_EQ(Image().CreateSubDir("NEWDIR1"), disk::DiskResult::Ok);
  AddFile(L"z.txt", 5);
  core->ColumnClick(0);
  Relist();
  core->MakeDir();
  EXPECT_EQ(view.Names(), (Names{L"NEWDIR1", L"NEWDIR2", L"Z"}));
  EXPECT_EQ(view.editing, 1);
  EXPECT_TRUE(CaptionModified());
  core->RefreshFileList();
  EXPECT_EQ(view.focus, 1);  // the retained row

  for (int i = 0; i < 109; ++i) AddFile(L"f" + std::to_wstring(i), 1);
  Relist();
  view.editing = -1;
  core->MakeDir();
  EXPECT_EQ(view.editing, -1);
  EXPECT_FALSE(CaptionModified());
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(ShellFilesTest, RenameShowsTheOutcomeAndRefreshesOnlyAfterAWrite) {
  disk::PDirEntry notes = AddFile(L"notes.txt", 5);
  AddFile(L"other.txt", 5);
  ASSERT_EQ(Image().CreateSubDir("SUB"), disk::DiskResult::Ok);
  ASSERT_TRUE(Image().ChangeDir("SUB"));
  core->RefreshFileList();
  EXPECT_FALSE(core->CanRename(*view.rows[0].Entry));  // ".."
  ASSERT_TRUE(Image().ChangeDir("\\"));
  Relist();
  EXPECT_EQ(core->Rename(*notes, L"other"), L"NOTES");
  EXPECT_FALSE(CaptionModified());
  EXPECT_EQ(view.refreshRequests, 0);
  EXPECT_EQ(core->Rename(*notes, L"readme"), L"README");
  EXPECT_EQ(notes->GetFileName(), "README.TXT");
  EXPECT_TRUE(CaptionModified());
  EXPECT_EQ(view.refreshRequests, 1);
  core->StartRename();  // nothing selected
  EXPECT_EQ(view.editing, -1);
  view.Select({L"OTHER"});
  core->StartRename();
  EXPECT_EQ(view.editing, 1);
}

TEST_F(ShellFilesTest, ViewShowsTheFirstSelectedFileInTheChosenMode) {
  ASSERT_EQ(Image().CreateSubDir("SUB"), disk::DiskResult::Ok);
  disk::PDirEntry readme = AddFile(L"readme.txt", 3000, 'a');
  core->RefreshFileList();
  core->ViewFile(TViewerMode::vmAuto);  // nothing selected
  view.Select({L"SUB", L"README"});
  core->ViewFile(TViewerMode::vmHex);  // the first selected row is a directory
  EXPECT_TRUE(viewer.views.empty());
  readme->Size = 3500;  // the entry's size is shown even when the chain is shorter
  view.Select({L"README"});
  core->ViewFile(TViewerMode::vmHex);
  ASSERT_EQ(viewer.views.size(), 1u);
  EXPECT_EQ(viewer.views[0].fileName, L"README.TXT");
  EXPECT_EQ(viewer.views[0].displaySize, 3500);
  EXPECT_EQ(viewer.views[0].mode, TViewerMode::vmHex);
  EXPECT_EQ(viewer.views[0].data.size(), 3072u);  // whole clusters
  EXPECT_EQ(viewer.views[0].data[2999], 'a');
  core->SelectAll();
  EXPECT_EQ(view.SelectedEntries().size(), 2u);
}

TEST_F(ShellFilesTest, TheFirstDroppedImageOpensAfterTheDropAndNothingIsAdded) {
  fs.files["/drop/a.txt"] = Bytes(100, 1);
  fs.files["/drop/first.DSK"] = RawImage(false, "from the dsk");
  fs.files["/drop/second.hfe"] = HfeImage(true, "from the hfe");
  const int fills = view.fills;
  core->DropFiles(Paths{"/drop/a.txt", "/drop/first.DSK", "/drop/second.hfe"});
  EXPECT_EQ(view.laterOpens, Paths{"/drop/first.DSK"});
  EXPECT_EQ(view.fills, fills);
  EXPECT_FALSE(Image().IsModified());
  EXPECT_TRUE(core->OpenDiskImage(view.laterOpens.front()));  // once the drop is over
  EXPECT_EQ(view.Names(), Names{L"HELLO"});
}

TEST_F(ShellFilesTest, HostFilesAndFoldersAreAddedWithinTheFreeBytes) {
  fs.files["/drop/one.txt"] = Bytes(1000, 1);
  fs.files["/drop/Folder/inner.bin"] = Bytes(2000, 2);
  fs.files["/drop/huge.bin"] = Bytes(static_cast<std::size_t>(Image().DiskFree()), 4);
  core->DropFiles(Paths{"/drop/one.txt", "/drop/Folder", "/drop/huge.bin"});
  EXPECT_EQ(view.Names(), (Names{L"ONE", L"FOLDER"}));
  EXPECT_EQ(Image().Directory(), "\\");
  EXPECT_TRUE(view.caption.ends_with(L" *"));
  EXPECT_EQ(ui.busyChanges, (std::vector<bool>{true, false}));
}

TEST_F(ShellFilesTest, VirtualFilesAreAddedBelowTheCurrentDirectory) {
  ASSERT_EQ(Image().CreateSubDir("HERE"), disk::DiskResult::Ok);
  ASSERT_TRUE(Image().ChangeDir("HERE"));
  files::TVirtualItem file;
  file.Index = 1;
  file.Folders = {L"Docs"};
  file.Name = L"readme.txt";
  const std::vector<files::TVirtualItem> items{file};
  core->DropVirtual(items, [](std::size_t) -> std::unique_ptr<rtl::TStream> {
    return std::make_unique<rtl::TMemoryStream>(Bytes(3000, 6));
  });
  EXPECT_EQ(Image().Directory(), "\\HERE\\");
  EXPECT_EQ(view.Names(), (Names{L"..", L"DOCS"}));
  EXPECT_TRUE(view.caption.ends_with(L" *"));
  EXPECT_EQ(ui.busyChanges, (std::vector<bool>{true, false}));
}

TEST_F(ShellFilesTest, DropsNeedAnImage) {
  EXPECT_TRUE(core->CanAcceptDrop());
  MakeCore();
  EXPECT_FALSE(core->CanAcceptDrop());
  fs.files["/drop/a.dsk"] = RawImage(false);
  core->DropFiles(Paths{"/drop/a.dsk"});
  core->DropVirtual({}, {});
  EXPECT_TRUE(view.laterOpens.empty());
}

}  // namespace
}  // namespace app::test
