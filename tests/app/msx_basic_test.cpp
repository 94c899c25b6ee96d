// The BASIC lister, and the file viewer's text forms.
#include "app/msx_basic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/file_view_text.h"
#include "basic_program_builder.h"
#include "rtl/code_page.h"
#include "rtl/stream.h"

namespace app {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::wstring>;
using testing::BasicProgramBuilder;

struct Listing {
  bool ok;
  Lines lines;
};

Listing List(const Bytes& program) {
  TMsxBasicDecoder decoder;
  const bool ok = decoder.Decode(program);
  return {ok, decoder.Lines()};
}

// The text of line 10 made of `tokens`, or a marker when the program does not list.
std::wstring ListTokens(const Bytes& tokens) {
  const Listing listing = List(BasicProgramBuilder().Line(10, tokens).Bytes());
  if (!listing.ok || listing.lines.size() != 1) return L"<not listed>";
  const std::wstring& line = listing.lines.front();
  return line.starts_with(L"10 ") ? line.substr(3) : L"<bad number> " + line;
}

struct TokenCase {
  Bytes tokens;
  std::wstring text;
};

void ExpectTexts(const std::vector<TokenCase>& cases) {
  for (const auto& [tokens, text] : cases) {
    EXPECT_EQ(ListTokens(tokens), text) << ::testing::PrintToString(tokens);
  }
}

// Each table's ends and gaps (an indexing slip shifts every keyword); codes past the function
// table list as hex.
TEST(MsxBasicTokens, StatementAndFunctionTokensListTheirKeywords) {
  for (const auto& [code, keyword] : std::vector<std::pair<std::uint8_t, std::wstring>>{
           {0x81, L"END"}, {0xA1, L"?? a1 ??"}, {0xE5, L"INSTR"}, {0xE6, L"???"}, {0xFC, L"\\"}})
    EXPECT_EQ(ListTokens({code, 0x20, 0x41}), keyword + L" A");
  for (const auto& [code, text] : std::vector<std::pair<std::uint8_t, std::wstring>>{
           {0x81, L"LEFT$(A)"}, {0xB0, L"MKD$(A)"}, {0xB1, L"FF/B1(A)"}, {0x80, L"FF/80(A)"}})
    EXPECT_EQ(ListTokens({0xFF, code, 0x28, 0x41, 0x29}), text);
}

TEST(MsxBasicTokens, OtherBytesListAsThemselves) {
  ExpectTexts({{{0x41, 0x24, 0x28, 0x2C, 0x29, 0x3B, 0x7E, 0x7F, 0x80, 0xFD, 0xFE},
                L"A$(,);~\x7F\x80\xFD\xFE"},
               {{0x01, 0x0A, 0x0D, 0x10, 0x1B, 0x1E}, L"\x01\x0A\x0D\x10\x1B\x1E"}});
}

TEST(MsxBasicNumbers, EveryFormListsAsWritten) {
  ExpectTexts({
      {{0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A}, L"0123456789"},
      {{0x1C, 0xFF, 0xFF}, L"65535"},
      {{0x0B, 0xFF, 0xFF}, L"&O177777"},
      {{0x0C, 0xCD, 0xAB}, L"&HABCD"},
      // Single precision: 0.<6 digits> times ten to (first byte & 0x7F) - 64.
      {{0x1D, 0x00, 0x00, 0x00, 0x00}, L"0!"},
      {{0x1D, 0x41, 0x15, 0x00, 0x00}, L"1.5"},
      {{0x1D, 0x4E, 0x12, 0x34, 0x56}, L"12345600000000!"},
      {{0x1D, 0x4F, 0x12, 0x34, 0x56}, L"1.23456E+14"},
      {{0x1D, 0xC0, 0x12, 0x50, 0x00}, L"-.125"},
      {{0x1D, 0x3F, 0x50, 0x00, 0x00}, L".05"},
      {{0x1D, 0x3E, 0x12, 0x34, 0x00}, L"1.234E-03"},
      {{0x1D, 0x80, 0x10, 0x00, 0x00}, L"-1E-65"},
      // Exponents around ten: placed up to 10 digits, two exponent digits from 10 on.
      {{0x1D, 0x4A, 0x12, 0x34, 0x56}, L"1234560000!"},
      {{0x1D, 0x37, 0x12, 0x34, 0x56}, L"1.23456E-10"},
      {{0x1D, 0xB6, 0x50, 0x00, 0x00}, L"-5E-11"},
      {{0x1D, 0x38, 0x10, 0x00, 0x00}, L"1E-09"},
      {{0x1D, 0x41, 0x3A, 0xF0, 0x00}, L"3.AF"},  // crafted nibbles show as hex digits
      // Double precision: 14 digits, suffix "#".
      {{0x1F, 0x41, 0x31, 0x41, 0x59, 0x26, 0x53, 0x58, 0x97}, L"3.1415926535897"},
      {{0x1F, 0x4E, 0x12, 0x34, 0x56, 0x78, 0x90, 0x12, 0x34}, L"12345678901234#"},
      {{0x1F, 0x3A, 0x99, 0, 0, 0, 0, 0, 0x01}, L"9.9000000000001E-07"},
      {{0x1F, 0x37, 0x25, 0, 0, 0, 0, 0, 0}, L"2.5E-10"},
  });
}

TEST(MsxBasicNumbers, LineReferencesListTheirNumbers) {
  ExpectTexts({{{0x89, 0x20, 0x0E, 0x0A, 0x00}, L"GOTO 10"},
               {{0x95, 0x20, 0x41, 0x20, 0x89, 0x20, 0x0E, 0x64, 0x00, 0x2C, 0x0E, 0xC8, 0x00},
                L"ON A GOTO 100,200"}});
  const Listing listing = List(BasicProgramBuilder().Line(65535, {0x81}).Bytes());
  EXPECT_EQ(listing.lines, Lines{L"65535 END"});
}

TEST(MsxBasicText, StringsAndCommentsShowTheMsxCharacterSet) {
  ExpectTexts({
      {{0x22, 0x22}, L"\"\""},
      {{0x22, 0x48, 0x49}, L"\"HI"},  // the line's end closes an open literal
      {{0x22, 0x91, 0x3A, 0x80, 0xBF, 0x22, 0x91}, L"\"\x91:\x80\xBF\"PRINT"},
      {{0x22, 0x01, 0x41, 0x01, 0x57, 0x01, 0x50, 0x01, 0x5F, 0x22}, L"\"\x263A\x2500P_\""},
      {{0x3A, 0x8F, 0xE6, 0x20, 0x48, 0xC1, 0x91}, L"' H\x0430\x91"},
      {{0x3A, 0x8F, 0x20, 0x48, 0x22, 0xE1}, L":REM H\"\x0410"},
      {{0x3A, 0x8F, 0xC1, 0xC1}, L":REM\xC1\x0430"},    // the first byte stays unmapped
      {{0x8F, 0x20, 0x91, 0x0F, 0x05}, L"REM PRINT5"},  // plain REM lists tokens
      {{0x84, 0x20, 0x31, 0x2C, 0x22, 0x41, 0x22, 0x2C, 0x2E, 0x35}, L"DATA 1,\"A\",.5"},
  });
  Bytes tokens = {0x22};
  const std::wstring koi8r = L"юабцдефгхийклмнопярстужвьызшэщчъЮАБЦДЕФГХИЙКЛМНОПЯРСТУЖВЬЫЗШЭЩЧЪ";
  for (unsigned code = 0xC0; code <= 0xFF; ++code)
    tokens.push_back(static_cast<std::uint8_t>(code));
  EXPECT_EQ(ListTokens(tokens), L"\"" + koi8r);
}

// The map's ends, a spread between them, and codes around it that stay as they are.
TEST(MsxBasicText, GraphicCharactersAfterTheirPrefix) {
  for (const auto& [code, character] : std::vector<std::pair<std::uint8_t, wchar_t>>{
           {0x4B, 0x2642}, {0x51, 0x2534}, {0x5E, 0x2572}, {0x40, 0x0040}, {0xC1, 0x00C1}})
    EXPECT_EQ(ListTokens({0x22, 0x01, code, 0x22}), (std::wstring{L'"', character, L'"'})) << code;
}

TEST(MsxBasicText, ColonFormsAfterAStatement) {
  ExpectTexts({{{0x3A}, L":"},
               {{0x9F, 0x3A, 0xC5, 0x20, 0x13}, L"CLS:SCREEN 2"},
               {{0x3A, 0xA1, 0x20, 0x91}, L"ELSE PRINT"},
               {{0x91, 0x3A, 0x8F, 0xE6, 0x41}, L"PRINT'A"},
               {{0x91, 0x3A, 0x8F}, L"PRINT:REM"}});
}

Bytes GoldenProgram() {
  return BasicProgramBuilder()
      .Line(20, {0x82, 0x20, 0x49, 0xEF, 0x12, 0x20, 0xD9, 0x20, 0x0F, 0x0A, 0x3A, 0x91,
                 0x20, 0x22, 0x48, 0x49, 0x22, 0x3B, 0x49, 0x3A, 0x83, 0x20, 0x49})
      .Line(30, {0x8B, 0x20, 0x41, 0x24, 0xEF, 0x22, 0x22, 0x20, 0xDA, 0x20,
                 0x0E, 0x0A, 0x00, 0x20, 0x3A, 0xA1, 0x20, 0x0E, 0x28, 0x00})
      .Line(40, {0x58, 0xEF, 0x0C, 0xFF, 0x00, 0xF1, 0x0B, 0x0F, 0x00, 0x3A, 0x59, 0xEF, 0x1D,
                 0x41, 0x15, 0x00, 0x00, 0x20, 0x3A, 0x8F, 0xE6, 0x20, 0x68, 0x61, 0x6C, 0x66})
      .Line(50, {0x41, 0xEF, 0xFF, 0x81, 0x28, 0x42, 0x24, 0x2C, 0x13, 0x29, 0xF1, 0xFF, 0x96, 0x28,
                 0x0F, 0x41, 0x29})
      .Line(65, {0x91, 0x20, 0x22, 0x01, 0x41, 0x22, 0x3B, 0x1C, 0x34, 0x12, 0x3B, 0x1F,
                 0x42, 0x12, 0,    0,    0,    0,    0,    0,    0x3A, 0x8F, 0x20, 0x58})
      .Line(70, {0x81})
      .Bytes();
}

const Lines kGoldenListing = {L"20 FOR I=1 TO 10:PRINT \"HI\";I:NEXT I",
                              L"30 IF A$=\"\" THEN 10 ELSE 40",
                              L"40 X=&HFF+&O17:Y=1.5 ' half",
                              L"50 A=LEFT$(B$,2)+CHR$(65)",
                              L"65 PRINT \"\x263A\";4660;12#:REM X",
                              L"70 END"};

TEST(MsxBasicProgram, ListsEveryLineInOrderFromTheStreamPosition) {
  Bytes bytes = {0x12, 0x34};
  const Bytes program = GoldenProgram();
  bytes.insert(bytes.end(), program.begin(), program.end());
  rtl::TMemoryStream stream(bytes);
  stream.SetPosition(2);
  TMsxBasicDecoder decoder;
  EXPECT_TRUE(decoder.Decode(stream));
  EXPECT_EQ(decoder.Lines(), kGoldenListing);
}

TEST(MsxBasicProgram, DataAfterTheEndMarkIsIgnored) {
  Bytes program = BasicProgramBuilder().Line(10, {0x81}).Bytes();
  program.insert(program.end(), {0x12, 0x34, 0x56});
  EXPECT_EQ(List(program).lines, Lines{L"10 END"});
}

TEST(MsxBasicProgram, LinkAtTheHighestAddressIsAccepted) {
  const Bytes longLine(0xDC00 - 0x8001 - 5, 0x20);
  Bytes program = BasicProgramBuilder().Line(10, longLine).Bytes();
  EXPECT_TRUE(List(program).ok);
  program[1] = 0x01;  // the link 0xDC01 lies above the program area
  EXPECT_FALSE(List(program).ok);
}

TEST(MsxBasicFailure, MalformedProgramsAreRefused) {
  const Bytes valid = BasicProgramBuilder().Line(10, {0x91}).Line(20, {0x81}).Bytes();
  // Each case: the program or `valid` with the bytes at an offset replaced.
  const struct {
    const char* what;
    std::size_t at;
    Bytes bytes;
    Lines lines;
  } cases[] = {{"empty", 0, {}, {}},
               {"first byte 0xFE", 0, {0xFE, 0x00, 0x00}, {}},
               {"missing terminator (the 0x00 ending line 10)", 6, {0x20}, {}},
               {"line 10 links to its own start", 1, {0x01, 0x80}, {}},
               {"line 20 links back to line 10", 7, {0x01, 0x80}, {L"10 PRINT"}},
               {"link below the program area", 1, {0x00, 0x80}, {}}};
  for (const auto& [what, at, bytes, lines] : cases) {
    Bytes program = at ? valid : bytes;
    if (at)
      std::copy(bytes.begin(), bytes.end(), program.begin() + static_cast<std::ptrdiff_t>(at));
    const Listing listing = List(program);
    EXPECT_FALSE(listing.ok) << what;
    EXPECT_EQ(listing.lines, lines) << what;
  }
}

// The program holds every multi-byte form, so its prefixes end inside each of them. (That a
// prefix lists a prefix of the lines is the fuzz target's property.)
TEST(MsxBasicFailure, EveryProperPrefixOfAProgramIsRefused) {
  const Bytes program = GoldenProgram();
  for (std::size_t length = 0; length < program.size(); ++length)
    EXPECT_FALSE(List(Bytes(program.begin(), program.begin() + length)).ok) << length;
}

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
      // A NUL would end the text where the window shows it: it shows as a blank.
      {{'a', 0x00, 'b', 0x0A, 0x00, 0x00}, L"a b\r\n  "},
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
      {"0xFF and no lines in Auto", noLines, vmAuto, vmBasic, L""},
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
}

}  // namespace
}  // namespace app
