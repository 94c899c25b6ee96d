#include "ux/word_bounds.h"

#include <algorithm>

namespace ux {

bool IsWordDelimiter(wchar_t c) {
  switch (c) {
    case L' ':
    case L'\t':
    case L'\n':
    case L'\v':
    case L'\f':
    case L'\r':
    case 0x3000:  // ideographic space
      return true;
    default:
      return c >= 0x2000 && c <= 0x200B;  // the typographic spaces
  }
}

TCharRange WordAround(std::wstring_view line, int caret,
                      const std::function<bool(int)>& controlSays,
                      const std::function<int(int)>& wordStart,
                      const std::function<int(int)>& wordEnd) {
  const int length = static_cast<int>(line.size());
  caret = std::clamp(caret, 0, length);
  bool controlAnswers = true;
  for (int i = 0; i < length; ++i) {
    if (!IsWordDelimiter(line[static_cast<std::size_t>(i)])) continue;
    controlAnswers = controlSays(i);
    if (controlAnswers) break;
  }
  const auto isDelimiter = [&](int i) {
    return controlAnswers ? controlSays(i) : IsWordDelimiter(line[static_cast<std::size_t>(i)]);
  };
  int at = caret;
  if (at > 0 && (at >= length || isDelimiter(at)) && !isDelimiter(at - 1)) --at;
  if (at >= length || isDelimiter(at)) return {caret, caret};
  if (controlAnswers && wordStart && wordEnd) {
    const int start = wordStart(at + 1);
    const int end = wordEnd(at);
    if (start >= 0 && start <= at && end > at && end <= length) return {start, end};
  }
  int start = at;
  while (start > 0 && !isDelimiter(start - 1)) --start;
  int end = at + 1;
  while (end < length && !isDelimiter(end)) ++end;
  return {start, end};
}

}  // namespace ux
