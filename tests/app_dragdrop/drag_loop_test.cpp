// A real drag under Wine: a list-view window drags its entries out through the platform's modal
// drag loop, driven by synthetic mouse input, onto a second window of the test.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "app/dragdrop/win32/file_data_object.h"
#include "app/dragdrop/win32/start_drag_out.h"
#include "app/files/file_descriptor.h"
#include "dragdrop_test_support.h"

namespace {

using app::dragdrop::DragFormats;
using app::dragdrop::TComRef;
using dnd_test::Pattern;

// A drop target standing in for a shell folder: takes copies and reads what is dropped.
class TFolderTarget final : public app::dragdrop::TComObject<IDropTarget> {
 public:
  int enters = 0;
  bool dropped = false;
  std::vector<app::files::TIndexedDescriptor> descriptors;
  std::vector<std::vector<std::uint8_t>> contents;

  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override {
    ++enters;
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
    app::dragdrop::TStgMedium block;
    if (block.Fetch(*data, app::dragdrop::MakeFormatEtc(DragFormats().FileGroupDescriptor)) ==
        S_OK) {
      const app::dragdrop::TGlobalLock lock(block.Get().hGlobal);
      descriptors = app::files::ParseFileGroupDescriptor(lock.Bytes()).Items;
    }
    for (const auto& item : descriptors) {
      FORMATETC format = app::dragdrop::MakeFormatEtc(DragFormats().FileContents);
      format.lindex = static_cast<LONG>(item.Index);
      format.tymed = TYMED_ISTREAM;
      app::dragdrop::TStgMedium stream;
      contents.push_back(stream.Fetch(*data, format) == S_OK ? dnd_test::ReadAll(*stream.Get().pstm)
                                                             : std::vector<std::uint8_t>{});
    }
    *effect = DROPEFFECT_COPY;
    return S_OK;
  }
};

// Top-level windows placed on the screen, destroyed with the object.
class TWindow {
 public:
  TWindow(const wchar_t* className, int x, int width) {
    handle_ = CreateWindowExW(WS_EX_TOPMOST, className, L"", WS_POPUP | WS_VISIBLE, x, 0, width,
                              200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    UpdateWindow(handle_);
  }
  TWindow(const TWindow&) = delete;
  TWindow& operator=(const TWindow&) = delete;
  ~TWindow() { DestroyWindow(handle_); }
  HWND Handle() const { return handle_; }

 private:
  HWND handle_;
};

void Pump() {
  for (int round = 0; round < 5; ++round) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

void Mouse(int x, int y, DWORD buttons = 0) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = x * 65536 / GetSystemMetrics(SM_CXSCREEN);
  input.mi.dy = y * 65536 / GetSystemMetrics(SM_CYSCREEN);
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
  SendInput(1, &input, sizeof input);
}

class DragLoopTest : public dnd_test::OleTest {
 protected:
  void SetUp() override {
    OleTest::SetUp();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    disk_ = dnd_test::NewDisk();
    dnd_test::AddBytes(*disk_, L"one.txt", Pattern(1234, 1));
    ASSERT_EQ(disk_->CreateSubDir("DIR"), disk::DiskResult::Ok);
    ASSERT_TRUE(disk_->ChangeDir("DIR"));
    dnd_test::AddBytes(*disk_, L"two.bin", Pattern(4321, 2));
    ASSERT_TRUE(disk_->ChangeDir("\\"));
    selected_ = {disk_->Lookup("ONE.TXT"), disk_->Lookup("DIR")};
  }

  // Presses the left button on the list, drags to (x, y) on another thread while the drag loop
  // runs here, and lets go there.
  app::dragdrop::TDragOutResult DragTo(int x, int y) {
    Mouse(50, 100);
    Mouse(50, 100, MOUSEEVENTF_LEFTDOWN);
    Pump();
    std::thread mover([x, y] {
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      for (int step = 1; step <= 10; ++step) {
        Mouse(50 + (x - 50) * step / 10, 100 + (y - 100) * step / 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      Mouse(x, y, MOUSEEVENTF_LEFTUP);
    });
    const auto result = app::dragdrop::StartDragOut(*disk_, selected_);
    mover.join();
    Pump();
    return result;
  }

  std::unique_ptr<disk::TMSXDisk> disk_;
  std::vector<const disk::TDirEntry*> selected_;
};

TEST_F(DragLoopTest, AFolderWindowReceivesTheTreeThroughTheDragLoop) {
  TWindow list(WC_LISTVIEWW, 0, 200);
  TWindow folder(WC_LISTVIEWW, 400, 200);
  auto target = app::dragdrop::MakeComObject<TFolderTarget>();
  ASSERT_EQ(RegisterDragDrop(folder.Handle(), target.Get()), S_OK);
  Pump();

  const auto result = DragTo(500, 100);
  RevokeDragDrop(folder.Handle());

  EXPECT_EQ(result.Result, DRAGDROP_S_DROP);
  EXPECT_EQ(result.Effect, DWORD(DROPEFFECT_COPY));
  EXPECT_EQ(result.Offered, 3u);
  EXPECT_GE(target->enters, 1);
  ASSERT_TRUE(target->dropped);
  ASSERT_EQ(target->descriptors.size(), 3u);
  EXPECT_EQ(target->descriptors[0].Descriptor.Name, L"ONE.TXT");
  EXPECT_EQ(target->descriptors[1].Descriptor.Name, L"DIR");
  EXPECT_EQ(target->descriptors[2].Descriptor.Name, L"DIR\\TWO.BIN");
  ASSERT_EQ(target->contents.size(), 3u);
  EXPECT_EQ(target->contents[0], Pattern(1234, 1));
  EXPECT_TRUE(target->contents[1].empty());
  EXPECT_EQ(target->contents[2], Pattern(4321, 2));
}

TEST_F(DragLoopTest, OurOwnFileListRefusesTheDrag) {
  TWindow list(WC_LISTVIEWW, 0, 200);
  TWindow other(WC_LISTVIEWW, 400, 200);
  dnd_test::TImageDropHandler handler(*disk_);
  const app::dragdrop::TDropTargetRegistration registration(other.Handle(), handler);
  ASSERT_TRUE(registration.Registered());
  const app::dragdrop::TDropTargetRegistration again(other.Handle(), handler);
  EXPECT_FALSE(again.Registered());
  Pump();

  const auto result = DragTo(500, 100);
  EXPECT_GE(handler.enterQuestions, 1);  // the drag reached the list
  EXPECT_EQ(result.Effect, DWORD(DROPEFFECT_NONE));
  EXPECT_FALSE(handler.Called());
  EXPECT_EQ(dnd_test::DirNames(*disk_, "\\"), (std::vector<std::string>{"ONE.TXT", "DIR\\"}));
}

}  // namespace
