// Text helpers, shortcuts, the file dialogs' text rules, string lists and INI files.
#include "ui/text.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "../rtl/temp_folder.h"
#include "awkward_ini_values.h"
#include "rtl/code_page.h"
#include "rtl/exceptions.h"
#include "ui/file_dialog_text.h"
#include "ui/ini_file.h"
#include "ui/shortcut.h"
#include "ui/strings.h"

namespace {

using Files = std::vector<std::wstring>;
using Lines = std::vector<std::wstring>;

TEST(UiText, CompareTextFoldsAsciiOnly) {
  struct Case {
    std::wstring_view a, b;
    int sign;
  };
  const Case cases[] = {
      {L"MRUList", L"mrulist", 0}, {L"abc", L"abd", -1}, {L"b", L"A", 1},
      {L"ab", L"abc", -1},         {L"", L"", 0},        {L"\u00e9", L"\u00c9", 1},
  };
  for (const Case& c : cases) {
    const int result = ui::CompareText(c.a, c.b);
    EXPECT_EQ((result > 0) - (result < 0), c.sign)
        << std::wstring(c.a) << L" / " << std::wstring(c.b);
    EXPECT_EQ(ui::SameText(c.a, c.b), c.sign == 0);
  }
}

TEST(UiText, TryStrToIntAcceptsDecimalAndHexWithBlanks) {
  struct Case {
    std::wstring_view text;
    std::optional<int> value;
  };
  const Case cases[] = {
      {L"7", 7},           {L" 12 ", 12},
      {L"-5", -5},         {L"+3", 3},
      {L"$1F", 31},        {L"0x10", 16},
      {L"abc", {}},        {L"", {}},
      {L"1 2", {}},        {L"2147483647", 2147483647},
      {L"2147483648", {}}, {L"-2147483648", -2147483647 - 1},
      {L"-", {}},          {L"$", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(ui::TryStrToInt(c.text), c.value) << std::wstring(c.text);
}

// The 64-bit limits in both bases, and numbers whose digits overflow on the way (a 20-digit
// number wraps past the limits to a small value if the overflow goes unnoticed).
TEST(UiText, TryStrToInt64RefusesEveryOverflow) {
  const struct {
    std::wstring_view text;
    std::optional<std::int64_t> value;
  } cases[] = {
      {L"-9223372036854775808", INT64_MIN},    {L"9223372036854775807", INT64_MAX},
      {L"9223372036854775808", std::nullopt},  {L"-9223372036854775809", std::nullopt},
      {L"18446744073709551617", std::nullopt}, {L"-18446744073709551617", std::nullopt},
      {L"99999999999999999999", std::nullopt}, {L"92233720368547758070", std::nullopt},
      {L"$7FFFFFFFFFFFFFFF", INT64_MAX},       {L"-$8000000000000000", INT64_MIN},
      {L"$8000000000000000", std::nullopt},    {L"$10000000000000001", std::nullopt},
      {L"0x1FFFFFFFFFFFFFFFF", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ui::TryStrToInt64(c.text), c.value) << std::wstring(c.text);
}

TEST(UiText, Utf8AndUtf16RoundTripAndRepairBadInput) {
  const std::wstring text = L"A\u00e9\u20ac\U0001F600z";
  EXPECT_EQ(ui::Utf8FromWide(text), "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z");
  EXPECT_EQ(ui::WideFromUtf8(ui::Utf8FromWide(text)), text);
  EXPECT_EQ(ui::Utf16FromWide(text), u"A\u00e9\u20ac\U0001F600z");
  EXPECT_EQ(ui::WideFromUtf16(ui::Utf16FromWide(text)), text);
  // A truncated sequence, an over-long form and a lone continuation byte.
  EXPECT_EQ(ui::WideFromUtf8("a\xE2\x82"), L"a\uFFFD\uFFFD");
  EXPECT_EQ(ui::WideFromUtf8("\xC0\xAF"), L"\uFFFD\uFFFD");
  EXPECT_EQ(ui::WideFromUtf8("\x80x"), L"\uFFFDx");
}

// Bytes that decode to no character: each one becomes a replacement character, and the text
// around it stays. Surrogates are halves of UTF-16 pairs, never characters of their own.
TEST(UiText, Utf8OfNoCharacterBecomesReplacements) {
  const struct {
    std::string_view bytes;
    std::wstring_view text;
  } cases[] = {
      {"a\xED\xA0\x80z", L"a\uFFFD\uFFFD\uFFFDz"},  // the first high surrogate
      {"\xED\xBF\xBF", L"\uFFFD\uFFFD\uFFFD"},      // the last low surrogate
      {"\xED\xA0\xBD\xED\xB8\x80",
       L"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},          // a pair, each half on its own
      {"\xED\x9F\xBF", L"\uD7FF"},                        // just below the surrogates
      {"\xEE\x80\x80", L"\uE000"},                        // just above them
      {"\xF0\x8D\xA0\x80", L"\uFFFD\uFFFD\uFFFD\uFFFD"},  // a surrogate in four bytes
      {"\xF4\x90\x80\x80", L"\uFFFD\uFFFD\uFFFD\uFFFD"},  // beyond the last character
  };
  for (const auto& c : cases)
    EXPECT_EQ(ui::WideFromUtf8(c.bytes), c.text) << ui::Utf8FromWide(c.text);
}

TEST(UiShortCut, TextRoundTripsForTheProgramsShortcuts) {
  struct Case {
    std::uint16_t key;
    ui::TShiftState shift;
    std::wstring_view text;
  };
  const Case cases[] = {
      {'S', ui::ssCtrl, L"Ctrl+S"},
      {0x77, 0, L"F8"},
      {'V', ui::ssAlt, L"Alt+V"},
      {0x2E, 0, L"Del"},
      {0x08, 0, L"BkSp"},
      {0x74, ui::ssShift | ui::ssCtrl, L"Shift+Ctrl+F5"},
      {'0', ui::ssAlt, L"Alt+0"},
      {0x70, 0, L"F1"},
      {0x87, 0, L"F24"},
      {0x87, ui::ssShift, L"Shift+F24"},
  };
  for (const Case& c : cases) {
    const ui::TShortCut shortcut = ui::ShortCut(c.key, c.shift);
    EXPECT_EQ(ui::ShortCutToText(shortcut), c.text);
    EXPECT_EQ(ui::TextToShortCut(c.text), shortcut) << std::wstring(c.text);
  }
  EXPECT_EQ(ui::ShortCut('S', ui::ssCtrl), 'S' | ui::scCtrl);
  EXPECT_EQ(ui::TextToShortCut(L"ctrl+s"), 'S' | ui::scCtrl);
  EXPECT_EQ(ui::TextToShortCut(L"Ctrl+Alt+Shift+x"), 'X' | ui::scCtrl | ui::scAlt | ui::scShift);
  for (const std::wstring_view bad :
       {L"", L"Ctrl+", L"F25", L"Shift+F25", L"F0", L"F-1", L"Hyper+A", L"AB"}) {
    EXPECT_EQ(ui::TextToShortCut(bad), ui::scNone) << std::wstring(bad);
  }
  EXPECT_EQ(ui::ShortCutToText(0x07), L"");
  EXPECT_EQ(ui::ShortCutToText(0x88), L"");  // the key after F24 has no name
}

TEST(UiFileDialogText, FiltersSplitIntoPairs) {
  EXPECT_EQ(ui::ParseFilter(L"Disk Images (*.dsk)|*.dsk|HFE Disk Image|*.hfe"),
            (std::vector<ui::TFileTypeItem>{{L"Disk Images (*.dsk)", L"*.dsk"},
                                            {L"HFE Disk Image", L"*.hfe"}}));
  EXPECT_EQ(ui::ParseFilter(L"Any File|*.*|Dangling"),
            (std::vector<ui::TFileTypeItem>{{L"Any File", L"*.*"}}));
  EXPECT_TRUE(ui::ParseFilter(L"").empty());
}

TEST(UiFileDialogText, SelectedFilesBecomeFullPaths) {
  using namespace std::string_literals;
  struct Case {
    std::wstring buffer;
    Files files;
  };
  const Case cases[] = {
      {L"C:\\a\\one.dsk\0\0"s, {L"C:\\a\\one.dsk"}},
      {L"C:\\a\0x.bin\0y.bin\0\0"s, {L"C:\\a\\x.bin", L"C:\\a\\y.bin"}},
      {L"C:\\\0x.bin\0y.bin\0\0"s, {L"C:\\x.bin", L"C:\\y.bin"}},
      {L"\0"s, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(ui::SplitSelectedFiles(c.buffer), c.files);
}

TEST(UiFileDialogText, MaskExtensionTakesTheFirstMask) {
  EXPECT_EQ(ui::MaskExtension(L"*.hfe"), L"hfe");
  EXPECT_EQ(ui::MaskExtension(L"*.dsk;*.img"), L"dsk");
  EXPECT_EQ(ui::MaskExtension(L"*"), L"");
}

TEST(UiStringList, EditingOperationsKeepOrderAndData) {
  ui::TStringList list;
  list.Add(L"one");
  list.AddObject(L"two", 2);
  list.Insert(0, L"zero");
  list.Put(1, L"ONE");
  EXPECT_EQ(list.ToVector(), (Lines{L"zero", L"ONE", L"two"}));
  EXPECT_EQ(list.Objects(2), 2);
  list.Move(2, 0);
  EXPECT_EQ(list.ToVector(), (Lines{L"two", L"zero", L"ONE"}));
  EXPECT_EQ(list.Objects(0), 2);
  list.Exchange(0, 2);
  EXPECT_EQ(list.ToVector(), (Lines{L"ONE", L"zero", L"two"}));
  EXPECT_EQ(list.IndexOf(L"one"), 0);
  EXPECT_EQ(list.IndexOf(L"three"), -1);
  list.Delete(1);
  EXPECT_EQ(list.ToVector(), (Lines{L"ONE", L"two"}));
  EXPECT_THROW(list.Get(2), rtl::Exception);
  EXPECT_THROW(list.Insert(4, L"x"), rtl::Exception);
  list.SetCaseSensitive(true);
  EXPECT_EQ(list.IndexOf(L"one"), -1);
}

TEST(UiStringList, SortedListsHonourDuplicates) {
  struct Case {
    ui::TDuplicates duplicates;
    Lines expected;
    bool raises;
  };
  const Case cases[] = {
      {ui::TDuplicates::dupIgnore, {L"a", L"B", L"c"}, false},
      {ui::TDuplicates::dupAccept, {L"a", L"b", L"B", L"c"}, false},
      {ui::TDuplicates::dupError, {L"a", L"B", L"c"}, true},
  };
  for (const Case& c : cases) {
    ui::TStringList list({L"c", L"a", L"B"});
    list.SetSorted(true);
    list.SetDuplicates(c.duplicates);
    if (c.raises) {
      EXPECT_THROW(list.Add(L"b"), rtl::Exception);
    } else {
      list.Add(L"b");
    }
    EXPECT_EQ(list.ToVector(), c.expected);
    EXPECT_THROW(list.Insert(0, L"x"), rtl::Exception);
  }
  ui::TStringList sorted({L"b", L"a"});
  sorted.SetSorted(true);
  int index = -1;
  EXPECT_FALSE(sorted.Find(L"aa", index));
  EXPECT_EQ(index, 1);
  EXPECT_EQ(sorted.IndexOf(L"B"), 1);
  ui::TStringList custom({L"b1", L"a1", L"b2", L"a2"});  // a custom sort is stable
  custom.CustomSort(
      [](const ui::TStringList& l, int a, int b) { return l.Get(a)[0] - l.Get(b)[0]; });
  EXPECT_EQ(custom.ToVector(), (Lines{L"a1", L"a2", L"b1", L"b2"}));
}

TEST(UiStringList, ChangeEventFiresOncePerBatch) {
  ui::TStringList list;
  int changes = 0;
  list.OnChange = [&changes](ui::TStringList&) { ++changes; };
  list.Add(L"a");
  EXPECT_EQ(changes, 1);
  list.Assign({L"x", L"y", L"z"});
  list.BeginUpdate();
  list.Add(L"1");
  list.Delete(0);
  EXPECT_EQ(changes, 2);
  list.EndUpdate();
  EXPECT_EQ(changes, 3);
}

TEST(UiStrings, StreamsDetectByteOrderMarksElseUseTheCodePage) {
  const rtl::TFixedCodePage cyrillic(rtl::FixedTable::Cp1251);
  const rtl::TCodePage* previous = rtl::SetCodePage(&cyrillic);
  struct Case {
    std::vector<std::uint8_t> bytes;
    Lines lines;
  };
  const Case cases[] = {
      {{0xC0, 'x', '\n', '\n', ' ', '\r', '\r', '\n', 'y', ' '},
       {L"\u0410x", L"", L" ", L"", L"y "}},
      {{0xEF, 0xBB, 0xBF, 0xD0, 0x90, '\n'}, {L"\u0410"}},
      {{0xFF, 0xFE, 0x10, 0x04, '\n', 0, 0x3D, 0xD8, 0x00, 0xDE}, {L"\u0410", L"\U0001F600"}},
  };
  for (const Case& c : cases) {
    rtl::TMemoryStream stream(c.bytes);
    ui::TStringList list;
    list.LoadFromStream(stream);
    EXPECT_EQ(list.ToVector(), c.lines);
  }
  const ui::TStringList lines({L"\u0410"});
  const std::vector<std::pair<ui::TextEncoding, std::vector<std::uint8_t>>> saved = {
      {ui::TextEncoding::Ansi, {0xC0, '\r', '\n'}},
      {ui::TextEncoding::Utf8, {0xEF, 0xBB, 0xBF, 0xD0, 0x90, '\r', '\n'}},
      {ui::TextEncoding::Utf16, {0xFF, 0xFE, 0x10, 0x04, '\r', 0, '\n', 0}},
  };
  for (const auto& [encoding, bytes] : saved) {
    rtl::TMemoryStream stream;
    lines.SaveToStream(stream, encoding);
    EXPECT_EQ(stream.Bytes(), bytes);
  }
  rtl::SetCodePage(previous);
}

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
      ";Width=100\r\n"
      "  ; Height = 50\r\n"
      "name=second\r\n"
      "[main]\r\n"
      "Other=1\r\n");
  const ui::TIniFile ini(Path());
  struct Case {
    std::wstring ident;
    std::optional<std::wstring> value;
  };
  const Case cases[] = {
      {L"name", L"plain"},          {L"Single", L"x"},        {L"Double", L"\"'x'\""},
      {L"Mixed", L"'x\""},          {L"Empty", L""},          {L"Other", std::nullopt},
      {L"; comment", std::nullopt}, {L"Width", std::nullopt}, {L";Width", std::nullopt},
      {L"Height", std::nullopt},
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
  WriteBytes("; keep me\r\n[A]\r\n;z=0\r\nx=1\r\n\r\n[B]\r\ny=2\r\n");
  {
    ui::TIniFile ini(Path());
    ini.WriteString(L"A", L"z", L"3");
    ini.WriteString(L"a", L"X", L"one");
    ini.WriteString(L"C", L"w", L"4");
    ini.DeleteKey(L"B", L"y");
  }
  EXPECT_EQ(ReadBytes(),
            "; keep me\r\n[A]\r\n;z=0\r\nX=one\r\nz=3\r\n\r\n[B]\r\n\r\n[C]\r\nw=4\r\n");
  ui::TIniFile ini(Path());
  ini.EraseSection(L"b");
  EXPECT_EQ(ReadBytes(), "; keep me\r\n[A]\r\n;z=0\r\nX=one\r\nz=3\r\n\r\n[C]\r\nw=4\r\n");
  EXPECT_TRUE(ini.SectionExists(L"c"));
  EXPECT_FALSE(ini.SectionExists(L"B"));
}

// Lookups after writes that move sections (a value added to an earlier section, one deleted,
// a section erased and made again) still find the first section of a name and its values.
TEST(UiIniFileInMemory, LookupsFollowLinesThatMove) {
  ui::TIniFile ini(std::vector<std::wstring>{L"[A]", L"a=1", L"[B]", L"b=2", L"[a]", L"x=9"});
  ini.WriteString(L"B", L"c", L"3");
  ini.WriteString(L"A", L"d", L"4");
  ini.WriteString(L"C", L"e", L"5");
  ini.WriteString(L"a", L"f", L"6");
  EXPECT_EQ(ini.Lines(), (std::vector<std::wstring>{L"[A]", L"a=1", L"d=4", L"f=6", L"[B]", L"b=2",
                                                    L"c=3", L"[a]", L"x=9", L"", L"[C]", L"e=5"}));
  ini.DeleteKey(L"A", L"a");
  const struct {
    const wchar_t* section;
    const wchar_t* ident;
    std::optional<std::wstring> value;
  } reads[] = {{L"B", L"c", L"3"},        {L"a", L"d", L"4"}, {L"A", L"x", std::nullopt},
               {L" c ", L"e", L"5"},      {L"B", L"b", L"2"}, {L"A", L"a", std::nullopt},
               {L"D", L"e", std::nullopt}};
  for (const auto& r : reads) EXPECT_EQ(ini.Read(r.section, r.ident), r.value) << r.ident;
  ini.EraseSection(L"B");
  ini.WriteString(L"B", L"g", L"7");
  EXPECT_EQ(ini.Read(L"C", L"e"), L"5");
  EXPECT_EQ(ini.Read(L"B", L"g"), L"7");
  EXPECT_EQ(ini.ReadSection(L"A"), (std::vector<std::wstring>{L"d", L"f"}));
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
