// Small text operations shared by the settings components: word splitting for stored coordinate
// lists and sets, replacement, wildcard matching of section names and the hexadecimal XOR
// transformation of stored values. Positions are 1-based; 0 means "not found".
#pragma once

#include <string>
#include <string_view>

namespace ux {

int Max(int a, int b);
int Min(int a, int b);

// Every occurrence of `search`, left to right, continuing after each replaced part. An empty
// `search` returns `s` unchanged.
std::wstring ReplaceStr(std::wstring_view s, std::wstring_view search, std::wstring_view replace);

// A word is a maximal run of characters that are not in `wordDelims` (a set of characters).
int WordCount(std::wstring_view s, std::wstring_view wordDelims);
int WordPosition(int n, std::wstring_view s, std::wstring_view wordDelims);
std::wstring ExtractWord(int n, std::wstring_view s, std::wstring_view wordDelims);

// Position of `pattern` in `s`, where "?" in the pattern stands for any character.
int WildPos(std::wstring_view pattern, std::wstring_view s);
// Whether `input` matches the pattern `wilds` of "*" (any run) and "?" (any one character).
bool IsWild(std::wstring_view input, std::wstring_view wilds, bool ignoreCase);

// Each byte of `source` XOR the key's byte (cycling; none when the key is empty), as two
// lower-case hexadecimal digits.
std::string XorEncode(std::string_view key, std::string_view source);
// The bytes back from pairs of hexadecimal digits; a pair that is not hexadecimal reads as 32 and
// an odd last character is ignored.
std::string XorDecode(std::string_view key, std::string_view source);

// Delimiters of stored coordinate lists ("MinMaxPos", "NormPos") and of stored sets.
inline constexpr std::wstring_view kListDelims = L" ,";
inline constexpr std::wstring_view kSetDelims = L" ,[]";

}  // namespace ux
