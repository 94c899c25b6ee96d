// The classic folder picker, confirmed as soon as it shows: it answers the folder it started in.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <filesystem>
#include <string>

#include "gui_fixture.h"
#include "ui/win32/dialogs.h"

namespace {

// Confirms the picker once its tree has shown `expected` selected for a while (the tree goes on
// filling after it selects); cancels it after a minute at the latest (the tree fills slowly on a
// busy machine).
std::wstring expected;
DWORD deadline = 0;
DWORD selectedAt = 0;

BOOL CALLBACK FindPicker(HWND window, LPARAM found) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  if (std::wstring(name) != L"#32770" || !IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

std::wstring SelectedFolderName(HWND picker) {
  const HWND tree = FindWindowExW(picker, nullptr, WC_TREEVIEWW, nullptr);
  const HTREEITEM selected = tree ? TreeView_GetSelection(tree) : nullptr;
  if (!selected) return {};
  wchar_t text[MAX_PATH] = {};
  TVITEMW item{};
  item.mask = TVIF_TEXT;
  item.hItem = selected;
  item.pszText = text;
  item.cchTextMax = MAX_PATH;
  TreeView_GetItem(tree, &item);
  return text;
}

void CALLBACK AnswerPicker(HWND, UINT, UINT_PTR, DWORD) {
  HWND picker = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindPicker, reinterpret_cast<LPARAM>(&picker));
  if (!picker) return;
  if (GetTickCount() > deadline)
    PostMessageW(picker, WM_COMMAND, IDCANCEL, 0);
  else if (SelectedFolderName(picker) != expected)
    selectedAt = 0;
  else if (!selectedAt)
    selectedAt = GetTickCount();
  else if (GetTickCount() - selectedAt > 300)
    PostMessageW(picker, WM_COMMAND, IDOK, 0);
}

using SelectDirectoryTest = UiGuiTest;

TEST_F(SelectDirectoryTest, StartsInTheFolderItIsGiven) {
  // A folder right under the drive's root: on a busy machine Wine's tree sometimes stops
  // expanding a deep path part of the way down.
  const std::filesystem::path start =
      std::filesystem::path(L"C:\\") / (L"qb start " + std::to_wstring(GetCurrentProcessId()));
  std::filesystem::create_directories(start);
  struct Remove {
    const std::filesystem::path& path;
    ~Remove() {
      std::error_code ignored;
      std::filesystem::remove_all(path, ignored);
    }
  } remove{start};
  std::wstring chosen = start.wstring();
  expected = start.filename().wstring();
  selectedAt = 0;
  deadline = GetTickCount() + 60000;
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, AnswerPicker);
  const bool confirmed = ui::SelectDirectory(L"Select Folder", chosen);
  KillTimer(nullptr, timer);
  ASSERT_TRUE(confirmed);
  EXPECT_TRUE(std::filesystem::equivalent(chosen, start)) << chosen;
}

}  // namespace
