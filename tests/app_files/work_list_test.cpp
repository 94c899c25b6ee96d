// Dropped host paths -> work list: the byte budget, folder expansion, image files and bounds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/files/work_list.h"
#include "files_test_support.h"

namespace {

using app::files::PrepareWorkList;
using app::files::TWorkList;
using app::files::WorkKind;
using files_test::TFakeHostFs;

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

}  // namespace
