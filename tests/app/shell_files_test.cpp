// The file list and the file commands over the fakes and a real disk model.
#include <gtest/gtest.h>

#include <fstream>

#include "app/shell_texts.h"
#include "shell_test_support.h"

namespace app::test {
namespace {

using Names = std::vector<std::wstring>;

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

TEST_F(ShellFilesTest, RowsShowEntryFieldsAndTotals) {
  disk::PDirEntry file = AddFile(L"ab.c", 1500);
  ASSERT_NE(file, nullptr);
  file->ModifyTime.Value = 0;
  file->ModifyDate.SetDate({.Year = 1999, .Month = 12, .Day = 31});
  disk::PDirEntry stamped = AddFile(L"noon.txt", 20);
  stamped->SetDateTime(
      {.Year = 2024, .Month = 5, .Day = 6, .Hour = 13, .Minute = 45, .Second = 10});
  disk::PDirEntry label = AddFile(L"label", 0);
  label->Attr = disk::faVolumeID;
  ASSERT_EQ(Image().CreateSubDir("SUB"), disk::DiskResult::Ok);
  core->RefreshFileList();
  const struct {
    const wchar_t *name, *ext, *size, *dateTime;
  } kRows[] = {{L"AB", L"C  ", L"1500", L"1999-12-31 00:00:00"},
               {L"NOON", L"TXT", L"20", L"2024-05-06 13:45:10"},
               {L"LABEL", L"   ", L"<Label>", nullptr},
               {L"SUB", L"   ", L"<Dir>", nullptr}};
  ASSERT_EQ(view.rows.size(), std::size(kRows));
  for (std::size_t i = 0; i < std::size(kRows); ++i) {
    const files::TFileRow& row = view.rows[i];
    EXPECT_EQ(row.Name, kRows[i].name);
    EXPECT_EQ(row.Ext, kRows[i].ext) << i;
    EXPECT_EQ(row.Size, kRows[i].size) << i;
    if (kRows[i].dateTime) {
      EXPECT_EQ(row.DateTime, kRows[i].dateTime) << i;
    }
  }
  EXPECT_EQ(view.rows[3].Attrs, L"----d-");
  EXPECT_EQ(view.panels[1], L"1520 bytes in 2 file(s)");
  ASSERT_TRUE(Image().ChangeDir("SUB"));
  core->RefreshFileList();
  EXPECT_EQ(view.Names(), Names{L".."});
  EXPECT_EQ(view.panels[1], L"0 bytes in 0 file(s)");
}

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
                {2, {L"A", L"C", L"B"}}, {2, {L"A", L"C", L"B"}}, {-1, {L"A", L"C", L"B"}},
                {4, {L"A", L"C", L"B"}}, {-1, {L"B", L"A", L"C"}}};
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
  EXPECT_EQ(Image().Directory(), "\\GAMES\\");
  EXPECT_EQ(view.Names(), (Names{L"..", L"INNER", L"X"}));
  view.Select({L"X"});
  core->OpenSelectedRow();  // a file: nothing happens
  EXPECT_EQ(Image().Directory(), "\\GAMES\\");
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
  EXPECT_TRUE(core->KeyPress(8, false));  // consumed, but not for the list
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

TEST_F(ShellFilesTest, AddedFilesFitTheFreeClustersInTurn) {
  // Leave exactly two free clusters.
  const std::int32_t free = Image().DiskFree();
  ASSERT_NE(AddFile(L"filler.bin", static_cast<std::size_t>(free - 2048)), nullptr);
  Relist();
  fs.files["/in/one.txt"] = Bytes(1000, 1);
  fs.files["/in/two.txt"] = Bytes(1500, 2);
  fs.files["/in/three.txt"] = Bytes(900, 3);
  dialogs.addAnswers = {{"/in/one.txt", "/in/two.txt", "/in/three.txt"}};
  core->AddFiles();
  EXPECT_EQ(view.Names(), (Names{L"FILLER", L"ONE", L"THREE"}));
  EXPECT_EQ(Image().ExtractToMem("THREE.TXT"), Bytes(900, 3));
  EXPECT_TRUE(CaptionModified());
  EXPECT_EQ(view.panels[3], L"0 bytes free");
  EXPECT_EQ(ui.busyChanges, (std::vector<bool>{true, false}));
}

TEST_F(ShellFilesTest, AddingSkipsUnreadableFilesAndNamesOfDirectories) {
  ASSERT_EQ(Image().CreateSubDir("DOCS"), disk::DiskResult::Ok);
  Relist();
  fs.files["/in/docs"] = Bytes(10);
  fs.files["/in/locked.txt"] = Bytes(10);
  fs.unreadable.insert("/in/locked.txt");
  fs.files["/in/ok.txt"] = Bytes(10);
  dialogs.addAnswers = {{"/in/docs", "/in/locked.txt", "/in/ok.txt"}};
  core->AddFiles();
  EXPECT_EQ(view.Names(), (Names{L"DOCS", L"OK"}));
  EXPECT_TRUE(Image().Lookup("DOCS")->IsDirectory());
  // A cancelled dialog adds nothing and changes nothing.
  Relist();
  core->AddFiles();
  EXPECT_EQ(dialogs.addCalls, 2);
  EXPECT_FALSE(CaptionModified());
}

TEST_F(ShellFilesTest, AddingStopsAtAFullRootDirectory) {
  for (int i = 0; i < 112; ++i) fs.files["/in/f" + std::to_string(i) + ".txt"] = Bytes(1);
  fs.files["/in/later.txt"] = Bytes(1);
  std::vector<std::filesystem::path> chosen;
  for (int i = 0; i < 112; ++i) chosen.emplace_back("/in/f" + std::to_string(i) + ".txt");
  chosen.emplace_back("/in/later.txt");
  dialogs.addAnswers = {chosen};
  core->AddFiles();
  EXPECT_EQ(view.rows.size(), 112u);
  EXPECT_EQ(Image().Lookup("LATER.TXT"), nullptr);
}

class ShellExtractTest : public ShellFilesTest {
 protected:
  ShellExtractTest()
      : folder_(std::filesystem::temp_directory_path() /
                ("quollbox-extract-" +
                 std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
  }
  ~ShellExtractTest() override { std::filesystem::remove_all(folder_); }

  static std::vector<std::uint8_t> ReadHost(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  std::filesystem::path folder_;
};

TEST_F(ShellExtractTest, SelectedFilesGoToTheChosenFolderThenItIsExplored) {
  AddFile(L"one.txt", 1500, 1);
  AddFile(L"two.bin", 10, 2);
  ASSERT_EQ(Image().CreateSubDir("SUB"), disk::DiskResult::Ok);
  core->RefreshFileList();
  view.Select({L"SUB"});
  core->ExtractFiles();  // directories only: no dialog
  EXPECT_TRUE(dialogs.folderStarts.empty());

  view.Select({L"ONE", L"TWO", L"SUB"});
  dialogs.folderAnswers = {std::nullopt, folder_};
  core->ExtractFiles();  // cancelled
  EXPECT_TRUE(ui.explored.empty());
  ui.shift = true;
  fs.cwd = "/elsewhere";  // the never-saved image still belongs to the folder it was named in
  core->ExtractFiles();
  ASSERT_EQ(dialogs.folderStarts.size(), 2u);
  EXPECT_EQ(dialogs.folderStarts[0], std::filesystem::path());
  EXPECT_EQ(dialogs.folderStarts[1], std::filesystem::path("/work"));
  EXPECT_EQ(ReadHost(folder_ / "ONE.TXT"), Bytes(1500, 1));
  EXPECT_EQ(ReadHost(folder_ / "TWO.BIN"), Bytes(10, 2));
  EXPECT_FALSE(std::filesystem::exists(folder_ / "SUB"));
  EXPECT_EQ(ui.explored, std::vector<std::filesystem::path>{folder_});
}

TEST_F(ShellFilesTest, DeleteRemovesOnlyFilesAndEmptyDirectories) {
  ASSERT_EQ(Image().CreateSubDir("FULL"), disk::DiskResult::Ok);
  ASSERT_TRUE(Image().ChangeDir("FULL"));
  AddFile(L"inner.txt", 5);
  ASSERT_TRUE(Image().ChangeDir("\\"));
  ASSERT_EQ(Image().CreateSubDir("EMPTY"), disk::DiskResult::Ok);
  AddFile(L"label", 0)->Attr = disk::faVolumeID;
  AddFile(L"gone.txt", 5);
  AddFile(L"kept.txt", 5);
  Relist();
  view.Select({L"FULL", L"EMPTY", L"LABEL", L"GONE"});
  core->DeleteFiles();
  EXPECT_EQ(view.Names(), (Names{L"FULL", L"LABEL", L"KEPT"}));
  EXPECT_EQ(view.focus, 0);  // the first selected row's index is kept
  EXPECT_TRUE(CaptionModified());

  ASSERT_TRUE(Image().ChangeDir("FULL"));
  Relist();
  view.Select({L"..", L"INNER"});
  core->DeleteFiles();
  EXPECT_EQ(view.Names(), Names{L".."});
}

TEST_F(ShellFilesTest, MakeDirTakesTheNextFreeNameAndOpensItsEditor) {
  ASSERT_EQ(Image().CreateSubDir("NEWDIR1"), disk::DiskResult::Ok);
  AddFile(L"z.txt", 5);
  core->ColumnClick(0);
  Relist();
  core->MakeDir();
  EXPECT_EQ(view.Names(), (Names{L"NEWDIR1", L"NEWDIR2", L"Z"}));
  EXPECT_EQ(view.editing, 1);
  EXPECT_TRUE(Image().Lookup("NEWDIR2")->IsDirectory());
  EXPECT_TRUE(CaptionModified());
  // The retained row stays selected when the list is refilled.
  core->RefreshFileList();
  EXPECT_EQ(view.focus, 1);
}

TEST_F(ShellFilesTest, MakeDirInAFullRootChangesNothing) {
  for (int i = 0; i < 112; ++i) AddFile(L"f" + std::to_wstring(i), 1);
  Relist();
  core->MakeDir();
  EXPECT_EQ(view.editing, -1);
  EXPECT_EQ(Image().Lookup("NEWDIR1"), nullptr);
  EXPECT_FALSE(CaptionModified());
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(ShellFilesTest, RenameKeepsTheExtensionAndRefusesTakenOrInvalidNames) {
  disk::PDirEntry notes = AddFile(L"notes.txt", 5);
  AddFile(L"other.txt", 5);
  AddFile(L"bar", 5);
  disk::PDirEntry foo = AddFile(L"foo", 5);
  ASSERT_EQ(Image().CreateSubDir("DIR"), disk::DiskResult::Ok);
  disk::PDirEntry dir = Image().Lookup("DIR");
  const struct {
    disk::PDirEntry entry;
    std::wstring typed;
    std::wstring shown;
    std::string stored;  // the entry's name afterwards
    bool modified;
  } kCases[] = {
      {notes, L"readme", L"README", "README.TXT", true},
      {notes, L"other", L"README", "README.TXT", false},
      {notes, L"Other.Txt", L"README", "README.TXT", false},
      {notes, L"   ", L"README", "README.TXT", false},
      {foo, L"bar", L"FOO", "FOO", false},
      {dir, L"foo", L"DIR", "DIR", false},
      {dir, L"games", L"GAMES", "GAMES", true},
      {foo, L"\u00e5ngstr", L"\u00e5NGSTR", "\xe5NGSTR", true},
  };
  for (const auto& c : kCases) {
    Relist();
    EXPECT_EQ(core->Rename(*c.entry, c.typed), c.shown) << c.stored;
    EXPECT_EQ(c.entry->GetFileName(), c.stored);
    EXPECT_EQ(CaptionModified(), c.modified) << c.stored;
  }
  EXPECT_EQ(foo->Name[0], disk::kEscapedE5);  // a leading 0xE5 would mark it deleted
  core->RefreshFileList();
  EXPECT_EQ(view.Names(), (Names{L"README", L"OTHER", L"BAR", L"\u00e5NGSTR", L"GAMES"}));
  EXPECT_EQ(view.refreshRequests, 3);
}

TEST_F(ShellFilesTest, DotEntriesAreNeverRenamedAndF2EditsTheSelectedRow) {
  ASSERT_EQ(Image().CreateSubDir("SUB"), disk::DiskResult::Ok);
  ASSERT_TRUE(Image().ChangeDir("SUB"));
  AddFile(L"a.txt", 1);
  core->RefreshFileList();
  EXPECT_FALSE(core->CanRename(*view.rows[0].Entry));
  EXPECT_TRUE(core->CanRename(*view.rows[1].Entry));
  core->StartRename();  // nothing selected
  EXPECT_EQ(view.editing, -1);
  view.Select({L"A"});
  core->StartRename();
  EXPECT_EQ(view.editing, 1);
}

TEST_F(ShellFilesTest, ViewShowsTheFirstSelectedFileInTheChosenMode) {
  ASSERT_EQ(Image().CreateSubDir("SUB"), disk::DiskResult::Ok);
  disk::PDirEntry readme = AddFile(L"readme.txt", 3000, 'a');
  core->RefreshFileList();
  core->ViewFile(TViewerMode::vmAuto);  // nothing selected
  view.Select({L"SUB"});
  core->ViewFile(TViewerMode::vmAuto);
  EXPECT_TRUE(viewer.views.empty());
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
  EXPECT_EQ(viewer.views[0].data.size(), 3072u);
  EXPECT_EQ(viewer.views[0].data[0], 'a');
}

TEST_F(ShellFilesTest, SelectAllSelectsEveryRow) {
  AddFile(L"a", 1);
  AddFile(L"b", 1);
  core->RefreshFileList();
  core->SelectAll();
  EXPECT_EQ(view.SelectedEntries().size(), 2u);
}

}  // namespace
}  // namespace app::test
