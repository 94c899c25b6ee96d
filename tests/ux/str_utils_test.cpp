#include <gtest/gtest.h>

#include <string>

#include "ux/app_utils.h"
#include "ux/date_util.h"
#include "ux/str_utils.h"

namespace ux {
namespace {

struct WordCase {
  std::wstring_view text;
  int n;
  std::wstring_view word;
  int position;
};

TEST(StrUtils, WordsAreMaximalRunsOutsideTheDelimiters) {
  const WordCase cases[] = {
      {L"10,20,,30", 1, L"10", 1},
      {L"10,20,,30", 3, L"30", 8},
      {L"10,20,,30", 4, L"", 0},
      {L",  5", 1, L"5", 4},
      {L"", 1, L"", 0},
      {L"a b", 0, L"", 0},
      {L"a b", -1, L"", 0},
      {L"[a, b]", 2, L"b", 5},
  };
  for (const WordCase& c : cases) {
    SCOPED_TRACE(std::wstring(c.text) + L" #" + std::to_wstring(c.n));
    EXPECT_EQ(ExtractWord(c.n, c.text, kSetDelims), c.word);
    EXPECT_EQ(WordPosition(c.n, c.text, kSetDelims), c.position);
  }
  EXPECT_EQ(WordCount(L"10,20,,30", kListDelims), 3);
  EXPECT_EQ(WordCount(L" ,, ", kListDelims), 0);
  EXPECT_EQ(WordCount(L"", kListDelims), 0);
  EXPECT_EQ(WordCount(L"x", kListDelims), 1);
}

TEST(StrUtils, ReplaceStrContinuesAfterEachReplacement) {
  struct Case {
    std::wstring_view s, search, replace, expected;
  };
  const Case cases[] = {
      {L"1,5", L",", L".", L"1.5"}, {L"aaa", L"aa", L"b", L"ba"}, {L"a", L"a", L"aa", L"aa"},
      {L"abc", L"", L"x", L"abc"},  {L"", L"a", L"b", L""},       {L"xax", L"a", L"", L"xx"},
  };
  for (const Case& c : cases) EXPECT_EQ(ReplaceStr(c.s, c.search, c.replace), c.expected);
}

TEST(StrUtils, WildPosMatchesQuestionMarksAnywhere) {
  EXPECT_EQ(WildPos(L"b?d", L"abcde"), 2);
  EXPECT_EQ(WildPos(L"bc", L"abc"), 2);
  EXPECT_EQ(WildPos(L"x", L"abc"), 0);
  EXPECT_EQ(WildPos(L"?", L""), 0);
  EXPECT_EQ(WildPos(L"", L"abc"), 0);
}

TEST(StrUtils, IsWild) {
  struct Case {
    std::wstring_view input, wilds;
    bool ignoreCase, expected;
  };
  const Case cases[] = {
      {L"tmainform.x", L"TMainForm.*", true, true},
      {L"axyb", L"a**b", false, true},
      {L"", L"*", false, true},
      {L"", L"", false, true},
      {L"a", L"", false, false},
      {L"", L"a", false, false},
      {L"abc", L"a?c", false, true},
      {L"abd", L"ab*bd", false, false},
      {L"abxbd", L"ab*bd", false, true},
      {L"abc", L"ab", false, false},
      {L"ab", L"abc*", false, false},
      {L"aXbYc", L"a*b*c", false, true},
      {L"aXcYb", L"a*b*c", false, false},
      {L"abz", L"a?*z", false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::wstring(c.input) + L" ~ " + std::wstring(c.wilds));
    EXPECT_EQ(IsWild(c.input, c.wilds, c.ignoreCase), c.expected);
  }
}

TEST(StrUtils, XorEncodeDecode) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(XorDecode("k3y", XorEncode("k3y", all)), all);
  EXPECT_EQ(XorDecode("", XorEncode("", all)), all);

  EXPECT_EQ(XorEncode("", "AZ\xFF"), "415aff");
  EXPECT_EQ(XorEncode("ab", "aab"), "000303");
  EXPECT_EQ(XorDecode("", "zz"), " ");
  EXPECT_EQ(XorDecode("A", "zz"), std::string(1, ' ' ^ 'A'));
  EXPECT_EQ(XorDecode("", "41a"), "A");
  EXPECT_EQ(XorDecode("", "4A"), "J");
  EXPECT_EQ(XorDecode("", "4g41"), " A");
}

TEST(DateUtil, FourDigitYearsAreNotedFromTheShortDateFormat) {
  EXPECT_TRUE(HasFourDigitYear(L"dd/MM/yyyy"));
  EXPECT_TRUE(HasFourDigitYear(L"YYYY-MM-DD"));
  EXPECT_FALSE(HasFourDigitYear(L"d/M/yy"));
  EXPECT_FALSE(HasFourDigitYear(L""));
}

TEST(AppUtils, DefaultKeyAndIniName) {
  const std::wstring exe = ApplicationExeName();
  ASSERT_FALSE(exe.empty());
  const std::wstring program = exe.substr(0, exe.find_last_of(L'.'));
  EXPECT_EQ(GetDefaultIniRegKey(), L"Software\\" + program);
  AppDefaults().defaultCompany = L"Kelpfin";
  EXPECT_EQ(GetDefaultIniRegKey(), L"Software\\Kelpfin\\" + program);
  EXPECT_EQ(GetDefaultIniName(), program + L".INI");
  AppDefaults().defaultIniNameProc = [] { return std::wstring(L"custom.ini"); };
  EXPECT_EQ(GetDefaultIniName(), L"custom.ini");
  AppDefaults() = {};
}

}  // namespace
}  // namespace ux
