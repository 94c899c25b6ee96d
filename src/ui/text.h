// Small text helpers shared by the class library: ASCII case-insensitive comparison (names of
// components, properties, sections and values), trimming, decimal conversion and UTF-8.
//   SameText(a, b), CompareText(a, b) -> <0 / 0 / >0, Trim(s),
//   TryStrToInt(text) -> optional (blanks around, sign, decimal or "$"/"0x" hex),
//   FloatToStrGeneral(value, digits) / TryStrToFloat(text): floating-point text with "." as
//   the decimal separator whatever the locale,
//   WideFromUtf8 / Utf8FromWide (exception messages are UTF-8, the user interface UTF-16),
//   WideFromUtf16 / Utf16FromWide (wchar_t is 32-bit on the host, 16-bit on Windows).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ui {

bool SameText(std::wstring_view a, std::wstring_view b);
int CompareText(std::wstring_view a, std::wstring_view b);
std::wstring_view Trim(std::wstring_view text);

std::optional<std::int64_t> TryStrToInt64(std::wstring_view text);
// As TryStrToInt64, within the range of a 32-bit signed integer.
std::optional<int> TryStrToInt(std::wstring_view text);

// General format with `digits` significant digits: fixed notation when the value is at least
// 0.00001 and has no more integer digits than `digits`, else "1.5E20" / "-2E-7"; "NAN", "INF",
// "-INF" for the special values.
std::wstring FloatToStrGeneral(long double value, int digits);
// Blanks around, a sign, digits with an optional "." and an optional exponent ("E" or "e", with
// a sign), or "NAN" / "INF" / "-INF" in any case; none for anything else or a value beyond range.
std::optional<long double> TryStrToFloat(std::wstring_view text);

std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);
std::wstring WideFromUtf16(std::u16string_view text);
std::u16string Utf16FromWide(std::wstring_view text);

}  // namespace ui
