#include "skbar/sk_directories.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace skbar {
namespace {

TEST(SkDirectories, ListsSubFoldersOnly) {
  namespace fs = std::filesystem;
  const fs::path root = fs::temp_directory_path() / "skbar_directories_test";
  fs::remove_all(root);
  fs::create_directories(root / "Blue" / "Inner");
  fs::create_directories(root / "no.dot");
  std::ofstream(root / "Skin.ini") << "[Skin]\n";
  ui::TStringList list;
  EXPECT_TRUE(SkGetDirectories(root.wstring(), list));
  list.Sort();
  EXPECT_EQ(list.ToVector(), (std::vector<std::wstring>{L"Blue", L"no.dot"}));
  ui::TStringList none;
  EXPECT_FALSE(SkGetDirectories((root / "Blue" / "Inner").wstring(), none));
  EXPECT_FALSE(SkGetDirectories((root / "missing").wstring(), none));
  EXPECT_EQ(none.Count(), 0);
  fs::remove_all(root);
}

}  // namespace
}  // namespace skbar
