// The rich-edit control's own byte handling over arbitrary input: the stream-in feeder in every
// encoding and buffer size (never past a buffer, all the text out, one CR LF per break, no lone
// CR or LF), the encoding test, RTF escaping (printable ASCII, balanced braces) and the
// attribute and range conversions (values within their ranges).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_util.h"
#include "rtl/stream.h"
#include "ux/rich_attributes.h"
#include "ux/rich_text.h"

namespace {

void FeedEverything(std::span<const std::uint8_t> text, bool plain, ux::TStreamEncoding encoding,
                    TScript& sizes) {
  rtl::TMemoryStream stream(std::vector<std::uint8_t>(text.begin(), text.end()));
  ux::TConversion conversion;
  ux::TAnsiDecoder ansi;
  ux::StreamInFeeder feeder(stream, conversion, plain, encoding, ansi);
  std::vector<std::uint8_t> out;
  for (;;) {
    const std::size_t size = 1 + sizes.Byte() % 96;
    std::vector<std::uint8_t> buffer(size + 1, 0x5A);
    const std::size_t got = feeder.Fill(buffer.data(), size);
    Require(got <= size && buffer[size] == 0x5A);
    if (got == 0) break;
    out.insert(out.end(), buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(got));
  }
  if (!plain) {
    Require(std::equal(out.begin(), out.end(), text.begin(), text.end()));
    return;
  }
  // UTF-16 LE units (a last odd byte of a UTF-16 text may follow): breaks only as CR LF.
  const std::size_t units = out.size() / 2;
  Require(out.size() % 2 == 0 || encoding == ux::TStreamEncoding::Utf16LE ||
          encoding == ux::TStreamEncoding::Utf16BE);
  for (std::size_t i = 0; i < units; ++i) {
    const unsigned unit = out[2 * i] | out[2 * i + 1] << 8;
    const unsigned next = i + 1 < units ? out[2 * i + 2] | out[2 * i + 3] << 8 : 0;
    const unsigned previous = i > 0 ? out[2 * i - 2] | out[2 * i - 1] << 8 : 0;
    if (unit == '\r') Require(next == '\n');
    if (unit == '\n') Require(previous == '\r');
  }
  // Never more than a CR LF per input byte, plus the widening of 8-bit text.
  Require(out.size() <= 4 * text.size() + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TScript script(std::span(data, std::min<std::size_t>(size, 64)));
  const std::uint8_t mode = script.Byte();
  const std::span<const std::uint8_t> text(data + std::min<std::size_t>(size, 1),
                                           size - std::min<std::size_t>(size, 1));
  FeedEverything(text, (mode & 4) == 0, static_cast<ux::TStreamEncoding>(mode & 3), script);

  rtl::TMemoryStream probe(std::vector<std::uint8_t>(text.begin(), text.end()));
  const ux::TStreamEncoding detected = ux::DetectEncoding(probe);
  Require(probe.Position() == 0);
  const auto preamble = ux::Preamble(detected);
  Require(std::equal(
      preamble.begin(), preamble.end(), text.begin(),
      text.begin() + static_cast<std::ptrdiff_t>(std::min(preamble.size(), text.size()))));

  std::wstring wide;
  for (std::size_t i = 0; i + 1 < text.size(); i += 2)
    wide += static_cast<wchar_t>(text[i] | text[i + 1] << 8 | (mode & 8 ? 0x10000 : 0));
  const std::string rtf = ux::RtfEscape(wide);
  int depth = 0;
  for (std::size_t i = 0; i < rtf.size(); ++i) {
    Require(rtf[i] >= 0x20 && rtf[i] < 0x7F);
    if (rtf[i] == '\\') {
      ++i;
      continue;
    }
    depth += rtf[i] == '{' ? 1 : rtf[i] == '}' ? -1 : 0;
  }
  Require(depth == 0);

  const std::uint32_t mask = script.Word() | script.Word() << 16;
  const ux::TUxConsistentAttributes set = ux::ConsistentAttributesFromMask(mask);
  Require((set >> (ux::caURL + 1)) == 0);
  const int a = static_cast<std::int16_t>(script.Word());
  const int b = static_cast<std::int16_t>(script.Word());
  const int length = script.Word();
  const ux::TCharRange range = ux::NormalizeRange(a, b, length);
  Require(0 <= range.start && range.start <= range.end && range.end <= length);
  const int copied = ux::SelTextCopyCount(a, b);
  Require(copied >= 0 && (b <= 0 ? copied == 0 : copied < b));
  Require(ux::ValidTabIndex(a) == (a >= 0 && a < ux::kMaxTabStops));
  const auto code = static_cast<std::uint16_t>(script.Word());
  for (const int version : {1, 2, 3}) {
    const ux::TUxNumbering numbering = ux::NumberingFromCode(code, version);
    Require(numbering <= ux::TUxNumbering::nsUpCaseRoman);
    Require(ux::NumberingFromCode(ux::NumberingCode(numbering, version), version) ==
            (version < 2 && numbering != ux::TUxNumbering::nsNone ? ux::TUxNumbering::nsBullet
                                                                  : numbering));
  }
  Require(ux::UnderlineCode(ux::UnderlineTypeFromCode(static_cast<std::uint8_t>(code))) ==
              (code & 0xFF) ||
          ux::UnderlineTypeFromCode(static_cast<std::uint8_t>(code)) ==
              ux::TUnderlineType::utSolid);
  Require(ux::AlignmentFromCode(code) <= ux::TParaAlignment::paJustify);
  return 0;
}
