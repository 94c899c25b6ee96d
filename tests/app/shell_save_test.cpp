// Saving, save as, new images, the export to a removable drive and the small image commands.
#include <gtest/gtest.h>

#include "app/shell_texts.h"
#include "shell_test_support.h"

namespace app::test {
namespace {

std::vector<std::uint8_t> Bytes(const disk::TMSXDisk& image) {
  const auto buffer = image.Buffer();
  return {buffer.begin(), buffer.begin() + image.DiskByteSize()};
}

TEST_F(ShellCoreTest, SaveAsksForANameOnlyForAModifiedImageWithoutFile) {
  const struct {
    bool modified;
    bool exists;
    std::optional<std::filesystem::path> chosen;
    bool dialog;
    const char* written;  // null: nothing written
  } kCases[] = {
      {false, false, std::nullopt, false, "/work/NewImage1.dsk"},
      {false, true, std::nullopt, false, "/work/NewImage1.dsk"},
      {true, true, std::nullopt, false, "/work/NewImage1.dsk"},
      {true, false, "/out/a.dsk", true, "/out/a.dsk"},
      {true, false, std::nullopt, true, nullptr},
  };
  for (const auto& c : kCases) {
    fs.files.clear();
    fs.writes.clear();
    fs.cwd = "/work";
    dialogs.saveCalls.clear();
    StartFresh();
    if (c.exists) fs.files["/work/NewImage1.dsk"] = {};
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
    EXPECT_EQ(fs.cwd, c.dialog ? "/out" : "/work");
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

TEST_F(ShellCoreTest, ExportWritesTheTrackImageToTheRemovableDriveOnly) {
  const struct {
    std::wstring drive;
    unsigned type;
    bool failWrite;
    std::wstring box;  // expected start of the message; empty: none
  } kCases[] = {
      {L"", kDriveRemovable, false, L"No removable drive"},
      {L"R:\\", kDriveNoRootDir, false, L"The removable drive R:\\ is not available."},
      {L"R:\\", kDriveRemovable, true, L"Cannot export the disk image to \"R:\\NewImage1.HFE\""},
      {L"R:\\", kDriveRemovable, false, L""}};
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
// chosen drive's root.
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
  core->SetBrowserDrive(4);
  EXPECT_EQ(view.shownFolders, (std::vector<std::filesystem::path>{"E:\\"}));
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
