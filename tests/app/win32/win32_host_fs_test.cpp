// The program's host file system on Windows: folder listings as a dropped folder is expanded.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>

#include "../../rtl/temp_folder.h"
#include "app/win32/win32_host_fs.h"

namespace app {
namespace {

TEST(Win32HostFs, ListsTheVisibleEntriesSortedAndLeavesOutHiddenAndSystemOnes) {
  const TTempFolder temp;
  const std::filesystem::path& folder = temp.Path();
  std::filesystem::create_directories(folder / L"A folder");
  for (const wchar_t* name : {L"b.txt", L".dotted", L"hidden.txt", L"system.txt"})
    std::ofstream(folder / name) << "x";
  SetFileAttributesW((folder / L"hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
  SetFileAttributesW((folder / L"system.txt").c_str(), FILE_ATTRIBUTE_SYSTEM);

  // Where the host keeps no attributes, the marked files count as plain ones.
  std::vector<std::filesystem::path> expected{folder / L"A folder", folder / L"b.txt"};
  for (const wchar_t* name : {L"hidden.txt", L"system.txt"}) {
    const DWORD attributes = GetFileAttributesW((folder / name).c_str());
    if ((attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0)
      expected.push_back(folder / name);
  }
  EXPECT_EQ(TWin32HostFs().List(folder), expected);
  EXPECT_TRUE(TWin32HostFs().List(folder / L"missing").empty());
}

}  // namespace
}  // namespace app
