// Start-up, the boot-code setting, opening images and the save question before an open.
#include <gtest/gtest.h>

#include "app/shell_texts.h"
#include "shell_test_support.h"

namespace app::test {
namespace {

using Texts = std::vector<std::wstring>;

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

TEST_F(ShellCoreTest, OpenRefusesFilesByKindAndKeepsTheImage) {
  fs.files["/img/short.dsk"] = std::vector<std::uint8_t>(368641);
  fs.files["/img/a.xsa"] = {1, 2, 3};
  fs.files["/img/c.img"] = RawImage(false);
  const struct {
    const char* path;
    std::wstring text;
    MsgIcon icon;
  } kCases[] = {{"/img/short.dsk", L"", MsgIcon::Error},
                {"/img/a.xsa", kNotImplemented, MsgIcon::Error},
                {"/img/c.img", kUnrecognizedFormat, MsgIcon::Warning}};
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
    EXPECT_EQ(ui.boxes[0].caption, L"Open Disk Image");
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
  EXPECT_EQ(ui.boxes[0].caption, kOpenCaption);
  EXPECT_EQ(ui.boxes[0].icon, MsgIcon::Warning);
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

// A recent file or folder that is gone is offered for removal (No keeps it, Yes removes it); one
// that exists is opened, or shown in the folder browser, as the image's folder is.
TEST_F(ShellCoreTest, RecentEntryThatIsGoneIsOfferedForRemoval) {
  recentFiles->Items()->Assign({L"/img/gone.dsk", L"/img/other.dsk"});
  recentFolders->Items()->Assign({L"/gone", L"/img"});
  fs.folders.insert("/img");
  StartFresh();
  const struct {
    tb::TTBMRUList* list;
    void (ShellCore::*open)(const std::wstring&);
    const wchar_t* gone;
    const wchar_t* text;
    const wchar_t* kept;
  } cases[] = {{recentFiles.get(), &ShellCore::OpenRecentFile, L"/img/gone.dsk",
                L"File \"/img/gone.dsk\" doesn't exist.\r\nRemove it from MRU?", L"/img/other.dsk"},
               {recentFolders.get(), &ShellCore::OpenRecentFolder, L"/gone",
                L"Folder \"/gone\" doesn't exist.\r\nRemove it from MRU?", L"/img"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.gone);
    for (const MsgAnswer answer : {MsgAnswer::No, MsgAnswer::Yes}) {
      ui.boxes.clear();
      ui.answers = {answer};
      (core.get()->*c.open)(c.gone);
      ASSERT_EQ(ui.boxes.size(), 1u);
      EXPECT_EQ(ui.boxes[0].text, c.text);
      EXPECT_EQ(ui.boxes[0].caption, L"Open MRU");
      EXPECT_EQ(ui.boxes[0].buttons, MsgButtons::YesNo);
      EXPECT_EQ(ui.boxes[0].icon, MsgIcon::Question);
      EXPECT_EQ(c.list->Items()->Count(), answer == MsgAnswer::No ? 2 : 1);
    }
    EXPECT_EQ(c.list->Items()->ToVector(), Texts{c.kept});
  }
  core->GoToImageFolder();  // the start-up image has no folder part
  EXPECT_TRUE(view.shownFolders.empty());
  ui.boxes.clear();
  fs.files["/img/other.dsk"] = RawImage(false);
  core->OpenRecentFile(L"/img/other.dsk");
  EXPECT_EQ(view.caption, L"Quollbox - /img/other.dsk");
  core->OpenRecentFolder(L"/img");
  EXPECT_TRUE(ui.boxes.empty());
  core->GoToImageFolder();
  EXPECT_EQ(view.shownFolders, (std::vector<std::filesystem::path>{"/img", "/img"}));
}

}  // namespace
}  // namespace app::test
