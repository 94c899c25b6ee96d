// Drag and drop on the real main window under Wine: another program's file list dropped on the
// file list's registered drop target, a dropped image opened once the drop is over, and the
// selected rows dragged out through the 6-pixel rule and the platform's drag loop onto a window
// standing in for a shell folder.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <thread>

#include "../../app_dragdrop/dragdrop_test_support.h"
#include "app/files/file_descriptor.h"
#include "main_form_fixture.h"

namespace app::test {
namespace {

using dnd_test::Pattern;
using dragdrop::DragFormats;

constexpr POINTL kPoint{20, 20};

void WriteHost(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

// The 8.3 name the image stores for a host name.
std::string Short(const std::wstring& name) {
  return disk::TMSXDisk::MakeShortFileName(name);
}
std::wstring Wide(const std::string& text) {
  return {text.begin(), text.end()};
}

// A shell folder's stand-in: takes copies and reads the descriptors and every file's contents.
class TFolderTarget final : public dragdrop::TComObject<IDropTarget> {
 public:
  bool dropped = false;
  std::vector<files::TIndexedDescriptor> descriptors;
  std::vector<std::vector<std::uint8_t>> contents;

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
    dropped = true;
    dragdrop::TStgMedium block;
    if (block.Fetch(*data, dragdrop::MakeFormatEtc(DragFormats().FileGroupDescriptor)) == S_OK) {
      const dragdrop::TGlobalLock lock(block.Get().hGlobal);
      descriptors = files::ParseFileGroupDescriptor(lock.Bytes()).Items;
    }
    for (const auto& item : descriptors) {
      FORMATETC format = dragdrop::MakeFormatEtc(DragFormats().FileContents);
      format.lindex = static_cast<LONG>(item.Index);
      format.tymed = TYMED_ISTREAM;
      dragdrop::TStgMedium stream;
      contents.push_back(stream.Fetch(*data, format) == S_OK ? dnd_test::ReadAll(*stream.Get().pstm)
                                                             : std::vector<std::uint8_t>{});
    }
    *effect = DROPEFFECT_COPY;
    return S_OK;
  }
};

void Mouse(int x, int y, DWORD buttons = 0) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = x * 65536 / GetSystemMetrics(SM_CXSCREEN);
  input.mi.dy = y * 65536 / GetSystemMetrics(SM_CYSCREEN);
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
  SendInput(1, &input, sizeof input);
}

class MainFormDragTest : public MainFormTest {
 protected:
  HWND List() const { return form->FileList().Handle(); }
  std::vector<std::wstring> Rows() const {
    std::vector<std::wstring> rows;
    for (int row = 0; row < RowCount(); ++row) {
      const std::wstring ext = Cell(row, 1).substr(0, Cell(row, 1).find_last_not_of(L' ') + 1);
      rows.push_back(Cell(row, 0) + (ext.empty() ? L"" : L"." + ext));
    }
    return rows;
  }
  // Enter, hover and drop, as the drag loop calls the list's target; the three effects.
  std::vector<DWORD> DropOnList(IDataObject& data) {
    IDropTarget* target = form->FileListDropTarget();
    EXPECT_NE(target, nullptr);
    if (!target) return {};
    DWORD enter = DROPEFFECT_COPY | DROPEFFECT_MOVE, over = enter, drop = enter;
    EXPECT_EQ(target->DragEnter(&data, 0, kPoint, &enter), S_OK);
    EXPECT_EQ(target->DragOver(0, kPoint, &over), S_OK);
    EXPECT_EQ(target->Drop(&data, 0, kPoint, &drop), S_OK);
    return {enter, over, drop};
  }
  static dragdrop::TComRef<dnd_test::TForeignDataObject> HostFiles(
      const std::vector<std::filesystem::path>& paths) {
    std::vector<std::wstring> names;
    for (const auto& path : paths) names.push_back(path.wstring());
    auto data = dragdrop::MakeComObject<dnd_test::TForeignDataObject>();
    data->blocks[CF_HDROP] = dnd_test::DropFilesBlock(names);
    return data;
  }
  void Select(const std::vector<std::wstring>& captions) {
    ListView_SetItemState(List(), -1, 0, LVIS_SELECTED);
    for (int row = 0; row < RowCount(); ++row)
      for (const std::wstring& caption : captions)
        if (Cell(row, 0) == caption)
          ListView_SetItemState(List(), row, LVIS_SELECTED | LVIS_FOCUSED,
                                LVIS_SELECTED | LVIS_FOCUSED);
  }
};

TEST_F(MainFormDragTest, AShellFileListWithALongNamedFolderDroppedTwiceAddsEachEntryOnce) {
  Start();
  const std::filesystem::path host = Folder() / L"host";
  WriteHost(host / L"read me.txt", Pattern(1500, 1));
  WriteHost(host / L"My Long Folder Name" / L"data file.bin", Pattern(5000, 2));
  WriteHost(host / L"My Long Folder Name" / L"Sub Folder" / L"deep.dat", Pattern(700, 3));
  WriteHost(host / L"My Long Folder Name" / L".dotted", Pattern(10, 4));  // hidden under Wine
  const auto data =
      HostFiles({host / L"read me.txt", host / L"My Long Folder Name", host / L"absent.txt"});

  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(DropOnList(*data.Get()),
              (std::vector<DWORD>{DROPEFFECT_COPY, DROPEFFECT_COPY, DROPEFFECT_NONE}))
        << round;
    Pump();
  }

  // Long names are cut to 8.3 names, spaces kept; the folder's own files in name order.
  const std::string folder = Short(L"My Long Folder Name");
  const std::string sub = Short(L"Sub Folder");
  EXPECT_EQ(Rows(), (std::vector<std::wstring>{Wide(Short(L"read me.txt")), Wide(folder)}));
  EXPECT_EQ(Caption(), L"Quollbox - NewImage1.dsk *");
  disk::TMSXDisk& image = *form->Core().Image();
  EXPECT_EQ(image.Directory(), "\\");
  EXPECT_EQ(dnd_test::DirNames(image, "\\" + folder),
            (std::vector<std::string>{sub + "\\", Short(L"data file.bin")}));
  EXPECT_EQ(dnd_test::Extract(image, "\\", Short(L"read me.txt")), Pattern(1500, 1));
  EXPECT_EQ(dnd_test::Extract(image, "\\" + folder + "\\" + sub, "DEEP.DAT"), Pattern(700, 3));
  EXPECT_TRUE(boxes.empty());
}

TEST_F(MainFormDragTest, ADroppedImageOpensOnceTheDropIsOver) {
  Start();
  auto made = dnd_test::NewDisk();
  dnd_test::AddBytes(*made, L"inside.txt", Pattern(300, 5));
  rtl::TMemoryStream saved;
  made->SaveToStream(saved);
  const std::filesystem::path imageFile = Folder() / L"dropped.dsk";
  WriteHost(imageFile, saved.Bytes());
  WriteHost(Folder() / L"other.txt", Pattern(20, 6));

  const auto data = HostFiles({Folder() / L"other.txt", imageFile});
  DropOnList(*data.Get());
  EXPECT_EQ(Caption(), L"Quollbox - NewImage1.dsk");  // nothing added, nothing opened yet
  EXPECT_TRUE(Rows().empty());
  Pump();
  EXPECT_EQ(Caption(), L"Quollbox - " + imageFile.wstring());
  EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"INSIDE.TXT"}));
}

TEST_F(MainFormDragTest, VirtualFilesFromAnotherProgramAreAdded) {
  Start();
  files::TFileDescriptor folder;
  folder.Flags = files::kFdAttributes;
  folder.Attributes = files::kHostDirectory;
  folder.Name = L"Letters";
  files::TFileDescriptor file;
  file.Flags = files::kFdAttributes;  // no size: the whole stream
  file.Attributes = 0x20;
  file.Name = L"Letters\\to mum.txt";
  auto data = dragdrop::MakeComObject<dnd_test::TForeignDataObject>();
  data->blocks[DragFormats().FileGroupDescriptor] =
      files::EncodeFileGroupDescriptor(std::vector<files::TFileDescriptor>{folder, file});
  data->contents[1] = {Pattern(2500, 7)};

  DropOnList(*data.Get());
  EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"LETTERS"}));
  EXPECT_EQ(Caption(), L"Quollbox - NewImage1.dsk *");
  EXPECT_EQ(dnd_test::Extract(*form->Core().Image(), "\\LETTERS", Short(L"to mum.txt")),
            Pattern(2500, 7));
}

TEST_F(MainFormDragTest, PressingAndMovingSixPixelsDragsTheSelectedRowsOut) {
  Start();
  disk::TMSXDisk& image = *form->Core().Image();
  dnd_test::AddBytes(image, L"one.txt", Pattern(1234, 1));
  ASSERT_EQ(image.CreateSubDir("DIR"), disk::DiskResult::Ok);
  ASSERT_TRUE(image.ChangeDir("DIR"));
  dnd_test::AddBytes(image, L"two.bin", Pattern(4321, 2));
  ASSERT_TRUE(image.ChangeDir("\\"));
  dnd_test::AddBytes(image, L"left.out", Pattern(10, 3));
  form->Core().RefreshFileList();
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
  Mouse(press.x, press.y);
  Pump();
  Mouse(press.x, press.y, MOUSEEVENTF_LEFTDOWN);
  Pump();
  std::atomic<bool> released = false;
  std::thread mover([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    for (int step = 1; step <= 10; ++step) {
      Mouse(press.x + (500 - press.x) * step / 10, press.y + (250 - press.y) * step / 10);
      std::this_thread::sleep_for(std::chrono::milliseconds(60));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Mouse(500, 250, MOUSEEVENTF_LEFTUP);
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

  ASSERT_TRUE(folder->dropped);
  std::vector<std::wstring> names;
  for (const auto& item : folder->descriptors) names.push_back(item.Descriptor.Name);
  EXPECT_EQ(names, (std::vector<std::wstring>{L"ONE.TXT", L"DIR", L"DIR\\TWO.BIN"}));
  ASSERT_EQ(folder->contents.size(), 3u);
  EXPECT_EQ(folder->contents[0], Pattern(1234, 1));
  EXPECT_TRUE(folder->contents[1].empty());
  EXPECT_EQ(folder->contents[2], Pattern(4321, 2));
  // The drag of our own rows crossed our own list, which took nothing.
  EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"ONE.TXT", L"DIR", L"LEFT.OUT"}));
}

}  // namespace
}  // namespace app::test
