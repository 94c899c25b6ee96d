#include "app/msx_basic.h"

#include <algorithm>

#include "app/msx_basic_tables.h"

namespace app {
namespace {

using msx_basic::MapChar;
using msx_basic::MapGraphChar;

// The MSX memory address of the first line's link; a link names the address of the next line.
constexpr std::uint32_t kFirstLinkAddress = 0x8001;
constexpr std::uint32_t kHighestLink = 0xDC00;

// Raised internally when the program needs more bytes than the data holds.
struct EndOfData {};

// Reads the bytes after the leading 0xFF and knows the MSX address of the next one.
class ProgramReader {
 public:
  explicit ProgramReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::uint8_t Byte() {
    if (position_ >= bytes_.size()) throw EndOfData{};
    return bytes_[position_++];
  }
  std::uint16_t Word() {
    const std::uint8_t low = Byte();
    return static_cast<std::uint16_t>(low | Byte() << 8);
  }
  std::uint32_t Address() const {
    return kFirstLinkAddress + static_cast<std::uint32_t>(position_);
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t position_ = 0;
};

void AppendNumber(std::wstring& text, std::uint32_t value, std::uint32_t base) {
  static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
  wchar_t buffer[32];
  std::size_t length = 0;
  do {
    buffer[length++] = kDigits[value % base];
    value /= base;
  } while (value != 0);
  while (length > 0) text += buffer[--length];
}

// Digits placed with a point after the first `integerDigits` of them; trailing zeros of the
// fraction, and then a bare point, are dropped.
std::wstring PlacePoint(std::wstring digits, std::size_t integerDigits) {
  if (digits.size() < integerDigits) digits.append(integerDigits - digits.size(), L'0');
  digits.insert(integerDigits, 1, L'.');
  std::size_t end = digits.size();
  while (end > integerDigits + 1 && digits[end - 1] == L'0') --end;
  if (end == integerDigits + 1) end = integerDigits;
  digits.resize(end);
  return digits;
}

std::wstring ExponentText(int exponent) {
  std::wstring text = exponent >= 1 ? L"E+" : L"E-";
  const int magnitude = exponent >= 1 ? exponent : -exponent;
  if (magnitude < 10) text += L'0';
  AppendNumber(text, static_cast<std::uint32_t>(magnitude), 10);
  return text;
}

// A BCD floating-point constant: the value is 0.<digits> times ten to the `exponent`.
std::wstring FormatBcd(std::span<const std::uint8_t> mantissa, int exponent, bool negative) {
  static constexpr wchar_t kNibbles[] = L"0123456789ABCDEF";  // crafted nibbles show as hex
  std::wstring digits;
  for (const std::uint8_t byte : mantissa) {
    digits += kNibbles[byte >> 4];
    digits += kNibbles[byte & 0x0F];
  }
  std::wstring text;
  if (exponent >= 15 || exponent <= -2) {
    text = PlacePoint(std::move(digits), 1) + ExponentText(exponent - 1);
  } else if (exponent >= 0) {
    text = PlacePoint(std::move(digits), static_cast<std::size_t>(exponent));
  } else {
    text = L".0" + digits;
    while (!text.empty() && text.back() == L'0') text.pop_back();
    if (text == L".") text.clear();
  }
  return negative ? L"-" + text : text;
}

// A single (4 bytes) or double (8 bytes) precision constant with its type suffix.
void AppendFloat(std::wstring& text, ProgramReader& in, std::size_t size, wchar_t suffix) {
  std::uint8_t bytes[8];
  for (std::size_t i = 0; i < size; ++i) bytes[i] = in.Byte();
  const std::span<const std::uint8_t> value(bytes, size);
  if (std::all_of(value.begin(), value.end(), [](std::uint8_t b) { return b == 0; })) {
    text += L'0';
    text += suffix;
    return;
  }
  const int exponent = (bytes[0] & 0x7F) - 64;
  const std::wstring number = FormatBcd(value.subspan(1), exponent, (bytes[0] & 0x80) != 0);
  text += number;
  if (exponent >= 1 && exponent <= 14 && number.find(L'.') == std::wstring::npos) text += suffix;
}

// Decodes the text of one line, up to the address `link` of the next. True when the line's
// terminating 0x00 was seen.
class LineDecoder {
 public:
  LineDecoder(ProgramReader& in, std::uint32_t link) : in_(in), link_(link) {}

  bool Decode(std::wstring& text) {
    bool held = false;
    std::uint8_t heldByte = 0;
    while (held || in_.Address() < link_) {
      const std::uint8_t byte = held ? heldByte : in_.Byte();
      held = false;
      if (byte == 0x3A) {
        held = Colon(text, heldByte);
      } else {
        Token(byte, text);
      }
    }
    return ended_;
  }

 private:
  // After ':' may follow ELSE or a comment; any other byte is handed back in `next` (true) to be
  // decoded as the next token.
  bool Colon(std::wstring& text, std::uint8_t& next) {
    if (in_.Address() + 1 >= link_) {
      text += L':';
      return false;
    }
    next = in_.Byte();
    if (next == 0xA1) {
      text += L"ELSE";
    } else if (next == 0x8F) {
      Remark(text);
    } else {
      text += L':';
      return true;
    }
    return false;
  }

  void Remark(std::wstring& text) {
    const std::uint8_t first = in_.Byte();
    if (first == 0xE6) {
      text += L'\'';
    } else {
      text += L":REM";
      // A REM right at the line's end: its terminator ends the line, rather than the comment
      // running on into the next line.
      if (first == 0x00) {
        ended_ = true;
        return;
      }
      text += static_cast<wchar_t>(first);
    }
    while (in_.Address() < link_) {
      const std::uint8_t byte = in_.Byte();
      if (byte == 0x00) {
        ended_ = true;
        return;
      }
      text += MapChar(byte);
    }
  }

  void StringLiteral(std::wstring& text) {
    text += L'"';
    while (in_.Address() < link_) {
      const std::uint8_t byte = in_.Byte();
      if (byte == 0x00) {
        ended_ = true;
        return;
      }
      if (byte == 0x22) {
        text += L'"';
        return;
      }
      text += byte == 0x01 ? MapGraphChar(in_.Byte()) : MapChar(byte);
    }
  }

  void Token(std::uint8_t byte, std::wstring& text) {
    switch (byte) {
      case 0x00:
        ended_ = true;
        return;
      case 0x0B:
        text += L"&O";
        AppendNumber(text, in_.Word(), 8);
        return;
      case 0x0C:
        text += L"&H";
        AppendNumber(text, in_.Word(), 16);
        return;
      case 0x0E:  // line number
      case 0x1C:  // integer
        AppendNumber(text, in_.Word(), 10);
        return;
      case 0x0F:
        AppendNumber(text, in_.Byte(), 10);
        return;
      case 0x1D:
        AppendFloat(text, in_, 4, L'!');
        return;
      case 0x1F:
        AppendFloat(text, in_, 8, L'#');
        return;
      case 0x22:
        StringLiteral(text);
        return;
      case 0xFF:
        Function(text);
        return;
      default:
        break;
    }
    if (byte >= 0x11 && byte <= 0x1A) {
      text += static_cast<wchar_t>(L'0' + (byte - 0x11));
    } else if (const std::wstring_view keyword = msx_basic::StatementToken(byte);
               !keyword.empty()) {
      text += keyword;
    } else {
      text += static_cast<wchar_t>(byte);
    }
  }

  void Function(std::wstring& text) {
    const std::uint8_t token = in_.Byte();
    if (const std::wstring_view name = msx_basic::FunctionToken(token); !name.empty()) {
      text += name;
      return;
    }
    text += L"FF/";
    if (token < 0x10) text += L'0';
    AppendNumber(text, token, 16);
  }

  ProgramReader& in_;
  const std::uint32_t link_;
  bool ended_ = false;
};

}  // namespace

bool TMsxBasicDecoder::Decode(rtl::TStream& stream) {
  const std::int64_t remaining = stream.Size() - stream.Position();
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::max<std::int64_t>(remaining, 0)));
  bytes.resize(stream.ReadFully(bytes));
  return Decode(bytes);
}

bool TMsxBasicDecoder::Decode(std::span<const std::uint8_t> program) {
  if (program.empty() || program[0] != 0xFF) return false;
  ProgramReader in(program.subspan(1));
  try {
    for (;;) {
      const std::uint16_t link = in.Word();
      if (link == 0) return true;
      if (link < kFirstLinkAddress || link > kHighestLink) return false;
      const std::uint16_t number = in.Word();
      std::wstring text;
      // A link at or behind the line's own text leaves it unterminated, so a cycle of links
      // fails here instead of looping.
      if (!LineDecoder(in, link).Decode(text)) return false;
      std::wstring line;
      AppendNumber(line, number, 10);
      line += L' ';
      line += text;
      FLines.push_back(std::move(line));
    }
  } catch (const EndOfData&) {
    return false;
  }
}

}  // namespace app
