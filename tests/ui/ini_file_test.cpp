#include "ui/ini_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "../rtl/temp_folder.h"
#include "awkward_ini_values.h"
#include "rtl/exceptions.h"

namespace {

class UiIniFile : public ::testing::Test {
 protected:
  std::filesystem::path Path() const { return folder_ / "settings.ini"; }
  void WriteBytes(const std::string& bytes) const {
    std::ofstream(Path(), std::ios::binary) << bytes;
  }
  std::string ReadBytes() const {
    std::ifstream in(Path(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

  TTempFolder folder_;
};

TEST_F(UiIniFile, ReadsLikeTheProfileFunctions) {
  WriteBytes(
      "; comment\r\n"
      "[ Main ]\r\n"
      "  Name =  plain  \r\n"
      "Single='x'\r\n"
      "Double=\"\"'x'\"\"\r\n"
      "Mixed='x\"\r\n"
      "Empty=\r\n"
      "name=second\r\n"
      "[main]\r\n"
      "Other=1\r\n");
  const ui::TIniFile ini(Path());
  struct Case {
    std::wstring ident;
    std::optional<std::wstring> value;
  };
  const Case cases[] = {
      {L"name", L"plain"},          {L"Single", L"x"}, {L"Double", L"\"'x'\""},
      {L"Mixed", L"'x\""},          {L"Empty", L""},   {L"Other", std::nullopt},
      {L"; comment", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ini.Read(L"MAIN", c.ident), c.value) << c.ident;
  EXPECT_EQ(ini.ReadSections(), (std::vector<std::wstring>{L"Main"}));
  EXPECT_EQ(ini.ReadSection(L"Main"),
            (std::vector<std::wstring>{L"Name", L"Single", L"Double", L"Mixed", L"Empty"}));
  // The one-pass view holds what Read sees.
  const auto sections = ini.Sections();
  ASSERT_EQ(sections.size(), 1u);
  EXPECT_EQ(sections[0].name, L"Main");
  EXPECT_EQ(sections[0].values,
            (std::vector<std::pair<std::wstring, std::wstring>>{{L"Name", L"plain"},
                                                                {L"Single", L"x"},
                                                                {L"Double", L"\"'x'\""},
                                                                {L"Mixed", L"'x\""},
                                                                {L"Empty", L""}}));
  // Values before the first section and in a repeated section are not seen.
  const auto repeated = ui::TIniFile({L"Loose=1", L"[A]", L"a=b", L"[a]", L"c=d"}).Sections();
  ASSERT_EQ(repeated.size(), 1u);
  EXPECT_EQ(repeated[0].values, (std::vector<std::pair<std::wstring, std::wstring>>{{L"a", L"b"}}));
}

TEST_F(UiIniFile, WritesKeepCommentsAndTheFileEncoding) {
  WriteBytes("; keep me\r\n[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n");
  {
    ui::TIniFile ini(Path());
    ini.WriteString(L"A", L"z", L"3");
    ini.WriteString(L"a", L"X", L"one");
    ini.WriteString(L"C", L"w", L"4");
    ini.DeleteKey(L"B", L"y");
  }
  EXPECT_EQ(ReadBytes(), "; keep me\r\n[A]\r\nX=one\r\nz=3\r\n\r\n[B]\r\n\r\n[C]\r\nw=4\r\n");
  ui::TIniFile ini(Path());
  ini.EraseSection(L"b");
  EXPECT_EQ(ReadBytes(), "; keep me\r\n[A]\r\nX=one\r\nz=3\r\n\r\n[C]\r\nw=4\r\n");
  EXPECT_TRUE(ini.SectionExists(L"c"));
  EXPECT_FALSE(ini.SectionExists(L"B"));
}

TEST_F(UiIniFile, NewFilesAreUtf16AndEveryValueReadsBackAsWritten) {
  {
    ui::TIniFile ini(Path());
    EXPECT_EQ(ini.ReadSections().size(), 0u);
    ini.WriteString(L"S", L"k", L"\u0416");
  }
  EXPECT_EQ(ReadBytes(), std::string("\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0\x16\x04\r\0\n\0", 22));
  for (const std::wstring_view value : ui::test::kAwkwardIniValues) {
    ui::TIniFile(Path()).WriteString(L"S", L"v", std::wstring(value));
    EXPECT_EQ(ui::TIniFile(Path()).Read(L"S", L"v"), value) << std::wstring(value);
  }
  // Text that no line can hold is refused, and the file stays as it was.
  const std::string before = ReadBytes();
  ui::TIniFile ini(Path());
  const std::pair<std::wstring, std::wstring> refused[] = {
      {L"S", L"a=b"}, {L"S", L";v"}, {L"S", L"[v"}, {L"S]", L"v"}, {L"S", L"v\n"}, {L"S\r", L"v"}};
  for (const auto& [section, ident] : refused)
    EXPECT_THROW(ini.WriteString(section, ident, L"1"), rtl::Exception) << section << ident;
  for (const wchar_t* value : {L"a\nb", L"a\rb", L"a\0b"})
    EXPECT_THROW(ini.WriteString(L"S", L"v", std::wstring(value, 3)), rtl::Exception);
  EXPECT_EQ(ReadBytes(), before);
}

// The typed reads of every settings store: a missing or non-numeric value gives the default.
TEST(UiCustomIniFile, TypedValuesAndDefaults) {
  ui::TIniFile ini(std::vector<std::wstring>{});
  ini.WriteString(L"TMainForm", L"BootCode", L"7");
  ini.WriteString(L"TMainForm", L"Bad", L"abc");
  ini.WriteInteger(L"TMainForm", L"Negative", -5);
  ini.WriteBool(L"TMainForm", L"Flag", true);
  const std::pair<std::wstring, int> cases[] = {
      {L"bootcode", 7}, {L"Bad", 1}, {L"Missing", 1}, {L"Negative", -5}, {L"Flag", 1}};
  for (const auto& [ident, expected] : cases)
    EXPECT_EQ(ini.ReadInteger(L"tmainform", ident, 1), expected) << ident;
  EXPECT_EQ(ini.Lines(), (std::vector<std::wstring>{L"[TMainForm]", L"BootCode=7", L"Bad=abc",
                                                    L"Negative=-5", L"Flag=1"}));
  EXPECT_TRUE(ini.ReadBool(L"TMainForm", L"Flag", false));
  EXPECT_EQ(ini.ReadString(L"Other", L"BootCode", L"none"), L"none");
  EXPECT_TRUE(ini.ValueExists(L"TMainForm", L"BOOTCODE"));
  EXPECT_FALSE(ini.ValueExists(L"TMainForm", L"Missing"));
}

}  // namespace
