#include "ui/win32/registry_ini_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "../../rtl/temp_folder.h"
#include "../awkward_ini_values.h"
#include "ui/ini_file.h"

namespace {

class UiRegistry : public ::testing::Test {
 protected:
  ~UiRegistry() override { RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str()); }
  const std::wstring path_ =
      L"Software\\Kelpfin\\QuollboxTest" + std::to_wstring(GetCurrentProcessId());
};

TEST_F(UiRegistry, SectionsAreSubkeysAndValuesAreText) {
  {
    ui::TRegistryIniFile ini(HKEY_CURRENT_USER, path_);
    EXPECT_TRUE(ini.ReadSections().empty());
    EXPECT_EQ(ini.ReadString(L"TMainForm", L"BootCode", L"1"), L"1");
    EXPECT_FALSE(ini.SectionExists(L"TMainForm"));  // reading creates nothing
    ini.WriteString(L"TMainForm", L"FormVersion", L"0");
    ini.WriteInteger(L"TMainForm", L"BootCode", 2);
    ini.WriteString(L"TMainForm", L"RemovableDrive", L"E:\\");
    ini.WriteString(L"TMainForm.MRUList_Items", L"Count", L"1");
  }
  const ui::TRegistryIniFile ini(HKEY_CURRENT_USER, path_);
  EXPECT_EQ(ini.ReadSections(),
            (std::vector<std::wstring>{L"TMainForm", L"TMainForm.MRUList_Items"}));
  std::vector<std::wstring> names = ini.ReadSection(L"TMainForm");
  std::sort(names.begin(), names.end());  // the registry keeps no order
  EXPECT_EQ(names, (std::vector<std::wstring>{L"BootCode", L"FormVersion", L"RemovableDrive"}));
  EXPECT_EQ(ini.ReadInteger(L"tmainform", L"bootcode", 1), 2);
  // Every value is REG_SZ.
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, (path_ + L"\\TMainForm").c_str(), 0,
                          KEY_READ | KEY_WRITE, &key),
            ERROR_SUCCESS);
  DWORD type = 0;
  RegQueryValueExW(key, L"BootCode", nullptr, &type, nullptr, nullptr);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  // A value of another type reads as missing.
  const DWORD number = 7;
  RegSetValueExW(key, L"Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                 sizeof number);
  RegCloseKey(key);
  EXPECT_EQ(ini.ReadInteger(L"TMainForm", L"Number", -1), -1);
  EXPECT_FALSE(ini.ValueExists(L"TMainForm", L"Number"));
}

TEST_F(UiRegistry, EraseAndDeleteAndReadOnly) {
  ui::TRegistryIniFile ini(HKEY_CURRENT_USER, path_);
  ini.WriteString(L"A", L"x", L"1");
  ini.WriteString(L"A", L"y", L"2");
  ini.WriteString(L"A.Sub", L"Count", L"0");
  ini.DeleteKey(L"A", L"x");
  EXPECT_EQ(ini.ReadSection(L"A"), (std::vector<std::wstring>{L"y"}));
  ini.EraseSection(L"A.Sub");
  EXPECT_FALSE(ini.SectionExists(L"A.Sub"));
  EXPECT_TRUE(ini.SectionExists(L"A"));
  ui::TRegistryIniFile readOnly(HKEY_CURRENT_USER, path_, true);
  EXPECT_EQ(readOnly.ReadString(L"A", L"y", L""), L"2");
  EXPECT_ANY_THROW(readOnly.WriteString(L"A", L"z", L"3"));
  const ui::TRegistryIniFile missing(HKEY_CURRENT_USER, path_ + L"\\Nowhere", true);
  EXPECT_EQ(missing.ReadString(L"A", L"y", L"default"), L"default");
  HKEY probe = nullptr;
  EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, (path_ + L"\\Nowhere").c_str(), 0, KEY_READ, &probe),
            ERROR_SUCCESS);
}

// The profile functions, an independent reader, see in our INI file what we wrote.
TEST(UiIniFile, TheProfileFunctionsReadEveryValueBackAsWritten) {
  TTempFolder folder;
  const std::wstring path = (folder / "settings.ini").wstring();
  for (const std::wstring_view value : ui::test::kAwkwardIniValues) {
    ui::TIniFile(path).WriteString(L"S", L"v", std::wstring(value));
    wchar_t buffer[64] = {};
    GetPrivateProfileStringW(L"S", L"v", L"(missing)", buffer, 64, path.c_str());
    EXPECT_EQ(buffer, value);
  }
}

}  // namespace
