// The toolbar framework's user-visible message texts: entries of the program's string table,
// read by number (TBText) as the program reads its own texts. The names stand for the numbers.
//   TBText: the running program's string-table entry (Windows); on the host, and for a number
//   the table lacks, the built-in English text (DefaultTBText), so that a message is never
//   empty. TBTextUtf8: the same as an exception message.
#pragma once

#include <string>

namespace tb {

#define TB_TEXT(id, name, text) inline constexpr int name = id;
#include "tb/consts.inc"
#undef TB_TEXT

std::wstring TBText(int id);
std::string TBTextUtf8(int id);
// The built-in text of a number of the list; empty for any other number.
std::wstring DefaultTBText(int id);
// The string-table entry itself; empty when the program has none (always on the host).
std::wstring StringTableText(int id);

// The platform library's message (not one of the framework's texts); printf-style: the control's
// name.
inline constexpr char SParentRequired[] = "Control '%s' has no parent window";

}  // namespace tb
