// The main window's decisions as the shell wires them, over in-memory ports: start-up, the
// boot-code setting, opening images, the recent files and folders and the save question before an
// open; saving, save as, new images, the export to a removable drive, the drive menus and the small
// image commands; the file list, the file commands and drops on the list (what reaches the view,
// the panels, the caption, the cursor and the dialogs; dropped images opened after the drop, host
// files planned against the free bytes, virtual files below the current directory); the shell's
// file kinds, command line and texts. The rules themselves are tested where they are decided (rows,
// sorting, work lists, renames, make-directory, delete, planning and adding in app_files).
#include <gtest/gtest.h>

#include <cstring>

#include "../rtl/temp_folder.h"
#include "app/shell_texts.h"
#include "shell_test_support.h"

namespace app::test {
namespace {

using Names = std::vector<std::wstring>;
using Paths = std::vector<std::filesystem::path>;
using Texts = std::vector<std::wstring>;

std::vector<std::uint8_t> Bytes(std::size_t size, std::uint8_t fill = 7) {
  return std::vector<std::uint8_t>(size, fill);
}

std::vector<std::uint8_t> Bytes(const disk::TMSXDisk& image) {
  const auto buffer = image.Buffer();
  return {buffer.begin(), buffer.begin() + image.DiskByteSize()};
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
  // Every command that changes the image: adds, drops, a new directory, Backspace, deletes,
  // renames and a new boot sector.
  void TryEveryChangingCommand() {
    files::TVirtualItem dropped;
    dropped.Name = L"v.txt";
    const std::vector<files::TVirtualItem> virtualItems{dropped};
    const files::TContentsSource contents = [](std::size_t) -> std::unique_ptr<rtl::TStream> {
      return std::make_unique<rtl::TMemoryStream>(Bytes(10));
    };
    fs.files["/host/a.txt"] = Bytes(100);
    dialogs.addAnswers = {{"/host/a.txt"}};
    core->AddFiles();
    core->MakeDir();
    core->KeyPress(8, KeyFocus::FileList);
    core->SelectAll();
    core->DeleteFiles();
    core->StartRename();
    core->Rename(*Image().GetDirEntry(0), L"other");
    core->DropFiles(Paths{"/host/a.txt"});
    core->DropVirtual(virtualItems, contents);
    core->ReplaceBootSector(0);
  }
};

// A click sorts by its column, a second click on it stops sorting (the rows stay until a refill
// shows directory order), and a third click on it sorts by it again.
TEST_F(ShellFilesTest, ColumnClicksSortAndASecondClickStops) {
  AddFile(L"b.zz", 300);
  AddFile(L"A.yy", 100);
  AddFile(L"c.xx", 200);
  core->RefreshFileList();
  const struct {
    int column;  // -1: a refill instead of a click
    Names names;
  } kSteps[] = {{0, {L"A", L"B", L"C"}}, {0, {L"A", L"B", L"C"}},  {-1, {L"B", L"A", L"C"}},
                {1, {L"C", L"A", L"B"}}, {2, {L"A", L"C", L"B"}},  {-1, {L"A", L"C", L"B"}},
                {2, {L"A", L"C", L"B"}}, {-1, {L"B", L"A", L"C"}}, {2, {L"A", L"C", L"B"}}};
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
  EXPECT_TRUE(core->KeyPress(13, KeyFocus::FileList));
  EXPECT_EQ(view.Names(), (Names{L"..", L"INNER", L"X"}));
  view.Select({L"INNER"});
  core->OpenSelectedRow();
  EXPECT_EQ(Image().Directory(), "\\GAMES\\INNER\\");
  EXPECT_TRUE(core->KeyPress(8, KeyFocus::FileList));
  EXPECT_EQ(Image().Directory(), "\\GAMES\\");
  EXPECT_TRUE(core->KeyPress(L'\\', KeyFocus::FolderBrowser));
  EXPECT_EQ(Image().Directory(), "\\");
  EXPECT_TRUE(core->KeyPress(8, KeyFocus::FileList));  // the root has no parent: only a refill
  EXPECT_EQ(view.Names(), Names{L"GAMES"});
  EXPECT_FALSE(core->KeyPress(L'a', KeyFocus::FileList));
}

TEST_F(ShellFilesTest, ADirectoryWithAnExtensionIsEnteredLikeAnyOther) {
  ASSERT_EQ(Image().CreateSubDir("DATA.OLD"), disk::DiskResult::Ok);
  ASSERT_TRUE(Image().ChangeDir("DATA.OLD"));
  AddFile(L"inside.txt", 5);
  ASSERT_TRUE(Image().ChangeDir("\\"));
  core->RefreshFileList();
  view.Select({L"DATA"});
  core->OpenSelectedRow();
  EXPECT_EQ(Image().Directory(), "\\DATA.OLD\\");
  EXPECT_EQ(view.Names(), (Names{L"..", L"INSIDE"}));
  // A damaged entry named "A\B" beside a directory A holding B is no path into them.
  ASSERT_TRUE(Image().ChangeDir("\\"));
  ASSERT_EQ(Image().CreateSubDir("A"), disk::DiskResult::Ok);
  ASSERT_TRUE(Image().ChangeDir("A"));
  ASSERT_EQ(Image().CreateSubDir("B"), disk::DiskResult::Ok);
  ASSERT_TRUE(Image().ChangeDir("\\"));
  ASSERT_EQ(Image().CreateSubDir("C"), disk::DiskResult::Ok);
  std::memcpy(Image().Lookup("C")->Name, "A\\B     ", 8);
  core->RefreshFileList();
  view.Select({L"A\\B"});
  core->OpenSelectedRow();
  EXPECT_EQ(Image().Directory(), "\\");
}

TEST_F(ShellFilesTest, BackspaceAndEnterInTheSidePanelsMoveTheBrowserAndOpenImages) {
  view.browserFolder = "/img/games";
  EXPECT_TRUE(core->KeyPress(8, KeyFocus::ImageList));
  EXPECT_TRUE(core->KeyPress(8, KeyFocus::FolderBrowser));
  EXPECT_EQ(view.shownFolders, (Paths{"/img/", "/img/"}));
  EXPECT_TRUE(core->KeyPress(13, KeyFocus::FolderBrowser));
  EXPECT_EQ(view.selectedFolderOpens, 1);
  EXPECT_TRUE(core->KeyPress(13, KeyFocus::ImageList));  // no file selected
  EXPECT_EQ(view.caption, L"Quollbox - NewImage1.dsk");
  fs.files["/img/games/b.dsk"] = RawImage(true);
  view.selectedImageFile = "/img/games/b.dsk";
  EXPECT_TRUE(core->KeyPress(13, KeyFocus::ImageList));
  EXPECT_EQ(view.caption, L"Quollbox - /img/games/b.dsk");
  EXPECT_EQ(Image().Directory(), "\\");
}

TEST(ShellKeys, KeyCommandsByKeyAndFocus) {
  const struct {
    wchar_t key;
    KeyFocus focus;
    ListKeyCommand command;
  } kCases[] = {{8, KeyFocus::FileList, ListKeyCommand::ParentDir},
                {8, KeyFocus::ImageList, ListKeyCommand::BrowserParent},
                {8, KeyFocus::FolderBrowser, ListKeyCommand::BrowserParent},
                {8, KeyFocus::Other, ListKeyCommand::Consumed},
                {13, KeyFocus::FileList, ListKeyCommand::OpenRow},
                {13, KeyFocus::ImageList, ListKeyCommand::OpenImage},
                {13, KeyFocus::FolderBrowser, ListKeyCommand::OpenFolder},
                {13, KeyFocus::Other, ListKeyCommand::Consumed},
                {L'\\', KeyFocus::Other, ListKeyCommand::RootDir},
                {28, KeyFocus::FileList, ListKeyCommand::RootDir},
                {L'/', KeyFocus::FileList, ListKeyCommand::None},
                {L' ', KeyFocus::FileList, ListKeyCommand::None}};
  for (const auto& c : kCases)
    EXPECT_EQ(KeyCommand(c.key, c.focus), c.command) << int(c.key) << int(c.focus);
  // The browser's parent: the trailing backslash removed, then the folder part; a root stays.
  const struct {
    const wchar_t* folder;
    const wchar_t* parent;
  } kParents[] = {{L"C:\\GAMES\\MSX", L"C:\\GAMES\\"},
                  {L"C:\\GAMES\\", L"C:\\"},
                  {L"C:\\", L"C:\\"},
                  {L"\\\\server\\share\\dir", L"\\\\server\\share\\"}};
  for (const auto& c : kParents) EXPECT_EQ(BrowserParentFolder(c.folder), c.parent) << c.folder;
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

TEST_F(ShellFilesTest, FilesThatCannotBeExtractedAreReportedAndNoneWrittenExploresNothing) {
  const TTempFolder temp;
  const std::filesystem::path& folder = temp.Path();
  AddFile(L"one.txt", 1500, 1);
  AddFile(L"two.txt", 2500, 2);
  AddFile(L"three.txt", 10, 3);
  // TWO.TXT's chain breaks after its first cluster: its bytes are not all on the disk.
  Image().SetFatEntry(Image().Lookup("TWO.TXT")->ClusterLow, 0);
  std::filesystem::create_directory(folder / "ONE.TXT");  // a folder blocks that name
  core->RefreshFileList();
  dialogs.folderAnswers = {folder, folder};
  view.Select({L"ONE", L"TWO", L"THREE"});
  core->ExtractFiles();
  EXPECT_EQ(std::filesystem::file_size(folder / "THREE.TXT"), 10u);
  EXPECT_FALSE(std::filesystem::exists(folder / "TWO.TXT"));
  ASSERT_EQ(ui.boxes.size(), 1u);
  const std::wstring& text = ui.boxes[0].text;
  EXPECT_NE(text.find(L"2 of 3"), std::wstring::npos) << text;
  EXPECT_NE(text.find(L"ONE.TXT"), std::wstring::npos) << text;
  EXPECT_NE(text.find(L"TWO.TXT: the file's data on the disk image is damaged"), std::wstring::npos)
      << text;
  EXPECT_EQ(ui.boxes[0].icon, MsgIcon::Error);
  EXPECT_EQ(ui.explored, std::vector<std::filesystem::path>{folder});

  view.Select({L"ONE"});
  core->ExtractFiles();  // nothing written: reported, and no folder opened as if it had worked
  EXPECT_EQ(ui.boxes.size(), 2u);
  EXPECT_EQ(ui.explored.size(), 1u);
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
  // Screen pictures go to the picture viewer whatever the mode.
  AddFile(L"pic.sc5", 30375, 'p');
  AddFile(L"other.sc2", 100, 'q');
  core->RefreshFileList();
  for (const wchar_t* name : {L"PIC", L"OTHER"}) {
    view.Select({name});
    core->ViewFile(TViewerMode::vmHex);
  }
  ASSERT_EQ(viewer.pictures.size(), 1u);
  EXPECT_EQ(viewer.pictures[0].fileName, L"PIC.SC5");
  EXPECT_EQ(viewer.pictures[0].data[30374], 'p');
  ASSERT_EQ(viewer.views.size(), 2u);
  EXPECT_EQ(viewer.views[1].fileName, L"OTHER.SC2");
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

// An image whose boot record gives zero sectors per cluster or zero sectors is shown as a custom
// disk: no rows, "Custom Disk". No command changes it (nor lists it, Backspace included); it saves
// as it was; the next image takes the commands again.
TEST_F(ShellFilesTest, ACustomDiskTakesNoChangingCommandButSavesAsItWas) {
  for (const std::size_t zeroed : {13u, 19u}) {  // sectors per cluster; total sectors
    SCOPED_TRACE(zeroed);
    std::vector<std::uint8_t> bytes = RawImage(false, "inside");
    bytes[zeroed] = bytes[zeroed + 1] = 0;
    if (zeroed == 13) bytes[14] = 1;  // the reserved sector count stays
    fs.files = {{"/img/custom.dsk", bytes}};
    view.editing = -1;
    ASSERT_TRUE(core->OpenDiskImage("/img/custom.dsk"));
    EXPECT_FALSE(core->CanChange());
    TryEveryChangingCommand();
    EXPECT_FALSE(core->CanRename(*Image().GetDirEntry(0)));
    EXPECT_EQ(core->Rename(*Image().GetDirEntry(0), L"other"), L"other");
    EXPECT_TRUE(view.rows.empty());
    EXPECT_EQ(view.panels[1], L"Custom Disk");
    EXPECT_EQ(view.editing, -1);
    EXPECT_EQ(view.caption, L"Quollbox - /img/custom.dsk");
    EXPECT_EQ(Bytes(Image()), bytes);
    fs.files.erase("/img/custom.dsk");
    ASSERT_TRUE(core->Save());
    EXPECT_EQ(fs.files["/img/custom.dsk"], bytes);
    // A dropped image still opens over it.
    fs.files["/img/plain.dsk"] = RawImage(false);
    core->DropFiles(Paths{"/img/plain.dsk"});
    ASSERT_EQ(view.laterOpens, Paths{"/img/plain.dsk"});
    view.laterOpens.clear();
    ASSERT_TRUE(core->OpenDiskImage("/img/plain.dsk"));
    EXPECT_TRUE(core->CanChange());
    core->MakeDir();
    EXPECT_EQ(view.Names(), Names{L"NEWDIR1"});
    Image().ResetModifiedState();
  }
}

// A track image whose boot sector or FAT could not be read opens with the count of the sectors
// that could not be read, but its allocation is unknown: it takes no command that changes it (an
// added file could overwrite clusters of files its FAT no longer shows). One whose damage lies past
// them takes every command. A new image takes them again.
TEST_F(ShellFilesTest, ATrackImageWithoutItsBootSectorOrFatTakesNoChangingCommand) {
  const std::vector<std::uint8_t> whole = HfeImage(true, "hello");
  const struct {
    std::size_t cutTo;
    int unreadable;
    bool changeable;
  } cases[] = {{2048, 1440, false},    // no sector read whole: the first two as read, with bad CRCs
               {4096, 1438, false},    // the boot sector and the FAT's first sector
               {100000, 1369, true}};  // tracks 0 to 3 whole: the boot sector, FATs and root
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cutTo);
    const std::vector<std::uint8_t> file(whole.begin(),
                                         whole.begin() + static_cast<std::ptrdiff_t>(c.cutTo));
    fs.files = {{"/img/cut.hfe", file}};
    ui.boxes.clear();
    ASSERT_TRUE(core->OpenDiskImage("/img/cut.hfe"));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, DamagedImageText(c.unreadable));
    EXPECT_EQ(core->CanChange(), c.changeable);
    const std::vector<std::uint8_t> before = Bytes(Image());
    TryEveryChangingCommand();
    EXPECT_EQ(Bytes(Image()) == before, !c.changeable);
    Image().ResetModifiedState();
  }
  core->NewImage(1);
  EXPECT_TRUE(core->CanChange());
}

TEST_F(ShellCoreTest, CommandLineDecidesWhichImageStartsUp) {
  const struct {
    std::vector<std::wstring> arguments;
    std::wstring caption;
  } kCases[] = {
      {{L"missing.dsk"}, L"Quollbox - NewImage1.dsk"},
      {{L"img/a.dsk", L"-o", L"img/b.dsk"}, L"Quollbox - /work/img/b.dsk"},
  };
  fs.files["/work/img/a.dsk"] = RawImage(false);
  fs.files["/work/img/b.dsk"] = RawImage(true);
  for (const auto& c : kCases) {
    MakeCore();
    core->Start(c.arguments);
    EXPECT_EQ(view.caption, c.caption);
    EXPECT_FALSE(core->Image()->IsModified());
    EXPECT_TRUE(ui.boxes.empty());
  }
}

TEST_F(ShellCoreTest, BootCodeSettingChecksItsItemAndShapesNewImages) {
  const struct {
    const wchar_t* stored;  // null: no value
    int checked;
    int option;
  } kCases[] = {{nullptr, 1, 1}, {L"0", 0, 0}, {L"7", 7, 7}};
  for (const auto& c : kCases) {
    settings.values.clear();
    if (c.stored) settings.values[L"BootCode"] = c.stored;
    StartFresh();
    EXPECT_EQ(view.checkedBoot, c.checked);
    const disk::TBootCodeRec code = disk::GetBootCode(c.option);
    const std::uint8_t* bytes = core->Image()->Buffer().data() + 28;
    EXPECT_TRUE(std::equal(code.Code, code.Code + code.Size, bytes)) << c.checked;
  }
}

TEST_F(ShellCoreTest, SavesTheOwnValuesBootCodeFirst) {
  settings.values[L"RemovableDrive"] = L"E:\\";
  core->RestoreSettings();
  core->ChangeBootOption(2);
  settings.writes.clear();
  core->SaveSettings();
  EXPECT_EQ(settings.writes, (Texts{L"BootCode", L"RemovableDrive"}));
  EXPECT_EQ(settings.values[L"BootCode"], L"2");
  EXPECT_EQ(settings.values[L"RemovableDrive"], L"E:\\");
  EXPECT_EQ(view.checkedBoot, 2);
}

// The caption and the message for an unknown kind are the program's string table's texts: here
// others than the program's own.
TEST_F(ShellCoreTest, OpenRefusesFilesByKindAndKeepsTheImage) {
  fs.files["/img/short.dsk"] = std::vector<std::uint8_t>(368641);
  fs.files["/img/a.xsa"] = {1, 2, 3};
  fs.files["/img/c.img"] = RawImage(false);
  ui.texts = {{kOpenCaptionText, L"Abrir"}, {kUnrecognizedFormatText, L"Formato desconocido"}};
  const struct {
    const char* path;
    std::wstring text;
    MsgIcon icon;
  } kCases[] = {{"/img/short.dsk", L"", MsgIcon::Error},
                {"/img/a.xsa", kNotImplemented, MsgIcon::Error},
                {"/img/c.img", L"Formato desconocido", MsgIcon::Warning}};
  StartFresh();
  for (const auto& c : kCases) {
    ui.boxes.clear();
    EXPECT_FALSE(core->OpenDiskImage(c.path));
    EXPECT_EQ(view.caption, L"Quollbox - NewImage1.dsk");
    EXPECT_EQ(fs.cwd, "/work");
    if (c.text.empty()) {
      EXPECT_TRUE(ui.boxes.empty()) << c.path;
      continue;
    }
    ASSERT_EQ(ui.boxes.size(), 1u) << c.path;
    EXPECT_EQ(ui.boxes[0].text, c.text);
    EXPECT_EQ(ui.boxes[0].caption, L"Abrir");
    EXPECT_EQ(ui.boxes[0].icon, c.icon);
  }
}

TEST_F(ShellCoreTest, OpensRawAndTrackImagesWithRowsRecentListsAndSettings) {
  fs.files["/img/full.dsk"] = RawImage(true, "hello world");
  fs.files["/img/track.HFE"] = HfeImage(true, "hello world");
  StartFresh();
  for (const char* path : {"/img/full.dsk", "/img/track.HFE"}) {
    const int saves = settings.saveAllCount;
    ASSERT_TRUE(core->OpenDiskImage(path));
    EXPECT_EQ(view.caption, L"Quollbox - " + std::filesystem::path(path).wstring());
    EXPECT_EQ(view.panels[0], L"720k");
    EXPECT_EQ(view.panels[1], L"11 bytes in 1 file(s)");
    EXPECT_EQ(view.Names(), Texts{L"HELLO"});
    EXPECT_EQ(view.rows[0].DateTime.size(), 19u);  // the ISO patterns of the port
    EXPECT_EQ(TopRecentFile(), std::filesystem::path(path).wstring());
    EXPECT_EQ(recentFolders->Items()->Get(0), L"/img");
    EXPECT_EQ(fs.cwd, "/img");
    EXPECT_EQ(settings.saveAllCount, saves + 1);
    EXPECT_FALSE(core->Image()->IsModified());
  }
  EXPECT_TRUE(ui.boxes.empty());
  EXPECT_EQ(recentFiles->Items()->Count(), 2);
  EXPECT_EQ(recentFolders->Items()->Count(), 1);
}

TEST_F(ShellCoreTest, AnUnreadableImageLeavesTheCurrentOneAndSaysSo) {
  fs.files["/img/junk.hfe"] = std::vector<std::uint8_t>(4000, 0x55);
  fs.files["/other/ok.dsk"] = RawImage(false, "x");
  StartFresh();
  ASSERT_TRUE(core->OpenDiskImage("/other/ok.dsk"));
  const disk::TMSXDisk* before = core->Image();
  for (const char* path : {"/img/junk.hfe", "/img/gone.hfe"}) {
    ui.boxes.clear();
    EXPECT_FALSE(core->OpenDiskImage(path));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_TRUE(ui.boxes[0].text.starts_with(L"Cannot read the disk image \"" +
                                             std::filesystem::path(path).wstring()));
    EXPECT_EQ(ui.boxes[0].icon, MsgIcon::Error);
    EXPECT_EQ(core->Image(), before);
    EXPECT_EQ(view.caption, L"Quollbox - /other/ok.dsk");
    EXPECT_EQ(view.rows.size(), 1u);
    EXPECT_EQ(fs.cwd, "/other");
    EXPECT_EQ(TopRecentFile(), L"/other/ok.dsk");
  }
}

// A raw image of the right size whose media byte is not an MSX one (a PC 360 KB floppy: 0xFD) is
// refused, and the message says why: the file itself was read.
TEST_F(ShellCoreTest, ARawImageOfAnotherMediaIsRefusedNamingItsMediaByte) {
  std::vector<std::uint8_t> pc = RawImage(false);
  pc[21] = 0xFD;
  fs.files["/img/pc.dsk"] = pc;
  StartFresh();
  EXPECT_FALSE(core->OpenDiskImage("/img/pc.dsk"));
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(
      ui.boxes[0].text,
      L"Cannot read the disk image \"/img/pc.dsk\".\r\nIts media byte FD is not one of an MSX "
      L"disk (F8 or F9).");
}

TEST_F(ShellCoreTest, ADamagedTrackImageOpensWithAWarningNamingTheCount) {
  std::vector<std::uint8_t> cut = HfeImage(true, "hello world");
  cut.resize(100000);
  fs.files["/img/cut.hfe"] = cut;
  hfe::THfeReadReport report;
  ASSERT_FALSE(hfe::DecodeHFEImage(cut, &report).empty());
  ASSERT_GT(report.Unreadable(), 0);
  StartFresh();
  ASSERT_TRUE(core->OpenDiskImage("/img/cut.hfe"));
  EXPECT_EQ(view.caption, L"Quollbox - /img/cut.hfe");
  EXPECT_EQ(view.rows.size(), 1u);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, DamagedImageText(report.Unreadable()));
  EXPECT_EQ(ui.boxes[0].caption, L"Open Disk Image");
  EXPECT_EQ(ui.boxes[0].icon, MsgIcon::Warning);

  // Save does not write the readable part over the damaged file: it asks for a name first.
  dialogs.saveAnswers = {std::nullopt, std::filesystem::path("/img/rescued.dsk")};
  EXPECT_FALSE(core->Save());
  EXPECT_EQ(fs.files["/img/cut.hfe"], cut);
  EXPECT_TRUE(core->Save());
  EXPECT_EQ(dialogs.saveCalls.size(), 2u);
  EXPECT_EQ(fs.files["/img/cut.hfe"], cut);
  EXPECT_EQ(fs.files["/img/rescued.dsk"].size(), 737280u);
  EXPECT_TRUE(core->Save());  // the saved copy is the image's file now
  EXPECT_EQ(dialogs.saveCalls.size(), 2u);
}

TEST_F(ShellCoreTest, TheSaveQuestionBeforeAnOpenCountsOnlyARealSave) {
  const struct {
    MsgAnswer answer;
    std::optional<std::filesystem::path> saveAs;
    bool failWrite;
    bool opened;
  } kCases[] = {{MsgAnswer::Cancel, std::nullopt, false, false},
                {MsgAnswer::No, std::nullopt, false, true},
                {MsgAnswer::Yes, "/saved/kept.dsk", false, true},
                {MsgAnswer::Yes, std::nullopt, false, false},
                {MsgAnswer::Yes, "/saved/kept.dsk", true, false}};
  for (const auto& c : kCases) {
    fs.files.clear();
    fs.failWrites.clear();
    fs.cwd = "/work";
    fs.files["/img/next.dsk"] = RawImage(false);
    if (c.failWrite) fs.failWrites.insert("/saved/kept.dsk");
    StartModified();
    ui.boxes.clear();
    ui.answers = {c.answer};
    dialogs.saveAnswers = {c.saveAs};
    EXPECT_EQ(core->OpenDiskImage("/img/next.dsk"), c.opened);
    ASSERT_FALSE(ui.boxes.empty());
    EXPECT_EQ(ui.boxes[0].text, kSaveQuestion);
    EXPECT_EQ(ui.boxes[0].caption, L"Quollbox ");
    EXPECT_EQ(ui.boxes[0].buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(ui.boxes[0].icon, MsgIcon::Question);
    EXPECT_EQ(view.caption, c.opened ? L"Quollbox - /img/next.dsk" : L"Quollbox - NewImage1.dsk *");
    if (!c.opened) {
      EXPECT_EQ(fs.cwd, "/work");
    }
    EXPECT_EQ(fs.files.contains("/saved/kept.dsk"), c.saveAs && !c.failWrite);
  }
}

// A recent file that is gone is offered for removal (No keeps it, Yes removes it); one that exists
// is opened. A recent folder goes to the folder browser as it is, gone or not, as the image's
// folder does.
TEST_F(ShellCoreTest, RecentFileThatIsGoneIsOfferedForRemoval) {
  recentFiles->Items()->Assign({L"/img/gone.dsk", L"/img/other.dsk"});
  StartFresh();
  for (const MsgAnswer answer : {MsgAnswer::No, MsgAnswer::Yes}) {
    ui.boxes.clear();
    ui.answers = {answer};
    core->OpenRecentFile(L"/img/gone.dsk");
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, L"File \"/img/gone.dsk\" doesn't exist.\r\nRemove it from MRU?");
    EXPECT_EQ(ui.boxes[0].caption, L"Open MRU");
    EXPECT_EQ(ui.boxes[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(ui.boxes[0].icon, MsgIcon::Question);
    EXPECT_EQ(recentFiles->Items()->Count(), answer == MsgAnswer::No ? 2 : 1);
  }
  EXPECT_EQ(recentFiles->Items()->ToVector(), Texts{L"/img/other.dsk"});
  core->GoToImageFolder();  // the start-up image has no folder part
  EXPECT_TRUE(view.shownFolders.empty());
  ui.boxes.clear();
  fs.files["/img/other.dsk"] = RawImage(false);
  core->OpenRecentFile(L"/img/other.dsk");
  EXPECT_EQ(view.caption, L"Quollbox - /img/other.dsk");
  core->OpenRecentFolder(L"/gone");
  core->GoToImageFolder();
  EXPECT_TRUE(ui.boxes.empty());
  EXPECT_EQ(view.shownFolders, (std::vector<std::filesystem::path>{"/gone", "/img"}));
}

TEST(ShellTexts, ImageKindsByExtensionAndSize) {
  const struct {
    const char* name;
    std::int64_t size;
    ImageKind kind;
  } kCases[] = {{"a.dsk", 368640, ImageKind::Dsk},      {"a.Dsk", 368641, ImageKind::DskWrongSize},
                {"a.dsk", -1, ImageKind::DskWrongSize}, {"a.HfE", 10, ImageKind::Hfe},
                {"a.xsa", 10, ImageKind::Xsa},          {"a.img", 368640, ImageKind::Unknown},
                {"dsk", 368640, ImageKind::Unknown}};
  for (const auto& c : kCases) EXPECT_EQ(ClassifyImageFile(c.name, c.size), c.kind) << c.name;
  EXPECT_EQ(SaveKind("x.HFE"), ImageKind::Hfe);
  EXPECT_EQ(SaveKind("x.xsa"), ImageKind::Unknown);
}

TEST(ShellTexts, CommandLineImageIsTheLastPlainArgument) {
  const struct {
    std::vector<std::wstring> arguments;
    std::optional<std::wstring> image;
  } kCases[] = {{{}, std::nullopt},
                {{L"/x"}, std::nullopt},
                {{L"-x", L""}, std::nullopt},
                {{L"a.dsk", L"-o", L"b.dsk"}, L"b.dsk"},
                {{L"a.dsk", L"/q"}, L"a.dsk"},
                {{L"", L"a.dsk"}, L"a.dsk"}};
  for (const auto& c : kCases) EXPECT_EQ(CommandLineImage(c.arguments), c.image);
}

// The rest of these texts are checked where the shell shows them.
TEST(ShellTexts, TextsTheShellDoesNotShowInItsTests) {
  EXPECT_EQ(ExportTarget(L"E:", "/a/game.dsk"), L"E:\\game.HFE");
  EXPECT_EQ(DriveRoot(25), L"Z:\\");
  EXPECT_EQ(SizePanelText(nullptr), L"none");
  EXPECT_EQ(DamagedImageText(1), L"1 sector could not be read; the image may be damaged.");
  EXPECT_EQ(DamagedImageText(1370), L"1370 sectors could not be read; the image may be damaged.");
}

// "Show Browser" and "Show Image List": a shown panel hides, a hidden or collapsed one shows at
// 160 px at least; the check needs a shown panel of at least 1 px.
TEST(ShellTexts, PanelToggleShowsAtLeast160Pixels) {
  const struct {
    TPanelState before, after;
    bool checked;
  } cases[] = {{{true, 180}, {false, 180}, true},
               {{false, 180}, {true, 180}, false},
               {{false, 40}, {true, 160}, false},
               {{true, 0}, {true, 160}, false},
               {{true, 1}, {false, 1}, true}};
  for (const auto& c : cases) {
    EXPECT_EQ(ToggledPanel(c.before), c.after) << c.before.visible << " " << c.before.width;
    EXPECT_EQ(PanelShown(c.before), c.checked);
  }
}

// Stored side-dock widths never leave the file list less than 100 px of an 880 px window.
TEST(ShellTexts, StoredDockWidthsLeaveTheListItsRoom) {
  const struct {
    int client;
    TSideDockWidths stored, fitted;
  } cases[] = {{880, {9, 180}, {9, 180}},
               {880, {0, 780}, {0, 780}},
               {880, {1, 100000}, {1, 779}},
               {880, {100000, 180}, {600, 180}},
               {880, {100000, 100000}, {390, 390}},
               {880, {-5, -1}, {0, 0}},
               {50, {9, 180}, {0, 0}}};
  for (const auto& c : cases) {
    EXPECT_EQ(FittedDockWidths(c.client, c.stored), c.fitted)
        << c.client << " " << c.stored.left << " " << c.stored.right;
  }
}

TEST_F(ShellCoreTest, SaveAsksForANameOnlyForAModifiedImageWithoutFile) {
  const struct {
    bool modified;
    bool exists;
    std::optional<std::filesystem::path> chosen;
    bool dialog;
    const char* written;  // null: nothing written
    // The current directory moved after the image was made (a platform dialog may move it),
    // into a folder that holds a file of the new image's name.
    bool moved = false;
  } kCases[] = {
      {false, false, std::nullopt, false, "/work/NewImage1.dsk"},
      {false, true, std::nullopt, false, "/work/NewImage1.dsk"},
      {true, true, std::nullopt, false, "/work/NewImage1.dsk"},
      {true, false, "/out/a.dsk", true, "/out/a.dsk"},
      {true, false, std::nullopt, true, nullptr},
      {false, false, std::nullopt, false, "/work/NewImage1.dsk", true},
      {true, false, "/out/a.dsk", true, "/out/a.dsk", true},
  };
  for (const auto& c : kCases) {
    fs.files.clear();
    fs.writes.clear();
    fs.cwd = "/work";
    dialogs.saveCalls.clear();
    StartFresh();
    if (c.exists) fs.files["/work/NewImage1.dsk"] = {};
    if (c.moved) {
      fs.files["/other/NewImage1.dsk"] = {};
      fs.cwd = "/other";
    }
    if (c.modified) core->ReplaceBootSector(2);
    dialogs.saveAnswers = {c.chosen};
    const bool saved = core->Save();
    EXPECT_EQ(saved, c.written != nullptr);
    EXPECT_EQ(dialogs.saveCalls.size(), c.dialog ? 1u : 0u);
    if (c.dialog) {
      EXPECT_EQ(dialogs.saveCalls[0].fileName, "NewImage1.dsk");
    }
    if (!c.written) {
      EXPECT_TRUE(fs.writes.empty());
      EXPECT_TRUE(core->Image()->IsModified());
      EXPECT_TRUE(view.caption.ends_with(L" *"));
      continue;
    }
    EXPECT_EQ(fs.writes, std::vector<std::string>{c.written});
    EXPECT_FALSE(core->Image()->IsModified());
    EXPECT_FALSE(view.caption.ends_with(L" *"));
    EXPECT_EQ(TopRecentFile(), std::filesystem::path(c.written).wstring());
    EXPECT_EQ(fs.files[c.written], Bytes(*core->Image()));
    EXPECT_EQ(fs.cwd, c.dialog ? "/out" : c.moved ? "/other" : "/work");
  }
}

TEST_F(ShellCoreTest, AFailedSaveKeepsTheFlagTheOldFileAndReportsIt) {
  fs.files["/out/x.hfe"] = {1, 2, 3};
  fs.failWrites = {"/out/x.hfe"};
  StartModified();
  dialogs.saveAnswers = {"/out/x.hfe"};
  EXPECT_FALSE(core->SaveAs());
  EXPECT_TRUE(core->Image()->IsModified());
  EXPECT_EQ(view.caption, L"Quollbox - NewImage1.dsk *");
  EXPECT_EQ(fs.files["/out/x.hfe"], (std::vector<std::uint8_t>{1, 2, 3}));
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].caption, L"Save Disk Image");
  EXPECT_EQ(ui.boxes[0].icon, MsgIcon::Error);
  EXPECT_NE(ui.boxes[0].text.find(L"Disk full"), std::wstring::npos);
  EXPECT_NE(TopRecentFile(), L"/out/x.hfe");
}

// The image list learns of every file a save or an export wrote, so that a list showing its folder
// shows it; a write that failed tells it nothing.
TEST_F(ShellCoreTest, EveryWrittenImageFileIsToldToTheImageList) {
  enum class Command { Save, SaveAs, Export };
  const struct {
    Command command;
    const char* answer;  // the save dialog's choice
    bool failWrite;
    const char* told;  // null: nothing
  } kCases[] = {
      {Command::Save, "/out/a.dsk", false, "/out/a.dsk"},
      {Command::SaveAs, "/out/b.hfe", false, "/out/b.hfe"},
      {Command::SaveAs, "/out/d.dsk", true, nullptr},
      {Command::Export, nullptr, false, "R:\\NewImage1.HFE"},
      {Command::Export, nullptr, true, nullptr},
  };
  for (const auto& c : kCases) {
    fs.files.clear();
    fs.failWrites.clear();
    if (c.failWrite) fs.failWrites = {c.answer ? c.answer : "R:\\NewImage1.HFE"};
    drives.types = {{L"R:\\", kDriveRemovable}};
    settings.values[L"RemovableDrive"] = L"R:\\";
    StartModified();
    view.writtenImages.clear();
    dialogs.saveAnswers = {c.answer ? std::optional<std::filesystem::path>(c.answer)
                                    : std::nullopt};
    switch (c.command) {
      case Command::Save:
        core->Save();
        break;
      case Command::SaveAs:
        core->SaveAs();
        break;
      case Command::Export:
        core->ExportToRemovable();
        break;
    }
    if (c.told)
      EXPECT_EQ(view.writtenImages, std::vector<std::filesystem::path>{c.told}) << c.told;
    else
      EXPECT_TRUE(view.writtenImages.empty());
  }
}

TEST_F(ShellCoreTest, SaveAsPresetsTheNameWithTheDialogsExtension) {
  fs.files["/img/disk.dsk"] = RawImage(false);
  StartFresh();
  ASSERT_TRUE(core->OpenDiskImage("/img/disk.dsk"));
  dialogs.defaultExtension = L"hfe";
  dialogs.saveAnswers = {"/out/disk.HFE"};
  ASSERT_TRUE(core->SaveAs());
  EXPECT_EQ(dialogs.saveCalls[0].fileName, "disk.hfe");
  EXPECT_EQ(dialogs.saveCalls[0].folder, "/img");
  EXPECT_EQ(view.caption, L"Quollbox - /out/disk.HFE");
  EXPECT_TRUE(core->QuerySaveModified());
  EXPECT_TRUE(ui.boxes.empty());
}

// A never-saved image's dialog starts in the folder its name was numbered in, even after the
// current folder changed; a name without a known extension gets the dialog type's.
TEST_F(ShellCoreTest, SaveAsWritesTheKindTheNameChooses) {
  StartModified();
  fs.cwd = "/elsewhere";
  dialogs.defaultExtension = L"hfe";
  dialogs.saveAnswers = {"/out/b"};
  ASSERT_TRUE(core->SaveAs());
  EXPECT_EQ(dialogs.saveCalls[0].folder, "/work");
  EXPECT_EQ(fs.writes, std::vector<std::string>{"/out/b.hfe"});
  auto reread = std::make_unique<disk::TMSXDisk>();
  ASSERT_TRUE(hfe::LoadHFEFromBytes(fs.files["/out/b.hfe"], "b.hfe", *reread));
  EXPECT_EQ(Bytes(*reread), Bytes(*core->Image()));
}

// A typed extension may choose a name other than the one the dialog asked about replacing: an
// existing file of that name is replaced only after a Yes to the question; No opens the dialog
// again with the name as typed, in its folder, where the user may choose another name or cancel. A
// file that does not exist, or one the dialog asked about, is written without the question.
TEST_F(ShellCoreTest, AFileTheDialogDidNotAskAboutIsReplacedOnlyAfterAYes) {
  const std::vector<std::uint8_t> old = {1, 2, 3};
  const struct {
    bool exists;
    const char* checked;
    std::optional<MsgAnswer> answer;             // none: no question
    std::optional<std::filesystem::path> again;  // the answer to a dialog opened again
    const char* written;                         // the file written, or none
  } cases[] = {{true, "/out/x.hfe.dsk", MsgAnswer::No, std::nullopt, nullptr},
               {true, "/out/x.hfe.dsk", MsgAnswer::No, "/out/y.dsk", "/out/y.dsk"},
               {true, "/out/x.hfe.dsk", MsgAnswer::Yes, std::nullopt, "/out/x.hfe"},
               {false, "/out/x.hfe.dsk", std::nullopt, std::nullopt, "/out/x.hfe"},
               {true, "/OUT/X.HFE", std::nullopt, std::nullopt, "/out/x.hfe"}};
  for (const auto& c : cases) {
    for (const bool saveAs : {true, false}) {
      SCOPED_TRACE(std::string(c.checked) + (c.again ? " again" : "") +
                   (saveAs ? " save as" : " save"));
      fs.files.clear();
      if (c.exists) fs.files["/out/x.hfe"] = old;
      StartModified();
      fs.writes.clear();
      ui.boxes.clear();
      ui.answers.clear();
      if (c.answer) ui.answers = {*c.answer};
      dialogs.saveCalls.clear();
      dialogs.saveAnswers = {"/out/x.hfe", c.again};
      dialogs.checkedName = c.checked;
      EXPECT_EQ(saveAs ? core->SaveAs() : core->Save(), c.written != nullptr);
      ASSERT_EQ(ui.boxes.size(), c.answer ? 1u : 0u);
      if (c.answer) {
        EXPECT_EQ(ui.boxes[0].text,
                  L"\"/out/x.hfe\" already exists.\r\nDo you want to replace it?");
        EXPECT_EQ(ui.boxes[0].caption, L"Save Disk Image");
        EXPECT_EQ(ui.boxes[0].buttons, MsgButtons::YesNo);
      }
      const bool reopened = c.answer == MsgAnswer::No;
      ASSERT_EQ(dialogs.saveCalls.size(), reopened ? 2u : 1u);
      if (reopened) {
        EXPECT_EQ(dialogs.saveCalls[1].fileName, "x.hfe");
        EXPECT_EQ(dialogs.saveCalls[1].folder, "/out");
      }
      const std::string written = c.written ? c.written : "";
      EXPECT_EQ(fs.files["/out/x.hfe"] == old, c.exists && written != "/out/x.hfe");
      EXPECT_EQ(fs.writes,
                c.written ? std::vector<std::string>{written} : std::vector<std::string>{});
      EXPECT_EQ(core->Image()->IsModified(), !c.written);
    }
  }
}

// A typed ".dsk" or ".hfe" chooses the kind whatever the dialog's type; a dialog may add its
// type's extension to a name that has one: the entered name counts.
TEST(SaveFileNames, TheEnteredNameAndItsKind) {
  const struct {
    const char* entered;
    const wchar_t* type;
    const char* name;
  } kKinds[] = {{"/out/b.DSK", L"hfe", "/out/b.DSK"},
                {"/out/b.Hfe", L"dsk", "/out/b.Hfe"},
                {"/out/b", L"hfe", "/out/b.hfe"},
                {"/out/b.img", L"dsk", "/out/b.img.dsk"}};
  for (const auto& c : kKinds)
    EXPECT_EQ(SaveFileName(c.entered, c.type), std::filesystem::path(c.name)) << c.entered;
  const struct {
    const char* result;
    const wchar_t* entered;
    const char* name;
  } kCases[] = {{"/out/b.dsk.hfe", L"b.dsk", "/out/b.dsk"},
                {"/out/b.hfe", L"b", "/out/b"},
                {"/out/b.DSK.hfe", L"/typed/b.dsk", "/out/b.dsk"},
                {"/out/a.dsk", L"", "/out/a.dsk"},
                {"/out/other.dsk", L"b.dsk", "/out/other.dsk"}};
  for (const auto& c : kCases)
    EXPECT_EQ(EnteredSaveName(c.result, c.entered), std::filesystem::path(c.name)) << c.result;
}

TEST_F(ShellCoreTest, NewAsksTheSaveQuestionAndMakesTheChosenSize) {
  StartModified();
  ui.answers = {MsgAnswer::Cancel};
  core->NewImage(2);
  EXPECT_EQ(view.panels[0], L"360k");
  ASSERT_EQ(ui.boxes.size(), 1u);
  ui.answers = {MsgAnswer::No};
  core->NewImage(2);
  EXPECT_EQ(view.caption, L"Quollbox - NewImage1.dsk *");
  EXPECT_EQ(view.panels,
            (std::vector<std::wstring>{L"720k", L"0 bytes in 0 file(s)",
                                       L"2048 of 732160 bytes used", L"730112 bytes free", L""}));
  ui.answers = {MsgAnswer::No};
  core->NewImage(1);
  EXPECT_EQ(view.panels[0], L"360k");
}

TEST_F(ShellCoreTest, NewImagesAreNamedInTheOpenedImagesFolder) {
  fs.files["/a/b.dsk"] = RawImage(false);
  fs.files["/a/NewImage1.dsk"] = RawImage(false);
  StartFresh();
  ASSERT_TRUE(core->OpenDiskImage("/a/b.dsk"));
  core->NewImage(1);
  EXPECT_EQ(view.caption, L"Quollbox - NewImage2.dsk *");
}

TEST_F(ShellCoreTest, ExportWritesTheTrackImageToTheChosenDriveWhenItHasARoot) {
  const struct {
    std::wstring drive;
    unsigned type;
    bool failWrite;
    std::wstring box;  // expected start of the message; empty: none
  } kCases[] = {
      {L"", kDriveRemovable, false, L"No removable drive"},
      {L"R:\\Windows", kDriveRemovable, false, L"No removable drive"},  // not a drive root
      {L"R:x", kDriveRemovable, false, L"No removable drive"},
      {L"R:", kDriveRemovable, false, L"No removable drive"},
      {L"1:\\", kDriveRemovable, false, L"No removable drive"},
      {L"R:\\", kDriveNoRootDir, false, L"The removable drive R:\\ is not available."},
      {L"R:\\", kDriveRemovable, true, L"Cannot export the disk image to \"R:\\NewImage1.HFE\""},
      {L"R:\\", kDriveRemovable, false, L""},
      {L"R:\\", 3, false, L""}};  // a flash drive that reports itself as fixed
  for (const auto& c : kCases) {
    fs.files.clear();
    fs.failWrites.clear();
    if (c.failWrite) fs.failWrites.insert("R:\\NewImage1.HFE");
    drives.types = {{L"R:\\", c.type}};
    settings.values[L"RemovableDrive"] = c.drive;
    StartModified();
    ui.boxes.clear();
    ui.busyChanges.clear();
    core->ExportToRemovable();
    EXPECT_TRUE(core->Image()->IsModified());
    EXPECT_EQ(view.caption, L"Quollbox - NewImage1.dsk *");
    if (c.box.empty()) {
      EXPECT_TRUE(ui.boxes.empty());
      EXPECT_EQ(ui.busyChanges, (std::vector<bool>{true, false}));
      auto reread = std::make_unique<disk::TMSXDisk>();
      ASSERT_TRUE(hfe::LoadHFEFromBytes(fs.files["R:\\NewImage1.HFE"], "x.hfe", *reread));
      EXPECT_EQ(Bytes(*reread), Bytes(*core->Image()));
      continue;
    }
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_TRUE(ui.boxes[0].text.starts_with(c.box)) << ui.boxes[0].text;
    EXPECT_EQ(ui.boxes[0].caption, L"Export To Removable");
  }
}

TEST_F(ShellCoreTest, RemovableDrivesMenuListsRemovableDrivesWithTheChosenChecked) {
  drives.mask = (1u << 0) | (1u << 2) | (1u << 4) | (1u << 17);
  drives.types = {{L"A:\\", kDriveRemovable},
                  {L"C:\\", 3},
                  {L"E:\\", kDriveRemovable},
                  {L"R:\\", kDriveRemovable}};
  settings.values[L"RemovableDrive"] = L"E:\\";
  core->RestoreSettings();
  EXPECT_EQ(core->RemovableDrives(),
            (std::vector<RemovableDriveItem>{
                {L"A:\\", 0, false}, {L"E:\\", 4, true}, {L"R:\\", 17, false}}));
  core->SetRemovableDrive(17);
  EXPECT_EQ(core->RemovableDrive(), L"R:\\");
}

// Every drive of a known type, in letter order, named by its type; the browser goes to the
// chosen drive's current folder.
TEST_F(ShellCoreTest, ChangeDriveMenuListsEveryKnownDriveByType) {
  drives.mask = 0b1111111101;  // B: is missing
  const wchar_t* const roots[] = {L"A:\\", L"C:\\", L"D:\\", L"E:\\", L"F:\\",
                                  L"G:\\", L"H:\\", L"I:\\", L"J:\\"};
  for (unsigned type = 0; type < 9; ++type) drives.types[roots[type]] = type == 0 ? 2 : type;
  drives.types[L"I:\\"] = 0;  // unknown: left out
  EXPECT_EQ(core->Drives(), (std::vector<DriveItem>{{L"A: (Removable) ", 0},
                                                    {L"C: (No Root Dir) ", 2},
                                                    {L"D: (Removable) ", 3},
                                                    {L"E: (Fixed) ", 4},
                                                    {L"F: (Remote) ", 5},
                                                    {L"G: (CD-ROM) ", 6},
                                                    {L"H: (RAM-Disk) ", 7},
                                                    {L"J: (Unknown) ", 9}}));
  drives.folders[L"E:\\"] = "E:\\games\\msx";
  core->SetBrowserDrive(4);
  core->SetBrowserDrive(5);
  EXPECT_EQ(view.shownFolders, (std::vector<std::filesystem::path>{"E:\\games\\msx", "F:\\"}));
}

// Tag 5 only erases the boot code.
TEST_F(ShellCoreTest, ReplaceBootSectorMarksTheImageModified) {
  for (const int tag : {2, 5}) {
    StartFresh();
    core->ReplaceBootSector(tag);
    EXPECT_EQ(view.caption, L"Quollbox - NewImage1.dsk *");
    const disk::TBootCodeRec code = disk::GetBootCode(2);
    const auto bytes = core->Image()->Buffer().subspan(28, code.Size);
    EXPECT_EQ(std::equal(bytes.begin(), bytes.end(), code.Code), tag == 2) << tag;
  }
}

TEST_F(ShellCoreTest, FileNameGoesToTheClipboardAndItsFolderToExplorer) {
  StartFresh();
  core->CopyFullName();
  EXPECT_EQ(ui.clipboard, L"NewImage1.dsk");
  core->OpenFolder();
  EXPECT_TRUE(ui.shellCalls.empty());
  fs.files["/my, disks/a.dsk"] = RawImage(false);
  ASSERT_TRUE(core->OpenDiskImage("/my, disks/a.dsk"));
  core->CopyFullName();
  EXPECT_EQ(ui.clipboard, L"/my, disks/a.dsk");
  core->OpenFolder();
  ASSERT_EQ(ui.shellCalls.size(), 1u);
  EXPECT_EQ(ui.shellCalls[0].first, L"explorer.exe");
  EXPECT_EQ(ui.shellCalls[0].second, L"/select,\"/my, disks/a.dsk\"");
}

}  // namespace
}  // namespace app::test
