// The word around a caret within one line of a rich-edit control's text.
#pragma once

#include <functional>
#include <string_view>

#include "ux/rich_text.h"

namespace ux {

// Characters that end words when the control answers no word-break question: white space.
bool IsWordDelimiter(wchar_t c);

// The word around offset `caret` of `line`, as offsets into it; an empty range at the caret
// when it is at no word. A caret just after a word belongs to it. `controlSays(i)` is the
// control's own delimiter test of character i. A control that calls none of the line's white
// space a delimiter answers no word-break question at all (its answer is 0 to every code, some
// platforms' rich edits do so): white space then bounds the words.
// Where the control answers, its word breaks bound the word found by the delimiter tests:
// `wordStart(i)` the start of the word left of offset i, `wordEnd(i)` the end of the word from
// character i. A break that does not enclose that character (or lies outside the line) is no
// answer, and the delimiter tests alone bound the word.
TCharRange WordAround(std::wstring_view line, int caret,
                      const std::function<bool(int)>& controlSays,
                      const std::function<int(int)>& wordStart = {},
                      const std::function<int(int)>& wordEnd = {});

}  // namespace ux
