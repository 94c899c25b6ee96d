#include "ui/settings_store.h"

#include <gtest/gtest.h>

namespace {

using Op = ui::TMemIniFile::Op;
using Names = std::vector<std::wstring>;

TEST(UiMemIniFile, ReadsTypedValuesWithDefaults) {
  ui::TMemIniFile ini;
  ini.WriteString(L"TMainForm", L"BootCode", L"7");
  ini.WriteString(L"TMainForm", L"Bad", L"abc");
  ini.WriteInteger(L"TMainForm", L"Negative", -5);
  ini.WriteBool(L"TMainForm", L"Flag", true);
  struct Case {
    std::wstring ident;
    int expected;
  };
  const Case cases[] = {{L"BootCode", 7}, {L"bootcode", 7},  {L"Bad", 1},
                        {L"Missing", 1},  {L"Negative", -5}, {L"Flag", 1}};
  for (const Case& c : cases)
    EXPECT_EQ(ini.ReadInteger(L"tmainform", c.ident, 1), c.expected) << c.ident;
  EXPECT_EQ(ini.ReadString(L"TMainForm", L"Negative", L""), L"-5");
  EXPECT_EQ(ini.ReadString(L"Other", L"BootCode", L"none"), L"none");
  EXPECT_TRUE(ini.ReadBool(L"TMainForm", L"Flag", false));
  EXPECT_TRUE(ini.ValueExists(L"TMainForm", L"BOOTCODE"));
  EXPECT_FALSE(ini.ValueExists(L"TMainForm", L"Missing"));
}

TEST(UiMemIniFile, KeepsFirstWriteOrderAndLogsEveryChange) {
  ui::TMemIniFile ini;
  ini.WriteString(L"S", L"b", L"1");
  ini.WriteString(L"S", L"a", L"2");
  ini.WriteString(L"S", L"B", L"3");
  ini.WriteString(L"S.Sub", L"Count", L"0");
  ini.DeleteKey(L"S", L"a");
  ini.EraseSection(L"s.sub");
  EXPECT_EQ(ini.ReadSection(L"S"), (Names{L"b"}));
  EXPECT_EQ(ini.Read(L"S", L"b"), L"3");
  EXPECT_EQ(ini.ReadSections(), (Names{L"S"}));
  EXPECT_FALSE(ini.SectionExists(L"S.Sub"));
  const std::vector<ui::TMemIniFile::LogEntry> expected = {
      {Op::Write, L"S", L"b", L"1"},    {Op::Write, L"S", L"a", L"2"},
      {Op::Write, L"S", L"B", L"3"},    {Op::Write, L"S.Sub", L"Count", L"0"},
      {Op::DeleteKey, L"S", L"a", L""}, {Op::EraseSection, L"s.sub", L"", L""},
  };
  EXPECT_EQ(ini.Log(), expected);
}

}  // namespace
