// The drag-out data object and its format enumerator, called through their COM interfaces; the
// file list's drop target fed by data objects of "another program": what reaches the window's
// handler through either medium, and which drags are refused.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/dragdrop/win32/drag_formats.h"
#include "app/dragdrop/win32/drop_files.h"
#include "app/dragdrop/win32/drop_source.h"
#include "app/dragdrop/win32/drop_target.h"
#include "app/dragdrop/win32/file_data_object.h"
#include "app/dragdrop/win32/start_drag_out.h"
#include "app/files/file_descriptor.h"
#include "dragdrop_test_support.h"

namespace {

using app::dragdrop::DragFormats;
using app::dragdrop::MakeFormatEtc;
using app::dragdrop::TComRef;
using app::files::TFileDescriptor;
using dnd_test::AddBytes;
using dnd_test::Pattern;
using dnd_test::TForeignDataObject;

// Root: HELLO.TXT and GAMES (RUN.BAS, EMPTY.DAT); HELLO.TXT and GAMES dragged.
class DataObjectTest : public dnd_test::OleTest {
 protected:
  void SetUp() override {
    OleTest::SetUp();
    disk_ = dnd_test::NewDisk();
    const disk::TDirEntry* hello = AddBytes(*disk_, L"hello.txt", Pattern(1500, 1));
    ASSERT_EQ(disk_->CreateSubDir("GAMES"), disk::DiskResult::Ok);
    const disk::TDirEntry* games = disk_->Lookup("GAMES");
    ASSERT_TRUE(disk_->ChangeDir("GAMES"));
    AddBytes(*disk_, L"run.bas", Pattern(300, 2));
    AddBytes(*disk_, L"empty.dat", {});
    ASSERT_TRUE(disk_->ChangeDir("\\"));

    const std::vector<const disk::TDirEntry*> selected = {hello, games};
    collection_ = app::files::CollectDragEntries(*disk_, selected);
    data_ = app::dragdrop::MakeFileDataObject(*disk_, collection_);
  }

  static FORMATETC Format(CLIPFORMAT format, LONG index, DWORD medium) {
    FORMATETC result = MakeFormatEtc(format);
    result.lindex = index;
    result.tymed = medium;
    return result;
  }

  std::unique_ptr<disk::TMSXDisk> disk_;
  app::files::TDragCollection collection_;
  TComRef<IDataObject> data_;
};

// The descriptor in global memory, then the contents as streams; Skip, Clone and Reset move
// over the same two positions.
TEST_F(DataObjectTest, TheEnumeratorOffersTheDescriptorThenTheContentsStream) {
  TComRef<IEnumFORMATETC> formats;
  ASSERT_EQ(data_->EnumFormatEtc(DATADIR_GET, formats.Put()), S_OK);
  FORMATETC got[3]{};
  ULONG fetched = 99;
  EXPECT_EQ(formats->Next(3, got, &fetched), S_OK);
  ASSERT_EQ(fetched, 2u);
  const FORMATETC expected[] = {MakeFormatEtc(DragFormats().FileGroupDescriptor),
                                Format(DragFormats().FileContents, -1, TYMED_ISTREAM)};
  for (int i = 0; i < 2; ++i)
    EXPECT_TRUE(got[i].cfFormat == expected[i].cfFormat && got[i].ptd == nullptr &&
                got[i].dwAspect == expected[i].dwAspect && got[i].lindex == -1 &&
                got[i].tymed == expected[i].tymed)
        << i;
  EXPECT_EQ(formats->Next(1, got, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 0u);
  ASSERT_EQ(formats->Reset(), S_OK);
  EXPECT_EQ(formats->Skip(3), S_FALSE);  // too far: no move
  EXPECT_EQ(formats->Skip(1), S_OK);
  TComRef<IEnumFORMATETC> clone;
  ASSERT_EQ(formats->Clone(clone.Put()), S_OK);
  ASSERT_EQ(clone->Next(1, got, nullptr), S_OK);
  EXPECT_EQ(got[0].cfFormat, DragFormats().FileContents);
  EXPECT_EQ(formats->Next(1, nullptr, nullptr), E_POINTER);
  TComRef<IEnumFORMATETC> none;
  EXPECT_EQ(data_->EnumFormatEtc(DATADIR_SET, none.Put()), E_NOTIMPL);
  EXPECT_FALSE(none);
}

// What the object does not do, it refuses, leaving no garbage in what it hands back.
TEST_F(DataObjectTest, TheOtherOperationsClearTheirResults) {
  FORMATETC format = MakeFormatEtc(DragFormats().FileGroupDescriptor);
  STGMEDIUM medium;
  std::memset(&medium, 0xAB, sizeof medium);
  EXPECT_EQ(data_->GetDataHere(&format, &medium), E_NOTIMPL);
  EXPECT_EQ(medium.tymed, DWORD(TYMED_NULL));
  FORMATETC canonical;
  std::memset(&canonical, 0xAB, sizeof canonical);
  EXPECT_EQ(data_->GetCanonicalFormatEtc(&format, &canonical), E_NOTIMPL);
  EXPECT_EQ(canonical.cfFormat, 0);
  auto* advisers = reinterpret_cast<IEnumSTATDATA*>(1);
  EXPECT_EQ(data_->EnumDAdvise(&advisers), E_NOTIMPL);
  EXPECT_EQ(advisers, nullptr);
}

TEST_F(DataObjectTest, FormatsAndMediumsAreAnsweredAsOffered) {
  const struct {
    CLIPFORMAT format;
    LONG index;
    DWORD medium;
    HRESULT query;  // QueryGetData
    HRESULT get;    // GetData
  } cases[] = {
      {DragFormats().FileGroupDescriptor, -1, TYMED_HGLOBAL, S_OK, S_OK},
      {DragFormats().FileGroupDescriptor, -1, TYMED_ISTREAM, DV_E_TYMED, DV_E_TYMED},
      {DragFormats().FileContents, 0, TYMED_ISTREAM, S_OK, S_OK},
      {DragFormats().FileContents, 0, TYMED_HGLOBAL, DV_E_TYMED, DV_E_TYMED},
      {DragFormats().FileContents, -1, TYMED_ISTREAM, S_OK, DV_E_LINDEX},
      {DragFormats().FileContents, 1, TYMED_ISTREAM, S_OK, DV_E_LINDEX},  // GAMES: a directory
      {DragFormats().FileContents, 0x7FFFFFFF, TYMED_ISTREAM, S_OK, DV_E_LINDEX},
      {CF_HDROP, -1, TYMED_HGLOBAL, E_FAIL, E_FAIL},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.format << " index " << c.index << " medium " << c.medium);
    FORMATETC format = Format(c.format, c.index, c.medium);
    EXPECT_EQ(data_->QueryGetData(&format), c.query);
    app::dragdrop::TStgMedium medium;
    EXPECT_EQ(medium.Fetch(*data_, format), c.get);
    EXPECT_EQ(medium.Get().tymed,
              DWORD(c.get == S_OK ? (c.medium & TYMED_HGLOBAL ? TYMED_HGLOBAL : TYMED_ISTREAM)
                                  : TYMED_NULL));
  }
  STGMEDIUM medium{};
  EXPECT_EQ(data_->GetData(nullptr, &medium), E_INVALIDARG);
}

TEST_F(DataObjectTest, TheDescriptorBlockComesInMovableGlobalMemory) {
  const std::vector<std::uint8_t> expected =
      app::files::EncodeFileGroupDescriptor(app::files::DescribeDragItems(collection_.Items));

  app::dragdrop::TStgMedium medium;
  ASSERT_EQ(medium.Fetch(*data_, MakeFormatEtc(DragFormats().FileGroupDescriptor)), S_OK);
  ASSERT_EQ(medium.Get().tymed, DWORD(TYMED_HGLOBAL));
  EXPECT_EQ(medium.Get().pUnkForRelease, nullptr);
  EXPECT_EQ(GlobalFlags(medium.Get().hGlobal) & GMEM_DISCARDABLE, 0u);
  const app::dragdrop::TGlobalLock lock(medium.Get().hGlobal);
  ASSERT_GE(lock.Bytes().size(), expected.size());
  const std::vector<std::uint8_t> got(lock.Bytes().begin(), lock.Bytes().begin() + expected.size());
  EXPECT_EQ(got, expected);
}

TEST_F(DataObjectTest, EachFileIsAStreamOfItsBytes) {
  const struct {
    LONG index;
    std::vector<std::uint8_t> bytes;
  } files[] = {{0, Pattern(1500, 1)}, {3, {}}};
  for (const auto& file : files) {
    SCOPED_TRACE(file.index);
    app::dragdrop::TStgMedium medium;
    ASSERT_EQ(medium.Fetch(*data_, Format(DragFormats().FileContents, file.index, TYMED_ISTREAM)),
              S_OK);
    ASSERT_EQ(medium.Get().tymed, DWORD(TYMED_ISTREAM));
    IStream& stream = *medium.Get().pstm;
    EXPECT_EQ(dnd_test::ReadAll(stream), file.bytes);

    STATSTG stat{};
    ASSERT_EQ(stream.Stat(&stat, STATFLAG_NONAME), S_OK);
    EXPECT_EQ(stat.cbSize.QuadPart, file.bytes.size());
  }
}

TEST_F(DataObjectTest, ContentsComeFromTheMomentTheDragStarted) {
  ASSERT_EQ(disk_->Delete("HELLO.TXT"), disk::DiskResult::Ok);
  AddBytes(*disk_, L"other.txt", Pattern(1500, 9));
  app::dragdrop::TStgMedium medium;
  ASSERT_EQ(medium.Fetch(*data_, Format(DragFormats().FileContents, 0, TYMED_ISTREAM)), S_OK);
  EXPECT_EQ(dnd_test::ReadAll(*medium.Get().pstm), Pattern(1500, 1));
}

TEST_F(DataObjectTest, OnlyOurOwnObjectsAreKnownAsOurs) {
  EXPECT_TRUE(app::dragdrop::IsOwnDragData(*data_));
  auto foreign = app::dragdrop::MakeComObject<dnd_test::TForeignDataObject>();
  EXPECT_FALSE(app::dragdrop::IsOwnDragData(*foreign));
  foreign->inner = data_;  // our object seen through another program's
  EXPECT_FALSE(app::dragdrop::IsOwnDragData(*foreign));
}

TEST_F(DataObjectTest, NothingIsDraggedWhenNoEntryCanBeOffered) {
  disk::PDirEntry label = disk_->GetDirEntry(2);
  std::memcpy(label->Name, "VOLUME  ", 8);
  label->Attr = disk::faVolumeID;
  for (const std::vector<const disk::TDirEntry*>& selected :
       {std::vector<const disk::TDirEntry*>{}, std::vector<const disk::TDirEntry*>{label}}) {
    const auto result = app::dragdrop::StartDragOut(*disk_, selected);
    EXPECT_EQ(result.Result, S_FALSE);
    EXPECT_EQ(result.Offered, 0u);
  }
}

TEST(DropSourceTest, TheDragGoesOnWhileAButtonIsHeld) {
  const auto source = app::dragdrop::MakeComObject<app::dragdrop::TDropSource>();
  const struct {
    BOOL escape;
    DWORD keys;
    HRESULT result;
  } cases[] = {
      {FALSE, MK_LBUTTON, S_OK},
      {TRUE, MK_LBUTTON, DRAGDROP_S_CANCEL},
      {FALSE, 0, DRAGDROP_S_DROP},
      {FALSE, MK_MBUTTON | MK_CONTROL, DRAGDROP_S_DROP},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.escape << " " << c.keys);
    EXPECT_EQ(source->QueryContinueDrag(c.escape, c.keys), c.result);
  }
  EXPECT_EQ(source->GiveFeedback(DROPEFFECT_COPY), DRAGDROP_S_USEDEFAULTCURSORS);
}

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
