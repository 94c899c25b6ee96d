// Drops on the file list as the shell wires them: dropped images opened after the drop, host
// files planned against the image's free bytes, virtual files below the current directory, and
// the list, caption and cursor afterwards. Planning and adding are tested in app_files.
#include <gtest/gtest.h>

#include "shell_test_support.h"

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
};

TEST_F(ShellDropTest, TheFirstDroppedImageOpensAfterTheDropAndNothingIsAdded) {
  fs.files["/drop/a.txt"] = Bytes(100, 1);
  fs.files["/drop/first.DSK"] = RawImage(false, "from the dsk");
  fs.files["/drop/second.hfe"] = HfeImage(true, "from the hfe");
  const int fills = view.fills;
  core->DropFiles(Paths{"/drop/a.txt", "/drop/first.DSK", "/drop/second.hfe"});
  EXPECT_EQ(view.laterOpens, Paths{"/drop/first.DSK"});
  EXPECT_EQ(view.fills, fills);
  EXPECT_FALSE(Image().IsModified());
  EXPECT_TRUE(core->OpenDiskImage(view.laterOpens.front()));  // once the drop is over
  EXPECT_EQ(view.Names(), Names{L"HELLO"});
}

TEST_F(ShellDropTest, HostFilesAndFoldersAreAddedWithinTheFreeBytes) {
  fs.files["/drop/one.txt"] = Bytes(1000, 1);
  fs.files["/drop/Folder/inner.bin"] = Bytes(2000, 2);
  fs.files["/drop/huge.bin"] = Bytes(static_cast<std::size_t>(Image().DiskFree()), 4);
  core->DropFiles(Paths{"/drop/one.txt", "/drop/Folder", "/drop/huge.bin"});
  EXPECT_EQ(view.Names(), (Names{L"ONE", L"FOLDER"}));
  EXPECT_EQ(Image().Directory(), "\\");
  EXPECT_TRUE(view.caption.ends_with(L" *"));
  EXPECT_EQ(ui.busyChanges, (std::vector<bool>{true, false}));
}

TEST_F(ShellDropTest, VirtualFilesAreAddedBelowTheCurrentDirectory) {
  ASSERT_EQ(Image().CreateSubDir("HERE"), disk::DiskResult::Ok);
  ASSERT_TRUE(Image().ChangeDir("HERE"));
  files::TVirtualItem file;
  file.Index = 1;
  file.Folders = {L"Docs"};
  file.Name = L"readme.txt";
  const std::vector<files::TVirtualItem> items{file};
  core->DropVirtual(items, [](std::size_t) -> std::unique_ptr<rtl::TStream> {
    return std::make_unique<rtl::TMemoryStream>(Bytes(3000, 6));
  });
  EXPECT_EQ(Image().Directory(), "\\HERE\\");
  EXPECT_EQ(view.Names(), (Names{L"..", L"DOCS"}));
  EXPECT_TRUE(view.caption.ends_with(L" *"));
  EXPECT_EQ(ui.busyChanges, (std::vector<bool>{true, false}));
}

TEST_F(ShellDropTest, DropsNeedAnImage) {
  EXPECT_TRUE(core->CanAcceptDrop());
  MakeCore();
  EXPECT_FALSE(core->CanAcceptDrop());
  fs.files["/drop/a.dsk"] = RawImage(false);
  core->DropFiles(Paths{"/drop/a.dsk"});
  core->DropVirtual({}, {});
  EXPECT_TRUE(view.laterOpens.empty());
}

}  // namespace
}  // namespace app::test
