// Drops: host paths to a work list (the byte budget, folder expansion, image files and bounds),
// work lists carried out on an image (folders by 8.3 names, repeated drops, the stop rules and the
// current directory), and foreign drop data (descriptor blocks parsed with their bounds checked,
// the plan built from them, contents checked against the declared sizes, the result on the image).
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/files/file_descriptor.h"
#include "app/files/process_work_list.h"
#include "app/files/virtual_drop.h"
#include "app/files/work_list.h"
#include "files_test_support.h"

namespace {

using app::files::PrepareWorkList;
using app::files::ProcessWorkList;
using app::files::TWorkList;
using app::files::WorkKind;
using disk::DiskResult;
using files_test::DirNames;
using files_test::ExtractBytes;
using files_test::NewDisk;
using files_test::TFakeHostFs;
using Names = std::vector<std::string>;
using namespace app::files;

std::vector<std::filesystem::path> Paths(std::initializer_list<const char*> names) {
  return {names.begin(), names.end()};
}

// "+path" enter, "path" add, "-" leave.
std::vector<std::string> Describe(const TWorkList& items) {
  std::vector<std::string> lines;
  for (const auto& item : items)
    lines.push_back(item.Kind == WorkKind::LeaveFolder   ? "-"
                    : item.Kind == WorkKind::EnterFolder ? "+" + item.Path.generic_string()
                                                         : item.Path.generic_string());
  return lines;
}

struct BudgetCase {
  const char* title;
  std::vector<std::size_t> sizes;
  std::int64_t budget;
  std::vector<std::string> taken;
};

TEST(WorkListBudget, FilesAreTakenWhileTheirExactSizesFit) {
  const BudgetCase cases[] = {
      {"a file that does not fit is skipped, later ones still tried",
       {1000, 1500, 900},
       2048,
       {"/d/f0", "/d/f2"}},
      {"exact bytes, not clusters: three 1-byte files in one cluster",
       {1, 1, 1},
       1024,
       {"/d/f0", "/d/f1", "/d/f2"}},
      {"a file of exactly the budget fits", {2048}, 2048, {"/d/f0"}},
      {"one byte over does not", {2049, 10}, 2048, {"/d/f1"}},
      {"empty files always fit", {0, 0}, 0, {"/d/f0", "/d/f1"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title);
    TFakeHostFs fs;
    fs.Folder("/d");
    std::vector<std::filesystem::path> dropped;
    for (std::size_t i = 0; i < c.sizes.size(); ++i) {
      const std::string path = "/d/f" + std::to_string(i);
      fs.File(path, c.sizes[i]);
      dropped.emplace_back(path);
    }
    const auto plan = PrepareWorkList(dropped, c.budget, fs);
    EXPECT_FALSE(plan.OpenImage);
    EXPECT_EQ(Describe(plan.Items), c.taken);
  }
}

TEST(WorkListBudget, FoldersCostNothingAndShareTheBudgetWithTheirFiles) {
  TFakeHostFs fs;
  fs.Folder("/a");
  fs.File("/a/big", 1500);
  fs.Folder("/a/empty");
  fs.File("/a/small", 500);
  fs.File("/top", 100);
  const auto plan = PrepareWorkList(Paths({"/a", "/top"}), 2000, fs);
  EXPECT_EQ(Describe(plan.Items),
            (std::vector<std::string>{"+/a", "/a/big", "+/a/empty", "-", "/a/small", "-"}));
}

TEST(WorkList, NestedFoldersExpandDepthFirstAndMissingPathsAreDropped) {
  TFakeHostFs fs;
  fs.Folder("/drop");
  fs.File("/drop/one.txt", 10);
  fs.Folder("/drop/sub");
  fs.File("/drop/sub/two.bin", 20);
  fs.Folder("/drop/sub/deeper");
  fs.File("/drop/sub/deeper/three", 30);
  fs.File("/drop/last", 40);
  fs.File("/loose", 5);
  const auto plan = PrepareWorkList(Paths({"/gone", "/drop", "/loose"}), 100000, fs);
  EXPECT_EQ(Describe(plan.Items),
            (std::vector<std::string>{"+/drop", "/drop/last", "/drop/one.txt", "+/drop/sub",
                                      "+/drop/sub/deeper", "/drop/sub/deeper/three", "-",
                                      "/drop/sub/two.bin", "-", "-", "/loose"}));
}

TEST(WorkList, AnImageFileAmongTheDropIsOpenedInsteadOfAdding) {
  TFakeHostFs fs;
  fs.File("/a.txt", 10);
  fs.File("/games.Hfe", 10);
  fs.File("/work.dsk", 10);
  const auto plan = PrepareWorkList(Paths({"/a.txt", "/games.Hfe", "/work.dsk"}), 100000, fs);
  ASSERT_TRUE(plan.OpenImage);
  EXPECT_EQ(plan.OpenImage->generic_string(), "/games.Hfe");
  EXPECT_TRUE(plan.Items.empty());

  const struct {
    const char* name;
    bool image;
  } names[] = {{"x.DSK", true}, {"x.hfe", true},  {"x.dsk.txt", false},
               {"dsk", false},  {"x.xsa", false}, {"x.DS", false}};
  for (const auto& n : names) EXPECT_EQ(app::files::IsImageFileName(n.name), n.image) << n.name;
}

TEST(WorkList, DeepAndWideTreesStopAtTheDepthAndSizeBoundsAndStayBalanced) {
  TFakeHostFs deep;
  std::string path = "/d";
  for (int level = 0; level < 40; ++level) path += "/d";
  deep.File(path + "/f", 1);
  TFakeHostFs wide;
  for (std::size_t i = 0; i < app::files::kMaxWorkItems; ++i)
    wide.File("/d/sub/f" + std::to_string(i), 0);
  for (const TFakeHostFs* fs : {&deep, &wide}) {
    const auto plan = PrepareWorkList(Paths({"/d"}), 1 << 20, *fs);
    ASSERT_LE(plan.Items.size(), app::files::kMaxWorkItems);
    int depth = 0;
    int deepest = 0;
    for (const auto& item : plan.Items) {
      if (item.Kind == WorkKind::EnterFolder) deepest = std::max(deepest, ++depth);
      if (item.Kind == WorkKind::LeaveFolder) {
        ASSERT_GE(--depth, 0);
      }
    }
    EXPECT_EQ(depth, 0);
    EXPECT_EQ(deepest, fs == &deep ? app::files::kMaxFolderDepth : 2);
    if (fs == &wide) {
      EXPECT_EQ(plan.Items.size(), app::files::kMaxWorkItems);
    }
  }
}

class ProcessWorkListTest : public files_test::ClockTest {
 protected:
  app::files::TWorkResult Drop(disk::TMSXDisk& disk, std::vector<std::filesystem::path> paths) {
    const auto plan = PrepareWorkList(paths, disk.DiskFree(), fs_);
    return ProcessWorkList(disk, plan.Items, fs_);
  }
  TFakeHostFs fs_;
};

TEST_F(ProcessWorkListTest, ALongFolderNameDroppedTwiceGivesOneDirectoryWithItsFiles) {
  fs_.Folder("/host");
  fs_.Folder("/host/MyLongFolderName");
  fs_.File("/host/MyLongFolderName/readme.txt", 700);
  fs_.Folder("/host/MyLongFolderName/Second Level");
  fs_.File("/host/MyLongFolderName/Second Level/data.bin", 3000);
  fs_.File("/host/after.txt", 10);
  auto disk = NewDisk();
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    const auto result = Drop(*disk, {"/host/MyLongFolderName", "/host/after.txt"});
    EXPECT_EQ(result.Stop, DiskResult::Ok);
    EXPECT_EQ(result.FilesAdded, 3);
    EXPECT_EQ(result.FoldersMade, round == 0 ? 2 : 0);
    EXPECT_EQ(disk->Directory(), "\\");
    EXPECT_EQ(DirNames(*disk), (Names{"MYLONGFO\\", "AFTER.TXT"}));
    ASSERT_TRUE(disk->ChangeDir("MYLONGFO"));
    EXPECT_EQ(DirNames(*disk), (Names{"SECOND_L\\", "README.TXT"}));
    EXPECT_EQ(ExtractBytes(*disk, "README.TXT"), fs_.Bytes("/host/MyLongFolderName/readme.txt"));
    ASSERT_TRUE(disk->ChangeDir("SECOND_L"));
    EXPECT_EQ(DirNames(*disk), (Names{"DATA.BIN"}));
    EXPECT_EQ(ExtractBytes(*disk, "DATA.BIN"),
              fs_.Bytes("/host/MyLongFolderName/Second Level/data.bin"));
    ASSERT_TRUE(disk->ChangeDir("\\"));
  }
}

TEST_F(ProcessWorkListTest, TheCurrentDirectoryAtTheEndIsTheOneAtTheStart) {
  fs_.Folder("/t");
  fs_.Folder("/t/inner");
  fs_.File("/t/inner/x", 10);
  auto disk = NewDisk();
  ASSERT_EQ(disk->CreateSubDir("START"), DiskResult::Ok);
  ASSERT_TRUE(disk->ChangeDir("START"));
  Drop(*disk, {"/t"});
  EXPECT_EQ(disk->Directory(), "\\START\\");
  EXPECT_EQ(DirNames(*disk), (Names{"T\\"}));
  ASSERT_TRUE(disk->ChangeDir("T\\INNER"));
  EXPECT_EQ(DirNames(*disk), (Names{"X"}));
}

// Host names the image cannot take as they are: the line is skipped (a folder with its contents),
// the entry already there is kept, and the run goes on.
TEST_F(ProcessWorkListTest, NamesHeldByTheOtherKindOrShortenedToDotEntriesAreSkipped) {
  fs_.File("/h/notes/inside.txt", 10);
  fs_.File("/h/games", 50);
  fs_.File("/h/a:..", 5);
  fs_.File("/h/b:.", 5);
  fs_.File("/h/z.txt", 10);
  auto disk = NewDisk();
  files_test::AddBytes(*disk, L"NOTES", {1, 2, 3});
  ASSERT_EQ(disk->CreateSubDir("GAMES"), DiskResult::Ok);
  const auto result = Drop(*disk, {"/h/notes", "/h/games", "/h/a:..", "/h/b:.", "/h/z.txt"});
  EXPECT_EQ(result.FoldersSkipped, 1);
  EXPECT_EQ(result.FilesSkipped, 3);
  EXPECT_EQ(result.FilesAdded, 1);
  EXPECT_EQ(DirNames(*disk), (Names{"NOTES", "GAMES\\", "Z.TXT"}));
  EXPECT_EQ(ExtractBytes(*disk, "NOTES"), (std::vector<std::uint8_t>{1, 2, 3}));

  // The same names among dropped virtual files.
  std::vector<app::files::TVirtualItem> items(3);
  items[0].Name = L"a:..";
  items[1].Name = L"b:.";
  items[2].Name = L"games";
  const auto dropped = app::files::ProcessVirtualDrop(*disk, items, [](std::size_t) {
    return std::make_unique<rtl::TMemoryStream>(std::vector<std::uint8_t>{1});
  });
  EXPECT_EQ(dropped.FilesSkipped, 3);
  EXPECT_EQ(DirNames(*disk), (Names{"NOTES", "GAMES\\", "Z.TXT"}));
}

TEST_F(ProcessWorkListTest, AnExistingFileIsReplacedAndStampedWithTheHostTimeAsLocalTime) {
  fs_.File("/a.bin", 2000);
  auto disk = NewDisk();
  files_test::AddBytes(*disk, L"A.BIN", std::vector<std::uint8_t>(5000, 7));
  Drop(*disk, {"/a.bin"});
  EXPECT_EQ(DirNames(*disk), (Names{"A.BIN"}));
  EXPECT_EQ(ExtractBytes(*disk, "A.BIN"), fs_.Bytes("/a.bin"));
  const disk::TDirEntry* entry = disk->Lookup("A.BIN");
  const rtl::TDateTime local =
      rtl::CivilFromFileTime(TFakeHostFs::kWriteTime + clock_.kDefaultOffset);
  EXPECT_EQ(entry->GetDateTime().Hour, local.Hour);
  EXPECT_EQ(entry->GetDateTime().Day, local.Day);
}

TEST_F(ProcessWorkListTest, UnreadableFilesAreSkippedAndTheRunGoesOn) {
  fs_.Folder("/d");
  fs_.File("/d/locked", files_test::Pattern(10), true);
  fs_.File("/d/fine", 10);
  auto disk = NewDisk();
  const auto result = Drop(*disk, {"/d"});
  EXPECT_EQ(result.FilesSkipped, 1);
  EXPECT_EQ(result.FilesAdded, 1);
  EXPECT_EQ(disk->Directory(), "\\");
  ASSERT_TRUE(disk->ChangeDir("D"));
  EXPECT_EQ(DirNames(*disk), (Names{"FINE"}));
}

TEST_F(ProcessWorkListTest, AFullRootStopsTheRunAtTheFirstFileWithoutASlot) {
  auto disk = NewDisk();
  for (int i = 0; i < 110; ++i) files_test::AddBytes(*disk, L"F" + std::to_wstring(i), {});
  std::vector<std::filesystem::path> files;
  for (const char* name : {"/n1", "/n2", "/n3", "/n4"}) {
    fs_.File(name, 1);
    files.emplace_back(name);
  }
  // The third file finds no slot; the fourth is not tried, so its host failure never shows.
  fs_.File("/n4", files_test::Pattern(1), true);
  const auto result = ProcessWorkList(*disk, app::files::FilesToWorkList(files), fs_);
  EXPECT_EQ(result.Stop, DiskResult::DirFull);
  EXPECT_EQ(result.FilesAdded, 2);
  EXPECT_EQ(result.FilesSkipped, 1);
}

TEST_F(ProcessWorkListTest, DiskFullStopsOnlyWhenNoFreeByteIsLeftAndTheRunStaysWhereItStopped) {
  auto disk = NewDisk(false);
  const std::int32_t free = disk->DiskFree();
  fs_.File("/huge", static_cast<std::size_t>(free) + 1);
  fs_.File("/fits", static_cast<std::size_t>(free) - 1024);
  fs_.File("/d/never", 1);
  // The dialog's road has no budget: the model refuses what does not fit. The folder takes the
  // last cluster, so the run stops inside it.
  app::files::TWorkList list =
      app::files::FilesToWorkList(std::vector<std::filesystem::path>{"/huge", "/fits"});
  list.push_back({"/d", app::files::WorkKind::EnterFolder});
  list.push_back({"/d/never", app::files::WorkKind::AddFile});
  list.push_back({{}, app::files::WorkKind::LeaveFolder});
  list.push_back({"/huge", app::files::WorkKind::AddFile});
  const auto result = ProcessWorkList(*disk, list, fs_);
  EXPECT_EQ(result.FilesAdded, 1);
  EXPECT_EQ(result.FilesSkipped, 2);
  EXPECT_EQ(result.Stop, DiskResult::DiskFull);
  EXPECT_EQ(disk->Directory(), "\\D\\");
  ASSERT_TRUE(disk->ChangeDir("\\"));
  EXPECT_EQ(DirNames(*disk), (Names{"FITS", "D\\"}));
}

TEST_F(ProcessWorkListTest, NoDirectorySlotForAFolderStopsTheRunInThePlaceItStarted) {
  auto disk = NewDisk();
  for (int i = 0; i < 112; ++i) files_test::AddBytes(*disk, L"F" + std::to_wstring(i), {});
  fs_.Folder("/new");
  fs_.File("/new/x", 1);
  const auto result = Drop(*disk, {"/new"});
  EXPECT_EQ(result.Stop, DiskResult::DirFull);
  EXPECT_EQ(result.FoldersMade, 0);
  EXPECT_EQ(disk->Directory(), "\\");
}

TFileDescriptor Describe(std::wstring name, std::uint64_t size, bool folder = false) {
  TFileDescriptor d;
  d.Name = std::move(name);
  d.Size = size;
  d.Attributes = folder ? kHostDirectory : 0x20;
  return d;
}

std::uint32_t Read32(const std::vector<std::uint8_t>& block, std::size_t at) {
  return block[at] | (block[at + 1] << 8) | (block[at + 2] << 16) |
         (static_cast<std::uint32_t>(block[at + 3]) << 24);
}

TEST(FileGroupDescriptor, RecordsSitAtTheirFixedOffsets) {
  TFileDescriptor d = Describe(L"DIR\\A.TXT", 0x1'2345'6789ull);
  d.Flags = kFdAllOffered;
  d.CreationTime = 0x1111'2222'3333'4444ull;
  d.LastAccessTime = 0x5555'6666'7777'8888ull;
  d.LastWriteTime = 0x0102'0304'0506'0708ull;
  const std::vector<TFileDescriptor> two = {Describe(L"X", 1), d};
  const auto block = EncodeFileGroupDescriptor(two);
  ASSERT_EQ(block.size(), 4u + 2 * 592);
  EXPECT_EQ(Read32(block, 0), 2u);
  const std::size_t r = 4 + 592;
  const std::pair<std::size_t, std::uint32_t> fields[] = {
      {0, 0x7C},        {36, 0x20},       {40, 0x33334444}, {44, 0x11112222}, {48, 0x77778888},
      {56, 0x05060708}, {60, 0x01020304}, {64, 1},          {68, 0x23456789}};
  for (const auto& [at, value] : fields) EXPECT_EQ(Read32(block, r + at), value) << at;
  EXPECT_EQ(block[r + 72], 'D');
  EXPECT_EQ(block[r + 73], 0);
  EXPECT_EQ(block[r + 72 + 2 * 3], '\\');
  EXPECT_EQ(block[r + 72 + 2 * 9], 0);  // terminator
  // Bytes between the fields stay zero.
  for (std::size_t at = r + 4; at < r + 36; ++at) EXPECT_EQ(block[at], 0) << at;

  const auto parsed = ParseFileGroupDescriptor(block);
  ASSERT_EQ(parsed.Items.size(), 2u);
  EXPECT_EQ(parsed.Rejected, 0u);
  EXPECT_EQ(parsed.Items[1].Index, 1u);
  EXPECT_EQ(parsed.Items[1].Descriptor, d);
}

TEST(FileGroupDescriptor, NamesLongerThanTheFieldAreCutToKeepTheTerminator) {
  const std::vector<TFileDescriptor> one = {Describe(std::wstring(400, L'a'), 1)};
  const auto parsed = ParseFileGroupDescriptor(EncodeFileGroupDescriptor(one));
  ASSERT_EQ(parsed.Items.size(), 1u);
  EXPECT_EQ(parsed.Items[0].Descriptor.Name.size(), kMaxDescriptorPath);
}

TEST(FileGroupDescriptor, ForeignBlocksAreBoundedByTheirSizeAndTerminators) {
  const std::vector<TFileDescriptor> three = {Describe(L"a", 1), Describe(L"b", 2),
                                              Describe(L"c", 3)};
  const auto good = EncodeFileGroupDescriptor(three);
  struct Case {
    const char* title;
    std::vector<std::uint8_t> block;
    std::vector<std::size_t> indexes;
    std::size_t rejected;
  };
  std::vector<Case> cases;
  cases.push_back({"empty block", {}, {}, 0});
  cases.push_back({"count only", {1, 0}, {}, 0});
  auto huge = good;
  huge[0] = huge[1] = huge[2] = huge[3] = 0xFF;
  cases.push_back({"count far beyond the block", huge, {0, 1, 2}, 0xFFFFFFFFu - 3});
  auto cut = good;
  cut.resize(4 + 592 * 2 + 100);
  cases.push_back({"last record cut short", cut, {0, 1}, 1});
  auto unterminated = good;
  for (std::size_t at = 4 + 592 + 72; at < 4 + 2 * 592; ++at) unterminated[at] = 'x';
  cases.push_back({"a name without terminator", unterminated, {0, 2}, 1});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title);
    const auto parsed = ParseFileGroupDescriptor(c.block);
    std::vector<std::size_t> indexes;
    for (const auto& item : parsed.Items) indexes.push_back(item.Index);
    EXPECT_EQ(indexes, c.indexes);
    EXPECT_EQ(parsed.Rejected, c.rejected);
  }
}

TEST(VirtualDropPlan, PathsAreSplitAndClimbingOrEmptyOnesLeftOut) {
  std::vector<TIndexedDescriptor> input;
  const auto add = [&](std::wstring name, std::uint32_t flags, std::uint32_t attributes) {
    TFileDescriptor d = Describe(std::move(name), 5);
    d.Flags = flags;
    d.Attributes = attributes;
    input.push_back({input.size(), d});
  };
  add(L"top\\sub/file.txt", kFdAllOffered, 0);
  add(L"..\\evil.txt", kFdAllOffered, 0);
  add(L"a\\..\\b", kFdAllOffered, 0);
  add(L"\\\\.\\", kFdAllOffered, 0);
  add(L"folder\\", kFdAllOffered, kHostDirectory);
  add(L"nosize", kFdAttributes, 0);
  add(L"dirbit-without-flag", 0, kHostDirectory);
  std::wstring deep;
  for (int i = 0; i < 40; ++i) deep += L"d\\";
  add(deep + L"f", kFdAllOffered, 0);

  const auto plan = PlanVirtualDrop(input);
  ASSERT_EQ(plan.size(), 4u);
  EXPECT_EQ(plan[0].Folders, (std::vector<std::wstring>{L"top", L"sub"}));
  EXPECT_EQ(plan[0].Name, L"file.txt");
  EXPECT_EQ(plan[0].Size, 5u);
  EXPECT_TRUE(plan[0].WriteTime);
  EXPECT_TRUE(plan[1].IsFolder);
  EXPECT_EQ(plan[1].Name, L"folder");
  EXPECT_EQ(plan[2].Index, 5u);
  EXPECT_FALSE(plan[2].Size);
  EXPECT_FALSE(plan[2].WriteTime);
  EXPECT_FALSE(plan[3].IsFolder);
}

TEST(VirtualDropContents, DeclaredSizesAreCheckedAgainstWhatTheStreamDelivers) {
  struct Case {
    const char* title;
    std::size_t delivered;
    std::optional<std::uint64_t> declared;
    std::uint64_t capacity;
    std::optional<std::size_t> taken;
  };
  const Case cases[] = {
      {"stream longer than declared: the declared part", 300, 100, 1024, 100},
      {"stream shorter than declared", 50, 100, 1024, std::nullopt},
      {"declared beyond capacity", 10, 5000, 1024, std::nullopt},
      {"no size: the whole stream", 700, std::nullopt, 1024, 700},
      {"no size, exactly the capacity", 1024, std::nullopt, 1024, 1024},
      {"no size, one byte too many", 1025, std::nullopt, 1024, std::nullopt},
      {"empty", 0, 0, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title);
    const auto source = files_test::Pattern(c.delivered);
    rtl::TMemoryStream stream(source);
    const auto bytes = ReadDropContents(stream, c.declared, c.capacity);
    ASSERT_EQ(bytes.has_value(), c.taken.has_value());
    if (bytes) {
      EXPECT_EQ(*bytes, std::vector<std::uint8_t>(source.begin(), source.begin() + *c.taken));
    }
  }
}

class VirtualDropTest : public files_test::ClockTest {};

TEST_F(VirtualDropTest, FoldersAndFilesLandUnderTheirShortNamesWithoutDuplicates) {
  std::map<std::size_t, std::vector<std::uint8_t>> streams = {{1, files_test::Pattern(1500, 1)},
                                                              {2, files_test::Pattern(10, 2)},
                                                              {4, files_test::Pattern(99999, 4)},
                                                              {5, files_test::Pattern(8, 5)}};
  std::vector<TFileDescriptor> descriptors = {Describe(L"Documents", 0, true),
                                              Describe(L"Documents\\letter.txt", 1500),
                                              Describe(L"Documents\\Long Sub\\x.bin", 10),
                                              Describe(L"Documents\\missing", 3),
                                              Describe(L"toolarge.bin", 99999),
                                              Describe(L"Documents", 8)};
  descriptors[3].Flags = kFdAllOffered;
  descriptors[5].Flags = kFdAllOffered;
  const TContentsSource source = [&](std::size_t index) -> std::unique_ptr<rtl::TStream> {
    const auto it = streams.find(index);
    if (it == streams.end()) return nullptr;
    return std::make_unique<rtl::TMemoryStream>(it->second);
  };
  auto disk = NewDisk(false);
  // Fill the disk so that the 99,999-byte file cannot fit.
  files_test::AddBytes(*disk, L"FILLER", std::vector<std::uint8_t>(300 * 1024, 1));
  const auto block = EncodeFileGroupDescriptor(descriptors);
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    const auto plan = PlanVirtualDrop(ParseFileGroupDescriptor(block).Items);
    const TWorkResult result = ProcessVirtualDrop(*disk, plan, source);
    EXPECT_EQ(result.FilesAdded, 2);
    // The missing stream, the file too large and the file named like the directory.
    EXPECT_EQ(result.FilesSkipped, 3);
    EXPECT_EQ(result.FoldersMade, round == 0 ? 2 : 0);
    EXPECT_EQ(disk->Directory(), "\\");
    EXPECT_EQ(DirNames(*disk), (Names{"FILLER", "DOCUMENT\\"}));
    ASSERT_TRUE(disk->ChangeDir("DOCUMENT"));
    EXPECT_EQ(DirNames(*disk), (Names{"LETTER.TXT", "LONG_SUB\\"}));
    EXPECT_EQ(ExtractBytes(*disk, "LETTER.TXT"), streams[1]);
    ASSERT_TRUE(disk->ChangeDir("LONG_SUB"));
    EXPECT_EQ(ExtractBytes(*disk, "X.BIN"), streams[2]);
    ASSERT_TRUE(disk->ChangeDir("\\"));
  }
}

// A file that replaces one on a nearly full disk may use the clusters the old one frees.
TEST_F(VirtualDropTest, AReplacedFileMayUseTheSpaceItFrees) {
  auto disk = NewDisk(false);
  files_test::AddBytes(*disk, L"OLD.BIN", files_test::Pattern(3000, 1));
  files_test::AddBytes(*disk, L"FILL", files_test::Pattern(disk->DiskFree() - 1024, 2));
  TVirtualItem item;
  item.Name = L"old.bin";
  item.Size = 3500;
  const auto bytes = files_test::Pattern(3500, 3);
  const auto result = ProcessVirtualDrop(*disk, std::vector<TVirtualItem>{item}, [&](std::size_t) {
    return std::make_unique<rtl::TMemoryStream>(bytes);
  });
  EXPECT_EQ(result.FilesAdded, 1);
  EXPECT_EQ(ExtractBytes(*disk, "OLD.BIN"), bytes);
}

}  // namespace
