#include "ui/text.h"

#include <gtest/gtest.h>

namespace {

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

}  // namespace
