#include <gtest/gtest.h>

#include <string>

#include "rtl/code_page.h"

namespace rtl {
namespace {

// The whole tables are compared with the system's in the Windows tests.
TEST(FixedCodePage, UnmappableCharactersBecomeQuestionMarks) {
  struct Case {
    FixedTable table;
    std::wstring text;
    std::string bytes;
  };
  const std::wstring loneSurrogate(1, static_cast<wchar_t>(0xD800));
  const Case cases[] = {
      {FixedTable::Cp1252, L"a" + loneSurrogate + L"b", "a?b"},
      {FixedTable::Cp1252, L"x\U0001F600y", "x?y"},  // one character, whatever wchar_t's width
      {FixedTable::Cp1251, L"é€ё", "?\x88\xB8"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TFixedCodePage(c.table).FromUnicode(c.text), c.bytes);
  }
}

#ifndef _WIN32
std::string AllBytes() {
  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes.push_back(static_cast<char>(b));
  return bytes;
}

TEST(CodePage, HostDefaultIsWindows1252) {
  EXPECT_EQ(CodePage().ToUnicode(AllBytes()),
            TFixedCodePage(FixedTable::Cp1252).ToUnicode(AllBytes()));
  EXPECT_EQ(CodePage().FromUnicode(L"€Ÿ"), "\x80\x9F");
}
#endif

}  // namespace
}  // namespace rtl
