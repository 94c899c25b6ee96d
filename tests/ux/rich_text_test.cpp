#include "ux/rich_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "rtl/code_page.h"
#include "ux/rich_attributes.h"
#include "ux/word_bounds.h"

namespace ux {
namespace {

std::vector<std::uint8_t> Bytes(std::string_view text) {
  return {text.begin(), text.end()};
}

// The UTF-16 LE bytes of a text whose line breaks are already CR LF.
std::vector<std::uint8_t> Expected(std::u16string_view text) {
  return Utf16LEBytes(text);
}

// Hands out at most `limit` bytes a read, so that the input arrives split between reads.
class TrickleConversion : public TConversion {
 public:
  explicit TrickleConversion(std::size_t limit) : limit_(limit) {}
  std::size_t ConvertReadStream(rtl::TStream& stream, std::span<std::uint8_t> buffer) override {
    return TConversion::ConvertReadStream(stream, buffer.first(std::min(limit_, buffer.size())));
  }

 private:
  std::size_t limit_;
};

// Every byte the feeder gives, asked for in buffers of the sizes `sizes` repeats, from input
// read at most `readLimit` bytes at a time; each call is checked against a canary just past its
// buffer.
std::vector<std::uint8_t> FeedAll(const std::vector<std::uint8_t>& input, bool plain,
                                  TStreamEncoding encoding, const std::vector<std::size_t>& sizes,
                                  std::size_t readLimit = SIZE_MAX) {
  rtl::TMemoryStream stream(input);
  TrickleConversion conversion(readLimit);
  TAnsiDecoder ansi;
  StreamInFeeder feeder(stream, conversion, plain, encoding, ansi);
  std::vector<std::uint8_t> out;
  for (std::size_t call = 0;; ++call) {
    const std::size_t size = sizes[call % sizes.size()];
    std::vector<std::uint8_t> buffer(size + 1, 0xA5);
    const std::size_t got = feeder.Fill(buffer.data(), size);
    EXPECT_LE(got, size);
    EXPECT_EQ(buffer[size], 0xA5) << "wrote past the buffer";
    if (got == 0) break;
    out.insert(out.end(), buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(got));
  }
  return out;
}

// Fixed cases at the edges of reads: breaks, BOMs and multi-byte characters split between calls.
TEST(StreamInFeeder, PlainTextCases) {
  struct Case {
    const char* name;
    std::string input;
    TStreamEncoding encoding;
    std::u16string expected;
  };
  const std::string utf16le(
      "\xFF\xFE"
      "a\0\r\0\n\0\xFF\xFE",
      10);
  const std::string utf16be("\xFE\xFF\0a\0\n\x04\x10", 8);
  const std::vector<Case> cases = {
      {"lf, cr and crlf", "a\nb\rc\r\nd", TStreamEncoding::Ansi, u"a\r\nb\r\nc\r\nd"},
      {"cr cr lf", "a\r\r\nb", TStreamEncoding::Ansi, u"a\r\n\r\nb"},
      {"utf-8 bom dropped", "\xEF\xBB\xBFx\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80",
       TStreamEncoding::Utf8, u"x\u00E9\u20AC\U0001F600"},
      {"bad utf-8", "a\xC3(\xFF", TStreamEncoding::Utf8, u"a\uFFFD(\uFFFD"},
      {"truncated utf-8 at the end", "a\xE2\x82", TStreamEncoding::Utf8, u"a\uFFFD"},
      {"utf-8 surrogates", "a\xED\xA0\x80z\xED\xBF\xBF", TStreamEncoding::Utf8, u"a\uFFFDz\uFFFD"},
      {"utf-8 around the surrogates", "\xED\x9F\xBF\xEE\x80\x80", TStreamEncoding::Utf8,
       u"\uD7FF\uE000"},
      {"utf-8 surrogate in four bytes", "\xF0\x8D\xA0\x80", TStreamEncoding::Utf8, u"\uFFFD"},
      {"utf-8 beyond the last character", "\xF4\x90\x80\x80", TStreamEncoding::Utf8, u"\uFFFD"},
      {"utf-16 le, later bom kept", utf16le, TStreamEncoding::Utf16LE, u"a\r\n\uFEFF"},
      {"utf-16 be", utf16be, TStreamEncoding::Utf16BE, u"a\r\n\u0410"},
      {"ansi cp1252", "\x80\xE9", TStreamEncoding::Ansi, u"\u20AC\u00E9"},
  };
  // Split on both sides: the output in buffers of every size, the input in reads of every size.
  const std::size_t sizes[] = {1, 2, 3, 64};
  for (const Case& c : cases) {
    for (const std::size_t size : sizes) {
      for (const std::size_t read : sizes) {
        EXPECT_EQ(FeedAll(Bytes(c.input), true, c.encoding, {size}, read), Expected(c.expected))
            << c.name << " size " << size << " read " << read;
      }
    }
  }
  // Rich text passes through byte for byte.
  const std::string rtf = "{\\rtf1 a\nb\r\n}";
  EXPECT_EQ(FeedAll(Bytes(rtf), false, TStreamEncoding::Ansi, {5}), Bytes(rtf));
}

// Random texts in every encoding, read in random buffer sizes, give the reference conversion.
TEST(StreamInFeeder, RandomTextsMatchTheReference) {
  std::mt19937 random(17);
  const char32_t alphabet[] = {U'a',      U'Z',      U'\r',     U'\n',     U' ',
                               U'\u00E9', U'\u0416', U'\u20AC', U'\uFEFF', U'\U0001F600'};
  for (int round = 0; round < 300; ++round) {
    std::u32string text;
    const int length = static_cast<int>(random() % 40);
    for (int i = 0; i < length; ++i) text += alphabet[random() % std::size(alphabet)];
    const auto encoding = static_cast<TStreamEncoding>(1 + random() % 3);  // the Unicode ones
    const bool bom = random() % 2;

    std::u16string units;  // the text as UTF-16
    for (const char32_t c : text) {
      if (c > 0xFFFF) {
        units += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
        units += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
      } else {
        units += static_cast<char16_t>(c);
      }
    }
    std::vector<std::uint8_t> input;
    const auto preamble = Preamble(encoding);
    if (bom) input.assign(preamble.begin(), preamble.end());
    if (encoding == TStreamEncoding::Utf8) {
      for (const char32_t c : text) {
        if (c < 0x80) {
          input.push_back(static_cast<std::uint8_t>(c));
        } else if (c < 0x800) {
          input.push_back(static_cast<std::uint8_t>(0xC0 | (c >> 6)));
          input.push_back(static_cast<std::uint8_t>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
          input.push_back(static_cast<std::uint8_t>(0xE0 | (c >> 12)));
          input.push_back(static_cast<std::uint8_t>(0x80 | ((c >> 6) & 0x3F)));
          input.push_back(static_cast<std::uint8_t>(0x80 | (c & 0x3F)));
        } else {
          input.push_back(static_cast<std::uint8_t>(0xF0 | (c >> 18)));
          input.push_back(static_cast<std::uint8_t>(0x80 | ((c >> 12) & 0x3F)));
          input.push_back(static_cast<std::uint8_t>(0x80 | ((c >> 6) & 0x3F)));
          input.push_back(static_cast<std::uint8_t>(0x80 | (c & 0x3F)));
        }
      }
    } else {
      for (const char16_t u : units) {
        const auto hi = static_cast<std::uint8_t>(u >> 8), lo = static_cast<std::uint8_t>(u);
        input.push_back(encoding == TStreamEncoding::Utf16BE ? hi : lo);
        input.push_back(encoding == TStreamEncoding::Utf16BE ? lo : hi);
      }
    }
    // Reference: a leading U+FEFF dropped (the stream's own BOM, or the text's first character
    // when there is none), every break a CR LF.
    std::u16string expected;
    std::size_t i = 0;
    if (!units.empty() && units[0] == 0xFEFF && !bom) i = 1;
    for (; i < units.size(); ++i) {
      if (units[i] == u'\r' || units[i] == u'\n') {
        expected += u"\r\n";
        if (units[i] == u'\r' && i + 1 < units.size() && units[i + 1] == u'\n') ++i;
      } else {
        expected += units[i];
      }
    }
    std::vector<std::size_t> sizes;
    for (int k = 0; k < 8; ++k) sizes.push_back(2 + random() % 63);
    EXPECT_EQ(FeedAll(input, true, encoding, sizes), Expected(expected)) << "round " << round;
  }
}

TEST(RichText, DetectEncodingKeepsThePosition) {
  struct Case {
    std::string bytes;
    TStreamEncoding expected;
  };
  const Case cases[] = {
      {"\xFF\xFEx", TStreamEncoding::Utf16LE},  {"\xFE\xFFx", TStreamEncoding::Utf16BE},
      {"\xEF\xBB\xBFx", TStreamEncoding::Utf8}, {"\xEF\xBB", TStreamEncoding::Ansi},
      {"{\\rtf1}", TStreamEncoding::Ansi},      {"", TStreamEncoding::Ansi}};
  for (const Case& c : cases) {
    rtl::TMemoryStream stream(Bytes("ab" + c.bytes));
    stream.SetPosition(2);
    EXPECT_EQ(DetectEncoding(stream), c.expected) << c.bytes;
    EXPECT_EQ(stream.Position(), 2);
  }
}

TEST(RichText, ConversionFormatsNewestFirst) {
  TConversionFormats formats;
  ASSERT_NE(formats.Find(L"TXT"), nullptr);
  EXPECT_TRUE(formats.Find(L".txt")->plainText);
  EXPECT_FALSE(formats.Find(L"rtf")->plainText);
  EXPECT_EQ(formats.Find(L"doc"), nullptr);
  formats.Register(L"TXT", false, DefaultConversionClass());
  EXPECT_FALSE(formats.Find(L"txt")->plainText);
  formats.Reset();
  EXPECT_TRUE(formats.Find(L"txt")->plainText);
}

// A formatter that fits `perPage` characters on a page, or none after `stuckAt`.
struct FakeFormatter : TPageFormatter {
  int perPage = 10;
  int stuckAt = -1;
  int pagesLeft = 1000;  // the job is aborted after these
  std::vector<std::pair<int, int>> rendered;
  bool open = false;
  bool StartPage() override {
    EXPECT_FALSE(open);
    open = true;
    return pagesLeft-- > 0;
  }
  bool EndPage() override {
    open = false;
    return true;
  }
  int FormatPage(int start, int length) override {
    const int end = start == stuckAt ? start : std::min(start + perPage, length);
    rendered.emplace_back(start, end);
    return end;
  }
};

TEST(RichText, PrintLoopCoversTheTextAndStops) {
  struct Case {
    const char* name;
    int length, perPage, stuckAt, pagesLeft, expectedPages;
  };
  const Case cases[] = {
      {"three pages", 25, 10, -1, 1000, 3},
      {"exactly two", 20, 10, -1, 1000, 2},
      {"empty text", 0, 10, -1, 1000, 1},
      {"object taller than a page", 25, 10, 10, 1000, 2},
      {"empty print rectangle", 25, 0, -1, 1000, 1},
      {"aborted", 100, 10, -1, 2, 2},
  };
  for (const Case& c : cases) {
    FakeFormatter formatter;
    formatter.perPage = c.perPage;
    formatter.stuckAt = c.stuckAt;
    formatter.pagesLeft = c.pagesLeft;
    EXPECT_EQ(PrintPageLoop(formatter, c.length), c.expectedPages) << c.name;
    int next = 0;
    for (const auto& [start, end] : formatter.rendered) {
      EXPECT_EQ(start, next) << c.name;
      next = end;
    }
  }
}

TEST(RichText, RangesSearchAndLines) {
  EXPECT_EQ(NormalizeRange(2, -1, 10).end, 10);
  EXPECT_EQ(NormalizeRange(8, 3, 10).start, 3);
  EXPECT_EQ(NormalizeRange(8, 3, 10).end, 8);
  EXPECT_EQ(NormalizeRange(-5, 50, 10).start, 0);
  EXPECT_EQ(NormalizeRange(-5, 50, 10).end, 10);
  EXPECT_EQ(SelTextCopyCount(5, 0), 0);
  EXPECT_EQ(SelTextCopyCount(5, -3), 0);
  EXPECT_EQ(SelTextCopyCount(5, 3), 2);
  EXPECT_EQ(SelTextCopyCount(5, 10), 5);

  // Flags: FR_DOWN 1, FR_WHOLEWORD 2, FR_MATCHCASE 4. Version 1 searches forward only, without
  // the direction flag.
  const struct {
    TRichSearchTypes options;
    int version;
    std::uint32_t flags;
    int start, end;
  } searches[] = {
      {0, 3, 1, 4, 10},
      {stBackward | stWholeWord | stMatchCase, 3, 6, 10, 4},
      {stBackward, 2, 0, 10, 4},
      {0, 1, 0, 4, 10},
      {stBackward | stWholeWord, 1, 2, 4, 10},
  };
  for (const auto& c : searches) {
    SCOPED_TRACE(testing::Message() << int{c.options} << " version " << c.version);
    EXPECT_EQ(FindFlags(c.options, c.version), c.flags);
    EXPECT_EQ(FindRange(4, 6, c.options, c.version).start, c.start);
    EXPECT_EQ(FindRange(4, 6, c.options, c.version).end, c.end);
  }
  EXPECT_EQ(FindRange(4, -1, 0, 3).end, -1);
  EXPECT_EQ(FindRange(4, INT_MAX, 0, 3).end, INT_MAX);
  EXPECT_EQ(FindRange(4, INT_MAX, stBackward, 3).start, INT_MAX);

  EXPECT_EQ(StripLineBreak(L"ab\r\n"), L"ab");
  EXPECT_EQ(StripLineBreak(L"ab\r"), L"ab");
  EXPECT_EQ(StripLineBreak(L"ab"), L"ab");
  EXPECT_EQ(StripLineBreak(L"\r"), L"");
}

// The word around a caret: the control's own delimiter answers where it gives them, white
// space where it answers none (0 to every question).
TEST(RichText, WordAroundTheCaret) {
  const auto silent = [](int) { return false; };
  const auto spacesAndCommas = [](std::wstring_view line) {
    return [line](int at) {
      return line[static_cast<std::size_t>(at)] == L' ' ||
             line[static_cast<std::size_t>(at)] == L',';
    };
  };
  const struct {
    std::wstring_view line;
    int caret;
    bool controlAnswers;
    int start, end;
  } cases[] = {
      {L"hello brave world", 0, false, 0, 5},
      {L"hello brave world", 3, false, 0, 5},
      {L"hello brave world", 5, false, 0, 5},  // just after a word
      {L"hello brave world", 6, false, 6, 11},
      {L"hello brave world", 17, false, 12, 17},
      {L"a  b", 2, false, 2, 2},  // between two delimiters: no word
      {L"tab	here", 4, false, 4, 8},
      {L"abc", 1, false, 0, 3},
      {L"", 0, false, 0, 0},
      {L"one,two three", 5, false, 0, 7},
      {L"one,two three", 5, true, 4, 7},
      {L"one,two three", 3, true, 0, 3},
      {L"one,two three", 13, true, 8, 13},
      {L"x", 9, false, 0, 1},  // a caret beyond the line is at its end
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << std::string(c.line.begin(), c.line.end()) << " at " << c.caret);
    const std::function<bool(int)> control =
        c.controlAnswers ? std::function<bool(int)>(spacesAndCommas(c.line)) : silent;
    const TCharRange word = WordAround(c.line, c.caret, control);
    EXPECT_EQ(word.start, c.start);
    EXPECT_EQ(word.end, c.end);
  }
  EXPECT_TRUE(IsWordDelimiter(0x3000));
  EXPECT_FALSE(IsWordDelimiter(0xA0));  // a no-break space joins

  // The control's word breaks bound the word where they enclose it (here breaks that also end
  // words at points); breaks that do not (0 to every question, or beyond the line) are no answer.
  const std::wstring_view line = L"foo.bar baz";
  const auto ends = [line](int i) {
    return line[static_cast<std::size_t>(i)] == L' ' || line[static_cast<std::size_t>(i)] == L'.';
  };
  const std::function<int(int)> pointStart = [&](int at) {
    while (at > 0 && !ends(at - 1)) --at;
    return at;
  };
  const std::function<int(int)> pointEnd = [&](int at) {
    while (at < static_cast<int>(line.size()) && !ends(at)) ++at;
    return at;
  };
  const std::function<int(int)> zero = [](int) { return 0; };
  const std::function<int(int)> beyond = [](int) { return 99; };
  const struct {
    int caret;
    const std::function<int(int)>& start;
    const std::function<int(int)>& end;
    int wordStart, wordEnd;
  } breaks[] = {
      {5, pointStart, pointEnd, 4, 7},
      {7, pointStart, pointEnd, 4, 7},
      {5, zero, zero, 0, 7},
      {5, pointStart, beyond, 0, 7},
  };
  for (const auto& c : breaks) {
    SCOPED_TRACE(c.caret);
    const TCharRange word = WordAround(line, c.caret, spacesAndCommas(line), c.start, c.end);
    EXPECT_EQ(word.start, c.wordStart);
    EXPECT_EQ(word.end, c.wordEnd);
  }
}

TEST(RichText, LibraryLoadAndVersion) {
  EXPECT_FALSE(LibraryHandleLoaded(0));
  EXPECT_FALSE(LibraryHandleLoaded(31));
  EXPECT_TRUE(LibraryHandleLoaded(0x10000000));
  EXPECT_EQ(ChooseRichEditVersion(false, true, 10), 1);
  EXPECT_EQ(ChooseRichEditVersion(true, false, 5), 2);
  EXPECT_EQ(ChooseRichEditVersion(true, true, 4), 2);
  EXPECT_EQ(ChooseRichEditVersion(true, true, 5), 3);
}

TEST(RichText, RtfEscape) {
  EXPECT_EQ(RtfEscape(L"1.0 {a}\\b"), "1.0 \\{a\\}\\\\b");
  EXPECT_EQ(RtfEscape(L"\u00A9 \u0416\uFFFD"), "\\u169? \\u1046?\\u-3?");
  EXPECT_EQ(RtfEscape(L"\U0001F600"), "\\u-10179?\\u-8704?");
  EXPECT_EQ(RtfEscape(L"a\tb"), "a\\u9?b");
}

TEST(RichAttributes, Conversions) {
  const TUxConsistentAttributes all = ConsistentAttributesFromMask(0xFFFFFFFF);
  for (int a = caBold; a <= caURL; ++a)
    EXPECT_TRUE(Has(all, static_cast<TUxConsistentAttribute>(a)));
  const TUxConsistentAttributes some =
      ConsistentAttributesFromMask(cfm::kItalic | cfm::kFace | 0x10000);
  EXPECT_TRUE(Has(some, caItalic));
  EXPECT_TRUE(Has(some, caFace));
  EXPECT_FALSE(Has(some, caBold));
  EXPECT_FALSE(Has(some, caSubscript));  // only half of the subscript bits

  EXPECT_EQ(PointsToPixels(9, 96), 12);
  EXPECT_EQ(PixelsToPoints(12, 96), 9);
  EXPECT_EQ(PixelsToPoints(12, 0), 0);
  EXPECT_EQ(TwipsToPoints(230), 11);

  EXPECT_FALSE(TextColorToRgb(kClWindowText));
  EXPECT_FALSE(TextColorToRgb(kClDefault));
  EXPECT_EQ(TextColorToRgb(0x123456), 0x123456U);

  for (int t = 0; t <= static_cast<int>(TUnderlineType::utWave); ++t) {
    const auto type = static_cast<TUnderlineType>(t);
    EXPECT_EQ(UnderlineTypeFromCode(UnderlineCode(type)), type);
  }
  EXPECT_EQ(UnderlineCode(TUnderlineType::utWave), 8);
  EXPECT_EQ(NumberingFromCode(NumberingCode(TUxNumbering::nsArabicNumbers, 1), 1),
            TUxNumbering::nsBullet);
  EXPECT_EQ(NumberingFromCode(NumberingCode(TUxNumbering::nsLoCaseRoman, 3), 3),
            TUxNumbering::nsLoCaseRoman);
  for (int s = 0; s < 4; ++s) {
    const auto style = static_cast<TUxNumberingStyle>(s);
    EXPECT_EQ(NumberingStyleFromCode(NumberingStyleCode(style)), style);
  }
  EXPECT_EQ(AlignmentCode(TParaAlignment::paCenter, false), 3);
  EXPECT_EQ(AlignmentCode(TParaAlignment::paLeftJustify, true), 2);
  EXPECT_EQ(AlignmentFromCode(4), TParaAlignment::paJustify);
  EXPECT_TRUE(ValidTabIndex(31));
  EXPECT_FALSE(ValidTabIndex(32));
  EXPECT_FALSE(ValidTabIndex(-1));
}

}  // namespace
}  // namespace ux
