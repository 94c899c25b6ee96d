#include "ui/text.h"

#include <gtest/gtest.h>

#include "ui/file_dialog_text.h"
#include "ui/shortcut.h"

namespace {

using Files = std::vector<std::wstring>;

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
  EXPECT_EQ(ui::TryStrToInt64(L"-9223372036854775808"), INT64_MIN);
  EXPECT_EQ(ui::TryStrToInt64(L"9223372036854775808"), std::nullopt);
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

TEST(UiShortCut, TextRoundTripsForTheProgramsShortcuts) {
  struct Case {
    std::uint16_t key;
    ui::TShiftState shift;
    std::wstring_view text;
  };
  const Case cases[] = {
      {'S', ui::ssCtrl, L"Ctrl+S"}, {0x77, 0, L"F8"},
      {'V', ui::ssAlt, L"Alt+V"},   {0x2E, 0, L"Del"},
      {0x08, 0, L"BkSp"},           {0x74, ui::ssShift | ui::ssCtrl, L"Shift+Ctrl+F5"},
      {'0', ui::ssAlt, L"Alt+0"},
  };
  for (const Case& c : cases) {
    const ui::TShortCut shortcut = ui::ShortCut(c.key, c.shift);
    EXPECT_EQ(ui::ShortCutToText(shortcut), c.text);
    EXPECT_EQ(ui::TextToShortCut(c.text), shortcut) << std::wstring(c.text);
  }
  EXPECT_EQ(ui::ShortCut('S', ui::ssCtrl), 'S' | ui::scCtrl);
  EXPECT_EQ(ui::TextToShortCut(L"ctrl+s"), 'S' | ui::scCtrl);
  EXPECT_EQ(ui::TextToShortCut(L"Ctrl+Alt+Shift+x"), 'X' | ui::scCtrl | ui::scAlt | ui::scShift);
  for (const std::wstring_view bad : {L"", L"Ctrl+", L"F25", L"F0", L"Hyper+A", L"AB"}) {
    EXPECT_EQ(ui::TextToShortCut(bad), ui::scNone) << std::wstring(bad);
  }
  EXPECT_EQ(ui::ShortCutToText(0x07), L"");
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

}  // namespace
