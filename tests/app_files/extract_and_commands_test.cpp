// Extraction plans and writes, make-directory names, the delete filter and the drop gate.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/files/drop_gate.h"
#include "app/files/extract_plan.h"
#include "app/files/file_commands.h"
#include "app/files/host_fs.h"
#include "files_test_support.h"

namespace {

using namespace app::files;
using disk_test::ReadFile;
using files_test::AddBytes;
using files_test::NewDisk;
using files_test::Pattern;

class ExtractTest : public files_test::ClockTest {};

// The host names themselves are the disk model's; the plan keeps each inside the folder.
TEST_F(ExtractTest, HostileStoredNamesStayDirectlyInsideTheFolder) {
  auto disk = NewDisk();
  const struct {
    const char raw[12];
    const wchar_t* hostName;
  } cases[] = {
      {"..\\..\\ABEXE", L".._.._AB.EXE"},
      {"\xC5T\xC9     TXT", L"\u00C5T\u00C9.TXT"},  // bytes of 0x80 and more in a host path
  };
  std::vector<const disk::TDirEntry*> selected;
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    disk::PDirEntry entry = AddBytes(*disk, L"F" + std::to_wstring(i), Pattern(5, 1));
    files_test::SetRawName(*entry, cases[i].raw);
    selected.push_back(entry);
  }
  const std::filesystem::path folder = std::filesystem::path("out") / "here";
  const auto plan = PlanExtraction(selected, folder);
  ASSERT_EQ(plan.size(), std::size(cases));
  for (std::size_t i = 0; i < plan.size(); ++i) {
    SCOPED_TRACE(cases[i].raw);
    EXPECT_EQ(plan[i].Entry, selected[i]);
    EXPECT_EQ(plan[i].Target.parent_path(), folder);
    EXPECT_EQ(plan[i].Target.filename(), HostPathPart(cases[i].hostName));
  }
  EXPECT_EQ(plan.back().Target.filename().u8string(), u8"\u00C5T\u00C9.TXT");
}

TEST_F(ExtractTest, OnlyFilesArePlannedAndWrittenWithTheirBytesAndLocalStampsEachOnItsOwn) {
  auto disk = NewDisk();
  disk::PDirEntry one = AddBytes(*disk, L"ONE.TXT", Pattern(1500, 1));
  ASSERT_EQ(disk->CreateSubDir("DIR"), disk::DiskResult::Ok);
  disk::PDirEntry two = AddBytes(*disk, L"TWO.BIN", Pattern(7, 2));
  disk::PDirEntry dir = disk->Lookup("DIR");
  one->SetDateTime({2021, 7, 8, 9, 10, 12, 0});

  const std::vector<const disk::TDirEntry*> onlyDirs = {dir, nullptr};
  EXPECT_TRUE(PlanExtraction(onlyDirs, "x").empty());

  const TTempFolder temp;
  const std::filesystem::path& target = temp.Path();
  const std::vector<const disk::TDirEntry*> selected = {dir, one, two};
  const auto plan = PlanExtraction(selected, target);
  ASSERT_EQ(plan.size(), 2u);
  EXPECT_EQ(ExtractPlanned(*disk, plan), 2);
  EXPECT_EQ(ReadFile(target / "ONE.TXT"), Pattern(1500, 1));
  EXPECT_EQ(ReadFile(target / "TWO.BIN"), Pattern(7, 2));
  rtl::TFileStream written(target / "ONE.TXT", rtl::FileMode::OpenRead);
  EXPECT_EQ(clock_.UtcToLocal(written.GetLastWriteTime()),
            (rtl::TDateTime{2021, 7, 8, 9, 10, 12, 0}));
  // A file that cannot be written does not stop the others.
  const std::vector<TExtractItem> blocked = {{one, target / "missing" / "ONE"},
                                             {two, target / "X"}};
  EXPECT_EQ(ExtractPlanned(*disk, blocked), 1);
  EXPECT_EQ(ReadFile(target / "X"), Pattern(7, 2));
}

// The real file system: what the add, drop and image commands rely on.
TEST(StdHostFs, WritesReadsListsAndMovesTheCurrentDirectory) {
  const TTempFolder temp;
  const std::filesystem::path& folder = temp.Path();
  TStdHostFs fs;
  fs.WriteFile(folder / "b.bin", Pattern(700, 1));
  fs.WriteFile(folder / "a.txt", Pattern(3, 2));
  fs.WriteFile(folder / ".hidden", Pattern(1, 3));
  std::vector<std::filesystem::path> listed = {folder / "a.txt", folder / "b.bin"};
#ifndef _WIN32  // links need privileges on Windows
  std::filesystem::create_directory_symlink(folder, folder / "loop");
  EXPECT_EQ(fs.Kind(folder / "loop"), HostKind::Missing);  // links are never followed
  listed.push_back(folder / "loop");
#endif
  EXPECT_EQ(fs.ReadFile(folder / "b.bin"), Pattern(700, 1));
  EXPECT_EQ(fs.FileSize(folder / "a.txt"), 3u);
  EXPECT_EQ(fs.List(folder), listed);
  EXPECT_THROW(fs.ReadFile(folder / "gone"), rtl::EStreamError);
  const std::filesystem::path start = fs.CurrentDirectory();
  fs.ChangeDirectory(folder);
  EXPECT_EQ(fs.ExpandFileName("x/../a.txt"), fs.CurrentDirectory() / "a.txt");
  fs.ChangeDirectory(folder / "gone");
  EXPECT_TRUE(fs.FileExists("a.txt"));
  fs.ChangeDirectory(start);
}

TEST(MakeDir, NamesRunFromNumbersToLetters) {
  const struct {
    std::int32_t n;
    const char* name;
  } cases[] = {
      {1, "NEWDIR1"}, {99, "NEWDIR99"}, {100, "NEWDIRA0"}, {110, "NEWDIRB0"}, {127, "NEWDIRC7"}};
  for (const auto& c : cases) EXPECT_EQ(NewDirName(c.n), c.name);
}

class CommandsTest : public files_test::ClockTest {};

TEST_F(CommandsTest, MakeDirTakesTheFirstFreeNameAndStopsWhenFull) {
  auto disk = NewDisk();
  ASSERT_EQ(disk->CreateSubDir("NEWDIR1"), disk::DiskResult::Ok);
  AddBytes(*disk, L"NEWDIR2", {});  // a file holds the name too
  TMakeDirResult made = MakeNewDirectory(*disk);
  EXPECT_EQ(made.Result, disk::DiskResult::Ok);
  EXPECT_EQ(made.Name, "NEWDIR3");
  EXPECT_TRUE(disk->SubDirExists("NEWDIR3"));

  while (disk->FileCount() + 2 < 112)
    AddBytes(*disk, L"F" + std::to_wstring(disk->FileCount()), {});
  made = MakeNewDirectory(*disk);
  EXPECT_EQ(made.Result, disk::DiskResult::DirFull);
  EXPECT_EQ(made.Name, "NEWDIR4");
}

TEST_F(CommandsTest, DeleteTakesFilesAndEmptyDirectoriesOnly) {
  auto disk = NewDisk();
  ASSERT_EQ(disk->CreateSubDir("FULL"), disk::DiskResult::Ok);
  ASSERT_EQ(disk->CreateSubDir("EMPTY"), disk::DiskResult::Ok);
  AddBytes(*disk, L"FILE.TXT", Pattern(3000));
  disk::PDirEntry label = disk->GetDirEntry(3);
  label->Init(true);
  files_test::SetRawName(*label, "LABEL      ");
  label->Attr = disk::faVolumeID;
  ASSERT_TRUE(disk->ChangeDir("FULL"));
  AddBytes(*disk, L"INSIDE", Pattern(5));
  disk::PDirEntry dotdot = disk->Lookup("..");
  const std::int32_t freeBefore = disk->DiskFree();
  ASSERT_TRUE(disk->ChangeDir("\\"));

  std::vector<disk::TDirEntry*> selected = {disk->Lookup("FULL"), disk->Lookup("EMPTY"),
                                            disk->Lookup("FILE.TXT"), label};
  EXPECT_EQ(DeleteEntries(*disk, selected), 2);
  EXPECT_FALSE(disk->FileNameExists("FILE.TXT"));
  EXPECT_FALSE(disk->SubDirExists("EMPTY"));
  EXPECT_TRUE(disk->SubDirExists("FULL"));
  EXPECT_FALSE(label->IsDeleted());
  EXPECT_EQ(disk->DiskFree(), freeBefore + 3 * 1024 + 1024);
  EXPECT_FALSE(IsDeletable(*dotdot));
}

TEST(DropGate, EachDragIsDecidedWhenItEnters) {
  TDropGate gate;
  // Our own drag: refused on entering, over, and dropping.
  EXPECT_EQ(gate.Enter(true, true, kDropCopy | kDropMove, 0), kDropNone);
  EXPECT_EQ(gate.Over(kDropCopy, 0), kDropNone);
  EXPECT_FALSE(gate.Drop());
  // A foreign drag with files: copy at once, move with Shift when allowed, and one drop.
  EXPECT_EQ(gate.Enter(false, true, kDropCopy | kDropMove, 0), kDropCopy);
  EXPECT_EQ(gate.Over(kDropCopy | kDropMove, kKeyShift), kDropMove);
  EXPECT_EQ(gate.Over(kDropCopy, kKeyShift), kDropCopy);
  EXPECT_EQ(gate.Over(kDropMove, 0), kDropNone);
  EXPECT_TRUE(gate.Drop());
  EXPECT_FALSE(gate.Drop());
  // A foreign drag that left does not make our own one droppable.
  gate.Enter(false, true, kDropCopy, 0);
  gate.Leave();
  EXPECT_EQ(gate.Enter(true, true, kDropCopy, 0), kDropNone);
  EXPECT_FALSE(gate.Drop());
  // Nothing usable offered.
  EXPECT_EQ(gate.Enter(false, false, kDropCopy, 0), kDropNone);
  EXPECT_FALSE(gate.Drop());
}

}  // namespace
