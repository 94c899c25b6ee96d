// The main window's start-up, texts, close question, settings and menus, under Wine.
#include <gtest/gtest.h>

#include <fstream>

#include "main_form_fixture.h"
#include "ui/win32/clipboard.h"

namespace app::test {
namespace {

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

}  // namespace
}  // namespace app::test
