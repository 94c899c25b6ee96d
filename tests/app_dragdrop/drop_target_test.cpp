// The file list's drop target fed by data objects of "another program": what reaches the
// window's handler through either medium, and which drags are refused.
#include "app/dragdrop/win32/drop_target.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/dragdrop/win32/drop_files.h"
#include "app/dragdrop/win32/start_drag_out.h"
#include "app/files/file_descriptor.h"
#include "dragdrop_test_support.h"

namespace {

using app::dragdrop::DragFormats;
using app::dragdrop::TComRef;
using app::files::TFileDescriptor;
using dnd_test::Pattern;
using dnd_test::TForeignDataObject;

constexpr POINTL kPoint{10, 10};
constexpr DWORD kCopyMove = DROPEFFECT_COPY | DROPEFFECT_MOVE;
const std::vector<std::uint8_t> kUnread = {0xDE, 0xAD};

// Keeps what the target hands over; a file's contents are read while the drop lasts.
struct TRecordingHandler final : app::dragdrop::IDropHandler {
  bool accepting = true;
  int drops = 0;
  std::vector<std::filesystem::path> paths;
  std::vector<std::wstring> names;
  std::vector<std::vector<std::uint8_t>> contents;  // kUnread: no stream
  std::size_t rejected = 0;

  bool CanAcceptDrop() override { return accepting; }
  void OnDropFiles(std::vector<std::filesystem::path> dropped) override {
    ++drops;
    paths = std::move(dropped);
  }
  void OnDropVirtual(std::span<const app::files::TVirtualItem> items,
                     const app::files::TContentsSource& source, std::size_t count) override {
    ++drops;
    rejected = count;
    for (const auto& item : items) {
      names.push_back(item.Name);
      if (item.IsFolder) continue;
      const std::unique_ptr<rtl::TStream> stream = source(item.Index);
      std::vector<std::uint8_t> bytes(item.Size.value_or(4096));
      bytes.resize(stream ? stream->ReadFully(bytes) : 0);
      contents.push_back(stream ? bytes : kUnread);
    }
  }
};

TFileDescriptor File(const std::wstring& name, std::optional<std::uint64_t> size) {
  TFileDescriptor descriptor;
  descriptor.Flags = app::files::kFdAttributes | (size ? app::files::kFdFileSize : 0);
  descriptor.Attributes = 0x20;
  descriptor.Size = size.value_or(0);
  descriptor.Name = name;
  return descriptor;
}

class DropTargetTest : public dnd_test::OleTest {
 protected:
  // Enter, hover and drop with the keys; returns the three effects.
  std::vector<DWORD> DragAndDrop(IDataObject& data, DWORD keys = 0, DWORD allowed = kCopyMove) {
    DWORD enter = allowed, over = allowed, drop = allowed;
    EXPECT_EQ(target_->DragEnter(&data, keys, kPoint, &enter), S_OK);
    EXPECT_EQ(target_->DragOver(keys, kPoint, &over), S_OK);
    EXPECT_EQ(target_->Drop(&data, keys, kPoint, &drop), S_OK);
    return {enter, over, drop};
  }
  static TComRef<TForeignDataObject> FileList(const std::vector<std::wstring>& paths) {
    auto data = app::dragdrop::MakeComObject<TForeignDataObject>();
    data->blocks[CF_HDROP] = dnd_test::DropFilesBlock(paths);
    return data;
  }
  static TComRef<TForeignDataObject> VirtualFiles(const std::vector<TFileDescriptor>& files) {
    auto data = app::dragdrop::MakeComObject<TForeignDataObject>();
    data->blocks[DragFormats().FileGroupDescriptor] = app::files::EncodeFileGroupDescriptor(files);
    return data;
  }

  TRecordingHandler handler_;
  TComRef<app::dragdrop::TFileDropTarget> target_ =
      app::dragdrop::MakeComObject<app::dragdrop::TFileDropTarget>(handler_);
};

// The gate's rule is tested where it is decided; here: the keys and the allowed effects reach
// it, and the final effect is always none.
TEST_F(DropTargetTest, AShellFileListIsHandedOverWithTheEffectsOfItsKeys) {
  const std::vector<std::wstring> paths = {L"C:\\a.txt", L"D:\\folder"};
  EXPECT_EQ(DragAndDrop(*FileList(paths)),
            (std::vector<DWORD>{DROPEFFECT_COPY, DROPEFFECT_COPY, DROPEFFECT_NONE}));
  EXPECT_EQ(DragAndDrop(*FileList(paths), MK_SHIFT),
            (std::vector<DWORD>{DROPEFFECT_MOVE, DROPEFFECT_MOVE, DROPEFFECT_NONE}));
  EXPECT_EQ(handler_.drops, 2);
  EXPECT_EQ(handler_.paths, (std::vector<std::filesystem::path>{paths.begin(), paths.end()}));
}

TEST_F(DropTargetTest, OurOwnDragsOtherFormatsAndAClosedWindowAreRefused) {
  auto disk = dnd_test::NewDisk();
  dnd_test::AddBytes(*disk, L"own.txt", Pattern(10, 1));
  const std::vector<const disk::TDirEntry*> own = {disk->Lookup("OWN.TXT")};
  auto text = app::dragdrop::MakeComObject<TForeignDataObject>();
  text->blocks[CF_TEXT] = {'h', 'i', 0};
  const struct {
    const char* what;
    TComRef<IDataObject> data;
    bool accepting;
  } cases[] = {
      {"our own drag",
       app::dragdrop::MakeFileDataObject(*disk, app::files::CollectDragEntries(*disk, own)), true},
      {"text only", text, true},
      {"window closed to drops", FileList({L"C:\\a.txt"}), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    handler_.accepting = c.accepting;
    EXPECT_EQ(DragAndDrop(*c.data, MK_SHIFT),
              (std::vector<DWORD>{DROPEFFECT_NONE, DROPEFFECT_NONE, DROPEFFECT_NONE}));
  }
  EXPECT_EQ(handler_.drops, 0);
}

// Contents come as a stream or a global memory block; a source that offers neither, or a
// medium that is not there, gives no stream; a stream that claims too much is cut to the
// declared size.
TEST_F(DropTargetTest, VirtualFilesReachTheWindowWithTheirContents) {
  TFileDescriptor folder;
  folder.Flags = app::files::kFdAttributes;
  folder.Attributes = app::files::kHostDirectory;
  folder.Name = L"My Folder";
  auto data = VirtualFiles({folder, File(L"My Folder\\notes.txt", 1200),
                            File(L"whole.bin", std::nullopt), File(L"gone.txt", 4),
                            File(L"odd.txt", 4), File(L"over.txt", 10), File(L"..\\evil.txt", 4)});
  data->contents[1] = {Pattern(1200, 1)};
  data->contents[2] = {Pattern(2000, 2), TYMED_HGLOBAL};
  data->contents[4] = {{}, TYMED_ISTORAGE};
  data->contents[5] = {{}, TYMED_ISTREAM, true};
  EXPECT_EQ(DragAndDrop(*data),
            (std::vector<DWORD>{DROPEFFECT_COPY, DROPEFFECT_COPY, DROPEFFECT_NONE}));
  EXPECT_EQ(handler_.names, (std::vector<std::wstring>{L"My Folder", L"notes.txt", L"whole.bin",
                                                       L"gone.txt", L"odd.txt", L"over.txt"}));
  EXPECT_EQ(handler_.contents,
            (std::vector<std::vector<std::uint8_t>>{Pattern(1200, 1), Pattern(2000, 2), kUnread,
                                                    kUnread, std::vector<std::uint8_t>(10, 0x5A)}));
  EXPECT_EQ(handler_.rejected, 1u);
}

TEST(DropFilesTest, FileListsAreReadWithinTheirBlock) {
  const auto wide = dnd_test::DropFilesBlock({L"C:\\a.txt", L"D:\\b"});
  auto unterminated = wide;
  unterminated.resize(unterminated.size() - 6);  // "D:\b" loses its zero and the list's end
  auto farOffset = wide;
  farOffset[0] = 0xFF;
  const struct {
    const char* what;
    std::vector<std::uint8_t> block;
    std::vector<std::filesystem::path> paths;
  } cases[] = {
      {"wide", wide, {L"C:\\a.txt", L"D:\\b"}},
      {"ANSI", dnd_test::DropFilesBlock({L"C:\\a.txt", L"D:\\b"}, false), {L"C:\\a.txt", L"D:\\b"}},
      {"last name unterminated", unterminated, {L"C:\\a.txt"}},
      {"list beyond the block", farOffset, {}},
      {"header cut short", std::vector<std::uint8_t>(wide.begin(), wide.begin() + 10), {}},
      {"empty list", dnd_test::DropFilesBlock({}), {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(app::dragdrop::ParseDropFiles(c.block), c.paths);
  }
}

}  // namespace
