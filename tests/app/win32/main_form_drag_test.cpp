// Drag and drop on the real main window through the platform's drag loop, driven by real mouse
// input: each kind of drop reaches the window, and the selected rows are dragged out. The host
// file system's folder listings as a dropped folder is expanded.
#include <gtest/gtest.h>

#include <windows.h>
#include <atomic>
#include <chrono>
#include <fstream>
#include <thread>

#include "../../app_dragdrop/dragdrop_test_support.h"
#include "../../rtl/temp_folder.h"
#include "app/dragdrop/win32/drop_source.h"
#include "app/files/file_descriptor.h"
#include "app/win32/win32_host_fs.h"
#include "main_form_fixture.h"

namespace app::test {
namespace {

using dnd_test::Pattern;
using dragdrop::DragFormats;

void Mouse(POINT at, DWORD buttons = 0) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = at.x * 65536 / GetSystemMetrics(SM_CXSCREEN);
  input.mi.dy = at.y * 65536 / GetSystemMetrics(SM_CYSCREEN);
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
  SendInput(1, &input, sizeof input);
}

// Moves the pressed mouse from `from` to `to` in steps on a thread of its own and releases it
// there, while the caller runs the modal drag loop.
std::thread MoveAndRelease(POINT from, POINT to) {
  return std::thread([from, to] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    for (int step = 1; step <= 8; ++step) {
      Mouse({from.x + (to.x - from.x) * step / 8, from.y + (to.y - from.y) * step / 8});
      std::this_thread::sleep_for(std::chrono::milliseconds(60));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Mouse(to, MOUSEEVENTF_LEFTUP);
  });
}

// A shell folder's stand-in: takes copies and reads the names they describe.
class TFolderTarget final : public dragdrop::TComObject<IDropTarget> {
 public:
  std::vector<std::wstring> names;

  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override {
    *effect &= DROPEFFECT_COPY;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
    *effect &= DROPEFFECT_COPY;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
    dragdrop::TStgMedium block;
    if (block.Fetch(*data, dragdrop::MakeFormatEtc(DragFormats().FileGroupDescriptor)) != S_OK)
      return S_OK;
    const dragdrop::TGlobalLock lock(block.Get().hGlobal);
    for (const auto& item : files::ParseFileGroupDescriptor(lock.Bytes()).Items)
      names.push_back(item.Descriptor.Name);
    *effect = DROPEFFECT_COPY;
    return S_OK;
  }
};

class MainFormDragTest : public MainFormTest {
 protected:
  POINT ListCentre() const {
    RECT list{};
    GetWindowRect(List(), &list);
    return {(list.left + list.right) / 2, (list.top + list.bottom) / 2};
  }
  // Drags `data` from the status bar onto the file list through the platform's drag loop, as
  // another program's drag would arrive.
  void DropOnList(IDataObject& data) {
    SetWindowPos(form->Handle(), HWND_TOP, 100, 100, 600, 420, SWP_SHOWWINDOW);
    SetForegroundWindow(form->Handle());
    Pump();
    RECT status{};
    GetWindowRect(Part<ui::TStatusBar>(L"StatusBar").Handle(), &status);
    const POINT from{status.left + 30, (status.top + status.bottom) / 2};
    Mouse(from);
    Mouse(from, MOUSEEVENTF_LEFTDOWN);
    Pump();
    std::thread mover = MoveAndRelease(from, ListCentre());
    const auto source = dragdrop::MakeComObject<dragdrop::TDropSource>();
    DWORD effect = DROPEFFECT_NONE;
    EXPECT_EQ(DoDragDrop(&data, source.Get(), DROPEFFECT_COPY, &effect), DRAGDROP_S_DROP);
    EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));  // the source never deletes what it offered
    mover.join();
  }
};

TEST_F(MainFormDragTest, ShellFilesImagesAndVirtualFilesDroppedOnTheList) {
  auto made = dnd_test::NewDisk();
  dnd_test::AddBytes(*made, L"inside.txt", Pattern(300, 5));
  const std::filesystem::path imageFile = Folder() / L"dropped.dsk";
  made->SaveToFile(imageFile);
  std::ofstream(Folder() / L"first.txt") << "first";
  Start();

  auto files = dragdrop::MakeComObject<dnd_test::TForeignDataObject>();
  files->blocks[CF_HDROP] = dnd_test::DropFilesBlock({(Folder() / L"first.txt").wstring()});
  DropOnList(*files.Get());
  Pump();
  EXPECT_EQ(Names(), std::vector<std::wstring>{L"FIRST"});

  files->blocks[CF_HDROP] = dnd_test::DropFilesBlock({imageFile.wstring()});
  boxAnswer = IDNO;
  DropOnList(*files.Get());
  EXPECT_TRUE(boxes.empty());  // the save question waits until the drop is over
  Pump();
  EXPECT_EQ(boxes.size(), 1u);
  EXPECT_EQ(Caption(), L"Quollbox - " + imageFile.wstring());
  EXPECT_EQ(Names(), std::vector<std::wstring>{L"INSIDE"});

  // Virtual files from another program.
  files::TFileDescriptor file;
  file.Flags = files::kFdAttributes;  // no size: the whole stream
  file.Name = L"mum.txt";
  auto data = dragdrop::MakeComObject<dnd_test::TForeignDataObject>();
  data->blocks[DragFormats().FileGroupDescriptor] =
      files::EncodeFileGroupDescriptor(std::vector<files::TFileDescriptor>{file});
  data->contents[0] = {Pattern(2500, 7)};

  DropOnList(*data.Get());
  Pump();
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L"INSIDE", L"MUM"}));
  EXPECT_EQ(Panel(2), L"6144 of 732160 bytes used");
}

TEST_F(MainFormDragTest, PressingAndMovingSixPixelsDragsTheSelectedRowsOut) {
  auto made = dnd_test::NewDisk();
  dnd_test::AddBytes(*made, L"one.txt", Pattern(1234, 1));
  ASSERT_EQ(made->CreateSubDir("DIR"), disk::DiskResult::Ok);
  dnd_test::AddBytes(*made, L"left.out", Pattern(10, 3));
  made->SaveToFile(Folder() / L"made.dsk");
  Start();
  dialogs.openAnswers = {Folder() / L"made.dsk"};
  ChooseAction(L"acOpenDiskImage");
  SetWindowPos(form->Handle(), HWND_TOP, 0, 0, 600, 420, SWP_SHOWWINDOW);
  Pump();
  Select({L"ONE", L"DIR"});

  // The folder window lies over the list's right side, above everything.
  const HWND folderWindow =
      CreateWindowExW(WS_EX_TOPMOST, WC_LISTVIEWW, L"", WS_POPUP | WS_VISIBLE, 400, 150, 200, 200,
                      nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  auto folder = dragdrop::MakeComObject<TFolderTarget>();
  ASSERT_EQ(RegisterDragDrop(folderWindow, folder.Get()), S_OK);
  Pump();

  RECT row{LVIR_BOUNDS, 0, 0, 0};
  ASSERT_TRUE(SendMessageW(List(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row)));
  POINT press{row.left + 20, (row.top + row.bottom) / 2};
  ClientToScreen(List(), &press);
  Mouse(press);
  Pump();
  Mouse(press, MOUSEEVENTF_LEFTDOWN);
  Pump();
  std::atomic<bool> released = false;
  std::thread mover([&] {
    MoveAndRelease(press, {500, 250}).join();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    released = true;
  });
  // The drag loop runs inside the list's mouse move, handled here.
  while (!released) {
    Pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  mover.join();
  Pump();
  RevokeDragDrop(folderWindow);
  DestroyWindow(folderWindow);

  EXPECT_EQ(folder->names, (std::vector<std::wstring>{L"ONE.TXT", L"DIR"}));
  // The drag of our own rows crossed our own list, which took nothing.
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L"ONE", L"DIR", L"LEFT"}));
}

TEST(Win32HostFs, ListsTheVisibleEntriesSortedAndLeavesOutHiddenAndSystemOnes) {
  const TTempFolder temp;
  const std::filesystem::path& folder = temp.Path();
  std::filesystem::create_directories(folder / L"A folder");
  for (const wchar_t* name : {L"b.txt", L".dotted", L"hidden.txt", L"system.txt"})
    std::ofstream(folder / name) << "x";
  SetFileAttributesW((folder / L"hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
  SetFileAttributesW((folder / L"system.txt").c_str(), FILE_ATTRIBUTE_SYSTEM);

  // Where the host keeps no attributes, the marked files count as plain ones.
  std::vector<std::filesystem::path> expected{folder / L"A folder", folder / L"b.txt"};
  for (const wchar_t* name : {L"hidden.txt", L"system.txt"}) {
    const DWORD attributes = GetFileAttributesW((folder / name).c_str());
    if ((attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0)
      expected.push_back(folder / name);
  }
  EXPECT_EQ(TWin32HostFs().List(folder), expected);
  EXPECT_TRUE(TWin32HostFs().List(folder / L"missing").empty());
}

}  // namespace
}  // namespace app::test
