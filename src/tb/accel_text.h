// Caption text rules used by items and viewers: "&" marks the next character as the
// accelerator, "&&" stands for a literal "&".
//   StripAccelMarks(text): the text as shown ("&&" -> "&", a single "&" dropped).
//   AccelCharOf(text): the last marked character; 0 when none or when the text ends in a
//   single "&".
//   DoubleAccelMarks(text): every "&" doubled, so the text shows literally.
//   TrimCaptionDots(text): without one trailing ":" or, else, "..." (a text that is only ":"
//   or "..." stays).
// These stand in for the framework's shared text helpers until those are merged.
#pragma once

#include <string>
#include <string_view>

namespace tb {

std::wstring StripAccelMarks(std::wstring_view text);
wchar_t AccelCharOf(std::wstring_view text);
std::wstring DoubleAccelMarks(std::wstring_view text);
std::wstring TrimCaptionDots(std::wstring_view text);
// Lower case of one character (ASCII and Latin-1 letters; others unchanged).
wchar_t LowerAccelChar(wchar_t c);

}  // namespace tb
