// Images changed by drops, renames and deletes are read back by mtools and fsck.fat. (The
// listing parser splits at blanks, so these names have none.)
#include <gtest/gtest.h>

#include <string>

#include "../interop/oracle.h"
#include "app/files/file_commands.h"
#include "app/files/host_fs.h"
#include "app/files/process_work_list.h"
#include "app/files/rename.h"
#include "app/files/virtual_drop.h"
#include "app/files/work_list.h"
#include "files_test_support.h"

namespace {

using namespace app::files;

class FilesInteropTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(interop::MissingTools(), "");
    interop::PrepareToolEnvironment();
  }
};

// Sizes and kinds only: stamps depend on the host's clock.
interop::Tree WithoutStamps(interop::Tree tree) {
  for (auto& [path, entry] : tree) entry.stamp.clear();
  return tree;
}

TEST_F(FilesInteropTest, DropsRenamesAndDeletesLeaveAConsistentFileSystem) {
  interop::ScratchDir host;
  std::filesystem::create_directories(host / "MyDocumentsFolder" / "SecondLevelFolder");
  interop::WriteHostFile(host / "MyDocumentsFolder" / "letter.txt", interop::PatternBytes(1500, 1));
  interop::WriteHostFile(host / "MyDocumentsFolder" / "SecondLevelFolder" / "data.bin",
                         interop::PatternBytes(5000, 2));
  interop::WriteHostFile(host / "MyDocumentsFolder" / ".hidden", interop::PatternBytes(9, 3));
  interop::WriteHostFile(host / "top.txt", interop::PatternBytes(10, 4));

  auto disk = files_test::NewDisk();
  const TStdHostFs fs;
  const std::vector<std::filesystem::path> dropped = {host / "MyDocumentsFolder", host / "top.txt"};
  const TDropPlan dropPlan = PrepareWorkList(dropped, disk->DiskFree(), fs);
  ASSERT_EQ(ProcessWorkList(*disk, dropPlan.Items, fs).FilesAdded, 3);
  const std::vector<TFileDescriptor> virtualFiles = {
      {kFdAllOffered, 0x10, 0, 0, 0, 0, L"VirtualFolder"},
      {kFdAllOffered, 0x20, 0, 0, 0, 3, L"VirtualFolder\\v.txt"}};
  const auto plan =
      PlanVirtualDrop(ParseFileGroupDescriptor(EncodeFileGroupDescriptor(virtualFiles)).Items);
  ProcessVirtualDrop(*disk, plan, [](std::size_t) {
    return std::make_unique<rtl::TMemoryStream>(std::vector<std::uint8_t>{'a', 'b', 'c'});
  });
  disk::PDirEntry top = disk->Lookup("TOP.TXT");
  ApplyRename(*disk, *top, std::get<TRenameTarget>(DecideRename(*disk, *top, L"renamed")));
  ASSERT_EQ(MakeNewDirectory(*disk).Result, disk::DiskResult::Ok);
  ASSERT_TRUE(disk->ChangeDir("MYDOCUME"));
  std::vector<disk::TDirEntry*> doomed = {disk->Lookup("LETTER.TXT")};
  ASSERT_EQ(DeleteEntries(*disk, doomed), 1);
  ASSERT_TRUE(disk->ChangeDir("\\"));

  const std::filesystem::path image = host / "out.dsk";
  disk->SaveToFile(image);
  const interop::FsckVerdict verdict = interop::CheckWithFsck(image);
  EXPECT_TRUE(verdict.Clean()) << verdict.output;
  const interop::Tree expected = {
      {"/MYDOCUME", {true, 0, ""}},
      {"/MYDOCUME/SECONDLE", {true, 0, ""}},
      {"/MYDOCUME/SECONDLE/DATA.BIN", {false, 5000, ""}},
      {"/RENAMED.TXT", {false, 10, ""}},
      {"/VIRTUALF", {true, 0, ""}},
      {"/VIRTUALF/V.TXT", {false, 3, ""}},
      {"/NEWDIR1", {true, 0, ""}},
  };
  EXPECT_EQ(interop::TreeDifferences(WithoutStamps(interop::ListWithMdir(image)), expected), "");
}

}  // namespace
