// The file list's drop target fed by data objects of "another program": shell file lists of real
// files, virtual files as streams and global memory, hostile data, and our own drags.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
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

class DropTargetTest : public dnd_test::OleTest {
 protected:
  void SetUp() override {
    OleTest::SetUp();
    disk_ = dnd_test::NewDisk();
    handler_ = std::make_unique<dnd_test::TImageDropHandler>(*disk_);
    target_ = app::dragdrop::MakeComObject<app::dragdrop::TFileDropTarget>(*handler_);
  }

  // Enter, hover and drop with the keys; returns the three effects.
  std::vector<DWORD> DragAndDrop(IDataObject& data, DWORD keys = 0, DWORD allowed = kCopyMove) {
    DWORD enter = allowed, over = allowed, drop = allowed;
    EXPECT_EQ(target_->DragEnter(&data, keys, kPoint, &enter), S_OK);
    EXPECT_EQ(target_->DragOver(keys, kPoint, &over), S_OK);
    EXPECT_EQ(target_->Drop(&data, keys, kPoint, &drop), S_OK);
    return {enter, over, drop};
  }

  static TComRef<TForeignDataObject> FileList(const std::vector<std::wstring>& paths,
                                              bool wide = true) {
    auto data = app::dragdrop::MakeComObject<TForeignDataObject>();
    data->blocks[CF_HDROP] = dnd_test::DropFilesBlock(paths, wide);
    return data;
  }

  static TComRef<TForeignDataObject> VirtualFiles(const std::vector<TFileDescriptor>& descriptors) {
    auto data = app::dragdrop::MakeComObject<TForeignDataObject>();
    data->blocks[DragFormats().FileGroupDescriptor] =
        app::files::EncodeFileGroupDescriptor(descriptors);
    return data;
  }

  static TFileDescriptor Folder(const std::wstring& name) {
    TFileDescriptor descriptor;
    descriptor.Flags = app::files::kFdAttributes;
    descriptor.Attributes = app::files::kHostDirectory;
    descriptor.Name = name;
    return descriptor;
  }
  static TFileDescriptor File(const std::wstring& name, std::optional<std::uint64_t> size) {
    TFileDescriptor descriptor;
    descriptor.Flags = app::files::kFdAttributes | (size ? app::files::kFdFileSize : 0);
    descriptor.Attributes = 0x20;
    descriptor.Size = size.value_or(0);
    descriptor.Name = name;
    return descriptor;
  }

  static std::string Short(const std::wstring& name) {
    return disk::TMSXDisk::MakeShortFileName(name);
  }

  std::unique_ptr<disk::TMSXDisk> disk_;
  std::unique_ptr<dnd_test::TImageDropHandler> handler_;
  TComRef<app::dragdrop::TFileDropTarget> target_;
};

// A folder of real files in the temporary folder, removed afterwards.
class TTempTree {
 public:
  TTempTree() {
    root_ =
        std::filesystem::temp_directory_path() /
        (L"qb_dnd_" + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(++serial_));
    std::filesystem::create_directories(root_);
  }
  ~TTempTree() {
    std::error_code error;
    std::filesystem::remove_all(root_, error);
  }
  std::wstring File(const std::wstring& relative, const std::vector<std::uint8_t>& bytes) {
    const std::filesystem::path path = root_ / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path.wstring();
  }
  std::wstring Path(const std::wstring& relative) const { return (root_ / relative).wstring(); }

 private:
  static inline int serial_ = 0;
  std::filesystem::path root_;
};

TEST_F(DropTargetTest, EffectsFollowTheKeysAndWhatTheSourceAllows) {
  const struct {
    DWORD keys;
    DWORD allowed;
    DWORD hover;
  } cases[] = {
      {0, kCopyMove, DROPEFFECT_COPY},
      {MK_SHIFT, kCopyMove, DROPEFFECT_MOVE},
      {MK_SHIFT | MK_LBUTTON, DROPEFFECT_COPY, DROPEFFECT_COPY},
      {MK_CONTROL, kCopyMove | DROPEFFECT_LINK, DROPEFFECT_COPY},
      {0, DROPEFFECT_MOVE, DROPEFFECT_NONE},
      {0, DROPEFFECT_LINK, DROPEFFECT_NONE},
  };
  handler_->accepting = false;  // the effects only: nothing is added
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.keys << " " << c.allowed);
    auto data = FileList({L"C:\\nothing.txt"});
    handler_->accepting = true;
    DWORD enter = c.allowed, over = c.allowed, drop = c.allowed;
    EXPECT_EQ(target_->DragEnter(data.Get(), c.keys, kPoint, &enter), S_OK);
    EXPECT_EQ(target_->DragOver(c.keys, kPoint, &over), S_OK);
    EXPECT_EQ(enter, c.hover);
    EXPECT_EQ(over, c.hover);
    EXPECT_EQ(target_->DragLeave(), S_OK);
    EXPECT_EQ(target_->Drop(data.Get(), c.keys, kPoint, &drop), S_OK);
    EXPECT_EQ(drop, DWORD(DROPEFFECT_NONE));  // left before: nothing dropped
  }
  EXPECT_FALSE(handler_->Called());
}

TEST_F(DropTargetTest, RefusedDragsReportNoEffectAndDropNothing) {
  const std::vector<const disk::TDirEntry*> none;
  dnd_test::AddBytes(*disk_, L"own.txt", Pattern(10, 1));
  const std::vector<const disk::TDirEntry*> own = {disk_->Lookup("OWN.TXT")};
  const auto collection = app::files::CollectDragEntries(*disk_, own);
  auto text = app::dragdrop::MakeComObject<TForeignDataObject>();
  text->blocks[CF_TEXT] = {'h', 'i', 0};
  const struct {
    const char* what;
    TComRef<IDataObject> data;
    bool accepting;
  } cases[] = {
      {"our own drag", app::dragdrop::MakeFileDataObject(*disk_, collection), true},
      {"text only", text, true},
      {"handler closed", FileList({L"C:\\a.txt"}), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    handler_->accepting = c.accepting;
    EXPECT_EQ(DragAndDrop(*c.data, MK_SHIFT),
              (std::vector<DWORD>{DROPEFFECT_NONE, DROPEFFECT_NONE, DROPEFFECT_NONE}));
  }
  EXPECT_FALSE(handler_->Called());
  EXPECT_EQ(dnd_test::DirNames(*disk_, "\\"), (std::vector<std::string>{"OWN.TXT"}));
}

TEST_F(DropTargetTest, EveryDragIsDecidedAfreshWhateverCameBefore) {
  TTempTree tree;
  auto foreign = FileList({tree.File(L"a.txt", Pattern(5, 1))});
  dnd_test::AddBytes(*disk_, L"own.txt", Pattern(10, 1));
  const std::vector<const disk::TDirEntry*> selected = {disk_->Lookup("OWN.TXT")};
  const auto own =
      app::dragdrop::MakeFileDataObject(*disk_, app::files::CollectDragEntries(*disk_, selected));

  DWORD effect = kCopyMove;
  target_->DragEnter(foreign.Get(), 0, kPoint, &effect);
  target_->DragLeave();
  // Our own drag after a foreign one has entered and left: still refused.
  EXPECT_EQ(DragAndDrop(*own),
            (std::vector<DWORD>{DROPEFFECT_NONE, DROPEFFECT_NONE, DROPEFFECT_NONE}));
  EXPECT_FALSE(handler_->Called());
  // A foreign drag right after a drop is taken at once.
  EXPECT_EQ(DragAndDrop(*foreign),
            (std::vector<DWORD>{DROPEFFECT_COPY, DROPEFFECT_COPY, DROPEFFECT_NONE}));
  EXPECT_EQ(dnd_test::DirNames(*disk_, "\\"), (std::vector<std::string>{"OWN.TXT", "A.TXT"}));
  // A drop without an enter is not processed.
  handler_->droppedPaths.clear();
  effect = kCopyMove;
  EXPECT_EQ(target_->Drop(foreign.Get(), 0, kPoint, &effect), S_OK);
  EXPECT_TRUE(handler_->droppedPaths.empty());
}

TEST_F(DropTargetTest, ShellFileListsAddFilesAndFoldersOnce) {
  for (const bool wide : {true, false}) {
    SCOPED_TRACE(wide ? "wide" : "ANSI");
    SetUp();
    TTempTree tree;
    const std::wstring first = tree.File(L"first.txt", Pattern(100, 1));
    tree.File(L"Long Folder Name\\inner file.bin", Pattern(3000, 2));
    tree.File(L"Long Folder Name\\deeper\\x.dat", Pattern(7, 3));
    const std::wstring folder = tree.Path(L"Long Folder Name");
    auto data = FileList({first, folder}, wide);

    for (int round = 0; round < 2; ++round) {
      EXPECT_EQ(DragAndDrop(*data),
                (std::vector<DWORD>{DROPEFFECT_COPY, DROPEFFECT_COPY, DROPEFFECT_NONE}));
    }
    EXPECT_EQ(handler_->droppedPaths,
              (std::vector<std::filesystem::path>{std::filesystem::path(first), folder}));
    const std::string longName = Short(L"Long Folder Name");
    EXPECT_EQ(dnd_test::DirNames(*disk_, "\\"),
              (std::vector<std::string>{"FIRST.TXT", longName + "\\"}));
    EXPECT_EQ(dnd_test::DirNames(*disk_, "\\" + longName),
              (std::vector<std::string>{"DEEPER\\", Short(L"inner file.bin")}));
    EXPECT_EQ(dnd_test::Extract(*disk_, "\\", "FIRST.TXT"), Pattern(100, 1));
    EXPECT_EQ(dnd_test::Extract(*disk_, "\\" + longName, Short(L"inner file.bin")),
              Pattern(3000, 2));
    EXPECT_EQ(dnd_test::Extract(*disk_, "\\" + longName + "\\DEEPER", "X.DAT"), Pattern(7, 3));
    EXPECT_EQ(disk_->Directory(), "\\");
    TearDown();
  }
}

TEST_F(DropTargetTest, ADroppedImageIsOpenedInsteadOfAdded) {
  TTempTree tree;
  const std::wstring text = tree.File(L"a.txt", Pattern(10, 1));
  const std::wstring image = tree.File(L"games.HFE", Pattern(64, 2));
  auto data = FileList({text, image});
  DragAndDrop(*data);
  EXPECT_EQ(handler_->openedImage, std::filesystem::path(image));
  EXPECT_TRUE(dnd_test::DirNames(*disk_, "\\").empty());
}

TEST_F(DropTargetTest, VirtualFilesAreAddedFromStreamsAndGlobalMemory) {
  for (const DWORD medium : {DWORD(TYMED_ISTREAM), DWORD(TYMED_HGLOBAL)}) {
    SCOPED_TRACE(medium);
    SetUp();
    TFileDescriptor notes = File(L"My Folder\\notes.txt", 1200);
    notes.Flags |= app::files::kFdWriteTime;
    notes.LastWriteTime = 132'000'000'000'000'000ull;  // 2019-04-22 UTC
    auto data = VirtualFiles({Folder(L"My Folder"), notes, File(L"whole.bin", std::nullopt)});
    data->contents[1] = {Pattern(1200, 1), medium};
    data->contents[2] = {Pattern(2000, 2), medium};

    EXPECT_EQ(DragAndDrop(*data),
              (std::vector<DWORD>{DROPEFFECT_COPY, DROPEFFECT_COPY, DROPEFFECT_NONE}));
    const std::string folder = Short(L"My Folder");
    EXPECT_EQ(dnd_test::DirNames(*disk_, "\\"),
              (std::vector<std::string>{folder + "\\", "WHOLE.BIN"}));
    EXPECT_EQ(dnd_test::Extract(*disk_, "\\" + folder, "NOTES.TXT"), Pattern(1200, 1));
    EXPECT_EQ(dnd_test::Extract(*disk_, "\\", "WHOLE.BIN"), Pattern(2000, 2));
    ASSERT_TRUE(disk_->ChangeDir(folder));
    disk::TDirEntry stamped{};
    stamped.SetFileTime(notes.LastWriteTime);
    EXPECT_EQ(disk_->Lookup("NOTES.TXT")->ModifyDate.Value, stamped.ModifyDate.Value);
    EXPECT_EQ(disk_->Lookup("NOTES.TXT")->ModifyTime.Value, stamped.ModifyTime.Value);
    ASSERT_TRUE(disk_->ChangeDir("\\"));
    EXPECT_EQ(handler_->rejected, 0u);
    EXPECT_EQ(handler_->result.FilesAdded, 2);
    TearDown();
  }
}

TEST_F(DropTargetTest, HostileVirtualFilesAreRefusedWithoutHarm) {
  using Contents = TForeignDataObject::Contents;
  // One good file next to each kind of damage.
  const struct {
    const char* what;
    std::vector<TFileDescriptor> descriptors;
    std::map<LONG, Contents> contents;
    std::uint32_t announcedCount;  // 0: the true count
    std::vector<std::string> names;
    std::size_t rejected;
    int contentRequests;  // -1: not checked
  } cases[] = {
      {"count beyond the block",
       {File(L"good.txt", 4)},
       {{0, {{1, 2, 3, 4}}}},
       1000,
       {"GOOD.TXT"},
       999,
       -1},
      {"missing contents",
       {File(L"gone.txt", 4), File(L"good.txt", 4)},
       {{1, {{1, 2, 3, 4}}}},
       0,
       {"GOOD.TXT"},
       0,
       -1},
      {"short stream",
       {File(L"short.txt", 500), File(L"good.txt", 4)},
       {{0, {Pattern(100, 1)}}, {1, {{1, 2, 3, 4}}}},
       0,
       {"GOOD.TXT"},
       0,
       -1},
      {"short global block",
       {File(L"short.txt", 500)},
       {{0, {Pattern(100, 1), TYMED_HGLOBAL}}},
       0,
       {},
       0,
       -1},
      {"climbing paths",
       {File(L"..\\evil.txt", 4), File(L"a\\..\\..\\b.txt", 4), File(L"good.txt", 4)},
       {{0, {{1, 2, 3, 4}}}, {1, {{1, 2, 3, 4}}}, {2, {{1, 2, 3, 4}}}},
       0,
       {"GOOD.TXT"},
       2,
       -1},
      {"name without terminator",
       {File(std::wstring(300, L'n'), 4), File(L"good.txt", 4)},
       {{1, {{1, 2, 3, 4}}}},
       0,
       {"GOOD.TXT"},
       1,
       -1},
      {"a medium that is not there",
       {File(L"bad.txt", 4)},
       {{0, {{}, TYMED_ISTORAGE}}},
       0,
       {},
       0,
       -1},
      {"a stream that overstates, sized",
       {File(L"over.txt", 10)},
       {{0, {{}, TYMED_ISTREAM, true}}},
       0,
       {"OVER.TXT"},
       0,
       -1},
      {"a stream without end",
       {File(L"over.txt", std::nullopt)},
       {{0, {{}, TYMED_ISTREAM, true}}},
       0,
       {},
       0,
       -1},
      {"a size larger than the disk",
       {File(L"huge.bin", 1ull << 40)},
       {{0, {Pattern(10, 1)}}},
       0,
       {},
       0,
       0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    auto data = VirtualFiles(c.descriptors);
    if (c.announcedCount) {
      std::memcpy(data->blocks[DragFormats().FileGroupDescriptor].data(), &c.announcedCount, 4);
    }
    if (std::string(c.what) == "name without terminator") {
      // Overwrite the first name's terminator and the rest of its field.
      auto& block = data->blocks[DragFormats().FileGroupDescriptor];
      for (std::size_t at = 4 + 72; at < 4 + 592; at += 2) block[at] = 'n';
    }
    data->contents = c.contents;
    DragAndDrop(*data);
    EXPECT_EQ(handler_->virtualDrops, 1u);
    EXPECT_EQ(dnd_test::DirNames(*disk_, "\\"), c.names);
    EXPECT_EQ(handler_->rejected, c.rejected);
    if (c.contentRequests >= 0) {
      EXPECT_EQ(data->contentRequests, c.contentRequests);
    }
    EXPECT_EQ(disk_->Directory(), "\\");
    TearDown();
  }
}

TEST_F(DropTargetTest, OurDragSeenThroughAnotherProgramRebuildsTheTree) {
  auto source = dnd_test::NewDisk();
  dnd_test::AddBytes(*source, L"top.txt", Pattern(700, 1));
  ASSERT_EQ(source->CreateSubDir("TREE"), disk::DiskResult::Ok);
  ASSERT_TRUE(source->ChangeDir("TREE"));
  dnd_test::AddBytes(*source, L"leaf.bin", Pattern(5000, 2));
  ASSERT_EQ(source->CreateSubDir("INNER"), disk::DiskResult::Ok);
  ASSERT_TRUE(source->ChangeDir("INNER"));
  dnd_test::AddBytes(*source, L"core.dat", Pattern(1, 3));
  ASSERT_TRUE(source->ChangeDir("\\"));
  const std::vector<const disk::TDirEntry*> selected = {source->Lookup("TOP.TXT"),
                                                        source->Lookup("TREE")};
  auto relay = app::dragdrop::MakeComObject<TForeignDataObject>();
  relay->inner =
      app::dragdrop::MakeFileDataObject(*source, app::files::CollectDragEntries(*source, selected));

  DragAndDrop(*relay);
  EXPECT_EQ(dnd_test::DirNames(*disk_, "\\"), (std::vector<std::string>{"TOP.TXT", "TREE\\"}));
  EXPECT_EQ(dnd_test::DirNames(*disk_, "\\TREE"),
            (std::vector<std::string>{"LEAF.BIN", "INNER\\"}));
  EXPECT_EQ(dnd_test::Extract(*disk_, "\\", "TOP.TXT"), Pattern(700, 1));
  EXPECT_EQ(dnd_test::Extract(*disk_, "\\TREE", "LEAF.BIN"), Pattern(5000, 2));
  EXPECT_EQ(dnd_test::Extract(*disk_, "\\TREE\\INNER", "CORE.DAT"), Pattern(1, 3));
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
