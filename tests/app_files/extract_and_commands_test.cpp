// Extraction plans and writes, make-directory names, the delete filter and the drop gate; renaming
// in place (the kept extension, refusals and the stored name bytes; the 8.3 names and the write
// are the disk model's); dragging entries out (when a press on the list becomes a drag, the
// collection order, directory cycles, whose chain rules are the disk model's, descriptors and
// contents).
// The file list: which entries are rows, their texts, the totals, date texts and sort orders.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "app/files/date_time_text.h"
#include "app/files/drag_out.h"
#include "app/files/drag_start.h"
#include "app/files/drop_gate.h"
#include "app/files/extract_plan.h"
#include "app/files/file_commands.h"
#include "app/files/file_rows.h"
#include "app/files/file_sort.h"
#include "app/files/host_fs.h"
#include "app/files/rename.h"
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
  EXPECT_EQ(ExtractPlanned(*disk, plan).Written, 2);
  EXPECT_EQ(ReadFile(target / "ONE.TXT"), Pattern(1500, 1));
  EXPECT_EQ(ReadFile(target / "TWO.BIN"), Pattern(7, 2));
  rtl::TFileStream written(target / "ONE.TXT", rtl::FileMode::OpenRead);
  EXPECT_EQ(clock_.UtcToLocal(written.GetLastWriteTime()),
            (rtl::TDateTime{2021, 7, 8, 9, 10, 12, 0}));
  // A file that cannot be written does not stop the others.
  const std::vector<TExtractItem> blocked = {{one, target / "missing" / "ONE"},
                                             {two, target / "X"}};
  const TExtractOutcome outcome = ExtractPlanned(*disk, blocked);
  EXPECT_EQ(outcome.Written, 1);
  ASSERT_EQ(outcome.Failed.size(), 1u);
  EXPECT_EQ(outcome.Failed[0].Target, target / "missing" / "ONE");
  EXPECT_FALSE(outcome.Failed[0].Reason.empty());
  EXPECT_EQ(ReadFile(target / "X"), Pattern(7, 2));
}

TEST_F(ExtractTest, EntriesThatComeToOneHostNameAreWrittenOnceAndTheOthersReported) {
  auto disk = NewDisk();
  disk::PDirEntry first = AddBytes(*disk, L"A_B.TXT", Pattern(9, 1));
  disk::PDirEntry starred = AddBytes(*disk, L"F1", Pattern(8, 2));
  files_test::SetRawName(*starred, "A*B     TXT");
  disk::PDirEntry lower = AddBytes(*disk, L"F2", Pattern(7, 3));
  files_test::SetRawName(*lower, "a_b     txt");
  disk::PDirEntry other = AddBytes(*disk, L"C.TXT", Pattern(6, 4));
  // Names that only a host folding accented letters (Windows) takes for one file.
  disk::PDirEntry acute = AddBytes(*disk, L"F3", Pattern(5, 5));
  files_test::SetRawName(*acute, "\xE9       TXT");
  disk::PDirEntry capital = AddBytes(*disk, L"F4", Pattern(4, 6));
  files_test::SetRawName(*capital, "\xC9       TXT");
  const TTempFolder temp;
  const std::vector<const disk::TDirEntry*> selected = {first, starred, lower,
                                                        other, acute,   capital};
  const TExtractOutcome outcome = ExtractPlanned(*disk, PlanExtraction(selected, temp.Path()));
  const std::filesystem::path accented = temp.Path() / HostPathPart(L"\u00E9.TXT");
  const bool oneAccentedFile =
      std::filesystem::equivalent(accented, temp.Path() / HostPathPart(L"\u00C9.TXT"));
  EXPECT_EQ(outcome.Written, oneAccentedFile ? 3 : 4);
  ASSERT_EQ(outcome.Failed.size(), oneAccentedFile ? 3u : 2u);
  EXPECT_EQ(outcome.Failed[0].Target, temp.Path() / "A_B.TXT");
  EXPECT_EQ(outcome.Failed[1].Target, temp.Path() / "a_b.txt");
  EXPECT_EQ(ReadFile(temp.Path() / "A_B.TXT"), Pattern(9, 1));
  EXPECT_EQ(ReadFile(temp.Path() / "C.TXT"), Pattern(6, 4));
  EXPECT_EQ(ReadFile(accented), Pattern(5, 5));
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
  const std::vector<std::uint8_t> whole = Pattern(700, 1);
  EXPECT_EQ(fs.ReadFile(folder / "b.bin", 100),
            std::vector<std::uint8_t>(whole.begin(), whole.begin() + 100));
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
  for (const auto& c : cases) {
    EXPECT_EQ(NewDirName(c.n), c.name);
    EXPECT_EQ(DirSuffix(c.n), std::string(c.name).substr(6));
  }
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

class RenameTest : public files_test::ClockTest {
 protected:
  void SetUp() override {
    ClockTest::SetUp();
    disk_ = NewDisk();
    files_test::AddBytes(*disk_, L"NOTES.TXT", {1});
    files_test::AddBytes(*disk_, L"PLAIN", {2});
    ASSERT_EQ(disk_->CreateSubDir("GAMES"), disk::DiskResult::Ok);
    files_test::AddBytes(*disk_, L"OTHER.TXT", {3});
    disk_->ResetModifiedState();
  }
  std::unique_ptr<disk::TMSXDisk> disk_;
};

std::string Stored(const TRenameTarget& target) {
  return std::string(target.Stored.begin(), target.Stored.end());
}

TEST_F(RenameTest, Decisions) {
  const struct {
    const char* entry;
    const wchar_t* typed;
    const char* stored;  // nullptr: refused
    RenameRefusal refusal;
    const wchar_t* rowName;
  } cases[] = {
      {"NOTES.TXT", L"readme", "README  TXT", {}, L"README"},
      {"NOTES.TXT", L"readme.doc", "README  DOC", {}, L"README"},
      {"NOTES.TXT", L"readme.", "README     ", {}, L"README"},
      {"NOTES.TXT", L"notes", "NOTES   TXT", {}, L"NOTES"},
      {"NOTES.TXT", L"Other.Txt", nullptr, RenameRefusal::NameTaken, nullptr},
      {"PLAIN", L"notes", "NOTES      ", {}, L"NOTES"},
      {"NOTES.TXT", L"   ", nullptr, RenameRefusal::EmptyName, nullptr},
      {"NOTES.TXT", L"..", nullptr, RenameRefusal::DotName, nullptr},
      // A first character 0xE5 in the code page: stored as 0x05, never as the deleted mark.
      {"NOTES.TXT", L"\u00E5ngstr\u00F6m", "\x05NGSTR\xF6MTXT", {}, L"\u00E5NGSTR\u00F6M"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.entry << " <- " << testing::PrintToString(std::wstring(c.typed)));
    const disk::TDirEntry* entry = disk_->Lookup(c.entry);
    ASSERT_NE(entry, nullptr);
    const TRenameDecision decision = DecideRename(*disk_, *entry, c.typed);
    if (!c.stored) {
      ASSERT_TRUE(std::holds_alternative<RenameRefusal>(decision));
      EXPECT_EQ(std::get<RenameRefusal>(decision), c.refusal);
      continue;
    }
    ASSERT_TRUE(std::holds_alternative<TRenameTarget>(decision));
    const auto& target = std::get<TRenameTarget>(decision);
    EXPECT_EQ(Stored(target), c.stored);
    EXPECT_EQ(target.RowName, c.rowName);
  }
}

TEST_F(RenameTest, DotEntriesAreNeverRenamed) {
  ASSERT_TRUE(disk_->ChangeDir("GAMES"));
  for (const char* name : {".", ".."}) {
    const disk::TDirEntry* entry = disk_->Lookup(name);
    ASSERT_NE(entry, nullptr);
    const TRenameDecision decision = DecideRename(*disk_, *entry, L"fine");
    ASSERT_TRUE(std::holds_alternative<RenameRefusal>(decision));
    EXPECT_EQ(std::get<RenameRefusal>(decision), RenameRefusal::DotEntry);
  }
}

std::vector<std::wstring> PathsOf(const TDragCollection& collection) {
  std::vector<std::wstring> paths;
  for (const auto& item : collection.Items) paths.push_back(item.FileName);
  return paths;
}

class DragOutTest : public files_test::ClockTest {
 protected:
  // Root: TOP.TXT, DIR1 (A.TXT, SUB (B.TXT, DEEP (C)), C.TXT), a label; the root is current.
  void SetUp() override {
    ClockTest::SetUp();
    disk_ = NewDisk();
    AddBytes(*disk_, L"TOP.TXT", Pattern(10, 1));
    ASSERT_EQ(disk_->CreateSubDir("DIR1"), disk::DiskResult::Ok);
    ASSERT_TRUE(disk_->ChangeDir("DIR1"));
    AddBytes(*disk_, L"A.TXT", Pattern(1500, 2));
    ASSERT_EQ(disk_->CreateSubDir("SUB"), disk::DiskResult::Ok);
    AddBytes(*disk_, L"C.TXT", Pattern(3, 3));
    ASSERT_TRUE(disk_->ChangeDir("SUB"));
    AddBytes(*disk_, L"B.TXT", Pattern(2049, 4));
    ASSERT_EQ(disk_->CreateSubDir("DEEP"), disk::DiskResult::Ok);
    ASSERT_TRUE(disk_->ChangeDir("DEEP"));
    AddBytes(*disk_, L"C", Pattern(0, 5));
    ASSERT_TRUE(disk_->ChangeDir("\\"));
    disk::PDirEntry label = disk_->GetDirEntry(2);
    label->Init(true);
    files_test::SetRawName(*label, "VOLUME     ");
    label->Attr = disk::faVolumeID;
    top_ = disk_->Lookup("TOP.TXT");
    dir1_ = disk_->Lookup("DIR1");
    label_ = label;
  }

  // The entry `name` inside the directory `path`, found through the model.
  disk::PDirEntry Entry(const std::string& path, const std::string& name) {
    EXPECT_TRUE(disk_->ChangeDir(path));
    disk::PDirEntry entry = disk_->Lookup(name);
    disk_->ChangeDir("\\");
    return entry;
  }

  TDragCollection CollectAll() {
    const std::vector<const disk::TDirEntry*> selected = {top_, dir1_, label_};
    return CollectDragEntries(*disk_, selected);
  }

  std::unique_ptr<disk::TMSXDisk> disk_;
  disk::PDirEntry top_ = nullptr;
  disk::PDirEntry dir1_ = nullptr;
  disk::PDirEntry label_ = nullptr;
};

TEST_F(DragOutTest, ADirectoryIsFollowedByItsChildrenThenTheirContentsDepthFirst) {
  const auto collection = CollectAll();
  EXPECT_EQ(
      PathsOf(collection),
      (std::vector<std::wstring>{L"TOP.TXT", L"DIR1", L"DIR1\\A.TXT", L"DIR1\\SUB", L"DIR1\\C.TXT",
                                 L"DIR1\\SUB\\B.TXT", L"DIR1\\SUB\\DEEP", L"DIR1\\SUB\\DEEP\\C"}));
  EXPECT_EQ(collection.Items[2].Dir, Entry("DIR1", "A.TXT"));
  EXPECT_EQ(disk_->Directory(), "\\");
}

TEST_F(DragOutTest, DamagedDirectoryChainsEndTheWalkWithBoundedOutput) {
  const std::int32_t dir1Cluster = dir1_->ClusterLow;
  const std::vector<std::wstring> dir1Only = {L"TOP.TXT", L"DIR1", L"DIR1\\A.TXT", L"DIR1\\SUB",
                                              L"DIR1\\C.TXT"};
  struct Case {
    const char* title;
    std::function<void(disk::TMSXDisk&)> damage;
    std::vector<std::wstring> expected;
  };
  const Case cases[] = {
      {"a subdirectory pointing back at its parent (a directory cycle)",
       [&](disk::TMSXDisk&) {
         Entry("DIR1", "SUB")->ClusterLow = static_cast<std::uint16_t>(dir1Cluster);
       },
       dir1Only},
      {"a directory pointing at its own cluster",
       [&](disk::TMSXDisk&) {
         disk::PDirEntry sub = Entry("DIR1", "SUB");
         Entry("DIR1\\SUB", "DEEP")->ClusterLow = sub->ClusterLow;
       },
       {L"TOP.TXT", L"DIR1", L"DIR1\\A.TXT", L"DIR1\\SUB", L"DIR1\\C.TXT", L"DIR1\\SUB\\B.TXT",
        L"DIR1\\SUB\\DEEP"}},
      {"a directory at a cluster past the disk",
       [&](disk::TMSXDisk&) { dir1_->ClusterLow = 4000; },
       {L"TOP.TXT", L"DIR1"}},
  };
  const std::vector<std::uint8_t> original(disk_->Buffer().begin(), disk_->Buffer().end());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title);
    std::copy(original.begin(), original.end(), disk_->Buffer().begin());
    c.damage(*disk_);
    EXPECT_EQ(PathsOf(CollectAll()), c.expected);
  }
}

TEST_F(DragOutTest, DescriptorsCarryMaskedAttributesUtcTimesAndSizes) {
  // Local 2024-03-05 13:45:30; the fake zone is two hours east of UTC.
  top_->ModifyDate.Value = (44 << 9) | (3 << 5) | 5;
  top_->ModifyTime.Value = (13 << 11) | (45 << 5) | 15;
  top_->CreateDate.Value = (40 << 9) | (1 << 5) | 2;
  top_->CreateTime.Value = (1 << 11);
  top_->AccessDate.Value = (44 << 9) | (3 << 5) | 6;
  top_->Attr = 0xE7;  // every bit but directory and label
  const auto collection = CollectAll();
  const auto descriptors = DescribeDragItems(collection.Items);
  ASSERT_EQ(descriptors.size(), collection.Items.size());
  const auto utc = [](rtl::TDateTime local) {
    return *rtl::FileTimeFromCivil(local) - files_test::TFakeClock::kDefaultOffset;
  };
  EXPECT_EQ(descriptors[0], (TFileDescriptor{kFdAllOffered, 0x27, utc({2020, 1, 2, 1, 0, 0, 0}),
                                             utc({2024, 3, 6, 0, 0, 0, 0}),
                                             utc({2024, 3, 5, 13, 45, 30, 0}), 10, L"TOP.TXT"}));
  EXPECT_EQ(descriptors[1].Attributes, 0x10u);
  EXPECT_EQ(descriptors[1].Name, L"DIR1");
  EXPECT_EQ(descriptors[5].Size, 2049u);
}

TEST_F(DragOutTest, ContentsByIndexOnlyForFilesInTheCollection) {
  const auto collection = CollectAll();
  EXPECT_EQ(DragContents(*disk_, collection, 0), Pattern(10, 1));
  EXPECT_EQ(DragContents(*disk_, collection, 5), Pattern(2049, 4));
  EXPECT_EQ(DragContents(*disk_, collection, 7), std::vector<std::uint8_t>{});
  for (const std::int64_t index :
       {std::int64_t{-1}, std::int64_t{1}, std::int64_t{8}, std::int64_t{1} << 40}) {
    EXPECT_FALSE(DragContents(*disk_, collection, index)) << index;
  }
}

TEST_F(DragOutTest, PathsTooLongForADescriptorAreLeftOutAndCounted) {
  // A chain of nested directories whose paths pass 259 units.
  ASSERT_TRUE(disk_->ChangeDir("DIR1"));
  for (int level = 10; level < 40; ++level) {
    const std::string name = "LEVEL" + std::to_string(level) + ".DIR";
    ASSERT_EQ(disk_->CreateSubDir(name), disk::DiskResult::Ok);
    ASSERT_TRUE(disk_->ChangeDir(name));
  }
  ASSERT_TRUE(disk_->ChangeDir("\\"));
  const auto collection = CollectAll();
  EXPECT_EQ(collection.SkippedLongPaths, 1u);
  for (const auto& item : collection.Items) EXPECT_LE(item.FileName.size(), kMaxDescriptorPath);
}

TEST_F(DragOutTest, DeepTreesWhosePathsFitAreOfferedWhole) {
  // Forty nested directories, as Make Dir builds them, with a file at the bottom.
  ASSERT_TRUE(disk_->ChangeDir("DIR1"));
  for (int level = 0; level < 40; ++level) {
    ASSERT_EQ(disk_->CreateSubDir("D"), disk::DiskResult::Ok);
    ASSERT_TRUE(disk_->ChangeDir("D"));
  }
  rtl::TMemoryStream bytes(Pattern(5, 9));
  ASSERT_NE(disk_->Add(L"END.TXT", bytes), nullptr);
  ASSERT_TRUE(disk_->ChangeDir("\\"));
  const auto collection = CollectAll();
  EXPECT_EQ(collection.SkippedLongPaths, 0u);
  std::wstring bottom = L"DIR1";
  for (int level = 0; level < 40; ++level) bottom += L"\\D";
  EXPECT_EQ(PathsOf(collection).back(), bottom + L"\\END.TXT");
}

struct TMove {
  int x;
  int y;
  bool held = true;
  bool selection = true;
};

TEST(DragStartTracker, StartsAtSixPixelsOnEitherAxisWhileHeldWithASelection) {
  const struct {
    const char* name;
    std::vector<TMove> moves;  // after a press at (100, 50)
    std::vector<bool> starts;
  } kCases[] = {
      {"five pixels is not enough", {{105, 50}, {95, 55}, {104, 46}}, {false, false, false}},
      {"six to the right", {{103, 50}, {106, 50}}, {false, true}},
      {"six up", {{100, 44}}, {true}},
      {"six to the left and down", {{94, 56}}, {true}},
      {"only once per press", {{110, 50}, {120, 50}}, {true, false}},
      {"no selection ends the press", {{101, 50, true, false}, {110, 50}}, {false, false}},
      {"a lost release ends the press", {{101, 50, false}, {110, 50}}, {false, false}},
  };
  for (const auto& c : kCases) {
    TDragStartTracker tracker;
    tracker.Press(100, 50);
    std::vector<bool> starts;
    for (const TMove& move : c.moves)
      starts.push_back(tracker.Move(move.x, move.y, move.held, move.selection));
    EXPECT_EQ(starts, c.starts) << c.name;
  }
}

TEST(DragStartTracker, MovesWithoutAPressOrAfterTheReleaseStartNothing) {
  TDragStartTracker tracker;
  EXPECT_FALSE(tracker.Move(50, 50, true, true));
  tracker.Press(0, 0);
  EXPECT_TRUE(tracker.Pressed());
  tracker.Release();
  EXPECT_FALSE(tracker.Pressed());
  EXPECT_FALSE(tracker.Move(50, 50, true, true));
}

class FileRowsTest : public files_test::ClockTest {};

TEST_F(FileRowsTest, RowTextsFollowTheEntryFields) {
  const struct {
    char raw[12];  // 11 name bytes
    std::uint8_t attr;
    std::uint32_t size;
    const wchar_t* name;
    const wchar_t* ext;
    const wchar_t* sizeText;
    const wchar_t* attrs;
  } cases[] = {
      {"README  TXT", 0x20, 1234, L"README", L"TXT", L"1234", L"-----a"},
      {"NOEXT      ", 0x01, 0, L"NOEXT", L"   ", L"0", L"r-----"},
      {"GAMES      ", 0x10, 0, L"GAMES", L"   ", L"<Dir>", L"----d-"},
      {"VOLUME  ID ", 0x08, 0, L"VOLUME", L"ID ", L"<Label>", L"---v--"},
      {"ODD     DIR", 0x18, 0, L"ODD", L"DIR", L"<Dir>", L"---vd-"},
      {"\x05LAND   TXT", 0x00, 1, L"\u00E5LAND", L"TXT", L"1", L"------"},
      {"HUGE    BIN", 0x27, 4294967295u, L"HUGE", L"BIN", L"4294967295", L"rhs--a"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.raw);
    disk::TDirEntry entry{};
    files_test::SetRawName(entry, c.raw);
    entry.Attr = c.attr;
    // 2024-03-05 13:45:30, and midnight for the entry without an attribute.
    entry.ModifyTime.Value = c.attr ? (13 << 11) | (45 << 5) | 15 : 0;
    entry.ModifyDate.Value = (44 << 9) | (3 << 5) | 5;
    entry.Size = c.size;
    const TFileRow row = MakeRow(entry, 3, TDateTimeFormat{});
    EXPECT_EQ(row.Entry, &entry);
    EXPECT_EQ(row.Slot, 3);
    EXPECT_EQ(row.Name, c.name);
    EXPECT_EQ(row.Ext, c.ext);
    EXPECT_EQ(row.Size, c.sizeText);
    EXPECT_EQ(row.DateTime, c.attr ? L"05/03/2024 13:45:30" : L"05/03/2024 00:00:00");
    EXPECT_EQ(row.Attrs, c.attrs);
  }
}

TEST_F(FileRowsTest, ListedEntriesAndTotals) {
  auto disk = NewDisk();
  files_test::AddBytes(*disk, L"ONE.TXT", files_test::Pattern(100));
  ASSERT_EQ(disk->CreateSubDir("SUB"), disk::DiskResult::Ok);
  files_test::AddBytes(*disk, L"TWO.BIN", files_test::Pattern(2000));
  files_test::AddBytes(*disk, L"GONE", files_test::Pattern(5));
  ASSERT_EQ(disk->Delete("GONE"), disk::DiskResult::Ok);
  // A long-name slot as other systems write it, and a label.
  disk::PDirEntry lfn = disk->GetDirEntry(3);
  files_test::SetRawName(*lfn, "Bl\0o\0n\0g\0\0\0");
  lfn->Attr = disk::faLongName;
  disk::PDirEntry label = disk->GetDirEntry(4);
  label->Init(true);
  files_test::SetRawName(*label, "MYDISK     ");
  label->Attr = disk::faVolumeID;

  TFileListing listing = ListCurrentDirectory(*disk, TDateTimeFormat{});
  std::vector<std::wstring> names;
  for (const auto& row : listing.Rows) names.push_back(row.Name);
  EXPECT_EQ(names, (std::vector<std::wstring>{L"ONE", L"SUB", L"TWO", L"MYDISK"}));
  EXPECT_EQ(TotalsText(listing), L"2100 bytes in 2 file(s)");

  ASSERT_TRUE(disk->ChangeDir("SUB"));
  listing = ListCurrentDirectory(*disk, TDateTimeFormat{});
  ASSERT_EQ(listing.Rows.size(), 1u);
  EXPECT_EQ(listing.Rows[0].Name, L"..");
  EXPECT_EQ(listing.Rows[0].Size, L"<Dir>");
  EXPECT_EQ(TotalsText(listing), L"0 bytes in 0 file(s)");
}

TEST(DateTimeText, PatternsOfTheLocale) {
  const rtl::TDateTime afternoon{2024, 3, 5, 13, 4, 9, 0};
  const rtl::TDateTime midnight{1999, 12, 31, 0, 0, 0, 0};
  TDateTimeFormat us;
  us.ShortDate = L"M/d/yyyy";
  us.LongTime = L"h:mm:ss tt";
  TDateTimeFormat quoted;
  quoted.ShortDate = L"ddd d MMM yy";
  quoted.LongTime = L"HH'h'mm ''s'' H";
  const struct {
    const TDateTimeFormat* format;
    const rtl::TDateTime* value;
    const wchar_t* text;
  } cases[] = {
      {&us, &afternoon, L"3/5/2024 1:04:09 PM"},
      {&us, &midnight, L"12/31/1999"},
      {&quoted, &afternoon, L"Tue 5 Mar 24 13h04 '9' 13"},
      {&quoted, &midnight, L"Fri 31 Dec 99"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DateTimeText(*c.value, *c.format), c.text);
  }
  EXPECT_EQ(FormatPattern(afternoon, L"dddd MMMM t", TDateTimeFormat{}), L"Tuesday March P");
}

TEST_F(FileRowsTest, EachColumnSortsAscendingAndStable) {
  auto disk = NewDisk();
  const struct {
    const wchar_t* name;
    std::size_t size;
    std::uint16_t date;
  } files[] = {
      {L"b.zz", 30, 0x5000}, {L"a.yy", 10, 0x5800}, {L"C.AA", 20, 0x4000}, {L"d", 20, 0x5800}};
  for (const auto& f : files) {
    disk::PDirEntry entry = files_test::AddBytes(*disk, f.name, files_test::Pattern(f.size));
    entry->ModifyDate.Value = f.date;
    entry->ModifyTime.Value = 0;
  }
  // 2044 and later set bit 31 of the packed date-time: still later, not negative.
  disk->Lookup("D")->ModifyDate.Value = 0xF821;
  const auto listing = ListCurrentDirectory(*disk, TDateTimeFormat{});
  const struct {
    std::int32_t mode;
    std::vector<std::wstring> order;
  } cases[] = {
      {-1, {L"B", L"A", L"C", L"D"}},          {colName, {L"A", L"B", L"C", L"D"}},
      {colExt, {L"D", L"C", L"A", L"B"}},      {colSize, {L"A", L"D", L"C", L"B"}},
      {colDateTime, {L"C", L"B", L"A", L"D"}}, {colAttrs, {L"D", L"C", L"A", L"B"}},
  };
  // Sorted from the reversed directory order, so equal rows show that they keep their order.
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    auto rows = listing.Rows;
    std::reverse(rows.begin(), rows.end());
    SortRows(rows, c.mode);
    std::vector<std::wstring> names;
    for (const auto& row : rows) names.push_back(row.Name);
    EXPECT_EQ(names, c.order);
  }
}

TEST(RetainIndex, ClampedToTheRows) {
  const struct {
    std::int32_t retain, rows, expected;
  } cases[] = {{-1, 5, -1}, {4, 5, 4}, {5, 5, 4}, {3, 0, -1}};
  for (const auto& c : cases) EXPECT_EQ(ClampRetainIndex(c.retain, c.rows), c.expected);
}

}  // namespace
