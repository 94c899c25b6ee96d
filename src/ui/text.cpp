#include "ui/text.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace ui {

namespace {

wchar_t FoldAscii(wchar_t c) {
  return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 32) : c;
}

bool IsBlank(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

int DigitValue(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return 99;
}

// One code point from UTF-16 (Windows) or UTF-32 (host) wide text.
char32_t NextCodePoint(std::wstring_view text, std::size_t& i) {
  const auto unit = static_cast<char32_t>(text[i++]);
  if constexpr (sizeof(wchar_t) == 2) {
    if (unit >= 0xD800 && unit < 0xDC00 && i < text.size()) {
      const auto low = static_cast<char32_t>(text[i]);
      if (low >= 0xDC00 && low < 0xE000) {
        ++i;
        return 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
      }
    }
  }
  return unit;
}

void AppendCodePoint(std::wstring& out, char32_t cp) {
  if (sizeof(wchar_t) == 2 && cp >= 0x10000) {
    cp -= 0x10000;
    out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
  } else {
    out.push_back(static_cast<wchar_t>(cp));
  }
}

}  // namespace

bool SameText(std::wstring_view a, std::wstring_view b) {
  // Case folding keeps lengths, so texts of different lengths differ without a look.
  return a.size() == b.size() && CompareText(a, b) == 0;
}

int CompareText(std::wstring_view a, std::wstring_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const wchar_t x = FoldAscii(a[i]);
    const wchar_t y = FoldAscii(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

std::wstring_view Trim(std::wstring_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::optional<std::int64_t> TryStrToInt64(std::wstring_view text) {
  text = Trim(text);
  bool negative = false;
  if (!text.empty() && (text[0] == L'-' || text[0] == L'+')) {
    negative = text[0] == L'-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (!text.empty() && text[0] == L'$') {
    base = 16;
    text.remove_prefix(1);
  } else if (text.size() > 2 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return std::nullopt;
  // Accumulate as a negative number so that the minimum value fits.
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  std::int64_t value = 0;
  for (const wchar_t c : text) {
    const int digit = DigitValue(c);
    if (digit >= base) return std::nullopt;
    if (value < (kMin + digit) / base) return std::nullopt;
    value = value * base - digit;
  }
  if (negative) return value;
  if (value == kMin) return std::nullopt;
  return -value;
}

std::optional<int> TryStrToInt(std::wstring_view text) {
  const auto value = TryStrToInt64(text);
  if (!value || *value < std::numeric_limits<int>::min() ||
      *value > std::numeric_limits<int>::max()) {
    return std::nullopt;
  }
  return static_cast<int>(*value);
}

std::wstring FloatToStrGeneral(long double value, int digits) {
  if (std::isnan(value)) return L"NAN";
  if (std::isinf(value)) return value < 0 ? L"-INF" : L"INF";
  digits = std::clamp(digits, 1, 20);
  // "-d.ddddde+XX": the rounded digits and the decimal exponent.
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                    std::chars_format::scientific, digits - 1);
  const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
  const std::size_t e = text.find('e');
  const bool negative = text.front() == '-';
  std::string mantissa;
  for (const char c : text.substr(0, e))
    if (c >= '0' && c <= '9') mantissa.push_back(c);
  while (mantissa.size() > 1 && mantissa.back() == '0') mantissa.pop_back();
  if (mantissa == "0") return L"0";
  int exponent = 0;
  std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), text.data() + text.size(),
                  exponent);
  std::string out = negative ? "-" : "";
  const int length = static_cast<int>(mantissa.size());
  // Appended piece by piece: GCC's -Wrestrict misreads concatenated temporaries at -O3.
  if (exponent >= digits || exponent < -5) {
    out.push_back(mantissa[0]);
    if (length > 1) out.append(1, '.').append(mantissa, 1);
    out.append(1, 'E').append(std::to_string(exponent));
  } else if (exponent < 0) {
    out.append("0.").append(static_cast<std::size_t>(-exponent - 1), '0').append(mantissa);
  } else {
    const auto integerDigits = static_cast<std::size_t>(exponent + 1);
    if (mantissa.size() < integerDigits) mantissa.append(integerDigits - mantissa.size(), '0');
    out.append(mantissa, 0, integerDigits);
    if (mantissa.size() > integerDigits) out.append(1, '.').append(mantissa, integerDigits);
  }
  return std::wstring(out.begin(), out.end());
}

std::optional<long double> TryStrToFloat(std::wstring_view text) {
  text = Trim(text);
  if (SameText(text, L"NAN")) return std::numeric_limits<long double>::quiet_NaN();
  if (SameText(text, L"INF") || SameText(text, L"+INF"))
    return std::numeric_limits<long double>::infinity();
  if (SameText(text, L"-INF")) return -std::numeric_limits<long double>::infinity();
  // Checked here, so that the conversion sees nothing but its own syntax.
  std::string narrow;
  std::size_t i = 0;
  const auto digitsFrom = [&](std::size_t start) {
    while (i < text.size() && text[i] >= L'0' && text[i] <= L'9')
      narrow.push_back(static_cast<char>(text[i++]));
    return i - start;
  };
  if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) {
    if (text[i] == L'-') narrow.push_back('-');
    ++i;
  }
  std::size_t mantissaDigits = digitsFrom(i);
  if (i < text.size() && text[i] == L'.') {
    narrow.push_back('.');
    ++i;
    mantissaDigits += digitsFrom(i);
  }
  if (mantissaDigits == 0) return std::nullopt;
  if (i < text.size() && (text[i] == L'e' || text[i] == L'E')) {
    narrow.push_back('e');
    ++i;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+'))
      narrow.push_back(static_cast<char>(text[i++]));
    if (digitsFrom(i) == 0) return std::nullopt;
  }
  if (i != text.size()) return std::nullopt;
  // strtold, unlike from_chars on every target, converts to the full extended precision; it
  // follows the C locale's decimal point.
  if (const char point = *std::localeconv()->decimal_point; point != '.')
    std::replace(narrow.begin(), narrow.end(), '.', point);
  errno = 0;
  char* end = nullptr;
  const long double value = std::strtold(narrow.c_str(), &end);
  if (end != narrow.c_str() + narrow.size() || (errno == ERANGE && std::isinf(value)))
    return std::nullopt;
  return value;
}

std::wstring WideFromUtf8(std::string_view text) {
  std::wstring out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t extra = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
    char32_t cp = lead & (0x7F >> extra);
    bool valid = (lead < 0x80 || lead >= 0xC2) && lead < 0xF5 && i + extra < text.size();
    for (std::size_t k = 1; valid && k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      valid = (next & 0xC0) == 0x80;
      cp = (cp << 6) | (next & 0x3F);
    }
    constexpr char32_t kLowest[] = {0, 0x80, 0x800, 0x10000};
    if (!valid || cp < kLowest[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) {
      out.push_back(L'\xFFFD');  // one replacement per bad byte
      ++i;
      continue;
    }
    AppendCodePoint(out, cp);
    i += extra + 1;
  }
  return out;
}

std::string Utf8FromWide(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    char32_t cp = NextCodePoint(text, i);
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) cp = 0xFFFD;
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

std::wstring WideFromUtf16(std::u16string_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t cp = text[i];
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] < 0xE000) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00);
    }
    AppendCodePoint(out, cp);
  }
  return out;
}

std::u16string Utf16FromWide(std::wstring_view text) {
  std::u16string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    char32_t cp = NextCodePoint(text, i);
    if (cp >= 0x10000 && cp <= 0x10FFFF) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp > 0x10FFFF ? 0xFFFD : cp));
    }
  }
  return out;
}

}  // namespace ui
