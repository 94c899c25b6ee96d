// Drops on the file list over the fakes: host files and folders within the free bytes, dropped
// images opened after the drop, and virtual files from other programs.
#include <gtest/gtest.h>

#include "shell_test_support.h"
#include "ui/text.h"

namespace app::test {
namespace {

using Names = std::vector<std::wstring>;
using Paths = std::vector<std::filesystem::path>;

std::vector<std::uint8_t> Bytes(std::size_t size, std::uint8_t fill) {
  return std::vector<std::uint8_t>(size, fill);
}

class ShellDropTest : public ShellCoreTest {
 protected:
  ShellDropTest() { StartFresh(); }

  disk::TMSXDisk& Image() { return *core->Image(); }
  void HostFile(const std::string& path, std::vector<std::uint8_t> bytes) {
    fs.files[path] = std::move(bytes);
  }
  // Names and extensions of the rows shown, directories marked with "\".
  Names Rows() const {
    Names names;
    for (const files::TFileRow& row : view.rows) {
      const std::wstring ext = row.Ext.substr(0, row.Ext.find_last_not_of(L' ') + 1);
      names.push_back(row.Name + (ext.empty() ? L"" : L"." + ext) +
                      (row.Entry->IsDirectory() ? L"\\" : L""));
    }
    return names;
  }
  std::vector<std::uint8_t> ImageFile(const std::string& directory, const std::string& name) {
    const std::string start = Image().Directory();
    std::optional<std::vector<std::uint8_t>> bytes;
    if (Image().ChangeDir(directory)) bytes = Image().ExtractToMem(name);
    Image().ChangeDir(start);
    return bytes.value_or(std::vector<std::uint8_t>{});
  }
  std::wstring ShortDir(const std::wstring& name) {
    return ui::WideFromUtf8(disk::TMSXDisk::MakeShortFileName(name));
  }
};

TEST_F(ShellDropTest, TheFirstDroppedImageOpensAfterTheDropAndNothingIsAdded) {
  HostFile("/drop/a.txt", Bytes(100, 1));
  HostFile("/drop/first.DSK", RawImage(false, "from the dsk"));
  HostFile("/drop/second.hfe", HfeImage(true, "from the hfe"));
  const int fills = view.fills;
  core->DropFiles(Paths{"/drop/a.txt", "/drop/first.DSK", "/drop/second.hfe"});

  EXPECT_EQ(view.laterOpens, Paths{"/drop/first.DSK"});
  EXPECT_EQ(view.fills, fills);
  EXPECT_FALSE(Image().IsModified());
  EXPECT_EQ(Image().Lookup("A.TXT"), nullptr);

  // What the window does once the drop is over.
  EXPECT_TRUE(core->OpenDiskImage(view.laterOpens.front()));
  EXPECT_EQ(Image().FileName(), std::filesystem::path("/drop/first.DSK"));
  EXPECT_EQ(Rows(), Names{L"HELLO.TXT"});
}

TEST_F(ShellDropTest, ADroppedImageOpensThroughTheSaveQuestion) {
  StartModified();
  HostFile("/drop/other.dsk", RawImage(true));
  core->DropFiles(Paths{"/drop/other.dsk"});
  ASSERT_EQ(view.laterOpens.size(), 1u);
  ui.answers = {MsgAnswer::Cancel};
  EXPECT_FALSE(core->OpenDiskImage(view.laterOpens.front()));
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, kSaveQuestion);
  EXPECT_TRUE(Image().IsModified());
}

TEST_F(ShellDropTest, FoldersAreExpandedAndFilesAddedWhileTheyFit) {
  HostFile("/drop/one.txt", Bytes(1000, 1));
  HostFile("/drop/Long Folder Name/inner.bin", Bytes(2000, 2));
  HostFile("/drop/Long Folder Name/deeper/x.dat", Bytes(10, 3));
  HostFile("/drop/huge.bin", Bytes(static_cast<std::size_t>(Image().DiskFree()), 4));
  HostFile("/drop/last.txt", Bytes(5, 5));
  core->DropFiles(Paths{"/drop/one.txt", "/drop/Long Folder Name", "/drop/huge.bin",
                        "/drop/missing.txt", "/drop/last.txt"});

  const std::wstring folder = ShortDir(L"Long Folder Name");
  EXPECT_EQ(Rows(), (Names{L"ONE.TXT", folder + L"\\", L"LAST.TXT"}));
  const std::string inside = disk::TMSXDisk::MakeShortFileName(L"Long Folder Name");
  EXPECT_EQ(ImageFile(inside, "INNER.BIN"), Bytes(2000, 2));
  EXPECT_EQ(ImageFile(inside + "\\DEEPER", "X.DAT"), Bytes(10, 3));
  EXPECT_EQ(ImageFile("\\", "LAST.TXT"), Bytes(5, 5));
  EXPECT_EQ(Image().Directory(), "\\");
  EXPECT_TRUE(view.caption.ends_with(L" *"));
  EXPECT_EQ(ui.busyChanges, (std::vector<bool>{true, false}));
}

TEST_F(ShellDropTest, DroppingAFolderAgainReusesItsDirectory) {
  HostFile("/drop/Long Folder Name/inner.bin", Bytes(700, 2));
  for (int round = 0; round < 2; ++round) core->DropFiles(Paths{"/drop/Long Folder Name"});
  HostFile("/drop/Long Folder Name/inner.bin", Bytes(300, 9));
  core->DropFiles(Paths{"/drop/Long Folder Name"});

  const std::wstring folder = ShortDir(L"Long Folder Name");
  EXPECT_EQ(Rows(), (Names{folder + L"\\"}));
  const std::string inside = disk::TMSXDisk::MakeShortFileName(L"Long Folder Name");
  ASSERT_TRUE(Image().ChangeDir(inside));
  core->RefreshFileList();
  EXPECT_EQ(Rows(), (Names{L"..\\", L"INNER.BIN"}));
  EXPECT_EQ(ImageFile("\\" + inside, "INNER.BIN"), Bytes(300, 9));
}

TEST_F(ShellDropTest, VirtualFilesAreAddedBelowTheCurrentDirectory) {
  ASSERT_EQ(Image().CreateSubDir("HERE"), disk::DiskResult::Ok);
  ASSERT_TRUE(Image().ChangeDir("HERE"));
  files::TVirtualItem folder;
  folder.IsFolder = true;
  folder.Name = L"Docs";
  files::TVirtualItem file;
  file.Index = 1;
  file.Folders = {L"Docs"};
  file.Name = L"readme.txt";
  files::TVirtualItem missing;
  missing.Index = 2;
  missing.Name = L"gone.txt";
  const std::vector<files::TVirtualItem> items{folder, file, missing};
  std::vector<std::size_t> asked;
  const files::TContentsSource contents =
      [&asked](std::size_t index) -> std::unique_ptr<rtl::TStream> {
    asked.push_back(index);
    if (index != 1) return nullptr;
    return std::make_unique<rtl::TMemoryStream>(Bytes(3000, 6));
  };
  core->DropVirtual(items, contents);

  EXPECT_EQ(asked, (std::vector<std::size_t>{1, 2}));
  EXPECT_EQ(Image().Directory(), "\\HERE\\");
  EXPECT_EQ(Rows(), (Names{L"..\\", L"DOCS\\"}));
  EXPECT_EQ(ImageFile("\\HERE\\DOCS", "README.TXT"), Bytes(3000, 6));
  EXPECT_TRUE(view.caption.ends_with(L" *"));
}

TEST_F(ShellDropTest, DropsNeedAnImage) {
  EXPECT_TRUE(core->CanAcceptDrop());
  MakeCore();
  EXPECT_FALSE(core->CanAcceptDrop());
  HostFile("/drop/a.txt", Bytes(10, 1));
  core->DropFiles(Paths{"/drop/a.txt"});
  core->DropVirtual({}, {});
  EXPECT_TRUE(view.laterOpens.empty());
}

}  // namespace
}  // namespace app::test
