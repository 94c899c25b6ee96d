#include "app/file_view_text.h"

#include <algorithm>
#include <vector>

#include "app/msx_basic.h"
#include "rtl/stream.h"
#include "ui/strings.h"

namespace app {
namespace {

constexpr std::size_t kBytesPerRow = 16;
constexpr std::wstring_view kLineBreak = L"\r\n";

std::wstring JoinLines(const std::vector<std::wstring>& lines) {
  std::size_t length = 0;
  for (const auto& line : lines) length += line.size() + kLineBreak.size();
  std::wstring text;
  text.reserve(length);
  for (const auto& line : lines) {
    if (&line != &lines.front()) text += kLineBreak;
    text += line;
  }
  return text;
}

std::size_t HexDigitCount(std::size_t value) {
  std::size_t digits = 1;
  while (value >= 16) {
    value /= 16;
    ++digits;
  }
  return digits;
}

// Writes `value` as upper-case hex, `digits` wide with leading zeros, at `out`; returns the end.
wchar_t* PutHex(wchar_t* out, std::size_t value, std::size_t digits) {
  static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
  for (std::size_t i = digits; i > 0; --i) {
    out[i - 1] = kDigits[value & 0x0F];
    value >>= 4;
  }
  return out + digits;
}

wchar_t* PutBlanks(wchar_t* out, std::size_t count) {
  return std::fill_n(out, count, L' ');
}

}  // namespace

bool IsBinary(std::span<const std::uint8_t> data) {
  for (std::size_t i = 0; i < data.size(); ++i) {
    const std::uint8_t byte = data[i];
    if (byte >= 32 || byte == 9 || byte == 10 || byte == 13) continue;
    if (byte == 26 && i + 1 == data.size()) continue;
    return true;
  }
  return false;
}

std::wstring HexDump(std::span<const std::uint8_t> data) {
  const std::size_t rows = (data.size() + kBytesPerRow - 1) / kBytesPerRow;
  // Every row but the offset and the characters has the same width: 4 + 3 * 16 + 4.
  constexpr std::size_t kFixedWidth = 4 + 3 * kBytesPerRow + 4;
  std::size_t length = 0;
  for (std::size_t row = 0; row < rows; ++row) {
    length += std::max<std::size_t>(4, HexDigitCount(row * kBytesPerRow)) + kFixedWidth;
  }
  length += data.size() + (rows > 0 ? (rows - 1) * kLineBreak.size() : 0);

  std::wstring text(length, L' ');
  wchar_t* out = text.data();
  for (std::size_t offset = 0; offset < data.size(); offset += kBytesPerRow) {
    if (offset > 0) out = std::copy(kLineBreak.begin(), kLineBreak.end(), out);
    const auto bytes = data.subspan(offset, std::min(kBytesPerRow, data.size() - offset));
    out = PutBlanks(PutHex(out, offset, std::max<std::size_t>(4, HexDigitCount(offset))), 4);
    for (const std::uint8_t byte : bytes) out = PutBlanks(PutHex(out, byte, 2), 1);
    out = PutBlanks(out, 4 + 3 * (kBytesPerRow - bytes.size()));
    for (const std::uint8_t byte : bytes) {
      *out++ = byte >= 32 && byte <= 127 ? static_cast<wchar_t>(byte) : L'.';
    }
  }
  return text;
}

std::wstring TextView(std::span<const std::uint8_t> data) {
  rtl::TMemoryStream stream(std::vector<std::uint8_t>(data.begin(), data.end()));
  ui::TStringList lines;
  lines.LoadFromStream(stream);
  std::wstring text = JoinLines(lines.ToVector());
  // The window that shows the text would end it at the first NUL.
  std::replace(text.begin(), text.end(), L'\0', L' ');
  return text;
}

std::optional<std::wstring> BasicListing(std::span<const std::uint8_t> data) {
  TMsxBasicDecoder decoder;
  if (!decoder.Decode(data)) return std::nullopt;
  return JoinLines(decoder.Lines());
}

TViewerContent BuildViewerContent(std::span<const std::uint8_t> data, std::wstring_view fileName,
                                  TViewerMode mode) {
  const std::wstring name(fileName);
  const auto listing = [&](std::wstring text) {
    return TViewerContent{TViewerMode::vmBasic, L"MSX Basic - " + name, std::move(text)};
  };
  const auto shown = [&](TViewerMode as, std::wstring text) {
    return TViewerContent{as, L"File Viewer - " + name, std::move(text)};
  };
  bool triedBasic = false;
  for (;;) {
    switch (mode) {
      case TViewerMode::vmAuto:
        if (!IsBinary(data)) {
          mode = TViewerMode::vmText;
        } else if (triedBasic) {
          mode = TViewerMode::vmHex;
        } else {
          triedBasic = true;
          if (auto text = BasicListing(data)) return listing(std::move(*text));
        }
        break;
      case TViewerMode::vmText:
        return shown(mode, TextView(data));
      case TViewerMode::vmHex:
        return shown(mode, HexDump(data));
      case TViewerMode::vmBasic:
        if (auto text = BasicListing(data)) return listing(std::move(*text));
        triedBasic = true;
        mode = TViewerMode::vmAuto;
        break;
      case TViewerMode::vmZ80:
        return shown(mode, std::wstring(kZ80Notice));
      default:
        return shown(TViewerMode::vmText, {});
    }
  }
}

std::wstring SizeStatusText(std::int32_t displaySize) {
  return std::to_wstring(displaySize) + L" bytes";
}

}  // namespace app
