// The program's host file system on Windows: folder listings as a dropped folder is expanded.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>

#include "app/win32/win32_host_fs.h"

namespace app {
namespace {

TEST(Win32HostFs, ListsTheVisibleEntriesSortedAndLeavesOutHiddenAndSystemOnes) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() /
      (L"quollbox-hostfs-" + std::to_wstring(GetCurrentProcessId()));
  std::filesystem::remove_all(folder);
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

  for (const wchar_t* name : {L"hidden.txt", L"system.txt"})
    SetFileAttributesW((folder / name).c_str(), FILE_ATTRIBUTE_NORMAL);
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace app
