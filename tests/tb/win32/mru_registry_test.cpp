// The recent-file list's Windows parts: the registry forms of its settings functions and the
// file titles of its captions.
#include <gtest/gtest.h>

#include "tb/mru.h"
#include "ui/win32/registry_ini_file.h"

namespace tb {
namespace {

constexpr wchar_t kKey[] = L"Software\\Kelpfin\\QuollboxTests\\Mru";

TEST(TbMruRegistry, SavesAndLoadsThroughTheRegistry) {
  RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
  {
    ui::Owned<TTBMRUList> list = ui::New<TTBMRUList>();
    list->SetAddFullPath(false);
    list->Items()->Assign({L"C:\\a.dsk", L"C:\\b & c.dsk"});
    ui::TRegistryIniFile ini(HKEY_CURRENT_USER, kKey);
    list->SaveToRegIni(ini, L"Recent");
    EXPECT_EQ(ini.ReadString(L"Recent", L"MRU2", L""), L"C:\\b & c.dsk");
    EXPECT_FALSE(ini.ValueExists(L"Recent", L"MRU3"));
    ui::Owned<TTBMRUList> loaded = ui::New<TTBMRUList>();
    loaded->LoadFromRegIni(ini, L"Recent");
    EXPECT_EQ(loaded->Items()->ToVector(), list->Items()->ToVector());
    // The caption shows the file's title: no folder, the ampersand doubled.
    const std::wstring caption = loaded->Container()->Items(1)->Caption();
    EXPECT_TRUE(caption.starts_with(L"&2 b && c")) << caption;
  }
  RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
}

TEST(TbMruRegistry, AddExpandsANameAgainstTheCurrentDirectory) {
  wchar_t directory[MAX_PATH] = {};
  ASSERT_NE(GetCurrentDirectoryW(MAX_PATH, directory), 0u);
  std::wstring expected = directory;
  if (expected.back() != L'\\') expected += L'\\';
  expected += L"a.dsk";
  ui::Owned<TTBMRUList> list = ui::New<TTBMRUList>();
  list->Add(L"sub\\..\\a.dsk");
  EXPECT_EQ(list->Items()->Get(0), expected);
}

}  // namespace
}  // namespace tb
