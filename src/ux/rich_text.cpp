#include "ux/rich_text.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cwctype>

#include "rtl/code_page.h"

namespace ux {

namespace {

constexpr std::array<std::uint8_t, 2> kUtf16LEMark = {0xFF, 0xFE};
constexpr std::array<std::uint8_t, 2> kUtf16BEMark = {0xFE, 0xFF};
constexpr std::array<std::uint8_t, 3> kUtf8Mark = {0xEF, 0xBB, 0xBF};

constexpr char16_t kReplacement = 0xFFFD;
constexpr char16_t kByteOrderMark = 0xFEFF;

// The common dialog's search flags.
constexpr std::uint32_t kFrDown = 0x1, kFrWholeWord = 0x2, kFrMatchCase = 0x4;

void AppendCodePoint(std::u16string& out, char32_t c) {
  if (c >= 0x10000 && c <= 0x10FFFF) {
    c -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
  } else if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
    out.push_back(kReplacement);
  } else {
    out.push_back(static_cast<char16_t>(c));
  }
}

// UTF-8 up to the last complete sequence (everything at the end); bad bytes become U+FFFD.
std::u16string DecodeUtf8(std::string_view bytes, bool atEnd, std::size_t& consumed) {
  std::u16string out;
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<std::uint8_t>(bytes[i]);
    std::size_t length = lead < 0x80         ? 1
                         : (lead >> 5) == 6  ? 2
                         : (lead >> 4) == 14 ? 3
                         : (lead >> 3) == 30 ? 4
                                             : 0;
    if (length == 0) {
      out.push_back(kReplacement);
      ++i;
      continue;
    }
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    std::size_t k = 1;
    for (; k < length && i + k < bytes.size(); ++k) {
      const auto next = static_cast<std::uint8_t>(bytes[i + k]);
      if ((next & 0xC0) != 0x80) break;
      c = (c << 6) | (next & 0x3F);
    }
    if (k < length && i + k == bytes.size() && !atEnd) break;  // completed by the next read
    if (k < length) {
      out.push_back(kReplacement);
      i += k;
      continue;
    }
    const char32_t minimum = length == 2 ? 0x80 : length == 3 ? 0x800 : length == 4 ? 0x10000 : 0;
    AppendCodePoint(out, c < minimum ? kReplacement : c);
    i += length;
  }
  consumed = i;
  return out;
}

std::u16string DecodeUtf16(std::string_view bytes, bool bigEndian, std::size_t& consumed) {
  std::u16string out;
  std::size_t i = 0;
  for (; i + 1 < bytes.size(); i += 2) {
    const auto a = static_cast<std::uint8_t>(bytes[i]);
    const auto b = static_cast<std::uint8_t>(bytes[i + 1]);
    out.push_back(static_cast<char16_t>(bigEndian ? (a << 8) | b : (b << 8) | a));
  }
  consumed = i;
  return out;
}

}  // namespace

TStreamEncoding DetectEncoding(rtl::TStream& stream) {
  const std::int64_t position = stream.Position();
  std::array<std::uint8_t, 3> head{};
  const std::size_t got = stream.ReadFully(head);
  stream.SetPosition(position);
  const auto starts = [&](std::span<const std::uint8_t> mark) {
    return got >= mark.size() && std::equal(mark.begin(), mark.end(), head.begin());
  };
  if (starts(kUtf16LEMark)) return TStreamEncoding::Utf16LE;
  if (starts(kUtf16BEMark)) return TStreamEncoding::Utf16BE;
  if (starts(kUtf8Mark)) return TStreamEncoding::Utf8;
  return TStreamEncoding::Ansi;
}

std::span<const std::uint8_t> Preamble(TStreamEncoding encoding) {
  switch (encoding) {
    case TStreamEncoding::Utf16LE:
      return kUtf16LEMark;
    case TStreamEncoding::Utf16BE:
      return kUtf16BEMark;
    case TStreamEncoding::Utf8:
      return kUtf8Mark;
    case TStreamEncoding::Ansi:
      break;
  }
  return {};
}

// Conversions

std::size_t TConversion::ConvertReadStream(rtl::TStream& stream, std::span<std::uint8_t> buffer) {
  return stream.Read(buffer);
}

std::size_t TConversion::ConvertWriteStream(rtl::TStream& stream,
                                            std::span<const std::uint8_t> data) {
  return stream.Write(data);
}

TConversionClass DefaultConversionClass() {
  return [] { return std::make_unique<TConversion>(); };
}

TConversionFormats::TConversionFormats() {
  Reset();
}

void TConversionFormats::Register(std::wstring_view extension, bool plainText,
                                  TConversionClass conversionClass) {
  std::wstring lower(extension);
  for (wchar_t& c : lower) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
  formats_.insert(formats_.begin(), {std::move(lower), plainText, std::move(conversionClass)});
}

const TConversionFormat* TConversionFormats::Find(std::wstring_view extension) const {
  if (!extension.empty() && extension.front() == L'.') extension.remove_prefix(1);
  for (const TConversionFormat& format : formats_) {
    if (format.extension.size() != extension.size()) continue;
    if (std::equal(extension.begin(), extension.end(), format.extension.begin(),
                   [](wchar_t a, wchar_t b) {
                     return std::towlower(static_cast<wint_t>(a)) == static_cast<wint_t>(b);
                   }))
      return &format;
  }
  return nullptr;
}

void TConversionFormats::Reset() {
  formats_.clear();
  Register(L"rtf", false, DefaultConversionClass());
  Register(L"txt", true, DefaultConversionClass());
}

TConversionFormats& ConversionFormats() {
  static TConversionFormats formats;
  return formats;
}

void RegisterConversionFormat(std::wstring_view extension, bool plainText,
                              TConversionClass conversionClass) {
  ConversionFormats().Register(extension, plainText, std::move(conversionClass));
}

// The stream-in feeder

std::u16string TAnsiDecoder::Decode(std::string_view bytes, bool, std::size_t& consumed) const {
  consumed = bytes.size();
  return ToUtf16(rtl::CodePage().ToUnicode(bytes));
}

std::u16string ToUtf16(std::wstring_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (const wchar_t c : text) {
    if constexpr (sizeof(wchar_t) == 2) {
      out.push_back(static_cast<char16_t>(c));
    } else {
      AppendCodePoint(out, static_cast<char32_t>(c));
    }
  }
  return out;
}

StreamInFeeder::StreamInFeeder(rtl::TStream& stream, TConversion& conversion, bool plainText,
                               TStreamEncoding encoding, const TAnsiDecoder& ansi)
    : stream_(stream),
      conversion_(conversion),
      plainText_(plainText),
      encoding_(encoding),
      ansi_(ansi) {}

std::u16string StreamInFeeder::Decode(bool atEnd) {
  std::size_t consumed = 0;
  std::u16string text;
  switch (encoding_) {
    case TStreamEncoding::Ansi:
      text = ansi_.Decode(input_, atEnd, consumed);
      break;
    case TStreamEncoding::Utf8:
      text = DecodeUtf8(input_, atEnd, consumed);
      break;
    case TStreamEncoding::Utf16LE:
    case TStreamEncoding::Utf16BE:
      text = DecodeUtf16(input_, encoding_ == TStreamEncoding::Utf16BE, consumed);
      break;
  }
  consumed = std::min(consumed, input_.size());
  input_.erase(0, consumed);
  return text;
}

void StreamInFeeder::Emit(char16_t unit) {
  out_.push_back(static_cast<std::uint8_t>(unit & 0xFF));
  out_.push_back(static_cast<std::uint8_t>(unit >> 8));
}

void StreamInFeeder::ReadMore() {
  std::array<std::uint8_t, kReadSize> chunk{};
  const std::size_t got = std::min(conversion_.ConvertReadStream(stream_, chunk), chunk.size());
  if (got == 0) ended_ = true;
  if (!plainText_) {
    out_.insert(out_.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(got));
    return;
  }
  input_.append(reinterpret_cast<const char*>(chunk.data()), got);
  for (const char16_t unit : Decode(ended_)) {
    if (atStart_) {
      atStart_ = false;
      if (unit == kByteOrderMark) continue;
    }
    if (unit == u'\n' && afterCr_) {
      afterCr_ = false;
      continue;
    }
    afterCr_ = unit == u'\r';
    if (unit == u'\r' || unit == u'\n') {
      Emit(u'\r');
      Emit(u'\n');
    } else {
      Emit(unit);
    }
  }
  // A last odd byte of a UTF-16 text goes out as it is.
  if (ended_ && !input_.empty()) {
    out_.insert(out_.end(), input_.begin(), input_.end());
    input_.clear();
  }
}

std::size_t StreamInFeeder::Fill(std::uint8_t* buffer, std::size_t size) {
  while (out_.size() - outStart_ < size && !ended_) ReadMore();
  const std::size_t count = std::min(size, out_.size() - outStart_);
  std::copy_n(out_.begin() + static_cast<std::ptrdiff_t>(outStart_), count, buffer);
  outStart_ += count;
  if (outStart_ == out_.size()) {
    out_.clear();
    outStart_ = 0;
  }
  return count;
}

std::vector<std::uint8_t> Utf16LEBytes(std::u16string_view text) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(text.size() * 2);
  for (const char16_t unit : text) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  return bytes;
}

// Printing

int PrintPageLoop(TPageFormatter& formatter, int textLength) {
  int pages = 0;
  int position = 0;
  do {
    if (!formatter.StartPage()) break;
    ++pages;
    const int next = formatter.FormatPage(position, textLength);
    if (!formatter.EndPage() || next <= position) break;
    position = next;
  } while (position < textLength);
  return pages;
}

// Ranges, search and lines

TCharRange NormalizeRange(int start, int end, int length) {
  length = std::max(length, 0);
  if (end < 0) end = length;
  start = std::clamp(start, 0, length);
  end = std::clamp(end, 0, length);
  if (end < start) std::swap(start, end);
  return {start, end};
}

int SelTextCopyCount(int selectionLength, int bufSize) {
  if (bufSize <= 0) return 0;
  return std::clamp(selectionLength, 0, bufSize - 1);
}

std::uint32_t FindFlags(TRichSearchTypes options, int richEditVersion) {
  std::uint32_t flags = 0;
  if (!(options & stBackward) && richEditVersion >= 2) flags |= kFrDown;
  if (options & stWholeWord) flags |= kFrWholeWord;
  if (options & stMatchCase) flags |= kFrMatchCase;
  return flags;
}

TCharRange FindRange(int startPos, int length, TRichSearchTypes options, int richEditVersion) {
  // A length beyond the largest position reaches the text's end, like the control's own limits.
  const int end =
      length < 0
          ? -1
          : static_cast<int>(std::min<std::int64_t>(std::int64_t{startPos} + length, INT_MAX));
  if ((options & stBackward) && richEditVersion >= 2 && end >= 0) return {end, startPos};
  return {startPos, end};
}

std::wstring StripLineBreak(std::wstring line) {
  if (line.ends_with(L"\r\n")) {
    line.resize(line.size() - 2);
  } else if (!line.empty() && (line.back() == L'\r' || line.back() == L'\n')) {
    line.pop_back();
  }
  return line;
}

std::string RtfEscape(std::wstring_view text) {
  const std::u16string units = ToUtf16(text);
  std::string rtf;
  for (const char16_t unit : units) {
    if (unit == u'\\' || unit == u'{' || unit == u'}') {
      rtf += '\\';
      rtf += static_cast<char>(unit);
    } else if (unit >= 0x20 && unit < 0x7F) {
      rtf += static_cast<char>(unit);
    } else {
      rtf += "\\u" + std::to_string(static_cast<std::int16_t>(unit)) + "?";
    }
  }
  return rtf;
}

}  // namespace ux
