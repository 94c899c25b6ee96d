#include <gtest/gtest.h>

#include <string>

#include "rtl/code_page.h"

namespace rtl {
namespace {

struct ChartEntry {
  FixedTable table;
  unsigned char byte;
  char16_t character;
};

// Entries from the published Windows-1252 and Windows-1251 charts, at the edges of their runs;
// the Windows tests compare both whole tables with the system's.
constexpr ChartEntry kChart[] = {
    {FixedTable::Cp1252, 0x80, 0x20AC}, {FixedTable::Cp1252, 0x81, 0x0081},
    {FixedTable::Cp1252, 0x9F, 0x0178}, {FixedTable::Cp1252, 0xFF, 0x00FF},
    {FixedTable::Cp1251, 0x98, 0x0098}, {FixedTable::Cp1251, 0xB9, 0x2116},
    {FixedTable::Cp1251, 0xFF, 0x044F},
};

TEST(FixedCodePage, MatchesThePublishedCharts) {
  for (const ChartEntry& entry : kChart) {
    SCOPED_TRACE(::testing::Message() << "table " << static_cast<int>(entry.table) << " byte 0x"
                                      << std::hex << int{entry.byte});
    const TFixedCodePage codePage(entry.table);
    const std::string byte(1, static_cast<char>(entry.byte));
    const std::wstring character(1, static_cast<wchar_t>(entry.character));
    EXPECT_EQ(codePage.ToUnicode(byte), character);
    EXPECT_EQ(codePage.FromUnicode(character), byte);
  }
}

TEST(FixedCodePage, UnmappableCharactersBecomeQuestionMarks) {
  struct Case {
    FixedTable table;
    std::wstring text;
    std::string bytes;
  };
  const std::wstring loneSurrogate(1, static_cast<wchar_t>(0xD800));
  const Case cases[] = {
      {FixedTable::Cp1252, L"Жук", "???"},
      {FixedTable::Cp1252, L"\u0080\u0098", "??"},  // C1 controls that 0x80 and 0x98 do not hold
      {FixedTable::Cp1252, L"a" + loneSurrogate + L"b", "a?b"},
      {FixedTable::Cp1252, L"x\U0001F600y", "x?y"},  // one character, whatever wchar_t's width
      {FixedTable::Cp1251, L"é€ё", "?\x88\xB8"},
      {FixedTable::Cp1251, L"\u00E5\u0081", "??"},
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
