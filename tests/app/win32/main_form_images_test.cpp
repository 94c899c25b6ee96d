// Saving and opening images through the real main window, with the files re-read by the disk
// model and the track-image bridge, and the time an open with its list takes.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "hfe/hfe_disk.h"
#include "main_form_fixture.h"

namespace app::test {
namespace {

std::vector<std::uint8_t> FileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// A full double-sided image: 100 files of 7,000 bytes fill it.
std::unique_ptr<disk::TMSXDisk> FullImage() {
  auto image = std::make_unique<disk::TMSXDisk>();
  image->PrepareNewImage(true);
  for (int i = 0; i < 100; ++i) {
    rtl::TMemoryStream data(std::vector<std::uint8_t>(7000, static_cast<std::uint8_t>(i)));
    image->Add(L"FILE" + std::to_wstring(i) + L".BIN", data);
  }
  return image;
}

TEST_F(MainFormTest, CtrlSWritesTheStartUpImageUnderItsNameWithoutADialog) {
  Start();
  CtrlKey('S');
  EXPECT_EQ(dialogs.saveShown, 0);
  const std::vector<std::uint8_t> saved = FileBytes(Folder() / L"NewImage1.dsk");
  EXPECT_EQ(saved.size(), 368640u);
  disk::TMSXDisk image;
  EXPECT_TRUE(image.LoadFromBuffer(saved, "x.dsk"));
  EXPECT_EQ(Caption(), L"Quollbox - NewImage1.dsk");
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
  std::vector<INPUT> keys;
  const auto add = [&keys](WORD vk, wchar_t unit, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = unit;
    input.ki.dwFlags = flags;
    keys.push_back(input);
  };
  // Ctrl+A, so the typed name replaces the preset one.
  add(VK_CONTROL, 0, 0);
  add('A', 0, 0);
  add('A', 0, KEYEVENTF_KEYUP);
  add(VK_CONTROL, 0, KEYEVENTF_KEYUP);
  for (const wchar_t unit : typing.name) {
    add(0, unit, KEYEVENTF_UNICODE);
    add(0, unit, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP);
  }
  add(VK_RETURN, 0, 0);
  add(VK_RETURN, 0, KEYEVENTF_KEYUP);
  SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
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
  EXPECT_EQ(FileBytes(saved).size(), 368640u);
  EXPECT_EQ(Caption(), L"Quollbox - " + saved.wstring());
}

TEST_F(MainFormTest, OpensFullRawAndTrackImagesAndListsTheirFiles) {
  const std::unique_ptr<disk::TMSXDisk> image = FullImage();
  const std::filesystem::path raw = Folder() / L"full.dsk";
  const std::filesystem::path track = Folder() / L"full.hfe";
  image->SaveToFile(raw);
  ASSERT_TRUE(hfe::SaveHFE(track, *image));
  Start();
  for (const std::filesystem::path& path : {raw, track}) {
    dialogs.openAnswers = {path};
    const auto start = std::chrono::steady_clock::now();
    ChooseAction(L"acOpenDiskImage");
    const auto took = std::chrono::steady_clock::now() - start;
    std::printf("open and list of %ls: %.1f ms\n", path.filename().c_str(),
                std::chrono::duration<double, std::milli>(took).count());
    EXPECT_EQ(Caption(), L"Quollbox - " + path.wstring());
    EXPECT_EQ(Panel(1), L"700000 bytes in 100 file(s)");
    ASSERT_EQ(RowCount(), 100);
    EXPECT_EQ(Cell(99, 0) + Cell(99, 1) + Cell(99, 2), L"FILE99BIN7000");
  }
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(Setting(L"TMainForm.MRUList_Items", L"Count"), L"2");
  EXPECT_EQ(Setting(L"TMainForm.MRUList_Items", L"Item0"), track.wstring());
  EXPECT_EQ(Setting(L"TMainForm.MRUListFolders_Items", L"Item0"), Folder().wstring());
  EXPECT_EQ(std::filesystem::current_path(), Folder());
}

}  // namespace
}  // namespace app::test
