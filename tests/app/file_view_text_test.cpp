#include "app/file_view_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "basic_program_builder.h"
#include "rtl/code_page.h"

namespace app {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Ascii(std::string_view text) {
  return Bytes(text.begin(), text.end());
}

std::wstring Blanks(std::size_t count) {
  return std::wstring(count, L' ');
}

TEST(FileViewIsBinary, ControlBytesMakeDataBinary) {
  const std::vector<std::pair<Bytes, bool>> cases = {
      {{}, false},
      {Ascii("tab\there\r\nline\n"), false},
      {{0x80, 0xA0, 0xFF, 0x7F}, false},
      {Ascii("ends in EOF\x1A"), false},
      {Ascii("EOF\x1A in the middle"), true},
      {{0x41, 0x00}, true},
      {{0x0B}, true},
      {{0x1F}, true},
  };
  for (const auto& [data, binary] : cases) {
    EXPECT_EQ(IsBinary(data), binary) << ::testing::PrintToString(data);
  }
}

TEST(FileViewHexDump, RowsForSmallInputs) {
  const std::wstring row0 =
      L"0000    00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F     ................";
  Bytes sixteen(16);
  for (std::size_t i = 0; i < 16; ++i) sixteen[i] = static_cast<std::uint8_t>(i);
  Bytes seventeen = sixteen;
  seventeen.push_back(0x41);

  EXPECT_EQ(HexDump({}), L"");
  EXPECT_EQ(HexDump(sixteen), row0);
  EXPECT_EQ(HexDump(seventeen), row0 + L"\r\n0010    41" + Blanks(50) + L"A");
}

TEST(FileViewHexDump, PrintableRangeIsSpaceToDelete) {
  const Bytes bytes = {0x1F, 0x20, 0x41, 0x7E, 0x7F, 0x80, 0xFF};
  EXPECT_EQ(HexDump(bytes), L"0000    1F 20 41 7E 7F 80 FF " + Blanks(4 + 27) + L". A~\x7F..");
}

TEST(FileViewHexDump, OffsetsWidenPast0xFFFF) {
  Bytes data(0x10010, 0x2E);
  data.back() = 0x21;
  const std::wstring dump = HexDump(data);
  EXPECT_TRUE(
      dump.ends_with(L"\r\nFFF0    2E 2E 2E 2E 2E 2E 2E 2E 2E 2E 2E 2E 2E 2E 2E 2E     "
                     L"................\r\n10000    2E 2E 2E 2E 2E 2E 2E 2E 2E 2E 2E 2E "
                     L"2E 2E 2E 21     ...............!"));
}

class FileViewText : public ::testing::Test {
 protected:
  FileViewText() : previous_(rtl::SetCodePage(&cp1251_)) {}
  ~FileViewText() override { rtl::SetCodePage(previous_); }

 private:
  rtl::TFixedCodePage cp1251_{rtl::FixedTable::Cp1251};
  const rtl::TCodePage* previous_;
};

TEST_F(FileViewText, LineBreaksBecomeCrLfAndEncodingsAreHonoured) {
  const std::vector<std::pair<Bytes, std::wstring>> cases = {
      {Ascii("one\r\ntwo\nthree\rfour"), L"one\r\ntwo\r\nthree\r\nfour"},
      {Ascii("last line ends\r\n"), L"last line ends"},
      {Ascii("a\n\nb"), L"a\r\n\r\nb"},
      {{0xC0, 0xE0}, L"\x0410\x0430"},  // the system code page
      {{0xEF, 0xBB, 0xBF, 0xC3, 0xA9, 0x0A, 0x41}, L"\xE9\r\nA"},
      {{0xFF, 0xFE, 0x3A, 0x26, 0x0A, 0x00}, L"\x263A"},
  };
  for (const auto& [data, text] : cases) {
    EXPECT_EQ(TextView(data), text) << ::testing::PrintToString(data);
  }
}

TEST(FileViewContent, ModeDecisions) {
  using enum TViewerMode;
  const Bytes program = testing::BasicProgramBuilder()
                            .Line(10, {0x91, 0x20, 0x22, 0x48, 0x49, 0x22})
                            .Line(20, {0x81})
                            .Bytes();
  const Bytes truncated(program.begin(), program.end() - 1);
  const Bytes noLines = {0xFF, 0x00, 0x00};
  const Bytes ffGarbage = {0xFF, 0x13, 0x00, 0x37, 0x00, 0x01};
  const Bytes text = Ascii("10 PRINT \"HI\"\r\n");
  const std::wstring listing = L"10 PRINT \"HI\"\r\n20 END";
  const struct {
    const char* what;
    const Bytes& data;
    TViewerMode mode, shownAs;
    std::wstring text;
  } cases[] = {
      {"text in Auto", text, vmAuto, vmText, L"10 PRINT \"HI\""},
      {"program in Auto", program, vmAuto, vmBasic, listing},
      {"truncated program in Auto", truncated, vmAuto, vmHex, HexDump(truncated)},
      {"0xFF and no lines in Auto", noLines, vmAuto, vmHex, HexDump(noLines)},
      {"0xFF and garbage in Auto", ffGarbage, vmAuto, vmHex, HexDump(ffGarbage)},
      {"text as Basic", text, vmBasic, vmText, L"10 PRINT \"HI\""},
      {"binary as Basic", truncated, vmBasic, vmHex, HexDump(truncated)},
      {"program as Basic", program, vmBasic, vmBasic, listing},
      {"0xFF and no lines as Basic", noLines, vmBasic, vmBasic, L""},
      {"program as text", program, vmText, vmText, TextView(program)},
      {"Z80", program, vmZ80, vmZ80, L"Z80 Disassembly is not yet implemented"},
      {"unknown mode", text, static_cast<TViewerMode>(5), vmText, L""},
  };
  for (const auto& c : cases) {
    const TViewerContent content = BuildViewerContent(c.data, L"X.BAS", c.mode);
    EXPECT_EQ(content.shownAs, c.shownAs) << c.what;
    EXPECT_EQ(content.caption, c.shownAs == vmBasic ? L"MSX Basic - X.BAS" : L"File Viewer - X.BAS")
        << c.what;
    EXPECT_EQ(content.text, c.text) << c.what;
  }
  EXPECT_EQ(SizeStatusText(737280), L"737280 bytes");
  // The quick shape check before a decode: first byte, link range and the line's last byte.
  for (const Bytes& bad :
       {Bytes{0xFE, 0x07, 0x80, 0x0A, 0x00, 0x81, 0x00, 0x00, 0x00},
        Bytes{0xFF, 0x07, 0x80, 0x0A, 0x00, 0x81, 0x20, 0x00, 0x00},
        Bytes{0xFF, 0x05, 0x80, 0x00, 0x00, 0x00}, Bytes{0xFF, 0x01, 0xDC, 0x00}})
    EXPECT_FALSE(LooksLikeBasicProgram(bad)) << ::testing::PrintToString(bad);
}

}  // namespace
}  // namespace app
