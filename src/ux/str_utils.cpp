#include "ux/str_utils.h"

#include "ux/locale_text.h"

namespace ux {

namespace {

bool IsDelim(wchar_t c, std::wstring_view delims) {
  return delims.find(c) != std::wstring_view::npos;
}

// Index (0-based) of the first character of word n, or npos.
size_t WordStart(int n, std::wstring_view s, std::wstring_view delims) {
  int count = 0;
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && IsDelim(s[i], delims)) ++i;
    if (i == s.size()) break;
    if (++count == n) return i;
    while (i < s.size() && !IsDelim(s[i], delims)) ++i;
  }
  return std::wstring_view::npos;
}

// Whether `text` (of the pattern's length) equals `pattern`, "?" matching any character.
bool MatchesAt(std::wstring_view pattern, std::wstring_view text) {
  for (size_t k = 0; k < pattern.size(); ++k)
    if (pattern[k] != L'?' && pattern[k] != text[k]) return false;
  return true;
}

std::wstring CollapseStars(std::wstring_view wilds) {
  std::wstring result;
  for (wchar_t c : wilds)
    if (c != L'*' || result.empty() || result.back() != L'*') result.push_back(c);
  return result;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

char KeyByte(std::string_view key, size_t index) {
  return key.empty() ? '\0' : key[index % key.size()];
}

}  // namespace

int Max(int a, int b) {
  return a > b ? a : b;
}
int Min(int a, int b) {
  return a < b ? a : b;
}

std::wstring ReplaceStr(std::wstring_view s, std::wstring_view search, std::wstring_view replace) {
  if (search.empty()) return std::wstring(s);
  std::wstring result;
  size_t from = 0;
  for (size_t at = s.find(search); at != std::wstring_view::npos; at = s.find(search, from)) {
    result.append(s.substr(from, at - from)).append(replace);
    from = at + search.size();
  }
  return result.append(s.substr(from));
}

int WordCount(std::wstring_view s, std::wstring_view wordDelims) {
  int count = 0;
  bool inWord = false;
  for (wchar_t c : s) {
    const bool delim = IsDelim(c, wordDelims);
    if (!delim && !inWord) ++count;
    inWord = !delim;
  }
  return count;
}

int WordPosition(int n, std::wstring_view s, std::wstring_view wordDelims) {
  const size_t start = WordStart(n, s, wordDelims);
  return start == std::wstring_view::npos ? 0 : static_cast<int>(start) + 1;
}

std::wstring ExtractWord(int n, std::wstring_view s, std::wstring_view wordDelims) {
  const size_t start = WordStart(n, s, wordDelims);
  if (start == std::wstring_view::npos) return {};
  size_t end = start;
  while (end < s.size() && !IsDelim(s[end], wordDelims)) ++end;
  return std::wstring(s.substr(start, end - start));
}

int WildPos(std::wstring_view pattern, std::wstring_view s) {
  if (pattern.empty() || pattern.size() > s.size()) return 0;
  if (pattern.find(L'?') == std::wstring_view::npos) {
    const size_t at = s.find(pattern);
    return at == std::wstring_view::npos ? 0 : static_cast<int>(at) + 1;
  }
  for (size_t at = 0; at + pattern.size() <= s.size(); ++at)
    if (MatchesAt(pattern, s.substr(at, pattern.size()))) return static_cast<int>(at) + 1;
  return 0;
}

// A "*" followed by the pattern's last literal part decides the match against the unconsumed end
// of the input only; a middle literal part is taken at its first occurrence in the rest of the
// input. After the walk, the pattern left over must be nothing or "*" alone: an input that ends
// inside a literal part does not match merely because the pattern ends in "*" ("TMainForm" is no
// sub-section of "TMainForm.*", and erasing those must not erase the section itself).
bool IsWild(std::wstring_view input, std::wstring_view wilds, bool ignoreCase) {
  if (input == wilds) return true;
  std::wstring pattern = CollapseStars(wilds);
  if (pattern == L"*") return true;
  std::wstring text(input);
  if (ignoreCase) {
    text = LocaleUpperCase(text);
    pattern = LocaleUpperCase(pattern);
  }
  if (text.empty() || pattern.empty()) return false;

  const std::wstring_view in(text);
  const std::wstring_view pat(pattern);
  size_t i = 0;
  size_t p = 0;
  while (p < pat.size()) {
    if (pat[p] == L'*') {
      const size_t next = pat.find(L'*', p + 1);
      const std::wstring_view literal =
          pat.substr(p + 1, next == pat.npos ? pat.npos : next - p - 1);
      const std::wstring_view rest = in.substr(i);
      if (next == pat.npos)
        return rest.size() >= literal.size() &&
               MatchesAt(literal, rest.substr(rest.size() - literal.size()));
      const int at = WildPos(literal, rest);
      if (at == 0) return false;
      i += static_cast<size_t>(at) - 1 + literal.size();
      p = next;
      continue;
    }
    if (i == in.size()) break;
    if (pat[p] != L'?' && pat[p] != in[i]) return false;
    ++p;
    ++i;
  }
  if (i < in.size()) return false;
  return p == pat.size() || pat.substr(p) == L"*";
}

std::string XorEncode(std::string_view key, std::string_view source) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string result;
  result.reserve(source.size() * 2);
  for (size_t i = 0; i < source.size(); ++i) {
    const auto byte = static_cast<unsigned char>(source[i] ^ KeyByte(key, i));
    result.push_back(kDigits[byte >> 4]);
    result.push_back(kDigits[byte & 0xF]);
  }
  return result;
}

std::string XorDecode(std::string_view key, std::string_view source) {
  std::string result;
  result.reserve(source.size() / 2);
  for (size_t i = 0; i + 1 < source.size(); i += 2) {
    const int high = HexDigit(source[i]);
    const int low = HexDigit(source[i + 1]);
    const int value = high < 0 || low < 0 ? 32 : high * 16 + low;
    result.push_back(static_cast<char>(value ^ KeyByte(key, i / 2)));
  }
  return result;
}

}  // namespace ux
